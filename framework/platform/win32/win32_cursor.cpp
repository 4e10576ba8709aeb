// Pointer shapes on Windows: the system's own cursors (LoadCursor with IDC_*), shown when the
// window answers WM_SETCURSOR over its client area, and at once when the shape changes under the
// pointer. Over the frame the default processing shows the sizing arrows.
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

namespace {

// The system's shape for each standard one; Windows has no stock drag pointer, so moving text
// shows the four-way move arrows.
LPCSTR SystemCursorOf(PointerShape shape) {
    switch (shape) {
    case PointerShape::Cross: return IDC_CROSS;
    case PointerShape::IBeam: return IDC_IBEAM;
    case PointerShape::SizeNESW: return IDC_SIZENESW;
    case PointerShape::SizeNS:
    case PointerShape::VSplit: return IDC_SIZENS;
    case PointerShape::SizeNWSE: return IDC_SIZENWSE;
    case PointerShape::SizeWE:
    case PointerShape::HSplit: return IDC_SIZEWE;
    case PointerShape::UpArrow: return IDC_UPARROW;
    case PointerShape::HourGlass:
    case PointerShape::SQLWait: return IDC_WAIT;
    case PointerShape::Drag:
    case PointerShape::MultiDrag:
    case PointerShape::SizeAll: return IDC_SIZEALL;
    case PointerShape::NoDrop:
    case PointerShape::No: return IDC_NO;
    case PointerShape::AppStart: return IDC_APPSTARTING;
    case PointerShape::Help: return IDC_HELP;
    case PointerShape::HandPoint: return IDC_HAND;
    default: return IDC_ARROW;
    }
}

HCURSOR CursorOf(PointerShape shape) {
    if (shape == PointerShape::Hidden) return nullptr;
    // Shared system cursors: loaded by name each time, never destroyed.
    HCURSOR cursor = LoadCursorA(nullptr, SystemCursorOf(shape));
    return cursor != nullptr ? cursor : LoadCursorA(nullptr, IDC_ARROW);
}

} // namespace

PointerShape Win32Platform::ShapeOfWindow(WindowId id) const {
    const auto it = pointerShapes_.find(id);
    return it == pointerShapes_.end() ? PointerShape::Arrow : it->second;
}

void Win32Platform::SetWindowPointerShape(WindowId window, PointerShape shape) {
    Window* w = Find(window);
    if (w == nullptr || w->hwnd == nullptr) return;
    pointerShapes_[window] = shape;
    // WM_SETCURSOR came with the move, before the toolkit knew what lies under the pointer: show the
    // new shape now if the pointer is over this window's client area, or the window holds the capture.
    HWND hwnd = static_cast<HWND>(w->hwnd);
    POINT at{};
    if (!::GetCursorPos(&at)) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT local = at;
    ScreenToClient(hwnd, &local);
    if (GetCapture() == hwnd || (WindowFromPoint(at) == hwnd && PtInRect(&client, local)))
        ::SetCursor(CursorOf(shape));
}

bool Win32Platform::AnswerSetCursor(WindowId id, void* hwnd, std::uintptr_t wParam, std::intptr_t lParam,
                                    std::intptr_t& result) {
    if (reinterpret_cast<void*>(wParam) != hwnd || LOWORD(lParam) != HTCLIENT) return false;
    ::SetCursor(CursorOf(ShapeOfWindow(id)));
    result = TRUE;
    return true;
}
