#include "xp_fixture.h"

void XPTest::SetUp() {
    ApplicationTest::SetUp();
    form = new TForm(app.get());
    form->SetBounds(100, 100, 300, 200);
    form->SetColor(clSilver);
}

TLvXPButton* XPTest::AddButton(const std::string& caption, int left, int top, int width) {
    auto* b = new TLvXPButton(form);
    b->SetParent(form);
    b->SetBounds(left, top, width, 21);
    b->SetCaption(caption);
    b->OnClick = [this](TObject*) { ++clicks; };
    return b;
}

void XPTest::Settle() {
    app->ProcessMessages();
    app->DoIdleWork();
    app->ProcessMessages();
}

namespace {
PlatformEvent Event(PlatformEvent::Kind kind, WindowId window) {
    PlatformEvent e;
    e.kind = kind;
    e.window = window;
    return e;
}
} // namespace

void XPTest::MouseMove(int x, int y) {
    PlatformEvent e = Event(PlatformEvent::Kind::MouseMove, form->PlatformWindow());
    e.position = {x, y};
    e.screenPosition = {form->ClientOriginOnScreen().X + x, form->ClientOriginOnScreen().Y + y};
    platform.SetPointer(e.screenPosition);
    platform.PostEvent(e);
    Settle();
}

void XPTest::MouseDown(int x, int y, PointerButton button) {
    PlatformEvent e = Event(PlatformEvent::Kind::MouseDown, form->PlatformWindow());
    e.position = {x, y};
    e.button = button;
    e.shift = button == PointerButton::Left ? kShiftLeft : kShiftRight;
    platform.PostEvent(e);
    Settle();
}

void XPTest::MouseUp(int x, int y, PointerButton button) {
    PlatformEvent e = Event(PlatformEvent::Kind::MouseUp, form->PlatformWindow());
    e.position = {x, y};
    e.button = button;
    platform.PostEvent(e);
    Settle();
}

void XPTest::Key(std::uint16_t key, bool down, std::uint32_t shift) {
    PlatformEvent e =
        Event(down ? PlatformEvent::Kind::KeyDown : PlatformEvent::Kind::KeyUp, form->PlatformWindow());
    e.virtualKey = key;
    e.shift = shift;
    platform.SetKeyDown(VK_SHIFT, (shift & kShiftShift) != 0);
    platform.SetKeyDown(VK_CONTROL, (shift & kShiftCtrl) != 0);
    platform.SetKeyDown(VK_MENU, (shift & kShiftAlt) != 0);
    platform.PostEvent(e);
    Settle();
}

void XPTest::Char(char ch, std::uint32_t shift) {
    PlatformEvent e = Event(PlatformEvent::Kind::Char, form->PlatformWindow());
    e.character = static_cast<unsigned char>(ch);
    e.shift = shift;
    platform.SetKeyDown(VK_MENU, (shift & kShiftAlt) != 0);
    platform.PostEvent(e);
    Settle();
}

std::uint32_t XPTest::Pixel(int x, int y) {
    return platform.WindowSurface(form->PlatformWindow())->Pixel(x, y);
}

void XPTest::Drag(int x, int y) {
    PlatformEvent e = Event(PlatformEvent::Kind::MouseMove, form->PlatformWindow());
    e.position = {x, y};
    e.shift = kShiftLeft;
    platform.PostEvent(e);
    Settle();
}

void XPTest::RightClick(int x, int y) {
    MouseDown(x, y, PointerButton::Right);
    MouseUp(x, y, PointerButton::Right);
}

void XPTest::Wheel(int delta, int x, int y) {
    PlatformEvent e = Event(PlatformEvent::Kind::MouseWheel, form->PlatformWindow());
    e.position = {x, y};
    e.wheelDelta = delta;
    platform.PostEvent(e);
    Settle();
}
