#include "framework/core/timer.h"

#include "framework/core/exceptions.h"
#include "framework/platform/platform.h"

#include <algorithm>
#include <vector>

namespace {

// The timers asleep until the pointer moves; the platform watches the pointer while there are any.
std::vector<TTimer*>& Sleepers() {
    static std::vector<TTimer*> sleepers;
    return sleepers;
}

// The platform's motion hook: the watch has ended, every sleeper wakes.
void WakeSleepers(PointerMoveSeen seen) {
    const std::vector<TTimer*> woken = Sleepers();
    for (TTimer* timer : woken) {
        if (seen == PointerMoveSeen::Later)
            timer->WakeForLateMove();
        else
            timer->Wake();
    }
}

} // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    window_ = message_queue::AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TTimer::~TTimer() {
    StopSleeping();
    enabled_ = false;
    // Switch the ticks off before the hidden window goes. A failure cannot happen while disabled.
    UpdateTimer();
    message_queue::DeallocateHWnd(window_);
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    UpdateTimer();
}

void TTimer::SetInterval(std::uint32_t value) {
    if (value == interval_) return;
    interval_ = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    StopSleeping();
    Platform& platform = CurrentPlatform();
    SwitchOffTicks();
    if (Armed()) {
        periodStart_ = platform.NowMs();
        if (!platform.SetTimer(Key(), interval_)) throw EOutOfResources(error_text::kNoTimers);
    }
}

void TTimer::SleepUntilPointerMoves() {
    Platform& platform = CurrentPlatform();
    if (sleeping_ || !Armed() || !platform.ReportsPointerMotion()) return;
    SwitchOffTicks();
    sleeping_ = true;
    Sleepers().push_back(this);
    if (Sleepers().size() == 1) platform.WatchPointerMotion(&WakeSleepers, kPointerCheckMs);
}

void TTimer::SwitchOffTicks() {
    CurrentPlatform().KillTimer(Key());
    message_queue::DropHeldTimerTick(Key()); // a tick held back for a repaint goes too
}

void TTimer::Wake() {
    if (!sleeping_) return;
    StopSleeping();
    ResumePeriod();
}

void TTimer::WakeForLateMove() {
    if (!sleeping_) return;
    StopSleeping();
    Platform& platform = CurrentPlatform();
    periodStart_ = platform.NowMs();
    // As in ResumePeriod, the backends that report pointer motion never refuse a timer.
    static_cast<void>(platform.SetTimerWithFirstDelay(Key(), interval_, 0));
}

void TTimer::StopSleeping() {
    if (!sleeping_) return;
    sleeping_ = false;
    std::vector<TTimer*>& sleepers = Sleepers();
    sleepers.erase(std::remove(sleepers.begin(), sleepers.end(), this), sleepers.end());
    // At process end the platform may be gone; its watch went with it.
    if (sleepers.empty() && HasCurrentPlatform()) CurrentPlatform().WatchPointerMotion(nullptr, 0);
}

void TTimer::ResumePeriod() {
    Platform& platform = CurrentPlatform();
    const std::uint64_t now = std::max(platform.NowMs(), periodStart_);
    // The first tick of the period that has not begun yet, never the tick that put it to sleep.
    const std::uint64_t periods =
        std::max<std::uint64_t>(1, (now - periodStart_ + interval_ - 1) / interval_);
    const std::uint64_t due = periodStart_ + periods * interval_;
    periodStart_ = due - interval_;
    // Runs from inside the platform's event handling, where an error cannot be reported; the
    // backends that report pointer motion never refuse a timer.
    static_cast<void>(
        platform.SetTimerWithFirstDelay(Key(), interval_, static_cast<std::uint32_t>(due - now)));
}

void TTimer::Timer() {
    if (onTimer_) onTimer_(this);
}

void TTimer::WndProc(TMessage& m) {
    if (m.Msg != WM_TIMER) return; // everything else gets the default processing, which is nothing
    periodStart_ = CurrentPlatform().NowMs();
    try {
        Timer();
    } catch (...) {
        // Reported by the application; the timer stays armed.
        HandleException(this);
    }
}
