// The XP drawing routines: banded and dithered gradients (pixel-exact), the gradient description
// object, captions (measuring contract, accelerators, embossed disabled look), grey glyphs and lines.
#include "headless_fixture.h"
#include "xp/lv_xp_core.h"
#include "xp/xp_drawing.h"

#include <set>
#include <utility>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

class XPDrawingTest : public HeadlessTest {
protected:
    TBitmap bitmap;
    std::uint32_t At(int x, int y) const { return bitmap.Pixels().Pixel(x, y); }
    std::vector<std::uint32_t> Row(int y) const {
        std::vector<std::uint32_t> row;
        for (int x = 0; x < bitmap.Width(); ++x) row.push_back(At(x, y));
        return row;
    }
    std::vector<std::uint32_t> Column(int x) const {
        std::vector<std::uint32_t> column;
        for (int y = 0; y < bitmap.Height(); ++y) column.push_back(At(x, y));
        return column;
    }
    // The first row of the band that starts a row y of an h-row, n-band gradient (rounded half up).
    static int BandStart(int i, int h, int n) { return (2 * i * h + n) / (2 * n); }
};

TEST_F(XPDrawingTest, PlainBandsSplitTheWidthAndRunBackwardsForRightAndBottom) {
    LvXPCreateGradientRect(10, 1, clBlack, clWhite, 2, gsLeft, false, bitmap);
    ASSERT_EQ(bitmap.Width(), 10);
    ASSERT_EQ(bitmap.Height(), 1);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(x, 0), x < 5 ? kBlack : kWhite) << x;

    LvXPCreateGradientRect(10, 1, clBlack, clWhite, 2, gsRight, false, bitmap);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(x, 0), x < 5 ? kWhite : kBlack) << x;

    LvXPCreateGradientRect(3, 10, clBlack, clWhite, 2, gsTop, false, bitmap);
    EXPECT_EQ(Column(2), std::vector<std::uint32_t>({0, 0, 0, 0, 0, kWhite, kWhite, kWhite, kWhite, kWhite}));
    LvXPCreateGradientRect(3, 10, clBlack, clWhite, 2, gsBottom, false, bitmap);
    EXPECT_EQ(At(0, 0), kWhite);
    EXPECT_EQ(At(0, 9), kBlack);

    // Band edges round halves up: 3 bands over 5 columns end at 2 (1.67), 3 (3.33) and 5.
    LvXPCreateGradientRect(5, 1, clBlack, clWhite, 3, gsLeft, false, bitmap);
    EXPECT_EQ(Row(0), std::vector<std::uint32_t>({0, 0, 0x808080, kWhite, kWhite}));
}

TEST_F(XPDrawingTest, ColourStepsRoundTiesToEvenOnTheExactProduct) {
    // Start and end colours are the table's ends; system colours resolve first.
    LvXPCreateGradientRect(1, 5, clBtnShadow, clSilver, 5, gsTop, false, bitmap);
    EXPECT_EQ(At(0, 0), raster::ColorRefToPixel(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(At(0, 4), 0xC0C0C0u);

    // Red 0 -> 1 and green 0 -> 5 over three bands: 0.5 and 2.5 round to 0 and 2; blue 127.5 to 128.
    LvXPCreateGradientRect(1, 3, clBlack, 0xFF0501, 3, gsTop, false, bitmap);
    EXPECT_EQ(At(0, 1), 0x000280u);
    // Red 247 / 6 x 3 is 123.5 as a rounded double but just below it exactly, green 245 / 6 x 3
    // just above 122.5: the exact product decides.
    LvXPCreateGradientRect(1, 7, clBlack, 0x03F5F7, 7, gsTop, false, bitmap);
    EXPECT_EQ(At(0, 3), 0x7B7B02u);
    EXPECT_EQ(At(0, 6), 0xF7F503u);
    // Falling channels round the same way.
    LvXPCreateGradientRect(1, 7, 0x03F5F7, clBlack, 7, gsTop, false, bitmap);
    EXPECT_EQ(At(0, 3), 0x7C7A01u);
}

TEST_F(XPDrawingTest, DitheringScattersThePreviousColourWithTheSharedSeed) {
    // White to black over 24 columns: the second band starts at 12 and takes 25 draws of
    // seed := seed x 134775813 + 1, each giving the upper half of seed x j.
    SetLvXPGradientRandomSeed(1000);
    LvXPCreateGradientRect(24, 1, clWhite, clBlack, 2, gsLeft, true, bitmap);
    const std::string expected = "WWWWWWWWWWWWWWWWWBWBWWBB";
    for (int x = 0; x < 24; ++x)
        EXPECT_EQ(At(x, 0), expected[static_cast<std::size_t>(x)] == 'W' ? kWhite : kBlack) << x;
    EXPECT_EQ(LvXPGradientRandomSeed(), 0x0881A991u);
}

TEST_F(XPDrawingTest, TheButtonFaceShowsThePreviousBandInEachBandsFirstRow) {
    // With one band per row at most, each non-empty band is one row showing the previous colour.
    // The table's colours come from an undithered gradient with one row per band.
    TBitmap table;
    LvXPCreateGradientRect(1, 64, 0xFFFFFF, 0xE7EBEF, 64, gsTop, false, table);

    SetLvXPGradientRandomSeed(77);
    LvXPCreateGradientRect(40, 19, 0xFFFFFF, 0xE7EBEF, 64, gsTop, true, bitmap);
    TBitmap first;
    first.SetSize(40, 19);
    raster::Blit(first.Pixels(), 0, 0, bitmap.Pixels(), first.Pixels().Bounds());
    EXPECT_EQ(Row(0), std::vector<std::uint32_t>(40, kWhite));
    int rowsChecked = 0;
    for (int i = 1; i < 64; ++i) {
        const int y = BandStart(i, 19, 64);
        if (y == BandStart(i + 1, 19, 64)) continue; // an empty band
        EXPECT_EQ(Row(y), std::vector<std::uint32_t>(40, table.Pixels().Pixel(0, i - 1))) << "band " << i;
        ++rowsChecked;
    }
    EXPECT_EQ(rowsChecked, 19) << "the first band is empty, so row 0 is the second band's dithered row";

    // Every band draws once, empty or not; the same seed gives the same face.
    std::uint32_t seed = 77;
    for (int i = 1; i < 64; ++i) seed = seed * 134775813u + 1u;
    EXPECT_EQ(LvXPGradientRandomSeed(), seed);
    SetLvXPGradientRandomSeed(77);
    LvXPCreateGradientRect(40, 19, 0xFFFFFF, 0xE7EBEF, 64, gsTop, true, bitmap);
    for (int y = 0; y < 19; ++y)
        EXPECT_EQ(Row(y), std::vector<std::uint32_t>(first.Pixels().Row(y), first.Pixels().Row(y) + 40));
}

TEST_F(XPDrawingTest, DitherIsWorkedOutOnASixteenPixelStripAndRepeated) {
    SetLvXPGradientRandomSeed(5);
    LvXPCreateGradientRect(100, 40, clBlack, clWhite, 4, gsLeft, true, bitmap);
    for (int y = 16; y < 40; ++y) EXPECT_EQ(Row(y), Row(y % 16)) << y;
    // Inside each band only its own colour and the previous band's appear, and the previous one does.
    const std::uint32_t colours[4] = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};
    for (int band = 1; band < 4; ++band) {
        std::set<std::uint32_t> seen;
        for (int y = 0; y < 16; ++y)
            for (int x = BandStart(band, 100, 4); x < BandStart(band + 1, 100, 4); ++x) seen.insert(At(x, y));
        EXPECT_EQ(seen, (std::set<std::uint32_t>{colours[band - 1], colours[band]})) << band;
    }

    LvXPCreateGradientRect(40, 100, clBlack, clWhite, 4, gsBottom, true, bitmap);
    for (int x = 16; x < 40; ++x) EXPECT_EQ(Column(x), Column(x % 16)) << x;
    for (int y = 0; y < 100; ++y) EXPECT_EQ(Row(y), std::vector<std::uint32_t>(40, At(0, y))) << "row " << y;
}

TEST_F(XPDrawingTest, SizesOfZeroOrLessLeaveTheBitmapAndSeedAlone) {
    LvXPCreateGradientRect(3, 2, clRed, clRed, 2, gsLeft, false, bitmap);
    SetLvXPGradientRandomSeed(42);
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 5}, {5, -3}})
        LvXPCreateGradientRect(w, h, clBlack, clWhite, 16, gsTop, true, bitmap);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(At(2, 1), 0xFF0000u);
    EXPECT_EQ(LvXPGradientRandomSeed(), 42u);

    // Fewer than two bands would divide by zero; they are drawn as two.
    LvXPCreateGradientRect(10, 1, clBlack, clWhite, 1, gsLeft, false, bitmap);
    EXPECT_EQ(At(0, 0), kBlack);
    EXPECT_EQ(At(9, 0), kWhite);
}

class CountingXPControl : public TLvXPCustomControl {
public:
    using TLvXPCustomControl::TLvXPCustomControl;
    void InternalRedraw() override { ++redraws; }
    int redraws = 0;
};

TEST_F(XPDrawingTest, GradientObjectRendersAtItsOwnersSizeAndRedrawsOnRealChanges) {
    CountingXPControl owner(nullptr);
    owner.SetBounds(0, 0, 30, 20);
    TLvXPGradient gradient(&owner);
    EXPECT_EQ(gradient.Colors(), 16);
    EXPECT_TRUE(gradient.Dithered());
    EXPECT_FALSE(gradient.Enabled());
    EXPECT_EQ(gradient.StartColor(), clGray);
    EXPECT_EQ(gradient.EndColor(), clSilver);
    EXPECT_EQ(gradient.Style(), gsLeft);
    EXPECT_TRUE(gradient.BandBitmap()->Empty());

    gradient.SetEnabled(true);
    EXPECT_EQ(owner.redraws, 1);
    EXPECT_TRUE(gradient.BandBitmap()->Empty()) << "enabling only redraws";

    gradient.SetStartColor(clRed);
    EXPECT_EQ(owner.redraws, 2);
    ASSERT_EQ(gradient.BandBitmap()->Width(), 30);
    EXPECT_EQ(gradient.BandBitmap()->Height(), 20);
    EXPECT_EQ(gradient.BandBitmap()->Pixels().Pixel(0, 0), 0xFF0000u);

    gradient.SetStartColor(clRed);
    gradient.SetEnabled(true);
    gradient.SetColors(16);
    gradient.SetDithered(true);
    gradient.SetGradientStyle(gsLeft);
    gradient.SetEndColor(clSilver);
    EXPECT_EQ(owner.redraws, 2) << "equal values change nothing";

    gradient.SetDithered(false);
    gradient.SetGradientStyle(gsBottom);
    gradient.SetEndColor(clBlue);
    gradient.SetColors(2);
    EXPECT_EQ(owner.redraws, 6);
    EXPECT_EQ(gradient.BandBitmap()->Pixels().Pixel(29, 19), 0xFF0000u) << "bottom runs end to start";
    EXPECT_EQ(gradient.BandBitmap()->Pixels().Pixel(0, 0), 0x0000FFu);

    // A resize of the owner is picked up only when the owner asks.
    owner.SetBounds(0, 0, 12, 8);
    EXPECT_EQ(gradient.BandBitmap()->Width(), 30);
    gradient.RecreateBands();
    EXPECT_EQ(gradient.BandBitmap()->Width(), 12);
    EXPECT_EQ(owner.redraws, 6);
}

class RenderTextTest : public XPDrawingTest {
protected:
    TFont font;
    void SetUp() override {
        XPDrawingTest::SetUp();
        bitmap.SetSize(60, 30);
        Clear(clSilver);
        bitmap.Canvas()->Brush()->SetStyle(bsClear);
    }
    void Clear(TColor colour) {
        TCanvas* c = bitmap.Canvas();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(colour);
        c->FillRect(bitmap.Pixels().Bounds());
        c->Brush()->SetStyle(bsClear);
    }
    TRect Measure(const std::string& text, bool enabled, bool showAccelChar, TRect rect,
                  std::uint32_t flags = DT_END_ELLIPSIS | DT_WORDBREAK) {
        LvXPRenderText(nullptr, *bitmap.Canvas(), text, font, enabled, showAccelChar, rect,
                       flags | DT_CALCRECT);
        return rect;
    }
    std::set<std::pair<int, int>> PixelsOf(std::uint32_t pixel) const {
        std::set<std::pair<int, int>> found;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (At(x, y) == pixel) found.insert({x, y});
        return found;
    }
};

TEST_F(RenderTextTest, MeasuringGivesEmptyCaptionsAndLoneMarksOneBlankLine) {
    EXPECT_EQ(Measure("", true, true, Rect(20, 4, 85, 21)), Rect(20, 4, 23, 17));
    EXPECT_EQ(Measure("", false, false, Rect(20, 4, 85, 21)), Rect(20, 4, 23, 17));
    EXPECT_EQ(Measure("&", true, true, Rect(0, 0, 85, 21)), Rect(0, 0, 3, 13));
    EXPECT_EQ(Measure("&", true, false, Rect(0, 0, 85, 21)), Rect(0, 0, 8, 13)) << "a plain ampersand";
    EXPECT_EQ(Measure("E&xit", true, true, Rect(0, 0, 85, 21)), Rect(0, 0, 17, 13));
    EXPECT_EQ(Measure("E&xit", true, false, Rect(0, 0, 85, 21)), Rect(0, 0, 25, 13));
    // The embossed copy's measurement does not move or grow the result.
    EXPECT_EQ(Measure("Exit Exit", false, true, Rect(5, 6, 30, 21)),
              Measure("Exit Exit", true, true, Rect(5, 6, 30, 21)));
    EXPECT_EQ(Measure("Exit Exit", false, true, Rect(5, 6, 30, 21)), Rect(5, 6, 22, 6 + 26));
    EXPECT_EQ(PixelsOf(kBlack), (std::set<std::pair<int, int>>{})) << "measuring draws nothing";
}

TEST_F(RenderTextTest, DrawingUsesTheGivenFontAndUnderlinesOnlyWhenAcceleratorsShow) {
    font.SetColor(clRed);
    TRect r{2, 2, 60, 30};
    LvXPRenderText(nullptr, *bitmap.Canvas(), "E&xit", font, true, true, r, 0);
    const int underlineRow = 2 + 11 + 1;
    std::set<std::pair<int, int>> underline;
    for (int x = 8; x < 14; ++x) underline.insert({x, underlineRow});
    std::set<std::pair<int, int>> red = PixelsOf(0xFF0000);
    std::set<std::pair<int, int>> inRow;
    for (auto p : red)
        if (p.second == underlineRow) inRow.insert(p);
    EXPECT_EQ(inRow, underline);
    EXPECT_EQ(bitmap.Canvas()->Font()->Color(), clRed);

    Clear(clSilver);
    LvXPRenderText(nullptr, *bitmap.Canvas(), "E&xit", font, true, false, r, 0);
    for (auto p : PixelsOf(0xFF0000)) EXPECT_NE(p.second, underlineRow);
    EXPECT_FALSE(PixelsOf(0xFF0000).empty());
}

TEST_F(RenderTextTest, DisabledTextIsEmbossedInTheButtonHighlightAndShadowColours) {
    TRect r{4, 4, 60, 30};
    LvXPRenderText(nullptr, *bitmap.Canvas(), "E&xit", font, true, true, r, 0);
    const std::set<std::pair<int, int>> ink = PixelsOf(kBlack);
    ASSERT_FALSE(ink.empty());

    Clear(clSilver);
    LvXPRenderText(nullptr, *bitmap.Canvas(), "E&xit", font, false, true, r, 0);
    EXPECT_EQ(r, Rect(4, 4, 60, 30));
    const std::uint32_t shadow = raster::ColorRefToPixel(ColorToRGB(clBtnShadow));
    const std::uint32_t highlight = raster::ColorRefToPixel(ColorToRGB(clBtnHighlight));
    ASSERT_NE(shadow, highlight);
    EXPECT_EQ(PixelsOf(shadow), ink);
    std::set<std::pair<int, int>> expectedHighlight;
    for (auto [x, y] : ink)
        if (!ink.count({x + 1, y + 1})) expectedHighlight.insert({x + 1, y + 1});
    EXPECT_EQ(PixelsOf(highlight), expectedHighlight);
    EXPECT_EQ(font.Color(), clWindowText) << "the caller's font is not touched";
}

TEST_F(XPDrawingTest, GreyConversionAveragesAndLightens) {
    bitmap.SetSize(4, 1);
    bitmap.Pixels().SetPixel(0, 0, 0x000000);
    bitmap.Pixels().SetPixel(1, 0, 0xC86400); // R 200, G 100, B 0
    bitmap.Pixels().SetPixel(2, 0, 0x9B9B9B); // 155 each
    bitmap.Pixels().SetPixel(3, 0, 0x9A9B9B); // average 154.67
    LvXPConvertToGray2(bitmap);
    EXPECT_EQ(Row(0), std::vector<std::uint32_t>({0x646464, 0xC8C8C8, 0xFFFFFF, 0xFEFEFE}));
}

TEST_F(XPDrawingTest, LinesStopShortOfTheirEndPoint) {
    bitmap.SetSize(4, 3);
    TCanvas* c = bitmap.Canvas();
    c->Pen()->SetColor(clWhite);
    LvXPDrawLine(*c, 0, 1, 2, 0);
    EXPECT_EQ(At(0, 1), kWhite);
    EXPECT_EQ(At(2, 0), kBlack);
    int painted = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) painted += At(x, y) == kWhite;
    EXPECT_EQ(painted, 2);
    EXPECT_EQ(c->PenPos, (TPoint{2, 0}));
}

} // namespace
