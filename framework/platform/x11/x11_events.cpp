// Translation of X events into the toolkit's platform events, and the wait for the next one.
#include "framework/platform/x11/x11_keys.h"
#include "framework/platform/x11/x11_platform.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <climits>
#include <cstdlib>
#include <malloc.h>
#include <poll.h>

namespace {
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;
} // namespace

bool X11Platform::PeekEvent(PlatformEvent& event) {
    if (pending_.empty()) TranslatePendingEvents();
    motion_.Look(NowMs()); // a warp reports no motion: it is found by looking
    motion_.Deliver();     // may wake a timer that is due at once
    if (!pending_.empty()) {
        event = pending_.front();
        pending_.pop_front();
        return true;
    }
    // Timers only when nothing else is waiting.
    return timers_.TakeDueEvent(NowMs(), event);
}

void X11Platform::WaitForEvent(std::uint32_t timeoutMs) {
    XFlush(display_);
    if (!pending_.empty() || motion_.Pending() || XEventsQueued(display_, QueuedAlready) > 0) return;
    long long wait = timeoutMs == UINT32_MAX ? -1 : static_cast<long long>(timeoutMs);
    for (const std::optional<std::uint64_t> due : {timers_.NextDue(), motion_.PlainLookDue()}) {
        if (!due) continue;
        const std::uint64_t now = NowMs();
        const long long untilDue = *due > now ? static_cast<long long>(*due - now) : 0;
        wait = wait < 0 ? untilDue : std::min(wait, untilDue);
    }
    if (wait != 0 && presented_ && !startupMemoryReleased_) ReleaseStartupMemory();
    // Sleep on the connection, on the pointer check's (whose looks answer by themselves) and on the
    // screen-reader bridge's descriptors: a view at rest wakes only for its timer or a look. A zero
    // wait still looks, so input is read even while timers are overdue.
    int timeout = wait < 0 || wait > INT_MAX ? -1 : static_cast<int>(wait);
    std::vector<pollfd> fds{{ConnectionNumber(display_), POLLIN, 0}};
    if (motion_.CheckDescriptor() >= 0) fds.push_back({motion_.CheckDescriptor(), POLLIN, 0});
    accessibility_->Prepare(fds, timeout);
    const int ready = poll(fds.data(), fds.size(), timeout);
    // Readable, or an error that a read will report.
    if (ready < 0 || (ready > 0 && fds[0].revents != 0)) connectionReadable_ = true;
    accessibility_->Dispatch(fds);
}

void X11Platform::ReleaseStartupMemory() {
    startupMemoryReleased_ = true;
    fonts_.ReleaseResolver();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void X11Platform::TranslatePendingEvents() {
    int queued = XEventsQueued(display_, connectionReadable_ ? QueuedAfterFlush : QueuedAlready);
    connectionReadable_ = false;
    while (pending_.empty() && queued > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        Translate(event);
        queued = XEventsQueued(display_, QueuedAlready);
    }
}

std::uint32_t X11Platform::ShiftFromState(unsigned int state) const {
    std::uint32_t shift = 0;
    if (state & ShiftMask) shift |= kShiftShift;
    if (state & ControlMask) shift |= kShiftCtrl;
    if (state & Mod1Mask) shift |= kShiftAlt;
    if (state & Button1Mask) shift |= kShiftLeft;
    if (state & Button2Mask) shift |= kShiftMiddle;
    if (state & Button3Mask) shift |= kShiftRight;
    return shift;
}

void X11Platform::Translate(XEvent& event) {
    if (motion_.HandleEvent(event)) return;
    if (accessibility_->HandleEvent(event)) return;
    if (clipboard_->HandleEvent(event)) return;
    if (monitors_->HandleEvent(event)) {
        RefreshDisplayGeometry();
        ReportDisplayChange();
        return;
    }
    if (randrEventBase_ >= 0 && event.type == randrEventBase_ + RRScreenChangeNotify) {
        XRRUpdateConfiguration(&event);
        RefreshDisplayGeometry();
        return;
    }
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        keycodesByVk_.clear();
        return;
    }
    if (event.xany.window == root_) {
        if (event.type == ConfigureNotify) RefreshDisplayGeometry();
        return;
    }
    WindowId id = 0;
    TopLevel* w = FindByXid(event.xany.window, &id);
    if (w == nullptr) return;
    PlatformEvent out;
    out.window = id;
    switch (event.type) {
    case Expose:
        Present(*w, Bounds(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height));
        return;
    case ConfigureNotify:
        // Only the latest size and place matter.
        while (XCheckTypedWindowEvent(display_, w->xid, ConfigureNotify, &event)) {
        }
        TranslateConfigure(id, *w, event.xconfigure);
        return;
    case PropertyNotify:
        if (event.xproperty.atom == atoms_.netFrameExtents) UpdateFrameExtents(id, *w);
        return;
    case ClientMessage:
        if (event.xclient.message_type != atoms_.wmProtocols) return;
        if (static_cast<Atom>(event.xclient.data.l[0]) == atoms_.netWmPing) {
            event.xclient.window = root_;
            XSendEvent(display_, root_, False, SubstructureNotifyMask | SubstructureRedirectMask, &event);
            return;
        }
        if (static_cast<Atom>(event.xclient.data.l[0]) == atoms_.wmDelete && w->enabled) {
            out.kind = PlatformEvent::Kind::CloseRequest;
            pending_.push_back(out);
        }
        return;
    case ButtonPress:
    case ButtonRelease:
        if (w->enabled) TranslateButton(id, event.xbutton, event.type == ButtonPress);
        return;
    case MotionNotify:
        if (!w->enabled) return;
        while (XCheckTypedWindowEvent(display_, w->xid, MotionNotify, &event)) {
        }
        out.kind = PlatformEvent::Kind::MouseMove;
        out.position = {event.xmotion.x, event.xmotion.y};
        out.screenPosition = {event.xmotion.x_root, event.xmotion.y_root};
        out.shift = ShiftFromState(event.xmotion.state);
        pending_.push_back(out);
        return;
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyGrab && id == capture_ &&
            event.xcrossing.detail != NotifyInferior) {
            // A grab for another window took the pointer from the one holding the capture. Our own
            // grabs are made on the capture window itself, so this grab is another client's.
            capture_ = 0;
            out.kind = PlatformEvent::Kind::CaptureLost;
            pending_.push_back(out);
            return;
        }
        // Crossings caused by grabs are not the pointer leaving.
        if (event.xcrossing.mode != NotifyNormal || event.xcrossing.detail == NotifyInferior) return;
        out.kind = PlatformEvent::Kind::MouseLeave;
        out.position = {event.xcrossing.x, event.xcrossing.y};
        out.screenPosition = {event.xcrossing.x_root, event.xcrossing.y_root};
        pending_.push_back(out);
        return;
    case KeyPress:
    case KeyRelease:
        if (w->enabled) TranslateKey(id, event.xkey, event.type == KeyPress);
        return;
    case FocusIn:
    case FocusOut:
        // Focus moving inside the window, or to the pointer's window, is no activation.
        if (event.xfocus.detail == NotifyPointer || event.xfocus.detail == NotifyInferior) return;
        if (event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab) return;
        if (event.type == FocusOut) keysHeld_.clear();
        out.kind = event.type == FocusIn ? PlatformEvent::Kind::Activated : PlatformEvent::Kind::Deactivated;
        pending_.push_back(out);
        return;
    default: return;
    }
}

void X11Platform::TranslateConfigure(WindowId id, TopLevel& w, XConfigureEvent& e) {
    // Sent before the server saw our own last resize (the manager reparenting, say): out of date.
    if (e.serial < w.configureSerial) return;
    TPoint client{e.x, e.y};
    if (!e.send_event) {
        // A real event under a reparenting manager is relative to the frame: ask for the screen place.
        ::Window child = 0;
        int x = 0, y = 0;
        if (XTranslateCoordinates(display_, w.xid, root_, 0, 0, &x, &y, &child)) client = {x, y};
    }
    // The X window is at least 1 x 1 even when the client area is empty.
    const bool sizeChanged =
        e.width != std::max(1, w.surface.Width()) || e.height != std::max(1, w.surface.Height());
    if (sizeChanged) ResizeSurface(w, e.width, e.height);
    const FrameMetrics& f = w.frame;
    const TRect outer{client.X - f.left, client.Y - f.top, client.X + w.surface.Width() + f.right,
                      client.Y + w.surface.Height() + f.bottom};
    const bool moved = outer.Left != w.outerBounds.Left || outer.Top != w.outerBounds.Top;
    w.outerBounds = outer;
    PlatformEvent out;
    out.window = id;
    out.outerBounds = outer;
    out.clientSize = {w.surface.Width(), w.surface.Height()};
    if (sizeChanged) {
        out.kind = PlatformEvent::Kind::Resized;
        pending_.push_back(out);
    } else if (moved) {
        out.kind = PlatformEvent::Kind::Moved;
        pending_.push_back(out);
    }
}

void X11Platform::UpdateFrameExtents(WindowId id, TopLevel& w) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, w.xid, atoms_.netFrameExtents, 0, 4, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) != Success ||
        data == nullptr || count != 4 || format != 32) {
        if (data != nullptr) XFree(data);
        return;
    }
    const auto* v = reinterpret_cast<const long*>(data); // left, right, top, bottom
    const FrameMetrics f{static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[2]),
                         static_cast<std::int32_t>(v[1]), static_cast<std::int32_t>(v[3])};
    XFree(data);
    const bool first = !w.frameKnown;
    w.frameKnown = true;
    const FrameMetrics old = w.frame;
    if (f.left == old.left && f.top == old.top && f.right == old.right && f.bottom == old.bottom) return;
    w.frame = f;
    if (w.params.kind != WindowKind::Popup) assumedFrame_ = f;
    PlatformEvent out;
    out.kind = PlatformEvent::Kind::Resized;
    out.window = id;
    if (!first) {
        // The manager changed its frame round a window it manages (maximised, say): the client area
        // stays where and as large as the manager put it; the outer bounds take the new frame.
        const TPoint client{w.outerBounds.Left + old.left, w.outerBounds.Top + old.top};
        w.outerBounds = {client.X - f.left, client.Y - f.top, client.X + w.surface.Width() + f.right,
                         client.Y + w.surface.Height() + f.bottom};
        out.outerBounds = w.outerBounds;
        out.clientSize = {w.surface.Width(), w.surface.Height()};
        pending_.push_back(out);
        return;
    }
    // The first extents: the outer size stays as stored; the client area takes what the frame leaves.
    const std::int32_t cw = std::max(0, w.outerBounds.Width() - f.left - f.right);
    const std::int32_t ch = std::max(0, w.outerBounds.Height() - f.top - f.bottom);
    if (cw == w.surface.Width() && ch == w.surface.Height()) return;
    // Keep what is drawn: if the window is up already, its picture stays while the toolkit catches up.
    // It is copied out, since the surface may be the presenting image, which the new size replaces.
    PixelSurface picture(w.surface.Width(), w.surface.Height());
    raster::Blit(picture, 0, 0, w.surface, picture.Bounds());
    ResizeSurface(w, cw, ch);
    raster::Blit(w.surface, 0, 0, picture, w.surface.Bounds());
    w.configureSerial = NextRequest(display_);
    XResizeWindow(display_, w.xid, static_cast<unsigned>(std::max(1, cw)),
                  static_cast<unsigned>(std::max(1, ch)));
    out.outerBounds = w.outerBounds;
    out.clientSize = {cw, ch};
    pending_.push_back(out);
}

void X11Platform::TranslateButton(WindowId id, const XButtonEvent& e, bool press) {
    PlatformEvent out;
    out.window = id;
    out.position = {e.x, e.y};
    out.screenPosition = {e.x_root, e.y_root};
    out.shift = ShiftFromState(e.state);
    if (e.button == Button4 || e.button == Button5) {
        if (!press) return; // a wheel notch is one press/release pair
        out.kind = PlatformEvent::Kind::MouseWheel;
        out.wheelDelta = e.button == Button4 ? 120 : -120;
        pending_.push_back(out);
        return;
    }
    if (e.button < Button1 || e.button > Button3) return;
    out.button = e.button == Button1   ? PointerButton::Left
                 : e.button == Button2 ? PointerButton::Middle
                                       : PointerButton::Right;
    const std::uint32_t bit = e.button == Button1   ? kShiftLeft
                              : e.button == Button2 ? kShiftMiddle
                                                    : kShiftRight;
    // The state names the buttons before this event; the toolkit expects them after it.
    out.shift = press ? (out.shift | bit) : (out.shift & ~bit);
    if (press) {
        const bool isDouble = !lastPress_.wasDouble && lastPress_.button == e.button &&
                              lastPress_.window == id && e.time - lastPress_.time <= kDoubleClickMs &&
                              std::abs(e.x_root - lastPress_.at.X) <= kDoubleClickSlop &&
                              std::abs(e.y_root - lastPress_.at.Y) <= kDoubleClickSlop;
        if (isDouble) out.shift |= kShiftDouble;
        lastPress_ = {e.button, e.time, {e.x_root, e.y_root}, id, isDouble};
    }
    out.kind = press ? PlatformEvent::Kind::MouseDown : PlatformEvent::Kind::MouseUp;
    pending_.push_back(out);
}

void X11Platform::TranslateKey(WindowId id, XKeyEvent& e, bool press) {
    char text[8] = {};
    KeySym sym = NoSymbol;
    const int length = XLookupString(&e, text, sizeof text, &sym, nullptr);
    // The key's own (unshifted) symbol names it, except on the keypad, where Num Lock decides.
    const KeySym base = XLookupKeysym(&e, 0);
    const bool keypadDigit = (sym >= XK_KP_0 && sym <= XK_KP_9) || sym == XK_KP_Decimal;
    std::uint16_t vk = VirtualKeyFromKeysym(keypadDigit ? sym : base);
    if (vk == 0) vk = VirtualKeyFromKeysym(sym);
    const bool repeat = press && keysHeld_.count(e.keycode) != 0;
    if (press)
        keysHeld_.insert(e.keycode);
    else
        keysHeld_.erase(e.keycode);

    PlatformEvent out;
    out.window = id;
    // The modifiers as this key leaves them (X reports them as they were before it).
    out.shift = ShiftFromState(e.state) & (kShiftShift | kShiftCtrl | kShiftAlt);
    const auto modifier = [&](std::uint32_t bit) { out.shift = press ? out.shift | bit : out.shift & ~bit; };
    if (vk == 0x10 || vk == 0xA0 || vk == 0xA1) modifier(kShiftShift);
    if (vk == 0x11 || vk == 0xA2 || vk == 0xA3) modifier(kShiftCtrl);
    if (vk == 0x12 || vk == 0xA4 || vk == 0xA5) modifier(kShiftAlt);
    out.keyData = 1u | ((e.keycode & 0xFFu) << 16);
    if (repeat) out.keyData |= 1u << 30;
    if (!press) out.keyData |= (1u << 30) | (1u << 31);
    if (vk != 0) {
        out.kind = press ? PlatformEvent::Kind::KeyDown : PlatformEvent::Kind::KeyUp;
        out.virtualKey = vk;
        pending_.push_back(out);
    }
    // XLookupString gives Latin-1 for Latin-1 symbols and control codes for Enter, Tab, Ctrl+letter.
    if (press && length == 1) {
        out.kind = PlatformEvent::Kind::Char;
        out.virtualKey = 0;
        out.character = static_cast<unsigned char>(text[0]);
        pending_.push_back(out);
    }
}

void X11Platform::ReportDisplayChange() {
    for (const auto& [id, window] : windows_) {
        PlatformEvent out;
        out.kind = PlatformEvent::Kind::DisplayChanged;
        out.window = id;
        out.dpi = monitors_->Dpi();
        pending_.push_back(out);
    }
}
