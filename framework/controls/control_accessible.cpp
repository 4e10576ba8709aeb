// The controls' accessibility nodes, and the descriptions the base control classes give.
#include "framework/controls/control_accessible.h"

#include "framework/controls/control_host.h"
#include "framework/controls/controls.h"

#include <algorithm>

namespace accessibility {

void Raise(TControl* control, AccessibleEvent event) {
    if (control == nullptr || !AccessibleEventsWanted()) return;
    RaiseAccessibleEvent(event, control->Accessible());
}

std::string StripAccelerators(const std::string& caption) {
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i; // "&x" shows x, "&&" shows "&"
        shown += caption[i];
    }
    return shown;
}

std::string NameFromCaption(const std::string& caption) {
    std::string name = StripAccelerators(caption);
    while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
    return name;
}

std::string ShortcutFromCaption(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        const unsigned char key = static_cast<unsigned char>(caption[i + 1]);
        if (key == ' ') return {};
        return std::string("Alt+") + static_cast<char>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key);
    }
    return {};
}

void AppendExposed(TControl& control, std::vector<AccessibleNode*>& children) {
    AccessibleDescription d;
    control.DescribeAccessible(d);
    if (d.role != AccessibleRole::NotExposed)
        children.push_back(&control.Accessible());
    else
        control.AccessibleChildren(children);
}

} // namespace accessibility

namespace {

// The first label beside `control` (a child of the same parent) that names it.
TControl* LabelOf(TControl& control) {
    TWinControl* parent = control.Parent();
    if (parent == nullptr) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (parent->Controls(i)->LabelledControl() == &control) return parent->Controls(i);
    return nullptr;
}

} // namespace

AccessibleNode& TControl::Accessible() {
    if (accessible_ == nullptr) accessible_ = std::make_unique<TControlAccessible>(*this);
    return *accessible_;
}

void TControl::DescribeAccessible(AccessibleDescription& d) {
    if (!Enabled()) d.states |= kAccessibleUnavailable;
    if (!Showing()) d.states |= kAccessibleInvisible;
}

void TControl::AccessibleChildren(std::vector<AccessibleNode*>& /*children*/) {}

void TWinControl::DescribeAccessible(AccessibleDescription& d) {
    TControl::DescribeAccessible(d);
    if (TabStop && CanFocus()) d.states |= kAccessibleFocusable;
    TControlHost* host = Host();
    if (host != nullptr && host->Active() && host->ActiveControl() == this) d.states |= kAccessibleFocused;
}

void TWinControl::AccessibleChildren(std::vector<AccessibleNode*>& children) {
    std::vector<TControl*> shown;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible()) shown.push_back(Controls(i));
    std::vector<TWinControl*> tabStops;
    for (TControl* c : shown) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w != nullptr && w->TabStop) tabStops.push_back(w);
    }
    std::stable_sort(tabStops.begin(), tabStops.end(),
                     [](const TWinControl* a, const TWinControl* b) { return a->TabOrder < b->TabOrder; });
    const auto namesTabStop = [&](TControl* c) {
        TControl* target = c->LabelledControl();
        return target != nullptr && std::find(tabStops.begin(), tabStops.end(), target) != tabStops.end();
    };
    for (TControl* c : shown) {
        const bool isTabStop = std::find(tabStops.begin(), tabStops.end(), c) != tabStops.end();
        if (!isTabStop && !namesTabStop(c)) accessibility::AppendExposed(*c, children);
    }
    for (TWinControl* w : tabStops) {
        for (TControl* c : shown)
            if (c->LabelledControl() == w) accessibility::AppendExposed(*c, children);
        accessibility::AppendExposed(*w, children);
    }
}

AccessibleDescription TControlAccessible::Describe() {
    AccessibleDescription d;
    control_.DescribeAccessible(d);
    if (TControl* label = LabelOf(control_)) {
        if (d.name.empty()) d.name = accessibility::NameFromCaption(label->Caption());
        if (d.keyboardShortcut.empty())
            d.keyboardShortcut = accessibility::ShortcutFromCaption(label->Caption());
    }
    return d;
}

TRect TControlAccessible::ScreenBounds() {
    if (!control_.Showing()) return {};
    if (control_.Parent() == nullptr) return control_.BoundsRect(); // a form: its outer bounds
    const TPoint origin = control_.ClientToScreen({0, 0});
    return Bounds(origin.X, origin.Y, control_.Width(), control_.Height());
}

WindowId TControlAccessible::Window() {
    TControlHost* host = control_.Host();
    return host != nullptr ? host->PlatformWindow() : 0;
}

AccessibleNode* TControlAccessible::Parent() {
    // Parents that expose nothing lend their children to their own parent.
    for (TControl* p = control_.Parent(); p != nullptr; p = p->Parent()) {
        AccessibleDescription d;
        p->DescribeAccessible(d);
        if (d.role != AccessibleRole::NotExposed) return &p->Accessible();
    }
    return nullptr;
}

std::vector<AccessibleNode*> TControlAccessible::Children() {
    std::vector<AccessibleNode*> children;
    control_.AccessibleChildren(children);
    return children;
}

AccessibleNode* TControlAccessible::LabelledBy() {
    TControl* label = LabelOf(control_);
    return label != nullptr ? &label->Accessible() : nullptr;
}

AccessibleNode* TControlAccessible::LabelFor() {
    TControl* target = control_.LabelledControl();
    return target != nullptr ? &target->Accessible() : nullptr;
}

bool TControlAccessible::DoDefaultAction() {
    if (!control_.Enabled() || !control_.Showing()) return false;
    return control_.AccessibleDefaultAction();
}

AccessibleSetResult TControlAccessible::SetValue(const std::string& value) {
    if (!control_.Enabled() || !control_.Showing()) return AccessibleSetResult::Refused;
    return control_.SetAccessibleValue(value);
}

bool TControlAccessible::SetFocus() {
    auto* w = dynamic_cast<TWinControl*>(&control_);
    if (w == nullptr || !w->CanFocus()) return false;
    w->SetFocus();
    return true;
}
