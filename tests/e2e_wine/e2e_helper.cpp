// Windows-side helper for the Wine end-to-end test.
//   lentaro_e2e_helper close [maximized|minimized]
//                                          asks Lentaro's main window to close, the way the system
//                                          does when the user closes it (WM_CLOSE), after checking
//                                          that it is maximised or that the application is minimised
//   lentaro_e2e_helper launch SHOW PROGRAM starts PROGRAM with the show mode SHOW (a number, as a
//                                          shortcut's "Run: Maximized" gives), waits for it and
//                                          returns its exit code
// close: 0 when the request was posted (and the window was in the state asked for), 1 when no
// window was found, 3 when it was found in another state (the request is posted all the same).
// launch: the program's exit code, or 100 when it could not be started.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM found) {
    char className[64] = {};
    char caption[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    GetWindowTextA(hwnd, caption, sizeof caption);
    // The main form is owned by the application's own window, which bears the same caption.
    if (std::strcmp(className, "LentaroWindow") == 0 && std::strcmp(caption, "Lentaro") == 0 &&
        GetWindow(hwnd, GW_OWNER) != nullptr) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

enum class Expect { Anything, Maximized, Minimized };

int Close(Expect expect) {
    HWND target = nullptr;
    EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&target));
    if (target == nullptr) {
        std::fprintf(stderr, "e2e_helper: Lentaro's window was not found\n");
        return 1;
    }
    const HWND application = GetWindow(target, GW_OWNER);
    const bool maximized = IsZoomed(target) != FALSE;
    const bool minimized = IsIconic(application) != FALSE || IsIconic(target) != FALSE;
    const bool shown = IsWindowVisible(target) != FALSE;
    if (expect != Expect::Minimized && !shown) return 1; // not up yet
    if (!PostMessageA(target, WM_CLOSE, 0, 0)) {
        std::fprintf(stderr, "e2e_helper: WM_CLOSE could not be posted\n");
        return 1;
    }
    if ((expect == Expect::Maximized && !maximized) || (expect == Expect::Minimized && !minimized)) {
        std::fprintf(stderr, "e2e_helper: the window is not %s\n",
                     expect == Expect::Maximized ? "maximised" : "minimised");
        return 3;
    }
    return 0;
}

int Launch(WORD showMode, const char* program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showMode;
    PROCESS_INFORMATION process{};
    std::string commandLine = std::string("\"") + program + "\"";
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "e2e_helper: cannot start %s (error %lu)\n", program, GetLastError());
        return 100;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 100;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "close") == 0 && argc <= 3) {
        const char* state = argc == 3 ? argv[2] : "";
        return Close(std::strcmp(state, "maximized") == 0   ? Expect::Maximized
                     : std::strcmp(state, "minimized") == 0 ? Expect::Minimized
                                                            : Expect::Anything);
    }
    if (argc == 4 && std::strcmp(argv[1], "launch") == 0)
        return Launch(static_cast<WORD>(std::atoi(argv[2])), argv[3]);
    std::fprintf(stderr, "usage: lentaro_e2e_helper close [maximized|minimized] | launch SHOW PROGRAM\n");
    return 2;
}
