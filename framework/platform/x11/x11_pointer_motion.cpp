#include "framework/platform/x11/x11_pointer_motion.h"

#include <X11/extensions/XInput2.h>

X11PointerMotion::X11PointerMotion(Display* display, ::Window root)
    : display_(display), root_(root), check_(DisplayString(display)) {
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(display_, "XInputExtension", &opcode, &event, &error)) return;
    // Asked for 2.2: from 2.1 on, raw events reach the root window even while another client
    // holds a grab (a drag, another program's menu); a 2.0 client would miss those moves.
    int major = 2, minor = 2;
    if (XIQueryVersion(display_, &major, &minor) != Success || major < 2) return;
    opcode_ = opcode;
}

void X11PointerMotion::Select(bool on) {
    if (on == selected_ || !Available()) return;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) XISetMask(bits, XI_RawMotion);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display_, root_, &mask, 1);
    selected_ = on;
}

std::optional<TPoint> X11PointerMotion::QueryPointer() {
    ::Window rootReturn = 0, child = 0;
    int x = 0, y = 0, winX = 0, winY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(display_, root_, &rootReturn, &child, &x, &y, &winX, &winY, &buttons))
        return std::nullopt;
    return TPoint{x, y};
}

void X11PointerMotion::Watch(std::function<void(PointerMoveSeen)> onMotion, std::uint32_t checkEveryMs,
                             TPoint lastSeen, std::uint64_t nowMs) {
    onMotion_ = std::move(onMotion);
    pending_.reset();
    if (!onMotion_) {
        check_.Stop();
        Select(false);
        XFlush(display_);
        return;
    }
    lastSeen_ = lastSeen;
    checkEveryMs_ = checkEveryMs;
    plainLookDue_ = nowMs + checkEveryMs;
    Select(true);
    // The query is a round trip, so the selection is in force from here on; a move made before it
    // is seen in the position.
    const std::optional<TPoint> now = QueryPointer();
    if (now && *now != lastSeen) {
        pending_ = PointerMoveSeen::Later;
        return;
    }
    if (checkEveryMs > 0) check_.Start(checkEveryMs, lastSeen, nowMs);
}

bool X11PointerMotion::HandleEvent(const XEvent& event) {
    if (!Available() || event.type != GenericEvent || event.xcookie.extension != opcode_) return false;
    if (event.xcookie.evtype == XI_RawMotion && onMotion_) pending_ = PointerMoveSeen::AsItHappened;
    return true;
}

std::optional<std::uint64_t> X11PointerMotion::PlainLookDue() const {
    if (!onMotion_ || pending_ || checkEveryMs_ == 0 || check_.Available()) return std::nullopt;
    return plainLookDue_;
}

void X11PointerMotion::Look(std::uint64_t nowMs) {
    if (!onMotion_ || pending_) return;
    if (check_.Available()) {
        if (check_.ReadReplies(nowMs)) pending_ = PointerMoveSeen::Later;
        return;
    }
    const std::optional<std::uint64_t> due = PlainLookDue();
    if (!due || *due > nowMs) return;
    const std::optional<TPoint> now = QueryPointer();
    if (now && *now != lastSeen_)
        pending_ = PointerMoveSeen::Later;
    else
        plainLookDue_ = nowMs + checkEveryMs_;
}

void X11PointerMotion::Deliver() {
    if (!Pending()) return;
    const std::function<void(PointerMoveSeen)> hook = std::move(onMotion_);
    const PointerMoveSeen seen = *pending_;
    onMotion_ = nullptr;
    pending_.reset();
    // Until the next watch, motion is not wanted: a moving pointer sends many events.
    check_.Stop();
    Select(false);
    hook(seen);
}
