#include "app/application_shell.h"

#include "app/main_window.h"
#include "framework/core/exceptions.h"
#include "framework/forms/application.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// For the start-up benchmark: tells on standard error, once, when the view first drew (the
// monotonic clock, in microseconds), so the time from exec to the first picture can be measured.
void ReportFirstDrawing(TLvZoom* view) {
    if (view == nullptr || std::getenv("LENTARO_REPORT_FIRST_DRAWING") == nullptr) return;
    view->OnContentsChanged = [view, next = view->OnContentsChanged](TObject* sender) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::fprintf(
            stderr, "lentaro-first-drawing-us %lld\n",
            static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        // Restoring the handler destroys this one: work on copies from here on.
        TLvZoom* const reporter = view;
        const TNotifyEvent following = next;
        reporter->OnContentsChanged = following;
        if (following) following(sender);
    };
}

} // namespace

int RunLentaro(Platform& platform, const std::string& startupNotice) {
    SetCurrentPlatform(&platform);
    // Whatever fails — even the making of the application's own window — the process ends normally.
    try {
        TApplication application(nullptr);
        bool componentServices = false;
        // The one start-up hook: component-object services for this thread, released at shutdown.
        application.AddStartupHook([&] { componentServices = platform.InitializeComponentServices(); });
        try {
            application.Initialize();
            application.SetTitle("Lentaro");
            if (!startupNotice.empty()) application.ShowErrorBox(startupNotice);
            application.CreateForm(LTfrm);
            ReportFirstDrawing(LTfrm->zfm);
            application.Run();
        } catch (const Exception& e) {
            application.ShowErrorBox(e.Message());
        } catch (...) {
            // Anything that is not a framework error is shown as one with an empty message.
            application.ShowErrorBox("");
        }
        application.Shutdown();
        LTfrm = nullptr;
        if (componentServices) platform.UninitializeComponentServices();
    } catch (...) {
        // Only reached when even the error box could not be had (or shutdown failed).
        std::string line = "Lentaro: the program ended on an error it could not show";
        try {
            throw;
        } catch (const std::exception& e) {
            line = std::string("Lentaro: ") + e.what();
        } catch (...) {
        }
        std::fprintf(stderr, "%s\n", line.c_str());
        platform.WriteDebugLine(line);
    }
    LTfrm = nullptr;
    message_queue::Reset();
    SetCurrentPlatform(nullptr);
    return 0;
}
