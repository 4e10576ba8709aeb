// A tiny program for the end-to-end tests: shows the application's error box through the real X11
// backend and exits 0 once the box is closed.
#include "framework/core/message_queue.h"
#include "framework/forms/application.h"
#include "framework/platform/platform.h"

int main() {
    std::unique_ptr<Platform> platform = CreateDefaultPlatform();
    SetCurrentPlatform(platform.get());
    {
        TApplication application(nullptr);
        application.SetTitle("Lentaro");
        application.ShowErrorBox("Canvas does not allow drawing");
    }
    message_queue::Reset();
    SetCurrentPlatform(nullptr);
    return 0;
}
