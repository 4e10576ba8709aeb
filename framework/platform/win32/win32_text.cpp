// Text through GDI fonts, cached per font description.
#include "framework/platform/win32/win32_platform.h"

#include <windows.h>

#include <climits>

void* Win32Platform::FontFor(const FontSpec& font) {
    for (const auto& [cached, handle] : fonts_)
        if (cached == font) return handle;
    HFONT handle =
        CreateFontA(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline,
                    font.strikeOut, font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, font.name.c_str());
    if (handle == nullptr)
        handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); // stock: never deleted
    else
        fonts_.emplace_back(font, handle);
    return handle;
}

void* Win32Platform::MeasureDc() {
    if (measureDc_ == nullptr) measureDc_ = CreateCompatibleDC(nullptr);
    return measureDc_;
}

FontMetrics Win32Platform::GetFontMetrics(const FontSpec& font) {
    HDC dc = static_cast<HDC>(MeasureDc());
    if (dc == nullptr) return {};
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(FontFor(font)));
    TEXTMETRICA tm{};
    const bool ok = GetTextMetricsA(dc, &tm) != FALSE;
    SelectObject(dc, previous);
    if (!ok) return {};
    return {tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmAveCharWidth};
}

std::int32_t Win32Platform::MeasureText(const FontSpec& font, std::string_view text) {
    HDC dc = static_cast<HDC>(MeasureDc());
    if (dc == nullptr || text.empty()) return 0;
    const int length = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(FontFor(font)));
    SIZE size{};
    const bool ok = GetTextExtentPoint32A(dc, text.data(), length, &size) != FALSE;
    SelectObject(dc, previous);
    return ok ? size.cx : 0;
}

void Win32Platform::RenderText(PixelSurface& dest, const FontSpec& font, std::int32_t x, std::int32_t y,
                               std::string_view text, std::uint32_t pixel, const TRect& clip) {
    if (text.empty()) return;
    const int length = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
    HFONT handle = static_cast<HFONT>(FontFor(font));
    DrawWithGdi(dest, OwnSurface(dest), clip, [&](void* dc) {
        HDC h = static_cast<HDC>(dc);
        HGDIOBJ previous = SelectObject(h, handle);
        SetBkMode(h, TRANSPARENT); // the toolkit fills backgrounds itself
        SetTextAlign(h, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        SetTextColor(h, raster::PixelToColorRef(pixel));
        const bool ok =
            ExtTextOutA(h, x, y, 0, nullptr, text.data(), static_cast<UINT>(length), nullptr) != FALSE;
        SelectObject(h, previous);
        return ok;
    });
}
