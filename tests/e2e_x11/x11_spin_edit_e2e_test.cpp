// The two spin edits of the main window on the real X11 backend (a private Xvfb), read from their
// stored entries, driven through XTest and checked on the screen: the button steps, repeats while
// held and shows the classic diagonal face (X has no theme); keys and the wheel step; the zoom power
// commits a typed value clamped into its range when Tab takes the focus away.
// GoogleTest and the toolkit come before the X headers, whose None macro would break them; Xlib's
// Screen type is renamed so that it does not meet the toolkit's Screen object.
#include <gtest/gtest.h>

#include "spinedit/lc_spin_edit.h"
#include "tests/spin_button_face.h"
#include "tests/spin_edit_description.h"

#define Screen XlibScreen
#include "tests/e2e_x11/x11_toolkit_fixture.h"
#undef Screen

#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class X11SpinEditTest : public X11ToolkitTest {
protected:
    void SetUp() override {
        X11ToolkitTest::SetUp();
        if (HasFatalFailure()) return;
        form = new TSpinProbeForm(app.get());
        ReadSpinProbe(*form, [this](TObject*) { readings.push_back(form->powerZ->Value()); });
        zoom = form->powerZ;
        ASSERT_TRUE(ShowAndActivate(*form, "spin probe"));
        ASSERT_TRUE(zoom->Focused());
        const TPoint origin = form->ClientOriginOnScreen();
        const TLcSpinButton* b = zoom->SpinButton();
        button = Bounds(origin.X + zoom->Left() + b->Left(), origin.Y + zoom->Top() + b->Top(), b->Width(),
                        b->Height());
        // Without a window manager the keyboard follows the pointer: keep it over the form.
        client->MovePointer(origin.X + zoom->Left() + 10, origin.Y + zoom->Top() + 8);
        Pump(100ms);
    }

    bool TextBecomes(const std::string& text) {
        return PumpUntil([&] { return zoom->Text() == text; });
    }
    bool ValueReaches(std::int32_t value) {
        return PumpUntil([&] { return zoom->Value() >= value; });
    }
    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(client->Get(), button, down ? True : False, CurrentTime);
        XSync(client->Get(), False);
    }
    // Over the upper-left triangle of the button, clear of the diagonal.
    void PointAtUpperPart() { client->MovePointer(button.Left + 2, button.Top + 2); }
    PixelSurface ButtonOnScreen() {
        return client->Grab(button.Left, button.Top, button.Width(), button.Height());
    }
    bool ScreenShows(const std::function<bool(const PixelSurface&)>& face) {
        return PumpUntil([&] { return face(ButtonOnScreen()); });
    }

    TSpinProbeForm* form = nullptr;
    TLcSpinEdit* zoom = nullptr;
    TRect button; // the zoom power's button on the screen
    std::vector<int> readings;
};

TEST_F(X11SpinEditTest, ButtonStepsOnAClickRepeatsWhileHeldAndShowsItsClassicFace) {
    EXPECT_TRUE(ScreenShows(spin_face::IsClassicFace));
    PointAtUpperPart();
    client->Click(1);
    ASSERT_TRUE(PumpUntil([&] { return zoom->Text() == "201%"; }));
    EXPECT_EQ(readings, std::vector<int>{201});

    // Held: a step at once, the next after 300 ms, then one every 100 ms; the part looks pressed.
    const auto pressed = Clock::now();
    Button(1, true);
    ASSERT_TRUE(ValueReaches(202));
    ASSERT_TRUE(ValueReaches(203));
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pressed).count(), 290);
    EXPECT_TRUE(ScreenShows(spin_face::IsUpperPressed));
    EXPECT_TRUE(ValueReaches(206));
    Button(1, false);
    // Released under the pointer, the upper part is hot: raised again, its arrow in the hot colour.
    EXPECT_TRUE(PumpUntil([&] {
        const PixelSurface face = ButtonOnScreen();
        return spin_face::IsRaised(face) && spin_face::HasBothArrows(face, zoom->SpinBtnHotColor(), clBlack);
    }));
    const std::int32_t released = zoom->Value();
    Pump(400ms);
    EXPECT_EQ(zoom->Value(), released) << "no steps after the release";
    EXPECT_EQ(readings.back(), released);
}

TEST_F(X11SpinEditTest, KeysAndTheWheelStepAndLeavingCommitsTheTypedValueClamped) {
    Press(XK_Up);
    ASSERT_TRUE(TextBecomes("201%"));
    Button(4, true); // one wheel notch up, then one down
    Button(4, false);
    ASSERT_TRUE(TextBecomes("202%"));
    Button(5, true);
    Button(5, false);
    ASSERT_TRUE(TextBecomes("201%"));

    // The whole text is selected on entry; Backspace leaves the suffix, digits go in before it.
    Press(XK_Tab);
    ASSERT_TRUE(PumpUntil([&] { return form->crossS->Focused(); }));
    Press(XK_Tab, true);
    ASSERT_TRUE(PumpUntil([&] { return zoom->Focused() && zoom->SelLength() == 4; }));
    Press(XK_BackSpace);
    for (unsigned long k : {XK_2, XK_0, XK_0, XK_0}) Press(k);
    ASSERT_TRUE(TextBecomes("2000%"));
    EXPECT_EQ(readings.back(), 2000);
    Press(XK_Tab);
    ASSERT_TRUE(TextBecomes("1000%"));
    EXPECT_TRUE(form->crossS->Focused());
    EXPECT_EQ(readings, (std::vector<int>{201, 202, 201, 0, 2, 20, 200, 2000, 1000}));
}

} // namespace
