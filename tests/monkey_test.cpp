// A seeded random-input run on the real main window. After every input the edits, the view and the
// window are checked; after every drawing of the view, sample pixels of its picture are checked
// against the synthetic screen round the pointer. A failure names the seed and the input's index;
// LENTARO_MONKEY_SEED and LENTARO_MONKEY_EVENTS replay or lengthen a run.
#include "main_window_fixture.h"
#include "monkey_input.h"
#include "monkey_invariants.h"

#include <cstdlib>
#include <deque>
#include <sstream>

namespace {

constexpr std::uint64_t kDefaultSeed = 0x4C656E7461726FULL;
constexpr std::uint64_t kDefaultEvents = 100000;
// Nested loops that wait this often with no menu open are stuck.
constexpr int kIdleWaitsWithoutMenu = 10000;

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 0) : fallback;
}

class MonkeyTest : public MainWindowFixture {
protected:
    void SetUp() override {
        LcApplication().Reset();
        // A display smaller than usual: a maximised window's drawings cost less, and the view meets
        // the display's edges more often.
        platform.SetDisplaySize({800, 600});
        MainWindowFixture::SetUp();
    }
    void TearDown() override {
        platform.waitHook = nullptr;
        MainWindowFixture::TearDown();
        LcApplication().Reset();
    }

    // The visible pop-up menu levels, first level first.
    std::vector<WindowId> OpenPopups() const {
        std::vector<WindowId> open;
        for (const auto& [id, w] : platform.Windows())
            if (w.params.kind == WindowKind::Popup && w.state != ShowState::Hidden) open.push_back(id);
        return open;
    }

    void Run(std::uint64_t seed, std::uint64_t events) {
        MonkeyRandom random(seed);
        MonkeyInput input(platform, *main, random);
        MonkeyInvariants invariants(
            platform, *app, *main, [&input] { return input.Pointer(); }, seed);
        std::uint64_t index = 0;
        std::deque<std::string> recent;
        auto give = [&](std::string what) {
            recent.push_back(std::to_string(index) + ": " + what);
            if (recent.size() > 12) recent.pop_front();
            ++index;
        };
        // A menu runs a loop of its own; whenever that loop waits, the next input goes to the menu.
        int waitsWithoutMenu = 0;
        platform.waitHook = [&] {
            const std::vector<WindowId> popups = OpenPopups();
            if (popups.empty()) {
                if (++waitsWithoutMenu == kIdleWaitsWithoutMenu) {
                    invariants.Fail("a nested loop waits with no menu open");
                    PlatformEvent quit;
                    quit.kind = PlatformEvent::Kind::Quit;
                    platform.PostEvent(quit);
                }
                return;
            }
            waitsWithoutMenu = 0;
            invariants.CheckAfterInput();
            if (index >= events || invariants.Failed())
                input.PostEscape(popups.back());
            else
                give(input.GiveMenuInput(popups));
        };
        while (index < events && !invariants.Failed()) {
            give(input.GiveWindowInput());
            Settle();
            invariants.CheckAfterInput();
        }
        platform.waitHook = nullptr;
        if (invariants.Failed()) {
            std::ostringstream report;
            report << "seed " << seed << ", input " << index - 1 << ": " << invariants.Failure()
                   << "\nreplay: LENTARO_MONKEY_SEED=" << seed << " LENTARO_MONKEY_EVENTS=" << index
                   << "\nthe last inputs:\n";
            for (const std::string& r : recent) report << "  " << r << '\n';
            ADD_FAILURE() << report.str();
        }
        std::cout << "[ monkey   ] seed " << seed << ": " << index << " inputs, " << invariants.Drawings()
                  << " drawings checked\n";
    }
};

TEST_F(MonkeyTest, RandomInputKeepsTheWindowConsistent) {
    Run(FromEnvironment("LENTARO_MONKEY_SEED", kDefaultSeed),
        FromEnvironment("LENTARO_MONKEY_EVENTS", kDefaultEvents));
}

} // namespace
