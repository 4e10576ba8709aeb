// The Windows backend on a real (Wine) display: window messages become the toolkit's events, back
// surfaces follow the client area, presenting copies only the damage, the screen is read through
// GDI, text is drawn clipped, and the queue and timers keep their order.
#include "framework/platform/win32/win32_platform.h"
#include "tests/e2e_wine/themed_test_main.h"

#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#undef CharToOem
#undef OemToChar

namespace {

class Win32BackendTest : public ::testing::Test {
protected:
    // A visible main form owned by the application window, like Lentaro's.
    void SetUp() override {
        WindowParams app;
        app.caption = "Lentaro";
        appWindow = platform.CreateTopLevelWindow(app);
        ASSERT_NE(appWindow, 0u);
        WindowParams form;
        form.caption = caption;
        form.outerBounds = Bounds(60, 50, 300, 240);
        form.owner = appWindow;
        window = platform.CreateTopLevelWindow(form);
        ASSERT_NE(window, 0u);
        hwnd = FindWindowA("LentaroWindow", caption.c_str());
        ASSERT_NE(hwnd, nullptr);
        platform.ShowWindow(window, ShowState::Normal);
        Drain();
    }

    std::vector<PlatformEvent> Drain() {
        std::vector<PlatformEvent> events;
        PlatformEvent e;
        while (platform.PeekEvent(e)) events.push_back(e);
        return events;
    }

    PlatformEvent Next() {
        PlatformEvent e;
        EXPECT_TRUE(platform.PeekEvent(e));
        return e;
    }

    // Puts a known picture on the screen: a 4 x 4 grid of distinct colours over the client area.
    void ShowGrid() {
        PixelSurface* s = platform.WindowSurface(window);
        for (int y = 0; y < s->Height(); ++y)
            for (int x = 0; x < s->Width(); ++x)
                s->SetPixel(x, y, static_cast<std::uint32_t>((x % 4) * 0x40 << 16 | (y % 4) * 0x40));
        platform.PresentWindow(window, s->Bounds());
        // Give the system a moment (and a turn of the queue) to bring the picture onto the screen.
        for (int i = 0; i < 5; ++i) {
            Drain();
            Sleep(40);
        }
    }

    TPoint ClientOrigin() {
        POINT p{0, 0};
        ClientToScreen(hwnd, &p);
        return {p.x, p.y};
    }

    Win32Platform platform;
    std::string caption = "Lentaro backend test";
    WindowId appWindow = 0;
    WindowId window = 0;
    HWND hwnd = nullptr;
};

TEST_F(Win32BackendTest, WindowIsPlacedWithItsOuterBoundsAndTheSurfaceCoversTheClientArea) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), Bounds(60, 50, 300, 240));
    const FrameMetrics f = platform.GetFrameMetrics(WindowKind::Main, 0);
    const PixelSurface* s = platform.WindowSurface(window);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Width(), 300 - f.left - f.right);
    EXPECT_EQ(s->Height(), 240 - f.top - f.bottom);
    EXPECT_EQ(ClientOrigin(), (TPoint{60 + f.left, 50 + f.top}));
    // No caption buttons were asked for; the frame is sizeable.
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), FindWindowA("LentaroWindow", "Lentaro"));
}

TEST_F(Win32BackendTest, TheFrameIsMeasuredAtTheWindowsScale) {
    // A window on a monitor at 200 % has a taller caption and a wider frame than one at 100 %;
    // the system's scale is what 0 asks for.
    const FrameMetrics at96 = platform.GetFrameMetrics(WindowKind::Main, 96);
    const FrameMetrics at192 = platform.GetFrameMetrics(WindowKind::Main, 192);
    EXPECT_GT(at192.top, at96.top);
    EXPECT_GE(at192.left, at96.left);
    const FrameMetrics system = platform.GetFrameMetrics(WindowKind::Main, 0);
    HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const FrameMetrics atSystem = platform.GetFrameMetrics(WindowKind::Main, systemDpi);
    EXPECT_EQ(system.top, atSystem.top);
    EXPECT_EQ(system.left, atSystem.left);
    const FrameMetrics popup = platform.GetFrameMetrics(WindowKind::Popup, 192);
    EXPECT_EQ(popup.left + popup.top + popup.right + popup.bottom, 0);
}

TEST_F(Win32BackendTest, BoundsSetByTheToolkitResizeTheSurfaceWithoutAnEvent) {
    platform.SetWindowBounds(window, Bounds(80, 70, 250, 200));
    const FrameMetrics f = platform.GetFrameMetrics(WindowKind::Main, 0);
    EXPECT_EQ(platform.WindowSurface(window)->Width(), 250 - f.left - f.right);
    for (const PlatformEvent& e : Drain()) {
        EXPECT_NE(e.kind, PlatformEvent::Kind::Resized);
        EXPECT_NE(e.kind, PlatformEvent::Kind::Moved);
    }
}

TEST_F(Win32BackendTest, EachChangeFromOutsideIsOneEventResizedWhenItsSizeIsAnnouncedElseMoved) {
    using K = PlatformEvent::Kind;
    constexpr UINT kQuiet = SWP_NOZORDER | SWP_NOACTIVATE;
    const struct {
        const char* change;
        std::function<void()> make;
        std::vector<K> events;
    } cases[] = {
        {"size only",
         [&] { SetWindowPos(hwnd, nullptr, 0, 0, 320, 260, kQuiet | SWP_NOMOVE); },
         {K::Resized}},
        {"move only", [&] { SetWindowPos(hwnd, nullptr, 100, 90, 0, 0, kQuiet | SWP_NOSIZE); }, {K::Moved}},
        {"move, same size", [&] { MoveWindow(hwnd, 110, 95, 320, 260, TRUE); }, {K::Moved}},
        {"move and size", [&] { MoveWindow(hwnd, 100, 90, 330, 270, TRUE); }, {K::Resized}},
        {"the same bounds", [&] { MoveWindow(hwnd, 100, 90, 330, 270, TRUE); }, {}},
        {"maximise", [&] { ShowWindow(hwnd, SW_MAXIMIZE); }, {K::Resized}},
        {"restore", [&] { ShowWindow(hwnd, SW_RESTORE); }, {K::Resized}},
        // Minimising keeps the form's size: no event reports the iconic rectangle.
        {"minimise", [&] { ShowWindow(hwnd, SW_MINIMIZE); }, {}},
        {"restore from the icon", [&] { ShowWindow(hwnd, SW_RESTORE); }, {K::Resized}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        c.make();
        std::vector<K> kinds;
        for (const PlatformEvent& e : Drain()) {
            if (e.kind != K::Resized && e.kind != K::Moved) continue;
            kinds.push_back(e.kind);
            RECT outer{}, client{};
            GetWindowRect(hwnd, &outer);
            GetClientRect(hwnd, &client);
            EXPECT_EQ(e.window, window);
            EXPECT_EQ(e.outerBounds, (TRect{outer.left, outer.top, outer.right, outer.bottom}));
            EXPECT_EQ(e.clientSize, (TSize{client.right, client.bottom}));
            const PixelSurface* s = platform.WindowSurface(window);
            EXPECT_EQ((TSize{s->Width(), s->Height()}), e.clientSize);
        }
        EXPECT_EQ(kinds, c.events);
    }
}

TEST_F(Win32BackendTest, MouseMessagesBecomeEventsInClientCoordinates) {
    const TPoint origin = ClientOrigin();
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20));
    PlatformEvent e = Next();
    EXPECT_EQ(e.kind, PlatformEvent::Kind::MouseDown);
    EXPECT_EQ(e.window, window);
    EXPECT_EQ(e.button, PointerButton::Left);
    EXPECT_EQ(e.position, (TPoint{10, 20}));
    EXPECT_EQ(e.screenPosition, (TPoint{origin.X + 10, origin.Y + 20}));
    EXPECT_EQ(e.shift & (kShiftDouble | kShiftLeft | kShiftShift), kShiftDouble | kShiftLeft | kShiftShift);

    // A captured pointer left of the window gives negative client coordinates.
    SendMessageA(hwnd, WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(-5, 7));
    e = Next();
    EXPECT_EQ(e.kind, PlatformEvent::Kind::MouseUp);
    EXPECT_EQ(e.button, PointerButton::Right);
    EXPECT_EQ(e.position, (TPoint{-5, 7}));
    EXPECT_EQ(e.shift & (kShiftCtrl | kShiftDouble), kShiftCtrl);

    // The wheel reports screen coordinates and a signed delta.
    SendMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)),
                 MAKELPARAM(origin.X + 3, origin.Y + 4));
    e = Next();
    EXPECT_EQ(e.kind, PlatformEvent::Kind::MouseWheel);
    EXPECT_EQ(e.wheelDelta, -240);
    EXPECT_EQ(e.position, (TPoint{3, 4}));
}

TEST_F(Win32BackendTest, KeysAndCharactersKeepTheirCodesAndCloseLeavesTheWindowAlone) {
    SendMessageA(hwnd, WM_KEYDOWN, VK_F5, 0x003F0001);
    PlatformEvent e = Next();
    EXPECT_EQ(e.kind, PlatformEvent::Kind::KeyDown);
    EXPECT_EQ(e.virtualKey, VK_F5);
    EXPECT_EQ(e.keyData, 0x003F0001u);
    SendMessageA(hwnd, WM_CHAR, 0xE9, 1);
    e = Next();
    EXPECT_EQ(e.kind, PlatformEvent::Kind::Char);
    EXPECT_EQ(e.character, 0xE9);

    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    e = Next();
    EXPECT_EQ(e.kind, PlatformEvent::Kind::CloseRequest);
    EXPECT_EQ(e.window, window);
    EXPECT_TRUE(IsWindow(hwnd)); // the toolkit decides whether it closes
}

TEST_F(Win32BackendTest, PresentingCopiesOnlyTheDamagedRectangle) {
    PixelSurface* s = platform.WindowSurface(window);
    raster::FillRect(*s, s->Bounds(), 0xFF0000, s->Bounds());
    platform.PresentWindow(window, s->Bounds());
    raster::FillRect(*s, s->Bounds(), 0x0000FF, s->Bounds());
    platform.PresentWindow(window, Rect(0, 0, 10, 10));
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 20, 20), RGB(255, 0, 0));
    ReleaseDC(hwnd, dc);
}

TEST_F(Win32BackendTest, ScreenIsStretchedIntoAnySurfaceWithinTheClip) {
    ShowGrid();
    const TPoint o = ClientOrigin();

    ScreenHandle screen = platform.AcquireScreen();
    ASSERT_NE(screen, 0u);
    PixelSurface plain(12, 12); // memory GDI cannot reach: goes through a temporary DIB
    raster::FillRect(plain, plain.Bounds(), 0x123456, plain.Bounds());
    ASSERT_TRUE(platform.StretchFromScreen(screen, Bounds(o.X, o.Y, 4, 4), plain, Rect(0, 0, 8, 8),
                                           Rect(0, 0, 6, 8)));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const std::uint32_t want =
                x < 6 && y < 8 ? static_cast<std::uint32_t>(((x / 2) * 0x40) << 16 | (y / 2) * 0x40)
                               : 0x123456u;
            EXPECT_EQ(plain.Pixel(x, y), want) << x << "," << y;
        }

    // Into the window's own surface the copy goes straight into its DIB.
    PixelSurface* own = platform.WindowSurface(window);
    ASSERT_TRUE(platform.StretchFromScreen(screen, Bounds(o.X + 1, o.Y, 2, 1), *own, Rect(100, 100, 104, 101),
                                           own->Bounds()));
    EXPECT_EQ(own->Pixel(100, 100), 0x400000u);
    EXPECT_EQ(own->Pixel(103, 100), 0x800000u);

    platform.ReleaseScreen(screen);
    EXPECT_FALSE(
        platform.StretchFromScreen(screen, Bounds(0, 0, 4, 4), plain, plain.Bounds(), plain.Bounds()));
}

TEST_F(Win32BackendTest, ScreenBeyondItsEdgesReadsBlackAndAHugeSourceIsNoBurden) {
    // The client area starts at the screen's left edge, so the grid's first columns are x = 0..3.
    const FrameMetrics f = platform.GetFrameMetrics(WindowKind::Main, 0);
    SetWindowPos(hwnd, nullptr, -f.left, 50, 300, 240, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowGrid();
    const TPoint o = ClientOrigin();
    ASSERT_EQ(o.X, 0);
    ScreenHandle screen = platform.AcquireScreen();
    ASSERT_NE(screen, 0u);
    PixelSurface plain(16, 8);
    ASSERT_TRUE(
        platform.StretchFromScreen(screen, Bounds(-4, o.Y, 8, 4), plain, plain.Bounds(), plain.Bounds()));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t want =
                x < 8 ? 0u : static_cast<std::uint32_t>((((x - 8) / 2) * 0x40) << 16 | (y / 2) * 0x40);
            EXPECT_EQ(plain.Pixel(x, y), want) << x << "," << y;
        }
    // A zoom power of 1 % asks for a source hundreds of times the screen's size.
    PixelSurface* own = platform.WindowSurface(window);
    raster::FillRect(*own, own->Bounds(), 0x123456, own->Bounds());
    ASSERT_TRUE(platform.StretchFromScreen(screen, Bounds(-60000, -60000, 125000, 125000), *own,
                                           Rect(0, 0, 250, 250), own->Bounds()));
    EXPECT_EQ(own->Pixel(0, 0), 0u);
    EXPECT_EQ(own->Pixel(249, 249), 0u);
    platform.ReleaseScreen(screen);
}

TEST_F(Win32BackendTest, TextIsMeasuredAndDrawnInsideTheClipOnly) {
    const FontSpec font; // the toolkit's default: "MS Sans Serif", 11 pixels
    const FontMetrics m = platform.GetFontMetrics(font);
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_GE(m.height, 11);
    EXPECT_EQ(platform.MeasureText(font, ""), 0);
    EXPECT_GT(platform.MeasureText(font, "WW"), platform.MeasureText(font, "W"));

    PixelSurface plain(60, 20);
    raster::FillRect(plain, plain.Bounds(), 0xFFFFFF, plain.Bounds());
    platform.RenderText(plain, font, 2, 2, "HHHHHHHH", 0x000000, Rect(0, 0, 20, 20));
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            const std::uint32_t p = plain.Pixel(x, y);
            EXPECT_EQ(p & 0xFF000000u, 0u);
            if (x >= 20)
                EXPECT_EQ(p, 0xFFFFFFu) << x << "," << y;
            else if (p != 0xFFFFFFu)
                ++inked;
        }
    EXPECT_GT(inked, 10);
}

TEST_F(Win32BackendTest, MessagesComeBeforeTimersAndWaitingWakesForQueuedInput) {
    platform.SetTimer(7, 1);
    Sleep(20);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(Next().kind, PlatformEvent::Kind::CloseRequest);
    const PlatformEvent tick = Next();
    EXPECT_EQ(tick.kind, PlatformEvent::Kind::Timer);
    EXPECT_EQ(tick.timer, 7u);
    platform.KillTimer(7);

    // A message already in the queue must end the wait at once (ctest's timeout catches a hang).
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    const std::uint64_t before = platform.NowMs();
    platform.WaitForEvent(5000);
    EXPECT_LT(platform.NowMs() - before, 2000u);
    EXPECT_EQ(Next().kind, PlatformEvent::Kind::CloseRequest);

    // With nothing queued the wait ends when the next timer falls due.
    Drain();
    platform.SetTimer(8, 50);
    const std::uint64_t armed = platform.NowMs();
    bool ticked = false;
    while (!ticked && platform.NowMs() - armed < 2000) {
        platform.WaitForEvent(UINT32_MAX);
        for (const PlatformEvent& e : Drain())
            ticked = ticked || (e.kind == PlatformEvent::Kind::Timer && e.timer == 8);
    }
    EXPECT_TRUE(ticked);
    EXPECT_GE(platform.NowMs() - armed, 40u);
}

TEST_F(Win32BackendTest, ErrorBoxIsOwnedByTheApplicationWindowAndGivesTheActivationBack) {
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    ASSERT_EQ(GetActiveWindow(), hwnd);
    const HWND application = GetWindow(hwnd, GW_OWNER);
    // The box is modal: another thread reads it and presses OK, as the user would.
    std::atomic<HWND> boxOwner{nullptr};
    std::string boxText;
    std::thread user([&] {
        for (int i = 0; i < 400; ++i) {
            if (HWND box = FindWindowA("#32770", "Lentaro")) {
                char text[128] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // the box's static text
                boxText = text;
                boxOwner = GetWindow(box, GW_OWNER);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(25);
        }
    });
    // As the toolkit does: its forms are disabled while the box is up.
    platform.EnableWindow(window, false);
    const std::optional<int> chosen =
        platform.ShowMessageBox(appWindow, "Something failed.", "Lentaro", MB_OK | MB_ICONSTOP);
    user.join();
    platform.EnableWindow(window, true);
    EXPECT_EQ(chosen, IDOK);
    EXPECT_EQ(boxOwner.load(), application);
    EXPECT_EQ(boxText, "Something failed.");
    // The display server settles the focus asynchronously: allow it a moment.
    for (int i = 0; i < 50 && GetActiveWindow() != hwnd; ++i) {
        Drain();
        Sleep(20);
    }
    EXPECT_EQ(GetActiveWindow(), hwnd);
}

TEST_F(Win32BackendTest, CaptureTakenAwayIsReportedButTheProgramsOwnMovesAreNot) {
    // The program's own moves and release of the capture are no news.
    platform.SetMouseCapture(window);
    platform.SetMouseCapture(appWindow);
    platform.SetMouseCapture(window);
    platform.SetMouseCapture(0);
    for (const PlatformEvent& e : Drain()) EXPECT_NE(e.kind, PlatformEvent::Kind::CaptureLost);

    HWND foreign = CreateWindowExA(0, "STATIC", "taker", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(foreign, nullptr);
    const struct {
        const char* name;
        void (*take)(HWND ours, HWND foreign);
    } takers[] = {
        {"another window takes it", [](HWND, HWND other) { SetCapture(other); }},
        {"the system cancels the mode", [](HWND ours, HWND) { SendMessageA(ours, WM_CANCELMODE, 0, 0); }},
    };
    for (const auto& taker : takers) {
        SCOPED_TRACE(taker.name);
        platform.SetMouseCapture(window);
        ASSERT_EQ(GetCapture(), hwnd);
        taker.take(hwnd, foreign);
        int lost = 0;
        for (const PlatformEvent& e : Drain())
            if (e.kind == PlatformEvent::Kind::CaptureLost) {
                ++lost;
                EXPECT_EQ(e.window, window);
            }
        EXPECT_EQ(lost, 1);
        // The toolkit's release that follows leaves a taker's capture alone.
        const HWND holder = GetCapture();
        platform.SetMouseCapture(0);
        EXPECT_EQ(GetCapture(), holder);
        ReleaseCapture();
    }
    DestroyWindow(foreign);
}

// Theme parts: this run's process sees the theme that main() set up (see ThemeSetting).
bool gThemeOn = false;

// A surface filled with one colour, so any pixel a drawing touched stands out.
constexpr std::uint32_t kBackground = 0x123456;

// Counts the pixels that differ from kBackground inside `inside`, and fails for any outside it or any
// with the top byte set.
int ChangedPixels(const PixelSurface& s, const TRect& inside) {
    int changed = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const std::uint32_t p = s.Pixel(x, y);
            EXPECT_EQ(p & 0xFF000000u, 0u) << x << "," << y;
            if (p == kBackground) continue;
            EXPECT_TRUE(inside.Contains({x, y})) << "touched outside: " << x << "," << y;
            ++changed;
        }
    return changed;
}

TEST_F(Win32BackendTest, ThemePartsAreDrawnOnlyWithAnActiveThemeAndOnlyInsideRectAndClip) {
    constexpr int kEditText = 1, kNormal = 1, kFocused = 5;
    const TRect rect{5, 5, 45, 27};
    const TRect clip{0, 0, 30, 40};
    ASSERT_EQ(platform.ThemeAvailable(), gThemeOn);
    PixelSurface plain(50, 32); // memory GDI cannot reach
    PixelSurface& own = *platform.WindowSurface(window);
    for (PixelSurface* s : {&plain, &own}) {
        SCOPED_TRACE(s == &plain ? "plain memory" : "window surface");
        raster::FillRect(*s, s->Bounds(), kBackground, s->Bounds());
        EXPECT_EQ(platform.DrawThemePart(*s, rect, clip, "EDIT", kEditText, kNormal), gThemeOn);
        const int changed = ChangedPixels(*s, rect.Intersect(clip));
        if (gThemeOn)
            EXPECT_GT(changed, 0);
        else
            EXPECT_EQ(changed, 0);
    }
    const std::optional<TRect> content = platform.ThemePartContentRect("EDIT", kEditText, kFocused, rect);
    EXPECT_EQ(content.has_value(), gThemeOn);
    if (content) {
        EXPECT_FALSE(content->IsEmpty());
        EXPECT_EQ(content->Intersect(rect), *content) << "content rect outside the part";
    }
    // A class the theme does not know draws nothing.
    raster::FillRect(plain, plain.Bounds(), kBackground, plain.Bounds());
    EXPECT_FALSE(platform.DrawThemePart(plain, rect, clip, "NO SUCH CLASS", 1, 1));
    EXPECT_EQ(ChangedPixels(plain, {}), 0);
    EXPECT_EQ(platform.ThemePartContentRect("NO SUCH CLASS", 1, 1, rect), std::nullopt);
}

TEST_F(Win32BackendTest, DesktopLookMessagesBecomeOneEventEachAndScreenReadersGetAnObject) {
    using K = PlatformEvent::Kind;
    struct Case {
        UINT message;
        WPARAM wParam;
        std::vector<K> kinds;
    };
    const Case cases[] = {
        {WM_THEMECHANGED, 0, {K::ThemeChanged}},
        {WM_SYSCOLORCHANGE, 0, {K::SystemColorsChanged}},
        {WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, {K::SystemColorsChanged, K::ThemeChanged}},
        {WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Drain();
        // Every top-level window hears of a change: the toolkit is told once.
        SendMessageA(hwnd, c.message, c.wParam, 0);
        SendMessageA(FindWindowA("LentaroWindow", "Lentaro"), c.message, c.wParam, 0);
        std::vector<K> kinds;
        for (const PlatformEvent& e : Drain())
            if (e.kind == K::ThemeChanged || e.kind == K::SystemColorsChanged) kinds.push_back(e.kind);
        EXPECT_EQ(kinds, c.kinds);
    }
    // Without a toolkit tree there is nothing to describe, but the object is made and answers.
    EXPECT_NE(SendMessageA(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
    EXPECT_EQ(SendMessageA(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_HSCROLL)), 0);
}

TEST(Win32Services, ClipboardAndOemConversionKeepEveryCharacter) {
    Win32Platform platform;
    const std::string text = "Zoom 200 %, caf\xE9";
    ASSERT_TRUE(platform.SetClipboardText(text));
    EXPECT_EQ(platform.GetClipboardText(), text);
    EXPECT_EQ(platform.OemToChar(platform.CharToOem(text)), text);
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(platform.CharToOem(withNul), withNul);
    EXPECT_TRUE(platform.InitializeComponentServices());
    platform.UninitializeComponentServices();
}

} // namespace

int main(int argc, char** argv) { return RunThemedTests(argc, argv, gThemeOn); }
