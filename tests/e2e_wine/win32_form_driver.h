// Drives a toolkit form on the Windows backend as the system would: window messages posted to its
// native window, and the window's pixels as presented, read back through its device context. Kept
// apart from the toolkit's headers, whose message and key names <windows.h> defines as macros.
#pragma once

#include "framework/platform/geometry.h"
#include "framework/platform/pixel_surface.h"

#include <cstdint>
#include <string>

class Win32FormDriver {
public:
    // The program's top-level window with this caption.
    explicit Win32FormDriver(const std::string& caption);
    bool Ok() const { return hwnd_ != nullptr; }

    // Positions are in the window's client coordinates.
    void LeftButton(TPoint at, bool down);
    void Key(std::uint16_t virtualKey); // key down, then key up
    void Char(char ch);
    void Wheel(TPoint at, int delta);
    // The client area's pixels in `rect`, as the window shows them.
    PixelSurface Grab(const TRect& rect);
    // Puts the system's pointer on a client point and tells the window it moved there.
    void MovePointer(TPoint at);
    // The system's pointer shape now (GetCursorInfo): "arrow", "ibeam", "hidden" or "other".
    std::string ShownPointer();

private:
    void* hwnd_ = nullptr;
};
