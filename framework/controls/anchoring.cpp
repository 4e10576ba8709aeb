// Anchoring: controls keep their distances to the edges of their parent's client area they are
// anchored to, and a control anchored to neither side of a direction keeps its centre at the same
// fraction of the client size.
#include "framework/controls/controls.h"
#include "framework/core/temporary_change.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr TAnchors kLeftTop = AnchorBit(akLeft) | AnchorBit(akTop);

// The arithmetic is 64-bit and clamped to the 32-bit range: stored places may lie anywhere in it.
std::int32_t Clamped(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// One direction's reference: the size when anchored to both sides, the near edge when anchored to
// the far side only, the centre otherwise.
std::int32_t Reference(bool nearSide, bool farSide, std::int32_t position, std::int32_t size) {
    if (farSide) return nearSide ? size : position;
    return Clamped(std::int64_t{position} + size / 2);
}

// The new position and size in one direction for client extent `extent` against reference extent `ref`.
void Reposition(bool nearSide, bool farSide, std::int32_t reference, std::int32_t extent, std::int32_t ref,
                std::int32_t& position, std::int32_t& size) {
    if (farSide && nearSide)
        size = Clamped(std::int64_t{extent} - ref + reference);
    else if (farSide)
        position = Clamped(std::int64_t{extent} - ref + reference);
    else if (!nearSide)
        position = Clamped(std::int64_t{MulDiv(reference, extent, ref)} - size / 2);
}

} // namespace

void TControl::SetAnchors(TAnchors value) {
    if (value == anchors_) return;
    anchors_ = value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (anchors_ == kLeftTop) {
        anchorRefs_.valid = false;
        return;
    }
    if (parent_ == nullptr || HasState(csLoading)) return;
    const TRect client = parent_->ClientRect();
    if (client.Width() <= 0 || client.Height() <= 0) return;
    // References are in the parent's unscrolled coordinates, so scrolling does not disturb them.
    const TPoint scroll = parent_->ScrollOffset();
    anchorRefs_.x =
        Reference(anchors_ & AnchorBit(akLeft), anchors_ & AnchorBit(akRight), left_ + scroll.X, width_);
    anchorRefs_.y =
        Reference(anchors_ & AnchorBit(akTop), anchors_ & AnchorBit(akBottom), top_ + scroll.Y, height_);
    anchorRefs_.client = {client.Width(), client.Height()};
    anchorRefs_.valid = true;
}

void TControl::AnchorTo(TSize clientSize) {
    if (!anchorRefs_.valid || anchorRefs_.client.cx == 0 || anchorRefs_.client.cy == 0) return;
    const TPoint scroll = parent_ != nullptr ? parent_->ScrollOffset() : TPoint{};
    std::int32_t left = Clamped(std::int64_t{left_} + scroll.X), top = Clamped(std::int64_t{top_} + scroll.Y);
    std::int32_t width = width_, height = height_;
    Reposition(anchors_ & AnchorBit(akLeft), anchors_ & AnchorBit(akRight), anchorRefs_.x, clientSize.cx,
               anchorRefs_.client.cx, left, width);
    Reposition(anchors_ & AnchorBit(akTop), anchors_ & AnchorBit(akBottom), anchorRefs_.y, clientSize.cy,
               anchorRefs_.client.cy, top, height);
    const TemporaryChange<bool> anchoring(anchoring_, true);
    SetBounds(Clamped(std::int64_t{left} - scroll.X), Clamped(std::int64_t{top} - scroll.Y), width, height);
}

void TWinControl::Realign() {
    if (aligning_ || HasState(csLoading) || HasState(csDestroying)) return;
    const TemporaryChange<bool> aligning(aligning_, true);
    AlignControls();
}

void TWinControl::AlignControls() {
    const TRect client = ClientRect();
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children) c->AnchorTo({client.Width(), client.Height()});
}

void TWinControl::ScrollChildren(std::int32_t dx, std::int32_t dy) {
    // Scrolling moves the children without new references and without realigning in between.
    const TemporaryChange<bool> aligning(aligning_, true);
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children) {
        const TemporaryChange<bool> anchoring(c->anchoring_, true);
        c->SetBounds(Clamped(std::int64_t{c->left_} - dx), Clamped(std::int64_t{c->top_} - dy), c->width_,
                     c->height_);
    }
}

void TWinControl::UpdateAnchorRulesOfChildren() {
    for (TControl* c : controls_) {
        c->UpdateAnchorRules();
        if (auto* win = dynamic_cast<TWinControl*>(c)) win->UpdateAnchorRulesOfChildren();
    }
}
