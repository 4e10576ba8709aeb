// The main window on scaled displays and on several monitors: scaled from its stored 96 pixels per
// inch when made, rescaled when its monitor's scale changes (and back to the stored layout), and
// kept on a monitor's work area.
#include "app/main_window.h"
#include "framework/controls/scroll_bar.h"
#include "framework/platform/monitors.h"
#include "main_window_fixture.h"
#include "spinedit/lc_spin_button.h"

#include <vector>

namespace {

MonitorInfo Monitor(TRect bounds, std::int32_t dpi, bool primary = true, TRect workArea = {}) {
    return {bounds, workArea.IsEmpty() ? bounds : workArea, primary, dpi};
}

class FormScalingTest : public MainWindowFixture {
protected:
    // The window opens in each test, once its monitors are set.
    void SetUp() override { XPTest::SetUp(); }
    void Open(std::vector<MonitorInfo> monitors) {
        platform.SetMonitors(std::move(monitors));
        OpenMainWindow();
    }
    void ChangeDpi(std::int32_t dpi, TRect suggested = {}) {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::DpiChanged;
        e.window = main->PlatformWindow();
        e.dpi = dpi;
        e.outerBounds = suggested;
        platform.PostEvent(e);
        Settle();
    }
    // Every place and size of the layout, and the fonts' heights, in one comparable list.
    std::vector<std::int32_t> Layout() const {
        std::vector<std::int32_t> all{main->ClientWidth(), main->ClientHeight(), main->Font()->Height(),
                                      main->DesignSize.cx, main->DesignSize.cy};
        for (const TControl* c : std::initializer_list<const TControl*>{
                 main->zfm, main->Label1, main->Label2, main->powerZ, main->crossS, main->LvXPButton1}) {
            all.insert(all.end(), {c->Left(), c->Top(), c->Width(), c->Height(), c->Font()->Height()});
        }
        return all;
    }
    TRect Outer() const { return platform.Windows().at(main->PlatformWindow()).outerBounds; }
};

TEST_F(FormScalingTest, MadeAtTheScaleOfItsMonitor) {
    struct Case {
        std::int32_t dpi;
        TSize client;     // 250 x 293 by MulDiv
        std::int32_t top; // powerZ's 272
        std::int32_t font;
    } cases[] = {{96, {250, 293}, 272, -11},
                 {120, {313, 366}, 340, -14},
                 {144, {375, 440}, 408, -17},
                 {192, {500, 586}, 544, -22}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        Open({Monitor({0, 0, 1920, 1080}, c.dpi)});
        EXPECT_EQ((TSize{main->ClientWidth(), main->ClientHeight()}), c.client);
        EXPECT_EQ(main->zfm->Width(), c.client.cx);
        EXPECT_EQ(main->powerZ->Top(), c.top);
        EXPECT_EQ(main->Label1->Font()->Height(), c.font); // text is drawn at the scaled size
        EXPECT_EQ(main->PixelsPerInch, c.dpi);
        // Left and Top stay; the frame is the platform's and is not scaled.
        EXPECT_EQ(Outer(), Bounds(660, 295, c.client.cx + 8, c.client.cy + 27));
        // The resize rule's margins scale too: the view fills the client less (2, 73) scaled.
        platform.UserSetBounds(main->PlatformWindow(), Bounds(660, 295, c.client.cx + 18, c.client.cy + 37));
        Settle();
        EXPECT_EQ(main->zfm->Width(), c.client.cx + 10 - MulDiv(2, c.dpi, 96));
        EXPECT_EQ(main->zfm->Height(), c.client.cy + 10 - MulDiv(73, c.dpi, 96));
        delete main;
    }
}

TEST_F(FormScalingTest, RescaledAndBackEndsAtTheStoredLayout) {
    Open({Monitor({0, 0, 1920, 1080}, 96)});
    const std::vector<std::int32_t> stored = Layout();
    for (std::int32_t dpi : {192, 144, 120}) {
        SCOPED_TRACE(dpi);
        ChangeDpi(dpi);
        EXPECT_EQ(main->ClientWidth(), MulDiv(250, dpi, 96));
        EXPECT_EQ(main->LvXPButton1->Left(), MulDiv(164, dpi, 96)); // anchored right: kept its distance
        EXPECT_EQ(Outer().Left, 660);
        EXPECT_EQ(Outer().Top, 295);
        ChangeDpi(96);
        EXPECT_EQ(Layout(), stored);
    }
    // Windows suggests where the window goes on the monitor of the new scale.
    ChangeDpi(192, Bounds(1000, 50, 508, 613));
    EXPECT_EQ(Outer(), Bounds(1000, 50, 508, 613));
    EXPECT_EQ(main->zfm->Width(), 500);
}

TEST_F(FormScalingTest, PicturesAndFramesRepeatWholePixelsAndTheSpinButtonFitsItsEdit) {
    // The Exit glyph's red cross: repeated twice each way at 200 %, once at 150 % (the whole part).
    const auto redInButton = [&] {
        int n = 0;
        const TControl* b = main->LvXPButton1;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) n += PixelOf(b, x, y) == 0xFF0000 ? 1 : 0;
        return n;
    };
    struct Case {
        std::int32_t dpi;
        int glyphFactor;
        int border; // the edit's sunken frame: two lines of the scale's whole part
    } cases[] = {{96, 1, 2}, {144, 1, 2}, {192, 4, 4}};
    int atDesign = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        Open({Monitor({0, 0, 1920, 1080}, c.dpi)});
        main->Invalidate();
        Settle();
        if (c.dpi == 96) atDesign = redInButton();
        EXPECT_GT(atDesign, 0);
        EXPECT_EQ(redInButton(), atDesign * c.glyphFactor);
        // The button is laid out by its edit: a square inside the border, scaled once.
        const TLcSpinButton* spin = main->powerZ->SpinButton();
        EXPECT_EQ(main->powerZ->WindowBorderWidth(), c.border);
        EXPECT_EQ(spin->Height(), main->powerZ->Height() - 2 * c.border);
        // Each line of the sunken frame is as wide as the scale's whole part: shadow, then dark shadow.
        const int line = c.border / 2, middle = main->powerZ->Height() / 2;
        for (int x = 0; x < c.border; ++x)
            EXPECT_EQ(PixelOf(main->powerZ, x, middle), ColorToPixel(x < line ? clBtnShadow : cl3DDkShadow))
                << x;
        EXPECT_NE(PixelOf(main->powerZ, c.border, middle), ColorToPixel(cl3DDkShadow));
        // So is the Exit button's rounded frame.
        const TControl* exit = main->LvXPButton1;
        const std::uint32_t frame = ColorToPixel(static_cast<TColor>(0x733800));
        for (int x = 0; x <= line; ++x)
            EXPECT_EQ(PixelOf(exit, x, exit->Height() / 2) == frame, x < line) << x;
        EXPECT_EQ(spin->Width(), spin->Height());
        EXPECT_EQ(spin->ArrowSize(), MulDiv(3, c.dpi, 96));
        delete main;
    }
}

TEST_F(FormScalingTest, ScrollBarsAreAsThickAsTheScaleAndTheirArrowsRepeatPixels) {
    Open({Monitor({0, 0, 1920, 1080}, 192)});
    // Narrower than the zoom power edit (130 wide at 200 %): the horizontal bar shows, 32 thick.
    platform.UserSetBounds(main->PlatformWindow(), Bounds(660, 295, 100 + 8, 586 + 27));
    Settle();
    const TControlScrollBar& bar = main->HorzScrollBar();
    ASSERT_TRUE(bar.Visible());
    EXPECT_EQ(bar.Size(), 32);
    EXPECT_EQ(main->ClientHeight(), 586 - 32);
    const TRect arrow = bar.PartRect(TControlScrollBar::Part::LineBack);
    EXPECT_EQ(arrow.Width(), 32);
    int ink = 0;
    for (int y = arrow.Top; y < arrow.Bottom; ++y)
        for (int x = arrow.Left; x < arrow.Right; ++x) ink += Pixel(x, y) == ColorToPixel(clBtnText) ? 1 : 0;
    EXPECT_EQ(ink, 16 * 4); // the arrow's 16 pixels, each a 2 x 2 square
    // Back at 96 dpi the bar has its designed 16 pixels again.
    ChangeDpi(96);
    EXPECT_EQ(main->HorzScrollBar().Size(), 16);
}

TEST_F(FormScalingTest, OddScalesAreReadAsSaneOnes) {
    Open({Monitor({0, 0, 1920, 1080}, 0)}); // no scale reported: 96
    EXPECT_EQ(main->ClientWidth(), 250);
    ChangeDpi(1000000); // absurd: held at five times
    EXPECT_EQ(main->ClientWidth(), 1250);
}

TEST_F(FormScalingTest, MovedOntoTheWorkAreaOfTheMonitorHoldingMostOfIt) {
    struct Case {
        std::vector<MonitorInfo> monitors;
        TRect outer;
    } cases[] = {
        // A small display: moved, not shrunk.
        {{Monitor({0, 0, 640, 480}, 96, true, {0, 0, 640, 450})}, Bounds(382, 130, 258, 320)},
        // Scaled twice on 800 x 600: too tall to fit, so shrunk to the work area's height.
        {{Monitor({0, 0, 800, 600}, 192)}, Bounds(292, 0, 508, 600)},
        // Mostly on the second monitor, whose task bar takes its top 30 rows.
        {{Monitor({0, 0, 700, 600}, 96), Monitor({700, 0, 1724, 768}, 96, false, {700, 30, 1724, 768})},
         Bounds(700, 295, 258, 320)},
        // Wholly on one work area: left where it is.
        {{Monitor({0, 0, 1024, 768}, 96)}, Bounds(660, 295, 258, 320)},
    };
    for (const Case& c : cases) {
        Open(c.monitors);
        EXPECT_EQ(Outer(), c.outer);
        delete main;
    }
}

TEST_F(FormScalingTest, AWindowWhoseMonitorGoesIsBroughtBack) {
    Open({Monitor({0, 0, 1024, 768}, 96), Monitor({1024, 0, 1824, 600}, 96, false)});
    platform.UserSetBounds(main->PlatformWindow(), Bounds(1300, 100, 258, 320));
    Settle();
    platform.SetMonitors({Monitor({0, 0, 1024, 768}, 96)});
    Settle();
    EXPECT_EQ(Outer(), Bounds(766, 100, 258, 320));
    // A monitor of another scale takes its place: the window follows that scale.
    platform.SetMonitors({Monitor({0, 0, 1024, 768}, 144)});
    Settle();
    EXPECT_EQ(main->ClientWidth(), 375);
}

} // namespace
