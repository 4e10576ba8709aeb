// TLcGraphicControl: the windowless control of the control library. It makes the same theme
// decision as TLcCustomControl, so a graphic control inside a themed edit draws themed too.
#pragma once

#include "framework/controls/custom_control.h"

class TLcGraphicControl : public TGraphicControl {
public:
    explicit TLcGraphicControl(TComponent* AOwner);

    bool CtlXP() const { return ctlXP_; }
    // A change counts as a theme change.
    void SetCtlXP(bool value);
    // Theme drawing is in use: the control supports it, the application's switch is on, the
    // platform has an active theme, and CtlXP allows it.
    bool UseXP();

    virtual void DoThemeChanged();
    virtual bool ControlSupportsXP() { return false; }

    void WndProc(TMessage& Message) override;

private:
    bool ctlXP_ = true;
};
