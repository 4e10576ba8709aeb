// Pictures in stored descriptions. A bitmap is stored as the bytes of a BMP file (uncompressed, 1, 4,
// 8, 24 or 32 bits per pixel); a picture's data is its graphic's class name (one length byte, then
// the name, "TBitmap") followed by the graphic's bytes. Empty data means no picture.
#pragma once

#include "framework/bitmap.h"

#include <cstdint>
#include <vector>

// Replaces `bitmap`'s pixels with the BMP image in `bytes`; EReadError when the data is truncated,
// compressed or otherwise not understood (the bitmap is then left as it was).
void ReadBitmapData(TBitmap& bitmap, const std::vector<std::uint8_t>& bytes);
// Sets `picture` from stored picture data.
void ReadPictureData(TPicture& picture, const std::vector<std::uint8_t>& bytes);
