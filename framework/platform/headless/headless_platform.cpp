#include "framework/platform/headless/headless_platform.h"

#include "framework/platform/headless/builtin_font.h"

#include <algorithm>
#include <limits>

HeadlessPlatform::HeadlessPlatform(TSize displaySize) { SetDisplaySize(displaySize); }

std::uint32_t HeadlessPlatform::TestPatternPixel(std::int32_t x, std::int32_t y) {
    // Red: x mod 256, green: y mod 256, blue: the high bits of both, so a pixel names its place.
    const std::uint32_t r = static_cast<std::uint32_t>(x) & 0xFF;
    const std::uint32_t g = static_cast<std::uint32_t>(y) & 0xFF;
    const std::uint32_t b =
        ((static_cast<std::uint32_t>(x) >> 8) & 0xF) | (((static_cast<std::uint32_t>(y) >> 8) & 0xF) << 4);
    return (r << 16) | (g << 8) | b;
}

void HeadlessPlatform::FillTestPattern() {
    for (std::int32_t y = 0; y < screen_.Height(); ++y)
        for (std::int32_t x = 0; x < screen_.Width(); ++x)
            screen_.Row(y)[x] = TestPatternPixel(x + screenOrigin_.X, y + screenOrigin_.Y);
}

void HeadlessPlatform::SetDisplaySize(TSize size) {
    display_ = size;
    screen_.Resize(std::max(0, size.cx), std::max(0, size.cy));
    FillTestPattern();
}

void HeadlessPlatform::ScheduleEvent(std::uint64_t atMs, const PlatformEvent& event) {
    Scheduled s{atMs, eventOrder_++, event};
    auto pos =
        std::upper_bound(events_.begin(), events_.end(), s, [](const Scheduled& a, const Scheduled& b) {
            return a.at < b.at || (a.at == b.at && a.order < b.order);
        });
    events_.insert(pos, s);
}

void HeadlessPlatform::SetKeyDown(std::uint16_t virtualKey, bool down) {
    if (down)
        keysDown_.insert(virtualKey);
    else
        keysDown_.erase(virtualKey);
}

HeadlessPlatform::Window* HeadlessPlatform::FindWindow(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

void HeadlessPlatform::ResetCounters() {
    cursorQueries_ = 0;
    pointerChecks_ = 0;
    screenAcquired_ = 0;
    screenCopies_ = 0;
    for (auto& [id, w] : windows_) w.presentCount = 0;
}

WindowId HeadlessPlatform::CreateTopLevelWindow(const WindowParams& params) {
    if (createWindowHook) createWindowHook(params);
    const WindowId id = nextWindow_++;
    Window w;
    w.params = params;
    w.outerBounds = params.outerBounds;
    const FrameMetrics f = GetFrameMetrics(params.kind, 0);
    w.surface.Resize(std::max(0, params.outerBounds.Width() - f.left - f.right),
                     std::max(0, params.outerBounds.Height() - f.top - f.bottom));
    windows_.emplace(id, std::move(w));
    return id;
}

void HeadlessPlatform::DestroyWindow(WindowId window) {
    windows_.erase(window);
    pointerShapes_.erase(window);
    if (capture_ == window) capture_ = 0;
}

void HeadlessPlatform::ShowWindow(WindowId window, ShowState state) {
    Window* w = FindWindow(window);
    if (w == nullptr) return;
    const ShowState before = w->state;
    w->state = state;
    // A main window is maximised over the whole display and restored to where it was.
    if (w->params.kind == WindowKind::Popup || state == before) return;
    if (state == ShowState::Maximized) {
        w->normalBounds = w->outerBounds;
        UserSetBounds(window, {0, 0, display_.cx, display_.cy});
    } else if (state == ShowState::Normal && before == ShowState::Maximized) {
        UserSetBounds(window, w->normalBounds);
    }
}

void HeadlessPlatform::UserSetBounds(WindowId window, const TRect& outerBounds) {
    Window* w = FindWindow(window);
    if (w == nullptr) return;
    const bool sized =
        w->outerBounds.Width() != outerBounds.Width() || w->outerBounds.Height() != outerBounds.Height();
    SetWindowBounds(window, outerBounds);
    PlatformEvent e;
    e.kind = sized ? PlatformEvent::Kind::Resized : PlatformEvent::Kind::Moved;
    e.window = window;
    e.outerBounds = outerBounds;
    e.clientSize = {w->surface.Width(), w->surface.Height()};
    PostEvent(e);
}

void HeadlessPlatform::SetWindowCaption(WindowId window, const std::string& caption) {
    if (Window* w = FindWindow(window)) w->params.caption = caption;
}

void HeadlessPlatform::SetWindowBounds(WindowId window, const TRect& outerBounds) {
    Window* w = FindWindow(window);
    if (w == nullptr) return;
    const bool sizeChanged =
        w->outerBounds.Width() != outerBounds.Width() || w->outerBounds.Height() != outerBounds.Height();
    w->outerBounds = outerBounds;
    if (sizeChanged) {
        const FrameMetrics f = GetFrameMetrics(w->params.kind, 0);
        w->surface.Resize(std::max(0, outerBounds.Width() - f.left - f.right),
                          std::max(0, outerBounds.Height() - f.top - f.bottom));
    }
}

void HeadlessPlatform::EnableWindow(WindowId window, bool enabled) {
    if (Window* w = FindWindow(window)) w->enabled = enabled;
}

// A fixed frame at every scale, so tests see the toolkit's own scaling alone.
FrameMetrics HeadlessPlatform::GetFrameMetrics(WindowKind kind, std::int32_t /*dpi*/) const {
    if (kind == WindowKind::Popup) return {};
    return {4, 23, 4, 4}; // 4-pixel frame, 19-pixel caption
}

PixelSurface* HeadlessPlatform::WindowSurface(WindowId window) {
    Window* w = FindWindow(window);
    return w ? &w->surface : nullptr;
}

void HeadlessPlatform::PresentWindow(WindowId window, const TRect& damaged) {
    if (Window* w = FindWindow(window)) {
        ++w->presentCount;
        w->lastPresented = damaged;
    }
}

bool HeadlessPlatform::AcquireWindowDrawing(WindowId window) {
    if (failWindowDrawing || FindWindow(window) == nullptr) return false;
    ++windowDrawingsHeld_;
    return true;
}

void HeadlessPlatform::ReleaseWindowDrawing(WindowId) {
    if (windowDrawingsHeld_ > 0) --windowDrawingsHeld_;
}

bool HeadlessPlatform::PeekEvent(PlatformEvent& event) {
    FollowPointerPath();
    CheckWatchedPointer();
    ReportMotion();
    if (!events_.empty() && events_.front().at <= now_) {
        event = events_.front().event;
        events_.pop_front();
        return true;
    }
    if (quitAt_ && *quitAt_ <= now_) {
        quitAt_.reset();
        event = PlatformEvent{};
        event.kind = PlatformEvent::Kind::Quit;
        return true;
    }
    return timers_.TakeDueEvent(now_, event);
}

void HeadlessPlatform::WaitForEvent(std::uint32_t timeoutMs) {
    // The virtual clock jumps to whatever happens first, so a Run takes no real time.
    std::uint64_t target = timeoutMs == std::numeric_limits<std::uint32_t>::max()
                               ? std::numeric_limits<std::uint64_t>::max()
                               : now_ + timeoutMs;
    if (!events_.empty()) target = std::min(target, events_.front().at);
    if (quitAt_) target = std::min(target, *quitAt_);
    if (auto due = timers_.NextDue()) target = std::min(target, *due);
    if (!pointerPath_.empty()) target = std::min(target, pointerPath_.front().at);
    if (motionPending_ && motionHook_) target = now_;
    if (target == std::numeric_limits<std::uint64_t>::max()) {
        // Nothing can ever happen (a check finds nothing when nothing moves the pointer): end the
        // run instead of hanging the test.
        quitAt_ = now_;
        return;
    }
    if (motionHook_ && checkEveryMs_ > 0) target = std::min(target, nextCheckAt_);
    now_ = std::max(now_, target);
    FollowPointerPath();
    if (waitHook) waitHook();
}

void HeadlessPlatform::SetPointer(TPoint p) {
    if (p != pointer_ && motionHook_) motionPending_ = PointerMoveSeen::AsItHappened;
    pointer_ = p;
}

void HeadlessPlatform::SchedulePointer(std::uint64_t atMs, TPoint p) { InsertMove({atMs, p, false}); }

void HeadlessPlatform::ScheduleWarp(std::uint64_t atMs, TPoint p) { InsertMove({atMs, p, true}); }

void HeadlessPlatform::InsertMove(const ScheduledMove& move) {
    auto at = std::upper_bound(pointerPath_.begin(), pointerPath_.end(), move.at,
                               [](std::uint64_t t, const ScheduledMove& m) { return t < m.at; });
    pointerPath_.insert(at, move);
}

void HeadlessPlatform::FollowPointerPath() {
    while (!pointerPath_.empty() && pointerPath_.front().at <= now_) {
        const ScheduledMove& move = pointerPath_.front();
        if (move.warp)
            WarpPointer(move.to);
        else
            SetPointer(move.to);
        pointerPath_.pop_front();
    }
}

void HeadlessPlatform::WatchPointerMotion(std::function<void(PointerMoveSeen)> onMotion,
                                          std::uint32_t checkEveryMs) {
    motionHook_ = std::move(onMotion);
    checkEveryMs_ = checkEveryMs;
    nextCheckAt_ = now_ + checkEveryMs;
    motionPending_.reset();
    // A move since the pointer was last read would otherwise go unseen.
    if (motionHook_ && pointer_ != lastQueried_) motionPending_ = PointerMoveSeen::Later;
}

void HeadlessPlatform::CheckWatchedPointer() {
    if (!motionHook_ || motionPending_ || checkEveryMs_ == 0 || now_ < nextCheckAt_) return;
    ++pointerChecks_;
    if (pointer_ != lastQueried_)
        motionPending_ = PointerMoveSeen::Later;
    else
        nextCheckAt_ = now_ + checkEveryMs_;
}

void HeadlessPlatform::ReportMotion() {
    if (!motionPending_ || !motionHook_) return;
    const PointerMoveSeen seen = *motionPending_;
    motionPending_.reset();
    const std::function<void(PointerMoveSeen)> hook = std::move(motionHook_);
    motionHook_ = nullptr;
    hook(seen);
}

bool HeadlessPlatform::SetTimerWithFirstDelay(TimerKey key, std::uint32_t intervalMs,
                                              std::uint32_t firstDelayMs) {
    if (failTimers) return false;
    timers_.Set(key, intervalMs, now_, firstDelayMs);
    return true;
}

bool HeadlessPlatform::SetTimer(TimerKey key, std::uint32_t intervalMs) {
    if (failTimers) return false;
    timers_.Set(key, intervalMs, now_);
    return true;
}

TPoint HeadlessPlatform::GetCursorPos() {
    ++cursorQueries_;
    lastQueried_ = pointer_;
    return pointer_;
}

ScreenHandle HeadlessPlatform::AcquireScreen() {
    if (failScreen) return 0;
    ++screenAcquired_;
    const ScreenHandle h = nextScreen_++;
    heldScreens_.insert(h);
    return h;
}

void HeadlessPlatform::ReleaseScreen(ScreenHandle screen) { heldScreens_.erase(screen); }

bool HeadlessPlatform::StretchFromScreen(ScreenHandle screen, const TRect& source, PixelSurface& dest,
                                         const TRect& destRect, const TRect& clip) {
    if (heldScreens_.count(screen) == 0) return false;
    ++screenCopies_;
    raster::StretchCopy(dest, destRect, screen_, source.Offset(-screenOrigin_.X, -screenOrigin_.Y), clip);
    return true;
}

FontMetrics HeadlessPlatform::GetFontMetrics(const FontSpec& font) { return builtin_font::Metrics(font); }

std::int32_t HeadlessPlatform::MeasureText(const FontSpec& font, std::string_view text) {
    return builtin_font::Measure(font, text);
}

void HeadlessPlatform::RenderText(PixelSurface& dest, const FontSpec& font, std::int32_t x, std::int32_t y,
                                  std::string_view text, std::uint32_t pixel, const TRect& clip) {
    builtin_font::Render(dest, font, x, y, text, pixel, clip);
}

bool HeadlessPlatform::SetClipboardText(const std::string& text) {
    if (failClipboard) return false;
    clipboard_ = text;
    return true;
}

std::uint32_t HeadlessPlatform::ThemeRingPixel(int state) {
    // Normal, hot, pressed, disabled, focused, read-only; any other state draws magenta.
    static constexpr std::uint32_t kRings[] = {0x7F9DB9, 0x5B9BD5, 0x2A5B9C, 0xC9C7BA, 0x3366CC, 0x999999};
    return state >= 1 && state <= 6 ? kRings[state - 1] : 0xFF00FF;
}

bool HeadlessPlatform::DrawThemePart(PixelSurface& dest, const TRect& rect, const TRect& clip,
                                     const std::string& themeClass, int part, int state) {
    ++themeDrawCount_;
    lastThemeDraw_ = {themeClass, part, state, rect};
    if (!themeActive_) return false;
    const TRect area = rect.Intersect(clip);
    raster::FillRect(dest, rect, ThemeRingPixel(state), area);
    raster::FillRect(dest, {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1}, kThemeInsidePixel,
                     area);
    return true;
}

std::optional<TRect> HeadlessPlatform::ThemePartContentRect(const std::string&, int, int, const TRect& rect) {
    if (!themeActive_) return std::nullopt;
    const std::int32_t left = rect.Left + 1;
    const std::int32_t top = rect.Top + 1;
    return TRect{left, top, std::max(left, rect.Right - 1), std::max(top, rect.Bottom - 1)};
}

bool HeadlessPlatform::InitializeComponentServices() {
    if (failComponentServices) return false;
    ++comInit_;
    return true;
}

std::optional<int> HeadlessPlatform::ShowMessageBox(WindowId owner, const std::string& text,
                                                    const std::string& caption, std::uint32_t flags) {
    if (noNativeMessageBox) return std::nullopt;
    boxes_.push_back({owner, text, caption, flags});
    // The hook stands for the modal loop that runs while a real box is up.
    if (boxHook_) boxHook_(boxes_.back());
    return 1;
}

void HeadlessPlatform::SetHighContrast(bool on, WindowId window) {
    if (on == highContrast_) return;
    highContrast_ = on;
    for (PlatformEvent::Kind kind :
         {PlatformEvent::Kind::SystemColorsChanged, PlatformEvent::Kind::ThemeChanged}) {
        PlatformEvent e;
        e.kind = kind;
        e.window = window;
        PostEvent(e);
    }
}

std::uint32_t HeadlessPlatform::GetSysColor(int index) {
    if (!highContrast_) return ClassicSysColor(index);
    switch (index) {
    case 13: return 0x00FFFF; // COLOR_HIGHLIGHT: yellow (0x00BBGGRR)
    case 14: return 0x000000; // COLOR_HIGHLIGHTTEXT
    case 17: return 0x00FF00; // COLOR_GRAYTEXT: green
    case 5:                   // COLOR_WINDOW
    case 15:                  // COLOR_BTNFACE
    case 1: return 0x000000;  // COLOR_BACKGROUND
    default: break;
    }
    // Text, frames and the rest: white on the black.
    return index == 16 ? 0x808080 : 0xFFFFFF; // COLOR_BTNSHADOW keeps a grey
}
