// The XP control base: interaction state (pointer over, pressed, focused), the per-class choice of
// which notifications repaint, the hooks that update the state, an update lock, accelerators and the
// dialog result handed to the form on a click; and the style layer (a theme per control, optionally
// shared through a style manager).
#pragma once

#include "xp/lv_ex_custom_control.h"

#include <cstdint>
#include <vector>

using TLvXPDrawState = std::uint8_t;
constexpr TLvXPDrawState dsDefault = 1u << 0;
constexpr TLvXPDrawState dsHighlight = 1u << 1;
constexpr TLvXPDrawState dsClicked = 1u << 2;
constexpr TLvXPDrawState dsFocused = 1u << 3;

using TLvXPControlStyle = std::uint16_t;
constexpr TLvXPControlStyle csRedrawCaptionChanged = 1u << 0;
constexpr TLvXPControlStyle csRedrawBorderChanged = 1u << 1;
constexpr TLvXPControlStyle csRedrawEnabledChanged = 1u << 2;
constexpr TLvXPControlStyle csRedrawFocusedChanged = 1u << 3;
constexpr TLvXPControlStyle csRedrawMouseDown = 1u << 4;
constexpr TLvXPControlStyle csRedrawMouseEnter = 1u << 5;
constexpr TLvXPControlStyle csRedrawMouseLeave = 1u << 6;
constexpr TLvXPControlStyle csRedrawMouseMove = 1u << 7;
constexpr TLvXPControlStyle csRedrawMouseUp = 1u << 8;
constexpr TLvXPControlStyle csRedrawParentColorChanged = 1u << 9;
constexpr TLvXPControlStyle csRedrawParentFontChanged = 1u << 10;
constexpr TLvXPControlStyle csRedrawPosChanged = 1u << 11;
constexpr TLvXPControlStyle csRedrawResized = 1u << 12;

enum TLvXPTheme : std::uint8_t { WindowsXP, OfficeXP };

// The accelerator of a caption: the character after the last single "&" ("&&" is a literal
// ampersand), or 0 when there is none.
char CaptionAccelerator(const std::string& caption);

class TLvXPCustomControl : public TLvCustomControl {
public:
    explicit TLvXPCustomControl(TComponent* AOwner);
    // Leaves every style manager's list, so no manager is left holding a destroyed control.
    ~TLvXPCustomControl() override;

    TLvXPDrawState DrawState = dsDefault;
    TLvXPControlStyle RedrawTriggers = 0x037D;
    bool LeftButtonPressed = false;
    bool UpdateLocked = false;
    // The parent form's active control is an XP control; recomputed on every focus change.
    bool SiblingActive = false;
    std::int32_t ModalResult = 0;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    virtual void BeginUpdate();
    virtual void EndUpdate();
    // Both request a repaint of the whole control unless the update lock is set; nothing is drawn now.
    virtual void InternalRedraw();
    virtual void LockedInvalidate();
    void Click() override;

    virtual void HookBorderChanged();
    virtual void HookEnabledChanged();
    virtual void HookFocusedChanged();
    virtual void HookMouseDown();
    virtual void HookMouseEnter();
    virtual void HookMouseLeave();
    virtual void HookMouseMove(int X, int Y);
    virtual void HookMouseUp();
    virtual void HookParentColorChanged();
    virtual void HookParentFontChanged();
    virtual void HookPosChanged();
    virtual void HookResized();
    virtual void HookTextChanged();

    void WndProc(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMTextChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void WMMouseMove(TMessage& Message) override;
    void CMParentColorChanged(TMessage& Message) override;
    void CMParentFontChanged(TMessage& Message) override;
    void WMWindowPosChanged(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;

private:
    void RedrawIf(TLvXPControlStyle trigger) {
        if (RedrawTriggers & trigger) InternalRedraw();
    }
};

class TLvXPStyleManager;
class TLvXPCustomStyleControl;

class TLvXPStyle : public TPersistent {
public:
    explicit TLvXPStyle(TLvXPCustomStyleControl* owner) : owner_(owner) {}
    virtual void SetTheme(TLvXPTheme theme);
    virtual void SetUseStyleManager(bool value);
    // The effective theme: the manager's while the style follows one, else its own.
    TLvXPTheme GetTheme() const;
    TLvXPTheme Theme() const { return theme_; }
    bool UseStyleManager() const { return useStyleManager_; }
    TLvXPCustomStyleControl* OwnerControl() const { return owner_; }

private:
    TLvXPTheme theme_ = WindowsXP;
    bool useStyleManager_ = true;
    TLvXPCustomStyleControl* owner_;
};

class TLvXPCustomStyleControl : public TLvXPCustomControl {
public:
    explicit TLvXPCustomStyleControl(TComponent* AOwner);
    ~TLvXPCustomStyleControl() override;
    TLvXPStyle* Style() const { return style_.get(); }
    TLvXPStyleManager* StyleManager() const { return styleManager_; }
    virtual void SetStyleManager(TLvXPStyleManager* manager);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TLvXPStyle> style_;
    TLvXPStyleManager* styleManager_ = nullptr;
};

class TLvComponent : public TComponent {
public:
    using TComponent::TComponent;
};

class TLvXPCustomComponent : public TLvComponent {
public:
    using TLvComponent::TLvComponent;
};

class TLvXPStyleManager : public TLvXPCustomComponent {
public:
    explicit TLvXPStyleManager(TComponent* AOwner);
    ~TLvXPStyleManager() override;
    // Removes a control that is being destroyed from every manager's list.
    static void ForgetControl(TLvXPCustomControl* control);
    // Appends each control not yet listed; removes each listed one.
    void RegisterControls(const std::vector<TLvXPCustomControl*>& controls);
    void UnregisterControls(const std::vector<TLvXPCustomControl*>& controls);
    // Asks every registered control, in list order, to repaint.
    void InvalidateControls();
    virtual void SetTheme(TLvXPTheme theme);
    TLvXPTheme Theme() const { return theme_; }
    const std::vector<TLvXPCustomControl*>& RegisteredControls() const { return controls_; }
    TNotifyEvent OnThemeChanged;

private:
    std::vector<TLvXPCustomControl*> controls_;
    TLvXPTheme theme_ = WindowsXP;
};
