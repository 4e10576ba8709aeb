// The accessibility tree of the main window and its pop-up menu, as a screen reader reads it
// through the headless stand-in client, and the events raised as the user works.
#include "framework/controls/caret.h"
#include "framework/controls/control_accessible.h"
#include "framework/forms/application.h"
#include "framework/forms/popup_menu_tracker.h"
#include "framework/forms/popup_menu_window.h"
#include "framework/platform/headless/headless_accessibility.h"
#include "main_window_fixture.h"

#include <gtest/gtest.h>

namespace {

std::vector<AccessibleNode*> ChildrenOf(AccessibleNode* node) { return node->Children(); }

} // namespace

class AccessibilityTest : public MainWindowFixture {
protected:
    AccessibleNode& Root() {
        AccessibleNode* root = HeadlessAccessibilityClient::Root(main->PlatformWindow());
        EXPECT_NE(root, nullptr);
        return *root;
    }
    AccessibleNode& NodeOf(TControl* control) { return control->Accessible(); }
};

TEST(AccessibleCaptions, NamesAndShortcutsFromCaptions) {
    struct Case {
        const char* caption;
        const char* shown;
        const char* name;
        const char* shortcut;
    };
    const Case cases[] = {
        {"Zoom Power:", "Zoom Power:", "Zoom Power", ""},
        {"&Exit", "Exit", "Exit", "Alt+E"},
        {"Save &as:", "Save as:", "Save as", "Alt+A"},
        {"A&&B", "A&B", "A&B", ""},
        {"&&x &y", "&x y", "&x y", "Alt+Y"},
        {"trailing&", "trailing&", "trailing&", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(accessibility::StripAccelerators(c.caption), c.shown);
        EXPECT_EQ(accessibility::NameFromCaption(c.caption), c.name);
        EXPECT_EQ(accessibility::ShortcutFromCaption(c.caption), c.shortcut);
    }
}

TEST_F(AccessibilityTest, TheWindowReadsAsAFrameWithItsControlsInReadingOrder) {
    AccessibleNode& root = Root();
    const AccessibleDescription frame = root.Describe();
    EXPECT_EQ(frame.role, AccessibleRole::Frame);
    EXPECT_EQ(frame.name, "Lentaro");
    EXPECT_TRUE(frame.states & kAccessibleActive);
    EXPECT_EQ(root.ScreenBounds(), main->BoundsRect());
    EXPECT_EQ(root.Parent(), nullptr);
    EXPECT_EQ(root.Window(), main->PlatformWindow());

    struct Expected {
        TControl* control;
        AccessibleRole role;
        const char* name;
        const char* value;
        std::uint32_t states; // of those in kChecked
    };
    constexpr std::uint32_t kChecked = kAccessibleFocusable | kAccessibleFocused | kAccessibleReadOnly |
                                       kAccessibleUnavailable | kAccessibleDefault | kAccessibleEditable;
    const Expected expected[] = {
        {main->zfm, AccessibleRole::Image, "Magnified view", "", 0},
        {main->Label1, AccessibleRole::Label, "Zoom Power:", "", 0},
        {main->powerZ, AccessibleRole::SpinButton, "Zoom Power", "200%",
         kAccessibleFocusable | kAccessibleFocused | kAccessibleEditable},
        {main->Label2, AccessibleRole::Label, "Crosshair Size:", "", 0},
        {main->crossS, AccessibleRole::SpinButton, "Crosshair Size", "20 pixels",
         kAccessibleFocusable | kAccessibleEditable},
        {main->LvXPButton1, AccessibleRole::PushButton, "Exit", "", kAccessibleFocusable},
    };
    const std::vector<AccessibleNode*> children = ChildrenOf(&root);
    ASSERT_EQ(children.size(), std::size(expected));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(children[i], &NodeOf(e.control));
        const AccessibleDescription d = children[i]->Describe();
        EXPECT_EQ(d.role, e.role);
        EXPECT_EQ(d.name, e.name);
        EXPECT_EQ(d.value, e.value);
        EXPECT_EQ(d.states & kChecked, e.states);
        EXPECT_EQ(children[i]->Parent(), &root);
        EXPECT_EQ(AccessibleIndexInParent(*children[i]), static_cast<int>(i));
        const TPoint topLeft = e.control->ClientToScreen({0, 0});
        EXPECT_EQ(children[i]->ScreenBounds(),
                  Bounds(topLeft.X, topLeft.Y, e.control->Width(), e.control->Height()));
        // Every node can be found at its own centre.
        const TRect b = children[i]->ScreenBounds();
        EXPECT_EQ(AccessibleHitTest(root, {b.Left + b.Width() / 2, b.Top + b.Height() / 2}), children[i]);
    }
    EXPECT_EQ(AccessibleHitTest(root, {root.ScreenBounds().Right + 5, 0}), nullptr);
    EXPECT_EQ(AccessibleFocusedNode(root), &NodeOf(main->powerZ));

    // Labels and the fields they name point at each other; the spin edit's button is no node.
    EXPECT_EQ(NodeOf(main->powerZ).LabelledBy(), &NodeOf(main->Label1));
    EXPECT_EQ(NodeOf(main->Label2).LabelFor(), &NodeOf(main->crossS));
    EXPECT_EQ(NodeOf(main->LvXPButton1).LabelledBy(), nullptr);
    EXPECT_TRUE(NodeOf(main->powerZ).Children().empty());

    const AccessibleDescription exit = NodeOf(main->LvXPButton1).Describe();
    EXPECT_EQ(exit.defaultAction, "Press");
    const AccessibleDescription power = NodeOf(main->powerZ).Describe();
    ASSERT_TRUE(power.range.has_value());
    EXPECT_EQ(power.range->current, 200);
    EXPECT_EQ(power.range->minimum, 0);
    EXPECT_EQ(power.range->maximum, 1000);
    EXPECT_EQ(power.range->step, 1);
    // The whole text is selected at the start: offsets from 0, the caret at the end.
    ASSERT_TRUE(power.text.has_value());
    EXPECT_EQ(power.text->text, "200%");
    EXPECT_EQ(power.text->selectionStart, 0);
    EXPECT_EQ(power.text->selectionEnd, 4);
}

TEST_F(AccessibilityTest, StatesFollowTheControls) {
    main->LvXPButton1->SetDefault(true);
    main->crossS->SetReadOnly(true);
    main->powerZ->SetEnabled(false);
    EXPECT_TRUE(NodeOf(main->LvXPButton1).Describe().states & kAccessibleDefault);
    const std::uint32_t cross = NodeOf(main->crossS).Describe().states;
    EXPECT_TRUE(cross & kAccessibleReadOnly);
    EXPECT_FALSE(cross & kAccessibleEditable);
    const std::uint32_t power = NodeOf(main->powerZ).Describe().states;
    EXPECT_TRUE(power & kAccessibleUnavailable);
    EXPECT_FALSE(power & kAccessibleFocusable);
    // A hidden control leaves the tree.
    main->Label2->SetVisible(false);
    const std::vector<AccessibleNode*> children = Root().Children();
    EXPECT_EQ(std::count(children.begin(), children.end(), &NodeOf(main->Label2)), 0);
    EXPECT_EQ(NodeOf(main->crossS).LabelledBy(), &NodeOf(main->Label2)); // still its name
    EXPECT_EQ(NodeOf(main->crossS).Describe().name, "Crosshair Size");
}

TEST_F(AccessibilityTest, NothingIsMadeBeforeAClientAsks) {
    // The fixture's start, typing and tabbing made no node while nobody listened.
    Type("5");
    Press(VK_TAB);
    for (TControl* c : std::initializer_list<TControl*>{main, main->zfm, main->Label1, main->powerZ,
                                                        main->crossS, main->LvXPButton1})
        EXPECT_FALSE(c->HasAccessible()) << c->Name();
    EXPECT_FALSE(AccessibleEventsWanted());
}

TEST_F(AccessibilityTest, FocusTextValueAndCaretEventsFollowTheUser) {
    HeadlessAccessibilityClient client;
    Press(VK_TAB);
    auto focus = client.EventsOf(AccessibleEvent::Focus);
    ASSERT_EQ(focus.size(), 1u);
    EXPECT_EQ(focus[0].node, NodeOf(main->crossS).Id());
    EXPECT_EQ(focus[0].window, main->PlatformWindow());
    EXPECT_EQ(focus[0].name, "Crosshair Size");

    client.Clear();
    Press(VK_BACK); // the whole number was selected on entry
    Type("7");
    EXPECT_EQ(main->crossS->Text(), "7 pixels");
    const auto values = client.EventsOf(AccessibleEvent::ValueChanged);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.back().node, NodeOf(main->crossS).Id());
    EXPECT_EQ(client.EventsOf(AccessibleEvent::TextChanged).size(), values.size());
    // The caret stands behind the 7, and its rectangle is where the toolkit's caret is drawn.
    const auto carets = client.EventsOf(AccessibleEvent::CaretMoved);
    ASSERT_FALSE(carets.empty());
    // Only moves are told, not each hiding and showing round a drawing.
    for (std::size_t i = 1; i < carets.size(); ++i) EXPECT_NE(carets[i].caret, carets[i - 1].caret);
    ASSERT_TRUE(carets.back().caret.has_value());
    const TPoint caretOnScreen = main->crossS->ClientToScreen(caret::Position());
    EXPECT_EQ(carets.back().caret->Left, caretOnScreen.X);
    EXPECT_EQ(carets.back().caret->Top, caretOnScreen.Y);
    EXPECT_EQ(carets.back().caret->Height(), caret::Size().cy);
    EXPECT_EQ(NodeOf(main->crossS).Describe().text->caretOffset, 1);
    EXPECT_TRUE(NodeOf(main->crossS).ScreenBounds().Contains(caretOnScreen));

    // The window losing and regaining activation tells of the frame, then of the focus inside.
    client.Clear();
    main->SetActive(false);
    main->SetActive(true);
    ASSERT_GE(client.Events().size(), 2u);
    EXPECT_EQ(client.Events()[0].event, AccessibleEvent::WindowActivated);
    EXPECT_EQ(client.Events()[0].node, Root().Id());
    focus = client.EventsOf(AccessibleEvent::Focus);
    ASSERT_EQ(focus.size(), 1u);
    EXPECT_EQ(focus[0].node, NodeOf(main->crossS).Id());
}

TEST_F(AccessibilityTest, SettingAValueGoesThroughTheChecksOfTyping) {
    struct Case {
        const char* value;
        AccessibleSetResult result;
        const char* text; // afterwards, where done (refused: unchanged)
    };
    const Case cases[] = {
        {"300", AccessibleSetResult::Done, "300%"},
        {"450%", AccessibleSetResult::Done, "450%"}, // with its own suffix
        {"abc", AccessibleSetResult::Refused, ""},
        {"12a", AccessibleSetResult::Refused, ""},
        {"1 0", AccessibleSetResult::Refused, ""},
        {"5-", AccessibleSetResult::Refused, ""},
        {"", AccessibleSetResult::Refused, ""},
        {"-", AccessibleSetResult::Refused, ""},
        {"%", AccessibleSetResult::Refused, ""},
        {"123456789012345678901", AccessibleSetResult::Refused, ""}, // longer than any paste
        {"-7", AccessibleSetResult::Done, "-7%"},                    // kept while typed, as typing keeps it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const std::string before = main->powerZ->Text();
        EXPECT_EQ(NodeOf(main->powerZ).SetValue(c.value), c.result);
        EXPECT_EQ(main->powerZ->Text(), c.result == AccessibleSetResult::Done ? c.text : before);
    }
    // The value reaches the view as typing does; set while the edit is not focused it is committed
    // (clamped) at once, as leaving the edit would.
    EXPECT_EQ(NodeOf(main->powerZ).SetValue("300"), AccessibleSetResult::Done);
    EXPECT_EQ(main->zfm->ZoomLevel(), 33);
    EXPECT_EQ(NodeOf(main->crossS).SetValue("5000"), AccessibleSetResult::Done);
    EXPECT_EQ(main->crossS->Text(), "100 pixels");
    EXPECT_EQ(main->zfm->CrosshairSize, 100);

    main->crossS->SetReadOnly(true);
    EXPECT_EQ(NodeOf(main->crossS).SetValue("7"), AccessibleSetResult::Refused);
    main->powerZ->SetEnabled(false);
    EXPECT_EQ(NodeOf(main->powerZ).SetValue("7"), AccessibleSetResult::Refused);
    EXPECT_EQ(NodeOf(main->Label1).SetValue("7"), AccessibleSetResult::NotSupported);
    EXPECT_EQ(main->powerZ->Text(), "300%");
}

TEST_F(AccessibilityTest, PressingExitEndsTheProgramAndGoneNodesAreNotFound) {
    EXPECT_FALSE(NodeOf(main->zfm).DoDefaultAction());
    main->LvXPButton1->SetEnabled(false);
    EXPECT_FALSE(NodeOf(main->LvXPButton1).DoDefaultAction());
    EXPECT_FALSE(app->Terminated());
    main->LvXPButton1->SetEnabled(true);
    EXPECT_TRUE(NodeOf(main->crossS).SetFocus());
    EXPECT_EQ(main->ActiveControl(), main->crossS);
    EXPECT_TRUE(NodeOf(main->LvXPButton1).DoDefaultAction());
    app->ProcessMessages();
    EXPECT_TRUE(app->Terminated());

    const AccessibleId label = NodeOf(main->Label2).Id();
    EXPECT_EQ(FindAccessible(label), &NodeOf(main->Label2));
    delete main->Label2;
    main->Label2 = nullptr;
    EXPECT_EQ(FindAccessible(label), nullptr);
    EXPECT_EQ(NodeOf(main->crossS).LabelledBy(), nullptr);
    EXPECT_EQ(NodeOf(main->crossS).Describe().name, "");
}

TEST_F(AccessibilityTest, AnOpenMenuReadsAsAPopupOfItsItems) {
    HeadlessAccessibilityClient client;
    std::vector<AccessibleDescription> items;
    std::vector<AccessibleNode*> popups;
    // Reads each level as it opens: the first, then (after Down and Right) its submenu; then Escape
    // twice closes both.
    const auto key = [&](WindowId window, std::uint16_t virtualKey) {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::KeyDown;
        e.window = window;
        e.virtualKey = virtualKey;
        platform.PostEvent(e);
    };
    platform.waitHook = [&] {
        TPopupMenuTracker* tracker = main->PopupMenu1->Tracker();
        const int level = static_cast<int>(popups.size());
        if (tracker == nullptr || tracker->LevelCount() <= level || level >= 2) return;
        AccessibleNode* popup = HeadlessAccessibilityClient::Root(tracker->Level(level).PlatformWindow());
        popups.push_back(popup);
        for (AccessibleNode* item : popup->Children()) items.push_back(item->Describe());
        const WindowId first = tracker->Level(0).PlatformWindow();
        if (level == 0) {
            key(first, VK_DOWN);
            key(first, VK_RIGHT);
        } else {
            key(first, VK_ESCAPE);
            key(first, VK_ESCAPE);
        }
    };
    RightClick(100, 100);
    platform.waitHook = nullptr;

    ASSERT_EQ(popups.size(), 2u);
    struct Expected {
        AccessibleRole role;
        const char* name;
        std::uint32_t states; // of HasPopup, Checked, Focused
    };
    const Expected expected[] = {
        {AccessibleRole::MenuItem, "Crosshair", kAccessibleHasPopup}, // read before Down
        {AccessibleRole::MenuItem, "Crosshair Color", kAccessibleHasPopup},
        {AccessibleRole::RadioMenuItem, "On", kAccessibleChecked | kAccessibleFocused},
        {AccessibleRole::RadioMenuItem, "Off", 0},
    };
    ASSERT_EQ(items.size(), std::size(expected));
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(items[i].role, expected[i].role);
        EXPECT_EQ(items[i].name, expected[i].name);
        EXPECT_EQ(items[i].states & (kAccessibleHasPopup | kAccessibleChecked | kAccessibleFocused),
                  expected[i].states);
    }
    const auto starts = client.EventsOf(AccessibleEvent::MenuPopupStart);
    const auto ends = client.EventsOf(AccessibleEvent::MenuPopupEnd);
    ASSERT_EQ(starts.size(), 2u);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(starts[0].role, AccessibleRole::MenuPopup);
    EXPECT_EQ(starts[1].name, "Crosshair");
    EXPECT_EQ(ends[0].name, "Crosshair"); // the submenu closes first
    std::vector<std::string> focused;
    for (const auto& r : client.EventsOf(AccessibleEvent::Focus)) focused.push_back(r.name);
    EXPECT_EQ(focused, (std::vector<std::string>{"Crosshair", "On", "Zoom Power"}));
    // The closed levels' nodes are gone with their windows.
    for (const auto& r : starts) EXPECT_EQ(FindAccessible(r.node), nullptr);
}
