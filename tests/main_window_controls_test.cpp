// The main window's controls below the view: their stored entries, the handlers that pass the edits'
// values to the view, the focus and tab order, and which menu a right click opens.
#include "main_window_fixture.h"

#include <string>
#include <vector>

namespace {

using MainWindowControlsTest = MainWindowFixture;

TEST_F(MainWindowControlsTest, StoredEntriesInStoredOrder) {
    std::vector<std::string> names;
    for (int i = 0; i < main->ControlCount(); ++i) names.push_back(main->Controls(i)->Name());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Label1", "Label2", "zfm", "powerZ", "crossS", "LvXPButton1"}));

    const TAnchors bottom = AnchorBit(akBottom);
    const struct {
        TControl* control;
        TRect bounds;
        TAnchors anchors;
    } rows[] = {
        {main->Label1, Bounds(0, 252, 63, 13), bottom},
        {main->Label2, Bounds(88, 254, 69, 13), bottom},
        {main->powerZ, Bounds(0, 272, 65, 21), static_cast<TAnchors>(AnchorBit(akLeft) | bottom)},
        {main->crossS, Bounds(88, 271, 73, 21), bottom},
        {main->LvXPButton1, Bounds(164, 264, 85, 21), static_cast<TAnchors>(AnchorBit(akRight) | bottom)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.control->Name());
        EXPECT_EQ(row.control->BoundsRect(), row.bounds);
        EXPECT_EQ(row.control->Anchors(), row.anchors);
    }

    // The labels fit their text in the window's font and paint their own silver background.
    for (TLabel* label : {main->Label1, main->Label2}) {
        SCOPED_TRACE(label->Name());
        EXPECT_TRUE(label->AutoSize());
        EXPECT_TRUE(label->ControlStyle & csOpaque);
        EXPECT_EQ(label->Color(), clSilver);
        EXPECT_TRUE(label->Font()->SameAs(*main->Font()));
        EXPECT_EQ(PixelOf(label, label->Width() - 1, 0), 0xC0C0C0u);
    }
    EXPECT_EQ(main->Label1->Caption(), "Zoom Power:");
    EXPECT_EQ(main->Label2->Caption(), "Crosshair Size:");

    const struct {
        TLcSpinEdit* edit;
        const char* text;
        std::int32_t maxValue;
        int tabOrder;
    } edits[] = {{main->powerZ, "200%", 1000, 1}, {main->crossS, "20 pixels", 100, 2}};
    for (const auto& e : edits) {
        SCOPED_TRACE(e.edit->Name());
        EXPECT_EQ(e.edit->Text(), e.text);
        EXPECT_EQ(e.edit->MinValue(), 0);
        EXPECT_EQ(e.edit->MaxValue(), e.maxValue);
        EXPECT_EQ(e.edit->TabOrder, e.tabOrder);
        EXPECT_TRUE(e.edit->TabStop);
        EXPECT_TRUE(e.edit->AutoSelect);
        EXPECT_NE(e.edit->Color(), clSilver); // the edits keep their window colour
    }
    // Nothing was reported while loading: the view keeps its own start values.
    EXPECT_EQ(main->zfm->ZoomLevel(), 50);
    EXPECT_EQ(main->zfm->CrosshairSize, 20);
}

TEST_F(MainWindowControlsTest, StartsInTheZoomPowerWithEverythingSelectedAndTabsThroughTheControls) {
    TLcSpinEdit* z = main->powerZ;
    EXPECT_EQ(main->ActiveControl(), z);
    EXPECT_EQ(z->SelStart(), 1); // positions are 1-based
    EXPECT_EQ(z->SelLength(), 4);
    // Digits typed at once are refused behind the suffix; Backspace keeps the suffix, and the view
    // ignores the 0 it then reads.
    Type("7");
    EXPECT_EQ(z->Text(), "200%");
    Press(VK_BACK);
    EXPECT_EQ(z->Text(), "%");
    EXPECT_EQ(main->zfm->ZoomLevel(), 50);
    Type("300");
    EXPECT_EQ(z->Text(), "300%");
    EXPECT_EQ(main->zfm->ZoomLevel(), 33);

    std::vector<TWinControl*> visited;
    for (int i = 0; i < 3; ++i) {
        Press(VK_TAB);
        visited.push_back(main->ActiveControl());
    }
    EXPECT_EQ(visited, (std::vector<TWinControl*>{main->crossS, main->LvXPButton1, main->powerZ}));
}

TEST_F(MainWindowControlsTest, ZoomPowerReachesTheViewAsTypedAndClampedOnLeaving) {
    Press(VK_BACK);
    Type("2000");
    EXPECT_EQ(main->zfm->ZoomLevel(), 5); // 10000 div 2000, until the edit commits
    Press(VK_TAB);
    EXPECT_EQ(main->powerZ->Text(), "1000%");
    EXPECT_EQ(main->zfm->ZoomLevel(), 10);
    // The spin button steps the value too; each step reaches the view.
    Press(VK_TAB, kShiftShift);
    Press(VK_DOWN);
    EXPECT_EQ(main->powerZ->Text(), "999%");
    EXPECT_EQ(main->zfm->ZoomLevel(), 10);
}

TEST_F(MainWindowControlsTest, CrosshairSizeIsAPlainStoreShownAtTheNextDrawing) {
    TLvZoom* view = main->zfm;
    const int cx = view->Width() / 2, cy = view->Height() / 2;
    Press(VK_TAB);
    Press(VK_BACK); // the whole text is selected on entry: the digits go
    Type("7");
    EXPECT_EQ(view->CrosshairSize, 7);
    EXPECT_EQ(PixelOf(view, cx - 10, cy), 0x0000FFu); // still the old arms of 10
    platform.SetPointer({510, 410});
    AdvanceAndProcess(100);
    // Lines of 6 pixels: arms of 3 on the left and top, 2 on the right and bottom.
    EXPECT_EQ(PixelOf(view, cx - 3, cy), 0x0000FFu);
    EXPECT_EQ(PixelOf(view, cx + 2, cy), 0x0000FFu);
    EXPECT_NE(PixelOf(view, cx - 4, cy), 0x0000FFu);
    EXPECT_NE(PixelOf(view, cx + 3, cy), 0x0000FFu);
    EXPECT_NE(PixelOf(view, cx, cy - 4), 0x0000FFu);
}

TEST_F(MainWindowControlsTest, RightClickOpensTheEditsOwnMenuOverAnEditAndTheWindowsMenuElsewhere) {
    const auto centre = [](const TControl* c) {
        return TPoint{c->Left() + c->Width() / 2, c->Top() + c->Height() / 2};
    };
    EXPECT_EQ(MenuOpenedBy(centre(main->powerZ)), "edit");
    EXPECT_EQ(MenuOpenedBy(centre(main->crossS)), "edit");
    EXPECT_EQ(MenuOpenedBy(centre(main->Label1)), "window");
    EXPECT_EQ(MenuOpenedBy(centre(main->LvXPButton1)), "window");
    EXPECT_EQ(MenuOpenedBy({240, 258}), "window"); // the bare window
}

TEST_F(MainWindowControlsTest, AMenuOpenedWhileTheLeftButtonIsHeldEndsThePress) {
    // The right click goes to the control holding the left press; the menu it opens takes the mouse.
    TLcSpinEdit* const edit = main->powerZ;
    const TLcSpinButton* const button = edit->SpinButton();
    const TPoint text{edit->Left() + 10, edit->Top() + edit->Height() / 2};
    const TPoint upper{edit->Left() + button->Left() + 1, edit->Top() + button->Top() + 1};
    for (const TPoint press : {text, upper}) {
        SCOPED_TRACE(press.X);
        MouseDown(press.X, press.Y);
        const std::string textBefore = edit->Text();
        EXPECT_NE(MenuOpenedBy(press), "none");
        AdvanceAndProcess(2000);
        EXPECT_EQ(edit->Text(), textBefore); // the button repeats no more
        EXPECT_FALSE(edit->LeftButtonHeld);
        EXPECT_EQ(edit->MouseRepeatTimer(), nullptr);
        EXPECT_EQ(GetCaptureControl(), nullptr);
        MouseUp(press.X, press.Y);
    }
}

} // namespace
