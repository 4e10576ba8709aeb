// The headless backend's stand-in theme, which the controls' theme tests draw with.
#include "framework/platform/headless/headless_platform.h"

#include <gtest/gtest.h>

namespace {

TEST(HeadlessTheme, DrawsARingAndAWhiteInsideWithinTheClipOnlyWhileOn) {
    HeadlessPlatform platform;
    PixelSurface s(16, 16);
    raster::FillRect(s, s.Bounds(), 0x123456, s.Bounds());
    const TRect rect{2, 2, 12, 10};
    const TRect clip{0, 0, 8, 20};
    EXPECT_FALSE(platform.ThemeAvailable());
    EXPECT_FALSE(platform.DrawThemePart(s, rect, clip, "EDIT", 1, 5));
    EXPECT_EQ(platform.ThemePartContentRect("EDIT", 1, 5, rect), std::nullopt);
    EXPECT_EQ(s.Pixel(2, 2), 0x123456u);

    platform.SetThemeActive(true);
    EXPECT_TRUE(platform.ThemeAvailable());
    EXPECT_TRUE(platform.DrawThemePart(s, rect, clip, "EDIT", 1, 5));
    EXPECT_EQ(platform.ThemeDrawCount(), 2);
    EXPECT_EQ(platform.LastThemeDraw().themeClass, "EDIT");
    EXPECT_EQ(platform.LastThemeDraw().state, 5);
    EXPECT_EQ(platform.LastThemeDraw().rect, rect);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = rect.Intersect(clip).Contains({x, y});
            const bool ring = x == 2 || y == 2 || y == 9; // the right edge (x == 11) is clipped away
            const std::uint32_t want = !inside ? 0x123456u
                                       : ring  ? HeadlessPlatform::ThemeRingPixel(5)
                                               : HeadlessPlatform::kThemeInsidePixel;
            ASSERT_EQ(s.Pixel(x, y), want) << x << "," << y;
        }
    EXPECT_NE(HeadlessPlatform::ThemeRingPixel(1), HeadlessPlatform::ThemeRingPixel(5));
    EXPECT_EQ(platform.ThemePartContentRect("EDIT", 1, 1, rect), (TRect{3, 3, 11, 9}));
}

} // namespace
