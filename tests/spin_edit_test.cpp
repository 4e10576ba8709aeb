// The spin edit as the main window holds it: the zoom power (0..1000 %, 200) and the crosshair size
// (0..100 pixels, 20), read from their stored entries, stepped by keys, wheel and button, and
// committed when the focus leaves.
#include "framework/stored/reader.h"
#include "spin_edit_description.h"
#include "spinedit/lc_spin_edit.h"
#include "xp_fixture.h"

#include <functional>
#include <vector>

namespace {

class SpinEditTest : public XPTest {
public:
    void SetUp() override {
        XPTest::SetUp();
        LcApplication().Reset();
        probe = new TSpinProbeForm(app.get());
        ReadSpinProbe(
            *probe, [this](TObject*) { zoomReadings.push_back(probe->powerZ->Value()); },
            [this](TObject*) { sizeReadings.push_back(probe->crossS->Value()); });
        form = probe;
        zoom = probe->powerZ;
        size = probe->crossS;
        form->Show();
        Settle();
    }
    void TearDown() override {
        LcApplication().Reset();
        XPTest::TearDown();
    }
    // powerZ focused with `text` in it (its committed value untouched), readings forgotten.
    void Prepare(const std::string& text, int caret = 1) {
        zoom->SetFocus();
        zoom->SetText(text);
        zoom->SetCursorPos(caret);
        Settle();
        zoomReadings.clear();
        sizeReadings.clear();
    }
    // A point on the upper or lower half of an edit's button, in form client coordinates.
    TPoint ButtonPoint(TLcSpinEdit* e, bool upper) {
        const TLcSpinButton* b = e->SpinButton();
        const int x = e->Left() + b->Left() + (upper ? 1 : b->Width() - 2);
        const int y = e->Top() + b->Top() + (upper ? 1 : b->Height() - 2);
        return {x, y};
    }

    TSpinProbeForm* probe = nullptr;
    TLcSpinEdit* zoom = nullptr;
    TLcSpinEdit* size = nullptr;
    std::vector<int> zoomReadings;
    std::vector<int> sizeReadings;
};

} // namespace

TEST_F(SpinEditTest, StoredEntriesGiveTheStartState) {
    EXPECT_EQ(zoom->Text(), "200%");
    EXPECT_EQ(size->Text(), "20 pixels");
    EXPECT_TRUE(zoomReadings.empty() && sizeReadings.empty()); // nothing reported while loading
    EXPECT_EQ(zoom->MaxValue(), 1000);
    EXPECT_EQ(size->MaxValue(), 100);
    EXPECT_EQ(zoom->MinValue(), 0);
    EXPECT_EQ(zoom->CommittedValue(), 200);
    EXPECT_EQ(zoom->Caret()->BlinkRate, 530);
    EXPECT_EQ(zoom->Bevel()->Mode(), bmWindows);
    // The window's first activation puts the focus in the zoom power with everything selected.
    EXPECT_TRUE(zoom->Focused());
    EXPECT_EQ(zoom->SelStart(), 1);
    EXPECT_EQ(zoom->SelLength(), 4);
    EXPECT_EQ(zoom->CursorPos(), 5); // behind the suffix: a digit typed now is ignored
    Char('7');
    EXPECT_EQ(zoom->Text(), "200%");
    Press(VK_TAB);
    EXPECT_TRUE(size->Focused());
}

TEST_F(SpinEditTest, FocusLossCommitsTheTypedNumberClamped) {
    const struct {
        std::string text;
        double committedBefore;
        std::string expect;
        std::vector<int> readings;
    } cases[] = {
        {"2000%", 200, "1000%", {1000}},
        {"%", 200, "0%", {0}},
        {"0%", 0, "0%", {}},
        {"0%", 200, "0%", {}}, // the committed value changes, the text does not
        {"-200%", 200, "0%", {0}},
        {"-%", 200, "0%", {0, 0}}, // emptied, then committed
        {"-%", 0, "0%", {0, 0}},   // also when the committed value is already 0
        {"3000000000%", 200, "1000%", {1000}},
        {"2-5%", 0, "0%", {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        zoom->SetValue(static_cast<std::int32_t>(c.committedBefore));
        Prepare(c.text);
        size->SetFocus();
        Settle();
        EXPECT_EQ(zoom->Text(), c.expect);
        EXPECT_EQ(zoomReadings, c.readings);
        EXPECT_EQ(zoom->Value(), zoom->CommittedValue());
    }
}

TEST_F(SpinEditTest, KeysAndWheelStepWithinTheRange) {
    const struct {
        std::string text;
        std::function<void()> step;
        std::string expect;
        int notifications;
    } cases[] = {
        {"1000%", [this] { Press(VK_UP); }, "1000%", 0},
        {"995%", [this] { Press(VK_PRIOR); }, "1000%", 1},
        {"5%", [this] { Press(VK_NEXT); }, "0%", 1},
        {"0%", [this] { Press(VK_DOWN); }, "0%", 0},
        {"-5%", [this] { Press(VK_UP); }, "-4%", 1}, // no lower clamp stepping up
        {"%", [this] { Press(VK_UP); }, "1%", 1},
        {"200%", [this] { Wheel(120, 200, 100); }, "201%", 1},
        {"200%", [this] { Wheel(-240, 200, 100); }, "198%", 2},
        {"200%", [this] { Wheel(60, 200, 100); }, "200%", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " to " + c.expect);
        Prepare(c.text, 2);
        c.step();
        EXPECT_EQ(zoom->Text(), c.expect);
        EXPECT_EQ(static_cast<int>(zoomReadings.size()), c.notifications);
        EXPECT_EQ(zoom->CommittedValue(), 200); // a step commits nothing
    }
    // Half notches add up; the caret stays where it was.
    Prepare("200%", 3);
    Wheel(60, 200, 100);
    Wheel(60, 200, 100);
    EXPECT_EQ(zoom->Text(), "201%");
    EXPECT_EQ(zoom->CursorPos(), 3);
}

TEST_F(SpinEditTest, HeldButtonRepeatsAndStopsAtTheBound) {
    Prepare("997%");
    const TPoint up = ButtonPoint(zoom, true);
    MouseMove(up.X, up.Y);
    MouseDown(up.X, up.Y);
    EXPECT_EQ(zoom->Text(), "998%"); // a step at once
    AdvanceAndProcess(299);
    EXPECT_EQ(zoom->Text(), "998%");
    AdvanceAndProcess(1);
    EXPECT_EQ(zoom->Text(), "999%"); // the next after 300 ms
    AdvanceAndProcess(100);
    EXPECT_EQ(zoom->Text(), "1000%"); // then every 100 ms
    AdvanceAndProcess(300);
    EXPECT_EQ(zoom->Text(), "1000%");
    EXPECT_EQ(zoomReadings.size(), 3u); // nothing more once at the bound
    MouseUp(up.X, up.Y);
    AdvanceAndProcess(300);
    EXPECT_EQ(zoomReadings.size(), 3u);
}

TEST_F(SpinEditTest, ButtonOfTheOtherEditCommitsThisOneFirst) {
    Prepare("2000%");
    const TPoint up = ButtonPoint(size, true);
    MouseMove(up.X, up.Y);
    MouseDown(up.X, up.Y);
    MouseUp(up.X, up.Y);
    EXPECT_EQ(zoom->Text(), "1000%");
    EXPECT_EQ(zoomReadings, std::vector<int>({1000}));
    EXPECT_TRUE(size->Focused());
    EXPECT_EQ(size->Text(), "21 pixels");
    EXPECT_EQ(sizeReadings, std::vector<int>({21}));
}

TEST_F(SpinEditTest, AClipboardOfTenMegabytesIsRefusedAndTheEditKeepsWorking) {
    Prepare("200%", 4);
    platform.clipboard_ = std::string(10'000'000, '9');
    Press('V', kShiftCtrl);
    EXPECT_EQ(zoom->Text(), "200%");
    EXPECT_EQ(zoomReadings, std::vector<int>({200}));
    Press(VK_UP);
    Char('5');
    EXPECT_EQ(zoom->Text(), "2015%");
    Press(VK_TAB);
    EXPECT_EQ(zoom->Text(), "1000%");
}

TEST_F(SpinEditTest, ValueAssignmentsCommit) {
    zoom->SetValue(5000);
    EXPECT_EQ(zoom->Text(), "1000%");
    EXPECT_EQ(zoom->Value(), 1000);
    Prepare("7%");
    zoom->SetValue(1000); // equal to the committed value: the typed text stays
    EXPECT_EQ(zoom->Text(), "7%");
    zoom->SetMaxValue(5); // a new range waits for the next commit or step
    EXPECT_EQ(zoom->Text(), "7%");
    EXPECT_EQ(zoom->MinValue(), 0);
    zoom->SetMinValue(10); // above the maximum: the maximum follows
    EXPECT_EQ(zoom->MaxValue(), 10);
}

TEST_F(SpinEditTest, ReadOnlyStopsSteppingAndADisabledEditorOnlyTyping) {
    zoom->SetReadOnly(true);
    Prepare("200%", 2);
    Press(VK_UP);
    Wheel(120, 200, 100);
    const TPoint up = ButtonPoint(zoom, true);
    MouseDown(up.X, up.Y);
    MouseUp(up.X, up.Y);
    EXPECT_EQ(zoom->Text(), "200%");
    zoom->SetReadOnly(false);
    zoom->EditorEnabled = false;
    Prepare("200%", 2);
    Char('5');
    Press(VK_BACK);
    EXPECT_EQ(zoom->Text(), "200%");
    Press(VK_UP);
    EXPECT_EQ(zoom->Text(), "201%");
}

TEST_F(SpinEditTest, ButtonFillsTheRightEndOfTheTextArea) {
    // A plain edit of the same size and border shows where the text area ends without a button.
    auto* plain = new TLcCustomEdit(form);
    plain->SetParent(form);
    plain->Bevel()->SetMode(bmWindows);
    plain->SetBounds(zoom->Left(), 60, zoom->Width(), zoom->Height());
    const int areaRight = plain->PaintRect.Right + 1; // before the edit's own one-pixel reduction
    for (int width : {-1, 12}) {
        SCOPED_TRACE(width);
        zoom->SetSpinBtnWidth(width);
        const TLcSpinButton* b = zoom->SpinButton();
        EXPECT_EQ(b->Width(), width == -1 ? plain->PaintRect.Bottom - plain->PaintRect.Top : width);
        EXPECT_EQ(b->Height(), plain->PaintRect.Bottom - plain->PaintRect.Top);
        EXPECT_EQ(b->Top(), plain->PaintRect.Top);
        EXPECT_EQ(b->Left() + b->Width(), areaRight);
        EXPECT_EQ(zoom->PaintRect.Right + 1, b->Left()); // one pixel between text and button
    }
    zoom->SetEnabled(false);
    EXPECT_FALSE(zoom->SpinButton()->Enabled());
    EXPECT_EQ(zoom->SpinButton()->PartState(sbUp), bpsDisabled);
}

TEST_F(SpinEditTest, ABevelChangeSizesTheAutoSizedEditAgain) {
    ASSERT_EQ(zoom->Height(), 21);
    zoom->Bevel()->SetMode(bmEdge); // 13 * 5 / 4 + 2 * 2
    EXPECT_EQ(zoom->Height(), 20);
    zoom->Bevel()->SetMode(bmWindows);
    EXPECT_EQ(zoom->Height(), 21);
}

TEST_F(SpinEditTest, LegacyBorderStyleSetsTheBevel) {
    for (const auto& [ident, mode] : {std::pair{"bsSingle", bmWindows}, std::pair{"bsNone", bmStandard}}) {
        auto* root = new TSpinProbeForm(app.get());
        TFieldTable fields;
        fields.Add("powerZ", root->powerZ);
        const std::string text =
            std::string("object P: TSpinProbeForm\n  object powerZ: TLcSpinEdit\n    BorderStyle = ") +
            ident + "\n  end\nend\n";
        ReadRootComponent(*root, text, fields, {});
        EXPECT_EQ(root->powerZ->Bevel()->Mode(), mode) << ident;
        if (mode == bmStandard) {
            EXPECT_EQ(root->powerZ->Bevel()->StandardStyle(), lsNone);
        }
        delete root;
    }
}

TEST_F(SpinEditTest, PointerOverTheButtonShowsItsHotPartUntilItMovesToTheText) {
    const TPoint up = ButtonPoint(zoom, true);
    MouseMove(zoom->Left() + 10, zoom->Top() + 10);
    MouseMove(up.X, up.Y);
    EXPECT_EQ(zoom->SpinButton()->PartState(sbUp), bpsHot);
    MouseMove(zoom->Left() + 10, zoom->Top() + 10);
    EXPECT_EQ(zoom->SpinButton()->PartState(sbUp), bpsNormal);
}

TEST_F(SpinEditTest, ContextMenuDeleteKeepsTheSuffixAndIgnoresAHiddenSelection) {
    auto chooseDelete = [this] {
        platform.waitHook = [this] {
            if (zoom->ContextMenu() == nullptr) return;
            for (std::uint16_t k : {std::uint16_t{'D'}, VK_ESCAPE}) {
                PlatformEvent key;
                key.kind = PlatformEvent::Kind::KeyDown;
                key.window = form->PlatformWindow();
                key.virtualKey = k;
                platform.PostEvent(key);
            }
            platform.waitHook = nullptr;
        };
        RightClick(zoom->Left() + 10, zoom->Top() + 8);
        platform.waitHook = nullptr;
    };
    zoom->SelectAll();
    size->SetFocus(); // the zoom edit's selection is no longer shown
    Settle();
    chooseDelete();
    EXPECT_EQ(zoom->Text(), "200%");
    zoom->SetFocus();
    zoom->SelectAll();
    chooseDelete();
    EXPECT_EQ(zoom->Text(), "%");
}

TEST_F(SpinEditTest, ANewTextWhileSelectedTextIsHeldForMovingLeavesNothingSelectedBeyondIt) {
    Prepare("20%", 1);
    zoom->SetSelLength(2);
    // A press strictly inside the selection holds it for moving; meanwhile the selection no longer
    // follows the caret, and the wheel and edit requests still change the text.
    const int y = zoom->Height() / 2;
    int x = 0;
    while (x < zoom->Width() && zoom->CalcMousePos({x, y}) != 2) ++x;
    MouseMove(zoom->Left() + x, zoom->Top() + y);
    MouseDown(zoom->Left() + x, zoom->Top() + y);
    ASSERT_TRUE(zoom->DraggingText);
    Wheel(120);
    platform.SetClipboardText("1234567");
    zoom->Perform(WM_PASTE, 0, 0);
    ASSERT_EQ(zoom->Text(), "123456721%");
    Wheel(120);
    EXPECT_EQ(zoom->Text(), "1000%");
    EXPECT_EQ(zoom->SelLength(), 0);
    EXPECT_LE(zoom->SelStart(), zoom->TextLength() + 1);
    MouseUp(zoom->Left() + x, zoom->Top() + y);
    EXPECT_EQ(zoom->Text(), "1000%");
}

TEST_F(SpinEditTest, KeysChangeNothingWhileSelectedTextIsHeldForMoving) {
    // Meanwhile the caret is only the drop point: the selection no longer follows it.
    Prepare("20%", 1);
    zoom->SetSelLength(2);
    const int y = zoom->Height() / 2;
    auto pointAt = [this, y](int position) {
        int x = 0;
        while (x < zoom->Width() && zoom->CalcMousePos({x, y}) != position) ++x;
        return TPoint{zoom->Left() + x, zoom->Top() + y};
    };
    const TPoint inside = pointAt(2);
    MouseMove(inside.X, inside.Y);
    MouseDown(inside.X, inside.Y);
    ASSERT_TRUE(zoom->DraggingText);
    const TPoint front = pointAt(1);
    Drag(front.X, front.Y);
    LcApplication().SetEditMode(0); // overwrite
    Char('8');
    Press(VK_DELETE);
    Press(VK_BACK);
    Press(VK_UP);
    EXPECT_EQ(zoom->Text(), "20%");
    EXPECT_TRUE(zoomReadings.empty());
    MouseUp(front.X, front.Y);
    EXPECT_EQ(zoom->Text(), "20%");
}
