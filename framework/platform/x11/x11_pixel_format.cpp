#include "framework/platform/x11/x11_pixel_format.h"

#include <bit>
#include <cstring>

namespace {

std::optional<X11PixelFormat::Channel> ChannelFromMask(std::uint32_t mask) {
    if (mask == 0) return std::nullopt;
    X11PixelFormat::Channel c;
    c.mask = mask;
    c.shift = std::countr_zero(mask);
    c.bits = std::popcount(mask);
    // One contiguous run of bits only.
    if ((mask >> c.shift) != (c.bits >= 32 ? 0xFFFFFFFFu : ((1u << c.bits) - 1u))) return std::nullopt;
    return c;
}

std::uint32_t EncodeChannel(const X11PixelFormat::Channel& c, std::uint32_t value8) {
    const std::uint32_t v = c.bits >= 8 ? value8 << (c.bits - 8) : value8 >> (8 - c.bits);
    return (v << c.shift) & c.mask;
}

std::uint32_t DecodeChannel(const X11PixelFormat::Channel& c, std::uint32_t pixel) {
    const std::uint32_t v = (pixel & c.mask) >> c.shift;
    if (c.bits >= 8) return v >> (c.bits - 8);
    // Spread the short value over 0..255 so full intensity stays full (0x1F -> 0xFF).
    const std::uint32_t max = (1u << c.bits) - 1u;
    return (v * 255u + max / 2) / max;
}

constexpr bool kHostIsLittleEndian = std::endian::native == std::endian::little;

} // namespace

std::optional<X11PixelFormat> X11PixelFormat::FromMasks(std::uint32_t redMask, std::uint32_t greenMask,
                                                        std::uint32_t blueMask, int bitsPerPixel,
                                                        bool msbFirst) {
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return std::nullopt;
    const auto r = ChannelFromMask(redMask);
    const auto g = ChannelFromMask(greenMask);
    const auto b = ChannelFromMask(blueMask);
    if (!r || !g || !b) return std::nullopt;
    X11PixelFormat f;
    f.red = *r;
    f.green = *g;
    f.blue = *b;
    f.bitsPerPixel = bitsPerPixel;
    f.msbFirst = msbFirst;
    return f;
}

std::uint32_t X11PixelFormat::Encode(std::uint32_t rgb) const {
    return EncodeChannel(red, (rgb >> 16) & 0xFF) | EncodeChannel(green, (rgb >> 8) & 0xFF) |
           EncodeChannel(blue, rgb & 0xFF);
}

std::uint32_t X11PixelFormat::Decode(std::uint32_t value) const {
    return (DecodeChannel(red, value) << 16) | (DecodeChannel(green, value) << 8) |
           DecodeChannel(blue, value);
}

bool X11PixelFormat::IsNativeRgb32() const {
    return bitsPerPixel == 32 && msbFirst != kHostIsLittleEndian && red.mask == 0xFF0000 &&
           green.mask == 0xFF00 && blue.mask == 0xFF;
}

std::uint32_t X11PixelFormat::Load(const unsigned char* p) const {
    const int bytes = bitsPerPixel / 8;
    std::uint32_t v = 0;
    if (msbFirst) {
        for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    } else {
        for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    }
    return v;
}

void X11PixelFormat::Store(unsigned char* p, std::uint32_t value) const {
    const int bytes = bitsPerPixel / 8;
    for (int i = 0; i < bytes; ++i) {
        const int byteIndex = msbFirst ? bytes - 1 - i : i;
        p[byteIndex] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void ReadImagePixels(const unsigned char* data, int bytesPerLine, const X11PixelFormat& format,
                     PixelSurface& dst) {
    const int bytes = format.bitsPerPixel / 8;
    for (std::int32_t y = 0; y < dst.Height(); ++y) {
        const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * bytesPerLine;
        std::uint32_t* out = dst.Row(y);
        if (format.IsNativeRgb32()) {
            std::memcpy(out, row, static_cast<std::size_t>(dst.Width()) * 4);
            for (std::int32_t x = 0; x < dst.Width(); ++x) out[x] &= 0xFFFFFF;
            continue;
        }
        for (std::int32_t x = 0; x < dst.Width(); ++x) out[x] = format.Decode(format.Load(row + x * bytes));
    }
}

void WriteImagePixels(const PixelSurface& src, const TRect& rect, unsigned char* data, int bytesPerLine,
                      const X11PixelFormat& format) {
    const TRect r = rect.Intersect(src.Bounds());
    if (r.IsEmpty()) return;
    const int bytes = format.bitsPerPixel / 8;
    for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
        unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * bytesPerLine;
        const std::uint32_t* in = src.Row(y);
        if (format.IsNativeRgb32()) {
            std::memcpy(row + r.Left * 4, in + r.Left, static_cast<std::size_t>(r.Width()) * 4);
            continue;
        }
        for (std::int32_t x = r.Left; x < r.Right; ++x) format.Store(row + x * bytes, format.Encode(in[x]));
    }
}
