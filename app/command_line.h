// The program's command line, read before any window system is opened: --help and --version print
// their text and end the program, anything else unknown is refused, no option starts the magnifier.
#pragma once

#include <string>

struct CommandLineRequest {
    bool run = true;      // false: print `text` and end with `exitCode`
    std::string text;     // ends in a newline
    bool isError = false; // the text goes to standard error
    int exitCode = 0;
};

// argv[0] is the program; argv[1 .. argc-1] are the arguments.
CommandLineRequest ParseCommandLine(int argc, const char* const argv[]);

// "Lentaro" and the project's version, for --version.
std::string VersionText();
// The short usage that --help prints.
std::string UsageText();
