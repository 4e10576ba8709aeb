// TLcBaseEdit's answers to the standard edit-control requests (the text and clipboard messages and
// the EM_ messages), so that it can stand in for a platform edit box. Requests that carry pointers
// do nothing with a null pointer and never write past the size they were given.
#include "edit/lc_base_edit.h"

#include <algorithm>
#include <cstring>

namespace {

// The classic packing of two 16-bit values into a result.
LRESULT MakeResult(std::int64_t low, std::int64_t high) {
    return static_cast<LRESULT>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16) |
                                static_cast<std::uint16_t>(low));
}

template <typename T> T* Pointer(std::uintptr_t value) { return reinterpret_cast<T*>(value); }

// The zero-terminated text a request points at; empty for a null pointer.
std::string TextAt(LPARAM value) {
    const char* p = Pointer<const char>(static_cast<std::uintptr_t>(value));
    return p != nullptr ? std::string(p) : std::string();
}

} // namespace

bool TLcBaseEdit::HandleEditRequest(TMessage& m) {
    const auto lParamAddress = static_cast<std::uintptr_t>(m.LParam);
    switch (m.Msg) {
    case WM_CUT: CutToClipboard(); break;
    case WM_COPY: CopyToClipboard(); break;
    case WM_PASTE:
        if (EditingAllowed) PasteFromClipboard();
        break;
    case WM_CLEAR: ClearSelection(); break;
    case WM_UNDO:
    case EM_UNDO:
        Undo();
        m.Result = CanUndo ? 1 : 0;
        break;
    case WM_SETTEXT: {
        if (m.LParam == 0) break;
        // The request replaces the edit's text; like the classic request it reports a change even
        // when the text stays the same.
        const std::string s = TextAt(m.LParam);
        if (s == text_)
            SetNewText();
        else
            SetText(s);
        Invalidate();
        m.Result = 1;
        break;
    }
    case WM_GETTEXT: {
        char* buffer = Pointer<char>(lParamAddress);
        if (buffer == nullptr || m.WParam == 0) break;
        const std::size_t n = std::min<std::size_t>(text_.size(), m.WParam - 1);
        std::memcpy(buffer, text_.data(), n);
        buffer[n] = '\0';
        GetNewText();
        m.Result = static_cast<LRESULT>(n);
        break;
    }
    case WM_GETTEXTLENGTH: m.Result = TextLength(); break;
    case EM_CANUNDO: m.Result = CanUndo ? 1 : 0; break;
    case EM_EMPTYUNDOBUFFER:
        // The undo history only: what can be redone stays.
        undoStack_.Clear();
        CanUndo = false;
        break;
    case EM_GETMODIFY: m.Result = modified_ ? 1 : 0; break;
    case EM_SETMODIFY: SetModified(m.WParam != 0); break;
    case EM_SETREADONLY:
        SetReadOnly(m.WParam != 0);
        m.Result = 1;
        break;
    case EM_GETSEL: {
        const std::int64_t start = static_cast<std::int64_t>(selStart_) - 1;
        const std::int64_t end = SelectionEnd() - 1;
        if (auto* p = Pointer<std::uint32_t>(m.WParam)) *p = static_cast<std::uint32_t>(start);
        if (auto* p = Pointer<std::uint32_t>(lParamAddress)) *p = static_cast<std::uint32_t>(end);
        m.Result = MakeResult(start, end);
        break;
    }
    case EM_SETSEL: {
        const auto start = static_cast<std::int32_t>(m.WParam);
        const auto end = static_cast<std::int32_t>(m.LParam);
        if (start == -1) {
            SetSelLength(0);
        } else if (start == 0 && end == -1) {
            SelectAll();
        } else {
            // 0-based start and end, in either order; -1 as the end means the end of the text.
            const std::int32_t to = end < 0 ? TextLength() : std::min(end, TextLength());
            const std::int32_t from = std::clamp(start, 0, TextLength());
            SetCursorPos(std::min(from, to) + 1);
            SetSelLength(std::max(from, to) - std::min(from, to));
        }
        break;
    }
    case EM_REPLACESEL:
        if (m.LParam == 0) break;
        SetSelText(TextAt(m.LParam));
        if (m.WParam == 0) ClearUndo();
        break;
    case EM_LIMITTEXT: MaxLength = static_cast<std::int32_t>(m.WParam); break;
    case EM_GETLIMITTEXT: m.Result = MaxLength; break;
    case EM_GETLINE: {
        char* buffer = Pointer<char>(lParamAddress);
        if (buffer == nullptr) break;
        // The buffer announces its size in its first 16-bit word; no terminator is written.
        std::uint16_t size = 0;
        std::memcpy(&size, buffer, sizeof size);
        const std::size_t n = std::min<std::size_t>(text_.size(), size);
        std::memcpy(buffer, text_.data(), n);
        m.Result = static_cast<LRESULT>(n);
        break;
    }
    case EM_GETLINECOUNT: m.Result = 1; break;
    case EM_LINELENGTH: m.Result = TextLength(); break;
    case EM_GETRECT:
        if (auto* r = Pointer<TRect>(lParamAddress)) *r = TextRect;
        break;
    case EM_POSFROMCHAR: {
        auto* p = Pointer<TPoint>(m.WParam);
        if (p == nullptr) break;
        TCanvas& canvas = *Canvas();
        canvas.Font()->Assign(*Font());
        canvas.TextCharacterExtra = Font3D()->Tracing();
        const auto n = static_cast<std::size_t>(std::clamp<LPARAM>(m.LParam, 0, TextLength()));
        *p = {TextRect.Left + canvas.TextWidth(text_.substr(0, n)) - ScrollOffset, 0};
        break;
    }
    case EM_CHARFROMPOS:
        m.Result = MakeResult(CalcMouseRow(MouseX(m.LParam)), CalcMouseCol(MouseY(m.LParam)));
        break;
    case EM_GETPASSWORDCHAR:
    case EM_GETFIRSTVISIBLELINE:
    case EM_LINEFROMCHAR:
    case EM_LINEINDEX:
    case EM_GETHANDLE:
    case EM_GETMARGINS:
    case EM_GETTHUMB:
    case EM_GETWORDBREAKPROC: m.Result = 0; break;
    case EM_SETPASSWORDCHAR:
    case EM_FMTLINES:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
    case EM_SETHANDLE:
    case EM_SETMARGINS:
    case EM_SETRECT:
    case EM_SETRECTNP:
    case EM_SETTABSTOPS:
    case EM_SETWORDBREAKPROC: break;
    default: return false;
    }
    return true;
}
