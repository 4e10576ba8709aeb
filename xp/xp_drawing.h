// The XP controls' drawing routines: banded, optionally dithered gradients (and the persistent
// gradient description that renders one for its control), captions with accelerators and the
// embossed disabled look, the light-grey disabled glyph, and single pen lines.
#pragma once

#include "framework/graphics/bitmap.h"
#include "framework/graphics/text_layout.h"

#include <cstdint>
#include <memory>
#include <string>

class TControl;
class TLvXPCustomControl;

enum TLvXPGradientStyle : std::uint8_t { gsLeft, gsTop, gsRight, gsBottom };

// The number of bands, 2..255; smaller values are taken as 2.
using TLvXPGradientColors = std::uint8_t;

// The dithering's pseudo-random seed, shared by every gradient of the program and 0 at start, so
// dither patterns depend on the renders made before. Exposed so a run can be reproduced.
std::uint32_t LvXPGradientRandomSeed();
void SetLvXPGradientRandomSeed(std::uint32_t seed);

// Renders a gradient of `colors` bands into `bitmap`, resizing it to width x height (24 bits per
// pixel). gsLeft/gsRight bands follow each other from left to right, gsTop/gsBottom from top to
// bottom; gsRight and gsBottom run from endColor to startColor. When dithered, the previous band's
// colour is scattered into the start of each band. Sizes of 0 or less leave the bitmap untouched.
void LvXPCreateGradientRect(std::int32_t width, std::int32_t height, TColor startColor, TColor endColor,
                            TLvXPGradientColors colors, TLvXPGradientStyle style, bool dithered,
                            TBitmap& bitmap);

// A gradient description owned by an XP control, rendered at the control's size into BandBitmap.
// Changing a property re-renders the bands and asks the owner to redraw.
class TLvXPGradient : public TPersistent {
public:
    explicit TLvXPGradient(TLvXPCustomControl* owner);
    ~TLvXPGradient() override;
    TLvXPGradient(const TLvXPGradient&) = delete;
    TLvXPGradient& operator=(const TLvXPGradient&) = delete;

    TLvXPGradientColors Colors() const { return colors_; }
    bool Dithered() const { return dithered_; }
    // Whether the owner draws the gradient; the owner reads it.
    bool Enabled() const { return enabled_; }
    TColor EndColor() const { return endColor_; }
    TColor StartColor() const { return startColor_; }
    TLvXPGradientStyle Style() const { return style_; }
    TLvXPCustomControl* OwnerControl() const { return owner_; }
    TBitmap* BandBitmap() const { return bandBitmap_.get(); }

    virtual void SetDithered(bool value);
    virtual void SetColors(TLvXPGradientColors value);
    virtual void SetEnabled(bool value);
    virtual void SetEndColor(TColor value);
    virtual void SetGradientStyle(TLvXPGradientStyle value);
    virtual void SetStartColor(TColor value);
    // Renders the bands at the owner's current size (the owner calls it when it is resized).
    virtual void RecreateBands();

private:
    void ChangedAndRedraw();

    TLvXPGradientColors colors_ = 16;
    bool dithered_ = true;
    bool enabled_ = false;
    TColor endColor_ = clSilver;
    TColor startColor_ = clGray;
    TLvXPGradientStyle style_ = gsLeft;
    TLvXPCustomControl* owner_;
    std::unique_ptr<TBitmap> bandBitmap_;
};

// Measures (DT_CALCRECT) or draws a caption in `rect` with `font`. An empty caption is measured
// as one blank, and so is a lone "&" when accelerators are shown; without showAccelChar "&" is
// plain text. A disabled caption is embossed: a button-highlight copy one pixel right and down,
// the button-shadow text on top. Measuring leaves `rect` as one measurement would.
void LvXPRenderText(const TControl* parent, TCanvas& canvas, std::string text, const TFont& font,
                    bool enabled, bool showAccelChar, TRect& rect, std::uint32_t flags);

// Turns every pixel into a light grey: v = (R + G + B) div 3 + 100, at most 255.
void LvXPConvertToGray2(TBitmap& bitmap);

// A line with the canvas pen from (x1, y1) up to, not including, (x2, y2).
void LvXPDrawLine(TCanvas& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
