// The soak: the real program on Xvfb for a number of minutes with the pointer circling all the time.
// RSS is read every few seconds; after a warm-up it must stay flat (within 1 %). Prints the figures
// and fails (exit status 1) when memory grew or the program ended.
#include "framework/platform/headless/headless_platform.h"
#include "tests/e2e_x11/x11_e2e_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// One pointer step on a circle round (cx, cy) that takes 400 steps.
void StepPointer(e2e::XClient& client, int step, int cx, int cy) {
    const double a = step * 2 * M_PI / 400;
    client.MovePointer(cx + static_cast<int>(200 * std::cos(a)), cy + static_cast<int>(200 * std::sin(a)));
}

double Megabytes(long kb) { return static_cast<double>(kb) / 1024.0; }

} // namespace

int main(int argc, char** argv) {
    const double minutes = argc == 3 ? std::atof(argv[2]) : 0;
    if (argc != 3 || !(minutes > 0)) {
        std::cerr << "usage: " << argv[0] << " LENTARO_EXECUTABLE MINUTES\n";
        return 2;
    }
    e2e::Xvfb xvfb;
    if (!xvfb.Ok()) {
        std::cerr << "soak: Xvfb could not be started\n";
        return 1;
    }
    auto client = std::make_unique<e2e::XClient>(xvfb.DisplayName());
    client->SetRootPicture(&HeadlessPlatform::TestPatternPixel);
    e2e::ChildProcess app({argv[1]}, {"DISPLAY=" + xvfb.DisplayName()});
    if (!e2e::WaitUntil([&] { return client->FindWindow("Lentaro").has_value() || !app.Running(); }, 10s) ||
        !app.Running()) {
        std::cerr << "soak: Lentaro's window did not appear\n";
        return 1;
    }
    const long startKb = app.RssKb();
    const auto total =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(minutes * 60));
    // The first quarter (at most 30 s) is warm-up: caches, the font, the first drawings of each size.
    const auto warmUp = std::min<Clock::duration>(total / 4, 30s);
    const auto begin = Clock::now();
    long warmKb = -1, endKb = -1, highestKb = 0;
    int samples = 0;
    auto nextSample = begin + 5s;
    for (int step = 0; Clock::now() - begin < total; ++step) {
        StepPointer(*client, step, 512, 384);
        std::this_thread::sleep_for(20ms);
        if (!app.Running()) {
            std::cerr << "soak: Lentaro ended during the run\n";
            return 1;
        }
        if (Clock::now() < nextSample) continue;
        nextSample += 5s;
        const long kb = app.RssKb();
        if (Clock::now() - begin >= warmUp) {
            if (warmKb < 0) warmKb = kb;
            highestKb = std::max(highestKb, kb);
            ++samples;
        }
        endKb = kb;
    }
    const double cpu = app.CpuSeconds();
    client.reset();
    app.Kill();
    xvfb.Process().Kill();
    if (warmKb < 0 || samples < 2) {
        std::cerr << "soak: the run is too short to measure\n";
        return 1;
    }
    const double growth = 100.0 * static_cast<double>(endKb - warmKb) / static_cast<double>(warmKb);
    const double peak = 100.0 * static_cast<double>(highestKb - warmKb) / static_cast<double>(warmKb);
    std::printf("soak of %.1f min with the pointer moving (CPU %.2f s in all), %d samples after warm-up\n",
                minutes, cpu, samples);
    std::printf("RSS: at start %.2f MB, after warm-up %.2f MB, at the end %.2f MB (%+.2f %%), highest %.2f "
                "MB (%+.2f %%)\n",
                Megabytes(startKb), Megabytes(warmKb), Megabytes(endKb), growth, Megabytes(highestKb), peak);
    const bool flat = std::abs(growth) <= 1.0 && peak <= 1.0;
    std::printf("%s: RSS flat within 1 %% after warm-up\n", flat ? "met" : "MISSED");
    return flat ? 0 : 1;
}
