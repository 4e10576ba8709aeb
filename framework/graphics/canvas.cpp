#include "framework/graphics/canvas.h"

#include "framework/core/exceptions.h"
#include "framework/graphics/bitmap.h"

TCanvas::TCanvas() = default;

TCanvas::~TCanvas() = default;

DeviceContext& TCanvas::Handle() {
    if (!dc_) CreateHandle();
    if (!dc_) throw EInvalidOperation(error_text::kNoCanvasHandle);
    return *dc_;
}

void TCanvas::SetHandle(std::optional<DeviceContext> dc) { dc_ = std::move(dc); }

void TCanvas::RequireSurface() {
    DeviceContext& dc = Handle();
    // Only the screen's own surface is not a pixel memory; nothing draws onto it here.
    if (dc.surface == nullptr) throw EInvalidOperation(error_text::kNoCanvasHandle);
}

TRect TCanvas::ToSurface(const TRect& r) const { return r.Offset(dc_->origin.X, dc_->origin.Y); }

void TCanvas::MarkDamage(const TRect& surfaceRect) {
    if (dc_->window == 0) return;
    TRect bounding;
    for (const TRect& c : dc_->clip) bounding = bounding.Union(c.Intersect(surfaceRect));
    window_damage::Add(dc_->window, bounding);
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::MoveTo(std::int32_t x, std::int32_t y) {
    Handle();
    PenPos = {x, y};
}

void TCanvas::LineTo(std::int32_t x, std::int32_t y) {
    Changing();
    RequireSurface();
    const TPoint from{PenPos.X + dc_->origin.X, PenPos.Y + dc_->origin.Y};
    const TPoint to{x + dc_->origin.X, y + dc_->origin.Y};
    if (pen_.Style() != psClear) {
        std::uint32_t pattern = 0;
        int length = 0;
        switch (pen_.Style()) {
        case psDash:
            pattern = 0x3FFFF;
            length = 24;
            break; // 18 on, 6 off
        case psDot:
            pattern = 0x7;
            length = 6;
            break; // 3 on, 3 off
        case psDashDot:
            pattern = 0x1FF | (0x7u << 15);
            length = 24;
            break;
        case psDashDotDot:
            pattern = 0x1FF | (0x7u << 12) | (0x7u << 18);
            length = 24;
            break;
        default: break;
        }
        const std::uint32_t pixel = ColorToPixel(pen_.Color());
        for (const TRect& c : dc_->clip) raster::Line(*dc_->surface, from, to, pixel, c, pattern, length);
        const TRect span{std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X) + 1,
                         std::max(from.Y, to.Y) + 1};
        MarkDamage(span);
    }
    PenPos = {x, y};
    Changed();
}

void TCanvas::FillRect(const TRect& rect) {
    Changing();
    RequireSurface();
    if (brush_.Style() != bsClear) {
        const TRect r = ToSurface(rect);
        const std::uint32_t pixel = ColorToPixel(brush_.Color());
        for (const TRect& c : dc_->clip) raster::FillRect(*dc_->surface, r, pixel, c);
        MarkDamage(r);
    }
    Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
    if (rect.IsEmpty()) return;
    Changing();
    RequireSurface();
    if (brush_.Style() != bsClear) {
        const TRect r = ToSurface(rect);
        const std::uint32_t pixel = ColorToPixel(brush_.Color());
        for (const TRect& c : dc_->clip) {
            raster::FillRect(*dc_->surface, {r.Left, r.Top, r.Right, r.Top + 1}, pixel, c);
            raster::FillRect(*dc_->surface, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, pixel, c);
            raster::FillRect(*dc_->surface, {r.Left, r.Top, r.Left + 1, r.Bottom}, pixel, c);
            raster::FillRect(*dc_->surface, {r.Right - 1, r.Top, r.Right, r.Bottom}, pixel, c);
        }
        MarkDamage(r);
    }
    Changed();
}

void TCanvas::Rectangle(const TRect& rect) {
    if (rect.IsEmpty()) return;
    // Interior with the brush, outline with the pen.
    FillRect({rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1});
    const TPoint saved = PenPos;
    MoveTo(rect.Left, rect.Top);
    LineTo(rect.Right - 1, rect.Top);
    LineTo(rect.Right - 1, rect.Bottom - 1);
    LineTo(rect.Left, rect.Bottom - 1);
    LineTo(rect.Left, rect.Top);
    PenPos = saved;
}

void TCanvas::RoundRect(const TRect& rect, std::int32_t ellipseWidth, std::int32_t ellipseHeight) {
    if (rect.Width() < 2 || rect.Height() < 2) return;
    Changing();
    RequireSurface();
    const TRect r = ToSurface(rect);
    // Corner cut: how far the straight edges stay from the corners (half the ellipse, rounded down).
    const std::int32_t cx = std::min(ellipseWidth / 2, r.Width() / 2);
    const std::int32_t cy = std::min(ellipseHeight / 2, r.Height() / 2);
    if (brush_.Style() != bsClear) {
        const std::uint32_t fill = ColorToPixel(brush_.Color());
        for (const TRect& c : dc_->clip) {
            raster::FillRect(*dc_->surface, {r.Left + cx, r.Top + 1, r.Right - cx, r.Bottom - 1}, fill, c);
            raster::FillRect(*dc_->surface, {r.Left + 1, r.Top + cy, r.Right - 1, r.Bottom - cy}, fill, c);
        }
    }
    if (pen_.Style() != psClear) {
        const std::uint32_t ink = ColorToPixel(pen_.Color());
        for (const TRect& c : dc_->clip) {
            PixelSurface& s = *dc_->surface;
            raster::FillRect(s, {r.Left + cx, r.Top, r.Right - cx, r.Top + 1}, ink, c);
            raster::FillRect(s, {r.Left + cx, r.Bottom - 1, r.Right - cx, r.Bottom}, ink, c);
            raster::FillRect(s, {r.Left, r.Top + cy, r.Left + 1, r.Bottom - cy}, ink, c);
            raster::FillRect(s, {r.Right - 1, r.Top + cy, r.Right, r.Bottom - cy}, ink, c);
            // The corners: a diagonal between the ends of the straight edges.
            raster::Line(s, {r.Left, r.Top + cy}, {r.Left + cx, r.Top}, ink, c);
            raster::Line(s, {r.Right - 1, r.Top + cy}, {r.Right - 1 - cx, r.Top}, ink, c);
            raster::Line(s, {r.Left, r.Bottom - 1 - cy}, {r.Left + cx, r.Bottom - 1}, ink, c);
            raster::Line(s, {r.Right - 1, r.Bottom - 1 - cy}, {r.Right - 1 - cx, r.Bottom - 1}, ink, c);
        }
    }
    MarkDamage(r);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
    if (rect.IsEmpty()) return;
    Changing();
    RequireSurface();
    const TRect r = ToSurface(rect);
    auto invert = [this](std::int32_t x, std::int32_t y) {
        for (const TRect& c : dc_->clip)
            if (c.Contains({x, y})) {
                dc_->surface->SetPixel(x, y, dc_->surface->Pixel(x, y) ^ 0xFFFFFFu);
                return;
            }
    };
    // Every second pixel, counted along the outline from the top-left corner.
    for (std::int32_t x = r.Left; x < r.Right; x += 2) invert(x, r.Top);
    for (std::int32_t y = r.Top + 1 + ((r.Width() + 1) % 2); y < r.Bottom; y += 2) invert(r.Right - 1, y);
    for (std::int32_t x = r.Left; x < r.Right - 1; x += 2) invert(x, r.Bottom - 1);
    for (std::int32_t y = r.Top + 2; y < r.Bottom - 1; y += 2) invert(r.Left, y);
    MarkDamage(r);
    Changed();
}

void TCanvas::TextOut(std::int32_t x, std::int32_t y, const std::string& text) {
    Changing();
    RequireSurface();
    Platform& p = CurrentPlatform();
    const FontSpec fontSpec = font_.Spec();
    const std::int32_t width = TextWidth(text);
    const std::int32_t height = p.GetFontMetrics(fontSpec).height;
    const TRect box = ToSurface(Bounds(x, y, width, height));
    if (brush_.Style() != bsClear && !BackgroundTransparent) {
        const std::uint32_t back = ColorToPixel(brush_.Color());
        for (const TRect& c : dc_->clip) raster::FillRect(*dc_->surface, box, back, c);
    }
    const std::uint32_t pixel = ColorToPixel(font_.Color());
    for (const TRect& c : dc_->clip) {
        if (TextCharacterExtra == 0) {
            p.RenderText(*dc_->surface, fontSpec, x + dc_->origin.X, y + dc_->origin.Y, text, pixel, c);
            continue;
        }
        // Spaced text: each character at its own place, the extra added after every one.
        std::int32_t offset = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::string_view one(&text[i], 1);
            p.RenderText(*dc_->surface, fontSpec, x + offset + dc_->origin.X, y + dc_->origin.Y, one, pixel,
                         c);
            offset += p.MeasureText(fontSpec, one) + TextCharacterExtra;
        }
    }
    MarkDamage(box);
    PenPos = {x + width, y};
    Changed();
}

void TCanvas::TextRect(const TRect& rect, std::int32_t x, std::int32_t y, const std::string& text) {
    Changing();
    RequireSurface();
    {
        ClipNarrowing narrowing(*dc_, rect);
        if (brush_.Style() != bsClear) FillRect(rect);
        if (!dc_->clip.empty()) TextOut(x, y, text);
    }
    Changed();
}

std::int32_t TCanvas::TextWidth(const std::string& text) {
    const std::int32_t plain = CurrentPlatform().MeasureText(font_.Spec(), text);
    return plain + TextCharacterExtra * static_cast<std::int32_t>(text.size());
}

bool TCanvas::DrawThemePart(const TRect& rect, const std::string& themeClass, int part, int state) {
    Changing();
    RequireSurface();
    const TRect r = ToSurface(rect);
    bool drawn = !dc_->clip.empty();
    for (const TRect& c : dc_->clip)
        drawn = CurrentPlatform().DrawThemePart(*dc_->surface, r, c, themeClass, part, state) && drawn;
    if (drawn) MarkDamage(r);
    Changed();
    return drawn;
}

std::int32_t TCanvas::TextHeight(const std::string&) {
    return CurrentPlatform().GetFontMetrics(font_.Spec()).height;
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& sourceCanvas, const TRect& source) {
    Changing();
    RequireSurface();
    DeviceContext& src = sourceCanvas.Handle();
    const TRect d = ToSurface(dest);
    if (src.screen != 0) {
        const TRect s = source.Offset(src.origin.X, src.origin.Y);
        for (const TRect& c : dc_->clip)
            if (!CurrentPlatform().StretchFromScreen(src.screen, s, *dc_->surface, d, c))
                throw EInvalidOperation(error_text::kNoCanvasHandle);
    } else if (src.surface != nullptr) {
        const TRect s = source.Offset(src.origin.X, src.origin.Y);
        for (const TRect& c : dc_->clip) raster::StretchCopy(*dc_->surface, d, *src.surface, s, c);
    }
    MarkDamage(d);
    Changed();
}

void TCanvas::Draw(std::int32_t x, std::int32_t y, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    graphic->Draw(*this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    graphic->Draw(*this, rect);
}

void TCanvas::DrawPixels(const TRect& dest, const PixelSurface& pixels, bool transparent,
                         std::uint32_t transparentPixel) {
    Changing();
    RequireSurface();
    const TRect d = ToSurface(dest);
    const bool sameSize = d.Width() == pixels.Width() && d.Height() == pixels.Height();
    for (const TRect& c : dc_->clip) {
        if (sameSize) {
            raster::Blit(*dc_->surface, d.Left, d.Top, pixels, c, transparent, transparentPixel);
        } else if (!transparent) {
            raster::StretchCopy(*dc_->surface, d, pixels, pixels.Bounds(), c);
        } else {
            PixelSurface scaled(d.Width(), d.Height());
            raster::StretchCopy(scaled, scaled.Bounds(), pixels, pixels.Bounds(), scaled.Bounds());
            raster::Blit(*dc_->surface, d.Left, d.Top, scaled, c, true, transparentPixel);
        }
    }
    MarkDamage(d);
    Changed();
}

std::uint32_t TCanvas::Pixel(std::int32_t x, std::int32_t y) {
    RequireSurface();
    const TPoint p{x + dc_->origin.X, y + dc_->origin.Y};
    for (const TRect& c : dc_->clip)
        if (c.Contains(p)) return raster::PixelToColorRef(dc_->surface->Pixel(p.X, p.Y));
    return 0xFFFFFFFF; // CLR_INVALID: outside the clip
}

void TCanvas::SetPixel(std::int32_t x, std::int32_t y, TColor color) {
    Changing();
    RequireSurface();
    const TPoint p{x + dc_->origin.X, y + dc_->origin.Y};
    for (const TRect& c : dc_->clip)
        if (c.Contains(p)) dc_->surface->SetPixel(p.X, p.Y, ColorToPixel(color));
    MarkDamage(Bounds(p.X, p.Y, 1, 1));
    Changed();
}

TRect TCanvas::ClipRect() {
    DeviceContext& dc = Handle();
    TRect bounding;
    for (const TRect& c : dc.clip) bounding = bounding.Union(c);
    return bounding.Offset(-dc.origin.X, -dc.origin.Y);
}
