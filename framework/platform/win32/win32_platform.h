// The Windows backend: one Win32 window per top-level form, a DIB-section back surface per window,
// GDI for screen reading and text, and the Win32 message queue feeding the toolkit's events.
// Native handles are kept as void* so this header stays free of <windows.h>.
#pragma once

#include "framework/platform/platform.h"
#include "framework/platform/timer_queue.h"
#include "framework/platform/win32/gdi_surface.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class Win32Platform : public Platform {
public:
    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    std::string Name() const override { return "Windows"; }

    WindowId CreateTopLevelWindow(const WindowParams& params) override;
    void DestroyWindow(WindowId window) override;
    void ShowWindow(WindowId window, ShowState state) override;
    void SetWindowCaption(WindowId window, const std::string& caption) override;
    void SetWindowBounds(WindowId window, const TRect& outerBounds) override;
    void EnableWindow(WindowId window, bool enabled) override;
    FrameMetrics GetFrameMetrics(WindowKind kind, std::int32_t dpi) const override;
    PixelSurface* WindowSurface(WindowId window) override;
    void PresentWindow(WindowId window, const TRect& damaged) override;
    bool AcquireWindowDrawing(WindowId window) override;
    void ReleaseWindowDrawing(WindowId window) override;
    void SetMouseCapture(WindowId window) override;

    bool PeekEvent(PlatformEvent& event) override;
    void WaitForEvent(std::uint32_t timeoutMs) override;
    std::uint64_t NowMs() override;
    bool SetTimer(TimerKey key, std::uint32_t intervalMs) override;
    void KillTimer(TimerKey key) override { timers_.Kill(key); }

    TPoint GetCursorPos() override;
    void SetCursorPos(std::int32_t x, std::int32_t y) override;
    TSize PrimaryDisplaySize() override;
    ScreenHandle AcquireScreen() override;
    void ReleaseScreen(ScreenHandle screen) override;
    bool StretchFromScreen(ScreenHandle screen, const TRect& source, PixelSurface& dest,
                           const TRect& destRect, const TRect& clip) override;

    FontMetrics GetFontMetrics(const FontSpec& font) override;
    std::int32_t MeasureText(const FontSpec& font, std::string_view text) override;
    void RenderText(PixelSurface& dest, const FontSpec& font, std::int32_t x, std::int32_t y,
                    std::string_view text, std::uint32_t pixel, const TRect& clip) override;

    std::optional<std::string> GetClipboardText() override;
    bool SetClipboardText(const std::string& text) override;
    bool IsKeyDown(std::uint16_t virtualKey) override;
    std::uint32_t GetSysColor(int index) override;
    std::uint32_t CaretBlinkTime() override;
    std::string CharToOem(const std::string& text) override;
    std::string OemToChar(const std::string& text) override;
    bool ThemeAvailable() override;
    bool DrawThemePart(PixelSurface& dest, const TRect& rect, const TRect& clip,
                       const std::string& themeClass, int part, int state) override;
    std::optional<TRect> ThemePartContentRect(const std::string& themeClass, int part, int state,
                                              const TRect& rect) override;
    std::uint32_t StartupShowMode() override;
    bool InitializeComponentServices() override;
    void UninitializeComponentServices() override;
    void WriteDebugLine(const std::string& line) override;
    std::optional<int> ShowMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                                      std::uint32_t flags) override;

    // The window procedure's way in; returns false when the message wants default processing.
    bool HandleWindowMessage(void* hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                             std::intptr_t& result);
    // Binds a native window to its id while CreateWindowEx is still running.
    void BindHandle(void* hwnd, WindowId id);
    void SetSystemLoopHook(std::function<void()> hook) override { systemLoopHook_ = std::move(hook); }

    // --- Pointer shapes (win32_cursor.cpp): the system's cursors, set on WM_SETCURSOR ---------------
    void SetWindowPointerShape(WindowId window, PointerShape shape) override;

    // --- Monitors and display scale ----------------------------------------------------------------
    std::vector<MonitorInfo> Monitors() override;
    std::int32_t WindowDpi(WindowId window) override;
    // WM_DISPLAYCHANGE, WM_SETTINGCHANGE (work area) and WM_DPICHANGED; false when the message still
    // wants its usual handling.
    bool HandleDisplayMessage(WindowId id, unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                              std::intptr_t& result);

private:
    PointerShape ShapeOfWindow(WindowId id) const;
    // WM_SETCURSOR over the client area: shows the window's shape; false elsewhere (the frame).
    bool AnswerSetCursor(WindowId id, void* hwnd, std::uintptr_t wParam, std::intptr_t lParam,
                         std::intptr_t& result);
    std::map<WindowId, PointerShape> pointerShapes_;
    std::optional<std::vector<MonitorInfo>> monitors_; // read again after a display change
    void* shcore_ = nullptr;                           // GetDpiForMonitor, where Windows has it
    bool shcoreProbed_ = false;
    std::int32_t MonitorDpi(void* monitor);

    struct Window {
        void* hwnd = nullptr;
        WindowParams params;
        bool isApplication = false;
        GdiSurface surface;
        std::vector<void*> drawingDcs; // held by AcquireWindowDrawing, newest last
    };

    Window* Find(WindowId id);
    WindowId IdOf(void* hwnd) const;
    GdiSurface* OwnSurface(PixelSurface& surface);
    void SyncSurface(Window& w);
    void QueueBoundsEvent(WindowId id, Window& w, bool sized);
    void QueueMouse(WindowId id, void* hwnd, PlatformEvent::Kind kind, PointerButton button,
                    std::uintptr_t wParam, std::intptr_t lParam, bool doubleClick, bool screenCoordinates);
    void* FontFor(const FontSpec& font);
    void* MeasureDc();
    void RestoreActivation(void* enabledWindow);
    // The theme data of a class list for the application window (null where it has none); the
    // caller closes it with CloseTheme. Null when no theme is active.
    void* OpenTheme(const std::string& themeClass);
    void CloseTheme(void* theme);

    std::map<WindowId, std::unique_ptr<Window>> windows_;
    std::map<void*, WindowId> byHandle_;
    WindowId nextWindow_ = 1;
    WindowId appWindow_ = 0;
    bool applyingBounds_ = false; // the toolkit's own bounds changes produce no events
    // The system's sizing/moving loop: while it runs, the toolkit is called from inside it and takes
    // only the events already queued (the loop itself needs the messages, the button release above all).
    std::function<void()> systemLoopHook_;
    bool inSystemLoop_ = false;
    bool inSystemLoopHook_ = false;
    void RunSystemLoopHook();
    // What the default processing of the WM_WINDOWPOSCHANGED under way has announced so far.
    struct PositionChange {
        bool active = false;
        bool moved = false;
        bool sized = false;
    };
    PositionChange positionChange_;
    std::deque<PlatformEvent> events_;
    TimerQueue timers_;
    std::map<ScreenHandle, void*> screens_;
    ScreenHandle nextScreen_ = 1;
    std::vector<std::pair<FontSpec, void*>> fonts_;
    void* measureDc_ = nullptr;
    void* uxTheme_ = nullptr;
    bool themeProbed_ = false;
    bool themeComplete_ = false;
    void* isThemeActive_ = nullptr;
    void* restoreActive_ = nullptr; // activation to give back once the error box's owner is enabled
    void* restoreFocus_ = nullptr;
    WindowId captureHolder_ = 0;   // the window given the mouse capture by SetMouseCapture
    bool changingCapture_ = false; // WM_CAPTURECHANGED caused by the toolkit's own request is no loss

    // --- Accessibility (win32_accessible.cpp) and the desktop's theme and colour changes ----------
    // Answers WM_GETOBJECT (starting the MSAA adapter at the first one), runs the default actions it
    // deferred, and turns theme, colour and high-contrast changes into events. False where the
    // message wants the default processing.
    bool HighContrast() override;
    bool HandleDesktopServiceMessage(void* hwnd, WindowId id, unsigned message, std::uintptr_t wParam,
                                     std::intptr_t lParam, std::intptr_t& result);
    std::unique_ptr<class Win32Accessibility> accessibility_;
};
