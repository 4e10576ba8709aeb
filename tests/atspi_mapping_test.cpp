// The accessibility model as the Linux adapter exports it over AT-SPI2: roles, states and
// interfaces of the main window's nodes, and the text arithmetic behind the Text and EditableText
// interfaces (Latin-1 inside, UTF-8 on the bus, edits checked against the text's bounds).
#include "framework/platform/atspi_mapping.h"
#include "framework/platform/headless/headless_accessibility.h"
#include "framework/platform/latin1_text.h"
#include "main_window_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace atspi_mapping;

namespace {

bool Has(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

class AtspiMappingTest : public MainWindowFixture {
protected:
    std::vector<std::string> States(TControl* control) {
        AccessibleNode& node = control->Accessible();
        return StateNames(node.Describe(), !node.ScreenBounds().IsEmpty());
    }
    HeadlessAccessibilityClient client;
};

TEST_F(AtspiMappingTest, TheMainWindowsNodesExportTheirRolesStatesAndInterfaces) {
    main->crossS->SetReadOnly(true);
    main->LvXPButton1->SetEnabled(false);
    struct Case {
        TControl* control;
        const char* role;
        std::uint32_t interfaces;
        std::vector<const char*> set;
        std::vector<const char*> unset;
    };
    const Case cases[] = {
        {main, "frame", kComponent | kWindow, {"active", "showing", "enabled"}, {"focusable"}},
        {main->zfm, "image", kComponent | kImage, {"visible", "showing"}, {"focusable"}},
        {main->Label1, "label", kComponent, {"enabled", "showing"}, {"focusable"}},
        {main->powerZ,
         "spin button",
         kComponent | kValue | kText | kEditableText,
         {"focusable", "focused", "editable", "single-line", "enabled", "sensitive"},
         {"read-only"}},
        // Read only: no editing interface, and it says so.
        {main->crossS,
         "spin button",
         kComponent | kValue | kText,
         {"read-only", "single-line"},
         {"editable", "focused"}},
        {main->LvXPButton1,
         "push button",
         kComponent | kAction,
         {"visible", "showing"},
         {"enabled", "sensitive"}},
    };
    for (const Case& c : cases) {
        const AccessibleDescription d = c.control->Accessible().Describe();
        SCOPED_TRACE(d.name);
        EXPECT_STREQ(RoleName(d.role), c.role);
        EXPECT_EQ(Interfaces(d), c.interfaces);
        const std::vector<std::string> states = States(c.control);
        for (const char* name : c.set) EXPECT_TRUE(Has(states, name)) << name;
        for (const char* name : c.unset) EXPECT_FALSE(Has(states, name)) << name;
    }
    // A hidden control is neither visible nor showing.
    main->Label2->SetVisible(false);
    const std::vector<std::string> hidden = States(main->Label2);
    EXPECT_FALSE(Has(hidden, "visible") || Has(hidden, "showing"));
}

TEST_F(AtspiMappingTest, FocusMovingChangesOnlyTheFocusedStates) {
    const std::vector<std::string> powerBefore = States(main->powerZ);
    const std::vector<std::string> crossBefore = States(main->crossS);
    Press(VK_TAB);
    using Changes = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(StateChanges(powerBefore, States(main->powerZ)), (Changes{{"focused", false}}));
    EXPECT_EQ(StateChanges(crossBefore, States(main->crossS)), (Changes{{"focused", true}}));
}

TEST(AtspiText, EditsInsideTheTextAreMadeAndEditsOutsideItRefused) {
    const std::string text = "200%";
    EXPECT_EQ(Inserted(text, 0, "1"), "1200%");
    EXPECT_EQ(Inserted(text, 4, "x"), "200%x");
    EXPECT_EQ(Inserted(text, 5, "x"), std::nullopt);
    EXPECT_EQ(Inserted(text, -1, "x"), std::nullopt);
    EXPECT_EQ(Deleted(text, 1, 3), "2%");
    EXPECT_EQ(Deleted(text, 0, -1), "");
    EXPECT_EQ(Deleted(text, 3, 2), std::nullopt);
    EXPECT_EQ(Deleted(text, 0, 5), std::nullopt);
    EXPECT_EQ(Deleted(text, -2, 1), std::nullopt);
    // Reading clamps instead: a client asking past the end gets what there is.
    EXPECT_EQ(Substring(text, 1, -1), "00%");
    EXPECT_EQ(Substring(text, 2, 99), "0%");
    EXPECT_EQ(Substring(text, -5, 1), "2");
    EXPECT_EQ(Substring(text, 9, 12), "");
}

TEST(AtspiText, LatinOneGoesOutAsUtf8AndOnlyLatinOneComesBack) {
    const std::string latin1 = "caf\xE9 \xA0\xFF";
    EXPECT_EQ(Latin1ToUtf8(latin1), "caf\xC3\xA9 \xC2\xA0\xC3\xBF");
    EXPECT_EQ(Utf8ToLatin1Exactly(Latin1ToUtf8(latin1)), latin1);
    EXPECT_EQ(Utf8ToLatin1Exactly("300"), "300");
    EXPECT_EQ(Utf8ToLatin1Exactly("\xE2\x82\xAC"), std::nullopt) << "the euro sign is beyond Latin-1";
    EXPECT_EQ(Utf8ToLatin1Exactly("\xC3"), std::nullopt) << "cut short";
    EXPECT_EQ(Utf8ToLatin1Exactly("\xC3\x41"), std::nullopt) << "no continuation byte";
    EXPECT_EQ(Utf8ToLatin1Exactly("\xC1\x81"), std::nullopt) << "an overlong 'A'";
}

TEST(AtspiText, AChangeReadsAsOneEditAtItsPlace) {
    struct Case {
        const char* before;
        const char* after;
        std::int32_t offset;
        const char* removed;
        const char* inserted;
    };
    const Case cases[] = {
        {"200%", "2000%", 3, "", "0"}, // typed before the suffix
        {"200%", "%", 0, "200", ""},   // the number deleted
        {"200%", "300%", 0, "2", "3"}, // replaced
        {"20 pixels", "20 pixels", 9, "", ""},
        {"", "7", 0, "", "7"},
        {"aaa", "aa", 2, "a", ""}, // a run: the edit is placed at its end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " -> " + c.after);
        const TextEdit edit = Difference(c.before, c.after);
        EXPECT_EQ(edit.offset, c.offset);
        EXPECT_EQ(edit.removed, c.removed);
        EXPECT_EQ(edit.inserted, c.inserted);
    }
}

TEST(AtspiValue, NumbersAreWrittenAsTyped) {
    EXPECT_EQ(NumberText(300), "300");
    EXPECT_EQ(NumberText(-7), "-7");
    EXPECT_EQ(NumberText(2.5), "2.5");
    EXPECT_EQ(NumberText(std::nan("")), "");
    EXPECT_EQ(NumberText(INFINITY), "");
}
