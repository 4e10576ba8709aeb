#include "framework/platform/atspi_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace atspi_mapping {

const char* RoleName(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::Frame: return "frame";
    case AccessibleRole::Label: return "label";
    case AccessibleRole::EditableText: return "entry";
    case AccessibleRole::SpinButton: return "spin button";
    case AccessibleRole::PushButton: return "push button";
    case AccessibleRole::Image: return "image";
    case AccessibleRole::MenuPopup: return "popup menu";
    case AccessibleRole::MenuItem: return "menu item";
    case AccessibleRole::CheckMenuItem: return "check menu item";
    case AccessibleRole::RadioMenuItem: return "radio menu item";
    case AccessibleRole::Separator: return "separator";
    case AccessibleRole::NotExposed: break;
    }
    return "unknown";
}

std::vector<std::string> StateNames(const AccessibleDescription& d, bool showing) {
    std::vector<std::string> names;
    const auto add = [&](std::uint32_t bit, const char* name) {
        if (d.states & bit) names.emplace_back(name);
    };
    if (!(d.states & kAccessibleUnavailable)) {
        names.emplace_back("enabled");
        names.emplace_back("sensitive");
    }
    if (!(d.states & kAccessibleInvisible)) {
        names.emplace_back("visible");
        if (showing) names.emplace_back("showing");
    }
    add(kAccessibleFocusable, "focusable");
    add(kAccessibleFocused, "focused");
    add(kAccessibleEditable, "editable");
    add(kAccessibleReadOnly, "read-only");
    add(kAccessibleDefault, "default");
    add(kAccessibleChecked, "checked");
    add(kAccessibleHasPopup, "has-popup");
    add(kAccessibleSelected, "selected");
    add(kAccessibleActive, "active");
    switch (d.role) {
    case AccessibleRole::CheckMenuItem:
    case AccessibleRole::RadioMenuItem: names.emplace_back("checkable"); [[fallthrough]];
    case AccessibleRole::MenuItem: names.emplace_back("selectable"); break;
    case AccessibleRole::EditableText:
    case AccessibleRole::SpinButton: names.emplace_back("single-line"); break;
    default: break;
    }
    return names;
}

std::vector<std::pair<std::string, bool>> StateChanges(const std::vector<std::string>& before,
                                                       const std::vector<std::string>& after) {
    std::vector<std::pair<std::string, bool>> changes;
    const auto has = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (const std::string& name : before)
        if (!has(after, name)) changes.emplace_back(name, false);
    for (const std::string& name : after)
        if (!has(before, name)) changes.emplace_back(name, true);
    return changes;
}

std::uint32_t Interfaces(const AccessibleDescription& d) {
    std::uint32_t interfaces = kComponent;
    if (!d.defaultAction.empty()) interfaces |= kAction;
    if (d.range) interfaces |= kValue;
    if (d.text) {
        interfaces |= kText;
        if (!(d.states & kAccessibleReadOnly)) interfaces |= kEditableText;
    }
    if (d.role == AccessibleRole::Image) interfaces |= kImage;
    if (d.role == AccessibleRole::Frame) interfaces |= kWindow;
    return interfaces;
}

std::string Substring(const std::string& text, std::int32_t start, std::int32_t end) {
    const auto count = static_cast<std::int32_t>(text.size());
    start = std::clamp(start, 0, count);
    end = end < 0 ? count : std::clamp(end, start, count);
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

std::optional<std::string> Inserted(const std::string& text, std::int32_t offset, const std::string& insert) {
    if (offset < 0 || static_cast<std::size_t>(offset) > text.size()) return std::nullopt;
    std::string result = text;
    result.insert(static_cast<std::size_t>(offset), insert);
    return result;
}

std::optional<std::string> Deleted(const std::string& text, std::int32_t start, std::int32_t end) {
    const auto count = static_cast<std::int32_t>(text.size());
    if (end < 0) end = count;
    if (start < 0 || start > end || end > count) return std::nullopt;
    std::string result = text;
    result.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    return result;
}

TextEdit Difference(const std::string& before, const std::string& after) {
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    const std::size_t room = std::min(before.size(), after.size()) - prefix;
    while (suffix < room && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) ++suffix;
    TextEdit edit;
    edit.offset = static_cast<std::int32_t>(prefix);
    edit.removed = before.substr(prefix, before.size() - suffix - prefix);
    edit.inserted = after.substr(prefix, after.size() - suffix - prefix);
    return edit;
}

std::string NumberText(double value) {
    if (!std::isfinite(value)) return {};
    char buffer[64];
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    else
        std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

} // namespace atspi_mapping
