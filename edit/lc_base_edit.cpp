#include "edit/lc_base_edit.h"

#include "framework/controls/control_accessible.h"
#include "framework/core/temporary_change.h"
#include "framework/platform/platform.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// Clipboard text made fit for a one-line edit: it ends at an embedded NUL (as the platform's text
// format does) and at the first line break. A line longer than `longest` gives nothing; only as
// much of the text is looked at as decides that, however large the clipboard.
std::string SingleLineClipboardText(std::string s, std::size_t longest) {
    const auto scanned =
        static_cast<std::ptrdiff_t>(std::min(s.size(), longest == s.npos ? longest : longest + 1));
    const auto end = std::find_if(s.begin(), s.begin() + scanned,
                                  [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
    const auto length = static_cast<std::size_t>(end - s.begin());
    if (length > longest) return {};
    s.resize(length);
    return s;
}

// A 64-bit result brought back into the 32-bit range: the unchecked setters allow any values, and
// sums of them must not overflow.
std::int32_t Saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

TLcBaseEdit::TLcBaseEdit(TComponent* AOwner)
    : TLcCustomBevelPanel(AOwner), caret_(std::make_unique<TLcCaret>(this)),
      font3D_(std::make_unique<TLc3DCaption>()) {
    // A change of text effects is handled as a change of font: the caret and the height follow.
    font3D_->OnChange = [this](TObject*) { Perform(CM_FONTCHANGED, 0, 0); };
    SetHeight(21);
    SetColor(clWindow);
    Cursor = crIBeam;
    TabStop = true;
    ControlStyle &= ~(csAcceptsControls | csSetCaption);
    WordDelimiters.set(static_cast<unsigned char>(' '));
    Bevel()->SetMode(bmWindows);
}

TLcBaseEdit::~TLcBaseEdit() {
    font3D_->OnChange = nullptr;
    mouseRepeatTimer_.reset();
}

// ---------------------------------------------------------------------------------------------------
// Properties

std::string TLcBaseEdit::Text() {
    std::string s = text_;
    GetNewText();
    return s;
}

void TLcBaseEdit::SetText(const std::string& s) {
    if (s == text_) return;
    text_ = s;
    if (MaxLength > 0 && TextLength() > MaxLength) text_.resize(static_cast<std::size_t>(MaxLength));
    // The undo records name positions in the old text; applied to the new one they would corrupt it.
    ClearUndo();
    SetCursorPos(1);
    SetSelLength(0);
    // While selected text is held for moving the selection does not follow the caret; whatever it
    // was, it named places in the old text.
    selStart_ = cursorPos_;
    SetNewText();
}

void TLcBaseEdit::SetCursorPos(std::int32_t value) {
    PrevCursorPos = cursorPos_;
    cursorPos_ = std::clamp(value, 1, TextLength() + 1);
    SelectionFollowsCaret();
    CursorPosChanged();
}

void TLcBaseEdit::SelectionFollowsCaret() {
    if (TypingChar || DraggingText) return;
    TLcApplication& app = LcApplication();
    if (!SelectionEnabled) app.ExcludeEditMode(emShift);
    const std::int32_t prev = PrevCursorPos;
    const std::int32_t p = cursorPos_;
    if (!app.InEditMode(emShift) && !MouseSelecting) {
        selLength_ = 0;
        selStart_ = p;
        return;
    }
    const std::int64_t s = selStart_;
    const std::int64_t l = selLength_;
    const std::int64_t e = Saturate(SelectionEnd());
    if (l == 0) {
        // Nothing selected: the selection runs from where the caret was. SelStart is that place
        // unless its unchecked setter moved it away; the caret's place is the one to trust.
        selLength_ = Saturate(std::abs(static_cast<std::int64_t>(prev) - p));
        selStart_ = std::min(p, prev);
    } else if (s < p && p < e) {
        if (p > prev) {
            // The caret was at the start and moved right.
            selStart_ = p;
            selLength_ = Saturate(e - p);
        } else {
            selLength_ = Saturate(p - s);
        }
    } else if (s < p) {
        if (s < prev) {
            selLength_ = Saturate(p - s);
        } else {
            // The caret was at the start and jumped past the end.
            selStart_ = Saturate(e);
            selLength_ = Saturate(p - e);
        }
    } else if (s == prev) {
        selStart_ = p;
        selLength_ = Saturate(l + (s - p));
    } else {
        selStart_ = p;
        selLength_ = Saturate(s - p);
    }
}

void TLcBaseEdit::SetSelLength(std::int32_t value) {
    if (value == selLength_) return;
    selLength_ = value;
    if (value == 0) selStart_ = cursorPos_;
    DrawText(-1);
}

std::string TLcBaseEdit::GetSelText() const {
    const std::int64_t first = std::max<std::int64_t>(selStart_, 1);
    const std::int64_t end = std::min<std::int64_t>(SelectionEnd(), TextLength() + 1);
    if (end <= first) return {};
    return text_.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(end - first));
}

void TLcBaseEdit::SetModified(bool value) {
    if (value == modified_) return;
    modified_ = value;
    if (OnModified) OnModified(this);
}

void TLcBaseEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    // The themed frame shows the read-only state.
    if (UseXP()) Invalidate();
}

void TLcBaseEdit::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    ScrollOffset = 0;
    DoAlignmentChange();
    DrawText(-1);
    SetCaret();
}

char TLcBaseEdit::CharAt(std::int32_t p) const {
    if (p < 1 || p > TextLength()) return '\0';
    return text_[static_cast<std::size_t>(p - 1)];
}

// ---------------------------------------------------------------------------------------------------
// The change path

void TLcBaseEdit::SetSelText(std::string s) {
    if (!AllowedOperation(s)) return;
    if (OEMConvert && !s.empty()) s = CurrentPlatform().OemToChar(CurrentPlatform().CharToOem(s));
    BeforeChangeText();
    const std::int32_t cursorOnEntry = cursorPos_;
    const std::int32_t changeStart = selStart_;
    const bool replaying = Undoing || Redoing;

    // Line breaks stay whole, and typing over replaces the character after the caret. An undo or
    // redo puts back exactly what its record says, so it never overwrites.
    if (selLength_ < 0) selLength_ = 0;
    if (selLength_ > 0 && TextLength() >= SelectionEnd() - 1) {
        if (CharAt(selStart_ + selLength_ - 1) == kCR) ++selLength_;
        if (CharAt(selStart_) == kLF) {
            --selStart_;
            ++selLength_;
        }
    } else if (selLength_ == 0) {
        if (!text_.empty() && TextLength() >= selStart_ && CharAt(selStart_) == kLF) --selStart_;
        if (!LcApplication().InEditMode(emInsert) && !replaying && !insertOnly_) {
            selLength_ = 1;
            if (TextLength() >= selStart_ && CharAt(selStart_) == kCR) selLength_ = 2;
        }
    }

    // Only the part of the range that lies inside the text is removed.
    const std::int32_t first = std::clamp(selStart_, 1, TextLength() + 1);
    const auto end =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(SelectionEnd(), first, TextLength() + 1));
    selStart_ = first;
    const std::string removed =
        text_.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(end - first));
    HandleReplaceText(selStart_, removed);
    text_.erase(static_cast<std::size_t>(first - 1), removed.size());
    selLength_ = 0;

    HandleInsertText(selStart_, s);
    const bool fits =
        MaxLength <= 0 || replaying || static_cast<std::int64_t>(text_.size() + s.size()) <= MaxLength;
    if (!fits) s.clear();
    text_.insert(static_cast<std::size_t>(selStart_ - 1), s);
    const std::int32_t newPos = selStart_ + static_cast<std::int32_t>(s.size());

    // The record describes the change as it took effect, so undoing it restores exactly this state.
    auto record = std::make_unique<TLcUndoRecord>();
    record->NewText = s;
    record->OldText = removed;
    record->SelStart = selStart_;
    record->OldLength = static_cast<std::int32_t>(removed.size());
    record->InsertedLength = static_cast<std::int32_t>(s.size());
    record->CursorPos = cursorOnEntry;
    PushUndoRecord(std::move(record));

    SetModified(true);
    ChangedText(changeStart);
    SetCursorPos(newPos);
    BeginUpdate();
    SetSelLength(0);
    EndUpdate(true);
    selStart_ = cursorPos_;
    FinishedSetSelText();
}

void TLcBaseEdit::PushUndoRecord(std::unique_ptr<TLcUndoRecord> record) {
    if (Undoing) {
        CanRedo = true;
        redoStack_.Push(std::move(record));
        return;
    }
    CanUndo = true;
    undoStack_.Push(std::move(record));
    if (!Redoing) {
        redoStack_.Clear();
        CanRedo = false;
    }
}

void TLcBaseEdit::HandleInsertText(std::int32_t, std::string&) {}
void TLcBaseEdit::HandleReplaceText(std::int32_t, const std::string&) {}

void TLcBaseEdit::ChangedText(std::int32_t At) {
    if (IsUpdating()) return;
    DrawText(cursorPos_);
    if (HasState(csLoading)) return;
    if (OnTextChangedAt) OnTextChangedAt(this, At);
    Change();
}

void TLcBaseEdit::Change() {
    accessibility::Raise(this, AccessibleEvent::TextChanged);
    accessibility::Raise(this, AccessibleEvent::ValueChanged);
    if (OnChange) OnChange(this);
}

void TLcBaseEdit::CursorPosChanged() {
    SetCaret();
    if (OnCursorPosChanged) OnCursorPosChanged(this);
}

void TLcBaseEdit::EndUpdate(bool redraw) {
    TLcCustomBevelPanel::EndUpdate(false);
    if (redraw && !IsUpdating()) DrawText(-1);
}

// ---------------------------------------------------------------------------------------------------
// Undo and redo

void TLcBaseEdit::RestoreRecordSelection(const TLcUndoRecord& record) {
    SetCursorPos(record.CursorPos);
    selStart_ = record.SelStart;
    selLength_ = record.OldLength;
    DrawText(-1);
}

void TLcBaseEdit::Undo() {
    if (!CanUndo || undoStack_.Empty()) return;
    // A refused undo keeps its record and the current selection.
    if (!AllowedOperation(undoStack_.Top()->OldText)) return;
    std::unique_ptr<TLcUndoRecord> record = undoStack_.Pop();
    selStart_ = record->SelStart;
    selLength_ = record->InsertedLength;
    {
        const TemporaryChange<bool> replaying(Undoing, true);
        SetSelText(record->OldText);
    }
    if (undoStack_.Empty()) CanUndo = false;
    RestoreRecordSelection(*record);
}

void TLcBaseEdit::Redo() {
    if (!CanRedo || redoStack_.Empty()) return;
    if (!AllowedOperation(redoStack_.Top()->OldText)) return;
    std::unique_ptr<TLcUndoRecord> record = redoStack_.Pop();
    selStart_ = record->SelStart;
    selLength_ = record->InsertedLength;
    {
        const TemporaryChange<bool> replaying(Redoing, true);
        SetSelText(record->OldText);
    }
    RestoreRecordSelection(*record);
    if (redoStack_.Empty()) CanRedo = false;
}

void TLcBaseEdit::ClearUndo() {
    undoStack_.Clear();
    redoStack_.Clear();
}

// ---------------------------------------------------------------------------------------------------
// Selection, clipboard and caret moves

void TLcBaseEdit::SelectAll() {
    if (SelectAllToEnd) GotoParaEnd();
    selStart_ = 1;
    selLength_ = TextLength();
    DrawText(-1);
}

void TLcBaseEdit::Clear() {
    SelectAll();
    SetSelText("");
}

void TLcBaseEdit::CopyToClipboard() {
    if (!AllowCopyPaste()) return;
    // A clipboard that refuses the text leaves it as it was; there is nothing more to do.
    static_cast<void>(CurrentPlatform().SetClipboardText(GetSelText()));
}

void TLcBaseEdit::CutToClipboard() {
    if (!AllowCopyPaste()) return;
    CopyToClipboard();
    SetSelText("");
}

void TLcBaseEdit::PasteFromClipboard() {
    if (!AllowCopyPaste()) return;
    SetSelText(SingleLineClipboardText(CurrentPlatform().GetClipboardText().value_or(std::string()),
                                       LongestPaste()));
}

void TLcBaseEdit::SelectCurrentWord() {
    if (text_.empty()) return;
    // Back to the delimiter before the word. Position 0 is never read: a delimiter at position 1 is
    // where the scan stops, and then belongs to the selection.
    std::int32_t i = cursorPos_;
    if (IsDelimiter(i)) --i;
    while (i > 1 && !IsDelimiter(i)) --i;
    selStart_ = i != 1 ? i + 1 : 1;
    std::int32_t j = cursorPos_;
    while (!IsDelimiter(j) && j < TextLength() + 1) ++j;
    SetSelLength(j - selStart_);
}

std::int32_t TLcBaseEdit::GetSelTextBuf(char* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0) return 0;
    const std::string s = GetSelText();
    const auto n = std::min(static_cast<std::int32_t>(s.size()), size - 1);
    std::copy_n(s.data(), n, buffer);
    buffer[n] = '\0';
    return n;
}

void TLcBaseEdit::GotoNextWord() {
    if (IsDelimiter(cursorPos_) && cursorPos_ < TextLength()) SetCursorPos(cursorPos_ + 1);
    while (!IsDelimiter(cursorPos_) && cursorPos_ <= TextLength()) SetCursorPos(cursorPos_ + 1);
}

void TLcBaseEdit::GotoPrevWord() {
    std::int32_t i = cursorPos_;
    if (IsDelimiter(i) && i > 1) --i;
    while (!IsDelimiter(i) && i > 1) --i;
    SetCursorPos(i);
}

void TLcBaseEdit::GotoParaStart() {
    std::int32_t i = cursorPos_;
    while (i > 1 && CharAt(i - 1) != kLF) --i;
    SetCursorPos(i);
}

void TLcBaseEdit::GotoParaEnd() {
    std::int32_t i = cursorPos_;
    while (i <= TextLength() && CharAt(i) != kCR) ++i;
    SetCursorPos(i);
}

// ---------------------------------------------------------------------------------------------------
// Focus, painting and notifications

void TLcBaseEdit::RebuildCaret() {
    if (caret_->Style == csDefault) {
        Canvas()->Font()->Assign(*Font());
        caret_->FontHeight = static_cast<std::uint16_t>(std::clamp(RowHeight("Qp"), 0, 0xFFFF));
    }
}

TBitmap& TLcBaseEdit::EnsureBackBitmap() {
    if (!backBitmap_) backBitmap_ = std::make_unique<TBitmap>();
    if (backBitmap_->Width() != Width() || backBitmap_->Height() != Height())
        backBitmap_->SetSize(Width(), Height());
    return *backBitmap_;
}

void TLcBaseEdit::WMSetFocus(TMessage& m) {
    TLcCustomBevelPanel::WMSetFocus(m);
    CreateBack();
    RebuildCaret();
    caret_->BuildCaret();
    caret_->Enable();
    if (RedrawOnEnter()) DrawText(-1);
    if (Flat()) {
        RestoreBorderFront();
        if (UseXP()) DrawText(-1);
    }
    SelectionHidden = false;
    if (HideSelection || AutoSelect) {
        // A click places the caret itself; any other way in selects everything.
        if (AutoSelect && !(ControlState & csLButtonDown)) SelectAll();
        if (selLength_ != 0) DrawText(-1);
    }
    SetCaret();
}

void TLcBaseEdit::WMKillFocus(TMessage& m) {
    if (HideSelection && selLength_ > 0) {
        SelectionHidden = true;
        DrawText(-1);
    }
    TLcCustomBevelPanel::WMKillFocus(m);
    if (RedrawOnExit()) DrawText(-1);
    caret_->DestroyCaret();
    if (FreeBackOnExit) FreeBackBitmap();
}

void TLcBaseEdit::WMSize(TMessage& m) {
    TLcCustomBevelPanel::WMSize(m);
    if (Focused())
        CreateBack();
    else
        SetupRects();
}

void TLcBaseEdit::Paint() {
    if (IsUpdating() || HasState(csLoading | csReading | csDestroying)) return;
    TCanvas& canvas = *Canvas();
    FillControl();
    // A flat border in its idle look, and the classic sunken edge, are the window's own border,
    // drawn with it after this paint.
    const bool flatIdle = !Focused() && Flat() && !HasState(csDesigning) && !UseXP();
    if (!flatIdle) {
        if (UseXP() && Bevel()->Mode() == bmWindows) {
            BevelXP(canvas, ClientRect());
        } else {
            TRect inner;
            Bevel()->PaintBevel(canvas, ClientRect(), inner, Transparent());
        }
    }
    SetCaret();
}

void TLcBaseEdit::CMEnabledChanged(TMessage& m) {
    TLcCustomBevelPanel::CMEnabledChanged(m);
    DrawText(-1);
}

void TLcBaseEdit::CMFontChanged(TMessage& m) {
    TLcCustomBevelPanel::CMFontChanged(m);
    if (!HandleAllocated()) return;
    RebuildCaret();
    // A focused edit shows its caret in the new height at once.
    if (Focused()) {
        caret_->BuildCaret();
        if (caret_->Shown()) {
            caret_->Disable();
            caret_->Enable();
        }
    }
}

void TLcBaseEdit::WndProc(TMessage& m) {
    // While selected text is held for moving, the caret is only the drop point and the selection
    // no longer follows it: a key would edit where nothing shows. Keys pressed meanwhile are dropped.
    if (DraggingText && (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN || m.Msg == WM_CHAR)) return;
    if (HandleEditRequest(m)) return;
    switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; break;
    // The whole client area is painted by the edit itself.
    case WM_ERASEBKGND: m.Result = 1; break;
    default: TLcCustomBevelPanel::WndProc(m); break;
    }
}
