#include "framework/graphics/draw_edge.h"

#include <algorithm>

namespace {

struct RingColours {
    TColor topLeft;
    TColor bottomRight;
};

void FillBand(TCanvas& canvas, TColor colour, const TRect& band) {
    if (band.IsEmpty()) return;
    canvas.Brush()->SetColor(colour);
    canvas.FillRect(band);
}

// One ring one pixel wide on the chosen sides; the rectangle shrinks on each side drawn.
void DrawThinRing(TCanvas& canvas, TRect& r, RingColours colours, std::uint32_t sides) {
    if (r.IsEmpty()) return;
    if (sides & BF_TOP) FillBand(canvas, colours.topLeft, {r.Left, r.Top, r.Right - 1, r.Top + 1});
    if (sides & BF_LEFT) FillBand(canvas, colours.topLeft, {r.Left, r.Top, r.Left + 1, r.Bottom - 1});
    if (sides & BF_BOTTOM) FillBand(canvas, colours.bottomRight, {r.Left, r.Bottom - 1, r.Right, r.Bottom});
    if (sides & BF_RIGHT) FillBand(canvas, colours.bottomRight, {r.Right - 1, r.Top, r.Right, r.Bottom});
    if (sides & BF_LEFT) ++r.Left;
    if (sides & BF_TOP) ++r.Top;
    if (sides & BF_RIGHT) --r.Right;
    if (sides & BF_BOTTOM) --r.Bottom;
}

// A ring `thickness` pixels wide: that many one-pixel rings, so the corners keep their split.
void DrawRing(TCanvas& canvas, TRect& r, RingColours colours, std::uint32_t sides, int thickness) {
    for (int i = 0; i < thickness; ++i) DrawThinRing(canvas, r, colours, sides);
}

} // namespace

bool DrawEdge(TCanvas& canvas, TRect& rect, std::uint32_t edge, std::uint32_t flags, int thickness) {
    if (rect.IsEmpty() || (edge & (BDR_OUTER | BDR_INNER)) == 0) return false;
    const TBrushStyle savedStyle = canvas.Brush()->Style();
    const TColor savedColour = canvas.Brush()->Color();
    canvas.Brush()->SetStyle(bsSolid);
    const std::uint32_t sides = flags & BF_RECT;
    TRect r = rect;
    thickness = std::max(1, thickness);
    if (flags & (BF_MONO | BF_FLAT)) {
        const TColor c = (flags & BF_MONO) ? clWindowFrame : clBtnShadow;
        DrawRing(canvas, r, {c, c}, sides, thickness);
        if ((edge & BDR_OUTER) && (edge & BDR_INNER)) {
            const TColor inner = (flags & BF_MONO) ? clWindow : clBtnFace;
            DrawRing(canvas, r, {inner, inner}, sides, thickness);
        }
    } else {
        if (edge & BDR_RAISEDOUTER)
            DrawRing(canvas, r, {cl3DLight, cl3DDkShadow}, sides, thickness);
        else if (edge & BDR_SUNKENOUTER)
            DrawRing(canvas, r, {clBtnShadow, clBtnHighlight}, sides, thickness);
        if (edge & BDR_RAISEDINNER)
            DrawRing(canvas, r, {clBtnHighlight, clBtnShadow}, sides, thickness);
        else if (edge & BDR_SUNKENINNER)
            DrawRing(canvas, r, {cl3DDkShadow, cl3DLight}, sides, thickness);
    }
    if ((flags & BF_MIDDLE) && !r.IsEmpty()) FillBand(canvas, clBtnFace, r);
    canvas.Brush()->SetColor(savedColour);
    canvas.Brush()->SetStyle(savedStyle);
    if (flags & BF_ADJUST) rect = r;
    return true;
}
