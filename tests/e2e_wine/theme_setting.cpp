#include "tests/e2e_wine/theme_setting.h"

#include <windows.h>

namespace {
HKEY Key(void* key) { return static_cast<HKEY>(key); }
} // namespace

ThemeSetting::ThemeSetting(bool on) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0,
                        nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    key_ = key;
    Set("ThemeActive", on ? "1" : "0");
    if (!on) return;
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    Set("DllName", std::string(windows) + "\\resources\\themes\\light\\light.msstyles");
    Set("ColorName", "Blue");
    Set("SizeName", "NormalSize");
}

ThemeSetting::~ThemeSetting() {
    if (key_ == nullptr) return;
    for (const Saved& s : saved_) {
        if (s.existed)
            RegSetValueExA(Key(key_), s.name.c_str(), 0, s.type, s.data.data(),
                           static_cast<DWORD>(s.data.size()));
        else
            RegDeleteValueA(Key(key_), s.name.c_str());
    }
    RegCloseKey(Key(key_));
}

bool ThemeSetting::Requested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--theme=on") return true;
    return false;
}

void ThemeSetting::Set(const std::string& name, const std::string& value) {
    Saved s;
    s.name = name;
    DWORD type = REG_SZ;
    DWORD size = 0;
    if (RegQueryValueExA(Key(key_), name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        s.data.resize(size);
        s.existed =
            RegQueryValueExA(Key(key_), name.c_str(), nullptr, &type, s.data.data(), &size) == ERROR_SUCCESS;
    }
    s.type = type;
    saved_.push_back(s);
    RegSetValueExA(Key(key_), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}
