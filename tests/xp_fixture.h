// A form with XP buttons, driven through scripted platform input.
#pragma once

#include "headless_fixture.h"
#include "xp/lv_xp_buttons.h"

// An XP button that counts its repaint requests.
class CountingButton : public TLvXPButton {
public:
    using TLvXPButton::TLvXPButton;
    void Invalidate() override {
        ++repaints;
        TLvXPButton::Invalidate();
    }
    int repaints = 0;
};

class XPTest : public ApplicationTest {
protected:
    void SetUp() override;
    TLvXPButton* AddButton(const std::string& caption, int left, int top, int width = 85);
    // Input as the platform reports it, then handled, then the idle work (pointer enter/leave).
    void MouseMove(int x, int y);
    void MouseDown(int x, int y, PointerButton button = PointerButton::Left);
    void MouseUp(int x, int y, PointerButton button = PointerButton::Left);
    // A move with the left button held, a right click, and the wheel turned by `delta` units.
    void Drag(int x, int y);
    void RightClick(int x, int y);
    void Wheel(int delta, int x = 0, int y = 0);
    void Key(std::uint16_t key, bool down, std::uint32_t shift = 0);
    // A key pressed and released.
    void Press(std::uint16_t key, std::uint32_t shift = 0) {
        Key(key, true, shift);
        Key(key, false, shift);
    }
    void Char(char ch, std::uint32_t shift = 0);
    void Settle();
    // A pixel of the form's back surface (0x00RRGGBB).
    std::uint32_t Pixel(int x, int y);
    // The pixel of a control-relative point.
    std::uint32_t PixelOf(const TControl* c, int x, int y) { return Pixel(c->Left() + x, c->Top() + y); }

    TForm* form = nullptr;
    int clicks = 0;
};
