// The rasteriser primitives that every backend's pixels go through.
#include "framework/graphics/device_context.h"
#include "framework/platform/pixel_surface.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

PixelSurface Numbered(int w, int h) {
    PixelSurface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, static_cast<std::uint32_t>(y * 100 + x + 1));
    return s;
}

TEST(StretchCopy, MagnificationRepeatsEachSourcePixel) {
    const PixelSurface src = Numbered(4, 3);
    PixelSurface dst(8, 6);
    raster::StretchCopy(dst, dst.Bounds(), src, src.Bounds(), dst.Bounds());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.Pixel(x, y), src.Pixel(x / 2, y / 2)) << x << "," << y;
}

TEST(StretchCopy, UnevenScaleSamplesUnderEachDestinationPixelCentre) {
    const PixelSurface src = Numbered(3, 1);
    PixelSurface dst(7, 1);
    raster::StretchCopy(dst, dst.Bounds(), src, src.Bounds(), dst.Bounds());
    // Destination i takes source (i + 1/2) * 3 / 7, rounded down: the middle pixel gets the extra copy.
    const int expected[] = {0, 0, 1, 1, 1, 2, 2};
    for (int x = 0; x < 7; ++x) EXPECT_EQ(dst.Pixel(x, 0), src.Pixel(expected[x], 0)) << x;
}

TEST(StretchCopy, SourceOutsideTheSurfaceReadsBlack) {
    const PixelSurface src = Numbered(4, 4);
    PixelSurface dst(4, 4);
    raster::StretchCopy(dst, dst.Bounds(), src, Rect(-2, 2, 2, 6), dst.Bounds());
    EXPECT_EQ(dst.Pixel(0, 0), 0u);
    EXPECT_EQ(dst.Pixel(1, 1), 0u);
    EXPECT_EQ(dst.Pixel(2, 0), src.Pixel(0, 2));
    EXPECT_EQ(dst.Pixel(3, 1), src.Pixel(1, 3));
    EXPECT_EQ(dst.Pixel(3, 2), 0u); // below the source
}

TEST(StretchCopy, TouchesOnlyTheClipAndTheSurface) {
    const PixelSurface src = Numbered(10, 10);
    PixelSurface dst(10, 10);
    raster::FillRect(dst, dst.Bounds(), 0xABCDEF, dst.Bounds());
    // Destination reaches outside the surface on every side; clip is the middle.
    raster::StretchCopy(dst, Rect(-5, -5, 15, 15), src, src.Bounds(), Rect(3, 3, 6, 6));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 3 && x < 6 && y >= 3 && y < 6;
            if (inside) {
                EXPECT_EQ(dst.Pixel(x, y), src.Pixel((x + 5) / 2, (y + 5) / 2));
            } else {
                EXPECT_EQ(dst.Pixel(x, y), 0xABCDEFu);
            }
        }
}

TEST(StretchCopy, NegativeDestinationWidthMirrors) {
    const PixelSurface src = Numbered(3, 1);
    PixelSurface dst(3, 1);
    raster::StretchCopy(dst, Rect(3, 0, 0, 1), src, src.Bounds(), dst.Bounds());
    EXPECT_EQ(dst.Pixel(0, 0), src.Pixel(2, 0));
    EXPECT_EQ(dst.Pixel(2, 0), src.Pixel(0, 0));
}

// The stretch as its contract states it, pixel by pixel: the fast copy must give the same pixels.
void ReferenceStretch(PixelSurface& dst, const TRect& dr, const PixelSurface& src, const TRect& sr,
                      const TRect& clip, std::uint32_t mask) {
    const auto axis = [](std::int64_t i, std::int32_t d0, std::int32_t d1, std::int32_t s0, std::int32_t s1) {
        // Normalised destination offset i; mirroring folded into the source as the contract says.
        const std::int64_t sw = d1 > d0 ? std::int64_t{s1} - s0 : std::int64_t{s0} - s1;
        const std::int64_t start = d1 > d0 ? s0 : s1;
        const std::int64_t dw = d1 > d0 ? std::int64_t{d1} - d0 : std::int64_t{d0} - d1;
        return sw >= 0 ? start + raster::SourceIndex(i, sw, dw) : start - 1 - raster::SourceIndex(i, -sw, dw);
    };
    const TRect d{std::min(dr.Left, dr.Right), std::min(dr.Top, dr.Bottom), std::max(dr.Left, dr.Right),
                  std::max(dr.Top, dr.Bottom)};
    const TRect visible = d.Intersect(clip).Intersect(dst.Bounds());
    for (std::int32_t y = visible.Top; y < visible.Bottom; ++y)
        for (std::int32_t x = visible.Left; x < visible.Right; ++x) {
            const std::int64_t sx = axis(x - d.Left, dr.Left, dr.Right, sr.Left, sr.Right);
            const std::int64_t sy = axis(y - d.Top, dr.Top, dr.Bottom, sr.Top, sr.Bottom);
            const bool inside = sx >= 0 && sy >= 0 && sx < src.Width() && sy < src.Height();
            dst.SetPixel(x, y, inside ? src.Pixel(static_cast<int>(sx), static_cast<int>(sy)) & mask : 0u);
        }
}

TEST(StretchCopy, EqualsThePixelByPixelContract) {
    PixelSurface src(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            src.SetPixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(y * 1000 + x + 1));
    struct Case {
        TRect dst, src, clip;
        std::uint32_t mask;
    } cases[] = {
        {Rect(0, 0, 50, 50), Rect(10, 10, 35, 35), Rect(0, 0, 60, 60), 0xFFFFFFFFu},  // 2x, vector loop
        {Rect(0, 0, 50, 50), Rect(10, 10, 35, 35), Rect(3, 5, 47, 40), 0x00FFFFFFu},  // 2x, clipped
        {Rect(0, 0, 50, 41), Rect(20, 7, 36, 20), Rect(0, 0, 60, 60), 0xFFFFFFFFu},   // about 3x
        {Rect(0, 0, 57, 57), Rect(0, 0, 5, 5), Rect(0, 0, 60, 60), 0xFFFFFFFFu},      // 11x and more
        {Rect(0, 0, 50, 50), Rect(-8, 40, 20, 60), Rect(0, 0, 60, 60), 0xFFFFFFFFu},  // partly off
        {Rect(0, 0, 50, 50), Rect(30, 0, 160, 200), Rect(0, 0, 60, 60), 0xFFFFFFFFu}, // shrinks
        {Rect(50, 0, 0, 50), Rect(10, 10, 35, 35), Rect(0, 0, 60, 60), 0xFFFFFFFFu},  // mirrored
        {Rect(0, 50, 50, 0), Rect(35, 10, 10, 35), Rect(0, 0, 60, 60), 0xFFFFFFFFu},  // mirrored twice
        {Rect(-9, -3, 58, 51), Rect(2, 1, 33, 29), Rect(0, 0, 60, 60), 0xFFFFFFFFu},  // reaches outside
        {Rect(0, 0, 59, 3), Rect(1, 1, 30, 2), Rect(0, 0, 60, 60), 0xFFFFFFFFu},      // 2x up to the edge
        {Rect(0, 0, 57, 57), Rect(9, 4, 28, 23), Rect(0, 0, 60, 60), 0x00FFFFFFu},    // 3x, vector loop
        {Rect(0, 0, 57, 57), Rect(9, 4, 28, 23), Rect(4, 2, 53, 50), 0xFFFFFFFFu},    // 3x, clipped
        {Rect(0, 0, 60, 3), Rect(1, 1, 21, 2), Rect(0, 0, 60, 60), 0xFFFFFFFFu},      // 3x up to the edge
    };
    for (const Case& c : cases) {
        // Twice, so a cached column plan meets a second source position.
        for (const int shift : {0, 3}) {
            const TRect s = c.src.Offset(shift, shift);
            PixelSurface fast(60, 60), expected(60, 60);
            raster::FillRect(fast, fast.Bounds(), 0x123456, fast.Bounds());
            raster::FillRect(expected, expected.Bounds(), 0x123456, expected.Bounds());
            raster::StretchCopy(fast, c.dst, src, s, c.clip, c.mask);
            ReferenceStretch(expected, c.dst, src, s, c.clip, c.mask);
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 60; ++x)
                    ASSERT_EQ(fast.Pixel(x, y), expected.Pixel(x, y))
                        << "at " << x << "," << y << " dst " << c.dst.Left << "," << c.dst.Top << " src "
                        << s.Left << "," << s.Top;
        }
    }
}

TEST(Line, ExcludesTheEndPointInEveryDirection) {
    struct Case {
        TPoint from, to;
        int pixels;
    } cases[] = {{{2, 5}, {8, 5}, 6}, {{8, 5}, {2, 5}, 6}, {{5, 1}, {5, 9}, 8},
                 {{5, 9}, {5, 1}, 8}, {{1, 1}, {6, 6}, 5}, {{3, 3}, {3, 3}, 0}};
    for (const Case& c : cases) {
        PixelSurface s(12, 12);
        raster::Line(s, c.from, c.to, 1, s.Bounds());
        int count = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) count += s.Pixel(x, y) == 1 ? 1 : 0;
        EXPECT_EQ(count, c.pixels);
        EXPECT_EQ(s.Pixel(c.to.X, c.to.Y), 0u);
        if (c.pixels > 0) {
            EXPECT_EQ(s.Pixel(c.from.X, c.from.Y), 1u);
        }
    }
}

TEST(Line, FarOutsideCoordinatesAreClippedWithoutOverflow) {
    PixelSurface s(10, 10);
    raster::Line(s, {5, -2147483647}, {5, 2147483647}, 7, s.Bounds());
    for (int y = 0; y < 10; ++y) EXPECT_EQ(s.Pixel(5, y), 7u);
    raster::Line(s, {-2000000000, 3}, {2000000000, 3}, 9, Rect(0, 0, 4, 10));
    EXPECT_EQ(s.Pixel(3, 3), 9u);
    EXPECT_EQ(s.Pixel(4, 3), 0u);
}

TEST(Blit, TransparentPixelsAreSkipped) {
    PixelSurface src(2, 2);
    src.SetPixel(0, 0, 5);
    src.SetPixel(1, 0, 9);
    src.SetPixel(0, 1, 9);
    src.SetPixel(1, 1, 6);
    PixelSurface dst(4, 4);
    raster::FillRect(dst, dst.Bounds(), 1, dst.Bounds());
    raster::Blit(dst, 1, 1, src, dst.Bounds(), true, 9);
    EXPECT_EQ(dst.Pixel(1, 1), 5u);
    EXPECT_EQ(dst.Pixel(2, 1), 1u);
    EXPECT_EQ(dst.Pixel(1, 2), 1u);
    EXPECT_EQ(dst.Pixel(2, 2), 6u);
}

TEST(SubtractRect, LeavesDisjointPiecesCoveringTheRest) {
    std::vector<TRect> rects{Rect(0, 0, 10, 10)};
    SubtractRect(rects, Rect(3, 3, 6, 6));
    int area = 0;
    for (const TRect& r : rects) {
        area += r.Width() * r.Height();
        EXPECT_TRUE(r.Intersect(Rect(3, 3, 6, 6)).IsEmpty());
    }
    EXPECT_EQ(area, 100 - 9);
    SubtractRect(rects, Rect(-5, -5, 20, 20));
    EXPECT_TRUE(rects.empty());
}

} // namespace

namespace {

TEST(PixelSurface, CopiesOwnTheirPixelsAndWrappedCopiesShareThem) {
    PixelSurface original(4, 4);
    original.SetPixel(1, 1, 7);
    PixelSurface copy = original;
    original.Resize(8, 8); // the copy must not point into the old storage
    copy.SetPixel(2, 2, 9);
    EXPECT_EQ(copy.Pixel(1, 1), 7u);
    EXPECT_EQ(copy.Pixel(2, 2), 9u);
    EXPECT_EQ(original.Pixel(2, 2), 0u);

    std::vector<std::uint32_t> memory(16, 0);
    PixelSurface wrapped = PixelSurface::Wrap(memory.data(), 4, 4, 4);
    PixelSurface view = wrapped;
    view.SetPixel(3, 3, 5);
    EXPECT_EQ(memory[15], 5u);

    PixelSurface moved = std::move(copy);
    EXPECT_EQ(moved.Pixel(1, 1), 7u);
    EXPECT_EQ(copy.Width(), 0);
}

} // namespace
