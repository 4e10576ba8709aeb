// TRegion: an area of pixels that need not be a rectangle, held as disjoint rectangles (a triangle
// is one rectangle per row). Controls with parts of other shapes hit-test and clip with it.
#pragma once

#include "framework/graphics/device_context.h"

#include <vector>

class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const TRect& rect) { Add(rect); }

    // Adds the pixels of `rect` that the region does not hold yet, so the rectangles stay disjoint.
    void Add(const TRect& rect);
    bool Empty() const { return rects_.empty(); }
    bool Contains(TPoint p) const;
    TRegion Offset(std::int32_t dx, std::int32_t dy) const;
    // The smallest rectangle holding every pixel; empty for an empty region.
    TRect Bounds() const;
    const std::vector<TRect>& Rects() const { return rects_; }

private:
    std::vector<TRect> rects_;
};

// Narrows a context's clip to a region (logical coordinates) for as long as it lives; the clip it
// found is back afterwards, also when drawing failed.
class RegionClipNarrowing {
public:
    RegionClipNarrowing(DeviceContext& dc, const TRegion& logical);
    ~RegionClipNarrowing() { dc_.clip = std::move(saved_); }
    RegionClipNarrowing(const RegionClipNarrowing&) = delete;
    RegionClipNarrowing& operator=(const RegionClipNarrowing&) = delete;

private:
    DeviceContext& dc_;
    std::vector<TRect> saved_;
};
