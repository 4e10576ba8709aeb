// Text through FreeType, with fonts chosen by fontconfig. Glyphs are rendered anti-aliased (8-bit
// coverage blended onto the surface) and cached per font and character.
#pragma once

#include "framework/platform/platform.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class X11FontCache {
public:
    X11FontCache();
    ~X11FontCache();
    X11FontCache(const X11FontCache&) = delete;
    X11FontCache& operator=(const X11FontCache&) = delete;

    FontMetrics Metrics(const FontSpec& fontSpec);
    std::int32_t Measure(const FontSpec& fontSpec, std::string_view text);
    void Render(PixelSurface& dest, const FontSpec& fontSpec, std::int32_t x, std::int32_t y,
                std::string_view text, std::uint32_t pixel, const TRect& clip);
    // Drops fontconfig's configuration and caches (most of what text costs in memory); the fonts
    // already loaded stay, and a new font loads fontconfig again.
    void ReleaseResolver();
    // The font file a fontSpec resolved to ("" when none could be loaded), for diagnostics.
    std::string ResolvedFile(const FontSpec& fontSpec);

private:
    struct Glyph {
        bool loaded = false;
        std::int32_t left = 0, top = 0; // bitmap origin relative to the pen on the baseline
        std::int32_t width = 0, height = 0;
        std::int32_t advance = 0;
        std::vector<unsigned char> coverage;
    };
    struct Face;
    Face* FaceFor(const FontSpec& fontSpec);
    const Glyph& GlyphFor(Face& face, unsigned char ch);

    struct Library;
    std::unique_ptr<Library> library_;
    std::vector<std::pair<FontSpec, std::unique_ptr<Face>>> faces_;
};
