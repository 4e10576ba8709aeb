// End-to-end: the view follows a pointer moved by a warp (XWarpPointer, as screen readers, pointer
// tools and scripts move it), which reports no motion, right after device motion and after a long
// rest, on the real lentaro under Xvfb; the view is checked by its pixels.
// GoogleTest comes before the X headers, whose None macro would break it.
#include <gtest/gtest.h>

#include "tests/e2e_x11/lentaro_x11_fixture.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using namespace lentaro_e2e;
using Clock = std::chrono::steady_clock;

// The start-up view round the pointer at (x, y): 124 x 124 source pixels about twice magnified.
ViewPicture Around(int x, int y) { return {Bounds(x - 62, y - 62, 124, 124)}; }

class LentaroWarpTest : public LentaroX11Test {
protected:
    void Warp(int x, int y) {
        XWarpPointer(client->Get(), 0, DefaultRootWindow(client->Get()), 0, 0, 0, 0, x, y);
        XSync(client->Get(), False);
    }
    // Waits for the view round (x, y); empty when it came. Prints how long it took.
    std::string WaitForViewAround(int x, int y, const char* what) {
        const auto start = Clock::now();
        const std::string mismatch = WaitForView(Around(x, y));
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        std::printf("%s: the view followed in %lld ms (pixel checks included)\n", what,
                    static_cast<long long>(ms));
        return mismatch;
    }
};

TEST_F(LentaroWarpTest, AWarpIsShownRightAfterDeviceMotionAndAfterALongRest) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    ASSERT_EQ(WaitForViewAround(300, 400, "start"), "");
    // Device motion wakes the view; a warp follows at once.
    client->MovePointer(310, 410);
    Warp(200, 150);
    EXPECT_EQ(WaitForViewAround(200, 150, "warp right after device motion"), "");
    // Left alone, the view sleeps; nothing but its own look at the pointer can find the warp.
    std::this_thread::sleep_for(8s);
    Warp(450, 600);
    EXPECT_EQ(WaitForViewAround(450, 600, "warp after 8 s of rest"), "");
    // And the device still wakes it after the warp's drawing.
    client->MovePointer(320, 200);
    EXPECT_EQ(WaitForViewAround(320, 200, "device motion after the warp"), "");
}

} // namespace
