#include "edit/lc_custom_edit.h"

#include <algorithm>
#include <cstdlib>

namespace {

TRect Inset(const TRect& r, std::int32_t dx, std::int32_t dy) {
    return {r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy};
}

// The content of the toolkit's themed edit frame: inside its ring, with one pixel of padding, so the
// text stands where it stands in the classic look.
constexpr std::int32_t kThemeContentInset = 2;

} // namespace

TLcCustomEdit::TLcCustomEdit(TComponent* AOwner) : TLcBaseEdit(AOwner) { SelectAllToEnd = true; }

void TLcCustomEdit::SetPasswordChar(char value) {
    passwordChar_ = value;
    ChangedText(1);
}

void TLcCustomEdit::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    CorrectBounds();
}

void TLcCustomEdit::SetCustomButtonStyle(TLcUserButtonStyle style) {
    if (style == customButtonsStyle_) return;
    customButtonsStyle_ = style;
    Invalidate();
}

void TLcCustomEdit::DoAClick(TObject* Sender, int Index) {
    if (CustomButtonClick) CustomButtonClick(Sender, Index);
}

void TLcCustomEdit::CreateSpecialText(std::string& s) {
    if (passwordChar_ == '\0')
        s = text_;
    else
        s.assign(text_.size(), passwordChar_);
}

void TLcCustomEdit::ChangedText(std::int32_t At) {
    CreateSpecialText(displayText_);
    TLcBaseEdit::ChangedText(At);
}

void TLcCustomEdit::SetNewText() {
    SetSelLength(0);
    ChangedText(1);
    if (Focused()) SetCaret();
}

void TLcCustomEdit::GetCommandKey(std::uint16_t& Key, TShiftState Shift) {
    // One line: up and down move along it.
    if (Key == VK_UP) Key = VK_LEFT;
    if (Key == VK_DOWN) Key = VK_RIGHT;
    TLcBaseEdit::GetCommandKey(Key, Shift);
}

// ---------------------------------------------------------------------------------------------------
// Geometry

void TLcCustomEdit::ModifyInnerRect() {
    if (UseXP() && Bevel()->Mode() == bmWindows)
        InnerRect = Inset(ClientRect(), kThemeContentInset, kThemeContentInset);
    else
        InnerRect = Bevel()->ClientRect(InnerRect);
}

void TLcCustomEdit::ModifyPaintRect() { PaintRect.Right -= CustomButtonCount() * CustomButtonWidth + 1; }

void TLcCustomEdit::SetupRects() {
    if (IsUpdating() || HasState(csLoading | csReading | csDestroying)) return;
    InnerRect = ClientRect();
    ModifyInnerRect();
    PaintRect = InnerRect;
    ModifyPaintRect();
    TextVMargin = (Options & eoNarrowHeight) ? 0 : 1;
    TextRect = Inset(PaintRect, 1, TextVMargin);
    ModifyTextRect();
}

void TLcCustomEdit::CreateBack() {
    // The edit draws straight onto its surface; the off-screen image is a later refinement.
    SetupRects();
}

std::int32_t TLcCustomEdit::RowHeight(const std::string& s) {
    Canvas()->Font()->Assign(*Font());
    return Canvas()->TextHeight(s);
}

void TLcCustomEdit::CorrectBounds() {
    Canvas()->Font()->Assign(*Font());
    if (!autoSize_) return;
    const std::int32_t rows = RowHeight("Qp") * 5 / 4;
    const std::int32_t height = Bevel()->Mode() == bmWindows ? rows + 5 : rows + 2 * Bevel()->Ext();
    const std::int32_t width = std::max(Width(), CustomButtonCount() * CustomButtonWidth + 30);
    SetBounds(Left(), Top(), width, height);
}

void TLcCustomEdit::CMFontChanged(TMessage& m) {
    TLcBaseEdit::CMFontChanged(m);
    CorrectBounds();
}

void TLcCustomEdit::Loaded() {
    TLcBaseEdit::Loaded();
    SetupRects();
    Invalidate();
    CorrectBounds();
}

std::int32_t TLcCustomEdit::CaretX(std::int32_t p) {
    TCanvas& canvas = *Canvas();
    canvas.Font()->Assign(*Font());
    const std::int32_t textWidth = canvas.TextWidth(displayText_);
    std::int32_t start = TextRect.Left - ScrollOffset;
    if (textWidth < TextRect.Width()) {
        if (Alignment() == taRightJustify) start = TextRect.Right - textWidth;
        if (Alignment() == taCenter) start = TextRect.Left + (TextRect.Width() - textWidth) / 2;
    }
    const auto n =
        static_cast<std::size_t>(std::clamp(p - 1, 0, static_cast<std::int32_t>(displayText_.size())));
    return start + canvas.TextWidth(displayText_.substr(0, n));
}

void TLcCustomEdit::SetCaret() {
    if (HasState(csLoading | csReading | csDestroying)) return;
    SetupRects();
    const std::int32_t oldScroll = ScrollOffset;
    const TPoint oldPosition = Caret()->Position;
    // Scroll just far enough that the caret stands inside the text rectangle.
    std::int32_t x = CaretX(CursorPos());
    if (x < TextRect.Left) ScrollOffset = std::max(0, ScrollOffset - (TextRect.Left - x));
    if (x >= TextRect.Right) ScrollOffset += x - TextRect.Right + 1;
    x = CaretX(CursorPos());
    Caret()->Position = {x, TextRect.Top};
    if (ScrollOffset != oldScroll || (Caret()->Built() && !(Caret()->Position == oldPosition))) Invalidate();
}

std::int32_t TLcCustomEdit::CalcMousePos(TPoint point) {
    std::int32_t best = 1;
    std::int32_t bestDistance = std::abs(CaretX(1) - point.X);
    for (std::int32_t p = 2; p <= static_cast<std::int32_t>(displayText_.size()) + 1; ++p) {
        const std::int32_t d = std::abs(CaretX(p) - point.X);
        if (d < bestDistance) {
            best = p;
            bestDistance = d;
        }
    }
    return best;
}

// ---------------------------------------------------------------------------------------------------
// Drawing

void TLcCustomEdit::DrawText(std::int32_t) {
    if (IsUpdating() || HasState(csLoading | csReading | csDestroying)) return;
    Invalidate();
}

void TLcCustomEdit::RepaintBack(const TRect&) { Invalidate(); }

void TLcCustomEdit::Paint() {
    if (IsUpdating() || HasState(csLoading | csReading | csDestroying)) return;
    TCanvas& canvas = *Canvas();
    FillControl();
    if (UseXP() && Bevel()->Mode() == bmWindows) {
        BevelXP(canvas, ClientRect());
    } else {
        TRect inner;
        Bevel()->PaintBevel(canvas, ClientRect(), inner, Transparent());
    }
    SetCaret();
    PaintText(canvas);
}

void TLcCustomEdit::PaintText(TCanvas& canvas) {
    DrawSpecialTextBackground(canvas, TextRect);
    canvas.Font()->Assign(*Font());
    const bool savedMode = canvas.BackgroundTransparent;
    canvas.BackgroundTransparent = true;
    const std::int32_t x0 = CaretX(1);
    const std::int32_t y = TextRect.Top;
    canvas.Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
    canvas.TextRect(TextRect, x0, y, displayText_);

    if (!SelectionHidden && SelLength() > 0 && Enabled()) {
        const std::int32_t first = std::max(SelStart(), 1);
        const auto end = static_cast<std::int32_t>(
            std::min<std::int64_t>(SelectionEnd(), static_cast<std::int64_t>(displayText_.size()) + 1));
        if (end > first) {
            const TRect band =
                TRect{CaretX(first), TextRect.Top, CaretX(end), TextRect.Bottom}.Intersect(TextRect);
            if (!band.IsEmpty()) {
                canvas.Brush()->SetStyle(bsSolid);
                canvas.Brush()->SetColor(HighlightBack);
                canvas.FillRect(band);
                canvas.Font()->SetColor(HighlightText);
                canvas.TextRect(band, x0, y, displayText_);
            }
        }
    }

    if (Caret()->Built() && Focused()) {
        const std::int32_t h = Caret()->DrawHeight() > 0 ? Caret()->DrawHeight() : RowHeight("Qp");
        const TPoint at = Caret()->Position;
        const TRect caret = TRect{at.X, at.Y, at.X + Caret()->DrawWidth(), at.Y + h}.Intersect(TextRect);
        if (!caret.IsEmpty()) {
            canvas.Brush()->SetStyle(bsSolid);
            canvas.Brush()->SetColor(Font()->Color());
            canvas.FillRect(caret);
        }
    }
    canvas.BackgroundTransparent = savedMode;
}
