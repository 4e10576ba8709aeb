// How the accessibility model reads over AT-SPI2: the role and state names (the names ATK and
// AT-SPI share), the interfaces a node offers, and the text arithmetic of the Text and EditableText
// interfaces (character offsets, UTF-8 on the bus, the edit a change amounts to). Free of any bus or ATK
// header, so the headless tests check the mapping the Linux adapter exports.
#pragma once

#include "framework/platform/accessible.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace atspi_mapping {

// The interfaces beyond the object itself.
enum Interface : std::uint32_t {
    kComponent = 1u << 0, // every node: extents, hit test, grab focus
    kAction = 1u << 1,
    kValue = 1u << 2,
    kText = 1u << 3,
    kEditableText = 1u << 4,
    kImage = 1u << 5,
    kWindow = 1u << 6, // a frame: window activation events
};

// The role's name as ATK and AT-SPI spell it ("spin button").
const char* RoleName(AccessibleRole role);
// The state names set on a node (`showing`: it has a place on the screen now).
std::vector<std::string> StateNames(const AccessibleDescription& d, bool showing);
// The states that differ between two sets of names: each with its new value.
std::vector<std::pair<std::string, bool>> StateChanges(const std::vector<std::string>& before,
                                                       const std::vector<std::string>& after);
std::uint32_t Interfaces(const AccessibleDescription& d);

// The one action of a node with a default action.
inline constexpr const char* kClickAction = "click";

// The program's text is 8-bit Latin-1, one byte a character; the bus speaks UTF-8
// (framework/platform/latin1_text.h converts).

// Character offsets into the program's text. Offsets out of range are clamped; a negative end
// means the end of the text.
std::string Substring(const std::string& text, std::int32_t start, std::int32_t end);
// The text after inserting `insert` at a character offset, or after deleting characters
// [start, end) (a negative end: to the end); nothing when the offsets do not lie in the text.
std::optional<std::string> Inserted(const std::string& text, std::int32_t offset, const std::string& insert);
std::optional<std::string> Deleted(const std::string& text, std::int32_t start, std::int32_t end);

// A change of the text as one edit: at character `offset`, `removed` gave way to `inserted`.
struct TextEdit {
    std::int32_t offset = 0;
    std::string removed;
    std::string inserted;
};
TextEdit Difference(const std::string& before, const std::string& after);

// A number as a user would type it: whole numbers without a fraction.
std::string NumberText(double value);

} // namespace atspi_mapping
