// The view keeps its source on the monitor that holds the pointer: side by side in either order,
// left of the primary (negative coordinates), in the gap of an L-shaped layout and while the
// monitors change under it.
#include "headless_fixture.h"

#include "framework/platform/monitors.h"

#include <vector>

namespace {

constexpr std::uint32_t kBluePixel = 0x0000FF;

MonitorInfo Monitor(TRect bounds, bool primary = false) { return {bounds, bounds, primary, 96}; }

// A 1024 x 768 primary and an 800 x 600 second monitor beside it.
const std::vector<MonitorInfo> kSecondOnTheRight = {Monitor({0, 0, 1024, 768}, true),
                                                    Monitor({1024, 0, 1824, 600})};
const std::vector<MonitorInfo> kSecondOnTheLeft = {Monitor({0, 0, 1024, 768}, true),
                                                   Monitor({-800, 0, 0, 600})};
// As X11 reports it: every coordinate positive, the primary on the right.
const std::vector<MonitorInfo> kPrimaryOnTheRight = {Monitor({0, 0, 800, 600}),
                                                     Monitor({800, 0, 1824, 768}, true)};

class ZoomMonitorsTest : public ZoomViewTest {
protected:
    // The 250 x 250 view at level 50 shows 124 x 124 source pixels from `source`, its crosshair
    // centred on `centre` (the arithmetic of the primary display's edges, on each monitor's own).
    void ExpectShows(TPoint pointer, TPoint source, TPoint centre) {
        platform.SetPointer(pointer);
        Tick();
        for (int y = 0; y < view->Height(); ++y)
            for (int x = 0; x < view->Width(); ++x) {
                const bool onCrosshair = (x == centre.X && y >= centre.Y - 10 && y < centre.Y + 10) ||
                                         (y == centre.Y && x >= centre.X - 10 && x < centre.X + 10);
                if (onCrosshair) {
                    ASSERT_EQ(ViewPixel(x, y), kBluePixel) << x << "," << y;
                    continue;
                }
                ASSERT_EQ(ViewPixel(x, y), ScreenPixel(source.X + Src(x), source.Y + Src(y)))
                    << "pointer " << pointer.X << "," << pointer.Y << " at view " << x << "," << y;
            }
    }
    static int Src(int i) { return static_cast<int>(raster::SourceIndex(i, 124, 250)); }
};

TEST_F(ZoomMonitorsTest, TheSourceStaysOnTheMonitorUnderThePointerAtEveryEdge) {
    struct Case {
        const std::vector<MonitorInfo>* layout;
        TPoint pointer;
        TPoint source;
        TPoint centre; // off-screen centres are left out: a crosshair outside draws nothing
    } cases[] = {
        // Second monitor on the right: its left edge (6 - 62 - 1) * 2 = -114, its bottom-right
        // corner (1820 + 62 - 1824 + 1) * 2 = 118 and (590 + 62 - 600 + 1) * 2 = 106.
        {&kSecondOnTheRight, {1030, 300}, {1024, 238}, {11, 125}},
        {&kSecondOnTheRight, {1820, 590}, {1700, 476}, {243, 231}},
        {&kSecondOnTheRight, {1020, 400}, {900, 338}, {243, 125}}, // the primary's right edge as before
        // Second monitor left of the primary: negative coordinates.
        {&kSecondOnTheLeft, {-790, 10}, {-800, 0}, {19, 19}},
        {&kSecondOnTheLeft, {-5, 300}, {-124, 238}, {241, 125}},
        {&kSecondOnTheLeft, {5, 300}, {0, 238}, {9, 125}},
        // Primary on the right, at x 800.
        {&kPrimaryOnTheRight, {810, 400}, {800, 338}, {19, 125}},
        {&kPrimaryOnTheRight, {790, 400}, {676, 338}, {231, 125}},
        {&kPrimaryOnTheRight, {1823, 767}, {1700, 644}, {249, 249}},
    };
    for (const Case& c : cases) {
        platform.SetMonitors(*c.layout);
        ExpectShows(c.pointer, c.source, c.centre);
    }
}

TEST_F(ZoomMonitorsTest, APointInNoMonitorUsesTheNearest) {
    platform.SetMonitors(kSecondOnTheRight);
    // Below the second monitor, which ends at y 600: nearer to it (101) than to the primary (477).
    // (700 + 62 - 600 + 1) * 2 = 326 puts the crosshair's row outside the view.
    platform.SetPointer({1500, 700});
    Tick();
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(1438, 476));
    EXPECT_EQ(ViewPixel(249, 249), ScreenPixel(1438 + 123, 476 + 123));
}

TEST_F(ZoomMonitorsTest, FollowsTheMonitorsAsTheyChange) {
    // One display: a pointer right of it is pushed back onto it.
    ExpectShows({1030, 300}, {900, 238}, {263, 125});
    platform.SetMonitors(kSecondOnTheRight);
    ExpectShows({1031, 300}, {1024, 238}, {13, 125});
    // The monitor under the pointer goes: the nearest one that is left takes over.
    platform.SetMonitors({Monitor({0, 0, 1024, 768}, true)});
    platform.SetPointer({1032, 300});
    Tick();
    EXPECT_EQ(ViewPixel(0, 130), ScreenPixel(900, 238 + Src(130)));
}

TEST_F(ZoomMonitorsTest, OddReportsStillGiveASource) {
    // Mirrored outputs: the primary's rectangle wins; none reported: the primary display size.
    platform.SetMonitors({Monitor({0, 0, 800, 600}), Monitor({0, 0, 1024, 768}, true)});
    ExpectShows({790, 400}, {728, 338}, {125, 125});
    platform.SetMonitors({});
    platform.SetDisplaySize({640, 480});
    ExpectShows({630, 470}, {516, 356}, {231, 231});
}

TEST(MonitorRules, DpiAndWorkAreasAreMadeSane) {
    struct Case {
        std::int32_t reported;
        std::int32_t sane;
    } dpis[] = {{0, 96}, {-5, 96}, {1, 48}, {120, 120}, {144, 144}, {192, 192}, {1000000, 480}};
    for (const Case& c : dpis) EXPECT_EQ(SaneDpi(c.reported), c.sane) << c.reported;

    const auto sane = SaneMonitors({{{0, 0, 0, 0}, {}, true, 96},
                                    {{0, 0, 800, 600}, {900, 0, 1000, 50}, false, 0},
                                    {{0, 0, 800, 600}, {0, 0, 800, 570}, false, 144}});
    ASSERT_EQ(sane.size(), 2u);
    EXPECT_EQ(sane[0].workArea, (TRect{0, 0, 800, 600}));
    EXPECT_EQ(sane[0].dpi, 96);
    EXPECT_EQ(sane[1].workArea, (TRect{0, 0, 800, 570}));
}

TEST(MonitorRules, AWindowGoesToTheMonitorHoldingMostOfIt) {
    const TRect window = Bounds(900, 100, 258, 320); // 124 columns on the primary, 134 on the second
    EXPECT_EQ(MonitorForRect(kSecondOnTheRight, window).bounds.Left, 1024);
    EXPECT_EQ(MonitorForRect(kSecondOnTheRight, Bounds(3000, 3000, 10, 10)).bounds.Left, 1024);
    struct Case {
        TRect window;
        TRect area;
        TRect fitted;
    } fits[] = {
        {Bounds(900, 100, 258, 320), {1024, 0, 1824, 570}, Bounds(1024, 100, 258, 320)},
        {Bounds(-50, 700, 258, 320), {0, 0, 1024, 738}, Bounds(0, 418, 258, 320)},
        {Bounds(10, 10, 258, 320), {0, 0, 200, 300}, Bounds(0, 0, 200, 300)}, // shrunk: cannot fit
        {Bounds(10, 10, 258, 320), {0, 0, 1024, 768}, Bounds(10, 10, 258, 320)},
    };
    for (const Case& c : fits) EXPECT_EQ(FitRectInto(c.window, c.area), c.fitted);
}

} // namespace
