// The spin edit as assistive technology sees it: a spin button with its range.
#include "spinedit/lc_spin_edit.h"

void TLcCustomExtSpinEdit::DescribeAccessible(AccessibleDescription& d) {
    TLcCustomMaskEdit::DescribeAccessible(d);
    d.role = AccessibleRole::SpinButton;
    if (!EditorEnabled) d.states = (d.states & ~kAccessibleEditable) | kAccessibleReadOnly;
    if (MaskType() != meInteger) return;
    AccessibleRange range;
    range.current = AsInteger();
    range.minimum = MinValue();
    range.maximum = MaxValue();
    range.step = Step;
    d.range = range;
}

AccessibleSetResult TLcCustomExtSpinEdit::SetAccessibleValue(const std::string& value) {
    if (MaskType() != meInteger) return TLcCustomMaskEdit::SetAccessibleValue(value);
    std::string number = value;
    const std::string suffix = GetSuffix();
    if (!suffix.empty() && number.size() > suffix.size() && number.ends_with(suffix))
        number.resize(number.size() - suffix.size());
    // The whole number must be typeable into an empty number part, as the keyboard would take it.
    if (ReadOnly() || !EditingAllowed || !AllowedOperation(number) || number.empty() || number == "-" ||
        number.size() > LongestPaste() || !IntegerInsertAllowed(suffix, 1, number))
        return AccessibleSetResult::Refused;
    SetSelStart(1);
    SetSelLength(static_cast<std::int32_t>(GetPureText().size()));
    SetSelText(number);
    if (!Focused()) CommitValue(AsInteger());
    return AccessibleSetResult::Done;
}
