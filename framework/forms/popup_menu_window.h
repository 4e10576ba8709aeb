// One open level of a pop-up menu: a borderless platform pop-up window that draws the level's items in
// the classic look and hands its mouse and keyboard input to the tracker that runs the menu.
#pragma once

#include "framework/forms/forms.h"

#include <memory>
#include <vector>

class TMenuItem;
class TPopupMenuTracker;
class TMenuItemAccessible;

class TPopupMenuWindow : public TCustomForm {
public:
    // Lays out the visible sub-items of `level` and gives them their automatic accelerators, at the
    // scale of `dpi` (the monitor's it opens on).
    TPopupMenuWindow(TPopupMenuTracker& tracker, TMenuItem& level, std::int32_t dpi = 96);
    ~TPopupMenuWindow() override;

    TMenuItem& Level() const { return level_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    TMenuItem* RowItem(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    // The row's rectangle in client coordinates.
    TRect RowRect(int row) const;
    // The row under a client point, or -1 (the border, outside).
    int RowAt(TPoint client) const;
    // The size the window needs for its rows.
    TSize PreferredSize() const;

    int Highlighted() const { return highlighted_; }
    void SetHighlighted(int row);
    // Whether the keyboard and the pointer can rest on the row (separators cannot).
    bool Selectable(int row) const;

    // The raised border round the rows: three frame lines (two edges and a line of air).
    static constexpr int kBorderLines = 3;
    int Border() const { return kBorderLines * FrameLineWidth(); }

    TPopupMenuTracker& Tracker() const { return tracker_; }
    // A menu pop-up named after the item it opens from; its rows are its children.
    void DescribeAccessible(AccessibleDescription& description) override;
    void AccessibleChildren(std::vector<AccessibleNode*>& children) override;
    // The row's node, made on first request.
    AccessibleNode& RowAccessible(int row);

protected:
    WindowKind PlatformWindowKind() const override { return WindowKind::Popup; }
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    int RowHeight(int row) const;
    void PaintRow(int row);
    void PaintCheck(const TRect& column, bool radio, TColor color);
    void PaintSubmenuArrow(const TRect& column, TColor color);
    // One pixel of a glyph designed at 96 dpi, as a square of the scale's whole part.
    void GlyphPixels(int x, int y, int count, TColor color);

    TPopupMenuTracker& tracker_;
    TMenuItem& level_;
    std::vector<TMenuItem*> rows_;
    int highlighted_ = -1;
    std::vector<std::unique_ptr<TMenuItemAccessible>> rowNodes_;
    int textHeight_ = 13;
    int ascent_ = 11;
};
