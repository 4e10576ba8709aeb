// Random input for the main window, as a user and a desktop would give it: the mouse anywhere over
// the window and its controls, the wheel, keys and characters, the clipboard, resizing, maximising,
// activation, the pointer elsewhere on the screen and time passing. The "Exit" button is never
// clicked or pressed by key, and no close request is made, so the window stays up for the whole run.
#pragma once

#include "app/main_window.h"
#include "framework/platform/headless/headless_platform.h"
#include "monkey_random.h"

#include <string>
#include <vector>

class MonkeyInput {
public:
    MonkeyInput(HeadlessPlatform& platform, TLTfrm& main, MonkeyRandom& random)
        : platform_(platform), main_(main), random_(random) {}

    // Gives one random input while no menu is open and says what it was. The caller handles it.
    std::string GiveWindowInput();
    // Gives one random input while a menu is open (`popups`: its level windows, first level first).
    std::string GiveMenuInput(const std::vector<WindowId>& popups);
    // Asks the top menu level to close.
    void PostEscape(WindowId popup);
    // Where the monkey last put the pointer, in screen coordinates.
    TPoint Pointer() const { return pointer_; }

private:
    struct KeyStroke {
        std::uint16_t key;
        unsigned char character; // 0: the key types nothing
        std::uint32_t shift;
    };

    std::string MouseInput(PlatformEvent::Kind kind);
    std::string DoubleClick();
    std::string Wheel();
    std::string TypeKey(WindowId window, KeyStroke stroke);
    KeyStroke RandomKey();
    std::string PasteNewClipboard();
    std::string ResizeWindow();
    std::string ToggleMaximised();
    std::string ChangeActivation();
    std::string MovePointerOnScreen();
    std::string PassTime();

    // A client point of the window: anywhere (also just outside it), or inside one of its controls.
    TPoint WindowPoint();
    // A point away from the "Exit" button, for presses and releases.
    TPoint PointAwayFromExit(TPoint p);
    bool OverExit(TPoint p) const;
    std::uint32_t RandomModifiers();
    void PostMouse(PlatformEvent::Kind kind, WindowId window, TPoint client, TPoint screen,
                   PointerButton button, std::uint32_t shift);
    void Post(PlatformEvent e) { platform_.PostEvent(e); }
    TPoint WindowOrigin(WindowId window) const;
    // A client point of the main window on the screen, where the platform has the window now.
    TPoint ScreenOf(TPoint client) const {
        const TPoint o = WindowOrigin(main_.PlatformWindow());
        return {o.X + client.X, o.Y + client.Y};
    }
    TSize WindowClientSize(WindowId window);

    HeadlessPlatform& platform_;
    TLTfrm& main_;
    MonkeyRandom& random_;
    TPoint pointer_{500, 400};
    std::uint32_t heldButtons_ = 0; // kShiftLeft, kShiftRight, kShiftMiddle
};

// A short description of a point, for the failure report.
std::string Describe(TPoint p);
