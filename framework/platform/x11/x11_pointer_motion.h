// Pointer motion from the X server (XInput 2 raw motion on the root window), so a timer that only
// watches the pointer can sleep while it rests. Raw motion is selected only while someone sleeps:
// a moving pointer then costs the program nothing beyond its own ticks. Warps report no raw motion,
// so while watching the pointer is also looked at every check period: through X11PointerCheck's
// private connection where the server has SYNC, else by a plain query when the period comes round.
#pragma once

#include "framework/platform/geometry.h"
#include "framework/platform/platform.h"
#include "framework/platform/x11/x11_pointer_check.h"

#include <X11/Xlib.h>

#include <functional>
#include <optional>

class X11PointerMotion {
public:
    // Asks the server for XInput 2; without it (library or extension) nothing is reported.
    X11PointerMotion(Display* display, ::Window root);

    bool Available() const { return opcode_ >= 0; }
    // Starts watching for the next motion (`lastSeen`: the pointer as the program last read it, to
    // catch a move made before the watch began; `checkEveryMs`: how often to look for a warp), or
    // stops watching when `onMotion` is null.
    void Watch(std::function<void(PointerMoveSeen)> onMotion, std::uint32_t checkEveryMs, TPoint lastSeen,
               std::uint64_t nowMs);
    // Takes a raw motion event; false for every other event.
    bool HandleEvent(const XEvent& event);
    // A watched motion is waiting to be reported.
    bool Pending() const { return pending_.has_value() && static_cast<bool>(onMotion_); }
    // Ends the watch and calls the hook, if a motion is waiting.
    void Deliver();

    // The private connection to wait on beside the program's, or -1.
    int CheckDescriptor() const { return check_.WaitDescriptor(); }
    // After the wait: reads the private connection's replies, or makes the plain look if it is due.
    void Look(std::uint64_t nowMs);
    // When the plain look is next due (none while the private connection does the looking).
    std::optional<std::uint64_t> PlainLookDue() const;

private:
    void Select(bool on);
    std::optional<TPoint> QueryPointer();

    Display* display_;
    ::Window root_;
    int opcode_ = -1;
    bool selected_ = false;
    std::optional<PointerMoveSeen> pending_;
    std::function<void(PointerMoveSeen)> onMotion_;
    X11PointerCheck check_;
    TPoint lastSeen_{};
    std::uint32_t checkEveryMs_ = 0;
    std::uint64_t plainLookDue_ = 0;
};
