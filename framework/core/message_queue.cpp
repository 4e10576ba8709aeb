#include "framework/core/message_queue.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <unordered_map>

namespace message_queue {
namespace {

struct State {
    // Methods are held through shared pointers so one can deallocate its own handle while running.
    std::unordered_map<HWND, std::shared_ptr<TWndMethod>> handles;
    std::deque<MSG> posted;
    std::deque<std::uint64_t> heldTimerTicks;
    HWND next = 1;
};

State& S() {
    static State state;
    return state;
}

} // namespace

HWND AllocateHWnd(TWndMethod method) {
    State& s = S();
    HWND h = s.next++;
    if (s.next == 0) s.next = 1;
    s.handles[h] = std::make_shared<TWndMethod>(std::move(method));
    return h;
}

void DeallocateHWnd(HWND handle) { S().handles.erase(handle); }

std::size_t HandleCount() { return S().handles.size(); }

bool IsWindow(HWND handle) { return handle != 0 && S().handles.count(handle) != 0; }

LRESULT SendMessage(HWND handle, std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    auto it = S().handles.find(handle);
    if (it == S().handles.end()) return 0;
    std::shared_ptr<TWndMethod> method = it->second;
    TMessage m{msg, wParam, lParam, 0};
    if (*method) (*method)(m);
    return m.Result;
}

void PostMessage(HWND handle, std::uint32_t msg, WPARAM wParam, LPARAM lParam) {
    S().posted.push_back({handle, msg, wParam, lParam});
}

void PostQuitMessage(int exitCode) { S().posted.push_back({0, WM_QUIT, static_cast<WPARAM>(exitCode), 0}); }

bool TakePosted(MSG& msg) {
    State& s = S();
    if (s.posted.empty()) return false;
    msg = s.posted.front();
    s.posted.pop_front();
    return true;
}

bool HasPosted() { return !S().posted.empty(); }

void DispatchMessage(const MSG& msg) { SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam); }

void HoldTimerTick(std::uint64_t timerKey) {
    auto& held = S().heldTimerTicks;
    if (std::find(held.begin(), held.end(), timerKey) == held.end()) held.push_back(timerKey);
}

bool TakeHeldTimerTick(std::uint64_t& timerKey) {
    auto& held = S().heldTimerTicks;
    if (held.empty()) return false;
    timerKey = held.front();
    held.pop_front();
    return true;
}

void DropHeldTimerTick(std::uint64_t timerKey) {
    auto& held = S().heldTimerTicks;
    held.erase(std::remove(held.begin(), held.end(), timerKey), held.end());
}

void Reset() {
    S().posted.clear();
    S().heldTimerTicks.clear();
    S().handles.clear();
}

} // namespace message_queue
