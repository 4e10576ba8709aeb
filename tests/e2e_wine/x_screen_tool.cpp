// Host-side helper for the Wine end-to-end test, talking to the X server that Wine draws on.
//   x_screen_tool probe                  succeeds once the display accepts clients
//   x_screen_tool paint-root             paints the root window with the coordinate pattern
//   x_screen_tool move X Y               moves the pointer through XTest
//   x_screen_tool check-view X Y [PPM]   finds the magnified view on the screen and checks it shows
//                                        the pattern round the pointer (X, Y) twice enlarged with a
//                                        blue crosshair on the pointer's place; writes the screen to PPM when
//                                        the check fails
// Exit code 0 when the command succeeded, 1 when a check failed, 2 on bad use or no display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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
constexpr int kZoomDivisor = 2;   // 200 % at start
constexpr int kCrosshairArm = 10; // crosshair size 20 at start

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

int Move(Display* dpy, int x, int y) {
    int event, error, major, minor;
    if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "x_screen_tool: no XTest on this display\n");
        return 2;
    }
    XTestFakeMotionEvent(dpy, -1, x, y, 0);
    XSync(dpy, False);
    return 0;
}

// The view's top-left: the first pixel (row by row) that starts a 2 x 2 block of one pattern pixel
// followed, right and below, by the next pattern pixels (a block may be three pixels wide where the
// enlargement is not exactly two). The plain root never has such blocks, and neither has a frame.
bool FindView(const Screen& s, int& ox, int& oy) {
    auto nextAfter = [&](int x, int y, int dx, int dy, std::uint32_t p, std::uint32_t next) {
        const std::uint32_t second = s.At(x + 2 * dx, y + 2 * dy);
        return second == next || (second == p && s.At(x + 3 * dx, y + 3 * dy) == next);
    };
    for (int y = 0; y + 3 < s.height; ++y)
        for (int x = 0; x + 3 < s.width; ++x) {
            const std::uint32_t p = s.At(x, y);
            if (s.At(x + 1, y) != p || s.At(x, y + 1) != p || s.At(x + 1, y + 1) != p) continue;
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

int CheckView(Display* dpy, int pointerX, int pointerY, const char* ppmPath) {
    Screen s;
    if (!Grab(dpy, s)) {
        std::fprintf(stderr, "x_screen_tool: cannot read the screen\n");
        return 2;
    }
    auto fail = [&](const std::string& why) {
        std::fprintf(stderr, "view check: %s\n", why.c_str());
        if (ppmPath != nullptr) WritePpm(s, ppmPath);
        return 1;
    };
    int ox = 0, oy = 0;
    if (!FindView(s, ox, oy)) return fail("no magnified picture found on the screen");
    int srcX, srcY;
    DecodePattern(s.At(ox, oy), srcX, srcY);
    // Extent: as far as the first row and column keep showing the enlarged pattern (or the
    // crosshair, which reaches the edge when the capture is pushed back inside the display).
    int w = 0;
    while (s.At(ox + w, oy) == kBlue || NearPattern(s.At(ox + w, oy), srcX + w / kZoomDivisor, srcY)) ++w;
    int h = 0;
    while (s.At(ox, oy + h) == kBlue || NearPattern(s.At(ox, oy + h), srcX, srcY + h / kZoomDivisor)) ++h;
    std::printf("view at (%d, %d), %d x %d, showing the screen from (%d, %d)\n", ox, oy, w, h, srcX, srcY);
    if (w < 4 * kCrosshairArm || h < 4 * kCrosshairArm) return fail("the magnified area is too small");
    // The pointer is the centre of the captured rectangle (half the view, halved again by the zoom),
    // unless that rectangle would leave the display: then it is pushed back and the crosshair moves.
    const int halfW = (w / 2) / kZoomDivisor;
    const int halfH = (h / 2) / kZoomDivisor;
    auto clamp = [](int p, int half, int size, int& offset) {
        offset = 0;
        if (p < half) {
            offset = (p - half - 1) * kZoomDivisor;
            return half;
        }
        if (size < p + half) {
            offset = (p + half - size + 1) * kZoomDivisor;
            return size - half;
        }
        return p;
    };
    int offX = 0, offY = 0;
    const int centreX = clamp(pointerX, halfW, s.width, offX);
    const int centreY = clamp(pointerY, halfH, s.height, offY);
    if (srcX + halfW != centreX || srcY + halfH != centreY)
        return fail("the picture is centred on (" + std::to_string(srcX + halfW) + ", " +
                    std::to_string(srcY + halfH) + "), not on (" + std::to_string(centreX) + ", " +
                    std::to_string(centreY) + ")");
    const int cx = w / 2 + offX;
    const int cy = h / 2 + offY;
    int crosshairPixels = 0;
    for (int vy = 0; vy < h; ++vy)
        for (int vx = 0; vx < w; ++vx) {
            const bool onCrosshair = (vx == cx && vy >= cy - kCrosshairArm && vy < cy + kCrosshairArm) ||
                                     (vy == cy && vx >= cx - kCrosshairArm && vx < cx + kCrosshairArm);
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
    std::printf("magnified twice round (%d, %d) for the pointer at (%d, %d); blue crosshair of %d pixels at "
                "(%d, %d)\n",
                centreX, centreY, pointerX, pointerY, crosshairPixels, cx, cy);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: x_screen_tool probe | paint-root | move X Y | check-view X Y [PPM]\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::fprintf(stderr, "x_screen_tool: cannot open the display\n");
        return 2;
    }
    const std::string command = argv[1];
    int rc = 2;
    if (command == "probe" && argc == 2)
        rc = 0;
    else if (command == "paint-root" && argc == 2)
        rc = PaintRoot(dpy);
    else if (command == "move" && argc == 4)
        rc = Move(dpy, std::atoi(argv[2]), std::atoi(argv[3]));
    else if (command == "check-view" && (argc == 4 || argc == 5))
        rc = CheckView(dpy, std::atoi(argv[2]), std::atoi(argv[3]), argc == 5 ? argv[4] : nullptr);
    else
        std::fprintf(stderr, "x_screen_tool: unknown command or wrong arguments\n");
    XCloseDisplay(dpy);
    return rc;
}
