// TLcSpinButton: the small up/down button of the spin edit, a windowless child of the edit. Each part
// (up, down, left, right) follows the pointer (normal, hot, pressed, disabled); a press steps the
// part under the pointer at once and then repeats while the button is held. It draws the theme's
// spin parts, or a classic face split along its diagonal or across its middle.
#pragma once

#include "edit/lc_graphic_control.h"
#include "framework/graphics/bitmap.h"
#include "framework/graphics/region.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>

class TLcTimer;

enum TLcSingleSpinButton : std::uint8_t { sbUp, sbDown, sbLeft, sbRight };
// A set of parts: bit (1 << part).
using TLcSpinButtons = std::uint8_t;
constexpr TLcSpinButtons SpinButtonBit(TLcSingleSpinButton part) {
    return static_cast<TLcSpinButtons>(1u << part);
}
constexpr TLcSpinButtons SpinButtonSet(std::initializer_list<TLcSingleSpinButton> parts) {
    TLcSpinButtons set = 0;
    for (TLcSingleSpinButton p : parts) set |= SpinButtonBit(p);
    return set;
}

enum TLcButtonPartState : std::uint8_t { bpsNormal, bpsHot, bpsPressed, bpsDisabled };
enum TLcExtSpinBtnStyle : std::uint8_t { seSpinEdit, seSpinScrollBar };

// Draws a small filled arrow of `size` rows (2..15; nothing otherwise) with its top-left at (x, y).
// A disabled arrow is embossed: a highlight copy one pixel down and right under a grey one. The
// canvas's pen is left solid, one pixel wide, in the last colour drawn.
void LcDrawTriangle(TCanvas& canvas, std::int32_t x, std::int32_t y, std::int32_t size, bool up, TColor color,
                    bool enabled);

class TLcSpinButton : public TLcGraphicControl {
public:
    explicit TLcSpinButton(TComponent* AOwner);
    ~TLcSpinButton() override;

    TLcSpinButtons Btns() const { return btns_; }
    // Bits beyond the four parts are ignored.
    void SetBtns(TLcSpinButtons value);
    bool Skew() const { return skew_; }
    void SetSkew(bool value);

    TLcExtSpinBtnStyle SpinStyle = seSpinEdit;
    // Repeat period in ms; the first repeat comes 200 ms later than the others.
    std::uint16_t Interval = 100;
    // Arrow colour of a hot part.
    TColor HotColor = 0x808000;
    // The edit that holds the button lays it out; scaling only redraws it. The arrows follow the
    // window's scale (three pixels at 96 pixels per inch, MulDiv-scaled).
    void ScaleBy(std::int32_t multiplier, std::int32_t divisor) override;
    std::int32_t ArrowSize() const;
    // Border style of the unpressed cells of the diagonal face (11: a one-pixel raised edge).
    std::int32_t FrameStyle = 11;
    TNotifyEvent OnUpClick, OnDownClick, OnLeftClick, OnRightClick;

    TLcButtonPartState PartState(TLcSingleSpinButton part) const { return states_[part]; }
    // A press that began on the button has not been released yet.
    bool Pressing() const { return pressing_; }
    TLcTimer* RepeatTimer() const { return repeatTimer_.get(); }
    // Exactly the up and down parts, drawn as two halves one above the other.
    bool SimpleMode();
    // The pointer went elsewhere: a move to (-1, -1) with nothing held, so every enabled part turns
    // normal.
    void MouseLeave();
    // The pixels of a part for the button as it is now (control coordinates), or null when the
    // part has none: absent, or in a combination of parts that has no shapes.
    const TRegion* PartRegion(TLcSingleSpinButton part);

    bool ControlSupportsXP() override { return true; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void WMCancelMode(TMessage& Message) override;

private:
    // Where a part shows: its pixels and the rectangle its cell is drawn onto. A part without a shape
    // keeps its state whatever the pointer does.
    struct PartArea {
        bool shaped = false;
        TRegion region;
        TRect box;
    };

    bool Has(TLcSingleSpinButton part) const { return (btns_ & SpinButtonBit(part)) != 0; }
    void BuildRegions();
    void CreateStates();
    void DrawCell(TCanvas& canvas, TLcSingleSpinButton part, TLcButtonPartState state, const TRect& cell,
                  bool simple);
    void DrawDiagonalCell(TCanvas& canvas, TLcSingleSpinButton part, TLcButtonPartState state,
                          const TRect& cell);
    // Updates a part's state for the pointer at (X, Y); true when it changed.
    bool CheckRegion(TLcSingleSpinButton part, TShiftState Shift, int X, int Y);
    bool UpdateStates(TShiftState Shift, int X, int Y);
    void SetAllStates(TLcButtonPartState state);
    void Step(TLcSingleSpinButton part);
    void EndPress();
    void AddTimer();
    void RemoveTimer();
    void TimerExpired();

    TLcSpinButtons btns_ = SpinButtonBit(sbUp);
    bool skew_ = true;
    bool pressing_ = false;
    std::array<TLcButtonPartState, 4> states_{bpsNormal, bpsNormal, bpsNormal, bpsNormal};
    std::array<PartArea, 4> areas_;
    // What the areas were built for: size, parts, split and theme; they are rebuilt when it changes.
    struct AreaKey {
        std::int32_t width = -1, height = -1;
        TLcSpinButtons btns = 0;
        bool diagonal = false;
        bool operator==(const AreaKey&) const = default;
    };
    AreaKey areaKey_;
    std::unique_ptr<TBitmap> stateImages_;
    std::unique_ptr<TLcTimer> repeatTimer_;
    // A timer removed while its own tick runs is kept until that tick has returned.
    std::unique_ptr<TLcTimer> retiredTimer_;
    bool ticking_ = false;
};
