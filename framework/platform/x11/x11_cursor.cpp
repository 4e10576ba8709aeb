#include "framework/platform/x11/x11_cursor.h"

#include "framework/platform/x11/x11_platform.h"

#include <X11/Xcursor/Xcursor.h>
#include <X11/cursorfont.h>

#include <array>

namespace {

struct ShapeSource {
    PointerShape shape;
    // The theme's names, the most widely known first (the legacy X names, then the CSS ones).
    std::array<const char*, 3> names;
    unsigned int fontShape; // the core cursor font's glyph
};

constexpr ShapeSource kSources[] = {
    {PointerShape::Arrow, {"left_ptr", "default", "arrow"}, XC_left_ptr},
    {PointerShape::Cross, {"crosshair", "cross", nullptr}, XC_crosshair},
    {PointerShape::IBeam, {"xterm", "text", "ibeam"}, XC_xterm},
    {PointerShape::SizeNESW, {"nesw-resize", "size_bdiag", "bottom_left_corner"}, XC_bottom_left_corner},
    {PointerShape::SizeNS, {"sb_v_double_arrow", "ns-resize", "size_ver"}, XC_sb_v_double_arrow},
    {PointerShape::SizeNWSE, {"nwse-resize", "size_fdiag", "bottom_right_corner"}, XC_bottom_right_corner},
    {PointerShape::SizeWE, {"sb_h_double_arrow", "ew-resize", "size_hor"}, XC_sb_h_double_arrow},
    {PointerShape::UpArrow, {"sb_up_arrow", "up_arrow", nullptr}, XC_sb_up_arrow},
    {PointerShape::HourGlass, {"watch", "wait", nullptr}, XC_watch},
    {PointerShape::Drag, {"dnd-move", "move", nullptr}, XC_fleur},
    {PointerShape::NoDrop, {"dnd-no-drop", "no-drop", "forbidden"}, XC_circle},
    {PointerShape::HSplit, {"col-resize", "split_h", "sb_h_double_arrow"}, XC_sb_h_double_arrow},
    {PointerShape::VSplit, {"row-resize", "split_v", "sb_v_double_arrow"}, XC_sb_v_double_arrow},
    {PointerShape::MultiDrag, {"dnd-copy", "copy", "dnd-move"}, XC_fleur},
    {PointerShape::SQLWait, {"watch", "wait", nullptr}, XC_watch},
    {PointerShape::No, {"not-allowed", "crossed_circle", "forbidden"}, XC_X_cursor},
    {PointerShape::AppStart, {"left_ptr_watch", "progress", nullptr}, XC_watch},
    {PointerShape::Help, {"question_arrow", "help", "whats_this"}, XC_question_arrow},
    {PointerShape::HandPoint, {"hand2", "pointer", "pointing_hand"}, XC_hand2},
    {PointerShape::SizeAll, {"fleur", "all-scroll", "size_all"}, XC_fleur},
};

const ShapeSource& SourceOf(PointerShape shape) {
    for (const ShapeSource& source : kSources)
        if (source.shape == shape) return source;
    return kSources[0]; // shapes this backend does not know show the arrow
}

} // namespace

bool X11PointerShapes::Show(::Window window, PointerShape shape) {
    const auto it = shown_.find(window);
    if (it != shown_.end() && it->second == shape) return false;
    const Cursor cursor = Load(shape);
    if (cursor == None) return false;
    XDefineCursor(display_, window, cursor);
    shown_[window] = shape;
    return true;
}

Cursor X11PointerShapes::Load(PointerShape shape) {
    if (const auto it = loaded_.find(shape); it != loaded_.end()) return it->second;
    Cursor cursor = None;
    if (shape == PointerShape::Hidden) {
        cursor = MakeBlankCursor();
    } else {
        const ShapeSource& source = SourceOf(shape);
        for (const char* name : source.names)
            if (name != nullptr && cursor == None) cursor = XcursorLibraryLoadCursor(display_, name);
        if (cursor == None) cursor = XCreateFontCursor(display_, source.fontShape);
    }
    if (cursor != None) loaded_.emplace(shape, cursor);
    return cursor;
}

Cursor X11PointerShapes::MakeBlankCursor() {
    static const char kEmpty[1] = {0};
    const Pixmap blank = XCreateBitmapFromData(display_, DefaultRootWindow(display_), kEmpty, 1, 1);
    if (blank == None) return None;
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(display_, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display_, blank);
    return cursor;
}

void X11PointerShapes::Release() {
    for (const auto& [shape, cursor] : loaded_) XFreeCursor(display_, cursor);
    loaded_.clear();
    shown_.clear();
}

void X11Platform::SetWindowPointerShape(WindowId window, PointerShape shape) {
    TopLevel* w = FindWindow(window);
    // Sent at once: the shape should change with the pointer's move, not at the next drawing.
    if (w != nullptr && pointerShapes_.Show(w->xid, shape)) XFlush(display_);
}
