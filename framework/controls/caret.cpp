#include "framework/controls/caret.h"

#include "framework/controls/control_accessible.h"
#include "framework/controls/control_host.h"
#include "framework/controls/controls.h"
#include "framework/core/timer.h"
#include "framework/platform/platform.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace caret {
namespace {

struct CaretState {
    TWinControl* owner = nullptr;
    TPoint position;
    TSize size;
    PixelSurface shape; // empty: a plain inverted rectangle
    bool visible = false;
    bool phaseOn = true;
    std::uint32_t blinkTime = 530;
    std::unique_ptr<TTimer> blinkTimer;
    std::uint64_t blinkingSince = 0; // platform clock, when the last blink period started
    // Where the caret is inverted now: a window and surface rectangles.
    WindowId drawnWindow = 0;
    std::vector<TRect> drawnRects;
    TPoint drawnOrigin; // the caret's top-left on the surface, where its picture starts
    const TControlHost* paintingForm = nullptr;
    int paintDepth = 0;
    // Where assistive technology was last told the caret is (the edit hides and shows it round each
    // drawing: only a real move is told).
    const TWinControl* announcedOwner = nullptr;
    TPoint announcedPosition;
};

CaretState& State() {
    static CaretState state;
    return state;
}

void AnnounceMove() {
    CaretState& s = State();
    if (!s.visible || (s.owner == s.announcedOwner && s.position == s.announcedPosition)) return;
    s.announcedOwner = s.owner;
    s.announcedPosition = s.position;
    accessibility::Raise(s.owner, AccessibleEvent::CaretMoved);
}

// XOR-s the caret into `rects` of the window's surface: the same call takes it away again.
void Invert(WindowId window, const std::vector<TRect>& rects, TPoint caretOrigin) {
    if (!HasCurrentPlatform()) return;
    PixelSurface* surface = CurrentPlatform().WindowSurface(window);
    if (surface == nullptr) return;
    const CaretState& s = State();
    const bool useShape = s.shape.Width() > 0 && s.shape.Height() > 0;
    for (const TRect& r : rects) {
        const TRect area = r.Intersect(surface->Bounds());
        for (std::int32_t y = area.Top; y < area.Bottom; ++y)
            for (std::int32_t x = area.Left; x < area.Right; ++x) {
                const std::uint32_t mask =
                    useShape ? (s.shape.Pixel(x - caretOrigin.X, y - caretOrigin.Y) & 0xFFFFFFu) : 0xFFFFFFu;
                surface->SetPixel(x, y, surface->Pixel(x, y) ^ mask);
            }
        if (!area.IsEmpty()) window_damage::Add(window, area);
    }
}

void Undraw() {
    CaretState& s = State();
    if (s.drawnWindow == 0) return;
    Invert(s.drawnWindow, s.drawnRects, s.drawnOrigin);
    s.drawnWindow = 0;
    s.drawnRects.clear();
}

bool ShouldDraw(const TControlHost*& host) {
    const CaretState& s = State();
    if (s.owner == nullptr || !s.visible || !s.phaseOn || s.size.cx <= 0 || s.size.cy <= 0) return false;
    host = s.owner->Host();
    if (host == nullptr || host->PlatformWindow() == 0 || !host->Active() || !host->HostControl()->Visible())
        return false;
    if (s.paintDepth > 0 && s.paintingForm == host) return false;
    return s.owner->Showing();
}

void Draw() {
    CaretState& s = State();
    const TControlHost* host = nullptr;
    if (!ShouldDraw(host)) return;
    const TPoint o = s.owner->FormOrigin();
    const TRect client = s.owner->ClientRect().Offset(o.X, o.Y);
    const TRect box = Bounds(o.X + s.position.X, o.Y + s.position.Y, s.size.cx, s.size.cy).Intersect(client);
    std::vector<TRect> rects;
    for (const TRect& r : s.owner->VisibleRegion())
        if (TRect part = r.Intersect(box); !part.IsEmpty()) rects.push_back(part);
    if (rects.empty()) return;
    s.drawnWindow = host->PlatformWindow();
    s.drawnRects = rects;
    s.drawnOrigin = {o.X + s.position.X, o.Y + s.position.Y};
    Invert(s.drawnWindow, s.drawnRects, s.drawnOrigin);
}

// Brings the surface in line with the state: the caret taken away and drawn anew where it belongs.
void Update() {
    Undraw();
    Draw();
}

void StopBlinking() {
    CaretState& s = State();
    if (!s.blinkTimer) return;
    // At process end the platform may be gone already; there is then no timer left to switch off.
    if (!HasCurrentPlatform()) static_cast<void>(s.blinkTimer.release());
    s.blinkTimer.reset();
}

// Shows the caret at once and starts a full blink period from now.
void RestartBlinking() {
    CaretState& s = State();
    s.phaseOn = true;
    if (!s.visible || s.blinkTime == 0) {
        StopBlinking();
        return;
    }
    try {
        if (!s.blinkTimer) {
            s.blinkTimer = std::make_unique<TTimer>(nullptr);
            s.blinkTimer->SetEnabled(false);
            s.blinkTimer->SetOnTimer([](TObject*) {
                CaretState& state = State();
                state.phaseOn = !state.phaseOn;
                Update();
                // Left alone long enough, it stays shown and the timer rests.
                if (state.phaseOn && CurrentPlatform().NowMs() - state.blinkingSince >= kBlinkTimeoutMs)
                    state.blinkTimer->SetEnabled(false);
            });
        }
        s.blinkTimer->SetEnabled(false);
        s.blinkTimer->SetInterval(s.blinkTime);
        s.blinkTimer->SetEnabled(true);
        s.blinkingSince = HasCurrentPlatform() ? CurrentPlatform().NowMs() : 0;
    } catch (const std::exception&) {
        // Without a timer the caret stays steady, which still shows where typing goes.
        StopBlinking();
    }
}

void Reset() {
    Undraw();
    StopBlinking();
    CaretState& s = State();
    s.owner = nullptr;
    s.visible = false;
    s.shape = PixelSurface();
    s.announcedOwner = nullptr;
}

} // namespace

void Create(TWinControl* owner, std::int32_t width, std::int32_t height, const PixelSurface* shape) {
    // From now on the controls tell the caret when they move or go.
    SetControlWatcher({&Refresh, &ControlDestroyed});
    Reset();
    if (owner == nullptr) return;
    CaretState& s = State();
    s.owner = owner;
    s.position = {0, 0};
    if (shape != nullptr) {
        s.shape = *shape;
        width = shape->Width();
        height = shape->Height();
    }
    s.size = {std::max(width, 0), std::max(height, 0)};
    s.phaseOn = true;
}

bool Destroy(TWinControl* owner) {
    if (owner == nullptr || State().owner != owner) return false;
    Reset();
    return true;
}

bool Show(TWinControl* owner) {
    CaretState& s = State();
    if (owner == nullptr || s.owner != owner) return false;
    if (s.visible) return true;
    s.visible = true;
    RestartBlinking();
    Update();
    AnnounceMove();
    return true;
}

bool Hide(TWinControl* owner) {
    CaretState& s = State();
    if (owner == nullptr || s.owner != owner) return false;
    if (!s.visible) return true;
    s.visible = false;
    StopBlinking();
    Undraw();
    return true;
}

bool SetPos(TWinControl* owner, TPoint position) {
    CaretState& s = State();
    if (owner == nullptr || s.owner != owner) return false;
    if (position == s.position) return true;
    s.position = position;
    if (s.visible) RestartBlinking();
    Update();
    AnnounceMove();
    return true;
}

void SetBlinkTime(std::uint32_t ms) {
    CaretState& s = State();
    if (ms == s.blinkTime) return;
    s.blinkTime = ms;
    if (s.visible) {
        RestartBlinking();
        Update();
    }
}

std::uint32_t BlinkTime() { return State().blinkTime; }

void UserInput() {
    CaretState& s = State();
    if (!s.visible || s.blinkTime == 0 || !HasCurrentPlatform()) return;
    if (Blinking()) {
        s.blinkingSince = HasCurrentPlatform() ? CurrentPlatform().NowMs() : 0;
    } else {
        RestartBlinking();
        Update();
    }
}

bool Blinking() {
    const CaretState& s = State();
    return s.blinkTimer && s.blinkTimer->Enabled();
}

TWinControl* Owner() { return State().owner; }
bool Visible() { return State().visible; }
bool Drawn() { return State().drawnWindow != 0; }
TPoint Position() { return State().position; }
TSize Size() { return State().size; }

void BeginPaint(const TControlHost* form) {
    CaretState& s = State();
    if (s.paintDepth == 0) s.paintingForm = form;
    ++s.paintDepth;
    if (s.paintingForm == form && s.drawnWindow != 0 && form != nullptr &&
        s.drawnWindow == form->PlatformWindow())
        Undraw();
}

void EndPaint(const TControlHost*) {
    CaretState& s = State();
    if (s.paintDepth > 0) --s.paintDepth;
    if (s.paintDepth == 0) s.paintingForm = nullptr;
    Update();
}

void ControlDestroyed(TWinControl* control) { Destroy(control); }

void Refresh() {
    if (State().owner != nullptr || State().drawnWindow != 0) Update();
}

} // namespace caret
