// Pointer shapes: which shape the pointer takes over the program's windows, and showing it there.
#pragma once

#include "framework/controls/controls.h"
#include "framework/platform/platform.h"

// The shape asked for over `control`: Screen->Cursor while it is not crDefault, else the control's
// own Cursor, else the nearest parent's that is not crDefault, else the arrow.
TCursor ResolveCursor(const TControl* control);
// The platform's shape for a shape number; a number no platform knows shows the arrow.
PointerShape PointerShapeOf(TCursor cursor);

// What was last shown, so the platform hears only of changes.
struct TShownPointerShape {
    WindowId window = 0;
    PointerShape shape = PointerShape::Arrow;
};

// Shows the shape for where the pointer is: that of the control holding the mouse capture while one
// does (in its window, wherever the pointer is), else that of the control at `position` (client
// coordinates) of window `pointerWindow`, found as the pointer's input finds it (a disabled control,
// or a control's border, shows its parent's); nothing for a pointer outside the program's windows.
void UpdatePointerShape(WindowId pointerWindow, TPoint position, TShownPointerShape& shown);
