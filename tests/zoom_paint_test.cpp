// What the zoom view draws: the magnified source rectangle and the crosshair, at the centre and
// where the rectangle is pushed back inside the display.
#include "headless_fixture.h"

namespace {

constexpr std::uint32_t kBluePixel = 0x0000FF;

class ZoomPaintTest : public ZoomViewTest {
protected:
    void DrawAt(TPoint p) {
        platform.SetPointer(p);
        Tick();
    }
    // The view shows the 124 x 124 screen rectangle from `source`, stretched over its 250 x 250
    // pixels (each source pixel repeated twice, two of them three times), except on the crosshair.
    void ExpectMagnifiedFrom(TPoint source, bool (*onCrosshair)(int, int, int, int), int cx, int cy) {
        for (int y = 0; y < view->Height(); ++y)
            for (int x = 0; x < view->Width(); ++x) {
                if (onCrosshair(x, y, cx, cy)) continue;
                ASSERT_EQ(ViewPixel(x, y), ScreenPixel(source.X + Src(x), source.Y + Src(y)))
                    << x << "," << y;
            }
    }
    static int Src(int i) { return static_cast<int>(raster::SourceIndex(i, 124, 250)); }
    static bool StandardCrosshair(int x, int y, int cx, int cy) {
        return (x == cx && y >= cy - 10 && y < cy + 10) || (y == cy && x >= cx - 10 && x < cx + 10);
    }
    // Counts blue pixels in a row (or column) of the view.
    int BlueInRow(int y) {
        int n = 0;
        for (int x = 0; x < view->Width(); ++x) n += ViewPixel(x, y) == kBluePixel ? 1 : 0;
        return n;
    }
    int BlueInColumn(int x) {
        int n = 0;
        for (int y = 0; y < view->Height(); ++y) n += ViewPixel(x, y) == kBluePixel ? 1 : 0;
        return n;
    }
    int BlueAnywhere() {
        int n = 0;
        for (int y = 0; y < view->Height(); ++y) n += BlueInRow(y);
        return n;
    }
};

TEST_F(ZoomPaintTest, WorkedExampleAtTheCentreOfTheDisplay) {
    DrawAt({500, 400});
    ExpectMagnifiedFrom({438, 338}, StandardCrosshair, 125, 125);
    for (int i = 115; i < 135; ++i) {
        EXPECT_EQ(ViewPixel(i, 125), kBluePixel) << i;
        EXPECT_EQ(ViewPixel(125, i), kBluePixel) << i;
    }
    EXPECT_NE(ViewPixel(114, 125), kBluePixel);
    EXPECT_NE(ViewPixel(135, 125), kBluePixel);
    EXPECT_NE(ViewPixel(125, 135), kBluePixel);
    EXPECT_EQ(view->ZoomPoint(), (TPoint{500, 400}));
}

TEST_F(ZoomPaintTest, ClampedAtTheLeftAndRightEdgesTheCrosshairMovesOffCentre) {
    struct Case {
        int pointerX;
        int sourceLeft;
        int centreX;
    } cases[] = {{10, 0, 19}, {1020, 900, 243}, {61, 0, 121}, {62, 0, 125}, {962, 900, 125}, {963, 900, 129}};
    for (const Case& c : cases) {
        DrawAt({c.pointerX, 400});
        ExpectMagnifiedFrom({c.sourceLeft, 338}, StandardCrosshair, c.centreX, 125);
        EXPECT_EQ(BlueInColumn(c.centreX), 20) << c.pointerX;
        EXPECT_EQ(ViewPixel(c.centreX - 10, 125), kBluePixel) << c.pointerX;
        if (c.centreX + 9 < 250) {
            EXPECT_EQ(ViewPixel(c.centreX + 9, 125), kBluePixel) << c.pointerX;
        }
    }
}

TEST_F(ZoomPaintTest, ClampedAtTheTopAndBottomEdges) {
    DrawAt({500, 5}); // offY = (5 - 62 - 1) * 100 / 50 = -116
    ExpectMagnifiedFrom({438, 0}, StandardCrosshair, 125, 9);
    EXPECT_EQ(BlueInRow(9), 20);
    DrawAt({500, 767}); // offY = (767 + 62 - 768 + 1) * 2 = 124
    ExpectMagnifiedFrom({438, 644}, StandardCrosshair, 125, 249);
    EXPECT_EQ(BlueInRow(249), 20);
}

TEST_F(ZoomPaintTest, PointerAtTheTopLeftCornerHidesTheCrosshair) {
    DrawAt({1, 1});
    DrawAt({0, 0}); // offX = offY = -126: the centre is at (-1, -1)
    ExpectMagnifiedFrom(
        {0, 0}, [](int, int, int, int) { return false; }, 0, 0);
    EXPECT_EQ(BlueAnywhere(), 0);
}

TEST_F(ZoomPaintTest, PointersOffThePrimaryDisplayAreClampedToItsEdges) {
    DrawAt({-500, -300});
    ExpectMagnifiedFrom(
        {0, 0}, [](int, int, int, int) { return false; }, 0, 0);
    EXPECT_EQ(BlueAnywhere(), 0);
    DrawAt({3000, 2000});
    ExpectMagnifiedFrom(
        {900, 644}, [](int, int, int, int) { return false; }, 0, 0);
    EXPECT_EQ(BlueAnywhere(), 0);
}

TEST_F(ZoomPaintTest, CapturedWidthLargerThanTheDisplayReachesBeyondItsRightEdge) {
    platform.SetDisplaySize({100, 768});
    DrawAt({50, 400}); // every x satisfies x < halfW: the source starts at 0 and runs to 124
    for (int x = 0; x < 200; ++x) {
        if (x == 99) continue; // offX = (50 - 62 - 1) * 2 = -26: centre at x 99
        ASSERT_EQ(ViewPixel(x, 20), ScreenPixel(Src(x), 338 + Src(20))) << x;
    }
    EXPECT_EQ(ViewPixel(202, 20), 0u); // screen x 100 is past the display: black
    EXPECT_EQ(ViewPixel(249, 20), 0u);
    EXPECT_EQ(BlueInColumn(99), 20);
}

TEST_F(ZoomPaintTest, CrosshairSizeSetsTheArms) {
    struct Case {
        int size;
        int lineLength;
    } cases[] = {{0, 0}, {1, 0}, {7, 6}, {20, 20}, {21, 20}};
    int x = 400;
    for (const Case& c : cases) {
        view->CrosshairSize = c.size;
        DrawAt({x++, 400});
        EXPECT_EQ(BlueInColumn(125), c.lineLength) << c.size;
        EXPECT_EQ(BlueInRow(125), c.lineLength) << c.size;
        if (c.lineLength > 0) {
            EXPECT_EQ(ViewPixel(125, 125 - c.lineLength / 2), kBluePixel);
            EXPECT_NE(ViewPixel(125, 125 + c.lineLength / 2), kBluePixel);
        }
    }
}

TEST_F(ZoomPaintTest, OddWidthCentresOnHalfTheWidthRoundedDown) {
    view->SetBounds(0, 0, 251, 250);
    app->ProcessMessages(); // the repaint after the size change
    DrawAt({501, 400});
    EXPECT_EQ(BlueInColumn(125), 20);
    EXPECT_EQ(ViewPixel(115, 125), kBluePixel);
    EXPECT_EQ(ViewPixel(249, 0), ScreenPixel(439 + raster::SourceIndex(249, 124, 251), 338));
}

TEST_F(ZoomPaintTest, CrosshairPictureReplacesTheLinesAndIsTransparent) {
    TPicture picture;
    TBitmap* glyph = picture.Bitmap();
    glyph->SetSize(5, 5);
    glyph->Canvas()->Brush()->SetColor(clWhite);
    glyph->Canvas()->FillRect(Rect(0, 0, 5, 5));
    glyph->Canvas()->SetPixel(2, 2, clRed);
    view->SetCrossHairPicture(&picture);
    DrawAt({502, 400});
    EXPECT_EQ(BlueAnywhere(), 0);
    // Drawn at ((250 - 5) div 2, (250 - 5) div 2) = (122, 122); white is its transparent colour.
    EXPECT_EQ(ViewPixel(124, 124), 0xFF0000u);
    EXPECT_EQ(ViewPixel(122, 122), ScreenPixel(440 + Src(122), 338 + Src(122)));
    // At 200 % each picture pixel is a 2 x 2 square: 10 x 10 at (120, 120), red at (124..125).
    form->PixelsPerInch = 192;
    DrawAt({503, 400});
    for (const TPoint p : {TPoint{124, 124}, TPoint{125, 125}, TPoint{124, 125}})
        EXPECT_EQ(ViewPixel(p.X, p.Y), 0xFF0000u) << p.X << "," << p.Y;
    EXPECT_NE(ViewPixel(123, 124), 0xFF0000u);
    EXPECT_NE(ViewPixel(126, 126), 0xFF0000u);
    EXPECT_EQ(ViewPixel(120, 120), ScreenPixel(441 + Src(120), 338 + Src(120)));
}

TEST_F(ZoomPaintTest, ShrinkingLevelCapturesALargerArea) {
    view->SetZoomLevel(200); // halfW = 125 * 200 / 100 = 250: 500 pixels onto 250, every second one
    DrawAt({500, 400});
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(251, 151));
    EXPECT_EQ(ViewPixel(10, 20), ScreenPixel(271, 191));
}

TEST_F(ZoomPaintTest, HugeLevelsDoNotOverflow) {
    view->SetZoomLevel(2000000000);
    DrawAt({500, 400});
    // The whole display and far beyond it is squeezed into the view: the top-left pixel is the screen's.
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(0, 0));
    EXPECT_EQ(ViewPixel(249, 249), 0u);
}

} // namespace
