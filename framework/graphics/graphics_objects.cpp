#include "framework/graphics/graphics_objects.h"

TFont::TFont() = default;

void TFont::Assign(const TFont& source) {
    if (SameAs(source)) return;
    name_ = source.name_;
    height_ = source.height_;
    color_ = source.color_;
    style_ = source.style_;
    charset_ = source.charset_;
    pixelsPerInch_ = source.pixelsPerInch_;
    Changed();
}

bool TFont::SameAs(const TFont& o) const {
    return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ &&
           charset_ == o.charset_;
}

void TFont::SetName(const std::string& name) {
    if (name.empty() || name == name_) return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(std::int32_t height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

std::int32_t TFont::Size() const {
    // Points from pixels, rounded like the classic MulDiv(-Height, 72, PixelsPerInch).
    const std::int64_t num = static_cast<std::int64_t>(-height_) * 72;
    const std::int64_t half = pixelsPerInch_ / 2;
    return static_cast<std::int32_t>(num >= 0 ? (num + half) / pixelsPerInch_
                                              : (num - half) / pixelsPerInch_);
}

void TFont::SetSize(std::int32_t points) {
    const std::int64_t num = static_cast<std::int64_t>(points) * pixelsPerInch_;
    SetHeight(-static_cast<std::int32_t>(num >= 0 ? (num + 36) / 72 : (num - 36) / 72));
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetCharset(std::uint8_t charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

FontSpec TFont::Spec() const {
    FontSpec s;
    s.name = name_;
    s.height = height_;
    s.bold = (style_ & fsBold) != 0;
    s.italic = (style_ & fsItalic) != 0;
    s.underline = (style_ & fsUnderline) != 0;
    s.strikeOut = (style_ & fsStrikeOut) != 0;
    s.charset = charset_;
    return s;
}

void TPen::Assign(const TPen& s) {
    color_ = s.color_;
    style_ = s.style_;
    width_ = s.width_;
    mode_ = s.mode_;
    Changed();
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::SetWidth(std::int32_t width) {
    if (width < 0 || width == width_) return;
    width_ = width;
    Changed();
}

void TPen::SetMode(TPenMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    Changed();
}

void TBrush::Assign(const TBrush& s) {
    color_ = s.color_;
    style_ = s.style_;
    Changed();
}

void TBrush::SetColor(TColor color) {
    if (color == color_ && style_ == bsSolid) return;
    color_ = color;
    // Choosing a colour makes a cleared brush solid again, as the classic toolkit does.
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}
