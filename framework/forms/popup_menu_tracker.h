// Runs an open pop-up menu: the stack of open levels (the menu and its open submenus), the mouse
// capture, and the mouse and keyboard rules that highlight, open, close and choose.
#pragma once

#include "framework/platform/geometry.h"

#include <cstdint>
#include <memory>
#include <vector>

class TMenuItem;
class TPopupMenu;
class TPopupMenuWindow;
struct TPopupMenuRunner;

// How the application runs pop-up menus: a tracker for the open levels and a nested loop
// (timer ticks, repaints and the menu's own input go on) until the menu closes.
TPopupMenuRunner ApplicationPopupMenuRunner();

// Where a menu opened at `at` goes: its top-left corner at the point, flipped to the other side of the
// point where it would leave the display, and then shifted to lie on it.
TRect PlacePopupMenu(TPoint at, TSize size, TSize display);
// The same inside `area` (the work area of the monitor the menu opens on).
TRect PlacePopupMenuIn(TPoint at, TSize size, const TRect& area);
// Where a submenu goes: beside its parent window, level with its item; on the left side when the right
// side lacks room, and shifted up to fit the display.
TRect PlaceSubmenu(const TRect& parentWindow, const TRect& itemOnScreen, TSize size, TSize display);
TRect PlaceSubmenuIn(const TRect& parentWindow, const TRect& itemOnScreen, TSize size, const TRect& area,
                     int border);

class TPopupMenuTracker {
public:
    // `root` holds the menu's entries as its sub-items.
    explicit TPopupMenuTracker(TMenuItem& root);
    // Closes whatever is still open.
    ~TPopupMenuTracker();
    TPopupMenuTracker(const TPopupMenuTracker&) = delete;
    TPopupMenuTracker& operator=(const TPopupMenuTracker&) = delete;

    // Shows the first level at screen point `at` and takes the mouse capture and the keyboard.
    void Open(TPoint at);
    bool Active() const { return active_; }
    // The item chosen; null when the menu was closed without a choice.
    TMenuItem* Chosen() const { return chosen_; }
    // Closes the menu without a choice.
    void Cancel();
    // Frees the windows of levels closed so far; only while no message of theirs is being handled.
    void FreeClosedLevels();

    int LevelCount() const { return static_cast<int>(levels_.size()); }
    TPopupMenuWindow& Level(int index) const { return *levels_.at(static_cast<std::size_t>(index)); }

    // Input from the level windows (screen coordinates, virtual-key codes).
    void MouseMove(TPoint screen);
    void MouseDown(TPoint screen);
    void MouseUp(TPoint screen);
    void KeyDown(std::uint16_t key);
    void CaptureLost();

private:
    // The deepest level whose window contains the point, or -1; `row` gets the row there.
    int LevelAt(TPoint screen, int& row) const;
    void OpenSubmenu(int level, int row, bool highlightFirst);
    void CloseLevelsAbove(int level);
    // A submenu item opens its submenu; any other item is chosen (a disabled one does nothing).
    void Activate(int level, int row, bool highlightFirst);
    void MoveHighlight(int step);
    void Close();

    TMenuItem& root_;
    std::vector<std::unique_ptr<TPopupMenuWindow>> levels_;
    std::vector<std::unique_ptr<TPopupMenuWindow>> retired_;
    TMenuItem* chosen_ = nullptr;
    bool active_ = false;
    bool closing_ = false;
};
