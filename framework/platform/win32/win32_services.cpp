// Smaller services: clipboard, keyboard state, system colours, caret blink time, OEM conversion, the
// visual-theme library, start-up show mode, component-object services and the message box.
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

#include <objbase.h> // CoInitialize, left out by WIN32_LEAN_AND_MEAN

// <windows.h> maps these names onto the ANSI functions; here they are the platform's members.
#undef CharToOem
#undef OemToChar

#include <cstring>

std::optional<std::string> Win32Platform::GetClipboardText() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            // Never read past the block, even when the text lacks its terminator.
            const SIZE_T size = GlobalSize(data);
            text = std::string(chars, strnlen(chars, size));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool Win32Platform::SetClipboardText(const std::string& text) {
    if (!OpenClipboard(nullptr)) return false;
    bool done = false;
    if (EmptyClipboard()) {
        if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            if (char* chars = static_cast<char*>(GlobalLock(block))) {
                std::memcpy(chars, text.c_str(), text.size() + 1);
                GlobalUnlock(block);
                done = SetClipboardData(CF_TEXT, block) != nullptr;
            }
            if (!done) GlobalFree(block); // the clipboard owns the block only once it took it
        }
    }
    CloseClipboard();
    return done;
}

bool Win32Platform::IsKeyDown(std::uint16_t virtualKey) { return GetKeyState(virtualKey) < 0; }

std::uint32_t Win32Platform::GetSysColor(int index) {
    if (index < 0 || index > COLOR_MENUBAR) return 0;
    return ::GetSysColor(index);
}

std::uint32_t Win32Platform::CaretBlinkTime() { return GetCaretBlinkTime(); }

std::string Win32Platform::CharToOem(const std::string& text) {
    std::string out(text.size(), '\0');
    if (!text.empty() && !CharToOemBuffA(text.data(), out.data(), static_cast<DWORD>(text.size())))
        return text;
    return out;
}

std::string Win32Platform::OemToChar(const std::string& text) {
    std::string out(text.size(), '\0');
    if (!text.empty() && !OemToCharBuffA(text.data(), out.data(), static_cast<DWORD>(text.size())))
        return text;
    return out;
}

bool Win32Platform::ThemeAvailable() {
    if (!themeProbed_) {
        // Loaded at run time: the library is missing on older systems, and Lentaro runs without it.
        themeProbed_ = true;
        HMODULE module = LoadLibraryA("UxTheme.dll");
        if (module != nullptr) {
            uxTheme_ = module;
            isThemeActive_ = reinterpret_cast<void*>(GetProcAddress(module, "IsThemeActive"));
            themeComplete_ = isThemeActive_ != nullptr &&
                             GetProcAddress(module, "OpenThemeData") != nullptr &&
                             GetProcAddress(module, "CloseThemeData") != nullptr &&
                             GetProcAddress(module, "DrawThemeBackground") != nullptr &&
                             GetProcAddress(module, "GetThemeBackgroundContentRect") != nullptr;
        }
    }
    if (!themeComplete_) return false;
    using IsThemeActiveFn = BOOL(WINAPI*)();
    return reinterpret_cast<IsThemeActiveFn>(isThemeActive_)() != FALSE;
}

std::uint32_t Win32Platform::StartupShowMode() {
    STARTUPINFOA info{};
    info.cb = sizeof(info);
    GetStartupInfoA(&info);
    return (info.dwFlags & STARTF_USESHOWWINDOW) != 0 ? info.wShowWindow : SW_SHOWNORMAL;
}

bool Win32Platform::InitializeComponentServices() {
    // S_FALSE (already initialised on this thread) also has to be balanced by CoUninitialize.
    const HRESULT result = CoInitialize(nullptr);
    return result == S_OK || result == S_FALSE;
}

void Win32Platform::UninitializeComponentServices() { CoUninitialize(); }

void Win32Platform::WriteDebugLine(const std::string& line) { OutputDebugStringA((line + "\n").c_str()); }

std::optional<int> Win32Platform::ShowMessageBox(WindowId owner, const std::string& text,
                                                 const std::string& caption, std::uint32_t flags) {
    Window* w = Find(owner);
    HWND ownerHandle = w != nullptr ? static_cast<HWND>(w->hwnd) : nullptr;
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    const int chosen = MessageBoxA(ownerHandle, text.c_str(), caption.c_str(), flags);
    if (chosen == 0) return std::nullopt; // no box could be shown: the toolkit reports otherwise
    // The toolkit enables its windows again after the box; activation follows once the one that
    // was active is enabled (or now, if it never was disabled).
    restoreActive_ = active;
    restoreFocus_ = focus;
    if (active != nullptr && IsWindowEnabled(active)) RestoreActivation(active);
    return chosen;
}
