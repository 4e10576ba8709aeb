// The integer mask edit: what may be typed, pasted, deleted and dropped with a suffix behind the
// number, and how the text reads as a number.
#include "framework/stored/stored_text.h"
#include "spinedit/lc_custom_mask_edit.h"
#include "xp_fixture.h"

#include <functional>
#include <limits>

namespace {

class MaskEditTest : public XPTest {
public:
    void SetUp() override {
        XPTest::SetUp();
        LcApplication().Reset();
        edit = new TLcCustomMaskEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 65, 21);
        edit->SetMaskType(meInteger);
        edit->SetSuffix("%");
        edit->OnChange = [this](TObject*) { ++changes; };
        edit->OnKeyPress = [this](TObject*, char&) { ++keyPresses; };
        edit->OnValidationError = [this](TObject*) { ++validationErrors; };
        form->Show();
        Settle();
    }
    void TearDown() override {
        LcApplication().Reset();
        XPTest::TearDown();
    }
    // Focus, text, then the selection [selStart, selStart + selLength) with the caret at `caret`.
    void Prepare(const std::string& text, int caret, int selStart, int selLength) {
        edit->SetFocus();
        edit->SetText(text);
        edit->SetCursorPos(caret);
        edit->SetSelLength(0);
        if (selLength > 0) {
            edit->SetSelStart(selStart);
            edit->SetSelLength(selLength);
        }
        Settle();
        changes = keyPresses = validationErrors = 0;
    }
    void Paste(const std::string& s) {
        platform.SetClipboardText(s);
        Press('V', kShiftCtrl);
    }

    TLcCustomMaskEdit* edit = nullptr;
    int changes = 0;
    int keyPresses = 0;
    int validationErrors = 0;
};

struct MaskCase {
    const char* name;
    int caret, selStart, selLength;
    std::function<void()> action;
    std::string expectText;
    int expectChanges;
};

} // namespace

TEST_F(MaskEditTest, TypingDeletingAndPastingAroundTheSuffix) {
    auto type = [this](char c) { return [this, c] { Char(c); }; };
    auto press = [this](std::uint16_t k, std::uint32_t shift = 0) {
        return [this, k, shift] { Press(k, shift); };
    };
    auto paste = [this](std::string s) { return [this, s] { Paste(s); }; };
    auto request = [this](std::uint32_t msg) { return [this, msg] { edit->Perform(msg, 0, 0); }; };
    const MaskCase cases[] = {
        // Everything selected, caret behind the suffix (as focus by Tab leaves it).
        {"typing behind the suffix does nothing", 5, 1, 4, type('3'), "200%", 0},
        {"backspace keeps the suffix", 5, 1, 4, press(VK_BACK), "%", 1},
        {"delete keeps the suffix", 5, 1, 4, press(VK_DELETE), "%", 1},
        {"paste replaces the number only", 5, 1, 4, paste("35"), "35%", 1},
        {"clear request keeps the suffix", 5, 1, 4, request(WM_CLEAR), "%", 1},
        // A selection from the number into the suffix, caret at its start.
        {"typing over it keeps the suffix", 2, 2, 3, type('7'), "27%", 1},
        {"backspace over digits and suffix", 2, 2, 3, press(VK_BACK), "2%", 1},
        {"delete over digits and suffix", 2, 2, 3, press(VK_DELETE), "2%", 1},
        {"one digit selected", 2, 2, 1, press(VK_DELETE), "20%", 1},
        {"backspace on the middle 0", 2, 2, 1, press(VK_BACK), "20%", 1},
        {"backspace on the middle 0, caret behind it", 3, 2, 1, press(VK_BACK), "20%", 1},
        // No selection.
        {"digit typed inside", 2, 2, 0, type('0'), "2000%", 1},
        {"minus at the front", 1, 1, 0, type('-'), "-200%", 1},
        {"minus elsewhere refused", 2, 2, 0, type('-'), "200%", 0},
        {"letter refused", 2, 2, 0, type('a'), "200%", 0},
        {"backspace behind the digits", 4, 4, 0, press(VK_BACK), "20%", 1},
        {"delete before the suffix removes nothing", 4, 4, 0, press(VK_DELETE), "200%", 1},
        {"backspace behind the suffix removes nothing", 5, 5, 0, press(VK_BACK), "200%", 1},
        {"delete behind the suffix removes nothing", 5, 5, 0, press(VK_DELETE), "200%", 1},
        {"backspace at the start does nothing at all", 1, 1, 0, press(VK_BACK), "200%", 0},
        {"up and down do nothing", 2, 2, 0, press(VK_UP), "200%", 0},
        {"paste behind the digits", 4, 4, 0, paste("12"), "20012%", 1},
        {"paste of a non-number", 4, 4, 0, paste("1a"), "200%", 1},
        {"paste behind the suffix does nothing", 5, 5, 0, paste("12"), "200%", 0},
        {"pasted minus only at the front", 2, 2, 0, paste("-5"), "200%", 1},
        {"pasted negative number at the front", 1, 1, 0, paste("-5"), "-5200%", 1},
        {"clear request on the suffix alone", 4, 4, 1, request(WM_CLEAR), "200%", 0},
        {"cut reaching into the suffix does nothing", 2, 2, 3, press('X', kShiftCtrl), "200%", 0},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare("200%", c.caret, c.selStart, c.selLength);
        c.action();
        EXPECT_EQ(edit->Text(), c.expectText);
        EXPECT_EQ(changes, c.expectChanges);
    }
}

// SelStart's setter stores any place; with nothing selected, text still goes in and out at the
// caret, and never at or behind the suffix. Cutting in overwrite mode with nothing selected takes
// no suffix character either.
TEST_F(MaskEditTest, EditsWithNothingSelectedActAtTheCaretAndSpareTheSuffix) {
    const struct {
        const char* name;
        int caret, selStart;
        bool overwrite;
        std::function<void()> action;
        std::string expect;
    } cases[] = {
        {"typed, SelStart behind the suffix", 1, 5, false, [this] { Char('5'); }, "5200%"},
        {"typed, SelLength negative", 1, 9, false,
         [this] {
             edit->SetSelLength(-20);
             Char('5');
         },
         "5200%"},
        {"typed over, SelStart on the suffix", 2, 4, true, [this] { Char('9'); }, "290%"},
        {"deleted, SelStart on the suffix", 2, 4, false, [this] { Press(VK_DELETE); }, "20%"},
        {"pasted, SelStart behind the suffix", 1, 5, false, [this] { Paste("7"); }, "7200%"},
        {"cut, SelStart in the number", 4, 1, true, [this] { Press('X', kShiftCtrl); }, "200%"},
        {"cut in overwrite mode before the suffix", 4, 4, true, [this] { Press('X', kShiftCtrl); }, "200%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare("200%", c.caret, c.caret, 0);
        edit->SetSelStart(c.selStart);
        LcApplication().SetEditMode(c.overwrite ? 0 : EditModeBit(emInsert));
        c.action();
        EXPECT_EQ(edit->Text(), c.expect);
    }
}

// A paste takes the clipboard's first line up to a NUL, whole or not at all; a line longer than
// the longest 64-bit number is refused without being read to its end.
TEST_F(MaskEditTest, OddAndHugeClipboardTexts) {
    const std::string huge(10'000'000, '7');
    const struct {
        const char* name;
        std::string clipboard;
        std::string expect;
    } cases[] = {
        {"embedded NUL",
         std::string("12\0"
                     "34",
                     5),
         "20012%"},
        {"line break", "12\r\n34", "20012%"},
        {"invalid UTF-8", "\xc3", "200%"},
        {"digit and a stray byte", "1\xff", "200%"},
        {"as long as the longest 64-bit number", "12345678901234567890", "20012345678901234567890%"},
        {"longer than that", "123456789012345678901", "200%"},
        {"10 MB of digits", huge, "200%"},
        {"10 MB after a first short line", "5\n" + huge, "2005%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare("200%", 4, 4, 0);
        Paste(c.clipboard);
        EXPECT_EQ(edit->Text(), c.expect);
        EXPECT_EQ(changes, 1); // a refused paste is still a (removing nothing) change
    }
}

TEST_F(MaskEditTest, RefusedCharactersRaiseOnlyTheKeyPressEventAndNoneBehindTheSuffix) {
    Prepare("200%", 2, 2, 0);
    Char('x');
    EXPECT_EQ(keyPresses, 1);
    EXPECT_EQ(edit->Text(), "200%");
    Prepare("200%", 5, 5, 0);
    Char('5');
    EXPECT_EQ(keyPresses, 0);
}

TEST_F(MaskEditTest, OverwriteModeNeverTypesOverTheSuffix) {
    Prepare("200%", 2, 2, 0);
    LcApplication().SetEditMode(0);
    Char('5');
    EXPECT_EQ(edit->Text(), "250%");
    Char('7');
    Char('9');
    EXPECT_EQ(edit->Text(), "2579%");
}

TEST_F(MaskEditTest, OverwriteModeNeverCutsTheSuffix) {
    // A cut with nothing selected removes what overwriting would; behind the digits that is the suffix.
    for (const std::string& text : {std::string("200%"), std::string("%")}) {
        for (const std::uint32_t shift : {kShiftShift, kShiftCtrl}) {
            const int behindDigits = static_cast<int>(text.size());
            Prepare(text, behindDigits, behindDigits, 0);
            LcApplication().SetEditMode(0);
            Press(shift == kShiftShift ? VK_DELETE : 'X', shift);
            EXPECT_EQ(edit->Text(), text) << shift;
        }
    }
}

TEST_F(MaskEditTest, AMinusOnlyEverStandsAtTheFront) {
    Prepare("-200%", 1, 1, 0);
    Char('-');
    Char('5');
    EXPECT_EQ(edit->Text(), "-200%");
    EXPECT_EQ(edit->AsInteger(), -200);
}

TEST_F(MaskEditTest, ReadingTheNumber) {
    const struct {
        std::string text;
        std::int32_t value;
        int validationErrors;
    } cases[] = {
        {"200%", 200, 0},
        {"%", 0, 0},
        {"-%", 0, 1},
        {"2-500%", 0, 1},
        {"3000000000%", std::numeric_limits<std::int32_t>::max(), 0},
        {"-3000000000%", std::numeric_limits<std::int32_t>::min(), 0},
        {"99999999999999999999%", std::numeric_limits<std::int32_t>::max(), 0},
        {"5", 0, 0}, // the last character is taken for the suffix, whatever it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Prepare(c.text, 1, 1, 0);
        EXPECT_EQ(edit->AsInteger(), c.value);
        EXPECT_EQ(validationErrors, c.validationErrors);
    }
}

TEST_F(MaskEditTest, FocusLossEmptiesALoneMinus) {
    Prepare("-%", 2, 2, 0);
    edit->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(changes, 1);
}

TEST_F(MaskEditTest, SuffixFollowsTheNumber) {
    edit->SetSuffix("");
    edit->SetText("20");
    edit->SetSuffix(" pixels");
    EXPECT_EQ(edit->Text(), "20 pixels");
    edit->SetSuffix("%");
    EXPECT_EQ(edit->Text(), "20%");
}

TEST_F(MaskEditTest, OtherModesSetTheirStartingTextAndRefuseIntegerReads) {
    edit->SetMaskType(meFloatFixed);
    EXPECT_EQ(edit->Text(), "0.0%");
    edit->SetMaskType(meCurrency);
    EXPECT_EQ(edit->Text(), "0.00"); // no suffix in the currency mode
    EXPECT_THROW(edit->AsInteger(), ELcWrongDataType);
    try {
        edit->AsInteger();
    } catch (const ELcWrongDataType& e) {
        EXPECT_STREQ(e.what(), "No integer entered");
    }
    edit->SetMaskType(meWord);
    EXPECT_EQ(edit->AsCardinal(), 0u);
    EXPECT_THROW(edit->AsDate(), ELcWrongDataType);
}

TEST_F(MaskEditTest, DraggedTextStaysInTheNumberPart) {
    const int y = edit->Top() + 10;
    auto x = [this](int p) { return edit->Left() + 6 * p - 3; };
    const struct {
        std::string text;
        int target;
        std::string expect;
    } cases[] = {
        {"200%", 5, "200%"},   // behind the suffix: refused
        {"200%", 4, "020%"},   // the end of the digits: moved
        {"-200%", 4, "-200%"}, // a minus away from the front: refused
    };
    // A move inserts the text where it is dropped, in overwrite mode too.
    for (const TLcEditMode mode : {EditModeBit(emInsert), TLcEditMode{0}})
        for (const auto& c : cases) {
            SCOPED_TRACE(c.text + " to " + std::to_string(c.target) + " mode " + std::to_string(mode));
            Prepare(c.text, 1, 1, 2);
            LcApplication().SetEditMode(mode);
            MouseDown(x(2), y);
            Drag(x(c.target), y);
            MouseUp(x(c.target), y);
            EXPECT_EQ(edit->Text(), c.expect);
        }
}
