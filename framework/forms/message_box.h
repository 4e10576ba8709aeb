// The error box the toolkit draws itself where the platform has no message box of its own: caption,
// stop icon, the message and an "OK" button, shown modally with a nested message loop.
#pragma once

#include "framework/forms/forms.h"

#include <string>
#include <vector>

class TMessageBoxForm : public TForm {
public:
    TMessageBoxForm(TComponent* AOwner, const std::string& text, const std::string& caption);

    // Shows the box and handles messages until it is closed or the application ends.
    TModalResult Execute();
    bool Closed() const { return closed_; }
    const std::vector<std::string>& Lines() const { return lines_; }
    // Where the parts lie, in client coordinates.
    TRect IconRect() const { return iconRect_; }
    TRect TextRect() const { return textRect_; }
    TRect OkButtonRect() const { return okRect_; }

protected:
    WindowKind PlatformWindowKind() const override { return WindowKind::Dialog; }
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    void Layout(const TRect& workArea);
    void CloseBox();
    void PaintStopIcon();
    void PaintOkButton();

    std::vector<std::string> lines_;
    TRect iconRect_, textRect_, okRect_;
    std::int32_t lineHeight_ = 0;
    bool closed_ = false;
    bool okPressed_ = false;
};

// Shows `text` in a toolkit-drawn modal error box; false when it could not be shown (the
// application is ending), so the caller can report the text another way.
bool ShowToolkitMessageBox(const std::string& text, const std::string& caption);
