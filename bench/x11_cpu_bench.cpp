// CPU time and memory of the magnifier on Xvfb: at rest and while the pointer moves without pause,
// for the normal 250 x 250 view and for a window enlarged to about 1000 x 700, read from
// /proc/PID/stat over fixed intervals. xzoom is measured the same way when it is installed.
#include "framework/platform/headless/headless_platform.h"
#include "tests/e2e_x11/x11_e2e_support.h"

#include <X11/Xutil.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

namespace {

using namespace std::chrono_literals;
constexpr auto kInterval = 5s;

struct Figures {
    double restCpu = -1, movingCpu = -1; // CPU seconds per second
    long rssKb = -1, anonKb = -1, pssKb = -1;
};

double CpuPerSecond(e2e::ChildProcess& p, const std::function<void()>& during) {
    const double before = p.CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    during();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return (p.CpuSeconds() - before) / seconds;
}

// Circles the pointer round (cx, cy) every 2 s, one step every 10 ms, for the measuring interval.
void MovePointerContinuously(e2e::XClient& client, int cx, int cy) {
    const auto end = std::chrono::steady_clock::now() + kInterval;
    for (int step = 0; std::chrono::steady_clock::now() < end; ++step) {
        const double a = step * 2 * M_PI / 200;
        client.MovePointer(cx + static_cast<int>(120 * std::cos(a)),
                           cy + static_cast<int>(120 * std::sin(a)));
        std::this_thread::sleep_for(10ms);
    }
}

Figures Measure(e2e::XClient& client, e2e::ChildProcess& p, int cx, int cy) {
    Figures f;
    client.MovePointer(cx, cy);
    std::this_thread::sleep_for(1s); // settle
    f.restCpu = CpuPerSecond(p, [] { std::this_thread::sleep_for(kInterval); });
    f.movingCpu = CpuPerSecond(p, [&] { MovePointerContinuously(client, cx, cy); });
    f.rssKb = p.RssKb();
    f.anonKb = p.MemoryKb("status", "RssAnon");
    f.pssKb = p.MemoryKb("smaps_rollup", "Pss");
    return f;
}

void Print(const std::string& what, const Figures& f) {
    std::printf("%-30s rest %5.2f%% CPU  moving %5.2f%% CPU  RSS %5.1f MB (private %4.1f MB, PSS %4.1f MB)\n",
                what.c_str(), f.restCpu * 100, f.movingCpu * 100, static_cast<double>(f.rssKb) / 1024.0,
                static_cast<double>(f.anonKb) / 1024.0, static_cast<double>(f.pssKb) / 1024.0);
}

std::optional<Window> WaitForWindow(e2e::XClient& client, const std::string& name, e2e::ChildProcess& p) {
    std::optional<Window> w;
    e2e::WaitUntil([&] { return (w = client.FindWindow(name)).has_value() || !p.Running(); }, 10s);
    return w;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " LENTARO_EXECUTABLE\n";
        return 2;
    }
    e2e::Xvfb xvfb;
    if (!xvfb.Ok()) {
        std::cerr << "bench: Xvfb could not be started\n";
        return 1;
    }
    auto client = std::make_unique<e2e::XClient>(xvfb.DisplayName());
    client->SetRootPicture(&HeadlessPlatform::TestPatternPixel);
    const std::vector<std::string> env{"DISPLAY=" + xvfb.DisplayName()};
    std::printf("Xvfb 1024x768x24, %lld s per figure; pointer steps every 10 ms while moving\n",
                static_cast<long long>(kInterval.count()));

    Figures small, large;
    {
        e2e::ChildProcess app({argv[1]}, env);
        const auto w = WaitForWindow(*client, "Lentaro", app);
        if (!w) {
            std::cerr << "bench: Lentaro's window did not appear\n";
            return 1;
        }
        small = Measure(*client, app, 300, 300);
        Print("lentaro, 250 x 250 view", small);
        // Enlarge as a window manager would on a drag; the program's resize rule sets the view's size.
        XMoveResizeWindow(client->Get(), *w, 4, 23, 1000, 743);
        XSync(client->Get(), False);
        std::this_thread::sleep_for(500ms);
        int x = 0, y = 0, cw = 0, ch = 0;
        client->ClientGeometry(*w, x, y, cw, ch);
        large = Measure(*client, app, 500, 380);
        Print("lentaro, window " + std::to_string(cw) + " x " + std::to_string(ch), large);
        client->SendDeleteWindow(*w);
        app.Wait(5s);
    }
    if (std::system("command -v xzoom >/dev/null 2>&1") == 0) {
        // xzoom refuses -geometry beside -source: it opens at the top-left corner.
        e2e::ChildProcess xzoom({"xzoom", "-mag", "2", "-source", "125x125"}, env);
        std::this_thread::sleep_for(1s);
        if (xzoom.Running()) {
            const Figures z = Measure(*client, xzoom, 300, 300);
            Print("xzoom, 250 x 250, magnification 2", z);
            const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
            std::printf("lentaro / xzoom: rest %.2f, moving %.2f\n", ratio(small.restCpu, z.restCpu),
                        ratio(small.movingCpu, z.movingCpu));
        }
    } else {
        std::printf("xzoom is not installed: no comparison\n");
    }
    std::printf("RSS target: under 6 MB (lentaro: %.1f MB, of which %.1f MB private; the rest is shared "
                "library pages)\n",
                static_cast<double>(small.rssKb) / 1024.0, static_cast<double>(small.anonKb) / 1024.0);
    std::printf("(CPU figures come from clock ticks of 10 ms: about +-0.2%% over %lld s)\n",
                static_cast<long long>(kInterval.count()));
    client.reset();
    xvfb.Process().Kill();
    return 0;
}
