// The real main window built from its stored description, shown on the headless backend and driven
// through scripted input.
#pragma once

#include "app/main_window.h"
#include "xp_fixture.h"

#include <string>

class MainWindowFixture : public XPTest {
protected:
    void SetUp() override {
        XPTest::SetUp();
        OpenMainWindow();
    }
    // Makes and shows the main window, with the pointer away from it.
    void OpenMainWindow() {
        app->CreateForm(LTfrm);
        main = LTfrm;
        form = main;
        platform.SetPointer({500, 400});
        main->Show();
        Settle();
    }
    void TearDown() override {
        LTfrm = nullptr;
        XPTest::TearDown();
    }
    // The user gives the window a new outer size (or place) and the toolkit handles the report.
    void ResizeWindow(int width, int height, int left = 660, int top = 295) {
        platform.UserSetBounds(main->PlatformWindow(), Bounds(left, top, width, height));
        Settle();
    }
    void Type(const std::string& text) {
        for (char c : text) Char(c);
    }
    // Right-clicks a client point and reports which menu opened ("window", "edit" or "none").
    std::string MenuOpenedBy(TPoint client) {
        std::string opened = "none";
        platform.waitHook = [&] {
            if (opened != "none") return;
            if (main->PopupMenu1->Tracker() != nullptr) opened = "window";
            for (TLcSpinEdit* e : {main->powerZ, main->crossS})
                if (e->ContextMenu() != nullptr && e->ContextMenu()->Tracker() != nullptr) opened = "edit";
            if (opened == "none") return;
            PlatformEvent key;
            key.kind = PlatformEvent::Kind::KeyDown;
            key.window = main->PlatformWindow();
            key.virtualKey = VK_ESCAPE;
            platform.PostEvent(key);
        };
        RightClick(client.X, client.Y);
        platform.waitHook = nullptr;
        return opened;
    }

    TLTfrm* main = nullptr;
};
