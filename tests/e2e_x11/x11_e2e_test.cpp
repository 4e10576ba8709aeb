// End-to-end: the real lentaro on Xvfb, driven through XTest, checked pixel by pixel on the screen.
// GoogleTest comes before the X headers, whose None macro would break it.
#include <gtest/gtest.h>

#include "tests/e2e_x11/lentaro_x11_fixture.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace {

using namespace lentaro_e2e;

constexpr int kView = 250; // the main window's view at start: 250 x 250 at ZoomLevel 50 ...

// ... showing 124 x 124 screen pixels: each view pixel takes the source pixel under its centre.
int SourceOffset(int viewOffset) { return (2 * viewOffset + 1) * 124 / (2 * kView); }

TEST_F(LentaroX11Test, ViewShowsTheScreenRoundThePointerMagnifiedTwiceWithABlueCrosshair) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    // The root really carries the test picture, so the comparison below means something.
    EXPECT_EQ(client->Grab(300, 400, 1, 1).Pixel(0, 0), HeadlessPlatform::TestPatternPixel(300, 400));
    EXPECT_EQ(WaitForView(300 - 62, 400 - 62, 125, 125), "");
}

TEST_F(LentaroX11Test, ViewFollowsThePointer) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro(200, 200));
    EXPECT_EQ(WaitForView(138, 138, 125, 125), "");
    client->MovePointer(450, 600);
    EXPECT_EQ(WaitForView(388, 538, 125, 125), "");
}

TEST_F(LentaroX11Test, SourceIsClampedAtTheLeftEdgeAndTheCrosshairMovesOffCentre) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro(10, 400));
    EXPECT_EQ(WaitForView(0, 338, 19, 125), "");
}

TEST_F(LentaroX11Test, SourceIsClampedAtTheRightEdgeAndTheCrosshairMovesOffCentre) {
    // Far above the window, so the captured area does not hold the view itself.
    ASSERT_NO_FATAL_FAILURE(StartLentaro(1020, 100));
    EXPECT_EQ(WaitForView(900, 38, 243, 125), "");
}

TEST_F(LentaroX11Test, ViewDoesNotRedrawWhileThePointerRests) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    ASSERT_EQ(WaitForView(238, 338, 125, 125), "");
    // Change the screen under the captured area. A view that redrew on its ticks would show it;
    // one that draws only after a pointer move keeps the old picture.
    client->FillRootRect(250, 350, 40, 40, 0xFF00FF);
    const double cpuBefore = app.CpuSeconds();
    std::this_thread::sleep_for(1000ms); // ten polling periods
    const double cpuAtRest = app.CpuSeconds() - cpuBefore;
    const PixelSurface view = client->Grab(viewX, viewY, kView, kView);
    EXPECT_NE(view.Pixel((250 - 238) * 2 + 1, (350 - 338) * 2 + 1), 0xFF00FFu) << "the view redrew at rest";
    // A view at rest sleeps between ticks: far below a tenth of a CPU.
    EXPECT_LT(cpuAtRest, 0.1);
    // And the check above can fail: after a one-pixel move the new picture shows the marker.
    client->MovePointer(301, 400);
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            return client->Grab(viewX, viewY, kView, kView).Pixel((250 - 239) * 2 + 1, (350 - 338) * 2 + 1) ==
                   0xFF00FFu;
        },
        3s));
}

TEST_F(LentaroX11Test, CloseRequestEndsTheProgramWithExitCodeZero) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro());
    client->SendDeleteWindow(window);
    EXPECT_EQ(app.Wait(5s), std::optional<int>(0));
}

TEST_F(LentaroX11Test, RightClickOpensTheMenuAtThePointerAndOffRemovesTheCrosshair) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro());
    ASSERT_EQ(WaitForView(238, 338, 125, 125), "");
    // Over the view, a right click opens the window's menu with its top-left corner at the pointer.
    const int px = viewX + 40, py = viewY + 40;
    client->MovePointer(px, py);
    const std::uint32_t before = client->Grab(px + 20, py + 8, 1, 1).Pixel(0, 0);
    client->Click(3);
    constexpr std::uint32_t kMenuPixel = 0xD4D0C8; // the classic menu colour
    ASSERT_TRUE(
        e2e::WaitUntil([&] { return client->Grab(px + 20, py + 8, 1, 1).Pixel(0, 0) == kMenuPixel; }, 3s))
        << "no menu at the pointer; the pixel there was " << std::hex << before;
    // Keyboard: C opens "Crosshair", F chooses "Off".
    client->Key(XK_c);
    client->Key(XK_f);
    ASSERT_TRUE(
        e2e::WaitUntil([&] { return client->Grab(px + 20, py + 8, 1, 1).Pixel(0, 0) != kMenuPixel; }, 3s))
        << "the menu did not close";
    // The next drawing, when the pointer moves off the window, has no crosshair.
    client->MovePointer(300, 400);
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            const PixelSurface view = client->Grab(viewX, viewY, kView, kView);
            return view.Pixel(125, 125) == HeadlessPlatform::TestPatternPixel(300, 400) &&
                   view.Pixel(120, 125) ==
                       HeadlessPlatform::TestPatternPixel(300 - 62 + SourceOffset(120), 400);
        },
        3s));
    EXPECT_TRUE(app.Running());
}

TEST_F(LentaroX11Test, ClickingExitEndsTheProgramWithExitCodeZero) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro());
    // The "Exit" button: 85 x 21 at (164, 264) of the window's client area.
    client->MovePointer(viewX + 164 + 42, viewY + 264 + 10);
    std::this_thread::sleep_for(200ms);
    client->Click(1);
    EXPECT_EQ(app.Wait(5s), std::optional<int>(0));
}

TEST_F(LentaroX11Test, SixteenBitScreenIsReadAndShownFaithfully) {
    TearDown();
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x16"));
    ASSERT_NO_FATAL_FAILURE(StartLentaro(500, 200));
    EXPECT_EQ(WaitForView(438, 138, 125, 125), "");
}

TEST_F(LentaroX11Test, UnderAWindowManagerTheFrameTakesTheStoredPlaceAndSizeAndAltF4Closes) {
    ASSERT_NO_FATAL_FAILURE(StartWindowManager());
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    // The manager's frame stands at the stored place and size.
    const Window frame = client->TopLevel(window);
    ASSERT_NE(frame, window) << "the window was not framed";
    EXPECT_TRUE(e2e::WaitUntil([&] { return client->OuterRect(frame) == Bounds(660, 295, 258, 320); }, 3s))
        << "frame not at (660, 295) with 258 x 320";
    // The frame takes its room from the stored outer size: the view fits the smaller client area.
    std::string last;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            if (!ReadClientArea() || clientWidth >= 258) return false;
            last = LayoutMismatch(LaidOutView(300, 400));
            return last.empty();
        },
        3s))
        << "client " << clientWidth << " x " << clientHeight << ": " << last;
    if (const char* dir = std::getenv("LENTARO_E2E_SHOTS"))
        e2e::WritePng(std::string(dir) + "/openbox.png", client->Grab(600, 250, 380, 400));

    // openbox keeps its caption buttons whatever a window asks; it honours moving and sizing.
    const std::vector<std::string> actions = client->AtomNames(window, "_NET_WM_ALLOWED_ACTIONS");
    for (const char* action : {"_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_RESIZE"})
        EXPECT_NE(std::find(actions.begin(), actions.end(), action), actions.end()) << action;

    // A close request from the manager (its Alt+F4) still reaches the program.
    ASSERT_TRUE(WaitForActivation()) << "openbox did not activate the window";
    client->KeyWith(XK_Alt_L, XK_F4);
    EXPECT_EQ(app.Wait(5s), std::optional<int>(0));
}

TEST_F(LentaroX11Test, AManagerThatHonoursTheHintsShowsNoCaptionButtonsButATitleAndASizeableBorder) {
    // icewm, unlike openbox, builds a window's buttons and actions from the hints it asks for.
    ASSERT_NO_FATAL_FAILURE(StartWindowManager({"icewm"}));
    ASSERT_NO_FATAL_FAILURE(StartLentaro());
    std::vector<std::string> actions;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return !(actions = client->AtomNames(window, "_NET_WM_ALLOWED_ACTIONS")).empty(); }, 3s));
    const auto allowed = [&](const char* action) {
        return std::find(actions.begin(), actions.end(), std::string("_NET_WM_ACTION_") + action) !=
               actions.end();
    };
    for (const char* action : {"MOVE", "RESIZE"}) EXPECT_TRUE(allowed(action)) << action;
    for (const char* action : {"CLOSE", "MINIMIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT"})
        EXPECT_FALSE(allowed(action)) << action;
    const std::vector<long> extents = client->LongProperty(window, "_NET_FRAME_EXTENTS", "CARDINAL");
    ASSERT_EQ(extents.size(), 4u); // left, right, top, bottom
    EXPECT_TRUE(extents[0] > 0 && extents[1] > 0 && extents[3] > 0) << "a border on every side";
    EXPECT_GT(extents[2], extents[3]) << "a title bar above the client area";
    // Closing is still heard when asked for (a task bar's menu, a script).
    client->SendDeleteWindow(window);
    EXPECT_EQ(app.Wait(5s), std::optional<int>(0));
}

TEST_F(LentaroX11Test, ErrorBoxIsDrawnByTheToolkitAndEnterClosesIt) {
    e2e::ChildProcess probe({ERROR_BOX_PROBE}, {"DISPLAY=" + xvfb->DisplayName()});
    std::optional<Window> box;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return (box = client->FindWindow("Lentaro")).has_value() || !probe.Running(); }, 10s));
    ASSERT_TRUE(box.has_value()) << "no box appeared";
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(client->ClientGeometry(*box, x, y, w, h));
    // Centred on the display, with the stop icon's red disc at its top left and text beside it.
    EXPECT_NEAR(x + w / 2, 512, 16);
    EXPECT_NEAR(y + h / 2, 384, 24);
    std::string why;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            const PixelSurface shot = client->Grab(x, y, w, h);
            int red = 0, dark = 0;
            for (int py = 0; py < h; ++py)
                for (int px = 0; px < w; ++px) {
                    red += px < 50 && py < 50 && shot.Pixel(px, py) == 0xFF0000u;
                    dark += px > 50 && shot.Pixel(px, py) == 0;
                }
            why = std::to_string(red) + " red icon pixels, " + std::to_string(dark) + " black text pixels";
            return red > 300 && dark > 30;
        },
        3s))
        << why;
    // LENTARO_E2E_SHOTS=DIR keeps a picture of the box for a person to look at.
    if (const char* dir = std::getenv("LENTARO_E2E_SHOTS"))
        e2e::WritePng(std::string(dir) + "/error-box.png", client->Grab(x - 20, y - 20, w + 40, h + 40));
    // Keys go to the window under the pointer when no manager sets the focus.
    client->MovePointer(x + w / 2, y + h / 2);
    client->Key(XK_Return);
    EXPECT_EQ(probe.Wait(5s), std::optional<int>(0));
}

// Screenshots: what libpng wrote reads back as the same pixels, channel by channel.
TEST(PngFileTest, ScreenshotsReadBackPixelForPixel) {
    PixelSurface picture(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            picture.SetPixel(x, y, static_cast<std::uint32_t>((x * 40) << 16 | (y * 80) << 8 | (x + y) * 9));
    // Test runs on one machine share the temporary directory.
    const std::string path = ::testing::TempDir() + "lentaro-png-test-" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(e2e::WritePng(path, picture));
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str()));
    ASSERT_EQ(png.width, 7u);
    ASSERT_EQ(png.height, 3u);
    png.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr));
    std::remove(path.c_str());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            const unsigned char* p = &rgb[static_cast<std::size_t>(y * 7 + x) * 3];
            EXPECT_EQ(static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]), picture.Pixel(x, y))
                << x << ',' << y;
        }
    EXPECT_FALSE(e2e::WritePng("/nonexistent-directory/shot.png", picture));
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
