// The pointer's shape over the main window: each control's own, its parent's where it has none, the
// screen's while that is set, and the drag shape while selected text is moved.
#include "framework/forms/pointer_shape.h"
#include "main_window_fixture.h"

namespace {

class PointerShapeTest : public MainWindowFixture {
protected:
    void TearDown() override {
        Screen->Cursor = crDefault;
        MainWindowFixture::TearDown();
    }
    PointerShape Shown() { return platform.ShownPointerShape(main->PlatformWindow()); }
    // A client point inside `control`, `dx`/`dy` from its top left (negative: from its right/bottom).
    static TPoint Inside(const TControl* control, int dx, int dy) {
        const TPoint origin = control->FormOrigin();
        return {origin.X + (dx >= 0 ? dx : control->Width() + dx),
                origin.Y + (dy >= 0 ? dy : control->Height() + dy)};
    }
    void MoveTo(TPoint p) { MouseMove(p.X, p.Y); }
};

TEST_F(PointerShapeTest, EachPlaceOfTheWindowShowsItsShape) {
    struct Case {
        const char* place;
        TPoint point;
        PointerShape shape;
    };
    const Case cases[] = {
        {"zoom edit's text", Inside(main->powerZ, 6, 8), PointerShape::IBeam},
        {"zoom edit's button", Inside(main->powerZ->SpinButton(), 3, 3), PointerShape::Arrow},
        {"view", Inside(main->zfm, 40, 40), PointerShape::Arrow},
        {"size edit's border", Inside(main->crossS, 0, 0), PointerShape::Arrow},
        {"size edit's button", Inside(main->crossS->SpinButton(), -2, -2), PointerShape::Arrow},
        {"label", Inside(main->Label1, 2, 2), PointerShape::Arrow},
        {"Exit button", Inside(main->LvXPButton1, 10, 10), PointerShape::Arrow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        MoveTo(c.point);
        EXPECT_EQ(Shown(), c.shape);
        // Back over the text in between, so every case is a change.
        MoveTo(Inside(main->powerZ, 6, 8));
        EXPECT_EQ(Shown(), PointerShape::IBeam);
    }
    // A disabled edit takes no pointer input: the window's arrow shows over it.
    main->crossS->SetEnabled(false);
    MoveTo(Inside(main->crossS, 6, 8));
    EXPECT_EQ(Shown(), PointerShape::Arrow);
}

TEST_F(PointerShapeTest, ThePlatformHearsOnlyOfChanges) {
    MoveTo(Inside(main->zfm, 40, 40));
    const int calls = platform.PointerShapeCalls();
    MoveTo(Inside(main->zfm, 60, 50));
    MoveTo(Inside(main->LvXPButton1, 10, 10));
    EXPECT_EQ(platform.PointerShapeCalls(), calls);
    MoveTo(Inside(main->powerZ, 6, 8));
    MoveTo(Inside(main->powerZ, 12, 8));
    EXPECT_EQ(platform.PointerShapeCalls(), calls + 1);
}

TEST_F(PointerShapeTest, TheScreenShapeOverridesEveryControlUntilItIsDefaultAgain) {
    MoveTo(Inside(main->powerZ, 6, 8));
    Screen->Cursor = crHourGlass;
    Settle();
    EXPECT_EQ(Shown(), PointerShape::HourGlass);
    MoveTo(Inside(main->zfm, 40, 40));
    EXPECT_EQ(Shown(), PointerShape::HourGlass);
    Screen->Cursor = crDefault;
    Settle();
    EXPECT_EQ(Shown(), PointerShape::Arrow);
    // A control without a shape of its own takes its parent's.
    main->Cursor = crCross;
    Settle();
    EXPECT_EQ(Shown(), PointerShape::Cross);
}

TEST_F(PointerShapeTest, DraggingSelectedTextShowsTheDragShapeUntilReleaseOrLostCapture) {
    TLcSpinEdit* e = main->powerZ;
    const int y = e->Height() / 2;
    auto pointAt = [e, y, this](int position) {
        int x = 0;
        while (x < e->Width() && e->CalcMousePos({x, y}) != position) ++x;
        return Inside(e, x, y);
    };
    for (const bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "capture lost" : "released");
        e->SetFocus();
        e->SetText("200%");
        e->SetCursorPos(1);
        e->SetSelLength(3);
        const TPoint inside = pointAt(2);
        MoveTo(inside);
        MouseDown(inside.X, inside.Y);
        ASSERT_TRUE(e->DraggingText);
        EXPECT_EQ(Shown(), PointerShape::Drag);
        // The capture keeps the shape wherever the pointer goes.
        Drag(Inside(main->zfm, 40, 40).X, Inside(main->zfm, 40, 40).Y);
        EXPECT_EQ(Shown(), PointerShape::Drag);
        if (lost) {
            PlatformEvent event;
            event.kind = PlatformEvent::Kind::CaptureLost;
            event.window = main->PlatformWindow();
            platform.PostEvent(event);
            Settle();
        } else {
            MouseUp(inside.X, inside.Y);
        }
        EXPECT_FALSE(e->DraggingText);
        EXPECT_EQ(Screen->Cursor, crDefault);
        // Released over the text; the lost capture left the pointer over the view.
        EXPECT_EQ(Shown(), lost ? PointerShape::Arrow : PointerShape::IBeam);
    }
}

TEST(PointerShapeNumbers, StandardNumbersMapAndUnknownOnesShowTheArrow) {
    EXPECT_EQ(PointerShapeOf(crIBeam), PointerShape::IBeam);
    EXPECT_EQ(PointerShapeOf(crDrag), PointerShape::Drag);
    EXPECT_EQ(PointerShapeOf(crSizeAll), PointerShape::SizeAll);
    EXPECT_EQ(PointerShapeOf(crNone), PointerShape::Hidden);
    for (const TCursor unknown : {crDefault, TCursor{1}, TCursor{-5}, TCursor{-23}, TCursor{-32768}})
        EXPECT_EQ(PointerShapeOf(unknown), PointerShape::Arrow) << unknown;
}

} // namespace
