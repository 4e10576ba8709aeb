#include "framework/platform/x11/x11_pointer_check.h"

#include <xcb/sync.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h> // xcb_poll_for_reply: a reply read without waiting

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// A look's reply earlier or later than this against its due time means the two clocks have moved
// apart (a suspended machine, a server on another host): they are measured again.
constexpr std::int64_t kClockSlackMs = 150;
// A system counter's entry in ListSystemCounters: counter (4), resolution (8), name length (2).
constexpr std::size_t kSystemCounterFixedBytes = 14;
// Looks waiting in the server at a time; more are queued when one is left.
constexpr std::size_t kQueuedLooks = 8;

std::int64_t FromSync(xcb_sync_int64_t v) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(v.hi)) << 32) |
                                     v.lo);
}

xcb_sync_int64_t ToSync(std::int64_t v) {
    const auto bits = static_cast<std::uint64_t>(v);
    return {static_cast<std::int32_t>(bits >> 32), static_cast<std::uint32_t>(bits)};
}

} // namespace

X11PointerCheck::X11PointerCheck(const char* displayName) {
    int screenNumber = 0;
    connection_ = xcb_connect(displayName, &screenNumber);
    if (xcb_connection_has_error(connection_)) return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) return;
    root_ = screens.data->root;

    xcb_sync_initialize_reply_t* version =
        xcb_sync_initialize_reply(connection_, xcb_sync_initialize(connection_, 3, 1), nullptr);
    if (version == nullptr) return; // no SYNC
    std::free(version);
    xcb_sync_list_system_counters_reply_t* list =
        xcb_sync_list_system_counters_reply(connection_, xcb_sync_list_system_counters(connection_), nullptr);
    if (list == nullptr) return;
    std::uint32_t counter = 0;
    const char* const end = reinterpret_cast<const char*>(list) + 32 + std::size_t{list->length} * 4;
    for (auto it = xcb_sync_list_system_counters_counters_iterator(list); it.rem > 0;
         xcb_sync_systemcounter_next(&it)) {
        // The name follows the entry's 14 bytes on the wire; the library's own accessor skips the
        // 2 bytes of padding its struct has, and reads "RVERTIME".
        const char* const name = reinterpret_cast<const char*>(it.data) + kSystemCounterFixedBytes;
        if (name > end || it.data->name_len > end - name) break;
        if (std::string_view(name, it.data->name_len) == "SERVERTIME") counter = it.data->counter;
    }
    std::free(list);
    counter_ = counter;
}

X11PointerCheck::~X11PointerCheck() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
}

void X11PointerCheck::MeasureClockOffset(std::uint64_t nowMs) {
    xcb_sync_query_counter_reply_t* reply =
        xcb_sync_query_counter_reply(connection_, xcb_sync_query_counter(connection_, counter_), nullptr);
    if (reply == nullptr) {
        counter_ = 0; // the connection has failed: the caller looks by itself from now on
        looking_ = false;
        return;
    }
    clockOffset_ = FromSync(reply->counter_value) - static_cast<std::int64_t>(nowMs);
    clockDrifted_ = false;
    std::free(reply);
}

void X11PointerCheck::Start(std::uint32_t periodMs, TPoint lastSeen, std::uint64_t nowMs) {
    if (!Available()) return;
    // Replies that came while no one looked tell of the pointer before the watch: dropped. The
    // looks still queued go on serving this watch.
    std::optional<TPoint> stale;
    while (TakeReply(stale)) {
    }
    looking_ = true;
    periodMs_ = periodMs;
    lastSeen_ = lastSeen;
    QueueLooks(nowMs);
}

void X11PointerCheck::QueueLooks(std::uint64_t nowMs) {
    if (!Available() || looks_.size() >= 2) return;
    // Drifted clocks are measured again once the last queued look has answered.
    if (clockDrifted_ && !looks_.empty()) return;
    if (looks_.empty() && (!clockOffset_ || clockDrifted_)) MeasureClockOffset(nowMs);
    if (!Available()) return;
    std::uint64_t due = looks_.empty() ? nowMs : std::max(looks_.back().dueAt, nowMs);
    while (looks_.size() < kQueuedLooks) {
        due += periodMs_;
        xcb_sync_waitcondition_t condition{};
        condition.trigger.counter = counter_;
        condition.trigger.wait_type = XCB_SYNC_VALUETYPE_ABSOLUTE;
        condition.trigger.wait_value = ToSync(static_cast<std::int64_t>(due) + *clockOffset_);
        condition.trigger.test_type = XCB_SYNC_TESTTYPE_POSITIVE_COMPARISON;
        // No CounterNotify event: only the QueryPointer's reply is wanted.
        condition.event_threshold = ToSync(INT64_MAX);
        xcb_sync_await(connection_, 1, &condition);
        looks_.push_back({xcb_query_pointer(connection_, root_).sequence, due});
    }
    xcb_flush(connection_);
}

int X11PointerCheck::WaitDescriptor() const {
    if (!Available() || !looking_) return -1;
    return xcb_get_file_descriptor(connection_);
}

bool X11PointerCheck::TakeReply(std::optional<TPoint>& seen) {
    seen.reset();
    if (looks_.empty()) return false;
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (!xcb_poll_for_reply(connection_, looks_.front().sequence, &reply, &error)) return false;
    looks_.pop_front();
    std::free(error);
    if (reply != nullptr) {
        const auto* pointer = static_cast<const xcb_query_pointer_reply_t*>(reply);
        seen = TPoint{pointer->root_x, pointer->root_y};
        std::free(reply);
    }
    return true;
}

bool X11PointerCheck::ReadReplies(std::uint64_t nowMs) {
    if (!Available()) return false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
    if (xcb_connection_has_error(connection_)) {
        counter_ = 0;
        looking_ = false;
        looks_.clear();
        return false;
    }
    bool moved = false;
    std::optional<TPoint> seen;
    while (!looks_.empty()) {
        const std::uint64_t dueAt = looks_.front().dueAt;
        if (!TakeReply(seen)) break;
        if (!looking_ || !seen) continue;
        const auto lateness = static_cast<std::int64_t>(nowMs) - static_cast<std::int64_t>(dueAt);
        if (lateness < -kClockSlackMs || lateness > kClockSlackMs) clockDrifted_ = true;
        if (*seen != lastSeen_) {
            moved = true;
            looking_ = false;
        }
    }
    if (looking_) QueueLooks(nowMs);
    return moved;
}
