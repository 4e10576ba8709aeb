#include "framework/stored/picture_data.h"

#include "framework/core/exceptions.h"

#include <span>
#include <string>
#include <string_view>

namespace {

using Bytes = std::span<const std::uint8_t>;

// Little-endian reads that fail with EReadError instead of passing the end of the data.
class ByteReader {
public:
    ByteReader(Bytes bytes, const char* what) : bytes_(bytes), what_(what) {}

    std::size_t Size() const { return bytes_.size(); }
    bool Has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    void Require(std::uint64_t offset, std::uint64_t count, const char* part) const {
        if (!Has(offset, count))
            throw EReadError(std::string(what_) + " is truncated: " + part + " lies beyond its end");
    }
    std::uint32_t U8(std::size_t at) const {
        Require(at, 1, "a header field");
        return bytes_[at];
    }
    std::uint32_t U16(std::size_t at) const { return U8(at) | (U8(at + 1) << 8); }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    Bytes Slice(std::uint64_t offset, std::uint64_t count, const char* part) const {
        Require(offset, count, part);
        return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
    }

private:
    Bytes bytes_;
    const char* what_;
};

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint8_t kLastRecordNameByte = 0x3F; // a first byte above this starts an older record
constexpr std::string_view kBitmapClass = "TBitmap";

// A validated BMP file: every byte that decoding touches is known to lie inside the data.
struct BmpLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool topDown = false;
    std::uint32_t bitCount = 0;
    Bytes palette;   // 4 bytes per entry: blue, green, red, reserved
    Bytes pixelData; // `height` rows of `stride` bytes
    std::size_t stride = 0;
};

BmpLayout ParseBmp(Bytes bytes) {
    const ByteReader in(bytes, "bitmap data");
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        throw EReadError("bitmap data does not start with a BMP header");
    in.Require(0, kFileHeaderSize + 4, "the header");
    const std::uint32_t pixelOffset = in.U32(10);
    const std::uint32_t infoSize = in.U32(kFileHeaderSize);
    if (infoSize < kInfoHeaderSize)
        throw EReadError("bitmap header of an unknown kind (" + std::to_string(infoSize) + " bytes)");
    in.Require(kFileHeaderSize, infoSize, "the header");

    BmpLayout bmp;
    bmp.width = in.I32(kFileHeaderSize + 4);
    const std::int64_t rawHeight = in.I32(kFileHeaderSize + 8);
    const std::uint32_t planes = in.U16(kFileHeaderSize + 12);
    bmp.bitCount = in.U16(kFileHeaderSize + 14);
    const std::uint32_t compression = in.U32(kFileHeaderSize + 16);
    const std::uint32_t colorsUsed = in.U32(kFileHeaderSize + 32);

    if (planes != 1) throw EReadError("bitmap header is inconsistent: " + std::to_string(planes) + " planes");
    if (compression != kUncompressed) throw EReadError("compressed bitmaps are not supported");
    if (bmp.bitCount != 1 && bmp.bitCount != 4 && bmp.bitCount != 8 && bmp.bitCount != 24 &&
        bmp.bitCount != 32)
        throw EReadError("bitmaps of " + std::to_string(bmp.bitCount) + " bits per pixel are not supported");
    bmp.topDown = rawHeight < 0;
    const std::int64_t height = bmp.topDown ? -rawHeight : rawHeight;
    if (bmp.width <= 0 || bmp.width > kMaxStoredBitmapSide || height == 0 || height > kMaxStoredBitmapSide)
        throw EReadError("bitmap size " + std::to_string(bmp.width) + " x " + std::to_string(height) +
                         " is out of range");
    bmp.height = static_cast<std::int32_t>(height);

    // Palettes of deeper bitmaps only suggest colours for display; they are skipped.
    std::uint64_t paletteEntries = 0;
    if (bmp.bitCount <= 8) {
        const std::uint64_t most = 1u << bmp.bitCount;
        paletteEntries = colorsUsed == 0 ? most : colorsUsed;
        if (paletteEntries > most)
            throw EReadError("bitmap palette of " + std::to_string(colorsUsed) +
                             " colours is too large for " + std::to_string(bmp.bitCount) + " bits per pixel");
    }
    const std::uint64_t paletteAt = kFileHeaderSize + static_cast<std::uint64_t>(infoSize);
    bmp.palette = in.Slice(paletteAt, paletteEntries * 4, "the palette");
    if (pixelOffset < paletteAt + paletteEntries * 4)
        throw EReadError("bitmap header is inconsistent: the pixels start inside the header");
    bmp.stride =
        static_cast<std::size_t>(((static_cast<std::uint64_t>(bmp.width) * bmp.bitCount + 31) / 32) * 4);
    bmp.pixelData =
        in.Slice(pixelOffset, static_cast<std::uint64_t>(bmp.stride) * bmp.height, "the pixel data");
    return bmp;
}

// An index past the palette's end shows black, as the platform draws it.
std::uint32_t PaletteColour(const BmpLayout& bmp, std::uint32_t index) {
    const std::size_t at = static_cast<std::size_t>(index) * 4;
    if (at + 4 > bmp.palette.size()) return 0;
    return (static_cast<std::uint32_t>(bmp.palette[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bmp.palette[at + 1]) << 8) | bmp.palette[at];
}

void DecodeRows(const BmpLayout& bmp, PixelSurface& pixels) {
    for (std::int32_t row = 0; row < bmp.height; ++row) {
        const std::uint8_t* line = bmp.pixelData.data() + static_cast<std::size_t>(row) * bmp.stride;
        std::uint32_t* out = pixels.Row(bmp.topDown ? row : bmp.height - 1 - row);
        for (std::int32_t x = 0; x < bmp.width; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            switch (bmp.bitCount) {
            case 32:
            case 24: {
                const std::uint8_t* p = line + ux * (bmp.bitCount / 8);
                out[x] =
                    (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
                break;
            }
            case 8: out[x] = PaletteColour(bmp, line[ux]); break;
            case 4: out[x] = PaletteColour(bmp, (line[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0x0F); break;
            default: out[x] = PaletteColour(bmp, (line[ux / 8] >> (7 - ux % 8)) & 1); break;
            }
        }
    }
}

TPixelFormat FormatOf(std::uint32_t bitCount) {
    switch (bitCount) {
    case 32: return pf32bit;
    case 24: return pf24bit;
    case 8: return pf8bit;
    case 4: return pf4bit;
    default: return pf1bit;
    }
}

void ReadBitmapFile(TBitmap& bitmap, Bytes bytes) {
    const BmpLayout bmp = ParseBmp(bytes);
    // Nothing can fail past this point, so a refused file never touches the bitmap.
    bitmap.SetSize(bmp.width, bmp.height);
    DecodeRows(bmp, bitmap.Pixels());
    bitmap.SetPixelFormat(FormatOf(bmp.bitCount));
}

// A 4-byte length, then exactly that many bytes of BMP file, ending the data.
Bytes LengthPrefixedFile(const ByteReader& in, std::size_t at) {
    in.Require(at, 4, "the bitmap's length");
    const std::uint32_t length = in.U32(at);
    const Bytes file = in.Slice(at + 4, length, "the bitmap");
    const std::size_t after = in.Size() - (at + 4) - length;
    if (after != 0)
        throw EReadError("picture data is inconsistent: the bitmap is followed by " + std::to_string(after) +
                         " stray byte(s)");
    return file;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

void ReadBitmapData(TBitmap& bitmap, const std::vector<std::uint8_t>& bytes) {
    ReadBitmapFile(bitmap, bytes);
}

void ReadPictureData(TPicture& picture, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) {
        picture.SetGraphic(nullptr);
        return;
    }
    const ByteReader in(bytes, "picture data");
    TBitmap bitmap;
    if (bytes[0] > kLastRecordNameByte) {
        ReadBitmapFile(bitmap, LengthPrefixedFile(in, 0));
    } else {
        const std::size_t nameLength = bytes[0];
        const Bytes name = in.Slice(1, nameLength, "the graphic's class name");
        const std::string className(name.begin(), name.end());
        if (className != kBitmapClass)
            throw EReadError("pictures of class \"" + className + "\" are not supported");
        ReadBitmapFile(bitmap, LengthPrefixedFile(in, 1 + nameLength));
    }
    picture.SetGraphic(&bitmap);
}

std::vector<std::uint8_t> WriteBitmapData(const TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    const PixelSurface& pixels = bitmap.Pixels();
    const auto width = static_cast<std::uint32_t>(pixels.Width());
    const auto height = static_cast<std::uint32_t>(pixels.Height());
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageSize = stride * height;
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize); // file size
    Put32(out, 0);                  // reserved
    Put32(out, offset);
    Put32(out, kInfoHeaderSize);
    Put32(out, width);
    Put32(out, height); // positive: rows run bottom-up
    Put16(out, 1);      // planes
    Put16(out, 24);
    Put32(out, kUncompressed);
    Put32(out, imageSize);
    Put32(out, 0); // pixels per metre, x and y: unspecified
    Put32(out, 0);
    Put32(out, 0); // colours used and important: no palette
    Put32(out, 0);
    for (std::int32_t y = pixels.Height() - 1; y >= 0; --y) {
        const std::uint32_t* row = pixels.Row(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            out.push_back(static_cast<std::uint8_t>(row[x] & 0xFF));
            out.push_back(static_cast<std::uint8_t>((row[x] >> 8) & 0xFF));
            out.push_back(static_cast<std::uint8_t>((row[x] >> 16) & 0xFF));
        }
        out.insert(out.end(), stride - width * 3, 0);
    }
    return out;
}

std::vector<std::uint8_t> WriteBitmapRecord(const TBitmap& bitmap) {
    const std::vector<std::uint8_t> file = WriteBitmapData(bitmap);
    if (file.empty()) return {};
    std::vector<std::uint8_t> record;
    record.push_back(static_cast<std::uint8_t>(kBitmapClass.size()));
    record.insert(record.end(), kBitmapClass.begin(), kBitmapClass.end());
    Put32(record, static_cast<std::uint32_t>(file.size()));
    record.insert(record.end(), file.begin(), file.end());
    return record;
}
