#include "framework/platform/x11/x11_font.h"

#include "framework/platform/x11/x11_fontconfig.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdio>

struct X11FontCache::Library {
    FT_Library ft = nullptr;
    FontconfigResolver resolver;
    bool warned = false;
};

struct X11FontCache::Face {
    FT_Face face = nullptr;
    std::string file;
    FontMetrics metrics;
    bool syntheticBold = false;
    bool underline = false;
    bool strikeOut = false;
    std::array<Glyph, 256> glyphs;
    ~Face() {
        if (face != nullptr) FT_Done_Face(face);
    }
};

namespace {

std::int32_t Ceil26_6(FT_Pos v) { return static_cast<std::int32_t>((v + 63) >> 6); }

} // namespace

X11FontCache::X11FontCache() : library_(std::make_unique<Library>()) {
    if (FT_Init_FreeType(&library_->ft) != 0) library_->ft = nullptr;
}

X11FontCache::~X11FontCache() {
    faces_.clear();
    if (library_->ft != nullptr) FT_Done_FreeType(library_->ft);
}

void X11FontCache::ReleaseResolver() { library_->resolver.Release(); }

X11FontCache::Face* X11FontCache::FaceFor(const FontSpec& fontSpec) {
    for (auto& [key, face] : faces_)
        if (key == fontSpec) return face.get();
    auto face = std::make_unique<Face>();
    face->underline = fontSpec.underline;
    face->strikeOut = fontSpec.strikeOut;
    // A negative height is the character (em) height; a positive one the whole cell.
    const std::int32_t requested = fontSpec.height == 0 ? -12 : fontSpec.height;
    const std::int32_t em = std::clamp(requested < 0 ? -requested : requested, 1, 1000);
    int index = 0;
    // fontconfig is loaded when a font is first asked for, and again after ReleaseResolver.
    if (library_->ft != nullptr &&
        library_->resolver.Resolve(fontSpec, em, face->file, index, face->syntheticBold) &&
        FT_New_Face(library_->ft, face->file.c_str(), index, &face->face) == 0) {
        FT_Face f = face->face;
        FT_Select_Charmap(f, FT_ENCODING_UNICODE);
        std::int32_t pixels = em;
        if (requested > 0 && FT_IS_SCALABLE(f) && f->ascender - f->descender > 0)
            pixels = std::max<std::int32_t>(1, requested * f->units_per_EM / (f->ascender - f->descender));
        if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixels)) != 0 && f->num_fixed_sizes > 0)
            FT_Select_Size(f, 0);
        face->metrics.ascent = Ceil26_6(f->size->metrics.ascender);
        face->metrics.descent = Ceil26_6(-f->size->metrics.descender);
        face->metrics.height = face->metrics.ascent + face->metrics.descent;
    } else {
        if (face->face != nullptr) FT_Done_Face(face->face);
        face->face = nullptr;
        face->file.clear();
        if (!library_->warned) {
            library_->warned = true;
            std::fprintf(
                stderr,
                "Lentaro: no usable font found through fontconfig for \"%s\"; text will not be drawn "
                "(install fonts-dejavu-core)\n",
                fontSpec.name.c_str());
        }
        face->metrics.ascent = em;
        face->metrics.descent = std::max(1, em / 4);
        face->metrics.height = face->metrics.ascent + face->metrics.descent;
    }
    Face* raw = face.get();
    faces_.emplace_back(fontSpec, std::move(face));
    raw->metrics.averageCharWidth = std::max(1, GlyphFor(*raw, 'x').advance);
    if (raw->face == nullptr) raw->metrics.averageCharWidth = std::max(1, em / 2);
    return raw;
}

const X11FontCache::Glyph& X11FontCache::GlyphFor(Face& face, unsigned char ch) {
    Glyph& g = face.glyphs[ch];
    if (g.loaded) return g;
    g.loaded = true;
    if (face.face == nullptr) return g;
    // Latin-1 characters are the first 256 Unicode code points.
    const FT_UInt index = FT_Get_Char_Index(face.face, ch);
    if (index == 0 && ch < 0x20) return g; // control characters take no room
    if (FT_Load_Glyph(face.face, index, FT_LOAD_DEFAULT) != 0) return g;
    FT_GlyphSlot slot = face.face->glyph;
    if (face.syntheticBold) FT_GlyphSlot_Embolden(slot);
    g.advance = static_cast<std::int32_t>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) return g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<std::int32_t>(bm.width);
    g.height = static_cast<std::int32_t>(bm.rows);
    g.coverage.assign(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height), 0);
    for (std::int32_t y = 0; y < g.height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        for (std::int32_t x = 0; x < g.width; ++x) {
            const unsigned char c =
                bm.pixel_mode == FT_PIXEL_MODE_GRAY ? row[x] : ((row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0);
            g.coverage[static_cast<std::size_t>(y * g.width + x)] = c;
        }
    }
    return g;
}

FontMetrics X11FontCache::Metrics(const FontSpec& fontSpec) { return FaceFor(fontSpec)->metrics; }

std::string X11FontCache::ResolvedFile(const FontSpec& fontSpec) { return FaceFor(fontSpec)->file; }

std::int32_t X11FontCache::Measure(const FontSpec& fontSpec, std::string_view text) {
    Face* face = FaceFor(fontSpec);
    std::int32_t width = 0;
    for (char c : text) width += GlyphFor(*face, static_cast<unsigned char>(c)).advance;
    return width;
}

void X11FontCache::Render(PixelSurface& dest, const FontSpec& fontSpec, std::int32_t x, std::int32_t y,
                          std::string_view text, std::uint32_t pixel, const TRect& clip) {
    Face* face = FaceFor(fontSpec);
    const TRect area = clip.Intersect(dest.Bounds());
    if (area.IsEmpty()) return;
    const std::int32_t baseline = y + face->metrics.ascent;
    const std::uint32_t fr = (pixel >> 16) & 0xFF, fg = (pixel >> 8) & 0xFF, fb = pixel & 0xFF;
    std::int32_t pen = x;
    for (char c : text) {
        const Glyph& g = GlyphFor(*face, static_cast<unsigned char>(c));
        const std::int32_t gx = pen + g.left;
        const std::int32_t gy = baseline - g.top;
        const TRect box = TRect{gx, gy, gx + g.width, gy + g.height}.Intersect(area);
        for (std::int32_t py = box.Top; py < box.Bottom; ++py) {
            std::uint32_t* row = dest.Row(py);
            const unsigned char* cov = g.coverage.data() + static_cast<std::ptrdiff_t>(py - gy) * g.width;
            for (std::int32_t px = box.Left; px < box.Right; ++px) {
                const std::uint32_t a = cov[px - gx];
                if (a == 0) continue;
                if (a == 255) {
                    row[px] = pixel & 0xFFFFFF;
                    continue;
                }
                const std::uint32_t d = row[px];
                const auto blend = [a](std::uint32_t src, std::uint32_t dst) {
                    return (src * a + dst * (255 - a) + 127) / 255;
                };
                row[px] = (blend(fr, (d >> 16) & 0xFF) << 16) | (blend(fg, (d >> 8) & 0xFF) << 8) |
                          blend(fb, d & 0xFF);
            }
        }
        pen += g.advance;
    }
    const auto line = [&](std::int32_t ly) {
        raster::FillRect(dest, {x, ly, pen, ly + 1}, pixel & 0xFFFFFF, area);
    };
    if (face->underline) line(baseline + 1);
    if (face->strikeOut) line(baseline - std::max(1, face->metrics.ascent / 3));
}
