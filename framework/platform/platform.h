// The one interface between the toolkit and an operating system. Only top-level windows (forms,
// pop-up menus, message boxes) are platform windows; everything inside them is drawn by the toolkit
// into the window's back surface and presented through PresentWindow.
//
// This header must stay free of the toolkit's message constants: the Windows backend includes it
// beside <windows.h>, whose macros carry the same names.
#pragma once

#include "framework/platform/geometry.h"
#include "framework/platform/icon_image.h"
#include "framework/platform/pixel_surface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using WindowId = std::uint32_t;     // 0 means none
using ScreenHandle = std::uint32_t; // 0 means the screen surface could not be had
using TimerKey = std::uint64_t;

enum class WindowKind : std::uint8_t { Main, Popup, Dialog };
enum class ShowState : std::uint8_t { Hidden, Normal, Maximized, Minimized };

struct WindowParams {
    WindowKind kind = WindowKind::Main;
    std::string caption;
    TRect outerBounds; // screen coordinates, frame and caption included
    WindowId owner = 0;
    bool sizeable = true;
    bool captionButtons = false; // minimise/maximise/close
};

// Sizes of the frame and caption that the platform adds round a window's client area.
struct FrameMetrics {
    std::int32_t left = 0;
    std::int32_t top = 0; // caption included
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Shift-state bits, as the toolkit's TShiftState uses them.
enum ShiftBits : std::uint32_t {
    kShiftShift = 1u << 0,
    kShiftAlt = 1u << 1,
    kShiftCtrl = 1u << 2,
    kShiftLeft = 1u << 3,
    kShiftRight = 1u << 4,
    kShiftMiddle = 1u << 5,
    kShiftDouble = 1u << 6,
};

enum class PointerButton : std::uint8_t { Left, Right, Middle };

// How a sleeping pointer watch learnt of a move: as it happened (reported motion), or later, by
// finding the pointer elsewhere (the move happened up to one check period before).
enum class PointerMoveSeen : std::uint8_t { AsItHappened, Later };

struct PlatformEvent {
    enum class Kind : std::uint8_t {
        None,
        MouseDown,
        MouseUp,
        MouseMove,
        MouseWheel,
        MouseLeave, // the pointer left the window
        KeyDown,
        KeyUp,
        Char,
        CloseRequest,
        Resized,   // outer bounds changed (outerBounds, clientSize); the back surface is resized already
        Moved,     // outer position changed without the size
        Activated, // the window got the keyboard focus
        Deactivated,
        CaptureLost, // the mouse capture this program held was taken away (another window grabbed it)
        Timer,
        Quit,           // the platform wants the program to end (display gone, test script ended)
        DisplayChanged, // monitors were added, removed or moved, or a scale changed (`dpi`: the window's)
        DpiChanged,     // the window's scale changed to `dpi`; outerBounds: the suggested place, or empty
        // The desktop's look changed: a visual style or high contrast was switched on or off, or the
        // system colours changed. Every window hears of it; the event names the first one.
        ThemeChanged,
        SystemColorsChanged,
    };
    Kind kind = Kind::None;
    WindowId window = 0;
    TPoint position;       // client coordinates of `window`
    TPoint screenPosition; // screen coordinates
    PointerButton button = PointerButton::Left;
    std::uint32_t shift = 0;
    std::int32_t wheelDelta = 0;  // multiples of 120 per notch
    std::uint16_t virtualKey = 0; // Windows virtual-key code
    std::uint32_t keyData = 0;    // repeat count and flags, as the classic lParam
    unsigned char character = 0;  // Latin-1 character for Char
    TRect outerBounds;
    TSize clientSize;
    TimerKey timer = 0;
    std::int32_t dpi = 0; // DisplayChanged, DpiChanged
};

struct FontSpec {
    std::string name = "MS Sans Serif";
    std::int32_t height = -11; // negative: character height in pixels; positive: cell height
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = 1; // DEFAULT_CHARSET
    bool operator==(const FontSpec&) const = default;
};

struct FontMetrics {
    std::int32_t height = 0; // ascent + descent
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t averageCharWidth = 0;
};

// --- Pointer shapes -----------------------------------------------------------------------------
// The standard pointer shapes a window can show, numbered as the toolkit's shape constants
// (crArrow = -2 ...). Hidden shows no pointer at all.
enum class PointerShape : std::int16_t {
    Hidden = -1,
    Arrow = -2,
    Cross = -3,
    IBeam = -4,
    SizeNESW = -6,
    SizeNS = -7,
    SizeNWSE = -8,
    SizeWE = -9,
    UpArrow = -10,
    HourGlass = -11,
    Drag = -12,
    NoDrop = -13,
    HSplit = -14,
    VSplit = -15,
    MultiDrag = -16,
    SQLWait = -17,
    No = -18,
    AppStart = -19,
    Help = -20,
    HandPoint = -21,
    SizeAll = -22,
};

// One monitor: its rectangle, the part of it not covered by task bars and docks, and its scale.
struct MonitorInfo {
    TRect bounds;
    TRect workArea;
    bool primary = false;
    std::int32_t dpi = 96; // dots per inch the desktop asks programs to use on it (96 = 100 %)
    bool operator==(const MonitorInfo&) const = default;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Name shown to the user ("headless", "X11", "Windows").
    virtual std::string Name() const = 0;

    // --- Top-level windows ---------------------------------------------------------------------
    virtual WindowId CreateTopLevelWindow(const WindowParams& params) = 0;
    virtual void DestroyWindow(WindowId window) = 0;
    virtual void ShowWindow(WindowId window, ShowState state) = 0;
    virtual void SetWindowCaption(WindowId window, const std::string& caption) = 0;
    virtual void SetWindowBounds(WindowId window, const TRect& outerBounds) = 0;
    virtual void EnableWindow(WindowId window, bool enabled) = 0;
    // The frame a window of `kind` gets at `dpi` pixels per inch (its monitor's; on a display of
    // several scales the frame follows the window's); 0 asks for the system's scale.
    virtual FrameMetrics GetFrameMetrics(WindowKind kind, std::int32_t dpi) const = 0;
    // The back surface the toolkit draws into: the window's client area, resized with it.
    virtual PixelSurface* WindowSurface(WindowId window) = 0;
    // Copies the damaged part of the back surface to the screen.
    virtual void PresentWindow(WindowId window, const TRect& damaged) = 0;
    // Obtains and releases permission to draw into a window outside a repaint (the classic GetDC).
    virtual bool AcquireWindowDrawing(WindowId window) = 0;
    virtual void ReleaseWindowDrawing(WindowId window) = 0;
    virtual void SetMouseCapture(WindowId window) = 0; // 0 releases

    // --- Events, clock and timers -----------------------------------------------------------------
    // Takes one pending event without waiting; timers are reported only when nothing else is pending.
    virtual bool PeekEvent(PlatformEvent& event) = 0;
    // Blocks until an event may be pending, a timer falls due or timeoutMs passes (UINT32_MAX: none).
    virtual void WaitForEvent(std::uint32_t timeoutMs) = 0;
    virtual std::uint64_t NowMs() = 0;
    // Arms (or re-arms, restarting the period) a periodic timer; false when none can be had.
    virtual bool SetTimer(TimerKey key, std::uint32_t intervalMs) = 0;
    virtual void KillTimer(TimerKey key) = 0;
    // Arms `key` like SetTimer, with the first tick after firstDelayMs (0: due at once) and every
    // intervalMs after it. Backends without it start a full period.
    virtual bool SetTimerWithFirstDelay(TimerKey key, std::uint32_t intervalMs,
                                        std::uint32_t /*firstDelayMs*/) {
        return SetTimer(key, intervalMs);
    }
    // Where the system runs a modal loop of its own that keeps the program's loop from running (on
    // Windows while the user drags a window's border or caption), the backend calls `hook` from
    // inside it every few milliseconds and after each change of a window's place or size, so the
    // toolkit can handle what has arrived and repaint. The hook takes only what is pending and never
    // waits; no hook is called from inside itself. Backends without such loops ignore it.
    virtual void SetSystemLoopHook(std::function<void()> /*hook*/) {}

    // --- Pointer and screen ----------------------------------------------------------------------
    virtual TPoint GetCursorPos() = 0;
    // True where the system tells the backend of pointer motion, so a timer that only watches the
    // pointer can sleep while it rests.
    virtual bool ReportsPointerMotion() { return false; }
    // Calls `onMotion` once, from inside PeekEvent, then stops watching: `AsItHappened` at the first
    // reported pointer motion after this call; `Later` when the pointer is found moved without any
    // report (since the last GetCursorPos, or by a check made at least every `checkEveryMs` while
    // watching: warps by other programs and assistive tools report no motion). A null hook stops
    // watching. The hook may arm timers and post messages, nothing more.
    virtual void WatchPointerMotion(std::function<void(PointerMoveSeen)> /*onMotion*/,
                                    std::uint32_t /*checkEveryMs*/) {}
    virtual void SetCursorPos(std::int32_t x, std::int32_t y) = 0;
    virtual TSize PrimaryDisplaySize() = 0;
    virtual ScreenHandle AcquireScreen() = 0;
    virtual void ReleaseScreen(ScreenHandle screen) = 0;
    // Copies screen rectangle `source` (screen pixels; parts outside the screen read as black) onto
    // `destRect` of `dest`, scaled independently in x and y, touching only pixels inside `clip`.
    virtual bool StretchFromScreen(ScreenHandle screen, const TRect& source, PixelSurface& dest,
                                   const TRect& destRect, const TRect& clip) = 0;

    // --- Text ------------------------------------------------------------------------------------
    virtual FontMetrics GetFontMetrics(const FontSpec& font) = 0;
    virtual std::int32_t MeasureText(const FontSpec& font, std::string_view text) = 0;
    // Draws text with its cell's top-left at (x, y) in `pixel` colour, inside `clip` only.
    virtual void RenderText(PixelSurface& dest, const FontSpec& font, std::int32_t x, std::int32_t y,
                            std::string_view text, std::uint32_t pixel, const TRect& clip) = 0;

    // --- Clipboard, keyboard state and other services ---------------------------------------------------
    virtual std::optional<std::string> GetClipboardText() = 0;
    virtual bool SetClipboardText(const std::string& text) = 0;
    // True when the key (a virtual-key code) is down now.
    virtual bool IsKeyDown(std::uint16_t virtualKey) = 0;
    // System colour by index (COLOR_WINDOW = 5 ...), as 0x00BBGGRR. The default is the classic table.
    virtual std::uint32_t GetSysColor(int index);
    // The desktop's caret blink time, read only: the toolkit blinks its own caret and never changes
    // a setting that every program on the desktop shares.
    virtual std::uint32_t CaretBlinkTime() { return 530; }
    virtual std::string CharToOem(const std::string& text) { return text; }
    virtual std::string OemToChar(const std::string& text) { return text; }
    virtual bool ThemeAvailable() { return false; }
    // Draws the active visual theme's background of (themeClass, part, state) over `rect` of `dest`,
    // touching only pixels inside `clip`. False, with nothing drawn, where no theme is active.
    virtual bool DrawThemePart(PixelSurface& /*dest*/, const TRect& /*rect*/, const TRect& /*clip*/,
                               const std::string& /*themeClass*/, int /*part*/, int /*state*/) {
        return false;
    }
    // The content rectangle of that part drawn over `rect`; nullopt where no theme is active.
    virtual std::optional<TRect> ThemePartContentRect(const std::string& /*themeClass*/, int /*part*/,
                                                      int /*state*/, const TRect& /*rect*/) {
        return std::nullopt;
    }
    // --- Accessibility ----------------------------------------------------------------------------
    // True while the desktop's high-contrast setting is on: fixed colours give way to system ones.
    // The accessibility tree itself is found through framework/platform/accessible.h.
    virtual bool HighContrast() { return false; }

    // The show mode the program was started with (SW_SHOWNORMAL = 1, SW_SHOWMAXIMIZED = 3 ...).
    virtual std::uint32_t StartupShowMode() { return 1; }
    // Component-object services for the thread; true when they must be released at shutdown.
    virtual bool InitializeComponentServices() { return false; }
    virtual void UninitializeComponentServices() {}

    // One line for a debugger to show (Windows: OutputDebugStringA). A GUI program there has no
    // visible standard error, so errors that cannot get a box go here as well.
    virtual void WriteDebugLine(const std::string& /*line*/) {}
    // A native modal message box; platforms without one return std::nullopt and the toolkit draws
    // its own. Returns the button chosen (IDOK = 1).
    virtual std::optional<int> ShowMessageBox(WindowId owner, const std::string& text,
                                              const std::string& caption, std::uint32_t flags) = 0;

    // --- Pointer shapes ----------------------------------------------------------------------------
    // The shape the pointer takes over the client area of `window` (and wherever it goes while the
    // window holds the mouse capture), from now until the next call; a new window shows the arrow.
    // The toolkit calls it when the shape under the pointer changes. Backends without shapes ignore it.
    virtual void SetWindowPointerShape(WindowId /*window*/, PointerShape /*shape*/) {}

    // --- Window icon -------------------------------------------------------------------------------
    // The pictures that stand for the program's windows in task bars and window switchers, one per
    // size: every top-level window shows them, those made before the call included. Backends whose
    // windows take their icon from elsewhere (Windows: the executable's icon resource) keep none.
    virtual void SetWindowIcon(const std::vector<IconImage>& /*images*/) {}

    // --- Monitors and display scale ----------------------------------------------------------------
    // The monitors as the system reports them now, in the coordinates GetCursorPos uses. Empty where
    // it reports none; the toolkit then uses the primary display size. The default is one monitor of
    // PrimaryDisplaySize at 96 dots per inch.
    virtual std::vector<MonitorInfo> Monitors();
    // The dots per inch `window` is laid out for now, that of its monitor (96: no scaling).
    virtual std::int32_t WindowDpi(WindowId window);
};

// The platform the toolkit runs on. Set once at start (or per test); never null while in use.
Platform& CurrentPlatform();
void SetCurrentPlatform(Platform* platform);
bool HasCurrentPlatform();

// The classic system-colour table (index 0..30), as 0x00BBGGRR.
std::uint32_t ClassicSysColor(int index);

// Creates the desktop backend this build was configured for (headless when there is none).
std::unique_ptr<Platform> CreateDefaultPlatform();

// True where the configured backend's programs start without a console to print to (a Windows GUI
// program): texts for the user, such as --help's, then go to a message box as well. Needs no display.
bool DefaultPlatformHasNoConsole();
