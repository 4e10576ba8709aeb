// TLcBevel: the description of a control's border - one of four modes with widths, colours and
// styles - and its extent in pixels. Every change is reported to the owner through the change
// callback of TLcObject.
#pragma once

#include "framework/core/component.h"
#include "framework/graphics/canvas.h"

#include <cstdint>
#include <functional>

// A streamable sub-object that reports its changes to its owner.
class TLcObject : public TPersistent {
public:
    // Called with the object itself after each change.
    std::function<void(TObject* Sender)> OnChange;
    // Several changes made between these two are reported once, at the end.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() {
        if (updateCount_ > 0 && --updateCount_ == 0 && changedWhileUpdating_) {
            changedWhileUpdating_ = false;
            NotifyOwner();
        }
    }

protected:
    void NotifyOwner() {
        if (updateCount_ > 0) {
            changedWhileUpdating_ = true;
            return;
        }
        if (OnChange) OnChange(this);
    }

private:
    int updateCount_ = 0;
    bool changedWhileUpdating_ = false;
};

enum TLcBevelMode : std::uint8_t { bmCustom, bmStandard, bmEdge, bmWindows };
enum TLcBevelStyle : std::uint8_t {
    bvNone,
    bvLowered,
    bvRaised,
    bvFrameLowered,
    bvFrameRaised,
    bvNormal,
    bvShadow
};
enum TLcEdgeStyle : std::uint8_t {
    etRaisedInner,
    etRaisedOuter,
    etSunkenInner,
    etSunkenOuter,
    etBump,
    etEtched,
    etRaised,
    etSunken
};
enum TLcBorderStyle : std::uint8_t {
    lsNone,
    lsSingle,
    lsLowered,
    lsRaised,
    lsRaisedspb,
    lsLoweredspb,
    lsRaisedExt,
    lsLoweredExt,
    lsFrameInset,
    lsFrameOffset,
    lsWindowBorder,
    lsSingleRaised,
    lsSingleLowered,
    lsDoubleRaised,
    lsDoubleLowered
};
enum TLcFrameSide : std::uint8_t { fsBottom, fsLeft, fsRight, fsTop };
using TLcFrameSides = std::uint8_t;
constexpr TLcFrameSides FrameSideBit(TLcFrameSide s) { return static_cast<TLcFrameSides>(1u << s); }
constexpr TLcFrameSides kAllFrameSides = 0x0F;

// Width in pixels of the standard frame of a style.
std::int32_t StandardFrameWidth(TLcBorderStyle style);
// The classic edge (BDR_*) that draws the standard frame of a style, adding any flags it needs; 0 for
// none.
std::uint32_t StandardFrameEdge(TLcBorderStyle style, std::uint32_t& flags);

class TLcBevel : public TLcObject {
public:
    static constexpr std::uint8_t kMaxFrameWidth = 50;

    TLcBevelStyle StyleInner() const { return styleInner_; }
    void SetStyleInner(TLcBevelStyle value);
    TLcBevelStyle StyleOuter() const { return styleOuter_; }
    void SetStyleOuter(TLcBevelStyle value);
    std::uint8_t WidthInner() const { return widthInner_; }
    void SetWidthInner(std::uint8_t value); // clamped to 0..50
    std::uint8_t WidthOuter() const { return widthOuter_; }
    void SetWidthOuter(std::uint8_t value); // clamped to 0..50
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value);
    std::uint8_t BorderInnerWidth() const { return borderInnerWidth_; }
    void SetBorderInnerWidth(std::uint8_t value);
    std::uint8_t BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(std::uint8_t value);
    TLcFrameSides BorderSides() const { return borderSides_; }
    void SetBorderSides(TLcFrameSides value);
    TLcEdgeStyle EdgeStyle() const { return edgeStyle_; }
    void SetEdgeStyle(TLcEdgeStyle value);
    TColor LightColor() const { return lightColor_; }
    void SetLightColor(TColor value);
    TLcBevelMode Mode() const { return mode_; }
    void SetMode(TLcBevelMode value);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value);
    TLcBorderStyle StandardStyle() const { return standardStyle_; }
    // Takes effect (and notifies) only in bmStandard; the value is stored in every mode.
    void SetStandardStyle(TLcBorderStyle value);
    // bmWindows is the window's own border, outside the client area.
    bool WindowBorder() const { return windowBorder_; }
    void SetWindowBorder(bool value);
    // The width of one frame line in pixels: 1, or more on a scaled display (set by the owner).
    std::int32_t LineWidth() const { return lineWidth_; }
    void SetLineWidth(std::int32_t value);

    // The border's width on each side, and on the right and bottom (they differ for a shadow frame).
    std::int32_t Ext() const { return ext_; }
    std::int32_t Extr() const { return extr_; }

    // Recomputes the extents, then tells the owner.
    void Change();
    std::int32_t GetBevelExtend() const;
    // The rectangle inside the border.
    TRect ClientRect(const TRect& rect) const;
    // Draws the border on `rect` from the outside in; `inner` receives the rectangle inside it. A
    // transparent call draws no fills, only the frames.
    void PaintBevel(TCanvas& canvas, const TRect& rect, TRect& inner, bool transparent) const;
    // Copies every setting but the extents, then Change().
    void Assign(const TLcBevel& source);

private:
    template <typename T> void Store(T& field, T value) {
        if (field == value) return;
        field = value;
        Change();
    }
    bool IsShadowFrame() const { return mode_ == bmCustom && styleOuter_ == bvShadow; }
    void PaintCustom(TCanvas& canvas, TRect& r, bool transparent) const;

    TLcBevelStyle styleInner_ = bvNone;
    TLcBevelStyle styleOuter_ = bvNone;
    std::uint8_t widthInner_ = 1;
    std::uint8_t widthOuter_ = 1;
    TColor borderColor_ = clBtnFace;
    std::uint8_t borderInnerWidth_ = 0;
    std::uint8_t borderWidth_ = 0;
    TLcFrameSides borderSides_ = kAllFrameSides;
    TLcEdgeStyle edgeStyle_ = etEtched;
    std::int32_t ext_ = 0;
    std::int32_t extr_ = 0;
    TColor lightColor_ = clBtnHighlight;
    TLcBevelMode mode_ = bmCustom;
    TColor shadowColor_ = clBtnShadow;
    TLcBorderStyle standardStyle_ = lsSingleLowered;
    bool windowBorder_ = false;
    std::int32_t lineWidth_ = 1;
};
