#include "monkey_invariants.h"

#include "framework/graphics/canvas.h"
#include "monkey_input.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace {

// The number part of a spin edit's text as the integer mode reads it: empty or a lone "-" is 0,
// anything longer stands at the 32-bit bounds. Nothing when the part is no number.
std::optional<std::int32_t> NumberOf(const std::string& part) {
    const bool negative = !part.empty() && part[0] == '-';
    std::int64_t magnitude = 0;
    for (std::size_t i = negative ? 1 : 0; i < part.size(); ++i) {
        if (part[i] < '0' || part[i] > '9') return std::nullopt;
        magnitude = std::min<std::int64_t>(magnitude * 10 + (part[i] - '0'), std::int64_t{1} << 32);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// One axis of the captured rectangle: where it starts on the screen, and how far the crosshair
// moves off the view's centre when the rectangle is pushed back inside the display.
struct CapturedAxis {
    std::int64_t start;
    std::int64_t crosshairOffset;
};

CapturedAxis Capture(std::int64_t pointer, std::int64_t half, std::int64_t screen, std::int64_t level) {
    if (pointer < half) return {0, (pointer - half - 1) * 100 / level};
    if (screen < pointer + half) return {screen - 2 * half, (pointer + half - screen + 1) * 100 / level};
    return {pointer - half, 0};
}

std::string Text(const TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + ")-(" + std::to_string(r.Right) +
           "," + std::to_string(r.Bottom) + ")";
}

} // namespace

MonkeyInvariants::MonkeyInvariants(HeadlessPlatform& platform, TApplication& app, TLTfrm& main,
                                   std::function<TPoint()> pointer, std::uint64_t seed)
    : platform_(platform), app_(app), main_(main), pointer_(std::move(pointer)),
      samples_(seed ^ 0x9E3779B97F4A7C15ULL), power_{main.powerZ, "powerZ", main.powerZ->OnChange,
                                                     main.powerZ->Value()},
      cross_{main.crossS, "crossS", main.crossS->OnChange, main.crossS->Value()},
      expectedZoomLevel_(main.zfm->ZoomLevel()) {
    Watch(power_, [this] { PowerReported(); });
    Watch(cross_, [] {});
    main_.zfm->OnContentsChanged = [this](TObject*) { CheckViewPicture(); };
}

MonkeyInvariants::~MonkeyInvariants() {
    power_.edit->OnChange = power_.handler;
    cross_.edit->OnChange = cross_.handler;
    main_.zfm->OnContentsChanged = nullptr;
}

void MonkeyInvariants::Watch(WatchedEdit& watched, std::function<void()> reported) {
    watched.edit->OnChange = [this, &watched, reported](TObject* sender) {
        watched.handler(sender);
        watched.reported = watched.edit->Value();
        if (!Editing(*watched.edit)) watched.changedWithoutFocus = true;
        reported();
    };
}

void MonkeyInvariants::PowerReported() {
    // The view's percentage: 0 is ignored, and so is any power whose level falls below 1.
    if (power_.reported == 0) return;
    const std::int32_t level = 10000 / power_.reported;
    if (level >= 1) expectedZoomLevel_ = level;
}

void MonkeyInvariants::CheckAfterInput() {
    CheckEdit(power_);
    CheckEdit(cross_);
    CheckView();
    CheckWindow();
}

void MonkeyInvariants::CheckEdit(WatchedEdit& watched) {
    const TLcSpinEdit& edit = *watched.edit;
    const std::string text = watched.edit->Text();
    const std::string where = std::string(watched.name) + " \"" + text.substr(0, 40) + "\" ";
    const std::int32_t length = edit.TextLength();
    if (edit.CursorPos() < 1 || edit.CursorPos() > length + 1)
        return Fail(where + "caret at " + std::to_string(edit.CursorPos()));
    if (edit.SelStart() < 1 || edit.SelLength() < 0 || edit.SelectionEnd() > length + 1)
        return Fail(where + "selection " + std::to_string(edit.SelStart()) + "+" +
                    std::to_string(edit.SelLength()));
    const std::string& suffix = edit.Suffix();
    if (text.size() < suffix.size() || text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
        return Fail(where + "lost its suffix");
    const std::optional<std::int32_t> number = NumberOf(text.substr(0, text.size() - suffix.size()));
    if (!number) return Fail(where + "holds no number");
    const std::int32_t value = watched.edit->Value();
    if (value != *number) return Fail(where + "has Value " + std::to_string(value));
    if (value != watched.reported)
        return Fail(where + "changed without a report (last " + std::to_string(watched.reported) + ")");
    if (Editing(edit)) {
        watched.changedWithoutFocus = false; // the focus leaving will commit it
        return;
    }
    if (watched.changedWithoutFocus) return;
    if (text != std::to_string(value) + suffix) return Fail(where + "left without its committed text");
    if (value < edit.MinValue() || value > edit.MaxValue()) return Fail(where + "left outside its range");
}

void MonkeyInvariants::CheckView() {
    const TLvZoom& view = *main_.zfm;
    if (view.ZoomLevel() != expectedZoomLevel_)
        return Fail("ZoomLevel " + std::to_string(view.ZoomLevel()) + ", the reported powers give " +
                    std::to_string(expectedZoomLevel_));
    if (view.CrosshairSize != cross_.reported)
        return Fail("CrosshairSize " + std::to_string(view.CrosshairSize) + ", reported " +
                    std::to_string(cross_.reported));
    if (platform_.ScreenSurfacesHeld() != 0) return Fail("a screen surface is held after the drawing");
}

void MonkeyInvariants::CheckWindow() {
    if (!platform_.MessageBoxes().empty()) return Fail("error box: " + platform_.MessageBoxes().front().text);
    if (app_.Terminated()) return Fail("the application was terminated");
    if (!main_.Visible() || platform_.FindWindow(main_.PlatformWindow()) == nullptr)
        return Fail("the main window is gone");
    const auto marks = [](std::initializer_list<const TMenuItem*> group) {
        int n = 0;
        for (const TMenuItem* item : group) n += item->Checked() ? 1 : 0;
        return n;
    };
    if (marks({main_.crosshairMnu, main_.Off1}) > 1 || marks({main_.Bluecr, main_.Redcr, main_.Blackcr}) > 1)
        return Fail("a radio group has two marks");
}

void MonkeyInvariants::CheckViewPicture() {
    ++drawings_;
    TLvZoom& view = *main_.zfm;
    // The drawing has just been made on the canvas, which is still bound to what it drew on.
    if (!view.Canvas()->HandleAllocated()) return Fail("the view drew on no surface");
    const DeviceContext* dc = &view.Canvas()->Handle();
    PixelSurface* surface = platform_.WindowSurface(main_.PlatformWindow());
    if (dc->surface != surface) return Fail("the view drew somewhere else than its window");
    const TPoint origin{view.Left(), view.Top()};
    if (dc->origin != origin) return Fail("the view drew at a wrong origin");
    if (view.ZoomPoint() != pointer_()) return Fail("the view drew round " + Describe(view.ZoomPoint()));

    // Where the view can be seen: its rectangle inside the client area, less the windowed controls
    // that lie above it.
    const TRect seen = view.BoundsRect().Intersect(main_.ClientRect()).Intersect(surface->Bounds());
    std::vector<TRect> above;
    for (const TControl* c : {static_cast<TControl*>(main_.powerZ), static_cast<TControl*>(main_.crossS),
                              static_cast<TControl*>(main_.LvXPButton1)})
        if (c->Visible()) above.push_back(c->BoundsRect());
    for (const TRect& whole : dc->clip) {
        // Beyond the back surface nothing can be drawn: while the window shrinks, the resize rule
        // sizes the view before the form takes its new client area.
        const TRect clip = whole.Intersect(surface->Bounds());
        if (clip.IsEmpty()) continue;
        bool inside = seen.Intersect(clip) == clip;
        for (const TRect& a : above) inside = inside && a.Intersect(clip).IsEmpty();
        if (!inside) return Fail("the view may draw on " + Text(clip) + " outside its visible " + Text(seen));
    }

    const std::int64_t width = view.Width(), height = view.Height(), level = view.ZoomLevel();
    const std::int64_t halfW = width / 2 * level / 100, halfH = height / 2 * level / 100;
    if (halfW <= 0 || halfH <= 0) return; // nothing to stretch
    const TSize display = platform_.PrimaryDisplaySize();
    const CapturedAxis x = Capture(view.ZoomPoint().X, halfW, display.cx, level);
    const CapturedAxis y = Capture(view.ZoomPoint().Y, halfH, display.cy, level);
    const std::int64_t crossX = width / 2 + x.crosshairOffset, crossY = height / 2 + y.crosshairOffset;
    int checked = 0;
    for (const TRect& whole : dc->clip) {
        const TRect clip = whole.Intersect(surface->Bounds());
        if (clip.IsEmpty() || checked >= 16) continue;
        const TPoint points[] = {
            {clip.Left, clip.Top},
            {clip.Right - 1, clip.Bottom - 1},
            {samples_.Between(clip.Left, clip.Right - 1), samples_.Between(clip.Top, clip.Bottom - 1)}};
        for (const TPoint p : points) {
            const std::int64_t vx = p.X - origin.X, vy = p.Y - origin.Y;
            if (view.Crosshair() && (vx == crossX || vy == crossY)) continue;
            const std::int64_t sx = x.start + raster::SourceIndex(vx, 2 * halfW, width);
            const std::int64_t sy = y.start + raster::SourceIndex(vy, 2 * halfH, height);
            const bool onScreen = sx >= 0 && sy >= 0 && sx < display.cx && sy < display.cy;
            const std::uint32_t expected =
                onScreen ? HeadlessPlatform::TestPatternPixel(static_cast<std::int32_t>(sx),
                                                              static_cast<std::int32_t>(sy))
                         : 0;
            ++checked;
            if (surface->Pixel(p.X, p.Y) != expected)
                return Fail("view pixel " +
                            Describe({static_cast<std::int32_t>(vx), static_cast<std::int32_t>(vy)}) +
                            " does not show the screen at " +
                            Describe({static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy)}));
        }
    }
}
