// The top-level window a control lives in, as the controls see it. Forms implement it one layer
// up, so a control can ask for the focus, mark itself for repainting or find its platform window
// without knowing forms.
#pragma once

#include "framework/platform/platform.h"

class TWinControl;

class TControlHost {
public:
    // The window's own control (the form).
    virtual TWinControl* HostControl() const = 0;
    // The platform window (0 until it is made).
    virtual WindowId PlatformWindow() const = 0;
    virtual TPoint ClientOriginOnScreen() const = 0;
    // Marks part of the client area for the next paint cycle.
    virtual void InvalidateFormRect(const TRect& rect) = 0;
    // The window is the active one, and the control that has the focus inside it.
    virtual bool Active() const = 0;
    virtual TWinControl* ActiveControl() const = 0;
    virtual void FocusControl(TWinControl* control) = 0;
    // A control inside is going: it must not stay the active control.
    virtual void ControlDestroyed(TWinControl* control) = 0;

protected:
    ~TControlHost() = default;
};
