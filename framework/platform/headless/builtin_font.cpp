#include "framework/platform/headless/builtin_font.h"

#include <cstdlib>

namespace builtin_font {
namespace {

// Advance widths at the design size (character height 11).
std::int32_t DesignAdvance(unsigned char ch) {
    switch (ch) {
    case ' ': return 3;
    case 'i':
    case 'l':
    case 'j':
    case '!':
    case '|':
    case '\'': return 2;
    case 't':
    case 'r':
    case 'f':
    case 'I':
    case ':':
    case ';':
    case '.':
    case ',': return 3;
    case '(':
    case ')':
    case '[':
    case ']':
    case '-': return 4;
    case 's':
    case 'z':
    case 'k':
    case 'c':
    case 'y': return 5;
    case 'x':
    case 'e':
    case 'o':
    case 'h':
    case 'a':
    case 'E': return 6;
    case 'm':
    case 'w':
    case 'M':
    case '%':
    case '&': return 8;
    case 'W': return 10;
    default: break;
    }
    if (ch >= 'A' && ch <= 'Z') return 7;
    if (ch >= 'a' && ch <= 'z') return 6;
    if (ch >= '0' && ch <= '9') return 6;
    if (ch < 0x20) return 0;
    return 5;
}

std::int32_t EmHeight(const FontSpec& font) {
    if (font.height < 0) return -font.height;
    if (font.height == 0) return 11;
    return std::max(1, font.height * 11 / 13);
}

} // namespace

FontMetrics Metrics(const FontSpec& font) {
    const std::int32_t em = EmHeight(font);
    const std::int32_t descent = std::max(1, em * 2 / 11);
    FontMetrics m;
    m.ascent = em;
    m.descent = descent;
    m.height = em + descent;
    m.averageCharWidth = Advance(font, 'x') - 1;
    return m;
}

std::int32_t Advance(const FontSpec& font, unsigned char ch) {
    const std::int32_t em = EmHeight(font);
    const std::int32_t design = DesignAdvance(ch);
    std::int32_t w = em == 11 ? design : (design * em + 5) / 11;
    if (font.bold && design > 0) ++w;
    return w;
}

std::int32_t Measure(const FontSpec& font, std::string_view text) {
    std::int32_t w = 0;
    for (unsigned char ch : text) w += Advance(font, ch);
    return w;
}

void Render(PixelSurface& dest, const FontSpec& font, std::int32_t x, std::int32_t y, std::string_view text,
            std::uint32_t pixel, const TRect& clip) {
    const FontMetrics m = Metrics(font);
    const std::int32_t baseline = y + m.ascent;
    // Each glyph is a simple deterministic figure: a stem whose height tells capitals from small
    // letters, and a bar whose row is taken from the character code, so different texts differ.
    for (unsigned char ch : text) {
        const std::int32_t advance = Advance(font, ch);
        if (ch > 0x20 && advance > 1) {
            const std::int32_t top =
                (ch >= 'a' && ch <= 'z') ? baseline - m.ascent * 6 / 11 : baseline - m.ascent * 8 / 11;
            raster::FillRect(dest, Rect(x, top, x + 1, baseline), pixel, clip);
            const std::int32_t barRow = top + static_cast<std::int32_t>(ch % 5) * (baseline - top) / 5;
            raster::FillRect(dest, Rect(x, barRow, x + advance - 1, barRow + 1), pixel, clip);
        }
        if (font.underline)
            raster::FillRect(dest, Rect(x, baseline + 1, x + advance, baseline + 2), pixel, clip);
        x += advance;
    }
}

} // namespace builtin_font
