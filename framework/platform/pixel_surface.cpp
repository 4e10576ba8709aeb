#include "framework/platform/pixel_surface.h"

#include <cstring>

PixelSurface PixelSurface::Wrap(std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                                std::int32_t strideInPixels) {
    PixelSurface s;
    if (pixels == nullptr || width <= 0 || height <= 0 || strideInPixels < width) return s;
    s.pixels_ = pixels;
    s.width_ = width;
    s.height_ = height;
    s.stride_ = strideInPixels;
    return s;
}

PixelSurface::PixelSurface(const PixelSurface& other)
    : storage_(other.OwnsPixels() ? other.storage_ : std::vector<std::uint32_t>{}), pixels_(other.pixels_),
      width_(other.width_), height_(other.height_), stride_(other.stride_) {
    Rebind(other.OwnsPixels());
}

PixelSurface& PixelSurface::operator=(const PixelSurface& other) {
    if (this != &other) {
        const bool owned = other.OwnsPixels();
        storage_ = owned ? other.storage_ : std::vector<std::uint32_t>{};
        pixels_ = other.pixels_;
        width_ = other.width_;
        height_ = other.height_;
        stride_ = other.stride_;
        Rebind(owned);
    }
    return *this;
}

PixelSurface::PixelSurface(PixelSurface&& other) noexcept
    : storage_(std::move(other.storage_)), pixels_(other.pixels_), width_(other.width_),
      height_(other.height_), stride_(other.stride_) {
    // A moved vector keeps its buffer, so an owned surface's pointer stays valid.
    other.pixels_ = nullptr;
    other.width_ = other.height_ = other.stride_ = 0;
}

PixelSurface& PixelSurface::operator=(PixelSurface&& other) noexcept {
    if (this != &other) {
        storage_ = std::move(other.storage_);
        pixels_ = other.pixels_;
        width_ = other.width_;
        height_ = other.height_;
        stride_ = other.stride_;
        other.pixels_ = nullptr;
        other.width_ = other.height_ = other.stride_ = 0;
    }
    return *this;
}

void PixelSurface::Rebind(bool owned) {
    if (owned) pixels_ = storage_.data();
}

void PixelSurface::Resize(std::int32_t width, std::int32_t height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    storage_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    pixels_ = storage_.empty() ? nullptr : storage_.data();
    width_ = pixels_ ? width : 0;
    height_ = pixels_ ? height : 0;
    stride_ = width_;
}

std::uint32_t PixelSurface::Pixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return Row(y)[x];
}

void PixelSurface::SetPixel(std::int32_t x, std::int32_t y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Row(y)[x] = rgb;
}

namespace raster {

void FillRect(PixelSurface& dst, const TRect& rect, std::uint32_t pixel, const TRect& clip) {
    const TRect r = rect.Intersect(clip).Intersect(dst.Bounds());
    if (r.IsEmpty()) return;
    for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
        std::uint32_t* row = dst.Row(y);
        std::fill(row + r.Left, row + r.Right, pixel);
    }
}

void Line(PixelSurface& dst, TPoint from, TPoint to, std::uint32_t pixel, const TRect& clip,
          std::uint32_t dashPattern, int dashLength) {
    const TRect area = clip.Intersect(dst.Bounds());
    if (area.IsEmpty()) return;
    // Steps along the major axis; the minor coordinate is the rounded proportional one. Only the
    // steps whose major coordinate lies inside the area are visited, so far-away end points cost
    // nothing and 64-bit arithmetic keeps every product in range.
    const std::int64_t dx = static_cast<std::int64_t>(to.X) - from.X;
    const std::int64_t dy = static_cast<std::int64_t>(to.Y) - from.Y;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const std::int64_t steps = xMajor ? adx : ady;
    if (steps == 0) return;
    const std::int64_t major0 = xMajor ? from.X : from.Y;
    const std::int64_t minor0 = xMajor ? from.Y : from.X;
    const int majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? dy : dx;
    const std::int64_t low = xMajor ? area.Left : area.Top;
    const std::int64_t high = xMajor ? area.Right : area.Bottom; // exclusive
    // Range of steps i (0 <= i < steps) with low <= major0 + i * majorStep < high.
    std::int64_t first = 0;
    std::int64_t last = steps - 1;
    if (majorStep > 0) {
        first = std::max<std::int64_t>(first, low - major0);
        last = std::min<std::int64_t>(last, high - 1 - major0);
    } else {
        first = std::max<std::int64_t>(first, major0 - (high - 1));
        last = std::min<std::int64_t>(last, major0 - low);
    }
    for (std::int64_t i = first; i <= last; ++i) {
        if (dashLength > 0 && ((dashPattern >> (i % dashLength)) & 1u) == 0) continue;
        // Rounded to nearest, halves away from the start.
        const std::int64_t num = 2 * i * (minorDelta < 0 ? -minorDelta : minorDelta) + steps;
        const std::int64_t minor = minor0 + (minorDelta < 0 ? -1 : 1) * (num / (2 * steps));
        const std::int64_t major = major0 + i * majorStep;
        const std::int64_t x = xMajor ? major : minor;
        const std::int64_t y = xMajor ? minor : major;
        if (x < area.Left || x >= area.Right || y < area.Top || y >= area.Bottom) continue;
        dst.Row(static_cast<std::int32_t>(y))[x] = pixel;
    }
}

void Blit(PixelSurface& dst, std::int32_t x, std::int32_t y, const PixelSurface& src, const TRect& clip,
          bool useTransparency, std::uint32_t transparentPixel) {
    const TRect target = Bounds(x, y, src.Width(), src.Height()).Intersect(clip).Intersect(dst.Bounds());
    if (target.IsEmpty()) return;
    for (std::int32_t row = target.Top; row < target.Bottom; ++row) {
        const std::uint32_t* in = src.Row(row - y) + (target.Left - x);
        std::uint32_t* out = dst.Row(row) + target.Left;
        if (!useTransparency) {
            std::memcpy(out, in, static_cast<std::size_t>(target.Width()) * sizeof(std::uint32_t));
            continue;
        }
        for (std::int32_t i = 0; i < target.Width(); ++i)
            if ((in[i] & 0xFFFFFF) != (transparentPixel & 0xFFFFFF)) out[i] = in[i];
    }
}

} // namespace raster
