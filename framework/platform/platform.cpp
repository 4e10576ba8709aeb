#include "framework/platform/platform.h"

#include "framework/platform/monitors.h"

#include <array>

namespace {
Platform* gPlatform = nullptr;

// The classic Windows colour scheme, so drawings are identical on every backend.
constexpr std::array<std::uint32_t, 31> kClassicColors = {
    0xC8D0D4, // 0  COLOR_SCROLLBAR
    0xA56E3A, // 1  COLOR_BACKGROUND
    0x6A240A, // 2  COLOR_ACTIVECAPTION
    0x808080, // 3  COLOR_INACTIVECAPTION
    0xC8D0D4, // 4  COLOR_MENU
    0xFFFFFF, // 5  COLOR_WINDOW
    0x000000, // 6  COLOR_WINDOWFRAME
    0x000000, // 7  COLOR_MENUTEXT
    0x000000, // 8  COLOR_WINDOWTEXT
    0xFFFFFF, // 9  COLOR_CAPTIONTEXT
    0xC8D0D4, // 10 COLOR_ACTIVEBORDER
    0xC8D0D4, // 11 COLOR_INACTIVEBORDER
    0x808080, // 12 COLOR_APPWORKSPACE
    0x6A240A, // 13 COLOR_HIGHLIGHT
    0xFFFFFF, // 14 COLOR_HIGHLIGHTTEXT
    0xC8D0D4, // 15 COLOR_BTNFACE
    0x808080, // 16 COLOR_BTNSHADOW
    0x808080, // 17 COLOR_GRAYTEXT
    0x000000, // 18 COLOR_BTNTEXT
    0xC8D0D4, // 19 COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF, // 20 COLOR_BTNHIGHLIGHT
    0x404040, // 21 COLOR_3DDKSHADOW
    0xC8D0D4, // 22 COLOR_3DLIGHT
    0x000000, // 23 COLOR_INFOTEXT
    0xE1FFFF, // 24 COLOR_INFOBK
    0xB5B5B5, // 25 (unused)
    0x800000, // 26 COLOR_HOTLIGHT
    0xF0CAA6, // 27 COLOR_GRADIENTACTIVECAPTION
    0xC0C0C0, // 28 COLOR_GRADIENTINACTIVECAPTION
    0x6A240A, // 29 COLOR_MENUHILIGHT
    0xC8D0D4, // 30 COLOR_MENUBAR
};
} // namespace

std::uint32_t ClassicSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(kClassicColors.size())) return 0;
    return kClassicColors[static_cast<std::size_t>(index)];
}

std::uint32_t Platform::GetSysColor(int index) { return ClassicSysColor(index); }

Platform& CurrentPlatform() { return *gPlatform; }
void SetCurrentPlatform(Platform* platform) { gPlatform = platform; }
bool HasCurrentPlatform() { return gPlatform != nullptr; }

std::vector<MonitorInfo> Platform::Monitors() {
    const TSize size = PrimaryDisplaySize();
    const TRect bounds{0, 0, size.cx, size.cy};
    if (bounds.IsEmpty()) return {};
    return {MonitorInfo{bounds, bounds, true, kDefaultDpi}};
}

std::int32_t Platform::WindowDpi(WindowId /*window*/) { return kDefaultDpi; }
