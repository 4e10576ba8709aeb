// The accessibility nodes of an open pop-up menu's items. Each open level (a TPopupMenuWindow) is a
// MenuPopup node whose children are these, one per row; they go with the level's window.
#pragma once

#include "framework/platform/accessible.h"

class TPopupMenuWindow;

class TMenuItemAccessible : public AccessibleNode {
public:
    TMenuItemAccessible(TPopupMenuWindow& window, int row) : window_(window), row_(row) {}

    AccessibleDescription Describe() override;
    TRect ScreenBounds() override;
    WindowId Window() override;
    AccessibleNode* Parent() override;
    std::vector<AccessibleNode*> Children() override;
    // Chooses the item (or opens its submenu) as a click on it would.
    bool DoDefaultAction() override;

private:
    TPopupMenuWindow& window_;
    int row_;
};
