// A fixture for tests that run the toolkit itself on the real X11 backend: a private Xvfb, our own X
// client for input and screen grabs, the backend in this process and an application object. Include
// it where the X headers are included, with Xlib's Screen type renamed (see the tests that use it).
#pragma once

#include "edit/lc_application.h"
#include "framework/forms/application.h"
#include "framework/platform/x11/x11_platform.h"
#include "tests/e2e_x11/x11_e2e_support.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <functional>
#include <memory>

class X11ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        xvfb = std::make_unique<e2e::Xvfb>();
        ASSERT_TRUE(xvfb->Ok());
        client = std::make_unique<e2e::XClient>(xvfb->DisplayName());
        std::string error;
        platform = X11Platform::Open(xvfb->DisplayName().c_str(), error);
        ASSERT_TRUE(platform) << error;
        SetCurrentPlatform(platform.get());
        LcApplication().Reset();
        app = std::make_unique<TApplication>(nullptr);
    }
    void TearDown() override {
        app.reset();
        LcApplication().Reset();
        SetCurrentPlatform(nullptr);
        platform.reset();
        client.reset();
        if (xvfb) xvfb->Process().Kill();
    }

    // Shows the form and waits until its window is mapped and active.
    bool ShowAndActivate(TForm& form, const std::string& caption) {
        form.SetCaption(caption);
        form.Show();
        return PumpUntil([&] { return client->FindWindow(caption).has_value() && form.Active(); });
    }
    // Runs the program's loop until `condition` holds (or the time runs out).
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            app->ProcessMessages();
            app->DoIdleWork();
            if (condition()) return true;
            platform->WaitForEvent(10);
        }
        return condition();
    }
    void Pump(std::chrono::milliseconds time) {
        PumpUntil([] { return false; }, time);
    }
    // A key pressed and released through XTest, with Shift held around it when asked.
    void Press(unsigned long keysym, bool shift = false) {
        Display* d = client->Get();
        const KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
        client->Key(keysym);
        if (shift) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
        XSync(d, False);
    }

    std::unique_ptr<e2e::Xvfb> xvfb;
    std::unique_ptr<e2e::XClient> client;
    std::unique_ptr<X11Platform> platform;
    std::unique_ptr<TApplication> app;
};
