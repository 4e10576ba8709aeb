// The wheel goes to the focused control wherever the pointer is, counted in notches of 120.
#include "xp_fixture.h"

namespace {

class WheelCounter : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int ups = 0;
    int downs = 0;
    TPoint lastPos;

protected:
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override {
        TCustomControl::DoMouseWheelUp(Shift, MousePos);
        ++ups;
        lastPos = MousePos;
        return true;
    }
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override {
        TCustomControl::DoMouseWheelDown(Shift, MousePos);
        ++downs;
        return true;
    }
};

class WheelTest : public XPTest {
protected:
    void SetUp() override {
        XPTest::SetUp();
        for (WheelCounter*& c : {std::ref(focused), std::ref(underPointer)}) {
            c = new WheelCounter(form);
            c->SetParent(form);
            c->TabStop = true;
        }
        focused->SetBounds(0, 0, 50, 20);
        underPointer->SetBounds(0, 40, 50, 20);
        form->Show();
        focused->SetFocus();
        Settle();
    }
    WheelCounter* focused = nullptr;
    WheelCounter* underPointer = nullptr;
};

} // namespace

TEST_F(WheelTest, NotchesGoToTheFocusedControl) {
    const struct {
        std::vector<int> deltas;
        int ups, downs;
    } cases[] = {
        {{120}, 1, 0},        {{60}, 0, 0},  {{60, 60}, 1, 0},
        {{-120, -120}, 0, 2}, {{360}, 3, 0}, {{90, -30, 60}, 1, 0},
    };
    for (const auto& c : cases) {
        focused->ups = focused->downs = 0;
        // Start each case from a whole count.
        auto fresh = new WheelCounter(form);
        fresh->SetParent(form);
        fresh->TabStop = true;
        fresh->SetBounds(60, 0, 50, 20);
        fresh->SetFocus();
        Settle();
        for (int d : c.deltas) Wheel(d, 10, 50); // over underPointer
        EXPECT_EQ(fresh->ups, c.ups);
        EXPECT_EQ(fresh->downs, c.downs);
        EXPECT_EQ(underPointer->ups + underPointer->downs, 0);
        delete fresh;
    }
}

TEST_F(WheelTest, AHandledWheelEventMakesNoStepAndPositionsAreOnTheScreen) {
    focused->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
    Wheel(120, 10, 50);
    EXPECT_EQ(focused->ups, 0);
    focused->OnMouseWheel = nullptr;
    Wheel(120, 10, 50);
    EXPECT_EQ(focused->ups, 1);
    EXPECT_EQ(focused->lastPos.X, underPointer->ClientToScreen({10, 10}).X);
    EXPECT_EQ(focused->lastPos.Y, underPointer->ClientToScreen({10, 10}).Y);
}
