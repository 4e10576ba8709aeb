#include "tests/e2e_x11/x11_e2e_support.h"

#include <dirent.h>

#include "framework/platform/x11/x11_pixel_format.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <png.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace e2e {

// --- ChildProcess -------------------------------------------------------------------------------

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                           int keepFd, bool quiet) {
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) return;
    if (pid == 0) {
        // The child dies with the test, whatever way the test ends.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        if (quiet) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
        }
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != keepFd) close(fd);
        for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    pid_ = pid;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(other.pid_), status_(other.status_) {
    other.pid_ = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Kill();
        pid_ = other.pid_;
        status_ = other.status_;
        other.pid_ = -1;
    }
    return *this;
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        return false;
    }
    return true;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= end) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!status_ || !WIFEXITED(*status_)) return std::nullopt;
    return WEXITSTATUS(*status_);
}

void ChildProcess::Kill() {
    if (pid_ <= 0 || !Running()) return;
    kill(pid_, SIGTERM);
    if (Wait(std::chrono::milliseconds(2000)).has_value() || !Running()) return;
    kill(pid_, SIGKILL);
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) status_ = status;
}

double ChildProcess::CpuSeconds() const {
    // The scheduler's own count is in nanoseconds, summed over the process's threads; the clock
    // ticks of /proc/PID/stat (10 ms) are far too coarse for a program at rest.
    {
        double total = 0;
        bool any = false;
        const std::string tasks = "/proc/" + std::to_string(pid_) + "/task";
        if (DIR* dir = opendir(tasks.c_str())) {
            while (dirent* entry = readdir(dir)) {
                if (entry->d_name[0] == '.') continue;
                std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
                unsigned long long ns = 0;
                if (schedstat >> ns) {
                    total += static_cast<double>(ns) / 1e9;
                    any = true;
                }
            }
            closedir(dir);
        }
        if (any) return total;
    }
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long ChildProcess::MemoryKb(const std::string& procFile, const std::string& field) const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/" + procFile);
    std::string line;
    const std::string prefix = field + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0) return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

// --- Xvfb ---------------------------------------------------------------------------------------

Xvfb::Xvfb(const std::string& geometry) {
    int fds[2];
    if (pipe(fds) != 0) return;
    process_ = ChildProcess({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", geometry,
                             "-noreset", "-nolisten", "tcp"},
                            {}, fds[1], true);
    close(fds[1]);
    std::string number;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < end) {
        pollfd pfd{fds[0], POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0) {
            if (!process_.Running()) break;
            continue;
        }
        char c = 0;
        if (read(fds[0], &c, 1) != 1) break;
        if (c == '\n') {
            display_ = ":" + number;
            break;
        }
        number += c;
    }
    close(fds[0]);
    if (display_.empty()) process_.Kill();
}

// --- XClient ------------------------------------------------------------------------------------

namespace {
int IgnoreErrors(Display*, XErrorEvent*) { return 0; } // windows may vanish while being looked at

X11PixelFormat FormatOf(const XImage* image) {
    return X11PixelFormat::FromMasks(static_cast<std::uint32_t>(image->red_mask),
                                     static_cast<std::uint32_t>(image->green_mask),
                                     static_cast<std::uint32_t>(image->blue_mask), image->bits_per_pixel,
                                     image->byte_order == MSBFirst)
        .value_or(X11PixelFormat{});
}
} // namespace

XClient::XClient(const std::string& display) {
    display_ = XOpenDisplay(display.c_str());
    if (display_ != nullptr) XSetErrorHandler(&IgnoreErrors);
}

XClient::~XClient() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

int XClient::Width() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int XClient::Height() const { return DisplayHeight(display_, DefaultScreen(display_)); }

void XClient::SetRootPicture(const std::function<std::uint32_t(int, int)>& pixel) {
    const int screen = DefaultScreen(display_);
    const Window root = RootWindow(display_, screen);
    const int w = Width(), h = Height();
    const auto depth = static_cast<unsigned>(DefaultDepth(display_, screen));
    XImage* image = XCreateImage(display_, DefaultVisual(display_, screen), depth, ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
    image->data = static_cast<char*>(
        std::calloc(static_cast<std::size_t>(image->bytes_per_line), static_cast<std::size_t>(h)));
    PixelSurface picture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture.Row(y)[x] = pixel(x, y) & 0xFFFFFF;
    WriteImagePixels(picture, picture.Bounds(), reinterpret_cast<unsigned char*>(image->data),
                     image->bytes_per_line, FormatOf(image));
    const Pixmap pixmap =
        XCreatePixmap(display_, root, static_cast<unsigned>(w), static_cast<unsigned>(h), depth);
    GC gc = XCreateGC(display_, pixmap, 0, nullptr);
    XPutImage(display_, pixmap, gc, image, 0, 0, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XSetWindowBackgroundPixmap(display_, root, pixmap);
    XClearWindow(display_, root);
    // The root keeps its own reference to the picture; the pixmap's name can go.
    XFreePixmap(display_, pixmap);
    XFreeGC(display_, gc);
    XDestroyImage(image);
    XSync(display_, False);
}

void XClient::FillRootRect(int x, int y, int w, int h, std::uint32_t rgb) {
    const Window root = DefaultRootWindow(display_);
    GC gc = XCreateGC(display_, root, 0, nullptr);
    XImage* probe = XGetImage(display_, root, 0, 0, 1, 1, AllPlanes, ZPixmap);
    XSetForeground(display_, gc, probe != nullptr ? FormatOf(probe).Encode(rgb) : rgb);
    if (probe != nullptr) XDestroyImage(probe);
    XFillRectangle(display_, root, gc, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XFreeGC(display_, gc);
    XSync(display_, False);
}

void XClient::MovePointer(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
}

void XClient::Click(int button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    XSync(display_, False);
}

void XClient::Key(unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}

PixelSurface XClient::Grab(int x, int y, int w, int h) {
    PixelSurface out(w, h);
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (image == nullptr) return out;
    ReadImagePixels(reinterpret_cast<const unsigned char*>(image->data), image->bytes_per_line,
                    FormatOf(image), out);
    XDestroyImage(image);
    return out;
}

std::optional<Window> XClient::FindWindow(const std::string& name) {
    std::function<std::optional<Window>(Window)> search = [&](Window w) -> std::optional<Window> {
        char* title = nullptr;
        if (XFetchName(display_, w, &title) && title != nullptr) {
            const bool match = name == title;
            XFree(title);
            XWindowAttributes attrs{};
            if (match && XGetWindowAttributes(display_, w, &attrs) && attrs.map_state == IsViewable) return w;
        }
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return std::nullopt;
        std::optional<Window> found;
        for (unsigned int i = 0; i < count && !found; ++i) found = search(children[i]);
        if (children != nullptr) XFree(children);
        return found;
    };
    return search(DefaultRootWindow(display_));
}

bool XClient::ClientGeometry(Window w, int& x, int& y, int& width, int& height) {
    XWindowAttributes attrs{};
    if (!XGetWindowAttributes(display_, w, &attrs)) return false;
    Window child = 0;
    if (!XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &x, &y, &child)) return false;
    width = attrs.width;
    height = attrs.height;
    return true;
}

Window XClient::Parent(Window w) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, w, &root, &parent, &children, &count)) return 0;
    if (children != nullptr) XFree(children);
    return parent;
}

void XClient::SendDeleteWindow(Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, w, False, NoEventMask, &e);
    XSync(display_, False);
}

Window XClient::TopLevel(Window w) {
    const Window root = DefaultRootWindow(display_);
    for (Window parent = Parent(w); parent != root && parent != 0; parent = Parent(w)) w = parent;
    return w;
}

std::optional<TRect> XClient::OuterRect(Window w) {
    XWindowAttributes attrs{};
    int x = 0, y = 0;
    Window child = 0;
    if (!XGetWindowAttributes(display_, w, &attrs) ||
        !XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &x, &y, &child))
        return std::nullopt;
    const int b = attrs.border_width;
    return TRect{x - b, y - b, x + attrs.width + b, y + attrs.height + b};
}

void XClient::RequestMoveResize(Window w, int x, int y, int width, int height) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(display_, "_NET_MOVERESIZE_WINDOW", False);
    e.xclient.format = 32;
    // North-west gravity, x, y, width and height given, from a pager (the user's own request).
    e.xclient.data.l[0] = NorthWestGravity | 0xF00 | (2 << 12);
    e.xclient.data.l[1] = x;
    e.xclient.data.l[2] = y;
    e.xclient.data.l[3] = width;
    e.xclient.data.l[4] = height;
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XSync(display_, False);
}

std::vector<long> XClient::LongProperty(Window w, const char* name, const char* type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display_, w, XInternAtom(display_, name, False), 0, 64, False,
                           XInternAtom(display_, type, False), &actualType, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && format == 32) {
        // Xlib hands 32-bit items over as longs.
        const auto* items = reinterpret_cast<const long*>(data);
        values.assign(items, items + count);
    }
    if (data != nullptr) XFree(data);
    return values;
}

std::vector<std::string> XClient::AtomNames(Window w, const char* name) {
    std::vector<std::string> names;
    for (long atom : LongProperty(w, name, "ATOM")) {
        if (char* text = XGetAtomName(display_, static_cast<Atom>(atom))) {
            names.emplace_back(text);
            XFree(text);
        }
    }
    return names;
}

void XClient::KeyWith(unsigned long modifier, unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(display_, modifier);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    Key(keysym);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}

ChildProcess StartWindowManager(const std::vector<std::string>& argv, const std::string& display,
                                XClient& client, std::string& error) {
    const std::string& name = argv.at(0);
    if (system(("command -v " + name + " >/dev/null 2>&1").c_str()) != 0) {
        error = name + " is not installed";
        return {};
    }
    ChildProcess wm(argv, {"DISPLAY=" + display}, -1, true);
    Display* d = client.Get();
    const Window root = DefaultRootWindow(d);
    if (!WaitUntil([&] { return !client.LongProperty(root, "_NET_SUPPORTING_WM_CHECK", "WINDOW").empty(); },
                   std::chrono::seconds(10))) {
        error = name + " did not start";
        return {};
    }
    // A manager names itself before it manages windows, and a window mapped during its start-up may
    // stay unmanaged: map probe windows until one is framed.
    std::vector<Window> probes;
    const bool framed = WaitUntil(
        [&] {
            probes.push_back(XCreateSimpleWindow(d, root, 0, 0, 10, 10, 0, 0, 0));
            XMapWindow(d, probes.back());
            XSync(d, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return client.Parent(probes.back()) != root;
        },
        std::chrono::seconds(10));
    for (Window probe : probes) XDestroyWindow(d, probe);
    XSync(d, False);
    if (!framed) {
        error = name + " manages no window";
        return {};
    }
    return wm;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// --- PNG ----------------------------------------------------------------------------------------

bool WritePng(const std::string& path, const PixelSurface& image) {
    if (image.Width() <= 0 || image.Height() <= 0) return false;
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(image.Width()) * static_cast<std::size_t>(image.Height()) * 3);
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const std::uint32_t p = image.Row(y)[x];
            rgb.insert(rgb.end(), {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                   static_cast<unsigned char>(p)});
        }
    }
    // libpng's simplified interface reports failure by its return value and cleans up after itself.
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.Width());
    png.height = static_cast<png_uint_32>(image.Height());
    png.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

} // namespace e2e
