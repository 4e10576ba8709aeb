// CreateDefaultPlatform for the X11 build: the display named by DISPLAY.
#include "framework/platform/x11/x11_platform.h"

#include <cstdio>
#include <cstdlib>

std::unique_ptr<Platform> CreateDefaultPlatform() {
    std::string error;
    std::unique_ptr<X11Platform> platform = X11Platform::Open(nullptr, error);
    if (!platform) {
        // Nothing can be shown without a display, not even an error box: say so and stop.
        std::fprintf(stderr, "Lentaro: %s\n", error.c_str());
        std::exit(1);
    }
    return platform;
}

// Started from a terminal, the program prints to it.
bool DefaultPlatformHasNoConsole() { return false; }
