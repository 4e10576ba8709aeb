// TCanvas: the toolkit's drawing surface, a software rasteriser over a DeviceContext.
#pragma once

#include "framework/core/messages.h"
#include "framework/graphics/device_context.h"
#include "framework/graphics/graphics_objects.h"

#include <memory>
#include <optional>
#include <string>

class TGraphic;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TFont* Font() const { return &font_; }
    TPen* Pen() const { return &pen_; }
    TBrush* Brush() const { return &brush_; }
    std::int32_t CopyMode = SRCCOPY;
    // The background mode of text: when set, TextOut leaves the character cells unfilled even with
    // a solid brush (the platform's transparent background mode).
    bool BackgroundTransparent = false;
    // Extra pixels after every character of text drawn or measured (spaced-out text).
    std::int32_t TextCharacterExtra = 0;
    TPoint PenPos;
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // The bound surface; binds one first (CreateHandle) and fails with "Canvas does not allow
    // drawing" when that leaves none.
    DeviceContext& Handle();
    bool HandleAllocated() const { return dc_.has_value(); }
    void SetHandle(std::optional<DeviceContext> dc);

    void Lock() { ++lockCount_; }
    void Unlock() {
        if (lockCount_ > 0) --lockCount_;
    }
    int LockCount() const { return lockCount_; }

    void MoveTo(std::int32_t x, std::int32_t y);
    // Draws with the pen from PenPos up to, not including, (x, y).
    void LineTo(std::int32_t x, std::int32_t y);
    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void Rectangle(const TRect& rect);
    // Outline with the pen (and inside with the brush unless it is clear), corners rounded by
    // ellipses of the given size; right and bottom exclusive.
    void RoundRect(const TRect& rect, std::int32_t ellipseWidth, std::int32_t ellipseHeight);
    // The dotted focus rectangle: every second pixel of the outline inverted, so drawing it twice
    // restores the picture.
    void DrawFocusRect(const TRect& rect);
    void TextOut(std::int32_t x, std::int32_t y, const std::string& text);
    // Text clipped to `rect`, with its top-left at (x, y).
    void TextRect(const TRect& rect, std::int32_t x, std::int32_t y, const std::string& text);
    std::int32_t TextWidth(const std::string& text);
    // Draws the platform theme's (class, part, state) background over rect; false where no theme
    // is active.
    bool DrawThemePart(const TRect& rect, const std::string& themeClass, int part, int state);
    std::int32_t TextHeight(const std::string& text);
    // Stretching copy of `source` on `sourceCanvas` onto `dest` here, with CopyMode.
    void CopyRect(const TRect& dest, TCanvas& sourceCanvas, const TRect& source);
    void Draw(std::int32_t x, std::int32_t y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    std::uint32_t Pixel(std::int32_t x, std::int32_t y); // as 0x00BBGGRR
    void SetPixel(std::int32_t x, std::int32_t y, TColor color);
    // The bounding rectangle of the clip, in logical coordinates.
    TRect ClipRect();

    // For graphics drawing themselves: copies pixels, stretched to `dest` (logical coordinates).
    void DrawPixels(const TRect& dest, const PixelSurface& pixels, bool transparent,
                    std::uint32_t transparentPixel);

protected:
    // Called when a drawing needs a surface and none is bound.
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();
    DeviceContext* BoundContext() { return dc_ ? &*dc_ : nullptr; }

private:
    void RequireSurface();
    void MarkDamage(const TRect& surfaceRect);
    TRect ToSurface(const TRect& r) const;

    // Held in place: a canvas is made for every drawing of the view, so it must not allocate.
    mutable TFont font_;
    mutable TPen pen_;
    mutable TBrush brush_;
    std::optional<DeviceContext> dc_;
    int lockCount_ = 0;
};
