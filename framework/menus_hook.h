// Lets controls open their pop-up menu without depending on the menu code.
#pragma once

#include "framework/platform/geometry.h"

class TPopupMenu;
class TControl;

// Opens `menu` for `control` with its top-left corner at screen point `screen`.
void PopupMenuHook(TPopupMenu* menu, TControl* control, TPoint screen);
void SetPopupMenuHandler(void (*handler)(TPopupMenu* menu, TControl* control, TPoint screen));
