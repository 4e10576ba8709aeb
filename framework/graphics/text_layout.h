// Formatted text on a canvas: alignment, line breaks, word wrapping, accelerator prefixes, tab
// expansion and end ellipses, with the flag values of the platform's DrawText.
#pragma once

#include "framework/graphics/canvas.h"

#include <cstdint>
#include <string>

constexpr std::uint32_t DT_LEFT = 0x0;
constexpr std::uint32_t DT_TOP = 0x0;
constexpr std::uint32_t DT_CENTER = 0x1;
constexpr std::uint32_t DT_RIGHT = 0x2;
constexpr std::uint32_t DT_VCENTER = 0x4;
constexpr std::uint32_t DT_BOTTOM = 0x8;
constexpr std::uint32_t DT_WORDBREAK = 0x10;
constexpr std::uint32_t DT_SINGLELINE = 0x20;
constexpr std::uint32_t DT_EXPANDTABS = 0x40;
constexpr std::uint32_t DT_NOCLIP = 0x100;
constexpr std::uint32_t DT_CALCRECT = 0x400;
constexpr std::uint32_t DT_NOPREFIX = 0x800;
constexpr std::uint32_t DT_END_ELLIPSIS = 0x8000;
constexpr std::uint32_t DT_RTLREADING = 0x20000;

// Draws `text` in `rect` with the canvas font (in its colour) and returns the height of the text.
// With DT_CALCRECT nothing is drawn: `rect` keeps its left and top and is resized to the text's
// extent (the widest line by all lines). Character cells are filled with the brush unless the
// brush is clear or the canvas background is transparent. The canvas pen position is kept.
//
// Lines break at "\r\n", "\n" and "\r" unless DT_SINGLELINE; DT_WORDBREAK also breaks at blanks
// to fit the rectangle's width (a word longer than the width stays whole). Without DT_NOPREFIX,
// "&" is not drawn and the character after the last such mark is underlined; "&&" draws one "&".
// A line wider than the rectangle ends in "..." under DT_END_ELLIPSIS. DT_VCENTER and DT_BOTTOM
// apply to single lines only. DT_RTLREADING is accepted; the toolkit lays text out left to right.
int DrawTextFlags(TCanvas& canvas, const std::string& text, TRect& rect, std::uint32_t flags);
