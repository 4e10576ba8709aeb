#include "edit/lc_application.h"

#include "framework/platform/platform.h"

#include <algorithm>

TLcApplication::TLcApplication() = default;
TLcApplication::~TLcApplication() { DropBaseTick(); }

void TLcApplication::DropBaseTick() {
    // The base tick's platform timer can only be switched off while a platform is there; at process
    // end it may be gone already, and then there is nothing left to switch off.
    if (baseTick_ && !HasCurrentPlatform()) static_cast<void>(baseTick_.release());
    baseTick_.reset();
}

TLcApplication& LcApplication() {
    static TLcApplication instance;
    return instance;
}

void TLcApplication::SetEditMode(TLcEditMode value) {
    if (value == editMode_) return;
    editMode_ = value;
    if (OnEditModeChange) OnEditModeChange();
}

bool TLcApplication::GetXPThemesSupported() const {
    if (ThemeProbe) return ThemeProbe();
    return HasCurrentPlatform() && CurrentPlatform().ThemeAvailable();
}

void TLcApplication::Reset() {
    editMode_ = EditModeBit(emInsert);
    OnEditModeChange = nullptr;
    ThemeProbe = nullptr;
    useXPThemes_ = true;
    timers_.clear();
    DropBaseTick();
}

void TLcApplication::RegisterTimer(TLcTimer* timer) {
    if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) return;
    timers_.push_back(timer);
    if (!baseTick_) {
        baseTick_ = std::make_unique<TTimer>(nullptr);
        baseTick_->SetInterval(kBaseTickMs);
        baseTick_->SetOnTimer([this](TObject*) { BaseTick(); });
    }
}

void TLcApplication::UnregisterTimer(TLcTimer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
    if (timers_.empty()) DropBaseTick();
}

void TLcApplication::BaseTick() {
    // A handler may enable or disable timers; tick a snapshot and skip those that left meanwhile.
    const std::vector<TLcTimer*> snapshot = timers_;
    for (TLcTimer* t : snapshot)
        if (std::find(timers_.begin(), timers_.end(), t) != timers_.end()) t->Tick(kBaseTickMs);
}

TLcTimer::TLcTimer(TComponent* AOwner, bool usePool) : TComponent(AOwner) {
    if (usePool) return;
    ownTimer_ = std::make_unique<TTimer>(nullptr);
    ownTimer_->SetEnabled(false);
    ownTimer_->SetInterval(interval_);
    ownTimer_->SetOnTimer([this](TObject*) {
        if (OnTimer) OnTimer(this);
    });
}

TLcTimer::~TLcTimer() {
    if (!ownTimer_) LcApplication().UnregisterTimer(this);
}

void TLcTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    elapsed_ = 0;
    if (ownTimer_)
        ownTimer_->SetEnabled(value);
    else if (enabled_)
        LcApplication().RegisterTimer(this);
    else
        LcApplication().UnregisterTimer(this);
}

void TLcTimer::SetInterval(std::uint32_t value) {
    interval_ = value;
    elapsed_ = 0;
    if (!ownTimer_) return;
    // A new period starts, as with the pool.
    ownTimer_->SetEnabled(false);
    ownTimer_->SetInterval(value);
    ownTimer_->SetEnabled(enabled_);
}

void TLcTimer::Tick(std::uint32_t elapsedMs) {
    elapsed_ += elapsedMs;
    if (elapsed_ < interval_) return;
    elapsed_ = 0;
    if (OnTimer) OnTimer(this);
}
