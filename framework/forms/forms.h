// Forms (top-level windows, the only controls that are platform windows) and the screen object.
#pragma once

#include "framework/controls/control_host.h"
#include "framework/controls/custom_control.h"
#include "framework/controls/scroll_bar.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

using TBorderIcons = std::uint8_t;
constexpr TBorderIcons biSystemMenu = 1u << 0;
constexpr TBorderIcons biMinimize = 1u << 1;
constexpr TBorderIcons biMaximize = 1u << 2;
constexpr TBorderIcons biHelp = 1u << 3;

using TModalResult = std::int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TCloseAction = std::uint8_t;
constexpr TCloseAction caNone = 0, caHide = 1, caFree = 2, caMinimize = 3;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TCustomForm;
// The form `control` lies on (the control itself for a form), or null.
TCustomForm* GetParentForm(const TControl* control);

// What forms ask of the application that runs them; the application registers itself here, so
// forms need not know it.
class TFormOwner {
public:
    // The hidden window that owns every form (0 for none).
    virtual WindowId OwnerWindow() const = 0;
    // `form` is closing: when it is the main form this ends the program, and the answer is true.
    virtual bool MainFormClosing(TCustomForm* form) = 0;

protected:
    ~TFormOwner() = default;
};
void SetFormOwner(TFormOwner* owner);
TFormOwner* FormOwner();

class TCustomForm : public TCustomControl, public TControlHost {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Left, Top, Width and Height of a form are its outer bounds in screen pixels.
    void SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight) override;
    // The client area: the area inside the frame and caption, less the scroll bars shown.
    TRect ClientRect() const override;
    // The area inside the frame and caption, scroll bars included.
    TRect InnerRect() const;
    // The area inside the frame and caption that an outer size gives, with the frame the platform
    // last reported (or the platform's usual frame before that).
    TSize ClientSizeForOuter(std::int32_t outerWidth, std::int32_t outerHeight) const;
    TPoint FormOrigin() const override { return {0, 0}; }
    TPoint ClientOriginOnScreen() const override;
    void SetClientSize(std::int32_t width, std::int32_t height);

    TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
    TFormBorderStyle BorderStyle = bsSizeable;
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);
    TModalResult ModalResult = mrNone;
    // Stored with the window's design; the window keeps them for its layout and scaling.
    bool OldCreateOrder = false;
    TSize DesignSize;
    std::int32_t PixelsPerInch = 96;
    std::int32_t TextHeight = 13;
    TCanResizeEvent OnCanResize;
    TCloseEvent OnClose;

    // Automatic scrolling: while a child sticks out of the client area (to the right of a
    // left-anchored child, or below a top-anchored one) the window shows a scroll bar for that
    // direction; the bars take their room from the client area and scroll the children.
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool value);
    TControlScrollBar& HorzScrollBar() { return horzScrollBar_; }
    TControlScrollBar& VertScrollBar() { return vertScrollBar_; }
    TPoint ScrollOffset() const override { return {horzScrollBar_.Position(), vertScrollBar_.Position()}; }
    // Scrolls the children so that the contents' point (x, y) is at the client area's top left.
    void ScrollTo(std::int32_t x, std::int32_t y);

    // --- Monitors and display scale ---
    // Scales the layout from PixelsPerInch to `dpi` (see TControl::ScaleBy): the client size, every
    // control, the fonts and DesignSize; Left and Top stay, or the window takes `suggested` outer
    // bounds when given. PixelsPerInch then reads `dpi`. Anchoring references are taken afresh.
    void ScaleForDpi(std::int32_t dpi, const TRect& suggested = {});
    // Moves a window that does not lie wholly on one monitor's work area onto the work area of the
    // monitor that holds most of it, shrinking it only where it cannot fit.
    void PlaceOnWorkArea();
    // A stored length (designed at 96 pixels per inch) at the window's current scale.
    std::int32_t ScaledLength(std::int32_t designLength) const;
    std::int32_t ScreenDpi() const override;

    void Show();
    void Hide();
    // For the main form this ends the program; other forms are hidden.
    void Close();

    TWinControl* HostControl() const override { return const_cast<TCustomForm*>(this); }
    WindowId PlatformWindow() const override { return platformWindow_; }
    // Marks part of the client area for the next paint cycle.
    void InvalidateFormRect(const TRect& rect) override;
    bool PaintPending() const { return !invalid_.IsEmpty(); }
    // Runs the paint cycle for the invalid area now.
    void PaintNow();
    // Input, size and close notifications from the platform for this form's window.
    void HandlePlatformEvent(const PlatformEvent& event);
    void Invalidate() override;
    // The deepest visible control at a client point (the form itself when no child is there).
    TControl* ControlAtClientPoint(TPoint p, bool allowDisabled);

    // Keyboard focus inside the form. The focused control is the active control while the form is
    // the active window.
    TWinControl* ActiveControl() const override { return activeControl_; }
    bool Active() const override { return active_; }
    // Moves the focus to `control` (null: the form itself): the old control loses it, the new one
    // gets it, and every control of the form hears of the change.
    void FocusControl(TWinControl* control) override;
    // The window became (or stopped being) the active one; the first activation focuses the first
    // control in tab order that can take the focus and is a tab stop.
    void SetActive(bool active);
    void SelectFirst();
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const;
    // A control of this form is going: it must not stay the active control.
    void ControlDestroyed(TWinControl* control) override;

    // A frame named by the caption, active while the window is.
    void DescribeAccessible(AccessibleDescription& description) override;
    // High contrast on: a fixed window colour (the stored silver) is drawn as the button face, so the
    // labels' system text colour stays readable on it; off: the stored colour comes back.
    void ApplyHighContrast(bool on);

protected:
    // The kind of platform window the form asks for (pop-up menus ask for WindowKind::Popup).
    virtual WindowKind PlatformWindowKind() const { return WindowKind::Main; }
    void CreateWnd() override;
    void DestroyWnd() override;
    void CMTextChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    // Asks OnCanResize before a platform-announced size change; the new size is then taken.
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    // Tab and the arrow keys move the focus; Enter and Escape go to the controls in turn.
    void CMDialogKey(TMessage& Message) override;
    // Re-anchors the children, then shows or hides the scroll bars.
    void AlignControls() override;
    // A wheel the focused control left alone scrolls the window, if it can scroll.
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void WMCancelMode(TMessage& Message) override;

private:
    // The monitors or the window's scale changed: rescale, and bring back a window left on none.
    void HandleDisplayChange(const PlatformEvent& event);
    void PaintTree(TWinControl* control, const TRect& area);
    void RouteMouse(const PlatformEvent& event);
    void RouteWheel(const PlatformEvent& event);
    // Scroll bars: their ranges and places, their painting, and the mouse on them.
    void UpdateScrollBars();
    void PlaceScrollBars();
    void PaintScrollBars(const TRect& area);
    bool RouteScrollBarMouse(const PlatformEvent& event);
    TControlScrollBar* ScrollBarAt(TPoint p);
    void StopScrollBarTracking();
    void PaintScrollBarsLater();
    TRect ScrollCorner() const;
    void ScrollByWheel(TControlScrollBar& bar, int wheelDelta);
    // One wheel notch's scroll of the window (1 forward, -1 back); false when it cannot scroll.
    bool ScrollByNotch(int direction);
    void RouteKey(const PlatformEvent& event);
    FrameMetrics Frame() const;

    WindowId platformWindow_ = 0;
    TRect invalid_;
    TWindowState windowState_ = wsNormal;
    TWinControl* activeControl_ = nullptr;
    bool active_ = false;
    // The area inside the frame as the toolkit last took it: during the resize rule it is still the
    // size before the change, whatever the platform's surface already measures.
    TSize innerSize_;
    // The frame's width and height: as last reported, else the platform's at the window's scale.
    TSize FrameSize() const;
    TSize frameExtra_{-1, -1}; // outer minus inner size, as last reported; negative: not yet known
    bool takingNewSize_ = false;
    bool autoScroll_ = true;
    TControlScrollBar horzScrollBar_{sbHorizontal};
    TControlScrollBar vertScrollBar_{sbVertical};
    TControlScrollBar* trackingBar_ = nullptr;
    std::unique_ptr<class TTimer> scrollRepeat_;
    int wheelScrollRemainder_ = 0;
    std::optional<TColor> colorBeforeHighContrast_;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

class TScreen {
public:
    // The primary display's size, read afresh at each use.
    std::int32_t Width() const;
    std::int32_t Height() const;
    const std::vector<TCustomForm*>& Forms() const { return forms_; }
    // The pointer shape the program asks for over all its windows (crDefault: each control's own).
    // A change shows when the loop next runs idle.
    TCursor Cursor = crDefault;
    TCustomForm* FindForm(WindowId window) const;
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);

private:
    std::vector<TCustomForm*> forms_;
};

extern TScreen* Screen;
