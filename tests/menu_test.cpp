// Menus: choosing items (check marks, radio groups), automatic accelerators, the pop-up's placement,
// its keyboard and mouse rules, its drawing, and how a right click finds the menu to open.
#include "framework/controls/menus.h"
#include "framework/core/exceptions.h"
#include "framework/forms/popup_menu_tracker.h"
#include "framework/forms/popup_menu_window.h"
#include "headless_fixture.h"

#include <memory>
#include <string>
#include <vector>

namespace {

TMenuItem* AddItem(TMenuItem* parent, const std::string& caption, bool radio = false, bool checked = false) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    item->AutoCheck = radio;
    item->SetRadioItem(radio);
    item->SetChecked(checked);
    parent->Add(item);
    return item;
}

// The main window's menu shape: two submenus, each a radio group.
struct CrosshairMenu {
    TPopupMenu menu{nullptr};
    TMenuItem* crosshair = AddItem(menu.Items(), "Crosshair");
    TMenuItem* on = AddItem(crosshair, "On", true, true);
    TMenuItem* off = AddItem(crosshair, "Off", true);
    TMenuItem* colour = AddItem(menu.Items(), "Crosshair Color");
    TMenuItem* blue = AddItem(colour, "Blue", true, true);
    TMenuItem* red = AddItem(colour, "Red", true);
    TMenuItem* black = AddItem(colour, "Black", true);
};

TEST(MenuItem, ChoosingFlipsTheMarkUnmarksTheRadioGroupThenRunsTheHandler) {
    CrosshairMenu m;
    std::vector<bool> seenByHandler;
    m.red->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, m.red);
        seenByHandler.push_back(m.red->Checked());
    };
    m.red->Click();
    EXPECT_TRUE(m.red->Checked());
    EXPECT_FALSE(m.blue->Checked());
    EXPECT_FALSE(m.black->Checked());
    // The other submenu is a separate group even with the same group index.
    EXPECT_TRUE(m.on->Checked());
    // Choosing the marked item again unmarks it and leaves its group empty.
    m.red->Click();
    EXPECT_FALSE(m.red->Checked());
    EXPECT_FALSE(m.blue->Checked());
    EXPECT_EQ(seenByHandler, (std::vector<bool>{true, false}));
}

TEST(MenuItem, DisabledItemsDoNothingAndGroupIndexSplitsRadioGroups) {
    CrosshairMenu m;
    int clicks = 0;
    m.off->OnClick = [&](TObject*) { ++clicks; };
    m.off->Enabled = false;
    m.off->Click();
    EXPECT_FALSE(m.off->Checked());
    EXPECT_EQ(clicks, 0);

    // Radio items with another group index, and plain checked items, keep their marks.
    TMenuItem* other = AddItem(m.colour, "Other", true, true);
    other->SetGroupIndex(1);
    TMenuItem* plain = AddItem(m.colour, "Plain", false, true);
    m.black->Click();
    EXPECT_TRUE(m.black->Checked());
    EXPECT_FALSE(m.blue->Checked());
    EXPECT_TRUE(other->Checked());
    EXPECT_TRUE(plain->Checked());
    // Without AutoCheck the mark stays as it is and only the handler runs.
    plain->Click();
    EXPECT_TRUE(plain->Checked());
}

TEST(MenuItem, AutomaticAcceleratorsTakeTheFirstFreeLetterOrDigitAtEachLevel) {
    CrosshairMenu m;
    m.menu.Items()->AssignAutoAccelerators();
    m.crosshair->AssignAutoAccelerators();
    m.colour->AssignAutoAccelerators();
    EXPECT_EQ(m.crosshair->Accelerator(), 'C');
    EXPECT_EQ(m.colour->Accelerator(), 'R');
    EXPECT_EQ(m.colour->AcceleratorIndex(), 1);
    EXPECT_EQ(m.on->Accelerator(), 'O');
    EXPECT_EQ(m.off->Accelerator(), 'F');
    EXPECT_EQ(m.blue->Accelerator(), 'B');
    EXPECT_EQ(m.red->Accelerator(), 'R');
    EXPECT_EQ(m.black->Accelerator(), 'L');

    // Hidden items and separators take no letter; punctuation is skipped; digits count; a caption
    // whose characters are all taken gets none.
    TPopupMenu menu(nullptr);
    TMenuItem* hidden = AddItem(menu.Items(), "Alpha");
    hidden->Visible = false;
    TMenuItem* a = AddItem(menu.Items(), "-a");
    TMenuItem* line = AddItem(menu.Items(), "-");
    TMenuItem* digit = AddItem(menu.Items(), "1st");
    TMenuItem* none = AddItem(menu.Items(), "A1");
    menu.Items()->AssignAutoAccelerators();
    EXPECT_EQ(hidden->Accelerator(), 0);
    EXPECT_EQ(a->Accelerator(), 'A');
    EXPECT_EQ(a->AcceleratorIndex(), 1);
    EXPECT_EQ(line->Accelerator(), 0);
    EXPECT_EQ(digit->Accelerator(), '1');
    EXPECT_EQ(none->Accelerator(), 0);
    EXPECT_EQ(none->AcceleratorIndex(), -1);
}

TEST(MenuItem, DestroyingAnItemTakesItsSubItemsAndLeavesItsParent) {
    CrosshairMenu m;
    delete m.colour;
    ASSERT_EQ(m.menu.Items()->Count(), 1);
    EXPECT_EQ(m.menu.Items()->Items(0), m.crosshair);
    delete m.off;
    EXPECT_EQ(m.crosshair->Count(), 1);
    EXPECT_THROW(m.on->Add(m.crosshair), EInvalidOperation); // no cycles
}

TEST(PopupPlacement, OpensAtThePointAndFlipsOrShiftsToStayOnTheDisplay) {
    const TSize display{1024, 768};
    const TSize size{120, 50};
    EXPECT_EQ(PlacePopupMenu({100, 200}, size, display), Bounds(100, 200, 120, 50));
    // Near the right and bottom edges the menu opens to the left of and above the point.
    EXPECT_EQ(PlacePopupMenu({1000, 750}, size, display), Bounds(880, 700, 120, 50));
    // Exactly fitting stays; a menu larger than the display starts at its edge.
    EXPECT_EQ(PlacePopupMenu({904, 718}, size, display), Bounds(904, 718, 120, 50));
    EXPECT_EQ(PlacePopupMenu({50, 50}, {2000, 50}, display), Bounds(0, 50, 2000, 50));
    // Flipping that would leave the display at the other side shifts inside instead.
    EXPECT_EQ(PlacePopupMenu({60, 10}, {1000, 50}, display), Bounds(24, 10, 1000, 50));

    const TRect parent = Bounds(700, 100, 150, 60);
    const TRect item = Bounds(703, 120, 144, 19);
    EXPECT_EQ(PlaceSubmenu(parent, item, {100, 40}, display).Left, 847);
    EXPECT_EQ(PlaceSubmenu(parent, item, {100, 40}, display).Top, 117);
    // No room on the right: it opens on the left of the parent; no room below: it moves up.
    EXPECT_EQ(PlaceSubmenu(parent, item, {100, 40}, {900, 768}).Left, 603);
    EXPECT_EQ(PlaceSubmenu(parent, item, {100, 40}, {1024, 140}).Top, 100);

    // On a monitor left of the primary the menu stays on that monitor's work area.
    const TRect left{-800, 0, 0, 570};
    EXPECT_EQ(PlacePopupMenuIn({-50, 560}, size, left), Bounds(-170, 510, 120, 50));
    EXPECT_EQ(PlacePopupMenuIn({-790, 10}, {1000, 50}, left), Bounds(-800, 10, 1000, 50));
    EXPECT_EQ(PlaceSubmenuIn(Bounds(-200, 100, 150, 60), Bounds(-197, 120, 144, 19), {100, 40}, left, 3).Left,
              -297);
}

class PopupTest : public ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        tracker = std::make_unique<TPopupMenuTracker>(*m.menu.Items());
    }
    void TearDown() override {
        tracker.reset();
        ApplicationTest::TearDown();
    }
    void Open(TPoint at) {
        tracker->Open(at);
        app->ProcessMessages();
    }
    TPopupMenuWindow& Level(int i) { return tracker->Level(i); }
    // Sends input the way the platform does, to the first level's window (which holds the capture).
    void Send(PlatformEvent::Kind kind, TPoint screen, PointerButton button = PointerButton::Left) {
        PlatformEvent e;
        e.kind = kind;
        e.window = Level(0).PlatformWindow();
        e.position = {screen.X - Level(0).Left(), screen.Y - Level(0).Top()};
        e.screenPosition = screen;
        e.button = button;
        platform.PostEvent(e);
        app->ProcessMessages();
    }
    void Key(std::uint16_t key) {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::KeyDown;
        e.window = tracker->LevelCount() > 0 ? Level(0).PlatformWindow() : 0;
        e.virtualKey = key;
        platform.PostEvent(e);
        app->ProcessMessages();
    }
    // The screen point at the middle of a row of an open level.
    TPoint RowCentre(int level, int row) {
        const TRect r = Level(level).RowRect(row);
        return Level(level).ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    const HeadlessPlatform::Window& PlatformWindowOf(int level) {
        return *platform.FindWindow(Level(level).PlatformWindow());
    }

    CrosshairMenu m;
    std::unique_ptr<TPopupMenuTracker> tracker;
};

TEST_F(PopupTest, OpensAsAPopUpWindowAtThePointWithTheMouseCaptured) {
    Open({300, 200});
    ASSERT_EQ(tracker->LevelCount(), 1);
    const auto& w = PlatformWindowOf(0);
    EXPECT_EQ(w.params.kind, WindowKind::Popup);
    EXPECT_EQ(w.state, ShowState::Normal);
    EXPECT_EQ(w.outerBounds.Left, 300);
    EXPECT_EQ(w.outerBounds.Top, 200);
    EXPECT_EQ(Level(0).RowCount(), 2);
    EXPECT_EQ(Level(0).RowItem(0)->Caption(), "Crosshair");
    EXPECT_EQ(Level(0).RowItem(1)->Caption(), "Crosshair Color");
    EXPECT_EQ(GetCaptureControl(), &Level(0));
    EXPECT_EQ(app->InputCaptureForm(), &Level(0));

    Key(VK_ESCAPE);
    EXPECT_FALSE(tracker->Active());
    EXPECT_EQ(tracker->Chosen(), nullptr);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(app->InputCaptureForm(), nullptr);
}

TEST_F(PopupTest, StaysOnTheDisplayNearTheRightAndBottomEdges) {
    Open({1020, 765});
    TRect first = PlatformWindowOf(0).outerBounds;
    EXPECT_EQ(first.Right, 1020);
    EXPECT_EQ(first.Bottom, 765);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    ASSERT_EQ(tracker->LevelCount(), 2);
    const TRect sub = PlatformWindowOf(1).outerBounds;
    EXPECT_LE(sub.Right, first.Left + TPopupMenuWindow::kBorderLines); // opened on the left side
    EXPECT_GE(sub.Left, 0);
    EXPECT_LE(sub.Bottom, 768);
}

TEST_F(PopupTest, KeyboardMovesOpensClosesAndChooses) {
    Open({100, 100});
    Key(VK_DOWN);
    EXPECT_EQ(Level(0).Highlighted(), 0);
    Key(VK_UP); // wraps round
    EXPECT_EQ(Level(0).Highlighted(), 1);
    Key(VK_RIGHT);
    ASSERT_EQ(tracker->LevelCount(), 2);
    EXPECT_EQ(&Level(1).Level(), m.colour);
    EXPECT_EQ(Level(1).Highlighted(), 0);
    Key(VK_LEFT);
    EXPECT_EQ(tracker->LevelCount(), 1);
    EXPECT_EQ(Level(0).Highlighted(), 1);
    Key(VK_RETURN); // on a submenu item Enter opens it
    ASSERT_EQ(tracker->LevelCount(), 2);
    Key(VK_DOWN);
    Key(VK_ESCAPE); // closes one level only
    EXPECT_EQ(tracker->LevelCount(), 1);
    EXPECT_TRUE(tracker->Active());
    Key(VK_RETURN);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(tracker->Active());
    EXPECT_EQ(tracker->Chosen(), m.red);
    EXPECT_FALSE(m.red->Checked()); // the tracker only picks; the item is chosen once the menu is gone
}

TEST_F(PopupTest, AcceleratorLettersOpenSubmenusAndChooseItems) {
    Open({100, 100});
    Key('R');
    ASSERT_EQ(tracker->LevelCount(), 2);
    EXPECT_EQ(&Level(1).Level(), m.colour);
    Key('L');
    EXPECT_EQ(tracker->Chosen(), m.black);

    tracker = std::make_unique<TPopupMenuTracker>(*m.menu.Items());
    Open({100, 100});
    Key('C');
    Key('Q'); // no such accelerator: nothing
    EXPECT_TRUE(tracker->Active());
    Key('F');
    EXPECT_EQ(tracker->Chosen(), m.off);
}

TEST_F(PopupTest, HoverHighlightsAndOpensSubmenusClickChoosesClickOutsideCloses) {
    Open({100, 100});
    Send(PlatformEvent::Kind::MouseMove, RowCentre(0, 0));
    EXPECT_EQ(Level(0).Highlighted(), 0);
    ASSERT_EQ(tracker->LevelCount(), 2);
    EXPECT_EQ(&Level(1).Level(), m.crosshair);
    EXPECT_EQ(Level(1).Highlighted(), -1);
    // Moving to the other entry swaps the submenu.
    Send(PlatformEvent::Kind::MouseMove, RowCentre(0, 1));
    ASSERT_EQ(tracker->LevelCount(), 2);
    EXPECT_EQ(&Level(1).Level(), m.colour);
    Send(PlatformEvent::Kind::MouseMove, RowCentre(1, 2));
    EXPECT_EQ(Level(1).Highlighted(), 2);
    EXPECT_EQ(Level(0).Highlighted(), 1); // the way there stays lit
    // A press and release over an item chooses it (either button).
    Send(PlatformEvent::Kind::MouseDown, RowCentre(1, 2), PointerButton::Right);
    EXPECT_TRUE(tracker->Active());
    Send(PlatformEvent::Kind::MouseUp, RowCentre(1, 2), PointerButton::Right);
    EXPECT_EQ(tracker->Chosen(), m.black);
    EXPECT_EQ(GetCaptureControl(), nullptr);

    tracker = std::make_unique<TPopupMenuTracker>(*m.menu.Items());
    Open({100, 100});
    Send(PlatformEvent::Kind::MouseDown, {600, 600});
    EXPECT_FALSE(tracker->Active());
    EXPECT_EQ(tracker->Chosen(), nullptr);
}

TEST_F(PopupTest, InputForOtherWindowsIsRedirectedToTheMenu) {
    TForm* other = new TForm(app.get());
    other->SetBounds(500, 500, 200, 200);
    other->Show();
    Open({100, 100});
    // A key sent to another window of the program still drives the menu.
    PlatformEvent key;
    key.kind = PlatformEvent::Kind::KeyDown;
    key.window = other->PlatformWindow();
    key.virtualKey = 'C';
    platform.PostEvent(key);
    app->ProcessMessages();
    ASSERT_EQ(tracker->LevelCount(), 2);
    // A click in the other window is outside the menu: it closes it.
    PlatformEvent click;
    click.kind = PlatformEvent::Kind::MouseDown;
    click.window = other->PlatformWindow();
    click.position = {10, 10};
    platform.PostEvent(click);
    app->ProcessMessages();
    EXPECT_FALSE(tracker->Active());
}

TEST_F(PopupTest, DrawsTheClassicLookAtTheScaleOfItsMonitor) {
    m.off->Enabled = false;
    // At 200 % every length doubles and each pixel of a line or glyph becomes a 2 x 2 square.
    for (const std::int32_t dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        const int f = dpi / 96;
        platform.SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true, dpi}});
        Open({100, 100});
        Key(VK_DOWN);
        Key(VK_RIGHT);
        app->ProcessMessages();
        ASSERT_EQ(tracker->LevelCount(), 2);
        const PixelSurface& top = PlatformWindowOf(0).surface;
        const PixelSurface& sub = PlatformWindowOf(1).surface;
        const int w = top.Width();
        EXPECT_EQ(Level(1).PixelsPerInch, dpi); // a submenu keeps its parent's scale
        // Raised border: light outer top-left, dark outer bottom-right, each edge f pixels wide.
        for (int x = 0; x < f; ++x) {
            EXPECT_EQ(top.Pixel(x, 5 * f), ColorToPixel(cl3DLight));
            EXPECT_EQ(top.Pixel(w - 1 - x, 5 * f), ColorToPixel(cl3DDkShadow));
            EXPECT_EQ(top.Pixel(f + x, 5 * f), ColorToPixel(clBtnHighlight));
        }
        // The highlighted row is filled with the selection colour, the others with the menu colour.
        const TRect lit = Level(0).RowRect(0);
        const TRect unlit = Level(0).RowRect(1);
        EXPECT_EQ(lit.Left, 3 * f);
        EXPECT_EQ(lit.Height(), MulDiv(19, dpi, 96)); // the text's height and 6, scaled
        EXPECT_EQ(top.Pixel(lit.Left + 1, lit.Top + 1), ColorToPixel(clHighlight));
        EXPECT_EQ(top.Pixel(unlit.Left + 1, unlit.Top + 1), ColorToPixel(clMenu));
        auto countIn = [](const PixelSurface& s, const TRect& r, std::uint32_t pixel) {
            int n = 0;
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x) n += s.Pixel(x, y) == pixel;
            return n;
        };
        // Submenu arrows on both entries: highlight text colour on the lit row, menu text on the other.
        const int arrowColumn = 16 * f, checkColumn = 20 * f;
        const TRect litArrow{lit.Right - arrowColumn, lit.Top, lit.Right, lit.Bottom};
        const TRect unlitArrow{unlit.Right - arrowColumn, unlit.Top, unlit.Right, unlit.Bottom};
        EXPECT_EQ(countIn(top, litArrow, ColorToPixel(clHighlightText)), 16 * f * f);
        EXPECT_EQ(countIn(top, unlitArrow, ColorToPixel(clMenuText)), 16 * f * f);
        // The radio bullet of the marked "On" (highlighted, so in highlight text), none for "Off",
        // whose caption is greyed.
        const TRect on = Level(1).RowRect(0);
        const TRect off = Level(1).RowRect(1);
        EXPECT_EQ(
            countIn(sub, {on.Left, on.Top, on.Left + checkColumn, on.Bottom}, ColorToPixel(clHighlightText)),
            24 * f * f);
        EXPECT_EQ(
            countIn(sub, {off.Left, off.Top, off.Left + checkColumn, off.Bottom}, ColorToPixel(clMenuText)),
            0);
        EXPECT_GT(countIn(sub, off, ColorToPixel(clGrayText)), 0);
        EXPECT_EQ(countIn(sub, off, ColorToPixel(clMenuText)), 0);
        // The accelerator of "Crosshair Color" (its second character, R) is underlined below the
        // text, f pixels thick, with text measured at the scaled size.
        const FontSpec font = Level(0).Font()->Spec();
        const FontMetrics metrics = platform.GetFontMetrics(font);
        EXPECT_EQ(-font.height, MulDiv(11, dpi, 96));
        const int textX = unlit.Left + checkColumn;
        const int textY = unlit.Top + (unlit.Height() - metrics.height) / 2;
        const int underlineY = textY + metrics.ascent + f;
        const int rLeft = textX + platform.MeasureText(font, "C");
        for (int y = underlineY; y < underlineY + f; ++y)
            EXPECT_EQ(top.Pixel(rLeft, y), ColorToPixel(clMenuText));
        EXPECT_EQ(top.Pixel(rLeft, underlineY + f), ColorToPixel(clMenu));
        EXPECT_EQ(top.Pixel(rLeft - 2, underlineY), ColorToPixel(clMenu));
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
        ASSERT_FALSE(tracker->Active());
    }
}

// Right clicks: the control under the pointer uses its own menu, else asks its parent.
class ContextMenuTest : public ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        form = new TForm(app.get());
        form->SetBounds(100, 100, 300, 300);
        plain = new TCustomControl(form);
        plain->SetParent(form);
        plain->SetBounds(0, 0, 100, 100);
        own = new TCustomControl(form);
        own->SetParent(form);
        own->SetBounds(150, 0, 100, 100);
        // Menus without entries report the request and close at once.
        formMenu = new TPopupMenu(form);
        formMenu->OnPopup = [this](TObject*) { opened.push_back("form"); };
        ownMenu = new TPopupMenu(form);
        ownMenu->OnPopup = [this](TObject*) { opened.push_back("own"); };
        form->SetPopupMenu(formMenu);
        own->SetPopupMenu(ownMenu);
        form->Show();
        app->ProcessMessages();
    }
    void RightClick(TPoint client) {
        for (auto kind : {PlatformEvent::Kind::MouseDown, PlatformEvent::Kind::MouseUp}) {
            PlatformEvent e;
            e.kind = kind;
            e.window = form->PlatformWindow();
            e.button = PointerButton::Right;
            e.position = client;
            platform.PostEvent(e);
        }
        app->ProcessMessages();
    }
    TForm* form = nullptr;
    TCustomControl* plain = nullptr;
    TCustomControl* own = nullptr;
    TPopupMenu* formMenu = nullptr;
    TPopupMenu* ownMenu = nullptr;
    std::vector<std::string> opened;
};

TEST_F(ContextMenuTest, ControlsPassTheRequestUpUnlessTheyHaveTheirOwnMenu) {
    RightClick({50, 50});
    RightClick({200, 50});
    RightClick({50, 200}); // the bare window
    EXPECT_EQ(opened, (std::vector<std::string>{"form", "own", "form"}));
    EXPECT_EQ(formMenu->PopupComponent, form);
    EXPECT_EQ(ownMenu->PopupComponent, own);
    // The menu opens at the pointer, in screen coordinates.
    const TPoint expected = form->ClientToScreen({50, 200});
    EXPECT_EQ(formMenu->PopupPoint(), expected);
    // A menu with AutoPopup off is not opened by a right click: the request goes on to the parent.
    ownMenu->AutoPopup = false;
    RightClick({200, 50});
    EXPECT_EQ(opened.back(), "form");
    EXPECT_EQ(opened.size(), 4u);
}

TEST_F(ContextMenuTest, AControlForgetsAMenuThatIsDestroyed) {
    auto* foreign = new TPopupMenu(nullptr);
    plain->SetPopupMenu(foreign);
    delete foreign;
    EXPECT_EQ(plain->PopupMenu, nullptr);
    RightClick({50, 50});
    EXPECT_EQ(opened, (std::vector<std::string>{"form"}));
}

} // namespace
