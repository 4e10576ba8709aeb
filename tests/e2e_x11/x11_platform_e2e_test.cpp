// The X11 backend on a real server (Xvfb), without the toolkit: presenting, reading the screen,
// input translation, capture loss and the clipboard between two connections.
// GoogleTest comes before the X headers, whose None macro would break it.
#include <gtest/gtest.h>

#include "framework/platform/headless/headless_platform.h"
#include "framework/platform/x11/x11_platform.h"
#include "tests/e2e_x11/x11_e2e_support.h"

#include <X11/keysym.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;

class X11PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        xvfb = std::make_unique<e2e::Xvfb>();
        ASSERT_TRUE(xvfb->Ok());
        client = std::make_unique<e2e::XClient>(xvfb->DisplayName());
        client->SetRootPicture(&HeadlessPlatform::TestPatternPixel);
        std::string error;
        platform = X11Platform::Open(xvfb->DisplayName().c_str(), error);
        ASSERT_TRUE(platform) << error;
    }
    void TearDown() override {
        platform.reset();
        client.reset();
        if (xvfb) xvfb->Process().Kill();
    }

    // A shown window whose client area is at (100 + 4, 100 + 23), 200 x 100.
    WindowId ShowWindow() {
        WindowParams p;
        p.caption = "probe";
        p.outerBounds = Bounds(100, 100, 208, 127);
        const WindowId id = platform->CreateTopLevelWindow(p);
        platform->ShowWindow(id, ShowState::Normal);
        e2e::WaitUntil([&] { return client->FindWindow("probe").has_value(); }, 5s);
        Drain();
        return id;
    }

    // A shown pop-up window at (500, 500), 80 x 60.
    WindowId ShowPopup() {
        WindowParams p;
        p.kind = WindowKind::Popup;
        p.caption = "popup";
        p.outerBounds = Bounds(500, 500, 80, 60);
        const WindowId id = platform->CreateTopLevelWindow(p);
        platform->ShowWindow(id, ShowState::Normal);
        return id;
    }

    std::vector<PlatformEvent> Drain(std::chrono::milliseconds quiet = 100ms) {
        std::vector<PlatformEvent> events;
        auto end = std::chrono::steady_clock::now() + quiet;
        while (std::chrono::steady_clock::now() < end) {
            PlatformEvent e;
            if (platform->PeekEvent(e)) {
                if (e.kind != PlatformEvent::Kind::Timer) events.push_back(e);
                end = std::chrono::steady_clock::now() + quiet;
            } else {
                platform->WaitForEvent(10);
            }
        }
        return events;
    }

    std::unique_ptr<e2e::Xvfb> xvfb;
    std::unique_ptr<e2e::XClient> client;
    std::unique_ptr<X11Platform> platform;
};

TEST_F(X11PlatformTest, PresentsTheBackSurfaceAndAnswersExposeFromIt) {
    const WindowId id = ShowWindow();
    PixelSurface* s = platform->WindowSurface(id);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->Width(), 200);
    ASSERT_EQ(s->Height(), 100);
    // Our connection and the test's are served in no fixed order: a present flushed on one may
    // reach the screen just after a read made on the other, so each check waits for its pixel.
    const auto shows = [&](int x, int y, std::uint32_t colour) {
        return e2e::WaitUntil([&] { return client->Grab(104 + x, 123 + y, 1, 1).Pixel(0, 0) == colour; }, 2s);
    };
    raster::FillRect(*s, s->Bounds(), 0x336699, s->Bounds());
    raster::FillRect(*s, {10, 10, 20, 20}, 0xFF8000, s->Bounds());
    platform->PresentWindow(id, s->Bounds());
    EXPECT_TRUE(shows(15, 15, 0xFF8000));
    EXPECT_TRUE(shows(0, 0, 0x336699));
    EXPECT_TRUE(shows(199, 99, 0x336699));
    // Only the damaged rectangle is sent: a change outside it stays off the screen.
    raster::FillRect(*s, {100, 50, 110, 60}, 0x00FF00, s->Bounds());
    raster::FillRect(*s, {0, 0, 5, 5}, 0x0000FF, s->Bounds());
    platform->PresentWindow(id, {100, 50, 110, 60});
    EXPECT_TRUE(shows(105, 55, 0x00FF00));
    EXPECT_EQ(client->Grab(104, 123, 1, 1).Pixel(0, 0), 0x336699u);
    // Covered by another window and uncovered again, it comes back from its back surface unaided.
    Window cover = XCreateSimpleWindow(client->Get(), DefaultRootWindow(client->Get()), 90, 110, 300, 200, 0,
                                       0, 0xFFFFFF);
    XMapWindow(client->Get(), cover);
    XSync(client->Get(), False);
    XDestroyWindow(client->Get(), cover);
    XSync(client->Get(), False);
    Drain();
    EXPECT_TRUE(shows(105, 55, 0x00FF00));
    EXPECT_TRUE(shows(0, 0, 0x0000FF));
}

TEST_F(X11PlatformTest, StretchesAScreenRectangleAndReadsOffScreenPartsAsBlack) {
    const ScreenHandle screen = platform->AcquireScreen();
    ASSERT_NE(screen, 0u);
    PixelSurface dest(20, 20);
    // Straddles the top-left corner: half the source lies off the screen.
    ASSERT_TRUE(platform->StretchFromScreen(screen, {-5, -5, 5, 5}, dest, dest.Bounds(), dest.Bounds()));
    EXPECT_EQ(dest.Pixel(0, 0), 0u);
    EXPECT_EQ(dest.Pixel(9, 9), 0u);
    EXPECT_EQ(dest.Pixel(10, 10), HeadlessPlatform::TestPatternPixel(0, 0));
    EXPECT_EQ(dest.Pixel(11, 11), HeadlessPlatform::TestPatternPixel(0, 0)); // magnified twice
    EXPECT_EQ(dest.Pixel(19, 12), HeadlessPlatform::TestPatternPixel(4, 1));
    // Entirely off the screen: all black, and still a success.
    raster::FillRect(dest, dest.Bounds(), 0x123456, dest.Bounds());
    ASSERT_TRUE(platform->StretchFromScreen(screen, {2000, 0, 2010, 10}, dest, dest.Bounds(), dest.Bounds()));
    EXPECT_EQ(dest.Pixel(5, 5), 0u);
    // Only the clip rectangle is touched.
    raster::FillRect(dest, dest.Bounds(), 0x123456, dest.Bounds());
    ASSERT_TRUE(
        platform->StretchFromScreen(screen, {500, 500, 510, 510}, dest, dest.Bounds(), {0, 0, 10, 20}));
    EXPECT_EQ(dest.Pixel(5, 5), HeadlessPlatform::TestPatternPixel(502, 502));
    EXPECT_EQ(dest.Pixel(15, 5), 0x123456u);
    platform->ReleaseScreen(screen);
    EXPECT_FALSE(platform->StretchFromScreen(screen, {0, 0, 10, 10}, dest, dest.Bounds(), dest.Bounds()));
}

TEST_F(X11PlatformTest, PointerAndDisplaySize) {
    client->MovePointer(321, 234);
    EXPECT_EQ(platform->GetCursorPos(), (TPoint{321, 234}));
    platform->SetCursorPos(40, 50);
    EXPECT_EQ(platform->GetCursorPos(), (TPoint{40, 50}));
    EXPECT_EQ(platform->PrimaryDisplaySize(), (TSize{1024, 768}));
}

TEST_F(X11PlatformTest, TranslatesClicksDoubleClicksWheelKeysAndCloseRequests) {
    const WindowId id = ShowWindow();
    client->MovePointer(104 + 30, 123 + 40);
    client->Click(1);
    client->Click(1);
    client->Click(4);
    client->Click(5);
    XSetInputFocus(client->Get(), *client->FindWindow("probe"), RevertToParent, CurrentTime);
    client->Key(XK_a);
    client->Key(XK_Left);
    client->SendDeleteWindow(*client->FindWindow("probe"));
    client->MovePointer(10, 10); // out of the window
    std::vector<PlatformEvent> downs, ups, wheels, keyDowns, chars;
    bool closed = false, left = false;
    for (const PlatformEvent& e : Drain(300ms)) {
        EXPECT_EQ(e.window, id);
        switch (e.kind) {
        case PlatformEvent::Kind::MouseDown: downs.push_back(e); break;
        case PlatformEvent::Kind::MouseUp: ups.push_back(e); break;
        case PlatformEvent::Kind::MouseWheel: wheels.push_back(e); break;
        case PlatformEvent::Kind::KeyDown: keyDowns.push_back(e); break;
        case PlatformEvent::Kind::Char: chars.push_back(e); break;
        case PlatformEvent::Kind::CloseRequest: closed = true; break;
        case PlatformEvent::Kind::MouseLeave: left = true; break;
        default: break;
        }
    }
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].position, (TPoint{30, 40}));
    EXPECT_EQ(downs[0].screenPosition, (TPoint{134, 163}));
    EXPECT_EQ(downs[0].shift, kShiftLeft);
    EXPECT_EQ(downs[1].shift, kShiftLeft | kShiftDouble);
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(ups[0].shift, 0u);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(wheels[0].wheelDelta, 120);
    EXPECT_EQ(wheels[1].wheelDelta, -120);
    ASSERT_EQ(keyDowns.size(), 2u);
    EXPECT_EQ(keyDowns[0].virtualKey, 'A');
    EXPECT_EQ(keyDowns[1].virtualKey, 0x25);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].character, 'a');
    EXPECT_TRUE(closed);
    EXPECT_TRUE(left);
}

TEST_F(X11PlatformTest, AnOpenPopupTakesClicksAnywhereAndEveryKey) {
    const WindowId main = ShowWindow();
    const WindowId popup = ShowPopup();
    platform->SetMouseCapture(popup);
    Drain();
    client->MovePointer(104 + 30, 123 + 40); // over the main window
    client->Click(1);
    client->Key(XK_Escape);
    std::vector<PlatformEvent> events = Drain();
    platform->SetMouseCapture(0);
    client->Click(1); // released: the main window gets its click again
    const std::vector<PlatformEvent> after = Drain();
    int popupDowns = 0, popupKeys = 0, mainDowns = 0;
    for (const PlatformEvent& e : events) {
        if (e.kind == PlatformEvent::Kind::MouseDown && e.window == popup) {
            ++popupDowns;
            EXPECT_EQ(e.position, (TPoint{134 - 500, 163 - 500})); // relative to the pop-up
        }
        popupKeys += e.kind == PlatformEvent::Kind::KeyDown && e.window == popup && e.virtualKey == 0x1B;
    }
    for (const PlatformEvent& e : after)
        mainDowns += e.kind == PlatformEvent::Kind::MouseDown && e.window == main;
    EXPECT_EQ(popupDowns, 1);
    EXPECT_EQ(popupKeys, 1);
    EXPECT_EQ(mainDowns, 1);
}

TEST_F(X11PlatformTest, AGrabByAnotherClientTakesTheCaptureAndOurOwnGrabDoesNot) {
    const WindowId main = ShowWindow();
    const WindowId popup = ShowPopup();
    client->MovePointer(104 + 30, 123 + 40); // over the main window
    Drain();
    Display* other = client->Get(); // a connection of its own: another client
    const Window taker = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(other, taker);
    XSync(other, False);
    auto grabByOther = [&] {
        return XGrabPointer(other, taker, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                            CurrentTime) == GrabSuccess;
    };
    auto lostBy = [&](WindowId window) {
        int lost = 0;
        for (const PlatformEvent& e : Drain()) {
            if (e.kind != PlatformEvent::Kind::CaptureLost) continue;
            EXPECT_EQ(e.window, window);
            ++lost;
        }
        return lost;
    };

    // Our own pop-up grab moves the capture away from the main window: no loss.
    platform->SetMouseCapture(main);
    platform->SetMouseCapture(popup);
    EXPECT_EQ(lostBy(0), 0);
    platform->SetMouseCapture(0);
    Drain();

    // Another client grabs while the main window holds the capture (no grab of ours is active).
    platform->SetMouseCapture(main);
    ASSERT_TRUE(grabByOther());
    XSync(other, False);
    EXPECT_EQ(lostBy(main), 1);
    platform->SetMouseCapture(0);

    // A pop-up cannot grab while another client holds the pointer.
    platform->SetMouseCapture(popup);
    EXPECT_EQ(lostBy(popup), 1);
    platform->SetMouseCapture(0);
    XUngrabPointer(other, CurrentTime);
    XDestroyWindow(other, taker);
    XSync(other, False);
}

TEST_F(X11PlatformTest, InputToADisabledWindowIsDropped) {
    const WindowId id = ShowWindow();
    platform->EnableWindow(id, false);
    client->MovePointer(104 + 30, 123 + 40);
    client->Click(1);
    client->SendDeleteWindow(*client->FindWindow("probe"));
    for (const PlatformEvent& e : Drain()) {
        EXPECT_NE(e.kind, PlatformEvent::Kind::MouseDown);
        EXPECT_NE(e.kind, PlatformEvent::Kind::CloseRequest);
    }
}

TEST_F(X11PlatformTest, ClipboardTextPassesBetweenProgramsAsLatin1) {
    std::string error;
    auto other = X11Platform::Open(xvfb->DisplayName().c_str(), error);
    ASSERT_TRUE(other);
    EXPECT_FALSE(platform->GetClipboardText().has_value()); // nobody owns it
    ASSERT_TRUE(other->SetClipboardText("caf\xE9 50\xB0"));
    // The owner answers requests from its own loop, here on a thread of its own.
    std::atomic<bool> stop{false};
    std::thread owner([&] {
        while (!stop) {
            PlatformEvent e;
            if (!other->PeekEvent(e)) other->WaitForEvent(10);
        }
    });
    const std::optional<std::string> pasted = platform->GetClipboardText();
    stop = true;
    owner.join();
    EXPECT_EQ(pasted, std::optional<std::string>("caf\xE9 50\xB0"));
    // An owner that never answers: after about half a second, nothing is pasted.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(platform->GetClipboardText().has_value());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 400ms);
    // Our own text comes back without a round trip through the server.
    ASSERT_TRUE(platform->SetClipboardText("mine"));
    EXPECT_EQ(platform->GetClipboardText(), std::optional<std::string>("mine"));
}

TEST_F(X11PlatformTest, TimersWakeTheWaitAndFireOncePerPeriod) {
    const std::uint64_t start = platform->NowMs();
    ASSERT_TRUE(platform->SetTimer(7, 100));
    int ticks = 0;
    while (platform->NowMs() - start < 550) {
        PlatformEvent e;
        if (platform->PeekEvent(e)) {
            ticks += e.kind == PlatformEvent::Kind::Timer && e.timer == 7;
        } else {
            platform->WaitForEvent(UINT32_MAX);
        }
    }
    EXPECT_EQ(ticks, 5);
}

TEST_F(X11PlatformTest, TextIsMeasuredAndDrawnWithAnInstalledFont) {
    const auto check = [&](const FontSpec& font) {
        SCOPED_TRACE(font.height);
        const FontMetrics m = platform->GetFontMetrics(font);
        EXPECT_GE(m.height, 11);
        EXPECT_LE(m.height, 18);
        EXPECT_GT(m.averageCharWidth, 0);
        EXPECT_EQ(platform->MeasureText(font, "OKOK"), 2 * platform->MeasureText(font, "OK"));
        PixelSurface s(60, 20);
        raster::FillRect(s, s.Bounds(), 0xFFFFFF, s.Bounds());
        platform->RenderText(s, font, 2, 2, "OK", 0x000000, {0, 0, 10, 20});
        int inked = 0, outside = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 60; ++x) (x < 10 ? inked : outside) += s.Pixel(x, y) != 0xFFFFFFu;
        EXPECT_GT(inked, 5);
        EXPECT_EQ(outside, 0); // the clip holds
    };
    const FontSpec dialogFont; // "MS Sans Serif", -11
    check(dialogFont);
    // The classic dialog font takes a font of its width: the crosshair size edit's text fits the
    // 46 pixels its text area has beside the spin button.
    EXPECT_LE(platform->MeasureText(dialogFont, "20 pixels"), 46);
    // Once a window has been presented and the program waits, the font lookup is unloaded; a font
    // first asked for after that loads it again.
    ShowWindow();
    check({"MS Sans Serif", -13, true});
}

} // namespace
