// The backend the tests drive: a synthetic screen, a chosen pointer and display size, a virtual clock,
// scripted input, recorded message boxes and failure injection. Nothing here touches a real display.
#pragma once

#include "framework/platform/platform.h"
#include "framework/platform/timer_queue.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class HeadlessPlatform : public Platform {
public:
    struct Window {
        WindowParams params;
        PixelSurface surface;
        TRect outerBounds;
        ShowState state = ShowState::Hidden;
        bool enabled = true;
        int presentCount = 0;
        TRect lastPresented;
        TRect normalBounds; // the place to go back to when a maximised window is restored
    };
    struct MessageBoxRecord {
        WindowId owner;
        std::string text;
        std::string caption;
        std::uint32_t flags;
    };
    struct ThemeDrawRecord {
        std::string themeClass;
        int part = 0;
        int state = 0;
        TRect rect;
    };

    // The synthetic screen is filled at this size; short runs (fuzzing) ask for a small one.
    explicit HeadlessPlatform(TSize displaySize = {1024, 768});

    // --- Test controls ----------------------------------------------------------------------------
    void SetPointer(TPoint p);
    // Simulates a desktop that tells of pointer motion (off: the program polls, as on Windows).
    void SetReportsPointerMotion(bool on) { reportsMotion_ = on; }
    // Moves the pointer at a virtual time; WaitForEvent moves the clock to it as to an event.
    void SchedulePointer(std::uint64_t atMs, TPoint p);
    // Moves the pointer as another program's warp does: no motion is reported, only a check of
    // the pointer (GetCursorPos, the watch's periodic look) finds it.
    void WarpPointer(TPoint p) { pointer_ = p; }
    void ScheduleWarp(std::uint64_t atMs, TPoint p);
    void SetDisplaySize(TSize size); // also resizes the synthetic screen, refilled with the test pattern
    PixelSurface& Screen() { return screen_; }
    // The default picture: every pixel encodes its own coordinates (see TestPatternPixel).
    static std::uint32_t TestPatternPixel(std::int32_t x, std::int32_t y);
    void FillTestPattern();
    void Advance(std::uint64_t ms) { now_ += ms; }
    // Queues an event now, or for a virtual time; WaitForEvent moves the clock to it.
    void PostEvent(const PlatformEvent& event) { ScheduleEvent(now_, event); }
    void ScheduleEvent(std::uint64_t atMs, const PlatformEvent& event);
    // Ends a Run that would otherwise wait for ever: at this virtual time a Quit event is delivered.
    void SetQuitAt(std::uint64_t atMs) { quitAt_ = atMs; }
    void SetKeyDown(std::uint16_t virtualKey, bool down);
    void SetStartupShowMode(std::uint32_t mode) { showMode_ = mode; }
    // The user (or a window manager) gives a window new outer bounds: the back surface follows at
    // once and the program hears of it as a desktop would report it (Resized, or Moved for a move).
    void UserSetBounds(WindowId window, const TRect& outerBounds);
    void SetMessageBoxHook(std::function<void(const MessageBoxRecord&)> hook) { boxHook_ = std::move(hook); }
    // A stand-in visual theme (off by default). While on, a drawn part is a one-pixel ring in the
    // colour of its state round a white inside, and its content rectangle is the rectangle inset by 1.
    void SetThemeActive(bool active) { themeActive_ = active; }
    static std::uint32_t ThemeRingPixel(int state);
    // The desktop's high-contrast setting; switching it posts SystemColorsChanged and ThemeChanged to
    // `window`, as a desktop tells every window.
    void SetHighContrast(bool on, WindowId window);
    bool HighContrast() override { return highContrast_; }
    // The classic colours, or a black high-contrast scheme (white text, black faces) while it is on.
    std::uint32_t GetSysColor(int index) override;
    static constexpr std::uint32_t kThemeInsidePixel = 0xFFFFFF;
    // Called before each top-level window is made; it may throw to simulate a failing platform.
    std::function<void(const WindowParams&)> createWindowHook;
    // The hook the toolkit gave for the system's own modal loops; a test calls it as such a loop would.
    const std::function<void()>& SystemLoopHook() const { return systemLoopHook_; }
    void SetSystemLoopHook(std::function<void()> hook) override { systemLoopHook_ = std::move(hook); }
    // Called each time the program waits, after the clock has moved: lets a test act during a Run.
    std::function<void()> waitHook;

    // Failure injection.
    bool failScreen = false;        // the whole-screen surface cannot be had
    bool failWindowDrawing = false; // a window surface outside the paint cycle cannot be had
    bool failTimers = false;        // arming a timer fails
    bool failComponentServices = false;

    // Observations.
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
    const std::vector<std::string>& DebugLines() const { return debugLines_; }
    const std::map<WindowId, Window>& Windows() const { return windows_; }
    Window* FindWindow(WindowId id);
    int CursorQueries() const { return cursorQueries_; }
    int PointerChecks() const { return pointerChecks_; } // the watch's periodic looks
    int ScreenAcquisitions() const { return screenAcquired_; }
    int ScreenSurfacesHeld() const { return static_cast<int>(heldScreens_.size()); }
    int ScreenCopies() const { return screenCopies_; }
    int WindowDrawingsHeld() const { return windowDrawingsHeld_; }
    int ComponentServicesInitialized() const { return comInit_; }
    int ComponentServicesReleased() const { return comRelease_; }
    WindowId MouseCapture() const { return capture_; }
    // Every DrawThemePart call, drawn or not.
    int ThemeDrawCount() const { return themeDrawCount_; }
    const ThemeDrawRecord& LastThemeDraw() const { return lastThemeDraw_; }
    bool TimerArmed(TimerKey key) const { return timers_.IsArmed(key); }
    std::size_t ArmedTimers() const { return timers_.Count(); }
    std::optional<std::uint64_t> NextTimerDue() const { return timers_.NextDue(); }
    void ResetCounters();

    // --- Platform ---------------------------------------------------------------------------------
    std::string Name() const override { return "headless"; }
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
    void SetMouseCapture(WindowId window) override { capture_ = window; }
    bool PeekEvent(PlatformEvent& event) override;
    void WaitForEvent(std::uint32_t timeoutMs) override;
    std::uint64_t NowMs() override { return now_; }
    bool SetTimer(TimerKey key, std::uint32_t intervalMs) override;
    void KillTimer(TimerKey key) override { timers_.Kill(key); }
    bool SetTimerWithFirstDelay(TimerKey key, std::uint32_t intervalMs, std::uint32_t firstDelayMs) override;
    TPoint GetCursorPos() override;
    bool ReportsPointerMotion() override { return reportsMotion_; }
    void WatchPointerMotion(std::function<void(PointerMoveSeen)> onMotion,
                            std::uint32_t checkEveryMs) override;
    void SetCursorPos(std::int32_t x, std::int32_t y) override { pointer_ = {x, y}; }
    TSize PrimaryDisplaySize() override { return display_; }
    ScreenHandle AcquireScreen() override;
    void ReleaseScreen(ScreenHandle screen) override;
    bool StretchFromScreen(ScreenHandle screen, const TRect& source, PixelSurface& dest,
                           const TRect& destRect, const TRect& clip) override;
    FontMetrics GetFontMetrics(const FontSpec& font) override;
    std::int32_t MeasureText(const FontSpec& font, std::string_view text) override;
    void RenderText(PixelSurface& dest, const FontSpec& font, std::int32_t x, std::int32_t y,
                    std::string_view text, std::uint32_t pixel, const TRect& clip) override;
    std::optional<std::string> GetClipboardText() override { return clipboard_; }
    bool SetClipboardText(const std::string& text) override;
    bool IsKeyDown(std::uint16_t virtualKey) override { return keysDown_.count(virtualKey) != 0; }
    bool ThemeAvailable() override { return themeActive_; }
    bool DrawThemePart(PixelSurface& dest, const TRect& rect, const TRect& clip,
                       const std::string& themeClass, int part, int state) override;
    std::optional<TRect> ThemePartContentRect(const std::string& themeClass, int part, int state,
                                              const TRect& rect) override;
    std::uint32_t StartupShowMode() override { return showMode_; }
    bool InitializeComponentServices() override;
    void UninitializeComponentServices() override { ++comRelease_; }
    void WriteDebugLine(const std::string& line) override { debugLines_.push_back(line); }
    std::optional<int> ShowMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                                      std::uint32_t flags) override;

    // --- Pointer shapes: recorded, for the tests to read ----------------------------------------------
    void SetWindowPointerShape(WindowId window, PointerShape shape) override;
    // The shape last shown for `window` (the arrow before any call).
    PointerShape ShownPointerShape(WindowId window) const;
    // Every SetWindowPointerShape call, so a test can tell a change from a repeat.
    int PointerShapeCalls() const { return pointerShapeCalls_; }

    // --- Monitors and display scale ----------------------------------------------------------------
    // Scripts the monitors (an empty list: the system reports none). The synthetic screen then
    // covers their union, its top-left pixel at ScreenOrigin(), refilled with the test pattern of
    // the pointer's coordinates; the primary's size becomes the display size. Every window hears of
    // the change as DisplayChanged, with the dots per inch of the monitor that holds most of it.
    void SetMonitors(std::vector<MonitorInfo> monitors);
    TPoint ScreenOrigin() const { return screenOrigin_; }
    std::vector<MonitorInfo> Monitors() override;
    std::int32_t WindowDpi(WindowId window) override;

    std::optional<std::string> clipboard_;
    bool failClipboard = false;
    // Behaves like a platform without a native message box, so the toolkit draws its own.
    bool noNativeMessageBox = false;

private:
    struct Scheduled {
        std::uint64_t at;
        std::uint64_t order;
        PlatformEvent event;
    };
    std::map<WindowId, Window> windows_;
    std::function<void()> systemLoopHook_;
    WindowId nextWindow_ = 1;
    std::deque<Scheduled> events_;
    std::uint64_t eventOrder_ = 0;
    std::optional<std::uint64_t> quitAt_;
    TimerQueue timers_;
    std::uint64_t now_ = 0;
    // Applies the scheduled pointer moves whose time has come.
    void FollowPointerPath();
    // The watch's periodic look: a pointer moved without motion (a warp) is found here.
    void CheckWatchedPointer();
    // Calls the motion hook once when a watched pointer has moved.
    void ReportMotion();

    struct ScheduledMove {
        std::uint64_t at;
        TPoint to;
        bool warp;
    };
    void InsertMove(const ScheduledMove& move);

    TPoint pointer_{};
    TPoint lastQueried_{}; // the pointer as GetCursorPos last returned it
    std::deque<ScheduledMove> pointerPath_;
    bool reportsMotion_ = false;
    std::function<void(PointerMoveSeen)> motionHook_;
    std::optional<PointerMoveSeen> motionPending_;
    std::uint32_t checkEveryMs_ = 0;
    std::uint64_t nextCheckAt_ = 0;
    int pointerChecks_ = 0;
    TSize display_{1024, 768};
    PixelSurface screen_;
    std::optional<std::vector<MonitorInfo>> monitors_; // none scripted: one of display_
    TPoint screenOrigin_{};
    std::set<ScreenHandle> heldScreens_;
    ScreenHandle nextScreen_ = 1;
    std::set<std::uint16_t> keysDown_;
    std::uint32_t showMode_ = 1;
    WindowId capture_ = 0;
    std::vector<MessageBoxRecord> boxes_;
    std::vector<std::string> debugLines_;
    std::function<void(const MessageBoxRecord&)> boxHook_;
    int cursorQueries_ = 0;
    int screenAcquired_ = 0;
    int screenCopies_ = 0;
    int windowDrawingsHeld_ = 0;
    int comInit_ = 0;
    int comRelease_ = 0;
    bool themeActive_ = false;
    bool highContrast_ = false;
    int themeDrawCount_ = 0;
    ThemeDrawRecord lastThemeDraw_;
    std::map<WindowId, PointerShape> pointerShapes_;
    int pointerShapeCalls_ = 0;
};
