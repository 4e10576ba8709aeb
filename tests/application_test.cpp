// The application object: error box text and modality, the loop, closing the main window.
#include "framework/core/exceptions.h"
#include "framework/core/timer.h"
#include "headless_fixture.h"

#include <stdexcept>

namespace {

TEST(ErrorBoxText, FullStopOnlyAfterCharactersThatSortAfterIt) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"Disk full", "Disk full."}, {"Code 42", "Code 42."},    {"Done.", "Done."},
        {"Stop!", "Stop!"},          {"(see log)", "(see log)"}, {"a, b,", "a, b,"},
        {"trailing ", "trailing "},  {"Really?", "Really?."},    {"", ""},
        {"dash-", "dash-"},          {"slash/", "slash/."},      {"high \xE9", "high \xE9."},
    };
    for (const Case& c : cases) EXPECT_EQ(TApplication::ErrorBoxText(c.in), c.out) << c.in;
}

class ApplicationLoopTest : public ApplicationTest {};

TEST_F(ApplicationLoopTest, ErrorBoxHasTitleCaptionOkButtonAndStopIcon) {
    try {
        throw Exception("Something broke");
    } catch (...) {
        app->HandleException(nullptr);
    }
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    const auto& box = platform.MessageBoxes()[0];
    EXPECT_EQ(box.text, "Something broke.");
    EXPECT_EQ(box.caption, "Lentaro");
    EXPECT_EQ(box.flags, 0x10u);
    EXPECT_EQ(box.owner, app->PlatformWindow());
}

TEST_F(ApplicationLoopTest, SilentAbortShowsNothingAndForeignErrorsShowTheirText) {
    try {
        throw EAbort();
    } catch (...) {
        app->HandleException(nullptr);
    }
    EXPECT_TRUE(platform.MessageBoxes().empty());
    try {
        throw 42;
    } catch (...) {
        app->HandleException(nullptr);
    }
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes()[0].text, "");
}

TEST_F(ApplicationLoopTest, ErrorHookReplacesTheBox) {
    std::string seen;
    app->OnException = [&](TObject*, const std::exception& e) { seen = e.what(); };
    try {
        throw Exception("hooked");
    } catch (...) {
        app->HandleException(nullptr);
    }
    EXPECT_EQ(seen, "hooked");
    EXPECT_TRUE(platform.MessageBoxes().empty());
}

TEST_F(ApplicationLoopTest, WhileABoxIsUpFurtherErrorsGoToStandardErrorNotASecondBox) {
    auto* timer = new TTimer(app.get());
    timer->SetInterval(100);
    timer->SetOnTimer([](TObject*) { throw Exception("tick failed"); });
    int nestedTicks = 0;
    // The box's modal loop keeps dispatching ticks, which fail again.
    platform.SetMessageBoxHook([&](const HeadlessPlatform::MessageBoxRecord&) {
        for (int i = 0; i < 3; ++i) {
            platform.Advance(100);
            app->ProcessMessages();
            ++nestedTicks;
        }
    });
    testing::internal::CaptureStderr();
    AdvanceAndProcess(100);
    const std::string captured = testing::internal::GetCapturedStderr();
    EXPECT_EQ(nestedTicks, 3);
    EXPECT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_NE(captured.find("tick failed."), std::string::npos);
    EXPECT_FALSE(app->ErrorBoxShowing());
}

TEST_F(ApplicationLoopTest, OtherWindowsAreDisabledWhileTheBoxIsUpAndEnabledAfter) {
    auto* form = new TForm(app.get());
    form->Show();
    bool disabledDuringBox = false;
    platform.SetMessageBoxHook([&](const HeadlessPlatform::MessageBoxRecord&) {
        disabledDuringBox = !platform.FindWindow(form->PlatformWindow())->enabled;
    });
    app->ShowErrorBox("x");
    EXPECT_TRUE(disabledDuringBox);
    EXPECT_TRUE(platform.FindWindow(form->PlatformWindow())->enabled);
}

TEST_F(ApplicationLoopTest, PostedQuitEndsTheLoop) {
    app->Terminate();
    app->Run();
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(app->Running());
}

TEST_F(ApplicationLoopTest, RepaintsGoBeforeATimerTick) {
    TForm* form = nullptr;
    app->CreateForm(form);
    form->Show();
    std::vector<std::string> order;
    auto* timer = new TTimer(app.get());
    timer->SetInterval(10);
    timer->SetOnTimer(
        [&](TObject*) { order.push_back(form->PaintPending() ? "tick-before-paint" : "tick"); });
    platform.Advance(10);
    form->Invalidate();
    app->ProcessMessages();
    ASSERT_EQ(order.size(), 1u);
    EXPECT_EQ(order[0], "tick");
}

TEST_F(ApplicationLoopTest, TicksHeldForRepaintsAreEachDeliveredOnceUnlessTheirTimerStopped) {
    TForm* forms[2] = {};
    for (TForm*& f : forms) {
        app->CreateForm(f);
        f->Show();
    }
    app->ProcessMessages();
    std::vector<std::string> ticks;
    TTimer* timers[3] = {};
    for (int i = 0; i < 3; ++i) {
        timers[i] = new TTimer(app.get());
        timers[i]->SetInterval(10);
        timers[i]->SetOnTimer([&ticks, i](TObject*) { ticks.push_back("t" + std::to_string(i)); });
    }
    platform.Advance(10);
    for (TForm* f : forms) f->Invalidate();
    // Every due tick meets a pending repaint and is held; the third timer stops while its tick waits.
    for (int i = 0; i < 2; ++i) app->ProcessMessage();
    timers[2]->SetEnabled(false);
    app->ProcessMessages();
    EXPECT_EQ(ticks, (std::vector<std::string>{"t0", "t1"}));
}

TEST_F(ApplicationLoopTest, ARepaintAskedForByIdleWorkIsPaintedBeforeTheLoopWaits) {
    struct EnterPainted : TCustomControl {
        using TCustomControl::TCustomControl;
        void CMMouseEnter(TMessage&) override { Invalidate(); }
    };
    TForm* form = nullptr;
    app->CreateForm(form);
    auto* control = new EnterPainted(form);
    control->SetParent(form);
    control->SetBounds(0, 0, 50, 50);
    form->Show();
    app->ProcessMessages();
    bool waitedWithPaintPending = false;
    platform.waitHook = [&] { waitedWithPaintPending |= form->PaintPending(); };
    PlatformEvent move;
    move.kind = PlatformEvent::Kind::MouseMove;
    move.window = form->PlatformWindow();
    move.position = {10, 10};
    platform.PostEvent(move);
    for (int i = 0; i < 4; ++i) app->HandleMessage();
    platform.waitHook = nullptr;
    EXPECT_EQ(GetMouseControl(), control);
    EXPECT_FALSE(waitedWithPaintPending);
}

TEST_F(ApplicationLoopTest, ErrorsWhileTheBoxIsUpOrWhenItFailsGoToTheDebuggerOneLineEach) {
    app->SetTitle("Lentaro");
    platform.SetMessageBoxHook([&](const HeadlessPlatform::MessageBoxRecord& box) {
        if (box.text == "first.") app->ShowErrorBox("second\nline");
        if (box.text == "broken box.") throw std::runtime_error("no box");
    });
    testing::internal::CaptureStderr();
    app->ShowErrorBox("first");
    app->ShowErrorBox("broken box");
    const std::string captured = testing::internal::GetCapturedStderr();
    EXPECT_EQ(platform.DebugLines(),
              (std::vector<std::string>{"Lentaro: second line.", "Lentaro: broken box."}));
    EXPECT_EQ(captured, "Lentaro: second line.\nLentaro: broken box.\n");
    EXPECT_FALSE(app->ErrorBoxShowing());
}

TEST_F(ApplicationLoopTest, ClosingTheMainFormTerminatesButAnotherFormOnlyHides) {
    TForm* main = nullptr;
    app->CreateForm(main);
    TForm* other = nullptr;
    app->CreateForm(other);
    EXPECT_EQ(app->MainForm(), main);
    other->Show();
    other->Close();
    EXPECT_FALSE(other->Visible());
    app->ProcessMessages();
    EXPECT_FALSE(app->Terminated());
    PlatformEvent close;
    close.kind = PlatformEvent::Kind::CloseRequest;
    close.window = main->PlatformWindow();
    platform.PostEvent(close);
    app->ProcessMessages();
    EXPECT_TRUE(app->Terminated());
}

TEST_F(ApplicationLoopTest, TitleReachesTheApplicationWindow) {
    app->SetTitle("Lentaro");
    EXPECT_EQ(platform.FindWindow(app->PlatformWindow())->params.caption, "Lentaro");
}

} // namespace

TEST_F(ApplicationLoopTest, InsideTheSystemsOwnLoopTheToolkitHandlesWhatArrivedAndPresentsIt) {
    ASSERT_TRUE(platform.SystemLoopHook());
    auto* form = new TForm(app.get());
    form->SetBounds(10, 10, 200, 150);
    form->Show();
    app->ProcessMessages();
    const int presented = platform.FindWindow(form->PlatformWindow())->presentCount;
    // A border drag: the size changes while the system's loop, not the program's, runs.
    platform.UserSetBounds(form->PlatformWindow(), Bounds(10, 10, 260, 180));
    platform.SystemLoopHook()();
    EXPECT_EQ(form->Width(), 260);
    EXPECT_GT(platform.FindWindow(form->PlatformWindow())->presentCount, presented);
    app.reset();
    EXPECT_FALSE(platform.SystemLoopHook()); // the application takes its hook back when it goes
}
