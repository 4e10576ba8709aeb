// Process entry. The program takes no arguments; whatever happens, the exit code is 0.
#include "app/application_shell.h"

#include <cstdio>

int main() {
    std::unique_ptr<Platform> platform = CreateDefaultPlatform();
    if (platform->Name() == "headless") {
        std::fputs("Lentaro: this build has no desktop backend yet; running on the headless backend\n"
                   "(a synthetic screen and a scripted pointer, no window is shown).\n",
                   stdout);
    }
    return RunLentaro(*platform);
}
