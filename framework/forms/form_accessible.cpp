#include "framework/forms/form_accessible.h"

#include "framework/controls/caret.h"
#include "framework/controls/control_accessible.h"
#include "framework/forms/forms.h"

namespace {

class FormTreeProvider : public AccessibleTreeProvider {
public:
    AccessibleNode* WindowRoot(WindowId window) override {
        TCustomForm* form = window != 0 ? Screen->FindForm(window) : nullptr;
        return form != nullptr ? &form->Accessible() : nullptr;
    }
    std::optional<TRect> CaretRect(WindowId window) override {
        TWinControl* owner = caret::Owner();
        if (owner == nullptr || !caret::Visible() || window == 0) return std::nullopt;
        TControlHost* host = owner->Host();
        if (host == nullptr || host->PlatformWindow() != window) return std::nullopt;
        const TPoint topLeft = owner->ClientToScreen(caret::Position());
        const TSize size = caret::Size();
        return Bounds(topLeft.X, topLeft.Y, size.cx, size.cy);
    }
};

} // namespace

namespace accessibility {

void ProvideFormTrees() {
    static FormTreeProvider provider;
    if (GetAccessibleTreeProvider() == nullptr) SetAccessibleTreeProvider(&provider);
}

} // namespace accessibility

void TCustomForm::DescribeAccessible(AccessibleDescription& d) {
    TCustomControl::DescribeAccessible(d);
    d.role = AccessibleRole::Frame;
    d.name = Caption();
    d.states &= ~(kAccessibleFocusable | kAccessibleFocused);
    if (Active()) d.states |= kAccessibleActive;
    // The frame has the focus itself when no control inside has it.
    if (Active() && ActiveControl() == nullptr) d.states |= kAccessibleFocused;
}
