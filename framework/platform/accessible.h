// The accessibility model: one tree of the toolkit's own that says what each visible control is
// (role, name, value, states, place on the screen, default action, relations, text and caret,
// numeric range) and announces what changes. The toolkit's controls describe themselves through it;
// a thin adapter per backend (MSAA on Windows, AT-SPI2 on Linux) exports the tree to screen readers
// and magnifiers, and starts only when a client first asks, so a user without one pays nothing.
//
// The tree is read on demand and never cached by the toolkit: a node answers from its control's
// state at the moment of the call. Adapters keep node ids, never pointers, across calls:
// FindAccessible gives null once the node has gone with its control.
#pragma once

#include "framework/platform/geometry.h"
#include "framework/platform/platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using AccessibleId = std::uint32_t; // never 0, never reused within a process

enum class AccessibleRole : std::uint8_t {
    NotExposed, // a part of its parent, such as a spin edit's button
    Frame,
    Label,
    EditableText,
    SpinButton, // a numeric entry field with up and down steps: editable text with a range
    PushButton,
    Image,
    MenuPopup,
    MenuItem,
    CheckMenuItem,
    RadioMenuItem,
    Separator,
};

// State bits.
enum AccessibleState : std::uint32_t {
    kAccessibleFocusable = 1u << 0,
    kAccessibleFocused = 1u << 1,
    kAccessibleReadOnly = 1u << 2,
    kAccessibleUnavailable = 1u << 3, // disabled
    kAccessibleInvisible = 1u << 4,
    kAccessibleDefault = 1u << 5, // the button Enter presses
    kAccessibleChecked = 1u << 6,
    kAccessibleHasPopup = 1u << 7, // a menu item that opens a submenu
    kAccessibleSelected = 1u << 8, // the highlighted menu item
    kAccessibleActive = 1u << 9,   // a frame that is the active window
    kAccessibleEditable = 1u << 10,
};

// The text of editable text: 0-based character offsets into `text`.
struct AccessibleText {
    std::string text;
    std::int32_t caretOffset = 0;
    std::int32_t selectionStart = 0;
    std::int32_t selectionEnd = 0; // equal to the start when nothing is selected
};

struct AccessibleRange {
    double current = 0;
    double minimum = 0;
    double maximum = 0;
    double step = 1;
};

// What a node is at the moment it is asked.
struct AccessibleDescription {
    AccessibleRole role = AccessibleRole::NotExposed;
    std::string name;
    std::string value;
    std::string description;
    std::uint32_t states = 0;
    std::string defaultAction;    // "Press"; empty for none
    std::string keyboardShortcut; // "Alt+E"; empty for none
    std::optional<AccessibleText> text;
    std::optional<AccessibleRange> range;
};

enum class AccessibleSetResult : std::uint8_t { Done, Refused, NotSupported };

class AccessibleNode {
public:
    AccessibleNode();
    virtual ~AccessibleNode();
    AccessibleNode(const AccessibleNode&) = delete;
    AccessibleNode& operator=(const AccessibleNode&) = delete;

    AccessibleId Id() const { return id_; }

    virtual AccessibleDescription Describe() = 0;
    // Screen coordinates; empty when the node is not shown.
    virtual TRect ScreenBounds() = 0;
    // The platform window the node lies in.
    virtual WindowId Window() = 0;
    virtual AccessibleNode* Parent() = 0;
    // The exposed children, in reading order (tab order where they have one).
    virtual std::vector<AccessibleNode*> Children() = 0;
    // The label that names this node, and the node a label names.
    virtual AccessibleNode* LabelledBy() { return nullptr; }
    virtual AccessibleNode* LabelFor() { return nullptr; }
    // Does what the default action says (a click); false where there is none or it is unavailable.
    virtual bool DoDefaultAction() { return false; }
    // Sets the value as if the user had typed it: text the node would refuse when typed is refused
    // the same way, and nothing changes.
    virtual AccessibleSetResult SetValue(const std::string& /*value*/) {
        return AccessibleSetResult::NotSupported;
    }
    // Gives the node the keyboard focus; false where it cannot take it.
    virtual bool SetFocus() { return false; }

private:
    AccessibleId id_;
};

// The node with this id, or null once it has gone.
AccessibleNode* FindAccessible(AccessibleId id);
// The deepest exposed node under `screen` point, starting at `root` (itself when no child is
// there); null when the point lies outside the root.
AccessibleNode* AccessibleHitTest(AccessibleNode& root, TPoint screen);
// The focused node inside `root` (root included), or null.
AccessibleNode* AccessibleFocusedNode(AccessibleNode& root);
// The 0-based place of `node` among its parent's children, or -1.
int AccessibleIndexInParent(AccessibleNode& node);

// What changed; raised by the toolkit as it happens.
enum class AccessibleEvent : std::uint8_t {
    Focus,          // the node took the keyboard focus (or a menu item was highlighted)
    ValueChanged,   // the value (and the text) of the node changed
    TextChanged,    // the text of editable text changed
    CaretMoved,     // the caret moved inside the node (see AccessibleTreeProvider::CaretRect)
    StateChanged,   // enabled, checked, visibility
    NameChanged,    // caption
    MenuPopupStart, // a pop-up menu level opened: the node is its MenuPopup
    MenuPopupEnd,
    WindowActivated, // the node is a frame that became the active window
};

// Told of every event while registered. Adapters register once a client has asked for the tree.
class AccessibleEventSink {
public:
    virtual void AccessibleEventRaised(AccessibleEvent event, AccessibleNode& node) = 0;

protected:
    ~AccessibleEventSink() = default;
};
void AddAccessibleEventSink(AccessibleEventSink* sink);
void RemoveAccessibleEventSink(AccessibleEventSink* sink);
// True while some sink listens: the toolkit describes nothing and makes no node before that.
bool AccessibleEventsWanted();
void RaiseAccessibleEvent(AccessibleEvent event, AccessibleNode& node);

// How a backend finds the tree of a window and the caret; the toolkit registers it.
class AccessibleTreeProvider {
public:
    // The root (a frame or a menu pop-up) of a platform window of the program, or null.
    virtual AccessibleNode* WindowRoot(WindowId window) = 0;
    // The caret's rectangle on the screen while it lies in `window`, shown or in its blink phase.
    virtual std::optional<TRect> CaretRect(WindowId window) = 0;

protected:
    ~AccessibleTreeProvider() = default;
};
void SetAccessibleTreeProvider(AccessibleTreeProvider* provider);
AccessibleTreeProvider* GetAccessibleTreeProvider();
