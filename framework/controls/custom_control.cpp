#include "framework/controls/custom_control.h"

#include "framework/controls/control_host.h"
#include "framework/core/exceptions.h"

#include <algorithm>
#include <deque>

namespace {
constexpr std::size_t kMaxHeldSurfaces = 4;

std::deque<TControlCanvas*>& HeldCanvases() {
    static std::deque<TControlCanvas*> held;
    return held;
}
} // namespace

void FreeDeviceContexts() {
    while (!HeldCanvases().empty()) HeldCanvases().front()->FreeHandle();
}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
    TControlHost* host = control_ ? control_->Host() : nullptr;
    if (host == nullptr) throw EInvalidOperation("Control has no parent window");
    host->HostControl()->HandleNeeded();
    const WindowId window = host->PlatformWindow();
    if (!held_) {
        auto& held = HeldCanvases();
        if (held.size() >= kMaxHeldSurfaces) held.front()->FreeHandle(); // the oldest goes
        if (!CurrentPlatform().AcquireWindowDrawing(window))
            throw EOutOfResources(error_text::kWindowDeviceContext);
        held_ = true;
        heldWindow_ = window;
        held.push_back(this);
    }
    PixelSurface* surface = CurrentPlatform().WindowSurface(window);
    if (surface == nullptr) return; // leaves the canvas unbound: "Canvas does not allow drawing"
    DeviceContext dc;
    dc.surface = surface;
    dc.window = window;
    dc.origin = control_->FormOrigin();
    if (!control_->Showing()) {
        // A control that is hidden, or inside a hidden parent, draws nothing: the clip stays empty.
    } else if (auto* win = dynamic_cast<TWinControl*>(control_)) {
        dc.clip = win->VisibleRegion();
    } else if (control_->Parent() != nullptr) {
        // A graphic control draws on its parent's area, within its own bounds.
        dc.clip = control_->Parent()->VisibleRegion();
        const TRect own = Bounds(dc.origin.X, dc.origin.Y, control_->Width(), control_->Height());
        for (TRect& r : dc.clip) r = r.Intersect(own);
    }
    dc.clip.erase(std::remove_if(dc.clip.begin(), dc.clip.end(), [](const TRect& r) { return r.IsEmpty(); }),
                  dc.clip.end());
    SetHandle(dc);
}

void TControlCanvas::FreeHandle() {
    SetHandle(std::nullopt);
    if (!held_) return;
    held_ = false;
    auto& held = HeldCanvases();
    held.erase(std::remove(held.begin(), held.end(), this), held.end());
    if (HasCurrentPlatform()) CurrentPlatform().ReleaseWindowDrawing(heldWindow_);
    heldWindow_ = 0;
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() { canvas_->FreeHandle(); }

void TCustomControl::PaintWindow(DeviceContext& DC) {
    canvas_->Lock();
    canvas_->SetHandle(DC);
    try {
        Paint();
    } catch (...) {
        canvas_->SetHandle(std::nullopt);
        canvas_->Unlock();
        throw;
    }
    canvas_->SetHandle(std::nullopt);
    canvas_->Unlock();
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() { canvas_->FreeHandle(); }

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg != WM_PAINT) {
        TControl::WndProc(m);
        return;
    }
    auto* dc = reinterpret_cast<DeviceContext*>(m.WParam);
    if (dc == nullptr) return;
    canvas_->Lock();
    canvas_->SetHandle(*dc);
    try {
        Paint();
    } catch (...) {
        canvas_->SetHandle(std::nullopt);
        canvas_->Unlock();
        throw;
    }
    canvas_->SetHandle(std::nullopt);
    canvas_->Unlock();
}
