#include "framework/forms/popup_menu_tracker.h"

#include "framework/controls/control_accessible.h"
#include "framework/controls/menus.h"
#include "framework/core/temporary_change.h"
#include "framework/forms/application.h"
#include "framework/forms/popup_menu_window.h"
#include "framework/platform/monitors.h"

#include <algorithm>

namespace {

// Places [start, start + extent) inside [low, high); a window larger than that starts at low.
std::int32_t FitAxis(std::int32_t start, std::int32_t extent, std::int32_t low, std::int32_t high) {
    return std::max(low, std::min(start, high - extent));
}

// Starts at `at` when that fits, else ends at `at` when that fits, else lies as near as the area allows.
std::int32_t FlipAxis(std::int32_t at, std::int32_t extent, std::int32_t low, std::int32_t high) {
    if (at + extent <= high) return FitAxis(at, extent, low, high);
    if (at - extent >= low) return at - extent;
    return FitAxis(at, extent, low, high);
}

// The work area of the monitor a menu opens on: the one that holds `at`.
TRect MenuArea(TPoint at) { return MonitorAtPoint(CurrentMonitors(CurrentPlatform()), at).workArea; }

} // namespace

TRect PlacePopupMenu(TPoint at, TSize size, TSize display) {
    return PlacePopupMenuIn(at, size, TRect{0, 0, display.cx, display.cy});
}

TRect PlacePopupMenuIn(TPoint at, TSize size, const TRect& area) {
    return Bounds(FlipAxis(at.X, size.cx, area.Left, area.Right),
                  FlipAxis(at.Y, size.cy, area.Top, area.Bottom), size.cx, size.cy);
}

TRect PlaceSubmenu(const TRect& parentWindow, const TRect& itemOnScreen, TSize size, TSize display) {
    return PlaceSubmenuIn(parentWindow, itemOnScreen, size, TRect{0, 0, display.cx, display.cy},
                          TPopupMenuWindow::kBorderLines);
}

TRect PlaceSubmenuIn(const TRect& parentWindow, const TRect& itemOnScreen, TSize size, const TRect& area,
                     int border) {
    // The submenu's border overlaps its parent's, and its first row is level with the item.
    const int overlap = border;
    std::int32_t x = parentWindow.Right - overlap;
    if (x + size.cx > area.Right) x = parentWindow.Left - size.cx + overlap;
    const std::int32_t y = itemOnScreen.Top - border;
    return Bounds(FitAxis(x, size.cx, area.Left, area.Right), FitAxis(y, size.cy, area.Top, area.Bottom),
                  size.cx, size.cy);
}

TPopupMenuTracker::TPopupMenuTracker(TMenuItem& root) : root_(root) {}

TPopupMenuTracker::~TPopupMenuTracker() {
    Close();
    retired_.clear();
}

void TPopupMenuTracker::Open(TPoint at) {
    if (active_ || !root_.HasSubmenu()) return;
    const MonitorInfo monitor = MonitorAtPoint(CurrentMonitors(CurrentPlatform()), at);
    auto window = std::make_unique<TPopupMenuWindow>(*this, root_, monitor.dpi);
    const TRect place = PlacePopupMenuIn(at, window->PreferredSize(), monitor.workArea);
    window->SetBounds(place.Left, place.Top, place.Width(), place.Height());
    window->Show();
    levels_.push_back(std::move(window));
    accessibility::Raise(levels_.back().get(), AccessibleEvent::MenuPopupStart);
    active_ = true;
    chosen_ = nullptr;
    // Every click, wherever it lands, and every key now belong to the menu. A control still holding
    // a press (the right click that opened the menu went to it) hears no release any more: its
    // mode ends now, as when the platform takes the capture away.
    if (TControl* holder = GetCaptureControl()) holder->Perform(WM_CANCELMODE, 0, 0);
    SetCaptureControl(levels_.front().get());
    if (Application != nullptr) Application->SetInputCaptureForm(levels_.front().get());
}

void TPopupMenuTracker::FreeClosedLevels() { retired_.clear(); }

void TPopupMenuTracker::Cancel() { Close(); }

void TPopupMenuTracker::CaptureLost() {
    if (!closing_) Close();
}

void TPopupMenuTracker::Close() {
    if (closing_) return;
    closing_ = true;
    active_ = false;
    const bool wasOpen = !levels_.empty();
    if (wasOpen) {
        if (Application != nullptr && Application->InputCaptureForm() == levels_.front().get())
            Application->SetInputCaptureForm(nullptr);
        if (GetCaptureControl() == levels_.front().get()) SetCaptureControl(nullptr);
    }
    CloseLevelsAbove(-1);
    closing_ = false;
    // Screen readers go back to the control that had the focus before the menu.
    if (wasOpen && AccessibleEventsWanted())
        for (TCustomForm* form : Screen->Forms())
            if (form->Active() && dynamic_cast<TPopupMenuWindow*>(form) == nullptr)
                accessibility::Raise(form->ActiveControl() ? form->ActiveControl() : form,
                                     AccessibleEvent::Focus);
}

void TPopupMenuTracker::CloseLevelsAbove(int level) {
    // A closed level may be the window whose input is being handled right now, so it is only hidden
    // here and freed later, between messages.
    while (static_cast<int>(levels_.size()) > level + 1) {
        accessibility::Raise(levels_.back().get(), AccessibleEvent::MenuPopupEnd);
        levels_.back()->Hide();
        retired_.push_back(std::move(levels_.back()));
        levels_.pop_back();
    }
}

int TPopupMenuTracker::LevelAt(TPoint screen, int& row) const {
    for (int i = LevelCount() - 1; i >= 0; --i) {
        const TPopupMenuWindow& w = Level(i);
        if (!w.BoundsRect().Contains(screen)) continue;
        row = w.RowAt(w.ScreenToClient(screen));
        return i;
    }
    row = -1;
    return -1;
}

void TPopupMenuTracker::OpenSubmenu(int level, int row, bool highlightFirst) {
    TPopupMenuWindow& parent = Level(level);
    TMenuItem* item = parent.RowItem(row);
    CloseLevelsAbove(level);
    // A submenu keeps its parent's scale, as it opens beside it.
    auto window = std::make_unique<TPopupMenuWindow>(*this, *item, parent.PixelsPerInch);
    const TRect itemRect = parent.RowRect(row);
    const TPoint itemTopLeft = parent.ClientToScreen({itemRect.Left, itemRect.Top});
    const TRect itemOnScreen = Bounds(itemTopLeft.X, itemTopLeft.Y, itemRect.Width(), itemRect.Height());
    const TRect place = PlaceSubmenuIn(parent.BoundsRect(), itemOnScreen, window->PreferredSize(),
                                       MenuArea({itemOnScreen.Left, itemOnScreen.Top}), window->Border());
    window->SetBounds(place.Left, place.Top, place.Width(), place.Height());
    if (highlightFirst) {
        for (int r = 0; r < window->RowCount(); ++r)
            if (window->Selectable(r)) {
                window->SetHighlighted(r);
                break;
            }
    }
    window->Show();
    levels_.push_back(std::move(window));
    accessibility::Raise(levels_.back().get(), AccessibleEvent::MenuPopupStart);
}

void TPopupMenuTracker::Activate(int level, int row, bool highlightFirst) {
    TPopupMenuWindow& w = Level(level);
    if (!w.Selectable(row)) return;
    w.SetHighlighted(row);
    TMenuItem* item = w.RowItem(row);
    if (item->HasSubmenu()) {
        // An open submenu of this very item stays as it is.
        if (level + 1 < LevelCount() && &Level(level + 1).Level() == item) {
            if (highlightFirst && Level(level + 1).Highlighted() < 0) Level(level + 1).SetHighlighted(0);
            return;
        }
        if (item->Enabled) OpenSubmenu(level, row, highlightFirst);
        return;
    }
    if (!item->Enabled) return; // choosing a disabled item does nothing; the menu stays open
    chosen_ = item;
    Close();
}

void TPopupMenuTracker::MouseMove(TPoint screen) {
    if (!active_) return;
    int row = -1;
    const int level = LevelAt(screen, row);
    if (level < 0) {
        // Off the menu: the deepest level forgets its highlight unless it leads to an open submenu.
        Level(LevelCount() - 1).SetHighlighted(-1);
        return;
    }
    TPopupMenuWindow& w = Level(level);
    const bool leadsToOpenSubmenu = level + 1 < LevelCount() && row >= 0 && w.Selectable(row) &&
                                    &Level(level + 1).Level() == w.RowItem(row);
    if (!leadsToOpenSubmenu) CloseLevelsAbove(level);
    w.SetHighlighted(row);
    if (row >= 0 && w.Selectable(row) && w.RowItem(row)->HasSubmenu() && w.RowItem(row)->Enabled &&
        !leadsToOpenSubmenu)
        OpenSubmenu(level, row, false);
}

void TPopupMenuTracker::MouseDown(TPoint screen) {
    if (!active_) return;
    int row = -1;
    if (LevelAt(screen, row) < 0) Close(); // a click outside closes the menu and is not passed on
}

void TPopupMenuTracker::MouseUp(TPoint screen) {
    if (!active_) return;
    int row = -1;
    const int level = LevelAt(screen, row);
    if (level >= 0 && row >= 0) Activate(level, row, false);
}

void TPopupMenuTracker::MoveHighlight(int step) {
    TPopupMenuWindow& w = Level(LevelCount() - 1);
    const int count = w.RowCount();
    if (count == 0) return;
    int row = w.Highlighted();
    if (row < 0) row = step > 0 ? -1 : count;
    for (int tries = 0; tries < count; ++tries) {
        row = ((row + step) % count + count) % count;
        if (w.Selectable(row)) {
            w.SetHighlighted(row);
            return;
        }
    }
}

void TPopupMenuTracker::KeyDown(std::uint16_t key) {
    if (!active_) return;
    const int top = LevelCount() - 1;
    TPopupMenuWindow& w = Level(top);
    switch (key) {
    case VK_DOWN: MoveHighlight(1); return;
    case VK_UP: MoveHighlight(-1); return;
    case VK_RIGHT:
        if (w.Selectable(w.Highlighted()) && w.RowItem(w.Highlighted())->HasSubmenu())
            Activate(top, w.Highlighted(), true);
        return;
    case VK_LEFT:
        if (top > 0) CloseLevelsAbove(top - 1);
        return;
    case VK_ESCAPE:
        if (top > 0)
            CloseLevelsAbove(top - 1);
        else
            Close();
        return;
    case VK_RETURN:
        if (w.Highlighted() >= 0) Activate(top, w.Highlighted(), true);
        return;
    default: break;
    }
    const bool letter = key >= 'A' && key <= 'Z';
    const bool digit = key >= '0' && key <= '9';
    if (!letter && !digit) return;
    std::vector<int> rows;
    for (int row = 0; row < w.RowCount(); ++row)
        if (w.RowItem(row)->Accelerator() == static_cast<char>(key)) rows.push_back(row);
    if (rows.size() == 1) {
        Activate(top, rows.front(), true);
        return;
    }
    // Several items share the key: each press highlights the next of them; Enter chooses.
    for (int row : rows)
        if (row > w.Highlighted() && w.Selectable(row)) {
            w.SetHighlighted(row);
            return;
        }
    for (int row : rows)
        if (w.Selectable(row)) {
            w.SetHighlighted(row);
            return;
        }
}

namespace {

TMenuItem* RunPopupMenu(TPopupMenu& menu, TPoint point, TPopupMenuTracker*& open) {
    TPopupMenuTracker tracker(*menu.Items());
    const TemporaryChange<TPopupMenuTracker*> running(open, &tracker);
    tracker.Open(point);
    while (tracker.Active() && Application != nullptr && !Application->Terminated()) {
        Application->HandleMessage();
        tracker.FreeClosedLevels();
    }
    return tracker.Chosen();
}

void CancelPopupMenu(TPopupMenu& menu) {
    if (TPopupMenuTracker* tracker = menu.Tracker()) tracker->Cancel();
}

} // namespace

TPopupMenuRunner ApplicationPopupMenuRunner() { return {&RunPopupMenu, &CancelPopupMenu}; }
