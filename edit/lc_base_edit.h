// TLcBaseEdit: the editing core of the custom-drawn edits - the text (8-bit characters, 1-based
// positions), caret and selection, the single change path SetSelText, undo and redo, the clipboard
// commands, the keyboard command table, character input, focus behaviour, change notifications,
// the pointer (placing the caret, drag-selecting, moving selected text, word selection), the
// built-in context menu and the standard edit-control requests. Drawing and geometry are left to
// TLcCustomEdit.
#pragma once

#include "edit/lc_3d_caption.h"
#include "edit/lc_application.h"
#include "edit/lc_caret.h"
#include "edit/lc_custom_control.h"
#include "edit/lc_undo_buffer.h"

#include <bitset>
#include <functional>
#include <memory>
#include <string>

using TLcEditOptions = std::uint8_t;
constexpr TLcEditOptions eoNarrowHeight = 1u << 0;
constexpr TLcEditOptions eoSuppressDefaultMenu = 1u << 1;

enum TLcEditCharCase : std::uint8_t { ecNormal, ecUpperCase, ecLowerCase };

using TLcTextChangedAtEvent = std::function<void(TObject* Sender, std::int32_t At)>;

class TLcBaseEdit : public TLcCustomBevelPanel {
public:
    explicit TLcBaseEdit(TComponent* AOwner);
    ~TLcBaseEdit() override;

    // --- Settings -----------------------------------------------------------------------------------
    TLcCaret* Caret() const { return caret_.get(); }
    void SetCaretSettings(const TLcCaret& value) { caret_->Assign(value); }
    TLc3DCaption* Font3D() const { return font3D_.get(); }
    // Copies the settings, then handles them as a change of font (caret height, automatic height).
    void SetFont3D(const TLc3DCaption& value) { font3D_->Assign(value); }
    bool TabOnEnter = false;
    bool EditingAllowed = true;
    bool FreeBackOnExit = true;
    bool DragMoveEnabled = true;
    TLcEditOptions Options = 0;
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    std::int32_t TextVMargin = 1;
    std::int32_t MaxLength = 0; // 0 (or less): unlimited; a smaller limit does not shorten the current text
    TColor HighlightText = clHighlightText;
    TColor HighlightBack = clHighlight;
    bool FocusOnMouseAbove = false;
    bool OEMConvert = false;
    bool AutoSelect = false;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool HideSelection = true;
    // Separators for word moves.
    std::bitset<256> WordDelimiters;
    TLcEditCharCase CharCase = ecNormal;
    bool UseGlobalTimer = false;
    bool SelectAllToEnd = false;
    bool SelectionEnabled = true;
    bool UseBackBitmap = true;

    TLcTextChangedAtEvent OnTextChangedAt;
    TNotifyEvent OnCursorPosChanged;
    TNotifyEvent OnModified;
    TNotifyEvent OnChange;

    // --- State --------------------------------------------------------------------------------------
    bool Redoing = false;
    bool Undoing = false;
    bool CanUndo = true;
    bool CanRedo = false;
    bool DraggingText = false;
    bool LeftButtonHeld = false;
    bool TypingChar = false;
    bool MouseSelecting = false;
    bool SelectionHidden = true;
    TRect InnerRect, PaintRect, TextRect;
    std::int32_t ScrollOffset = 0;
    std::int32_t PrevCursorPos = 1;
    TPoint LastMousePos;
    TCursor SavedScreenCursor = crDefault;
    // The off-screen image the text is drawn through while the edit has the focus.
    TBitmap* BackBitmap() override { return backBitmap_.get(); }
    // The 200 ms repeat timer, present between a left press and its release.
    TLcTimer* MouseRepeatTimer() const { return mouseRepeatTimer_.get(); }
    static constexpr std::uint32_t kMouseRepeatMs = 200;

    // The stored text; reading it calls GetNewText().
    std::string Text();
    void SetText(const std::string& s);
    std::int32_t TextLength() const { return static_cast<std::int32_t>(text_.size()); }
    std::int32_t CursorPos() const { return cursorPos_; }
    void SetCursorPos(std::int32_t value);
    std::int32_t SelStart() const { return selStart_; }
    // Stored as given, without a range check.
    void SetSelStart(std::int32_t value) { selStart_ = value; }
    std::int32_t SelLength() const { return selLength_; }
    // The position after the selection, computed wide: the unchecked setters allow any values.
    std::int64_t SelectionEnd() const { return static_cast<std::int64_t>(selStart_) + selLength_; }
    void SetSelLength(std::int32_t value);
    std::string GetSelText() const;
    void SetSelText(std::string s);
    bool Modified() const { return modified_; }
    void SetModified(bool value);
    const TLcDynLIFOBuffer& UndoStack() const { return undoStack_; }
    const TLcDynLIFOBuffer& RedoStack() const { return redoStack_; }

    // --- Commands -----------------------------------------------------------------------------------
    void SelectAll();
    // Removes the selection (the context menu's Delete and the clear request).
    virtual void ClearSelection() { SetSelText(""); }
    void CopyToClipboard();
    void Undo();
    void Redo();
    // Empties both stacks; CanUndo and CanRedo stay as they are.
    void ClearUndo();
    void GotoParaStart();
    void GotoParaEnd();
    void GotoNextWord();
    void GotoPrevWord();
    void EndUpdate(bool redraw) override;
    bool ControlSupportsXP() override { return true; }
    bool GetReadOnly() override { return readOnly_; }
    void WndProc(TMessage& Message) override;

    // --- Virtual operations, in slot order ------------------------------------------------------------
    virtual void SetupRects() = 0;
    virtual void CreateBack() = 0;
    virtual std::int32_t CalcMouseCol(std::int32_t x) = 0;
    virtual std::int32_t CalcMouseRow(std::int32_t y) = 0;
    virtual void DoAlignmentChange() {}
    virtual void SetCaret() = 0;
    virtual bool BackOneMore() { return false; }
    virtual void Change();
    virtual void SetNewText() = 0;
    virtual void GetNewText() = 0;
    virtual void DrawText(std::int32_t index) = 0;
    virtual std::int32_t CalcMousePos(TPoint point) = 0;
    virtual std::int32_t RowHeight(const std::string& s) = 0;
    virtual void CursorPosChanged();
    virtual void ChangedText(std::int32_t At);
    virtual void BeforeChangeText() {}
    virtual void FinishedSetSelText() {}
    virtual void HandleInsertText(std::int32_t pos, std::string& s);
    virtual void HandleReplaceText(std::int32_t pos, const std::string& removed);
    virtual void RepaintBack(const TRect& rect) = 0;
    virtual bool AllowedOperation(const std::string& /*s*/) { return !readOnly_; }
    virtual bool AllowCopyPaste() { return true; }
    virtual bool RedrawOnExit() { return UseXP() && Flat(); }
    virtual bool RedrawOnEnter() { return false; }
    virtual bool fcGetModified() { return modified_; }
    virtual bool fcGetReadOnly() { return readOnly_; }
    virtual bool fcGetInvalidData() { return false; }
    virtual void ModifyTextRect() {}
    virtual void ModifyPaintRect() {}
    virtual void ModifyInnerRect() {}
    virtual void SelectCurrentWord();
    virtual std::int32_t GetSelTextBuf(char* buffer, std::int32_t size);
    virtual void Clear();
    virtual void CutToClipboard();
    virtual void PasteFromClipboard();

    // The keyboard command table.
    virtual void GetCommandKey(std::uint16_t& Key, TShiftState Shift);

    // Pointer work: the step shared by a press and the repeat tick, and the repeat tick itself.
    void DoLeftMouseBtn();
    void DoOnTimer();
    // The edit's own context menu while it is open, else null.
    TPopupMenu* ContextMenu() const { return contextMenu_; }

    // Editable text: its text, caret and selection; setting the value replaces the whole text the
    // way a paste over everything would, refused where a paste would be.
    void DescribeAccessible(AccessibleDescription& description) override;
    AccessibleSetResult SetAccessibleValue(const std::string& value) override;

protected:
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyUp(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void Paint() override;
    void WMMouseMove(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    void WMLButtonUp(TMessage& Message) override;
    void WMLButtonDblClk(TMessage& Message) override;
    void WMRButtonUp(TMessage& Message) override;
    void WMCancelMode(TMessage& Message) override;
    void MouseEnter() override;
    void MouseExit() override;
    // Answers the standard edit-control requests; false when `Message` is not one of them.
    bool HandleEditRequest(TMessage& Message);
    // Whether selected text dragged to caret position `at` may be dropped there.
    virtual bool AcceptsTextDrop(std::int32_t /*at*/) { return true; }
    // The longest clipboard line a paste inserts; a longer one inserts nothing.
    virtual std::size_t LongestPaste() const { return std::string::npos; }
    // The off-screen image: made or resized to the control, or freed.
    TBitmap& EnsureBackBitmap();
    void FreeBackBitmap() { backBitmap_.reset(); }

    // The character after caret position p, or #0 outside the text.
    char CharAt(std::int32_t p) const;
    bool IsDelimiter(std::int32_t p) const { return WordDelimiters[static_cast<unsigned char>(CharAt(p))]; }
    // The caret's font height and a caret built for the focused edit.
    void RebuildCaret();

    std::string text_;
    // While set, typing never overwrites: the character goes in before the one at the caret.
    bool insertOnly_ = false;

private:
    void UpdateModifierBits(TShiftState Shift);
    // The selection after a caret move from PrevCursorPos to CursorPos.
    void SelectionFollowsCaret();
    void PushUndoRecord(std::unique_ptr<TLcUndoRecord> record);
    // Puts an undone or redone change's text back selected, as the record describes.
    void RestoreRecordSelection(const TLcUndoRecord& record);
    // Ends a left press: the repeat timer goes, and a text drag either drops (`drop`) or is dropped.
    void EndLeftPress(bool drop);
    void DropDraggedText();
    void ShowContextMenu(TPoint screenPos);

    std::unique_ptr<TLcCaret> caret_;
    std::unique_ptr<TLc3DCaption> font3D_;
    std::unique_ptr<TBitmap> backBitmap_;
    std::unique_ptr<TLcTimer> mouseRepeatTimer_;
    TPopupMenu* contextMenu_ = nullptr;
    TAlignment alignment_ = taLeftJustify;
    bool readOnly_ = false;
    bool modified_ = false;
    std::int32_t cursorPos_ = 1;
    std::int32_t selStart_ = 1;
    std::int32_t selLength_ = 0;
    TLcDynLIFOBuffer undoStack_;
    TLcDynLIFOBuffer redoStack_;
};
