// The Linux desktop backend: Xlib windows with a back surface each (presented through MIT-SHM when
// the server offers it), the root window as the screen, XQueryPointer/XWarpPointer for the pointer,
// RandR for the primary display, FreeType/fontconfig for text and the CLIPBOARD selection.
#pragma once

#include "framework/platform/platform.h"
#include "framework/platform/timer_queue.h"
#include "framework/platform/x11/x11_accessibility.h"
#include "framework/platform/x11/x11_clipboard.h"
#include "framework/platform/x11/x11_cursor.h"
#include "framework/platform/x11/x11_font.h"
#include "framework/platform/x11/x11_image.h"
#include "framework/platform/x11/x11_monitors.h"
#include "framework/platform/x11/x11_pixel_format.h"
#include "framework/platform/x11/x11_pointer_motion.h"

#include <X11/Xlib.h>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <vector>

class X11Platform : public Platform {
public:
    // Connects to the display (the DISPLAY variable when null); null with `error` set on failure.
    static std::unique_ptr<X11Platform> Open(const char* displayName, std::string& error);
    ~X11Platform() override;

    std::string Name() const override { return "X11"; }
    WindowId CreateTopLevelWindow(const WindowParams& params) override;
    void DestroyWindow(WindowId window) override;
    void ShowWindow(WindowId window, ShowState state) override;
    void SetWindowCaption(WindowId window, const std::string& caption) override;
    void SetWindowBounds(WindowId window, const TRect& outerBounds) override;
    void EnableWindow(WindowId window, bool enabled) override;
    FrameMetrics GetFrameMetrics(WindowKind kind, std::int32_t dpi) const override;
    PixelSurface* WindowSurface(WindowId window) override;
    void PresentWindow(WindowId window, const TRect& damaged) override;
    bool AcquireWindowDrawing(WindowId window) override { return FindWindow(window) != nullptr; }
    void ReleaseWindowDrawing(WindowId) override {}
    // Within a window X grabs the pointer while a button is held; a pop-up menu grabs pointer and
    // keyboard outright, so clicks anywhere and every key reach it, as capture does on Windows.
    // CaptureLost reports another client's grab taking the pointer from the capture window, or a
    // pop-up's grab refused because another client holds one.
    void SetMouseCapture(WindowId window) override;

    bool PeekEvent(PlatformEvent& event) override;
    void WaitForEvent(std::uint32_t timeoutMs) override;
    std::uint64_t NowMs() override;
    bool SetTimer(TimerKey key, std::uint32_t intervalMs) override;
    void KillTimer(TimerKey key) override { timers_.Kill(key); }
    bool SetTimerWithFirstDelay(TimerKey key, std::uint32_t intervalMs, std::uint32_t firstDelayMs) override {
        timers_.Set(key, intervalMs, NowMs(), firstDelayMs);
        return true;
    }

    TPoint GetCursorPos() override;
    bool ReportsPointerMotion() override { return motion_.Available(); }
    void WatchPointerMotion(std::function<void(PointerMoveSeen)> onMotion,
                            std::uint32_t checkEveryMs) override {
        motion_.Watch(std::move(onMotion), checkEveryMs, lastPointer_, NowMs());
    }
    void SetCursorPos(std::int32_t x, std::int32_t y) override;
    TSize PrimaryDisplaySize() override;
    // --- Monitors and display scale ----------------------------------------------------------------
    std::vector<MonitorInfo> Monitors() override { return monitors_->Monitors(); }
    std::int32_t WindowDpi(WindowId) override { return monitors_->Dpi(); }
    ScreenHandle AcquireScreen() override;
    void ReleaseScreen(ScreenHandle screen) override { heldScreens_.erase(screen); }
    bool StretchFromScreen(ScreenHandle screen, const TRect& source, PixelSurface& dest,
                           const TRect& destRect, const TRect& clip) override;

    FontMetrics GetFontMetrics(const FontSpec& font) override { return fonts_.Metrics(font); }
    std::int32_t MeasureText(const FontSpec& font, std::string_view text) override {
        return fonts_.Measure(font, text);
    }
    void RenderText(PixelSurface& dest, const FontSpec& font, std::int32_t x, std::int32_t y,
                    std::string_view text, std::uint32_t pixel, const TRect& clip) override {
        fonts_.Render(dest, font, x, y, text, pixel, clip);
    }

    std::optional<std::string> GetClipboardText() override { return clipboard_->GetText(); }
    bool SetClipboardText(const std::string& text) override { return clipboard_->SetText(text); }
    bool IsKeyDown(std::uint16_t virtualKey) override;
    // X has no message box: the toolkit draws its own.
    std::optional<int> ShowMessageBox(WindowId, const std::string&, const std::string&,
                                      std::uint32_t) override {
        return std::nullopt;
    }

    // --- Pointer shapes (x11_cursor.*): XDefineCursor on the window when its shape changes ---------
    void SetWindowPointerShape(WindowId window, PointerShape shape) override;

    // --- Window icon (x11_window_icon.cpp) ----------------------------------------------------------
    // _NET_WM_ICON on every top-level window, for task bars and window switchers.
    void SetWindowIcon(const std::vector<IconImage>& images) override;

private:
    void ApplyWindowIcon(::Window xid);
    std::vector<long> windowIcon_; // the property's items: Xlib passes 32-bit items as longs
    Atom netWmIcon_ = 0;           // interned at first use

    struct TopLevel {
        ::Window xid = 0;
        WindowParams params;
        PixelSurface surface;
        TRect outerBounds;
        FrameMetrics frame; // what lies round the client area: the manager's extents or the assumed frame
        bool frameKnown = false; // the manager has told its extents for this window
        bool mapped = false;
        bool enabled = true;
        // The request that last set the size: configure events older than it report a stale size.
        unsigned long configureSerial = 0;
        std::unique_ptr<X11Image> image;
    };
    struct Atoms {
        Atom wmProtocols, wmDelete, netWmPing, netWmName, utf8String, netFrameExtents, netRequestFrameExtents,
            netWmState, netWmStateMaxVert, netWmStateMaxHorz, netWmWindowType, netWmTypeNormal,
            netWmTypeDialog, netWmTypePopup, motifWmHints, netSupportingWmCheck, netWmPid;
    };

    explicit X11Platform(Display* display);
    TopLevel* FindWindow(WindowId id);
    TopLevel* FindByXid(::Window xid, WindowId* id = nullptr);
    bool WindowManagerRunning();
    TPoint ClientPositionFor(const TopLevel& w, const TRect& outer);
    void SetWindowHints(TopLevel& w);
    void SetMaximized(TopLevel& w, bool maximized);
    void Present(TopLevel& w, const TRect& rect);
    // Gives a window's back surface a new size, cleared to black (x11_back_surface.cpp).
    void ResizeSurface(TopLevel& w, std::int32_t width, std::int32_t height);
    // The back surface is the presenting image's own pixels: a present copies nothing.
    static bool SurfaceIsImage(const TopLevel& w);
    void RefreshDisplayGeometry();
    void UpdateFrameExtents(WindowId id, TopLevel& w);
    // Before the first mapping: the manager's frame size, so the first paint has the final client size.
    void WaitForFrameExtents(WindowId id, TopLevel& w);

    // Once the first window is on screen and the program goes idle: hands back the memory that
    // start-up needed (fontconfig's state, freed heap pages).
    void ReleaseStartupMemory();

    // Event translation (x11_events.cpp).
    void TranslatePendingEvents();
    void Translate(XEvent& event);
    void TranslateButton(WindowId id, const XButtonEvent& e, bool press);
    void TranslateKey(WindowId id, XKeyEvent& e, bool press);
    void TranslateConfigure(WindowId id, TopLevel& w, XConfigureEvent& e);
    std::uint32_t ShiftFromState(unsigned int state) const;
    void BuildKeycodeTable();

    Display* display_;
    int screen_;
    ::Window root_;
    Visual* visual_;
    int depth_;
    GC gc_ = nullptr;
    bool shm_ = false;
    Atoms atoms_{};
    ::Window utility_ = 0; // unmapped: owns the clipboard
    std::unique_ptr<X11Clipboard> clipboard_;
    X11FontCache fonts_;

    std::map<WindowId, TopLevel> windows_;
    WindowId nextWindow_ = 1;
    FrameMetrics assumedFrame_{4, 23, 4, 4}; // 4-pixel frame, 19-pixel caption, until the manager says
    WindowId capture_ = 0;
    bool grabbed_ = false; // an explicit grab for a pop-up is held

    std::deque<PlatformEvent> pending_;
    // The last wait found the connection readable: the next look for events reads from it. Otherwise
    // only what Xlib queued already (events that came in with a reply) is taken, so a tick at rest
    // makes no extra read calls.
    bool connectionReadable_ = true;
    TimerQueue timers_;

    int randrEventBase_ = -1;
    std::unique_ptr<X11Monitors> monitors_;
    // Tells every window that the monitors or the scale changed.
    void ReportDisplayChange();
    TSize rootSize_;
    TSize primarySize_;
    std::unique_ptr<X11Image> capture_image_;
    PixelSurface captured_;
    std::set<ScreenHandle> heldScreens_;
    ScreenHandle nextScreen_ = 1;
    TPoint lastPointer_;
    X11PointerMotion motion_;
    X11PointerShapes pointerShapes_;
    bool presented_ = false; // a window has been presented
    bool startupMemoryReleased_ = false;

    // Double clicks: the same button pressed again soon, close to the last press.
    struct LastPress {
        unsigned int button = 0;
        Time time = 0;
        TPoint at;
        WindowId window = 0;
        bool wasDouble = false;
    } lastPress_;
    std::set<unsigned int> keysHeld_; // keycodes down, to tell auto-repeat from a new press
    std::map<std::uint16_t, std::vector<unsigned int>> keycodesByVk_;

    // Screen readers: the status watch and the AT-SPI2 plug-in, loaded once a client wants them.
    std::unique_ptr<X11Accessibility> accessibility_;
};
