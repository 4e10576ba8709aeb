// The paint cycle and drawings made at once: z-order, erasing, clipping by windowed siblings above.
#include "framework/controls/custom_control.h"
#include "headless_fixture.h"

namespace {

// A control that fills itself with one colour and counts its paints.
class Swatch : public TCustomControl {
public:
    Swatch(TComponent* owner, TColor colour) : TCustomControl(owner), colour_(colour) {}
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        Canvas()->Brush()->SetColor(colour_);
        Canvas()->FillRect(ClientRect());
    }

private:
    TColor colour_;
};

class PaintCycleTest : public ZoomViewTest {
protected:
    std::uint32_t FormPixel(int x, int y) {
        return platform.WindowSurface(form->PlatformWindow())->Pixel(x, y);
    }
};

TEST_F(PaintCycleTest, LaterWindowedControlsLieAboveEarlierOnes) {
    auto* above = new Swatch(form, clRed);
    above->SetParent(form);
    above->SetBounds(100, 100, 50, 50); // over the view's middle
    app->ProcessMessages();
    EXPECT_EQ(FormPixel(120, 120), 0xFF0000u);
    // The view's drawing made at once (a tick with a moved pointer) keeps off the control above it.
    platform.SetPointer({600, 300});
    Tick();
    EXPECT_EQ(FormPixel(120, 120), 0xFF0000u);
    EXPECT_EQ(FormPixel(99, 120),
              ScreenPixel(538 + raster::SourceIndex(99, 124, 250), 238 + raster::SourceIndex(120, 124, 250)));
}

TEST_F(PaintCycleTest, OpaqueControlsAreNotErasedFirst) {
    auto* swatch = new Swatch(form, clLime);
    swatch->SetParent(form);
    swatch->SetBounds(10, 260, 20, 20);
    swatch->ControlStyle |= csOpaque;
    app->ProcessMessages();
    EXPECT_EQ(FormPixel(15, 265), 0x00FF00u);
    const int before = swatch->paints;
    swatch->Invalidate();
    app->ProcessMessages();
    EXPECT_EQ(swatch->paints, before + 1);
    EXPECT_EQ(FormPixel(15, 265), 0x00FF00u);
}

TEST_F(PaintCycleTest, HidingAControlRepaintsWhatItCovered) {
    auto* swatch = new Swatch(form, clRed);
    swatch->SetParent(form);
    swatch->SetBounds(10, 260, 20, 20);
    app->ProcessMessages();
    swatch->SetVisible(false);
    app->ProcessMessages();
    EXPECT_EQ(FormPixel(15, 265), 0xC0C0C0u); // the form's colour again
}

TEST_F(PaintCycleTest, WhatWasDrawnIsPresentedOnceTheMessageIsHandled) {
    platform.ResetCounters();
    platform.SetPointer({610, 300});
    Tick();
    const auto* window = platform.FindWindow(form->PlatformWindow());
    EXPECT_GE(window->presentCount, 1);
    EXPECT_EQ(window->lastPresented, Rect(0, 0, 250, 250));
}

} // namespace
