#include "xp/lv_ex_custom_control.h"

TLvExCustomControl::TLvExCustomControl(TComponent* AOwner) : TCustomControl(AOwner) {}

void TLvExCustomControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: DoEraseBackground(m); break;
    case CM_MOUSEENTER: MouseEnter(m); break;
    case CM_MOUSELEAVE: MouseLeave(m); break;
    case WM_SIZE:
        TCustomControl::WndProc(m);
        BoundsChanged();
        break;
    default: TCustomControl::WndProc(m); break;
    }
}

void TLvExCustomControl::DoEraseBackground(TMessage& m) { TCustomControl::WndProc(m); }

void TLvExCustomControl::MouseEnter(TMessage& m) {
    mouseOver_ = true;
    if (OnControlMouseEnter) OnControlMouseEnter(this);
    TCustomControl::WndProc(m);
}

void TLvExCustomControl::MouseLeave(TMessage& m) {
    mouseOver_ = false;
    TCustomControl::WndProc(m);
    if (OnControlMouseLeave) OnControlMouseLeave(this);
}
