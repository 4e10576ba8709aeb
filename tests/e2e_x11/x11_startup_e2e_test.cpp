// End-to-end: what the real lentaro shows of itself at start on X11. The command line answers
// without a display; every window carries the icon (_NET_WM_ICON at 16, 32 and 48 pixels) and the
// class the desktop entry names; in a Wayland session the program says what it cannot do, in one
// line on standard error and in the error box, and then runs.
// GoogleTest comes before the X headers, whose None macro would break it.
#include <gtest/gtest.h>

#include "tests/e2e_x11/lentaro_x11_fixture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using namespace lentaro_e2e;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class LentaroStartupTest : public LentaroX11Test {
protected:
    // A file for a child's output, removed with the test.
    std::string OutputFile(const char* what) {
        std::string path = ::testing::TempDir() + "lentaro-" + what + "-" + std::to_string(getpid());
        files.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::string& f : files) std::remove(f.c_str());
        LentaroX11Test::TearDown();
    }

    // The sizes in a window's _NET_WM_ICON, checking that each image's pixels are all there and
    // that the picture is drawn (some opaque pixels, some transparent round the round lens).
    std::vector<std::pair<long, long>> IconSizes(Window w, std::string& problem) {
        Display* d = client->Get();
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<std::pair<long, long>> sizes;
        if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_ICON", False), 0, 1 << 20, False, XA_CARDINAL,
                               &type, &format, &count, &after, &data) != Success ||
            data == nullptr || format != 32) {
            problem = "no _NET_WM_ICON";
            if (data != nullptr) XFree(data);
            return sizes;
        }
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long at = 0; at + 2 <= count;) {
            const long width = static_cast<long>(items[at]), height = static_cast<long>(items[at + 1]);
            at += 2;
            if (width <= 0 || height <= 0 || count - at < static_cast<unsigned long>(width * height)) {
                problem = "an image is cut off";
                break;
            }
            int opaque = 0, clear = 0;
            for (long i = 0; i < width * height; ++i) {
                const unsigned long alpha = (items[at + i] >> 24) & 0xFF;
                opaque += alpha == 0xFF;
                clear += alpha == 0;
            }
            if (opaque < width * height / 4 || clear == 0)
                problem = std::to_string(width) + "-pixel icon: " + std::to_string(opaque) + " opaque and " +
                          std::to_string(clear) + " transparent pixels";
            sizes.emplace_back(width, height);
            at += static_cast<unsigned long>(width * height);
        }
        XFree(data);
        return sizes;
    }

    void ExpectIcon(Window w) {
        std::string problem;
        const std::vector<std::pair<long, long>> sizes = IconSizes(w, problem);
        EXPECT_EQ(sizes, (std::vector<std::pair<long, long>>{{16, 16}, {32, 32}, {48, 48}}));
        EXPECT_EQ(problem, "");
    }

    std::vector<std::string> files;
};

// --help and --version need no display: they answer, with their exit codes, where DISPLAY is empty.
TEST_F(LentaroStartupTest, TheCommandLineAnswersWithoutADisplay) {
    struct Case {
        const char* option;
        int exitCode;
        const char* output; // the start of standard output, or of standard error for a refusal
    } cases[] = {{"--version", 0, "Lentaro "},
                 {"-h", 0, "Usage: lentaro"},
                 {"--magnify", 2, "lentaro: unknown option '--magnify'"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        const std::string out = OutputFile("out"), err = OutputFile("err");
        e2e::ChildProcess run(
            {"/bin/sh", "-c", "exec \"$0\" \"$1\" >\"$2\" 2>\"$3\"", LENTARO_EXECUTABLE, c.option, out, err},
            {"DISPLAY="});
        EXPECT_EQ(run.Wait(5s), std::optional<int>(c.exitCode));
        const std::string text = ReadFile(c.exitCode == 0 ? out : err);
        EXPECT_EQ(text.substr(0, std::string(c.output).size()), c.output) << text;
        EXPECT_EQ(ReadFile(c.exitCode == 0 ? err : out), "");
    }
}

TEST_F(LentaroStartupTest, TheWindowCarriesTheIconAndTheDesktopEntrysClass) {
    StartLentaro();
    ExpectIcon(window);
    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(client->Get(), window, &hint));
    const std::string instance = hint.res_name, windowClass = hint.res_class;
    XFree(hint.res_name);
    XFree(hint.res_class);
    EXPECT_EQ(instance, "lentaro");
    // The desktop entry's StartupWMClass, so docks group the window under its menu entry.
    const std::string entry = ReadFile(LENTARO_DESKTOP_ENTRY);
    const std::size_t at = entry.find("\nStartupWMClass=");
    ASSERT_NE(at, std::string::npos);
    const std::size_t start = at + std::string("\nStartupWMClass=").size();
    EXPECT_EQ(windowClass, entry.substr(start, entry.find('\n', start) - start));
}

TEST_F(LentaroStartupTest, AWaylandSessionIsToldAtStartAndTheProgramThenRuns) {
    client->MovePointer(300, 400);
    const std::string err = OutputFile("wayland-err");
    app = e2e::ChildProcess({"/bin/sh", "-c", "exec \"$0\" 2>\"$1\"", LENTARO_EXECUTABLE, err},
                            {"DISPLAY=" + xvfb->DisplayName(), "WAYLAND_DISPLAY=wayland-0"});
    std::optional<Window> box;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return (box = client->FindWindow("Lentaro")).has_value() || !app.Running(); }, 10s));
    ASSERT_TRUE(box.has_value()) << "no box appeared";
    const std::string said = ReadFile(err);
    EXPECT_EQ(said.rfind("Lentaro: This is a Wayland session", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    ExpectIcon(*box); // every window of the program, the box too
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(client->ClientGeometry(*box, x, y, w, h));
    // Keys go to the window under the pointer when no manager sets the focus.
    client->MovePointer(x + w / 2, y + h / 2);
    client->Key(XK_Return);
    // Then the magnifier comes up as usual and shows the screen round the pointer.
    client->MovePointer(300, 400);
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            const std::optional<Window> found = client->FindWindow("Lentaro");
            return found && *found != *box;
        },
        5s));
    window = *client->FindWindow("Lentaro");
    ASSERT_TRUE(ReadClientArea());
    EXPECT_EQ(WaitForView({Bounds(238, 338, 124, 124)}), "");
    client->SendDeleteWindow(window);
    EXPECT_EQ(app.Wait(5s), std::optional<int>(0));
}

} // namespace
