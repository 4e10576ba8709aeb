#include "app/application_shell.h"

#include "app/main_window.h"
#include "framework/application.h"
#include "framework/exceptions.h"

#include <iostream>

int RunLentaro(Platform& platform) {
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
            application.CreateForm(LTfrm);
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
        std::cerr << line << '\n';
        platform.WriteDebugLine(line);
    }
    LTfrm = nullptr;
    message_queue::Reset();
    SetCurrentPlatform(nullptr);
    return 0;
}
