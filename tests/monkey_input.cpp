#include "monkey_input.h"

namespace {

constexpr std::uint16_t kVkOemMinus = 0xBD;
constexpr std::uint32_t kButtonBits = kShiftLeft | kShiftRight | kShiftMiddle;

std::uint32_t ButtonBit(PointerButton b) {
    return b == PointerButton::Left ? kShiftLeft : b == PointerButton::Right ? kShiftRight : kShiftMiddle;
}

const char* ButtonName(PointerButton b) {
    return b == PointerButton::Left ? "left" : b == PointerButton::Right ? "right" : "middle";
}

std::string Hex(std::uint32_t v) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    return "0x" + s;
}

} // namespace

std::string Describe(TPoint p) { return "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")"; }

// ---------------------------------------------------------------------------------------------------
// Choosing the input

std::string MonkeyInput::GiveWindowInput() {
    const std::size_t choice = random_.Weighted({20, 7, 7, 8, 3, 2, 4, 22, 4, 3, 3, 2, 1, 2, 3, 10, 1});
    // Keys reach only the active window, and a press makes its window active first.
    const bool activates = choice >= 1 && choice <= 10 && choice != 6;
    if (activates && !main_.Active()) {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::Activated;
        e.window = main_.PlatformWindow();
        Post(e);
    }
    switch (choice) {
    case 0: return MouseInput(PlatformEvent::Kind::MouseMove);
    case 1: return MouseInput(PlatformEvent::Kind::MouseDown);
    case 2: return MouseInput(PlatformEvent::Kind::MouseUp);
    case 3: return MouseInput(PlatformEvent::Kind::None); // a click: press and release in one place
    case 4: return DoubleClick();
    case 5: {
        const TPoint p = PointAwayFromExit(WindowPoint());
        const TPoint screen = ScreenOf(p);
        PostMouse(PlatformEvent::Kind::MouseDown, main_.PlatformWindow(), p, screen, PointerButton::Right, 0);
        PostMouse(PlatformEvent::Kind::MouseUp, main_.PlatformWindow(), p, screen, PointerButton::Right, 0);
        return "right click " + Describe(p);
    }
    case 6: return Wheel();
    case 7: {
        KeyStroke k = RandomKey();
        // Enter and Space would press the "Exit" button while it has the focus.
        if (main_.ActiveControl() == main_.LvXPButton1 && (k.key == VK_RETURN || k.key == VK_SPACE))
            k = {VK_TAB, '\t', 0};
        return TypeKey(main_.PlatformWindow(), k);
    }
    case 8: {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::Char;
        e.window = main_.PlatformWindow();
        e.character = static_cast<unsigned char>(random_.Between(1, 255));
        Post(e);
        return "character " + std::to_string(e.character);
    }
    case 9: return TypeKey(main_.PlatformWindow(), {VK_TAB, '\t', random_.Percent(30) ? kShiftShift : 0u});
    case 10: return PasteNewClipboard();
    case 11: return ResizeWindow();
    case 12: return ToggleMaximised();
    case 13: return ChangeActivation();
    case 14: return MovePointerOnScreen();
    case 15: return PassTime();
    default: {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::MouseLeave;
        e.window = main_.PlatformWindow();
        Post(e);
        return "pointer left the window";
    }
    }
}

std::string MonkeyInput::GiveMenuInput(const std::vector<WindowId>& popups) {
    const WindowId popup =
        popups[static_cast<std::size_t>(random_.Between(0, static_cast<int>(popups.size()) - 1))];
    const TSize size = WindowClientSize(popup);
    const TPoint origin = WindowOrigin(popup);
    const TPoint p{random_.Between(-3, size.cx + 2), random_.Between(-3, size.cy + 2)};
    const TPoint screen{origin.X + p.X, origin.Y + p.Y};
    switch (random_.Weighted({30, 15, 5, 25, 3, 1, 10, 3, 2, 2, 1})) {
    case 0:
        PostMouse(PlatformEvent::Kind::MouseMove, popup, p, screen, PointerButton::Left, heldButtons_);
        return "menu: move " + Describe(screen);
    case 1:
        PostMouse(PlatformEvent::Kind::MouseDown, popup, p, screen, PointerButton::Left, 0);
        PostMouse(PlatformEvent::Kind::MouseUp, popup, p, screen, PointerButton::Left, 0);
        return "menu: click " + Describe(screen);
    case 2: {
        const PointerButton b = random_.Percent(70) ? PointerButton::Left : PointerButton::Right;
        const bool down = random_.Percent(50);
        PostMouse(down ? PlatformEvent::Kind::MouseDown : PlatformEvent::Kind::MouseUp, popup, p, screen, b,
                  0);
        return std::string("menu: ") + (down ? "press " : "release ") + ButtonName(b) + " " +
               Describe(screen);
    }
    case 3: {
        static constexpr std::uint16_t keys[] = {VK_UP,     VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN,
                                                 VK_ESCAPE, VK_HOME, VK_END,  VK_SPACE, VK_TAB};
        // A user leaves a menu after a few steps.
        const std::uint16_t key = random_.Percent(20) ? VK_ESCAPE
                                  : random_.Percent(35)
                                      ? static_cast<std::uint16_t>('A' + random_.Between(0, 25))
                                      : random_.Pick(keys);
        return "menu: " + TypeKey(popups.back(), {key, 0, 0});
    }
    case 4: return "menu: " + MouseInput(PlatformEvent::Kind::None);
    case 5: {
        const TPoint q = PointAwayFromExit(WindowPoint());
        const TPoint s = ScreenOf(q);
        PostMouse(PlatformEvent::Kind::MouseDown, main_.PlatformWindow(), q, s, PointerButton::Right, 0);
        PostMouse(PlatformEvent::Kind::MouseUp, main_.PlatformWindow(), q, s, PointerButton::Right, 0);
        return "menu: right click on the window " + Describe(q);
    }
    case 6: return "menu: " + PassTime();
    case 7: return "menu: " + MovePointerOnScreen();
    case 8: return "menu: " + ChangeActivation();
    case 9: return "menu: " + Wheel();
    default: return "menu: " + ResizeWindow();
    }
}

void MonkeyInput::PostEscape(WindowId popup) {
    PlatformEvent e;
    e.kind = PlatformEvent::Kind::KeyDown;
    e.window = popup;
    e.virtualKey = VK_ESCAPE;
    Post(e);
}

// ---------------------------------------------------------------------------------------------------
// The mouse

TPoint MonkeyInput::WindowPoint() {
    TControl* const targets[] = {
        main_.zfm,    main_.powerZ, main_.crossS,     main_.powerZ->SpinButton(), main_.crossS->SpinButton(),
        main_.Label1, main_.Label2, main_.LvXPButton1};
    if (random_.Percent(65)) {
        const TControl* c = random_.Pick(targets);
        if (c->Width() > 0 && c->Height() > 0) {
            const TPoint o = c->FormOrigin();
            return {o.X + random_.Between(0, c->Width() - 1), o.Y + random_.Between(0, c->Height() - 1)};
        }
    }
    const TSize client = WindowClientSize(main_.PlatformWindow());
    return {random_.Between(-10, client.cx + 10), random_.Between(-10, client.cy + 10)};
}

bool MonkeyInput::OverExit(TPoint p) const {
    const TControl* exit = main_.LvXPButton1;
    const TPoint o = exit->FormOrigin();
    return Bounds(o.X, o.Y, exit->Width(), exit->Height()).Contains(p);
}

TPoint MonkeyInput::PointAwayFromExit(TPoint p) {
    for (int attempt = 0; attempt < 10 && OverExit(p); ++attempt) p = WindowPoint();
    // Above the client area nothing can be hit.
    return OverExit(p) ? TPoint{-5, -5} : p;
}

std::string MonkeyInput::MouseInput(PlatformEvent::Kind kind) {
    TPoint p = WindowPoint();
    const WindowId w = main_.PlatformWindow();
    if (kind == PlatformEvent::Kind::MouseMove) {
        PostMouse(kind, w, p, ScreenOf(p), PointerButton::Left, heldButtons_ | RandomModifiers());
        return "move " + Describe(p);
    }
    p = PointAwayFromExit(p);
    const TPoint screen = ScreenOf(p);
    const PointerButton button = random_.Percent(80)   ? PointerButton::Left
                                 : random_.Percent(50) ? PointerButton::Right
                                                       : PointerButton::Middle;
    const std::uint32_t modifiers = RandomModifiers();
    if (kind == PlatformEvent::Kind::None) {
        PostMouse(PlatformEvent::Kind::MouseDown, w, p, screen, button, heldButtons_ | modifiers);
        PostMouse(PlatformEvent::Kind::MouseUp, w, p, screen, button, heldButtons_ | modifiers);
        return std::string("click ") + ButtonName(button) + " " + Describe(p) + " " + Hex(modifiers);
    }
    PostMouse(kind, w, p, screen, button, heldButtons_ | modifiers);
    return std::string(kind == PlatformEvent::Kind::MouseDown ? "press " : "release ") + ButtonName(button) +
           " " + Describe(p) + " " + Hex(modifiers);
}

std::string MonkeyInput::DoubleClick() {
    const TPoint p = PointAwayFromExit(WindowPoint());
    const TPoint screen = ScreenOf(p);
    const WindowId w = main_.PlatformWindow();
    const std::uint32_t modifiers = RandomModifiers();
    PostMouse(PlatformEvent::Kind::MouseDown, w, p, screen, PointerButton::Left, modifiers);
    PostMouse(PlatformEvent::Kind::MouseUp, w, p, screen, PointerButton::Left, modifiers);
    PostMouse(PlatformEvent::Kind::MouseDown, w, p, screen, PointerButton::Left, modifiers | kShiftDouble);
    PostMouse(PlatformEvent::Kind::MouseUp, w, p, screen, PointerButton::Left, modifiers);
    return "double click " + Describe(p) + " " + Hex(modifiers);
}

std::string MonkeyInput::Wheel() {
    static constexpr std::int32_t deltas[] = {120, -120, 240, -240, 60, -60, 360, -600};
    PlatformEvent e;
    e.kind = PlatformEvent::Kind::MouseWheel;
    e.window = main_.PlatformWindow();
    e.position = WindowPoint();
    e.screenPosition = ScreenOf(e.position);
    e.wheelDelta = random_.Pick(deltas);
    e.shift = heldButtons_ | RandomModifiers();
    Post(e);
    return "wheel " + std::to_string(e.wheelDelta) + " at " + Describe(e.position);
}

void MonkeyInput::PostMouse(PlatformEvent::Kind kind, WindowId window, TPoint client, TPoint screen,
                            PointerButton button, std::uint32_t shift) {
    if (kind == PlatformEvent::Kind::MouseDown) heldButtons_ |= ButtonBit(button);
    if (kind == PlatformEvent::Kind::MouseUp) heldButtons_ &= ~ButtonBit(button);
    PlatformEvent e;
    e.kind = kind;
    e.window = window;
    e.position = client;
    e.screenPosition = screen;
    e.button = button;
    e.shift = shift;
    pointer_ = screen;
    platform_.SetPointer(screen);
    platform_.SetKeyDown(VK_SHIFT, (shift & kShiftShift) != 0);
    platform_.SetKeyDown(VK_CONTROL, (shift & kShiftCtrl) != 0);
    Post(e);
}

std::uint32_t MonkeyInput::RandomModifiers() {
    switch (random_.Weighted({70, 15, 10, 5})) {
    case 0: return 0;
    case 1: return kShiftShift;
    case 2: return kShiftCtrl;
    default: return kShiftShift | kShiftCtrl;
    }
}

// ---------------------------------------------------------------------------------------------------
// The keyboard and the clipboard

MonkeyInput::KeyStroke MonkeyInput::RandomKey() {
    const std::uint32_t mods = random_.Percent(2) ? kShiftAlt : RandomModifiers();
    const bool shift = (mods & kShiftShift) != 0;
    const bool ctrl = (mods & kShiftCtrl) != 0;
    switch (random_.Weighted({30, 12, 8, 10, 6, 12, 6, 4, 2, 2, 2, 2, 2, 10, 3})) {
    case 0: {
        const int d = random_.Between(0, 9);
        static const char shifted[] = ")!@#$%^&*(";
        const auto c = static_cast<unsigned char>(ctrl ? 0 : shift ? shifted[d] : '0' + d);
        return {static_cast<std::uint16_t>('0' + d), c, mods};
    }
    case 1: {
        const int i = random_.Between(0, 25);
        const auto c = static_cast<unsigned char>(ctrl ? i + 1 : (shift ? 'A' : 'a') + i);
        return {static_cast<std::uint16_t>('A' + i), c, mods};
    }
    case 2: return {kVkOemMinus, static_cast<unsigned char>(ctrl ? 0x1F : shift ? '_' : '-'), mods};
    case 3: return {VK_BACK, static_cast<unsigned char>(ctrl ? 0x7F : 8), mods};
    case 4: return {VK_DELETE, 0, mods};
    case 5: {
        static constexpr std::uint16_t arrows[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
        return {random_.Pick(arrows), 0, mods};
    }
    case 6: return {random_.Percent(50) ? VK_HOME : VK_END, 0, mods};
    case 7: return {random_.Percent(50) ? VK_PRIOR : VK_NEXT, 0, mods};
    case 8: return {VK_INSERT, 0, mods};
    case 9: return {VK_RETURN, '\r', mods};
    case 10: return {VK_ESCAPE, 27, mods};
    case 11: return {VK_SPACE, ' ', mods};
    case 12: return {random_.Percent(50) ? VK_APPS : VK_F10, 0, random_.Percent(50) ? kShiftShift : 0u};
    case 13: {
        static constexpr char commands[] = {'C', 'V', 'X', 'Z', 'A'};
        const char c = random_.Pick(commands);
        return {static_cast<std::uint16_t>(c), static_cast<unsigned char>(c - 'A' + 1),
                kShiftCtrl | (random_.Percent(10) ? kShiftShift : 0u)};
    }
    default: {
        // The classic clipboard keys: Shift+Insert pastes, Ctrl+Insert copies, Shift+Delete cuts.
        static constexpr KeyStroke classic[] = {
            {VK_INSERT, 0, kShiftShift}, {VK_INSERT, 0, kShiftCtrl}, {VK_DELETE, 0, kShiftShift}};
        return random_.Pick(classic);
    }
    }
}

std::string MonkeyInput::TypeKey(WindowId window, KeyStroke stroke) {
    platform_.SetKeyDown(VK_SHIFT, (stroke.shift & kShiftShift) != 0);
    platform_.SetKeyDown(VK_CONTROL, (stroke.shift & kShiftCtrl) != 0);
    platform_.SetKeyDown(VK_MENU, (stroke.shift & kShiftAlt) != 0);
    PlatformEvent e;
    e.window = window;
    e.virtualKey = stroke.key;
    e.shift = stroke.shift;
    e.kind = PlatformEvent::Kind::KeyDown;
    Post(e);
    if (stroke.character != 0) {
        PlatformEvent c = e;
        c.kind = PlatformEvent::Kind::Char;
        c.character = stroke.character;
        Post(c);
    }
    e.kind = PlatformEvent::Kind::KeyUp;
    Post(e);
    return "key " + Hex(stroke.key) + " char " + std::to_string(stroke.character) + " " + Hex(stroke.shift);
}

std::string MonkeyInput::PasteNewClipboard() {
    auto digits = [this](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>('0' + random_.Between(0, 9));
        return s;
    };
    std::string text;
    switch (random_.Weighted({25, 10, 8, 8, 5, 5, 6, 6, 6, 4, 3, 1})) {
    case 0: text = digits(random_.Between(1, 12)); break;
    case 1: text = "-" + digits(random_.Between(0, 10)); break;
    case 2: text = "abcXYZ"; break;
    case 3: text = digits(2) + "-" + digits(2) + "x"; break;
    case 4: text = "-"; break;
    case 5: text.clear(); break;
    case 6: text = digits(random_.Between(200, 3000)); break;
    case 7: text = digits(3) + std::string(1, '\0') + digits(3); break;
    case 8: text = digits(2) + (random_.Percent(50) ? "\r\n" : "\n") + digits(2); break;
    case 9: text = "\n"; break;
    case 10: text = std::string(1, static_cast<char>(random_.Between(128, 255))) + digits(2); break;
    default: text = digits(20000); break;
    }
    if (random_.Percent(5))
        platform_.clipboard_.reset();
    else
        platform_.clipboard_ = text;
    const std::string what = "clipboard of " + std::to_string(text.size()) + " characters";
    switch (random_.Weighted({70, 15, 15})) {
    case 0: return what + ", " + TypeKey(main_.PlatformWindow(), {'V', 0x16, kShiftCtrl});
    case 1: return what + ", " + TypeKey(main_.PlatformWindow(), {VK_INSERT, 0, kShiftShift});
    default: return what;
    }
}

// ---------------------------------------------------------------------------------------------------
// The desktop: size, activation, the pointer elsewhere and time

std::string MonkeyInput::ResizeWindow() {
    const TRect now = platform_.FindWindow(main_.PlatformWindow())->outerBounds;
    TSize size{now.Width(), now.Height()};
    switch (random_.Weighted({60, 15, 10, 15})) {
    case 0: size = {random_.Between(150, 380), random_.Between(150, 380)}; break;
    case 1: size = {random_.Between(0, 150), random_.Between(0, 150)}; break;
    case 2: size = {random_.Between(380, 900), random_.Between(380, 700)}; break;
    default: break; // a move only
    }
    TPoint place{now.Left, now.Top};
    if (random_.Percent(50)) place = {random_.Between(-100, 900), random_.Between(-100, 700)};
    const TRect bounds = Bounds(place.X, place.Y, size.cx, size.cy);
    platform_.UserSetBounds(main_.PlatformWindow(), bounds);
    return "window bounds " + Describe(place) + " " + std::to_string(size.cx) + "x" + std::to_string(size.cy);
}

std::string MonkeyInput::ToggleMaximised() {
    const bool maximise = main_.WindowState() != wsMaximized;
    main_.SetWindowState(maximise ? wsMaximized : wsNormal);
    return maximise ? "maximised" : "restored";
}

std::string MonkeyInput::ChangeActivation() {
    PlatformEvent e;
    const bool activate = random_.Percent(main_.Active() ? 20 : 80);
    e.kind = activate ? PlatformEvent::Kind::Activated : PlatformEvent::Kind::Deactivated;
    e.window = main_.PlatformWindow();
    Post(e);
    return activate ? "activated" : "deactivated";
}

std::string MonkeyInput::MovePointerOnScreen() {
    const TSize display = platform_.PrimaryDisplaySize();
    TPoint p{random_.Between(-200, display.cx + 200), random_.Between(-200, display.cy + 200)};
    if (random_.Percent(20))
        p = {random_.Percent(50) ? 0 : display.cx - 1, random_.Percent(50) ? 0 : display.cy - 1};
    pointer_ = p;
    platform_.SetPointer(p);
    return "pointer on the screen at " + Describe(p);
}

std::string MonkeyInput::PassTime() {
    const std::int32_t ms = random_.Percent(80) ? random_.Between(1, 150) : random_.Between(150, 2000);
    platform_.Advance(static_cast<std::uint64_t>(ms));
    return std::to_string(ms) + " ms passed";
}

TPoint MonkeyInput::WindowOrigin(WindowId window) const {
    HeadlessPlatform::Window* w = platform_.FindWindow(window);
    const FrameMetrics f = platform_.GetFrameMetrics(w->params.kind, 0);
    return {w->outerBounds.Left + f.left, w->outerBounds.Top + f.top};
}

TSize MonkeyInput::WindowClientSize(WindowId window) {
    const PixelSurface* s = platform_.WindowSurface(window);
    return s == nullptr ? TSize{0, 0} : TSize{s->Width(), s->Height()};
}
