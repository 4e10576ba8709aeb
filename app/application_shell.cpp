#include "app/application_shell.h"

#include "app/main_window.h"
#include "framework/application.h"
#include "framework/exceptions.h"

int RunLentaro(Platform& platform) {
    SetCurrentPlatform(&platform);
    {
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
    }
    message_queue::Reset();
    SetCurrentPlatform(nullptr);
    return 0;
}
