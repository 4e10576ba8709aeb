#include "framework/core/types.h"

#include "framework/platform/pixel_surface.h"
#include "framework/platform/platform.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

std::uint32_t ColorToRGB(TColor color) {
    if (color < 0) {
        const int index = static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF);
        return HasCurrentPlatform() ? CurrentPlatform().GetSysColor(index) : ClassicSysColor(index);
    }
    return static_cast<std::uint32_t>(color);
}

std::uint32_t ColorToPixel(TColor color) { return raster::ColorRefToPixel(ColorToRGB(color) & 0xFFFFFF); }

std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) {
    if (denominator == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t quotient = product / denominator;
    const std::int64_t remainder = product % denominator;
    if (2 * std::llabs(remainder) >= std::llabs(static_cast<std::int64_t>(denominator)))
        quotient += ((product < 0) == (denominator < 0)) ? 1 : -1;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        quotient, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}
