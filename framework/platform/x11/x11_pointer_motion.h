// Pointer motion from the X server (XInput 2 raw motion on the root window), so a timer that only
// watches the pointer can sleep while it rests. Raw motion is selected only while someone sleeps:
// a moving pointer then costs the program nothing beyond its own ticks.
#pragma once

#include "framework/platform/geometry.h"

#include <X11/Xlib.h>

#include <functional>

class X11PointerMotion {
public:
    // Asks the server for XInput 2; without it (library or extension) nothing is reported.
    X11PointerMotion(Display* display, ::Window root);

    bool Available() const { return opcode_ >= 0; }
    // Starts watching for the next motion (`lastSeen`: the pointer as the program last read it, to
    // catch a move made before the watch began), or stops watching when `onMotion` is null.
    void Watch(std::function<void()> onMotion, TPoint lastSeen);
    // Takes a raw motion event; false for every other event.
    bool HandleEvent(const XEvent& event);
    // A watched motion is waiting to be reported.
    bool Pending() const { return pending_ && static_cast<bool>(onMotion_); }
    // Ends the watch and calls the hook, if a motion is waiting.
    void Deliver();

private:
    void Select(bool on);

    Display* display_;
    ::Window root_;
    int opcode_ = -1;
    bool selected_ = false;
    bool pending_ = false;
    std::function<void()> onMotion_;
};
