#include "framework/forms/pointer_shape.h"

#include "framework/forms/forms.h"

TCursor ResolveCursor(const TControl* control) {
    if (Screen->Cursor != crDefault) return Screen->Cursor;
    for (const TControl* c = control; c != nullptr; c = c->Parent())
        if (c->Cursor != crDefault) return c->Cursor;
    return crArrow;
}

PointerShape PointerShapeOf(TCursor cursor) {
    // -5 has no shape of its own; numbers past crSizeAll and custom shapes are unknown here.
    if (cursor < crSizeAll || cursor > crNone || cursor == -5) return PointerShape::Arrow;
    return static_cast<PointerShape>(cursor);
}

void UpdatePointerShape(WindowId pointerWindow, TPoint position, TShownPointerShape& shown) {
    TCustomForm* form = nullptr;
    const TControl* control = GetCaptureControl();
    if (control != nullptr) {
        form = GetParentForm(control);
    } else if (pointerWindow != 0) {
        form = Screen->FindForm(pointerWindow);
        // The hit test leaves a control's border to its parent, as the pointer's input.
        if (form != nullptr) control = form->ControlAtClientPoint(position, false);
    }
    if (form == nullptr || !form->Visible() || form->PlatformWindow() == 0) return;
    const PointerShape shape = PointerShapeOf(ResolveCursor(control));
    if (form->PlatformWindow() == shown.window && shape == shown.shape) return;
    shown = {form->PlatformWindow(), shape};
    CurrentPlatform().SetWindowPointerShape(shown.window, shape);
}
