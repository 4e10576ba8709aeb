#include "app/session_check.h"

#include <string_view>

std::string WaylandSessionWarning(const EnvironmentLookup& lookup) {
    const char* display = lookup("WAYLAND_DISPLAY");
    const char* sessionType = lookup("XDG_SESSION_TYPE");
    const bool wayland = (display != nullptr && *display != '\0') ||
                         (sessionType != nullptr && std::string_view(sessionType) == "wayland");
    if (!wayland) return {};
    return "This is a Wayland session: Lentaro cannot read other programs' windows or the pointer "
           "over them, so the view may stay black. Log in with an X11 session (\"on Xorg\" or "
           "\"X11\" at the login screen), or use the desktop's own zoom (its accessibility "
           "settings).";
}
