// What the X11 backend and its AT-SPI2 plug-in (lentaro-atspi.so, loaded at run time only when an
// assistive technology wants the tree) say to each other. Deleting the plug-in stops the bridge. The plug-in
// sees the program only through these virtual calls: the executable exports no symbols, and the plug-in links
// no toolkit code.
#pragma once

#include "framework/platform/accessible.h"

#include <poll.h>

#include <string>
#include <vector>

class AtspiHost {
public:
    // The program's top-level windows on screen now, in the order they were made.
    virtual std::vector<WindowId> ShownWindows() = 0;
    virtual AccessibleNode* Find(AccessibleId id) = 0;
    virtual AccessibleNode* WindowRoot(WindowId window) = 0;
    virtual std::optional<TRect> CaretRect(WindowId window) = 0;
    virtual AccessibleNode* HitTest(AccessibleNode& root, TPoint screen) = 0;
    virtual int IndexInParent(AccessibleNode& node) = 0;
    virtual void AddSink(AccessibleEventSink* sink) = 0;
    virtual void RemoveSink(AccessibleEventSink* sink) = 0;
    // The application's name: the caption of its first window.
    virtual std::string ApplicationName() = 0;

protected:
    ~AtspiHost() = default;
};

class AtspiPlugin {
public:
    virtual ~AtspiPlugin() = default;
    // Before the backend sleeps: the descriptors to poll beside the X connection, and how long the
    // plug-in lets it sleep at most (-1: no limit).
    virtual void Prepare(std::vector<pollfd>& fds, int& timeoutMs) = 0;
    // After the poll, with what it found on the descriptors Prepare gave (same order).
    virtual void Dispatch(const std::vector<pollfd>& fds) = 0;
};

// The plug-in's one exported function; null with `error` set when it cannot start.
extern "C" {
typedef AtspiPlugin* (*AtspiPluginCreateFunction)(AtspiHost* host, std::string* error);
}
inline constexpr const char* kAtspiPluginCreateSymbol = "lentaro_atspi_plugin_create";
inline constexpr const char* kAtspiPluginFileName = "lentaro-atspi.so";
