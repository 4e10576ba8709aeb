// The poll timer sleeping while the pointer rests, on a platform that reports pointer motion: the
// same drawings at the same times as plain polling, without the ticks at rest; a warp (a move that
// reports no motion) is still drawn soon after any length of rest.
#include "headless_fixture.h"

#include <vector>

namespace {

struct Drawing {
    std::uint64_t at; // from the view's creation
    TPoint point;
    bool operator==(const Drawing&) const = default;
};

struct Move {
    std::uint64_t at;
    TPoint to;
    bool warp = false;
};

class ZoomSleepTest : public ApplicationTest {
protected:
    // Builds a 250 x 250 view as the main window does, runs the pointer along `path` until `endMs`
    // (times from the view's creation) and returns the drawings that fired OnContentsChanged.
    std::vector<Drawing> RunPath(bool reportsMotion, const std::vector<Move>& path, std::uint64_t endMs,
                                 std::uint32_t delayMs = 100) {
        app.reset(); // a fresh loop for each run
        app = std::make_unique<TApplication>(nullptr);
        platform.SetReportsPointerMotion(reportsMotion);
        platform.SetPointer({500, 400});
        const std::uint64_t start = platform.NowMs();
        auto* form = new TForm(app.get());
        form->SetBounds(660, 295, 258, 320);
        auto* view = new TLvZoom(form);
        view->SetParent(form);
        view->SetBounds(0, 0, 250, 250);
        view->SetZoomLevel(50);
        view->SetDelay(delayMs);
        std::vector<Drawing> drawings;
        view->OnContentsChanged = [&](TObject*) {
            drawings.push_back({platform.NowMs() - start, view->ZoomPoint()});
        };
        form->Show();
        for (const Move& m : path) {
            if (m.warp)
                platform.ScheduleWarp(start + m.at, m.to);
            else
                platform.SchedulePointer(start + m.at, m.to);
        }
        platform.SetQuitAt(start + endMs);
        platform.ResetCounters();
        while (!app->Terminated()) app->HandleMessage();
        ticks = platform.CursorQueries();
        timerSleeping = view->PollTimer()->Sleeping();
        delete form;
        return drawings;
    }

    int ticks = 0;
    bool timerSleeping = false;
};

TEST_F(ZoomSleepTest, DrawsAsPollingDoesWithoutTheTicksAtRest) {
    const std::vector<Move> path = {
        {30, {510, 400}},   {100, {520, 400}},  {150, {530, 405}},   {160, {540, 405}}, // two in one period
        {1234, {600, 300}}, {1300, {601, 300}}, {1399, {602, 300}},  {1401, {603, 300}},
        {2950, {10, 10}},   {3000, {11, 10}},   {3000, {1020, 760}}, // the last of equal times counts
    };
    const std::vector<Drawing> polled = RunPath(false, path, 4000);
    const int polledTicks = ticks;
    const std::vector<Drawing> slept = RunPath(true, path, 4000);
    EXPECT_EQ(slept, polled);
    ASSERT_GE(polled.size(), 7u);
    // Every move is drawn at the first tick of its period, at most one Delay later.
    for (const Move& m : path) {
        const auto after =
            std::find_if(polled.begin(), polled.end(), [&](const Drawing& d) { return d.at >= m.at; });
        ASSERT_NE(after, polled.end());
        EXPECT_LE(after->at - m.at, 100u);
    }
    EXPECT_GE(polledTicks, 39); // every 100 ms
    // One tick per drawing and one at the start of each rest (four rests), then sleep.
    EXPECT_LE(ticks, static_cast<int>(slept.size()) + 4);
    EXPECT_TRUE(timerSleeping);
}

TEST_F(ZoomSleepTest, AWarpIsDrawnWithinHalfASecondAfterAnyRest) {
    // After device motion, rests of 1 s, 10 s and 10 min; the warp falls anywhere in a check period,
    // and the Delay puts the timer's period anywhere against the checks.
    for (const std::uint32_t delay : {100u, 250u}) {
        for (const std::uint64_t rest : {1000u, 10'000u, 600'000u}) {
            for (std::uint64_t phase = 0; phase < TTimer::kPointerCheckMs; phase += 37) {
                SCOPED_TRACE("Delay " + std::to_string(delay) + ", rest " + std::to_string(rest) +
                             " ms, phase " + std::to_string(phase));
                const std::uint64_t warpAt = 300 + rest + phase;
                const TPoint target{900, 120};
                const std::vector<Drawing> drawings =
                    RunPath(true, {{200, {510, 400}}, {300, {520, 410}}, {warpAt, target, true}},
                            warpAt + 1000, delay);
                const auto drawn = std::find_if(drawings.begin(), drawings.end(),
                                                [&](const Drawing& d) { return d.point == target; });
                ASSERT_NE(drawn, drawings.end());
                EXPECT_LE(drawn->at - warpAt, 500u);
                // The rest itself cost no ticks: besides the drawings, the ticks that found the pointer
                // resting before and after the warp, and one spare for the start.
                EXPECT_LE(ticks, static_cast<int>(drawings.size()) + 3);
            }
        }
    }
}

TEST_F(ZoomSleepTest, WithoutMotionReportsTheTimerNeverSleeps) {
    RunPath(false, {}, 1000);
    EXPECT_FALSE(timerSleeping);
    EXPECT_GE(ticks, 9);
}

class ZoomSleepStateTest : public ZoomViewTest {
protected:
    void SetUp() override {
        ZoomViewTest::SetUp();
        platform.SetReportsPointerMotion(true);
        Tick(); // at rest: the timer goes to sleep
        ASSERT_TRUE(view->PollTimer()->Sleeping());
    }
    TimerKey Key() const { return (static_cast<TimerKey>(view->PollTimer()->WindowHandle()) << 32) | 1; }
};

TEST_F(ZoomSleepStateTest, WhatForcesADrawingWakesTheTimer) {
    const std::vector<std::function<void()>> forcing = {
        [this] { view->ForceUpdate(); },       [this] { view->SetZoomLevel(25); },
        [this] { view->SetCrossHair(false); }, [this] { view->SetBounds(0, 0, 240, 240); },
        [this] { view->ZoomInAt(10, 10); },    [this] { view->SetEnabled(false); },
    };
    for (const auto& force : forcing) {
        Tick();
        if (!view->Enabled()) view->SetEnabled(true);
        Tick();
        Tick();
        ASSERT_TRUE(view->PollTimer()->Sleeping());
        EXPECT_FALSE(platform.TimerArmed(Key()));
        force();
        EXPECT_FALSE(view->PollTimer()->Sleeping());
        EXPECT_TRUE(platform.TimerArmed(Key()));
    }
}

TEST_F(ZoomSleepStateTest, AHiddenViewSleepsAndDrawsAfreshWhenShownAgain) {
    view->SetVisible(false);
    platform.ResetCounters();
    platform.SetPointer({300, 300});
    app->ProcessMessages(); // the motion report wakes the timer
    Tick();
    EXPECT_TRUE(view->PollTimer()->Sleeping());
    EXPECT_EQ(platform.ScreenCopies(), 0);
    view->SetVisible(true);
    AdvanceAndProcess(0);
    EXPECT_EQ(ViewPixel(0, 0), ScreenPixel(238, 238));
}

TEST_F(ZoomSleepStateTest, ADisabledViewTicksOnEveryPeriod) {
    view->SetEnabled(false);
    platform.ResetCounters();
    for (int i = 0; i < 5; ++i) Tick();
    EXPECT_FALSE(view->PollTimer()->Sleeping());
    EXPECT_EQ(platform.ScreenCopies(), 5); // a fixed point is drawn on every tick
}

TEST_F(ZoomSleepStateTest, AMoveWakesTheTimerOnItsPeriodAndAResetTimerForgetsTheSleep) {
    platform.SetPointer({300, 300});
    app->ProcessMessages(); // the motion report arrives
    EXPECT_FALSE(view->PollTimer()->Sleeping());
    ASSERT_TRUE(platform.NextTimerDue().has_value());
    EXPECT_EQ((*platform.NextTimerDue() - platform.NowMs()) % 100, 0u);
    Tick();
    EXPECT_EQ(view->ZoomPoint(), (TPoint{300, 300}));
    Tick();
    ASSERT_TRUE(view->PollTimer()->Sleeping());
    view->SetDelay(250); // re-arming starts a full period
    EXPECT_FALSE(view->PollTimer()->Sleeping());
    EXPECT_EQ(*platform.NextTimerDue(), platform.NowMs() + 250);
}

} // namespace
