// TLcCustomMaskEdit: the edit as an entry field for one typed value. In the integer mode it decides,
// character by character, what may be typed or pasted, keeps a unit Suffix ("%", " pixels") behind
// the number and out of every deletion, converts the text to a number and tidies a lone "-" away
// when the focus leaves. The other entry modes only set their starting text; reading a value in
// one of them raises ELcWrongDataType.
#pragma once

#include "edit/lc_custom_edit.h"
#include "framework/core/exceptions.h"
#include "framework/stored/class_registry.h"

enum TLcMaskType : std::uint8_t {
    meInteger,
    meWord,
    meFloat,
    meFloatFixed,
    meFloatNumber,
    meCurrency,
    meDate,
    meTime,
    meMask,
    meNone
};

// A value was read in an entry mode that does not hold that kind of value.
class ELcWrongDataType : public Exception {
public:
    using Exception::Exception;
};

class TLcCustomMaskEdit : public TLcCustomEdit, public IDefinesProperties {
public:
    explicit TLcCustomMaskEdit(TComponent* AOwner);

    const std::string& Suffix() const { return suffix_; }
    // Keeps the number and puts the new suffix behind it.
    void SetSuffix(const std::string& value);
    std::uint8_t NumberBase = 10;
    double RangeMin = -1.0;
    double RangeMax = -1.0;
    TNotifyEvent OnValidationError;
    TLcMaskType MaskType() const { return maskType_; }
    // Switching to another mode sets that mode's starting text.
    void SetMaskType(TLcMaskType value);
    // The number part of the text always holds this mode's data; assigned without touching the text.
    void AssignMaskType(TLcMaskType value) { maskType_ = value; }

    // The suffix in force: none in the currency, date, time and mask modes.
    std::string GetSuffix() const;
    // The text without its last characters as long as the suffix (whatever they are).
    std::string GetPureText() const;
    void SetTextWithSuffix(const std::string& text);
    // Decimal text of x, truncated toward zero, with the suffix.
    void SetValue(double x);
    // A lone "-" empties the whole text, suffix included.
    void CheckNumberRange();

    // The value accessors. A number past the type's range reads as its nearest bound.
    std::int32_t AsInteger();
    std::int64_t AsInt64();
    std::uint32_t AsCardinal();
    double AsFloat();
    double AsCurrency();
    double AsDate();
    double AsTime();
    std::string AsString() const { return GetPureText(); }

    virtual void DoValidationError();

    void ClearSelection() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    void HandleInsertText(std::int32_t pos, std::string& s) override;
    void GetCommandKey(std::uint16_t& Key, TShiftState Shift) override;
    void DefineProperties(TPropertyFiler& filer) override;

    // Whether `insert` may go in at `pos` of `text` (the selection already removed): an optional
    // leading "-" that lands at position 1 of a text without one, then digits only.
    static bool IntegerInsertAllowed(const std::string& text, std::int32_t pos, const std::string& insert);

protected:
    void WMChar(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    bool AcceptsTextDrop(std::int32_t at) override;
    // The integer mode takes no paste longer than the longest 64-bit number, "-9223372036854775808":
    // a clipboard of megabytes is refused at once instead of being scanned, stored and measured.
    std::size_t LongestPaste() const override;

private:
    std::int32_t SuffixLength() const { return static_cast<std::int32_t>(GetSuffix().size()); }
    // The length of the number part: the text without the suffix.
    std::int32_t NumberLength() const;
    bool KeepsSuffix() const { return maskType_ == meInteger && SuffixLength() > 0; }
    void EmptySelectionAtCaret();
    // Cuts a selection that reaches into the suffix back to the number part (an empty one goes to
    // the caret).
    void CutSelectionBackToNumber();
    // Backspace and Delete with a suffix: the suffix stays whole.
    void DeleteKeepingSuffix(std::uint16_t key, TShiftState shift);
    // The pure text as a number, or nothing when it is not one; saturated to 64 bits.
    std::optional<std::int64_t> ParsePureText() const;
    void RequireMode(bool holds, const char* message) const;

    std::string suffix_;
    TLcMaskType maskType_ = meMask;
};
