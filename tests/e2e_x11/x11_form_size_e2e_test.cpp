// A form's size and place on the real X11 backend, changed from another X client as a user or a
// window manager would, with no manager and under openbox: each size change reaches the form with
// its outer bounds (the manager's frame included) and runs the resize rule; a pure move does not.
// GoogleTest and the toolkit come before the X headers, whose None macro would break them; Xlib's
// Screen type is renamed so that it does not meet the toolkit's Screen object.
#include <gtest/gtest.h>

#include "framework/forms/forms.h"

#define Screen XlibScreen
#include "tests/e2e_x11/x11_toolkit_fixture.h"
#undef Screen

#include <vector>

namespace {

using namespace std::chrono_literals;

enum class Manager { Absent, Openbox };

class X11FormSizeTest : public X11ToolkitTest, public ::testing::WithParamInterface<Manager> {
protected:
    void SetUp() override {
        X11ToolkitTest::SetUp();
        if (HasFatalFailure()) return;
        if (GetParam() == Manager::Openbox) {
            std::string error;
            wm = e2e::StartWindowManager({"openbox", "--sm-disable"}, xvfb->DisplayName(), *client, error);
            ASSERT_TRUE(wm.Running()) << error;
        }
        form = new TForm(app.get());
        form->SetBounds(100, 100, 300, 200);
        form->OnCanResize = [this](TObject*, int&, int&, bool&) {
            sizesBeforeChange.push_back({form->Width(), form->Height()});
        };
        form->OnResize = [this](TObject*) { ++resizes; };
        ASSERT_TRUE(ShowAndActivate(*form, "size probe"));
        window = *client->FindWindow("size probe");
        // A manager's frame arrives after mapping and changes the client size once.
        ASSERT_TRUE(PumpUntil([&] { return Mismatch().empty(); })) << Mismatch();
        Pump(100ms);
        sizesBeforeChange.clear();
        resizes = 0;
    }
    void TearDown() override {
        wm.Kill();
        X11ToolkitTest::TearDown();
    }

    // Empty when the form's bounds are those of the window on the screen: with a manager, its
    // frame; with none, the client area and the frame the backend assumes round it.
    std::string Mismatch() {
        const std::optional<TRect> clientArea = client->OuterRect(window);
        std::optional<TRect> outer = client->OuterRect(client->TopLevel(window));
        if (!clientArea || !outer) return "the window is gone";
        if (GetParam() == Manager::Absent) {
            const FrameMetrics f = platform->GetFrameMetrics(WindowKind::Main, 0);
            outer = TRect{clientArea->Left - f.left, clientArea->Top - f.top, clientArea->Right + f.right,
                          clientArea->Bottom + f.bottom};
        }
        const TPoint origin = form->ClientOriginOnScreen();
        if (form->BoundsRect() == *outer && form->ClientRect() == clientArea->Offset(-origin.X, -origin.Y))
            return {};
        auto text = [](const TRect& r) {
            return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ") " +
                   std::to_string(r.Width()) + " x " + std::to_string(r.Height());
        };
        return "form " + text(form->BoundsRect()) + " client " + text(form->ClientRect()) + ", screen " +
               text(*outer) + " client " + text(*clientArea);
    }
    // Waits for the form to follow the screen to a window of `width` x `height` client pixels.
    bool FollowsTo(int width, int height) {
        return PumpUntil([&] {
            return form->ClientWidth() == width && form->ClientHeight() == height && Mismatch().empty();
        });
    }

    TSize ClientSize() const { return {form->ClientWidth(), form->ClientHeight()}; }

    e2e::ChildProcess wm;
    TForm* form = nullptr;
    Window window = 0;
    std::vector<TSize> sizesBeforeChange; // the form's size each time the resize rule ran
    int resizes = 0;
};

TEST_P(X11FormSizeTest, SizeChangesFromOutsideReachTheFormWithTheFrameIncluded) {
    const TSize before{form->Width(), form->Height()};
    XResizeWindow(client->Get(), window, 340, 250);
    XSync(client->Get(), False);
    ASSERT_TRUE(FollowsTo(340, 250)) << Mismatch();
    ASSERT_FALSE(sizesBeforeChange.empty());
    EXPECT_EQ(sizesBeforeChange.front(), before) << "the rule reads the size before the change";
    EXPECT_GE(resizes, 1);

    // Place and size at once: through the manager where there is one.
    if (GetParam() == Manager::Openbox)
        client->RequestMoveResize(window, 150, 120, 260, 180);
    else
        XMoveResizeWindow(client->Get(), window, 150, 120, 260, 180);
    XSync(client->Get(), False);
    ASSERT_TRUE(FollowsTo(260, 180)) << Mismatch();
}

TEST_P(X11FormSizeTest, APureMoveRunsNoResizeRule) {
    const TSize size{form->Width(), form->Height()};
    const int left = form->Left();
    XMoveWindow(client->Get(), window, 400, 300);
    XSync(client->Get(), False);
    ASSERT_TRUE(PumpUntil([&] { return form->Left() != left && Mismatch().empty(); })) << Mismatch();
    Pump(200ms); // nothing late either
    EXPECT_TRUE(sizesBeforeChange.empty());
    EXPECT_EQ(resizes, 0);
    EXPECT_EQ((TSize{form->Width(), form->Height()}), size);
    EXPECT_EQ(Mismatch(), "");
}

// Only a manager changes its frame round a window.
class X11FrameChangeTest : public X11FormSizeTest {};

TEST_P(X11FrameChangeTest, AFrameChangedByTheManagerKeepsTheClientSizeTheManagerGave) {
    const std::vector<long> framed = client->LongProperty(window, "_NET_FRAME_EXTENTS", "CARDINAL");
    const TSize before = ClientSize();
    std::vector<TSize> seen;
    form->OnResize = [&](TObject*) { seen.push_back(ClientSize()); };
    // Maximised, openbox drops the side and bottom borders and sizes the client to the screen.
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(client->Get(), "_NET_WM_STATE", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 1; // add
    e.xclient.data.l[1] =
        static_cast<long>(XInternAtom(client->Get(), "_NET_WM_STATE_MAXIMIZED_VERT", False));
    e.xclient.data.l[2] =
        static_cast<long>(XInternAtom(client->Get(), "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    e.xclient.data.l[3] = 2; // from a pager: the user's own request
    XSendEvent(client->Get(), DefaultRootWindow(client->Get()), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XSync(client->Get(), False);
    ASSERT_TRUE(PumpUntil([&] { return form->ClientWidth() == client->Width() && Mismatch().empty(); }))
        << Mismatch();
    Pump(200ms);
    EXPECT_EQ(Mismatch(), "");
    EXPECT_NE(client->LongProperty(window, "_NET_FRAME_EXTENTS", "CARDINAL"), framed)
        << "the frame did not change";
    // Every size the form had was one the window had on the screen.
    for (const TSize& size : seen)
        EXPECT_TRUE(size == before || size == ClientSize())
            << "a size it never had: " << size.cx << " x " << size.cy;
}

INSTANTIATE_TEST_SUITE_P(Managers, X11FormSizeTest, ::testing::Values(Manager::Absent, Manager::Openbox),
                         [](const ::testing::TestParamInfo<Manager>& info) {
                             return info.param == Manager::Absent ? "NoManager" : "Openbox";
                         });

INSTANTIATE_TEST_SUITE_P(Managers, X11FrameChangeTest, ::testing::Values(Manager::Openbox),
                         [](const ::testing::TestParamInfo<Manager>&) { return std::string("Openbox"); });

} // namespace
