// TLabel: a line of text drawn on its parent's surface. By default it sizes itself to its text, fills
// its area with its colour and takes its parent's colour and font.
#pragma once

#include "framework/controls/custom_control.h"

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    // Transparent labels leave their background unpainted.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // "&" marks the next character as the accelerator and is not drawn.
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

    void Loaded() override;

    // The control this label names: screen readers read the label's text as its name.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* value);
    TControl* LabelledControl() const override;
    void DescribeAccessible(AccessibleDescription& description) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    std::uint32_t TextFlags() const;
    // Fits the bounds to the text, keeping the edge the alignment holds still.
    void AdjustBounds();

    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    bool wordWrap_ = false;
    TWinControl* focusControl_ = nullptr;
};
