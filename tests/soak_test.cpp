// One virtual hour of the main window at work: the view ticks while the pointer wanders over the
// window and the screen. What the toolkit holds (components, handles, armed timers, pixel surfaces,
// platform windows) must not grow once the first minute has settled in.
#include "framework/core/message_queue.h"
#include "main_window_fixture.h"

#include <sstream>

namespace {

struct ResourceCounts {
    std::size_t components, handles, timers, surfaces, windows;
    bool operator==(const ResourceCounts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ResourceCounts& c) {
    return out << c.components << " components, " << c.handles << " handles, " << c.timers << " timers, "
               << c.surfaces << " pixel surfaces, " << c.windows << " windows";
}

class SoakTest : public MainWindowFixture {
protected:
    ResourceCounts Counts() const {
        return {TComponent::LiveCount(), message_queue::HandleCount(), platform.ArmedTimers(),
                PixelSurface::LiveCount(), platform.Windows().size()};
    }
    // Tick i of the walk: mostly over the window and its controls, now and then elsewhere on the
    // screen, never pressing anything.
    void Wander(int i) {
        const PixelSurface* client = platform.WindowSurface(main->PlatformWindow());
        if (i % 50 == 49) {
            PlatformEvent leave;
            leave.kind = PlatformEvent::Kind::MouseLeave;
            leave.window = main->PlatformWindow();
            platform.PostEvent(leave);
            platform.SetPointer({(i * 7) % 1024, (i * 3) % 768});
            return;
        }
        MouseMove((i * 37) % (client->Width() + 40) - 20, (i * 23) % (client->Height() + 40) - 20);
    }
};

TEST_F(SoakTest, AnHourOfTicksWithAMovingPointerHoldsNoMoreThanTheFirstMinute) {
    constexpr int kTicksPerMinute = 600; // the view polls every 100 ms
    std::ostringstream growth;
    ResourceCounts settled{};
    for (int minute = 1; minute <= 60; ++minute) {
        for (int t = 0; t < kTicksPerMinute; ++t) {
            Wander((minute - 1) * kTicksPerMinute + t);
            AdvanceAndProcess(100);
        }
        if (minute == 1) settled = Counts();
        if (Counts() != settled && growth.str().empty()) growth << "minute " << minute << ": " << Counts();
    }
    // Every count is a real one: the window holds some of each.
    EXPECT_GT(settled.components, 10u);
    EXPECT_GT(settled.handles, 5u);
    EXPECT_GT(settled.timers, 0u);
    EXPECT_GT(settled.surfaces, 0u);
    EXPECT_EQ(Counts(), settled) << growth.str();
    EXPECT_TRUE(platform.MessageBoxes().empty());
    EXPECT_EQ(platform.ScreenSurfacesHeld(), 0);
}

} // namespace
