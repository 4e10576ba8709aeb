#include "framework/platform/headless/headless_accessibility.h"

AccessibleNode* HeadlessAccessibilityClient::Root(WindowId window) {
    AccessibleTreeProvider* provider = GetAccessibleTreeProvider();
    return provider != nullptr ? provider->WindowRoot(window) : nullptr;
}

std::optional<TRect> HeadlessAccessibilityClient::Caret(WindowId window) {
    AccessibleTreeProvider* provider = GetAccessibleTreeProvider();
    return provider != nullptr ? provider->CaretRect(window) : std::nullopt;
}

std::vector<HeadlessAccessibilityClient::Record>
HeadlessAccessibilityClient::EventsOf(AccessibleEvent event) const {
    std::vector<Record> found;
    for (const Record& r : events_)
        if (r.event == event) found.push_back(r);
    return found;
}

void HeadlessAccessibilityClient::AccessibleEventRaised(AccessibleEvent event, AccessibleNode& node) {
    // Read at once, as an out-of-process client reading back on the event would.
    const AccessibleDescription d = node.Describe();
    const WindowId window = node.Window();
    Record r{event, node.Id(), window, d.role, d.name, std::nullopt};
    if (event == AccessibleEvent::CaretMoved) r.caret = Caret(window);
    events_.push_back(r);
}
