#include "framework/forms/application.h"

#include "framework/controls/caret.h"
#include "framework/controls/menus.h"
#include "framework/core/exceptions.h"
#include "framework/forms/desktop_look.h"
#include "framework/forms/message_box.h"
#include "framework/forms/popup_menu_tracker.h"
#include "framework/platform/platform.h"

#include <cstdio>
#include <limits>

TApplication* Application = nullptr;

namespace {
bool IsInputEvent(PlatformEvent::Kind kind) {
    switch (kind) {
    case PlatformEvent::Kind::MouseDown:
    case PlatformEvent::Kind::MouseUp:
    case PlatformEvent::Kind::MouseMove:
    case PlatformEvent::Kind::MouseWheel:
    case PlatformEvent::Kind::KeyDown:
    case PlatformEvent::Kind::KeyUp:
    case PlatformEvent::Kind::Char: return true;
    default: return false;
    }
}

// A key, a button press or the wheel: the user is at work, so the caret blinks again.
bool IsUserAction(PlatformEvent::Kind kind) {
    return kind == PlatformEvent::Kind::KeyDown || kind == PlatformEvent::Kind::Char ||
           kind == PlatformEvent::Kind::MouseDown || kind == PlatformEvent::Kind::MouseWheel;
}

void ApplicationExceptionHandler(TObject* sender) {
    if (Application != nullptr)
        Application->HandleException(sender);
    else
        std::fputs("Lentaro: an error occurred with no application to report it\n", stderr);
}
} // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    WindowParams p;
    p.kind = WindowKind::Main;
    p.caption = title_;
    p.outerBounds = {0, 0, 0, 0};
    p.sizeable = false;
    // The hidden owner of every form, and the text of the task-bar button.
    appWindow_ = CurrentPlatform().CreateTopLevelWindow(p);
    // Only now, so a failure above leaves no dangling application behind.
    Application = this;
    SetFormOwner(this);
    SetExceptionHandler(&ApplicationExceptionHandler);
    CurrentPlatform().SetSystemLoopHook([this] { RunInsideSystemLoop(); });
    SetPopupMenuRunner(ApplicationPopupMenuRunner());
}

TApplication::~TApplication() {
    Destroying();
    if (HasCurrentPlatform()) CurrentPlatform().SetSystemLoopHook(nullptr);
    DestroyComponents();
    if (appWindow_ != 0) CurrentPlatform().DestroyWindow(appWindow_);
    if (Application == this) Application = nullptr;
    if (FormOwner() == this) SetFormOwner(nullptr);
    SetExceptionHandler(nullptr);
}

bool TApplication::MainFormClosing(TCustomForm* form) {
    if (form == nullptr || form != mainForm_) return false;
    Terminate();
    return true;
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (appWindow_ != 0) CurrentPlatform().SetWindowCaption(appWindow_, title_);
}

void TApplication::Initialize() {
    if (initialized_) return;
    initialized_ = true;
    for (auto& hook : startupHooks_) hook();
}

void TApplication::FormCreated(TCustomForm* form) {
    if (mainForm_ == nullptr) {
        // The first form becomes the main window, with its platform window made at once.
        mainForm_ = form;
        form->HandleNeeded();
    }
}

void TApplication::Run() {
    running_ = true;
    if (mainForm_ != nullptr) {
        const std::uint32_t mode = CurrentPlatform().StartupShowMode();
        if (mode == SW_SHOWMAXIMIZED) mainForm_->SetWindowState(wsMaximized);
        if (mode == SW_SHOWMINNOACTIVE) mainForm_->SetWindowState(wsMinimized);
        if (ShowMainForm) mainForm_->Show();
    }
    while (!terminated_) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
    running_ = false;
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) Idle();
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

bool TApplication::AnyPaintPending() const {
    for (TCustomForm* form : Screen->Forms())
        if (form->PaintPending()) return true;
    return false;
}

bool TApplication::PaintOnePendingForm() {
    for (TCustomForm* form : Screen->Forms()) {
        if (!form->PaintPending()) continue;
        form->PaintNow();
        return true;
    }
    return false;
}

bool TApplication::ProcessMessage() {
    struct PresentOnExit {
        ~PresentOnExit() { window_damage::PresentAll(); }
    } present;

    MSG msg;
    if (message_queue::TakePosted(msg)) {
        if (msg.message == WM_QUIT)
            terminated_ = true;
        else
            message_queue::DispatchMessage(msg);
        return true;
    }
    PlatformEvent event;
    if (CurrentPlatform().PeekEvent(event)) {
        // Timer ticks have the lowest priority: pending repaints go first, as on the classic platform.
        if (event.kind == PlatformEvent::Kind::Timer && PaintOnePendingForm()) {
            message_queue::HoldTimerTick(event.timer);
            return true;
        }
        DispatchPlatformEvent(event);
        return true;
    }
    if (EndModesOfLostActivation()) return true;
    if (PaintOnePendingForm()) return true;
    if (std::uint64_t key = 0; message_queue::TakeHeldTimerTick(key)) {
        PlatformEvent held;
        held.kind = PlatformEvent::Kind::Timer;
        held.timer = key;
        DispatchPlatformEvent(held);
        return true;
    }
    return false;
}

void TApplication::DispatchPlatformEvent(const PlatformEvent& event) {
    if (IsUserAction(event.kind)) caret::UserInput();
    switch (event.kind) {
    case PlatformEvent::Kind::MouseMove:
    case PlatformEvent::Kind::MouseDown:
    case PlatformEvent::Kind::MouseUp:
    case PlatformEvent::Kind::MouseWheel:
        pointerWindow_ = event.window;
        pointerPosition_ = event.position;
        break;
    case PlatformEvent::Kind::MouseLeave:
        if (event.window == pointerWindow_) pointerWindow_ = 0;
        return;
    case PlatformEvent::Kind::Quit: terminated_ = true; return;
    case PlatformEvent::Kind::ThemeChanged:
    case PlatformEvent::Kind::SystemColorsChanged: DesktopLookChanged(event.kind); return;
    case PlatformEvent::Kind::CaptureLost: CancelCaptureMode(event.window); return;
    case PlatformEvent::Kind::Activated:
        activeWindow_ = event.window;
        activationLost_ = false;
        break;
    case PlatformEvent::Kind::Deactivated:
        if (event.window == activeWindow_) {
            activeWindow_ = 0;
            activationLost_ = true;
        }
        // A press in the window going inactive ends. The input capture form (an open pop-up menu)
        // takes the input of all the program's windows: it only ends once the program is inactive.
        if (inputCaptureForm_ == nullptr || inputCaptureForm_->PlatformWindow() != event.window)
            CancelCaptureMode(event.window);
        break;
    case PlatformEvent::Kind::Timer: {
        const HWND target = static_cast<HWND>(event.timer >> 32);
        message_queue::SendMessage(target, WM_TIMER, static_cast<WPARAM>(event.timer & 0xFFFFFFFFu), 0);
        return;
    }
    case PlatformEvent::Kind::CloseRequest:
        if (event.window == appWindow_ && appWindow_ != 0) {
            // A close request to the application window closes the main window.
            if (mainForm_ != nullptr) mainForm_->Close();
            return;
        }
        break;
    default: break;
    }
    if (inputCaptureForm_ != nullptr && IsInputEvent(event.kind) &&
        event.window != inputCaptureForm_->PlatformWindow()) {
        DispatchPlatformEvent(RedirectInput(event));
        return;
    }
    if (TCustomForm* form = Screen->FindForm(event.window)) {
        try {
            form->HandlePlatformEvent(event);
        } catch (...) {
            HandleException(form);
        }
        FreeDeviceContexts();
    }
}

bool TApplication::CancelCaptureMode(WindowId holder) {
    TControl* capture = GetCaptureControl();
    if (capture == nullptr || holder == 0) return false;
    const TCustomForm* form = GetParentForm(capture);
    if (form == nullptr || form->PlatformWindow() != holder) return false;
    try {
        capture->Perform(WM_CANCELMODE, 0, 0);
    } catch (...) {
        HandleException(capture);
    }
    // The platform no longer routes the pointer to it, whatever the control did with the message.
    if (GetCaptureControl() == capture) SetCaptureControl(nullptr);
    return true;
}

bool TApplication::EndModesOfLostActivation() {
    if (!activationLost_) return false;
    activationLost_ = false;
    TControl* capture = GetCaptureControl();
    const TCustomForm* form = capture != nullptr ? GetParentForm(capture) : nullptr;
    return form != nullptr && CancelCaptureMode(form->PlatformWindow());
}

PlatformEvent TApplication::RedirectInput(const PlatformEvent& event) const {
    PlatformEvent redirected = event;
    TPoint screen = event.screenPosition;
    if (const TCustomForm* source = Screen->FindForm(event.window)) {
        const TPoint origin = source->ClientOriginOnScreen();
        screen = {origin.X + event.position.X, origin.Y + event.position.Y};
    }
    const TPoint origin = inputCaptureForm_->ClientOriginOnScreen();
    redirected.window = inputCaptureForm_->PlatformWindow();
    redirected.position = {screen.X - origin.X, screen.Y - origin.Y};
    redirected.screenPosition = screen;
    return redirected;
}

void TApplication::DoIdleWork() {
    TControl* underPointer = nullptr;
    if (TCustomForm* form = Screen->FindForm(pointerWindow_); form != nullptr && form->Visible())
        underPointer = form->ControlAtClientPoint(pointerPosition_, true);
    UpdateMouseControl(underPointer);
    UpdatePointerShape(pointerWindow_, pointerPosition_, shownPointerShape_);
    window_damage::PresentAll();
}

void TApplication::RunInsideSystemLoop() {
    // Nothing may escape into the system's loop: errors end in the error box as elsewhere.
    try {
        ProcessMessages();
        DoIdleWork();
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::Idle() {
    if (terminated_) return;
    try {
        DoIdleWork();
    } catch (...) {
        HandleException(this);
    }
    // Idle work may have asked for a repaint (a control the pointer entered or left): paint it
    // before blocking, not after the next event.
    if (terminated_ || message_queue::HasPosted() || AnyPaintPending()) return;
    CurrentPlatform().WaitForEvent(std::numeric_limits<std::uint32_t>::max());
}

void TApplication::Terminate() { message_queue::PostQuitMessage(0); }

void TApplication::HandleException(TObject* Sender) {
    if (TControl* capture = GetCaptureControl()) capture->Perform(WM_CANCELMODE, 0, 0);
    try {
        throw;
    } catch (const EAbort&) {
        // A silent abort is dropped without a word.
    } catch (const std::exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowErrorBox(e.what());
    } catch (...) {
        ShowErrorBox("");
    }
}

std::string TApplication::ErrorBoxText(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

void TApplication::ShowErrorBox(const std::string& message) {
    const std::string text = ErrorBoxText(message);
    if (errorBoxShowing_) {
        // A box is up already (its modal loop keeps the ticks going): one box at a time.
        ReportWithoutBox(text);
        return;
    }
    errorBoxShowing_ = true;
    struct Reset {
        bool& flag;
        std::vector<WindowId> disabled;
        ~Reset() {
            for (WindowId w : disabled) CurrentPlatform().EnableWindow(w, true);
            flag = false;
        }
    } reset{errorBoxShowing_, {}};
    // The other top-level windows are disabled while the box is up.
    for (TCustomForm* form : Screen->Forms()) {
        if (form->PlatformWindow() == 0 || !form->Visible()) continue;
        CurrentPlatform().EnableWindow(form->PlatformWindow(), false);
        reset.disabled.push_back(form->PlatformWindow());
    }
    try {
        if (!CurrentPlatform().ShowMessageBox(appWindow_, text, title_, MB_OK | MB_ICONSTOP)) {
            // No native box on this platform: the toolkit draws its own, with a nested modal loop.
            if (!ShowToolkitMessageBox(text, title_)) ReportWithoutBox(text);
        }
    } catch (...) {
        // The box itself failed: the error must not be lost, nor raise another one.
        ReportWithoutBox(text);
    }
}

void TApplication::ReportWithoutBox(const std::string& text) const {
    // One line each, whatever line breaks the message holds.
    std::string line = (title_.empty() ? std::string("Lentaro") : title_) + ": " + text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "%s\n", line.c_str());
    try {
        CurrentPlatform().WriteDebugLine(line);
    } catch (...) {
        // Nothing more can be done with it; standard error has it.
    }
}

void TApplication::Shutdown() {
    for (TCustomForm* form : Screen->Forms())
        if (form->Visible() && form->PlatformWindow() != 0)
            CurrentPlatform().ShowWindow(form->PlatformWindow(), ShowState::Hidden);
    Destroying();
    DestroyComponents();
    mainForm_ = nullptr;
}
