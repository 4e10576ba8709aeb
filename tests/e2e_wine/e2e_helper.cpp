// Windows-side helper for the Wine end-to-end test.
//   lentaro_e2e_helper close [maximized|minimized]
//                                          asks Lentaro's main window to close, the way the system
//                                          does when the user closes it (WM_CLOSE), after checking
//                                          that it is maximised or that the application is minimised
//   lentaro_e2e_helper launch SHOW PROGRAM starts PROGRAM with the show mode SHOW (a number, as a
//                                          shortcut's "Run: Maximized" gives), waits for it and
//                                          returns its exit code
//   lentaro_e2e_helper place X Y W H       moves and sizes the main window from outside (MoveWindow)
//   lentaro_e2e_helper maximize|restore    maximises or restores it (ShowWindow)
//   lentaro_e2e_helper geometry            only reports where it is
// close: 0 when the request was posted (and the window was in the state asked for), 1 when no
// window was found, 3 when it was found in another state (the request is posted all the same).
// launch: the program's exit code, or 100 when it could not be started.
// place, maximize, restore and geometry print "window X Y W H client X Y W H" (screen coordinates)
// once done; 0 when done, 1 when no window was found, 3 when a maximised window was asked for and
// the window is not maximised.
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

HWND MainWindow() {
    HWND target = nullptr;
    EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&target));
    if (target == nullptr) std::fprintf(stderr, "e2e_helper: Lentaro's window was not found\n");
    return target;
}

enum class Expect { Anything, Maximized, Minimized };

int Close(Expect expect) {
    const HWND target = MainWindow();
    if (target == nullptr) return 1;
    const HWND application = GetWindow(target, GW_OWNER);
    const bool maximized = IsZoomed(target) != FALSE;
    const bool minimized = IsIconic(application) != FALSE || IsIconic(target) != FALSE;
    const bool shown = IsWindowVisible(target) != FALSE;
    // Not up yet: the window exists hidden from its creation until the program shows it (minimised,
    // when asked so).
    if (!shown && !(expect == Expect::Minimized && minimized)) return 1;
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

// Changes the main window's place or state the way another program or the system would; the
// window's thread has handled the change when the call returns.
int Reshape(const std::string& how, char** numbers) {
    const HWND target = MainWindow();
    if (target == nullptr) return 1;
    if (how == "place") {
        MoveWindow(target, std::atoi(numbers[0]), std::atoi(numbers[1]), std::atoi(numbers[2]),
                   std::atoi(numbers[3]), TRUE);
    } else if (how == "maximize" || how == "restore") {
        ShowWindow(target, how == "maximize" ? SW_MAXIMIZE : SW_RESTORE);
    }
    RECT outer{};
    RECT client{};
    GetWindowRect(target, &outer);
    GetClientRect(target, &client);
    POINT origin{0, 0};
    ClientToScreen(target, &origin);
    std::printf("window %ld %ld %ld %ld client %ld %ld %ld %ld\n", outer.left, outer.top,
                outer.right - outer.left, outer.bottom - outer.top, origin.x, origin.y, client.right,
                client.bottom);
    if (how == "maximize" && !IsZoomed(target)) {
        std::fprintf(stderr, "e2e_helper: the window is not maximised\n");
        return 3;
    }
    return 0;
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
    if (argc == 6 && std::strcmp(argv[1], "place") == 0) return Reshape(argv[1], argv + 2);
    if (argc == 2 && (std::strcmp(argv[1], "maximize") == 0 || std::strcmp(argv[1], "restore") == 0 ||
                      std::strcmp(argv[1], "geometry") == 0))
        return Reshape(argv[1], nullptr);
    std::fprintf(stderr, "usage: lentaro_e2e_helper close [maximized|minimized] | launch SHOW PROGRAM |\n"
                         "       place X Y W H | maximize | restore | geometry\n");
    return 2;
}
