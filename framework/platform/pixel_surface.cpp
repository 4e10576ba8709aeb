#include "framework/platform/pixel_surface.h"

#include <cstdlib>
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
    // 64-bit deltas: coordinates may span the whole 32-bit range.
    std::int64_t x = from.X, y = from.Y;
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(to.X) - from.X);
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(to.Y) - from.Y);
    const int sx = from.X < to.X ? 1 : -1;
    const int sy = from.Y < to.Y ? 1 : -1;
    const std::int64_t steps = std::max(dx, dy);
    if (dy == 0 || dx == 0) {
        // Axis-aligned: clip the span directly instead of stepping through invisible pixels.
        for (std::int64_t i = 0; i < steps; ++i) {
            const std::int64_t px = x + (dy == 0 ? i * sx : 0);
            const std::int64_t py = y + (dx == 0 ? i * sy : 0);
            if (px < area.Left || px >= area.Right || py < area.Top || py >= area.Bottom) {
                // Skip ahead once we have left the area in the direction of travel.
                if ((dy == 0 && ((sx > 0 && px >= area.Right) || (sx < 0 && px < area.Left))) ||
                    (dx == 0 && ((sy > 0 && py >= area.Bottom) || (sy < 0 && py < area.Top))))
                    break;
                continue;
            }
            if (dashLength > 0 && ((dashPattern >> (i % dashLength)) & 1u) == 0) continue;
            dst.Row(static_cast<std::int32_t>(py))[px] = pixel;
        }
        return;
    }
    std::int64_t err = (dx > dy ? dx : -dy) / 2;
    for (std::int64_t i = 0; i < steps; ++i) {
        if (x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom &&
            (dashLength <= 0 || ((dashPattern >> (i % dashLength)) & 1u) != 0))
            dst.Row(static_cast<std::int32_t>(y))[x] = pixel;
        const std::int64_t e = err;
        if (e > -dx) {
            err -= dy;
            x += sx;
        }
        if (e < dy) {
            err += dx;
            y += sy;
        }
    }
}

namespace {

// Maps destination index i (0-based from the destination edge) to a source coordinate.
inline std::int64_t MapIndex(std::int64_t i, std::int32_t srcStart, std::int64_t srcExtent,
                             std::int64_t dstExtent) {
    if (srcExtent >= 0) return srcStart + i * srcExtent / dstExtent;
    return srcStart - 1 - i * (-srcExtent) / dstExtent;
}

} // namespace

void StretchCopy(PixelSurface& dst, const TRect& dstRect, const PixelSurface& src, const TRect& srcRect,
                 const TRect& clip) {
    const std::int64_t dstW = static_cast<std::int64_t>(dstRect.Right) - dstRect.Left;
    const std::int64_t dstH = static_cast<std::int64_t>(dstRect.Bottom) - dstRect.Top;
    const std::int64_t srcW = static_cast<std::int64_t>(srcRect.Right) - srcRect.Left;
    const std::int64_t srcH = static_cast<std::int64_t>(srcRect.Bottom) - srcRect.Top;
    if (dstW == 0 || dstH == 0 || srcW == 0 || srcH == 0) return;
    // Normalise the destination to positive extents, folding its mirroring into the source.
    const TRect d{static_cast<std::int32_t>(std::min<std::int64_t>(dstRect.Left, dstRect.Right)),
                  static_cast<std::int32_t>(std::min<std::int64_t>(dstRect.Top, dstRect.Bottom)),
                  static_cast<std::int32_t>(std::max<std::int64_t>(dstRect.Left, dstRect.Right)),
                  static_cast<std::int32_t>(std::max<std::int64_t>(dstRect.Top, dstRect.Bottom))};
    const std::int64_t absW = d.Right - static_cast<std::int64_t>(d.Left);
    const std::int64_t absH = d.Bottom - static_cast<std::int64_t>(d.Top);
    const std::int32_t sx0 = dstW > 0 ? srcRect.Left : srcRect.Right;
    const std::int64_t sW = dstW > 0 ? srcW : -srcW;
    const std::int32_t sy0 = dstH > 0 ? srcRect.Top : srcRect.Bottom;
    const std::int64_t sH = dstH > 0 ? srcH : -srcH;

    const TRect visible = d.Intersect(clip).Intersect(dst.Bounds());
    if (visible.IsEmpty()) return;

    thread_local std::vector<std::int32_t> columnMap;
    columnMap.resize(static_cast<std::size_t>(visible.Width()));
    for (std::int32_t x = visible.Left; x < visible.Right; ++x) {
        const std::int64_t s = MapIndex(x - static_cast<std::int64_t>(d.Left), sx0, sW, absW);
        columnMap[static_cast<std::size_t>(x - visible.Left)] =
            (s >= 0 && s < src.Width()) ? static_cast<std::int32_t>(s) : -1;
    }
    std::int64_t previousSourceRow = -1;
    std::int32_t previousDestRow = -1;
    for (std::int32_t y = visible.Top; y < visible.Bottom; ++y) {
        const std::int64_t sy = MapIndex(y - static_cast<std::int64_t>(d.Top), sy0, sH, absH);
        std::uint32_t* out = dst.Row(y) + visible.Left;
        if (sy == previousSourceRow && previousDestRow >= 0) {
            // Magnification repeats whole rows: copy the row just built.
            std::memcpy(out, dst.Row(previousDestRow) + visible.Left,
                        static_cast<std::size_t>(visible.Width()) * sizeof(std::uint32_t));
            previousDestRow = y;
            continue;
        }
        if (sy < 0 || sy >= src.Height()) {
            std::fill(out, out + visible.Width(), 0u);
        } else {
            const std::uint32_t* in = src.Row(static_cast<std::int32_t>(sy));
            for (std::int32_t i = 0; i < visible.Width(); ++i) {
                const std::int32_t s = columnMap[static_cast<std::size_t>(i)];
                out[i] = s >= 0 ? in[s] : 0u;
            }
        }
        previousSourceRow = sy;
        previousDestRow = y;
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
