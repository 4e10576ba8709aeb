// The program's one window, TLTfrm: the zoom view at the top, below it the zoom power and crosshair
// size edits with their labels and the "Exit" button, and the pop-up menu that switches the
// crosshair and chooses its colour. It is built from its stored description TLTFRM.
#pragma once

#include "framework/controls/label.h"
#include "framework/controls/menus.h"
#include "framework/forms/forms.h"
#include "spinedit/lc_spin_edit.h"
#include "xp/lv_xp_buttons.h"
#include "zoom/lv_zoom.h"

class TLTfrm : public TForm {
public:
    explicit TLTfrm(TComponent* AOwner);

    TLvZoom* zfm = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* crosshairMnuSub = nullptr;
    TMenuItem* CrosshairColor1 = nullptr;
    TMenuItem* Bluecr = nullptr;
    TMenuItem* Redcr = nullptr;
    TMenuItem* Blackcr = nullptr;
    TLabel* Label1 = nullptr;
    TLcSpinEdit* powerZ = nullptr;
    TLabel* Label2 = nullptr;
    TLcSpinEdit* crossS = nullptr;
    TLvXPButton* LvXPButton1 = nullptr;
    TMenuItem* crosshairMnu = nullptr;
    TMenuItem* Off1 = nullptr;

    // Menu handlers: each acts only when its item is marked after the menu flipped the mark.
    void BluecrClick(TObject* Sender);
    void RedcrClick(TObject* Sender);
    void BlackcrClick(TObject* Sender);
    // The edits' values go to the view as they are typed (the view ignores a zoom power of 0).
    void powerZChange(TObject* Sender);
    void crossSChange(TObject* Sender);
    // "Exit": closing the main window ends the program.
    void LvXPButton1Click(TObject* Sender);
    // Before each size change: the view fills the new client area above the controls, and the
    // labels line up with their edits.
    void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
    void Off1Click(TObject* Sender);
    void crosshairMnuClick(TObject* Sender);
};

// The process-wide reference to the main window; set before its construction begins.
extern TLTfrm* LTfrm;
