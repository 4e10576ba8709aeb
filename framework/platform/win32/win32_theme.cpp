// Visual-theme drawing through UxTheme.dll, which is loaded at run time (ThemeAvailable) and never
// linked: the program runs, unthemed, where the library is missing. Theme data is opened per call,
// so a theme changed while the program runs is followed at once.
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

#include <string>

namespace {

// The UxTheme functions used here; a theme handle (HTHEME) is a HANDLE.
using OpenThemeDataFn = HANDLE(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataFn = HRESULT(WINAPI*)(HANDLE);
using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
using GetThemeBackgroundContentRectFn = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, RECT*);

template <class Fn> Fn ThemeFunction(void* module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name)));
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

RECT ToRECT(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

} // namespace

void* Win32Platform::OpenTheme(const std::string& themeClass) {
    if (!ThemeAvailable()) return nullptr;
    const std::wstring classList = Widen(themeClass);
    if (classList.empty()) return nullptr;
    Window* app = Find(appWindow_);
    HWND owner = app != nullptr ? static_cast<HWND>(app->hwnd) : nullptr;
    return ThemeFunction<OpenThemeDataFn>(uxTheme_, "OpenThemeData")(owner, classList.c_str());
}

void Win32Platform::CloseTheme(void* theme) {
    if (theme != nullptr) ThemeFunction<CloseThemeDataFn>(uxTheme_, "CloseThemeData")(theme);
}

bool Win32Platform::DrawThemePart(PixelSurface& dest, const TRect& rect, const TRect& clip,
                                  const std::string& themeClass, int part, int state) {
    void* theme = OpenTheme(themeClass);
    if (theme == nullptr) return false;
    // Parts may be partly transparent: they are drawn over the surface's own pixels, on its DIB or
    // on a copy of the area, and only the part of rect inside clip comes back.
    const TRect area = rect.Intersect(clip).Intersect(dest.Bounds());
    const auto draw = ThemeFunction<DrawThemeBackgroundFn>(uxTheme_, "DrawThemeBackground");
    const bool drawn = DrawWithGdi(dest, OwnSurface(dest), area, [&](void* dc) {
        const RECT bounds = ToRECT(rect);
        const RECT clipRect = ToRECT(area);
        return SUCCEEDED(draw(theme, static_cast<HDC>(dc), part, state, &bounds, &clipRect));
    });
    CloseTheme(theme);
    return drawn;
}

std::optional<TRect> Win32Platform::ThemePartContentRect(const std::string& themeClass, int part, int state,
                                                         const TRect& rect) {
    HDC dc = static_cast<HDC>(MeasureDc());
    if (dc == nullptr) return std::nullopt;
    void* theme = OpenTheme(themeClass);
    if (theme == nullptr) return std::nullopt;
    const RECT bounds = ToRECT(rect);
    RECT content{};
    const HRESULT result = ThemeFunction<GetThemeBackgroundContentRectFn>(
        uxTheme_, "GetThemeBackgroundContentRect")(theme, dc, part, state, &bounds, &content);
    CloseTheme(theme);
    if (FAILED(result)) return std::nullopt;
    return TRect{content.left, content.top, content.right, content.bottom};
}
