// TTimer: ticks through the message loop. Its hidden window ("TPUtilWindow") receives WM_TIMER from
// the platform timer with id 1; setting Enabled or Interval to a new value, or setting OnTimer at all,
// re-arms it and so starts a full new period.
#pragma once

#include "framework/core/component.h"
#include "framework/core/message_queue.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t value);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);

    // For a timer whose handler only watches the pointer: where the platform reports pointer
    // motion, stops the ticks until the pointer moves or Wake is called; the ticks then resume on
    // the period they had, as if the timer had ticked all along. Elsewhere it does nothing.
    void SleepUntilPointerMoves();
    void Wake();
    // Wakes a sleeper for a move found late (a warp, which reports no motion): the move happened up
    // to a check period ago, so the tick comes at once and the period starts anew from it.
    void WakeForLateMove();
    bool Sleeping() const { return sleeping_; }
    // While timers sleep, the platform looks at the pointer at least this often: a move that reports
    // no motion is drawn within this (plus a drawing's time). A look costs the X11 backend about one
    // wake-up, so 450 ms keeps a view at rest near two wake-ups a second.
    static constexpr std::uint32_t kPointerCheckMs = 450;

    // The hidden window's handle; the platform timer is (handle, 1).
    HWND WindowHandle() const { return window_; }
    static constexpr std::uint32_t kTimerId = 1;
    static constexpr const char* kWindowClass = "TPUtilWindow";

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    bool Armed() const { return interval_ != 0 && enabled_ && static_cast<bool>(onTimer_); }
    // No further tick until the platform timer is armed again: none pending, none held back.
    void SwitchOffTicks();
    // Leaves the sleepers' list (and stops the platform's watch when it empties).
    void StopSleeping();
    // Arms the platform timer so the next tick falls where the period it had puts it.
    void ResumePeriod();
    void WndProc(TMessage& Message);
    std::uint64_t Key() const { return (static_cast<std::uint64_t>(window_) << 32) | kTimerId; }

    bool enabled_ = true;
    std::uint32_t interval_ = 1000;
    TNotifyEvent onTimer_;
    HWND window_ = 0;
    bool sleeping_ = false;
    std::uint64_t periodStart_ = 0; // platform time of the arming or of the last tick
};
