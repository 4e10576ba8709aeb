// The window icon: _NET_WM_ICON, which task bars, window switchers and docks read, holds every
// size at once; the manager picks the one it needs.
#include "framework/platform/x11/x11_platform.h"

#include <X11/Xatom.h>

void X11Platform::SetWindowIcon(const std::vector<IconImage>& images) {
    windowIcon_.clear();
    for (const IconImage& image : images) {
        windowIcon_.push_back(image.width);
        windowIcon_.push_back(image.height);
        windowIcon_.insert(windowIcon_.end(), image.pixels.begin(), image.pixels.end());
    }
    for (const auto& [id, w] : windows_) ApplyWindowIcon(w.xid);
}

void X11Platform::ApplyWindowIcon(::Window xid) {
    if (netWmIcon_ == 0) netWmIcon_ = XInternAtom(display_, "_NET_WM_ICON", False);
    if (windowIcon_.empty()) {
        XDeleteProperty(display_, xid, netWmIcon_);
        return;
    }
    XChangeProperty(display_, xid, netWmIcon_, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(windowIcon_.data()),
                    static_cast<int>(windowIcon_.size()));
}
