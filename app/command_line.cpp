#include "app/command_line.h"

#include <string_view>

#ifndef LENTARO_VERSION
#error "LENTARO_VERSION must be defined by the build"
#endif

std::string VersionText() { return "Lentaro " LENTARO_VERSION "\n"; }

std::string UsageText() {
    return "Usage: lentaro [OPTION]\n"
           "A screen magnifier: one window shows the screen round the mouse pointer\n"
           "enlarged, with a crosshair on the pointer's place.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "  -V, --version  show the version and exit\n"
           "\n"
           "In the window, \"Zoom Power:\" sets the magnification in percent and\n"
           "\"Crosshair Size:\" the crosshair's size in pixels: type a number, or use\n"
           "the arrow buttons, Up and Down, Page Up and Page Down or the mouse wheel.\n"
           "Tab moves between them; a right click on the view opens the menu that\n"
           "switches the crosshair and its colour; \"Exit\" ends the program.\n";
}

CommandLineRequest ParseCommandLine(int argc, const char* const argv[]) {
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version" || argument == "-V") {
            version = true;
        } else {
            // The first thing not understood is named; nothing is started.
            const bool looksLikeOption = argument.size() > 1 && argument.front() == '-';
            std::string line = "lentaro: ";
            line += looksLikeOption ? "unknown option '" : "unexpected argument '";
            line += argument;
            line += "'; see 'lentaro --help'\n";
            return {false, line, true, 2};
        }
    }
    // Help wins over the version when both are asked for, as usual with such programs.
    if (help) return {false, UsageText(), false, 0};
    if (version) return {false, VersionText(), false, 0};
    return {};
}
