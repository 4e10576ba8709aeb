// The custom-drawn edit on the real X11 backend (a private Xvfb), driven through XTest and checked on
// the screen: typing, the blinking caret, scrolling without drawing over the border, a selection
// made with Shift+Home, and the context menu opened by a right click.
// GoogleTest and the toolkit come before the X headers, whose None macro would break them; Xlib's
// Screen type is renamed so that it does not meet the toolkit's Screen object.
#include <gtest/gtest.h>

#include "edit/lc_custom_edit.h"
#include "framework/controls/caret.h"
#include "framework/core/timer.h"
#include "framework/forms/application.h"
#include "framework/forms/forms.h"

#define Screen XlibScreen
#include "tests/e2e_x11/x11_toolkit_fixture.h"
#undef Screen

#include <thread>

namespace {

using namespace std::chrono_literals;

class X11EditTest : public X11ToolkitTest {
protected:
    void SetUp() override {
        X11ToolkitTest::SetUp();
        if (HasFatalFailure()) return;
        form = new TForm(app.get());
        form->SetBounds(100, 100, 220, 120);
        form->SetColor(clSilver);
        edit = new TLcCustomEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 65, 21);
        ASSERT_TRUE(ShowAndActivate(*form, "edit probe"));
        ASSERT_TRUE(edit->Focused());
        const TPoint origin = form->ClientOriginOnScreen();
        editX = origin.X + edit->Left();
        editY = origin.Y + edit->Top();
        // Without a window manager the keyboard follows the pointer.
        client->MovePointer(editX + 20, editY + 8);
        Pump(100ms);
    }

    // The edit's pixel on the screen, in control coordinates.
    std::uint32_t ScreenPixel(int x, int y) { return client->Grab(editX + x, editY + y, 1, 1).Pixel(0, 0); }

    TForm* form = nullptr;
    TLcCustomEdit* edit = nullptr;
    int editX = 0;
    int editY = 0;
};

TEST_F(X11EditTest, TypesBlinksScrollsSelectsAndOpensItsMenu) {
    const std::uint32_t white = ColorToPixel(clWindow);
    for (unsigned long k : {XK_1, XK_2, XK_3}) Press(k);
    ASSERT_TRUE(PumpUntil([&] { return edit->Text() == "123"; }));
    Pump(50ms);
    bool ink = false;
    for (int x = edit->TextRect.Left; x < edit->TextRect.Left + 20; ++x)
        for (int y = edit->TextRect.Top; y < edit->TextRect.Bottom; ++y)
            ink = ink || ScreenPixel(x, y) < 0x808080;
    EXPECT_TRUE(ink) << "the typed digits show";

    // The caret blinks: its column is seen inverted and plain within two blink periods.
    const TPoint at = caret::Position();
    bool seenOn = false;
    bool seenOff = false;
    PumpUntil(
        [&] {
            const std::uint32_t p = ScreenPixel(at.X, at.Y + 2);
            seenOn = seenOn || p == (white ^ 0xFFFFFFu);
            seenOff = seenOff || p == white;
            return seenOn && seenOff;
        },
        2500ms);
    EXPECT_TRUE(seenOn && seenOff);

    // Typing past the edge scrolls; the border stays as drawn.
    const std::uint32_t border = ScreenPixel(edit->Width() - 1, 5);
    for (int i = 0; i < 15; ++i) Press(XK_8);
    ASSERT_TRUE(PumpUntil([&] { return edit->TextLength() == 18; }));
    Pump(50ms);
    EXPECT_GT(edit->ScrollOffset, 0);
    EXPECT_EQ(ScreenPixel(edit->Width() - 1, 5), border);
    EXPECT_EQ(ScreenPixel(edit->PaintRect.Right - 1, 5), white);

    // Shift+Home selects back to the start, drawn in the highlight colour.
    Press(XK_Home, true);
    ASSERT_TRUE(PumpUntil([&] { return edit->SelLength() == 18; }));
    EXPECT_EQ(edit->ScrollOffset, 0);
    EXPECT_TRUE(PumpUntil([&] {
        return ScreenPixel(edit->TextRect.Right - 1, edit->TextRect.Top) == ColorToPixel(clHighlight);
    }));

    // A right click opens the edit's own menu; Escape closes it. A timer watches from inside the
    // menu's loop, and a second connection sends the key.
    bool menuSeen = false;
    TTimer watch(nullptr);
    watch.SetInterval(20);
    watch.SetOnTimer([&](TObject*) { menuSeen = menuSeen || edit->ContextMenu() != nullptr; });
    client->MovePointer(editX + 20, editY + 8);
    std::thread closer([display = xvfb->DisplayName()] {
        std::this_thread::sleep_for(700ms);
        e2e::XClient other(display);
        other.Key(XK_Escape);
    });
    client->Click(3);
    Pump(1500ms);
    closer.join();
    EXPECT_TRUE(menuSeen);
    EXPECT_EQ(edit->ContextMenu(), nullptr);
    EXPECT_EQ(edit->Text(), std::string("123") + std::string(15, '8'));
}

} // namespace
