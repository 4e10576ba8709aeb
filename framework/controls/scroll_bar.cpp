#include "framework/controls/scroll_bar.h"

#include "framework/graphics/draw_edge.h"

#include <algorithm>
#include <utility>

std::int32_t TControlScrollBar::Size() const { return MulDiv(kSize, dpi_, 96); }

std::int32_t TControlScrollBar::MinThumb() const { return MulDiv(kMinThumb, dpi_, 96); }

std::int32_t TControlScrollBar::LineWidth() const { return std::max(1, dpi_ / 96); }

// Arrows share a bar too short for both equally.
std::int32_t TControlScrollBar::ArrowLength() const { return std::min(Size(), Length() / 2); }

std::int32_t TControlScrollBar::TrackStart() const { return Start() + ArrowLength(); }

std::int32_t TControlScrollBar::TrackLength() const { return std::max(0, Length() - 2 * ArrowLength()); }

TRect TControlScrollBar::TrackRect() const { return Span(TrackStart(), TrackStart() + TrackLength()); }

std::int32_t TControlScrollBar::ThumbLength() const {
    const std::int32_t track = TrackLength();
    const std::int32_t minThumb = MinThumb();
    if (range_ <= 0 || track < minThumb) return 0; // no room: the arrows alone scroll
    const auto share = static_cast<std::int32_t>(static_cast<std::int64_t>(track) * page_ / range_);
    return std::clamp(share, minThumb, track);
}

std::int32_t TControlScrollBar::ThumbOffset() const {
    const std::int32_t free = TrackLength() - ThumbLength();
    const std::int32_t maxPos = MaxPosition();
    if (maxPos <= 0 || free <= 0) return 0;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(position_) * free / maxPos);
}

TRect TControlScrollBar::Span(std::int32_t from, std::int32_t to) const {
    if (kind_ == sbHorizontal) return {from, bounds_.Top, to, bounds_.Bottom};
    return {bounds_.Left, from, bounds_.Right, to};
}

TRect TControlScrollBar::PartRect(Part part) const {
    const std::int32_t start = Start();
    const std::int32_t end = start + Length();
    const std::int32_t arrow = ArrowLength();
    const std::int32_t trackStart = TrackStart();
    const std::int32_t thumbStart = trackStart + ThumbOffset();
    const std::int32_t thumbEnd = thumbStart + ThumbLength();
    switch (part) {
    case Part::LineBack: return Span(start, trackStart);
    case Part::LineForward: return Span(end - arrow, end);
    case Part::PageBack: return ThumbLength() > 0 ? Span(trackStart, thumbStart) : TRect{};
    case Part::PageForward: return ThumbLength() > 0 ? Span(thumbEnd, end - arrow) : TRect{};
    case Part::Thumb: return ThumbLength() > 0 ? Span(thumbStart, thumbEnd) : TRect{};
    case Part::None: break;
    }
    return {};
}

TControlScrollBar::Part TControlScrollBar::HitTest(TPoint p) const {
    if (!visible_ || !bounds_.Contains(p)) return Part::None;
    for (Part part : {Part::LineBack, Part::LineForward, Part::Thumb, Part::PageBack, Part::PageForward})
        if (PartRect(part).Contains(p)) return part;
    return Part::None;
}

void TControlScrollBar::ScrollBy(std::int32_t delta) {
    const std::int32_t target = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(static_cast<std::int64_t>(position_) + delta, 0, MaxPosition()));
    if (target != position_ && OnScroll) OnScroll(target);
}

void TControlScrollBar::Step(Part part) {
    switch (part) {
    case Part::LineBack: ScrollBy(-Increment); break;
    case Part::LineForward: ScrollBy(Increment); break;
    case Part::PageBack: ScrollBy(-std::max(1, page_)); break;
    case Part::PageForward: ScrollBy(std::max(1, page_)); break;
    default: break;
    }
}

bool TControlScrollBar::Press(TPoint p) {
    const Part part = HitTest(p);
    if (part == Part::None) return false;
    pressed_ = part;
    lastPointer_ = p;
    if (part == Part::Thumb)
        dragGrip_ = Along(p) - (TrackStart() + ThumbOffset());
    else
        Step(part);
    return true;
}

void TControlScrollBar::Drag(TPoint p) {
    lastPointer_ = p;
    if (pressed_ != Part::Thumb) return;
    const std::int32_t free = TrackLength() - ThumbLength();
    if (free <= 0) return;
    const std::int32_t offset = Along(p) - dragGrip_ - TrackStart();
    const std::int64_t target = static_cast<std::int64_t>(std::clamp(offset, 0, free)) * MaxPosition() / free;
    ScrollBy(static_cast<std::int32_t>(target) - position_);
}

void TControlScrollBar::Release() { pressed_ = Part::None; }

bool TControlScrollBar::IsPressed(Part part) const {
    // The thumb looks pressed for the whole drag; the other parts only while the pointer is on them.
    return pressed_ == part && (part == Part::Thumb || HitTest(lastPointer_) == part);
}

void TControlScrollBar::Repeat() {
    if (pressed_ == Part::None || pressed_ == Part::Thumb) return;
    // A track click repeats only until the thumb reaches the pointer.
    if (HitTest(lastPointer_) == pressed_) Step(pressed_);
}

namespace {

// An arrow of four rows (1, 3, 5 and 7 pixels) pointing along `kind`, backwards or forwards; each
// pixel an f x f square.
void DrawArrow(TCanvas& c, const TRect& button, TScrollBarKind kind, bool forward, bool pressed,
               std::int32_t f) {
    const std::int32_t shift = pressed ? f : 0;
    const std::int32_t cx = (button.Left + button.Right) / 2 + shift;
    const std::int32_t cy = (button.Top + button.Bottom) / 2 + shift;
    c.Brush()->SetColor(clBtnText);
    for (std::int32_t row = 0; row < 4; ++row) {
        const std::int32_t along = (forward ? 1 - row : row - 2) * f; // the tip is the first row
        if (kind == sbVertical)
            c.FillRect({cx - row * f, cy + along, cx + (row + 1) * f, cy + along + f});
        else
            c.FillRect({cx + along, cy - row * f, cx + along + f, cy + (row + 1) * f});
    }
}

// The classic track: every other pixel light, the rest the face colour.
void DrawTrack(TCanvas& c, const TRect& r, bool pressed) {
    if (r.IsEmpty()) return;
    c.Brush()->SetColor(pressed ? clBtnShadow : clBtnFace);
    c.FillRect(r);
    if (pressed) return;
    const TColor light = clBtnHighlight;
    for (std::int32_t y = r.Top; y < r.Bottom; ++y)
        for (std::int32_t x = r.Left + ((r.Left + y) & 1); x < r.Right; x += 2) c.SetPixel(x, y, light);
}

} // namespace

bool TControlScrollBar::PaintThemed(TCanvas& c) const {
    // The theme's scroll bar parts: arrow buttons (states by direction, 4 each), thumbs and the track
    // before and after the thumb, per direction.
    constexpr int kArrow = 1, kThumbHorz = 2, kThumbVert = 3, kLowerTrackHorz = 4, kUpperTrackHorz = 5,
                  kLowerTrackVert = 6, kUpperTrackVert = 7;
    constexpr int kNormal = 1, kPressed = 3;
    const bool vertical = kind_ == sbVertical;
    const auto state = [this](Part part) { return IsPressed(part) ? kPressed : kNormal; };
    const TRect back = PartRect(Part::LineBack);
    const int backBase = vertical ? 0 : 8;
    if (!c.DrawThemePart(back, "SCROLLBAR", kArrow, backBase + state(Part::LineBack))) return false;
    c.DrawThemePart(PartRect(Part::LineForward), "SCROLLBAR", kArrow,
                    backBase + 4 + state(Part::LineForward));
    if (ThumbLength() == 0) {
        if (const TRect track = TrackRect(); !track.IsEmpty())
            c.DrawThemePart(track, "SCROLLBAR", vertical ? kLowerTrackVert : kLowerTrackHorz, kNormal);
        return true;
    }
    for (const auto& [part, themePart] :
         {std::pair{Part::PageBack, vertical ? kUpperTrackVert : kUpperTrackHorz},
          std::pair{Part::PageForward, vertical ? kLowerTrackVert : kLowerTrackHorz}})
        if (const TRect r = PartRect(part); !r.IsEmpty())
            c.DrawThemePart(r, "SCROLLBAR", themePart, state(part));
    c.DrawThemePart(PartRect(Part::Thumb), "SCROLLBAR", vertical ? kThumbVert : kThumbHorz,
                    state(Part::Thumb));
    return true;
}

void TControlScrollBar::Paint(TCanvas& c) const {
    if (!visible_ || bounds_.IsEmpty()) return;
    if (PaintThemed(c)) return;
    for (Part arrow : {Part::LineBack, Part::LineForward}) {
        TRect r = PartRect(arrow);
        const bool down = IsPressed(arrow);
        c.Brush()->SetColor(clBtnFace);
        c.FillRect(r);
        TRect edge = r;
        DrawEdge(c, edge, down ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | (down ? BF_FLAT : 0u), LineWidth());
        DrawArrow(c, r, kind_, arrow == Part::LineForward, down, LineWidth());
    }
    if (ThumbLength() == 0) {
        DrawTrack(c, TrackRect(), false);
        return;
    }
    DrawTrack(c, PartRect(Part::PageBack), IsPressed(Part::PageBack));
    DrawTrack(c, PartRect(Part::PageForward), IsPressed(Part::PageForward));
    TRect thumb = PartRect(Part::Thumb);
    DrawEdge(c, thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE, LineWidth());
}
