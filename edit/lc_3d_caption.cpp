#include "edit/lc_3d_caption.h"

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

    // Restores the canvas's settings however drawing ends.
    struct Restore {
        TCanvas& canvas;
        TColor colour;
        bool transparent;
        std::int32_t extra;
        ~Restore() {
            canvas.Font()->SetColor(colour);
            canvas.BackgroundTransparent = transparent;
            canvas.TextCharacterExtra = extra;
        }
    } restore{canvas, fontColor, canvas.BackgroundTransparent, canvas.TextCharacterExtra};
    canvas.BackgroundTransparent = true;
    canvas.TextCharacterExtra = tracing_;

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
