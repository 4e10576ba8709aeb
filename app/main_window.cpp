#include "app/main_window.h"

TLTfrm* LTfrm = nullptr;

TLTfrm::TLTfrm(TComponent* AOwner) : TForm(AOwner) { ReadStoredLayout(); }

void TLTfrm::ReadStoredLayout() {
    BeginLoading();
    SetBounds(660, 295, 258, 320);
    BorderIcons = 0;
    SetCaption("Lentaro");
    SetColor(clSilver);

    zfm = new TLvZoom(this);
    zfm->SetName("zfm");
    zfm->BeginLoading();
    zfm->SetParent(this);
    zfm->SetBounds(0, 0, 250, 250);
    zfm->SetZoomLevel(50);
    zfm->SetCrossHair(true);
    zfm->CrosshairColor = clBlue;

    EndReading();
    zfm->EndReading();
    // The root first, then its components in the order they were read.
    Loaded();
    zfm->Loaded();
}
