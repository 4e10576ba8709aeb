// The edit's drawing: rectangles, caret place and blinking, scrolling in jumps, the selection box,
// the disabled look, clipping to the text rectangle, the off-screen image and automatic height.
// The test edit is 65 x 21 at (10, 10) with the classic 2-pixel border: TextRect is (3, 3, 61, 18)
// in control coordinates, and the built-in font draws digits 6 pixels wide and 13 high.
#include "edit_fixture.h"
#include "framework/controls/caret.h"

#include <functional>

namespace {

TEST_F(EditTest, RectanglesNestInsideTheClassicBorder) {
    EXPECT_EQ(edit->InnerRect, (TRect{2, 2, 63, 19}));
    EXPECT_EQ(edit->PaintRect, (TRect{2, 2, 62, 19}));
    EXPECT_EQ(edit->TextRect, (TRect{3, 3, 61, 18}));
    edit->Options = eoNarrowHeight;
    edit->SetupRects();
    EXPECT_EQ(edit->TextRect, (TRect{3, 2, 61, 19}));
}

TEST_F(EditTest, AnEmptyEditPutsTheCaretAtItsAlignment) {
    const struct {
        TAlignment alignment;
        int x;
    } cases[] = {{taLeftJustify, 3}, {taRightJustify, 61}, {taCenter, 32}};
    for (const auto& c : cases) {
        edit->SetAlignment(c.alignment);
        edit->SetFocus();
        Settle();
        EXPECT_EQ(caret::Owner(), edit);
        EXPECT_EQ(caret::Position(), (TPoint{c.x, 3})) << c.alignment;
        EXPECT_EQ(caret::Size(), (TSize{1, 13}));
    }
}

TEST_F(EditTest, TypingPastTheRightEdgeAndBackScrollsInWholeJumps) {
    Prepare(edit, "", 1);
    Type("123456789");
    EXPECT_EQ(edit->ScrollOffset, 0);
    // Ten digits overshoot by 1: the jump is 1 + TextRect.Left 3 + 2.
    Type("0");
    EXPECT_EQ(edit->ScrollOffset, 6);
    Type("12");
    EXPECT_EQ(edit->ScrollOffset, 18);
    EXPECT_EQ(caret::Position().X, 3 + 72 - 18);
    // Back to the left: each jump is |x| + TextRect.Left + 2, never below 0.
    const struct {
        int lefts;
        int scroll;
    } back[] = {{8, 18}, {1, 11}, {1, 11}, {1, 3}, {1, 0}};
    for (const auto& step : back) {
        for (int i = 0; i < step.lefts; ++i) Press(VK_LEFT);
        EXPECT_EQ(edit->ScrollOffset, step.scroll) << "caret at " << edit->CursorPos();
    }
}

TEST_F(EditTest, TheCaretBlinksOnTheVirtualClockOnlyInTheFocusedActiveWindow) {
    Prepare(edit, "88", 3);
    const int x = edit->Left() + 15;
    const int y = edit->Top() + 8;
    ASSERT_EQ(caret::Position(), (TPoint{15, 3}));
    EXPECT_EQ(caret::BlinkTime(), 530u);
    // The blink period starts when the caret was last shown or moved, here at Prepare.
    AdvanceAndProcess(1);
    const std::uint32_t under = 0xFFFFFF;
    const struct {
        std::uint64_t advance;
        bool drawn;
    } timeline[] = {{528, true}, {1, false}, {529, false}, {1, true}};
    EXPECT_TRUE(caret::Drawn());
    EXPECT_EQ(Pixel(x, y), under ^ 0xFFFFFFu);
    for (const auto& step : timeline) {
        AdvanceAndProcess(step.advance);
        EXPECT_EQ(caret::Drawn(), step.drawn) << "after " << step.advance;
        EXPECT_EQ(Pixel(x, y), step.drawn ? 0u : under);
    }
    // An inactive window shows no caret; a repaint does not bring it back.
    PlatformEvent off;
    off.kind = PlatformEvent::Kind::Deactivated;
    off.window = form->PlatformWindow();
    platform.PostEvent(off);
    Settle();
    form->Invalidate();
    AdvanceAndProcess(600);
    EXPECT_FALSE(caret::Drawn());
    EXPECT_EQ(Pixel(x, y), under);
}

TEST_F(EditTest, LeftAloneTheCaretStopsBlinkingShownUntilTheNextKeyPressOrWheel) {
    Prepare(edit, "88", 3);
    const int x = edit->Left() + 15, y = edit->Top() + 8;
    const std::size_t timersWhileBlinking = platform.ArmedTimers();
    const auto run = [&](std::uint64_t ms) { // in small steps, so every blink happens
        for (std::uint64_t t = 0; t < ms; t += 10) AdvanceAndProcess(10);
    };
    const std::uint64_t stopsWithin = caret::kBlinkTimeoutMs + 2 * caret::BlinkTime();
    // A key half-way restarts the timeout: blinking goes on until 5 s after it, then stops at the
    // next shown phase, and its timer rests.
    run(3000);
    Press(VK_SHIFT);
    run(caret::kBlinkTimeoutMs - 10);
    EXPECT_TRUE(caret::Blinking());
    run(2 * caret::BlinkTime());
    EXPECT_FALSE(caret::Blinking());
    EXPECT_EQ(platform.ArmedTimers(), timersWhileBlinking - 1);
    AdvanceAndProcess(10000);
    EXPECT_TRUE(caret::Drawn());
    EXPECT_EQ(Pixel(x, y), 0u);
    // Input of each kind starts it again, shown first.
    for (const auto& input : std::initializer_list<std::function<void()>>{
             [&] { Press(VK_SHIFT); }, [&] { Char('5'); }, [&] { Wheel(120, x, y); },
             [&] {
                 MouseDown(x, y);
                 MouseUp(x, y);
             }}) {
        run(stopsWithin);
        ASSERT_FALSE(caret::Blinking());
        input();
        EXPECT_TRUE(caret::Blinking());
        EXPECT_TRUE(caret::Drawn());
        run(caret::BlinkTime() + 10);
        EXPECT_FALSE(caret::Drawn());
    }
}

TEST_F(EditTest, TheCaretLeavesWithTheFocusAndALaterDrawingDoesNotBringItBack) {
    CountingEdit* other = AddEdit(100, 10);
    other->Caret()->BlinkRate = 300;
    Prepare(edit, "12", 3);
    EXPECT_TRUE(edit->Caret()->Shown());
    other->SetFocus();
    Settle();
    EXPECT_FALSE(edit->Caret()->Shown());
    EXPECT_EQ(caret::Owner(), other);
    // The blink time follows the focused edit; no desktop setting is involved.
    EXPECT_EQ(caret::BlinkTime(), 300u);
    edit->DrawText(-1);
    edit->SetText("123");
    EXPECT_EQ(caret::Owner(), other);
    EXPECT_EQ(edit->BackBitmap(), nullptr);
}

TEST_F(EditTest, TheOffScreenImageLivesOnlyWhileFocused) {
    CountingEdit* other = AddEdit(100, 10);
    EXPECT_EQ(other->BackBitmap(), nullptr);
    edit->SetFocus();
    ASSERT_NE(edit->BackBitmap(), nullptr);
    EXPECT_EQ(edit->BackBitmap()->Width(), 65);
    EXPECT_EQ(edit->BackBitmap()->Height(), 21);
    edit->SetWidth(80);
    EXPECT_EQ(edit->BackBitmap()->Width(), 80);
    form->FocusControl(nullptr);
    EXPECT_EQ(edit->BackBitmap(), nullptr);
}

TEST_F(EditTest, TheSelectionBoxStopsAtTheTextRectangle) {
    // Selected back to the start: the scroll returns to 0 and the box reaches past the edge.
    Prepare(edit, "8888888888888888", 17);
    Press(VK_HOME, kShiftShift);
    ASSERT_EQ(edit->SelLength(), 16);
    ASSERT_EQ(edit->ScrollOffset, 0);
    // Row 15 lies under the digits: only the box colours it.
    EXPECT_TRUE(EditShows(edit, 60, 15, clHighlight));
    EXPECT_TRUE(EditShows(edit, 61, 15, clWindow));
    EXPECT_TRUE(EditShows(edit, 60, 17, clWindow)); // the box ends at the row height
}

TEST_F(EditTest, TextNeverDrawsOutsideTheTextRectangle) {
    // Set, not typed: the text is wider than the edit while the scroll stays 0.
    edit->SetText("8888888888888888");
    Settle();
    ASSERT_EQ(edit->ScrollOffset, 0);
    for (int y = 3; y < 18; ++y) {
        EXPECT_TRUE(EditShows(edit, 61, y, clWindow)) << y;
        EXPECT_TRUE(EditShows(edit, 62, y, clWindow)) << y;
    }
}

TEST_F(EditTest, DisabledTextIsGreyAndSoIsItsSelection) {
    edit->HideSelection = false;
    // Unselected: grey text on the window colour; selected: grey text on the highlight.
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "unselected");
        edit->SetEnabled(true);
        Prepare(edit, "8", 2);
        if (selected) edit->SelectAll();
        edit->SetEnabled(false);
        Settle();
        const TColor background = selected ? clHighlight : clWindow;
        // Inside the box (one digit: x 3..8, rows 3..15) every pixel is the background or grey text.
        int grey = 0;
        int other = 0;
        for (int y = 3; y < 16; ++y)
            for (int x = 3; x < 9; ++x) {
                const std::uint32_t p = PixelOf(edit, x, y);
                if (p == ColorToPixel(clGrayText))
                    ++grey;
                else if (p != ColorToPixel(background))
                    ++other;
            }
        EXPECT_GT(grey, 0);
        EXPECT_EQ(other, 0);
    }
}

TEST_F(EditTest, ALostFocusHidesTheSelectionButKeepsIt) {
    Prepare(edit, "88", 3);
    edit->SelectAll();
    Settle();
    EXPECT_TRUE(EditShows(edit, 4, 15, clHighlight));
    form->FocusControl(nullptr);
    Settle();
    EXPECT_TRUE(edit->SelectionHidden);
    EXPECT_EQ(edit->SelLength(), 2);
    EXPECT_TRUE(EditShows(edit, 4, 15, clWindow));
}

TEST_F(EditTest, TheHitTestTakesTheRightHalfOfThePrecedingCharacter) {
    edit->SetText("88");
    // Character 1 spans x 3..8, its middle is 6: a click there stands before it.
    const struct {
        int x;
        int position;
    } cases[] = {{-20, 1}, {3, 1}, {6, 1}, {7, 2}, {12, 2}, {13, 3}, {500, 3}};
    for (const auto& c : cases) EXPECT_EQ(edit->CalcMousePos({c.x, 5}), c.position) << c.x;
    edit->SetAlignment(taRightJustify); // the text now starts at 61 - 12 = 49
    EXPECT_EQ(edit->CalcMousePos({52, 5}), 1);
    EXPECT_EQ(edit->CalcMousePos({53, 5}), 2);
}

TEST_F(EditTest, TextEffectsDrawTheLightCopyOffsetByItsDepth) {
    edit->Font3D()->SetLightColor(clRed);
    edit->Font3D()->SetStyle(tdSunken);
    edit->SetText("8");
    Settle();
    // The light copy lies one pixel right and down of the text: its right-most column is red.
    int lastInk = -1;
    int lastRed = -1;
    for (int x = 3; x < 20; ++x)
        for (int y = 3; y < 18; ++y) {
            if (EditShows(edit, x, y, clWindowText)) lastInk = std::max(lastInk, x);
            if (EditShows(edit, x, y, clRed)) lastRed = std::max(lastRed, x);
        }
    ASSERT_GT(lastInk, 0);
    EXPECT_EQ(lastRed, lastInk + 1);
    EXPECT_EQ(edit->Font3D()->DepthB(), 1);
}

TEST_F(EditTest, AutomaticHeightFollowsTheFont) {
    edit->SetHeight(40);
    edit->SetAutoSize(true);
    EXPECT_EQ(edit->Height(), 13 * 5 / 4 + 5);
    edit->Font()->SetHeight(-22);
    EXPECT_EQ(edit->Height(), 26 * 5 / 4 + 5);
}

TEST_F(EditTest, ReplacingTheWholeTextEmptiesTheUndoHistory) {
    Prepare(edit, "200", 4);
    Type("5");
    ASSERT_FALSE(edit->UndoStack().Empty());
    edit->SetText("20");
    EXPECT_TRUE(edit->UndoStack().Empty());
    edit->Undo();
    EXPECT_EQ(edit->Text(), "20");
}

} // namespace
