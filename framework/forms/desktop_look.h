// The desktop's look changing while the program runs: a visual style or high contrast switched on
// or off, or the system colours changed. Every control of every form hears of it (WM_THEMECHANGED,
// WM_SYSCOLORCHANGE) and every form repaints with the colours read afresh.
#pragma once

#include "framework/platform/platform.h"

// Tells every form and control of a change the platform reported (ThemeChanged or
// SystemColorsChanged).
void DesktopLookChanged(PlatformEvent::Kind change);
