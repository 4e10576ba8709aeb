// Periodic timers kept by deadline, for backends that wait on their own event source.
// Like the classic platform's window timers, a late timer fires once, not once per missed period.
#pragma once

#include "framework/platform/platform.h"

#include <cstdint>
#include <optional>
#include <vector>

class TimerQueue {
public:
    // Arms or re-arms `key`: its next tick falls a full interval after `now`, or firstDelayMs after
    // it when given (0: due at once).
    void Set(TimerKey key, std::uint32_t intervalMs, std::uint64_t now,
             std::optional<std::uint32_t> firstDelayMs = std::nullopt);
    void Kill(TimerKey key);
    bool IsArmed(TimerKey key) const;
    std::size_t Count() const { return timers_.size(); }
    // The earliest deadline, if any timer is armed.
    std::optional<std::uint64_t> NextDue() const;
    // Takes the earliest timer due at `now` and schedules its next tick a full interval later.
    std::optional<TimerKey> TakeDue(std::uint64_t now);
    // The same, as the platform's Timer event; false when no timer is due.
    bool TakeDueEvent(std::uint64_t now, PlatformEvent& event);

private:
    struct Entry {
        TimerKey key;
        std::uint32_t interval;
        std::uint64_t due;
        std::uint64_t order; // arming order breaks ties between equal deadlines
    };
    std::vector<Entry> timers_;
    std::uint64_t nextOrder_ = 0;
};
