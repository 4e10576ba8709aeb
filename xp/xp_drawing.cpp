#include "xp/xp_drawing.h"

#include "xp/lv_xp_core.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

std::uint32_t gradientSeed = 0;

// A value in 0..range-1 (0 for range 0); the seed advances on every draw.
std::uint32_t DrawRandom(std::uint32_t range) {
    gradientSeed = gradientSeed * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(gradientSeed) * range) >> 32);
}

// Band i's offset from the first colour in one channel: i x step rounded to the nearest integer,
// ties to even, where step is the channel's difference per band as a double and the product is
// taken exactly (it needs up to 61 bits, more than a double holds).
std::int32_t ChannelOffset(int difference, int bands, int i) {
    // Stored through memory so that x87 builds round it to a double like everyone else.
    volatile double storedStep = static_cast<double>(difference) / (bands - 1);
    const double step = storedStep;
    if constexpr (std::numeric_limits<long double>::digits >= 64) {
        return static_cast<std::int32_t>(std::lrint(static_cast<long double>(i) * step));
    } else {
        // Without a wide type, the product's rounding error, recovered exactly by a fused
        // multiply-add, decides the ties that the rounded product would fake.
        const double product = i * step;
        const double error = std::fma(static_cast<double>(i), step, -product);
        const double below = std::floor(product);
        if (product - below == 0.5 && error != 0)
            return static_cast<std::int32_t>(below) + (error > 0 ? 1 : 0);
        return static_cast<std::int32_t>(std::lrint(product));
    }
}

// The band colours as pixels (0x00RRGGBB), from c1 to c2.
std::array<std::uint32_t, 255> ColourTable(TColor first, TColor last, int count) {
    const std::uint32_t c1 = ColorToRGB(first);
    const std::uint32_t c2 = ColorToRGB(last);
    std::array<std::uint32_t, 255> table{};
    for (int i = 0; i < count; ++i) {
        std::uint32_t colorRef = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int from = static_cast<int>((c1 >> shift) & 0xFF);
            const int to = static_cast<int>((c2 >> shift) & 0xFF);
            const int value = std::clamp(from + ChannelOffset(to - from, count, i), 0, 255);
            colorRef |= static_cast<std::uint32_t>(value) << shift;
        }
        table[static_cast<std::size_t>(i)] = raster::ColorRefToPixel(colorRef);
    }
    return table;
}

constexpr std::int32_t kStrip = 16; // dithering is worked out on a strip this wide, then repeated

void FillBlock(PixelSurface& pixels, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
               std::uint32_t pixel) {
    for (std::int32_t y = y1; y < y2; ++y) std::fill(pixels.Row(y) + x1, pixels.Row(y) + x2, pixel);
}

void RenderHorizontalBands(PixelSurface& pixels, const std::array<std::uint32_t, 255>& table, int count,
                           bool dithered) {
    const std::int32_t width = pixels.Width();
    const std::int32_t height = pixels.Height();
    const std::int32_t stripRows = std::min(height, kStrip);
    const auto step = static_cast<std::uint32_t>(width / (count - 1));
    for (int i = 0; i < count; ++i) {
        const std::int32_t x1 = MulDiv(i, width, count);
        const std::int32_t x2 = MulDiv(i + 1, width, count);
        FillBlock(pixels, x1, 0, x2, stripRows, table[static_cast<std::size_t>(i)]);
        if (!dithered || i == 0) continue;
        for (std::int32_t y = 0; y < stripRows; ++y) {
            for (std::uint32_t j = 0; j <= step; ++j) {
                const std::int64_t x = x1 + static_cast<std::int64_t>(DrawRandom(j));
                if (x < x2 && x < width) pixels.Row(y)[x] = table[static_cast<std::size_t>(i - 1)];
            }
        }
    }
    for (std::int32_t y = kStrip; y < height; ++y)
        std::memcpy(pixels.Row(y), pixels.Row(y % kStrip),
                    static_cast<std::size_t>(width) * sizeof(std::uint32_t));
}

void RenderVerticalBands(PixelSurface& pixels, const std::array<std::uint32_t, 255>& table, int count,
                         bool dithered) {
    const std::int32_t width = pixels.Width();
    const std::int32_t height = pixels.Height();
    const std::int32_t stripColumns = std::min(width, kStrip);
    const auto step = static_cast<std::uint32_t>(height / (count - 1));
    for (int i = 0; i < count; ++i) {
        const std::int32_t y1 = MulDiv(i, height, count);
        const std::int32_t y2 = MulDiv(i + 1, height, count);
        FillBlock(pixels, 0, y1, stripColumns, y2, table[static_cast<std::size_t>(i)]);
        if (!dithered || i == 0) continue;
        for (std::uint32_t j = 0; j <= step; ++j) {
            const std::int64_t y = y1 + static_cast<std::int64_t>(DrawRandom(j));
            if (y < y2 && y < height)
                std::fill(pixels.Row(static_cast<std::int32_t>(y)),
                          pixels.Row(static_cast<std::int32_t>(y)) + stripColumns,
                          table[static_cast<std::size_t>(i - 1)]);
        }
    }
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint32_t* row = pixels.Row(y);
        for (std::int32_t x = kStrip; x < width; x += kStrip)
            std::memcpy(row + x, row,
                        static_cast<std::size_t>(std::min(kStrip, width - x)) * sizeof(std::uint32_t));
    }
}

} // namespace

std::uint32_t LvXPGradientRandomSeed() { return gradientSeed; }

void SetLvXPGradientRandomSeed(std::uint32_t seed) { gradientSeed = seed; }

void LvXPCreateGradientRect(std::int32_t width, std::int32_t height, TColor startColor, TColor endColor,
                            TLvXPGradientColors colors, TLvXPGradientStyle style, bool dithered,
                            TBitmap& bitmap) {
    if (width <= 0 || height <= 0) return;
    bitmap.SetSize(width, height);
    bitmap.SetPixelFormat(pf24bit);
    // One band alone would divide by zero in the colour steps; two is the least that means anything.
    const int count = std::max<int>(colors, 2);
    const bool reversed = style == gsRight || style == gsBottom;
    const auto table = ColourTable(reversed ? endColor : startColor, reversed ? startColor : endColor, count);
    if (style == gsLeft || style == gsRight)
        RenderHorizontalBands(bitmap.Pixels(), table, count, dithered);
    else
        RenderVerticalBands(bitmap.Pixels(), table, count, dithered);
}

TLvXPGradient::TLvXPGradient(TLvXPCustomControl* owner)
    : owner_(owner), bandBitmap_(std::make_unique<TBitmap>()) {}

TLvXPGradient::~TLvXPGradient() = default;

void TLvXPGradient::RecreateBands() {
    if (bandBitmap_)
        LvXPCreateGradientRect(owner_->Width(), owner_->Height(), startColor_, endColor_, colors_, style_,
                               dithered_, *bandBitmap_);
}

void TLvXPGradient::ChangedAndRedraw() {
    RecreateBands();
    owner_->InternalRedraw();
}

void TLvXPGradient::SetDithered(bool value) {
    if (value == dithered_) return;
    dithered_ = value;
    ChangedAndRedraw();
}

void TLvXPGradient::SetColors(TLvXPGradientColors value) {
    value = std::max<TLvXPGradientColors>(value, 2);
    if (value == colors_) return;
    colors_ = value;
    ChangedAndRedraw();
}

void TLvXPGradient::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    owner_->InternalRedraw();
}

void TLvXPGradient::SetEndColor(TColor value) {
    if (value == endColor_) return;
    endColor_ = value;
    ChangedAndRedraw();
}

void TLvXPGradient::SetGradientStyle(TLvXPGradientStyle value) {
    if (value == style_) return;
    style_ = value;
    ChangedAndRedraw();
}

void TLvXPGradient::SetStartColor(TColor value) {
    if (value == startColor_) return;
    startColor_ = value;
    ChangedAndRedraw();
}

void LvXPRenderText(const TControl* /*parent: toolkit controls read left to right, so the flags stay*/,
                    TCanvas& canvas, std::string text, const TFont& font, bool enabled, bool showAccelChar,
                    TRect& rect, std::uint32_t flags) {
    // A blank keeps an empty caption (or a lone accelerator mark) one line high when measured.
    if (((flags & DT_CALCRECT) && text.empty()) || (showAccelChar && text == "&")) text += ' ';
    if (!showAccelChar) flags |= DT_NOPREFIX;
    canvas.Font()->Assign(font);
    if (!enabled) {
        rect = rect.Offset(1, 1);
        canvas.Font()->SetColor(clBtnHighlight);
        DrawTextFlags(canvas, text, rect, flags);
        rect = rect.Offset(-1, -1);
        canvas.Font()->SetColor(clBtnShadow);
    }
    DrawTextFlags(canvas, text, rect, flags);
}

void LvXPConvertToGray2(TBitmap& bitmap) {
    PixelSurface& pixels = bitmap.Pixels();
    for (std::int32_t y = 0; y < pixels.Height(); ++y) {
        std::uint32_t* row = pixels.Row(y);
        for (std::int32_t x = 0; x < pixels.Width(); ++x) {
            const std::uint32_t p = row[x];
            const std::uint32_t sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
            const std::uint32_t v = std::min<std::uint32_t>(sum / 3 + 100, 255);
            row[x] = (v << 16) | (v << 8) | v;
        }
    }
}

void LvXPDrawLine(TCanvas& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}
