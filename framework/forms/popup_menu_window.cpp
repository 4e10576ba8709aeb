#include "framework/forms/popup_menu_window.h"

#include "framework/controls/menus.h"
#include "framework/forms/menu_accessible.h"
#include "framework/forms/popup_menu_tracker.h"
#include "framework/platform/monitors.h"

#include <algorithm>

namespace {
constexpr int kCheckColumn = 20; // the check mark or radio bullet, left of the text
constexpr int kArrowColumn = 16; // the submenu arrow, right of the text
constexpr int kTextGap = 12;     // between the longest caption and the arrow column
constexpr int kLineHeight = 9;   // a separator row
constexpr int kMinWidth = 80;
} // namespace

TPopupMenuWindow::TPopupMenuWindow(TPopupMenuTracker& tracker, TMenuItem& level, std::int32_t dpi)
    : TCustomForm(nullptr), tracker_(tracker), level_(level) {
    // Laid out at the scale of the monitor it opens on: text at the scaled size, lengths by MulDiv,
    // lines and glyph pixels by the scale's whole part.
    PixelsPerInch = SaneDpi(dpi);
    Font()->SetHeight(MulDiv(Font()->Height(), PixelsPerInch, kDefaultDpi));
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
    if (RowItem(row)->IsLine()) return ScaledLength(kLineHeight);
    return std::max(textHeight_ + ScaledLength(6), ScaledLength(17));
}

TRect TPopupMenuWindow::RowRect(int row) const {
    const int border = Border();
    int top = border;
    for (int i = 0; i < row; ++i) top += RowHeight(i);
    return {border, top, Width() - border, top + RowHeight(row)};
}

int TPopupMenuWindow::RowAt(TPoint client) const {
    const int border = Border();
    if (client.X < border || client.X >= Width() - border) return -1;
    int top = border;
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
    int height = 2 * Border();
    for (int i = 0; i < RowCount(); ++i) {
        if (!RowItem(i)->IsLine())
            textWidth = std::max(textWidth, p.MeasureText(fontSpec, RowItem(i)->DisplayCaption()));
        height += RowHeight(i);
    }
    const int width = 2 * Border() + ScaledLength(kCheckColumn) + textWidth + ScaledLength(kTextGap) +
                      ScaledLength(kArrowColumn);
    return {std::max(width, ScaledLength(kMinWidth)), height};
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
    // Each edge is as many one-pixel rings as a frame line is wide.
    const int line = FrameLineWidth();
    for (int i = 0; i < line; ++i) edge(i, cl3DLight, cl3DDkShadow);
    for (int i = 0; i < line; ++i) edge(line + i, clBtnHighlight, clBtnShadow);
    for (int row = 0; row < RowCount(); ++row) PaintRow(row);
}

void TPopupMenuWindow::PaintRow(int row) {
    TCanvas& c = *Canvas();
    const TMenuItem& item = *RowItem(row);
    const TRect r = RowRect(row);
    const int line = FrameLineWidth();
    if (item.IsLine()) {
        const int y = r.Top + r.Height() / 2 - line;
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(clBtnShadow);
        c.FillRect({r.Left + line, y, r.Right - line, y + line});
        c.Brush()->SetColor(clBtnHighlight);
        c.FillRect({r.Left + line, y + line, r.Right - line, y + 2 * line});
        return;
    }
    const bool highlighted = row == highlighted_;
    if (highlighted) {
        c.Brush()->SetColor(clHighlight);
        c.FillRect(r);
    }
    const TColor ink = highlighted ? clHighlightText : item.Enabled ? clMenuText : clGrayText;
    const TRect checkColumn{r.Left, r.Top, r.Left + ScaledLength(kCheckColumn), r.Bottom};
    if (item.Checked()) PaintCheck(checkColumn, item.RadioItem(), ink);

    const int textX = checkColumn.Right;
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
            const int underline = textY + dx + ascent_ + line;
            c.Brush()->SetStyle(bsSolid);
            c.Brush()->SetColor(color);
            c.FillRect({x0, underline, x1, underline + line});
            c.Brush()->SetStyle(bsClear);
        }
    };
    // A disabled caption is engraved: a light copy one line down-right under the grey one.
    if (!item.Enabled && !highlighted) text(line, clBtnHighlight);
    text(0, ink);
    c.Brush()->SetStyle(bsSolid);

    if (item.HasSubmenu())
        PaintSubmenuArrow({r.Right - ScaledLength(kArrowColumn), r.Top, r.Right, r.Bottom}, ink);
}

void TPopupMenuWindow::GlyphPixels(int x, int y, int count, TColor color) {
    const int f = FrameLineWidth();
    TCanvas& c = *Canvas();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(color);
    c.FillRect({x, y, x + count * f, y + f});
}

// The glyphs are pixel pictures designed at 96 dpi; at a scale each of their pixels becomes a square
// of the scale's whole part, centred in its column as at 96.
void TPopupMenuWindow::PaintCheck(const TRect& column, bool radio, TColor color) {
    const int f = FrameLineWidth();
    const int cx = column.Left + column.Width() / 2;
    const int cy = column.Top + column.Height() / 2;
    if (radio) {
        // A round bullet, 6 pixels across: row i runs from -halfWidth to halfWidth - 1.
        static constexpr int kHalfWidths[6] = {1, 2, 3, 3, 2, 1};
        for (int i = 0; i < 6; ++i)
            GlyphPixels(cx - kHalfWidths[i] * f, cy + (i - 3) * f, 2 * kHalfWidths[i], color);
        return;
    }
    // A tick, three pixels thick: down-right for three steps, then up-right for four.
    for (int dx = -3; dx <= 4; ++dx) {
        const int top = dx <= 0 ? dx + 2 : 2 - dx;
        for (int t = 0; t < 3; ++t) GlyphPixels(cx + dx * f, cy + (top + t) * f, 1, color);
    }
}

void TPopupMenuWindow::PaintSubmenuArrow(const TRect& column, TColor color) {
    const int f = FrameLineWidth();
    // A solid triangle pointing right, 4 wide and 7 high.
    const int x = column.Left + (column.Width() - 4 * f) / 2;
    const int cy = column.Top + column.Height() / 2;
    for (int i = 0; i < 4; ++i)
        for (int y = -3 + i; y < 4 - i; ++y) GlyphPixels(x + i * f, cy + y * f, 1, color);
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
