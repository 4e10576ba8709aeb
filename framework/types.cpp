#include "framework/types.h"

#include "framework/platform/pixel_surface.h"
#include "framework/platform/platform.h"

std::uint32_t ColorToRGB(TColor color) {
    if (color < 0) {
        const int index = static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF);
        return HasCurrentPlatform() ? CurrentPlatform().GetSysColor(index) : ClassicSysColor(index);
    }
    return static_cast<std::uint32_t>(color);
}

std::uint32_t ColorToPixel(TColor color) { return raster::ColorRefToPixel(ColorToRGB(color) & 0xFFFFFF); }
