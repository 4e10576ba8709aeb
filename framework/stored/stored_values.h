// Conversions from stored values to the toolkit's types. Each throws EReadError with a short reason
// ("integer expected, found a string"); the reader adds the object, the property and the line.
#pragma once

#include "framework/core/types.h"
#include "framework/stored/stored_text.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The stored names of an enumeration's members, in member order ("akLeft", "akTop", ...).
class TEnumNames {
public:
    TEnumNames(std::initializer_list<std::pair<const char*, std::uint32_t>> names) : names_(names) {}
    std::optional<std::uint32_t> Find(const std::string& name) const;
    // "akLeft, akTop, akRight or akBottom", for messages.
    std::string Choices() const;

private:
    std::vector<std::pair<const char*, std::uint32_t>> names_;
};

namespace stored_values {

std::int32_t ToInt32(const StoredValue& v);
std::uint32_t ToUInt32(const StoredValue& v);
// A number with or without a fraction.
double ToDouble(const StoredValue& v);
bool ToBoolean(const StoredValue& v);
const std::string& ToString(const StoredValue& v);
// A colour: an integer or a colour constant (clSilver, clWindowText ...).
TColor ToColor(const StoredValue& v);
std::uint8_t ToCharset(const StoredValue& v);
// An enumeration member by name; the result is the member's value.
std::uint32_t ToEnum(const StoredValue& v, const TEnumNames& names);
// A set of enumeration members: bit (1 << member value) for each member named.
std::uint32_t ToSet(const StoredValue& v, const TEnumNames& names);
// A list of integers: "(250 293)".
std::vector<std::int32_t> ToInt32List(const StoredValue& v);
const std::vector<std::uint8_t>& ToBytes(const StoredValue& v);
// An identifier naming something else (a component, a handler).
const std::string& ToIdentifier(const StoredValue& v);

std::optional<TColor> ColorFromName(const std::string& name);

} // namespace stored_values
