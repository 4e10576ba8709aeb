#include "edit/lc_3d_caption.h"

#include "framework/core/temporary_change.h"

void TLc3DCaption::Assign(const TLc3DCaption& source) {
    disabledStyle_ = source.disabledStyle_;
    lightDepth_ = source.lightDepth_;
    shadowDepth_ = source.shadowDepth_;
    lightColor_ = source.lightColor_;
    shadowColor_ = source.shadowColor_;
    style_ = source.style_;
    tracing_ = source.tracing_;
    if (OnChange) OnChange(this);
}

std::int32_t TLc3DCaption::DepthA() const {
    switch (style_) {
    case tdRaised:
    case tdRaisedShadow:
    case tdExtrudeEnh: return lightDepth_;
    case tdSunkenShadow:
    case tdExtrude: return shadowDepth_;
    default: return 0;
    }
}

std::int32_t TLc3DCaption::DepthB() const {
    switch (style_) {
    case tdSunken:
    case tdSunkenShadow: return lightDepth_;
    case tdRaisedShadow:
    case tdExtrudeEnh: return shadowDepth_;
    default: return 0;
    }
}

void TLc3DCaption::DrawText(TCanvas& canvas, const std::string& s, const TRect& rect,
                            TLcDrawTextStyle state) const {
    if (s.empty() || rect.IsEmpty()) return;
    const TColor fontColor = canvas.Font()->Color();
    const bool plainColour = state == dtEnabled || disabledStyle_ == dsNone;
    const TColor colour = plainColour ? fontColor : clGrayText;
    const TLcThreeDStyle style = !plainColour && disabledStyle_ == ds3d ? tdSunken : style_;

    // The canvas's settings come back however drawing ends.
    const TemporaryChange<bool> transparent(canvas.BackgroundTransparent, true);
    const TemporaryChange<std::int32_t> spacing(canvas.TextCharacterExtra, tracing_);
    struct RestoreFontColour {
        TCanvas& canvas;
        TColor colour;
        ~RestoreFontColour() { canvas.Font()->SetColor(colour); }
    } restoreColour{canvas, fontColor};

    auto draw = [&](std::int32_t dx, std::int32_t dy, TColor c) {
        const TRect r = rect.Offset(dx, dy);
        canvas.Font()->SetColor(c);
        ClipNarrowing clip(canvas.Handle(), r);
        canvas.TextOut(r.Left, r.Top, s);
    };
    const std::int32_t depth = lightDepth_;
    switch (style) {
    case tdSunken:
        draw(depth, depth, lightColor_);
        draw(0, 0, colour);
        break;
    case tdRaised:
        draw(0, 0, lightColor_);
        draw(depth, depth, colour);
        break;
    default:
        // FIXME: the shadow, outline and extrusion looks are drawn as plain text; no control of this
        // program uses them.
        draw(0, 0, colour);
        break;
    }
}
