#include "framework/platform/icon_image.h"

std::vector<IconImage> ParseIconImages(std::span<const std::uint32_t> data) {
    std::vector<IconImage> images;
    std::size_t at = 0;
    while (data.size() - at >= 2) {
        const std::uint32_t width = data[at];
        const std::uint32_t height = data[at + 1];
        if (width == 0 || height == 0 || width > kLargestIconSide || height > kLargestIconSide) break;
        const std::size_t count = static_cast<std::size_t>(width) * height;
        if (data.size() - at - 2 < count) break;
        const auto first = data.begin() + static_cast<std::ptrdiff_t>(at + 2);
        images.push_back({static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                          std::vector<std::uint32_t>(first, first + static_cast<std::ptrdiff_t>(count))});
        at += 2 + count;
    }
    return images;
}
