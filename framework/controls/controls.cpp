#include "framework/controls/controls.h"

#include "framework/controls/control_accessible.h"
#include "framework/controls/control_host.h"
#include "framework/controls/menus.h"
#include "framework/core/exceptions.h"
#include "framework/platform/platform.h"

#include <algorithm>

namespace {
TControl* gCapture = nullptr;
TControlWatcher gWatcher;
TControl* gMouseControl = nullptr;
} // namespace

TControl* GetMouseControl() { return gMouseControl; }

void UpdateMouseControl(TControl* underPointer) {
    if (underPointer == gMouseControl) return;
    TControl* capture = gCapture;
    auto gets = [capture](TControl* c) { return c != nullptr && (capture == nullptr || capture == c); };
    TControl* previous = gMouseControl;
    gMouseControl = underPointer;
    if (gets(previous)) previous->Perform(CM_MOUSELEAVE, 0, 0);
    // The leave handler may have destroyed or replaced things; enter only what is still current.
    if (gMouseControl == underPointer && gets(underPointer)) underPointer->Perform(CM_MOUSEENTER, 0, 0);
}

namespace {
bool gHasEventShift = false;
TShiftState gEventShift = 0;
} // namespace

TKeyEventShiftScope::TKeyEventShiftScope(TShiftState shift)
    : hadShift_(gHasEventShift), savedShift_(gEventShift) {
    gHasEventShift = true;
    gEventShift = shift;
}

TKeyEventShiftScope::~TKeyEventShiftScope() {
    gHasEventShift = hadShift_;
    gEventShift = savedShift_;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = 0;
    if (gHasEventShift) {
        s = gEventShift & (ssShift | ssCtrl);
    } else if (HasCurrentPlatform()) {
        if (CurrentPlatform().IsKeyDown(VK_SHIFT)) s |= ssShift;
        if (CurrentPlatform().IsKeyDown(VK_CONTROL)) s |= ssCtrl;
    }
    if (keyData & kKeyDataAltDown) s |= ssAlt;
    return s;
}

TControl* GetCaptureControl() { return gCapture; }

void SetControlWatcher(const TControlWatcher& watcher) { gWatcher = watcher; }
const TControlWatcher& ControlWatcher() { return gWatcher; }

void SetCaptureControl(TControl* control) {
    if (gCapture == control) return;
    TControl* previous = gCapture;
    gCapture = control;
    if (HasCurrentPlatform()) {
        TControlHost* host = control ? control->Host() : nullptr;
        CurrentPlatform().SetMouseCapture(
            host && host->HostControl()->HandleAllocated() ? host->PlatformWindow() : 0);
    }
    if (previous != nullptr) previous->Perform(WM_CAPTURECHANGED, 0, 0);
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (HasCurrentPlatform() && CurrentPlatform().IsKeyDown(VK_MENU)) s |= ssAlt;
    return s;
}

WPARAM ShiftStateToKeys(TShiftState shift) {
    WPARAM k = 0;
    if (shift & ssShift) k |= MK_SHIFT;
    if (shift & ssCtrl) k |= MK_CONTROL;
    if (shift & ssLeft) k |= MK_LBUTTON;
    if (shift & ssRight) k |= MK_RBUTTON;
    if (shift & ssMiddle) k |= MK_MBUTTON;
    return k;
}

// ---------------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
    WindowProc = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl() {
    Destroying();
    accessible_.reset(); // clients asking from now on hear that the control has gone
    if (gCapture == this) gCapture = nullptr;
    if (gMouseControl == this) gMouseControl = nullptr;
    if (parent_ != nullptr) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == parent_) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_ != nullptr) parent_->RemoveControl(this);
    if (AParent != nullptr) AParent->InsertControl(this);
}

TControlHost* TControl::Host() const {
    const TControl* c = this;
    while (c->parent_ != nullptr) c = c->parent_;
    return dynamic_cast<TControlHost*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    const bool sizeChanged = AWidth != width_ || AHeight != height_;
    const bool moved = ALeft != left_ || ATop != top_;
    Invalidate(); // the area it leaves
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    Invalidate();
    if (!anchoring_) UpdateAnchorRules();
    RequestAlign();
    AfterSetBounds(moved, sizeChanged);
    // A caret in this control (or inside it) follows it.
    if (gWatcher.placeChanged != nullptr) gWatcher.placeChanged();
    accessibility::Raise(this, AccessibleEvent::StateChanged);
}

void TControl::AfterSetBounds(bool, bool sized) {
    if (sized && !HasState(csLoading)) Resize();
}

TPoint TControl::FormOrigin() const {
    if (parent_ == nullptr) return {0, 0};
    const TPoint p = parent_->FormOrigin();
    return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
    const TPoint o = FormOrigin();
    TPoint screen{o.X + p.X, o.Y + p.Y};
    if (const TControlHost* host = Host()) {
        const TPoint c = host->ClientOriginOnScreen();
        screen.X += c.X;
        screen.Y += c.Y;
    }
    return screen;
}

TPoint TControl::ScreenToClient(TPoint p) const {
    const TPoint zero = ClientToScreen({0, 0});
    return {p.X - zero.X, p.Y - zero.Y};
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
    accessibility::Raise(this, AccessibleEvent::StateChanged);
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    if (!value) Invalidate();
    visible_ = value;
    Perform(CM_VISIBLECHANGED, value ? 1 : 0, 0);
    RequestAlign();
    if (gWatcher.placeChanged != nullptr) gWatcher.placeChanged();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c != nullptr; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TControl::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    parentColor_ = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    if (parent_ != nullptr && !HasState(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool value) {
    if (value == parentFont_) return;
    parentFont_ = value;
    if (parent_ != nullptr && !HasState(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::FontChanged() {
    parentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetText(const std::string& value) {
    if (value == text_) return;
    text_ = value;
    Perform(CM_TEXTCHANGED, 0, 0);
    accessibility::Raise(this, AccessibleEvent::NameChanged);
}

LRESULT TControl::Perform(std::uint32_t Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    if (WindowProc) WindowProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_MOUSEMOVE: WMMouseMove(m); break;
    case WM_LBUTTONDOWN: WMLButtonDown(m); break;
    case WM_LBUTTONUP: WMLButtonUp(m); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(m); break;
    case WM_RBUTTONDOWN: WMRButtonDown(m); break;
    case WM_RBUTTONUP: WMRButtonUp(m); break;
    case WM_MBUTTONDOWN: WMMButtonDown(m); break;
    case WM_MBUTTONUP: WMMButtonUp(m); break;
    case WM_MOUSEWHEEL: WMMouseWheel(m); break;
    case WM_CONTEXTMENU: WMContextMenu(m); break;
    case WM_CANCELMODE: WMCancelMode(m); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); break;
    case CM_COLORCHANGED: CMColorChanged(m); break;
    case CM_FONTCHANGED: CMFontChanged(m); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); break;
    case CM_TEXTCHANGED: CMTextChanged(m); break;
    case CM_MOUSEENTER: CMMouseEnter(m); break;
    case CM_MOUSELEAVE: CMMouseLeave(m); break;
    case CM_HITTEST: CMHitTest(m); break;
    default: DefaultHandler(m); break;
    }
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::Invalidate() {
    if (!Showing()) return;
    TControlHost* host = Host();
    if (host == nullptr || !host->HostControl()->HandleAllocated()) return;
    const TPoint o = FormOrigin();
    TRect area = Bounds(o.X, o.Y, width_, height_);
    for (const TWinControl* p = parent_; p != nullptr; p = p->Parent()) {
        const TPoint po = p->FormOrigin();
        area = area.Intersect(p->ClientRect().Offset(po.X, po.Y));
    }
    host->InvalidateFormRect(area);
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (parent_ == nullptr) return;
    if (parentColor_) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (parentFont_) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == PopupMenu) PopupMenu = nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    PopupMenu = menu;
    // A menu owned elsewhere may go first; it then tells this control.
    if (menu != nullptr) menu->FreeNotification(this);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (handled) return true;
    // A wheel that reports finer steps than a notch acts once a whole notch has come together.
    wheelAccumulator_ += WheelDelta;
    while (wheelAccumulator_ >= WHEEL_DELTA || wheelAccumulator_ <= -WHEEL_DELTA) {
        const bool up = wheelAccumulator_ > 0;
        wheelAccumulator_ += up ? -WHEEL_DELTA : WHEEL_DELTA;
        const bool stepHandled = up ? DoMouseWheelUp(Shift, MousePos) : DoMouseWheelDown(Shift, MousePos);
        handled = handled || stepHandled;
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::RequestAlign() {
    if (parent_ != nullptr && !HasState(csLoading)) parent_->Realign();
}

void TControl::DoMouseDown(TMouseButton Button, const TMessage& m) {
    TShiftState shift = KeysToShiftState(m.WParam);
    if (m.Msg == WM_LBUTTONDBLCLK) shift |= ssDouble;
    MouseDown(Button, shift, MouseX(m.LParam), MouseY(m.LParam));
}

void TControl::DoMouseUp(TMouseButton Button, const TMessage& m) {
    MouseUp(Button, KeysToShiftState(m.WParam), MouseX(m.LParam), MouseY(m.LParam));
}

void TControl::WMMouseMove(TMessage& m) {
    MouseMove(KeysToShiftState(m.WParam), MouseX(m.LParam), MouseY(m.LParam));
}

void TControl::WMLButtonDown(TMessage& m) {
    // Set before anything handles the press, so a control taking the focus now knows why.
    ControlState |= csLButtonDown;
    if (ControlStyle & csCaptureMouse) SetCaptureControl(this);
    if (ControlStyle & csClickEvents) ControlState |= csClicked;
    DoMouseDown(mbLeft, m);
}

void TControl::WMLButtonUp(TMessage& m) {
    ControlState &= ~csLButtonDown;
    if ((ControlStyle & csCaptureMouse) && gCapture == this) SetCaptureControl(nullptr);
    if (ControlState & csClicked) {
        ControlState &= ~csClicked;
        // The click comes before the release event.
        if (ClientRect().Contains({MouseX(m.LParam), MouseY(m.LParam)})) Click();
    }
    DoMouseUp(mbLeft, m);
}

void TControl::WMLButtonDblClk(TMessage& m) {
    ControlState |= csLButtonDown;
    if (ControlStyle & csCaptureMouse) SetCaptureControl(this);
    if (ControlStyle & csClickEvents) DblClick();
    DoMouseDown(mbLeft, m);
}

void TControl::WMRButtonDown(TMessage& m) { DoMouseDown(mbRight, m); }

void TControl::WMRButtonUp(TMessage& m) {
    DoMouseUp(mbRight, m);
    // The context request goes up from the control under the pointer.
    const TPoint screen = ClientToScreen({MouseX(m.LParam), MouseY(m.LParam)});
    Perform(WM_CONTEXTMENU, 0, MakeMousePos(screen.X, screen.Y));
}

void TControl::WMMButtonDown(TMessage& m) { DoMouseDown(mbMiddle, m); }
void TControl::WMMButtonUp(TMessage& m) { DoMouseUp(mbMiddle, m); }

void TControl::WMMouseWheel(TMessage& m) {
    const int delta = static_cast<std::int16_t>((m.WParam >> 16) & 0xFFFF);
    const TShiftState shift = KeysToShiftState(m.WParam & 0xFFFF);
    if (DoMouseWheel(shift, delta, {MouseX(m.LParam), MouseY(m.LParam)})) {
        m.Result = 1;
        return;
    }
    if (parent_ != nullptr) m.Result = parent_->Perform(WM_MOUSEWHEEL, m.WParam, m.LParam);
}

void TControl::WMContextMenu(TMessage& m) {
    const TPoint screen{MouseX(m.LParam), MouseY(m.LParam)};
    if (PopupMenu != nullptr && PopupMenu->AutoPopup) {
        PopupMenu->PopupComponent = this;
        PopupMenu->Popup(screen.X, screen.Y);
        m.Result = 1;
        return;
    }
    if (parent_ != nullptr) m.Result = parent_->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
}

void TControl::WMCancelMode(TMessage&) {
    if (gCapture == this) SetCaptureControl(nullptr);
    ControlState &= ~(csClicked | csLButtonDown);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& m) {
    if (!parentColor_) return;
    if (m.WParam != 0)
        SetColor(static_cast<TColor>(m.LParam));
    else if (parent_ != nullptr)
        SetColor(parent_->Color());
    parentColor_ = true;
}

void TControl::CMParentFontChanged(TMessage&) {
    if (!parentFont_ || parent_ == nullptr) return;
    font_->Assign(*parent_->Font());
    parentFont_ = true;
}

void TControl::CMTextChanged(TMessage&) {}
void TControl::CMMouseEnter(TMessage&) {}
void TControl::CMMouseLeave(TMessage&) {}

void TControl::CMHitTest(TMessage& m) { m.Result = HitTest({MouseX(m.LParam), MouseY(m.LParam)}) ? 1 : 0; }
