// What the end-to-end tests and the demo need round a real X server: child processes that die with
// their parent and are ended by PID, an Xvfb server, and a client that paints the root window,
// moves the pointer through XTest, reads pixels and asks windows to close.
#pragma once

#include "framework/platform/pixel_surface.h"

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace e2e {

class ChildProcess {
public:
    ChildProcess() = default;
    // Starts argv[0] (searched on PATH) with extra environment entries "NAME=value".
    // With `quiet`, its standard output and error go to /dev/null.
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                 int keepFd = -1, bool quiet = false);
    ~ChildProcess() { Kill(); }
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    bool Running();
    // Waits for the process to end; its exit code, or nullopt on a timeout or a signal death.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    // Ends the process (SIGTERM, then SIGKILL) and reaps it.
    void Kill();
    // CPU time (user + system) the process has used so far, in seconds; -1 when unknown.
    double CpuSeconds() const;
    // A "Name:  N kB" line of /proc/PID/status or smaps_rollup (VmRSS, RssAnon, Pss); -1 when unknown.
    long MemoryKb(const std::string& procFile, const std::string& field) const;
    long RssKb() const { return MemoryKb("status", "VmRSS"); }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// An Xvfb server on a display number it chose itself (-displayfd), so parallel runs never collide.
class Xvfb {
public:
    explicit Xvfb(const std::string& geometry = "1024x768x24");
    bool Ok() const { return !display_.empty(); }
    const std::string& DisplayName() const { return display_; }
    ChildProcess& Process() { return process_; }

private:
    ChildProcess process_;
    std::string display_;
};

class XClient {
public:
    explicit XClient(const std::string& display);
    ~XClient();
    bool Ok() const { return display_ != nullptr; }
    Display* Get() const { return display_; }
    int Width() const;
    int Height() const;

    // Makes `pixel(x, y)` the root window's background picture.
    void SetRootPicture(const std::function<std::uint32_t(int, int)>& pixel);
    // Paints a rectangle straight onto the root window (where no window covers it).
    void FillRootRect(int x, int y, int w, int h, std::uint32_t rgb);
    void MovePointer(int x, int y);
    void Click(int button);
    void Key(unsigned long keysym);
    // The screen's pixels (0x00RRGGBB) in a rectangle of the root window.
    PixelSurface Grab(int x, int y, int w, int h);
    // A viewable window whose name is `name` (searched through window-manager frames).
    std::optional<Window> FindWindow(const std::string& name);
    // The screen position and size of a window's client area.
    bool ClientGeometry(Window w, int& x, int& y, int& width, int& height);
    Window Parent(Window w);
    // Asks a window to close, as a window manager's close button does.
    void SendDeleteWindow(Window w);
    // The window a manager framed `w` in (its child of the root); `w` itself when it is not framed.
    Window TopLevel(Window w);
    // The screen rectangle of a window, its border included.
    std::optional<TRect> OuterRect(Window w);
    // Asks the window manager to move and resize a window (_NET_MOVERESIZE_WINDOW): the frame's
    // top-left to (x, y), the client area to width x height.
    void RequestMoveResize(Window w, int x, int y, int width, int height);
    // A window property of 32-bit items (CARDINAL, ATOM, ...) of the given type; empty when unset.
    std::vector<long> LongProperty(Window w, const char* name, const char* type);
    // The names of the atoms in an ATOM-list property.
    std::vector<std::string> AtomNames(Window w, const char* name);
    // A key pressed and released with a modifier key held round it (XK_Alt_L, ...).
    void KeyWith(unsigned long modifier, unsigned long keysym);

private:
    Display* display_ = nullptr;
};

// Starts a window manager (argv: "openbox", "icewm" and their options) on the display and waits until
// it frames new windows. An empty process (no PID) with `error` set when it is not installed or does
// not come up.
ChildProcess StartWindowManager(const std::vector<std::string>& argv, const std::string& display,
                                XClient& client, std::string& error);

// Polls `condition` every 20 ms until it holds or the time runs out.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// Writes a PNG file (8-bit RGB, compressed by libpng); false when the file cannot be written.
bool WritePng(const std::string& path, const PixelSurface& image);

} // namespace e2e
