// The default platform of a build without a desktop backend: a short scripted headless run.
#include "framework/platform/headless/headless_platform.h"

#include <cstdio>

namespace {

class HeadlessDemoPlatform : public HeadlessPlatform {
public:
    HeadlessDemoPlatform() {
        // Move the pointer across the synthetic screen for a few virtual seconds, then end.
        SetPointer({500, 400});
        SetQuitAt(3000);
    }
    ~HeadlessDemoPlatform() override {
        std::printf("Lentaro (headless): %d drawings, %d pointer queries in %llu virtual ms.\n",
                    ScreenCopies(), CursorQueries(), static_cast<unsigned long long>(NowMs()));
    }
    void WaitForEvent(std::uint32_t timeoutMs) override {
        HeadlessPlatform::WaitForEvent(timeoutMs);
        const auto t = static_cast<std::int32_t>(NowMs());
        SetPointer({200 + (t / 10) % 600, 300 + (t / 20) % 200});
    }
};

} // namespace

std::unique_ptr<Platform> CreateDefaultPlatform() { return std::make_unique<HeadlessDemoPlatform>(); }

// Started from a terminal, the program prints to it.
bool DefaultPlatformHasNoConsole() { return false; }
