#include "framework/forms/desktop_look.h"

#include "framework/forms/forms.h"

#include <algorithm>

namespace {

void SendToTree(TControl& control, std::uint32_t message) {
    control.Perform(message, 0, 0);
    // A control may re-create its children as it hears (a new border): walk the list afresh.
    if (auto* w = dynamic_cast<TWinControl*>(&control))
        for (int i = 0; i < w->ControlCount(); ++i) SendToTree(*w->Controls(i), message);
}

} // namespace

void DesktopLookChanged(PlatformEvent::Kind change) {
    const std::uint32_t message =
        change == PlatformEvent::Kind::ThemeChanged ? WM_THEMECHANGED : WM_SYSCOLORCHANGE;
    const bool highContrast = CurrentPlatform().HighContrast();
    // A handler may close a form: work on a copy and skip forms that went meanwhile.
    const std::vector<TCustomForm*> forms = Screen->Forms();
    for (TCustomForm* form : forms) {
        const std::vector<TCustomForm*>& now = Screen->Forms();
        if (std::find(now.begin(), now.end(), form) == now.end()) continue;
        form->ApplyHighContrast(highContrast);
        SendToTree(*form, message);
        form->Invalidate();
    }
}

void TCustomForm::ApplyHighContrast(bool on) {
    // Only a fixed colour gives way: a system colour follows the contrast theme by itself.
    if (on && !colorBeforeHighContrast_ && (static_cast<std::uint32_t>(Color()) & 0x80000000u) == 0) {
        colorBeforeHighContrast_ = Color();
        SetColor(clBtnFace);
    } else if (!on && colorBeforeHighContrast_) {
        const TColor stored = *colorBeforeHighContrast_;
        colorBeforeHighContrast_.reset();
        SetColor(stored);
    }
}
