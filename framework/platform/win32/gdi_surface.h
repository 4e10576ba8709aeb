// A PixelSurface whose pixels live in a GDI DIB section, so GDI can draw into it and copy from it.
// Native handles are kept as void* so this header stays free of <windows.h>.
#pragma once

#include "framework/platform/pixel_surface.h"

#include <functional>

class GdiSurface {
public:
    GdiSurface() = default;
    ~GdiSurface();
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    // Reallocates the DIB (32-bit, top-down); the overlapping part of the old picture is kept.
    // A zero or failed size leaves an empty surface; false only when GDI refused a non-empty size.
    bool Resize(std::int32_t width, std::int32_t height);
    PixelSurface& Pixels() { return pixels_; }
    const PixelSurface& Pixels() const { return pixels_; }
    void* Dc() const { return dc_; } // memory DC holding the DIB, or null while empty

private:
    void Release();
    void* dc_ = nullptr;
    void* bitmap_ = nullptr;
    void* previousBitmap_ = nullptr;
    PixelSurface pixels_;
};

// Runs a GDI drawing on `dest`, touching only pixels inside `clip`. `own` is the GdiSurface that
// holds `dest`, or null, in which case the drawing goes through a temporary DIB the size of the clip.
// The DC given to `draw` takes the destination's own coordinates. Returns what `draw` returned, or
// false when GDI could not provide a DC.
bool DrawWithGdi(PixelSurface& dest, GdiSurface* own, const TRect& clip,
                 const std::function<bool(void* dc)>& draw);
