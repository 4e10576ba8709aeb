// The monitors (EnumDisplayMonitors/GetMonitorInfo) and their DPI (GetDpiForMonitor where Windows
// has it, else the system's LOGPIXELSX), read again when the display or the work area changes.
#include "framework/platform/monitors.h"
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

namespace {

TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Both appear only in later Windows versions, so they are looked up at run time.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

struct Enumeration {
    std::vector<std::pair<HMONITOR, MonitorInfo>> found;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* enumeration = reinterpret_cast<Enumeration*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        enumeration->found.push_back(
            {monitor, MonitorInfo{ToRect(info.rcMonitor), ToRect(info.rcWork),
                                  (info.dwFlags & MONITORINFOF_PRIMARY) != 0, kDefaultDpi}});
    return TRUE;
}

} // namespace

std::int32_t Win32Platform::MonitorDpi(void* monitor) {
    if (!shcoreProbed_) {
        shcoreProbed_ = true;
        shcore_ = LoadLibraryA("shcore.dll");
    }
    if (shcore_ != nullptr) {
        auto getDpi = reinterpret_cast<GetDpiForMonitorFn>(
            reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(shcore_), "GetDpiForMonitor")));
        UINT x = 0, y = 0;
        if (getDpi != nullptr && SUCCEEDED(getDpi(static_cast<HMONITOR>(monitor), kEffectiveDpi, &x, &y)))
            return SaneDpi(static_cast<std::int32_t>(x));
    }
    // Windows 7 and 8: one DPI for the whole system.
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : kDefaultDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return SaneDpi(dpi);
}

std::vector<MonitorInfo> Win32Platform::Monitors() {
    if (!monitors_) {
        Enumeration enumeration;
        EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&enumeration));
        std::vector<MonitorInfo> monitors;
        for (auto& [handle, info] : enumeration.found) {
            info.dpi = MonitorDpi(handle);
            monitors.push_back(info);
        }
        monitors_ = std::move(monitors);
    }
    return *monitors_;
}

std::int32_t Win32Platform::WindowDpi(WindowId window) {
    Window* w = Find(window);
    if (w == nullptr || w->hwnd == nullptr) return kDefaultDpi;
    HWND hwnd = static_cast<HWND>(w->hwnd);
    auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpi != nullptr) {
        const UINT dpi = getDpi(hwnd);
        if (dpi != 0) return SaneDpi(static_cast<std::int32_t>(dpi));
    }
    return MonitorDpi(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

bool Win32Platform::HandleDisplayMessage(WindowId id, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam, std::intptr_t& result) {
    switch (message) {
    case WM_DISPLAYCHANGE: {
        monitors_.reset();
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::DisplayChanged;
        e.window = id;
        e.dpi = WindowDpi(id);
        events_.push_back(e);
        return false;
    }
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA) monitors_.reset();
        return false;
    case WM_DPICHANGED: {
        // The window was moved to a monitor of another scale: the toolkit rescales its layout and
        // takes the rectangle Windows suggests.
        monitors_.reset();
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::DpiChanged;
        e.window = id;
        e.dpi = SaneDpi(static_cast<std::int32_t>(LOWORD(wParam)));
        if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) e.outerBounds = ToRect(*suggested);
        events_.push_back(e);
        result = 0;
        return true;
    }
    default: return false;
    }
}
