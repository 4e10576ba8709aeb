// The parsed form of a stored window description: a tree of objects, each with its properties in
// stored order. The text format is described in framework/stored/reader.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct StoredValue {
    enum class Kind : std::uint8_t { Integer, String, Identifier, Set, List, Binary, Float };
    Kind kind = Kind::Integer;
    std::int64_t integer = 0;
    double real = 0.0;               // Float value
    std::string text;                // String contents or Identifier name
    std::vector<std::string> names;  // Set members, in stored order
    std::vector<StoredValue> items;  // List items
    std::vector<std::uint8_t> bytes; // Binary block
    int line = 0;
};

// What kind of value a property expected, for messages ("integer expected, found a string").
const char* DescribeValueKind(StoredValue::Kind kind);

struct StoredProperty {
    std::string name; // may be a path: "Font.Height"
    StoredValue value;
    int line = 0;
};

struct StoredObject {
    std::string name;
    std::string className;
    int line = 0;
    std::vector<StoredProperty> properties;
    std::vector<StoredObject> children;
};

// Parses one root object. Throws EReadError (with the line) on malformed text: a missing `end`, an
// unterminated string, list or set, a truncated or malformed binary block, text after the root.
StoredObject ParseStoredText(std::string_view text);
