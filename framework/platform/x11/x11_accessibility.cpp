#include "framework/platform/x11/x11_accessibility.h"

#include <X11/Xatom.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

#ifndef LENTARO_ATSPI_PLUGIN_DIR
#define LENTARO_ATSPI_PLUGIN_DIR "/usr/lib/lentaro"
#endif

namespace {

// The plug-in beside the program: ../lib/lentaro/ from the executable (an install tree, or the build
// tree, which has the same shape), then the directory it was installed to.
std::vector<std::string> PluginCandidates() {
    std::vector<std::string> paths;
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length > 0) {
        std::string dir(exe, static_cast<std::size_t>(length));
        dir.erase(dir.find_last_of('/') + 1);
        paths.push_back(dir + "../lib/lentaro/" + kAtspiPluginFileName);
    }
    paths.push_back(std::string(LENTARO_ATSPI_PLUGIN_DIR) + "/" + kAtspiPluginFileName);
    return paths;
}

} // namespace

X11Accessibility::X11Accessibility(Display* display, ::Window root,
                                   std::function<std::vector<WindowId>()> shownWindows,
                                   std::function<std::string(WindowId)> captionOf)
    : display_(display), root_(root), atSpiBus_(XInternAtom(display, "AT_SPI_BUS", False)),
      shownWindows_(std::move(shownWindows)), captionOf_(std::move(captionOf)) {
    // The desktop's switch to keep toolkits off the accessibility bus.
    const char* off = std::getenv("NO_AT_BRIDGE");
    disabled_ = off != nullptr && std::strcmp(off, "1") == 0;
    if (disabled_) return;
    // Hear of the property coming and going, beside whatever else the backend selected on the root.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, root_, &attributes))
        XSelectInput(display_, root_, attributes.your_event_mask | PropertyChangeMask);
    if (BusAnnounced()) Load();
}

X11Accessibility::~X11Accessibility() = default;

bool X11Accessibility::BusAnnounced() {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const bool present = XGetWindowProperty(display_, root_, atSpiBus_, 0, 1, False, AnyPropertyType, &type,
                                            &format, &items, &after, &data) == Success &&
                         type != None;
    if (data != nullptr) XFree(data);
    return present;
}

void X11Accessibility::Load() {
    if (plugin_ || disabled_) return;
    std::string why;
    void* library = nullptr;
    for (const std::string& path : PluginCandidates()) {
        // Never unloaded: GLib cannot leave a process it has entered.
        library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (library != nullptr) break;
        if (why.empty()) why = dlerror();
    }
    auto create = library != nullptr
                      ? reinterpret_cast<AtspiPluginCreateFunction>(dlsym(library, kAtspiPluginCreateSymbol))
                      : nullptr;
    if (create != nullptr) plugin_.reset(create(this, &why));
    if (!plugin_) {
        disabled_ = true;
        std::fprintf(stderr, "lentaro: screen reader support is unavailable: %s\n",
                     why.empty() ? "the plug-in did not start" : why.c_str());
    }
}

bool X11Accessibility::HandleEvent(const XEvent& event) {
    if (event.type != PropertyNotify || event.xproperty.window != root_ || event.xproperty.atom != atSpiBus_)
        return false;
    if (event.xproperty.state == PropertyNewValue) Load();
    return true;
}

void X11Accessibility::Prepare(std::vector<pollfd>& fds, int& timeoutMs) {
    if (plugin_) plugin_->Prepare(fds, timeoutMs);
}

void X11Accessibility::Dispatch(const std::vector<pollfd>& fds) {
    if (!plugin_) return;
    plugin_->Dispatch(fds);
    if (plugin_->Lost()) plugin_.reset();
}

AccessibleNode* X11Accessibility::WindowRoot(WindowId window) {
    AccessibleTreeProvider* provider = GetAccessibleTreeProvider();
    return provider != nullptr ? provider->WindowRoot(window) : nullptr;
}

std::optional<TRect> X11Accessibility::CaretRect(WindowId window) {
    AccessibleTreeProvider* provider = GetAccessibleTreeProvider();
    return provider != nullptr ? provider->CaretRect(window) : std::nullopt;
}

std::string X11Accessibility::ApplicationName() {
    const std::vector<WindowId> windows = shownWindows_();
    return windows.empty() ? std::string() : captionOf_(windows.front());
}
