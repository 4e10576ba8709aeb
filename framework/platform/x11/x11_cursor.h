// Pointer shapes of the X11 windows: the cursor theme's named shapes through libXcursor (the user's
// theme and size, as the other programs of the desktop show them), or the core cursor font's where
// no theme has the shape. Each shape is loaded once, at its first use.
#pragma once

#include "framework/platform/platform.h"

#include <X11/Xlib.h>

#include <map>

class X11PointerShapes {
public:
    explicit X11PointerShapes(Display* display) : display_(display) {}
    X11PointerShapes(const X11PointerShapes&) = delete;
    X11PointerShapes& operator=(const X11PointerShapes&) = delete;

    // Makes `shape` the cursor of `window`, unless it is already; false when nothing changed.
    bool Show(::Window window, PointerShape shape);
    // The window is gone: forget its shape.
    void Forget(::Window window) { shown_.erase(window); }
    // Frees the loaded cursors; call it while the display is still open.
    void Release();

private:
    Cursor Load(PointerShape shape);
    Cursor MakeBlankCursor();

    Display* display_;
    std::map<PointerShape, Cursor> loaded_;
    std::map<::Window, PointerShape> shown_;
};
