#include "spinedit/lc_custom_mask_edit.h"

#include "framework/core/temporary_change.h"
#include "framework/platform/platform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(const std::string& s, std::size_t from) {
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(std::min(from, s.size())), s.end(), IsDigit);
}

// The local date or time of day as text, for the date and time modes' starting text.
std::string NowAs(const char* format) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char buffer[32] = {};
    if (local == nullptr || std::strftime(buffer, sizeof buffer, format, local) == 0) return {};
    return buffer;
}

// A number text of the float modes, fully read; nothing for anything else.
std::optional<double> ParseDecimal(const std::string& s) {
    if (s.empty()) return 0.0;
    char* end = nullptr;
    const double value = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

TLcCustomMaskEdit::TLcCustomMaskEdit(TComponent* AOwner) : TLcCustomEdit(AOwner) {}

// ---------------------------------------------------------------------------------------------------
// Suffix and text

std::string TLcCustomMaskEdit::GetSuffix() const {
    switch (maskType_) {
    case meCurrency:
    case meDate:
    case meTime:
    case meMask: return {};
    default: return suffix_;
    }
}

std::int32_t TLcCustomMaskEdit::NumberLength() const { return std::max(0, TextLength() - SuffixLength()); }

std::string TLcCustomMaskEdit::GetPureText() const {
    const std::size_t s = GetSuffix().size();
    if (text_.size() < s) return text_;
    return text_.substr(0, text_.size() - s);
}

void TLcCustomMaskEdit::SetSuffix(const std::string& value) {
    const std::string pure = GetPureText();
    suffix_ = value;
    SetText(pure + GetSuffix());
}

void TLcCustomMaskEdit::SetTextWithSuffix(const std::string& text) { SetText(text + GetSuffix()); }

void TLcCustomMaskEdit::SetValue(double x) {
    if (maskType_ != meInteger) {
        SetTextWithSuffix(std::to_string(x));
        return;
    }
    // Truncated toward zero; values past the 32-bit range stand at its bounds.
    double t = std::isnan(x) ? 0.0 : std::trunc(x);
    t = std::clamp(t, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                   static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    SetTextWithSuffix(std::to_string(static_cast<std::int32_t>(t)));
}

void TLcCustomMaskEdit::CheckNumberRange() {
    if (GetPureText() == "-") SetText("");
}

void TLcCustomMaskEdit::SetMaskType(TLcMaskType value) {
    if (value == maskType_) return;
    maskType_ = value;
    switch (value) {
    case meInteger:
    case meWord:
    case meFloat: SetTextWithSuffix("0"); break;
    case meFloatFixed:
    case meFloatNumber: SetTextWithSuffix("0.0"); break;
    case meCurrency: SetTextWithSuffix("0.00"); break;
    case meDate:
        if (text_.empty()) SetTextWithSuffix(NowAs("%Y-%m-%d"));
        break;
    case meTime:
        if (text_.empty()) SetTextWithSuffix(NowAs("%H:%M:%S"));
        break;
    case meMask: SetTextWithSuffix(""); break; // no mask, so no literal characters
    case meNone: break;
    }
}

// ---------------------------------------------------------------------------------------------------
// Values

std::optional<std::int64_t> TLcCustomMaskEdit::ParsePureText() const {
    const std::string pure = GetPureText();
    const bool negative = !pure.empty() && pure[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    if (pure.size() == first || !AllDigits(pure, first)) return std::nullopt;
    // A number of any length stands at the 64-bit bounds rather than failing or wrapping.
    constexpr std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
    std::uint64_t magnitude = 0;
    for (std::size_t i = first; i < pure.size() && magnitude < limit; ++i) {
        const auto digit = static_cast<std::uint64_t>(pure[i] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == limit ? std::numeric_limits<std::int64_t>::min()
                                  : -static_cast<std::int64_t>(magnitude);
    return static_cast<std::int64_t>(std::min(magnitude, limit - 1));
}

void TLcCustomMaskEdit::RequireMode(bool holds, const char* message) const {
    if (!holds) throw ELcWrongDataType(message);
}

std::int64_t TLcCustomMaskEdit::AsInt64() {
    RequireMode(maskType_ == meInteger, "No integer entered");
    if (GetPureText().empty()) return 0;
    const std::optional<std::int64_t> value = ParsePureText();
    if (!value) {
        DoValidationError();
        return 0;
    }
    return *value;
}

std::int32_t TLcCustomMaskEdit::AsInteger() {
    const std::int64_t value = AsInt64();
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t TLcCustomMaskEdit::AsCardinal() {
    RequireMode(maskType_ == meWord, "No word entered");
    const std::string pure = GetPureText();
    if (pure.empty()) return 0;
    const std::optional<std::int64_t> value = ParsePureText();
    if (!value || pure[0] == '-') {
        DoValidationError();
        return 0;
    }
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(*value, std::numeric_limits<std::uint32_t>::max()));
}

double TLcCustomMaskEdit::AsFloat() {
    RequireMode(maskType_ == meFloat || maskType_ == meFloatFixed || maskType_ == meFloatNumber,
                "No float entered");
    const std::optional<double> value = ParseDecimal(GetPureText());
    if (!value) {
        DoValidationError();
        return 0.0;
    }
    return *value;
}

double TLcCustomMaskEdit::AsCurrency() {
    if (maskType_ == meInteger) return static_cast<double>(AsInt64());
    const std::optional<double> value = ParseDecimal(GetPureText());
    return value ? std::round(*value * 10000.0) / 10000.0 : 0.0;
}

double TLcCustomMaskEdit::AsDate() {
    RequireMode(maskType_ == meDate, "No date entered");
    throw ELcWrongDataType("Dates cannot be read from this edit");
}

double TLcCustomMaskEdit::AsTime() {
    RequireMode(maskType_ == meTime, "No time entered");
    throw ELcWrongDataType("Times cannot be read from this edit");
}

void TLcCustomMaskEdit::DoValidationError() {
    if (OnValidationError) OnValidationError(this);
}

// ---------------------------------------------------------------------------------------------------
// Input

bool TLcCustomMaskEdit::IntegerInsertAllowed(const std::string& text, std::int32_t pos,
                                             const std::string& insert) {
    if (insert.empty()) return true;
    const bool textHasMinus = !text.empty() && text[0] == '-';
    if (insert[0] == '-') {
        // A minus goes only to the front of a number that has none yet.
        if (pos != 1 || textHasMinus) return false;
    } else if (pos == 1 && textHasMinus) {
        // Digits in front of the minus would make no number.
        return false;
    }
    return AllDigits(insert, insert[0] == '-' ? 1 : 0);
}

void TLcCustomMaskEdit::HandleInsertText(std::int32_t pos, std::string& s) {
    TLcCustomEdit::HandleInsertText(pos, s);
    if (maskType_ == meInteger && !IntegerInsertAllowed(text_, pos, s)) s.clear();
}

void TLcCustomMaskEdit::EmptySelectionAtCaret() {
    // Text goes in and out at SelStart. With nothing selected that is the caret's place, but the
    // unchecked setters may have put it elsewhere, even inside the suffix, and made the length
    // negative (which selects nothing).
    if (SelLength() > 0) return;
    SetSelStart(CursorPos());
    SetSelLength(0);
}

void TLcCustomMaskEdit::CutSelectionBackToNumber() {
    if (!KeepsSuffix()) return;
    EmptySelectionAtCaret();
    const std::int32_t n = NumberLength();
    if (SelectionEnd() > n + 1) SetSelLength(std::max(0, n - SelStart() + 1));
}

void TLcCustomMaskEdit::WMChar(TMessage& m) {
    if (maskType_ != meInteger) {
        TLcCustomEdit::WMChar(m);
        return;
    }
    const char ch = static_cast<char>(m.WParam);
    const std::int32_t c = CursorPos();
    const std::int32_t n = NumberLength();
    // Behind the suffix's first character nothing can be typed, not even a key-press event comes.
    if (SuffixLength() > 0 && c > n + 1) return;
    const bool accepted = (IsDigit(ch) && CharAt(c) != '-') ||
                          (ch == '-' && ((c == 1 && text_.find('-') == std::string::npos) ||
                                         (SelStart() == 1 && SelLength() > 0)));
    if (!accepted) {
        // Refused: the key-press event is all that happens.
        char key = ch;
        if (EditingAllowed) TWinControl::KeyPress(key);
        return;
    }
    // The typed character replaces only the number part of a selection, and at the suffix's first
    // character it goes in before it even in overwrite mode.
    CutSelectionBackToNumber();
    const TemporaryChange<bool> insertOnly(insertOnly_, insertOnly_ || (KeepsSuffix() && CursorPos() > n));
    TLcCustomEdit::WMChar(m);
}

void TLcCustomMaskEdit::GetCommandKey(std::uint16_t& Key, TShiftState Shift) {
    if (maskType_ == meInteger) {
        // Stepping keys belong to the spin edit; here they do nothing, not even move the caret.
        if (Key == VK_UP || Key == VK_DOWN) return;
        if ((Key == VK_BACK || Key == VK_DELETE) && KeepsSuffix() && Enabled() && EditingAllowed) {
            DeleteKeepingSuffix(Key, Shift);
            return;
        }
    }
    TLcCustomEdit::GetCommandKey(Key, Shift);
}

void TLcCustomMaskEdit::DeleteKeepingSuffix(std::uint16_t key, TShiftState shift) {
    CutSelectionBackToNumber();
    const std::int32_t c = CursorPos();
    const std::int32_t n = NumberLength();
    const bool cut = key == VK_DELETE && LcApplication().InEditMode(emShift);
    bool removesOne = false;
    if (SelLength() == 0 && !cut) {
        if (key == VK_BACK) {
            if (c == 1) return; // nothing before the caret: nothing at all happens
            removesOne = c <= n + 1;
        } else {
            if (text_.empty()) return;
            removesOne = c <= n;
        }
    }
    if (SelLength() > 0 || cut || removesOne) {
        std::uint16_t k = key;
        TLcCustomEdit::GetCommandKey(k, shift);
        return;
    }
    // Nothing of the number can go, but the change is reported as for any removal.
    const TemporaryChange<bool> insertOnly(insertOnly_, true);
    SetSelText("");
}

void TLcCustomMaskEdit::ClearSelection() {
    if (maskType_ != meInteger) {
        TLcCustomEdit::ClearSelection();
        return;
    }
    CutSelectionBackToNumber();
    if (SelLength() > 0) SetSelText("");
}

void TLcCustomMaskEdit::CutToClipboard() {
    if (KeepsSuffix()) {
        EmptySelectionAtCaret();
        if (SelectionEnd() > NumberLength() + 1) return;
    }
    // With nothing selected, overwrite mode would take the character at the caret: never the suffix's.
    const TemporaryChange<bool> insertOnly(insertOnly_,
                                           insertOnly_ || (KeepsSuffix() && SelStart() > NumberLength()));
    TLcCustomEdit::CutToClipboard();
}

void TLcCustomMaskEdit::PasteFromClipboard() {
    if (KeepsSuffix()) {
        CutSelectionBackToNumber();
        if (SelStart() > NumberLength() + 1) return;
    }
    const TemporaryChange<bool> insertOnly(insertOnly_,
                                           insertOnly_ || (KeepsSuffix() && CursorPos() > NumberLength()));
    TLcCustomEdit::PasteFromClipboard();
}

std::size_t TLcCustomMaskEdit::LongestPaste() const {
    constexpr std::size_t kLongestInt64Text = 20;
    return maskType_ == meInteger ? kLongestInt64Text : TLcCustomEdit::LongestPaste();
}

bool TLcCustomMaskEdit::AcceptsTextDrop(std::int32_t at) {
    if (maskType_ != meInteger) return true;
    // Dragged text stays inside the number part and must leave a number there.
    const std::int32_t n = NumberLength();
    if (SelStart() < 1 || SelectionEnd() > n + 1 || at > n + 1) return false;
    const std::string moved = GetSelText();
    std::string rest = text_;
    rest.erase(static_cast<std::size_t>(SelStart() - 1), moved.size());
    const std::int32_t target = at > SelStart() ? at - static_cast<std::int32_t>(moved.size()) : at;
    return IntegerInsertAllowed(rest, target, moved);
}

void TLcCustomMaskEdit::WMKillFocus(TMessage& m) {
    TLcCustomEdit::WMKillFocus(m);
    if (maskType_ == meInteger) CheckNumberRange();
}

void TLcCustomMaskEdit::DefineProperties(TPropertyFiler& filer) {
    // Written with every edit; the integer mode has no date to take from it, so it is read and
    // dropped (a value that is no number is still an error in the description).
    filer.DefineProperty("DateTime",
                         [](const StoredValue& v) { static_cast<void>(stored_values::ToDouble(v)); });
}
