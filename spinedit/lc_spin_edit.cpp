#include "spinedit/lc_spin_edit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Nearest integer, halves to even, held within 64 bits.
std::int64_t RoundedStep(double step) {
    if (std::isnan(step)) return 0;
    const double r = std::nearbyint(step);
    constexpr double limit = 9.2e18;
    return static_cast<std::int64_t>(std::clamp(r, -limit, limit));
}

std::int64_t TruncatedWide(double v) {
    if (std::isnan(v)) return 0;
    constexpr double limit = 9.2e18;
    return static_cast<std::int64_t>(std::clamp(std::trunc(v), -limit, limit));
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TLcCustomExtSpinEdit

TLcCustomExtSpinEdit::TLcCustomExtSpinEdit(TComponent* AOwner) : TLcCustomMaskEdit(AOwner) {
    spinButton_ = new TLcSpinButton(this);
    spinButton_->SetCtlXP(CtlXP());
    spinButton_->SetParent(this);
    spinButton_->SetColor(clBtnFace);
    spinButton_->SetBtns(SpinButtonSet({sbUp, sbDown}));
    spinButton_->SpinStyle = seSpinEdit;
    spinButton_->OnUpClick = [this](TObject* sender) { DoInc(sender); };
    spinButton_->OnLeftClick = spinButton_->OnUpClick;
    spinButton_->OnDownClick = [this](TObject* sender) { DoDec(sender); };
    spinButton_->OnRightClick = spinButton_->OnDownClick;
    spinButton_->Cursor = crArrow;

    AssignMaskType(meInteger);
    SetMinValue(0);
    SetMaxValue(100);
    BeginUpdate();
    TLcCustomMaskEdit::SetValue(0);
    EndUpdate(false);
}

// The button goes before the edit it lives on.
TLcCustomExtSpinEdit::~TLcCustomExtSpinEdit() { delete spinButton_; }

std::int32_t TLcCustomExtSpinEdit::Truncated(double v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(TruncatedWide(v),
                                                              std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

void TLcCustomExtSpinEdit::SetSpinBtnWidth(std::int32_t value) {
    if (value == spinBtnWidth_) return;
    spinBtnWidth_ = value;
    SetupRects();
    Invalidate();
}

void TLcCustomExtSpinEdit::SetType(TLcNumberType value) {
    numberType_ = value;
    static constexpr TLcMaskType kModes[] = {meInteger, meFloat, meFloatFixed, meFloatNumber, meCurrency};
    SetMaskType(kModes[value]);
}

void TLcCustomExtSpinEdit::SetMinValue(std::int32_t value) {
    if (value == RangeMin) return;
    RangeMin = value;
    if (RangeMin > RangeMax) RangeMax = value;
}

void TLcCustomExtSpinEdit::SetMaxValue(std::int32_t value) {
    if (value == RangeMax) return;
    RangeMax = value;
    if (RangeMin > RangeMax) RangeMin = value;
}

std::string TLcCustomExtSpinEdit::getOutString(double x) const {
    return std::to_string(TruncatedWide(x)) + Suffix();
}

void TLcCustomExtSpinEdit::CommitValue(double x) {
    if (x == committedValue_) return;
    committedValue_ = x;
    if (committedValue_ > RangeMax) committedValue_ = RangeMax;
    if (committedValue_ < RangeMin) committedValue_ = RangeMin;
    SetText(getOutString(committedValue_));
}

// ---------------------------------------------------------------------------------------------------
// Stepping

void TLcCustomExtSpinEdit::WriteStepped(std::int64_t value, std::int32_t caretBefore) {
    TLcCustomMaskEdit::SetValue(static_cast<double>(value));
    if (caretBefore <= TextLength() + 1) SetCursorPos(caretBefore);
}

void TLcCustomExtSpinEdit::Increment(double step) {
    if (ReadOnly()) return;
    const std::int32_t caretBefore = SelStart();
    const std::int64_t sum = static_cast<std::int64_t>(AsInteger()) + RoundedStep(step);
    const std::int64_t top = TruncatedWide(RangeMax);
    WriteStepped(sum >= top ? top : sum, caretBefore);
}

void TLcCustomExtSpinEdit::Decrement(double step) {
    if (ReadOnly()) return;
    const std::int32_t caretBefore = SelStart();
    const std::int32_t current = AsInteger();
    const std::int64_t bottom = TruncatedWide(RangeMin);
    // The bound is tested against the unrounded step, the value moves by the rounded one.
    const double diff = static_cast<double>(current) - step;
    WriteStepped(diff <= static_cast<double>(bottom) ? bottom : current - RoundedStep(step), caretBefore);
}

void TLcCustomExtSpinEdit::DoInc(TObject*) {
    if (Showing() && CanFocus()) SetFocus();
    Increment(Step);
    if (OnSpinBtnUpClick) OnSpinBtnUpClick(this);
}

void TLcCustomExtSpinEdit::DoDec(TObject*) {
    if (Showing() && CanFocus()) SetFocus();
    Decrement(Step);
    if (OnSpinBtnDownClick) OnSpinBtnDownClick(this);
}

void TLcCustomExtSpinEdit::GetCommandKey(std::uint16_t& Key, TShiftState Shift) {
    switch (Key) {
    case VK_UP: Increment(Step); break;
    case VK_DOWN: Decrement(Step); break;
    case VK_PRIOR: Increment(LargeStep); break;
    case VK_NEXT: Decrement(LargeStep); break;
    default: TLcCustomMaskEdit::GetCommandKey(Key, Shift); break;
    }
}

bool TLcCustomExtSpinEdit::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    TLcCustomMaskEdit::DoMouseWheelUp(Shift, MousePos);
    Increment(Step);
    return true;
}

bool TLcCustomExtSpinEdit::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    TLcCustomMaskEdit::DoMouseWheelDown(Shift, MousePos);
    Decrement(Step);
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Focus, layout and the button

void TLcCustomExtSpinEdit::WMKillFocus(TMessage& m) {
    TLcCustomMaskEdit::WMKillFocus(m);
    const std::int32_t typed = AsInteger();
    if (typed != committedValue_) {
        CommitValue(typed);
        return;
    }
    // The number equals the committed one but its text may not (a lone "-" emptied, a lost
    // suffix): the edit always leaves with the committed value's own text.
    const std::string committed = getOutString(committedValue_);
    if (text_ != committed) SetText(committed);
}

bool TLcCustomExtSpinEdit::AllowedOperation(const std::string& s) {
    return TLcCustomMaskEdit::AllowedOperation(s) && EditorEnabled;
}

void TLcCustomExtSpinEdit::ModifyPaintRect() {
    TLcCustomMaskEdit::ModifyPaintRect();
    if (spinButton_ == nullptr) return;
    // The button fills the right end of the text area, square unless a width is set, with one
    // pixel between it and the text.
    const std::int32_t w = spinBtnWidth_ == -1 ? PaintRect.Bottom - PaintRect.Top : spinBtnWidth_;
    PaintRect.Right -= w;
    spinButton_->SetBounds(PaintRect.Right + 1, PaintRect.Top, w, PaintRect.Bottom - PaintRect.Top);
}

void TLcCustomExtSpinEdit::CMEnabledChanged(TMessage& m) {
    TLcCustomMaskEdit::CMEnabledChanged(m);
    spinButton_->SetEnabled(Enabled());
}

void TLcCustomExtSpinEdit::DoThemeChanged() {
    if (spinButton_ != nullptr) spinButton_->SetCtlXP(CtlXP());
    TLcCustomMaskEdit::DoThemeChanged();
}

void TLcCustomExtSpinEdit::MouseMove(TShiftState Shift, int X, int Y) {
    TLcCustomMaskEdit::MouseMove(Shift, X, Y);
    spinButton_->MouseLeave();
}

void TLcCustomExtSpinEdit::MouseExit() {
    TLcCustomMaskEdit::MouseExit();
    // Moving onto the button leaves the edit's own area too; the button keeps its hot part then.
    if (GetMouseControl() != spinButton_) spinButton_->MouseLeave();
}

void TLcCustomExtSpinEdit::Loaded() {
    TLcCustomMaskEdit::Loaded();
    SetType(numberType_);
    SetMinValue(MinValue());
}

// ---------------------------------------------------------------------------------------------------
// TLcCustomSpinEdit

TLcCustomSpinEdit::TLcCustomSpinEdit(TComponent* AOwner) : TLcCustomExtSpinEdit(AOwner) {
    BeginUpdate();
    SetAutoSize(true);
    AutoSelect = true;
    EndUpdate(false);
}

void TLcCustomSpinEdit::DefineProperties(TPropertyFiler& filer) {
    TLcCustomExtSpinEdit::DefineProperties(filer);
    // The border of older descriptions: a single line is the window's own border, anything else none.
    filer.DefineProperty("BorderStyle", [this](const StoredValue& v) {
        const bool single = stored_values::ToIdentifier(v) == "bsSingle";
        TLcBevel& bevel = *Bevel();
        bevel.BeginUpdate();
        if (single) {
            bevel.SetMode(bmWindows);
        } else {
            bevel.SetStandardStyle(lsNone);
            bevel.SetMode(bmStandard);
        }
        bevel.EndUpdate();
    });
}
