#include "edit/lc_caret.h"

#include "framework/controls/caret.h"
#include "framework/controls/controls.h"
#include "framework/platform/platform.h"

#include <algorithm>

namespace {
std::uint16_t DesktopBlinkTime() {
    if (!HasCurrentPlatform()) return 530;
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(CurrentPlatform().CaretBlinkTime(), 0xFFFF));
}
} // namespace

TLcCaret::TLcCaret(TWinControl* owner)
    : SavedBlinkRate(DesktopBlinkTime()), BlinkRate(SavedBlinkRate), owner_(owner),
      bitmap_(std::make_unique<TBitmap>()) {}

TLcCaret::~TLcCaret() {
    if (caret::Owner() == owner_ && owner_ != nullptr) {
        caret::SetBlinkTime(SavedBlinkRate);
        caret::Destroy(owner_);
    }
}

void TLcCaret::Assign(const TLcCaret& source) {
    BlinkRate = source.BlinkRate;
    Width = source.Width;
    Height = source.Height;
    Style = source.Style;
}

TSize TLcCaret::ShapeSize() const {
    switch (Style) {
    case csBlock:
    case csUnderBlock: return {Width, Height};
    case csUnder:
    case csOver: return {Width, 1};
    case csBitmap: return {bitmap_->Width(), bitmap_->Height()};
    default: return {1, FontHeight};
    }
}

void TLcCaret::BuildCaret() {
    if (owner_ == nullptr) return;
    if (Style == csBitmap && !bitmap_->Empty()) {
        const PixelSurface* shape = &bitmap_->Pixels();
        if (CaretBmpMode != cbBmpSize) {
            // The picture tiled or stretched over a caret of Width x Height.
            effectBitmap_ = std::make_unique<TBitmap>();
            effectBitmap_->SetSize(Width, Height);
            PixelSurface& dst = effectBitmap_->Pixels();
            const PixelSurface& src = bitmap_->Pixels();
            if (CaretBmpMode == cbStretch) {
                raster::StretchCopy(dst, dst.Bounds(), src, src.Bounds(), dst.Bounds());
            } else {
                for (std::int32_t y = 0; y < dst.Height(); y += src.Height())
                    for (std::int32_t x = 0; x < dst.Width(); x += src.Width())
                        raster::Blit(dst, x, y, src, dst.Bounds());
            }
            shape = &dst;
        }
        caret::Create(owner_, 0, 0, shape);
    } else {
        const TSize size = ShapeSize();
        caret::Create(owner_, size.cx, size.cy);
    }
    caret::SetBlinkTime(BlinkRate);
}

void TLcCaret::Enable() {
    if (!ShowAllowed) return;
    shown_ = true;
    if (!built_) {
        BuildCaret();
        built_ = true;
    }
    caret::SetBlinkTime(BlinkRate);
    caret::Show(owner_);
}

void TLcCaret::Disable() {
    shown_ = false;
    if (caret::Hide(owner_)) caret::SetBlinkTime(SavedBlinkRate);
}

void TLcCaret::DestroyCaret() {
    // Cleared here as well: an edit drawn after losing the focus must not bring a caret back.
    shown_ = false;
    if (owner_ == nullptr || !owner_->HandleAllocated() || caret::Owner() != owner_) return;
    caret::SetBlinkTime(SavedBlinkRate);
    caret::Destroy(owner_);
}
