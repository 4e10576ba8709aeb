// A 32-bit pixel surface (0x00RRGGBB per pixel) and the rasteriser primitives every backend shares.
// All primitives clip to the surface and to the clip rectangle given, so no caller can write outside.
#pragma once

#include "framework/platform/geometry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class PixelSurface {
public:
    PixelSurface() = default;
    PixelSurface(std::int32_t width, std::int32_t height) { Resize(width, height); }
    // Copies own their pixels; a copy of a wrapped surface views the same memory.
    PixelSurface(const PixelSurface& other);
    PixelSurface& operator=(const PixelSurface& other);
    PixelSurface(PixelSurface&& other) noexcept;
    PixelSurface& operator=(PixelSurface&& other) noexcept;

    // Views memory owned elsewhere (a DIB section, a shared-memory image); strideInPixels >= width.
    static PixelSurface Wrap(std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                             std::int32_t strideInPixels);

    // Reallocates owned storage (contents cleared to black); wrapped surfaces become owned.
    void Resize(std::int32_t width, std::int32_t height);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Stride() const { return stride_; }
    TRect Bounds() const { return {0, 0, width_, height_}; }
    std::uint32_t* Row(std::int32_t y) { return pixels_ + static_cast<std::ptrdiff_t>(y) * stride_; }
    const std::uint32_t* Row(std::int32_t y) const {
        return pixels_ + static_cast<std::ptrdiff_t>(y) * stride_;
    }

    // Surfaces alive now (the tests' resource checks).
    static std::size_t LiveCount() { return Counted::live; }

    // Reads outside the surface give 0 (black); writes outside are dropped.
    std::uint32_t Pixel(std::int32_t x, std::int32_t y) const;
    void SetPixel(std::int32_t x, std::int32_t y, std::uint32_t rgb);

private:
    // Counts itself in every constructor and destructor the surface has, and never on assignment.
    struct Counted {
        inline static std::size_t live = 0;
        Counted() { ++live; }
        Counted(const Counted&) { ++live; }
        Counted& operator=(const Counted&) { return *this; }
        ~Counted() { --live; }
    };

    bool OwnsPixels() const { return !storage_.empty() && pixels_ == storage_.data(); }
    // After storage_ moved or was copied, points pixels_ at it again.
    void Rebind(bool owned);

    std::vector<std::uint32_t> storage_;
    std::uint32_t* pixels_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t stride_ = 0;
    Counted counted_;
};

namespace raster {

// Converts a colour value 0x00BBGGRR into a pixel 0x00RRGGBB and back.
inline std::uint32_t ColorRefToPixel(std::uint32_t colorRef) {
    return ((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}
inline std::uint32_t PixelToColorRef(std::uint32_t pixel) { return ColorRefToPixel(pixel & 0xFFFFFF); }

// The source offset sampled for destination offset i: the source under the destination pixel's centre.
inline std::int64_t SourceIndex(std::int64_t i, std::int64_t srcExtent, std::int64_t dstExtent) {
    return (2 * i + 1) * srcExtent / (2 * dstExtent);
}

void FillRect(PixelSurface& dst, const TRect& rect, std::uint32_t pixel, const TRect& clip);

// A line from `from` up to but excluding `to`, one pixel wide. dashPattern, when non-zero, is a
// repeating on/off bit pattern of `dashLength` steps (bit i set = pixel i drawn).
void Line(PixelSurface& dst, TPoint from, TPoint to, std::uint32_t pixel, const TRect& clip,
          std::uint32_t dashPattern = 0, int dashLength = 0);

// Nearest-neighbour stretching copy: destination pixel i (counted from dstRect's edge) takes source
// pixel srcRect.Left + SourceIndex(i, srcW, dstW), and likewise in y, so magnification repeats source
// pixels. Source pixels outside `src` read as black. Negative extents mirror. Each source pixel is
// ANDed with `sourceMask` (a screen image's unused top byte is cleared this way).
void StretchCopy(PixelSurface& dst, const TRect& dstRect, const PixelSurface& src, const TRect& srcRect,
                 const TRect& clip, std::uint32_t sourceMask = 0xFFFFFFFFu);

// Copies src onto dst at (x, y), skipping pixels equal to transparentPixel when useTransparency.
void Blit(PixelSurface& dst, std::int32_t x, std::int32_t y, const PixelSurface& src, const TRect& clip,
          bool useTransparency = false, std::uint32_t transparentPixel = 0);

} // namespace raster
