#include "app/main_window.h"

#include "app/program_classes.h"
#include "app/stored_layout.h"
#include "framework/stored/reader.h"

#include <algorithm>

TLTfrm* LTfrm = nullptr;

namespace {
// The view leaves this much of the client area's height for the controls below it, and this much
// of its width unused (at 96 pixels per inch; they scale with the window).
constexpr std::int32_t kControlsBelowView = 73;
constexpr std::int32_t kViewSideMargin = 2;
} // namespace

TLTfrm::TLTfrm(TComponent* AOwner) : TForm(AOwner) {
    RegisterProgramClasses();
    TFieldTable fields;
    fields.Add("zfm", zfm);
    fields.Add("PopupMenu1", PopupMenu1);
    fields.Add("crosshairMnuSub", crosshairMnuSub);
    fields.Add("CrosshairColor1", CrosshairColor1);
    fields.Add("Bluecr", Bluecr);
    fields.Add("Redcr", Redcr);
    fields.Add("Blackcr", Blackcr);
    fields.Add("Label1", Label1);
    fields.Add("powerZ", powerZ);
    fields.Add("Label2", Label2);
    fields.Add("crossS", crossS);
    fields.Add("LvXPButton1", LvXPButton1);
    fields.Add("crosshairMnu", crosshairMnu);
    fields.Add("Off1", Off1);
    const THandlerTable handlers{
        {"BluecrClick", TNotifyEvent([this](TObject* s) { BluecrClick(s); })},
        {"RedcrClick", TNotifyEvent([this](TObject* s) { RedcrClick(s); })},
        {"BlackcrClick", TNotifyEvent([this](TObject* s) { BlackcrClick(s); })},
        {"powerZChange", TNotifyEvent([this](TObject* s) { powerZChange(s); })},
        {"crossSChange", TNotifyEvent([this](TObject* s) { crossSChange(s); })},
        {"LvXPButton1Click", TNotifyEvent([this](TObject* s) { LvXPButton1Click(s); })},
        {"FormCanResize", TCanResizeEvent([this](TObject* s, int& w, int& h, bool& resize) {
             FormCanResize(s, w, h, resize);
         })},
        {"Off1Click", TNotifyEvent([this](TObject* s) { Off1Click(s); })},
        {"crosshairMnuClick", TNotifyEvent([this](TObject* s) { crosshairMnuClick(s); })},
    };
    ReadRootComponent(*this, StoredDescriptionTLTFRM(), fields, handlers);
    // Screen readers name each edit after the label beside it.
    Label1->SetFocusControl(powerZ);
    Label2->SetFocusControl(crossS);
}

void TLTfrm::BluecrClick(TObject*) {
    if (Bluecr->Checked()) zfm->CrosshairColor = clBlue;
}

void TLTfrm::RedcrClick(TObject*) {
    if (Redcr->Checked()) zfm->CrosshairColor = clRed;
}

void TLTfrm::BlackcrClick(TObject*) {
    if (Blackcr->Checked()) zfm->CrosshairColor = clBlack;
}

void TLTfrm::powerZChange(TObject*) { zfm->SetZoomPercentage(powerZ->Value()); }

void TLTfrm::crossSChange(TObject*) { zfm->CrosshairSize = crossS->Value(); }

void TLTfrm::LvXPButton1Click(TObject*) { Close(); }

void TLTfrm::FormCanResize(TObject*, int& NewWidth, int& NewHeight, bool&) {
    // The view is sized from the size the window is being given, in client terms, so it fits at once
    // (after maximising or one large drag) and stays inside frames wider than the classic one.
    const TSize client = ClientSizeForOuter(NewWidth, NewHeight);
    zfm->SetHeight(std::max(0, client.cy - ScaledLength(kControlsBelowView)));
    zfm->SetWidth(std::max(0, client.cx - ScaledLength(kViewSideMargin)));
    Label1->SetLeft(powerZ->Left());
    Label2->SetLeft(crossS->Left());
}

void TLTfrm::Off1Click(TObject*) {
    if (Off1->Checked()) zfm->SetCrossHair(false);
}

void TLTfrm::crosshairMnuClick(TObject*) {
    if (crosshairMnu->Checked()) zfm->SetCrossHair(true);
}
