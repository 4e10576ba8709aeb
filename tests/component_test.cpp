// Ownership, destruction order and notifications of components.
#include "framework/core/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gDestroyed;

class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::string name) : TComponent(owner) { SetName(std::move(name)); }
    ~Probe() override { gDestroyed.push_back(Name()); }
    void Notification(TComponent* c, TOperation op) override {
        if (op == opRemove) removed.push_back(c->Name());
        TComponent::Notification(c, op);
    }
    std::vector<std::string> removed;
};

TEST(Component, OwnerDestroysWhatItOwnsLastCreatedFirst) {
    gDestroyed.clear();
    auto* root = new Probe(nullptr, "root");
    new Probe(root, "a");
    auto* b = new Probe(root, "b");
    new Probe(b, "b1");
    new Probe(root, "c");
    delete root;
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"root", "c", "b", "b1", "a"}));
}

TEST(Component, DestroyingAChildLeavesTheOwnerListAndTellsTheOwner) {
    Probe root(nullptr, "root");
    auto* a = new Probe(&root, "a");
    new Probe(&root, "b");
    delete a;
    ASSERT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.Components()[0]->Name(), "b");
    EXPECT_EQ(root.removed, (std::vector<std::string>{"a"}));
    EXPECT_EQ(root.FindComponent("b"), root.Components()[0]);
    EXPECT_EQ(root.FindComponent("a"), nullptr);
}

TEST(Component, FreeNotificationReachesAnUnrelatedHolder) {
    Probe holder(nullptr, "holder");
    auto* target = new Probe(nullptr, "target");
    target->FreeNotification(&holder);
    delete target;
    EXPECT_EQ(holder.removed, (std::vector<std::string>{"target"}));
}

TEST(Component, LoadingStateEndsWithLoaded) {
    Probe c(nullptr, "c");
    c.BeginLoading();
    EXPECT_TRUE(c.HasState(csLoading));
    EXPECT_TRUE(c.HasState(csReading));
    c.EndReading();
    EXPECT_FALSE(c.HasState(csReading));
    EXPECT_TRUE(c.HasState(csLoading));
    c.Loaded();
    EXPECT_FALSE(c.HasState(csLoading));
}

} // namespace
