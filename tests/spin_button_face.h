// Reads a spin button's picture as the classic face split along its diagonal: an up arrow (rows of
// 1, 3 and 5 black pixels) in the upper half, a down arrow (5, 3, 1) in the lower half, a raised
// frame, and the sunken frame of a pressed part on its own side of the diagonal only.
#pragma once

#include "framework/core/types.h"
#include "framework/platform/pixel_surface.h"

#include <cstdint>
#include <vector>

namespace spin_face {

// The widths of the rows of `arrow` pixels in rows [top, bottom), inside a frame `frame` pixels wide
// at the left, top to bottom.
inline std::vector<int> ArrowRows(const PixelSurface& button, int top, int bottom, TColor arrow, int frame) {
    std::vector<int> widths;
    for (int y = top; y < bottom; ++y) {
        int count = 0;
        for (int x = frame; x < button.Width() - 1; ++x)
            count += button.Pixel(x, y) == ColorToPixel(arrow) ? 1 : 0;
        if (count > 0) widths.push_back(count);
    }
    return widths;
}

// An up arrow above the middle, a down arrow below it, in their colours (black, or the hot colour).
// The upper part's frame is one pixel wide, or two while it is pressed (its inner line is black).
inline bool HasBothArrows(const PixelSurface& button, TColor up = clBlack, TColor down = clBlack,
                          int upperFrame = 1) {
    const int middle = button.Height() / 2;
    return ArrowRows(button, upperFrame, middle, up, upperFrame) == std::vector<int>{1, 3, 5} &&
           ArrowRows(button, middle, button.Height() - 2, down, 1) == std::vector<int>{5, 3, 1};
}

// The upper-left corner belongs to the upper part, the lower-right one to the lower part. A raised
// frame is light at the upper left and dark at the lower right; a sunken one the other way round.
// The frame ends one pixel short of the button's last column and row, which show the face.
inline bool CornersAre(const PixelSurface& button, TColor upper, TColor lower) {
    return button.Pixel(0, 0) == ColorToPixel(upper) &&
           button.Pixel(button.Width() - 2, button.Height() - 2) == ColorToPixel(lower) &&
           button.Pixel(button.Width() - 1, button.Height() - 1) == ColorToPixel(clBtnFace);
}

// Neither part pressed.
inline bool IsRaised(const PixelSurface& button) { return CornersAre(button, clBtnHighlight, clBtnShadow); }
inline bool IsClassicFace(const PixelSurface& button) { return HasBothArrows(button) && IsRaised(button); }

// The upper part pressed, the lower one still raised.
inline bool IsUpperPressed(const PixelSurface& button) {
    return HasBothArrows(button, clBlack, clBlack, 2) && CornersAre(button, clBtnShadow, clBtnShadow);
}

} // namespace spin_face
