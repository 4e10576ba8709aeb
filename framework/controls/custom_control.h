// Controls that draw themselves: TCustomControl (windowed, with its own canvas) and TGraphicControl
// (drawn on its parent's surface), and TControlCanvas, which obtains a control surface when a
// drawing is made outside the paint cycle.
#pragma once

#include "framework/controls/controls.h"
#include "framework/graphics/canvas.h"

class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl* control) : control_(control) {}
    ~TControlCanvas() override;
    TControl* Control() const { return control_; }
    // Releases the held control surface, if any.
    void FreeHandle();
    bool HoldsSurface() const { return held_; }

protected:
    // Obtains a surface on the control's window; at most four are held at a time across the program.
    void CreateHandle() override;

private:
    TControl* control_;
    WindowId heldWindow_ = 0;
    bool held_ = false;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return canvas_.get(); }

protected:
    virtual void Paint() {}
    // Binds the canvas to DC, runs Paint and unbinds it again, even when Paint fails.
    void PaintWindow(DeviceContext& DC) override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return canvas_.get(); }
    void WndProc(TMessage& Message) override;

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TControlCanvas> canvas_;
};
