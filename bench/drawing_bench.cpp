// Cost of one drawing of the zoom view (capture + stretch + crosshair) on the headless backend, beside
// the cost of copying the same number of bytes with memcpy; and the cost of a tick at rest.
#include "framework/core/message_queue.h"
#include "framework/forms/application.h"
#include "framework/platform/headless/headless_platform.h"
#include "zoom/lv_zoom.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
// One drawing should cost at most this many memcpy's of its destination bytes.
constexpr double kTargetRatio = 1.5;
int gMisses = 0;

template <class F> double NanosecondsPerRun(F&& f) {
    // Grow the repetition count until one batch takes at least 200 ms, then report the mean.
    for (long runs = 1;; runs *= 2) {
        const auto start = Clock::now();
        for (long i = 0; i < runs; ++i) f(i);
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        if (ns >= 2e8) return ns / static_cast<double>(runs);
    }
}

void Measure(HeadlessPlatform& platform, int width, int height, int zoomLevel) {
    TApplication app(nullptr);
    auto* form = new TForm(&app);
    form->SetClientSize(width, height);
    auto* view = new TLvZoom(form);
    view->SetParent(form);
    view->SetBounds(0, 0, width, height);
    view->SetZoomLevel(zoomLevel);
    view->SetCrossHair(true);
    view->CrosshairColor = clBlue;
    form->Show();
    app.ProcessMessages();

    const double drawing = NanosecondsPerRun([&](long i) {
        platform.SetPointer({400 + static_cast<int>(i % 200), 300 + static_cast<int>(i % 100)});
        view->PaintMe(nullptr);
    });
    const double atRest = NanosecondsPerRun([&](long) { view->PaintMe(nullptr); });

    const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
    std::vector<unsigned char> a(bytes, 1), b(bytes, 2);
    const double copy = NanosecondsPerRun([&](long i) {
        a[static_cast<std::size_t>(i) % bytes] = static_cast<unsigned char>(i);
        std::memcpy(b.data(), a.data(), bytes);
    });
    const double ratio = drawing / copy;
    std::printf(
        "%4d x %-4d %3d%%  drawing %9.1f us   memcpy %9.1f us   ratio %5.2f %-4s  tick at rest %7.3f us\n",
        width, height, 10000 / zoomLevel, drawing / 1000, copy / 1000, ratio,
        ratio <= kTargetRatio ? "ok" : "MISS", atRest / 1000);
    if (ratio > kTargetRatio) ++gMisses;
}

} // namespace

int main() {
    HeadlessPlatform platform;
    platform.SetDisplaySize({1920, 1200});
    SetCurrentPlatform(&platform);
    std::printf("Zoom view drawing (headless backend); target: at most %.1f x memcpy\n", kTargetRatio);
    for (const int zoomLevel : {50, 33}) {
        Measure(platform, 250, 250, zoomLevel);
        Measure(platform, 800, 600, zoomLevel);
        Measure(platform, 1920, 1080, zoomLevel);
    }
    std::printf("%s\n", gMisses == 0 ? "every size within target" : "some sizes MISS the target");
    message_queue::Reset();
    SetCurrentPlatform(nullptr);
    return 0;
}
