// The canvas as the view and the controls use it: binding, lines, fills, copies, bitmaps, text.
#include "framework/core/exceptions.h"
#include "framework/graphics/bitmap.h"
#include "headless_fixture.h"
#include "zoom/screen_services.h"

namespace {

class CanvasTest : public HeadlessTest {
protected:
    TBitmap bitmap;
    void SetUp() override {
        HeadlessTest::SetUp();
        bitmap.SetSize(20, 20);
    }
    std::uint32_t At(int x, int y) { return bitmap.Pixels().Pixel(x, y); }
};

TEST_F(CanvasTest, DrawingWithoutASurfaceFailsWithTheFrameworkText) {
    TCanvas unbound;
    try {
        unbound.FillRect(Rect(0, 0, 1, 1));
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
    }
}

TEST_F(CanvasTest, LineToCoversTheStartAndStopsShortOfTheEnd) {
    TCanvas* c = bitmap.Canvas();
    c->Pen()->SetColor(clRed);
    c->MoveTo(5, 2);
    c->LineTo(5, 12);
    EXPECT_EQ(At(5, 2), 0xFF0000u);
    EXPECT_EQ(At(5, 11), 0xFF0000u);
    EXPECT_EQ(At(5, 12), 0u);
    EXPECT_EQ(c->PenPos, (TPoint{5, 12}));
}

TEST_F(CanvasTest, ColoursAreStoredAsPixelsAndSystemColoursResolve) {
    TCanvas* c = bitmap.Canvas();
    c->Brush()->SetColor(clBlue);
    c->FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(At(1, 1), 0x0000FFu); // 0x00BBGGRR blue is pixel 0x00RRGGBB 0x0000FF
    EXPECT_EQ(c->Pixel(1, 1), static_cast<std::uint32_t>(clBlue));
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(2, 0, 4, 2));
    EXPECT_EQ(c->Pixel(2, 0), ColorToRGB(clBtnFace));
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
}

TEST_F(CanvasTest, FillRectExcludesRightAndBottomEdges) {
    TCanvas* c = bitmap.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(2, 3, 6, 7));
    EXPECT_EQ(At(2, 3), 0xFFFFFFu);
    EXPECT_EQ(At(5, 6), 0xFFFFFFu);
    EXPECT_EQ(At(6, 6), 0u);
    EXPECT_EQ(At(5, 7), 0u);
}

TEST_F(CanvasTest, CopyFromTheScreenStretchesAndReleasesNothingItDidNotTake) {
    TLvDesktopCanvas desktop;
    bitmap.Canvas()->CopyRect(Rect(0, 0, 20, 20), desktop, Rect(100, 50, 110, 60));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(At(x, y), HeadlessPlatform::TestPatternPixel(100 + x / 2, 50 + y / 2));
    EXPECT_EQ(platform.ScreenSurfacesHeld(), 1);
    desktop.FreeHandle();
    EXPECT_EQ(platform.ScreenSurfacesHeld(), 0);
}

TEST_F(CanvasTest, ScreenThatCannotBeHadFailsTheCopy) {
    platform.failScreen = true;
    TLvDesktopCanvas desktop;
    EXPECT_THROW(bitmap.Canvas()->CopyRect(Rect(0, 0, 2, 2), desktop, Rect(0, 0, 1, 1)), EInvalidOperation);
    EXPECT_EQ(platform.ScreenSurfacesHeld(), 0);
}

TEST_F(CanvasTest, TransparentBitmapSkipsItsBottomLeftColour) {
    TBitmap glyph;
    glyph.SetSize(3, 3);
    glyph.Canvas()->Brush()->SetColor(clWhite);
    glyph.Canvas()->FillRect(Rect(0, 0, 3, 3));
    glyph.Canvas()->SetPixel(1, 1, clRed);
    EXPECT_EQ(glyph.TransparentColor(), static_cast<std::uint32_t>(clWhite));
    bitmap.Canvas()->Brush()->SetColor(clGreen);
    bitmap.Canvas()->FillRect(Rect(0, 0, 20, 20));
    glyph.SetTransparent(true);
    bitmap.Canvas()->Draw(4, 4, &glyph);
    EXPECT_EQ(bitmap.Canvas()->Pixel(5, 5), static_cast<std::uint32_t>(clRed));
    EXPECT_EQ(bitmap.Canvas()->Pixel(4, 4), static_cast<std::uint32_t>(clGreen));
    glyph.SetTransparent(false);
    bitmap.Canvas()->Draw(4, 4, &glyph);
    EXPECT_EQ(bitmap.Canvas()->Pixel(4, 4), static_cast<std::uint32_t>(clWhite));
}

TEST_F(CanvasTest, PictureReportsEveryChange) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.Bitmap()->SetSize(4, 4);
    EXPECT_GE(changes, 2); // the new bitmap, then its size
    const int before = changes;
    picture.Bitmap()->Canvas()->SetPixel(0, 0, clRed);
    EXPECT_GT(changes, before);
    TPicture copy;
    copy.Assign(&picture);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.Bitmap()->Canvas()->Pixel(0, 0), static_cast<std::uint32_t>(clRed));
}

TEST_F(CanvasTest, BuiltInFontMeasuresTheFormCaptionsLikeTheClassicFont) {
    TCanvas* c = bitmap.Canvas();
    EXPECT_EQ(c->TextWidth("Exit"), 17);
    EXPECT_EQ(c->TextWidth("Zoom Power:"), 63);
    EXPECT_EQ(c->TextWidth("Crosshair Size:"), 69);
    EXPECT_EQ(c->TextHeight("Exit"), 13);
}

TEST_F(CanvasTest, TextIsDrawnInTheFontColourOnTheBrush) {
    TCanvas* c = bitmap.Canvas();
    c->Brush()->SetColor(clYellow);
    c->Font()->SetColor(clBlack);
    c->TextOut(1, 1, "E");
    EXPECT_EQ(c->Pixel(1 + 5, 1), static_cast<std::uint32_t>(clYellow)); // background cell
    bool sawInk = false;
    for (int y = 1; y < 14; ++y) sawInk = sawInk || c->Pixel(1, y) == static_cast<std::uint32_t>(clBlack);
    EXPECT_TRUE(sawInk);
    EXPECT_EQ(c->PenPos.X, 1 + 6);
}

} // namespace
