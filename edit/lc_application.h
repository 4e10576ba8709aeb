// The control library's application-wide object: the edit mode shared by every edit of the process,
// the theme switch, and a pool of timers driven by one 50 ms base tick.
#pragma once

#include "framework/core/component.h"
#include "framework/core/timer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

enum TLcEditModeKind : std::uint8_t { emInsert, emShift, emCtrl, emAlt, emCaps, emNum, emScroll };
// A set of TLcEditModeKind: bit i is member i.
using TLcEditMode = std::uint8_t;
constexpr TLcEditMode EditModeBit(TLcEditModeKind k) { return static_cast<TLcEditMode>(1u << k); }

class TLcTimer;

class TLcApplication {
public:
    static constexpr std::uint32_t kBaseTickMs = 50;

    TLcApplication();
    ~TLcApplication();
    TLcApplication(const TLcApplication&) = delete;
    TLcApplication& operator=(const TLcApplication&) = delete;

    TLcEditMode EditMode() const { return editMode_; }
    // A different value calls OnEditModeChange.
    void SetEditMode(TLcEditMode value);
    bool InEditMode(TLcEditModeKind k) const { return (editMode_ & EditModeBit(k)) != 0; }
    void IncludeEditMode(TLcEditModeKind k) { SetEditMode(editMode_ | EditModeBit(k)); }
    void ExcludeEditMode(TLcEditModeKind k) {
        SetEditMode(static_cast<TLcEditMode>(editMode_ & ~EditModeBit(k)));
    }
    std::function<void()> OnEditModeChange;

    // Themes: supported when the platform has a theme service with an active theme; used when the
    // switch is on as well. Both are asked afresh each time so they follow the platform's switch.
    bool GetXPThemesSupported() const;
    bool GetUseXPThemes() const { return useXPThemes_ && GetXPThemesSupported(); }
    void SetUseXPThemes(bool value) { useXPThemes_ = value; }

    // Timer pool. A timer registers while enabled; the base tick runs only while any is registered.
    void RegisterTimer(TLcTimer* timer);
    void UnregisterTimer(TLcTimer* timer);
    bool BaseTickRunning() const { return baseTick_ != nullptr; }

    // Back to the state of a new process (tests): {emInsert}, no handler, themes used.
    void Reset();

private:
    void BaseTick();
    void DropBaseTick();

    TLcEditMode editMode_ = EditModeBit(emInsert);
    bool useXPThemes_ = true;
    std::vector<TLcTimer*> timers_;
    std::unique_ptr<TTimer> baseTick_;
};

// The one application-wide object, made on first use and kept for the process's lifetime.
TLcApplication& LcApplication();

// A timer of the control library. Served by the pool, it fires OnTimer when at least Interval ms of
// base ticks have passed, so its resolution is the 50 ms base tick; otherwise it runs on a toolkit
// timer of its own.
class TLcTimer : public TComponent {
public:
    explicit TLcTimer(TComponent* AOwner, bool usePool = true);
    ~TLcTimer() override;
    bool UsesPool() const { return !ownTimer_; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    std::uint32_t Interval() const { return interval_; }
    // Restarts the period.
    void SetInterval(std::uint32_t value);
    TNotifyEvent OnTimer;

private:
    friend class TLcApplication;
    void Tick(std::uint32_t elapsedMs);

    bool enabled_ = false;
    std::uint32_t interval_ = 1000;
    std::uint32_t elapsed_ = 0;
    std::unique_ptr<TTimer> ownTimer_;
};
