// A window icon at one size, and the reading of icon data in the layout X11 window managers read
// (_NET_WM_ICON): for each size its width, its height, then width * height pixels 0xAARRGGBB, row
// by row, alpha not premultiplied.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct IconImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, width * height of them

    bool operator==(const IconImage&) const = default;
};

// The largest side an icon may have; anything larger is taken for broken data.
constexpr std::int32_t kLargestIconSide = 1024;

// The images in `data`, in order. Reading stops at the first image whose size is zero, too large
// or longer than what is left, so broken or cut-off data gives the good images before it, or none.
std::vector<IconImage> ParseIconImages(std::span<const std::uint32_t> data);
