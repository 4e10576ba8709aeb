// The screen as a drawing source: TLvDesktopCanvas binds to the whole screen's surface for the
// length of one drawing.
#pragma once

#include "framework/graphics/canvas.h"

class TLvDesktopCanvas : public TCanvas {
public:
    TLvDesktopCanvas() = default;
    ~TLvDesktopCanvas() override;

    // Releases the screen surface if one is held.
    void FreeHandle();
    // Moves the logical origin so that logical (0, 0) falls on screen point (x, y).
    void SetOrigin(std::int32_t x, std::int32_t y);
    bool HoldsScreen() const { return screen_ != 0; }

protected:
    // Acquires the whole-screen surface if none is held, and binds the canvas to it.
    void CreateHandle() override;

private:
    ScreenHandle screen_ = 0;
    TPoint origin_;
};

// Reads the pointer position in screen pixels.
TPoint ReadCursorPos();

// The bounds of the monitor that holds `p`, or of the nearest one when `p` lies in none; the
// primary display when the system reports no monitors.
TRect MonitorBoundsAt(TPoint p);
