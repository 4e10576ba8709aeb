#include "framework/menus_hook.h"

namespace {
void (*gHandler)(TPopupMenu*, TControl*, TPoint) = nullptr;
}

void PopupMenuHook(TPopupMenu* menu, TControl* control, TPoint screen) {
    if (gHandler != nullptr) gHandler(menu, control, screen);
}

void SetPopupMenuHandler(void (*handler)(TPopupMenu*, TControl*, TPoint)) { gHandler = handler; }
