// The main window when its size changes: the resize rule, anchoring, automatic scrolling with the
// toolkit's scroll bars, and the stacking of the controls.
#include "main_window_fixture.h"

#include <vector>

namespace {

constexpr std::uint32_t kSilver = 0xC0C0C0;

class MainWindowLayoutTest : public MainWindowFixture {
protected:
    struct Layout {
        TSize client;
        TSize view;
        TPoint label1, label2, powerZ, crossS, button;
    };
    Layout Now() const {
        const auto at = [](const TControl* c) { return TPoint{c->Left(), c->Top()}; };
        return {{main->ClientWidth(), main->ClientHeight()},
                {main->zfm->Width(), main->zfm->Height()},
                at(main->Label1),
                at(main->Label2),
                at(main->powerZ),
                at(main->crossS),
                at(main->LvXPButton1)};
    }
    void ExpectLayout(const Layout& want) {
        const Layout got = Now();
        EXPECT_EQ(got.client, want.client);
        EXPECT_EQ(got.view, want.view);
        EXPECT_EQ(got.label1, want.label1);
        EXPECT_EQ(got.label2, want.label2);
        EXPECT_EQ(got.powerZ, want.powerZ);
        EXPECT_EQ(got.crossS, want.crossS);
        EXPECT_EQ(got.button, want.button);
    }
    // The view shows the magnified screen everywhere, not its background.
    void ExpectViewShowsThePicture() {
        const TLvZoom* v = main->zfm;
        for (int i = 1; i < 4; ++i) EXPECT_NE(PixelOf(v, v->Width() * i / 4 + 1, v->Height() / 3), kSilver);
    }
};

TEST_F(MainWindowLayoutTest, WorkedSizesPlaceEveryControl) {
    const struct {
        TSize outer;
        Layout layout;
    } steps[] = {
        {{258, 320}, {{250, 293}, {250, 250}, {0, 252}, {88, 254}, {0, 272}, {88, 271}, {164, 264}}},
        {{300, 320}, {{292, 293}, {290, 220}, {5, 252}, {108, 254}, {0, 272}, {109, 271}, {206, 264}}},
        {{340, 320}, {{332, 293}, {330, 220}, {4, 252}, {129, 254}, {0, 272}, {129, 271}, {246, 264}}},
        {{340, 400}, {{332, 373}, {330, 300}, {0, 332}, {129, 334}, {0, 352}, {129, 351}, {246, 344}}},
        // Label1's references were taken at the client width 332: back at 292 it ends at -4.
        {{300, 400}, {{292, 373}, {290, 300}, {-4, 332}, {109, 334}, {0, 352}, {109, 351}, {206, 344}}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << step.outer.cx << " x " << step.outer.cy);
        if (step.outer != TSize{258, 320}) ResizeWindow(step.outer.cx, step.outer.cy);
        ExpectLayout(step.layout);
        EXPECT_FALSE(main->HorzScrollBar().Visible());
        EXPECT_FALSE(main->VertScrollBar().Visible());
        ExpectViewShowsThePicture(); // the pointer has not moved since the start
    }
}

TEST_F(MainWindowLayoutTest, TheRuleRunsOnSizeReportsOnlyAndFitsTheViewAtOnce) {
    ResizeWindow(500, 400);
    EXPECT_EQ(Now().view, (TSize{490, 300}));
    // A pure move leaves the view alone; a report of the same size runs the rule again.
    main->zfm->SetWidth(100);
    ResizeWindow(500, 400, 20, 30);
    EXPECT_EQ(main->zfm->Width(), 100);
    platform.PostEvent([&] {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::Resized;
        e.window = main->PlatformWindow();
        e.outerBounds = Bounds(20, 30, 500, 400);
        e.clientSize = {492, 373};
        return e;
    }());
    Settle();
    EXPECT_EQ(main->zfm->Width(), 490);
    // A very small window gives an empty view, never a negative one.
    ResizeWindow(40, 60);
    EXPECT_EQ(Now().view, (TSize{30, 0}));
}

TEST_F(MainWindowLayoutTest, StartingMaximisedFitsTheViewAndRestoringFitsItAgain) {
    main->SetWindowState(wsMaximized);
    Settle();
    EXPECT_EQ(main->BoundsRect(), Bounds(0, 0, 1024, 768));
    EXPECT_EQ(Now().view, (TSize{1014, 668}));
    EXPECT_EQ(Now().button, (TPoint{1016 - 86, 741 - 29}));
    ExpectViewShowsThePicture();
    main->SetWindowState(wsNormal);
    Settle();
    EXPECT_EQ(main->BoundsRect(), Bounds(660, 295, 258, 320));
    EXPECT_EQ(Now().view, (TSize{248, 220}));
    EXPECT_EQ(Now().button, (TPoint{164, 264}));
    EXPECT_FALSE(main->HorzScrollBar().Visible());
}

TEST_F(MainWindowLayoutTest, ANarrowWindowScrollsTheZoomPowerAndTheBarGoesWhenItFitsAgain) {
    ResizeWindow(60, 320); // client 52 wide: the zoom power edit (65 wide) sticks out
    TControlScrollBar& bar = main->HorzScrollBar();
    ASSERT_TRUE(bar.Visible());
    EXPECT_FALSE(main->VertScrollBar().Visible());
    EXPECT_EQ(main->ClientHeight(), 293 - 16); // the bar takes its room from the client area
    EXPECT_EQ(main->powerZ->Top(), 277 - 21);  // and the bottom-anchored controls move up with it
    EXPECT_EQ(bar.Range(), 65);
    EXPECT_EQ(Pixel(8, 285), 0u); // the left arrow's black tip

    MouseDown(52 - 8, 285); // the right arrow: one line
    MouseUp(52 - 8, 285);
    EXPECT_EQ(main->powerZ->Left(), -8);
    EXPECT_EQ(main->zfm->Left(), -8);
    Wheel(120, 20, 285); // a notch over the bar scrolls back
    EXPECT_EQ(main->powerZ->Left(), 0);
    // Dragging the thumb to the far end shows the edit's right edge at the client's right edge.
    const TRect thumb = bar.PartRect(TControlScrollBar::Part::Thumb);
    MouseDown(thumb.Left + 1, 285);
    Drag(200, 285);
    MouseUp(200, 285);
    EXPECT_EQ(main->powerZ->Left() + main->powerZ->Width(), main->ClientWidth());

    ResizeWindow(258, 320);
    EXPECT_FALSE(bar.Visible());
    EXPECT_EQ(main->powerZ->BoundsRect(), Bounds(0, 272, 65, 21));
    EXPECT_EQ(main->zfm->Left(), 0);
}

TEST_F(MainWindowLayoutTest, EditsAndButtonStayAboveTheViewAndTheLabelsUnderIt) {
    main->zfm->SetBounds(0, 0, 250, 293);
    platform.SetPointer({520, 420});
    AdvanceAndProcess(100);
    const TControl* edit = main->powerZ;
    EXPECT_EQ(PixelOf(edit, 40, 10), 0xFFFFFFu);                             // the edit's window colour
    EXPECT_NE(PixelOf(main->Label1, main->Label1->Width() - 1, 1), kSilver); // covered by the picture
    EXPECT_EQ(main->ControlAtClientPoint({30, 282}, false), edit);
}

using ScrollingFormTest = XPTest;

TEST_F(ScrollingFormTest, BarsSettleEachOtherAndScrollByArrowsAndWheel) {
    form->Show(); // client 292 x 173
    auto* child = new TCustomControl(form);
    child->SetParent(form);
    child->SetBounds(0, 0, 292, 180);
    Settle();
    // The vertical bar makes the contents too wide for what is left: both bars show.
    ASSERT_TRUE(form->VertScrollBar().Visible());
    ASSERT_TRUE(form->HorzScrollBar().Visible());
    EXPECT_EQ(form->ClientRect(), (TRect{0, 0, 276, 157}));
    EXPECT_EQ(Pixel(283, 165), ColorToPixel(clBtnFace)); // the corner between them

    MouseDown(283, 150); // the down arrow
    MouseUp(283, 150);
    EXPECT_EQ(child->Top(), -8);
    Wheel(-120, 100, 100); // no control has the focus: the window scrolls itself, to the end
    EXPECT_EQ(child->Top(), 157 - 180);
    child->SetBounds(0, -23, 100, 100); // fits again: the bars go and the contents scroll back
    Settle();
    EXPECT_FALSE(form->VertScrollBar().Visible());
    EXPECT_FALSE(form->HorzScrollBar().Visible());
    EXPECT_EQ(child->Top(), 0);
}

TEST_F(ScrollingFormTest, AnActiveThemeDrawsTheBarsWithItsParts) {
    platform.SetThemeActive(true);
    form->Show(); // client 292 x 173
    auto* child = new TCustomControl(form);
    child->SetParent(form);
    child->SetBounds(0, 0, 400, 100);
    Settle();
    ASSERT_TRUE(form->HorzScrollBar().Visible());
    MouseDown(291, 165); // the right arrow, held
    // Left arrow normal (9), right arrow pressed (13 + 2), the thumb (2) normal.
    EXPECT_EQ(Pixel(0, 157), HeadlessPlatform::ThemeRingPixel(9));
    EXPECT_EQ(Pixel(291, 157), HeadlessPlatform::ThemeRingPixel(15));
    const TRect thumb = form->HorzScrollBar().PartRect(TControlScrollBar::Part::Thumb);
    EXPECT_EQ(Pixel(thumb.Left, thumb.Top), HeadlessPlatform::ThemeRingPixel(1));
    EXPECT_EQ(platform.LastThemeDraw().themeClass, "SCROLLBAR");
    MouseUp(291, 165);
}

TEST_F(ScrollingFormTest, PlacesAtTheEndsOfTheRangeDoNotOverflow) {
    form->Show();
    auto* far = new TCustomControl(form);
    far->SetParent(form);
    far->SetBounds(INT32_MAX - 5, 0, 100, 10);
    auto* centred = new TCustomControl(form);
    centred->SetParent(form);
    centred->SetBounds(INT32_MIN + 3, INT32_MAX - 3, 100, 10);
    centred->SetAnchors(AnchorBit(akBottom));
    form->SetBounds(100, 100, 500, 400);
    Settle();
    EXPECT_EQ(form->HorzScrollBar().Range(), INT32_MAX);
    MouseDown(form->ClientWidth() - 8, form->ClientHeight() + 8); // scroll right by a line
    MouseUp(form->ClientWidth() - 8, form->ClientHeight() + 8);
    EXPECT_EQ(far->Left(), INT32_MAX - 5 - 8);
}

} // namespace
