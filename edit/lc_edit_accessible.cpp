// The custom-drawn edit as assistive technology sees it: editable text with its caret and selection.
#include "edit/lc_base_edit.h"

#include <algorithm>

void TLcBaseEdit::DescribeAccessible(AccessibleDescription& d) {
    TLcCustomBevelPanel::DescribeAccessible(d);
    d.role = AccessibleRole::EditableText;
    d.value = text_;
    d.states |= readOnly_ ? kAccessibleReadOnly : kAccessibleEditable;
    // Positions are 1-based; the model counts characters from 0. The unchecked selection setters may
    // have stored anything: clamp into the text.
    const std::int32_t length = TextLength();
    const auto offset = [length](std::int64_t position) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(position - 1, 0, length));
    };
    AccessibleText text;
    text.text = text_;
    text.caretOffset = offset(CursorPos());
    text.selectionStart = offset(SelStart());
    text.selectionEnd = SelLength() > 0 ? offset(SelectionEnd()) : text.selectionStart;
    d.text = text;
}

AccessibleSetResult TLcBaseEdit::SetAccessibleValue(const std::string& value) {
    if (readOnly_ || !EditingAllowed || !AllowedOperation(value)) return AccessibleSetResult::Refused;
    SelectAll();
    SetSelText(value);
    return AccessibleSetResult::Done;
}
