// The fixture of the end-to-end tests that run the real lentaro: a private Xvfb with the test
// picture on its root window, our own X client, optionally a window manager, and the program itself; the view
// on the screen is compared with the screen it magnifies, pixel by pixel.
// Include it after GoogleTest: the X headers' None macro would break GoogleTest.
#pragma once

#include "framework/platform/headless/headless_platform.h"
#include "tests/e2e_x11/x11_e2e_support.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>

namespace lentaro_e2e {

using namespace std::chrono_literals;

constexpr std::uint32_t kBlue = 0x0000FF; // the crosshair's colour at start
constexpr std::uint32_t kSilver = 0xC0C0C0;

// What the view should show: the screen's `source` stretched over the view's `size`, each view pixel
// taking the source pixel under its centre, and the crosshair: lines of 2 * `arm` pixels through
// `cross` (view coordinates). At start: 124 x 124 source pixels magnified about twice.
struct ViewPicture {
    TRect source;
    TSize size{250, 250};
    TPoint cross{125, 125};
    int arm = 10;
};

class LentaroX11Test : public ::testing::Test {
protected:
    void SetUp() override { StartServer("1024x768x24"); }

    void StartServer(const std::string& geometry) {
        xvfb = std::make_unique<e2e::Xvfb>(geometry);
        ASSERT_TRUE(xvfb->Ok()) << "Xvfb did not start";
        client = std::make_unique<e2e::XClient>(xvfb->DisplayName());
        ASSERT_TRUE(client->Ok());
        client->SetRootPicture(&HeadlessPlatform::TestPatternPixel);
    }

    void StartWindowManager(const std::vector<std::string>& argv = {"openbox", "--sm-disable"}) {
        std::string error;
        wm = e2e::StartWindowManager(argv, xvfb->DisplayName(), *client, error);
        ASSERT_TRUE(wm.Running()) << error;
    }

    void StartLentaro(int pointerX = 300, int pointerY = 400) {
        client->MovePointer(pointerX, pointerY);
        app = e2e::ChildProcess({LENTARO_EXECUTABLE}, {"DISPLAY=" + xvfb->DisplayName()});
        ASSERT_TRUE(
            e2e::WaitUntil([&] { return client->FindWindow("Lentaro").has_value() || !app.Running(); }, 10s));
        ASSERT_TRUE(app.Running()) << "lentaro ended at start";
        window = *client->FindWindow("Lentaro");
        ASSERT_TRUE(ReadClientArea());
    }

    // Waits until the window manager has made the window the active one (it then has the keyboard).
    bool WaitForActivation() {
        const Window root = DefaultRootWindow(client->Get());
        return e2e::WaitUntil(
            [&] {
                const std::vector<long> active = client->LongProperty(root, "_NET_ACTIVE_WINDOW", "WINDOW");
                return active.size() == 1 && static_cast<Window>(active[0]) == window;
            },
            3s);
    }

    // Where the client area is on the screen now (a manager moves it into its frame).
    bool ReadClientArea() { return client->ClientGeometry(window, viewX, viewY, clientWidth, clientHeight); }

    void TearDown() override {
        app.Kill();
        wm.Kill();
        client.reset();
        if (xvfb) xvfb->Process().Kill();
    }

    // Empty when the view on the screen shows `expected`; else how many pixels differ and the first.
    std::string ViewMismatch(const ViewPicture& expected) {
        const int w = expected.size.cx, h = expected.size.cy;
        const PixelSurface view = client->Grab(viewX, viewY, w, h);
        // The reference is what the screen shows there (read separately; it is off the window);
        // whatever lies beyond the screen reads as black.
        const TRect onScreen = expected.source.Intersect({0, 0, client->Width(), client->Height()});
        const PixelSurface screen =
            client->Grab(onScreen.Left, onScreen.Top, onScreen.Width(), onScreen.Height());
        const auto sourceAt = [&](int x, int y) -> std::uint32_t {
            const TRect& s = expected.source;
            const int sx = s.Left + static_cast<int>((2LL * x + 1) * s.Width() / (2LL * w));
            const int sy = s.Top + static_cast<int>((2LL * y + 1) * s.Height() / (2LL * h));
            if (sx < onScreen.Left || sx >= onScreen.Right || sy < onScreen.Top || sy >= onScreen.Bottom)
                return 0;
            return screen.Pixel(sx - onScreen.Left, sy - onScreen.Top);
        };
        const TPoint c = expected.cross;
        const int arm = expected.arm;
        int mismatches = 0;
        std::ostringstream first;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool onCross = (x == c.X && y >= c.Y - arm && y < c.Y + arm) ||
                                     (y == c.Y && x >= c.X - arm && x < c.X + arm);
                const std::uint32_t want = onCross ? kBlue : sourceAt(x, y);
                const std::uint32_t got = view.Pixel(x, y);
                if (got == want) continue;
                if (mismatches++ == 0)
                    first << "view (" << x << ", " << y << ") is " << std::hex << got << ", expected "
                          << want;
            }
        }
        if (mismatches == 0) return {};
        return std::to_string(mismatches) + " view pixels differ; first: " + first.str();
    }

    // Waits until `mismatch` reports nothing (for at most 3 s); its last report otherwise.
    static std::string WaitForMatch(const std::function<std::string()>& mismatch) {
        std::string last;
        e2e::WaitUntil(
            [&] {
                last = mismatch();
                return last.empty();
            },
            3s);
        return last;
    }
    // Waits for the view to settle on the expected picture; empty when it did.
    std::string WaitForView(const ViewPicture& expected) {
        return WaitForMatch([&] { return ViewMismatch(expected); });
    }
    // The start-up view (124 x 124 source pixels over 250 x 250) with its source's top-left given
    // and the crosshair at (cx, cy).
    std::string WaitForView(int srcLeft, int srcTop, int cx, int cy) {
        return WaitForView({Bounds(srcLeft, srcTop, 124, 124), {250, 250}, {cx, cy}, 10});
    }

    // The view after a size change of the window: the client area less 2 pixels in width and 73 in
    // height, round the pointer at (x, y) far from the screen's edges, at ZoomLevel 50.
    ViewPicture LaidOutView(int x, int y) const {
        const TSize size{std::max(0, clientWidth - 2), std::max(0, clientHeight - 73)};
        const int halfW = size.cx / 2 * 50 / 100, halfH = size.cy / 2 * 50 / 100;
        return {Bounds(x - halfW, y - halfH, 2 * halfW, 2 * halfH), size, {size.cx / 2, size.cy / 2}};
    }
    // Empty when the client area shows the view at `expected`, with silver right of it and below it.
    std::string LayoutMismatch(const ViewPicture& expected) {
        const std::string view = ViewMismatch(expected);
        if (!view.empty()) return view;
        const PixelSurface right = client->Grab(viewX + expected.size.cx, viewY, 1, expected.size.cy);
        const PixelSurface below = client->Grab(viewX, viewY + expected.size.cy, expected.size.cx, 1);
        for (int y = 0; y < expected.size.cy; ++y)
            if (right.Pixel(0, y) != kSilver)
                return "the view reaches past its width at row " + std::to_string(y);
        for (int x = 0; x < expected.size.cx; ++x)
            if (below.Pixel(x, 0) != kSilver)
                return "the view reaches past its height at column " + std::to_string(x);
        return {};
    }

    std::unique_ptr<e2e::Xvfb> xvfb;
    std::unique_ptr<e2e::XClient> client;
    e2e::ChildProcess wm;
    e2e::ChildProcess app;
    Window window = 0;
    int viewX = 0, viewY = 0; // the client area's (and the view's) top-left on the screen
    int clientWidth = 0, clientHeight = 0;
};

} // namespace lentaro_e2e
