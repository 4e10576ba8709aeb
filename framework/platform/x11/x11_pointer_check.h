// A look at the pointer at a fixed period while the program sleeps, for the moves that report no
// motion (warps: XWarpPointer by screen readers, pointer tools, scripts). On a private connection,
// SYNC's Await on the server-time counter holds each QueryPointer until its look is due, so the
// reply arrives by itself and no client timer runs. Looks are queued several at a time: a reply
// that needs no new request costs one wake-up, where a request written per look also wakes the
// server, which then takes the processor from the program. The program's own connection never
// awaits: its drawing requests would wait behind it.
#pragma once

#include "framework/platform/geometry.h"

#include <cstdint>
#include <deque>
#include <optional>

struct xcb_connection_t;

class X11PointerCheck {
public:
    // Connects to `displayName`; without the connection or SYNC's server-time counter, Available
    // is false and the caller looks at the pointer itself.
    explicit X11PointerCheck(const char* displayName);
    ~X11PointerCheck();
    X11PointerCheck(const X11PointerCheck&) = delete;
    X11PointerCheck& operator=(const X11PointerCheck&) = delete;

    bool Available() const { return counter_ != 0; }
    // Starts looking every `periodMs` (steady clock `nowMs`) for the pointer away from `lastSeen`.
    void Start(std::uint32_t periodMs, TPoint lastSeen, std::uint64_t nowMs);
    // Stops judging the looks; those queued are still answered and dropped.
    void Stop() { looking_ = false; }
    // The connection to wait on while looking, or -1.
    int WaitDescriptor() const;
    // Takes the replies that have arrived and queues more looks; true when a look found the pointer
    // moved (looking has then stopped).
    bool ReadReplies(std::uint64_t nowMs);

private:
    struct Look {
        unsigned int sequence; // of its QueryPointer
        std::uint64_t dueAt;   // steady clock
    };
    // The server's time minus the steady clock, read with one round trip (only with no look queued:
    // the server would hold the question behind them).
    void MeasureClockOffset(std::uint64_t nowMs);
    // Queues looks, each a period after the one before, until kQueuedLooks wait.
    void QueueLooks(std::uint64_t nowMs);
    // The next queued look's reply, if it has come; false otherwise.
    bool TakeReply(std::optional<TPoint>& seen);

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint32_t counter_ = 0; // SERVERTIME
    std::optional<std::int64_t> clockOffset_;
    bool clockDrifted_ = false;
    bool looking_ = false;
    std::uint32_t periodMs_ = 0;
    TPoint lastSeen_{};
    std::deque<Look> looks_;
};
