// The XP control base: draw state driven by pointer, buttons and focus; repaint requests; the update
// lock; accelerators; the dialog result; the style manager.
#include "xp_fixture.h"

namespace {

class XPCoreTest : public XPTest {
protected:
    void SetUp() override {
        XPTest::SetUp();
        first = AddButton("&Exit", 10, 10);
        second = AddButton("Other", 10, 50);
        form->Show();
        Settle();
    }
    TLvXPButton* first = nullptr;
    TLvXPButton* second = nullptr;
};

TEST_F(XPCoreTest, InitialStateAndStyle) {
    EXPECT_EQ(first->DrawState & ~dsFocused, dsDefault);
    EXPECT_EQ(first->RedrawTriggers, 0x037D);
    EXPECT_TRUE(first->ControlStyle & csOpaque);
    EXPECT_TRUE(first->DoubleBuffered);
    EXPECT_FALSE(first->ControlStyle & csDoubleClicks);
    EXPECT_EQ(first->Color(), clSilver); // takes its parent's colour
}

TEST_F(XPCoreTest, FirstActivationFocusesTheFirstTabStopAndTabCycles) {
    EXPECT_EQ(form->ActiveControl(), first);
    EXPECT_TRUE(first->DrawState & dsFocused);
    Key(VK_TAB, true);
    EXPECT_EQ(form->ActiveControl(), second);
    EXPECT_FALSE(first->DrawState & dsFocused);
    EXPECT_TRUE(second->DrawState & dsFocused);
    EXPECT_TRUE(second->SiblingActive);
    Key(VK_TAB, true);
    EXPECT_EQ(form->ActiveControl(), first);
    Key(VK_TAB, true, kShiftShift);
    EXPECT_EQ(form->ActiveControl(), second);
}

TEST_F(XPCoreTest, PointerEnterAndLeaveHighlight) {
    int entered = 0, left = 0;
    first->OnMouseEnter = [&](TObject*) { ++entered; };
    first->OnMouseLeave = [&](TObject*) { ++left; };
    MouseMove(20, 15);
    EXPECT_TRUE(first->DrawState & dsHighlight);
    EXPECT_EQ(entered, 1);
    MouseMove(200, 150);
    EXPECT_FALSE(first->DrawState & dsHighlight);
    EXPECT_EQ(left, 1);
}

TEST_F(XPCoreTest, PressMoveOffAndReleaseOverAnotherXPControl) {
    int secondEntered = 0;
    second->OnMouseEnter = [&](TObject*) { ++secondEntered; };
    second->SetFocus();
    MouseMove(20, 15);
    MouseDown(20, 15);
    EXPECT_EQ(form->ActiveControl(), first); // a press takes the focus
    EXPECT_TRUE(first->DrawState & dsClicked);
    // While the capture is held, only the pressed control hears enter and leave.
    MouseMove(20, 55);
    EXPECT_FALSE(first->DrawState & dsHighlight);
    EXPECT_FALSE(second->DrawState & dsHighlight);
    MouseUp(20, 55);
    EXPECT_FALSE(first->DrawState & dsClicked);
    EXPECT_TRUE(second->DrawState & dsHighlight);
    EXPECT_EQ(secondEntered, 1);
    EXPECT_EQ(clicks, 0); // released outside the pressed control
}

TEST_F(XPCoreTest, ReleaseInsideClicksOnceBeforeTheReleaseEvent) {
    std::vector<std::string> order;
    first->OnClick = [&](TObject*) { order.push_back("click"); };
    first->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { order.push_back("up"); };
    MouseMove(20, 15);
    MouseDown(20, 15);
    MouseUp(20, 15);
    EXPECT_EQ(order, (std::vector<std::string>{"click", "up"}));
}

TEST_F(XPCoreTest, RightReleaseDuringALeftPressEndsThePressedLook) {
    MouseMove(20, 15);
    MouseDown(20, 15);
    ASSERT_TRUE(first->DrawState & dsClicked);
    MouseUp(20, 15, PointerButton::Right);
    EXPECT_FALSE(first->DrawState & dsClicked);
}

TEST_F(XPCoreTest, FocusLeavingWhilePressedDropsFocusedAndClicked) {
    MouseMove(20, 15);
    MouseDown(20, 15);
    ASSERT_TRUE(first->DrawState & dsClicked);
    second->SetFocus();
    EXPECT_FALSE(first->DrawState & dsClicked);
    EXPECT_FALSE(first->DrawState & dsFocused);
}

TEST_F(XPCoreTest, UpdateLockGivesOneRepaintRequestAtTheEnd) {
    auto* counting = new CountingButton(form);
    counting->SetParent(form);
    counting->SetBounds(120, 10, 85, 21);
    Settle();
    counting->repaints = 0;
    counting->BeginUpdate();
    counting->BeginUpdate();
    counting->SetCaption("A");
    counting->SetEnabled(false);
    counting->SetEnabled(true);
    counting->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(counting->repaints, 0);
    counting->EndUpdate(); // two begins, one end
    EXPECT_EQ(counting->repaints, 1);
    EXPECT_TRUE(counting->DrawState & dsHighlight); // the state still changed while locked
}

TEST_F(XPCoreTest, TriggersChooseWhichNotificationsRepaint) {
    auto* counting = new CountingButton(form);
    counting->SetParent(form);
    counting->SetBounds(120, 10, 85, 21);
    Settle();
    counting->repaints = 0;
    counting->Perform(WM_MOUSEMOVE, 0, MakeMousePos(1, 1));
    EXPECT_EQ(counting->repaints, 0); // mouse moves do not repaint by default
    counting->RedrawTriggers |= csRedrawMouseMove;
    counting->Perform(WM_MOUSEMOVE, 0, MakeMousePos(1, 1));
    EXPECT_EQ(counting->repaints, 1);
}

TEST_F(XPCoreTest, AcceleratorNeedsAltUnlessFocused) {
    second->SetFocus();
    Char('e');
    EXPECT_EQ(clicks, 0);
    Char('e', kShiftAlt);
    EXPECT_EQ(clicks, 1);
    first->SetFocus();
    Char('E');
    EXPECT_EQ(clicks, 2);
    Char('x');
    EXPECT_EQ(clicks, 2);
}

TEST(CaptionAccelerator, LastSingleAmpersandCountsAndDoubleIsLiteral) {
    EXPECT_EQ(CaptionAccelerator("&Exit"), 'E');
    EXPECT_EQ(CaptionAccelerator("Save && &Quit"), 'Q');
    EXPECT_EQ(CaptionAccelerator("A&b&c"), 'c');
    EXPECT_EQ(CaptionAccelerator("Fish && Chips"), 0);
    EXPECT_EQ(CaptionAccelerator("Trailing&"), 0);
    EXPECT_EQ(CaptionAccelerator(""), 0);
}

TEST_F(XPCoreTest, ClickHandsTheModalResultToTheForm) {
    form->ModalResult = 7;
    first->ModalResult = 0;
    first->Click();
    EXPECT_EQ(form->ModalResult, 0);
    second->ModalResult = mrCancel;
    second->Click();
    EXPECT_EQ(form->ModalResult, mrCancel);
}

TEST_F(XPCoreTest, DisabledControlsStillHearEnterAndLeave) {
    first->SetEnabled(false);
    MouseMove(20, 15);
    EXPECT_TRUE(first->DrawState & dsHighlight);
    MouseDown(20, 15);
    EXPECT_FALSE(first->DrawState & dsClicked);
}

TEST_F(XPCoreTest, StyleManagerListsControlsOnceAndRepaintsThemOnThemeChange) {
    auto* manager = new TLvXPStyleManager(form);
    auto* counting = new CountingButton(form);
    counting->SetParent(form);
    counting->SetBounds(120, 10, 85, 21);
    Settle();
    manager->RegisterControls({counting, counting});
    EXPECT_EQ(manager->RegisteredControls().size(), 1u);
    manager->UnregisterControls({first}); // not listed: nothing happens
    EXPECT_EQ(manager->RegisteredControls().size(), 1u);
    int themeChanges = 0;
    manager->OnThemeChanged = [&](TObject*) { ++themeChanges; };
    counting->repaints = 0;
    manager->SetTheme(OfficeXP);
    EXPECT_EQ(themeChanges, 1);
    EXPECT_EQ(counting->repaints, 1);
    manager->SetTheme(OfficeXP);
    EXPECT_EQ(themeChanges, 1);
    // A listed control that goes first leaves the list (the manager must not repaint it later).
    delete counting;
    EXPECT_TRUE(manager->RegisteredControls().empty());
}

TEST_F(XPCoreTest, ControlsFollowTheirStyleManagerAndForgetItWhenItGoes) {
    auto* a = new TLvXPStyleManager(form);
    auto* b = new TLvXPStyleManager(form);
    first->SetStyleManager(a);
    first->SetStyleManager(b);
    EXPECT_TRUE(a->RegisteredControls().empty());
    ASSERT_EQ(b->RegisteredControls().size(), 1u);
    b->SetTheme(OfficeXP);
    EXPECT_EQ(first->Style()->GetTheme(), OfficeXP);
    EXPECT_EQ(first->Style()->Theme(), WindowsXP);
    first->Style()->SetUseStyleManager(false);
    EXPECT_EQ(first->Style()->GetTheme(), WindowsXP);
    delete b;
    EXPECT_EQ(first->StyleManager(), nullptr);
}

TEST_F(XPCoreTest, AStyleManagerOfAnotherOwnerMayGoFirst) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* manager = new TLvXPStyleManager(owner.get());
    first->SetStyleManager(manager);
    owner.reset(); // frees the manager with it
    EXPECT_EQ(first->StyleManager(), nullptr);
    EXPECT_EQ(first->Style()->GetTheme(), WindowsXP);
    first->Invalidate(); // repaints and later destruction must not touch the freed manager
    Settle();
}

} // namespace
