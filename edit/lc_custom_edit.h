// TLcCustomEdit: the concrete single-line edit. It adds the displayed text (a password character
// hides the real one), automatic height, and the drawing and geometry that TLcBaseEdit leaves open:
// the three rectangles, the text with its selection and effects (through an off-screen image while
// focused), horizontal scrolling in whole jumps, the caret's place and the hit test.
#pragma once

#include "edit/lc_base_edit.h"

enum TLcUserButtonStyle : std::uint8_t { ubsIntegrated, ubsSeparated };

class TLcCustomEdit : public TLcBaseEdit {
public:
    explicit TLcCustomEdit(TComponent* AOwner);

    char PasswordChar() const { return passwordChar_; }
    // Stores the character and reports a change of text, even when the character stayed the same.
    void SetPasswordChar(char value);
    const std::string& DisplayText() const { return displayText_; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    std::int32_t CustomButtonWidth = 16;
    TLcUserButtonStyle CustomButtonsStyle() const { return customButtonsStyle_; }
    // Custom buttons are not part of this edit; their count is always 0.
    std::int32_t CustomButtonCount() const { return 0; }
    bool CustomButtonParentCtlXP = false;
    std::function<void(TObject* Sender, int Index)> CustomButtonClick;

    // Operations the base leaves open.
    void SetupRects() override;
    void CreateBack() override;
    std::int32_t CalcMouseCol(std::int32_t) override { return 0; }
    std::int32_t CalcMouseRow(std::int32_t) override { return 0; }
    void SetCaret() override;
    bool BackOneMore() override { return false; }
    void SetNewText() override;
    void GetNewText() override {}
    void DrawText(std::int32_t index) override;
    std::int32_t CalcMousePos(TPoint point) override;
    std::int32_t RowHeight(const std::string& s) override;
    void ChangedText(std::int32_t At) override;
    void RepaintBack(const TRect& rect) override;
    bool AllowCopyPaste() override { return passwordChar_ == '\0'; }
    void ModifyInnerRect() override;
    void ModifyPaintRect() override;
    void GetCommandKey(std::uint16_t& Key, TShiftState Shift) override;

    // Operations this class adds.
    virtual void CreateSpecialText(std::string& s);
    virtual void CorrectBounds();
    virtual void DoAClick(TObject* Sender, int Index);
    virtual void DrawSpecialTextBackground(TCanvas&, const TRect&) {}
    virtual void SetCustomButtonStyle(TLcUserButtonStyle style);

    void Loaded() override;
    void WndProc(TMessage& Message) override;
    // A bevel change also sizes the edit again: its height follows the border.
    void GetChange(TObject* Sender) override;

    // Draws s as the edit's text, with its selection, through the off-screen image while focused.
    void DrawTextOf(const std::string& s);
    // Moves the caret to (x, y), lowered for the under styles.
    void SetLcCaretPos(std::int32_t x, std::int32_t y);

protected:
    void Paint() override;
    void CMFontChanged(TMessage& Message) override;

private:
    // Steps 1-4 of the rectangles, without the checks of SetupRects.
    void LayOutRects();
    // Where the text starts for the alignment, before scrolling.
    std::int32_t TextBase(std::int32_t textWidth) const;
    // The width on `canvas` of the first `count` characters of s (clamped to s).
    static std::int32_t MeasurePrefix(TCanvas& canvas, const std::string& s, std::int64_t count);
    std::int32_t RowHeightOfSample();
    // The control's own surface, had for drawing now; null when it cannot be had (drawn later).
    TCanvas* ControlSurface();
    // The off-screen image's canvas while it exists, else the control's surface.
    TCanvas* BackTarget();

    char passwordChar_ = '\0';
    std::string displayText_;
    bool autoSize_ = false;
    TLcUserButtonStyle customButtonsStyle_ = ubsIntegrated;
};
