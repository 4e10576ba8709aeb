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

namespace {

// Where source coordinate `at` lands on the destination axis that `source` is stretched onto.
std::int32_t MapAxis(std::int32_t at, std::int32_t sourceStart, std::int32_t sourceExtent,
                     std::int32_t destStart, std::int32_t destExtent) {
    const std::int64_t scaled = static_cast<std::int64_t>(at - sourceStart) * destExtent;
    return destStart + static_cast<std::int32_t>((scaled + sourceExtent / 2) / sourceExtent);
}

} // namespace

bool Win32Platform::StretchFromScreen(ScreenHandle screen, const TRect& source, PixelSurface& dest,
                                      const TRect& destRect, const TRect& clip) {
    auto it = screens_.find(screen);
    if (it == screens_.end()) return false;
    HDC screenDc = static_cast<HDC>(it->second);
    const TRect desktop = Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    const TRect onScreen = source.Intersect(desktop);
    const bool reachesOff = source.Width() > 0 && source.Height() > 0 && onScreen != source;
    // No stretch mode is chosen. Wine reads the whole source rectangle from the X server, however much
    // of it lies off the screen; a low zoom power asks for one many times the screen's size, which
    // exhausts memory. So only the part on the screen is read, and the rest of the destination is
    // left black, as the system shows the world beyond the screen.
    return DrawWithGdi(dest, OwnSurface(dest), clip, [&](void* target) {
        HDC dc = static_cast<HDC>(target);
        if (!reachesOff)
            return StretchBlt(dc, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), screenDc,
                              source.Left, source.Top, source.Width(), source.Height(), SRCCOPY) != FALSE;
        PatBlt(dc, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(), BLACKNESS);
        if (onScreen.IsEmpty()) return true;
        const std::int32_t left =
            MapAxis(onScreen.Left, source.Left, source.Width(), destRect.Left, destRect.Width());
        const std::int32_t right =
            MapAxis(onScreen.Right, source.Left, source.Width(), destRect.Left, destRect.Width());
        const std::int32_t top =
            MapAxis(onScreen.Top, source.Top, source.Height(), destRect.Top, destRect.Height());
        const std::int32_t bottom =
            MapAxis(onScreen.Bottom, source.Top, source.Height(), destRect.Top, destRect.Height());
        if (right <= left || bottom <= top) return true; // shrunk to nothing
        return StretchBlt(dc, left, top, right - left, bottom - top, screenDc, onScreen.Left, onScreen.Top,
                          onScreen.Width(), onScreen.Height(), SRCCOPY) != FALSE;
    });
}
