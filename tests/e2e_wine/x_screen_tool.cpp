// Host-side helper for the Wine end-to-end test, talking to the X server that Wine draws on.
//   x_screen_tool probe                  succeeds once the display accepts clients
//   x_screen_tool paint-root             paints the root window with the coordinate pattern
//   x_screen_tool move X Y               moves the pointer through XTest
//   x_screen_tool keys KEY...            presses and releases each key (X key names: BackSpace, Tab, 4)
//   x_screen_tool drag X1 Y1 X2 Y2       drags with the left button from (X1, Y1) to (X2, Y2)
//   x_screen_tool check-view X Y [--zoom=PERCENT] [--crosshair=SIZE] [--size=WxH] [--at=X,Y] [--ppm=FILE]
//       finds the magnified view on the screen and checks it shows the pattern round the pointer
//       (X, Y) enlarged by PERCENT (200 or more; default 200) with a blue crosshair of SIZE (default
//       20) on the pointer's place; with --size and --at, that the view measures W x H and has its
//       top-left corner at (X, Y) on the screen; writes the screen to FILE when the check fails
// Exit code 0 when the command succeeded, 1 when a check failed, 2 on bad use or no display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every pixel names its own place: red x mod 256, green y mod 256, blue the high bits of both.
std::uint32_t PatternPixel(int x, int y) {
    const auto ux = static_cast<std::uint32_t>(x);
    const auto uy = static_cast<std::uint32_t>(y);
    return ((ux & 0xFF) << 16) | ((uy & 0xFF) << 8) | ((ux >> 8) & 0xF) | (((uy >> 8) & 0xF) << 4);
}

void DecodePattern(std::uint32_t p, int& x, int& y) {
    x = static_cast<int>(((p >> 16) & 0xFF) | ((p & 0xF) << 8));
    y = static_cast<int>(((p >> 8) & 0xFF) | (((p >> 4) & 0xF) << 8));
}

constexpr std::uint32_t kBlue = 0x0000FF;

struct Screen {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFFu;
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
};

bool Grab(Display* dpy, Screen& out) {
    const Window root = DefaultRootWindow(dpy);
    XWindowAttributes attrs;
    XGetWindowAttributes(dpy, root, &attrs);
    XImage* image = XGetImage(dpy, root, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    out.width = attrs.width;
    out.height = attrs.height;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.pixels[static_cast<std::size_t>(y) * out.width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
    XDestroyImage(image);
    return true;
}

void WritePpm(const Screen& s, const char* path) {
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return;
    std::fprintf(f, "P6\n%d %d\n255\n", s.width, s.height);
    for (std::uint32_t p : s.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

int PaintRoot(Display* dpy) {
    const int screen = DefaultScreen(dpy);
    const Window root = RootWindow(dpy, screen);
    const int w = DisplayWidth(dpy, screen);
    const int h = DisplayHeight(dpy, screen);
    if (DefaultDepth(dpy, screen) != 24) {
        std::fprintf(stderr, "x_screen_tool: the display must have depth 24\n");
        return 2;
    }
    XImage* image = XCreateImage(dpy, DefaultVisual(dpy, screen), 24, ZPixmap, 0, nullptr, w, h, 32, 0);
    image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) XPutPixel(image, x, y, PatternPixel(x, y));
    const Pixmap pixmap = XCreatePixmap(dpy, root, w, h, 24);
    XPutImage(dpy, pixmap, DefaultGC(dpy, screen), image, 0, 0, 0, 0, w, h);
    XDestroyImage(image);
    // The root keeps its background after this client leaves (the server runs with -noreset).
    XSetWindowBackgroundPixmap(dpy, root, pixmap);
    XClearWindow(dpy, root);
    XFreePixmap(dpy, pixmap);
    XSync(dpy, False);
    return 0;
}

bool HasXTest(Display* dpy) {
    int event, error, major, minor;
    if (XTestQueryExtension(dpy, &event, &error, &major, &minor)) return true;
    std::fprintf(stderr, "x_screen_tool: no XTest on this display\n");
    return false;
}

// Paced like a hand, so that Wine sees each step on its own rather than one burst.
void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

int Move(Display* dpy, int x, int y) {
    if (!HasXTest(dpy)) return 2;
    XTestFakeMotionEvent(dpy, -1, x, y, 0);
    XSync(dpy, False);
    return 0;
}

int Keys(Display* dpy, char** names, int count) {
    if (!HasXTest(dpy)) return 2;
    for (int i = 0; i < count; ++i) {
        const KeySym sym = XStringToKeysym(names[i]);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
        if (code == 0) {
            std::fprintf(stderr, "x_screen_tool: no key named '%s' on this display\n", names[i]);
            return 2;
        }
        XTestFakeKeyEvent(dpy, code, True, CurrentTime);
        XTestFakeKeyEvent(dpy, code, False, CurrentTime);
        XSync(dpy, False);
        Pause();
    }
    return 0;
}

// Presses the left button at (x1, y1) and moves to (x2, y2) in steps; releases it unless `hold`.
int Drag(Display* dpy, int x1, int y1, int x2, int y2, bool hold) {
    if (!HasXTest(dpy)) return 2;
    XTestFakeMotionEvent(dpy, -1, x1, y1, 0);
    XSync(dpy, False);
    Pause();
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XSync(dpy, False);
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
        Pause();
        XTestFakeMotionEvent(dpy, -1, x1 + (x2 - x1) * i / kSteps, y1 + (y2 - y1) * i / kSteps, 0);
        XSync(dpy, False);
    }
    if (hold) return 0;
    Pause();
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XSync(dpy, False);
    return 0;
}

int Release(Display* dpy) {
    if (!HasXTest(dpy)) return 2;
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XSync(dpy, False);
    return 0;
}

// Prints the screen's pixel at (x, y) as RRGGBB.
int PrintPixel(Display* dpy, int x, int y) {
    XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 1;
    std::printf("%06lx\n", XGetPixel(image, 0, 0) & 0xFFFFFFul);
    XDestroyImage(image);
    return 0;
}

// What the view should show: the program's own geometry for a zoom power and crosshair size.
struct Expectation {
    int pointerX = 0;
    int pointerY = 0;
    int percent = 200;
    int crosshairSize = 20;
    std::optional<int> width, height; // the view's size
    std::optional<int> left, top;     // its top-left corner on the screen
    const char* ppmPath = nullptr;
    int ZoomLevel() const { return 10000 / percent; }
    // Each source pixel covers at least this many screen pixels: the level rounds down.
    int BlockSize() const { return percent / 100; }
};

// The view's top-left: the first pixel (row by row) that starts a block of one pattern pixel, as wide
// and tall as the enlargement, followed right and below by the next pattern pixels (a block may be a
// pixel wider where the enlargement is not a whole number). The plain root never has such blocks,
// and neither has a frame.
bool FindView(const Screen& s, int block, int& ox, int& oy) {
    auto isBlock = [&](int x, int y, std::uint32_t p) {
        for (int dy = 0; dy < block; ++dy)
            for (int dx = 0; dx < block; ++dx)
                if (s.At(x + dx, y + dy) != p) return false;
        return true;
    };
    auto nextAfter = [&](int x, int y, int dx, int dy, std::uint32_t p, std::uint32_t next) {
        const std::uint32_t second = s.At(x + block * dx, y + block * dy);
        return second == next || (second == p && s.At(x + (block + 1) * dx, y + (block + 1) * dy) == next);
    };
    for (int y = 0; y + block + 1 < s.height; ++y)
        for (int x = 0; x + block + 1 < s.width; ++x) {
            const std::uint32_t p = s.At(x, y);
            if (!isBlock(x, y, p)) continue;
            int px, py;
            DecodePattern(p, px, py);
            if (nextAfter(x, y, 1, 0, p, PatternPixel(px + 1, py)) &&
                nextAfter(x, y, 0, 1, p, PatternPixel(px, py + 1))) {
                ox = x;
                oy = y;
                return true;
            }
        }
    return false;
}

// True when `got` is the pattern pixel of (x, y) give or take one pixel on each axis: the platform
// rounds its stretch as it likes.
bool NearPattern(std::uint32_t got, int x, int y) {
    if (got > 0xFFFFFF) return false;
    int gx, gy;
    DecodePattern(got, gx, gy);
    return gx >= x - 1 && gx <= x + 1 && gy >= y - 1 && gy <= y + 1 && got == PatternPixel(gx, gy);
}

// The view's extent from its top-left corner along its first row (dx = 1) or column (dy = 1): as far
// as the pixels keep stepping through the pattern by at most one source pixel at a time, skipping
// the crosshair, which reaches the edge when the capture is pushed back inside the display.
int Extent(const Screen& s, int ox, int oy, int dx, int dy) {
    int startX, startY;
    DecodePattern(s.At(ox, oy), startX, startY);
    int last = dx != 0 ? startX : startY;
    int n = 0;
    for (;; ++n) {
        const std::uint32_t got = s.At(ox + n * dx, oy + n * dy);
        if (got == kBlue) continue;
        int gx, gy;
        DecodePattern(got, gx, gy);
        const int along = dx != 0 ? gx : gy;
        const int across = dx != 0 ? gy - startY : gx - startX;
        if (got > 0xFFFFFF || (along != last && along != last + 1) || across < -1 || across > 1) break;
        last = along;
    }
    return n;
}

// Pushes one axis of the captured rectangle back inside the display, as the view does: returns the
// centre and sets the crosshair's offset in view pixels.
int ClampAxis(int p, int half, int size, int level, int& offset) {
    offset = 0;
    if (p < half) {
        offset = (p - half - 1) * 100 / level;
        return half;
    }
    if (size < p + half) {
        offset = (p + half - size + 1) * 100 / level;
        return size - half;
    }
    return p;
}

int CheckView(Display* dpy, const Expectation& want) {
    Screen s;
    if (!Grab(dpy, s)) {
        std::fprintf(stderr, "x_screen_tool: cannot read the screen\n");
        return 2;
    }
    auto fail = [&](const std::string& why) {
        std::fprintf(stderr, "view check: %s\n", why.c_str());
        if (want.ppmPath != nullptr) WritePpm(s, want.ppmPath);
        return 1;
    };
    int ox = 0, oy = 0;
    if (!FindView(s, want.BlockSize(), ox, oy)) return fail("no magnified picture found on the screen");
    int srcX, srcY;
    DecodePattern(s.At(ox, oy), srcX, srcY);
    const int w = Extent(s, ox, oy, 1, 0);
    const int h = Extent(s, ox, oy, 0, 1);
    std::printf("view at (%d, %d), %d x %d, showing the screen from (%d, %d)\n", ox, oy, w, h, srcX, srcY);
    const int arm = want.crosshairSize / 2;
    if (w < 4 * arm || h < 4 * arm || w < 8 || h < 8) return fail("the magnified area is too small");
    if ((want.width && *want.width != w) || (want.height && *want.height != h))
        return fail("the view measures " + std::to_string(w) + " x " + std::to_string(h) + ", not " +
                    std::to_string(want.width.value_or(w)) + " x " + std::to_string(want.height.value_or(h)));
    if ((want.left && *want.left != ox) || (want.top && *want.top != oy))
        return fail("the view is not at (" + std::to_string(want.left.value_or(ox)) + ", " +
                    std::to_string(want.top.value_or(oy)) + ")");
    // The pointer is the centre of the captured rectangle (half the view scaled by the zoom level),
    // unless that rectangle would leave the display: then it is pushed back and the crosshair moves.
    const int level = want.ZoomLevel();
    const int halfW = (w / 2) * level / 100;
    const int halfH = (h / 2) * level / 100;
    int offX = 0, offY = 0;
    const int centreX = ClampAxis(want.pointerX, halfW, s.width, level, offX);
    const int centreY = ClampAxis(want.pointerY, halfH, s.height, level, offY);
    if (srcX + halfW != centreX || srcY + halfH != centreY)
        return fail("the picture is centred on (" + std::to_string(srcX + halfW) + ", " +
                    std::to_string(srcY + halfH) + "), not on (" + std::to_string(centreX) + ", " +
                    std::to_string(centreY) + ")");
    const int cx = w / 2 + offX;
    const int cy = h / 2 + offY;
    int crosshairPixels = 0;
    for (int vy = 0; vy < h; ++vy)
        for (int vx = 0; vx < w; ++vx) {
            const bool onCrosshair = (vx == cx && vy >= cy - arm && vy < cy + arm) ||
                                     (vy == cy && vx >= cx - arm && vx < cx + arm);
            // 2 * halfW source pixels stretched over the view's width.
            const int sx = srcX + vx * 2 * halfW / w;
            const int sy = srcY + vy * 2 * halfH / h;
            const std::uint32_t got = s.At(ox + vx, oy + vy);
            if (onCrosshair ? got != kBlue : !NearPattern(got, sx, sy)) {
                char buf[160];
                std::snprintf(buf, sizeof buf, "view pixel (%d, %d) is %06X, expected %06X%s", vx, vy, got,
                              onCrosshair ? kBlue : PatternPixel(sx, sy), onCrosshair ? " (crosshair)" : "");
                return fail(buf);
            }
            if (onCrosshair) ++crosshairPixels;
        }
    std::printf("magnified %d%% round (%d, %d) for the pointer at (%d, %d); blue crosshair of %d pixels at "
                "(%d, %d)\n",
                want.percent, centreX, centreY, want.pointerX, want.pointerY, crosshairPixels, cx, cy);
    return 0;
}

// Reads "--name=A" (one number) or "--name=AxB" / "--name=A,B" (two) into the expectation.
bool ParseOption(const char* raw, Expectation& want) {
    const std::string arg = raw;
    const auto eq = arg.find('=');
    if (eq == std::string::npos) return false;
    const std::string name = arg.substr(0, eq);
    const std::string value = arg.substr(eq + 1);
    if (name == "--ppm") {
        want.ppmPath = raw + eq + 1; // argv outlives the check
        return !value.empty();
    }
    int a = 0, b = 0;
    char sep = 0, rest = 0;
    const int got = std::sscanf(value.c_str(), "%d%c%d%c", &a, &sep, &b, &rest);
    if (name == "--zoom" && got == 1 && a >= 200) { // less leaves no blocks to find the view by
        want.percent = a;
    } else if (name == "--crosshair" && got == 1 && a >= 0) {
        want.crosshairSize = a;
    } else if (name == "--size" && got == 3 && sep == 'x' && a > 0 && b > 0) {
        want.width = a;
        want.height = b;
    } else if (name == "--at" && got == 3 && sep == ',') {
        want.left = a;
        want.top = b;
    } else {
        return false;
    }
    return true;
}

constexpr const char* kUsage =
    "usage: x_screen_tool probe | paint-root | move X Y | keys KEY... | drag X1 Y1 X2 Y2 |\n"
    "       drag-hold X1 Y1 X2 Y2 | release | pixel X Y |\n"
    "       check-view X Y [--zoom=PERCENT] [--crosshair=SIZE] [--size=WxH] [--at=X,Y] [--ppm=FILE]\n";

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    Expectation want;
    bool goodUse = (command == "probe" || command == "paint-root") && argc == 2;
    goodUse = goodUse || (command == "move" && argc == 4) || (command == "keys" && argc >= 3) ||
              ((command == "drag" || command == "drag-hold") && argc == 6) ||
              (command == "release" && argc == 2) || (command == "pixel" && argc == 4);
    if (command == "check-view" && argc >= 4) {
        goodUse = true;
        want.pointerX = std::atoi(argv[2]);
        want.pointerY = std::atoi(argv[3]);
        for (int i = 4; i < argc; ++i) goodUse = goodUse && ParseOption(argv[i], want);
    }
    if (!goodUse) {
        std::fprintf(stderr, "x_screen_tool: unknown command or wrong arguments\n%s", kUsage);
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::fprintf(stderr, "x_screen_tool: cannot open the display\n");
        return 2;
    }
    int rc = 0;
    if (command == "paint-root")
        rc = PaintRoot(dpy);
    else if (command == "move")
        rc = Move(dpy, std::atoi(argv[2]), std::atoi(argv[3]));
    else if (command == "keys")
        rc = Keys(dpy, argv + 2, argc - 2);
    else if (command == "drag" || command == "drag-hold")
        rc = Drag(dpy, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                  command == "drag-hold");
    else if (command == "release")
        rc = Release(dpy);
    else if (command == "pixel")
        rc = PrintPixel(dpy, std::atoi(argv[2]), std::atoi(argv[3]));
    else if (command == "check-view")
        rc = CheckView(dpy, want);
    XCloseDisplay(dpy);
    return rc;
}
