// Time of one paste of a huge clipboard into the zoom-power edit on the headless backend: 10 MB of
// digits (refused whole), and the same behind a short first line (only the line is taken).
#include "framework/core/message_queue.h"
#include "framework/forms/application.h"
#include "framework/platform/headless/headless_platform.h"
#include "spinedit/lc_spin_edit.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

void Measure(HeadlessPlatform& platform, TApplication& app, TLcSpinEdit& edit, const char* name,
             const std::string& clipboard) {
    double slowest = 0;
    for (int run = 0; run < 10; ++run) {
        edit.SetText("200%");
        edit.SetCursorPos(4);
        platform.clipboard_ = clipboard;
        const auto start = Clock::now();
        edit.PasteFromClipboard();
        app.ProcessMessages();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        slowest = ms > slowest ? ms : slowest;
    }
    std::printf("%-32s slowest of 10: %8.2f ms   text now %zu characters\n", name, slowest,
                edit.Text().size());
}

} // namespace

int main() {
    HeadlessPlatform platform;
    SetCurrentPlatform(&platform);
    {
        TApplication app(nullptr);
        auto* form = new TForm(&app);
        form->SetBounds(0, 0, 258, 320);
        auto* edit = new TLcSpinEdit(form);
        edit->SetParent(form);
        edit->SetBounds(0, 272, 65, 21);
        edit->SetSuffix("%");
        edit->SetMaxValue(1000);
        form->Show();
        edit->SetFocus();
        app.ProcessMessages();
        const std::string digits(10'000'000, '7');
        std::printf("Pasting a clipboard of 10 MB into a spin edit (headless backend)\n");
        Measure(platform, app, *edit, "10 MB of digits", digits);
        Measure(platform, app, *edit, "short line, then 10 MB", "5\n" + digits);
    }
    message_queue::Reset();
    SetCurrentPlatform(nullptr);
    return 0;
}
