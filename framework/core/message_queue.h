// The thread's message queue and the toolkit's window handles. Controls are not platform windows:
// a handle is a toolkit number that messages can be posted to; posting to a handle that has gone
// since is harmless (the message is dropped).
#pragma once

#include "framework/core/messages.h"
#include "framework/platform/geometry.h"

#include <cstddef>
#include <cstdint>
#include <functional>

using HWND = std::uint32_t; // 0 = none

struct MSG {
    HWND hwnd = 0;
    std::uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using TWndMethod = std::function<void(TMessage& Message)>;

namespace message_queue {

// Allocates a handle whose messages go to `method` (the classic AllocateHWnd).
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND handle);
bool IsWindow(HWND handle);
// Handles allocated and not yet deallocated (the tests' resource checks).
std::size_t HandleCount();
// Delivers a message at once; returns its result (0 for a handle that does not exist).
LRESULT SendMessage(HWND handle, std::uint32_t msg, WPARAM wParam, LPARAM lParam);
void PostMessage(HWND handle, std::uint32_t msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Takes the oldest posted message, if any.
bool TakePosted(MSG& msg);
bool HasPosted();
// Delivers a taken message to its handle's method.
void DispatchMessage(const MSG& msg);
// Timer ticks that came while repaints were pending wait here until the queue runs dry, at most one
// per timer (the classic queue coalesces a timer's ticks), in the order they came. Switching a
// timer off drops its waiting tick.
void HoldTimerTick(std::uint64_t timerKey);
bool TakeHeldTimerTick(std::uint64_t& timerKey);
void DropHeldTimerTick(std::uint64_t timerKey);
// Drops every posted message, held tick and handle (used between tests and at process end).
void Reset();

} // namespace message_queue
