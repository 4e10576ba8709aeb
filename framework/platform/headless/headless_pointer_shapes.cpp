// The headless backend's pointer shapes: nothing is shown, each window's shape is recorded.
#include "framework/platform/headless/headless_platform.h"

void HeadlessPlatform::SetWindowPointerShape(WindowId window, PointerShape shape) {
    ++pointerShapeCalls_;
    if (FindWindow(window) != nullptr) pointerShapes_[window] = shape;
}

PointerShape HeadlessPlatform::ShownPointerShape(WindowId window) const {
    const auto it = pointerShapes_.find(window);
    return it == pointerShapes_.end() ? PointerShape::Arrow : it->second;
}
