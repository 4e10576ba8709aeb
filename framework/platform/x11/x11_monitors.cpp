#include "framework/platform/x11/x11_monitors.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// Reads a whole property of the root of `type` (32-bit items come back as longs).
template <typename Item>
std::vector<Item> ReadProperty(Display* display, ::Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<Item> items;
    if (XGetWindowProperty(display, window, property, 0, 1 << 20, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && actualType == type) {
        const Item* begin = reinterpret_cast<const Item*>(data);
        items.assign(begin, begin + count);
    }
    if (data != nullptr) XFree(data);
    return items;
}

} // namespace

X11Monitors::X11Monitors(Display* display, ::Window root)
    : display_(display), root_(root), resourceManager_(XInternAtom(display, "RESOURCE_MANAGER", False)),
      netWorkArea_(XInternAtom(display, "_NET_WORKAREA", False)),
      netCurrentDesktop_(XInternAtom(display, "_NET_CURRENT_DESKTOP", False)) {
    int errorBase = 0;
    if (XRRQueryExtension(display_, &randrEventBase_, &errorBase)) {
        int major = 0, minor = 0;
        if (XRRQueryVersion(display_, &major, &minor))
            randrMonitors_ = major > 1 || (major == 1 && minor >= 5);
        XRRSelectInput(display_, root_,
                       RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    } else {
        randrEventBase_ = -1;
    }
    Refresh();
}

bool X11Monitors::HandleEvent(XEvent& event) {
    if (randrEventBase_ >= 0 && event.type == randrEventBase_ + RRScreenChangeNotify) {
        XRRUpdateConfiguration(&event);
    } else if (randrEventBase_ >= 0 && event.type == randrEventBase_ + RRNotify) {
        // An output or CRTC changed; the screen notice may follow, the monitors are read now.
    } else if (event.type == PropertyNotify && event.xproperty.window == root_ &&
               (event.xproperty.atom == resourceManager_ || event.xproperty.atom == netWorkArea_)) {
    } else if (event.type == ConfigureNotify && event.xconfigure.window == root_) {
    } else {
        return false;
    }
    Refresh();
    return true;
}

TSize X11Monitors::PrimarySize() const {
    for (const MonitorInfo& m : monitors_)
        if (m.primary) return {m.bounds.Width(), m.bounds.Height()};
    return rootSize_;
}

void X11Monitors::Refresh() {
    XWindowAttributes attrs{};
    if (XGetWindowAttributes(display_, root_, &attrs)) rootSize_ = {attrs.width, attrs.height};
    const TRect root{0, 0, rootSize_.cx, rootSize_.cy};
    std::vector<MonitorInfo> monitors = randrMonitors_ ? ReadRandrMonitors() : std::vector<MonitorInfo>{};
    if (monitors.empty() && randrEventBase_ >= 0) monitors = ReadCrtcs();
    std::erase_if(monitors, [&](const MonitorInfo& m) { return m.bounds.Intersect(root).IsEmpty(); });
    if (monitors.empty()) monitors.push_back({root, root, true, 96});
    bool anyPrimary = false;
    for (const MonitorInfo& m : monitors) anyPrimary = anyPrimary || m.primary;
    if (!anyPrimary) monitors.front().primary = true;

    dpi_ = ReadDpi();
    const TRect workArea = ReadWorkArea();
    for (MonitorInfo& m : monitors) {
        m.workArea = workArea.IsEmpty() ? m.bounds : m.bounds.Intersect(workArea);
        m.dpi = dpi_;
    }
    monitors_ = std::move(monitors);
}

std::vector<MonitorInfo> X11Monitors::ReadRandrMonitors() const {
    std::vector<MonitorInfo> result;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display_, root_, True, &count);
    if (monitors == nullptr) return result;
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        const TRect bounds = Bounds(m.x, m.y, m.width, m.height);
        result.push_back({bounds, bounds, m.primary != 0, 96});
    }
    XRRFreeMonitors(monitors);
    return result;
}

std::vector<MonitorInfo> X11Monitors::ReadCrtcs() const {
    std::vector<MonitorInfo> result;
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(display_, root_);
    if (res == nullptr) return result;
    const RROutput primary = XRRGetOutputPrimary(display_, root_);
    RRCrtc primaryCrtc = 0;
    if (primary != 0) {
        if (XRROutputInfo* out = XRRGetOutputInfo(display_, res, primary)) {
            primaryCrtc = out->crtc;
            XRRFreeOutputInfo(out);
        }
    }
    for (int i = 0; i < res->ncrtc; ++i) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display_, res, res->crtcs[i]);
        if (crtc == nullptr) continue;
        if (crtc->mode != None && crtc->width > 0 && crtc->height > 0) {
            const TRect bounds = Bounds(crtc->x, crtc->y, static_cast<std::int32_t>(crtc->width),
                                        static_cast<std::int32_t>(crtc->height));
            result.push_back({bounds, bounds, res->crtcs[i] == primaryCrtc, 96});
        }
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(res);
    return result;
}

TRect X11Monitors::ReadWorkArea() const {
    const auto areas = ReadProperty<long>(display_, root_, netWorkArea_, XA_CARDINAL);
    if (areas.size() < 4) return {};
    const auto desktop = ReadProperty<long>(display_, root_, netCurrentDesktop_, XA_CARDINAL);
    std::size_t index = desktop.empty() ? 0 : static_cast<std::size_t>(desktop.front()) * 4;
    if (index + 4 > areas.size()) index = 0;
    return Bounds(static_cast<std::int32_t>(areas[index]), static_cast<std::int32_t>(areas[index + 1]),
                  static_cast<std::int32_t>(areas[index + 2]), static_cast<std::int32_t>(areas[index + 3]));
}

std::int32_t X11Monitors::ReadDpi() const {
    auto text = ReadProperty<char>(display_, root_, resourceManager_, XA_STRING);
    if (text.empty()) return 96;
    text.push_back('\0');
    const std::int32_t dpi = DpiFromResources(text.data());
    return dpi > 0 ? dpi : 96;
}

std::int32_t X11Monitors::DpiFromResources(const char* resources) {
    static const bool initialised = (XrmInitialize(), true);
    (void)initialised;
    XrmDatabase db = XrmGetStringDatabase(resources);
    if (db == nullptr) return 0;
    char* type = nullptr;
    XrmValue value{};
    std::int32_t dpi = 0;
    if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr) {
        char* end = nullptr;
        const double parsed = std::strtod(value.addr, &end);
        while (end != nullptr && (*end == ' ' || *end == '\t')) ++end;
        // Fractional values are allowed (120.5); anything that is not a finite positive number is not.
        if (end != value.addr && *end == '\0' && std::isfinite(parsed) && parsed > 0 && parsed < 1e6)
            dpi = static_cast<std::int32_t>(std::lround(parsed));
    }
    XrmDestroyDatabase(db);
    return dpi;
}
