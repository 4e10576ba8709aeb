#include "framework/stored/stored_values.h"

#include "framework/core/exceptions.h"

#include <limits>

std::optional<std::uint32_t> TEnumNames::Find(const std::string& name) const {
    for (const auto& [n, value] : names_)
        if (name == n) return value;
    return std::nullopt;
}

std::string TEnumNames::Choices() const {
    std::string out;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (i > 0) out += i + 1 == names_.size() ? " or " : ", ";
        out += names_[i].first;
    }
    return out;
}

namespace stored_values {
namespace {

[[noreturn]] void Expected(const char* what, const StoredValue& v) {
    throw EReadError(std::string(what) + " expected, found " + DescribeValueKind(v.kind));
}

struct NamedColor {
    const char* name;
    TColor color;
};

constexpr NamedColor kColors[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clNavy", clNavy},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
};

const TEnumNames& Charsets() {
    static const TEnumNames names{
        {"ANSI_CHARSET", 0},          {"DEFAULT_CHARSET", 1},   {"SYMBOL_CHARSET", 2},
        {"SHIFTJIS_CHARSET", 128},    {"HANGEUL_CHARSET", 129}, {"GB2312_CHARSET", 134},
        {"CHINESEBIG5_CHARSET", 136}, {"OEM_CHARSET", 255},     {"GREEK_CHARSET", 161},
        {"TURKISH_CHARSET", 162},     {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},
        {"BALTIC_CHARSET", 186},      {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},
        {"EASTEUROPE_CHARSET", 238}};
    return names;
}

} // namespace

std::optional<TColor> ColorFromName(const std::string& name) {
    for (const NamedColor& c : kColors)
        if (name == c.name) return c.color;
    return std::nullopt;
}

std::int32_t ToInt32(const StoredValue& v) {
    if (v.kind != StoredValue::Kind::Integer) Expected("an integer", v);
    if (v.integer < std::numeric_limits<std::int32_t>::min() ||
        v.integer > std::numeric_limits<std::int32_t>::max())
        throw EReadError("integer " + std::to_string(v.integer) + " out of range");
    return static_cast<std::int32_t>(v.integer);
}

double ToDouble(const StoredValue& v) {
    if (v.kind == StoredValue::Kind::Float) return v.real;
    if (v.kind != StoredValue::Kind::Integer) Expected("a number", v);
    return static_cast<double>(v.integer);
}

std::uint32_t ToUInt32(const StoredValue& v) {
    if (v.kind != StoredValue::Kind::Integer) Expected("an integer", v);
    if (v.integer < 0 || v.integer > std::numeric_limits<std::uint32_t>::max())
        throw EReadError("integer " + std::to_string(v.integer) + " out of range");
    return static_cast<std::uint32_t>(v.integer);
}

bool ToBoolean(const StoredValue& v) {
    if (v.kind == StoredValue::Kind::Identifier) {
        if (v.text == "True") return true;
        if (v.text == "False") return false;
    }
    throw EReadError("True or False expected");
}

const std::string& ToString(const StoredValue& v) {
    if (v.kind != StoredValue::Kind::String) Expected("a string", v);
    return v.text;
}

TColor ToColor(const StoredValue& v) {
    if (v.kind == StoredValue::Kind::Integer) {
        // Colours are 32-bit patterns: the system colours have the top bit set.
        if (v.integer < std::numeric_limits<std::int32_t>::min() ||
            v.integer > std::numeric_limits<std::uint32_t>::max())
            throw EReadError("colour " + std::to_string(v.integer) + " out of range");
        return static_cast<TColor>(static_cast<std::uint32_t>(v.integer));
    }
    if (v.kind == StoredValue::Kind::Identifier) {
        if (auto c = ColorFromName(v.text)) return *c;
        throw EReadError("unknown colour " + v.text);
    }
    Expected("a colour", v);
}

std::uint8_t ToCharset(const StoredValue& v) {
    if (v.kind == StoredValue::Kind::Integer) {
        if (v.integer < 0 || v.integer > 255)
            throw EReadError("character set " + std::to_string(v.integer) + " out of range");
        return static_cast<std::uint8_t>(v.integer);
    }
    return static_cast<std::uint8_t>(ToEnum(v, Charsets()));
}

std::uint32_t ToEnum(const StoredValue& v, const TEnumNames& names) {
    if (v.kind != StoredValue::Kind::Identifier) Expected("an identifier", v);
    if (auto value = names.Find(v.text)) return *value;
    throw EReadError("unknown value " + v.text + "; one of " + names.Choices() + " expected");
}

std::uint32_t ToSet(const StoredValue& v, const TEnumNames& names) {
    if (v.kind != StoredValue::Kind::Set) Expected("a set", v);
    std::uint32_t bits = 0;
    for (const std::string& name : v.names) {
        auto value = names.Find(name);
        if (!value || *value >= 32)
            throw EReadError("unknown set member " + name + "; one of " + names.Choices() + " expected");
        bits |= 1u << *value;
    }
    return bits;
}

std::vector<std::int32_t> ToInt32List(const StoredValue& v) {
    if (v.kind != StoredValue::Kind::List) Expected("a list", v);
    std::vector<std::int32_t> out;
    out.reserve(v.items.size());
    for (const StoredValue& item : v.items) out.push_back(ToInt32(item));
    return out;
}

const std::vector<std::uint8_t>& ToBytes(const StoredValue& v) {
    if (v.kind != StoredValue::Kind::Binary) Expected("binary data", v);
    return v.bytes;
}

const std::string& ToIdentifier(const StoredValue& v) {
    if (v.kind != StoredValue::Kind::Identifier) Expected("a name", v);
    return v.text;
}

} // namespace stored_values
