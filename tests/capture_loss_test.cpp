// Losing the mouse capture or the activation: a press under way is cancelled (WM_CANCELMODE) and
// the capture released; an open pop-up menu closes, choosing nothing, once no window of the program
// is active any more, but stays open while the activation only moves between the program's windows.
#include "framework/controls/menus.h"
#include "headless_fixture.h"

#include <string>
#include <vector>

namespace {

using Kind = PlatformEvent::Kind;

// Counts the cancellations it is told of.
class PressProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int cancels = 0;

protected:
    void WMCancelMode(TMessage& m) override {
        ++cancels;
        TCustomControl::WMCancelMode(m);
    }
};

enum class Target { Form, Other, App, Popup };

struct Notice {
    Kind kind;
    Target target;
};

class CaptureLossTest : public ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        form = new TForm(app.get());
        form->SetBounds(100, 100, 300, 200);
        probe = new PressProbe(form);
        probe->SetParent(form);
        probe->SetBounds(10, 10, 50, 30);
        other = new TForm(app.get());
        other->SetBounds(500, 100, 200, 200);
        other->Show();
        form->Show();
        Post(Kind::Activated, form->PlatformWindow());
    }

    WindowId WindowOf(Target t) const {
        switch (t) {
        case Target::Form: return form->PlatformWindow();
        case Target::Other: return other->PlatformWindow();
        case Target::App: return app->PlatformWindow();
        case Target::Popup: break;
        }
        for (const auto& [id, w] : platform.Windows())
            if (w.params.kind == WindowKind::Popup && w.state != ShowState::Hidden) return id;
        return 0;
    }

    void Post(Kind kind, WindowId window, TPoint at = {}, bool process = true) {
        PlatformEvent e;
        e.kind = kind;
        e.window = window;
        e.position = at;
        platform.PostEvent(e);
        if (process) app->ProcessMessages();
    }

    TForm* form = nullptr;
    TForm* other = nullptr;
    PressProbe* probe = nullptr;
};

TEST_F(CaptureLossTest, APressEndsWhenItsWindowLosesTheCaptureOrTheActivation) {
    const struct {
        std::string name;
        std::vector<Notice> notices;
        bool cancelled;
    } cases[] = {
        {"capture lost", {{Kind::CaptureLost, Target::Form}}, true},
        {"deactivated", {{Kind::Deactivated, Target::Form}}, true},
        {"activation to another form",
         {{Kind::Deactivated, Target::Form}, {Kind::Activated, Target::Other}},
         true},
        {"another window's capture lost", {{Kind::CaptureLost, Target::Other}}, false},
        {"another window deactivated", {{Kind::Deactivated, Target::Other}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Post(Kind::Activated, form->PlatformWindow());
        probe->cancels = 0;
        Post(Kind::MouseDown, form->PlatformWindow(), {20, 20});
        ASSERT_EQ(GetCaptureControl(), probe);
        ASSERT_EQ(platform.MouseCapture(), form->PlatformWindow());
        for (const Notice& n : c.notices) Post(n.kind, WindowOf(n.target), {}, false);
        app->ProcessMessages();
        EXPECT_EQ(probe->cancels, c.cancelled ? 1 : 0);
        EXPECT_EQ(GetCaptureControl(), c.cancelled ? nullptr : probe);
        EXPECT_EQ(platform.MouseCapture(), c.cancelled ? 0u : form->PlatformWindow());
        SetCaptureControl(nullptr);
    }
}

TEST_F(CaptureLossTest, AnOpenMenuClosesOnlyWhenTheProgramLosesTheActivation) {
    const struct {
        std::string name;
        std::vector<Notice> notices;
        bool closes;
    } cases[] = {
        {"program deactivated", {{Kind::Deactivated, Target::Form}}, true},
        {"menu's capture lost", {{Kind::CaptureLost, Target::Popup}}, true},
        {"activation to another form",
         {{Kind::Deactivated, Target::Form}, {Kind::Activated, Target::Other}},
         false},
        {"activation to the application window",
         {{Kind::Deactivated, Target::Form}, {Kind::Activated, Target::App}},
         false},
        {"activation through the menu's window and back",
         {{Kind::Deactivated, Target::Form},
          {Kind::Activated, Target::Popup},
          {Kind::Deactivated, Target::Popup},
          {Kind::Activated, Target::Form}},
         false},
    };
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(nullptr);
    item->SetCaption("Only");
    menu.Items()->Add(item);
    int clicks = 0;
    item->OnClick = [&](TObject*) { ++clicks; };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Post(Kind::Activated, form->PlatformWindow());
        clicks = 0;
        // While the menu runs: the first key highlights the item; then the notices arrive; after the
        // queue has run dry, Enter would choose the item if the menu were still open.
        const std::uint64_t t = platform.NowMs();
        PlatformEvent key;
        key.kind = Kind::KeyDown;
        key.window = form->PlatformWindow();
        key.virtualKey = VK_DOWN;
        platform.ScheduleEvent(t + 10, key);
        key.virtualKey = VK_RETURN;
        platform.ScheduleEvent(t + 20, key);
        bool noticed = false;
        platform.waitHook = [&] {
            if (noticed) return;
            noticed = true;
            for (const Notice& n : c.notices) Post(n.kind, WindowOf(n.target), {}, false);
        };
        menu.Popup(150, 150);
        platform.waitHook = nullptr;
        EXPECT_EQ(clicks, c.closes ? 0 : 1);
        EXPECT_EQ(menu.Tracker(), nullptr);
        EXPECT_EQ(GetCaptureControl(), nullptr);
        EXPECT_EQ(app->InputCaptureForm(), nullptr);
        EXPECT_FALSE(app->Terminated());
        AdvanceAndProcess(20); // a key the closed menu left in the queue goes to the form
    }
}

} // namespace
