#include "xp/lv_xp_core.h"

#include "framework/forms/forms.h"
#include "framework/platform/platform.h"

#include <algorithm>
#include <cctype>

namespace {

// The windowed control at a screen point, over any of the program's visible windows (the latest made
// lies on top), or null.
TWinControl* FindWindowControlAt(TPoint screen) {
    const auto& forms = Screen->Forms();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        TCustomForm* form = *it;
        if (!form->Visible() || !form->HandleAllocated()) continue;
        const TPoint origin = form->ClientOriginOnScreen();
        const TPoint p{screen.X - origin.X, screen.Y - origin.Y};
        if (!form->ClientRect().Contains(p)) continue;
        TControl* c = form->ControlAtClientPoint(p, true);
        while (c != nullptr && dynamic_cast<TWinControl*>(c) == nullptr) c = c->Parent();
        return static_cast<TWinControl*>(c);
    }
    return nullptr;
}

std::vector<TLvXPStyleManager*>& AllStyleManagers() {
    static std::vector<TLvXPStyleManager*> managers;
    return managers;
}

} // namespace

char CaptionAccelerator(const std::string& caption) {
    char accelerator = 0;
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i; // a literal ampersand
            continue;
        }
        accelerator = caption[i + 1];
        ++i;
    }
    return accelerator;
}

// ---------------------------------------------------------------------------------------------------
// TLvXPCustomControl

TLvXPCustomControl::TLvXPCustomControl(TComponent* AOwner) : TLvCustomControl(AOwner) {
    // The control paints its whole area itself, through an off-screen image.
    ControlStyle |= csOpaque;
    DoubleBuffered = true;
}

TLvXPCustomControl::~TLvXPCustomControl() { TLvXPStyleManager::ForgetControl(this); }

void TLvXPCustomControl::BeginUpdate() { UpdateLocked = true; }

void TLvXPCustomControl::EndUpdate() {
    UpdateLocked = false;
    InternalRedraw();
}

void TLvXPCustomControl::InternalRedraw() {
    if (!UpdateLocked) Invalidate();
}

void TLvXPCustomControl::LockedInvalidate() {
    if (!UpdateLocked) Invalidate();
}

void TLvXPCustomControl::Click() {
    // The dialog result goes to the form on every click, 0 included.
    if (TCustomForm* form = GetParentForm(this); form != nullptr && form != static_cast<TControl*>(this))
        form->ModalResult = ModalResult;
    TLvCustomControl::Click();
}

void TLvXPCustomControl::HookBorderChanged() { RedrawIf(csRedrawBorderChanged); }
void TLvXPCustomControl::HookEnabledChanged() { RedrawIf(csRedrawEnabledChanged); }

void TLvXPCustomControl::HookFocusedChanged() {
    if (Focused())
        DrawState |= dsFocused;
    else
        DrawState &= static_cast<TLvXPDrawState>(~(dsFocused | dsClicked));
    const TCustomForm* form = GetParentForm(this);
    SiblingActive = form != nullptr && dynamic_cast<TLvXPCustomControl*>(form->ActiveControl()) != nullptr;
    RedrawIf(csRedrawFocusedChanged);
}

void TLvXPCustomControl::HookMouseDown() {
    // Taking the focus runs the focus broadcast (and so HookFocusedChanged) before the press shows.
    if (!Focused() && CanFocus()) SetFocus();
    DrawState |= dsClicked;
    RedrawIf(csRedrawMouseDown);
}

void TLvXPCustomControl::HookMouseEnter() {
    DrawState |= dsHighlight;
    RedrawIf(csRedrawMouseEnter);
    if (OnMouseEnter) OnMouseEnter(this);
}

void TLvXPCustomControl::HookMouseLeave() {
    DrawState &= static_cast<TLvXPDrawState>(~dsHighlight);
    RedrawIf(csRedrawMouseLeave);
    if (OnMouseLeave) OnMouseLeave(this);
}

void TLvXPCustomControl::HookMouseMove(int, int) { RedrawIf(csRedrawMouseMove); }

void TLvXPCustomControl::HookMouseUp() {
    DrawState &= static_cast<TLvXPDrawState>(~dsClicked);
    RedrawIf(csRedrawMouseUp);
    // A release over another XP control lights that one up at once.
    TWinControl* under = FindWindowControlAt(CurrentPlatform().GetCursorPos());
    if (under != nullptr && under != this)
        if (auto* other = dynamic_cast<TLvXPCustomControl*>(under)) other->HookMouseEnter();
}

void TLvXPCustomControl::HookParentColorChanged() { RedrawIf(csRedrawParentColorChanged); }
void TLvXPCustomControl::HookParentFontChanged() { RedrawIf(csRedrawParentFontChanged); }
void TLvXPCustomControl::HookPosChanged() { RedrawIf(csRedrawPosChanged); }
void TLvXPCustomControl::HookResized() { RedrawIf(csRedrawResized); }
void TLvXPCustomControl::HookTextChanged() { RedrawIf(csRedrawCaptionChanged); }

void TLvXPCustomControl::WndProc(TMessage& m) {
    if (m.Msg == CM_BORDERCHANGED) {
        TLvCustomControl::WndProc(m);
        HookBorderChanged();
        return;
    }
    TLvCustomControl::WndProc(m);
}

void TLvXPCustomControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TLvCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) {
        LeftButtonPressed = true;
        HookMouseDown();
    }
}

void TLvXPCustomControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TLvCustomControl::MouseUp(Button, Shift, X, Y);
    // The release of any button ends the pressed look.
    if (LeftButtonPressed) {
        LeftButtonPressed = false;
        HookMouseUp();
    }
}

void TLvXPCustomControl::CMTextChanged(TMessage&) { HookTextChanged(); }

void TLvXPCustomControl::CMEnabledChanged(TMessage& m) {
    TLvCustomControl::CMEnabledChanged(m);
    HookEnabledChanged();
}

void TLvXPCustomControl::CMFocusChanged(TMessage& m) {
    TLvCustomControl::CMFocusChanged(m);
    HookFocusedChanged();
}

void TLvXPCustomControl::CMMouseEnter(TMessage& m) {
    TLvCustomControl::CMMouseEnter(m);
    HookMouseEnter();
}

void TLvXPCustomControl::CMMouseLeave(TMessage& m) {
    TLvCustomControl::CMMouseLeave(m);
    HookMouseLeave();
}

void TLvXPCustomControl::WMMouseMove(TMessage& m) {
    TLvCustomControl::WMMouseMove(m);
    HookMouseMove(MouseX(m.LParam), MouseY(m.LParam));
}

void TLvXPCustomControl::CMParentColorChanged(TMessage& m) {
    TLvCustomControl::CMParentColorChanged(m);
    HookParentColorChanged();
}

void TLvXPCustomControl::CMParentFontChanged(TMessage& m) {
    TLvCustomControl::CMParentFontChanged(m);
    HookParentFontChanged();
}

void TLvXPCustomControl::WMWindowPosChanged(TMessage& m) {
    TLvCustomControl::WMWindowPosChanged(m);
    HookPosChanged();
}

void TLvXPCustomControl::WMSize(TMessage& m) {
    TLvCustomControl::WMSize(m);
    HookResized();
}

void TLvXPCustomControl::CMDialogChar(TMessage& m) {
    const char accelerator = CaptionAccelerator(Caption());
    const char typed = static_cast<char>(m.WParam);
    const bool altDown = CurrentPlatform().IsKeyDown(VK_MENU);
    if (accelerator != 0 && typed != 0 &&
        std::toupper(static_cast<unsigned char>(accelerator)) ==
            std::toupper(static_cast<unsigned char>(typed)) &&
        CanFocus() && (Focused() || altDown)) {
        Click();
        m.Result = 1;
        return;
    }
    TLvCustomControl::CMDialogChar(m);
}

// ---------------------------------------------------------------------------------------------------
// Style layer

void TLvXPStyle::SetTheme(TLvXPTheme theme) {
    if (theme == theme_) return;
    theme_ = theme;
    owner_->InternalRedraw();
}

void TLvXPStyle::SetUseStyleManager(bool value) {
    if (value == useStyleManager_) return;
    useStyleManager_ = value;
    owner_->InternalRedraw();
}

TLvXPTheme TLvXPStyle::GetTheme() const {
    if (useStyleManager_ && owner_->StyleManager() != nullptr) return owner_->StyleManager()->Theme();
    return theme_;
}

TLvXPCustomStyleControl::TLvXPCustomStyleControl(TComponent* AOwner)
    : TLvXPCustomControl(AOwner), style_(std::make_unique<TLvXPStyle>(this)) {}

TLvXPCustomStyleControl::~TLvXPCustomStyleControl() {
    if (styleManager_ != nullptr) styleManager_->UnregisterControls({this});
}

void TLvXPCustomStyleControl::SetStyleManager(TLvXPStyleManager* manager) {
    if (manager == styleManager_) return;
    if (styleManager_ != nullptr) {
        styleManager_->UnregisterControls({this});
        styleManager_->RemoveFreeNotification(this);
        RemoveFreeNotification(styleManager_);
    }
    // The manager may belong to another owner and go first: its free notification clears the link.
    if (manager != nullptr) {
        manager->RegisterControls({this});
        manager->FreeNotification(this);
    }
    styleManager_ = manager;
    InternalRedraw();
}

void TLvXPCustomStyleControl::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr && AComponent == styleManager_)
        styleManager_ = nullptr;
    TLvXPCustomControl::Notification(AComponent, Operation);
}

TLvXPStyleManager::TLvXPStyleManager(TComponent* AOwner) : TLvXPCustomComponent(AOwner) {
    AllStyleManagers().push_back(this);
}

TLvXPStyleManager::~TLvXPStyleManager() {
    InvalidateControls();
    controls_.clear();
    auto& all = AllStyleManagers();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void TLvXPStyleManager::ForgetControl(TLvXPCustomControl* control) {
    for (TLvXPStyleManager* m : AllStyleManagers()) m->UnregisterControls({control});
}

void TLvXPStyleManager::RegisterControls(const std::vector<TLvXPCustomControl*>& controls) {
    for (TLvXPCustomControl* c : controls)
        if (c != nullptr && std::find(controls_.begin(), controls_.end(), c) == controls_.end())
            controls_.push_back(c);
}

void TLvXPStyleManager::UnregisterControls(const std::vector<TLvXPCustomControl*>& controls) {
    for (TLvXPCustomControl* c : controls)
        controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
}

void TLvXPStyleManager::InvalidateControls() {
    const std::vector<TLvXPCustomControl*> listed = controls_;
    for (TLvXPCustomControl* c : listed) c->InternalRedraw();
}

void TLvXPStyleManager::SetTheme(TLvXPTheme theme) {
    if (theme == theme_) return;
    theme_ = theme;
    if (OnThemeChanged) OnThemeChanged(this);
    InvalidateControls();
}
