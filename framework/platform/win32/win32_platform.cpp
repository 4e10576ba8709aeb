// The event loop's side of the Windows backend: the Win32 message queue drained into the toolkit's
// events, the wait for input or the next timer, and the monotonic clock.
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

#include <algorithm>
#include <limits>

bool Win32Platform::PeekEvent(PlatformEvent& event) {
    if (events_.empty() && !inSystemLoop_) {
        // Dispatching runs the window procedure, which turns messages into queued events.
        MSG msg;
        while (events_.empty() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PlatformEvent quit;
                quit.kind = PlatformEvent::Kind::Quit;
                events_.push_back(quit);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (!events_.empty()) {
        event = events_.front();
        events_.pop_front();
        return true;
    }
    // Timers have the lowest priority: they fall due only when nothing else is pending.
    return timers_.TakeDueEvent(NowMs(), event);
}

void Win32Platform::WaitForEvent(std::uint32_t timeoutMs) {
    if (!events_.empty()) return;
    std::uint64_t wait = timeoutMs == std::numeric_limits<std::uint32_t>::max() ? INFINITE : timeoutMs;
    if (auto due = timers_.NextDue()) {
        const std::uint64_t now = NowMs();
        wait = std::min<std::uint64_t>(wait, *due > now ? *due - now : 0);
    }
    if (wait == 0) return;
    // MWMO_INPUTAVAILABLE: wake for input already in the queue too, not only for new input.
    const DWORD ms = wait >= INFINITE ? INFINITE : static_cast<DWORD>(wait);
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

std::uint64_t Win32Platform::NowMs() { return GetTickCount64(); }

bool Win32Platform::SetTimer(TimerKey key, std::uint32_t intervalMs) {
    timers_.Set(key, intervalMs, NowMs());
    return true;
}

std::unique_ptr<Platform> CreateDefaultPlatform() { return std::make_unique<Win32Platform>(); }

// A GUI program's standard output goes nowhere when it is started from the desktop or a console.
bool DefaultPlatformHasNoConsole() { return true; }
