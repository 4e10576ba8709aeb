// The zoom view's state: change detection, forced drawings, zoom percentage, activation and the
// cache, the fixed point of a disabled view, errors, and the screen surface's lifetime.
#include "framework/core/exceptions.h"
#include "headless_fixture.h"

#include <vector>

namespace {

constexpr std::uint32_t kBluePixel = 0x0000FF;
constexpr std::uint32_t kRedPixel = 0xFF0000;
constexpr std::uint32_t kSilverPixel = 0xC0C0C0;

class ZoomStateTest : public ZoomViewTest {};

TEST_F(ZoomStateTest, ATickAtRestQueriesThePointerOnceAndDrawsNothing) {
    MarkView();
    platform.ResetCounters();
    Tick();
    EXPECT_EQ(platform.CursorQueries(), 1);
    EXPECT_EQ(platform.ScreenAcquisitions(), 0);
    EXPECT_TRUE(ViewStillMarked());
}

TEST_F(ZoomStateTest, AHiddenViewOrOneInAHiddenWindowNeitherCapturesNorDraws) {
    for (bool hideWindow : {false, true}) {
        if (hideWindow)
            form->Hide();
        else
            view->SetVisible(false);
        AdvanceAndProcess(0);
        MarkView();
        platform.ResetCounters();
        const int pointerY = hideWindow ? 300 : 310;
        platform.SetPointer({300, pointerY});
        Tick();
        view->ForceUpdate();
        AdvanceAndProcess(0);
        EXPECT_EQ(platform.ScreenAcquisitions(), 0) << hideWindow;
        EXPECT_TRUE(ViewStillMarked()) << hideWindow;
        view->SetVisible(true);
        form->Show();
        Tick();
        EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(238, pointerY - 62)) << hideWindow;
    }
}

TEST_F(ZoomStateTest, AMovedPointerDrawsOnceAndReleasesTheScreenSurface) {
    int notifications = 0;
    view->OnContentsChanged = [&](TObject* sender) {
        EXPECT_EQ(sender, view);
        ++notifications;
    };
    platform.ResetCounters();
    platform.SetPointer({300, 300});
    Tick();
    EXPECT_EQ(platform.ScreenAcquisitions(), 1);
    EXPECT_EQ(platform.ScreenSurfacesHeld(), 0);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(238, 238));
    Tick();
    EXPECT_EQ(notifications, 1);
}

TEST_F(ZoomStateTest, ForcedUpdatesDrawAtTheNextRepaintEvenAtRest) {
    view->SetZoomLevel(25); // halfW = 125 * 25 / 100 = 31: 62 pixels onto 250
    EXPECT_EQ(view->ZoomPoint(), TLvZoom::kSentinel);
    Tick();
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(469, 369));
    EXPECT_EQ(ViewPixel(4, 0), ScreenPixel(470, 369));
    view->SetCrossHair(false);
    Tick();
    EXPECT_NE(ViewPixel(125, 125), kBluePixel);
    view->SetCrossHair(true);
    Tick();
    EXPECT_EQ(ViewPixel(125, 125), kBluePixel);
}

TEST_F(ZoomStateTest, PlainStoresShowOnlyWhenThePointerNextMoves) {
    view->CrosshairColor = clRed;
    view->CrosshairSize = 7;
    Tick();
    EXPECT_EQ(ViewPixel(125, 125), kBluePixel);
    EXPECT_EQ(ViewPixel(125, 116), kBluePixel);
    platform.SetPointer({501, 400});
    Tick();
    EXPECT_EQ(ViewPixel(125, 125), kRedPixel);
    EXPECT_NE(ViewPixel(125, 116), kRedPixel);
    EXPECT_EQ(ViewPixel(125, 122), kRedPixel);
}

TEST_F(ZoomStateTest, ARepaintAtRestShowsThePictureAgainButATickAtRestDrawsNothing) {
    std::vector<std::uint32_t> before;
    for (int x = 0; x < 250; x += 50) before.push_back(ViewPixel(x, 60));
    view->Invalidate();
    Tick();
    for (int x = 0, i = 0; x < 250; x += 50, ++i) {
        EXPECT_NE(ViewPixel(x, 60), kSilverPixel);
        EXPECT_EQ(ViewPixel(x, 60), before[static_cast<std::size_t>(i)]);
    }
    MarkView();
    Tick();
    EXPECT_TRUE(ViewStillMarked());
}

TEST_F(ZoomStateTest, ZoomPercentageRoundTripsThroughTheLevel) {
    struct Case {
        int written;
        int level;
        int readBack;
    } cases[] = {{200, 50, 200}, {300, 33, 303},  {1000, 10, 1000},
                 {1, 10000, 1},  {2000, 5, 2000}, {7, 1428, 7}};
    for (const Case& c : cases) {
        view->SetZoomPercentage(c.written);
        EXPECT_EQ(view->ZoomLevel(), c.level) << c.written;
        EXPECT_EQ(view->GetZoomPercentage(), c.readBack) << c.written;
    }
    for (int ignored : {0, -5, -10000, 10001, 2147483647}) {
        view->SetZoomPercentage(ignored);
        EXPECT_EQ(view->ZoomLevel(), 1428) << ignored;
    }
    view->SetZoomLevel(0);
    view->SetZoomLevel(-3);
    EXPECT_EQ(view->ZoomLevel(), 1428);
}

TEST_F(ZoomStateTest, DeactivationCachesThePictureAndStopsTheTimer) {
    platform.SetPointer({600, 500});
    Tick();
    const std::uint32_t shown = ViewPixel(10, 10);
    view->SetActive(false);
    ASSERT_NE(view->CachedImage(), nullptr);
    EXPECT_EQ(view->CachedImage()->Pixels().Pixel(10, 10), shown);
    platform.ResetCounters();
    platform.SetPointer({100, 100});
    AdvanceAndProcess(1000);
    EXPECT_EQ(platform.CursorQueries(), 0);
    EXPECT_EQ(ViewPixel(10, 10), shown); // the repaint shows the cache
    // Turning the cache off discards it and shows the colour.
    view->SetCacheOnDeactivate(false);
    EXPECT_EQ(view->CachedImage(), nullptr);
    Tick();
    EXPECT_EQ(ViewPixel(10, 10), kSilverPixel);
    view->SetActive(true);
    Tick();
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(38, 38));
}

TEST_F(ZoomStateTest, DeactivationWithoutCacheShowsTheColour) {
    view->SetCacheOnDeactivate(false);
    view->SetActive(false);
    EXPECT_EQ(view->CachedImage(), nullptr);
    Tick();
    EXPECT_EQ(ViewPixel(100, 100), kSilverPixel);
}

TEST_F(ZoomStateTest, ADisabledViewShowsItsFixedPointOnEveryTick) {
    int notifications = 0;
    view->OnContentsChanged = [&](TObject*) { ++notifications; };
    view->SetEnabled(false);
    view->ZoomInAt(300, 200);
    EXPECT_EQ(notifications, 1);
    platform.ResetCounters();
    Tick();
    Tick();
    EXPECT_EQ(platform.CursorQueries(), 0);
    EXPECT_GE(platform.ScreenCopies(), 2);
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(238, 138));
    EXPECT_EQ(notifications, 1); // drawings of a disabled view do not notify
    view->ZoomInAt(300, 200);    // the point it shows already: no notification, still a repaint
    EXPECT_EQ(notifications, 1);
    EXPECT_TRUE(form->PaintPending());
}

TEST_F(ZoomStateTest, ZoomInAtOnAnEnabledViewMovesThePointer) {
    view->ZoomInAt(700, 100);
    EXPECT_EQ(platform.GetCursorPos(), (TPoint{700, 100}));
    Tick();
    EXPECT_EQ(view->ZoomPoint(), (TPoint{700, 100}));
}

TEST_F(ZoomStateTest, AResizeDrawsAtOnceAtTheNewSize) {
    MarkView();
    view->SetBounds(0, 0, 100, 80); // halfW 50 * 50 / 100 = 25, halfH 40 * 50 / 100 = 20
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(475, 380));
    EXPECT_EQ(ViewPixel(50, 40), kBluePixel);
}

TEST_F(ZoomStateTest, ScreenFailureIsReportedOnceAndTheViewWaitsForTheNextMove) {
    platform.failScreen = true;
    MarkView();
    platform.SetPointer({510, 400});
    Tick();
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes()[0].text, "Canvas does not allow drawing.");
    EXPECT_EQ(view->ZoomPoint(), (TPoint{510, 400}));
    EXPECT_NE(ViewPixel(125, 125), kBluePixel); // the drawing stopped before the crosshair
    Tick();
    EXPECT_EQ(platform.MessageBoxes().size(), 1u);
    platform.failScreen = false;
    platform.SetPointer({520, 400});
    Tick();
    EXPECT_EQ(ViewPixel(125, 125), kBluePixel);
}

TEST_F(ZoomStateTest, WindowSurfaceFailureIsReportedAndTicksGoOn) {
    platform.failWindowDrawing = true;
    platform.SetPointer({510, 400});
    Tick();
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes()[0].text, "Error creating window device context.");
    platform.failWindowDrawing = false;
    Tick();
    EXPECT_EQ(ViewPixel(125, 125), kBluePixel);
}

TEST_F(ZoomStateTest, TimerFailureFailsConstruction) {
    platform.failTimers = true;
    try {
        new TLvZoom(form);
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), "Not enough timers available");
    }
    EXPECT_EQ(form->ComponentCount(), 1); // nothing half-built stays
}

TEST_F(ZoomStateTest, ConstructionLoadingAndDestruction) {
    auto* fresh = new TLvZoom(form);
    EXPECT_EQ(fresh->Width(), 100);
    EXPECT_EQ(fresh->Height(), 100);
    EXPECT_EQ(fresh->ZoomLevel(), 100);
    EXPECT_EQ(fresh->Delay(), 100u);
    EXPECT_EQ(fresh->CrosshairSize, 20);
    EXPECT_FALSE(fresh->Crosshair());
    EXPECT_TRUE(fresh->Active());
    EXPECT_EQ(fresh->Color(), clWindow);
    EXPECT_EQ(fresh->PollTimer()->Interval(), 100u);
    EXPECT_TRUE(fresh->PollTimer()->Enabled());
    EXPECT_EQ(view->Color(), clSilver); // the form's view took its parent's colour once loaded
    const std::size_t before = platform.ArmedTimers();
    delete fresh;
    EXPECT_EQ(platform.ArmedTimers(), before - 1);
}

TEST_F(ZoomStateTest, DelayReArmsThePollTimer) {
    view->SetDelay(250);
    EXPECT_EQ(view->PollTimer()->Interval(), 250u);
    platform.ResetCounters();
    AdvanceAndProcess(249);
    EXPECT_EQ(platform.CursorQueries(), 0);
    AdvanceAndProcess(1);
    EXPECT_EQ(platform.CursorQueries(), 1);
    view->SetDelay(0);
    AdvanceAndProcess(1000);
    EXPECT_EQ(platform.CursorQueries(), 1);
}

} // namespace
