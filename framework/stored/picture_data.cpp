#include "framework/stored/picture_data.h"

#include "framework/exceptions.h"

#include <string>

namespace {

class ByteReader {
  public:
    explicit ByteReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    void Require(std::size_t offset, std::size_t count) const {
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            throw EReadError("bitmap data is truncated");
    }
    std::uint32_t U8(std::size_t at) const {
        Require(at, 1);
        return bytes_[at];
    }
    std::uint32_t U16(std::size_t at) const { return U8(at) | (U8(at + 1) << 8); }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }

  private:
    const std::vector<std::uint8_t>& bytes_;
};

constexpr std::size_t kFileHeader = 14;
constexpr std::int32_t kMaxSide = 16384; // far beyond any glyph; keeps the allocation bounded

} // namespace

void ReadBitmapData(TBitmap& bitmap, const std::vector<std::uint8_t>& bytes) {
    const ByteReader in(bytes);
    if (in.U8(0) != 'B' || in.U8(1) != 'M') throw EReadError("bitmap data does not start with a BMP header");
    const std::size_t pixelOffset = in.U32(10);
    const std::size_t infoSize = in.U32(kFileHeader);
    if (infoSize < 40) throw EReadError("bitmap header of an unknown kind");
    const std::int32_t width = in.I32(kFileHeader + 4);
    const std::int32_t rawHeight = in.I32(kFileHeader + 8);
    const std::uint32_t bitCount = in.U16(kFileHeader + 14);
    const std::uint32_t compression = in.U32(kFileHeader + 16);
    std::uint32_t paletteSize = in.U32(kFileHeader + 32);
    if (compression != 0) throw EReadError("compressed bitmaps are not supported");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        throw EReadError("bitmaps of " + std::to_string(bitCount) + " bits per pixel are not supported");
    const bool topDown = rawHeight < 0;
    const std::int32_t height = topDown ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        throw EReadError("bitmap size out of range");
    if (bitCount <= 8 && paletteSize == 0) paletteSize = 1u << bitCount;
    if (bitCount <= 8 && paletteSize > (1u << bitCount)) throw EReadError("bitmap palette too large");
    const std::size_t paletteAt = kFileHeader + infoSize;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    in.Require(pixelOffset, stride * static_cast<std::size_t>(height));
    if (bitCount <= 8) in.Require(paletteAt, paletteSize * 4);

    auto paletteColour = [&](std::uint32_t index) -> std::uint32_t {
        if (index >= paletteSize) return 0;
        const std::size_t at = paletteAt + index * 4; // blue, green, red, reserved
        return (in.U8(at + 2) << 16) | (in.U8(at + 1) << 8) | in.U8(at);
    };
    PixelSurface pixels(width, height);
    for (std::int32_t row = 0; row < height; ++row) {
        const std::size_t line = pixelOffset + static_cast<std::size_t>(row) * stride;
        const std::int32_t y = topDown ? row : height - 1 - row;
        for (std::int32_t x = 0; x < width; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            std::uint32_t pixel = 0;
            switch (bitCount) {
            case 32:
            case 24: {
                const std::size_t at = line + ux * (bitCount / 8);
                pixel = (in.U8(at + 2) << 16) | (in.U8(at + 1) << 8) | in.U8(at);
                break;
            }
            case 8:
                pixel = paletteColour(in.U8(line + ux));
                break;
            case 4:
                pixel = paletteColour((in.U8(line + ux / 2) >> (ux % 2 == 0 ? 4 : 0)) & 0x0F);
                break;
            default:
                pixel = paletteColour((in.U8(line + ux / 8) >> (7 - ux % 8)) & 1);
                break;
            }
            pixels.SetPixel(x, y, pixel);
        }
    }
    bitmap.SetSize(width, height);
    raster::Blit(bitmap.Pixels(), 0, 0, pixels, pixels.Bounds());
    bitmap.SetPixelFormat(bitCount == 32   ? pf32bit
                          : bitCount == 24 ? pf24bit
                          : bitCount == 8  ? pf8bit
                          : bitCount == 4  ? pf4bit
                                           : pf1bit);
}

void ReadPictureData(TPicture& picture, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) {
        picture.SetGraphic(nullptr);
        return;
    }
    const std::size_t nameLength = bytes[0];
    if (bytes.size() < 1 + nameLength) throw EReadError("picture data is truncated");
    const std::string className(bytes.begin() + 1,
                                bytes.begin() + 1 + static_cast<std::ptrdiff_t>(nameLength));
    if (className != "TBitmap") throw EReadError("pictures of class " + className + " are not supported");
    const std::vector<std::uint8_t> image(bytes.begin() + 1 + static_cast<std::ptrdiff_t>(nameLength),
                                          bytes.end());
    TBitmap bitmap;
    ReadBitmapData(bitmap, image);
    picture.SetGraphic(&bitmap);
}
