// A window's back surface lives in its presenting image where the image's pixels have the surface's
// own layout (32 bits, 0x00RRGGBB, host order): the toolkit draws straight into the shared memory the
// server reads, so a present copies nothing and the pixels are no private memory of the program.
// Other screens (16 bits, say) keep a surface of their own, converted at each present.
#include "framework/platform/x11/x11_platform.h"

#include <cstring>

namespace {

bool HasSurfaceLayout(const XImage* image) {
    const auto format = X11PixelFormat::FromMasks(
        static_cast<std::uint32_t>(image->red_mask), static_cast<std::uint32_t>(image->green_mask),
        static_cast<std::uint32_t>(image->blue_mask), image->bits_per_pixel, image->byte_order == MSBFirst);
    return format && format->IsNativeRgb32() && image->bytes_per_line % 4 == 0;
}

} // namespace

void X11Platform::ResizeSurface(TopLevel& w, std::int32_t width, std::int32_t height) {
    if (width > 0 && height > 0 && w.image && w.image->Ensure(width, height) &&
        HasSurfaceLayout(w.image->Get())) {
        XImage* image = w.image->Get();
        std::memset(image->data, 0,
                    static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height));
        w.surface = PixelSurface::Wrap(reinterpret_cast<std::uint32_t*>(image->data), width, height,
                                       image->bytes_per_line / 4);
        return;
    }
    w.surface.Resize(width, height);
}

bool X11Platform::SurfaceIsImage(const TopLevel& w) {
    const XImage* image = w.image ? w.image->Get() : nullptr;
    return image != nullptr && w.surface.Height() > 0 &&
           w.surface.Row(0) == reinterpret_cast<const std::uint32_t*>(image->data);
}
