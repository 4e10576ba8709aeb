// The process's life: start-up, the message loop, the error box and shutdown.
#pragma once

#include "framework/platform/platform.h"

// Runs Lentaro on `platform` until its main window closes. Always returns 0, the exit code.
int RunLentaro(Platform& platform);
