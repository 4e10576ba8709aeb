// The Windows adapter of the accessibility model: MSAA. Each window of the program answers
// WM_GETOBJECT for OBJID_CLIENT with an IAccessible over its tree's root (its children are simple
// elements, child id = place + 1) and for OBJID_CARET with the caret; the model's events become
// NotifyWinEvent calls. It is made at the first WM_GETOBJECT: oleacc.dll and oleaut32.dll are
// loaded then, and no event is raised before. Native handles are void* so that this header stays
// free of <windows.h>.
#pragma once

#include "framework/platform/accessible.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class Win32AccessibleObject;

class Win32Accessibility : public AccessibleEventSink {
public:
    // `handleOf` gives the native window of a platform window (null when it has none).
    explicit Win32Accessibility(std::function<void*(WindowId)> handleOf);
    ~Win32Accessibility();
    Win32Accessibility(const Win32Accessibility&) = delete;
    Win32Accessibility& operator=(const Win32Accessibility&) = delete;

    // False where oleacc.dll cannot be had: WM_GETOBJECT then goes to the default processing.
    bool Available() const { return lresultFromObject_ != nullptr; }

    // WM_GETOBJECT for `window`: true with `result` set where this adapter answers.
    bool AnswerGetObject(void* hwnd, WindowId window, std::uintptr_t wParam, std::intptr_t lParam,
                         std::intptr_t& result);
    // The window is going: its objects are disconnected, so clients holding them get errors.
    void WindowDestroyed(void* hwnd);
    // The deferred default action posted by accDoDefaultAction (kDefaultActionMessage).
    static void RunDefaultAction(std::uintptr_t nodeId);
    static constexpr unsigned kDefaultActionMessage = 0x8000 + 0x2A; // WM_APP + 42

    void AccessibleEventRaised(AccessibleEvent event, AccessibleNode& node) override;

    // Run-time entry points of oleacc.dll and oleaut32.dll.
    void* AllocString(const wchar_t* text) const;
    void* CreateStandardObject(void* hwnd, long objectId) const;

private:
    std::function<void*(WindowId)> handleOf_;
    void* oleacc_ = nullptr; // HMODULE
    void* oleaut_ = nullptr;
    void* lresultFromObject_ = nullptr; // entry points, cast where called
    void* createStdAccessibleObject_ = nullptr;
    void* sysAllocString_ = nullptr;
    // One client object and one caret object per window, kept until the window goes.
    struct WindowObjects {
        Win32AccessibleObject* client = nullptr;
        Win32AccessibleObject* caret = nullptr;
    };
    std::map<void*, WindowObjects> objects_;
};
