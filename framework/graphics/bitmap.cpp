#include "framework/graphics/bitmap.h"

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

class TBitmap::BitmapCanvas : public TCanvas {
public:
    explicit BitmapCanvas(TBitmap& owner) : owner_(owner) {}

protected:
    void CreateHandle() override { SetHandle(DeviceContext::ForSurface(owner_.pixels_)); }
    void Changed() override {
        TCanvas::Changed();
        owner_.Changed();
    }

private:
    TBitmap& owner_;
};

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::SetSize(std::int32_t width, std::int32_t height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height()) return;
    PixelSurface resized(width, height);
    raster::Blit(resized, 0, 0, pixels_, resized.Bounds());
    pixels_ = std::move(resized);
    if (canvas_) canvas_->SetHandle(std::nullopt); // rebinds to the new pixels on next use
    Changed();
}

std::uint32_t TBitmap::TransparentColor() const {
    if (Empty()) return 0;
    return raster::PixelToColorRef(pixels_.Pixel(0, Height() - 1));
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<BitmapCanvas>(*this);
    return canvas_.get();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty()) return;
    canvas.DrawPixels(rect, pixels_, Transparent(), raster::ColorRefToPixel(TransparentColor()));
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
    auto copy = std::make_unique<TBitmap>();
    copy->pixels_.Resize(Width(), Height());
    raster::Blit(copy->pixels_, 0, 0, pixels_, copy->pixels_.Bounds());
    copy->pixelFormat_ = pixelFormat_;
    copy->SetTransparent(Transparent());
    return copy;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Attach(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) { Attach(graphic ? graphic->Clone() : nullptr); }

TBitmap* TPicture::Bitmap() {
    if (auto* bmp = dynamic_cast<TBitmap*>(graphic_.get())) return bmp;
    Attach(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::Assign(const TPicture* source) { SetGraphic(source ? source->Graphic() : nullptr); }
