// The program's one window, TLTfrm: the zoom view at the top.
#pragma once

#include "framework/forms.h"
#include "zoom/lv_zoom.h"

class TLTfrm : public TForm {
public:
    explicit TLTfrm(TComponent* AOwner);

    TLvZoom* zfm = nullptr;

private:
    // Builds the window from its stored layout: the window's properties first, then its controls in
    // stored order, each with its properties in stored order; Loaded runs on all of them at the end.
    void ReadStoredLayout();
};

// The process-wide reference to the main window; set before its construction begins.
extern TLTfrm* LTfrm;
