// Conversion between the toolkit's 0x00RRGGBB pixels and the pixels of an X image, for any
// TrueColor/DirectColor visual (15/16-bit, 24-bit packed, 32-bit) in either byte order.
#pragma once

#include "framework/platform/pixel_surface.h"

#include <cstdint>
#include <optional>

struct X11PixelFormat {
    struct Channel {
        std::uint32_t mask = 0;
        int shift = 0; // position of the channel's lowest bit
        int bits = 0;  // width of the channel
    };
    Channel red, green, blue;
    int bitsPerPixel = 32; // 8, 16, 24 or 32
    bool msbFirst = false; // the image's byte order (MSBFirst)

    // Fails for masks that are empty or not one contiguous run of bits, or an unsupported bpp.
    static std::optional<X11PixelFormat> FromMasks(std::uint32_t redMask, std::uint32_t greenMask,
                                                   std::uint32_t blueMask, int bitsPerPixel, bool msbFirst);

    std::uint32_t Encode(std::uint32_t rgb) const;   // 0x00RRGGBB -> pixel value
    std::uint32_t Decode(std::uint32_t value) const; // pixel value -> 0x00RRGGBB
    // True when an image row is a plain array of native 32-bit 0x00RRGGBB words (no conversion).
    bool IsNativeRgb32() const;

    std::uint32_t Load(const unsigned char* p) const;        // reads one pixel value
    void Store(unsigned char* p, std::uint32_t value) const; // writes one pixel value
};

// Decodes rows of image memory into `dst` (sized by the caller; width x height pixels are read).
void ReadImagePixels(const unsigned char* data, int bytesPerLine, const X11PixelFormat& format,
                     PixelSurface& dst);

// Encodes `rect` of `src` into image memory laid out like `src` (same width and height).
void WriteImagePixels(const PixelSurface& src, const TRect& rect, unsigned char* data, int bytesPerLine,
                      const X11PixelFormat& format);
