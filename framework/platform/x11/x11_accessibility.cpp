#include "framework/platform/x11/x11_accessibility.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

#ifndef LENTARO_MODULE_DIR
#define LENTARO_MODULE_DIR "lib/lentaro"
#endif
#ifndef LENTARO_ATSPI_PLUGIN_DIR
#define LENTARO_ATSPI_PLUGIN_DIR "/usr/" LENTARO_MODULE_DIR
#endif

namespace {

// A module beside the program: ../lib/lentaro/ from the executable (the build tree), the module
// folder of an install tree under any prefix, then the directory it was installed to. Null with
// `why` set.
void* OpenModule(const char* fileName, std::string& why) {
    std::vector<std::string> paths;
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length > 0) {
        std::string dir(exe, static_cast<std::size_t>(length));
        dir.erase(dir.find_last_of('/') + 1);
        paths.push_back(dir + "../lib/lentaro/" + fileName);
        paths.push_back(dir + "../" LENTARO_MODULE_DIR "/" + fileName);
    }
    paths.push_back(std::string(LENTARO_ATSPI_PLUGIN_DIR) + "/" + fileName);
    for (const std::string& path : paths) {
        // Never unloaded: GLib cannot leave a process it has entered.
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) return module;
        if (why.empty()) why = dlerror();
    }
    return nullptr;
}

template <typename Function> Function Symbol(void* module, const char* name) {
    return module != nullptr ? reinterpret_cast<Function>(dlsym(module, name)) : nullptr;
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
    if (BusAnnounced()) Start();
}

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

X11Accessibility::~X11Accessibility() {
    plugin_.reset();
    if (watch_ != nullptr) status_.close(watch_);
}

void X11Accessibility::Unavailable(const std::string& why) {
    disabled_ = true;
    std::fprintf(stderr, "lentaro: screen reader support is unavailable: %s\n", why.c_str());
}

void X11Accessibility::Start() {
    if (started_ || disabled_) return;
    started_ = true;
    std::string why;
    void* module = OpenModule(kAtspiStatusFileName, why);
    status_.open = Symbol<AtspiStatusOpenFunction>(module, "lentaro_atspi_status_open");
    status_.fd = Symbol<AtspiStatusFdFunction>(module, "lentaro_atspi_status_fd");
    status_.read = Symbol<AtspiStatusReadFunction>(module, "lentaro_atspi_status_read");
    status_.close = Symbol<AtspiStatusCloseFunction>(module, "lentaro_atspi_status_close");
    if (!status_.open || !status_.fd || !status_.read || !status_.close) {
        Unavailable(why.empty() ? "the status module is incomplete" : why);
        return;
    }
    watch_ = status_.open(&state_);
    // No session bus to ask: the bus on the root window is the request.
    if (watch_ == nullptr) state_ = kAtspiStatusWanted;
    if (state_ & kAtspiStatusWanted) StartBridge();
}

void X11Accessibility::StartBridge() {
    if (plugin_ || disabled_) return;
    std::string why;
    if (createPlugin_ == nullptr)
        createPlugin_ = Symbol<AtspiPluginCreateFunction>(OpenModule(kAtspiPluginFileName, why),
                                                          kAtspiPluginCreateSymbol);
    if (createPlugin_ != nullptr) plugin_.reset(createPlugin_(this, &why));
    if (!plugin_) Unavailable(why.empty() ? "the plug-in did not start" : why);
}

bool X11Accessibility::HandleEvent(const XEvent& event) {
    if (event.type != PropertyNotify || event.xproperty.window != root_ || event.xproperty.atom != atSpiBus_)
        return false;
    if (event.xproperty.state == PropertyNewValue) Start();
    return true;
}

void X11Accessibility::Prepare(std::vector<pollfd>& fds, int& timeoutMs) {
    watchFd_ = SIZE_MAX;
    if (watch_ != nullptr) {
        const int fd = status_.fd(watch_);
        if (fd >= 0) {
            watchFd_ = fds.size();
            fds.push_back({fd, POLLIN, 0});
        }
    }
    if (plugin_) plugin_->Prepare(fds, timeoutMs);
}

void X11Accessibility::Dispatch(const std::vector<pollfd>& fds) {
    if (plugin_) plugin_->Dispatch(fds);
    if (watch_ == nullptr || watchFd_ >= fds.size() || fds[watchFd_].revents == 0) return;
    state_ = status_.read(watch_, state_);
    if (state_ & kAtspiStatusLost) {
        std::fputs("lentaro: the session bus has gone; screen readers no longer see the program\n", stderr);
        plugin_.reset();
        status_.close(watch_);
        watch_ = nullptr;
    } else if (state_ & kAtspiStatusWanted) {
        StartBridge();
    } else {
        plugin_.reset();
    }
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
