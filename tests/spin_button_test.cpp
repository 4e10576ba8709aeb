// The spin button: how its parts split the button, the steps of a held press on the virtual clock,
// how a press ends, and one drawn cell of each look.
#include "edit_fixture.h"

#include "spinedit/lc_spin_button.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

class SpinButtonTest : public EditTest {
protected:
    void SetUp() override {
        EditTest::SetUp();
        auto* panel = new TCustomControl(form);
        panel->SetParent(form);
        panel->SetBounds(100, 20, 80, 80);
        button = AddButton(panel, 10, 10, 20, 20);
        Settle();
    }

    TLcSpinButton* AddButton(TWinControl* parent, int left, int top, int width, int height) {
        auto* b = new TLcSpinButton(form);
        b->SetParent(parent);
        b->SetBounds(left, top, width, height);
        b->SetColor(clBtnFace);
        b->SetBtns(SpinButtonSet({sbUp, sbDown}));
        b->OnUpClick = [this](TObject*) { steps += 'U'; };
        b->OnDownClick = [this](TObject*) { steps += 'D'; };
        return b;
    }
    // Button coordinates to form coordinates.
    TPoint At(int x, int y) const { return {button->FormOrigin().X + x, button->FormOrigin().Y + y}; }
    void Press(int x, int y) { MouseDown(At(x, y).X, At(x, y).Y); }
    void Release(int x, int y) { MouseUp(At(x, y).X, At(x, y).Y); }
    void Hold(int x, int y) { Drag(At(x, y).X, At(x, y).Y); }
    void Hover(int x, int y) { MouseMove(At(x, y).X, At(x, y).Y); }
    std::uint32_t ButtonPixel(int x, int y) { return Pixel(At(x, y).X, At(x, y).Y); }
    // The steps made since the last call.
    std::string TakeSteps() { return std::exchange(steps, std::string()); }

    TLcSpinButton* button = nullptr;
    std::string steps;
};

TEST_F(SpinButtonTest, EveryPixelBelongsToExactlyOnePart) {
    const TSize sizes[] = {{20, 20}, {15, 21}, {21, 15}, {7, 4}, {1, 1}, {2, 9}};
    for (bool skew : {true, false})
        for (const TSize s : sizes) {
            SCOPED_TRACE(testing::Message() << s.cx << "x" << s.cy << (skew ? " diagonal" : " horizontal"));
            button->SetSkew(skew);
            button->SetBounds(0, 0, s.cx, s.cy);
            const TRegion up = *button->PartRegion(sbUp);
            const TRegion down = *button->PartRegion(sbDown);
            for (int y = 0; y < s.cy; ++y)
                for (int x = 0; x < s.cx; ++x) {
                    // Centre strictly above the diagonal from (0, H) to (W, 0), or the upper rows.
                    const bool upper = skew ? s.cx * (2 * y + 1) + s.cy * (2 * x + 1) < 2 * s.cx * s.cy
                                            : y < s.cy / 2 + s.cy % 2;
                    ASSERT_EQ(up.Contains({x, y}), upper) << x << "," << y;
                    ASSERT_NE(down.Contains({x, y}), upper) << x << "," << y;
                }
            EXPECT_FALSE(up.Contains({s.cx, 0}) || down.Contains({0, s.cy}));
        }
    button->SetBtns(SpinButtonSet({sbDown}) | 0x80); // a bit beyond the parts is dropped
    EXPECT_EQ(button->Btns(), SpinButtonSet({sbDown}));
    EXPECT_EQ(button->PartRegion(sbDown)->Bounds(), (TRect{0, 0, 2, 9}));
    EXPECT_EQ(button->PartRegion(sbUp), nullptr);
    button->SetBtns(SpinButtonSet({sbUp, sbDown, sbLeft, sbRight}));
    EXPECT_EQ(button->PartRegion(sbUp), nullptr);
}

TEST_F(SpinButtonTest, AClickStepsThePartUnderThePointer) {
    const struct {
        bool skew;
        int width, height, x, y;
        const char* steps;
    } cases[] = {
        {true, 20, 20, 9, 9, "U"},  {true, 20, 20, 10, 9, "D"},  {true, 15, 21, 0, 19, "U"},
        {true, 15, 21, 1, 19, "D"}, {false, 15, 21, 7, 10, "U"}, {false, 15, 21, 7, 11, "D"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.x << "," << c.y);
        button->SetSkew(c.skew);
        button->SetBounds(10, 10, c.width, c.height);
        Settle();
        Press(c.x, c.y);
        Release(c.x, c.y);
        EXPECT_EQ(TakeSteps(), c.steps);
    }
}

TEST_F(SpinButtonTest, AHeldPressRepeatsForThePartUnderThePointerUntilReleased) {
    enum Action { kNone, kPress, kHoldUp, kHoldDown, kHoldOff, kRelease };
    const struct {
        Action action;
        int advanceMs;
        const char* steps;
    } script[] = {
        {kPress, 0, "U"},   {kNone, 299, ""},  {kNone, 1, "U"},      {kNone, 100, "U"},
        {kHoldDown, 0, ""}, {kNone, 100, "D"}, {kHoldOff, 0, ""},    {kNone, 300, ""},
        {kHoldUp, 0, ""},   {kNone, 100, "U"}, {kRelease, 1000, ""},
    };
    for (const auto& s : script) {
        SCOPED_TRACE(testing::Message() << "action " << s.action << ", then " << s.advanceMs << " ms");
        switch (s.action) {
        case kPress: Press(5, 5); break;
        case kHoldUp: Hold(5, 5); break;
        case kHoldDown: Hold(15, 15); break;
        case kHoldOff: Hold(40, 40); break;
        case kRelease: Release(15, 15); break;
        case kNone: break;
        }
        AdvanceAndProcess(s.advanceMs);
        EXPECT_EQ(TakeSteps(), s.steps);
    }
    EXPECT_EQ(button->RepeatTimer(), nullptr);
    EXPECT_EQ(button->PartState(sbDown), bpsHot);
}

TEST_F(SpinButtonTest, EveryWayAPressEndsStopsTheStepsAndFreesTheTimer) {
    const struct {
        const char* name;
        std::function<void()> end;
        TLcButtonPartState upAfter;
    } cases[] = {
        {"release on the part", [this] { Release(5, 5); }, bpsHot},
        {"release off the button", [this] { Release(60, 5); }, bpsNormal},
        {"capture lost",
         [this] {
             PlatformEvent e;
             e.kind = PlatformEvent::Kind::CaptureLost;
             e.window = form->PlatformWindow();
             platform.PostEvent(e);
             Settle();
         },
         bpsNormal},
        {"a repeated step fails",
         [this] {
             const TNotifyEvent step = button->OnUpClick;
             button->OnUpClick = [](TObject*) { throw std::runtime_error("no step"); };
             AdvanceAndProcess(300);
             button->OnUpClick = step;
             EXPECT_EQ(platform.MessageBoxes().back().text, "no step.");
         },
         bpsNormal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Press(5, 5);
        ASSERT_EQ(TakeSteps(), "U");
        ASSERT_TRUE(button->Pressing());
        ASSERT_EQ(GetCaptureControl(), button);
        ASSERT_NE(button->RepeatTimer(), nullptr);
        c.end();
        EXPECT_FALSE(button->Pressing());
        EXPECT_EQ(button->RepeatTimer(), nullptr);
        EXPECT_EQ(GetCaptureControl(), nullptr);
        EXPECT_EQ(button->PartState(sbUp), c.upAfter);
        AdvanceAndProcess(1000);
        EXPECT_EQ(TakeSteps(), "");
    }
}

TEST_F(SpinButtonTest, OnlyTheLeftButtonOfAnEnabledButtonSteps) {
    int downs = 0;
    button->OnMouseDown = [&downs](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    MouseDown(At(5, 5).X, At(5, 5).Y, PointerButton::Right);
    MouseUp(At(5, 5).X, At(5, 5).Y, PointerButton::Right);
    EXPECT_EQ(downs, 1);
    EXPECT_FALSE(button->Pressing());

    button->SetEnabled(false);
    Settle();
    EXPECT_EQ(button->PartState(sbUp), bpsDisabled);
    Press(5, 5);
    AdvanceAndProcess(1000);
    Release(5, 5);
    EXPECT_EQ(TakeSteps(), "");
    // Embossed: grey arrow over a highlight copy one pixel down and right.
    EXPECT_EQ(ButtonPixel(4, 3), ColorToPixel(clGrayText));
    EXPECT_EQ(ButtonPixel(7, 6), ColorToPixel(clHighlightText));
    button->SetEnabled(true);
    EXPECT_EQ(button->PartState(sbDown), bpsNormal);
}

TEST_F(SpinButtonTest, DrawsTheDiagonalFaceForEachState) {
    // Unpressed: a one-pixel raised frame on (0, 0, 19, 19), right and bottom exclusive, so the
    // last column and row keep the face colour. The diagonals run one pixel nearer the top left:
    // the upper part's silver one along x + y = 18, where the lower part's white one, drawn on the
    // same pixels, is clipped away as they lie above the split.
    EXPECT_EQ(ButtonPixel(0, 0), ColorToPixel(clBtnHighlight));
    EXPECT_EQ(ButtonPixel(18, 18), ColorToPixel(clBtnShadow));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(ButtonPixel(19, i), ColorToPixel(clBtnFace)) << "last column, row " << i;
        EXPECT_EQ(ButtonPixel(i, 19), ColorToPixel(clBtnFace)) << "last row, column " << i;
    }
    EXPECT_EQ(ButtonPixel(10, 8), 0xC0C0C0u);
    EXPECT_EQ(ButtonPixel(10, 9), ColorToPixel(clBtnFace));
    EXPECT_EQ(ButtonPixel(4, 3), 0u);   // up arrow's tip
    EXPECT_EQ(ButtonPixel(14, 14), 0u); // down arrow's tip
    EXPECT_EQ(ButtonPixel(15, 15), ColorToPixel(clBtnFace));
    Hover(15, 15);
    EXPECT_EQ(ButtonPixel(14, 14), ColorToPixel(button->HotColor));
    button->MouseLeave();
    Settle();
    EXPECT_EQ(ButtonPixel(14, 14), 0u);
    // Pressed: a two-pixel sunken frame moves the arrow in; the lower part keeps its look.
    Press(5, 5);
    EXPECT_EQ(ButtonPixel(0, 0), ColorToPixel(clBtnShadow));
    EXPECT_EQ(ButtonPixel(1, 1), ColorToPixel(cl3DDkShadow));
    EXPECT_EQ(ButtonPixel(5, 4), 0u);
    EXPECT_EQ(ButtonPixel(10, 8), 0xFFFFFFu);
    EXPECT_EQ(ButtonPixel(19, 19), ColorToPixel(clBtnFace));
    Release(5, 5);
    // The pressed lower part's silver line runs inside its two-pixel frame, along x + y = 19.
    Press(15, 15);
    EXPECT_EQ(ButtonPixel(10, 9), 0xC0C0C0u);
    EXPECT_EQ(ButtonPixel(11, 9), ColorToPixel(clBtnFace));
    Release(15, 15);
}

TEST_F(SpinButtonTest, DrawsTheHorizontalHalvesAndTheThemedParts) {
    button->SetSkew(false);
    Settle();
    EXPECT_EQ(ButtonPixel(0, 0), ColorToPixel(cl3DLight));
    EXPECT_EQ(ButtonPixel(19, 9), ColorToPixel(cl3DDkShadow));
    EXPECT_EQ(ButtonPixel(18, 8), ColorToPixel(clBtnShadow));
    EXPECT_EQ(ButtonPixel(10, 3), 0u);  // up arrow's tip
    EXPECT_EQ(ButtonPixel(10, 15), 0u); // down arrow's tip
    EXPECT_EQ(ButtonPixel(10, 16), ColorToPixel(clBtnFace));

    // A theme draws both halves whatever the split, in the state of each part.
    button->SetSkew(true);
    platform.SetThemeActive(true);
    button->Perform(LC_WM_THEMECHANGED, 0, 0);
    Press(5, 5);
    EXPECT_EQ(platform.LastThemeDraw().themeClass, "SPIN");
    EXPECT_EQ(platform.LastThemeDraw().part, 2);
    EXPECT_EQ(ButtonPixel(0, 0), HeadlessPlatform::ThemeRingPixel(3));
    EXPECT_EQ(ButtonPixel(0, 19), HeadlessPlatform::ThemeRingPixel(1));
    EXPECT_EQ(ButtonPixel(5, 5), HeadlessPlatform::kThemeInsidePixel);
    Release(5, 5);
    EXPECT_EQ(TakeSteps(), "U");
    platform.SetThemeActive(false);
}

TEST_F(SpinButtonTest, TakesThePointerInsideAnEdit) {
    TLcSpinButton* onEdit = AddButton(edit, 44, 2, 17, 17);
    Settle();
    const TPoint p = onEdit->FormOrigin();
    MouseDown(p.X + 3, p.Y + 3);
    EXPECT_EQ(GetCaptureControl(), onEdit);
    EXPECT_EQ(Pixel(p.X, p.Y), ColorToPixel(clBtnShadow));
    MouseUp(p.X + 3, p.Y + 3);
    EXPECT_EQ(TakeSteps(), "U");
}

} // namespace
