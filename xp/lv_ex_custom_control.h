// The extended control base shared by the program's custom-drawn controls. TLvExCustomControl routes
// the toolkit's change notifications through overridable operations; TLvCustomControl adds nothing.
#pragma once

#include "framework/controls/custom_control.h"

class TLvExCustomControl : public TCustomControl {
public:
    explicit TLvExCustomControl(TComponent* AOwner);

    TColor HintColor = clInfoBk;
    bool MouseOver() const { return mouseOver_; }
    bool DotNetHighlighting = false;
    TNotifyEvent OnParentColorChanged;
    // The base's own pair of enter/leave events (the XP controls publish theirs separately).
    TNotifyEvent OnControlMouseEnter;
    TNotifyEvent OnControlMouseLeave;

    void WndProc(TMessage& Message) override;

protected:
    // Erasing the background is handed to the toolkit's standard handling (a fill with Color).
    virtual void DoEraseBackground(TMessage& Message);
    virtual void BoundsChanged() {}
    virtual void MouseEnter(TMessage& Message);
    virtual void MouseLeave(TMessage& Message);

private:
    bool mouseOver_ = false;
};

class TLvCustomControl : public TLvExCustomControl {
public:
    using TLvExCustomControl::TLvExCustomControl;
};
