// A small MSAA client, run as a process of its own beside lentaro.exe as a screen reader would be:
// it finds the main window, asks it for its client object (AccessibleObjectFromWindow) and prints
// or acts on what it finds. The end-to-end script compares the output.
//
//   msaa_client tree              one line for the client object, then one per child
//   msaa_client focus             the focused child's name
//   msaa_client set-value NAME TEXT   put_accValue on the child named NAME
//   msaa_client press NAME        accDoDefaultAction on it; then waits for the window to go and
//                                 calls the object again, which must fail without harm
//   msaa_client hostile           calls with child ids out of range and of the wrong type
//   msaa_client caret             the caret object's role and location
//   msaa_client events SECONDS    prints the program's focus, value and caret events meanwhile
//   msaa_client menu              right-clicks the view, prints the pop-up menu's tree as its own
//                                 window gives it, then closes it with Escape
//   msaa_client high-contrast on|off   switches the desktop's high contrast (and its black scheme
//                                 of system colours) as the desktop's settings do
//   msaa_client theme on|off      sets the visual style in the registry and tells every window
//
// Exit codes: 0 done, 1 no window or no object, 2 the call failed, 3 unexpected answer.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace {

// MinGW's IID_IAccessible is oleacc.dll's data export and reads as garbage without dllimport.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

HWND gWindow = nullptr;

BOOL CALLBACK FindMain(HWND hwnd, LPARAM) {
    char className[64] = {};
    char caption[64] = {};
    GetClassNameA(hwnd, className, sizeof(className));
    GetWindowTextA(hwnd, caption, sizeof(caption));
    if (std::strcmp(className, "LentaroWindow") == 0 && std::strcmp(caption, "Lentaro") == 0 &&
        IsWindowVisible(hwnd)) {
        gWindow = hwnd;
        return FALSE;
    }
    return TRUE;
}

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string Narrow(BSTR text) {
    if (text == nullptr) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    SysFreeString(text);
    return narrow;
}

template <typename Getter> std::string Text(IAccessible* object, long id, Getter get) {
    BSTR text = nullptr;
    if (FAILED((object->*get)(Child(id), &text))) return "<error>";
    return Narrow(text);
}

std::string RoleText(long role) {
    switch (role) {
    case ROLE_SYSTEM_CLIENT: return "client";
    case ROLE_SYSTEM_STATICTEXT: return "text";
    case ROLE_SYSTEM_TEXT: return "editable";
    case ROLE_SYSTEM_SPINBUTTON: return "spin";
    case ROLE_SYSTEM_PUSHBUTTON: return "button";
    case ROLE_SYSTEM_GRAPHIC: return "graphic";
    case ROLE_SYSTEM_CARET: return "caret";
    case ROLE_SYSTEM_MENUPOPUP: return "menu";
    case ROLE_SYSTEM_MENUITEM: return "menuitem";
    default: return std::to_string(role);
    }
}

std::string StateText(long state) {
    struct Bit {
        long bit;
        const char* name;
    };
    static constexpr Bit kBits[] = {
        {STATE_SYSTEM_FOCUSABLE, "focusable"}, {STATE_SYSTEM_FOCUSED, "focused"},
        {STATE_SYSTEM_READONLY, "readonly"},   {STATE_SYSTEM_UNAVAILABLE, "unavailable"},
        {STATE_SYSTEM_INVISIBLE, "invisible"}, {STATE_SYSTEM_DEFAULT, "default"},
        {STATE_SYSTEM_CHECKED, "checked"}};
    std::string text;
    for (const Bit& b : kBits)
        if (state & b.bit) text += (text.empty() ? "" : ",") + std::string(b.name);
    return text.empty() ? "-" : text;
}

long Long(IAccessible* object, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
    VARIANT v;
    VariantInit(&v);
    if (FAILED((object->*get)(Child(id), &v)) || v.vt != VT_I4) return -1;
    return v.lVal;
}

void PrintNode(IAccessible* object, long id) {
    long x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, Child(id));
    std::printf("%s role=%s state=%s name='%s' value='%s' shortcut='%s' action='%s' at=%ld,%ld,%ld,%ld\n",
                id == CHILDID_SELF ? "client" : ("child " + std::to_string(id)).c_str(),
                RoleText(Long(object, id, &IAccessible::get_accRole)).c_str(),
                StateText(Long(object, id, &IAccessible::get_accState)).c_str(),
                Text(object, id, &IAccessible::get_accName).c_str(),
                Text(object, id, &IAccessible::get_accValue).c_str(),
                Text(object, id, &IAccessible::get_accKeyboardShortcut).c_str(),
                Text(object, id, &IAccessible::get_accDefaultAction).c_str(), x, y, w, h);
}

long ChildNamed(IAccessible* object, const std::string& name) {
    long count = 0;
    object->get_accChildCount(&count);
    for (long id = 1; id <= count; ++id)
        if (Text(object, id, &IAccessible::get_accName) == name) return id;
    return 0;
}

int Tree(IAccessible* object) {
    long count = 0;
    if (FAILED(object->get_accChildCount(&count))) return 2;
    PrintNode(object, CHILDID_SELF);
    std::printf("children %ld\n", count);
    for (long id = 1; id <= count; ++id) PrintNode(object, id);
    // The children as AccessibleChildren hands them out (simple elements: VT_I4 ids).
    VARIANT children[16];
    LONG obtained = 0;
    if (SUCCEEDED(AccessibleChildren(object, 0, 16, children, &obtained))) {
        std::printf("accessible-children");
        for (LONG i = 0; i < obtained; ++i)
            std::printf(" %s", children[i].vt == VT_I4 ? std::to_string(children[i].lVal).c_str() : "object");
        std::printf("\n");
    }
    return 0;
}

int Focus(IAccessible* object) {
    VARIANT v;
    VariantInit(&v);
    if (FAILED(object->get_accFocus(&v))) return 2;
    if (v.vt != VT_I4) {
        std::printf("focus none\n");
        return 3;
    }
    std::printf("focus '%s'\n", Text(object, v.lVal, &IAccessible::get_accName).c_str());
    return 0;
}

int SetValue(IAccessible* object, const char* name, const char* text) {
    const long id = ChildNamed(object, name);
    if (id == 0) return 3;
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    BSTR value = SysAllocString(wide.c_str());
    const HRESULT hr = object->put_accValue(Child(id), value);
    SysFreeString(value);
    std::printf("put_accValue '%s' hr=0x%08lx value now '%s'\n", text, static_cast<unsigned long>(hr),
                Text(object, id, &IAccessible::get_accValue).c_str());
    return SUCCEEDED(hr) ? 0 : 2;
}

int Press(IAccessible* object, const char* name) {
    const long id = ChildNamed(object, name);
    if (id == 0) return 3;
    const HRESULT hr = object->accDoDefaultAction(Child(id));
    std::printf("accDoDefaultAction hr=0x%08lx\n", static_cast<unsigned long>(hr));
    if (FAILED(hr)) return 2;
    // The program ends; the object this client still holds must then answer with errors.
    for (int i = 0; i < 300 && IsWindow(gWindow); ++i) Sleep(100);
    if (IsWindow(gWindow)) return 3;
    long count = 0;
    const HRESULT after = object->get_accChildCount(&count);
    BSTR text = nullptr;
    const HRESULT name2 = object->get_accName(Child(CHILDID_SELF), &text);
    if (text != nullptr) SysFreeString(text);
    std::printf("after the window went: get_accChildCount hr=0x%08lx get_accName hr=0x%08lx\n",
                static_cast<unsigned long>(after), static_cast<unsigned long>(name2));
    return FAILED(after) && FAILED(name2) ? 0 : 3;
}

int Hostile(IAccessible* object) {
    long count = 0;
    object->get_accChildCount(&count);
    int bad = 0;
    const long ids[] = {count + 1, 9999, -5, 0x7fffffff};
    for (long id : ids) {
        BSTR text = nullptr;
        const HRESULT hr = object->get_accName(Child(id), &text);
        std::printf("get_accName(%ld) hr=0x%08lx\n", id, static_cast<unsigned long>(hr));
        if (hr != E_INVALIDARG) ++bad;
        const HRESULT action = object->accDoDefaultAction(Child(id));
        if (action != E_INVALIDARG) ++bad;
    }
    VARIANT wrongType;
    VariantInit(&wrongType);
    wrongType.vt = VT_BSTR;
    wrongType.bstrVal = nullptr;
    BSTR text = nullptr;
    const HRESULT hr = object->get_accName(wrongType, &text);
    std::printf("get_accName(VT_BSTR) hr=0x%08lx\n", static_cast<unsigned long>(hr));
    if (hr != E_INVALIDARG) ++bad;
    // Text the edit refuses when typed is refused through the value too.
    const long zoom = ChildNamed(object, "Zoom Power");
    BSTR letters = SysAllocString(L"12a");
    const HRESULT refused = object->put_accValue(Child(zoom), letters);
    SysFreeString(letters);
    std::printf("put_accValue '12a' hr=0x%08lx value '%s'\n", static_cast<unsigned long>(refused),
                Text(object, zoom, &IAccessible::get_accValue).c_str());
    if (SUCCEEDED(refused)) ++bad;
    return bad == 0 ? 0 : 3;
}

int Caret() {
    IAccessible* caret = nullptr;
    if (FAILED(AccessibleObjectFromWindow(gWindow, static_cast<DWORD>(OBJID_CARET), kIidAccessible,
                                          reinterpret_cast<void**>(&caret))) ||
        caret == nullptr)
        return 1;
    long x = 0, y = 0, w = 0, h = 0;
    const HRESULT hr = caret->accLocation(&x, &y, &w, &h, Child(CHILDID_SELF));
    std::printf("caret role=%s hr=0x%08lx at=%ld,%ld,%ld,%ld\n",
                RoleText(Long(caret, CHILDID_SELF, &IAccessible::get_accRole)).c_str(),
                static_cast<unsigned long>(hr), x, y, w, h);
    caret->Release();
    return hr == S_OK ? 0 : 2;
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    const char* name = event == EVENT_OBJECT_FOCUS            ? "focus"
                       : event == EVENT_OBJECT_VALUECHANGE    ? "value"
                       : event == EVENT_OBJECT_LOCATIONCHANGE ? "location"
                       : event == EVENT_SYSTEM_MENUPOPUPSTART ? "menu-start"
                       : event == EVENT_SYSTEM_MENUPOPUPEND   ? "menu-end"
                                                              : nullptr;
    if (name == nullptr) return;
    std::string target = "?";
    IAccessible* source = nullptr;
    VARIANT v;
    VariantInit(&v);
    if (object == OBJID_CARET) {
        target = "caret";
    } else if (SUCCEEDED(AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object),
                                                   static_cast<DWORD>(child), &source, &v)) &&
               source != nullptr) {
        BSTR text = nullptr;
        if (SUCCEEDED(source->get_accName(v, &text))) target = Narrow(text);
        source->Release();
    }
    std::printf("event %s object=%ld child=%ld '%s'\n", name, static_cast<long>(object),
                static_cast<long>(child), target.c_str());
    std::fflush(stdout);
}

int Events(int seconds) {
    DWORD process = 0;
    GetWindowThreadProcessId(gWindow, &process);
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnEvent, process, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return 2;
    std::printf("listening\n");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    UnhookWinEvent(hook);
    return 0;
}

HWND gPopup = nullptr;

BOOL CALLBACK FindPopup(HWND hwnd, LPARAM process) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof(className));
    if (owner == static_cast<DWORD>(process) && std::strcmp(className, "LentaroWindow") == 0 &&
        IsWindowVisible(hwnd) && (GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP) != 0 && hwnd != gWindow) {
        gPopup = hwnd;
        return FALSE;
    }
    return TRUE;
}

int Menu() {
    DWORD process = 0;
    GetWindowThreadProcessId(gWindow, &process);
    // A right click in the view, as the window procedure gets it.
    const LPARAM at = MAKELPARAM(60, 60);
    PostMessageA(gWindow, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(gWindow, WM_RBUTTONUP, 0, at);
    for (int i = 0; i < 50 && gPopup == nullptr; ++i) {
        Sleep(100);
        EnumWindows(FindPopup, static_cast<LPARAM>(process));
    }
    if (gPopup == nullptr) {
        std::printf("no pop-up menu\n");
        return 3;
    }
    IAccessible* menu = nullptr;
    if (FAILED(AccessibleObjectFromWindow(gPopup, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&menu))) ||
        menu == nullptr)
        return 1;
    const int rc = Tree(menu);
    menu->Release();
    PostMessageA(gPopup, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 50 && IsWindowVisible(gPopup); ++i) Sleep(100);
    std::printf("menu %s\n", IsWindowVisible(gPopup) ? "still open" : "closed");
    return rc;
}

// Switches high contrast with a black scheme, telling every window as the desktop's settings do.
int HighContrast(bool on) {
    static const int kElements[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,    COLOR_BTNFACE,
                                    COLOR_BTNTEXT,   COLOR_3DLIGHT,       COLOR_3DSHADOW,
                                    COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT};
    static const COLORREF kBlackScheme[] = {RGB(0, 0, 0),       RGB(255, 255, 255), RGB(0, 0, 0),
                                            RGB(255, 255, 255), RGB(255, 255, 255), RGB(128, 128, 128),
                                            RGB(0, 255, 255),   RGB(0, 0, 0),       RGB(0, 255, 0)};
    static const COLORREF kClassic[] = {RGB(255, 255, 255), RGB(0, 0, 0),       RGB(192, 192, 192),
                                        RGB(0, 0, 0),       RGB(223, 223, 223), RGB(128, 128, 128),
                                        RGB(0, 0, 128),     RGB(255, 255, 255), RGB(128, 128, 128)};
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof(contrast);
    contrast.dwFlags = on ? HCF_HIGHCONTRASTON : 0;
    const BOOL set = SystemParametersInfoA(SPI_SETHIGHCONTRAST, sizeof(contrast), &contrast,
                                           SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    SetSysColors(static_cast<int>(std::size(kElements)), kElements, on ? kBlackScheme : kClassic);
    HIGHCONTRASTA now{};
    now.cbSize = sizeof(now);
    SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(now), &now, 0);
    std::printf("SPI_SETHIGHCONTRAST %s, now %s\n", set ? "done" : "refused",
                (now.dwFlags & HCF_HIGHCONTRASTON) ? "on" : "off");
    // Where the setting did not send it, the change is told as the desktop would.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG, 2000,
                        &ignored);
    return ((now.dwFlags & HCF_HIGHCONTRASTON) != 0) == on ? 0 : 2;
}

int Theme(bool on) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 2;
    const char* active = on ? "1" : "0";
    RegSetValueExA(key, "ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>(active), 2);
    RegCloseKey(key);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_THEMECHANGED, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: msaa_client tree|focus|set-value NAME TEXT|press NAME|hostile|caret|events S\n");
        return 3;
    }
    CoInitialize(nullptr);
    for (int i = 0; i < 100 && gWindow == nullptr; ++i) {
        EnumWindows(FindMain, 0);
        if (gWindow == nullptr) Sleep(100);
    }
    if (gWindow == nullptr) {
        std::printf("no Lentaro window\n");
        return 1;
    }
    const std::string command = argv[1];
    int rc = 3;
    if (command == "high-contrast" && argc == 3) {
        rc = HighContrast(std::strcmp(argv[2], "on") == 0);
    } else if (command == "theme" && argc == 3) {
        rc = Theme(std::strcmp(argv[2], "on") == 0);
    } else if (command == "menu") {
        rc = Menu();
    } else if (command == "caret") {
        rc = Caret();
    } else if (command == "events" && argc == 3) {
        rc = Events(std::atoi(argv[2]));
    } else {
        IAccessible* object = nullptr;
        const HRESULT hr = AccessibleObjectFromWindow(gWindow, static_cast<DWORD>(OBJID_CLIENT),
                                                      kIidAccessible, reinterpret_cast<void**>(&object));
        if (FAILED(hr) || object == nullptr) {
            std::printf("AccessibleObjectFromWindow hr=0x%08lx\n", static_cast<unsigned long>(hr));
            return 1;
        }
        if (command == "tree")
            rc = Tree(object);
        else if (command == "focus")
            rc = Focus(object);
        else if (command == "set-value" && argc == 4)
            rc = SetValue(object, argv[2], argv[3]);
        else if (command == "press" && argc == 3)
            rc = Press(object, argv[2]);
        else if (command == "hostile")
            rc = Hostile(object);
        object->Release();
    }
    std::fflush(stdout);
    CoUninitialize();
    return rc;
}
