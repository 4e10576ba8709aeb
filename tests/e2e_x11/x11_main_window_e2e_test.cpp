// End-to-end: the main window's controls and its layout, on the real lentaro under Xvfb (with no
// window manager, and under openbox), driven through XTest and checked on the screen: the zoom power
// typed and stepped changes the magnification, the crosshair size its length, and a size change from
// outside gives the view the client area above the controls at once.
// GoogleTest comes before the X headers, whose None macro would break it.
#include <gtest/gtest.h>

#include "tests/e2e_x11/lentaro_x11_fixture.h"

#include <X11/keysym.h>

#include <thread>

namespace {

using namespace lentaro_e2e;

// The zoom view at its start size (250 x 250) round the pointer at (300, 400), far from the window:
// ZoomLevel = 10000 div the zoom power; half the source = 125 * ZoomLevel div 100 on each side.
ViewPicture AtZoomLevel(int level) {
    const int half = 125 * level / 100;
    return {Bounds(300 - half, 400 - half, 2 * half, 2 * half)};
}

class LentaroMainWindowTest : public LentaroX11Test {
protected:
    // Without a manager the keyboard goes where it is sent; under one, the manager gives it.
    void Focus() {
        XSetInputFocus(client->Get(), window, RevertToParent, CurrentTime);
        XSync(client->Get(), False);
    }
    void Type(std::initializer_list<unsigned long> keys) {
        for (unsigned long key : keys) client->Key(key);
    }
    // A click on the upper half of the zoom power's spin button: powerZ is 65 x 21 at the client
    // area's left edge, 21 pixels above its bottom; its button, a 17-pixel square inside the 2-pixel
    // border, is split by its diagonal, the upper part to the top left.
    void ClickZoomPowerUp() {
        client->MovePointer(viewX + 47 + 3, viewY + clientHeight - 21 + 2 + 3);
        client->Click(1);
    }
};

TEST_F(LentaroMainWindowTest, ZoomPowerTypedOrSteppedSetsTheMagnification) {
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    ASSERT_EQ(WaitForView(AtZoomLevel(50)), "");
    Focus();
    // The whole "200%" is selected: Backspace removes the digits, the next ones go in before the "%".
    Type({XK_BackSpace, XK_4, XK_0, XK_0});
    EXPECT_EQ(WaitForView(AtZoomLevel(25)), "") << "400%: magnified four times";
    // Below 100% each step changes the level: 50% gives 200, 51% 196, 52% 192.
    Type({XK_BackSpace, XK_BackSpace, XK_BackSpace, XK_5, XK_0});
    EXPECT_EQ(WaitForView(AtZoomLevel(200)), "") << "50%: half size";
    ClickZoomPowerUp();
    client->MovePointer(300, 400);
    EXPECT_EQ(WaitForView(AtZoomLevel(196)), "") << "the spin button steps to 51%";
    client->Key(XK_Up);
    EXPECT_EQ(WaitForView(AtZoomLevel(192)), "") << "the Up key steps to 52%";
}

TEST_F(LentaroMainWindowTest, TabLeadsToTheCrosshairSizeWhichTheNextDrawingShows) {
    ASSERT_NO_FATAL_FAILURE(StartWindowManager());
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    // The frame takes its room from the stored outer size: the view fits the smaller client area.
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return ReadClientArea() && clientWidth < 258 && ViewMismatch(LaidOutView(300, 400)).empty(); },
        5s))
        << ViewMismatch(LaidOutView(300, 400));
    // openbox gives the new window the keyboard; Tab selects the whole of crossS.
    ASSERT_TRUE(WaitForActivation());
    Type({XK_Tab, XK_BackSpace, XK_7});
    // A plain store: the crosshair of 7 (6 pixels, arms of 3) is drawn from the next drawing on. The
    // pointer is nudged until a drawing made after the keys shows it.
    std::string last;
    int x = 300;
    e2e::WaitUntil(
        [&] {
            x = x == 300 ? 301 : 300;
            client->MovePointer(x, 400);
            std::this_thread::sleep_for(150ms);
            ViewPicture nudged = LaidOutView(x, 400);
            nudged.arm = 3;
            last = ViewMismatch(nudged);
            return last.empty();
        },
        5s);
    EXPECT_EQ(last, "");
}

enum class Manager { Absent, Openbox };

class LentaroResizeTest : public LentaroMainWindowTest, public ::testing::WithParamInterface<Manager> {
protected:
    // Sizes the client area from outside: as a user's drag through the manager, or straight.
    void ResizeClientArea(int width, int height) {
        if (GetParam() == Manager::Openbox) {
            const std::optional<TRect> frame = client->OuterRect(client->TopLevel(window));
            ASSERT_TRUE(frame.has_value());
            client->RequestMoveResize(window, frame->Left, frame->Top, width, height);
        } else {
            XResizeWindow(client->Get(), window, static_cast<unsigned>(width), static_cast<unsigned>(height));
            XSync(client->Get(), False);
        }
        ASSERT_TRUE(e2e::WaitUntil(
            [&] { return ReadClientArea() && clientWidth == width && clientHeight == height; }, 3s));
    }
    std::string WaitForLayout(const ViewPicture& expected) {
        return WaitForMatch([&] { return LayoutMismatch(expected); });
    }
};

TEST_P(LentaroResizeTest, AfterEachSizeChangeTheViewFillsTheClientAreaAboveTheControlsAtOnce) {
    if (GetParam() == Manager::Openbox) {
        ASSERT_NO_FATAL_FAILURE(StartWindowManager());
    }
    ASSERT_NO_FATAL_FAILURE(StartLentaro(300, 400));
    // Drawn at its stored size, or fitted to the client area that a manager's frame left.
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            return ReadClientArea() &&
                   (ViewMismatch(AtZoomLevel(50)).empty() || ViewMismatch(LaidOutView(300, 400)).empty());
        },
        5s));
    // The pointer rests from here on: the view draws because its size changed. It takes the client
    // width less 2 and the height less 73; half its size * 50 div 100 is the source on each side.
    // (The window stands at the stored place, x 660: it stays on the 1024-pixel screen.)
    ASSERT_NO_FATAL_FAILURE(ResizeClientArea(350, 400));
    EXPECT_EQ(WaitForLayout({Bounds(300 - 87, 400 - 81, 174, 162), {348, 327}, {174, 163}}), "") << "grown";
    ASSERT_NO_FATAL_FAILURE(ResizeClientArea(300, 300));
    EXPECT_EQ(WaitForLayout({Bounds(300 - 74, 400 - 56, 148, 112), {298, 227}, {149, 113}}), "") << "shrunk";
    // "Exit" kept its distances from the right and bottom edges: 85 x 21 at (width - 86, height - 29).
    client->MovePointer(viewX + 300 - 86 + 42, viewY + 300 - 29 + 10);
    client->Click(1);
    EXPECT_EQ(app.Wait(5s), std::optional<int>(0));
}

INSTANTIATE_TEST_SUITE_P(Managers, LentaroResizeTest, ::testing::Values(Manager::Absent, Manager::Openbox),
                         [](const ::testing::TestParamInfo<Manager>& info) {
                             return info.param == Manager::Absent ? "NoManager" : "Openbox";
                         });

} // namespace
