// Process entry. The command line is read before any window system is opened, so --help and
// --version work without a display; otherwise, whatever happens, the exit code is 0.
#include "app/application_shell.h"
#include "app/command_line.h"
#include "app/session_check.h"
#include "app/window_icon_data.h"
#include "framework/platform/icon_image.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::uint32_t kMessageBoxOk = 0x00;
constexpr std::uint32_t kMessageBoxIconStop = 0x10;
constexpr std::uint32_t kMessageBoxIconInformation = 0x40;

// Prints what an option asked for; where programs have no console, shows it in a box as well.
void ShowCommandLineText(const CommandLineRequest& request) {
    std::fputs(request.text.c_str(), request.isError ? stderr : stdout);
    std::fflush(request.isError ? stderr : stdout);
    if (!DefaultPlatformHasNoConsole()) return;
    std::unique_ptr<Platform> platform = CreateDefaultPlatform();
    std::string text = request.text;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    platform->ShowMessageBox(0, text, "Lentaro",
                             kMessageBoxOk |
                                 (request.isError ? kMessageBoxIconStop : kMessageBoxIconInformation));
}

} // namespace

int main(int argc, char* argv[]) {
    const CommandLineRequest request = ParseCommandLine(argc, argv);
    if (!request.run) {
        ShowCommandLineText(request);
        return request.exitCode;
    }
    const std::string sessionWarning =
        WaylandSessionWarning([](const char* name) { return std::getenv(name); });
    if (!sessionWarning.empty()) std::fprintf(stderr, "Lentaro: %s\n", sessionWarning.c_str());

    std::unique_ptr<Platform> platform = CreateDefaultPlatform();
    if (platform->Name() == "headless") {
        std::fputs("Lentaro: this build has no desktop backend yet; running on the headless backend\n"
                   "(a synthetic screen and a scripted pointer, no window is shown).\n",
                   stdout);
        return RunLentaro(*platform);
    }
    platform->SetWindowIcon(ParseIconImages(LentaroWindowIconData()));
    return RunLentaro(*platform, sessionWarning);
}
