#include "framework/controls.h"

#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/platform/platform.h"

#include <algorithm>

namespace {
TControl* gCapture = nullptr;
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

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = 0;
    if (HasCurrentPlatform()) {
        if (CurrentPlatform().IsKeyDown(VK_SHIFT)) s |= ssShift;
        if (CurrentPlatform().IsKeyDown(VK_CONTROL)) s |= ssCtrl;
    }
    if (keyData & kKeyDataAltDown) s |= ssAlt;
    return s;
}

TControl* GetCaptureControl() { return gCapture; }

void SetCaptureControl(TControl* control) {
    if (gCapture == control) return;
    TControl* previous = gCapture;
    gCapture = control;
    if (HasCurrentPlatform()) {
        TCustomForm* form = control ? control->GetParentForm() : nullptr;
        CurrentPlatform().SetMouseCapture(form && form->HandleAllocated() ? form->PlatformWindow() : 0);
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

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->parent_ != nullptr) c = c->parent_;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
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
    RequestAlign();
    AfterSetBounds(moved, sizeChanged);
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
    if (const TCustomForm* form = GetParentForm()) {
        const TPoint c = form->ClientOriginOnScreen();
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
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    if (!value) Invalidate();
    visible_ = value;
    Perform(CM_VISIBLECHANGED, value ? 1 : 0, 0);
    RequestAlign();
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
    TCustomForm* form = GetParentForm();
    if (form == nullptr || !form->HandleAllocated()) return;
    const TPoint o = FormOrigin();
    TRect area = Bounds(o.X, o.Y, width_, height_);
    for (const TWinControl* p = parent_; p != nullptr; p = p->Parent()) {
        const TPoint po = p->FormOrigin();
        area = area.Intersect(p->ClientRect().Offset(po.X, po.Y));
    }
    form->InvalidateFormRect(area);
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
    if (WheelDelta < 0 && OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    else if (WheelDelta > 0 && OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::RequestAlign() {
    if (parent_ != nullptr && !HasState(csLoading)) parent_->Perform(CM_CONTROLCHANGE, 0, 0);
}

void TControl::DoMouseDown(TMouseButton Button, const TMessage& m) {
    TShiftState shift = KeysToShiftState(m.WParam);
    if (m.Msg == WM_LBUTTONDBLCLK) shift |= ssDouble;
    MouseDown(Button, shift, MouseX(m.LParam), MouseY(m.LParam));
}

void TControl::DoMouseUp(TMouseButton Button, const TMessage& m) {
    MouseUp(Button, KeysToShiftState(m.WParam), MouseX(m.LParam), MouseY(m.LParam));
}

void TControl::WMMouseMove(TMessage& m) { MouseMove(KeysToShiftState(m.WParam), MouseX(m.LParam), MouseY(m.LParam)); }

void TControl::WMLButtonDown(TMessage& m) {
    if (ControlStyle & csCaptureMouse) SetCaptureControl(this);
    if (ControlStyle & csClickEvents) ControlState |= csClicked;
    DoMouseDown(mbLeft, m);
}

void TControl::WMLButtonUp(TMessage& m) {
    if ((ControlStyle & csCaptureMouse) && gCapture == this) SetCaptureControl(nullptr);
    if (ControlState & csClicked) {
        ControlState &= ~csClicked;
        // The click comes before the release event.
        if (ClientRect().Contains({MouseX(m.LParam), MouseY(m.LParam)})) Click();
    }
    DoMouseUp(mbLeft, m);
}

void TControl::WMLButtonDblClk(TMessage& m) {
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
    ControlState &= ~csClicked;
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

// ---------------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    if (TCustomForm* form = GetParentForm(); form != nullptr && form != this) form->ControlDestroyed(this);
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
    if (auto* win = dynamic_cast<TWinControl*>(AControl); win != nullptr && HandleAllocated()) win->HandleNeeded();
    AControl->Invalidate();
    AControl->RequestAlign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it == controls_.end()) return;
    if (!HasState(csDestroying)) AControl->Invalidate();
    controls_.erase(it);
    AControl->parent_ = nullptr;
    if (gCapture == AControl) gCapture = nullptr;
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
    const TCustomForm* form = GetParentForm();
    if (form == nullptr) return false;
    for (const TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    const TCustomForm* form = GetParentForm();
    return form != nullptr && form->Active() && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm();
    if (form == nullptr) throw EInvalidOperation("Cannot focus a control without a parent window");
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    form->FocusControl(this);
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
        if (std::find(controls_.begin(), controls_.end(), c) != controls_.end()) c->Perform(m.Msg, m.WParam, m.LParam);
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
    raster::StretchCopy(image, image.Bounds(), *dc->surface, Bounds(dc->origin.X, dc->origin.Y, Width(), Height()),
                        image.Bounds());
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
    if (TCustomForm* form = GetParentForm(); form != nullptr && form != this && form->ActiveControl() == this)
        form->FocusControl(nullptr);
}
