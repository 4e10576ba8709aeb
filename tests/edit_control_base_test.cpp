// The control base under the edit: bevel extents, the window border, the theme decision and the
// application-wide object.
#include "edit_fixture.h"

#include "framework/graphics/bitmap.h"
#include "framework/graphics/draw_edge.h"

#include <functional>

namespace {

struct ExtentCase {
    const char* name;
    std::function<void(TLcBevel&)> setup;
    int expectExt;
    int expectExtr;
};

} // namespace

TEST(LcBevel, ExtentOfEveryMode) {
    const ExtentCase cases[] = {
        {"custom, nothing", [](TLcBevel&) {}, 0, 0},
        {"custom, frame outer", [](TLcBevel& b) { b.SetStyleOuter(bvFrameLowered); }, 2, 2},
        {"custom, both frames and border",
         [](TLcBevel& b) {
             b.SetStyleOuter(bvRaised);
             b.SetWidthOuter(3);
             b.SetStyleInner(bvFrameRaised);
             b.SetWidthInner(2);
             b.SetBorderWidth(4);
             b.SetBorderInnerWidth(1);
         },
         3 + 4 + 2 + 1 + 1, 11},
        {"custom, shadow",
         [](TLcBevel& b) {
             b.SetStyleOuter(bvShadow);
             b.SetWidthInner(2);
             b.SetWidthOuter(3);
             b.SetBorderInnerWidth(1);
         },
         3, 6},
        {"standard, single lowered", [](TLcBevel& b) { b.SetMode(bmStandard); }, 1, 1},
        {"standard, none",
         [](TLcBevel& b) {
             b.SetMode(bmStandard);
             b.SetStandardStyle(lsNone);
         },
         0, 0},
        {"standard, lowered ext plus inner",
         [](TLcBevel& b) {
             b.SetMode(bmStandard);
             b.SetStandardStyle(lsLoweredExt);
             b.SetBorderInnerWidth(2);
         },
         4, 4},
        {"edge, all sides", [](TLcBevel& b) { b.SetMode(bmEdge); }, 2, 2},
        {"edge, no sides",
         [](TLcBevel& b) {
             b.SetMode(bmEdge);
             b.SetBorderSides(0);
             b.SetBorderInnerWidth(3);
         },
         3, 3},
        {"windows, window border",
         [](TLcBevel& b) {
             b.SetWindowBorder(true);
             b.SetMode(bmWindows);
         },
         0, 0},
        {"windows, drawn",
         [](TLcBevel& b) {
             b.SetMode(bmWindows);
             b.SetBorderInnerWidth(1);
         },
         3, 3},
    };
    for (const ExtentCase& c : cases) {
        SCOPED_TRACE(c.name);
        TLcBevel bevel;
        c.setup(bevel);
        EXPECT_EQ(bevel.Ext(), c.expectExt);
        EXPECT_EQ(bevel.Extr(), c.expectExtr);
        EXPECT_EQ(bevel.GetBevelExtend(), c.expectExt);
        // On a scaled display every frame line is wider; what is painted ends where the extent says.
        for (const int line : {1, 2, 3}) {
            bevel.SetLineWidth(line);
            EXPECT_EQ(bevel.Ext(), c.expectExt * line) << line;
            EXPECT_EQ(bevel.Extr(), c.expectExtr * line) << line;
            TBitmap bitmap;
            bitmap.SetSize(120, 120);
            TRect inner;
            bevel.PaintBevel(*bitmap.Canvas(), {0, 0, 120, 120}, inner, false);
            EXPECT_EQ(inner, bevel.ClientRect({0, 0, 120, 120})) << line;
        }
    }
}

TEST(LcBevel, SettersKeepTheShadowPairAndNotifyOnlyRealChanges) {
    TLcBevel bevel;
    int notified = 0;
    bevel.OnChange = [&](TObject*) { ++notified; };
    bevel.SetStyleInner(bvShadow);
    EXPECT_EQ(bevel.StyleOuter(), bvShadow);
    bevel.SetStyleOuter(bvLowered);
    EXPECT_EQ(bevel.StyleInner(), bvNone);
    EXPECT_EQ(notified, 2);
    bevel.SetStyleOuter(bvLowered);
    bevel.SetBorderColor(bevel.BorderColor());
    EXPECT_EQ(notified, 2);

    // The standard style is a change only where it is used.
    bevel.SetStandardStyle(lsRaised);
    EXPECT_EQ(notified, 2);
    bevel.SetMode(bmStandard);
    EXPECT_EQ(bevel.Ext(), 2);
    bevel.SetStandardStyle(lsSingle);
    EXPECT_EQ(notified, 4);
    EXPECT_EQ(bevel.Ext(), 1);

    bevel.SetWidthInner(200);
    EXPECT_EQ(bevel.WidthInner(), 50);

    TLcBevel copy;
    copy.Assign(bevel);
    EXPECT_EQ(copy.Mode(), bmStandard);
    EXPECT_EQ(copy.Ext(), 1);
}

TEST(LcBevel, ClientRectOfAShadowFrameIsLopsided) {
    TLcBevel bevel;
    bevel.SetStyleOuter(bvShadow);
    bevel.SetWidthInner(1);
    bevel.SetWidthOuter(3);
    EXPECT_EQ(bevel.ClientRect({0, 0, 50, 20}), (TRect{1, 1, 46, 16}));
    bevel.SetStyleOuter(bvNone);
    bevel.SetMode(bmEdge);
    EXPECT_EQ(bevel.ClientRect({0, 0, 50, 20}), (TRect{2, 2, 48, 18}));
}

TEST_F(EditTest, ClassicEditHasTheSunkenTwoPixelBorderOutsideItsClientArea) {
    EXPECT_EQ(edit->Bevel()->Mode(), bmWindows);
    EXPECT_EQ(edit->Bevel()->Ext(), 0);
    EXPECT_EQ(edit->ClientRect(), (TRect{2, 2, 63, 19}));
    EXPECT_EQ(edit->ClientWidth(), 61);
    Settle();
    const int w = edit->Width();
    const int h = edit->Height();
    const std::uint32_t shadow = ColorToPixel(clBtnShadow);
    const std::uint32_t highlight = ColorToPixel(clBtnHighlight);
    const std::uint32_t dark = ColorToPixel(cl3DDkShadow);
    const std::uint32_t light = ColorToPixel(cl3DLight);
    // Outer ring: shadow on top and left, highlight on bottom and right (which own the corners).
    EXPECT_EQ(PixelOf(edit, 0, 0), shadow);
    EXPECT_EQ(PixelOf(edit, w - 2, 0), shadow);
    EXPECT_EQ(PixelOf(edit, 0, h - 2), shadow);
    EXPECT_EQ(PixelOf(edit, w - 1, 0), highlight);
    EXPECT_EQ(PixelOf(edit, 0, h - 1), highlight);
    EXPECT_EQ(PixelOf(edit, w - 1, h - 1), highlight);
    // Inner ring: dark shadow on top and left, light on bottom and right.
    EXPECT_EQ(PixelOf(edit, 1, 1), dark);
    EXPECT_EQ(PixelOf(edit, w - 3, 1), dark);
    EXPECT_EQ(PixelOf(edit, w - 2, 1), light);
    EXPECT_EQ(PixelOf(edit, 1, h - 2), light);
    EXPECT_EQ(PixelOf(edit, 2, 2), ColorToPixel(clWindow));
}

TEST_F(EditTest, ChangingTheBevelRecreatesTheWindow) {
    const HWND before = edit->Handle();
    edit->Bevel()->SetMode(bmEdge);
    EXPECT_NE(edit->Handle(), before);
    // Not the window's own border any more: drawn inside the client area, which is the whole control.
    EXPECT_EQ(edit->ClientRect(), (TRect{0, 0, 65, 21}));
    EXPECT_EQ(edit->Bevel()->Ext(), 2);
    Settle();
    EXPECT_EQ(PixelOf(edit, 0, 0), ColorToPixel(clBtnShadow)); // etched: sunken outer ring
    EXPECT_EQ(PixelOf(edit, 1, 1), ColorToPixel(clBtnHighlight));
}

TEST_F(EditTest, ThemeRemovesTheBorderAndDrawsTheFrameInside) {
    platform.SetThemeActive(true);
    edit->Perform(LC_WM_THEMECHANGED, 0, 0);
    EXPECT_TRUE(edit->UseXP());
    EXPECT_EQ(edit->ClientRect(), (TRect{0, 0, 65, 21}));
    EXPECT_EQ(edit->CurrentCreateParams().ExStyle & LC_WS_EX_CLIENTEDGE, 0u);
    Settle();
    // The platform's frame in the focused state, over the whole client area; the text lies inside
    // the theme's content rectangle.
    const std::uint32_t ring = HeadlessPlatform::ThemeRingPixel(ETS_FOCUSED);
    EXPECT_EQ(PixelOf(edit, 0, 0), ring);
    EXPECT_EQ(PixelOf(edit, 64, 20), ring);
    EXPECT_EQ(platform.LastThemeDraw().themeClass, "EDIT");
    EXPECT_EQ(platform.LastThemeDraw().part, EP_EDITTEXT);
    EXPECT_EQ(edit->InnerRect, (TRect{1, 1, 64, 20}));
    EXPECT_EQ(edit->TextRect, (TRect{2, 2, 62, 19}));

    // The control's own switch, the application's and the platform's each turn it off again.
    edit->SetCtlXP(false);
    EXPECT_FALSE(edit->UseXP());
    EXPECT_EQ(edit->ClientRect(), (TRect{2, 2, 63, 19}));
    edit->SetCtlXP(true);
    LcApplication().SetUseXPThemes(false);
    EXPECT_FALSE(edit->UseXP());
    LcApplication().SetUseXPThemes(true);
    platform.SetThemeActive(false);
    EXPECT_FALSE(edit->UseXP());
}

TEST_F(EditTest, ThemeStateRules) {
    struct Case {
        const char* name;
        bool focused, hot, readOnly, disabled;
        int expect;
    };
    const Case cases[] = {
        {"normal", false, false, false, false, ETS_NORMAL},
        {"focused", true, false, false, false, ETS_FOCUSED},
        {"hot beats focused", true, true, false, false, ETS_HOT},
        {"read-only beats hot", true, true, true, false, ETS_READONLY},
        {"disabled beats read-only", false, true, true, true, ETS_DISABLED},
    };
    CountingEdit* other = AddEdit(100, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetEnabled(true);
        (c.focused ? edit : other)->SetFocus();
        edit->MouseAbove = c.hot;
        edit->SetReadOnly(c.readOnly);
        edit->SetEnabled(!c.disabled);
        std::string themeClass;
        int part = 0;
        int state = 0;
        edit->GetXPBevelParams(themeClass, part, state);
        EXPECT_EQ(themeClass, "EDIT");
        EXPECT_EQ(part, EP_EDITTEXT);
        EXPECT_EQ(state, c.expect);
    }
}

TEST_F(EditTest, PointerEnterAndLeave) {
    int entered = 0;
    int left = 0;
    edit->OnMouseEnter = [&](TObject*) { ++entered; };
    edit->OnMouseExit = [&](TObject*) { ++left; };
    MouseMove(20, 15);
    EXPECT_TRUE(edit->MouseAbove);
    EXPECT_EQ(entered, 1);
    MouseMove(200, 150);
    EXPECT_FALSE(edit->MouseAbove);
    EXPECT_EQ(left, 1);
}

TEST_F(EditTest, UpdateCounterNeverGoesBelowZero) {
    edit->BeginUpdate();
    edit->BeginUpdate();
    edit->EndUpdate(false);
    EXPECT_TRUE(edit->IsUpdating());
    edit->drawTexts = 0;
    edit->EndUpdate(true);
    EXPECT_FALSE(edit->IsUpdating());
    EXPECT_EQ(edit->drawTexts, 1);
    edit->EndUpdate(true);
    EXPECT_EQ(edit->UpdateCount(), 0);
}

TEST_F(EditTest, ApplicationObjectEditModeAndTimerPool) {
    TLcApplication& app = LcApplication();
    EXPECT_EQ(app.EditMode(), EditModeBit(emInsert));
    int modeChanges = 0;
    app.OnEditModeChange = [&] { ++modeChanges; };
    app.SetEditMode(EditModeBit(emInsert));
    app.IncludeEditMode(emCtrl);
    EXPECT_EQ(modeChanges, 1);

    TLcTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    timer.SetInterval(120);
    EXPECT_FALSE(app.BaseTickRunning());
    timer.SetEnabled(true);
    EXPECT_TRUE(app.BaseTickRunning());
    AdvanceAndProcess(50);
    AdvanceAndProcess(50);
    EXPECT_EQ(ticks, 0);
    AdvanceAndProcess(50); // the third base tick passes 120 ms
    EXPECT_EQ(ticks, 1);
    timer.SetEnabled(false);
    EXPECT_FALSE(app.BaseTickRunning());
}

TEST(DrawEdge, RaisedEdgeWithMiddleAndAdjust) {
    TBitmap bitmap;
    bitmap.SetSize(6, 6);
    TCanvas& canvas = *bitmap.Canvas();
    TRect r{0, 0, 6, 6};
    EXPECT_TRUE(DrawEdge(canvas, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
    EXPECT_EQ(r, (TRect{2, 2, 4, 4}));
    EXPECT_EQ(canvas.Pixel(0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(canvas.Pixel(5, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(canvas.Pixel(1, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(canvas.Pixel(4, 4), ColorToRGB(clBtnShadow));
    EXPECT_EQ(canvas.Pixel(2, 2), ColorToRGB(clBtnFace));
    TRect empty{3, 3, 3, 3};
    EXPECT_FALSE(DrawEdge(canvas, empty, EDGE_RAISED, BF_RECT));
}

TEST(DrawEdge, EachRingIsAsThickAsAsked) {
    TBitmap bitmap;
    bitmap.SetSize(10, 10);
    TCanvas& canvas = *bitmap.Canvas();
    TRect r{0, 0, 10, 10};
    EXPECT_TRUE(DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST, 2));
    EXPECT_EQ(r, (TRect{4, 4, 6, 6}));
    const std::uint32_t expected[] = {ColorToRGB(clBtnShadow), ColorToRGB(clBtnShadow),
                                      ColorToRGB(cl3DDkShadow), ColorToRGB(cl3DDkShadow)};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.Pixel(x, 5), expected[x]) << x;
    EXPECT_EQ(canvas.Pixel(9, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(canvas.Pixel(8, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(canvas.Pixel(7, 5), ColorToRGB(cl3DLight));
}

TEST_F(EditTest, FlatBorderShowsItsEdgeOnlyWhileFocusedOrHovered) {
    CountingEdit* other = AddEdit(100, 10);
    other->SetFlat(true);
    Settle();
    const std::uint32_t face = ColorToPixel(clBtnFace);
    EXPECT_EQ(PixelOf(other, 0, 0), face);
    EXPECT_EQ(PixelOf(other, 1, 1), face);
    other->SetFocus();
    Settle();
    EXPECT_EQ(PixelOf(other, 0, 0), ColorToPixel(clBtnShadow));
    EXPECT_EQ(PixelOf(other, other->Width() - 1, other->Height() - 1), ColorToPixel(clBtnHighlight));
    edit->SetFocus();
    MouseMove(110, 15);
    EXPECT_EQ(PixelOf(other, 0, 0), ColorToPixel(clBtnShadow));
    MouseMove(250, 150);
    EXPECT_EQ(PixelOf(other, 0, 0), face);
}

TEST_F(EditTest, CaretIsDrawnOnlyWhileFocused) {
    auto caretColumn = [this] {
        // Empty text: the caret stands at the start of the text rectangle (border 2 + inset 1).
        int n = 0;
        for (int y = 3; y < edit->Height() - 3; ++y) n += PixelOf(edit, 3, y) == ColorToPixel(clWindowText);
        return n;
    };
    Prepare(edit, "", 1);
    EXPECT_GT(caretColumn(), 5);
    form->FocusControl(nullptr);
    Settle();
    EXPECT_EQ(caretColumn(), 0);
}
