// A form's automatic scrolling: the scroll bars' ranges and visibility, their places and painting,
// and the mouse and wheel on them.
#include "framework/forms/forms.h"

#include "framework/core/timer.h"
#include "framework/platform/platform.h"

#include <algorithm>
#include <cstdint>

namespace {
constexpr std::uint32_t kFirstRepeatMs = 300;
constexpr std::uint32_t kRepeatMs = 100;
} // namespace

void TCustomForm::SetAutoScroll(bool value) {
    if (value == autoScroll_) return;
    autoScroll_ = value;
    Realign();
}

void TCustomForm::ScrollTo(std::int32_t x, std::int32_t y) {
    x = std::clamp(x, 0, horzScrollBar_.MaxPosition());
    y = std::clamp(y, 0, vertScrollBar_.MaxPosition());
    const std::int32_t dx = x - horzScrollBar_.Position();
    const std::int32_t dy = y - vertScrollBar_.Position();
    if (dx == 0 && dy == 0) return;
    horzScrollBar_.SetPosition(x);
    vertScrollBar_.SetPosition(y);
    ScrollChildren(dx, dy);
    Invalidate();
}

void TCustomForm::AlignControls() {
    TCustomControl::AlignControls();
    UpdateScrollBars();
}

void TCustomForm::UpdateScrollBars() {
    // While the resize rule runs the window still has its old size: the bars wait for the new one.
    if (takingNewSize_ || platformWindow_ == 0) return;
    // The contents' extent: the right edge of every left-anchored (not right-anchored) child and
    // the bottom edge of every top-anchored (not bottom-anchored) one, in unscrolled coordinates.
    const TPoint scroll = ScrollOffset();
    // 64-bit sums, clamped: stored places may lie anywhere in the 32-bit range.
    const auto edge = [](std::int32_t a, std::int32_t b, std::int32_t c) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{a} + b + c, 0, INT32_MAX));
    };
    std::int32_t rangeX = 0, rangeY = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* c = Controls(i);
        if (!c->Visible()) continue;
        const TAnchors a = c->Anchors();
        if ((a & AnchorBit(akLeft)) && !(a & AnchorBit(akRight)))
            rangeX = std::max(rangeX, edge(scroll.X, c->Left(), c->Width()));
        if ((a & AnchorBit(akTop)) && !(a & AnchorBit(akBottom)))
            rangeY = std::max(rangeY, edge(scroll.Y, c->Top(), c->Height()));
    }
    const TRect inner = InnerRect();
    bool horz = false, vert = false;
    if (autoScroll_) {
        // One bar can make the other necessary: settle both.
        for (int pass = 0; pass < 3; ++pass) {
            const bool needHorz = rangeX > inner.Width() - (vert ? vertScrollBar_.Size() : 0);
            const bool needVert = rangeY > inner.Height() - (horz ? horzScrollBar_.Size() : 0);
            if (needHorz == horz && needVert == vert) break;
            horz = needHorz;
            vert = needVert;
        }
    }
    const bool shownChanged = horz != horzScrollBar_.Visible() || vert != vertScrollBar_.Visible();
    if (horzScrollBar_.Visible() || vertScrollBar_.Visible()) PaintScrollBarsLater();
    horzScrollBar_.SetVisible(horz);
    vertScrollBar_.SetVisible(vert);
    horzScrollBar_.SetRange(rangeX);
    vertScrollBar_.SetRange(rangeY);
    const TRect client = ClientRect();
    horzScrollBar_.SetPage(client.Width());
    vertScrollBar_.SetPage(client.Height());
    PlaceScrollBars();
    PaintScrollBarsLater();
    // A hidden bar scrolls back to the start; a shown one stays inside its new range.
    ScrollTo(horz ? horzScrollBar_.Position() : 0, vert ? vertScrollBar_.Position() : 0);
    if (shownChanged) {
        // The client area changed: the anchored controls follow it.
        Invalidate();
        TCustomControl::AlignControls();
    }
}

void TCustomForm::PlaceScrollBars() {
    const TRect inner = InnerRect();
    const std::int32_t s = horzScrollBar_.Size();
    const bool both = horzScrollBar_.Visible() && vertScrollBar_.Visible();
    horzScrollBar_.SetBoundsRect({inner.Left, std::max(inner.Top, inner.Bottom - s),
                                  std::max(inner.Left, inner.Right - (both ? s : 0)), inner.Bottom});
    vertScrollBar_.SetBoundsRect({std::max(inner.Left, inner.Right - s), inner.Top, inner.Right,
                                  std::max(inner.Top, inner.Bottom - (both ? s : 0))});
}

void TCustomForm::PaintScrollBarsLater() {
    for (const TControlScrollBar* bar : {&horzScrollBar_, &vertScrollBar_})
        if (bar->Visible()) InvalidateFormRect(bar->BoundsRect());
    if (horzScrollBar_.Visible() && vertScrollBar_.Visible()) InvalidateFormRect(ScrollCorner());
}

TRect TCustomForm::ScrollCorner() const {
    return {vertScrollBar_.BoundsRect().Left, horzScrollBar_.BoundsRect().Top,
            vertScrollBar_.BoundsRect().Right, horzScrollBar_.BoundsRect().Bottom};
}

void TCustomForm::PaintScrollBars(const TRect& area) {
    if (!horzScrollBar_.Visible() && !vertScrollBar_.Visible()) return;
    PixelSurface* surface = CurrentPlatform().WindowSurface(platformWindow_);
    if (surface == nullptr) return;
    DeviceContext dc;
    dc.surface = surface;
    dc.window = platformWindow_;
    dc.clip.push_back(area.Intersect(InnerRect()).Intersect(surface->Bounds()));
    if (dc.clip.front().IsEmpty()) return;
    TCanvas canvas;
    canvas.SetHandle(dc);
    horzScrollBar_.Paint(canvas);
    vertScrollBar_.Paint(canvas);
    if (horzScrollBar_.Visible() && vertScrollBar_.Visible()) {
        canvas.Brush()->SetColor(clBtnFace);
        canvas.FillRect(ScrollCorner());
    }
    canvas.SetHandle(std::nullopt);
}

TControlScrollBar* TCustomForm::ScrollBarAt(TPoint p) {
    for (TControlScrollBar* bar : {&horzScrollBar_, &vertScrollBar_})
        if (bar->Visible() && bar->BoundsRect().Contains(p)) return bar;
    return nullptr;
}

bool TCustomForm::RouteScrollBarMouse(const PlatformEvent& e) {
    using K = PlatformEvent::Kind;
    if (trackingBar_ != nullptr) {
        if (e.kind == K::MouseMove) {
            trackingBar_->Drag(e.position);
            InvalidateFormRect(trackingBar_->BoundsRect());
        } else if (e.kind == K::MouseUp && e.button == PointerButton::Left) {
            StopScrollBarTracking();
        }
        return true;
    }
    TControlScrollBar* bar = ScrollBarAt(e.position);
    // Over a bar nothing reaches the controls, even one lying under it.
    if (bar == nullptr || GetCaptureControl() != nullptr) return false;
    if (e.kind != K::MouseDown || e.button != PointerButton::Left || !bar->Press(e.position)) return true;
    trackingBar_ = bar;
    SetCaptureControl(this);
    if (!scrollRepeat_) {
        scrollRepeat_ = std::make_unique<TTimer>(nullptr);
        scrollRepeat_->SetOnTimer([this](TObject*) {
            scrollRepeat_->SetInterval(kRepeatMs);
            if (trackingBar_ == nullptr) return;
            trackingBar_->Repeat();
            InvalidateFormRect(trackingBar_->BoundsRect());
        });
    }
    scrollRepeat_->SetEnabled(false);
    scrollRepeat_->SetInterval(kFirstRepeatMs);
    scrollRepeat_->SetEnabled(true);
    InvalidateFormRect(bar->BoundsRect());
    return true;
}

void TCustomForm::StopScrollBarTracking() {
    if (trackingBar_ == nullptr) return;
    trackingBar_->Release();
    InvalidateFormRect(trackingBar_->BoundsRect());
    trackingBar_ = nullptr;
    if (scrollRepeat_) scrollRepeat_->SetEnabled(false);
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
}

void TCustomForm::WMCancelMode(TMessage& m) {
    StopScrollBarTracking();
    TCustomControl::WMCancelMode(m);
}

void TCustomForm::ScrollByWheel(TControlScrollBar& bar, int wheelDelta) {
    wheelScrollRemainder_ += wheelDelta;
    const int notches = wheelScrollRemainder_ / WHEEL_DELTA;
    wheelScrollRemainder_ -= notches * WHEEL_DELTA;
    // Turning the wheel away from the user (a positive delta) scrolls back towards the start.
    bar.ScrollBy(-notches * TControlScrollBar::kWheelLines * bar.Increment);
}

bool TCustomForm::ScrollByNotch(int direction) {
    // The vertical bar when there is one, else the horizontal one.
    TControlScrollBar* bar = vertScrollBar_.Visible()   ? &vertScrollBar_
                             : horzScrollBar_.Visible() ? &horzScrollBar_
                                                        : nullptr;
    if (bar == nullptr) return false;
    bar->ScrollBy(direction * TControlScrollBar::kWheelLines * bar->Increment);
    return true;
}

bool TCustomForm::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    return TCustomControl::DoMouseWheelDown(Shift, MousePos) || ScrollByNotch(1);
}

bool TCustomForm::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    return TCustomControl::DoMouseWheelUp(Shift, MousePos) || ScrollByNotch(-1);
}
