// The edit and the pointer (placing the caret, drag-selecting with the repeat timer, moving text,
// word selection), its context menu and the standard edit-control requests. Digits are 6 pixels
// wide, so caret position p of an unscrolled edit lies at control x 6p - 3 (DigitX gives form x).
#include "edit_fixture.h"
#include "framework/controls/menus.h"
#include "framework/forms/forms.h"

#include <array>
#include <cstring>

namespace {

TEST_F(EditTest, AClickPlacesTheCaretAndADragSelectsFromThePress) {
    edit->SetText("8888");
    const int y = edit->Top() + 8;
    const struct {
        int x;
        int caret;
    } clicks[] = {{edit->Left() + 1, 1}, {DigitX(edit, 3), 3}, {edit->Left() + 60, 5}};
    for (const auto& c : clicks) {
        MouseDown(c.x, y);
        MouseUp(c.x, y);
        EXPECT_EQ(edit->CursorPos(), c.caret) << c.x;
        EXPECT_EQ(edit->SelLength(), 0);
    }
    EXPECT_TRUE(edit->Focused());
    MouseDown(DigitX(edit, 2), y);
    Drag(DigitX(edit, 4), y);
    MouseUp(DigitX(edit, 4), y);
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 2);
    EXPECT_EQ(edit->MouseRepeatTimer(), nullptr);
}

TEST_F(EditTest, HoldingTheButtonBeyondTheEndKeepsSelectingAndScrolling) {
    edit->SetText("888888888888");
    const int y = edit->Top() + 8;
    MouseDown(DigitX(edit, 1), y);
    ASSERT_NE(edit->MouseRepeatTimer(), nullptr);
    EXPECT_FALSE(edit->MouseRepeatTimer()->UsesPool());
    Drag(edit->Left() + 64, y);
    EXPECT_EQ(edit->CursorPos(), 11);
    EXPECT_EQ(edit->ScrollOffset, 6);
    // Every 200 ms the last pointer position is applied again while the pointer rests.
    const struct {
        std::uint64_t advance;
        int caret;
        int scroll;
    } ticks[] = {{199, 11, 6}, {1, 12, 12}, {200, 13, 18}, {600, 13, 18}};
    for (const auto& t : ticks) {
        AdvanceAndProcess(t.advance);
        EXPECT_EQ(edit->CursorPos(), t.caret);
        EXPECT_EQ(edit->ScrollOffset, t.scroll);
    }
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 12);
    MouseUp(edit->Left() + 64, y);
    EXPECT_EQ(edit->MouseRepeatTimer(), nullptr);
    EXPECT_FALSE(edit->LeftButtonHeld);
}

TEST_F(EditTest, DraggingSelectedTextMovesIt) {
    const struct {
        const char* name;
        int selStart, selLength, pressAt, dropAt;
        const char* text;
        int caret;
        int changes;
    } cases[] = {
        {"released where pressed", 3, 2, 4, 4, "12345678", 4, 0},
        {"dropped after the selection", 3, 2, 4, 8, "12567348", 6, 2},
        {"dropped before the selection", 7, 2, 8, 2, "17823456", 2, 2},
    };
    const int y = edit->Top() + 8;
    for (const auto& c : cases) {
        Prepare(edit, "12345678", 1);
        edit->SetCursorPos(c.selStart);
        edit->SetSelLength(c.selLength);
        const std::size_t records = edit->UndoStack().Count();
        MouseDown(DigitX(edit, c.pressAt), y);
        EXPECT_TRUE(edit->DraggingText) << c.name;
        EXPECT_EQ(Screen->Cursor, crDrag);
        Drag(DigitX(edit, c.dropAt), y);
        EXPECT_EQ(edit->SelLength(), c.selLength) << c.name << ": the selection stays while dragging";
        MouseUp(DigitX(edit, c.dropAt), y);
        EXPECT_EQ(edit->Text(), c.text) << c.name;
        EXPECT_EQ(edit->CursorPos(), c.caret) << c.name;
        EXPECT_EQ(edit->SelLength(), 0) << c.name;
        EXPECT_EQ(changes, c.changes) << c.name;
        EXPECT_EQ(edit->UndoStack().Count() - records, static_cast<std::size_t>(c.changes)) << c.name;
        EXPECT_EQ(Screen->Cursor, crDefault);
    }
}

TEST_F(EditTest, ALostCaptureEndsThePressWithoutMovingText) {
    Prepare(edit, "12345678", 3);
    edit->SetSelLength(2);
    const int y = edit->Top() + 8;
    MouseDown(DigitX(edit, 4), y);
    Drag(DigitX(edit, 8), y);
    ASSERT_TRUE(edit->DraggingText);
    edit->Perform(WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(edit->DraggingText);
    EXPECT_FALSE(edit->LeftButtonHeld);
    EXPECT_EQ(edit->MouseRepeatTimer(), nullptr);
    EXPECT_EQ(Screen->Cursor, crDefault);
    MouseUp(DigitX(edit, 8), y);
    EXPECT_EQ(edit->Text(), "12345678");
    EXPECT_EQ(changes, 0);
}

TEST_F(EditTest, WordSelection) {
    const struct {
        const char* text;
        int caret, selStart, selLength;
    } cases[] = {
        {"a bc d", 4, 3, 2}, // between delimiters: the word only
        {" ab", 3, 1, 3},    // the scan reaches position 1: the leading space comes too
        {"ab cd", 3, 1, 2},  // on the delimiter after a word
        {" ab", 1, 1, 0},    // a space at position 1: nothing before the text is read
        {"", 1, 1, 0},
    };
    for (const auto& c : cases) {
        edit->SetText(c.text);
        edit->SetCursorPos(c.caret);
        edit->SelectCurrentWord();
        EXPECT_EQ(edit->SelStart(), c.selStart) << c.text << " at " << c.caret;
        EXPECT_EQ(edit->SelLength(), c.selLength) << c.text << " at " << c.caret;
        EXPECT_EQ(edit->CursorPos(), c.caret);
    }
    edit->SetText("12 45 78");
    DoubleClick(DigitX(edit, 5), edit->Top() + 8);
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(edit->SelLength(), 2);
}

TEST_F(EditTest, FocusOnMouseAboveTakesTheFocusWhenThePointerEnters) {
    CountingEdit* other = AddEdit(100, 10);
    other->FocusOnMouseAbove = true;
    edit->SetFocus();
    MouseMove(110, 15);
    EXPECT_TRUE(other->Focused());
}

// The context menu's captions and enabled states, read while it is open, then closed with Escape.
class EditMenuTest : public EditTest {
protected:
    struct Seen {
        std::vector<std::string> captions;
        std::vector<bool> enabled;
    };
    Seen OpenMenu(std::vector<std::uint16_t> keys = {VK_ESCAPE}) {
        Seen seen;
        platform.waitHook = [&] {
            TPopupMenu* menu = edit->ContextMenu();
            if (menu == nullptr || !seen.captions.empty()) return;
            for (int i = 0; i < menu->Items()->Count(); ++i) {
                seen.captions.push_back(menu->Items()->Items(i)->Caption());
                seen.enabled.push_back(menu->Items()->Items(i)->Enabled);
            }
            for (std::uint16_t k : keys) {
                PlatformEvent key;
                key.kind = PlatformEvent::Kind::KeyDown;
                key.window = form->PlatformWindow();
                key.virtualKey = k;
                platform.PostEvent(key);
            }
        };
        RightClick(edit->Left() + 20, edit->Top() + 8);
        platform.waitHook = nullptr;
        return seen;
    }
};

TEST_F(EditMenuTest, CaptionsAndEnabledStates) {
    // The window's own pop-up menu is not consulted over the edit.
    TPopupMenu formMenu(nullptr);
    auto* formItem = new TMenuItem(&formMenu);
    formItem->SetCaption("Window");
    formMenu.Items()->Add(formItem);
    form->SetPopupMenu(&formMenu);

    const std::vector<std::string> captions{"&Undo",  "-",       "&Cut", "&Copy",
                                            "&Paste", "&Delete", "-",    "Select all"};
    using States = std::vector<bool>;
    const struct {
        const char* name;
        const char* text;
        bool select;
        bool readOnly;
        bool clipboard;
        States enabled;
    } cases[] = {
        {"new edit", "", false, false, false, {true, true, false, false, false, false, true, false}},
        {"selection", "1234", true, false, true, {true, true, true, true, true, true, true, true}},
        {"read-only selection", "1234", true, true, true, {true, true, false, true, false, true, true, true}},
        {"no selection, clipboard empty",
         "1234",
         false,
         false,
         false,
         {true, true, false, false, false, false, true, true}},
    };
    for (const auto& c : cases) {
        edit->SetText(c.text);
        edit->SetReadOnly(c.readOnly);
        if (c.clipboard)
            platform.clipboard_ = "9";
        else
            platform.clipboard_.reset();
        edit->SetFocus();
        if (c.select)
            edit->SelectAll();
        else
            edit->SetSelLength(0);
        const Seen seen = OpenMenu();
        EXPECT_EQ(seen.captions, captions) << c.name;
        EXPECT_EQ(seen.enabled, c.enabled) << c.name;
        EXPECT_EQ(edit->ContextMenu(), nullptr) << c.name << ": freed after use";
    }
}

TEST_F(EditMenuTest, AChosenCommandRunsAndSuppressionShowsNoMenu) {
    Prepare(edit, "1234", 5);
    edit->SelectAll();
    platform.clipboard_.reset();
    // "&Cut" and "&Copy" share their key: the second press reaches Copy, Enter chooses it.
    OpenMenu({'C', 'C', VK_RETURN});
    EXPECT_EQ(platform.clipboard_, "1234");
    EXPECT_EQ(edit->Text(), "1234");
    OpenMenu({'D'});
    EXPECT_EQ(edit->Text(), "");

    bool asked = false;
    edit->OnContextPopup = [&](TObject*, TPoint, bool& handled) {
        asked = true;
        handled = true;
    };
    EXPECT_TRUE(OpenMenu().captions.empty());
    EXPECT_TRUE(asked);
    edit->OnContextPopup = nullptr;
    edit->Options = eoSuppressDefaultMenu;
    EXPECT_TRUE(OpenMenu().captions.empty());
}

TEST_F(EditTest, EditControlRequests) {
    edit->SetText("12345");
    const auto send = [this](std::uint32_t msg, WPARAM w = 0, LPARAM l = 0) {
        return edit->Perform(msg, w, l);
    };
    // Selection by request: 0-based start and end, either way round.
    const struct {
        WPARAM start;
        LPARAM end;
        int selStart, selLength, caret;
    } selections[] = {
        {0, -1, 1, 5, 6}, {1, 4, 2, 3, 2}, {4, 1, 2, 3, 2}, {static_cast<WPARAM>(-1), 0, 2, 0, 2},
        {2, -1, 3, 3, 3},
    };
    for (const auto& c : selections) {
        send(EM_SETSEL, c.start, c.end);
        EXPECT_EQ(edit->SelStart(), c.selStart) << c.start << "," << c.end;
        EXPECT_EQ(edit->SelLength(), c.selLength) << c.start << "," << c.end;
        EXPECT_EQ(edit->CursorPos(), c.caret) << c.start << "," << c.end;
    }
    send(EM_SETSEL, 1, 3);
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    EXPECT_EQ(send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)),
              (3 << 16) | 1);
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(send(EM_GETSEL), (3 << 16) | 1);

    // Buffers are filled only as far as they reach.
    std::array<char, 8> buffer{};
    buffer.fill('#');
    EXPECT_EQ(send(WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer.data())), 2);
    EXPECT_EQ(std::string(buffer.data()), "12");
    EXPECT_EQ(buffer[3], '#');
    EXPECT_EQ(send(WM_GETTEXT, 3, 0), 0);
    buffer.fill('#');
    const std::uint16_t size = 3;
    std::memcpy(buffer.data(), &size, sizeof size);
    EXPECT_EQ(send(EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer.data())), 3);
    EXPECT_EQ(std::string(buffer.data(), 4), "123#");
    EXPECT_EQ(send(EM_GETLINE, 0, 0), 0);
    EXPECT_EQ(send(EM_POSFROMCHAR, 0, 2), 0);
    TPoint at;
    send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 2);
    EXPECT_EQ(at, (TPoint{3 + 12, 0}));
    TRect rect;
    send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect, edit->TextRect);

    EXPECT_EQ(send(WM_GETTEXTLENGTH), 5);
    EXPECT_EQ(send(EM_LINELENGTH), 5);
    EXPECT_EQ(send(EM_GETLINECOUNT), 1);
    EXPECT_EQ(send(EM_CANUNDO), 1);
    send(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(send(EM_CANUNDO), 0);
    EXPECT_EQ(send(EM_SETREADONLY, 1), 1);
    EXPECT_TRUE(edit->ReadOnly());
    send(EM_SETREADONLY, 0);
    send(EM_LIMITTEXT, 9);
    EXPECT_EQ(send(EM_GETLIMITTEXT), 9);

    // Text and replacement requests act on the edit's text; a null pointer does nothing.
    changes = 0;
    send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("678"));
    EXPECT_EQ(edit->Text(), "678");
    EXPECT_EQ(changes, 1);
    send(WM_SETTEXT, 0, 0);
    send(EM_REPLACESEL, 1, 0);
    EXPECT_EQ(edit->Text(), "678");
    send(EM_SETSEL, 0, 1);
    send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("5"));
    EXPECT_EQ(edit->Text(), "578");
    EXPECT_TRUE(edit->UndoStack().Empty()); // not undoable
    send(EM_SETPASSWORDCHAR, '*');
    EXPECT_EQ(send(EM_GETPASSWORDCHAR), '*');
    EXPECT_EQ(edit->DisplayText(), "***");
}

} // namespace
