// The error box the toolkit draws where the platform has none: layout, closing keys and clicks, the
// modal loop (timer ticks go on, other windows are disabled) and the one-box-at-a-time rule.
#include "framework/core/timer.h"
#include "framework/forms/message_box.h"
#include "headless_fixture.h"

#include <functional>

namespace {

class MessageBoxTest : public ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        platform.noNativeMessageBox = true;
    }

    static TMessageBoxForm* OpenBox() {
        for (TCustomForm* f : Screen->Forms())
            if (auto* box = dynamic_cast<TMessageBoxForm*>(f); box != nullptr && box->Visible()) return box;
        return nullptr;
    }

    void Post(PlatformEvent::Kind kind, WindowId window, std::uint16_t key = 0, TPoint at = {}) {
        PlatformEvent e;
        e.kind = kind;
        e.window = window;
        e.virtualKey = key;
        e.position = at;
        platform.PostEvent(e);
    }

    // Shows the error box for `message`; `whileUp` runs once while it is up, then the box is closed
    // by `closeWith` (an event for the box's window). Returns what ShowErrorBox left behind.
    void ShowAndClose(const std::string& message, const std::function<void(TMessageBoxForm&)>& whileUp,
                      const std::function<void(WindowId)>& closeWith) {
        bool acted = false;
        platform.waitHook = [&] {
            TMessageBoxForm* box = OpenBox();
            if (box == nullptr || acted) return;
            acted = true;
            whileUp(*box);
            closeWith(box->PlatformWindow());
        };
        // Something to wait for, so the virtual clock moves and the hook runs.
        platform.ScheduleEvent(platform.NowMs() + 10, PlatformEvent{});
        app->ShowErrorBox(message);
        platform.waitHook = nullptr;
        ASSERT_TRUE(acted) << "the box never waited for input";
    }
};

TEST_F(MessageBoxTest, ShowsTheTextWithTheFullStopRuleInADialogCaptionedWithTheTitle) {
    std::vector<std::string> lines;
    HeadlessPlatform::Window seen;
    ShowAndClose(
        "Disk is full",
        [&](TMessageBoxForm& box) {
            lines = box.Lines();
            seen = *platform.FindWindow(box.PlatformWindow());
        },
        [&](WindowId w) { Post(PlatformEvent::Kind::KeyDown, w, VK_RETURN); });
    EXPECT_EQ(lines, std::vector<std::string>{"Disk is full."});
    EXPECT_EQ(seen.params.kind, WindowKind::Dialog);
    EXPECT_EQ(seen.params.caption, "Lentaro");
    EXPECT_EQ(seen.state, ShowState::Normal);
    // The native box was not used, and nothing of the toolkit box is left.
    EXPECT_TRUE(platform.MessageBoxes().empty());
    EXPECT_EQ(OpenBox(), nullptr);
}

TEST_F(MessageBoxTest, OpensCentredOnTheActiveWindowsMonitorAtItsScale) {
    platform.SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true, 96},
                          {{1024, 0, 1824, 600}, {1024, 0, 1824, 570}, false, 192}});
    auto* owner = new TForm(app.get());
    owner->SetBounds(1200, 100, 300, 200);
    owner->Show();
    app->ProcessMessages();
    ASSERT_TRUE(owner->Active());
    TRect outer, ok;
    std::vector<std::uint32_t> acrossTheButtonsEdge;
    ShowAndClose(
        "x",
        [&](TMessageBoxForm& box) {
            outer = platform.FindWindow(box.PlatformWindow())->outerBounds;
            ok = box.OkButtonRect();
            const PixelSurface& s = *platform.WindowSurface(box.PlatformWindow());
            for (int x = ok.Left; x < ok.Left + 5; ++x)
                acrossTheButtonsEdge.push_back(s.Pixel(x, ok.Top + 10));
        },
        [&](WindowId w) { Post(PlatformEvent::Kind::KeyDown, w, VK_RETURN); });
    // The second monitor's work area is (1024, 0) to (1824, 570): its centre is (1424, 285).
    EXPECT_NEAR((outer.Left + outer.Right) / 2, 1424, 1);
    EXPECT_NEAR((outer.Top + outer.Bottom) / 2, 285, 1);
    EXPECT_EQ(ok.Width(), 150); // the 75-pixel button at twice the scale
    // Its black frame and light edge are two pixels each, then the face.
    const std::uint32_t black = 0, light = ColorToPixel(clBtnHighlight), face = ColorToPixel(clBtnFace);
    EXPECT_EQ(acrossTheButtonsEdge, (std::vector<std::uint32_t>{black, black, light, light, face}));
}

TEST_F(MessageBoxTest, EnterEscapeAndSpaceEachCloseIt) {
    for (std::uint16_t key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
        bool stillUpAfterOtherKey = false;
        ShowAndClose(
            "x",
            [&](TMessageBoxForm& box) {
                // A key that is not a closing key leaves the box up.
                box.Perform(WM_KEYDOWN, 'A', 0);
                stillUpAfterOtherKey = !box.Closed();
            },
            [&](WindowId w) { Post(PlatformEvent::Kind::KeyDown, w, key); });
        EXPECT_TRUE(stillUpAfterOtherKey) << key;
        EXPECT_EQ(OpenBox(), nullptr) << key;
    }
}

TEST_F(MessageBoxTest, AClickOnOkClosesItAndAClickElsewhereDoesNot) {
    TRect ok;
    ShowAndClose(
        "x", [&](TMessageBoxForm& box) { ok = box.OkButtonRect(); },
        [&](WindowId w) {
            // Pressed on OK but released away from it: abandoned. Then a real click.
            Post(PlatformEvent::Kind::MouseDown, w, 0, {ok.Left + 5, ok.Top + 5});
            Post(PlatformEvent::Kind::MouseUp, w, 0, {ok.Right + 20, ok.Top + 5});
            Post(PlatformEvent::Kind::MouseDown, w, 0, {1, 1});
            Post(PlatformEvent::Kind::MouseUp, w, 0, {1, 1});
            // The real click comes later, so the box must have survived the two above.
            PlatformEvent click;
            click.window = w;
            click.position = {ok.Left + 10, ok.Top + 10};
            click.kind = PlatformEvent::Kind::MouseDown;
            platform.ScheduleEvent(platform.NowMs() + 50, click);
            click.kind = PlatformEvent::Kind::MouseUp;
            platform.ScheduleEvent(platform.NowMs() + 60, click);
        });
    EXPECT_FALSE(ok.IsEmpty());
    // The box stayed until the real click at +60 ms.
    EXPECT_GE(platform.NowMs(), 60u);
    EXPECT_EQ(OpenBox(), nullptr);
}

TEST_F(MessageBoxTest, TimerTicksGoOnAndOtherWindowsAreDisabledWhileItIsUp) {
    auto* form = new TForm(app.get());
    form->Show();
    app->ProcessMessages();
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(100);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    bool formEnabledWhileUp = true;
    bool acted = false;
    platform.waitHook = [&] {
        TMessageBoxForm* box = OpenBox();
        if (box == nullptr || acted) return;
        formEnabledWhileUp = platform.FindWindow(form->PlatformWindow())->enabled;
        if (platform.NowMs() < 1000) return; // keep it up for a virtual second
        acted = true;
        Post(PlatformEvent::Kind::KeyDown, box->PlatformWindow(), VK_ESCAPE);
    };
    app->ShowErrorBox("tick");
    platform.waitHook = nullptr;
    EXPECT_GE(ticks, 9);
    EXPECT_FALSE(formEnabledWhileUp);
    EXPECT_TRUE(platform.FindWindow(form->PlatformWindow())->enabled);
}

TEST_F(MessageBoxTest, AnErrorWhileTheBoxIsUpOpensNoSecondBox) {
    int boxesSeen = 0;
    ShowAndClose(
        "first",
        [&](TMessageBoxForm&) {
            app->ShowErrorBox("second"); // goes to standard error
            for (TCustomForm* f : Screen->Forms()) boxesSeen += dynamic_cast<TMessageBoxForm*>(f) != nullptr;
        },
        [&](WindowId w) { Post(PlatformEvent::Kind::KeyDown, w, VK_RETURN); });
    EXPECT_EQ(boxesSeen, 1);
}

TEST_F(MessageBoxTest, DrawsTheStopIconTheTextAndTheButton) {
    std::uint32_t iconRim = 0, iconCross = 0, iconCorner = 0;
    int darkTextPixels = 0, darkLabelPixels = 0;
    ShowAndClose(
        "Something failed",
        [&](TMessageBoxForm& box) {
            const PixelSurface& s = *platform.WindowSurface(box.PlatformWindow());
            const TRect icon = box.IconRect();
            const int cx = icon.Left + icon.Width() / 2, cy = icon.Top + icon.Height() / 2;
            iconRim = s.Pixel(cx, cy - 11); // inside the red disc, off the X
            iconCross = s.Pixel(cx, cy);    // the white X crosses the centre
            iconCorner = s.Pixel(icon.Left, icon.Top);
            const auto countDark = [&](const TRect& r) {
                int n = 0;
                for (int y = r.Top; y < r.Bottom; ++y)
                    for (int x = r.Left; x < r.Right; ++x) n += s.Pixel(x, y) == 0;
                return n;
            };
            darkTextPixels = countDark(box.TextRect());
            const TRect ok = box.OkButtonRect();
            darkLabelPixels = countDark({ok.Left + 3, ok.Top + 3, ok.Right - 3, ok.Bottom - 3});
        },
        [&](WindowId w) { Post(PlatformEvent::Kind::KeyDown, w, VK_RETURN); });
    EXPECT_EQ(iconRim, 0xFF0000u);
    EXPECT_EQ(iconCross, 0xFFFFFFu);
    EXPECT_EQ(iconCorner, raster::ColorRefToPixel(ClassicSysColor(15))); // the face colour round the disc
    EXPECT_GT(darkTextPixels, 20);
    EXPECT_GT(darkLabelPixels, 5); // "OK"
}

TEST(MessageBoxLayoutTest, LongTextIsWrappedAtSpacesAndLineFeedsAreKept) {
    HeadlessPlatform platform;
    SetCurrentPlatform(&platform);
    {
        const std::string longLine(40, 'w');
        TMessageBoxForm box(nullptr, longLine + " " + longLine + " " + longLine + "\nsecond", "Lentaro");
        ASSERT_GE(box.Lines().size(), 3u);
        EXPECT_EQ(box.Lines().back(), "second");
        for (const std::string& line : box.Lines()) EXPECT_LE(box.Canvas()->TextWidth(line), 420) << line;
        // The button sits below the text, inside the client area.
        EXPECT_GE(box.OkButtonRect().Top, box.TextRect().Bottom);
        EXPECT_LE(box.OkButtonRect().Bottom, box.ClientRect().Bottom);
    }
    SetCurrentPlatform(nullptr);
}

} // namespace
