#include "framework/timer.h"

#include "framework/exceptions.h"
#include "framework/platform/platform.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    window_ = message_queue::AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TTimer::~TTimer() {
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
    Platform& platform = CurrentPlatform();
    platform.KillTimer(Key());
    message_queue::DropHeldTimerTick(Key()); // no tick after the timer was switched off
    if (interval_ != 0 && enabled_ && onTimer_) {
        if (!platform.SetTimer(Key(), interval_)) throw EOutOfResources(error_text::kNoTimers);
    }
}

void TTimer::Timer() {
    if (onTimer_) onTimer_(this);
}

void TTimer::WndProc(TMessage& m) {
    if (m.Msg != WM_TIMER) return; // everything else gets the default processing, which is nothing
    try {
        Timer();
    } catch (...) {
        // Reported by the application; the timer stays armed.
        HandleException(this);
    }
}
