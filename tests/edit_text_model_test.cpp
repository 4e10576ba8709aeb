// The edit's text model driven through the keyboard and its public operations.
#include "edit_fixture.h"
#include "framework/controls/caret.h"

namespace {

struct KeyCase {
    const char* name;
    std::string text;
    int caret;
    int selStart;
    int selLength;
    std::uint16_t key;
    std::uint32_t shift;
    std::string expectText;
    int expectCaret;
    int expectSelStart;
    int expectSelLength;
};

} // namespace

TEST_F(EditTest, KeyCommandTable) {
    const KeyCase cases[] = {
        {"backspace in the middle", "abcd", 3, 3, 0, VK_BACK, 0, "acd", 2, 2, 0},
        {"backspace removes the selection only", "abcd", 4, 2, 2, VK_BACK, 0, "ad", 2, 2, 0},
        {"delete in the middle", "abcd", 2, 2, 0, VK_DELETE, 0, "acd", 2, 2, 0},
        {"delete removes the selection", "abcd", 1, 1, 3, VK_DELETE, 0, "d", 1, 1, 0},
        {"left", "abcd", 3, 3, 0, VK_LEFT, 0, "abcd", 2, 2, 0},
        {"left at the start drops the selection", "abcd", 1, 1, 2, VK_LEFT, 0, "abcd", 1, 1, 0},
        {"right at the end drops the selection", "abcd", 5, 2, 3, VK_RIGHT, 0, "abcd", 5, 5, 0},
        {"up acts as left", "abcd", 3, 3, 0, VK_UP, 0, "abcd", 2, 2, 0},
        {"down acts as right", "abcd", 3, 3, 0, VK_DOWN, 0, "abcd", 4, 4, 0},
        {"home", "abcd", 3, 3, 0, VK_HOME, 0, "abcd", 1, 1, 0},
        {"ctrl+home", "abcd", 3, 3, 0, VK_HOME, kShiftCtrl, "abcd", 1, 1, 0},
        {"end", "abcd", 2, 2, 0, VK_END, 0, "abcd", 5, 5, 0},
        {"escape drops the selection", "abcd", 3, 2, 2, VK_ESCAPE, 0, "abcd", 3, 3, 0},
        {"ctrl+right stops before the space", "ab cd", 1, 1, 0, VK_RIGHT, kShiftCtrl, "ab cd", 3, 3, 0},
        {"ctrl+right from the space goes to the end", "ab cd", 3, 3, 0, VK_RIGHT, kShiftCtrl, "ab cd", 6, 6,
         0},
        {"ctrl+left stops before the space", "ab cd", 6, 6, 0, VK_LEFT, kShiftCtrl, "ab cd", 3, 3, 0},
        {"ctrl+left from the space goes to the start", "ab cd", 3, 3, 0, VK_LEFT, kShiftCtrl, "ab cd", 1, 1,
         0},
        {"shift+right selects one", "abcd", 2, 2, 0, VK_RIGHT, kShiftShift, "abcd", 3, 2, 1},
        {"shift+end selects to the end", "abcd", 2, 2, 0, VK_END, kShiftShift, "abcd", 5, 2, 3},
        {"shift+home selects to the start", "abcd", 3, 3, 0, VK_HOME, kShiftShift, "abcd", 1, 1, 2},
        // SelStart's unchecked setter put the start away from the caret: the caret's place anchors.
        {"shift+end from a start set elsewhere", "abcd", 2, 5, 0, VK_END, kShiftShift, "abcd", 5, 2, 3},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(edit, c.text, c.caret);
        edit->SetSelStart(c.selStart);
        edit->SetSelLength(c.selLength);
        Press(c.key, c.shift);
        EXPECT_EQ(edit->Text(), c.expectText);
        EXPECT_EQ(edit->CursorPos(), c.expectCaret);
        EXPECT_EQ(edit->SelStart(), c.expectSelStart);
        EXPECT_EQ(edit->SelLength(), c.expectSelLength);
    }
}

TEST_F(EditTest, BackspaceWithNothingBeforeTheCaretDoesNothingAtAll) {
    Prepare(edit, "abc", 1);
    Press(VK_BACK);
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(edit->drawTexts, 0);
    EXPECT_TRUE(edit->UndoStack().Empty());

    // A start of 0 can only come from the unchecked setter; it must not reach the text either.
    Prepare(edit, "abc", 3);
    edit->SetSelStart(0);
    Press(VK_BACK);
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(changes, 0);
}

TEST_F(EditTest, DeleteAtTheEndStillCountsAsAChange) {
    Prepare(edit, "ab", 3);
    EXPECT_FALSE(edit->Modified());
    Press(VK_DELETE);
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->UndoStack().Count(), 1u);
    EXPECT_EQ(changes, 1);
}

TEST_F(EditTest, OverwriteModeIsSharedByAllEdits) {
    Prepare(edit, "abc", 2);
    Press(VK_INSERT);
    EXPECT_FALSE(LcApplication().InEditMode(emInsert));
    Char('x');
    EXPECT_EQ(edit->Text(), "axc");
    edit->SetCursorPos(4);
    Char('y');
    EXPECT_EQ(edit->Text(), "axcy"); // at the end it appends

    CountingEdit* other = AddEdit(100, 10);
    other->SetFocus();
    other->SetText("123");
    other->SetCursorPos(1);
    Char('z');
    EXPECT_EQ(other->Text(), "z23");
    Press(VK_INSERT);
    Char('w');
    EXPECT_EQ(other->Text(), "zw23");
}

TEST_F(EditTest, MaxLengthRefusalsStillNotifyAndRemoveTheSelection) {
    Prepare(edit, "abc", 4);
    edit->MaxLength = 3;
    Char('x');
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit->CursorPos(), 4);

    platform.clipboard_ = "xyz";
    edit->SetSelStart(2);
    edit->SetSelLength(1);
    Press('V', kShiftCtrl);
    EXPECT_EQ(edit->Text(), "ac"); // dropped whole, never cut to fit
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->CursorPos(), 2);
}

TEST_F(EditTest, SetTextAndItsNotifications) {
    Prepare(edit, "abc", 3);
    edit->SetText("abc");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(edit->CursorPos(), 3);

    edit->SetText("hello");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit->CursorPos(), 1);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_FALSE(edit->Modified());
    EXPECT_TRUE(edit->UndoStack().Empty());

    edit->MaxLength = 3;
    edit->SetText("abcdef");
    EXPECT_EQ(edit->Text(), "abc");
    edit->SetText("abcdef"); // the stored text differs from the argument, so it is a change again
    EXPECT_EQ(changes, 3);
}

TEST_F(EditTest, OnChangeSeesTheCaretBeforeItMoves) {
    Prepare(edit, "", 1);
    Char('a');
    platform.clipboard_ = "xyz";
    Press('V', kShiftCtrl);
    EXPECT_EQ(caretSeenByOnChange, (std::vector<int>{1, 2}));
    EXPECT_EQ(edit->CursorPos(), 5);
}

TEST_F(EditTest, ControlLettersAreConsumed) {
    Prepare(edit, "abcd", 2);
    platform.SetKeyDown(VK_CONTROL, true);
    EXPECT_EQ(edit->Perform(WM_KEYDOWN, 'A', 0), 1); // the key came back as 0
    EXPECT_EQ(edit->SelLength(), 4);
    EXPECT_EQ(edit->CursorPos(), 5);
    EXPECT_EQ(edit->Perform(WM_KEYDOWN, 'C', 0), 1);
    EXPECT_EQ(platform.clipboard_, "abcd");
    edit->SetSelStart(1);
    edit->SetSelLength(2);
    EXPECT_EQ(edit->Perform(WM_KEYDOWN, 'X', 0), 1);
    EXPECT_EQ(edit->Text(), "cd");
    EXPECT_EQ(platform.clipboard_, "ab");
    EXPECT_EQ(edit->Perform(WM_KEYDOWN, 'V', 0), 1);
    EXPECT_EQ(edit->Text(), "abcd");
    EXPECT_EQ(edit->Perform(WM_KEYDOWN, 'B', 0), 0); // other letters are left to others
    platform.SetKeyDown(VK_CONTROL, false);

    // Their character messages are control codes and insert nothing.
    for (char c : {'\x01', '\x03', '\x16', '\x18'}) Char(c);
    EXPECT_EQ(edit->Text(), "abcd");
}

TEST_F(EditTest, InsertAndDeleteKeysReachTheClipboard) {
    Prepare(edit, "abcd", 2);
    edit->SetSelLength(2); // "bc"
    Press(VK_INSERT, kShiftCtrl);
    EXPECT_EQ(platform.clipboard_, "bc");
    Press(VK_DELETE, kShiftShift);
    EXPECT_EQ(edit->Text(), "ad");
    Press(VK_INSERT, kShiftShift);
    EXPECT_EQ(edit->Text(), "abcd");
    Press(VK_INSERT, kShiftAlt); // Alt+Insert leaves the mode alone
    EXPECT_TRUE(LcApplication().InEditMode(emInsert));
}

TEST_F(EditTest, EnterMovesOnOnlyWhenAsked) {
    CountingEdit* other = AddEdit(100, 10);
    Prepare(edit, "abc", 2);
    Press(VK_RETURN);
    EXPECT_EQ(form->ActiveControl(), edit);
    edit->TabOnEnter = true;
    Press(VK_RETURN, kShiftCtrl);
    EXPECT_EQ(form->ActiveControl(), edit);
    Press(VK_RETURN);
    EXPECT_EQ(form->ActiveControl(), other);
}

TEST_F(EditTest, ShiftSelectionSequences) {
    Prepare(edit, "abcdef", 3);
    Press(VK_RIGHT, kShiftShift);
    EXPECT_EQ(edit->SelLength(), 1);
    Press(VK_LEFT, kShiftShift);
    EXPECT_EQ(edit->SelLength(), 0);

    Prepare(edit, "abcdef", 3);
    Press(VK_END, kShiftShift);
    Press(VK_HOME, kShiftShift);
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 2);
    EXPECT_EQ(edit->CursorPos(), 1);
}

namespace {

struct CaretRuleCase {
    const char* name;
    int selStart, selLength, prev, target;
    int expectStart, expectLength;
};

} // namespace

TEST_F(EditTest, SelectionFollowsTheCaretWithShift) {
    const CaretRuleCase cases[] = {
        {"empty, moving right", 3, 0, 3, 5, 3, 2},
        {"empty, moving left", 3, 0, 3, 1, 1, 2},
        {"inside, caret was at the start", 2, 4, 2, 4, 4, 2},
        {"inside, caret was at the end", 2, 4, 6, 4, 2, 2},
        {"past the end, caret was at the end", 2, 2, 4, 6, 2, 4},
        {"past the end, caret jumped from the start", 2, 2, 2, 6, 4, 2},
        {"before the start, caret was at the start", 3, 2, 3, 1, 1, 4},
        {"before the start, caret was at the end", 3, 2, 5, 1, 1, 2},
    };
    for (const CaretRuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(edit, "abcdefgh", c.prev);
        edit->SetSelStart(c.selStart);
        edit->SetSelLength(c.selLength);
        LcApplication().IncludeEditMode(emShift);
        edit->SetCursorPos(c.target);
        EXPECT_EQ(edit->SelStart(), c.expectStart);
        EXPECT_EQ(edit->SelLength(), c.expectLength);
        LcApplication().ExcludeEditMode(emShift);
    }
}

TEST_F(EditTest, UndoAndRedoRoundTrips) {
    EXPECT_TRUE(edit->CanUndo); // a new edit says it can undo, and undoing changes nothing
    edit->Undo();
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(changes, 0);

    Prepare(edit, "", 1);
    Type("ab");
    edit->Undo();
    EXPECT_EQ(edit->Text(), "a");
    EXPECT_TRUE(edit->CanRedo);
    edit->Redo();
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_FALSE(edit->CanRedo);

    // A removed selection comes back selected.
    edit->SetSelStart(1);
    edit->SetSelLength(2);
    Press(VK_DELETE);
    EXPECT_EQ(edit->Text(), "");
    edit->Undo();
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 2);

    // A new change after an undo forgets what could be redone.
    edit->Undo();
    EXPECT_EQ(edit->Text(), "a");
    Char('z');
    EXPECT_FALSE(edit->CanRedo);
    EXPECT_TRUE(edit->RedoStack().Empty());

    // Emptying the undo buffer by request keeps what can be redone.
    edit->Undo();
    EXPECT_EQ(edit->Text(), "a");
    edit->Perform(EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(edit->CanUndo);
    EXPECT_TRUE(edit->UndoStack().Empty());
    EXPECT_TRUE(edit->CanRedo);
    edit->Redo();
    EXPECT_EQ(edit->Text(), "az");
}

TEST_F(EditTest, UndoRestoresTheChangeAsItTookEffect) {
    // An overwritten character comes back.
    Prepare(edit, "abc", 2);
    Press(VK_INSERT);
    Char('x');
    EXPECT_EQ(edit->Text(), "axc");
    edit->Undo();
    EXPECT_EQ(edit->Text(), "abc");
    edit->Redo();
    EXPECT_EQ(edit->Text(), "axc");
    edit->Undo();
    // Undo itself never overwrites, even in overwrite mode.
    EXPECT_EQ(edit->Text(), "abc");
    Press(VK_INSERT);

    // An insertion the length limit refused is undone without removing anything.
    Prepare(edit, "abc", 4);
    edit->MaxLength = 3;
    Char('x');
    edit->Undo();
    EXPECT_EQ(edit->Text(), "abc");
    // ... and one that replaced a selection puts the selection back.
    edit->SetSelStart(1);
    edit->SetSelLength(1);
    Type("xy"); // "x" replaces "a", "y" is refused
    EXPECT_EQ(edit->Text(), "xbc");
    edit->Undo();
    edit->Undo();
    EXPECT_EQ(edit->Text(), "abc");
}

TEST_F(EditTest, ReadOnlyRefusesEditsButCutStillCopies) {
    Prepare(edit, "abcd", 3);
    edit->SetReadOnly(true);
    Char('x');
    Press(VK_BACK);
    Press(VK_DELETE);
    platform.clipboard_ = "pasted";
    Press('V', kShiftCtrl);
    EXPECT_EQ(edit->Text(), "abcd");
    EXPECT_EQ(changes, 0);

    edit->SetSelStart(1);
    edit->SetSelLength(2);
    Press('X', kShiftCtrl);
    EXPECT_EQ(edit->Text(), "abcd");
    EXPECT_EQ(platform.clipboard_, "ab");

    // An undo is refused too, and keeps its record for later.
    edit->SetReadOnly(false);
    Char('z');
    edit->SetReadOnly(true);
    edit->Undo();
    EXPECT_EQ(edit->Text(), "zcd");
    EXPECT_EQ(edit->UndoStack().Count(), 1u);
    edit->SetReadOnly(false);
    edit->Undo();
    EXPECT_EQ(edit->Text(), "abcd");
}

TEST_F(EditTest, PasswordEditsHideTheTextAndRefuseTheClipboard) {
    Prepare(edit, "secret", 7);
    edit->SetPasswordChar('*');
    EXPECT_EQ(edit->DisplayText(), "******");
    platform.clipboard_ = "before";
    edit->SelectAll();
    Press('C', kShiftCtrl);
    Press('X', kShiftCtrl);
    EXPECT_EQ(platform.clipboard_, "before");
    EXPECT_EQ(edit->Text(), "secret");
    Press('V', kShiftCtrl);
    EXPECT_EQ(edit->Text(), "secret");
}

TEST_F(EditTest, OddClipboardContentsPasteSafely) {
    struct Case {
        const char* name;
        std::optional<std::string> clipboard;
        std::string expect;
    };
    const Case cases[] = {
        {"no text", std::nullopt, "ad"},
        {"empty text", std::string(), "ad"},
        {"embedded NUL", std::string("xy\0z", 4), "axyd"},
        {"line breaks", std::string("one\r\ntwo"), "aoned"},
        {"bare line feed", std::string("\nrest"), "ad"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(edit, "abcd", 2);
        edit->SetSelLength(2);
        platform.clipboard_ = c.clipboard;
        edit->PasteFromClipboard();
        EXPECT_EQ(edit->Text(), c.expect);
    }
}

TEST_F(EditTest, CharCaseAppliesToTypedCharactersOnly) {
    Prepare(edit, "", 1);
    edit->CharCase = ecUpperCase;
    Type("a\xe9z");
    EXPECT_EQ(edit->Text(), "A\xc9Z");
    edit->CharCase = ecLowerCase;
    Type("Q");
    platform.clipboard_ = "MiX";
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "A\xc9ZqMiX");
}

TEST_F(EditTest, KeyPressHandlerCanReplaceOrCancel) {
    Prepare(edit, "", 1);
    edit->OnKeyPress = [](TObject*, char& k) {
        if (k == 'n') k = 0;
        if (k == 'r') k = 'R';
    };
    Type("anr");
    EXPECT_EQ(edit->Text(), "aR");
    edit->EditingAllowed = false;
    Type("b");
    EXPECT_EQ(edit->Text(), "aR");
}

TEST_F(EditTest, FocusSelectsAllUnlessClickedAndHidesTheSelectionOnExit) {
    CountingEdit* other = AddEdit(100, 10);
    other->AutoSelect = true;
    other->SetText("12345");
    int afterEnter = 0;
    other->OnAfterEnter = [&](TObject*) { ++afterEnter; };
    edit->SetFocus();
    Settle();
    Press(VK_TAB);
    EXPECT_EQ(form->ActiveControl(), other);
    EXPECT_EQ(other->SelStart(), 1);
    EXPECT_EQ(other->SelLength(), 5);
    EXPECT_EQ(other->CursorPos(), 6);
    EXPECT_FALSE(other->SelectionHidden);
    EXPECT_EQ(afterEnter, 1);

    edit->SetFocus();
    EXPECT_TRUE(other->SelectionHidden);
    EXPECT_EQ(other->SelLength(), 5); // hidden, not dropped
    EXPECT_FALSE(other->Caret()->Shown());
    EXPECT_NE(caret::Owner(), other);

    // Entering by a left-button press does not select.
    other->SetSelLength(0);
    other->ControlState |= csLButtonDown;
    other->SetFocus();
    other->ControlState &= ~csLButtonDown;
    EXPECT_EQ(other->SelLength(), 0);
}

TEST_F(EditTest, AfterEnterAndAfterExitArriveOnceTheFocusChangeIsDone) {
    std::vector<std::string> events;
    edit->OnEnter = [&](TObject*) { events.push_back("enter"); };
    edit->OnAfterEnter = [&](TObject*) { events.push_back("after enter"); };
    edit->OnExit = [&](TObject*) { events.push_back("exit"); };
    edit->OnAfterExit = [&](TObject*) { events.push_back("after exit"); };
    CountingEdit* other = AddEdit(100, 10);
    other->SetFocus();
    Settle();
    events.clear();
    edit->SetFocus();
    EXPECT_TRUE(edit->Entered);
    other->SetFocus();
    EXPECT_FALSE(edit->Entered);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit"}));
    Settle();
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit", "after enter", "after exit"}));
}

TEST_F(EditTest, DisabledEditIgnoresCommandKeys) {
    Prepare(edit, "abc", 2);
    edit->SetEnabled(false);
    std::uint16_t key = VK_DELETE;
    edit->GetCommandKey(key, 0);
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(edit->Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(EditTest, TypedTextIsDrawnWithTheSelectionHighlighted) {
    auto highlighted = [this] {
        int n = 0;
        for (int y = 0; y < edit->Height(); ++y)
            for (int x = 0; x < edit->Width(); ++x) n += PixelOf(edit, x, y) == ColorToPixel(clHighlight);
        return n;
    };
    Prepare(edit, "", 1);
    Type("WWWW");
    Settle();
    EXPECT_EQ(highlighted(), 0);
    edit->SelectAll();
    Settle();
    EXPECT_GT(highlighted(), 0);
    // The band starts at the text rectangle: 2-pixel border, then 1 pixel of inset.
    EXPECT_NE(PixelOf(edit, 2, 10), ColorToPixel(clHighlight));
    edit->SetFocus();
    form->FocusControl(nullptr);
    Settle();
    EXPECT_EQ(highlighted(), 0); // hidden while the edit has no focus
}

TEST_F(EditTest, UncheckedSelectionValuesNeverReachOutsideTheText) {
    struct Case {
        const char* name;
        int selStart, selLength;
        std::string selText, afterTyping;
    };
    const Case cases[] = {
        {"far past the end", 1000, 5, "", "abcdx"},  {"huge length", 2, INT32_MAX, "bcd", "ax"},
        {"before the start", -5, 7, "a", "xbcd"},    {"negative length", 3, -4, "", "abxcd"},
        {"lowest start", INT32_MIN, 0, "", "xabcd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(edit, "abcd", 3);
        edit->SetSelStart(c.selStart);
        edit->SetSelLength(c.selLength);
        EXPECT_EQ(edit->GetSelText(), c.selText);
        Settle(); // the selection is drawn as it stands
        edit->SetSelText("x");
        EXPECT_EQ(edit->Text(), c.afterTyping);
        edit->Undo();
        EXPECT_EQ(edit->Text(), "abcd");
    }
    edit->MaxLength = -1; // no limit rather than no text
    edit->SetText("longer text");
    Char('!');
    EXPECT_EQ(edit->Text(), "!longer text");
}
