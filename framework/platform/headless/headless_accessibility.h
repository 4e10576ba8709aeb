// A stand-in for a screen reader on the headless backend: it asks for a window's tree the way the
// real backends' adapters do (through the registered tree provider, only once it exists) and
// records every event raised while it listens, with the window the event belongs to.
#pragma once

#include "framework/platform/accessible.h"

#include <vector>

class HeadlessAccessibilityClient : public AccessibleEventSink {
public:
    struct Record {
        AccessibleEvent event;
        AccessibleId node;
        WindowId window;
        AccessibleRole role;
        std::string name;
        std::optional<TRect> caret; // for CaretMoved: the caret's screen rectangle then
    };

    // Starts listening, as a client that has just asked for a tree.
    HeadlessAccessibilityClient() { AddAccessibleEventSink(this); }
    ~HeadlessAccessibilityClient() { RemoveAccessibleEventSink(this); }
    HeadlessAccessibilityClient(const HeadlessAccessibilityClient&) = delete;
    HeadlessAccessibilityClient& operator=(const HeadlessAccessibilityClient&) = delete;

    // The root of a window's tree, or null.
    static AccessibleNode* Root(WindowId window);
    static std::optional<TRect> Caret(WindowId window);

    const std::vector<Record>& Events() const { return events_; }
    // The events of one kind, in order.
    std::vector<Record> EventsOf(AccessibleEvent event) const;
    void Clear() { events_.clear(); }

    void AccessibleEventRaised(AccessibleEvent event, AccessibleNode& node) override;

private:
    std::vector<Record> events_;
};
