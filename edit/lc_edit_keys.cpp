// TLcBaseEdit and the keyboard: the modifier state, the command keys (caret moves, selection,
// deletion, the clipboard shortcuts, undo, overwrite) and typed characters.
#include "edit/lc_base_edit.h"

#include "framework/core/temporary_change.h"
#include "framework/forms/forms.h"
#include "framework/platform/platform.h"

namespace {

constexpr char kLF = '\n';

// Case conversion of one Latin-1 character, independent of the C library's locale.
char ToUpperLatin1(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
    return c;
}

char ToLowerLatin1(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
    return c;
}

} // namespace

void TLcBaseEdit::UpdateModifierBits(TShiftState Shift) {
    TLcApplication& app = LcApplication();
    TLcEditMode mode = app.EditMode();
    auto put = [&mode](TLcEditModeKind k, bool on) {
        mode = on ? static_cast<TLcEditMode>(mode | EditModeBit(k))
                  : static_cast<TLcEditMode>(mode & ~EditModeBit(k));
    };
    put(emAlt, (Shift & ssAlt) != 0);
    put(emCtrl, (Shift & ssCtrl) != 0);
    put(emShift, (Shift & ssShift) != 0);
    app.SetEditMode(mode);
}

void TLcBaseEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    TLcCustomBevelPanel::KeyDown(Key, Shift);
    UpdateModifierBits(Shift);
    GetCommandKey(Key, Shift);
}

void TLcBaseEdit::KeyUp(std::uint16_t& Key, TShiftState Shift) {
    TLcCustomBevelPanel::KeyUp(Key, Shift);
    UpdateModifierBits(Shift);
}

void TLcBaseEdit::GetCommandKey(std::uint16_t& Key, TShiftState) {
    if (!Enabled()) return;
    TLcApplication& app = LcApplication();
    const bool shift = app.InEditMode(emShift);
    const bool ctrl = app.InEditMode(emCtrl);
    const bool alt = app.InEditMode(emAlt);
    const std::int32_t selLengthBefore = selLength_;
    switch (Key) {
    case VK_BACK:
        if (!EditingAllowed || readOnly_ || selStart_ < 1) break;
        if (cursorPos_ == 1 && selStart_ == 1 && selLength_ == 0) return;
        if (selLength_ == 0 || BackOneMore()) {
            selStart_ = cursorPos_ - 1;
            ++selLength_;
        }
        SetSelText("");
        break;
    case VK_RETURN:
        if (TabOnEnter && !ctrl) {
            if (TCustomForm* form = GetParentForm(this)) form->SelectNext(this, true, true);
        }
        break;
    case VK_ESCAPE: SetSelLength(0); break;
    case VK_END: GotoParaEnd(); break;
    case VK_HOME:
        if (ctrl)
            SetCursorPos(1);
        else
            GotoParaStart();
        break;
    case VK_LEFT:
        if (cursorPos_ > 1) {
            SetCursorPos(CharAt(cursorPos_ - 1) == kLF ? cursorPos_ - 2 : cursorPos_ - 1);
            if (ctrl) GotoPrevWord();
        } else if (!shift) {
            SetSelLength(0);
        }
        break;
    case VK_RIGHT:
        if (!text_.empty() && cursorPos_ <= TextLength()) {
            SetCursorPos(cursorPos_ + 1);
            if (CharAt(cursorPos_) == kLF) SetCursorPos(cursorPos_ + 1);
            if (ctrl) GotoNextWord();
        } else if (!shift) {
            SetSelLength(0);
        }
        break;
    case VK_INSERT:
        if (shift && EditingAllowed)
            PasteFromClipboard();
        else if (ctrl)
            CopyToClipboard();
        else if (!alt)
            app.SetEditMode(app.EditMode() ^ EditModeBit(emInsert));
        break;
    case VK_DELETE:
        if (!EditingAllowed) break;
        if (shift) {
            CutToClipboard();
        } else if (!readOnly_ && !text_.empty()) {
            if (selLength_ == 0) selLength_ = 1;
            SetSelText("");
        }
        break;
    case 'A':
        if (ctrl) {
            SelectAll();
            Key = 0;
        }
        break;
    case 'C':
        if (ctrl) {
            CopyToClipboard();
            Key = 0;
        }
        break;
    case 'V':
        if (ctrl && EditingAllowed) {
            PasteFromClipboard();
            Key = 0;
        }
        break;
    case 'X':
        if (ctrl && EditingAllowed) {
            CutToClipboard();
            Key = 0;
        }
        break;
    default: break;
    }
    if (selLength_ != selLengthBefore) DrawText(cursorPos_);
}

void TLcBaseEdit::KeyPress(char& Key) {
    if (!EditingAllowed) return;
    TLcCustomBevelPanel::KeyPress(Key);
    if (static_cast<unsigned char>(Key) < 32) return;
    char c = Key;
    if (CharCase == ecUpperCase) c = ToUpperLatin1(c);
    if (CharCase == ecLowerCase) c = ToLowerLatin1(c);
    const TemporaryChange<bool> typing(TypingChar, true);
    SetSelText(std::string(1, c));
}
