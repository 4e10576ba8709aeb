// A deterministic built-in font for the headless backend. At the form's font (height -11) a line is
// 13 pixels high and the advance widths measure captions as the classic 8-point sans serif does
// ("Exit" 17, "Zoom Power:" 63, "Crosshair Size:" 69 pixels).
#pragma once

#include "framework/platform/platform.h"

namespace builtin_font {

FontMetrics Metrics(const FontSpec& font);
std::int32_t Advance(const FontSpec& font, unsigned char ch);
std::int32_t Measure(const FontSpec& font, std::string_view text);
void Render(PixelSurface& dest, const FontSpec& font, std::int32_t x, std::int32_t y, std::string_view text,
            std::uint32_t pixel, const TRect& clip);

} // namespace builtin_font
