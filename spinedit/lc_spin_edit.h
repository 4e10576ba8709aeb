// The numeric spin edit: an integer mask edit with a unit suffix and an up/down button at its right
// end. Keys, the wheel and the button step the number within MinValue..MaxValue; a typed number is
// committed, clamped into the range, when the focus leaves.
//
// TLcCustomExtSpinEdit holds the behaviour, TLcCustomSpinEdit publishes the integer properties and
// reads the legacy "BorderStyle", TLcSpinEdit is the class placed on forms.
#pragma once

#include "spinedit/lc_custom_mask_edit.h"
#include "spinedit/lc_spin_button.h"

enum TLcNumberType : std::uint8_t { ntInteger, ntFloat, ntFloatFixed, ntFloatNumber, ntCurrency };

class TLcCustomExtSpinEdit : public TLcCustomMaskEdit {
public:
    explicit TLcCustomExtSpinEdit(TComponent* AOwner);
    ~TLcCustomExtSpinEdit() override;

    TLcSpinButton* SpinButton() const { return spinButton_; }
    std::int32_t SpinBtnWidth() const { return spinBtnWidth_; }
    // -1 makes the button square; a change lays the edit out again.
    void SetSpinBtnWidth(std::int32_t value);
    TColor SpinBtnColor() const { return spinButton_->Color(); }
    void SetSpinBtnColor(TColor value) { spinButton_->SetColor(value); }
    TColor SpinBtnHotColor() const { return spinButton_->HotColor; }
    void SetSpinBtnHotColor(TColor value) { spinButton_->HotColor = value; }
    bool SpinBtnDiag() const { return spinButton_->Skew(); }
    void SetSpinBtnDiag(bool value) { spinButton_->SetSkew(value); }
    std::uint16_t Interval() const { return spinButton_->Interval; }
    void SetInterval(std::uint16_t value) { spinButton_->Interval = value; }
    bool EditorEnabled = true;
    TLcNumberType NumberType() const { return numberType_; }
    void SetType(TLcNumberType value);
    double CommittedValue() const { return committedValue_; }
    double FractionStep = 0.1;
    double LargeStep = 10.0;
    double Step = 1.0;
    TNotifyEvent OnSpinBtnUpClick;
    TNotifyEvent OnSpinBtnDownClick;

    // The number in the text now (it may lie outside the range while the user types).
    std::int32_t Value() { return AsInteger(); }
    // Commits x: clamped into the range and written, unless it equals the committed value.
    void CommitValue(double x);
    std::int32_t MinValue() const { return Truncated(RangeMin); }
    void SetMinValue(std::int32_t value);
    std::int32_t MaxValue() const { return Truncated(RangeMax); }
    void SetMaxValue(std::int32_t value);
    // The text for x: its decimal integer part and the suffix.
    std::string getOutString(double x) const;

    // One step up or down; nothing when the edit is read-only.
    void Increment(double step);
    void Decrement(double step);
    // The button's callbacks: focus, step, then the button event.
    virtual void DoInc(TObject* Sender);
    virtual void DoDec(TObject* Sender);

    void Loaded() override;
    void DoThemeChanged() override;
    void MouseExit() override;
    bool AllowedOperation(const std::string& s) override;
    void ModifyPaintRect() override;
    void GetCommandKey(std::uint16_t& Key, TShiftState Shift) override;

    // A spin button with its range; a value set is typed over the number part (the suffix may come
    // with it), refused where typing it would be, and committed at once unless the edit has the
    // focus (focus loss commits it then).
    void DescribeAccessible(AccessibleDescription& description) override;
    AccessibleSetResult SetAccessibleValue(const std::string& value) override;

protected:
    // v cut toward zero, within the 32-bit range.
    static std::int32_t Truncated(double v);
    void CMEnabledChanged(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

private:
    // Writes a stepped value and puts the caret back where it was.
    void WriteStepped(std::int64_t value, std::int32_t caretBefore);

    TLcSpinButton* spinButton_ = nullptr; // owned (as a component) by the edit
    std::int32_t spinBtnWidth_ = -1;
    TLcNumberType numberType_ = ntInteger;
    double committedValue_ = 0.0;
};

class TLcCustomSpinEdit : public TLcCustomExtSpinEdit {
public:
    explicit TLcCustomSpinEdit(TComponent* AOwner);

    void SetValue(std::int32_t value) { CommitValue(value); }
    std::int32_t LineSize() const { return Truncated(Step); }
    void SetLineSize(std::int32_t value) { Step = value; }
    std::int32_t PageSize() const { return Truncated(LargeStep); }
    void SetPageSize(std::int32_t value) { LargeStep = value; }

    void DefineProperties(TPropertyFiler& filer) override;
};

class TLcSpinEdit : public TLcCustomSpinEdit {
public:
    using TLcCustomSpinEdit::TLcCustomSpinEdit;
};
