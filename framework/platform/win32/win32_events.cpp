// Window messages turned into the toolkit's events, queued in arrival order.
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

#include <utility>

namespace {

// Posted to the application window when it is activated: hand the activation to its last active form.
constexpr UINT kForwardActivation = WM_APP + 1;

std::uint32_t ShiftFromKeys(WPARAM keys) {
    std::uint32_t shift = 0;
    if (keys & MK_SHIFT) shift |= kShiftShift;
    if (keys & MK_CONTROL) shift |= kShiftCtrl;
    if (keys & MK_LBUTTON) shift |= kShiftLeft;
    if (keys & MK_RBUTTON) shift |= kShiftRight;
    if (keys & MK_MBUTTON) shift |= kShiftMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= kShiftAlt;
    return shift;
}

TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// While the system's sizing loop runs, the toolkit is given a turn this often.
constexpr UINT_PTR kSystemLoopTimer = 0x4C54;
constexpr UINT kSystemLoopPeriodMs = 20;

} // namespace

void Win32Platform::RunSystemLoopHook() {
    if (!systemLoopHook_ || inSystemLoopHook_) return;
    inSystemLoopHook_ = true;
    try {
        systemLoopHook_();
    } catch (...) {
        // Nothing may unwind through the system's loop; the toolkit reports its own errors.
    }
    inSystemLoopHook_ = false;
}

void Win32Platform::QueueBoundsEvent(WindowId id, Window& w, bool sized) {
    RECT outer{};
    RECT client{};
    GetWindowRect(static_cast<HWND>(w.hwnd), &outer);
    GetClientRect(static_cast<HWND>(w.hwnd), &client);
    PlatformEvent e;
    e.kind = sized ? PlatformEvent::Kind::Resized : PlatformEvent::Kind::Moved;
    e.window = id;
    e.outerBounds = ToRect(outer);
    e.clientSize = {client.right - client.left, client.bottom - client.top};
    events_.push_back(e);
}

void Win32Platform::QueueMouse(WindowId id, void* hwnd, PlatformEvent::Kind kind, PointerButton button,
                               std::uintptr_t wParam, std::intptr_t lParam, bool doubleClick,
                               bool screenCoordinates) {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    POINT screen = p;
    if (screenCoordinates)
        ScreenToClient(static_cast<HWND>(hwnd), &p);
    else
        ClientToScreen(static_cast<HWND>(hwnd), &screen);
    PlatformEvent e;
    e.kind = kind;
    e.window = id;
    e.position = {p.x, p.y};
    e.screenPosition = {screen.x, screen.y};
    e.button = button;
    e.shift = ShiftFromKeys(LOWORD(wParam)) | (doubleClick ? kShiftDouble : 0u);
    if (kind == PlatformEvent::Kind::MouseWheel) e.wheelDelta = GET_WHEEL_DELTA_WPARAM(wParam);
    events_.push_back(e);
}

bool Win32Platform::HandleWindowMessage(void* hwnd, unsigned message, std::uintptr_t wParam,
                                        std::intptr_t lParam, std::intptr_t& result) {
    const WindowId id = IdOf(hwnd);
    Window* w = Find(id);
    if (w == nullptr) return false;
    if (HandleDesktopServiceMessage(hwnd, id, message, wParam, lParam, result)) return true;
    HWND h = static_cast<HWND>(hwnd);
    using K = PlatformEvent::Kind;
    auto key = [&](K kind) {
        PlatformEvent e;
        e.kind = kind;
        e.window = id;
        e.virtualKey = static_cast<std::uint16_t>(wParam);
        e.keyData = static_cast<std::uint32_t>(lParam);
        // The modifiers as they were when this key arrived, not when the toolkit handles it.
        if (GetKeyState(VK_SHIFT) < 0) e.shift |= kShiftShift;
        if (GetKeyState(VK_CONTROL) < 0) e.shift |= kShiftCtrl;
        if (GetKeyState(VK_MENU) < 0) e.shift |= kShiftAlt;
        e.character = static_cast<unsigned char>(wParam);
        events_.push_back(e);
    };
    if (HandleDisplayMessage(id, message, wParam, lParam, result)) return true;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        if (dc != nullptr && w->surface.Dc() != nullptr) {
            const RECT& r = ps.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<HDC>(w->surface.Dc()),
                   r.left, r.top, SRCCOPY);
        }
        EndPaint(h, &ps);
        return true;
    }
    case WM_ERASEBKGND: result = 1; return true; // the surface covers the whole client area
    case WM_SETCURSOR: return AnswerSetCursor(id, hwnd, wParam, lParam, result);
    case WM_MOUSEACTIVATE:
        if (w->params.kind != WindowKind::Popup) return false;
        result = MA_NOACTIVATE;
        return true;
    case WM_WINDOWPOSCHANGED: {
        // The default processing announces the change as WM_MOVE and/or WM_SIZE; the toolkit hears of
        // it once: Resized when the size was announced, else Moved.
        const PositionChange outer = std::exchange(positionChange_, PositionChange{true});
        result = DefWindowProcA(h, message, wParam, lParam);
        const PositionChange change = std::exchange(positionChange_, outer);
        if (!applyingBounds_ && (change.sized || change.moved)) QueueBoundsEvent(id, *w, change.sized);
        if (inSystemLoop_) RunSystemLoopHook();
        return true;
    }
    case WM_ENTERSIZEMOVE:
        inSystemLoop_ = true;
        ::SetTimer(h, kSystemLoopTimer, kSystemLoopPeriodMs, nullptr);
        return false;
    case WM_EXITSIZEMOVE:
        inSystemLoop_ = false;
        ::KillTimer(h, kSystemLoopTimer);
        return false;
    case WM_TIMER:
        if (wParam != kSystemLoopTimer) return false;
        RunSystemLoopHook();
        return true;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) return true; // the form keeps its size while iconic
        SyncSurface(*w);
        if (positionChange_.active)
            positionChange_.sized = true;
        else if (!applyingBounds_)
            QueueBoundsEvent(id, *w, true);
        return true;
    case WM_MOVE:
        if (IsIconic(h)) return true;
        if (positionChange_.active)
            positionChange_.moved = true;
        else if (!applyingBounds_)
            QueueBoundsEvent(id, *w, false);
        return true;
    case WM_CLOSE: {
        PlatformEvent e;
        e.kind = K::CloseRequest;
        e.window = id;
        events_.push_back(e);
        return true; // the toolkit decides; the window is never destroyed here
    }
    case WM_ACTIVATE: {
        PlatformEvent e;
        e.kind = LOWORD(wParam) == WA_INACTIVE ? K::Deactivated : K::Activated;
        e.window = id;
        events_.push_back(e);
        if (w->isApplication && e.kind == K::Activated && !HIWORD(wParam))
            PostMessageA(h, kForwardActivation, 0, 0);
        return false;
    }
    case WM_CAPTURECHANGED:
        // The capture went elsewhere (another window, the system's cancel mode) without the toolkit
        // asking: tell it, so the press under way ends.
        if (!changingCapture_ && captureHolder_ == id) {
            captureHolder_ = 0;
            PlatformEvent e;
            e.kind = K::CaptureLost;
            e.window = id;
            events_.push_back(e);
        }
        return true;
    case kForwardActivation:
        if (w->isApplication) {
            HWND last = GetLastActivePopup(h);
            if (last != nullptr && last != h && IsWindowVisible(last) && IsWindowEnabled(last))
                SetForegroundWindow(last);
        }
        return true;
    case WM_LBUTTONDOWN:
        QueueMouse(id, hwnd, K::MouseDown, PointerButton::Left, wParam, lParam, false, false);
        return true;
    case WM_RBUTTONDOWN:
        QueueMouse(id, hwnd, K::MouseDown, PointerButton::Right, wParam, lParam, false, false);
        return true;
    case WM_MBUTTONDOWN:
        QueueMouse(id, hwnd, K::MouseDown, PointerButton::Middle, wParam, lParam, false, false);
        return true;
    case WM_LBUTTONDBLCLK:
        QueueMouse(id, hwnd, K::MouseDown, PointerButton::Left, wParam, lParam, true, false);
        return true;
    case WM_RBUTTONDBLCLK:
        QueueMouse(id, hwnd, K::MouseDown, PointerButton::Right, wParam, lParam, true, false);
        return true;
    case WM_MBUTTONDBLCLK:
        QueueMouse(id, hwnd, K::MouseDown, PointerButton::Middle, wParam, lParam, true, false);
        return true;
    case WM_LBUTTONUP:
        QueueMouse(id, hwnd, K::MouseUp, PointerButton::Left, wParam, lParam, false, false);
        return true;
    case WM_RBUTTONUP:
        QueueMouse(id, hwnd, K::MouseUp, PointerButton::Right, wParam, lParam, false, false);
        return true;
    case WM_MBUTTONUP:
        QueueMouse(id, hwnd, K::MouseUp, PointerButton::Middle, wParam, lParam, false, false);
        return true;
    case WM_MOUSEMOVE:
        QueueMouse(id, hwnd, K::MouseMove, PointerButton::Left, wParam, lParam, false, false);
        return true;
    case WM_MOUSEWHEEL:
        QueueMouse(id, hwnd, K::MouseWheel, PointerButton::Left, wParam, lParam, false, true);
        return true;
    case WM_KEYDOWN: key(K::KeyDown); return true;
    case WM_KEYUP: key(K::KeyUp); return true;
    case WM_SYSKEYDOWN: key(K::KeyDown); return false; // Alt+F4 and the like still work
    case WM_SYSKEYUP: key(K::KeyUp); return false;
    case WM_CHAR: key(K::Char); return true;
    case WM_NCDESTROY:
        // An owner takes its owned windows with it; forget the handle, keep the record.
        byHandle_.erase(hwnd);
        w->hwnd = nullptr;
        w->drawingDcs.clear();
        return false;
    default: return false;
    }
}
