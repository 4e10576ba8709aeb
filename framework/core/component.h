// Components: objects with an owner that destroys them, a name, loading state and notifications.
#pragma once

#include "framework/core/types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A streamable sub-object of a component (fonts, pictures, styles).
class TPersistent : public TObject {};

enum TOperation : std::uint8_t { opInsert, opRemove };

using TComponentState = std::uint32_t;
constexpr TComponentState csLoading = 1u << 0;
constexpr TComponentState csReading = 1u << 1;
constexpr TComponentState csWriting = 1u << 2;
constexpr TComponentState csDestroying = 1u << 3;
constexpr TComponentState csDesigning = 1u << 4;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    // Destroys the owned components, last-created first, and leaves the owner's list.
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // How many components exist now: tests use it to prove that what was made has gone again.
    static std::size_t LiveCount() { return liveCount_; }

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* FindComponent(const std::string& name) const;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    TComponentState ComponentState() const { return state_; }
    bool HasState(TComponentState flags) const { return (state_ & flags) != 0; }
    // Marks the component (not its children) as being loaded from a stored description.
    void BeginLoading() { state_ |= csLoading | csReading; }
    void EndReading() { state_ &= ~csReading; }
    // Called once after the stored description has been read; clears the loading state.
    virtual void Loaded();

    // Sent to the owner and to components that asked for it when a component is inserted or removed.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Marks the component and everything it owns as being destroyed.
    void Destroying();
    void DestroyComponents();

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);

    inline static std::size_t liveCount_ = 0;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    TComponentState state_ = 0;
};
