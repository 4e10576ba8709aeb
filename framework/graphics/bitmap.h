// Graphics that a canvas can draw: TGraphic, TBitmap (32-bit pixels with its own canvas) and
// TPicture (a holder of one graphic that reports every change).
#pragma once

#include "framework/graphics/canvas.h"

#include <memory>

class TGraphic : public TPersistent {
public:
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    virtual bool Empty() const = 0;
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange(this);
    }

private:
    bool transparent_ = false;
};

enum TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    std::int32_t Width() const override { return pixels_.Width(); }
    std::int32_t Height() const override { return pixels_.Height(); }
    bool Empty() const override { return pixels_.Width() == 0 || pixels_.Height() == 0; }
    void Draw(TCanvas& canvas, const TRect& rect) override;
    std::unique_ptr<TGraphic> Clone() const override;

    // Keeps what fits of the old picture; new area is black.
    void SetSize(std::int32_t width, std::int32_t height);
    void SetWidth(std::int32_t width) { SetSize(width, Height()); }
    void SetHeight(std::int32_t height) { SetSize(Width(), height); }
    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat format) { pixelFormat_ = format; }
    // The colour not drawn when transparent: the bottom-left pixel (0x00BBGGRR).
    std::uint32_t TransparentColor() const;

    TCanvas* Canvas();
    PixelSurface& Pixels() { return pixels_; }
    const PixelSurface& Pixels() const { return pixels_; }

private:
    class BitmapCanvas;
    PixelSurface pixels_;
    std::unique_ptr<BitmapCanvas> canvas_;
    TPixelFormat pixelFormat_ = pfDevice;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Takes a copy of `graphic` (null clears the picture).
    void SetGraphic(const TGraphic* graphic);
    // The picture's bitmap, replacing any other graphic with an empty bitmap.
    TBitmap* Bitmap();
    void Assign(const TPicture* source);
    std::int32_t Width() const { return graphic_ ? graphic_->Width() : 0; }
    std::int32_t Height() const { return graphic_ ? graphic_->Height() : 0; }

    TNotifyEvent OnChange;

private:
    void Attach(std::unique_ptr<TGraphic> graphic);
    void Changed() {
        if (OnChange) OnChange(this);
    }
    std::unique_ptr<TGraphic> graphic_;
};
