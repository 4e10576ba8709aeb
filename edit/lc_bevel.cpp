#include "edit/lc_bevel.h"

#include "framework/graphics/draw_edge.h"

#include <algorithm>

std::int32_t StandardFrameWidth(TLcBorderStyle style) {
    switch (style) {
    case lsNone: return 0;
    case lsSingle:
    case lsSingleRaised:
    case lsSingleLowered: return 1;
    default: return 2;
    }
}

std::uint32_t StandardFrameEdge(TLcBorderStyle style, std::uint32_t& flags) {
    switch (style) {
    case lsSingle: flags |= BF_MONO; return BDR_OUTER;
    case lsSingleRaised: return BDR_RAISEDINNER;
    case lsSingleLowered: return BDR_SUNKENOUTER;
    case lsRaisedspb: flags |= BF_SOFT; return EDGE_RAISED;
    case lsLoweredspb: flags |= BF_SOFT; return EDGE_SUNKEN;
    case lsRaised:
    case lsRaisedExt:
    case lsDoubleRaised: return EDGE_RAISED;
    case lsLowered:
    case lsLoweredExt:
    case lsDoubleLowered: return EDGE_SUNKEN;
    case lsFrameInset: return EDGE_ETCHED;
    case lsFrameOffset: return EDGE_BUMP;
    case lsWindowBorder: flags |= BF_MONO; return BDR_OUTER | BDR_INNER;
    case lsNone: break;
    }
    return 0;
}

namespace {

bool IsFrameStyle(TLcBevelStyle s) { return s == bvFrameLowered || s == bvFrameRaised; }

std::uint32_t EdgeOf(TLcEdgeStyle style) {
    switch (style) {
    case etRaisedInner: return BDR_RAISEDINNER;
    case etRaisedOuter: return BDR_RAISEDOUTER;
    case etSunkenInner: return BDR_SUNKENINNER;
    case etSunkenOuter: return BDR_SUNKENOUTER;
    case etBump: return EDGE_BUMP;
    case etEtched: return EDGE_ETCHED;
    case etRaised: return EDGE_RAISED;
    case etSunken: return EDGE_SUNKEN;
    }
    return 0;
}

std::uint32_t EdgeSides(TLcFrameSides sides) {
    std::uint32_t flags = 0;
    if (sides & FrameSideBit(fsLeft)) flags |= BF_LEFT;
    if (sides & FrameSideBit(fsTop)) flags |= BF_TOP;
    if (sides & FrameSideBit(fsRight)) flags |= BF_RIGHT;
    if (sides & FrameSideBit(fsBottom)) flags |= BF_BOTTOM;
    return flags;
}

// `count` rings, top-left in one colour and bottom-right in another; the rectangle shrinks.
void Rings(TCanvas& canvas, TRect& r, int count, TColor topLeft, TColor bottomRight) {
    for (int i = 0; i < count && !r.IsEmpty(); ++i) {
        canvas.Brush()->SetColor(topLeft);
        canvas.FillRect({r.Left, r.Top, r.Right - 1, r.Top + 1});
        canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom - 1});
        canvas.Brush()->SetColor(bottomRight);
        canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
        canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
}

TRect Inset(const TRect& r, std::int32_t n) { return {r.Left + n, r.Top + n, r.Right - n, r.Bottom - n}; }

// One 3D frame of a custom bevel, `width` lines of `line` pixels each.
void Frame3D(TCanvas& canvas, TRect& r, TLcBevelStyle style, int width, int line, TColor shadow,
             TColor light) {
    width *= line;
    switch (style) {
    case bvLowered: Rings(canvas, r, width, shadow, light); break;
    case bvRaised: Rings(canvas, r, width, light, shadow); break;
    case bvFrameLowered:
        Rings(canvas, r, line, shadow, light);
        Rings(canvas, r, width, light, shadow);
        break;
    case bvFrameRaised:
        Rings(canvas, r, line, light, shadow);
        Rings(canvas, r, width, shadow, light);
        break;
    case bvNormal: Rings(canvas, r, width, shadow, shadow); break;
    case bvNone:
    case bvShadow: break;
    }
}

} // namespace

void TLcBevel::SetStyleInner(TLcBevelStyle value) {
    if (value == styleInner_) return;
    if (value == bvShadow)
        styleOuter_ = bvShadow;
    else if (styleInner_ == bvShadow)
        styleOuter_ = bvNone;
    styleInner_ = value;
    Change();
}

void TLcBevel::SetStyleOuter(TLcBevelStyle value) {
    if (value == styleOuter_) return;
    if (value == bvShadow)
        styleInner_ = bvShadow;
    else if (styleOuter_ == bvShadow)
        styleInner_ = bvNone;
    styleOuter_ = value;
    Change();
}

void TLcBevel::SetWidthInner(std::uint8_t value) { Store(widthInner_, std::min(value, kMaxFrameWidth)); }
void TLcBevel::SetWidthOuter(std::uint8_t value) { Store(widthOuter_, std::min(value, kMaxFrameWidth)); }
void TLcBevel::SetBorderColor(TColor value) { Store(borderColor_, value); }
void TLcBevel::SetBorderInnerWidth(std::uint8_t value) { Store(borderInnerWidth_, value); }
void TLcBevel::SetBorderWidth(std::uint8_t value) { Store(borderWidth_, value); }
void TLcBevel::SetBorderSides(TLcFrameSides value) {
    Store(borderSides_, static_cast<TLcFrameSides>(value & kAllFrameSides));
}
void TLcBevel::SetEdgeStyle(TLcEdgeStyle value) { Store(edgeStyle_, value); }
void TLcBevel::SetLightColor(TColor value) { Store(lightColor_, value); }
void TLcBevel::SetMode(TLcBevelMode value) { Store(mode_, value); }
void TLcBevel::SetShadowColor(TColor value) { Store(shadowColor_, value); }
void TLcBevel::SetWindowBorder(bool value) { Store(windowBorder_, value); }
void TLcBevel::SetLineWidth(std::int32_t value) { Store(lineWidth_, std::clamp(value, 1, 16)); }

void TLcBevel::SetStandardStyle(TLcBorderStyle value) {
    if (value == standardStyle_) return;
    standardStyle_ = value;
    if (mode_ == bmStandard) Change();
}

void TLcBevel::Change() {
    ext_ = GetBevelExtend();
    extr_ = IsShadowFrame() ? (widthInner_ + widthOuter_ + borderInnerWidth_) * lineWidth_ : ext_;
    NotifyOwner();
}

std::int32_t TLcBevel::GetBevelExtend() const {
    // Counted in frame lines, each lineWidth_ pixels wide.
    std::int32_t lines = 0;
    switch (mode_) {
    case bmCustom:
        if (styleInner_ == bvShadow) {
            lines = widthInner_ + borderInnerWidth_;
            break;
        }
        lines = borderWidth_ + borderInnerWidth_;
        if (styleOuter_ != bvNone) lines += widthOuter_ + (IsFrameStyle(styleOuter_) ? 1 : 0);
        if (styleInner_ != bvNone) lines += widthInner_ + (IsFrameStyle(styleInner_) ? 1 : 0);
        break;
    case bmStandard: lines = StandardFrameWidth(standardStyle_) + borderInnerWidth_; break;
    case bmEdge: lines = (borderSides_ != 0 ? 2 : 0) + borderInnerWidth_; break;
    case bmWindows: lines = windowBorder_ ? 0 : borderInnerWidth_ + 2; break;
    }
    return lines * lineWidth_;
}

TRect TLcBevel::ClientRect(const TRect& rect) const {
    if (IsShadowFrame()) {
        const std::int32_t lt = (widthInner_ + borderInnerWidth_) * lineWidth_;
        const std::int32_t rb = (widthInner_ + widthOuter_ + borderInnerWidth_) * lineWidth_;
        return {rect.Left + lt, rect.Top + lt, rect.Right - rb, rect.Bottom - rb};
    }
    return Inset(rect, ext_);
}

void TLcBevel::PaintCustom(TCanvas& canvas, TRect& r, bool transparent) const {
    const int line = lineWidth_;
    if (styleOuter_ == bvShadow) {
        // A frame with a drop shadow of WidthOuter lines below and to the right of it.
        const std::int32_t shadow = widthOuter_ * line;
        const TRect frame{r.Left, r.Top, r.Right - shadow, r.Bottom - shadow};
        canvas.Brush()->SetColor(shadowColor_);
        canvas.FillRect({frame.Right, r.Top + shadow, r.Right, r.Bottom});
        canvas.FillRect({r.Left + shadow, frame.Bottom, r.Right, r.Bottom});
        TRect f = frame;
        Rings(canvas, f, widthInner_ * line, shadowColor_, shadowColor_);
        r = f;
        return;
    }
    Frame3D(canvas, r, styleOuter_, widthOuter_, line, shadowColor_, lightColor_);
    if (transparent)
        r = Inset(r, borderWidth_ * line);
    else
        Rings(canvas, r, borderWidth_ * line, borderColor_, borderColor_);
    Frame3D(canvas, r, styleInner_, widthInner_, line, shadowColor_, lightColor_);
}

void TLcBevel::PaintBevel(TCanvas& canvas, const TRect& rect, TRect& inner, bool transparent) const {
    TRect r = rect;
    const int line = lineWidth_;
    const TColor savedBrush = canvas.Brush()->Color();
    const TBrushStyle savedStyle = canvas.Brush()->Style();
    if (GetBevelExtend() != 0) {
        switch (mode_) {
        case bmCustom: PaintCustom(canvas, r, transparent); break;
        case bmStandard: {
            std::uint32_t flags = BF_RECT | BF_ADJUST;
            const std::uint32_t edge = StandardFrameEdge(standardStyle_, flags);
            if (edge != 0) DrawEdge(canvas, r, edge, flags, line);
            break;
        }
        case bmEdge:
            if (borderSides_ != 0) {
                if (!transparent) {
                    // Sides without an edge still get their two-line band, in the current brush.
                    const std::int32_t band = 2 * line;
                    canvas.Brush()->SetStyle(bsSolid);
                    canvas.FillRect({r.Left, r.Top, r.Right, r.Top + band});
                    canvas.FillRect({r.Left, r.Bottom - band, r.Right, r.Bottom});
                    canvas.FillRect({r.Left, r.Top, r.Left + band, r.Bottom});
                    canvas.FillRect({r.Right - band, r.Top, r.Right, r.Bottom});
                }
                TRect e = r;
                DrawEdge(canvas, e, EdgeOf(edgeStyle_), EdgeSides(borderSides_), line);
                r = Inset(r, 2 * line);
            }
            break;
        case bmWindows:
            if (!windowBorder_) DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST, line);
            break;
        }
    }
    if (transparent) {
        r = Inset(r, borderInnerWidth_ * line);
    } else {
        canvas.Brush()->SetStyle(bsSolid);
        Rings(canvas, r, borderInnerWidth_ * line, borderColor_, borderColor_);
    }
    canvas.Brush()->SetColor(savedBrush);
    canvas.Brush()->SetStyle(savedStyle);
    inner = r;
}

void TLcBevel::Assign(const TLcBevel& source) {
    styleInner_ = source.styleInner_;
    styleOuter_ = source.styleOuter_;
    widthInner_ = source.widthInner_;
    widthOuter_ = source.widthOuter_;
    borderColor_ = source.borderColor_;
    borderInnerWidth_ = source.borderInnerWidth_;
    borderWidth_ = source.borderWidth_;
    borderSides_ = source.borderSides_;
    edgeStyle_ = source.edgeStyle_;
    lightColor_ = source.lightColor_;
    mode_ = source.mode_;
    shadowColor_ = source.shadowColor_;
    standardStyle_ = source.standardStyle_;
    windowBorder_ = source.windowBorder_;
    Change();
}
