// TWinControl: a control with a toolkit handle and children: painting, focus and keys.
#include "framework/controls/controls.h"

#include "framework/controls/control_host.h"
#include "framework/core/exceptions.h"
#include "framework/platform/platform.h"

#include <algorithm>

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    if (ControlWatcher().destroying != nullptr) ControlWatcher().destroying(this);
    if (TControlHost* host = Host(); host != nullptr && host->HostControl() != this)
        host->ControlDestroyed(this);
    DestroyChildren();
    TWinControl::DestroyWnd();
}

void TWinControl::DestroyChildren() {
    // Each child leaves its owner's list as it goes.
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        delete c;
    }
}

void TWinControl::InsertControl(TControl* AControl) {
    if (AControl == nullptr || AControl->parent_ == this) return;
    controls_.push_back(AControl);
    AControl->parent_ = this;
    if (!AControl->HasState(csReading)) {
        AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
        AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    }
    // Windowed children get their handles along with their parent's.
    if (auto* win = dynamic_cast<TWinControl*>(AControl); win != nullptr && HandleAllocated())
        win->HandleNeeded();
    AControl->Invalidate();
    AControl->RequestAlign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it == controls_.end()) return;
    if (!HasState(csDestroying)) AControl->Invalidate();
    controls_.erase(it);
    AControl->parent_ = nullptr;
    if (GetCaptureControl() == AControl) SetCaptureControl(nullptr);
}

void TWinControl::NotifyControls(std::uint32_t Msg) {
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children)
        if (std::find(controls_.begin(), controls_.end(), c) != controls_.end()) c->Perform(Msg, 0, 0);
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
    auto hits = [&](TControl* c) {
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) return false;
        if (!c->BoundsRect().Contains(p)) return false;
        return c->HitTest({p.X - c->Left(), p.Y - c->Top()});
    };
    // Windowed children lie above graphic ones; later ones above earlier ones.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (dynamic_cast<TWinControl*>(*it) != nullptr && hits(*it)) return *it;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (dynamic_cast<TWinControl*>(*it) == nullptr && hits(*it)) return *it;
    return nullptr;
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_ == 0) CreateWnd();
}

void TWinControl::CreateWnd() {
    handle_ = message_queue::AllocateHWnd([this](TMessage& m) { MainWndProc(m); });
    // A new window hears of its size once, before any paint.
    Perform(WM_SIZE, kSizeOnCreation, MakeMousePos(Width(), Height()));
    for (TControl* c : controls_)
        if (auto* win = dynamic_cast<TWinControl*>(c)) win->HandleNeeded();
}

void TWinControl::DestroyWnd() {
    if (handle_ == 0) return;
    message_queue::DeallocateHWnd(handle_);
    handle_ = 0;
}

void TWinControl::MainWndProc(TMessage& m) {
    try {
        if (WindowProc) WindowProc(m);
    } catch (...) {
        HandleException(this);
    }
    FreeDeviceContexts();
}

std::vector<TRect> TWinControl::VisibleRegion() const {
    const TPoint o = FormOrigin();
    TRect area = ClientRect().Offset(o.X, o.Y);
    if (Parent() != nullptr) area = Bounds(o.X, o.Y, width_, height_);
    for (const TWinControl* p = Parent(); p != nullptr; p = p->Parent()) {
        const TPoint po = p->FormOrigin();
        area = area.Intersect(p->ClientRect().Offset(po.X, po.Y));
    }
    std::vector<TRect> region;
    if (area.IsEmpty()) return region;
    region.push_back(area);
    // Windowed siblings created later lie above: cut them out, at this level and every level up.
    for (const TControl* c = this; c->Parent() != nullptr; c = c->Parent()) {
        const TWinControl* parent = c->Parent();
        const auto& siblings = parent->controls_;
        auto it = std::find(siblings.begin(), siblings.end(), c);
        for (++it; it != siblings.end(); ++it) {
            if (dynamic_cast<const TWinControl*>(*it) == nullptr || !(*it)->Visible()) continue;
            const TPoint so = (*it)->FormOrigin();
            SubtractRect(region, Bounds(so.X, so.Y, (*it)->Width(), (*it)->Height()));
        }
    }
    return region;
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT: WMPaint(m); break;
    case WM_ERASEBKGND: WMEraseBkgnd(m); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: WMKeyDown(m); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: WMKeyUp(m); break;
    case WM_CHAR: WMChar(m); break;
    case WM_SETFOCUS: WMSetFocus(m); break;
    case WM_KILLFOCUS: WMKillFocus(m); break;
    case WM_SIZE: WMSize(m); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); break;
    case WM_GETDLGCODE: m.Result = 0; break;
    case CM_DIALOGKEY: CMDialogKey(m); break;
    case CM_DIALOGCHAR: CMDialogChar(m); break;
    case CM_FOCUSCHANGED: CMFocusChanged(m); break;
    case CM_ENTER: CMEnter(m); break;
    case CM_EXIT: CMExit(m); break;
    default: TControl::WndProc(m); break;
    }
}

void TWinControl::AfterSetBounds(bool moved, bool sized) {
    if (!HandleAllocated()) return;
    Perform(WM_WINDOWPOSCHANGED, 0, 0);
    if (moved) Perform(WM_MOVE, 0, MakeMousePos(Left(), Top()));
    if (sized) Perform(WM_SIZE, 0, MakeMousePos(Width(), Height()));
}

void TWinControl::WMSize(TMessage& m) {
    if (m.WParam != kSizeOnCreation && !HasState(csLoading)) Resize();
}

void TWinControl::WMWindowPosChanged(TMessage&) {}

bool TWinControl::CanFocus() const {
    if (Host() == nullptr) return false;
    for (const TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    const TControlHost* host = Host();
    return host != nullptr && host->Active() && host->ActiveControl() == this;
}

void TWinControl::SetFocus() {
    TControlHost* host = Host();
    if (host == nullptr) throw EInvalidOperation("Cannot focus a control without a parent window");
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    host->FocusControl(this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    std::vector<TWinControl*> children;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
    // Stored tab orders first; equal (or unset) orders keep their creation order.
    std::stable_sort(children.begin(), children.end(), [](const TWinControl* a, const TWinControl* b) {
        const int ta = a->TabOrder < 0 ? 1 << 30 : a->TabOrder;
        const int tb = b->TabOrder < 0 ? 1 << 30 : b->TabOrder;
        return ta < tb;
    });
    for (TWinControl* w : children) {
        list.push_back(w);
        w->GetTabOrderList(list);
    }
}

void TWinControl::Broadcast(TMessage& m) {
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        if (c->WindowProc) c->WindowProc(m);
        if (m.Result != 0) return;
    }
}

void TWinControl::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(std::uint16_t& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TMessage& m) {
    auto key = static_cast<std::uint16_t>(m.WParam);
    KeyDown(key, KeyDataToShiftState(m.LParam));
    m.WParam = key;
    if (key == 0) m.Result = 1;
}

void TWinControl::WMKeyUp(TMessage& m) {
    auto key = static_cast<std::uint16_t>(m.WParam);
    KeyUp(key, KeyDataToShiftState(m.LParam));
    m.WParam = key;
    if (key == 0) m.Result = 1;
}

void TWinControl::WMChar(TMessage& m) {
    char ch = static_cast<char>(m.WParam);
    KeyPress(ch);
    m.WParam = static_cast<unsigned char>(ch);
    if (ch == 0) m.Result = 1;
}

void TWinControl::WMSetFocus(TMessage&) {}
void TWinControl::WMKillFocus(TMessage&) {}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }
void TWinControl::CMDialogChar(TMessage& m) { Broadcast(m); }

void TWinControl::CMFocusChanged(TMessage& m) {
    // Every control of the form hears of it: the message is not stopped by a result.
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children)
        if (std::find(controls_.begin(), controls_.end(), c) != controls_.end())
            c->Perform(m.Msg, m.WParam, m.LParam);
}

void TWinControl::CMEnter(TMessage&) {
    if (OnEnter) OnEnter(this);
}

void TWinControl::CMExit(TMessage&) {
    if (OnExit) OnExit(this);
}

void TWinControl::PaintWindow(DeviceContext&) {}

void TWinControl::PaintControls(DeviceContext& dc) {
    for (TControl* c : controls_) {
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible()) continue;
        DeviceContext child = dc;
        child.origin = {dc.origin.X + c->Left(), dc.origin.Y + c->Top()};
        const TRect box = Bounds(child.origin.X, child.origin.Y, c->Width(), c->Height());
        child.clip.clear();
        for (const TRect& r : dc.clip)
            if (TRect i = r.Intersect(box); !i.IsEmpty()) child.clip.push_back(i);
        if (child.clip.empty()) continue;
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&child), 0);
    }
}

void TWinControl::WMPaint(TMessage& m) {
    auto* dc = reinterpret_cast<DeviceContext*>(m.WParam);
    if (dc == nullptr) return;
    if (!DoubleBuffered || dc->surface == nullptr) {
        PaintWindow(*dc);
        PaintControls(*dc);
        return;
    }
    // Paint into an image of the control's size, starting from what the window shows, then copy the
    // result into the clip in one piece.
    PixelSurface image(Width(), Height());
    raster::StretchCopy(image, image.Bounds(), *dc->surface,
                        Bounds(dc->origin.X, dc->origin.Y, Width(), Height()), image.Bounds());
    DeviceContext imageDC = DeviceContext::ForSurface(image);
    PaintWindow(imageDC);
    PaintControls(imageDC);
    for (const TRect& c : dc->clip) {
        raster::Blit(*dc->surface, dc->origin.X, dc->origin.Y, image, c);
        window_damage::Add(dc->window, c.Intersect(Bounds(dc->origin.X, dc->origin.Y, Width(), Height())));
    }
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
    auto* dc = reinterpret_cast<DeviceContext*>(m.WParam);
    if (dc == nullptr || dc->surface == nullptr) return;
    const std::uint32_t pixel = ColorToPixel(Color());
    const TRect area = ClientRect().Offset(dc->origin.X, dc->origin.Y);
    for (const TRect& c : dc->clip) {
        raster::FillRect(*dc->surface, area, pixel, c);
        window_damage::Add(dc->window, c.Intersect(area));
    }
    m.Result = 1;
}

void TWinControl::CMColorChanged(TMessage& m) {
    TControl::CMColorChanged(m);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& m) {
    TControl::CMFontChanged(m);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMEnabledChanged(TMessage&) {
    // A windowed control repaints on its own terms; a disabled one cannot keep the focus.
    if (Enabled()) return;
    if (TControlHost* host = Host();
        host != nullptr && host->HostControl() != this && host->ActiveControl() == this)
        host->FocusControl(nullptr);
}
