#include "zoom/lv_zoom.h"

#include "framework/forms/forms.h"
#include "zoom/screen_services.h"

#include <limits>

namespace {

std::int32_t ClampToInt32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// Pushes one axis of the captured rectangle back inside the monitor's span [low, high). Returns the
// crosshair offset; `p` becomes the clamped centre. The arithmetic is 64-bit so levels far beyond
// the main window's range cannot overflow; within 32-bit range, on a monitor starting at 0, the
// results equal the classic signed 32-bit ones.
std::int64_t ClampAxis(std::int64_t& p, std::int64_t half, std::int64_t low, std::int64_t high,
                       std::int64_t zoomLevel) {
    std::int64_t offset = 0;
    if (p - low < half) {
        offset = (p - low - half - 1) * 100 / zoomLevel;
        p = low + half;
    } else if (high < p + half) {
        offset = (p + half - high + 1) * 100 / zoomLevel;
        p = high - half;
    }
    return offset;
}

} // namespace

TLvZoom::TLvZoom(TComponent* AOwner) : TLvCustomControl(AOwner) {
    crossHairPicture_ = std::make_unique<TPicture>();
    crossHairPicture_->OnChange = [this](TObject* sender) { PaintMe(sender); };
    SetHeight(100);
    SetWidth(100);
    delay_ = 100;
    zoomLevel_ = 100;
    CrosshairSize = 20;
    CrosshairColor = clBlack;
    cacheOnDeactivate_ = true;
    active_ = true;
    // A new timer ticks every 1000 ms once it has a handler; then the period becomes 100 ms.
    pollTimer_ = new TTimer(this);
    pollTimer_->SetOnTimer([this](TObject*) { PollTick(); });
    pollTimer_->SetInterval(100);
}

TLvZoom::~TLvZoom() {
    Destroying();
    cachedImage_.reset();
    crossHairPicture_->OnChange = nullptr;
    crossHairPicture_.reset();
    // The base destruction then destroys the poll timer, which switches its ticks off.
}

void TLvZoom::Loaded() {
    TLvCustomControl::Loaded();
    pollTimer_->SetEnabled(active_);
}

void TLvZoom::Paint() {
    if (active_) {
        PaintZoom();
    } else if (cachedImage_) {
        Canvas()->Draw(0, 0, cachedImage_.get());
    } else {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
}

void TLvZoom::WMPaint(TMessage& m) {
    if (active_ && Enabled()) zoomPoint_ = kSentinel;
    TLvCustomControl::WMPaint(m);
}

void TLvZoom::WMEraseBkgnd(TMessage& m) {
    if (active_) {
        m.Result = 1;
        return;
    }
    TLvCustomControl::WMEraseBkgnd(m);
}

void TLvZoom::CMEnabledChanged(TMessage& m) {
    TLvCustomControl::CMEnabledChanged(m);
    if (pollTimer_ != nullptr) pollTimer_->Wake(); // a disabled view draws on every tick
}

void TLvZoom::PollTick() {
    if (Enabled() && !Showing()) {
        // Hidden, an enabled view draws nothing and, like one at rest, need not tick until the
        // pointer moves (showing it again repaints it afresh). The query marks where the pointer
        // is, so that only a later move wakes the timer.
        if (CurrentPlatform().ReportsPointerMotion()) {
            ReadCursorPos();
            pollTimer_->SleepUntilPointerMoves();
        }
        return;
    }
    pointerRested_ = false;
    PaintMe(pollTimer_);
    if (pointerRested_) pollTimer_->SleepUntilPointerMoves();
}

void TLvZoom::ForceNextDrawing() {
    zoomPoint_ = kSentinel;
    if (pollTimer_ != nullptr) pollTimer_->Wake();
}

void TLvZoom::PaintMe(TObject*) {
    // Hidden (or inside a hidden parent): no capture and no drawing over what lies beneath. Showing
    // it again repaints it afresh through the paint cycle.
    if (!Showing()) return;
    DeviceContext dc = Canvas()->Handle();
    PaintWindow(dc);
}

void TLvZoom::PaintZoom() {
    TPoint p;
    if (Enabled()) {
        p = ReadCursorPos();
        if (p == zoomPoint_) { // at rest: one pointer query and nothing else
            pointerRested_ = true;
            return;
        }
    } else {
        p = zoomPoint_;
    }
    zoomPoint_ = p;

    const std::int64_t level = zoomLevel_;
    const std::int64_t halfW = static_cast<std::int64_t>(Width() / 2) * level / 100;
    const std::int64_t halfH = static_cast<std::int64_t>(Height() / 2) * level / 100;
    std::int64_t x = p.X;
    std::int64_t y = p.Y;
    // The source stays on the monitor that holds the point (the nearest one when it lies in none).
    const TRect monitor = MonitorBoundsAt(p);
    const std::int64_t offX = ClampAxis(x, halfW, monitor.Left, monitor.Right, level);
    const std::int64_t offY = ClampAxis(y, halfH, monitor.Top, monitor.Bottom, level);
    const TRect source{ClampToInt32(x - halfW), ClampToInt32(y - halfH), ClampToInt32(x + halfW),
                       ClampToInt32(y + halfH)};

    {
        // The screen surface is held for this one copy only.
        TLvDesktopCanvas desktop;
        Canvas()->CopyRect(Rect(0, 0, Width(), Height()), desktop, source);
    }

    if (crosshair_) {
        TGraphic* graphic = crossHairPicture_->Graphic();
        if (graphic != nullptr && !graphic->Empty()) {
            graphic->SetTransparent(true);
            // On a scaled display each of the picture's pixels is repeated by the scale's whole part.
            const std::int32_t repeat = FrameLineWidth();
            const std::int64_t gw = static_cast<std::int64_t>(graphic->Width()) * repeat;
            const std::int64_t gh = static_cast<std::int64_t>(graphic->Height()) * repeat;
            const std::int32_t gx = ClampToInt32((Width() - gw) / 2 + offX);
            const std::int32_t gy = ClampToInt32((Height() - gh) / 2 + offY);
            if (repeat == 1)
                Canvas()->Draw(gx, gy, graphic);
            else
                Canvas()->StretchDraw(Bounds(gx, gy, ClampToInt32(gw), ClampToInt32(gh)), graphic);
        } else {
            Canvas()->Pen()->SetColor(CrosshairColor);
            Canvas()->Pen()->SetStyle(psSolid);
            const std::int32_t cx = ClampToInt32(Width() / 2 + offX);
            const std::int32_t cy = ClampToInt32(Height() / 2 + offY);
            const std::int32_t h = CrosshairSize / 2;
            Canvas()->MoveTo(cx, ClampToInt32(static_cast<std::int64_t>(cy) - h));
            Canvas()->LineTo(cx, ClampToInt32(static_cast<std::int64_t>(cy) + h));
            Canvas()->MoveTo(ClampToInt32(static_cast<std::int64_t>(cx) - h), cy);
            Canvas()->LineTo(ClampToInt32(static_cast<std::int64_t>(cx) + h), cy);
        }
    }
    if (Enabled()) DoContentsChanged();
}

void TLvZoom::DoContentsChanged() {
    if (OnContentsChanged) OnContentsChanged(this);
}

void TLvZoom::ForceUpdate() {
    if (Enabled()) ForceNextDrawing();
    Invalidate();
}

void TLvZoom::ZoomInAt(std::int32_t x, std::int32_t y) {
    if (Enabled()) {
        CurrentPlatform().SetCursorPos(x, y); // the next tick follows the pointer
        pollTimer_->Wake();
    } else if (TPoint{x, y} != zoomPoint_) {
        zoomPoint_ = {x, y};
        DoContentsChanged();
    }
    Invalidate();
}

void TLvZoom::Cache() {
    if (!cachedImage_) cachedImage_ = std::make_unique<TBitmap>();
    cachedImage_->SetSize(Width(), Height());
    const TRect r = Rect(0, 0, Width(), Height());
    cachedImage_->Canvas()->CopyRect(r, *Canvas(), r);
}

void TLvZoom::FlushCache() { cachedImage_.reset(); }

void TLvZoom::SetActive(bool value) {
    if (value == active_) return;
    active_ = value;
    if (!HasState(csReading)) pollTimer_->SetEnabled(value);
    if (!active_ && cacheOnDeactivate_) Cache();
    if (active_ && Enabled()) ForceNextDrawing();
    Invalidate();
}

void TLvZoom::SetZoomLevel(std::int32_t value) {
    if (value == zoomLevel_ || value < 1) return;
    zoomLevel_ = value;
    if (Enabled()) ForceNextDrawing();
    Invalidate();
}

std::int32_t TLvZoom::GetZoomPercentage() const {
    if (zoomLevel_ == 0) return 0;
    // 100 / x * 100 in 64-bit-mantissa floating point, truncated, equals the integer quotient.
    return 10000 / zoomLevel_;
}

void TLvZoom::SetZoomPercentage(std::int32_t value) {
    if (value == 0) return;
    SetZoomLevel(10000 / value);
}

void TLvZoom::SetDelay(std::uint32_t value) {
    delay_ = value;
    pollTimer_->SetInterval(value);
}

void TLvZoom::SetCrossHair(bool value) {
    if (value == crosshair_) return;
    crosshair_ = value;
    ForceUpdate();
}

void TLvZoom::SetCrossHairPicture(const TPicture* value) { crossHairPicture_->Assign(value); }

void TLvZoom::SetCacheOnDeactivate(bool value) {
    if (value == cacheOnDeactivate_) return;
    cacheOnDeactivate_ = value;
    if (!value) {
        FlushCache();
        if (!active_) Invalidate();
    }
}

void TLvZoom::DescribeAccessible(AccessibleDescription& d) {
    TLvCustomControl::DescribeAccessible(d);
    d.role = AccessibleRole::Image;
    d.name = "Magnified view";
}

void TLvZoom::Resize() {
    TLvCustomControl::Resize();
    if (Enabled()) ForceNextDrawing();
    PaintMe(this);
}
