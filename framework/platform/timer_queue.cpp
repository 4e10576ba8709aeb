#include "framework/platform/timer_queue.h"

#include <algorithm>

void TimerQueue::Set(TimerKey key, std::uint32_t intervalMs, std::uint64_t now,
                     std::optional<std::uint32_t> firstDelayMs) {
    Kill(key);
    // An interval of 0 would fire without end; the classic platform treats it as the shortest period.
    const std::uint32_t interval = intervalMs == 0 ? 1 : intervalMs;
    timers_.push_back({key, interval, now + firstDelayMs.value_or(interval), nextOrder_++});
}

void TimerQueue::Kill(TimerKey key) {
    timers_.erase(
        std::remove_if(timers_.begin(), timers_.end(), [key](const Entry& e) { return e.key == key; }),
        timers_.end());
}

bool TimerQueue::IsArmed(TimerKey key) const {
    return std::any_of(timers_.begin(), timers_.end(), [key](const Entry& e) { return e.key == key; });
}

std::optional<std::uint64_t> TimerQueue::NextDue() const {
    if (timers_.empty()) return std::nullopt;
    std::uint64_t due = timers_.front().due;
    for (const Entry& e : timers_) due = std::min(due, e.due);
    return due;
}

std::optional<TimerKey> TimerQueue::TakeDue(std::uint64_t now) {
    Entry* best = nullptr;
    for (Entry& e : timers_) {
        if (e.due > now) continue;
        if (best == nullptr || e.due < best->due || (e.due == best->due && e.order < best->order)) best = &e;
    }
    if (best == nullptr) return std::nullopt;
    best->due = now + best->interval;
    best->order = nextOrder_++;
    return best->key;
}

bool TimerQueue::TakeDueEvent(std::uint64_t now, PlatformEvent& event) {
    const std::optional<TimerKey> key = TakeDue(now);
    if (!key) return false;
    event = PlatformEvent{};
    event.kind = PlatformEvent::Kind::Timer;
    event.timer = *key;
    return true;
}
