#include "edit/lc_custom_edit.h"

#include "framework/controls/caret.h"
#include "framework/core/exceptions.h"
#include "framework/core/temporary_change.h"
#include "framework/platform/platform.h"

#include <algorithm>
#include <cstdlib>

namespace {

TRect Inset(const TRect& r, std::int32_t dx, std::int32_t dy) {
    return {r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy};
}

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

void TLcCustomEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
    case EM_GETPASSWORDCHAR: m.Result = static_cast<unsigned char>(passwordChar_); break;
    case EM_SETPASSWORDCHAR: SetPasswordChar(static_cast<char>(m.WParam & 0xFF)); break;
    default: TLcBaseEdit::WndProc(m); break;
    }
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
    if (UseXP() && Bevel()->Mode() == bmWindows) {
        std::string themeClass;
        int part = 0;
        int state = 0;
        GetXPBevelParams(themeClass, part, state);
        InnerRect = CurrentPlatform()
                        .ThemePartContentRect(themeClass, part, state, ClientRect())
                        .value_or(ClientRect());
    } else {
        InnerRect = Bevel()->ClientRect(InnerRect);
    }
}

void TLcCustomEdit::ModifyPaintRect() { PaintRect.Right -= CustomButtonCount() * CustomButtonWidth + 1; }

void TLcCustomEdit::LayOutRects() {
    InnerRect = ClientRect();
    ModifyInnerRect();
    PaintRect = InnerRect;
    ModifyPaintRect();
    TextVMargin = (Options & eoNarrowHeight) ? 0 : 1;
    TextRect = Inset(PaintRect, 1, TextVMargin);
    ModifyTextRect();
}

void TLcCustomEdit::SetupRects() {
    if (IsUpdating() || HasState(csLoading | csReading | csDestroying)) return;
    LayOutRects();
}

void TLcCustomEdit::CreateBack() {
    if (HasState(csDestroying)) return;
    if (UseBackBitmap) {
        EnsureBackBitmap();
        RepaintBack(ClientRect());
    }
    LayOutRects();
}

std::int32_t TLcCustomEdit::RowHeight(const std::string& s) {
    TCanvas& canvas = *Canvas();
    canvas.Font()->Assign(*Font());
    // While an update is pending the text may be anything: a fixed sample stands in for it.
    std::int32_t height = canvas.TextHeight(IsUpdating() ? std::string("Wq") : s);
    const TLcThreeDStyle style = Font3D()->Style();
    if (style == tdSunkenShadow || style == tdRaisedShadow || style == tdShadow)
        height += Font3D()->ShadowDepth();
    return height;
}

void TLcCustomEdit::CorrectBounds() {
    Canvas()->Font()->Assign(*Font());
    if (!autoSize_) return;
    const std::int32_t rows = RowHeight("Qp") * 5 / 4;
    // The window's own border is two frame lines on each side, and a pixel of air.
    const std::int32_t height =
        Bevel()->Mode() == bmWindows ? rows + 4 * FrameLineWidth() + 1 : rows + 2 * Bevel()->Ext();
    const std::int32_t width = std::max(Width(), CustomButtonCount() * CustomButtonWidth + 30);
    SetBounds(Left(), Top(), width, height);
}

void TLcCustomEdit::CMFontChanged(TMessage& m) {
    TLcBaseEdit::CMFontChanged(m);
    CorrectBounds();
}

void TLcCustomEdit::GetChange(TObject* Sender) {
    TLcBaseEdit::GetChange(Sender);
    if (Sender == Bevel() && !HasState(csLoading | csReading | csDestroying)) CorrectBounds();
}

void TLcCustomEdit::Loaded() {
    TLcBaseEdit::Loaded();
    SetupRects();
    Invalidate();
    CorrectBounds();
}

// ---------------------------------------------------------------------------------------------------
// Caret placement and hit testing

std::int32_t TLcCustomEdit::TextBase(std::int32_t textWidth) const {
    switch (Alignment()) {
    case taRightJustify: return TextRect.Right - textWidth;
    case taCenter: return TextRect.Left + (TextRect.Right - TextRect.Left - textWidth) / 2;
    default: return TextRect.Left;
    }
}

void TLcCustomEdit::SetCaret() {
    if (!Focused() || !Caret()->Shown()) return;
    TCanvas& canvas = *Canvas();
    canvas.Font()->Assign(*Font());
    canvas.TextCharacterExtra = Font3D()->Tracing();
    const std::string& s = displayText_;
    const std::int32_t textWidth = canvas.TextWidth(s);
    std::int32_t base = TextBase(textWidth);
    const TLcThreeDStyle style = Font3D()->Style();
    if (style == tdSunken || style == tdSunkenShadow) base += Font3D()->ShadowDepth();
    if (style == tdRaised || style == tdRaisedShadow) base += Font3D()->LightDepth();
    base -= 1;
    const bool extrudeLeft =
        (style == tdExtrude || style == tdExtrudeEnh) &&
        (Font3D()->Orientation() == toBottomLeft || Font3D()->Orientation() == toTopLeft);
    auto caretX = [&]() {
        if (s.empty()) return base;
        std::int32_t x =
            base + MeasurePrefix(canvas, s, static_cast<std::int64_t>(CursorPos()) - 1) - ScrollOffset;
        if (extrudeLeft) x += Font3D()->ShadowDepth();
        return x;
    };
    // Where the caret would stand before any scrolling; an empty text has the alignment's own place.
    std::int32_t x = s.empty() ? TextBase(0) : caretX();
    // Scrolling goes in whole jumps: past the right edge by the overshoot plus TextRect.Left plus 2,
    // back by |x| plus TextRect.Left plus 2, never below 0.
    if (x > TextRect.Right) {
        x = x - TextRect.Right + TextRect.Left;
        ScrollOffset = static_cast<std::int32_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(ScrollOffset) + x + 2, INT32_MAX));
        DrawText(-1);
    }
    if (x < TextRect.Left && ScrollOffset != 0) {
        ScrollOffset = std::max(0, ScrollOffset - (std::abs(x) + TextRect.Left) - 2);
        DrawText(-1);
    }
    SetLcCaretPos(caretX() + 1, TextRect.Top);
}

void TLcCustomEdit::SetLcCaretPos(std::int32_t x, std::int32_t y) {
    if (Caret()->Style == csUnder) y += RowHeightOfSample() - 3;
    if (Caret()->Style == csUnderBlock) y += RowHeightOfSample() - Caret()->Height - 2;
    Caret()->Pos = {x, y};
    caret::SetPos(this, {x, y});
}

std::int32_t TLcCustomEdit::RowHeightOfSample() {
    Canvas()->Font()->Assign(*Font());
    return Canvas()->TextHeight("Qp");
}

std::int32_t TLcCustomEdit::CalcMousePos(TPoint point) {
    TCanvas& canvas = *Canvas();
    canvas.Font()->Assign(*Font());
    canvas.TextCharacterExtra = Font3D()->Tracing();
    const std::string& s = displayText_;
    const std::int32_t base = TextBase(canvas.TextWidth(s));
    const auto length = static_cast<std::int32_t>(s.size());
    // Position i is answered when the right half of character i reaches the point: w(i) = base +
    // width of the first i characters - ScrollOffset - half the width of character i. w grows with
    // i for any font (a character's advance is never less than half of its and its neighbour's
    // widths), so the first such i is found by bisection instead of one measurement per character.
    auto reaches = [&](std::int32_t i) {
        if (i >= length + 1) return true;
        const std::int32_t half = canvas.TextWidth(s.substr(static_cast<std::size_t>(i - 1), 1)) / 2;
        const std::int64_t w =
            static_cast<std::int64_t>(base) + MeasurePrefix(canvas, s, i) - ScrollOffset - half;
        return w >= point.X;
    };
    std::int32_t low = 1;
    std::int32_t high = length + 1;
    while (low < high) {
        const std::int32_t mid = low + (high - low) / 2;
        if (reaches(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

// ---------------------------------------------------------------------------------------------------
// Drawing

void TLcCustomEdit::DrawText(std::int32_t) {
    if (IsUpdating() || HasState(csLoading | csReading | csDestroying) || !HandleAllocated()) return;
    DrawTextOf(displayText_);
}

TCanvas* TLcCustomEdit::ControlSurface() {
    TCanvas& canvas = *Canvas();
    if (canvas.HandleAllocated()) return &canvas;
    // Outside the paint cycle the control's surface must be had first; a hidden control, or a
    // platform that refuses, leaves the drawing to the next paint.
    if (!Showing() || Host() == nullptr) return nullptr;
    try {
        canvas.Handle();
    } catch (const Exception&) {
        Invalidate();
        return nullptr;
    }
    return canvas.HandleAllocated() ? &canvas : nullptr;
}

TCanvas* TLcCustomEdit::BackTarget() {
    if (UseBackBitmap && BackBitmap() != nullptr) return EnsureBackBitmap().Canvas();
    return ControlSurface();
}

void TLcCustomEdit::RepaintBack(const TRect& rect) {
    TCanvas* target = BackTarget();
    if (target == nullptr) return;
    if (BackDrawArea(target, rect)) return;
    if (UseXP()) {
        ClipNarrowing clip(target->Handle(), rect);
        BevelXP(*target, ClientRect());
        return;
    }
    target->Brush()->SetStyle(bsSolid);
    target->Brush()->SetColor(GetBackColor());
    target->FillRect(rect);
}

void TLcCustomEdit::Paint() {
    if (IsUpdating() || HasState(csLoading | csReading)) return;
    TLcBaseEdit::Paint();
    DrawText(-1);
}

void TLcCustomEdit::DrawTextOf(const std::string& s) {
    const bool wasShown = Caret()->Shown();
    Caret()->Disable();
    // The caret comes back also when drawing fails part way.
    struct ShowAgain {
        TLcCaret& caret;
        bool shown;
        ~ShowAgain() {
            if (shown) caret.Enable();
        }
    } showAgain{*Caret(), wasShown};

    TCanvas* target = BackTarget();
    if (target == nullptr) return;
    const bool throughBack = UseBackBitmap && BackBitmap() != nullptr;
    target->Font()->Assign(*Font());
    RepaintBack(PaintRect);
    DrawSpecialTextBackground(*target, PaintRect);

    TRect r = TextRect;
    {
        // The text stays inside TextRect, scrolled or not, so it never covers the border or a button.
        ClipNarrowing clip(target->Handle(), TextRect);
        r.Left -= ScrollOffset;
        const TemporaryChange<std::int32_t> spacing(target->TextCharacterExtra, Font3D()->Tracing());
        const std::int32_t textWidth = target->TextWidth(s);
        if (Alignment() == taRightJustify) r.Left = r.Right - textWidth;
        if (Alignment() == taCenter) r.Left = r.Left + (r.Right - r.Left - textWidth) / 2;

        const TLcDrawTextStyle state = Enabled() ? dtEnabled : dtDisabled;
        const std::int64_t first = std::min<std::int64_t>(SelStart(), SelectionEnd());
        const std::int64_t end = std::max<std::int64_t>(SelStart(), SelectionEnd());
        const bool box = SelLength() != 0 && !SelectionHidden;
        std::int32_t x0 = 0;
        std::int32_t x1 = 0;
        const std::int32_t a = Font3D()->DepthA();
        const std::int32_t b = Font3D()->DepthB();
        if (box) {
            x0 = r.Left + MeasurePrefix(*target, s, first - 1);
            x1 = std::min(r.Left + MeasurePrefix(*target, s, end - 1), TextRect.Right);
            const std::int32_t bottom = std::min(r.Top + RowHeight(displayText_) + a + b, TextRect.Bottom);
            const bool extruded = Font3D()->Style() == tdExtrudeEnh &&
                                  Font3D()->Orientation() != toBottomRight &&
                                  Font3D()->Orientation() != toTopRight;
            const std::int32_t shift = extruded ? a + b : a;
            target->Brush()->SetStyle(bsSolid);
            target->Brush()->SetColor(HighlightBack);
            target->FillRect({x0 + shift, r.Top, x1 + shift, bottom});
        }
        Font3D()->DrawText(*target, s, r, state);
        if (box) {
            target->Font()->SetColor(HighlightText);
            const auto from = static_cast<std::size_t>(
                std::clamp<std::int64_t>(first - 1, 0, static_cast<std::int64_t>(s.size())));
            const auto to = static_cast<std::size_t>(
                std::clamp<std::int64_t>(end - 1, 0, static_cast<std::int64_t>(s.size())));
            Font3D()->DrawText(*target, s.substr(from, to - from), {x0, r.Top, x1 + a + b, r.Bottom}, state);
            target->Font()->SetColor(Font()->Color());
        }
    }
    if (throughBack) {
        TCanvas* surface = ControlSurface();
        if (surface != nullptr) surface->CopyRect(PaintRect, *target, PaintRect);
    }
}

std::int32_t TLcCustomEdit::MeasurePrefix(TCanvas& canvas, const std::string& s, std::int64_t count) {
    const auto n =
        static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(s.size())));
    return canvas.TextWidth(s.substr(0, n));
}
