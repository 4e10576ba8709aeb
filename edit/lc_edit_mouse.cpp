// TLcBaseEdit and the pointer: placing the caret, selecting by dragging (with a repeat timer that
// keeps scrolling while the button is held still), moving selected text by dragging it, selecting a
// word by a double click, taking the focus when the pointer enters, and the built-in context menu.
#include "edit/lc_base_edit.h"

#include "edit/lc_strings.h"
#include "framework/controls/menus.h"
#include "framework/core/temporary_change.h"
#include "framework/forms/application.h"
#include "framework/forms/forms.h"
#include "framework/platform/platform.h"

void TLcBaseEdit::WMMouseMove(TMessage& m) {
    TLcCustomBevelPanel::WMMouseMove(m);
    if (!Enabled()) return;
    LastMousePos = {MouseX(m.LParam), MouseY(m.LParam)};
    // Only the left button alone drags; with Shift, Ctrl or another button the move does nothing.
    if ((m.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL)) != MK_LBUTTON) return;
    const std::int32_t before = cursorPos_;
    const TemporaryChange<bool> selecting(MouseSelecting, SelectionEnabled);
    SetCursorPos(CalcMousePos(LastMousePos));
    if (cursorPos_ != before) DrawText(cursorPos_);
}

void TLcBaseEdit::WMLButtonDown(TMessage& m) {
    TLcCustomBevelPanel::WMLButtonDown(m);
    if (!Enabled()) return;
    // The press's own place counts as the last pointer position: a platform may report a press
    // without a move to the same place before it.
    LastMousePos = {MouseX(m.LParam), MouseY(m.LParam)};
    LeftButtonHeld = true;
    if (!Focused() && CanFocus()) SetFocus();
    DoLeftMouseBtn();
    if (!mouseRepeatTimer_ && LeftButtonHeld) {
        mouseRepeatTimer_ = std::make_unique<TLcTimer>(nullptr, UseGlobalTimer);
        mouseRepeatTimer_->SetInterval(kMouseRepeatMs);
        mouseRepeatTimer_->OnTimer = [this](TObject*) { DoOnTimer(); };
        mouseRepeatTimer_->SetEnabled(true);
    }
}

void TLcBaseEdit::DoLeftMouseBtn() {
    const std::int32_t oldLength = selLength_;
    const std::int32_t p = CalcMousePos(LastMousePos);
    if (DragMoveEnabled && !DraggingText && selStart_ < p && p < SelectionEnd()) {
        SavedScreenCursor = Screen->Cursor;
        DraggingText = true;
        Screen->Cursor = crDrag;
    }
    SetCursorPos(p);
    if (selLength_ != oldLength) DrawText(cursorPos_);
}

void TLcBaseEdit::DoOnTimer() {
    const TemporaryChange<bool> selecting(MouseSelecting, selLength_ != 0);
    DoLeftMouseBtn();
}

void TLcBaseEdit::WMLButtonUp(TMessage& m) {
    TLcCustomBevelPanel::WMLButtonUp(m);
    EndLeftPress(true);
}

void TLcBaseEdit::WMCancelMode(TMessage& m) {
    TLcCustomBevelPanel::WMCancelMode(m);
    // The capture was taken away: the press ends as a release would, but no dragged text moves.
    EndLeftPress(false);
}

void TLcBaseEdit::EndLeftPress(bool drop) {
    mouseRepeatTimer_.reset();
    LeftButtonHeld = false;
    if (!DraggingText) return;
    Screen->Cursor = SavedScreenCursor;
    DraggingText = false;
    if (drop) DropDraggedText();
}

void TLcBaseEdit::DropDraggedText() {
    std::int32_t b = cursorPos_;
    if ((b < selStart_ || b > SelectionEnd()) && AcceptsTextDrop(b)) {
        // Released outside the selection: the text moves there, as two changes. A move inserts
        // where it lands, whatever the typing mode: overwrite would take a character there.
        const TemporaryChange<bool> insertOnly(insertOnly_, true);
        const std::string moved = GetSelText();
        SetSelText("");
        if (b > selStart_) b -= static_cast<std::int32_t>(moved.size());
        if (CharAt(b) == '\n') --b;
        SetCursorPos(b);
        SetSelText(moved);
        DrawText(b);
        SetCursorPos(b);
        return;
    }
    // Released inside the selection, on one of its ends or where the text may not go: the selection
    // goes, the caret stays.
    selLength_ = 0;
    selStart_ = cursorPos_;
    DrawText(-1);
}

void TLcBaseEdit::WMLButtonDblClk(TMessage& m) {
    TLcCustomBevelPanel::WMLButtonDblClk(m);
    if (!Enabled() || !SelectionEnabled) return;
    BeginUpdate();
    struct EndUpdateOnExit {
        TLcBaseEdit& edit;
        ~EndUpdateOnExit() { edit.EndUpdate(true); }
    };
    {
        const EndUpdateOnExit end{*this};
        SelectCurrentWord();
    }
    DrawText(cursorPos_);
}

void TLcBaseEdit::MouseEnter() {
    TLcCustomBevelPanel::MouseEnter();
    if (HasState(csDesigning)) return;
    if (FocusOnMouseAbove && Enabled()) {
        if (!Focused() && CanFocus()) SetFocus();
    } else if (UseXP() && Flat()) {
        Invalidate();
    }
}

void TLcBaseEdit::MouseExit() {
    TLcCustomBevelPanel::MouseExit();
    if (HasState(csDesigning)) return;
    if (UseXP() && Flat()) DrawText(-1);
}

// ---------------------------------------------------------------------------------------------------
// The context menu

void TLcBaseEdit::WMRButtonUp(TMessage& m) {
    if (!Enabled()) return;
    const TPoint screen = ClientToScreen({MouseX(m.LParam), MouseY(m.LParam)});
    bool handled = false;
    if (OnContextPopup) OnContextPopup(this, screen, handled);
    if (handled || (Options & eoSuppressDefaultMenu)) return;
    if (PopupMenu != nullptr) {
        // A menu of the edit's own is shown by the framework, as for any control.
        TLcCustomBevelPanel::WMRButtonUp(m);
        return;
    }
    ShowContextMenu(screen);
}

void TLcBaseEdit::ShowContextMenu(TPoint screenPos) {
    if (contextMenu_ != nullptr) return;
    const std::optional<std::string> clipboard = CurrentPlatform().GetClipboardText();
    // A selection that is not shown (the focus is elsewhere) counts as none.
    const bool selection = selLength_ > 0 && !SelectionHidden;
    struct Entry {
        std::uint16_t caption;
        bool enabled;
        void (TLcBaseEdit::*action)();
    };
    const Entry entries[] = {
        {kSEditUndo, CanUndo, &TLcBaseEdit::Undo},
        {0, true, nullptr},
        {kSEditCut, selection && !readOnly_, &TLcBaseEdit::CutToClipboard},
        {kSEditCopy, selection, &TLcBaseEdit::CopyToClipboard},
        {kSEditPaste, clipboard.has_value() && !readOnly_, &TLcBaseEdit::PasteFromClipboard},
        {kSEditDelete, selection, &TLcBaseEdit::ClearSelection},
        {0, true, nullptr},
        {kSEditSelectAll, !text_.empty(), &TLcBaseEdit::SelectAll},
    };

    // Made for this one use and freed afterwards, also when the chosen command fails.
    auto menu = std::make_unique<TPopupMenu>(nullptr);
    const TemporaryChange<TPopupMenu*> shown(contextMenu_, menu.get());
    for (const Entry& e : entries) {
        auto* item = new TMenuItem(menu.get());
        item->SetCaption(e.action == nullptr ? std::string("-") : LcLoadResString(e.caption));
        item->Enabled = e.enabled;
        if (e.action != nullptr) {
            const auto action = e.action;
            item->OnClick = [this, action](TObject*) { (this->*action)(); };
        }
        menu->Items()->Add(item);
    }
    menu->PopupComponent = this;
    menu->Popup(screenPos.X, screenPos.Y);
    if (Application != nullptr) Application->ProcessMessages();
}
