// TLc3DCaption: the text effects of the custom-drawn controls (a light or shadow copy offset from
// the text, character spacing, the disabled look) and the routine that draws text with them.
#pragma once

#include "framework/core/component.h"
#include "framework/graphics/canvas.h"

#include <cstdint>
#include <string>

enum TLcDisabledStyle : std::uint8_t { dsAuto, dsStandard, ds3d, dsNone };
enum TLcThreeDStyle : std::uint8_t {
    tdNone,
    tdSunken,
    tdRaised,
    tdSunkenShadow,
    tdRaisedShadow,
    tdPColorSunken,
    tdPColorRaised,
    tdShadow,
    tdOutline,
    tdExtrude,
    tdExtrudeEnh
};
enum TLcThreeDOrientation : std::uint8_t { toBottomLeft, toBottomRight, toTopLeft, toTopRight };
enum TLcDrawTextStyle : std::uint8_t { dtEnabled, dtDisabled };

class TLc3DCaption : public TPersistent {
public:
    TLcDisabledStyle DisabledStyle() const { return disabledStyle_; }
    void SetDisabledStyle(TLcDisabledStyle value) { Store(disabledStyle_, value); }
    std::uint8_t LightDepth() const { return lightDepth_; }
    void SetLightDepth(std::uint8_t value) { Store(lightDepth_, value); }
    std::uint8_t ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(std::uint8_t value) { Store(shadowDepth_, value); }
    TColor LightColor() const { return lightColor_; }
    void SetLightColor(TColor value) { Store(lightColor_, value); }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value) { Store(shadowColor_, value); }
    TLcThreeDStyle Style() const { return style_; }
    void SetStyle(TLcThreeDStyle value) { Store(style_, value); }
    TLcThreeDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TLcThreeDOrientation value) { Store(orientation_, value); }
    // Extra pixels between characters.
    std::int32_t Tracing() const { return tracing_; }
    void SetTracing(std::int32_t value) { Store(tracing_, value); }

    // Reported to the owner after every change.
    TNotifyEvent OnChange;

    // Copies every setting but Orientation, then reports a change.
    void Assign(const TLc3DCaption& source);

    // The depth offsets an edit gives its selection box: A shifts the box and the selected text to
    // the right, B widens it further; both make it taller.
    std::int32_t DepthA() const;
    std::int32_t DepthB() const;

    // Draws s into rect (clipped to it, left- and top-aligned, single line, transparent) in the
    // canvas's font colour, or grey when disabled.
    void DrawText(TCanvas& canvas, const std::string& s, const TRect& rect, TLcDrawTextStyle state) const;

private:
    template <typename T> void Store(T& field, T value) {
        if (field == value) return;
        field = value;
        if (OnChange) OnChange(this);
    }

    TLcDisabledStyle disabledStyle_ = dsAuto;
    std::uint8_t lightDepth_ = 1;
    std::uint8_t shadowDepth_ = 1;
    TColor lightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    TLcThreeDStyle style_ = tdNone;
    TLcThreeDOrientation orientation_ = toTopLeft;
    std::int32_t tracing_ = 0;
};
