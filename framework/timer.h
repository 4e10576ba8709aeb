// TTimer: ticks through the message loop. Its hidden window ("TPUtilWindow") receives WM_TIMER from
// the platform timer with id 1; setting Enabled or Interval to a new value, or setting OnTimer at all,
// re-arms it and so starts a full new period.
#pragma once

#include "framework/component.h"
#include "framework/message_queue.h"

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

    // The hidden window's handle; the platform timer is (handle, 1).
    HWND WindowHandle() const { return window_; }
    static constexpr std::uint32_t kTimerId = 1;
    static constexpr const char* kWindowClass = "TPUtilWindow";

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);
    std::uint64_t Key() const { return (static_cast<std::uint64_t>(window_) << 32) | kTimerId; }

    bool enabled_ = true;
    std::uint32_t interval_ = 1000;
    TNotifyEvent onTimer_;
    HWND window_ = 0;
};
