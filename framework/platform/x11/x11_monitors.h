// The monitors and the desktop's scale as X reports them. Monitors come from RandR 1.5 (which
// includes those set with `xrandr --setmonitor`), else from the outputs' CRTCs, else the whole
// root; the work area from the manager's _NET_WORKAREA. The scale is `Xft.dpi` from the root's
// RESOURCE_MANAGER property, what every desktop toolkit reads; without it, or unreadable, 96.
#pragma once

#include "framework/platform/platform.h"

#include <X11/Xlib.h>

#include <vector>

class X11Monitors {
public:
    // Selects RandR's change notices on the root (the caller selects PropertyChangeMask there).
    X11Monitors(Display* display, ::Window root);

    // Takes a RandR notice, or a root property change of the work area or the resources; true when
    // it was one of those (the caller then tells its windows of the change).
    bool HandleEvent(XEvent& event);
    const std::vector<MonitorInfo>& Monitors() const { return monitors_; }
    std::int32_t Dpi() const { return dpi_; }
    // The primary monitor's size, or the root's where there is no primary.
    TSize PrimarySize() const;
    void Refresh();

    // `Xft.dpi` read from a resource string (the RESOURCE_MANAGER property); 0 when it is absent or
    // not a number.
    static std::int32_t DpiFromResources(const char* resources);

private:
    std::vector<MonitorInfo> ReadRandrMonitors() const;
    std::vector<MonitorInfo> ReadCrtcs() const;
    TRect ReadWorkArea() const;
    std::int32_t ReadDpi() const;

    Display* display_;
    ::Window root_;
    int randrEventBase_ = -1;
    bool randrMonitors_ = false; // RandR 1.5 or later
    Atom resourceManager_;
    Atom netWorkArea_;
    Atom netCurrentDesktop_;
    std::vector<MonitorInfo> monitors_;
    TSize rootSize_;
    std::int32_t dpi_ = 96;
};
