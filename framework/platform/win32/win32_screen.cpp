// The pointer, the primary display and reading the screen through the desktop window's DC.
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

TPoint Win32Platform::GetCursorPos() {
    POINT p{};
    if (!::GetCursorPos(&p)) return {};
    return {p.x, p.y};
}

void Win32Platform::SetCursorPos(std::int32_t x, std::int32_t y) { ::SetCursorPos(x, y); }

TSize Win32Platform::PrimaryDisplaySize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenHandle Win32Platform::AcquireScreen() {
    HDC dc = GetWindowDC(GetDesktopWindow());
    if (dc == nullptr) return 0;
    ScreenHandle handle = nextScreen_++;
    if (handle == 0) handle = nextScreen_++; // 0 means failure; skip it when the counter wraps
    screens_[handle] = dc;
    return handle;
}

void Win32Platform::ReleaseScreen(ScreenHandle screen) {
    auto it = screens_.find(screen);
    if (it == screens_.end()) return;
    ReleaseDC(GetDesktopWindow(), static_cast<HDC>(it->second));
    screens_.erase(it);
}

bool Win32Platform::StretchFromScreen(ScreenHandle screen, const TRect& source, PixelSurface& dest,
                                      const TRect& destRect, const TRect& clip) {
    auto it = screens_.find(screen);
    if (it == screens_.end()) return false;
    HDC screenDc = static_cast<HDC>(it->second);
    // One StretchBlt straight from the screen into the DIB; no stretch mode is chosen.
    return DrawWithGdi(dest, OwnSurface(dest), clip, [&](void* dc) {
        return StretchBlt(static_cast<HDC>(dc), destRect.Left, destRect.Top, destRect.Width(),
                          destRect.Height(), screenDc, source.Left, source.Top, source.Width(),
                          source.Height(), SRCCOPY) != FALSE;
    });
}
