#include "edit/lc_caret.h"

#include "framework/platform/platform.h"

TLcCaret::TLcCaret() {
    if (HasCurrentPlatform()) BlinkRate = static_cast<std::uint16_t>(CurrentPlatform().CaretBlinkTime());
}

void TLcCaret::Assign(const TLcCaret& source) {
    BlinkRate = source.BlinkRate;
    Width = source.Width;
    Height = source.Height;
    Style = source.Style;
}
