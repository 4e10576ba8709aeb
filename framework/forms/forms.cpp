#include "framework/forms/forms.h"

#include "framework/controls/caret.h"
#include "framework/controls/control_accessible.h"
#include "framework/core/exceptions.h"
#include "framework/core/temporary_change.h"
#include "framework/core/timer.h"
#include "framework/forms/form_accessible.h"
#include "framework/platform/monitors.h"
#include "framework/platform/platform.h"

#include <algorithm>

namespace {
TScreen gScreen;
}
TScreen* Screen = &gScreen;

std::int32_t TScreen::Width() const { return CurrentPlatform().PrimaryDisplaySize().cx; }
std::int32_t TScreen::Height() const { return CurrentPlatform().PrimaryDisplaySize().cy; }

TCustomForm* TScreen::FindForm(WindowId window) const {
    for (TCustomForm* f : forms_)
        if (f->PlatformWindow() == window && window != 0) return f;
    return nullptr;
}

void TScreen::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

TCustomForm::TCustomForm(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
    width_ = 320;
    height_ = 240;
    horzScrollBar_.OnScroll = [this](std::int32_t x) { ScrollTo(x, vertScrollBar_.Position()); };
    vertScrollBar_.OnScroll = [this](std::int32_t y) { ScrollTo(horzScrollBar_.Position(), y); };
    Screen->AddForm(this);
    accessibility::ProvideFormTrees();
}

TCustomForm::~TCustomForm() {
    Destroying();
    activeControl_ = nullptr;
    // The controls go while the platform window still exists, then the window itself.
    DestroyChildren();
    DestroyWnd();
    Screen->RemoveForm(this);
}

FrameMetrics TCustomForm::Frame() const {
    if (!HasCurrentPlatform()) return {};
    // The frame at the window's scale, which a display of several scales may set apart from the system's.
    return CurrentPlatform().GetFrameMetrics(PlatformWindowKind(), SaneDpi(PixelsPerInch));
}

TRect TCustomForm::InnerRect() const {
    if (platformWindow_ != 0) return {0, 0, innerSize_.cx, innerSize_.cy};
    const TSize inner = ClientSizeForOuter(width_, height_);
    return {0, 0, inner.cx, inner.cy};
}

TRect TCustomForm::ClientRect() const {
    TRect r = InnerRect();
    if (vertScrollBar_.Visible()) r.Right = std::max(r.Left, r.Right - vertScrollBar_.Size());
    if (horzScrollBar_.Visible()) r.Bottom = std::max(r.Top, r.Bottom - horzScrollBar_.Size());
    return r;
}

TSize TCustomForm::FrameSize() const {
    if (frameExtra_.cx >= 0 && frameExtra_.cy >= 0) return frameExtra_;
    const FrameMetrics f = Frame();
    return {f.left + f.right, f.top + f.bottom};
}

TSize TCustomForm::ClientSizeForOuter(std::int32_t outerWidth, std::int32_t outerHeight) const {
    const TSize frame = FrameSize();
    return {std::max(0, outerWidth - frame.cx), std::max(0, outerHeight - frame.cy)};
}

namespace {
TFormOwner* gFormOwner = nullptr;
} // namespace

void SetFormOwner(TFormOwner* owner) { gFormOwner = owner; }
TFormOwner* FormOwner() { return gFormOwner; }

TCustomForm* GetParentForm(const TControl* control) {
    TControlHost* host = control != nullptr ? control->Host() : nullptr;
    return host != nullptr ? dynamic_cast<TCustomForm*>(host->HostControl()) : nullptr;
}

TPoint TCustomForm::ClientOriginOnScreen() const {
    const FrameMetrics f = Frame();
    return {left_ + f.left, top_ + f.top};
}

void TCustomForm::SetClientSize(std::int32_t width, std::int32_t height) {
    const FrameMetrics f = Frame();
    SetBounds(left_, top_, width + f.left + f.right, height + f.top + f.bottom);
}

void TCustomForm::SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth,
                            std::int32_t AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    const bool sizeChanged = AWidth != width_ || AHeight != height_;
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    if (platformWindow_ != 0) {
        CurrentPlatform().SetWindowBounds(platformWindow_, BoundsRect());
        if (const PixelSurface* surface = CurrentPlatform().WindowSurface(platformWindow_))
            innerSize_ = {surface->Width(), surface->Height()};
    }
    if (sizeChanged) {
        Invalidate();
        Realign();
        if (!HasState(csLoading)) Resize();
    }
}

void TCustomForm::SetWindowState(TWindowState state) {
    if (state == windowState_) return;
    windowState_ = state;
    if (platformWindow_ != 0 && Visible())
        CurrentPlatform().ShowWindow(platformWindow_, state == wsMaximized   ? ShowState::Maximized
                                                      : state == wsMinimized ? ShowState::Minimized
                                                                             : ShowState::Normal);
}

void TCustomForm::CreateWnd() {
    // A window with a place of its own opens at its monitor's scale, on that monitor's work area.
    const std::int32_t storedDpi = PixelsPerInch;
    if (PlatformWindowKind() != WindowKind::Popup && width_ > 0 && height_ > 0) {
        ScaleForDpi(MonitorForRect(CurrentMonitors(CurrentPlatform()), BoundsRect()).dpi);
        PlaceOnWorkArea();
    }
    const TSize scaledClient = ClientSizeForOuter(width_, height_);
    WindowParams p;
    p.kind = PlatformWindowKind();
    p.caption = Caption();
    p.outerBounds = BoundsRect();
    p.owner = gFormOwner != nullptr ? gFormOwner->OwnerWindow() : 0;
    p.sizeable = BorderStyle == bsSizeable || BorderStyle == bsSizeToolWin;
    p.captionButtons = BorderIcons != 0;
    platformWindow_ = CurrentPlatform().CreateTopLevelWindow(p);
    if (platformWindow_ == 0) throw EOutOfResources("Error creating window");
    if (const PixelSurface* surface = CurrentPlatform().WindowSurface(platformWindow_))
        innerSize_ = {surface->Width(), surface->Height()};
    // A scaled window's frame is the system's at that scale, which may be wider than the usual one:
    // the window grows so the client area keeps its scaled size.
    if (PixelsPerInch != storedDpi && innerSize_ != scaledClient && innerSize_ != TSize{}) {
        frameExtra_ = {width_ - innerSize_.cx, height_ - innerSize_.cy};
        SetBounds(left_, top_, scaledClient.cx + frameExtra_.cx, scaledClient.cy + frameExtra_.cy);
        PlaceOnWorkArea();
    }
    TCustomControl::CreateWnd();
    ApplyHighContrast(CurrentPlatform().HighContrast());
    // Anchoring starts from the places the controls have now (their stored places).
    UpdateAnchorRulesOfChildren();
}

void TCustomForm::DestroyWnd() {
    if (platformWindow_ != 0) {
        FreeDeviceContexts();
        window_damage::Forget(platformWindow_);
        if (HasCurrentPlatform()) CurrentPlatform().DestroyWindow(platformWindow_);
        platformWindow_ = 0;
    }
    TCustomControl::DestroyWnd();
}

void TCustomForm::CMTextChanged(TMessage& m) {
    TCustomControl::CMTextChanged(m);
    if (platformWindow_ != 0) CurrentPlatform().SetWindowCaption(platformWindow_, Caption());
}

void TCustomForm::CMVisibleChanged(TMessage& m) {
    if (platformWindow_ == 0 && !Visible()) return;
    HandleNeeded();
    if (Visible()) {
        const ShowState s = windowState_ == wsMaximized   ? ShowState::Maximized
                            : windowState_ == wsMinimized ? ShowState::Minimized
                                                          : ShowState::Normal;
        CurrentPlatform().ShowWindow(platformWindow_, s);
        Invalidate();
    } else {
        CurrentPlatform().ShowWindow(platformWindow_, ShowState::Hidden);
    }
    (void)m;
}

void TCustomForm::Show() {
    HandleNeeded();
    if (!Visible()) SetVisible(true);
    Invalidate();
    // Showing a window normally makes it the active one, as on the classic platform.
    if (windowState_ != wsMinimized && PlatformWindowKind() != WindowKind::Popup) SetActive(true);
}

void TCustomForm::Hide() {
    SetVisible(false);
    SetActive(false);
}

void TCustomForm::Close() {
    // The main window may always close; closing it ends the program.
    if (gFormOwner != nullptr && gFormOwner->MainFormClosing(this)) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caHide || action == caFree)
        Hide();
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
}

void TCustomForm::Invalidate() {
    if (platformWindow_ == 0 || !Visible()) return;
    InvalidateFormRect(InnerRect());
}

void TCustomForm::InvalidateFormRect(const TRect& rect) {
    const TRect r = rect.Intersect(InnerRect());
    invalid_ = invalid_.Union(r);
}

void TCustomForm::PaintNow() {
    const TRect area = invalid_;
    invalid_ = {};
    if (area.IsEmpty() || platformWindow_ == 0 || !Visible()) return;
    // The caret steps aside while the controls paint under it.
    struct CaretAside {
        const TCustomForm* form;
        explicit CaretAside(const TCustomForm* f) : form(f) { caret::BeginPaint(form); }
        ~CaretAside() { caret::EndPaint(form); }
    } aside(this);
    PaintTree(this, area);
    PaintScrollBars(area);
}

void TCustomForm::PaintTree(TWinControl* control, const TRect& area) {
    if (!control->Visible()) return;
    PixelSurface* surface = CurrentPlatform().WindowSurface(platformWindow_);
    if (surface == nullptr) return;
    const TPoint o = control->FormOrigin();
    TRect box = control == this ? ClientRect() : Bounds(o.X, o.Y, control->Width(), control->Height());
    for (const TWinControl* p = control->Parent(); p != nullptr; p = p->Parent()) {
        const TPoint po = p->FormOrigin();
        box = box.Intersect(p->ClientRect().Offset(po.X, po.Y));
    }
    const TRect clip = box.Intersect(area);
    if (clip.IsEmpty()) return;
    DeviceContext dc;
    dc.surface = surface;
    dc.window = platformWindow_;
    dc.origin = o;
    dc.clip.push_back(clip);
    // Each control paints as its own message, so one failing paint does not stop the others.
    const HWND h = control->Handle();
    if (!(control->ControlStyle & csOpaque))
        message_queue::SendMessage(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0);
    message_queue::SendMessage(h, WM_PAINT, reinterpret_cast<WPARAM>(&dc), 0);
    for (int i = 0; i < control->ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(control->Controls(i))) PaintTree(child, area);
}

bool TCustomForm::CanResize(int& NewWidth, int& NewHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

void TCustomForm::HandlePlatformEvent(const PlatformEvent& e) {
    switch (e.kind) {
    case PlatformEvent::Kind::CloseRequest: Close(); break;
    case PlatformEvent::Kind::Moved:
        left_ = e.outerBounds.Left;
        top_ = e.outerBounds.Top;
        break;
    case PlatformEvent::Kind::Resized: {
        frameExtra_ = {std::max(0, e.outerBounds.Width() - e.clientSize.cx),
                       std::max(0, e.outerBounds.Height() - e.clientSize.cy)};
        int w = e.outerBounds.Width();
        int h = e.outerBounds.Height();
        bool accepted = true;
        {
            // The rule runs before the change takes effect: the client area is still the old one,
            // and the scroll bars wait for the new size.
            const TemporaryChange<bool> taking(takingNewSize_, true);
            accepted = CanResize(w, h);
        }
        if (!accepted) {
            CurrentPlatform().SetWindowBounds(platformWindow_, BoundsRect());
            break;
        }
        // A window manager may report its frame only after mapping: the client size can change
        // while the outer size stays.
        const bool sizeChanged = e.outerBounds.Width() != width_ || e.outerBounds.Height() != height_ ||
                                 e.clientSize != innerSize_;
        innerSize_ = e.clientSize;
        left_ = e.outerBounds.Left;
        top_ = e.outerBounds.Top;
        width_ = e.outerBounds.Width();
        height_ = e.outerBounds.Height();
        if (sizeChanged) {
            invalid_ = {};
            Invalidate();
        }
        // The rule may have changed what sticks out even when the size stayed.
        Realign();
        if (sizeChanged && !HasState(csLoading)) Resize();
        break;
    }
    case PlatformEvent::Kind::MouseDown:
    case PlatformEvent::Kind::MouseUp:
    case PlatformEvent::Kind::MouseMove:
    case PlatformEvent::Kind::MouseWheel: RouteMouse(e); break;
    case PlatformEvent::Kind::KeyDown:
    case PlatformEvent::Kind::KeyUp:
    case PlatformEvent::Kind::Char: RouteKey(e); break;
    case PlatformEvent::Kind::DisplayChanged:
    case PlatformEvent::Kind::DpiChanged: HandleDisplayChange(e); break;
    case PlatformEvent::Kind::Activated: SetActive(true); break;
    case PlatformEvent::Kind::Deactivated: SetActive(false); break;
    default: break;
    }
}

TControl* TCustomForm::ControlAtClientPoint(TPoint p, bool allowDisabled) {
    TControl* target = this;
    if (!ClientRect().Contains(p)) return target; // the scroll bars belong to the window
    while (auto* win = dynamic_cast<TWinControl*>(target)) {
        const TPoint o = win == this ? TPoint{0, 0} : TPoint{win->Left(), win->Top()};
        p = {p.X - o.X, p.Y - o.Y};
        TControl* child = win->ControlAtPos(p, allowDisabled);
        if (child == nullptr) break;
        target = child;
    }
    return target;
}

void TCustomForm::RouteMouse(const PlatformEvent& e) {
    if (e.kind == PlatformEvent::Kind::MouseWheel) {
        RouteWheel(e);
        return;
    }
    if (RouteScrollBarMouse(e)) return;
    // The capturing control takes every mouse message; otherwise the deepest control under the pointer.
    TControl* target = GetCaptureControl();
    if (target == nullptr || GetParentForm(target) != this) target = ControlAtClientPoint(e.position, false);
    const TPoint origin = target->FormOrigin();
    const LPARAM pos = MakeMousePos(e.position.X - origin.X, e.position.Y - origin.Y);
    WPARAM keys = ShiftStateToKeys(e.shift);
    std::uint32_t msg = WM_MOUSEMOVE;
    switch (e.kind) {
    case PlatformEvent::Kind::MouseDown: {
        const bool dbl = (e.shift & kShiftDouble) != 0 && (target->ControlStyle & csDoubleClicks);
        msg = e.button == PointerButton::Left    ? (dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN)
              : e.button == PointerButton::Right ? (dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN)
                                                 : (dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN);
        break;
    }
    case PlatformEvent::Kind::MouseUp:
        msg = e.button == PointerButton::Left    ? WM_LBUTTONUP
              : e.button == PointerButton::Right ? WM_RBUTTONUP
                                                 : WM_MBUTTONUP;
        break;
    default: break;
    }
    if (auto* win = dynamic_cast<TWinControl*>(target))
        message_queue::SendMessage(win->Handle(), msg, keys, pos);
    else
        target->Perform(msg, keys, pos);
}

void TCustomForm::RouteWheel(const PlatformEvent& e) {
    // The wheel goes to the focused control wherever the pointer is (the window itself when no
    // control has the focus), with the pointer's place in screen coordinates, and up its parents
    // from there until one handles it.
    if (TControlScrollBar* bar = ScrollBarAt(e.position)) {
        ScrollByWheel(*bar, e.wheelDelta);
        return;
    }
    TWinControl* target = activeControl_ != nullptr ? activeControl_ : this;
    const TPoint screen = ClientToScreen(e.position);
    const WPARAM keys =
        ShiftStateToKeys(e.shift) | static_cast<WPARAM>(static_cast<std::uint16_t>(e.wheelDelta)) << 16;
    message_queue::SendMessage(target->Handle(), WM_MOUSEWHEEL, keys, MakeMousePos(screen.X, screen.Y));
}

// ---------------------------------------------------------------------------------------------------
// Focus and keyboard

void TCustomForm::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    // The caret shows only in the active window.
    caret::Refresh();
    if (!active) {
        if (activeControl_ != nullptr) activeControl_->Perform(WM_KILLFOCUS, 0, 0);
        return;
    }
    accessibility::Raise(this, AccessibleEvent::WindowActivated);
    if (activeControl_ == nullptr) {
        SelectFirst(); // tells of the focus when it finds a control
        if (activeControl_ == nullptr && active_) accessibility::Raise(this, AccessibleEvent::Focus);
    } else {
        activeControl_->Perform(WM_SETFOCUS, 0, 0);
        if (active_ && activeControl_ != nullptr)
            accessibility::Raise(activeControl_, AccessibleEvent::Focus);
    }
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (control == this) control = nullptr;
    if (control == activeControl_) return;
    TWinControl* previous = activeControl_;
    activeControl_ = control;
    if (active_) {
        if (previous != nullptr) previous->Perform(WM_KILLFOCUS, 0, 0);
        if (control != nullptr && activeControl_ == control) control->Perform(WM_SETFOCUS, 0, 0);
    }
    if (previous != nullptr) previous->Perform(CM_EXIT, 0, 0);
    if (control != nullptr && activeControl_ == control) control->Perform(CM_ENTER, 0, 0);
    // Every control of the form hears which control now has the focus.
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(activeControl_));
    if (active_ && activeControl_ == control)
        accessibility::Raise(control != nullptr ? control : this, AccessibleEvent::Focus);
}

void TCustomForm::ControlDestroyed(TWinControl* control) {
    if (activeControl_ == control) activeControl_ = nullptr;
}

TWinControl* TCustomForm::FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const {
    std::vector<TWinControl*> order;
    GetTabOrderList(order);
    if (order.empty()) return nullptr;
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t start = std::find(order.begin(), order.end(), current) - order.begin();
    if (start == n) start = forward ? n - 1 : 0; // not in the list: begin at the first (or last) one
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = ((forward ? start + step : start - step) % n + n) % n;
        TWinControl* candidate = order[static_cast<std::size_t>(i)];
        if (candidate == current && current != nullptr) continue;
        if (candidate->CanFocus() && (!checkTabStop || candidate->TabStop)) return candidate;
    }
    return nullptr;
}

void TCustomForm::SelectFirst() {
    if (TWinControl* first = FindNextControl(nullptr, true, true)) FocusControl(first);
}

void TCustomForm::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop)) FocusControl(next);
}

void TCustomForm::CMDialogKey(TMessage& m) {
    const auto key = static_cast<std::uint16_t>(m.WParam);
    const TShiftState shift = KeyDataToShiftState(m.LParam);
    if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        SelectNext(activeControl_, !(shift & ssShift), true);
        m.Result = 1;
        return;
    }
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
        SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN, false);
        m.Result = 1;
        return;
    }
    TCustomControl::CMDialogKey(m);
}

namespace {

// Whether a control keeps `key` for itself instead of letting the form use it for navigation.
bool WantsKey(TWinControl* target, std::uint16_t key) {
    const LRESULT code = target->Perform(WM_GETDLGCODE, key, 0);
    if (code & DLGC_WANTALLKEYS) return true;
    switch (key) {
    case VK_TAB: return (code & DLGC_WANTTAB) != 0;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return (code & DLGC_WANTARROWS) != 0;
    case VK_RETURN:
    case VK_ESCAPE: return false;
    default: return true;
    }
}

} // namespace

void TCustomForm::RouteKey(const PlatformEvent& e) {
    const TKeyEventShiftScope eventShift(e.shift & (kShiftShift | kShiftCtrl | kShiftAlt));
    TWinControl* target = activeControl_ != nullptr && activeControl_->CanFocus() ? activeControl_ : this;
    LPARAM keyData = static_cast<LPARAM>(e.keyData);
    const bool alt = (e.shift & kShiftAlt) != 0 || (keyData & kKeyDataAltDown) != 0;
    if (alt) keyData |= kKeyDataAltDown;
    const HWND h = target->Handle();
    switch (e.kind) {
    case PlatformEvent::Kind::KeyDown:
        // Navigation and dialog keys go to the form first unless the control wants them.
        if (!WantsKey(target, e.virtualKey) &&
            message_queue::SendMessage(Handle(), CM_DIALOGKEY, e.virtualKey, keyData) != 0)
            return;
        message_queue::SendMessage(h, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, e.virtualKey, keyData);
        break;
    case PlatformEvent::Kind::KeyUp:
        message_queue::SendMessage(h, alt ? WM_SYSKEYUP : WM_KEYUP, e.virtualKey, keyData);
        break;
    case PlatformEvent::Kind::Char: {
        // A character the control does not take for itself, or typed with Alt, is offered to the
        // form's controls as an accelerator.
        const bool controlTakesChars =
            (target->Perform(WM_GETDLGCODE, 0, 0) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) != 0;
        if ((alt || !controlTakesChars) &&
            message_queue::SendMessage(Handle(), CM_DIALOGCHAR, e.character, keyData) != 0)
            return;
        if (!alt) message_queue::SendMessage(h, WM_CHAR, e.character, keyData);
        break;
    }
    default: break;
    }
}
