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
    const TLcApplication& app = LcApplication();
    return ControlSupportsXP() && app.GetUseXPThemes() && app.GetXPThemesSupported() && ctlXP_;
}

void TLcGraphicControl::DoThemeChanged() { Invalidate(); }

void TLcGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == LC_WM_THEMECHANGED) {
        DoThemeChanged();
        return;
    }
    TGraphicControl::WndProc(m);
}
