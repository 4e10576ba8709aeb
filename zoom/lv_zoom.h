// TLvZoom: shows, stretched over its client area, the screen round the pointer (or round a fixed
// point while disabled), polled by a timer, with an optional crosshair.
#pragma once

#include "framework/core/timer.h"
#include "framework/graphics/bitmap.h"
#include "xp/lv_ex_custom_control.h"

#include <cstdint>
#include <memory>

class TLvZoom : public TLvCustomControl {
public:
    // No pointer position can equal it; makes the next drawing happen.
    static constexpr TPoint kSentinel{2147483647, 2147483647};

    explicit TLvZoom(TComponent* AOwner);
    ~TLvZoom() override;

    void Loaded() override;
    void Resize() override;
    // A picture, "Magnified view", for assistive technology.
    void DescribeAccessible(AccessibleDescription& description) override;

    // Draws the view now, outside the paint cycle. Tick handler of the poll timer.
    void PaintMe(TObject* Sender);
    // The capture-and-draw routine.
    void PaintZoom();
    void DoContentsChanged();
    void ForceUpdate();
    void ZoomInAt(std::int32_t x, std::int32_t y);
    void Cache();
    void FlushCache();

    bool Active() const { return active_; }
    void SetActive(bool value);
    std::int32_t ZoomLevel() const { return zoomLevel_; }
    void SetZoomLevel(std::int32_t value);
    std::int32_t GetZoomPercentage() const;
    void SetZoomPercentage(std::int32_t value);
    std::uint32_t Delay() const { return delay_; }
    void SetDelay(std::uint32_t value);
    bool Crosshair() const { return crosshair_; }
    void SetCrossHair(bool value);
    TPicture* CrossHairPicture() const { return crossHairPicture_.get(); }
    void SetCrossHairPicture(const TPicture* value);
    bool CacheOnDeactivate() const { return cacheOnDeactivate_; }
    void SetCacheOnDeactivate(bool value);

    // Plain stores: they show at the next drawing.
    TColor CrosshairColor = clBlack;
    std::int32_t CrosshairSize = 20;
    TNotifyEvent OnContentsChanged;

    TPoint ZoomPoint() const { return zoomPoint_; }
    TTimer* PollTimer() const { return pollTimer_; }
    TBitmap* CachedImage() const { return cachedImage_.get(); }

protected:
    void Paint() override;
    // A repaint shows the picture afresh even while the pointer rests; the picture covers the whole
    // view, so an active view is not erased first.
    void WMPaint(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;

private:
    // The poll timer's tick. After a tick at rest the timer sleeps until the pointer moves, where
    // the platform reports motion: the ticks it skips would have drawn nothing.
    void PollTick();
    // Makes the next drawing happen, and brings a sleeping poll timer back to its period.
    void ForceNextDrawing();

    TTimer* pollTimer_ = nullptr;
    bool pointerRested_ = false; // the last PaintZoom found the pointer where it was drawn
    bool active_ = true;
    std::int32_t zoomLevel_ = 100;
    std::uint32_t delay_ = 100;
    TPoint zoomPoint_{0, 0};
    bool crosshair_ = false;
    bool cacheOnDeactivate_ = true;
    std::unique_ptr<TBitmap> cachedImage_;
    std::unique_ptr<TPicture> crossHairPicture_;
};
