// Controls: TControl (bounds, colour, font, visibility, events, message handling) and TWinControl
// (a control with a toolkit handle and children). Controls are not platform windows: they draw into
// the back surface of the form that holds them.
#pragma once

#include "framework/core/component.h"
#include "framework/core/message_queue.h"
#include "framework/graphics/device_context.h"
#include "framework/graphics/graphics_objects.h"
#include "framework/platform/accessible.h"

#include <memory>
#include <string>
#include <vector>

class TWinControl;
class TControlHost;
class TPopupMenu;
class TControlAccessible;

using TControlStyle = std::uint32_t;
constexpr TControlStyle csAcceptsControls = 1u << 0;
constexpr TControlStyle csCaptureMouse = 1u << 1;
constexpr TControlStyle csClickEvents = 1u << 3;
constexpr TControlStyle csFramed = 1u << 4;
constexpr TControlStyle csSetCaption = 1u << 5;
constexpr TControlStyle csOpaque = 1u << 6;
constexpr TControlStyle csDoubleClicks = 1u << 7;
constexpr TControlStyle csFixedWidth = 1u << 8;
constexpr TControlStyle csFixedHeight = 1u << 9;
constexpr TControlStyle csReplicatable = 1u << 11;

using TControlState = std::uint32_t;
constexpr TControlState csLButtonDown = 1u << 0;
constexpr TControlState csClicked = 1u << 1;
constexpr TControlState csFocusing = 1u << 6;
constexpr TControlState csCreating = 1u << 7;

// Mouse-key flags of the classic mouse messages' wParam.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

TShiftState KeysToShiftState(WPARAM keys);
WPARAM ShiftStateToKeys(TShiftState shift);

// Told when a control moves, changes size or is shown or hidden, and when a windowed control is
// going. The caret registers here when it is first made, so it follows its control.
struct TControlWatcher {
    void (*placeChanged)() = nullptr;
    void (*destroying)(TWinControl* control) = nullptr;
};
void SetControlWatcher(const TControlWatcher& watcher);
const TControlWatcher& ControlWatcher();

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);
    // The top-level window this control lies in (a form; the form itself for a form), or null.
    TControlHost* Host() const;

    std::int32_t Left() const { return left_; }
    std::int32_t Top() const { return top_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    void SetLeft(std::int32_t v) { SetBounds(v, top_, width_, height_); }
    void SetTop(std::int32_t v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(std::int32_t v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(std::int32_t v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    virtual TRect ClientRect() const { return {0, 0, width_, height_}; }
    std::int32_t ClientWidth() const { return ClientRect().Width(); }
    std::int32_t ClientHeight() const { return ClientRect().Height(); }
    // Where this control's client (0, 0) lies in its form's client area.
    virtual TPoint FormOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    // Visible, and every parent up to the form visible too.
    bool Showing() const;

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TFont* Font() const { return font_.get(); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TAnchors Anchors() const { return anchors_; }
    // Setting the anchors (outside loading) takes new references for anchoring.
    virtual void SetAnchors(TAnchors value);
    // Anchoring: a control anchored other than to the left and top keeps references (its place and
    // its parent's client size when they were taken) and is re-positioned from them whenever the
    // parent's client size changes. References are taken whenever anything but anchoring itself
    // moves or sizes the control, never while it is loading, and never against an empty client area.
    void UpdateAnchorRules();
    void AnchorTo(TSize clientSize);
    bool HasAnchorReferences() const { return anchorRefs_.valid; }
    // --- Scaling to a display's pixel density ---
    // Multiplies the bounds, the anchoring references and an own font's height by
    // multiplier / divisor (MulDiv rounding), without taking new references; windowed controls
    // scale their children too.
    virtual void ScaleBy(std::int32_t multiplier, std::int32_t divisor);
    // The pixel density the control is laid out for: its window's (96 outside a window).
    virtual std::int32_t ScreenDpi() const;
    // The width of one line of a frame at that density: the whole part of the scale, as pictures
    // repeat their pixels (1 up to 191 dpi, 2 from 192, and so on).
    std::int32_t FrameLineWidth() const;
    TAlign Align = alNone;

    const std::string& Caption() const { return text_; }
    void SetCaption(const std::string& value) { SetText(value); }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);

    TControlStyle ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState ControlState = 0;
    TPopupMenu* PopupMenu = nullptr;
    void SetPopupMenu(TPopupMenu* menu);
    // The pointer's shape over this control; crDefault takes the parent's (the window's arrow at the
    // top). Screen->Cursor overrides every control while it is not crDefault. A change shows when the
    // loop next runs idle.
    TCursor Cursor = crDefault;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    // Fired before a context menu opens for this control; setting Handled suppresses the menu.
    TContextPopupEvent OnContextPopup;

    // Sends a message to this control at once, through WindowProc.
    LRESULT Perform(std::uint32_t Msg, WPARAM WParam, LPARAM LParam);
    // Replaceable window procedure; it is WndProc unless someone hooks it.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Asks for a repaint of the whole control; it arrives later as a paint message.
    virtual void Invalidate();
    void Loaded() override;
    // Called after every change of the control's size once loading is over.
    virtual void Resize();
    virtual void Click();
    virtual void DblClick();
    // Whether the pointer at client point p hits this control.
    virtual bool HitTest(TPoint p) const { return ClientRect().Contains(p); }

    // --- Accessibility ---------------------------------------------------------------------------
    // What this control is for assistive technology. The base exposes nothing (role None) and fills
    // in availability and visibility; each control class a user meets describes itself.
    virtual void DescribeAccessible(AccessibleDescription& description);
    // The exposed children in reading order (none here; windowed controls give theirs).
    virtual void AccessibleChildren(std::vector<AccessibleNode*>& children);
    // The control a label names, or null.
    virtual TControl* LabelledControl() const { return nullptr; }
    // What the node's default action does (a click); false where there is none.
    virtual bool AccessibleDefaultAction() { return false; }
    // Sets the value as if typed; refuses what typing would refuse.
    virtual AccessibleSetResult SetAccessibleValue(const std::string& /*value*/) {
        return AccessibleSetResult::NotSupported;
    }
    // The control's node, made on first request and gone with the control.
    AccessibleNode& Accessible();
    bool HasAccessible() const { return accessible_ != nullptr; }

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The wheel (MousePos in screen coordinates): OnMouseWheel first; unless that handles it, the
    // amount is counted per control and every whole notch of 120 makes one DoMouseWheelUp or
    // DoMouseWheelDown. True when handled.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    // Asks the parent to realign its children after this control changed place or size.
    virtual void RequestAlign();
    // Called after SetBounds changed the place (moved) or the size (sized): a graphic control
    // announces a size change through Resize at once, a windowed one through its size notification.
    virtual void AfterSetBounds(bool moved, bool sized);

    // Message handlers, dispatched by WndProc.
    virtual void WMMouseMove(TMessage& Message);
    virtual void WMLButtonDown(TMessage& Message);
    virtual void WMLButtonUp(TMessage& Message);
    virtual void WMLButtonDblClk(TMessage& Message);
    virtual void WMRButtonDown(TMessage& Message);
    virtual void WMRButtonUp(TMessage& Message);
    virtual void WMMButtonDown(TMessage& Message);
    virtual void WMMButtonUp(TMessage& Message);
    virtual void WMMouseWheel(TMessage& Message);
    virtual void WMContextMenu(TMessage& Message);
    virtual void WMCancelMode(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMHitTest(TMessage& Message);

    void FontChanged();
    void SetParentPointer(TWinControl* p) { parent_ = p; }

    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;

private:
    friend class TWinControl;
    void DoMouseDown(TMouseButton Button, const TMessage& Message);
    void DoMouseUp(TMouseButton Button, const TMessage& Message);

    TWinControl* parent_ = nullptr;
    bool enabled_ = true;
    bool visible_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    TAnchors anchors_ = kDefaultAnchors;
    struct AnchorReferences {
        bool valid = false;
        std::int32_t x = 0; // the width (anchored left and right), the right-anchored left, or the centre
        std::int32_t y = 0;
        TSize client;
    } anchorRefs_;
    bool anchoring_ = false; // set while anchoring moves the control: no new references
    std::string text_;
    int wheelAccumulator_ = 0;
    std::unique_ptr<TControlAccessible> accessible_;
};

// The control that holds the mouse capture, or null; set while the left button is held.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

// The control the pointer was last found over when the queue ran idle (it got CM_MOUSEENTER).
TControl* GetMouseControl();
// Works out pointer enter and leave for the control now under the pointer: the one that had the
// pointer gets CM_MOUSELEAVE, the new one CM_MOUSEENTER; while a capture is held only the capturing
// control gets them.
void UpdateMouseControl(TControl* underPointer);

// Dialog codes: which keys a control wants for itself instead of the form's navigation.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// Key data bit set while Alt is held.
constexpr LPARAM kKeyDataAltDown = 0x20000000;
// The shift state of a key message: Shift and Ctrl as they were when the platform reported the key
// (or as they are now, for a message the program made itself), Alt from the data.
TShiftState KeyDataToShiftState(LPARAM keyData);
// While a platform's key event is being handled, the shift state it reported; the key messages made
// from it read Shift and Ctrl there, as the classic platform's key state reads the message's time.
class TKeyEventShiftScope {
public:
    explicit TKeyEventShiftScope(TShiftState shift);
    ~TKeyEventShiftScope();
    TKeyEventShiftScope(const TKeyEventShiftScope&) = delete;
    TKeyEventShiftScope& operator=(const TKeyEventShiftScope&) = delete;

private:
    bool hadShift_;
    TShiftState savedShift_;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_[static_cast<std::size_t>(index)]; }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // Sends `Msg` to every child.
    void NotifyControls(std::uint32_t Msg);
    // The deepest visible child at client point p (windowed children above graphic ones), or null.
    TControl* ControlAtPos(TPoint p, bool allowDisabled) const;

    HWND Handle();
    bool HandleAllocated() const { return handle_ != 0; }
    void HandleNeeded();

    int TabOrder = -1;
    bool TabStop = false;
    // Paint through an off-screen image copied to the window in one piece.
    bool DoubleBuffered = false;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Re-positions the anchored children for the current client size; a request made while that runs
    // (a child moved by it asks again) is absorbed.
    void Realign();
    void ScaleBy(std::int32_t multiplier, std::int32_t divisor) override;
    // Scales every child (see ScaleBy) while realignment waits, so no child is anchored against
    // references of the other scale.
    void ScaleChildren(std::int32_t multiplier, std::int32_t divisor);
    // Where the children's unscrolled coordinates begin: a scrolled form's scroll position.
    virtual TPoint ScrollOffset() const { return {0, 0}; }

    // The part of the form's client area this control may draw on: its visible area, clipped by its
    // parents and without the windowed siblings that lie above it (form client coordinates).
    std::vector<TRect> VisibleRegion() const;

    // Keyboard focus: a control can take it while it and its parents are visible and enabled.
    bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // The windowed children in tab order, each followed by its own children in tab order.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    // Sends `Message` to every child in turn until one sets a non-zero result.
    void Broadcast(TMessage& Message);

    void WndProc(TMessage& Message) override;

    // Focusable and focused states; the children in reading order: controls that are no tab stop
    // first (a view above the fields), then the tab stops in tab order, each after its labels.
    void DescribeAccessible(AccessibleDescription& description) override;
    void AccessibleChildren(std::vector<AccessibleNode*>& children) override;

    // wParam of the size notification that a control gets when its handle is made.
    static constexpr WPARAM kSizeOnCreation = 0xFFFF;

protected:
    void AfterSetBounds(bool moved, bool sized) override;
    virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void WMKeyDown(TMessage& Message);
    virtual void WMKeyUp(TMessage& Message);
    virtual void WMChar(TMessage& Message);
    virtual void WMSetFocus(TMessage& Message);
    virtual void WMKillFocus(TMessage& Message);
    virtual void WMSize(TMessage& Message);
    virtual void WMWindowPosChanged(TMessage& Message);
    virtual void CMDialogKey(TMessage& Message);
    virtual void CMDialogChar(TMessage& Message);
    virtual void CMFocusChanged(TMessage& Message);
    virtual void CMEnter(TMessage& Message);
    virtual void CMExit(TMessage& Message);
    // Destroys every child; children go with their parent, whoever owns them.
    void DestroyChildren();
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Draws the control itself on a surface (the paint cycle or a drawing made at once).
    virtual void PaintWindow(DeviceContext& DC);
    virtual void AlignControls();
    // Moves every child by (-dx, -dy): the contents scroll by (dx, dy).
    void ScrollChildren(std::int32_t dx, std::int32_t dy);
    // Every control inside this one takes its anchoring references afresh.
    void UpdateAnchorRulesOfChildren();
    // Paints the graphic (non-windowed) children onto DC.
    void PaintControls(DeviceContext& DC);
    virtual void WMPaint(TMessage& Message);
    virtual void WMEraseBkgnd(TMessage& Message);
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;

    // Entry from the message queue: handles one message, reports what escapes it, and releases the
    // control surfaces held for drawing.
    void MainWndProc(TMessage& Message);

    // Set while the children are re-positioned (or rescaled): requests to realign are absorbed.
    bool aligning_ = false;

private:
    std::vector<TControl*> controls_;
    HWND handle_ = 0;
};

// Releases every control surface held for drawing outside the paint cycle.
void FreeDeviceContexts();
