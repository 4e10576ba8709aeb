// The two spin edits as the main window stores them (the zoom power and the crosshair size), on a
// form of their own, for the unit tests and the end-to-end tests of the desktop backends.
#pragma once

#include "app/stored_layout.h"
#include "framework/forms/forms.h"
#include "framework/stored/reader.h"
#include "spinedit/lc_spin_edit.h"
#include "spinedit/lc_spin_edit_classes.h"

#include <string>
#include <string_view>

class TSpinProbeForm : public TForm {
public:
    using TForm::TForm;
    TLcSpinEdit* powerZ = nullptr;
    TLcSpinEdit* crossS = nullptr;
};

// The probe's description: a window of the main window's size holding the main window's own stored
// entries of the two edits, taken from its description so the two cannot drift apart.
inline std::string SpinProbeDescription() {
    const std::string_view main = StoredDescriptionTLTFRM();
    const std::size_t from = main.find("  object powerZ: TLcSpinEdit");
    const std::size_t to = main.find("  object LvXPButton1:");
    return "object Probe: TSpinProbeForm\n  Left = 0\n  Top = 0\n  Width = 258\n  Height = 320\n" +
           std::string(main.substr(from, to - from)) + "end\n";
}

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
    ReadRootComponent(form, SpinProbeDescription(), fields, handlers);
}
