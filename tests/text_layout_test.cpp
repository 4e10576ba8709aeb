// Formatted text: measuring, line breaking, accelerators, ellipses, alignment, clipping and the
// text background. The built-in font measures "Exit" 17 pixels, a blank 3, "&" 8 and a line 13;
// its glyphs start with a stem at their left edge, 8 pixels tall for capitals, ending on the baseline.
#include "framework/graphics/bitmap.h"
#include "framework/graphics/text_layout.h"
#include "headless_fixture.h"

namespace {

constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr std::uint32_t kInk = 0x000000;
constexpr int kLine = 13;
constexpr int kAscent = 11;

class TextLayoutTest : public HeadlessTest {
protected:
    TBitmap bitmap;
    TCanvas* canvas = nullptr;

    void SetUp() override {
        HeadlessTest::SetUp();
        bitmap.SetSize(120, 60);
        canvas = bitmap.Canvas();
        canvas->Brush()->SetColor(clWhite);
        canvas->FillRect(bitmap.Pixels().Bounds());
        canvas->Brush()->SetStyle(bsClear);
        canvas->Font()->SetColor(clBlack);
    }

    TRect Measure(const std::string& text, TRect rect, std::uint32_t flags) {
        DrawTextFlags(*canvas, text, rect, flags | DT_CALCRECT);
        return rect;
    }

    // The bounding box of every pixel of the given colour (empty when there is none).
    TRect InkBounds(std::uint32_t pixel, const TRect& area = {0, 0, 120, 60}) {
        TRect box;
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                if (bitmap.Pixels().Pixel(x, y) == pixel) box = box.Union(Rect(x, y, x + 1, y + 1));
        return box;
    }
};

TEST_F(TextLayoutTest, MeasuringKeepsTheTopLeftAndSizesToTheWidestLineByAllLines) {
    EXPECT_EQ(Measure("Exit", Rect(5, 7, 6, 8), 0), Rect(5, 7, 22, 7 + kLine));
    EXPECT_EQ(Measure("Exit\nExit Exit\r\nE", Rect(0, 0, 0, 0), 0), Rect(0, 0, 37, 3 * kLine));
    EXPECT_EQ(Measure("\r\r\n", Rect(0, 0, 0, 0), 0).Height(), 2 * kLine) << "lone CR breaks too";
    EXPECT_EQ(Measure("Exit\n", Rect(0, 0, 0, 0), 0).Height(), kLine) << "a final break adds no line";
    EXPECT_EQ(Measure("a\n\nb", Rect(0, 0, 0, 0), 0).Height(), 3 * kLine);
    EXPECT_EQ(Measure("Exit\nExit", Rect(0, 0, 0, 0), DT_SINGLELINE).Height(), kLine);
    EXPECT_EQ(Measure("", Rect(3, 4, 50, 50), 0), Rect(3, 4, 3, 4)) << "no text, no line";
    EXPECT_EQ(Measure(" ", Rect(3, 4, 50, 50), DT_WORDBREAK), Rect(3, 4, 6, 4 + kLine));

    TRect r{0, 0, 100, 100};
    EXPECT_EQ(DrawTextFlags(*canvas, "a\nb", r, DT_CALCRECT), 2 * kLine);
    EXPECT_EQ(InkBounds(kInk), TRect{}) << "measuring draws nothing";
}

TEST_F(TextLayoutTest, AmpersandsMarkTheAcceleratorUnlessPrefixesAreOff) {
    EXPECT_EQ(Measure("E&xit", {}, 0).Width(), 17);
    EXPECT_EQ(Measure("E&&xit", {}, 0).Width(), 17 + 8);
    EXPECT_EQ(Measure("E&xit", {}, DT_NOPREFIX).Width(), 17 + 8);
    EXPECT_EQ(Measure("Exit&", {}, 0).Width(), 17) << "a trailing mark is dropped";

    TRect r{10, 5, 100, 40};
    DrawTextFlags(*canvas, "E&xit", r, 0);
    // 'x' spans 6..11 after the 6-pixel 'E'; the underline lies one row below the baseline.
    const int underlineRow = 5 + kAscent + 1;
    EXPECT_EQ(InkBounds(kInk, {0, underlineRow, 120, underlineRow + 1}),
              Rect(16, underlineRow, 22, underlineRow + 1));
    EXPECT_EQ(InkBounds(kInk, {0, 0, 120, underlineRow}).Left, 10);

    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(bitmap.Pixels().Bounds());
    canvas->Brush()->SetStyle(bsClear);
    DrawTextFlags(*canvas, "E&&xit", r, 0);
    EXPECT_EQ(InkBounds(kInk, {0, underlineRow, 120, underlineRow + 1}), TRect{})
        << "'&&' underlines nothing";
    EXPECT_EQ(canvas->Pen()->Color(), clBlack) << "the pen is left as it was";
}

TEST_F(TextLayoutTest, UnderlineTakesTheFontColourAndOnlyTheLastMarkCounts) {
    canvas->Font()->SetColor(clRed);
    canvas->Pen()->SetColor(clBlue);
    canvas->MoveTo(1, 2);
    TRect r{0, 0, 100, 20};
    DrawTextFlags(*canvas, "&Exit &now", r, 0);
    const int row = kAscent + 1;
    EXPECT_EQ(InkBounds(0xFF0000, {0, row, 120, row + 1}), Rect(20, row, 26, row + 1)) << "under the 'n'";
    EXPECT_EQ(canvas->Pen()->Color(), clBlue);
    EXPECT_EQ(canvas->PenPos, (TPoint{1, 2}));
}

TEST_F(TextLayoutTest, WordBreakFillsEachLineGreedilyAndKeepsLongWordsWhole) {
    // "Exit Exit" is 37 wide; a third word does not fit in 40.
    EXPECT_EQ(Measure("Exit Exit Exit", Rect(0, 0, 40, 0), DT_WORDBREAK), Rect(0, 0, 37, 2 * kLine));
    EXPECT_EQ(Measure("Exit Exit Exit", Rect(0, 0, 37, 0), DT_WORDBREAK).Height(), 2 * kLine);
    EXPECT_EQ(Measure("Exit Exit Exit", Rect(0, 0, 36, 0), DT_WORDBREAK), Rect(0, 0, 17, 3 * kLine));
    EXPECT_EQ(Measure("Exit    Exit", Rect(0, 0, 20, 0), DT_WORDBREAK), Rect(0, 0, 17, 2 * kLine))
        << "blanks at a break vanish";
    EXPECT_EQ(Measure("Exit ", Rect(0, 0, 17, 0), DT_WORDBREAK).Width(), 17)
        << "trailing blank that does not fit";
    EXPECT_EQ(Measure("Exit ", Rect(0, 0, 40, 0), DT_WORDBREAK).Width(), 20);
    EXPECT_EQ(Measure("Exitexitexit ab", Rect(0, 0, 10, 0), DT_WORDBREAK).Height(), 2 * kLine);
    EXPECT_EQ(Measure("Exit Exit\nExit", Rect(0, 0, 20, 0), DT_WORDBREAK).Height(), 3 * kLine);
    EXPECT_EQ(Measure("Exit Exit", Rect(0, 0, 20, 0), DT_WORDBREAK | DT_SINGLELINE).Height(), kLine);

    // The accelerator follows its character onto the second line.
    TRect r{0, 0, 40, 60};
    DrawTextFlags(*canvas, "Exit Exit E&xit", r, DT_WORDBREAK);
    const int row = kLine + kAscent + 1;
    EXPECT_EQ(InkBounds(kInk, {0, row, 120, row + 1}), Rect(6, row, 12, row + 1));
}

TEST_F(TextLayoutTest, EndEllipsisCutsLinesThatDoNotFit) {
    // "E..." is 15 wide, "Ex..." 21.
    EXPECT_EQ(Measure("Exit Exit", Rect(0, 0, 20, 0), DT_END_ELLIPSIS).Width(), 15);
    EXPECT_EQ(Measure("Exit", Rect(0, 0, 17, 0), DT_END_ELLIPSIS).Width(), 17) << "a fitting line is kept";
    // "ExitE..." would be 32: the second line keeps "Exit" before its dots.
    EXPECT_EQ(Measure("Exit\nExitExit", Rect(0, 0, 30, 0), DT_END_ELLIPSIS), Rect(0, 0, 26, 2 * kLine));
    EXPECT_EQ(Measure("Exit Exitexitexit", Rect(0, 0, 30, 0), DT_WORDBREAK | DT_END_ELLIPSIS),
              Rect(0, 0, 26, 2 * kLine));
    EXPECT_EQ(Measure("Exit", Rect(0, 0, 4, 0), DT_END_ELLIPSIS).Width(), 9) << "nothing fits: only the dots";

    // The accelerator is cut off with its character.
    TRect r{0, 0, 16, 20};
    DrawTextFlags(*canvas, "Exi&t", r, DT_END_ELLIPSIS);
    EXPECT_EQ(InkBounds(kInk, {0, kAscent + 1, 120, kAscent + 2}), TRect{});
    EXPECT_EQ(InkBounds(kInk).Right, 15 - 1) << "the last dot ends short of the 15-pixel line";
}

TEST_F(TextLayoutTest, LinesAreAlignedInTheRectangle) {
    auto inkLeftTop = [&](const std::string& text, TRect r, std::uint32_t flags) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(bitmap.Pixels().Bounds());
        canvas->Brush()->SetStyle(bsClear);
        DrawTextFlags(*canvas, text, r, flags);
        const TRect ink = InkBounds(kInk);
        return TPoint{ink.Left, ink.Top};
    };
    constexpr int kCapitalTop = kAscent - 8; // the stem of a capital starts 3 rows into the line
    EXPECT_EQ(inkLeftTop("Exit", Rect(10, 10, 60, 50), 0), (TPoint{10, 10 + kCapitalTop}));
    EXPECT_EQ(inkLeftTop("Exit", Rect(10, 10, 60, 50), DT_RIGHT), (TPoint{60 - 17, 10 + kCapitalTop}));
    EXPECT_EQ(inkLeftTop("Exit", Rect(10, 10, 60, 50), DT_CENTER),
              (TPoint{10 + (50 - 17) / 2, 10 + kCapitalTop}));
    EXPECT_EQ(inkLeftTop("Exit", Rect(10, 10, 60, 50), DT_SINGLELINE | DT_VCENTER),
              (TPoint{10, 10 + (40 - kLine) / 2 + kCapitalTop}));
    EXPECT_EQ(inkLeftTop("Exit", Rect(10, 10, 60, 50), DT_SINGLELINE | DT_BOTTOM),
              (TPoint{10, 50 - kLine + kCapitalTop}));
    EXPECT_EQ(inkLeftTop("Exit", Rect(10, 10, 60, 50), DT_VCENTER), (TPoint{10, 10 + kCapitalTop}))
        << "vertical centring needs a single line";
    // Each line is aligned on its own: the wider second line decides the leftmost ink.
    EXPECT_EQ(inkLeftTop("E\nExit", Rect(10, 10, 60, 50), DT_RIGHT).X, 60 - 17);
    // Tabs advance to the next multiple of eight average character widths (8 x 5 here).
    EXPECT_EQ(inkLeftTop("\tE", Rect(10, 10, 60, 50), DT_EXPANDTABS).X, 10 + 40);
}

TEST_F(TextLayoutTest, TextIsClippedToTheRectangleUnlessNoClipIsAsked) {
    TRect r{10, 10, 20, 30};
    DrawTextFlags(*canvas, "Exit Exit", r, 0);
    EXPECT_EQ(InkBounds(kInk).Right, 20);
    EXPECT_EQ(r, Rect(10, 10, 20, 30)) << "drawing leaves the rectangle alone";

    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(bitmap.Pixels().Bounds());
    canvas->Brush()->SetStyle(bsClear);
    DrawTextFlags(*canvas, "Exit Exit", r, DT_NOCLIP);
    EXPECT_GT(InkBounds(kInk).Right, 30);

    // The clip is restored afterwards.
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(bitmap.Pixels().Bounds());
    EXPECT_EQ(InkBounds(0xFF0000), bitmap.Pixels().Bounds());
}

TEST_F(TextLayoutTest, CellsAreFilledWithTheBrushUnlessTheBackgroundIsTransparent) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clLime);
    TRect r{0, 0, 100, 40};
    DrawTextFlags(*canvas, "Exit", r, 0);
    EXPECT_EQ(InkBounds(0x00FF00).Union(InkBounds(kInk)), Rect(0, 0, 17, kLine));

    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(bitmap.Pixels().Bounds());
    canvas->Brush()->SetColor(clLime);
    canvas->BackgroundTransparent = true;
    DrawTextFlags(*canvas, "Exit", r, 0);
    EXPECT_EQ(InkBounds(0x00FF00), TRect{});
    EXPECT_FALSE(InkBounds(kInk).IsEmpty());
}

} // namespace
