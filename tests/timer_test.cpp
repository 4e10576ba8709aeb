// TTimer's arming rules, driven by the virtual clock.
#include "framework/core/exceptions.h"
#include "framework/core/timer.h"
#include "headless_fixture.h"

namespace {

class TimerTest : public ApplicationTest {
protected:
    TTimer* MakeTimer() {
        auto* t = new TTimer(app.get());
        t->SetOnTimer([this](TObject*) { ++ticks; });
        return t;
    }
    int ticks = 0;
};

TEST_F(TimerTest, NewTimerArmsOnlyOnceItHasAHandlerAndUsesIdOne) {
    auto* t = new TTimer(app.get());
    const TimerKey key = (static_cast<TimerKey>(t->WindowHandle()) << 32) | 1;
    EXPECT_FALSE(platform.TimerArmed(key));
    t->SetOnTimer([this](TObject*) { ++ticks; });
    EXPECT_TRUE(platform.TimerArmed(key));
    AdvanceAndProcess(999);
    EXPECT_EQ(ticks, 0);
    AdvanceAndProcess(1);
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, SameIntervalDoesNotRestartThePeriodButOnTimerDoes) {
    auto* t = MakeTimer();
    t->SetInterval(100);
    AdvanceAndProcess(60);
    t->SetInterval(100); // unchanged: the period goes on
    AdvanceAndProcess(40);
    EXPECT_EQ(ticks, 1);
    AdvanceAndProcess(60);
    t->SetOnTimer([this](TObject*) { ++ticks; }); // re-arms: a full new period from now
    AdvanceAndProcess(40);
    EXPECT_EQ(ticks, 1);
    AdvanceAndProcess(60);
    EXPECT_EQ(ticks, 2);
}

TEST_F(TimerTest, ZeroIntervalOrDisabledStopsTheTicks) {
    auto* t = MakeTimer();
    t->SetInterval(0);
    AdvanceAndProcess(5000);
    EXPECT_EQ(ticks, 0);
    t->SetInterval(50);
    t->SetEnabled(false);
    AdvanceAndProcess(500);
    EXPECT_EQ(ticks, 0);
    t->SetEnabled(true); // armed again with the current interval
    AdvanceAndProcess(49);
    EXPECT_EQ(ticks, 0);
    AdvanceAndProcess(1);
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, ALateTimerTicksOnceNotOncePerMissedPeriod) {
    auto* t = MakeTimer();
    t->SetInterval(100);
    AdvanceAndProcess(1000);
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, AnErrorInOnTimerIsReportedAndTheTimerStaysArmed) {
    auto* t = new TTimer(app.get());
    t->SetInterval(100);
    t->SetOnTimer([this](TObject*) {
        ++ticks;
        throw Exception("Tick failed");
    });
    AdvanceAndProcess(100);
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes()[0].text, "Tick failed.");
    AdvanceAndProcess(100);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(platform.MessageBoxes().size(), 2u);
}

TEST_F(TimerTest, ArmingFailureRaisesNotEnoughTimersAndKeepsTheNewValues) {
    auto* t = MakeTimer();
    platform.failTimers = true;
    try {
        t->SetInterval(250);
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), "Not enough timers available");
    }
    EXPECT_EQ(t->Interval(), 250u);
    AdvanceAndProcess(2000);
    EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, DestructionSwitchesTheTicksOff) {
    auto* t = MakeTimer();
    t->SetInterval(10);
    delete t;
    EXPECT_EQ(platform.ArmedTimers(), 0u);
    AdvanceAndProcess(100);
    EXPECT_EQ(ticks, 0);
}

} // namespace
