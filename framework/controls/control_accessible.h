// The accessibility node of a control: it answers from the control's state at the moment of each
// call, through the control's own description (TControl::DescribeAccessible and its overrides).
// A control makes its node on first request and drops it when it goes; nothing is made, and no
// event raised, before a client has asked (AccessibleEventsWanted).
#pragma once

#include "framework/platform/accessible.h"

#include <string>

class TControl;

class TControlAccessible : public AccessibleNode {
public:
    explicit TControlAccessible(TControl& control) : control_(control) {}

    TControl& Control() const { return control_; }

    AccessibleDescription Describe() override;
    TRect ScreenBounds() override;
    WindowId Window() override;
    AccessibleNode* Parent() override;
    std::vector<AccessibleNode*> Children() override;
    AccessibleNode* LabelledBy() override;
    AccessibleNode* LabelFor() override;
    bool DoDefaultAction() override;
    AccessibleSetResult SetValue(const std::string& value) override;
    bool SetFocus() override;

private:
    TControl& control_;
};

namespace accessibility {

// Raises `event` for the control's node while a client listens; nothing otherwise.
void Raise(TControl* control, AccessibleEvent event);
// A caption as shown: without the accelerator marks ("&&" stays one "&").
std::string StripAccelerators(const std::string& caption);
// A label's caption as the name of the control it names: shown text without a trailing colon.
std::string NameFromCaption(const std::string& caption);
// "Alt+X" for the character after a single "&", or empty.
std::string ShortcutFromCaption(const std::string& caption);
// Adds the children of `control` that are exposed to `children`; a child whose role is None lends
// its own exposed children instead.
void AppendExposed(TControl& control, std::vector<AccessibleNode*>& children);

} // namespace accessibility
