// What the program tells its user at start about the desktop session it runs in.
#pragma once

#include <functional>
#include <string>

// Reads an environment variable: its value, or null when it is not set (std::getenv's contract).
using EnvironmentLookup = std::function<const char*(const char*)>;

// In a Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE "wayland") other programs' windows
// and the pointer over them cannot be read through X, so the view would stay black without a word:
// the warning that says so and what to do, or an empty text in any other session.
std::string WaylandSessionWarning(const EnvironmentLookup& lookup);
