// The XP push button: a dark-blue rounded frame round a white-to-grey gradient face, an orange band
// while the pointer is over it, a blue band while focused (or the default button), a darker face while
// pressed; a caption and an optional glyph; Space, Enter (default) and Escape (cancel) click it.
#pragma once

#include "framework/graphics/bitmap.h"
#include "xp/lv_xp_core.h"

#include <algorithm>
#include <memory>

enum TLvXPLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

using TLvPicture = TPicture;

class TLvXPCustomButton : public TLvXPCustomStyleControl {
public:
    explicit TLvXPCustomButton(TComponent* AOwner);
    ~TLvXPCustomButton() override;

    bool AutoGray() const { return autoGray_; }
    virtual void SetAutoGray(bool value);
    bool Cancel = false;
    bool Default() const { return default_; }
    virtual void SetDefault(bool value);
    TLvPicture* Glyph() const { return glyph_.get(); }
    virtual void SetGlyph(const TLvPicture* value);
    TLvXPLayout Layout() const { return layout_; }
    virtual void SetLayout(TLvXPLayout value);
    bool ShowAccelChar() const { return showAccelChar_; }
    virtual void SetShowAccelChar(bool value);
    bool ShowFocusRect() const { return showFocusRect_; }
    virtual void SetShowFocusRect(bool value);
    bool SmoothEdges() const { return smoothEdges_; }
    virtual void SetSmoothEdges(bool value);
    std::uint8_t Spacing() const { return spacing_; }
    virtual void SetSpacing(std::uint8_t value);
    bool WordWrap() const { return wordWrap_; }
    virtual void SetWordWrap(bool value);
    // Index of a linked action's image; the program links no action, so it stays -1.
    std::int32_t ImageIndex = -1;

    // Whether the inner frame band shows: over, focused, or pressed with the pointer away; and, unless
    // ignoreDefault, on the default button while no XP control is the form's active control.
    bool IsSpecialDrawState(bool ignoreDefault) const;
    void HookResized() override;
    // The glyph follows the window's scale by whole-pixel repetition: twice at 200 %, and at
    // fractional scales the whole part of the scale (once at 150 %, twice at 250 %), so it stays crisp.
    std::int32_t GlyphRepeat() const { return FrameLineWidth(); }

    // A push button named by its caption; its default action "Press" clicks it.
    void DescribeAccessible(AccessibleDescription& description) override;
    bool AccessibleDefaultAction() override;

    TBitmap* BackgroundGradient() const { return background_.get(); }
    TBitmap* PressedGradient() const { return pressed_.get(); }
    TBitmap* FocusGradient() const { return focus_.get(); }
    TBitmap* HighlightGradient() const { return highlight_.get(); }

protected:
    void Paint() override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyUp(std::uint16_t& Key, TShiftState Shift) override;
    void CMDialogKey(TMessage& Message) override;

private:
    void RebuildGradients();

    bool autoGray_ = true;
    bool default_ = false;
    TLvXPLayout layout_ = blGlyphLeft;
    bool showAccelChar_ = true;
    bool showFocusRect_ = false;
    bool smoothEdges_ = true;
    std::uint8_t spacing_ = 3;
    bool wordWrap_ = true;
    std::unique_ptr<TBitmap> background_;
    std::unique_ptr<TBitmap> pressed_;
    std::unique_ptr<TBitmap> focus_;
    std::unique_ptr<TBitmap> highlight_;
    std::unique_ptr<TLvPicture> glyph_;
};

class TLvXPButton : public TLvXPCustomButton {
public:
    using TLvXPCustomButton::TLvXPCustomButton;
};
