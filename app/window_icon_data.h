// The program's window icon as data, made from artwork/lentaro.svg at build time where the
// backend needs it (X11): 16, 32 and 48 pixels in the layout ParseIconImages reads. Empty elsewhere.
#pragma once

#include <cstdint>
#include <span>

std::span<const std::uint32_t> LentaroWindowIconData();
