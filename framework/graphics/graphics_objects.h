// Fonts, pens and brushes: the canvas's drawing tools. Each reports its changes through OnChange.
#pragma once

#include "framework/core/component.h"
#include "framework/platform/platform.h"

#include <cstdint>
#include <string>

class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

using TFontStyles = std::uint8_t;
constexpr TFontStyles fsBold = 1u << 0;
constexpr TFontStyles fsItalic = 1u << 1;
constexpr TFontStyles fsUnderline = 1u << 2;
constexpr TFontStyles fsStrikeOut = 1u << 3;

constexpr std::uint8_t DEFAULT_CHARSET = 1;

class TFont : public TGraphicsObject {
public:
    TFont();
    void Assign(const TFont& source);
    bool SameAs(const TFont& other) const;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t height);
    // Points at the font's pixel density (96 per inch).
    std::int32_t Size() const;
    void SetSize(std::int32_t points);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    std::uint8_t Charset() const { return charset_; }
    void SetCharset(std::uint8_t charset);
    std::int32_t PixelsPerInch() const { return pixelsPerInch_; }

    FontSpec Spec() const;

private:
    std::string name_ = "MS Sans Serif";
    std::int32_t height_ = -11;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    std::uint8_t charset_ = DEFAULT_CHARSET;
    std::int32_t pixelsPerInch_ = 96;
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode : std::uint8_t { pmCopy, pmNot, pmXor, pmNotXor };

class TPen : public TGraphicsObject {
public:
    void Assign(const TPen& source);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    std::int32_t Width() const { return width_; }
    void SetWidth(std::int32_t width);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);

private:
    TColor color_ = clBlack;
    TPenStyle style_ = psSolid;
    std::int32_t width_ = 1;
    TPenMode mode_ = pmCopy;
};

enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
    void Assign(const TBrush& source);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};
