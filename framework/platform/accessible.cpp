#include "framework/platform/accessible.h"

#include <algorithm>
#include <unordered_map>

namespace {

std::unordered_map<AccessibleId, AccessibleNode*>& Registry() {
    static std::unordered_map<AccessibleId, AccessibleNode*> nodes;
    return nodes;
}

AccessibleId gNextId = 1;
std::vector<AccessibleEventSink*> gSinks;
AccessibleTreeProvider* gProvider = nullptr;

} // namespace

AccessibleNode::AccessibleNode() : id_(gNextId++) { Registry()[id_] = this; }

AccessibleNode::~AccessibleNode() { Registry().erase(id_); }

AccessibleNode* FindAccessible(AccessibleId id) {
    auto it = Registry().find(id);
    return it == Registry().end() ? nullptr : it->second;
}

AccessibleNode* AccessibleHitTest(AccessibleNode& root, TPoint screen) {
    if (!root.ScreenBounds().Contains(screen)) return nullptr;
    // Later children lie above earlier ones only by accident of order; the first hit wins, as the
    // toolkit's own controls do not overlap.
    for (AccessibleNode* child : root.Children())
        if (AccessibleNode* hit = AccessibleHitTest(*child, screen)) return hit;
    return &root;
}

AccessibleNode* AccessibleFocusedNode(AccessibleNode& root) {
    if (root.Describe().states & kAccessibleFocused) return &root;
    for (AccessibleNode* child : root.Children())
        if (AccessibleNode* focused = AccessibleFocusedNode(*child)) return focused;
    return nullptr;
}

int AccessibleIndexInParent(AccessibleNode& node) {
    AccessibleNode* parent = node.Parent();
    if (parent == nullptr) return -1;
    const std::vector<AccessibleNode*> siblings = parent->Children();
    auto it = std::find(siblings.begin(), siblings.end(), &node);
    return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

void AddAccessibleEventSink(AccessibleEventSink* sink) {
    if (std::find(gSinks.begin(), gSinks.end(), sink) == gSinks.end()) gSinks.push_back(sink);
}

void RemoveAccessibleEventSink(AccessibleEventSink* sink) { std::erase(gSinks, sink); }

bool AccessibleEventsWanted() { return !gSinks.empty(); }

void RaiseAccessibleEvent(AccessibleEvent event, AccessibleNode& node) {
    // A sink may remove itself (or the node's control may go) while told: work on a copy and stop
    // once the node is gone.
    const AccessibleId id = node.Id();
    const std::vector<AccessibleEventSink*> sinks = gSinks;
    for (AccessibleEventSink* sink : sinks) {
        if (FindAccessible(id) == nullptr) return;
        if (std::find(gSinks.begin(), gSinks.end(), sink) != gSinks.end())
            sink->AccessibleEventRaised(event, node);
    }
}

void SetAccessibleTreeProvider(AccessibleTreeProvider* provider) { gProvider = provider; }

AccessibleTreeProvider* GetAccessibleTreeProvider() { return gProvider; }
