// libFuzzer entry for the stored-description reader: any text must either build its objects or raise
// EReadError, and once the window it was read into is gone no component may be left alive. Every
// class of the toolkit and of the program is registered, so the fuzzer reaches each property reader.
// The root stands in for the main window: a form of the class name "TLTfrm" with the main window's
// fields and handlers (a real TLTfrm reads its own description as it is made).
#include "app/program_classes.h"
#include "app/stored_layout.h"
#include "framework/controls/label.h"
#include "framework/controls/menus.h"
#include "framework/forms/forms.h"
#include "framework/stored/reader.h"
#include "headless_session.h"
#include "spinedit/lc_spin_edit.h"
#include "xp/lv_xp_buttons.h"
#include "zoom/lv_zoom.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class TFuzzRoot : public TForm {
public:
    using TForm::TForm;
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

    bool AnyFieldSet() const {
        const void* fields[] = {
            zfm,    PopupMenu1, crosshairMnuSub, CrosshairColor1, Bluecr,      Redcr,        Blackcr,
            Label1, powerZ,     Label2,          crossS,          LvXPButton1, crosshairMnu, Off1};
        for (const void* f : fields)
            if (f != nullptr) return true;
        return false;
    }
};

void ReadInto(TFuzzRoot& root, std::string_view text) {
    TFieldTable fields;
    fields.Add("zfm", root.zfm);
    fields.Add("PopupMenu1", root.PopupMenu1);
    fields.Add("crosshairMnuSub", root.crosshairMnuSub);
    fields.Add("CrosshairColor1", root.CrosshairColor1);
    fields.Add("Bluecr", root.Bluecr);
    fields.Add("Redcr", root.Redcr);
    fields.Add("Blackcr", root.Blackcr);
    fields.Add("Label1", root.Label1);
    fields.Add("powerZ", root.powerZ);
    fields.Add("Label2", root.Label2);
    fields.Add("crossS", root.crossS);
    fields.Add("LvXPButton1", root.LvXPButton1);
    fields.Add("crosshairMnu", root.crosshairMnu);
    fields.Add("Off1", root.Off1);
    const TNotifyEvent notify = [](TObject*) {};
    THandlerTable handlers;
    for (const char* name : {"BluecrClick", "RedcrClick", "BlackcrClick", "powerZChange", "crossSChange",
                             "LvXPButton1Click", "Off1Click", "crosshairMnuClick"})
        handlers[name] = notify;
    handlers["FormCanResize"] = TCanResizeEvent([](TObject*, int&, int&, bool&) {});
    ReadRootComponent(root, text, fields, handlers);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterProgramClasses();
    ClassRegistry().Register<TFuzzRoot>("TLTfrm", "TForm");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HeadlessSession session;
    const std::size_t aliveBefore = TComponent::LiveCount();
    auto* root = new TFuzzRoot(session.app.get());
    bool built = true;
    try {
        ReadInto(*root, std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const EReadError&) {
        built = false;
    }
    // A failed read leaves the root as it was given: empty, its fields null.
    if (!built && (root->ComponentCount() != 0 || root->ControlCount() != 0 || root->AnyFieldSet()))
        FuzzFailure("a failed read left objects in the root");
    // What was built runs its first messages (timers armed while loading, posted notifications).
    if (built) session.app->ProcessMessages();
    delete root;
    if (TComponent::LiveCount() != aliveBefore) FuzzFailure("components outlived the window read");
    return 0;
}
