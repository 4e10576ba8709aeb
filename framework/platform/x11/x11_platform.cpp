#include "framework/platform/x11/x11_platform.h"

#include "framework/platform/latin1_text.h"
#include "framework/platform/x11/x11_keys.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status. Without the "all" bit, the
// functions and decorations are lists of what the window has.
constexpr long kMwmHintsFunctions = 1L << 0;
constexpr long kMwmHintsDecorations = 1L << 1;
constexpr long kMwmFuncResize = 1L << 1;
constexpr long kMwmFuncMove = 1L << 2;
constexpr long kMwmDecorBorder = 1L << 1;
constexpr long kMwmDecorResizeHandle = 1L << 2;
constexpr long kMwmDecorTitle = 1L << 3;

Atom Intern(Display* d, const char* name) { return XInternAtom(d, name, False); }

} // namespace

std::unique_ptr<X11Platform> X11Platform::Open(const char* displayName, std::string& error) {
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) {
        const char* name = displayName != nullptr ? displayName : std::getenv("DISPLAY");
        error = std::string("cannot open the X display \"") + (name != nullptr ? name : "") +
                "\" (is DISPLAY set and the server running?)";
        return nullptr;
    }
    return std::unique_ptr<X11Platform>(new X11Platform(display));
}

X11Platform::X11Platform(Display* display)
    : display_(display), screen_(DefaultScreen(display)), root_(RootWindow(display, screen_)),
      visual_(DefaultVisual(display, screen_)), depth_(DefaultDepth(display, screen_)),
      motion_(display, root_), pointerShapes_(display) {
    x11_errors::Install();
    atoms_.wmProtocols = Intern(display_, "WM_PROTOCOLS");
    atoms_.wmDelete = Intern(display_, "WM_DELETE_WINDOW");
    atoms_.netWmPing = Intern(display_, "_NET_WM_PING");
    atoms_.netWmName = Intern(display_, "_NET_WM_NAME");
    atoms_.utf8String = Intern(display_, "UTF8_STRING");
    atoms_.netFrameExtents = Intern(display_, "_NET_FRAME_EXTENTS");
    atoms_.netRequestFrameExtents = Intern(display_, "_NET_REQUEST_FRAME_EXTENTS");
    atoms_.netWmState = Intern(display_, "_NET_WM_STATE");
    atoms_.netWmStateMaxVert = Intern(display_, "_NET_WM_STATE_MAXIMIZED_VERT");
    atoms_.netWmStateMaxHorz = Intern(display_, "_NET_WM_STATE_MAXIMIZED_HORZ");
    atoms_.netWmWindowType = Intern(display_, "_NET_WM_WINDOW_TYPE");
    atoms_.netWmTypeNormal = Intern(display_, "_NET_WM_WINDOW_TYPE_NORMAL");
    atoms_.netWmTypeDialog = Intern(display_, "_NET_WM_WINDOW_TYPE_DIALOG");
    atoms_.netWmTypePopup = Intern(display_, "_NET_WM_WINDOW_TYPE_POPUP_MENU");
    atoms_.motifWmHints = Intern(display_, "_MOTIF_WM_HINTS");
    atoms_.netSupportingWmCheck = Intern(display_, "_NET_SUPPORTING_WM_CHECK");
    atoms_.netWmPid = Intern(display_, "_NET_WM_PID");

    int major = 0, minor = 0;
    Bool pixmaps = False;
    shm_ = XShmQueryVersion(display_, &major, &minor, &pixmaps) != 0;
    // Key releases come only for real releases, so a held key reads as repeated presses.
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(display_, True, &detectable);

    int errorBase = 0;
    if (XRRQueryExtension(display_, &randrEventBase_, &errorBase))
        XRRSelectInput(display_, root_, RRScreenChangeNotifyMask);
    else
        randrEventBase_ = -1;
    // Property changes of the root tell of a new scale (RESOURCE_MANAGER) and work area.
    XSelectInput(display_, root_, StructureNotifyMask | PropertyChangeMask);
    monitors_ = std::make_unique<X11Monitors>(display_, root_);
    RefreshDisplayGeometry();

    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    utility_ = XCreateWindow(display_, root_, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                             CWEventMask, &attrs);
    clipboard_ = std::make_unique<X11Clipboard>(display_, utility_);
    gc_ = XCreateGC(display_, root_, 0, nullptr);
    capture_image_ = std::make_unique<X11Image>(display_, visual_, depth_, shm_);

    accessibility_ = std::make_unique<X11Accessibility>(
        display_, root_,
        [this] {
            std::vector<WindowId> shown;
            for (const auto& [id, w] : windows_)
                if (w.mapped) shown.push_back(id);
            return shown;
        },
        [this](WindowId id) {
            const TopLevel* w = FindWindow(id);
            return w != nullptr ? w->params.caption : std::string();
        });
}

X11Platform::~X11Platform() {
    accessibility_.reset();
    capture_image_.reset();
    for (auto& [id, w] : windows_) {
        w.image.reset();
        XDestroyWindow(display_, w.xid);
    }
    windows_.clear();
    pointerShapes_.Release();
    if (gc_ != nullptr) XFreeGC(display_, gc_);
    if (utility_ != 0) XDestroyWindow(display_, utility_);
    clipboard_.reset();
    XCloseDisplay(display_);
}

X11Platform::TopLevel* X11Platform::FindWindow(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

X11Platform::TopLevel* X11Platform::FindByXid(::Window xid, WindowId* id) {
    for (auto& [key, w] : windows_) {
        if (w.xid != xid) continue;
        if (id != nullptr) *id = key;
        return &w;
    }
    return nullptr;
}

bool X11Platform::WindowManagerRunning() {
    // An EWMH manager names its check window on the root, and the window names itself again.
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool running = false;
    if (XGetWindowProperty(display_, root_, atoms_.netSupportingWmCheck, 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
        running = reinterpret_cast<unsigned long*>(data)[0] != 0;
    }
    if (data != nullptr) XFree(data);
    return running;
}

TPoint X11Platform::ClientPositionFor(const TopLevel& w, const TRect& outer) {
    // A manager puts its frame's top-left where a north-west gravity window asks; with no manager
    // the client goes where the frame would have left it, so screen coordinates agree either way.
    if (w.params.kind != WindowKind::Popup && WindowManagerRunning()) return {outer.Left, outer.Top};
    return {outer.Left + w.frame.left, outer.Top + w.frame.top};
}

WindowId X11Platform::CreateTopLevelWindow(const WindowParams& params) {
    TopLevel w;
    w.params = params;
    w.outerBounds = params.outerBounds;
    w.frame = params.kind == WindowKind::Popup ? FrameMetrics{} : assumedFrame_;
    const std::int32_t cw = std::max(0, params.outerBounds.Width() - w.frame.left - w.frame.right);
    const std::int32_t ch = std::max(0, params.outerBounds.Height() - w.frame.top - w.frame.bottom);
    const TPoint at = ClientPositionFor(w, params.outerBounds);

    XSetWindowAttributes attrs{};
    attrs.background_pixmap = None; // the back surface covers everything: no server-side clearing
    attrs.bit_gravity = NorthWestGravity;
    attrs.override_redirect = params.kind == WindowKind::Popup ? True : False;
    attrs.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                       ButtonReleaseMask | PointerMotionMask | LeaveWindowMask | FocusChangeMask |
                       PropertyChangeMask;
    w.xid = XCreateWindow(display_, root_, at.X, at.Y, static_cast<unsigned>(std::max(1, cw)),
                          static_cast<unsigned>(std::max(1, ch)), 0, depth_, InputOutput, visual_,
                          CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWEventMask, &attrs);
    if (w.xid == 0) return 0;
    w.image = std::make_unique<X11Image>(display_, visual_, depth_, shm_);
    ResizeSurface(w, cw, ch);
    SetWindowHints(w);
    pointerShapes_.Show(w.xid, PointerShape::Arrow); // not the root's shape, which it would inherit
    const WindowId id = nextWindow_++;
    windows_.emplace(id, std::move(w));
    return id;
}

void X11Platform::SetWindowHints(TopLevel& w) {
    XStoreName(display_, w.xid, w.params.caption.c_str());
    const std::string utf8 = Latin1ToUtf8(w.params.caption);
    XChangeProperty(display_, w.xid, atoms_.netWmName, atoms_.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XClassHint cls{const_cast<char*>("lentaro"), const_cast<char*>("Lentaro")};
    XSetClassHint(display_, w.xid, &cls);
    Atom protocols[] = {atoms_.wmDelete, atoms_.netWmPing};
    XSetWMProtocols(display_, w.xid, protocols, 2);
    ApplyWindowIcon(w.xid);
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display_, w.xid, atoms_.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);

    XSizeHints size{};
    size.flags = USPosition | USSize | PPosition | PSize | PWinGravity;
    size.x = w.outerBounds.Left;
    size.y = w.outerBounds.Top;
    size.width = std::max(1, w.surface.Width());
    size.height = std::max(1, w.surface.Height());
    size.win_gravity = NorthWestGravity;
    if (!w.params.sizeable) {
        size.flags |= PMinSize | PMaxSize;
        size.min_width = size.max_width = size.width;
        size.min_height = size.max_height = size.height;
    }
    XSetWMNormalHints(display_, w.xid, &size);
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display_, w.xid, &hints);

    const Atom type = w.params.kind == WindowKind::Dialog  ? atoms_.netWmTypeDialog
                      : w.params.kind == WindowKind::Popup ? atoms_.netWmTypePopup
                                                           : atoms_.netWmTypeNormal;
    XChangeProperty(display_, w.xid, atoms_.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
    if (!w.params.captionButtons) {
        // A title bar and a border (sizeable where the window is), with no window menu and no
        // minimise, maximise or close buttons: managers build their buttons from the functions or from
        // the decorations, so both leave them out. Leaving out the close function does not stop
        // WM_DELETE_WINDOW: a manager that still offers closing (a key, a task bar) reaches the program.
        const long functions = kMwmFuncMove | (w.params.sizeable ? kMwmFuncResize : 0);
        const long decorations =
            kMwmDecorBorder | kMwmDecorTitle | (w.params.sizeable ? kMwmDecorResizeHandle : 0);
        long motif[5] = {kMwmHintsFunctions | kMwmHintsDecorations, functions, decorations, 0, 0};
        XChangeProperty(display_, w.xid, atoms_.motifWmHints, atoms_.motifWmHints, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(motif), 5);
    }
    if (TopLevel* owner = FindWindow(w.params.owner); owner != nullptr && owner->mapped)
        XSetTransientForHint(display_, w.xid, owner->xid);
}

void X11Platform::DestroyWindow(WindowId window) {
    TopLevel* w = FindWindow(window);
    if (w == nullptr) return;
    w->image.reset();
    pointerShapes_.Forget(w->xid);
    XDestroyWindow(display_, w->xid);
    XFlush(display_);
    windows_.erase(window);
    if (capture_ == window) {
        capture_ = 0;
        grabbed_ = false; // a grab ends with its window
    }
    std::erase_if(pending_, [window](const PlatformEvent& e) { return e.window == window; });
}

void X11Platform::SetMaximized(TopLevel& w, bool maximized) {
    if (!w.mapped) {
        if (maximized) {
            const Atom states[] = {atoms_.netWmStateMaxVert, atoms_.netWmStateMaxHorz};
            XChangeProperty(display_, w.xid, atoms_.netWmState, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(states), 2);
        } else {
            XDeleteProperty(display_, w.xid, atoms_.netWmState);
        }
        return;
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w.xid;
    e.xclient.message_type = atoms_.netWmState;
    e.xclient.format = 32;
    e.xclient.data.l[0] = maximized ? 1 : 0; // _NET_WM_STATE_ADD / _REMOVE
    e.xclient.data.l[1] = static_cast<long>(atoms_.netWmStateMaxVert);
    e.xclient.data.l[2] = static_cast<long>(atoms_.netWmStateMaxHorz);
    e.xclient.data.l[3] = 1;
    XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

void X11Platform::ShowWindow(WindowId window, ShowState state) {
    TopLevel* w = FindWindow(window);
    if (w == nullptr) return;
    switch (state) {
    case ShowState::Hidden:
        if (w->mapped) XWithdrawWindow(display_, w->xid, screen_);
        w->mapped = false;
        break;
    case ShowState::Minimized:
        if (w->mapped) {
            XIconifyWindow(display_, w->xid, screen_);
        } else {
            XWMHints hints{};
            hints.flags = InputHint | StateHint;
            hints.input = True;
            hints.initial_state = IconicState;
            XSetWMHints(display_, w->xid, &hints);
            XMapWindow(display_, w->xid);
            w->mapped = true;
        }
        break;
    case ShowState::Normal:
    case ShowState::Maximized:
        SetMaximized(*w, state == ShowState::Maximized);
        if (!w->mapped && w->params.kind != WindowKind::Popup && WindowManagerRunning()) {
            // Ask for the frame's size now, so the client size is right before the first paint.
            XEvent e{};
            e.xclient.type = ClientMessage;
            e.xclient.window = w->xid;
            e.xclient.message_type = atoms_.netRequestFrameExtents;
            e.xclient.format = 32;
            XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
            WaitForFrameExtents(window, *w);
        }
        XMapRaised(display_, w->xid);
        w->mapped = true;
        break;
    }
    XFlush(display_);
}

void X11Platform::WaitForFrameExtents(WindowId id, TopLevel& w) {
    // A manager answers within a few milliseconds; one that does not support the request is not
    // waited for long, and its extents are then taken when they arrive after mapping.
    const std::uint64_t deadline = NowMs() + 1000;
    do {
        XSync(display_, False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display_, w.xid, atoms_.netFrameExtents, 0, 4, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data);
        if (data != nullptr) XFree(data);
        if (count == 4) {
            UpdateFrameExtents(id, w);
            return;
        }
        usleep(5000);
    } while (NowMs() < deadline);
}

void X11Platform::SetWindowCaption(WindowId window, const std::string& caption) {
    TopLevel* w = FindWindow(window);
    if (w == nullptr) return;
    w->params.caption = caption;
    XStoreName(display_, w->xid, caption.c_str());
    const std::string utf8 = Latin1ToUtf8(caption);
    XChangeProperty(display_, w->xid, atoms_.netWmName, atoms_.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XFlush(display_);
}

void X11Platform::SetWindowBounds(WindowId window, const TRect& outerBounds) {
    TopLevel* w = FindWindow(window);
    if (w == nullptr) return;
    w->outerBounds = outerBounds;
    const std::int32_t cw = std::max(0, outerBounds.Width() - w->frame.left - w->frame.right);
    const std::int32_t ch = std::max(0, outerBounds.Height() - w->frame.top - w->frame.bottom);
    if (cw != w->surface.Width() || ch != w->surface.Height()) ResizeSurface(*w, cw, ch);
    const TPoint at = ClientPositionFor(*w, outerBounds);
    w->configureSerial = NextRequest(display_);
    XMoveResizeWindow(display_, w->xid, at.X, at.Y, static_cast<unsigned>(std::max(1, cw)),
                      static_cast<unsigned>(std::max(1, ch)));
    XFlush(display_);
}

void X11Platform::SetMouseCapture(WindowId window) {
    if (window == capture_) return;
    if (grabbed_) {
        XUngrabPointer(display_, CurrentTime);
        XUngrabKeyboard(display_, CurrentTime);
        grabbed_ = false;
    }
    capture_ = window;
    TopLevel* w = FindWindow(window);
    if (w == nullptr || w->params.kind != WindowKind::Popup || !w->mapped) {
        XFlush(display_);
        return;
    }
    const unsigned int events = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    const int status =
        XGrabPointer(display_, w->xid, False, events, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    grabbed_ = status == GrabSuccess;
    if (grabbed_) {
        XGrabKeyboard(display_, w->xid, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    } else if (status == AlreadyGrabbed || status == GrabFrozen) {
        // Another client holds the pointer: the capture is lost before it was had.
        capture_ = 0;
        PlatformEvent lost;
        lost.kind = PlatformEvent::Kind::CaptureLost;
        lost.window = window;
        pending_.push_back(lost);
    }
    XFlush(display_);
}

void X11Platform::EnableWindow(WindowId window, bool enabled) {
    // X has no disabled state: input to a disabled window is dropped when it is translated.
    if (TopLevel* w = FindWindow(window)) w->enabled = enabled;
}

// The window manager draws the frame at its own scale: the one it was last seen to add.
FrameMetrics X11Platform::GetFrameMetrics(WindowKind kind, std::int32_t /*dpi*/) const {
    return kind == WindowKind::Popup ? FrameMetrics{} : assumedFrame_;
}

PixelSurface* X11Platform::WindowSurface(WindowId window) {
    TopLevel* w = FindWindow(window);
    return w ? &w->surface : nullptr;
}

void X11Platform::PresentWindow(WindowId window, const TRect& damaged) {
    if (TopLevel* w = FindWindow(window)) Present(*w, damaged);
}

void X11Platform::Present(TopLevel& w, const TRect& rect) {
    // An unmapped window shows nothing; its Expose re-presents from the back surface later.
    if (!w.mapped) return;
    const TRect r = rect.Intersect(w.surface.Bounds());
    if (r.IsEmpty() || !w.image->Ensure(w.surface.Width(), w.surface.Height())) return;
    XImage* image = w.image->Get();
    const auto format = X11PixelFormat::FromMasks(
        static_cast<std::uint32_t>(image->red_mask), static_cast<std::uint32_t>(image->green_mask),
        static_cast<std::uint32_t>(image->blue_mask), image->bits_per_pixel, image->byte_order == MSBFirst);
    if (!format) return;
    if (!SurfaceIsImage(w))
        WriteImagePixels(w.surface, r, reinterpret_cast<unsigned char*>(image->data), image->bytes_per_line,
                         *format);
    w.image->Put(w.xid, gc_, r.Left, r.Top, r.Left, r.Top, r.Width(), r.Height());
    presented_ = true;
}

std::uint64_t X11Platform::NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

bool X11Platform::SetTimer(TimerKey key, std::uint32_t intervalMs) {
    timers_.Set(key, intervalMs, NowMs());
    return true;
}

TPoint X11Platform::GetCursorPos() {
    ::Window rootReturn = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    // False when the pointer is on another screen of the display: keep the last known place.
    if (XQueryPointer(display_, root_, &rootReturn, &child, &rootX, &rootY, &winX, &winY, &mask))
        lastPointer_ = {rootX, rootY};
    return lastPointer_;
}

void X11Platform::SetCursorPos(std::int32_t x, std::int32_t y) {
    XWarpPointer(display_, None, root_, 0, 0, 0, 0, x, y);
    XFlush(display_);
    lastPointer_ = {x, y};
}

void X11Platform::RefreshDisplayGeometry() {
    XWindowAttributes attrs{};
    if (XGetWindowAttributes(display_, root_, &attrs)) rootSize_ = {attrs.width, attrs.height};
    primarySize_ = rootSize_;
    if (randrEventBase_ < 0) return;
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(display_, root_);
    if (res == nullptr) return;
    const RROutput primary = XRRGetOutputPrimary(display_, root_);
    if (primary != 0) {
        if (XRROutputInfo* out = XRRGetOutputInfo(display_, res, primary)) {
            if (out->crtc != 0) {
                if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display_, res, out->crtc)) {
                    if (crtc->width > 0 && crtc->height > 0)
                        primarySize_ = {static_cast<std::int32_t>(crtc->width),
                                        static_cast<std::int32_t>(crtc->height)};
                    XRRFreeCrtcInfo(crtc);
                }
            }
            XRRFreeOutputInfo(out);
        }
    }
    XRRFreeScreenResources(res);
}

TSize X11Platform::PrimaryDisplaySize() { return primarySize_; }

ScreenHandle X11Platform::AcquireScreen() {
    if (nextScreen_ == 0) nextScreen_ = 1; // 0 means "no surface"
    const ScreenHandle h = nextScreen_++;
    heldScreens_.insert(h);
    return h;
}

bool X11Platform::StretchFromScreen(ScreenHandle screen, const TRect& source, PixelSurface& dest,
                                    const TRect& destRect, const TRect& clip) {
    if (heldScreens_.count(screen) == 0) return false;
    // Read only the part of the source that lies on the screen; the rest reads as black.
    const TRect normalized{std::min(source.Left, source.Right), std::min(source.Top, source.Bottom),
                           std::max(source.Left, source.Right), std::max(source.Top, source.Bottom)};
    const TRect onScreen = normalized.Intersect({0, 0, rootSize_.cx, rootSize_.cy});
    if (onScreen.IsEmpty()) {
        captured_.Resize(0, 0);
    } else {
        if (!capture_image_->Ensure(onScreen.Width(), onScreen.Height())) return false;
        if (!capture_image_->Read(root_, onScreen.Left, onScreen.Top)) return false;
        XImage* image = capture_image_->Get();
        const auto format = X11PixelFormat::FromMasks(static_cast<std::uint32_t>(image->red_mask),
                                                      static_cast<std::uint32_t>(image->green_mask),
                                                      static_cast<std::uint32_t>(image->blue_mask),
                                                      image->bits_per_pixel, image->byte_order == MSBFirst);
        if (!format) return false; // not a TrueColor screen
        if (format->IsNativeRgb32() && image->bytes_per_line % 4 == 0) {
            // Stretched straight from the image; the unused top byte is masked off on the way.
            const PixelSurface pixels =
                PixelSurface::Wrap(reinterpret_cast<std::uint32_t*>(image->data), onScreen.Width(),
                                   onScreen.Height(), image->bytes_per_line / 4);
            raster::StretchCopy(dest, destRect, pixels, source.Offset(-onScreen.Left, -onScreen.Top), clip,
                                0x00FFFFFFu);
            return true;
        }
        if (captured_.Width() != onScreen.Width() || captured_.Height() != onScreen.Height())
            captured_.Resize(onScreen.Width(), onScreen.Height());
        ReadImagePixels(reinterpret_cast<const unsigned char*>(image->data), image->bytes_per_line, *format,
                        captured_);
    }
    raster::StretchCopy(dest, destRect, captured_, source.Offset(-onScreen.Left, -onScreen.Top), clip);
    return true;
}

void X11Platform::BuildKeycodeTable() {
    keycodesByVk_.clear();
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(display_, &minCode, &maxCode);
    for (int code = minCode; code <= maxCode; ++code) {
        const KeySym sym = XkbKeycodeToKeysym(display_, static_cast<KeyCode>(code), 0, 0);
        if (sym == NoSymbol) continue;
        const auto add = [&](std::uint16_t vk) { keycodesByVk_[vk].push_back(static_cast<unsigned>(code)); };
        if (const std::uint16_t vk = VirtualKeyFromKeysym(sym)) add(vk);
        // The left/right variants of the modifiers.
        if (sym == XK_Shift_L) add(0xA0);
        if (sym == XK_Shift_R) add(0xA1);
        if (sym == XK_Control_L) add(0xA2);
        if (sym == XK_Control_R) add(0xA3);
        if (sym == XK_Alt_L) add(0xA4);
        if (sym == XK_Alt_R || sym == XK_ISO_Level3_Shift) add(0xA5);
    }
}

bool X11Platform::IsKeyDown(std::uint16_t virtualKey) {
    if (virtualKey == 0x01 || virtualKey == 0x02 || virtualKey == 0x04) {
        ::Window r = 0, c = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned int mask = 0;
        XQueryPointer(display_, root_, &r, &c, &rx, &ry, &wx, &wy, &mask);
        const unsigned int bit = virtualKey == 0x01   ? Button1Mask
                                 : virtualKey == 0x02 ? Button3Mask
                                                      : Button2Mask;
        return (mask & bit) != 0;
    }
    if (keycodesByVk_.empty()) BuildKeycodeTable();
    auto it = keycodesByVk_.find(virtualKey);
    if (it == keycodesByVk_.end()) return false;
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    for (unsigned int code : it->second)
        if (code < 256 && (keys[code / 8] & (1 << (code % 8))) != 0) return true;
    return false;
}
