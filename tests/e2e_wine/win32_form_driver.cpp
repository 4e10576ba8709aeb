#include "tests/e2e_wine/win32_form_driver.h"

#include <windows.h>

namespace {
HWND Handle(void* hwnd) { return static_cast<HWND>(hwnd); }
LPARAM PointParam(TPoint p) { return MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y)); }
} // namespace

Win32FormDriver::Win32FormDriver(const std::string& caption) {
    hwnd_ = FindWindowA("LentaroWindow", caption.c_str());
}

void Win32FormDriver::LeftButton(TPoint at, bool down) {
    PostMessageA(Handle(hwnd_), down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0, PointParam(at));
}

void Win32FormDriver::Key(std::uint16_t virtualKey) {
    const auto scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, 0 /* MAPVK_VK_TO_VSC */)) << 16;
    PostMessageA(Handle(hwnd_), WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageA(Handle(hwnd_), WM_KEYUP, virtualKey, scan | 1 | (LPARAM{3} << 30));
}

void Win32FormDriver::Char(char ch) {
    PostMessageA(Handle(hwnd_), WM_CHAR, static_cast<unsigned char>(ch), 1);
}

void Win32FormDriver::Wheel(TPoint at, int delta) {
    // The wheel reports the pointer in screen coordinates.
    POINT p{at.X, at.Y};
    ClientToScreen(Handle(hwnd_), &p);
    PostMessageA(Handle(hwnd_), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                 MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

PixelSurface Win32FormDriver::Grab(const TRect& rect) {
    PixelSurface out(rect.Width(), rect.Height());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = rect.Width();
    info.bmiHeader.biHeight = -rect.Height(); // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC window = GetDC(Handle(hwnd_));
    HDC memory = CreateCompatibleDC(window);
    HBITMAP copy = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy != nullptr) {
        HGDIOBJ old = SelectObject(memory, copy);
        BitBlt(memory, 0, 0, rect.Width(), rect.Height(), window, rect.Left, rect.Top, SRCCOPY);
        GdiFlush();
        // A 32-bit DIB pixel is B, G, R, unused: 0x00RRGGBB read as a little-endian word.
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (int y = 0; y < rect.Height(); ++y)
            for (int x = 0; x < rect.Width(); ++x)
                out.SetPixel(x, y, pixels[y * rect.Width() + x] & 0xFFFFFFu);
        SelectObject(memory, old);
        DeleteObject(copy);
    }
    DeleteDC(memory);
    ReleaseDC(Handle(hwnd_), window);
    return out;
}

void Win32FormDriver::MovePointer(TPoint at) {
    POINT p{at.X, at.Y};
    ClientToScreen(Handle(hwnd_), &p);
    SetCursorPos(p.x, p.y);
    PostMessageA(Handle(hwnd_), WM_MOUSEMOVE, 0, PointParam(at));
}

std::string Win32FormDriver::ShownPointer() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!GetCursorInfo(&info)) return "other";
    if (info.hCursor == nullptr) return "hidden";
    if (info.hCursor == LoadCursorA(nullptr, IDC_ARROW)) return "arrow";
    if (info.hCursor == LoadCursorA(nullptr, IDC_IBEAM)) return "ibeam";
    return "other";
}
