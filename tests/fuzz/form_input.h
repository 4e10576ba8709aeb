// Input to one headless form as a desktop would report it, each event handled (with the idle work
// that follows) before the next: keys with their modifiers, characters, the pointer and the wheel.
#pragma once

#include "framework/forms/application.h"
#include "framework/forms/forms.h"
#include "framework/platform/headless/headless_platform.h"

#include <cstdint>

class FormInput {
public:
    FormInput(HeadlessPlatform& platform, TApplication& app, TForm& form)
        : platform_(platform), app_(app), form_(form) {}

    void Key(std::uint16_t key, bool down, std::uint32_t shift) {
        PlatformEvent e = Event(down ? PlatformEvent::Kind::KeyDown : PlatformEvent::Kind::KeyUp);
        e.virtualKey = key;
        e.shift = shift;
        platform_.SetKeyDown(VK_SHIFT, (shift & kShiftShift) != 0);
        platform_.SetKeyDown(VK_CONTROL, (shift & kShiftCtrl) != 0);
        platform_.SetKeyDown(VK_MENU, (shift & kShiftAlt) != 0);
        Deliver(e);
    }
    void Press(std::uint16_t key, std::uint32_t shift = 0) {
        Key(key, true, shift);
        Key(key, false, shift);
    }
    void Char(unsigned char ch, std::uint32_t shift = 0) {
        PlatformEvent e = Event(PlatformEvent::Kind::Char);
        e.character = ch;
        e.shift = shift;
        platform_.SetKeyDown(VK_MENU, (shift & kShiftAlt) != 0);
        Deliver(e);
    }
    // `shift` holds the buttons as well: kShiftLeft for a drag.
    void MouseMove(TPoint p, std::uint32_t shift = 0) {
        PlatformEvent e = Event(PlatformEvent::Kind::MouseMove);
        e.position = p;
        e.screenPosition = {form_.ClientOriginOnScreen().X + p.X, form_.ClientOriginOnScreen().Y + p.Y};
        e.shift = shift;
        platform_.SetPointer(e.screenPosition);
        Deliver(e);
    }
    void MouseDown(TPoint p, PointerButton button, std::uint32_t shift = 0) {
        PlatformEvent e = Event(PlatformEvent::Kind::MouseDown);
        e.position = p;
        e.button = button;
        e.shift = shift | (button == PointerButton::Left ? kShiftLeft : kShiftRight);
        Deliver(e);
    }
    void MouseUp(TPoint p, PointerButton button, std::uint32_t shift = 0) {
        PlatformEvent e = Event(PlatformEvent::Kind::MouseUp);
        e.position = p;
        e.button = button;
        e.shift = shift;
        Deliver(e);
    }
    void Wheel(TPoint p, std::int32_t delta) {
        PlatformEvent e = Event(PlatformEvent::Kind::MouseWheel);
        e.position = p;
        e.wheelDelta = delta;
        Deliver(e);
    }
    // Lets virtual time pass: timers (caret blink, button repeat) fire as they fall due.
    void Wait(std::uint64_t ms) {
        platform_.Advance(ms);
        Settle();
    }
    void Settle() {
        app_.ProcessMessages();
        app_.DoIdleWork();
        app_.ProcessMessages();
    }

private:
    PlatformEvent Event(PlatformEvent::Kind kind) const {
        PlatformEvent e;
        e.kind = kind;
        e.window = form_.PlatformWindow();
        return e;
    }
    void Deliver(const PlatformEvent& e) {
        platform_.PostEvent(e);
        Settle();
    }

    HeadlessPlatform& platform_;
    TApplication& app_;
    TForm& form_;
};
