// The application object: title, main form, the message loop, error reporting and shutdown.
#pragma once

#include "framework/forms/forms.h"
#include "framework/forms/pointer_shape.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent, public TFormOwner {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    const std::string& Title() const { return title_; }
    // Stored only until the application window exists; then also that window's text.
    void SetTitle(const std::string& title);
    TCustomForm* MainForm() const { return mainForm_; }
    bool Terminated() const { return terminated_; }
    bool Running() const { return running_; }
    bool ShowMainForm = true;
    // When set, replaces the error box. The program never sets it.
    TExceptionEvent OnException;
    // While set, the mouse and keyboard input of every window of the program goes to this form, with
    // mouse positions in its client coordinates (an open pop-up menu takes the input this way).
    void SetInputCaptureForm(TCustomForm* form) { inputCaptureForm_ = form; }
    TCustomForm* InputCaptureForm() const { return inputCaptureForm_; }
    // The hidden application window that owns the forms (0 where the platform has none).
    WindowId PlatformWindow() const { return appWindow_; }
    WindowId OwnerWindow() const override { return appWindow_; }
    // Closing the main form ends the program.
    bool MainFormClosing(TCustomForm* form) override;

    // Runs the start-up hooks once.
    void AddStartupHook(std::function<void()> hook) { startupHooks_.push_back(std::move(hook)); }
    void Initialize();

    // Creates a form owned by the application; `reference` is set before the form's construction
    // begins (handlers run during construction may read it) and reset if construction fails.
    template <class T> void CreateForm(T*& reference) {
        void* memory = ::operator new(sizeof(T));
        reference = static_cast<T*>(memory);
        T* form = nullptr;
        try {
            form = new (memory) T(this);
        } catch (...) {
            reference = nullptr;
            ::operator delete(memory);
            throw;
        }
        FormCreated(form);
    }

    // Shows the main form and runs the message loop until the quit message is taken.
    void Run();
    // Handles one message, or waits for one when none is pending.
    void HandleMessage();
    // Handles every pending message without waiting.
    void ProcessMessages();
    // Handles one pending message; false when there was none.
    bool ProcessMessage();
    void Terminate();
    // The idle work done before the loop waits: pointer enter and leave for the control now under
    // the pointer (as the last mouse event placed it), the pointer's shape there, and presenting
    // what was drawn.
    void DoIdleWork();
    // Called by the platform from inside a modal loop of the system's own (a border drag): handles
    // what is pending and presents it, without waiting.
    void RunInsideSystemLoop();

    // The loop's catch point: called inside a catch block, reports the error being handled.
    void HandleException(TObject* Sender);
    // Shows an error in the error box: full stop rule, caption = title, OK button, stop icon.
    void ShowErrorBox(const std::string& message);
    // The error box text for a message: a full stop is added when the last character sorts after it.
    static std::string ErrorBoxText(const std::string& message);
    bool ErrorBoxShowing() const { return errorBoxShowing_; }
    // Where an error goes when no box can show it: one line on standard error and to the debugger.
    void ReportWithoutBox(const std::string& text) const;

    // The shutdown step: hides the windows, marks the application as being destroyed and destroys
    // every component it owns.
    void Shutdown();

private:
    void FormCreated(TCustomForm* form);
    void Idle();
    void DispatchPlatformEvent(const PlatformEvent& event);
    // Re-addresses an input event of another window to the input capture form.
    PlatformEvent RedirectInput(const PlatformEvent& event) const;
    bool PaintOnePendingForm();
    bool AnyPaintPending() const;
    // Sends WM_CANCELMODE to the control holding the mouse capture if its form is window `holder`,
    // and makes sure the capture is released. False when no control was told.
    bool CancelCaptureMode(WindowId holder);
    // Once the queue has run dry after a deactivation that left none of the program's windows
    // active, the capture (an open pop-up menu's too) is cancelled. True when something was done.
    bool EndModesOfLostActivation();

    std::string title_;
    TCustomForm* mainForm_ = nullptr;
    TCustomForm* inputCaptureForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    bool initialized_ = false;
    bool errorBoxShowing_ = false;
    WindowId appWindow_ = 0;
    std::vector<std::function<void()>> startupHooks_;
    // Where the last mouse event put the pointer (window 0: outside the program's windows).
    WindowId pointerWindow_ = 0;
    TPoint pointerPosition_;
    // The program's window that has the activation (0: none), and whether the last deactivation
    // left none active; decided only when the queue runs dry, because activation may be moving
    // between the program's own windows.
    WindowId activeWindow_ = 0;
    bool activationLost_ = false;
    TShownPointerShape shownPointerShape_;
};

extern TApplication* Application;
