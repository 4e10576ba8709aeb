// Classic three-dimensional edges, drawn as the classic platform's DrawEdge draws them: an outer ring
// and an inner ring, each with a top-left and a bottom-right colour. The bottom and right lines run
// the full length, so they own the top-right and bottom-left corner pixels.
#pragma once

#include "framework/graphics/canvas.h"

#include <cstdint>

// Edge kinds: which rings are drawn, raised or sunken.
constexpr std::uint32_t BDR_RAISEDOUTER = 0x0001;
constexpr std::uint32_t BDR_SUNKENOUTER = 0x0002;
constexpr std::uint32_t BDR_RAISEDINNER = 0x0004;
constexpr std::uint32_t BDR_SUNKENINNER = 0x0008;
constexpr std::uint32_t BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr std::uint32_t BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr std::uint32_t EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr std::uint32_t EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr std::uint32_t EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr std::uint32_t EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// Sides and options.
constexpr std::uint32_t BF_LEFT = 0x0001;
constexpr std::uint32_t BF_TOP = 0x0002;
constexpr std::uint32_t BF_RIGHT = 0x0004;
constexpr std::uint32_t BF_BOTTOM = 0x0008;
constexpr std::uint32_t BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr std::uint32_t BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr std::uint32_t BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr std::uint32_t BF_MIDDLE = 0x0800; // fill the inside with clBtnFace
constexpr std::uint32_t BF_SOFT = 0x1000;   // accepted; drawn as without it
constexpr std::uint32_t BF_ADJUST = 0x2000; // shrink the rectangle by what was drawn
constexpr std::uint32_t BF_FLAT = 0x4000;   // one flat shadow-coloured ring
constexpr std::uint32_t BF_MONO = 0x8000;   // one window-frame-coloured ring

// Draws the edge on `rect` (logical coordinates, right and bottom exclusive) of `canvas`. The
// canvas's brush is restored afterwards. Each ring is `thickness` pixels wide (a frame drawn at a
// display scale of two or more). Returns false for an empty rectangle or no edge kind.
bool DrawEdge(TCanvas& canvas, TRect& rect, std::uint32_t edge, std::uint32_t flags, int thickness = 1);
