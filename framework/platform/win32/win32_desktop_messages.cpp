// Messages about the desktop rather than one window: screen readers asking for the accessibility
// tree (WM_GETOBJECT), and changes of the visual style, the system colours and high contrast, which
// the toolkit hears of as events so its controls re-read them and repaint.
#include "framework/platform/win32/win32_accessible.h"
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

bool Win32Platform::HandleDesktopServiceMessage(void* hwnd, WindowId id, unsigned message,
                                                std::uintptr_t wParam, std::intptr_t lParam,
                                                std::intptr_t& result) {
    const auto queue = [&](PlatformEvent::Kind kind) {
        // One report per change, whichever window heard of it first: every window gets the message.
        for (const PlatformEvent& e : events_)
            if (e.kind == kind) return;
        PlatformEvent e;
        e.kind = kind;
        e.window = id;
        events_.push_back(e);
    };
    switch (message) {
    case WM_GETOBJECT:
        if (!accessibility_) {
            accessibility_ = std::make_unique<Win32Accessibility>([this](WindowId window) -> void* {
                Window* w = Find(window);
                return w != nullptr ? w->hwnd : nullptr;
            });
        }
        return accessibility_->AnswerGetObject(hwnd, id, wParam, lParam, result);
    case Win32Accessibility::kDefaultActionMessage:
        Win32Accessibility::RunDefaultAction(wParam);
        result = 0;
        return true;
    case WM_NCDESTROY:
        if (accessibility_) accessibility_->WindowDestroyed(hwnd);
        return false; // the window's own handling follows
    case WM_THEMECHANGED:
        queue(PlatformEvent::Kind::ThemeChanged); // ThemeAvailable asks UxTheme afresh each time
        return false;
    case WM_SYSCOLORCHANGE: queue(PlatformEvent::Kind::SystemColorsChanged); return false;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) {
            queue(PlatformEvent::Kind::SystemColorsChanged);
            queue(PlatformEvent::Kind::ThemeChanged);
        }
        return false;
    default: return false;
    }
}

bool Win32Platform::HighContrast() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof(contrast);
    if (!SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0)) return false;
    return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}
