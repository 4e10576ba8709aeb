// End-to-end: lentaro on an Xvfb split into two RandR monitors with `xrandr --setmonitor` (the
// primary on the left, then on the right), its view checked by pixels on each; and with `Xft.dpi`
// set through xrdb, the window scaled at start and when the setting changes while it runs.
// GoogleTest comes before the X headers, whose None macro would break it.
#include <gtest/gtest.h>

#include "tests/e2e_x11/lentaro_x11_fixture.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

using namespace lentaro_e2e;

class LentaroMonitorsTest : public LentaroX11Test {
protected:
    void SetUp() override { StartServer("1824x768x24"); }

    // Runs a command-line X client on the test display and waits for it.
    void RunOnDisplay(const std::vector<std::string>& argv) {
        e2e::ChildProcess tool(argv, {"DISPLAY=" + xvfb->DisplayName()}, -1, true);
        ASSERT_EQ(tool.Wait(5s), std::optional<int>(0)) << argv[0] << " " << argv[1];
    }
    // A monitor of w x h at (x, y); a name starting with "*" makes it the primary.
    void SetMonitor(const std::string& name, int w, int h, int x, int y, const std::string& outputs) {
        const std::string geometry = std::to_string(w) + "/" + std::to_string(w / 4) + "x" +
                                     std::to_string(h) + "/" + std::to_string(h / 4) + "+" +
                                     std::to_string(x) + "+" + std::to_string(y);
        RunOnDisplay({"xrandr", "--setmonitor", name, geometry, outputs});
    }
    void MergeResources(const std::string& text) {
        char path[] = "/tmp/lentaro-xrdb-XXXXXX";
        const int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fd);
        RunOnDisplay({"xrdb", "-merge", path});
        std::remove(path);
    }
    // The start-up view (124 x 124 source pixels over 250 x 250) round the pointer at `p`.
    std::string ViewAt(TPoint p, TPoint source, TPoint cross) {
        client->MovePointer(p.X, p.Y);
        return WaitForView({Bounds(source.X, source.Y, 124, 124), {250, 250}, cross, 10});
    }
};

TEST_F(LentaroMonitorsTest, TheViewStaysOnTheMonitorUnderThePointerPrimaryOnTheLeft) {
    SetMonitor("*left", 1024, 768, 0, 0, "screen");
    SetMonitor("right", 800, 600, 1024, 0, "none");
    ASSERT_NO_FATAL_FAILURE(StartLentaro(1030, 300));
    // Just inside the right monitor's left edge: (6 - 62 - 1) * 2 = -114 moves the crosshair left.
    EXPECT_EQ(ViewAt({1030, 300}, {1024, 238}, {11, 125}), "");
    // Its bottom-right corner: the source ends at its edges (1824, 600), not the screen's.
    EXPECT_EQ(ViewAt({1820, 590}, {1700, 476}, {243, 231}), "");
    // The primary's right edge, as with one monitor.
    EXPECT_EQ(ViewAt({1020, 100}, {900, 38}, {243, 125}), "");
}

TEST_F(LentaroMonitorsTest, TheViewStaysOnTheMonitorUnderThePointerPrimaryOnTheRight) {
    SetMonitor("left", 800, 600, 0, 0, "none");
    SetMonitor("*right", 1024, 768, 800, 0, "screen");
    ASSERT_NO_FATAL_FAILURE(StartLentaro(810, 400));
    // The window at its stored place lies mostly on the left monitor, past its edge: it is moved
    // onto it.
    ASSERT_TRUE(ReadClientArea());
    EXPECT_LE(viewX + clientWidth, 800);
    EXPECT_LE(viewY + clientHeight, 600);
    EXPECT_EQ(ViewAt({810, 400}, {800, 338}, {19, 125}), "");
    EXPECT_EQ(ViewAt({790, 100}, {676, 38}, {231, 125}), "");
}

TEST_F(LentaroMonitorsTest, XftDpiScalesTheWindowAtStartAndWhenItChanges) {
    ASSERT_NO_FATAL_FAILURE(MergeResources("Xft.dpi: 192\n"));
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    // Twice the designed 250 x 293 client; the view 500 x 500 shows 250 x 250 source pixels, its
    // crosshair still 20 device pixels long.
    EXPECT_EQ(clientWidth, 500);
    EXPECT_EQ(clientHeight, 586);
    EXPECT_EQ(WaitForView({Bounds(175, 275, 250, 250), {500, 500}, {250, 250}, 10}), "");
    // The desktop goes back to 100 %: the window follows while it runs.
    ASSERT_NO_FATAL_FAILURE(MergeResources("Xft.dpi: 96\n"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return ReadClientArea() && clientWidth == 250; }, 5s)) << clientWidth;
    EXPECT_EQ(clientHeight, 293);
    // Scaled back by the inverse, the layout is the stored one: the view 250 x 250 again.
    EXPECT_EQ(WaitForView(238, 338, 125, 125), "");
}

TEST_F(LentaroMonitorsTest, AnXftDpiThatIsNotANumberLeavesTheDesignedSize) {
    ASSERT_NO_FATAL_FAILURE(MergeResources("Xft.dpi: large\n"));
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    EXPECT_EQ(clientWidth, 250);
    EXPECT_EQ(WaitForView(238, 338, 125, 125), "");
}

} // namespace
