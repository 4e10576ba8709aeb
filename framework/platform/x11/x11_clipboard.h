// Text on the CLIPBOARD selection. The program's text is 8-bit Latin-1; other clients get UTF-8
// (or Latin-1 for the old STRING target), and pasted UTF-8 is brought back to Latin-1.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <string_view>

class X11Clipboard {
public:
    X11Clipboard(Display* display, ::Window owner);

    // Takes ownership of the clipboard with this text; false when the server gave it to no one.
    bool SetText(const std::string& latin1);
    // The clipboard's text: our own, or another client's converted within timeoutMs.
    std::optional<std::string> GetText(int timeoutMs = 500);
    // Answers requests from other clients and notes the loss of ownership; true when consumed.
    bool HandleEvent(const XEvent& event);

private:
    void AnswerRequest(const XSelectionRequestEvent& request);
    std::optional<std::string> ReadProperty(Atom target);

    Display* display_;
    ::Window owner_;
    Atom clipboard_, utf8_, targets_, text_, property_, incr_;
    bool owned_ = false;
    std::string text_latin1_;
};
