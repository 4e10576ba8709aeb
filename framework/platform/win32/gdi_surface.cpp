#include "framework/platform/win32/gdi_surface.h"

#include <windows.h>

#include <algorithm>

namespace {

// GDI leaves its own value in the unused top byte of a 32-bit pixel; the toolkit compares whole
// pixels, so the byte is cleared after every GDI drawing.
void ClearTopBytes(PixelSurface& s, const TRect& area) {
    const TRect r = area.Intersect(s.Bounds());
    for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
        std::uint32_t* row = s.Row(y);
        for (std::int32_t x = r.Left; x < r.Right; ++x) row[x] &= 0xFFFFFFu;
    }
}

} // namespace

GdiSurface::~GdiSurface() { Release(); }

void GdiSurface::Release() {
    if (dc_ != nullptr) {
        SelectObject(static_cast<HDC>(dc_), static_cast<HGDIOBJ>(previousBitmap_));
        DeleteDC(static_cast<HDC>(dc_));
    }
    if (bitmap_ != nullptr) DeleteObject(static_cast<HGDIOBJ>(bitmap_));
    dc_ = bitmap_ = previousBitmap_ = nullptr;
    pixels_ = PixelSurface();
}

bool GdiSurface::Resize(std::int32_t width, std::int32_t height) {
    if (width == pixels_.Width() && height == pixels_.Height() &&
        (dc_ != nullptr || width <= 0 || height <= 0))
        return true;
    if (width <= 0 || height <= 0) {
        Release();
        return true;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 is the top row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        return false;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        DeleteObject(bitmap);
        return false;
    }
    HGDIOBJ previous = SelectObject(dc, bitmap);
    PixelSurface fresh = PixelSurface::Wrap(static_cast<std::uint32_t*>(bits), width, height, width);
    for (std::int32_t y = 0; y < height; ++y) std::fill_n(fresh.Row(y), width, 0u);
    GdiFlush();
    const std::int32_t keepW = std::min(width, pixels_.Width());
    const std::int32_t keepH = std::min(height, pixels_.Height());
    for (std::int32_t y = 0; y < keepH; ++y) std::copy_n(pixels_.Row(y), keepW, fresh.Row(y));
    Release();
    dc_ = dc;
    bitmap_ = bitmap;
    previousBitmap_ = previous;
    pixels_ = fresh;
    return true;
}

bool DrawWithGdi(PixelSurface& dest, GdiSurface* own, const TRect& clip,
                 const std::function<bool(void* dc)>& draw) {
    const TRect area = clip.Intersect(dest.Bounds());
    if (area.IsEmpty()) return true;
    if (own != nullptr && own->Dc() != nullptr && &own->Pixels() == &dest) {
        HDC dc = static_cast<HDC>(own->Dc());
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
        const bool ok = draw(dc);
        RestoreDC(dc, saved);
        GdiFlush();
        ClearTopBytes(dest, area);
        return ok;
    }
    // Memory that GDI cannot reach: draw on a copy of the clipped area and copy it back.
    GdiSurface scratch;
    if (!scratch.Resize(area.Width(), area.Height()) || scratch.Dc() == nullptr) return false;
    PixelSurface& tmp = scratch.Pixels();
    for (std::int32_t y = 0; y < area.Height(); ++y)
        std::copy_n(dest.Row(area.Top + y) + area.Left, area.Width(), tmp.Row(y));
    HDC dc = static_cast<HDC>(scratch.Dc());
    SetViewportOrgEx(dc, -area.Left, -area.Top, nullptr);
    const bool ok = draw(dc);
    GdiFlush();
    for (std::int32_t y = 0; y < area.Height(); ++y) {
        const std::uint32_t* from = tmp.Row(y);
        std::uint32_t* to = dest.Row(area.Top + y) + area.Left;
        for (std::int32_t x = 0; x < area.Width(); ++x) to[x] = from[x] & 0xFFFFFFu;
    }
    return ok;
}
