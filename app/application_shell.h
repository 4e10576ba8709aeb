// The process's life: start-up, the message loop, the error box and shutdown.
#pragma once

#include "framework/platform/platform.h"

#include <string>

// Runs Lentaro on `platform` until its main window closes. Always returns 0, the exit code.
// A `startupNotice` is shown in the error box before the main window comes up; then the program
// runs as usual.
int RunLentaro(Platform& platform, const std::string& startupNotice = {});
