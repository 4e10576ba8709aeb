// libFuzzer entry for stored picture data: any input must either load or fail with EReadError;
// a crash, a sanitizer report or any other exception is a finding. Built and run by scripts/fuzz.sh,
// outside the default build.
#include "framework/core/exceptions.h"
#include "framework/stored/picture_data.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    TPicture picture;
    try {
        ReadPictureData(picture, bytes);
    } catch (const EReadError&) {
    }
    TBitmap bitmap;
    try {
        ReadBitmapData(bitmap, bytes);
    } catch (const EReadError&) {
    }
    return 0;
}
