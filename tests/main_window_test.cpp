// The main window built from its stored description: its stored values, its menu and handlers, and the
// pop-up menu opened by a right click and driven by mouse and keyboard inside its modal loop.
#include "app/main_window.h"
#include "framework/core/timer.h"
#include "framework/forms/popup_menu_tracker.h"
#include "framework/forms/popup_menu_window.h"
#include "headless_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace {

class MainWindowTest : public ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        app->CreateForm(LTfrm);
        form = LTfrm;
        view = form->zfm;
        platform.SetPointer({500, 400});
        form->Show();
        app->ProcessMessages();
    }
    void TearDown() override {
        LTfrm = nullptr;
        ApplicationTest::TearDown();
    }

    std::uint32_t ViewPixel(int x, int y) {
        return platform.WindowSurface(form->PlatformWindow())->Pixel(view->Left() + x, view->Top() + y);
    }
    std::uint32_t CentrePixel() { return ViewPixel(view->Width() / 2, view->Height() / 2); }
    void Tick() {
        platform.Advance(100);
        app->ProcessMessages();
    }

    // The open pop-up level windows (the platform records every window the program made).
    std::vector<WindowId> PopupWindows() {
        std::vector<WindowId> ids;
        for (const auto& [id, w] : platform.Windows())
            if (w.params.kind == WindowKind::Popup && w.state != ShowState::Hidden) ids.push_back(id);
        return ids;
    }
    void Post(PlatformEvent e) { platform.PostEvent(e); }
    void PostMouse(PlatformEvent::Kind kind, WindowId window, TPoint client,
                   PointerButton button = PointerButton::Left) {
        PlatformEvent e;
        e.kind = kind;
        e.window = window;
        e.position = client;
        e.button = button;
        Post(e);
    }
    void PostKey(WindowId window, std::uint16_t key) {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::KeyDown;
        e.window = window;
        e.virtualKey = key;
        Post(e);
    }
    // Right-clicks the view at a client point and runs the menu's modal loop; while it runs, each
    // step is called on a 10 ms tick of a driver timer until the menu closes.
    void RightClickViewAndDrive(TPoint viewPoint, std::vector<std::function<void()>> steps) {
        TTimer driver(nullptr);
        std::size_t next = 0;
        driver.SetInterval(10);
        driver.SetOnTimer([&](TObject*) {
            if (form->PopupMenu1->Tracker() != nullptr && next < steps.size()) steps[next++]();
        });
        const TPoint p{view->Left() + viewPoint.X, view->Top() + viewPoint.Y};
        PostMouse(PlatformEvent::Kind::MouseDown, form->PlatformWindow(), p, PointerButton::Right);
        PostMouse(PlatformEvent::Kind::MouseUp, form->PlatformWindow(), p, PointerButton::Right);
        app->ProcessMessages();
        EXPECT_EQ(next, steps.size()) << "the menu closed before every step ran";
    }
    TPopupMenuTracker& Tracker() { return *form->PopupMenu1->Tracker(); }
    TPoint RowCentre(int level, int row) {
        const TRect r = Tracker().Level(level).RowRect(row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }

    TLTfrm* form = nullptr;
    TLvZoom* view = nullptr;
};

TEST_F(MainWindowTest, StoredDescriptionGivesTheWindowAndViewTheirStoredValues) {
    EXPECT_EQ(form->Name(), "LTfrm");
    EXPECT_EQ(app->MainForm(), form);
    EXPECT_EQ(form->BoundsRect(), Bounds(660, 295, 258, 320));
    EXPECT_EQ(form->BorderIcons, 0);
    EXPECT_EQ(form->BorderStyle, bsSizeable);
    EXPECT_EQ(form->Caption(), "Lentaro");
    EXPECT_EQ(form->Color(), clSilver);
    EXPECT_EQ(form->Font()->Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(form->Font()->Color(), clWindowText);
    EXPECT_EQ(form->Font()->Height(), -11);
    EXPECT_EQ(form->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(form->Font()->Style(), 0);
    EXPECT_FALSE(form->OldCreateOrder);
    EXPECT_EQ(form->PopupMenu, form->PopupMenu1);
    EXPECT_EQ(form->DesignSize, (TSize{250, 293}));
    EXPECT_EQ(form->PixelsPerInch, 96);
    EXPECT_EQ(form->TextHeight, 13);

    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Parent(), form);
    EXPECT_EQ(view->BoundsRect(), Bounds(0, 0, 250, 250));
    EXPECT_EQ(view->Anchors(), kDefaultAnchors);
    EXPECT_EQ(view->TabOrder, 0); // the first windowed control, but no tab stop
    EXPECT_FALSE(view->TabStop);
    EXPECT_EQ(view->ZoomLevel(), 50);
    EXPECT_TRUE(view->Crosshair());
    EXPECT_EQ(view->CrosshairColor, clBlue);
    EXPECT_EQ(view->CrosshairSize, 20);
    EXPECT_EQ(view->Color(), clSilver); // taken from the window once loaded
    EXPECT_EQ(view->Font()->Height(), -11);
    EXPECT_TRUE(platform.TimerArmed((static_cast<TimerKey>(view->PollTimer()->WindowHandle()) << 32) | 1));
    EXPECT_EQ(CentrePixel(), 0x0000FFu); // the first drawing shows the blue crosshair

    // The resize rule never alters the proposed size nor refuses it.
    ASSERT_TRUE(form->OnCanResize);
    int w = 300, h = 400;
    bool resize = true;
    form->OnCanResize(form, w, h, resize);
    EXPECT_TRUE(resize);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 400);
}

TEST_F(MainWindowTest, MenuItemsAreReadInOrderWithTheirMarksAndHandlers) {
    TPopupMenu* menu = form->PopupMenu1;
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->DesignPosition, (TPoint{88, 176}));
    std::vector<std::string> names;
    for (TComponent* c : form->Components()) names.push_back(c->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Label1", "Label2", "zfm", "powerZ", "crossS", "LvXPButton1",
                                               "PopupMenu1", "crosshairMnuSub", "crosshairMnu", "Off1",
                                               "CrosshairColor1", "Bluecr", "Redcr", "Blackcr"}));
    ASSERT_EQ(menu->Items()->Count(), 2);
    EXPECT_EQ(menu->Items()->Items(0), form->crosshairMnuSub);
    EXPECT_EQ(menu->Items()->Items(1), form->CrosshairColor1);

    struct Expected {
        TMenuItem* item;
        TMenuItem* parent;
        const char* caption;
        bool autoCheck;
        bool checked;
        bool hasHandler;
    };
    const Expected table[] = {
        {form->crosshairMnuSub, menu->Items(), "Crosshair", false, false, false},
        {form->crosshairMnu, form->crosshairMnuSub, "On", true, true, true},
        {form->Off1, form->crosshairMnuSub, "Off", true, false, true},
        {form->CrosshairColor1, menu->Items(), "Crosshair Color", false, false, false},
        {form->Bluecr, form->CrosshairColor1, "Blue", true, true, true},
        {form->Redcr, form->CrosshairColor1, "Red", true, false, true},
        {form->Blackcr, form->CrosshairColor1, "Black", true, false, true},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(e.caption);
        ASSERT_NE(e.item, nullptr);
        EXPECT_EQ(e.item->Parent(), e.parent);
        EXPECT_EQ(e.item->Caption(), e.caption);
        EXPECT_EQ(e.item->AutoCheck, e.autoCheck);
        EXPECT_EQ(e.item->RadioItem(), e.autoCheck);
        EXPECT_EQ(e.item->Checked(), e.checked);
        EXPECT_EQ(static_cast<bool>(e.item->OnClick), e.hasHandler);
        EXPECT_TRUE(e.item->Enabled);
        EXPECT_TRUE(e.item->Visible);
        EXPECT_EQ(e.item->GroupIndex(), 0);
        EXPECT_EQ(e.item->ShortCut, 0);
    }
}

TEST_F(MainWindowTest, OffRemovesTheCrosshairAtTheNextRepaintAndOffTwiceLeavesNothingMarked) {
    form->Off1->Click();
    EXPECT_FALSE(view->Crosshair());
    app->ProcessMessages(); // the pointer rests, yet the repaint comes
    EXPECT_EQ(CentrePixel(), HeadlessPlatform::TestPatternPixel(500, 400));

    form->Off1->Click();
    EXPECT_FALSE(form->Off1->Checked());
    EXPECT_FALSE(form->crosshairMnu->Checked());
    EXPECT_FALSE(view->Crosshair());

    form->crosshairMnu->Click();
    EXPECT_TRUE(form->crosshairMnu->Checked());
    EXPECT_FALSE(form->Off1->Checked());
    EXPECT_TRUE(view->Crosshair());
    app->ProcessMessages();
    EXPECT_EQ(CentrePixel(), 0x0000FFu);
}

TEST_F(MainWindowTest, ChoosingTheMarkedColourUnmarksItAndKeepsTheColour) {
    form->Bluecr->Click();
    EXPECT_FALSE(form->Bluecr->Checked());
    EXPECT_FALSE(form->Redcr->Checked());
    EXPECT_FALSE(form->Blackcr->Checked());
    EXPECT_EQ(view->CrosshairColor, clBlue);
    form->Blackcr->Click();
    EXPECT_EQ(view->CrosshairColor, clBlack);
    EXPECT_TRUE(form->crosshairMnu->Checked()); // the other group is untouched
}

TEST_F(MainWindowTest, HandlersActOnlyWhenTheirItemEndsUpMarked) {
    // Each item is chosen while marked, after the view was changed behind the menu's back: the mark
    // goes, and the handler leaves the view alone.
    for (TMenuItem* item : {form->Redcr, form->Blackcr, form->Bluecr}) {
        item->SetChecked(true);
        view->CrosshairColor = 0x123456;
        item->Click();
        EXPECT_FALSE(item->Checked());
        EXPECT_EQ(view->CrosshairColor, 0x123456) << item->Caption();
    }
    form->Off1->SetChecked(true);
    view->SetCrossHair(true);
    form->Off1->Click();
    EXPECT_TRUE(view->Crosshair());
    form->crosshairMnu->SetChecked(true);
    view->SetCrossHair(false);
    form->crosshairMnu->Click();
    EXPECT_FALSE(view->Crosshair());
}

TEST_F(MainWindowTest, RightClickOnTheViewOpensTheMenuAtThePointer) {
    TRect bounds;
    std::vector<std::string> entries;
    bool capturedByMenu = false;
    RightClickViewAndDrive({100, 120}, {[&] {
                               const std::vector<WindowId> popups = PopupWindows();
                               ASSERT_EQ(popups.size(), 1u);
                               bounds = platform.FindWindow(popups[0])->outerBounds;
                               for (int r = 0; r < Tracker().Level(0).RowCount(); ++r)
                                   entries.push_back(Tracker().Level(0).RowItem(r)->Caption());
                               capturedByMenu = GetCaptureControl() == &Tracker().Level(0);
                               PostKey(popups[0], VK_ESCAPE);
                           }});
    const TPoint pointer = view->ClientToScreen({100, 120});
    EXPECT_EQ(bounds.Left, pointer.X);
    EXPECT_EQ(bounds.Top, pointer.Y);
    EXPECT_EQ(entries, (std::vector<std::string>{"Crosshair", "Crosshair Color"}));
    EXPECT_TRUE(capturedByMenu);
    // Closed: no pop-up left, nothing captured, marks unchanged, and the view still polls.
    EXPECT_TRUE(PopupWindows().empty());
    EXPECT_EQ(form->PopupMenu1->Tracker(), nullptr);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_TRUE(form->crosshairMnu->Checked());
    platform.SetPointer({300, 300});
    Tick();
    EXPECT_EQ(view->ZoomPoint(), (TPoint{300, 300}));
}

TEST_F(MainWindowTest, ChoosingOffWithTheMouseRemovesTheCrosshair) {
    WindowId top = 0;
    RightClickViewAndDrive({50, 50}, {[&] {
                                          top = PopupWindows().at(0);
                                          // Back and forth between the entries: each swaps the submenu.
                                          for (int row : {0, 1, 0, 1, 0})
                                              PostMouse(PlatformEvent::Kind::MouseMove, top,
                                                        RowCentre(0, row));
                                      },
                                      [&] {
                                          ASSERT_EQ(Tracker().LevelCount(), 2);
                                          EXPECT_EQ(&Tracker().Level(1).Level(), form->crosshairMnuSub);
                                          // Closed submenus do not pile up: two windows, both shown.
                                          int popups = 0;
                                          for (const auto& [id, w] : platform.Windows())
                                              popups += w.params.kind == WindowKind::Popup;
                                          EXPECT_EQ(popups, 2);
                                          // Input sent to the submenu's own window reaches the menu too.
                                          const WindowId sub = Tracker().Level(1).PlatformWindow();
                                          PostMouse(PlatformEvent::Kind::MouseMove, sub, RowCentre(1, 1));
                                          PostMouse(PlatformEvent::Kind::MouseDown, sub, RowCentre(1, 1));
                                          PostMouse(PlatformEvent::Kind::MouseUp, sub, RowCentre(1, 1));
                                      }});
    EXPECT_TRUE(form->Off1->Checked());
    EXPECT_FALSE(form->crosshairMnu->Checked());
    EXPECT_FALSE(view->Crosshair());
    app->ProcessMessages();
    EXPECT_EQ(CentrePixel(), HeadlessPlatform::TestPatternPixel(500, 400));
}

TEST_F(MainWindowTest, RedChosenByKeyboardShowsOnlyAtTheNextDrawingWhenThePointerMoves) {
    RightClickViewAndDrive(
        {50, 50}, {[&] { PostKey(PopupWindows().at(0), 'R'); }, [&] { PostKey(PopupWindows().at(0), 'R'); }});
    EXPECT_TRUE(form->Redcr->Checked());
    EXPECT_FALSE(form->Bluecr->Checked());
    EXPECT_EQ(view->CrosshairColor, clRed);
    // A plain store: with the pointer at rest nothing is drawn, the crosshair is still blue.
    Tick();
    Tick();
    EXPECT_EQ(CentrePixel(), 0x0000FFu);
    platform.SetPointer({510, 400});
    Tick();
    EXPECT_EQ(CentrePixel(), 0xFF0000u);
}

} // namespace

namespace {

// The "Exit" button as the stored description places it.
TEST_F(MainWindowTest, ExitButtonComesFromItsStoredEntryAndClosesTheProgram) {
    TLvXPButton* exit = form->LvXPButton1;
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->BoundsRect(), Bounds(164, 264, 85, 21));
    EXPECT_EQ(exit->Anchors(), AnchorBit(akRight) | AnchorBit(akBottom));
    EXPECT_EQ(exit->Caption(), "Exit");
    EXPECT_EQ(exit->TabOrder, 3);
    EXPECT_TRUE(exit->TabStop);
    ASSERT_NE(exit->Glyph()->Graphic(), nullptr);
    EXPECT_EQ(exit->Glyph()->Width(), 16);
    EXPECT_EQ(exit->Glyph()->Height(), 16);
    // A red cross on white: the centre is red, the corner white.
    const PixelSurface& glyph = exit->Glyph()->Bitmap()->Pixels();
    EXPECT_EQ(glyph.Pixel(7, 7), 0xFF0000u);
    EXPECT_EQ(glyph.Pixel(0, 15), 0xFFFFFFu);
    EXPECT_EQ(exit->Color(), clSilver);
    exit->Click();
    app->ProcessMessages();
    EXPECT_TRUE(app->Terminated());
}

} // namespace
