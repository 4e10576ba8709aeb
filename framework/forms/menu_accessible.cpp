#include "framework/forms/menu_accessible.h"

#include "framework/controls/control_accessible.h"
#include "framework/controls/menus.h"
#include "framework/forms/popup_menu_tracker.h"
#include "framework/forms/popup_menu_window.h"

AccessibleDescription TMenuItemAccessible::Describe() {
    AccessibleDescription d;
    const TMenuItem* item = window_.RowItem(row_);
    if (item->IsLine()) {
        d.role = AccessibleRole::Separator;
        return d;
    }
    d.role = item->RadioItem() ? AccessibleRole::RadioMenuItem
             : item->AutoCheck ? AccessibleRole::CheckMenuItem
                               : AccessibleRole::MenuItem;
    d.name = item->DisplayCaption();
    if (item->Accelerator() != 0) d.keyboardShortcut = std::string(1, item->Accelerator());
    d.defaultAction = item->HasSubmenu() ? "Open" : "Execute";
    if (item->Checked()) d.states |= kAccessibleChecked;
    if (!item->Enabled) d.states |= kAccessibleUnavailable;
    if (item->HasSubmenu()) d.states |= kAccessibleHasPopup;
    if (window_.Selectable(row_)) d.states |= kAccessibleFocusable;
    if (window_.Highlighted() == row_) d.states |= kAccessibleSelected | kAccessibleFocused;
    return d;
}

TRect TMenuItemAccessible::ScreenBounds() {
    const TRect r = window_.RowRect(row_);
    const TPoint topLeft = window_.ClientToScreen({r.Left, r.Top});
    return Bounds(topLeft.X, topLeft.Y, r.Width(), r.Height());
}

WindowId TMenuItemAccessible::Window() { return window_.PlatformWindow(); }

AccessibleNode* TMenuItemAccessible::Parent() { return &window_.Accessible(); }

std::vector<AccessibleNode*> TMenuItemAccessible::Children() { return {}; }

bool TMenuItemAccessible::DoDefaultAction() {
    const TMenuItem* item = window_.RowItem(row_);
    if (!item->Enabled || !window_.Selectable(row_) || !window_.Showing()) return false;
    const TRect bounds = ScreenBounds();
    const TPoint centre{bounds.Left + bounds.Width() / 2, bounds.Top + bounds.Height() / 2};
    window_.Tracker().MouseMove(centre);
    window_.Tracker().MouseUp(centre);
    return true;
}
