// The command line and the start-up checks that run before any window system is opened.
#include "app/command_line.h"
#include "app/session_check.h"
#include "framework/platform/icon_image.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct CommandLineCase {
    std::vector<const char*> arguments; // after the program's name
    bool run;
    int exitCode;
    bool isError;
    std::string text; // the whole text, or empty where only `starts` is checked
    std::string starts;
};

CommandLineRequest Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "lentaro");
    return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLineTest, OptionsAnswerWithTheirTextAndExitCode) {
    const std::string version = "Lentaro " LENTARO_EXPECTED_VERSION "\n";
    const std::vector<CommandLineCase> cases = {
        {{}, true, 0, false, "", ""},
        {{"--version"}, false, 0, false, version, ""},
        {{"-V"}, false, 0, false, version, ""},
        {{"--help"}, false, 0, false, "", "Usage: lentaro [OPTION]\n"},
        {{"-h"}, false, 0, false, "", "Usage: lentaro [OPTION]\n"},
        // Help wins, whatever the order.
        {{"--version", "--help"}, false, 0, false, "", "Usage:"},
        {{"--zoom"}, false, 2, true, "lentaro: unknown option '--zoom'; see 'lentaro --help'\n", ""},
        {{"-v"}, false, 2, true, "lentaro: unknown option '-v'; see 'lentaro --help'\n", ""},
        // Something not understood refuses the whole line, even beside a good option.
        {{"--help", "-x"}, false, 2, true, "lentaro: unknown option '-x'; see 'lentaro --help'\n", ""},
        {{"picture.png"},
         false,
         2,
         true,
         "lentaro: unexpected argument 'picture.png'; see 'lentaro --help'\n",
         ""},
        {{"-"}, false, 2, true, "lentaro: unexpected argument '-'; see 'lentaro --help'\n", ""},
    };
    for (const CommandLineCase& c : cases) {
        std::string line;
        for (const char* a : c.arguments) line += std::string(" ") + a;
        SCOPED_TRACE("lentaro" + line);
        const CommandLineRequest request = Parse(c.arguments);
        EXPECT_EQ(request.run, c.run);
        EXPECT_EQ(request.exitCode, c.exitCode);
        EXPECT_EQ(request.isError, c.isError);
        if (!c.text.empty() || c.run) {
            EXPECT_EQ(request.text, c.text);
        }
        if (!c.starts.empty()) {
            EXPECT_EQ(request.text.substr(0, c.starts.size()), c.starts);
        }
    }
}

TEST(CommandLineTest, UsageNamesEveryOptionInLinesATerminalHolds) {
    const std::string usage = UsageText();
    for (const char* option : {"-h, --help", "-V, --version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    std::size_t start = 0;
    while (start < usage.size()) {
        const std::size_t end = usage.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "the usage ends without a newline";
        EXPECT_LE(end - start, 79u) << usage.substr(start, end - start);
        start = end + 1;
    }
}

TEST(SessionCheckTest, WarnsInAWaylandSessionOnly) {
    struct Case {
        std::map<std::string, std::string> environment;
        bool warns;
    };
    const std::vector<Case> cases = {
        {{}, false},
        {{{"XDG_SESSION_TYPE", "x11"}}, false},
        {{{"XDG_SESSION_TYPE", "tty"}}, false},
        {{{"WAYLAND_DISPLAY", ""}}, false}, // set but empty: no compositor named
        {{{"XDG_SESSION_TYPE", "wayland"}}, true},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        {{{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "x11"}}, true},
    };
    for (const Case& c : cases) {
        std::string described;
        for (const auto& [name, value] : c.environment) described += name + "=" + value + " ";
        SCOPED_TRACE(described);
        const std::string warning = WaylandSessionWarning([&](const char* name) -> const char* {
            const auto it = c.environment.find(name);
            return it == c.environment.end() ? nullptr : it->second.c_str();
        });
        EXPECT_EQ(!warning.empty(), c.warns);
        if (c.warns) {
            EXPECT_NE(warning.find("Wayland"), std::string::npos);
            EXPECT_NE(warning.find("X11 session"), std::string::npos); // what to do about it
            EXPECT_EQ(warning.find('\n'), std::string::npos);          // one line on standard error
        }
    }
}

std::vector<std::uint32_t> OversizedImage() {
    std::vector<std::uint32_t> data = {kLargestIconSide + 1, 1};
    data.resize(data.size() + kLargestIconSide + 1, 0xFF000000);
    return data;
}

TEST(IconImageTest, ReadsEverySizeAndStopsAtBrokenData) {
    // Two good images (2 x 1 and 1 x 2), then whatever follows.
    const std::vector<std::uint32_t> good = {2, 1, 0xFF112233, 0x80445566, 1, 2, 0xFF000000, 0x00FFFFFF};
    const std::vector<IconImage> both = {{2, 1, {0xFF112233, 0x80445566}}, {1, 2, {0xFF000000, 0x00FFFFFF}}};
    struct Case {
        const char* what;
        std::vector<std::uint32_t> tail;
        std::size_t images;
    };
    const std::vector<Case> cases = {
        {"nothing more", {}, 2},
        {"a lone width", {4}, 2},
        {"a zero width", {0, 4, 1, 2, 3, 4}, 2},
        {"a zero height", {4, 0}, 2},
        // Whole, but wider than any icon: taken for broken data (the size could overflow).
        {"a side past the largest", OversizedImage(), 2},
        {"fewer pixels than the size says", {2, 2, 1, 2, 3}, 2},
        {"a third good image", {1, 1, 7}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint32_t> data = good;
        data.insert(data.end(), c.tail.begin(), c.tail.end());
        const std::vector<IconImage> images = ParseIconImages(data);
        ASSERT_EQ(images.size(), c.images);
        EXPECT_EQ(images[0], both[0]);
        EXPECT_EQ(images[1], both[1]);
    }
    EXPECT_TRUE(ParseIconImages({}).empty());
    // Broken at the start: no icon at all rather than a wrong one.
    EXPECT_TRUE(ParseIconImages(std::vector<std::uint32_t>{3, 3, 1, 2}).empty());
}

} // namespace
