// Pictures in stored descriptions, kept as a block of bytes named "Data".
//
// A block whose first byte is 0x3F or below is a picture record: one length byte, that many
// characters naming the graphic's class, then the graphic's own data; for "TBitmap" that is a
// 4-byte little-endian length followed by a BMP file of that length. A block whose first byte is
// above 0x3F is an older plain-bitmap record: a 4-byte length followed by a BMP file. An empty
// block means no picture.
//
// The BMP reader takes uncompressed files of 1, 4, 8, 24 or 32 bits per pixel, stored bottom-up
// or top-down, up to 16384 pixels on a side. Anything truncated, inconsistent or unsupported fails
// with EReadError and leaves the target as it was; no read ever goes past the data given.
#pragma once

#include "framework/graphics/bitmap.h"

#include <cstdint>
#include <vector>

constexpr std::int32_t kMaxStoredBitmapSide = 16384;

// Replaces `bitmap`'s size and pixels with the BMP file in `bytes`.
void ReadBitmapData(TBitmap& bitmap, const std::vector<std::uint8_t>& bytes);
// Sets `picture` from a stored "Data" block (empty: no picture).
void ReadPictureData(TPicture& picture, const std::vector<std::uint8_t>& bytes);

// The bitmap as a 24-bit bottom-up BMP file (empty for an empty bitmap): a 54-byte header, then
// rows of 3 bytes per pixel (blue, green, red) padded to a multiple of 4.
std::vector<std::uint8_t> WriteBitmapData(const TBitmap& bitmap);
// A "TBitmap" picture record holding WriteBitmapData's file (empty for an empty bitmap).
std::vector<std::uint8_t> WriteBitmapRecord(const TBitmap& bitmap);
