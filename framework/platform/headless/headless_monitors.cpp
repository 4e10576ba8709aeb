// The scripted monitors of the headless backend.
#include "framework/platform/headless/headless_platform.h"
#include "framework/platform/monitors.h"

void HeadlessPlatform::SetMonitors(std::vector<MonitorInfo> monitors) {
    TRect desktop;
    TSize primary{};
    for (const MonitorInfo& m : monitors) {
        desktop = desktop.Union(m.bounds);
        if (m.primary || (primary == TSize{} && !m.bounds.IsEmpty()))
            primary = {std::max(0, m.bounds.Width()), std::max(0, m.bounds.Height())};
    }
    monitors_ = std::move(monitors);
    display_ = primary;
    screenOrigin_ = {desktop.Left, desktop.Top};
    screen_.Resize(std::max(0, desktop.Width()), std::max(0, desktop.Height()));
    FillTestPattern();
    for (const auto& [id, window] : windows_) {
        PlatformEvent e;
        e.kind = PlatformEvent::Kind::DisplayChanged;
        e.window = id;
        e.dpi = WindowDpi(id);
        PostEvent(e);
    }
}

std::vector<MonitorInfo> HeadlessPlatform::Monitors() {
    return monitors_ ? *monitors_ : Platform::Monitors();
}

std::int32_t HeadlessPlatform::WindowDpi(WindowId window) {
    const Window* w = FindWindow(window);
    if (w == nullptr) return kDefaultDpi;
    return MonitorForRect(CurrentMonitors(*this), w->outerBounds).dpi;
}
