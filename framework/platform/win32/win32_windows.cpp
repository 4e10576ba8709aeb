// Top-level windows: the window class and procedure, creation, showing, bounds and back surfaces.
#include "framework/platform/win32/win32_platform.h"

#include "framework/platform/monitors.h"
#include "framework/platform/win32/win32_accessible.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr const char* kWindowClass = "LentaroWindow";

Win32Platform* gTarget = nullptr;

LRESULT CALLBACK LentaroWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (gTarget == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        gTarget->BindHandle(hwnd,
                            static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(create->lpCreateParams)));
    }
    std::intptr_t result = 0;
    if (gTarget->HandleWindowMessage(hwnd, message, wParam, lParam, result)) return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

DWORD StyleFor(const WindowParams& p, bool isApplication) {
    // The application window holds the task-bar button; it is shown with no size, never seen.
    if (isApplication) return WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD frame = p.sizeable ? WS_THICKFRAME : 0;
    switch (p.kind) {
    case WindowKind::Popup: return WS_POPUP | WS_CLIPSIBLINGS;
    case WindowKind::Dialog:
        return WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | frame | (p.captionButtons ? WS_SYSMENU : 0);
    case WindowKind::Main: break;
    }
    return WS_OVERLAPPED | WS_CAPTION | WS_CLIPSIBLINGS | frame |
           (p.captionButtons ? WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX : 0);
}

DWORD ExStyleFor(const WindowParams& p, bool isApplication) {
    if (isApplication) return 0;
    if (p.kind == WindowKind::Popup) return WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (p.kind == WindowKind::Dialog) return WS_EX_DLGMODALFRAME;
    return 0;
}

} // namespace

Win32Platform::Win32Platform() {
    gTarget = this;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &LentaroWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    // The program's icon is the executable's icon resource 1; a program without one gets the
    // system's. The small icon is loaded at its own size so the 16-pixel image is used, not a shrunk one.
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(1));
    if (wc.hIcon != nullptr) {
        wc.hIconSm = static_cast<HICON>(LoadImageA(wc.hInstance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    } else {
        wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    }
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc); // failure shows up as failed window creation
}

Win32Platform::~Win32Platform() {
    // Owned windows first: destroying an owner takes its owned windows with it.
    while (!windows_.empty()) {
        auto it = std::find_if(windows_.begin(), windows_.end(),
                               [this](const auto& entry) { return entry.first != appWindow_; });
        DestroyWindow(it != windows_.end() ? it->first : windows_.begin()->first);
    }
    for (auto& [description, font] : fonts_) DeleteObject(static_cast<HFONT>(font));
    if (measureDc_ != nullptr) DeleteDC(static_cast<HDC>(measureDc_));
    for (auto& [handle, dc] : screens_) ReleaseDC(GetDesktopWindow(), static_cast<HDC>(dc));
    if (uxTheme_ != nullptr) FreeLibrary(static_cast<HMODULE>(uxTheme_));
    UnregisterClassA(kWindowClass, GetModuleHandleA(nullptr));
    if (gTarget == this) gTarget = nullptr;
}

Win32Platform::Window* Win32Platform::Find(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second.get();
}

WindowId Win32Platform::IdOf(void* hwnd) const {
    auto it = byHandle_.find(hwnd);
    return it == byHandle_.end() ? 0 : it->second;
}

void Win32Platform::BindHandle(void* hwnd, WindowId id) {
    if (Window* w = Find(id)) {
        w->hwnd = hwnd;
        byHandle_[hwnd] = id;
    }
}

GdiSurface* Win32Platform::OwnSurface(PixelSurface& surface) {
    for (auto& [id, w] : windows_)
        if (&w->surface.Pixels() == &surface) return &w->surface;
    return nullptr;
}

void Win32Platform::SyncSurface(Window& w) {
    RECT client{};
    if (w.hwnd == nullptr || !GetClientRect(static_cast<HWND>(w.hwnd), &client)) return;
    w.surface.Resize(client.right - client.left, client.bottom - client.top);
}

WindowId Win32Platform::CreateTopLevelWindow(const WindowParams& params) {
    const WindowId id = nextWindow_++;
    auto owned = std::make_unique<Window>();
    Window& w = *owned;
    w.params = params;
    // The toolkit's hidden application window is the first main window made without a size.
    w.isApplication = appWindow_ == 0 && params.kind == WindowKind::Main && params.owner == 0 &&
                      params.outerBounds.Width() <= 0 && params.outerBounds.Height() <= 0;
    windows_.emplace(id, std::move(owned));
    HWND owner = nullptr;
    if (Window* o = Find(params.owner)) owner = static_cast<HWND>(o->hwnd);
    const TRect& b = params.outerBounds;
    applyingBounds_ = true;
    HWND hwnd = CreateWindowExA(ExStyleFor(params, w.isApplication), kWindowClass, params.caption.c_str(),
                                StyleFor(params, w.isApplication), b.Left, b.Top, std::max(0, b.Width()),
                                std::max(0, b.Height()), owner, nullptr, GetModuleHandleA(nullptr),
                                reinterpret_cast<void*>(static_cast<std::uintptr_t>(id)));
    applyingBounds_ = false;
    if (hwnd == nullptr) {
        // Creation may fail after the handle was bound (a refused WM_CREATE): forget it too.
        std::erase_if(byHandle_, [id](const auto& entry) { return entry.second == id; });
        windows_.erase(id);
        return 0;
    }
    BindHandle(hwnd, id);
    SyncSurface(w);
    if (w.isApplication) appWindow_ = id;
    return id;
}

void Win32Platform::DestroyWindow(WindowId window) {
    Window* w = Find(window);
    if (w == nullptr) return;
    pointerShapes_.erase(window);
    HWND hwnd = static_cast<HWND>(w->hwnd);
    for (void* dc : w->drawingDcs) ReleaseDC(hwnd, static_cast<HDC>(dc));
    w->drawingDcs.clear();
    if (captureHolder_ == window) captureHolder_ = 0; // a capture ending with its window is no loss
    if (hwnd != nullptr) ::DestroyWindow(hwnd);
    byHandle_.erase(hwnd);
    windows_.erase(window);
    if (window == appWindow_) appWindow_ = 0;
}

void Win32Platform::ShowWindow(WindowId window, ShowState state) {
    Window* w = Find(window);
    if (w == nullptr || w->hwnd == nullptr) return;
    HWND hwnd = static_cast<HWND>(w->hwnd);
    Window* app = Find(appWindow_);
    const bool ownedByApplication = app != nullptr && window != appWindow_ && w->params.owner == appWindow_;
    if (state != ShowState::Hidden && ownedByApplication && !IsWindowVisible(static_cast<HWND>(app->hwnd))) {
        // The task-bar button appears with the first form shown.
        SetWindowPos(static_cast<HWND>(app->hwnd), nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    switch (state) {
    case ShowState::Hidden: ::ShowWindow(hwnd, SW_HIDE); break;
    case ShowState::Normal:
        // A pop-up menu never takes the activation from the form it belongs to.
        ::ShowWindow(hwnd, w->params.kind == WindowKind::Popup ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
        break;
    case ShowState::Maximized: ::ShowWindow(hwnd, SW_SHOWMAXIMIZED); break;
    case ShowState::Minimized:
        if (ownedByApplication) {
            // A minimised form minimises the application; the form comes back with it.
            ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
            ::ShowWindow(static_cast<HWND>(app->hwnd), SW_SHOWMINNOACTIVE);
        } else {
            ::ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
        }
        break;
    }
}

void Win32Platform::SetWindowCaption(WindowId window, const std::string& caption) {
    Window* w = Find(window);
    if (w == nullptr) return;
    w->params.caption = caption;
    if (w->hwnd != nullptr) SetWindowTextA(static_cast<HWND>(w->hwnd), caption.c_str());
}

void Win32Platform::SetWindowBounds(WindowId window, const TRect& outerBounds) {
    Window* w = Find(window);
    if (w == nullptr || w->hwnd == nullptr) return;
    applyingBounds_ = true;
    SetWindowPos(static_cast<HWND>(w->hwnd), nullptr, outerBounds.Left, outerBounds.Top,
                 std::max(0, outerBounds.Width()), std::max(0, outerBounds.Height()),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    applyingBounds_ = false;
    SyncSurface(*w);
}

void Win32Platform::EnableWindow(WindowId window, bool enabled) {
    Window* w = Find(window);
    if (w == nullptr || w->hwnd == nullptr) return;
    ::EnableWindow(static_cast<HWND>(w->hwnd), enabled ? TRUE : FALSE);
    if (enabled) RestoreActivation(w->hwnd);
}

FrameMetrics Win32Platform::GetFrameMetrics(WindowKind kind, std::int32_t dpi) const {
    if (kind == WindowKind::Popup) return {};
    RECT r{0, 0, 100, 100};
    const DWORD style =
        kind == WindowKind::Dialog ? WS_POPUP | WS_CAPTION : WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
    const DWORD exStyle = kind == WindowKind::Dialog ? WS_EX_DLGMODALFRAME : 0;
    // Windows 10 answers for any scale; older systems have one scale, the system's.
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    if (dpi <= 0 || adjustForDpi == nullptr ||
        !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(SaneDpi(dpi)))) {
        r = {0, 0, 100, 100};
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    }
    return {-r.left, -r.top, r.right - 100, r.bottom - 100};
}

PixelSurface* Win32Platform::WindowSurface(WindowId window) {
    Window* w = Find(window);
    return w != nullptr ? &w->surface.Pixels() : nullptr;
}

void Win32Platform::PresentWindow(WindowId window, const TRect& damaged) {
    Window* w = Find(window);
    if (w == nullptr || w->hwnd == nullptr || w->surface.Dc() == nullptr) return;
    const TRect r = damaged.Intersect(w->surface.Pixels().Bounds());
    if (r.IsEmpty()) return;
    HWND hwnd = static_cast<HWND>(w->hwnd);
    const bool held = !w->drawingDcs.empty();
    HDC dc = held ? static_cast<HDC>(w->drawingDcs.back()) : GetDC(hwnd);
    if (dc == nullptr) return; // nothing reaches the screen; the next WM_PAINT shows the surface
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), static_cast<HDC>(w->surface.Dc()), r.Left, r.Top,
           SRCCOPY);
    if (!held) ReleaseDC(hwnd, dc);
}

bool Win32Platform::AcquireWindowDrawing(WindowId window) {
    Window* w = Find(window);
    if (w == nullptr || w->hwnd == nullptr) return false;
    HDC dc = GetDC(static_cast<HWND>(w->hwnd));
    if (dc == nullptr) return false;
    w->drawingDcs.push_back(dc);
    return true;
}

void Win32Platform::ReleaseWindowDrawing(WindowId window) {
    Window* w = Find(window);
    if (w == nullptr || w->drawingDcs.empty()) return;
    ReleaseDC(static_cast<HWND>(w->hwnd), static_cast<HDC>(w->drawingDcs.back()));
    w->drawingDcs.pop_back();
}

void Win32Platform::SetMouseCapture(WindowId window) {
    Window* w = Find(window);
    changingCapture_ = true;
    if (w != nullptr && w->hwnd != nullptr) {
        SetCapture(static_cast<HWND>(w->hwnd));
        captureHolder_ = window;
    } else {
        // Only a capture one of our windows holds is released: a taken one stays with its taker.
        if (IdOf(GetCapture()) != 0) ReleaseCapture();
        captureHolder_ = 0;
    }
    changingCapture_ = false;
}

void Win32Platform::RestoreActivation(void* enabledWindow) {
    if (restoreActive_ == nullptr || restoreActive_ != enabledWindow) return;
    HWND active = static_cast<HWND>(restoreActive_);
    HWND focus = static_cast<HWND>(restoreFocus_);
    restoreActive_ = restoreFocus_ = nullptr;
    if (!IsWindow(active) || !IsWindowVisible(active)) return;
    SetForegroundWindow(active); // the box's end may have handed the foreground elsewhere
    SetActiveWindow(active);
    if (focus != nullptr && IsWindow(focus)) SetFocus(focus);
}
