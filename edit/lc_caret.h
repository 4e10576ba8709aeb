// TLcCaret: the description of an edit's caret (style, size, blink rate). The edit places and shows
// it; while the edit has the focus the caret is "built".
#pragma once

#include "framework/component.h"

#include <cstdint>

enum TLcCaretStyle : std::uint8_t { csDefault, csBlock, csUnder, csOver, csUnderBlock, csBitmap };

class TLcCaret : public TPersistent {
public:
    TLcCaret();

    std::uint16_t BlinkRate = 530;
    std::uint16_t Width = 2;
    std::uint16_t Height = 10;
    TLcCaretStyle Style = csDefault;
    // Height of the csDefault caret, set by the edit from its font.
    std::uint16_t FontHeight = 0;

    // Copies BlinkRate, Width, Height and Style.
    void Assign(const TLcCaret& source);

    // Built while the edit holds the focus; drawn at Position (client coordinates of the edit).
    bool Built() const { return built_; }
    void Build() { built_ = true; }
    void Destroy() { built_ = false; }
    TPoint Position;
    // Size of the caret as drawn.
    std::int32_t DrawWidth() const { return Style == csDefault ? 1 : Width; }
    std::int32_t DrawHeight() const { return Style == csDefault ? FontHeight : Height; }

private:
    bool built_ = false;
};
