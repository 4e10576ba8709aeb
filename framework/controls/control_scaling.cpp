// Scaling a control tree to another pixel density: every place and size, and the height of every
// font a control holds of its own, go through MulDiv, so scaling up and back down again returns
// the layout it started from.
#include "framework/controls/controls.h"
#include "framework/core/temporary_change.h"
#include "framework/platform/monitors.h"

#include <algorithm>

void TControl::ScaleBy(std::int32_t multiplier, std::int32_t divisor) {
    if (multiplier == divisor || divisor == 0) return;
    {
        // The new places are the old ones at another density, not a move: the references stay.
        const TemporaryChange<bool> anchoring(anchoring_, true);
        SetBounds(MulDiv(left_, multiplier, divisor), MulDiv(top_, multiplier, divisor),
                  MulDiv(width_, multiplier, divisor), MulDiv(height_, multiplier, divisor));
    }
    if (anchorRefs_.valid) {
        anchorRefs_.x = MulDiv(anchorRefs_.x, multiplier, divisor);
        anchorRefs_.y = MulDiv(anchorRefs_.y, multiplier, divisor);
        anchorRefs_.client = {MulDiv(anchorRefs_.client.cx, multiplier, divisor),
                              MulDiv(anchorRefs_.client.cy, multiplier, divisor)};
    }
    // A font taken from the parent follows the parent's, which is scaled there.
    if (!parentFont_) font_->SetHeight(MulDiv(font_->Height(), multiplier, divisor));
}

void TWinControl::ScaleBy(std::int32_t multiplier, std::int32_t divisor) {
    TControl::ScaleBy(multiplier, divisor);
    ScaleChildren(multiplier, divisor);
}

void TWinControl::ScaleChildren(std::int32_t multiplier, std::int32_t divisor) {
    if (multiplier == divisor || divisor == 0) return;
    const TemporaryChange<bool> aligning(aligning_, true);
    // Font changes run handlers: go by a copy in case one of them adds or removes a child.
    const std::vector<TControl*> children = controls_;
    for (TControl* child : children) child->ScaleBy(multiplier, divisor);
}

std::int32_t TControl::ScreenDpi() const { return parent_ != nullptr ? parent_->ScreenDpi() : kDefaultDpi; }

std::int32_t TControl::FrameLineWidth() const { return std::max(1, ScreenDpi() / kDefaultDpi); }
