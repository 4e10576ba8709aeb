// Screen readers on X11: the AT-SPI2 plug-in (lentaro-atspi.so) is loaded only once an accessibility
// bus is announced on the root window (the AT_SPI_BUS property, watched while the program runs), so
// a desktop without one maps none of GLib, ATK or D-Bus. The plug-in then asks the session bus
// whether a client wants the tree, and starts or stops the bridge as that changes. When the
// plug-in is missing or fails, one line goes to standard error and the program runs on without it.
#pragma once

#include "framework/platform/x11/x11_atspi_plugin.h"

#include <X11/Xlib.h>

#include <functional>
#include <memory>

class X11Accessibility : public AtspiHost {
public:
    // `shownWindows` lists the program's mapped top-level windows, oldest first; `captionOf` gives a
    // window's caption.
    X11Accessibility(Display* display, ::Window root, std::function<std::vector<WindowId>()> shownWindows,
                     std::function<std::string(WindowId)> captionOf);
    ~X11Accessibility();
    X11Accessibility(const X11Accessibility&) = delete;
    X11Accessibility& operator=(const X11Accessibility&) = delete;

    // Takes the root's AT_SPI_BUS property changes; true when the event was one.
    bool HandleEvent(const XEvent& event);
    // Around the backend's poll: the plug-in's descriptors appended after the caller's, the wait
    // shortened to what the plug-in allows.
    void Prepare(std::vector<pollfd>& fds, int& timeoutMs);
    void Dispatch(const std::vector<pollfd>& fds);

    // AtspiHost
    std::vector<WindowId> ShownWindows() override { return shownWindows_(); }
    AccessibleNode* Find(AccessibleId id) override { return FindAccessible(id); }
    AccessibleNode* WindowRoot(WindowId window) override;
    std::optional<TRect> CaretRect(WindowId window) override;
    AccessibleNode* HitTest(AccessibleNode& root, TPoint screen) override {
        return AccessibleHitTest(root, screen);
    }
    int IndexInParent(AccessibleNode& node) override { return AccessibleIndexInParent(node); }
    void AddSink(AccessibleEventSink* sink) override { AddAccessibleEventSink(sink); }
    void RemoveSink(AccessibleEventSink* sink) override { RemoveAccessibleEventSink(sink); }
    std::string ApplicationName() override;

private:
    bool BusAnnounced();
    void Load();

    Display* display_;
    ::Window root_;
    Atom atSpiBus_;
    std::function<std::vector<WindowId>()> shownWindows_;
    std::function<std::string(WindowId)> captionOf_;
    bool disabled_ = false; // NO_AT_BRIDGE, or the plug-in failed once
    std::unique_ptr<AtspiPlugin> plugin_;
};
