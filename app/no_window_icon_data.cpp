// Builds whose windows take their icon from elsewhere (the Windows executable's resource) or show
// none (headless) carry no icon data.
#include "app/window_icon_data.h"

std::span<const std::uint32_t> LentaroWindowIconData() { return {}; }
