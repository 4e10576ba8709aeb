#include "edit/lc_graphic_control.h"

#include "edit/lc_application.h"
#include "edit/lc_custom_control.h"

TLcGraphicControl::TLcGraphicControl(TComponent* AOwner) : TGraphicControl(AOwner) {}

void TLcGraphicControl::SetCtlXP(bool value) {
    if (value == ctlXP_) return;
    ctlXP_ = value;
    DoThemeChanged();
}

bool TLcGraphicControl::UseXP() {
    // The switch answers for the platform too: on, and a theme active.
    return ControlSupportsXP() && LcApplication().GetUseXPThemes() && ctlXP_;
}

void TLcGraphicControl::DoThemeChanged() { Invalidate(); }

void TLcGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == LC_WM_THEMECHANGED) {
        DoThemeChanged();
        return;
    }
    TGraphicControl::WndProc(m);
}
