#include "spinedit/lc_spin_button.h"

#include "edit/lc_application.h"
#include "edit/lc_bevel.h"
#include "framework/core/temporary_change.h"
#include "framework/graphics/draw_edge.h"

#include <bit>
#include <cmath>

namespace {

constexpr TLcSingleSpinButton kParts[] = {sbUp, sbDown, sbLeft, sbRight};
constexpr TLcButtonPartState kStates[] = {bpsNormal, bpsHot, bpsPressed, bpsDisabled};
constexpr TLcSpinButtons kUpDown = SpinButtonBit(sbUp) | SpinButtonBit(sbDown);
constexpr TLcSpinButtons kAllParts = kUpDown | SpinButtonBit(sbLeft) | SpinButtonBit(sbRight);
// The first repeat waits this much longer than the others.
constexpr std::uint32_t kFirstRepeatDelayMs = 200;
constexpr std::int32_t kArrowSize = 3;
constexpr TColor kDiagonalGray = 0x808080;
constexpr TColor kDiagonalWhite = 0xFFFFFF;
constexpr TColor kDiagonalSilver = 0xC0C0C0;

// Theme parts of the spin class: up, down, and the horizontal pair (right, left).
int ThemePart(TLcSingleSpinButton part) {
    switch (part) {
    case sbUp: return 1;
    case sbDown: return 2;
    case sbRight: return 3;
    case sbLeft: return 4;
    }
    return 1;
}

std::int32_t RoundHalfEven(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

// How many pixels of row y of a W x H box lie in the upper-left triangle: those whose centre lies
// strictly above the diagonal from (0, H) to (W, 0). The rest of the row is the lower part, so
// every pixel belongs to exactly one of the two.
std::int32_t UpperRowLength(std::int32_t W, std::int32_t H, std::int32_t y) {
    // Centre (x + 1/2, y + 1/2) above the line: W(2y + 1) + H(2x + 1) < 2WH.
    const std::int64_t w = W, h = H;
    const std::int64_t room = 2 * w * h - w * (2 * y + 1) - h;
    if (room <= 0) return 0;
    return static_cast<std::int32_t>(std::min<std::int64_t>(w, (room + 2 * h - 1) / (2 * h)));
}

// A solid one-pixel line in `color`, without its end point.
void Line(TCanvas& canvas, TColor color, TPoint from, TPoint to) {
    canvas.Pen()->SetStyle(psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(color);
    canvas.MoveTo(from.X, from.Y);
    canvas.LineTo(to.X, to.Y);
}

} // namespace

void LcDrawTriangle(TCanvas& canvas, std::int32_t x, std::int32_t y, std::int32_t size, bool up, TColor color,
                    bool enabled) {
    if (size < 2 || size > 15) return;
    if (!enabled) {
        LcDrawTriangle(canvas, x + 1, y + 1, size, up, clHighlightText, true);
        color = clGrayText;
    }
    auto row = [&canvas, color](std::int32_t from, std::int32_t to, std::int32_t rowY) {
        Line(canvas, color, {from, rowY}, {to + 1, rowY});
    };
    if (up) {
        const std::int32_t centre = x + size / 2;
        for (std::int32_t i = 0; i < size; ++i) row(centre - i, centre + i, y + i);
    } else {
        for (std::int32_t i = 0; i < size - 1; ++i) row(x + i, x + 2 * size - i - 2, y + i);
        row(x + size - 1, x + size - 1, y + size - 1);
    }
}

TLcSpinButton::TLcSpinButton(TComponent* AOwner)
    : TLcGraphicControl(AOwner), stateImages_(std::make_unique<TBitmap>()) {
    SetBounds(Left(), Top(), 20, 20);
}

TLcSpinButton::~TLcSpinButton() { RemoveTimer(); }

void TLcSpinButton::SetBtns(TLcSpinButtons value) {
    value &= kAllParts;
    if (value == btns_) return;
    btns_ = value;
    Invalidate();
}

void TLcSpinButton::SetSkew(bool value) {
    if (value == skew_) return;
    skew_ = value;
    if (!HasState(csLoading)) Invalidate();
}

bool TLcSpinButton::SimpleMode() {
    return btns_ == kUpDown && (UseXP() || (SpinStyle == seSpinEdit && !skew_));
}

void TLcSpinButton::MouseLeave() { MouseMove(0, -1, -1); }

const TRegion* TLcSpinButton::PartRegion(TLcSingleSpinButton part) {
    BuildRegions();
    return areas_[part].shaped ? &areas_[part].region : nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Parts and their states

void TLcSpinButton::BuildRegions() {
    const std::int32_t W = Width();
    const std::int32_t H = Height();
    // Every pointer move asks for the areas; they change only with the button's size and shape.
    const AreaKey key{W, H, btns_, skew_ && !UseXP()};
    if (key == areaKey_) return;
    areaKey_ = key;
    for (PartArea& a : areas_) a = PartArea{};
    const TRect whole{0, 0, W, H};
    if (std::popcount(btns_) == 1) {
        PartArea& only = areas_[std::countr_zero(btns_)];
        only = {true, TRegion(whole), whole};
        return;
    }
    if (btns_ != kUpDown) return;
    PartArea& upper = areas_[sbUp];
    PartArea& lower = areas_[sbDown];
    upper.shaped = lower.shaped = true;
    if (!key.diagonal) {
        // The upper half takes the odd row.
        const std::int32_t h = H / 2 + H % 2;
        upper.box = {0, 0, W, h};
        lower.box = {0, h, W, H};
        upper.region = TRegion(upper.box);
        lower.region = TRegion(lower.box);
        return;
    }
    // Two triangles either side of the diagonal from the lower-left to the upper-right corner. Both
    // cells are as large as the button, so each is drawn onto the whole of it, clipped to its part.
    upper.box = lower.box = whole;
    for (std::int32_t y = 0; y < H; ++y) {
        const std::int32_t split = UpperRowLength(W, H, y);
        upper.region.Add({0, y, split, y + 1});
        lower.region.Add({split, y, W, y + 1});
    }
}

bool TLcSpinButton::CheckRegion(TLcSingleSpinButton part, TShiftState Shift, int X, int Y) {
    const TLcButtonPartState old = states_[part];
    if (!Enabled()) {
        states_[part] = bpsDisabled;
    } else if (areas_[part].shaped) {
        if (!areas_[part].region.Contains({X, Y}))
            states_[part] = bpsNormal;
        else
            states_[part] = (Shift & ssLeft) ? bpsPressed : bpsHot;
    }
    return states_[part] != old;
}

bool TLcSpinButton::UpdateStates(TShiftState Shift, int X, int Y) {
    BuildRegions();
    bool changed = false;
    for (TLcSingleSpinButton part : kParts) changed = CheckRegion(part, Shift, X, Y) || changed;
    return changed;
}

void TLcSpinButton::SetAllStates(TLcButtonPartState state) { states_.fill(state); }

void TLcSpinButton::Step(TLcSingleSpinButton part) {
    const TNotifyEvent* handler = nullptr;
    switch (part) {
    case sbUp: handler = &OnUpClick; break;
    case sbDown: handler = &OnDownClick; break;
    case sbLeft: handler = &OnLeftClick; break;
    case sbRight: handler = &OnRightClick; break;
    }
    if (handler != nullptr && *handler) (*handler)(this);
}

// ---------------------------------------------------------------------------------------------------
// Pointer

void TLcSpinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TLcGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    BuildRegions();
    // The part that turns pressed steps once at once; parts that only stop being hot do not.
    for (TLcSingleSpinButton part : kParts)
        if (CheckRegion(part, Shift | ssLeft, X, Y) && states_[part] == bpsPressed) Step(part);
    pressing_ = true;
    AddTimer();
    Invalidate();
}

void TLcSpinButton::MouseMove(TShiftState Shift, int X, int Y) {
    TLcGraphicControl::MouseMove(Shift, X, Y);
    // Only a press that began here makes a part look pressed.
    if (!pressing_) Shift &= ~ssLeft;
    if (UpdateStates(Shift, X, Y)) Invalidate();
}

void TLcSpinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TLcGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !pressing_) return;
    EndPress();
    // The capture is gone, and with it any move that would bring the parts up to date.
    UpdateStates(Shift & ~ssLeft, X, Y);
}

void TLcSpinButton::CMMouseLeave(TMessage& m) {
    TLcGraphicControl::CMMouseLeave(m);
    MouseLeave();
}

void TLcSpinButton::WMCancelMode(TMessage& m) {
    TLcGraphicControl::WMCancelMode(m);
    if (!pressing_) return;
    EndPress();
    SetAllStates(Enabled() ? bpsNormal : bpsDisabled);
}

void TLcSpinButton::EndPress() {
    pressing_ = false;
    // Wherever the press ends, the repeat ends with it.
    RemoveTimer();
    Invalidate();
}

void TLcSpinButton::CMEnabledChanged(TMessage& m) {
    TLcGraphicControl::CMEnabledChanged(m);
    SetAllStates(Enabled() ? bpsNormal : bpsDisabled);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------------
// Repeat

void TLcSpinButton::AddTimer() {
    retiredTimer_.reset();
    if (!repeatTimer_) {
        repeatTimer_ = std::make_unique<TLcTimer>(nullptr, false);
        repeatTimer_->OnTimer = [this](TObject*) { TimerExpired(); };
    }
    repeatTimer_->SetInterval(Interval + kFirstRepeatDelayMs);
    repeatTimer_->SetEnabled(true);
}

void TLcSpinButton::RemoveTimer() {
    if (!repeatTimer_) return;
    repeatTimer_->SetEnabled(false);
    if (ticking_)
        retiredTimer_ = std::move(repeatTimer_);
    else
        repeatTimer_.reset();
}

void TLcSpinButton::TimerExpired() {
    if (repeatTimer_ && repeatTimer_->Interval() != Interval) repeatTimer_->SetInterval(Interval);
    // Steps come only while the press holds the capture.
    if (GetCaptureControl() != this) return;
    const TemporaryChange<bool> ticking(ticking_, true);
    try {
        for (TLcSingleSpinButton part : {sbUp, sbDown, sbRight, sbLeft})
            if (states_[part] == bpsPressed) Step(part);
    } catch (...) {
        RemoveTimer();
        throw;
    }
}

// ---------------------------------------------------------------------------------------------------
// Painting

void TLcSpinButton::Paint() {
    if (const TWinControl* p = Parent();
        p != nullptr && (!p->Showing() || p->HasState(csLoading | csReading | csDestroying)))
        return;
    CreateStates();
    if (stateImages_->Empty()) return;
    TCanvas& canvas = *Canvas();
    TCanvas& images = *stateImages_->Canvas();
    const bool simple = SimpleMode();
    const std::int32_t W = Width();
    int band = 0;
    for (TLcSingleSpinButton part : kParts) {
        if (!Has(part)) continue;
        const PartArea& area = areas_[part];
        const TRect cell = Bounds((band * 4 + states_[part]) * W, 0, W, stateImages_->Height());
        ++band;
        if (!area.shaped) continue;
        if (simple) {
            canvas.CopyRect(area.box, images, cell);
            continue;
        }
        const RegionClipNarrowing narrowing(canvas.Handle(), area.region);
        canvas.CopyRect(area.box, images, cell);
    }
}

void TLcSpinButton::CreateStates() {
    BuildRegions();
    const bool simple = SimpleMode();
    const std::int32_t W = Width();
    const std::int32_t cellHeight = simple ? Height() / 2 : Height();
    stateImages_->SetSize(std::popcount(btns_) * 4 * W, cellHeight);
    if (stateImages_->Empty()) return;
    TCanvas& canvas = *stateImages_->Canvas();
    int band = 0;
    for (TLcSingleSpinButton part : kParts) {
        if (!Has(part)) continue;
        for (TLcButtonPartState state : kStates)
            DrawCell(canvas, part, state, Bounds((band * 4 + state) * W, 0, W, cellHeight), simple);
        ++band;
    }
}

void TLcSpinButton::DrawCell(TCanvas& canvas, TLcSingleSpinButton part, TLcButtonPartState state,
                             const TRect& cell, bool simple) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(cell);
    if (!simple) {
        DrawDiagonalCell(canvas, part, state, cell);
        return;
    }
    if (UseXP()) {
        static_cast<void>(canvas.DrawThemePart(cell, "SPIN", ThemePart(part), state + 1));
        return;
    }
    TRect r = cell;
    const int line = FrameLineWidth();
    if (state == bpsPressed) {
        DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST, line);
        DrawEdge(canvas, r, BDR_SUNKENINNER, BF_LEFT | BF_TOP, line);
    } else {
        DrawEdge(canvas, r, BDR_RAISEDOUTER, BF_RECT | BF_SOFT | BF_ADJUST, line);
        DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM, line);
    }
    const bool lower = part == sbDown;
    const std::int32_t x = Width() / 2 + cell.Left - 1 - (lower ? 1 : 0);
    const std::int32_t y = (Height() / 2) / 2 - (ArrowSize() - 1);
    LcDrawTriangle(canvas, x, y, ArrowSize(), !lower, state == bpsHot ? HotColor : clBlack,
                   state != bpsDisabled);
}

void TLcSpinButton::ScaleBy(std::int32_t /*multiplier*/, std::int32_t /*divisor*/) { Invalidate(); }

std::int32_t TLcSpinButton::ArrowSize() const {
    return std::max(kArrowSize, MulDiv(kArrowSize, ScreenDpi(), 96));
}

void TLcSpinButton::DrawDiagonalCell(TCanvas& canvas, TLcSingleSpinButton part, TLcButtonPartState state,
                                     const TRect& cell) {
    const bool pressed = state == bpsPressed;
    // The frame runs round (0, 0, W - 1, H - 1), right and bottom exclusive as every rectangle: the
    // cell's last column and row stay in the face colour.
    TRect inside{cell.Left, cell.Top, cell.Right - 1, cell.Bottom - 1};
    std::uint32_t flags = BF_RECT | BF_ADJUST | (pressed ? BF_SOFT : 0);
    const auto style = static_cast<TLcBorderStyle>(pressed ? lsLowered : FrameStyle);
    if (const std::uint32_t edge = StandardFrameEdge(style, flags); edge != 0)
        DrawEdge(canvas, inside, edge, flags, FrameLineWidth());
    const auto [l, t, r, b] = inside;
    const double dx = r - l;
    const double dy = b - t;
    const TColor arrow = state == bpsHot ? HotColor : clBlack;
    const bool enabled = state != bpsDisabled;
    const double centring = ArrowSize() - 1;
    // On a scaled display the dividing line is as wide as a frame line, growing into its own half.
    const std::int32_t line = FrameLineWidth();
    const auto divider = [&](TColor color, TPoint from, TPoint to, std::int32_t towards) {
        for (std::int32_t j = 0; j < line; ++j)
            Line(canvas, color, {from.X + towards * j, from.Y}, {to.X + towards * j, to.Y});
    };
    if (part == sbUp) {
        LcDrawTriangle(canvas, l + RoundHalfEven(dx / 4 - centring), t + RoundHalfEven(dy / 4 - centring),
                       ArrowSize(), true, arrow, enabled);
        if (pressed) divider(kDiagonalGray, {r - 1, t}, {l, b - 1}, -1);
        divider(pressed ? kDiagonalWhite : kDiagonalSilver, {r - 1, t}, {l - 1, b}, -1);
    } else if (part == sbDown) {
        LcDrawTriangle(canvas, l + RoundHalfEven(3 * dx / 4 - centring),
                       t + RoundHalfEven(3 * dy / 4 - centring), ArrowSize(), false, arrow, enabled);
        divider(pressed ? kDiagonalGray : kDiagonalWhite, {r, t - 1}, {l - 1, b}, 1);
        if (pressed) divider(kDiagonalSilver, {r, t}, {l, b}, 1);
    }
}
