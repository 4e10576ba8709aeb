#include "framework/forms/popup_menu_window.h"

#include "framework/controls/menus.h"
#include "framework/forms/menu_accessible.h"
#include "framework/forms/popup_menu_tracker.h"

#include <algorithm>

namespace {
constexpr int kCheckColumn = 20; // the check mark or radio bullet, left of the text
constexpr int kArrowColumn = 16; // the submenu arrow, right of the text
constexpr int kTextGap = 12;     // between the longest caption and the arrow column
constexpr int kLineHeight = 9;   // a separator row
constexpr int kMinWidth = 80;
} // namespace

TPopupMenuWindow::TPopupMenuWindow(TPopupMenuTracker& tracker, TMenuItem& level)
    : TCustomForm(nullptr), tracker_(tracker), level_(level) {
    BorderStyle = bsNone;
    BorderIcons = 0;
    SetColor(clMenu);
    ControlStyle |= csOpaque; // Paint covers every pixel
    level_.AssignAutoAccelerators();
    for (int i = 0; i < level_.Count(); ++i)
        if (level_.Items(i)->Visible) rows_.push_back(level_.Items(i));
    const FontMetrics m = CurrentPlatform().GetFontMetrics(Font()->Spec());
    textHeight_ = m.height;
    ascent_ = m.ascent;
}

int TPopupMenuWindow::RowHeight(int row) const {
    if (RowItem(row)->IsLine()) return kLineHeight;
    return std::max(textHeight_ + 6, 17);
}

TRect TPopupMenuWindow::RowRect(int row) const {
    int top = kBorder;
    for (int i = 0; i < row; ++i) top += RowHeight(i);
    return {kBorder, top, Width() - kBorder, top + RowHeight(row)};
}

int TPopupMenuWindow::RowAt(TPoint client) const {
    if (client.X < kBorder || client.X >= Width() - kBorder) return -1;
    int top = kBorder;
    for (int i = 0; i < RowCount(); ++i) {
        const int bottom = top + RowHeight(i);
        if (client.Y >= top && client.Y < bottom) return i;
        top = bottom;
    }
    return -1;
}

TSize TPopupMenuWindow::PreferredSize() const {
    Platform& p = CurrentPlatform();
    const FontSpec fontSpec = Font()->Spec();
    int textWidth = 0;
    int height = 2 * kBorder;
    for (int i = 0; i < RowCount(); ++i) {
        if (!RowItem(i)->IsLine())
            textWidth = std::max(textWidth, p.MeasureText(fontSpec, RowItem(i)->DisplayCaption()));
        height += RowHeight(i);
    }
    const int width = 2 * kBorder + kCheckColumn + textWidth + kTextGap + kArrowColumn;
    return {std::max(width, kMinWidth), height};
}

bool TPopupMenuWindow::Selectable(int row) const {
    return row >= 0 && row < RowCount() && !RowItem(row)->IsLine();
}

void TPopupMenuWindow::SetHighlighted(int row) {
    if (!Selectable(row)) row = -1;
    if (row == highlighted_) return;
    highlighted_ = row;
    Invalidate();
    if (row >= 0 && AccessibleEventsWanted())
        RaiseAccessibleEvent(AccessibleEvent::Focus, RowAccessible(row));
}

void TPopupMenuWindow::WndProc(TMessage& m) {
    // Menu input never reaches the ordinary control handling (no clicks, no context menus here).
    const TPoint screen = ClientToScreen({MouseX(m.LParam), MouseY(m.LParam)});
    switch (m.Msg) {
    case WM_MOUSEMOVE: tracker_.MouseMove(screen); return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: tracker_.MouseDown(screen); return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: tracker_.MouseUp(screen); return;
    case WM_GETDLGCODE:
        // Every key is the menu's: none is used for the form's navigation or accelerators.
        m.Result = DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: tracker_.KeyDown(static_cast<std::uint16_t>(m.WParam)); return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU: return;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED: tracker_.CaptureLost(); return;
    default: TCustomForm::WndProc(m); return;
    }
}

// ---------------------------------------------------------------------------------------------------
// Drawing, in the classic look: menu colour, a raised 3-D border, the highlighted row in the
// selection colours, check marks, radio bullets, submenu arrows and underlined accelerators.

void TPopupMenuWindow::Paint() {
    TCanvas& c = *Canvas();
    const TRect all = ClientRect();
    c.Brush()->SetColor(clMenu);
    c.FillRect(all);
    auto edge = [&](int inset, TColor topLeft, TColor bottomRight) {
        const int l = all.Left + inset, t = all.Top + inset, r = all.Right - 1 - inset,
                  b = all.Bottom - 1 - inset;
        c.Pen()->SetColor(topLeft);
        c.MoveTo(l, b);
        c.LineTo(l, t);
        c.LineTo(r, t);
        c.Pen()->SetColor(bottomRight);
        c.MoveTo(r, t);
        c.LineTo(r, b);
        c.LineTo(l - 1, b);
    };
    edge(0, cl3DLight, cl3DDkShadow);
    edge(1, clBtnHighlight, clBtnShadow);
    for (int row = 0; row < RowCount(); ++row) PaintRow(row);
}

void TPopupMenuWindow::PaintRow(int row) {
    TCanvas& c = *Canvas();
    const TMenuItem& item = *RowItem(row);
    const TRect r = RowRect(row);
    if (item.IsLine()) {
        const int y = r.Top + r.Height() / 2 - 1;
        c.Pen()->SetColor(clBtnShadow);
        c.MoveTo(r.Left + 1, y);
        c.LineTo(r.Right - 1, y);
        c.Pen()->SetColor(clBtnHighlight);
        c.MoveTo(r.Left + 1, y + 1);
        c.LineTo(r.Right - 1, y + 1);
        return;
    }
    const bool highlighted = row == highlighted_;
    if (highlighted) {
        c.Brush()->SetColor(clHighlight);
        c.FillRect(r);
    }
    const TColor ink = highlighted ? clHighlightText : item.Enabled ? clMenuText : clGrayText;
    const TRect checkColumn{r.Left, r.Top, r.Left + kCheckColumn, r.Bottom};
    if (item.Checked()) PaintCheck(checkColumn, item.RadioItem(), ink);

    const int textX = r.Left + kCheckColumn;
    const int textY = r.Top + (r.Height() - textHeight_) / 2;
    c.Font()->Assign(*Font());
    c.Brush()->SetStyle(bsClear);
    auto text = [&](int dx, TColor color) {
        c.Font()->SetColor(color);
        const std::string caption = item.DisplayCaption();
        c.TextOut(textX + dx, textY + dx, caption);
        if (item.AcceleratorIndex() >= 0) {
            const auto index = static_cast<std::size_t>(item.AcceleratorIndex());
            const int x0 = textX + dx + c.TextWidth(caption.substr(0, index));
            const int x1 = x0 + c.TextWidth(caption.substr(index, 1));
            c.Pen()->SetColor(color);
            c.MoveTo(x0, textY + dx + ascent_ + 1);
            c.LineTo(x1, textY + dx + ascent_ + 1);
        }
    };
    // A disabled caption is engraved: a light copy one pixel down-right under the grey one.
    if (!item.Enabled && !highlighted) text(1, clBtnHighlight);
    text(0, ink);
    c.Brush()->SetStyle(bsSolid);

    if (item.HasSubmenu()) PaintSubmenuArrow({r.Right - kArrowColumn, r.Top, r.Right, r.Bottom}, ink);
}

void TPopupMenuWindow::PaintCheck(const TRect& column, bool radio, TColor color) {
    TCanvas& c = *Canvas();
    const int cx = column.Left + column.Width() / 2;
    const int cy = column.Top + column.Height() / 2;
    c.Pen()->SetColor(color);
    if (radio) {
        // A round bullet, 6 pixels across.
        static constexpr int kHalfWidths[6] = {1, 2, 3, 3, 2, 1};
        for (int i = 0; i < 6; ++i) {
            c.MoveTo(cx - kHalfWidths[i], cy - 3 + i);
            c.LineTo(cx + kHalfWidths[i], cy - 3 + i);
        }
        return;
    }
    // A tick, three pixels thick: down-right for three steps, then up-right for four.
    for (int t = 0; t < 3; ++t) {
        c.MoveTo(cx - 3, cy - 1 + t);
        c.LineTo(cx, cy + 2 + t);
        c.LineTo(cx + 5, cy - 3 + t);
    }
}

void TPopupMenuWindow::PaintSubmenuArrow(const TRect& column, TColor color) {
    TCanvas& c = *Canvas();
    // A solid triangle pointing right, 4 wide and 7 high.
    const int x = column.Left + (column.Width() - 4) / 2;
    const int cy = column.Top + column.Height() / 2;
    c.Pen()->SetColor(color);
    for (int i = 0; i < 4; ++i) {
        c.MoveTo(x + i, cy - 3 + i);
        c.LineTo(x + i, cy + 4 - i);
    }
}

void TPopupMenuWindow::DescribeAccessible(AccessibleDescription& d) {
    TCustomForm::DescribeAccessible(d);
    d.role = AccessibleRole::MenuPopup;
    d.name = level_.Parent() != nullptr ? level_.DisplayCaption() : "Context";
    d.states &= ~(kAccessibleFocusable | kAccessibleFocused | kAccessibleActive);
}

void TPopupMenuWindow::AccessibleChildren(std::vector<AccessibleNode*>& children) {
    for (int row = 0; row < RowCount(); ++row) children.push_back(&RowAccessible(row));
}

AccessibleNode& TPopupMenuWindow::RowAccessible(int row) {
    if (rowNodes_.empty())
        for (int r = 0; r < RowCount(); ++r)
            rowNodes_.push_back(std::make_unique<TMenuItemAccessible>(*this, r));
    return *rowNodes_.at(static_cast<std::size_t>(row));
}

TPopupMenuWindow::~TPopupMenuWindow() = default;
