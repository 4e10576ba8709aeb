// TLcCaret: the description of an edit's caret (shape, size, blink rate) and its life on the
// toolkit's caret: built when the edit gets the focus, shown and hidden around every text drawing,
// destroyed when the focus leaves.
#pragma once

#include "framework/core/component.h"
#include "framework/graphics/bitmap.h"

#include <cstdint>
#include <memory>

class TWinControl;

enum TLcCaretStyle : std::uint8_t { csDefault, csBlock, csUnder, csOver, csBitmap, csUnderBlock };
enum TLcCaretBitmap : std::uint8_t { cbBmpSize, cbTile, cbStretch };

class TLcCaret : public TPersistent {
public:
    // `owner` is the control that shows the caret.
    explicit TLcCaret(TWinControl* owner);
    ~TLcCaret() override;
    TLcCaret(const TLcCaret&) = delete;
    TLcCaret& operator=(const TLcCaret&) = delete;

    TPoint Pos{1, 0};
    // The csBitmap image, and its tiled or stretched copy of the caret's size.
    TBitmap* Bitmap() const { return bitmap_.get(); }
    const TBitmap* EffectBitmap() const { return effectBitmap_.get(); }
    std::uint16_t FontHeight = 0;
    std::uint16_t SavedBlinkRate;
    std::uint16_t Width = 2;
    std::uint16_t Height = 10;
    std::uint16_t ImageIndex = 0;
    std::uint16_t ListIndex = 0;
    std::uint16_t BlinkRate;
    TLcCaretStyle Style = csDefault;
    TLcCaretBitmap CaretBmpMode = cbBmpSize;
    bool ShowAllowed = true;
    TWinControl* Owner() const { return owner_; }
    bool Built() const { return built_; }
    bool Shown() const { return shown_; }

    // Makes the toolkit caret for the owner in the current style and sets its blink time.
    void BuildCaret();
    // Shows the caret (building it the first time).
    void Enable();
    void Disable();
    // Destroys the toolkit caret; a destroyed caret is no longer shown.
    void DestroyCaret();
    // Copies BlinkRate, Width, Height and Style.
    void Assign(const TLcCaret& source);

private:
    // The caret's width and height in the current style.
    TSize ShapeSize() const;

    TWinControl* owner_;
    std::unique_ptr<TBitmap> bitmap_;
    std::unique_ptr<TBitmap> effectBitmap_;
    bool built_ = false;
    bool shown_ = false;
};
