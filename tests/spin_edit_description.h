// The two spin edits as the main window stores them (the zoom power and the crosshair size), on a
// small form of their own, for the unit tests and the end-to-end tests of the desktop backends.
#pragma once

#include "framework/forms.h"
#include "framework/stored/reader.h"
#include "spinedit/lc_spin_edit.h"
#include "spinedit/lc_spin_edit_classes.h"

class TSpinProbeForm : public TForm {
public:
    using TForm::TForm;
    TLcSpinEdit* powerZ = nullptr;
    TLcSpinEdit* crossS = nullptr;
};

inline const char* const kSpinEdits = R"(object Probe: TSpinProbeForm
  Left = 0
  Top = 0
  Width = 258
  Height = 120
  object powerZ: TLcSpinEdit
    Left = 0
    Top = 20
    Width = 65
    Height = 21
    Anchors = [akLeft, akBottom]
    Bevel.Mode = bmWindows
    Caret.BlinkRate = 530
    TabOrder = 1
    OnChange = powerZChange
    AutoSelect = True
    Suffix = '%'
    MaxValue = 1000
    Value = 200
    DateTime = 0.000000000000000000
  end
  object crossS: TLcSpinEdit
    Left = 88
    Top = 19
    Width = 73
    Height = 21
    Anchors = [akBottom]
    Bevel.Mode = bmWindows
    Caret.BlinkRate = 530
    TabOrder = 2
    OnChange = crossSChange
    AutoSelect = True
    Suffix = ' pixels'
    Value = 20
    DateTime = 0
  end
end
)";

// Reads the description into `form`; the handlers hear every change of the zoom power and of the
// crosshair size.
inline void ReadSpinProbe(
    TSpinProbeForm& form, const TNotifyEvent& zoomChanged,
    const TNotifyEvent& sizeChanged = [](TObject*) {}) {
    RegisterSpinEditClasses(ClassRegistry());
    ClassRegistry().Register<TSpinProbeForm>("TSpinProbeForm", "TForm");
    TFieldTable fields;
    fields.Add("powerZ", form.powerZ);
    fields.Add("crossS", form.crossS);
    THandlerTable handlers;
    handlers["powerZChange"] = zoomChanged;
    handlers["crossSChange"] = sizeChanged;
    ReadRootComponent(form, kSpinEdits, fields, handlers);
}
