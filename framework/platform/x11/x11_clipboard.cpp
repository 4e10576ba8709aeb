#include "framework/platform/x11/x11_clipboard.h"

#include "framework/platform/latin1_text.h"

#include <X11/Xatom.h>

#include <chrono>
#include <poll.h>
#include <vector>

X11Clipboard::X11Clipboard(Display* display, ::Window owner) : display_(display), owner_(owner) {
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    utf8_ = XInternAtom(display_, "UTF8_STRING", False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    text_ = XInternAtom(display_, "TEXT", False);
    property_ = XInternAtom(display_, "LENTARO_CLIPBOARD", False);
    incr_ = XInternAtom(display_, "INCR", False);
}

bool X11Clipboard::SetText(const std::string& latin1) {
    text_latin1_ = latin1;
    XSetSelectionOwner(display_, clipboard_, owner_, CurrentTime);
    owned_ = XGetSelectionOwner(display_, clipboard_) == owner_;
    return owned_;
}

bool X11Clipboard::HandleEvent(const XEvent& event) {
    if (event.type == SelectionClear && event.xselectionclear.window == owner_) {
        if (event.xselectionclear.selection == clipboard_) owned_ = false;
        return true;
    }
    if (event.type == SelectionRequest && event.xselectionrequest.owner == owner_) {
        AnswerRequest(event.xselectionrequest);
        return true;
    }
    return false;
}

void X11Clipboard::AnswerRequest(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    // Old clients name no property: the target itself is used.
    const Atom property = request.property != None ? request.property : request.target;
    reply.property = None;
    // Large transfers would need the incremental protocol; an edit's text is far below this.
    const bool fits = text_latin1_.size() < 64 * 1024;
    if (owned_ && request.selection == clipboard_ && fits) {
        if (request.target == targets_) {
            const Atom offered[] = {targets_, utf8_, XA_STRING, text_};
            XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), 4);
            reply.property = property;
        } else if (request.target == utf8_) {
            const std::string utf8 = Latin1ToUtf8(text_latin1_);
            XChangeProperty(display_, request.requestor, property, utf8_, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(utf8.data()),
                            static_cast<int>(utf8.size()));
            reply.property = property;
        } else if (request.target == XA_STRING || request.target == text_) {
            XChangeProperty(display_, request.requestor, property, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text_latin1_.data()),
                            static_cast<int>(text_latin1_.size()));
            reply.property = property;
        }
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display_);
}

namespace {
struct SelectionMatch {
    ::Window window;
};
Bool IsSelectionNotify(Display*, XEvent* event, XPointer arg) {
    const auto* match = reinterpret_cast<SelectionMatch*>(arg);
    return event->type == SelectionNotify && event->xselection.requestor == match->window ? True : False;
}
} // namespace

std::optional<std::string> X11Clipboard::GetText(int timeoutMs) {
    if (owned_) return text_latin1_;
    const ::Window current = XGetSelectionOwner(display_, clipboard_);
    if (current == None) return std::nullopt;
    if (current == owner_) return text_latin1_;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // UTF-8 first, then the Latin-1 STRING target for clients that offer only that.
    for (Atom target : {utf8_, static_cast<Atom>(XA_STRING)}) {
        XDeleteProperty(display_, owner_, property_);
        XConvertSelection(display_, clipboard_, target, property_, owner_, CurrentTime);
        XFlush(display_);
        SelectionMatch match{owner_};
        XEvent event;
        bool answered = false;
        while (!answered) {
            // Other events stay queued for the loop; only our answer is taken.
            if (XCheckIfEvent(display_, &event, &IsSelectionNotify, reinterpret_cast<XPointer>(&match))) {
                answered = true;
                break;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return std::nullopt; // no answer: paste nothing
            pollfd pfd{ConnectionNumber(display_), POLLIN, 0};
            poll(&pfd, 1, static_cast<int>(left.count()));
            XEventsQueued(display_, QueuedAfterReading);
        }
        if (event.xselection.property == None) continue; // refused: try the next target
        return ReadProperty(target);
    }
    return std::nullopt;
}

std::optional<std::string> X11Clipboard::ReadProperty(Atom target) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display_, owner_, property_, 0, 1 << 20, True, AnyPropertyType,
                                          &type, &format, &count, &remaining, &data);
    if (status != Success || data == nullptr) return std::nullopt;
    std::optional<std::string> result;
    // An incremental transfer (very large text) is not supported: nothing is pasted.
    if (type != incr_ && format == 8) {
        const std::string raw(reinterpret_cast<const char*>(data), count);
        result = target == utf8_ ? Utf8ToLatin1(raw) : raw;
    }
    XFree(data);
    return result;
}
