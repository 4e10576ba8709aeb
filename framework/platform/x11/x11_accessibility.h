// Screen readers on X11, in two steps that each cost only where needed. Once an accessibility bus is
// announced on the root window (the AT_SPI_BUS property, watched while the program runs), a small
// module linking only libdbus (lentaro-atspi-status.so) asks the session bus whether a client wants
// the tree (org.a11y.Status IsEnabled or ScreenReaderEnabled) and hears when that changes. While
// one does, the AT-SPI2 plug-in (lentaro-atspi.so: GLib, ATK, at-spi2-atk) runs the bridge; it is
// stopped when none does, and dropped with the watch when the session bus goes away. Without a
// session bus to ask, the announced bus counts as the request. A module that is missing or fails
// costs one line on standard error, and the program runs on without screen reader support.
#pragma once

#include "framework/platform/x11/x11_atspi_plugin.h"
#include "framework/platform/x11/x11_atspi_status.h"

#include <X11/Xlib.h>

#include <cstdint>
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
    // The bus was announced: the status watch, then the bridge if a client wants it.
    void Start();
    void StartBridge();
    void Unavailable(const std::string& why);

    Display* display_;
    ::Window root_;
    Atom atSpiBus_;
    std::function<std::vector<WindowId>()> shownWindows_;
    std::function<std::string(WindowId)> captionOf_;
    bool disabled_ = false; // NO_AT_BRIDGE, or a module failed once
    bool started_ = false;

    struct StatusModule {
        AtspiStatusOpenFunction open = nullptr;
        AtspiStatusFdFunction fd = nullptr;
        AtspiStatusReadFunction read = nullptr;
        AtspiStatusCloseFunction close = nullptr;
    } status_;
    AtspiStatusWatch* watch_ = nullptr;
    int state_ = 0;
    std::size_t watchFd_ = SIZE_MAX; // its place in the poll list, when polled
    AtspiPluginCreateFunction createPlugin_ = nullptr;
    std::unique_ptr<AtspiPlugin> plugin_;
};
