// TControlScrollBar: one of a scrolling window's two scroll bars, drawn by the toolkit in the classic
// look (arrow buttons at both ends, a dithered track and a raised thumb sized to the visible share).
// Where a visual theme is active, its scroll bar parts are drawn instead. The window places it, tells it the
// range and the visible extent, and scrolls its children when the bar reports a new position.
#pragma once

#include "framework/graphics/canvas.h"

#include <functional>

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };

class TControlScrollBar {
public:
    enum class Part : std::uint8_t { None, LineBack, LineForward, PageBack, PageForward, Thumb };
    static constexpr std::int32_t kSize = 16;      // thickness, and the side of an arrow button, at 96 dpi
    static constexpr std::int32_t kMinThumb = 8;   // the thumb never gets shorter (at 96 dpi)
    static constexpr std::int32_t kWheelLines = 3; // lines scrolled per wheel notch

    explicit TControlScrollBar(TScrollBarKind kind) : kind_(kind) {}

    TScrollBarKind Kind() const { return kind_; }
    // The window's pixel density: the bar's thickness and thumb scale exactly, its lines and arrow
    // pixels by the scale's whole part.
    void SetDpi(std::int32_t dpi) { dpi_ = dpi > 0 ? dpi : 96; }
    std::int32_t Size() const;
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    // The extent of the scrolled contents and the extent the window shows of it.
    std::int32_t Range() const { return range_; }
    void SetRange(std::int32_t value) { range_ = value; }
    std::int32_t Page() const { return page_; }
    void SetPage(std::int32_t value) { page_ = value; }
    std::int32_t Position() const { return position_; }
    std::int32_t MaxPosition() const { return range_ > page_ ? range_ - page_ : 0; }
    // Pixels per arrow click.
    std::int32_t Increment = 8;
    // Where the bar lies in the window's area (its client area plus the bars).
    const TRect& BoundsRect() const { return bounds_; }
    void SetBoundsRect(const TRect& r) { bounds_ = r; }

    // Asked to move to a new position (already clamped); the window scrolls and calls SetPosition.
    std::function<void(std::int32_t position)> OnScroll;
    void SetPosition(std::int32_t value) { position_ = value; }
    // Moves by `delta` pixels, clamped, through OnScroll.
    void ScrollBy(std::int32_t delta);

    Part HitTest(TPoint p) const;
    TRect PartRect(Part part) const;
    void Paint(TCanvas& canvas) const;

    // Mouse work while the left button is on the bar. Press returns false when p misses the bar.
    bool Press(TPoint p);
    void Drag(TPoint p);
    void Release();
    bool Tracking() const { return pressed_ != Part::None; }
    // One more step of the held arrow or track part, while the pointer is still over it.
    void Repeat();

private:
    std::int32_t Along(TPoint p) const { return kind_ == sbHorizontal ? p.X : p.Y; }
    std::int32_t Start() const { return kind_ == sbHorizontal ? bounds_.Left : bounds_.Top; }
    std::int32_t Length() const { return kind_ == sbHorizontal ? bounds_.Width() : bounds_.Height(); }
    // The arrows' length, the track between them, and the thumb's offset and length on it.
    std::int32_t ArrowLength() const;
    std::int32_t MinThumb() const;
    std::int32_t LineWidth() const;
    std::int32_t TrackStart() const;
    std::int32_t TrackLength() const;
    TRect TrackRect() const;
    std::int32_t ThumbLength() const;
    std::int32_t ThumbOffset() const;
    TRect Span(std::int32_t from, std::int32_t to) const;
    void Step(Part part);
    bool IsPressed(Part part) const;
    // Draws the bar with the active visual theme's parts; false, with nothing drawn, where none is.
    bool PaintThemed(TCanvas& canvas) const;

    TScrollBarKind kind_;
    std::int32_t dpi_ = 96;
    bool visible_ = false;
    std::int32_t range_ = 0;
    std::int32_t page_ = 0;
    std::int32_t position_ = 0;
    TRect bounds_;
    Part pressed_ = Part::None;
    TPoint lastPointer_;
    std::int32_t dragGrip_ = 0; // pointer offset inside the thumb when the drag began
};
