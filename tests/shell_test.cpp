// The whole program on the headless backend: start-up, the window it shows, the loop, errors at
// start-up and the exit code.
#include "app/application_shell.h"
#include "app/main_window.h"
#include "framework/platform/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ShellTest : public ::testing::Test {
protected:
    HeadlessPlatform platform;

    // The main window: the visible one of main kind with a real size.
    const HeadlessPlatform::Window* MainWindow(WindowId* id = nullptr) {
        for (const auto& [wid, w] : platform.Windows())
            if (w.params.kind == WindowKind::Main && w.outerBounds.Width() > 0) {
                if (id) *id = wid;
                return &w;
            }
        return nullptr;
    }
    // Closes the main window at the given virtual time, as the platform's close button would.
    void CloseAt(std::uint64_t ms) {
        platform.waitHook = [this, ms] {
            WindowId id = 0;
            if (platform.NowMs() >= ms && MainWindow(&id) != nullptr) {
                PlatformEvent close;
                close.kind = PlatformEvent::Kind::CloseRequest;
                close.window = id;
                platform.PostEvent(close);
                platform.waitHook = nullptr;
            }
        };
    }
};

TEST_F(ShellTest, ShowsTheMagnifierAtItsStoredPlaceAndEndsWithExitCodeZero) {
    platform.SetPointer({500, 400});
    struct Seen {
        TRect bounds;
        TSize client;
        std::string caption;
        bool captionButtons = true;
        ShowState state = ShowState::Hidden;
        std::uint32_t centre = 0, corner = 0;
    } seen;
    platform.waitHook = [&] {
        WindowId id = 0;
        const auto* w = MainWindow(&id);
        if (w == nullptr || platform.NowMs() < 300) return;
        seen = {w->outerBounds,
                {w->surface.Width(), w->surface.Height()},
                w->params.caption,
                w->params.captionButtons,
                w->state,
                w->surface.Pixel(125, 125),
                w->surface.Pixel(0, 0)};
        PlatformEvent close;
        close.kind = PlatformEvent::Kind::CloseRequest;
        close.window = id;
        platform.PostEvent(close);
        platform.waitHook = nullptr;
    };
    EXPECT_EQ(RunLentaro(platform), 0);
    EXPECT_EQ(seen.bounds, Rect(660, 295, 918, 615));
    EXPECT_EQ(seen.client, (TSize{250, 293}));
    EXPECT_EQ(seen.caption, "Lentaro");
    EXPECT_FALSE(seen.captionButtons);
    EXPECT_EQ(seen.state, ShowState::Normal);
    EXPECT_EQ(seen.centre, 0x0000FFu); // blue crosshair at the view's centre
    EXPECT_EQ(seen.corner, HeadlessPlatform::TestPatternPixel(438, 338));
    // Everything is taken down: windows, timers, the component services.
    EXPECT_TRUE(platform.Windows().empty());
    EXPECT_EQ(platform.ArmedTimers(), 0u);
    EXPECT_EQ(platform.ComponentServicesInitialized(), 1);
    EXPECT_EQ(platform.ComponentServicesReleased(), 1);
    EXPECT_EQ(LTfrm, nullptr);
    EXPECT_TRUE(platform.MessageBoxes().empty());
}

TEST_F(ShellTest, ApplicationTitleIsTheTaskBarText) {
    std::string appCaption;
    platform.waitHook = [&] {
        for (const auto& [id, w] : platform.Windows())
            if (w.outerBounds.Width() == 0) appCaption = w.params.caption;
    };
    platform.SetQuitAt(200);
    RunLentaro(platform);
    EXPECT_EQ(appCaption, "Lentaro");
}

// A warning at start (the Wayland session's) comes in the error box before the main window, which
// then runs as usual.
TEST_F(ShellTest, AStartupNoticeIsShownBeforeTheMainWindowAndTheProgramRuns) {
    bool mainWindowShownAtTheBox = true;
    platform.SetMessageBoxHook([&](const HeadlessPlatform::MessageBoxRecord&) {
        const auto* w = MainWindow();
        mainWindowShownAtTheBox = w != nullptr && w->state != ShowState::Hidden;
    });
    CloseAt(500);
    EXPECT_EQ(RunLentaro(platform, "Read this first"), 0);
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes()[0].text, "Read this first.");
    EXPECT_EQ(platform.MessageBoxes()[0].caption, "Lentaro");
    EXPECT_FALSE(mainWindowShownAtTheBox);
    EXPECT_GE(platform.ScreenCopies(), 1); // the view drew after the box
}

TEST_F(ShellTest, StartupFailureIsReportedOnceAndExitsWithZero) {
    platform.failTimers = true; // the view's timer cannot be armed while the window is built
    EXPECT_EQ(RunLentaro(platform), 0);
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes()[0].text, "Not enough timers available.");
    EXPECT_EQ(platform.MessageBoxes()[0].caption, "Lentaro");
    EXPECT_EQ(LTfrm, nullptr);
    EXPECT_TRUE(platform.Windows().empty());
}

TEST_F(ShellTest, ForeignStartupErrorShowsAnEmptyBox) {
    platform.createWindowHook = [](const WindowParams& p) {
        if (p.outerBounds.Width() > 0) throw std::runtime_error("not a framework error");
    };
    EXPECT_EQ(RunLentaro(platform), 0);
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes()[0].text, "");
    EXPECT_EQ(platform.MessageBoxes()[0].caption, "Lentaro");
}

TEST_F(ShellTest, AnErrorBoxThatFailsAtStartUpStillEndsWithExitCodeZero) {
    platform.failTimers = true;
    platform.SetMessageBoxHook(
        [](const HeadlessPlatform::MessageBoxRecord&) { throw std::runtime_error("no box"); });
    testing::internal::CaptureStderr();
    const int code = RunLentaro(platform);
    const std::string captured = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(captured, "Lentaro: Not enough timers available.\n");
    EXPECT_EQ(LTfrm, nullptr);
    EXPECT_TRUE(platform.Windows().empty());
}

TEST_F(ShellTest, StartupShowModesAreHonoured) {
    struct Case {
        std::uint32_t mode;
        ShowState expected;
    } cases[] = {{3, ShowState::Maximized}, {7, ShowState::Minimized}, {1, ShowState::Normal}};
    for (const Case& c : cases) {
        HeadlessPlatform p;
        p.SetStartupShowMode(c.mode);
        ShowState state = ShowState::Hidden;
        p.waitHook = [&] {
            for (const auto& [id, w] : p.Windows())
                if (w.outerBounds.Width() > 0) state = w.state;
        };
        p.SetQuitAt(200);
        EXPECT_EQ(RunLentaro(p), 0);
        EXPECT_EQ(state, c.expected) << c.mode;
    }
}

TEST_F(ShellTest, TheViewFollowsThePointerEveryHundredMilliseconds) {
    int drawings = 0;
    platform.SetPointer({300, 300});
    platform.waitHook = [&] {
        const auto t = platform.NowMs();
        if (t == 1000) drawings = platform.ScreenCopies();
        if (t > 1000 && t <= 1500) platform.SetPointer({300 + static_cast<int>(t) / 10, 300});
    };
    platform.SetQuitAt(2000);
    RunLentaro(platform);
    EXPECT_EQ(drawings, 1); // at rest after the first drawing
    EXPECT_EQ(platform.ScreenCopies(), 1 + 5);
}

} // namespace
