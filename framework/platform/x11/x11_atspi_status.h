// The C interface of the status watch module (lentaro-atspi-status.so), which asks the session bus
// whether an assistive technology wants the tree. Plain C, so the module needs no C++ runtime.
#pragma once

struct AtspiStatusWatch;

enum AtspiStatusState { kAtspiStatusWanted = 1, kAtspiStatusLost = 2 };

extern "C" {
// Null when there is no session bus; else the watch, with the state now in `state`.
typedef AtspiStatusWatch* (*AtspiStatusOpenFunction)(int* state);
typedef int (*AtspiStatusFdFunction)(AtspiStatusWatch* watch);
// After the descriptor was readable: the state now (`previous` when nothing changed).
typedef int (*AtspiStatusReadFunction)(AtspiStatusWatch* watch, int previous);
typedef void (*AtspiStatusCloseFunction)(AtspiStatusWatch* watch);
}

inline constexpr const char* kAtspiStatusFileName = "lentaro-atspi-status.so";
