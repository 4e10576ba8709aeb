// libFuzzer entry for the spin edit's input path. The bytes are decoded into user actions on the
// zoom-power edit as the main window stores it (suffix "%", 0..1000, 200): typed characters, keys
// with Shift/Ctrl/Alt, pastes of any clipboard text, caret and selection moves, pointer presses and
// drags, the context menu, undo, the wheel, the spin button, focus leaving and coming back.
//
// After every action the edit must hold:
//   - the caret inside the text (1 .. length + 1) and, unless the unchecked SelStart/SelLength
//     setters were given wild values, the selection too;
//   - the suffix whole at the end of the text;
//   - Value equal to the number in the text: the text before the suffix read as an optional "-" and
//     decimal digits, standing at the 32-bit bounds past them; empty or anything else reads 0;
//   - after the focus left or a value was assigned (a commit): the text is the committed value's
//     own text and that value lies in MinValue..MaxValue;
//   - after a step up that changed the text, Value <= MaxValue; after a step down, Value >= MinValue;
//   - no error reached the application's error box.
#include "form_input.h"
#include "framework/controls/menus.h"
#include "headless_session.h"
#include "tests/spin_edit_description.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Done() const { return at_ >= size_; }
    std::size_t Position() const { return at_; }
    std::uint8_t At(std::size_t i) const { return i < size_ ? data_[i] : 0; }
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    std::int32_t Next32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | Next();
        return static_cast<std::int32_t>(v);
    }
    std::string Take(std::size_t n) {
        n = std::min(n, size_ - std::min(at_, size_));
        std::string s(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The number the text before the suffix stands for, computed apart from the edit's own reading.
std::int32_t NumberIn(const std::string& pure) {
    const bool negative = !pure.empty() && pure[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    if (pure.size() == first) return 0;
    std::int64_t magnitude = 0;
    for (std::size_t i = first; i < pure.size(); ++i) {
        if (pure[i] < '0' || pure[i] > '9') return 0;
        magnitude = std::min<std::int64_t>(magnitude * 10 + (pure[i] - '0'), std::int64_t{1} << 40);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// Clipboard contents of every odd kind: none, raw bytes, numbers, numbers cut by NUL or a line
// break, invalid UTF-8, long runs of digits.
std::optional<std::string> ClipboardText(Bytes& in) {
    switch (in.Next() % 8) {
    case 0: return std::nullopt;
    case 1: return in.Take(in.Next() % 24);
    case 2: {
        std::string s = in.Take(in.Next() % 12);
        for (char& c : s) c = static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
        return s;
    }
    case 3: return "-" + std::to_string(static_cast<std::uint32_t>(in.Next32()));
    case 4: return std::string(64u * (1u + in.Next()), static_cast<char>('0' + in.Next() % 10));
    case 5: {
        static const std::string kBreaks("\0\r\n", 3);
        return std::to_string(in.Next()) + kBreaks[in.Next() % 3] + in.Take(in.Next() % 8);
    }
    case 6: {
        static const char* const kInvalid[] = {"\xc3", "\xff\xfe", "1\xe2\x82", "\xc0\xaf", "9\x80"};
        return std::string(kInvalid[in.Next() % 5]);
    }
    default: return std::string(in.Next() % 3, '-');
    }
}

class SpinEditSession {
public:
    SpinEditSession() : probe_(new TSpinProbeForm(session_.app.get())) {
        ReadSpinProbe(*probe_, [this](TObject*) { ChangeSeen(); });
        zoom_ = probe_->powerZ;
        probe_->Show();
        input_.Settle();
        zoom_->SetFocus();
        input_.Settle();
        Check();
    }

    // With LENTARO_FUZZ_TRACE set, each action and the state it left are written to standard error,
    // so a finding can be read as steps and turned into a unit test.
    void Run(Bytes& in) {
        const bool trace = std::getenv("LENTARO_FUZZ_TRACE") != nullptr;
        while (!in.Done()) {
            const std::size_t from = in.Position();
            Act(in);
            if (trace)
                std::fprintf(stderr, "action %02x (%zu bytes): text '%s' caret %d selection %d+%d\n",
                             in.At(from), in.Position() - from, zoom_->Text().c_str(), zoom_->CursorPos(),
                             zoom_->SelStart(), zoom_->SelLength());
            Check();
        }
    }

private:
    void Act(Bytes& in) {
        switch (in.Next() % 16) {
        case 0: TypeCharacter(in); break;
        case 1: PressKey(in); break;
        case 2: Paste(in); break;
        case 3:
            zoom_->Perform(EM_SETSEL, static_cast<WPARAM>(static_cast<std::int8_t>(in.Next())),
                           static_cast<std::int8_t>(in.Next()));
            break;
        case 4: PlaceSelection(in); break;
        case 5: DragPointer(in); break;
        case 6: DoubleClick(in); break;
        case 7: UndoOrRedo(in); break;
        case 8: LeaveAndComeBack(in); break;
        case 9: TurnWheel(in); break;
        case 10: HoldSpinButton(in); break;
        case 11: input_.Wait(in.Next() * 4u); break;
        case 12: AssignValue(in); break;
        case 13: Request(in); break;
        case 14: ContextMenuCommand(in); break;
        default: WildSelection(in); break;
        }
    }

    void TypeCharacter(Bytes& in) {
        static const char kLikely[] = "0123456789--";
        const std::uint8_t b = in.Next();
        input_.Char((b & 0x80) != 0 ? in.Next() : static_cast<unsigned char>(kLikely[b % 12]));
    }

    static std::uint32_t Modifiers(std::uint8_t b) {
        return ((b & 1) != 0 ? kShiftShift : 0u) | ((b & 2) != 0 ? kShiftCtrl : 0u) |
               ((b & 4) != 0 ? kShiftAlt : 0u);
    }

    void PressKey(Bytes& in) {
        static const std::uint16_t kKeys[] = {VK_BACK,   VK_DELETE, VK_LEFT,  VK_RIGHT, VK_HOME,   VK_END,
                                              VK_UP,     VK_DOWN,   VK_PRIOR, VK_NEXT,  VK_INSERT, VK_ESCAPE,
                                              VK_RETURN, 'A',       'C',      'V',      'X',       'Z'};
        const std::uint16_t key = kKeys[in.Next() % std::size(kKeys)];
        const std::uint32_t shift = Modifiers(in.Next());
        const bool up = key == VK_UP || key == VK_PRIOR;
        const bool down = key == VK_DOWN || key == VK_NEXT;
        StepChecked(up, down, [&] { input_.Press(key, shift); });
    }

    void Paste(Bytes& in) {
        session_.platform.clipboard_ = ClipboardText(in);
        switch (in.Next() % 3) {
        case 0: input_.Press('V', kShiftCtrl); break;
        case 1: input_.Press(VK_INSERT, kShiftShift); break;
        default: zoom_->Perform(WM_PASTE, 0, 0); break;
        }
    }

    void PlaceSelection(Bytes& in) {
        const std::int32_t end = zoom_->TextLength() + 1;
        zoom_->SetCursorPos(1 + in.Next() % end);
        const std::int32_t start = 1 + in.Next() % end;
        zoom_->SetSelStart(start);
        zoom_->SetSelLength(in.Next() % (end - start + 1));
    }

    // A point on the edit's row: from a little left of it to a little past its button.
    TPoint EditPoint(std::uint8_t b) const {
        return {zoom_->Left() - 4 + b % (zoom_->Width() + 8), zoom_->Top() + zoom_->Height() / 2};
    }

    void DragPointer(Bytes& in) {
        const std::uint32_t shift = Modifiers(in.Next()) & kShiftShift;
        const TPoint from = EditPoint(in.Next());
        const TPoint to = EditPoint(in.Next());
        input_.MouseMove(from);
        input_.MouseDown(from, PointerButton::Left, shift);
        input_.MouseMove(to, kShiftLeft | shift);
        input_.Wait(in.Next() % 4 * 100u); // the repeat timer scrolls while the button is held
        input_.MouseUp(to, PointerButton::Left, shift);
    }

    void DoubleClick(Bytes& in) {
        const TPoint p = EditPoint(in.Next());
        input_.MouseDown(p, PointerButton::Left);
        input_.MouseUp(p, PointerButton::Left);
        input_.MouseDown(p, PointerButton::Left, kShiftDouble);
        input_.MouseUp(p, PointerButton::Left);
    }

    void UndoOrRedo(Bytes& in) {
        switch (in.Next() % 3) {
        case 0: zoom_->Perform(EM_UNDO, 0, 0); break;
        case 1: zoom_->Perform(WM_UNDO, 0, 0); break;
        default: zoom_->Redo(); break;
        }
    }

    // The focus goes to the other edit (a commit), then comes back by Shift+Tab, a click or code.
    void LeaveAndComeBack(Bytes& in) {
        input_.Press(VK_TAB);
        if (zoom_->Focused()) FuzzFailure("Tab left the focus in the edit");
        CheckCommitted();
        const std::uint8_t how = in.Next();
        switch (how % 3) {
        case 0: input_.Press(VK_TAB, kShiftShift); break;
        case 1: {
            const TPoint p = EditPoint(how / 3);
            input_.MouseDown(p, PointerButton::Left);
            input_.MouseUp(p, PointerButton::Left);
            break;
        }
        default: zoom_->SetFocus(); break;
        }
        if (!zoom_->Focused()) zoom_->SetFocus();
        input_.Settle();
    }

    void TurnWheel(Bytes& in) {
        const auto delta = static_cast<std::int16_t>(in.Next() << 8 | in.Next());
        StepChecked(delta > 0, delta < 0, [&] { input_.Wheel(EditPoint(0), delta); });
    }

    void HoldSpinButton(Bytes& in) {
        const std::uint8_t b = in.Next();
        const bool upper = (b & 1) != 0;
        const TLcSpinButton* button = zoom_->SpinButton();
        const TPoint p{zoom_->Left() + button->Left() + (upper ? 1 : button->Width() - 2),
                       zoom_->Top() + button->Top() + (upper ? 1 : button->Height() - 2)};
        StepChecked(upper, !upper, [&] {
            input_.MouseMove(p);
            input_.MouseDown(p, PointerButton::Left);
            input_.Wait((b >> 1) * 10u);
            input_.MouseUp(p, PointerButton::Left);
        });
    }

    void AssignValue(Bytes& in) {
        const std::int32_t value = in.Next32();
        // A value equal to the committed one changes nothing, not even a text the user changed.
        const bool commits = value != zoom_->CommittedValue();
        zoom_->SetValue(value);
        if (commits) CheckCommitted();
    }

    // The standard requests without pointers, and the switches that stop editing or stepping.
    void Request(Bytes& in) {
        static const std::uint32_t kRequests[] = {WM_CLEAR, WM_CUT, WM_COPY, EM_EMPTYUNDOBUFFER,
                                                  EM_SETREADONLY};
        const std::uint8_t b = in.Next();
        if (b % 6 == 5)
            zoom_->EditorEnabled = !zoom_->EditorEnabled;
        else
            zoom_->Perform(kRequests[b % 6], (b >> 3) & 1, 0);
    }

    // The edit's own menu, opened by a right click; the item k places down is chosen by the keyboard.
    void ContextMenuCommand(Bytes& in) {
        const int downs = in.Next() % 9;
        int waits = 0;
        session_.platform.waitHook = [&] {
            TPopupMenu* menu = zoom_->ContextMenu();
            if (menu == nullptr || menu->Tracker() == nullptr) return;
            PlatformEvent key;
            key.kind = PlatformEvent::Kind::KeyDown;
            key.window = probe_->PlatformWindow();
            ++waits;
            // A menu that never closes would hang the run: after the choice, Escape, and again.
            key.virtualKey = waits <= downs ? VK_DOWN : waits == downs + 1 ? VK_RETURN : VK_ESCAPE;
            session_.platform.PostEvent(key);
        };
        const TPoint p = EditPoint(in.Next());
        input_.MouseDown(p, PointerButton::Right);
        input_.MouseUp(p, PointerButton::Right);
        session_.platform.waitHook = nullptr;
        input_.Settle();
    }

    void WildSelection(Bytes& in) {
        zoom_->SetSelStart(in.Next32());
        zoom_->SetSelLength(in.Next32());
        wildSelection_ = true;
    }

    // Runs an action that may step the value up or down and checks the bound in that direction.
    template <class F> void StepChecked(bool up, bool down, F&& action) {
        const std::string before = zoom_->Text();
        action();
        if (zoom_->ReadOnly() || zoom_->Text() == before) return;
        if (up && zoom_->Value() > zoom_->MaxValue()) FuzzFailure("a step up passed MaxValue");
        if (down && zoom_->Value() < zoom_->MinValue()) FuzzFailure("a step down passed MinValue");
    }

    // The main window's handler reads Value on every change: it must be the number in the text at
    // that moment (the text may lack its suffix only inside a focus loss, emptied before the commit).
    void ChangeSeen() {
        if (zoom_ == nullptr) return;
        const std::string text = zoom_->Text();
        const std::string& suffix = zoom_->Suffix();
        const std::int32_t value = zoom_->Value();
        if (text.size() >= suffix.size() &&
            text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            value != NumberIn(text.substr(0, text.size() - suffix.size())))
            FuzzFailure("OnChange saw a Value other than the number in the text");
    }

    void Check() {
        const std::string text = zoom_->Text();
        const auto length = static_cast<std::int32_t>(text.size());
        if (zoom_->CursorPos() < 1 || zoom_->CursorPos() > length + 1) FuzzFailure("caret outside the text");
        if (!wildSelection_ &&
            (zoom_->SelStart() < 1 || zoom_->SelLength() < 0 || zoom_->SelectionEnd() > length + 1))
            FuzzFailure("selection outside the text");
        const std::string& suffix = zoom_->Suffix();
        if (text.size() < suffix.size() ||
            text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
            FuzzFailure("the suffix is not whole at the end of the text");
        if (zoom_->Value() != NumberIn(text.substr(0, text.size() - suffix.size())))
            FuzzFailure("Value differs from the number in the text");
        if (!session_.platform.MessageBoxes().empty()) FuzzFailure("an error reached the error box");
        if (!Describes(zoom_->UndoStack().Top(), text) || !Describes(zoom_->RedoStack().Top(), text))
            FuzzFailure("the newest undo or redo record does not describe the text");
    }

    // A record describes its change as it took effect: its inserted text stands at its place, until
    // an undo takes it back (or a replaced text drops the records).
    static bool Describes(const TLcUndoRecord* record, const std::string& text) {
        if (record == nullptr) return true;
        const auto at = static_cast<std::size_t>(record->SelStart - 1);
        return record->SelStart >= 1 && at <= text.size() &&
               record->InsertedLength == static_cast<std::int32_t>(record->NewText.size()) &&
               text.compare(at, record->NewText.size(), record->NewText) == 0;
    }

    void CheckCommitted() {
        const double committed = zoom_->CommittedValue();
        if (committed < zoom_->MinValue() || committed > zoom_->MaxValue())
            FuzzFailure("the committed value lies outside MinValue..MaxValue");
        if (zoom_->Text() != zoom_->getOutString(committed)) FuzzFailure("a commit left another text");
        Check();
    }

    HeadlessSession session_;
    TSpinProbeForm* probe_; // owned by the application
    TLcSpinEdit* zoom_ = nullptr;
    FormInput input_{session_.platform, *session_.app, *probe_};
    bool wildSelection_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    SpinEditSession session;
    session.Run(in);
    return 0;
}
