// What a canvas draws on: a pixel surface (a window's back surface or a bitmap's pixels) with an
// origin and clip rectangles, or the whole screen. Drawings on a window's surface are recorded as
// damage and presented when the current message has been handled.
#pragma once

#include "framework/platform/platform.h"

#include <vector>

struct DeviceContext {
    PixelSurface* surface = nullptr; // memory pixels, or null for the screen
    ScreenHandle screen = 0;         // the whole-screen surface, when non-zero
    WindowId window = 0;             // the window whose back surface `surface` is, if any
    TPoint origin;                   // where logical (0, 0) falls on the surface
    std::vector<TRect> clip;         // surface coordinates; drawing stays inside these

    static DeviceContext ForSurface(PixelSurface& surface) {
        DeviceContext dc;
        dc.surface = &surface;
        dc.clip.push_back(surface.Bounds());
        return dc;
    }
};

// Narrows a context's clip to a rectangle (logical coordinates) for as long as it lives; the clip
// it found is back afterwards, also when drawing failed.
class ClipNarrowing {
public:
    ClipNarrowing(DeviceContext& dc, const TRect& logical) : dc_(dc), saved_(dc.clip) {
        const TRect limit = logical.Offset(dc.origin.X, dc.origin.Y);
        std::vector<TRect> narrowed;
        for (const TRect& c : saved_)
            if (const TRect i = c.Intersect(limit); !i.IsEmpty()) narrowed.push_back(i);
        dc_.clip = std::move(narrowed);
    }
    ~ClipNarrowing() { dc_.clip = std::move(saved_); }
    ClipNarrowing(const ClipNarrowing&) = delete;
    ClipNarrowing& operator=(const ClipNarrowing&) = delete;

private:
    DeviceContext& dc_;
    std::vector<TRect> saved_;
};

// Removes `cut` from a set of disjoint rectangles, keeping the rest disjoint.
void SubtractRect(std::vector<TRect>& rects, const TRect& cut);

namespace window_damage {
void Add(WindowId window, const TRect& rect);
// Presents every window's damaged area and forgets it.
void PresentAll();
void Forget(WindowId window);
} // namespace window_damage
