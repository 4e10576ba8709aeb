#include "framework/platform/monitors.h"

#include <algorithm>
#include <limits>

namespace {

// Squared distance from `p` to the nearest pixel of `r`, in 64 bits so far-off points cannot wrap.
std::int64_t DistanceSquared(const TRect& r, TPoint p) {
    const std::int64_t dx = p.X < r.Left     ? std::int64_t{r.Left} - p.X
                            : p.X >= r.Right ? std::int64_t{p.X} - (r.Right - 1)
                                             : 0;
    const std::int64_t dy = p.Y < r.Top       ? std::int64_t{r.Top} - p.Y
                            : p.Y >= r.Bottom ? std::int64_t{p.Y} - (r.Bottom - 1)
                                              : 0;
    return dx * dx + dy * dy;
}

std::int64_t Area(const TRect& r) { return r.IsEmpty() ? 0 : std::int64_t{r.Width()} * r.Height(); }

} // namespace

std::int32_t SaneDpi(std::int32_t dpi) {
    if (dpi <= 0) return kDefaultDpi;
    return std::clamp(dpi, kDefaultDpi / 2, kDefaultDpi * 5);
}

std::vector<MonitorInfo> SaneMonitors(std::vector<MonitorInfo> monitors) {
    std::erase_if(monitors, [](const MonitorInfo& m) { return m.bounds.IsEmpty(); });
    for (MonitorInfo& m : monitors) {
        m.workArea = m.workArea.Intersect(m.bounds);
        if (m.workArea.IsEmpty()) m.workArea = m.bounds;
        m.dpi = SaneDpi(m.dpi);
    }
    return monitors;
}

std::vector<MonitorInfo> CurrentMonitors(Platform& platform) {
    std::vector<MonitorInfo> monitors = SaneMonitors(platform.Monitors());
    if (!monitors.empty()) return monitors;
    const TSize size = platform.PrimaryDisplaySize();
    const TRect bounds{0, 0, std::max(1, size.cx), std::max(1, size.cy)};
    return {MonitorInfo{bounds, bounds, true, kDefaultDpi}};
}

const MonitorInfo& MonitorAtPoint(const std::vector<MonitorInfo>& monitors, TPoint p) {
    const MonitorInfo* best = nullptr;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const MonitorInfo& m : monitors) {
        const std::int64_t d = DistanceSquared(m.bounds, p);
        // Of mirrored monitors that all hold the point, the primary wins.
        if (d < bestDistance || (d == 0 && bestDistance == 0 && m.primary && !best->primary)) {
            best = &m;
            bestDistance = d;
        }
    }
    return *best;
}

const MonitorInfo& MonitorForRect(const std::vector<MonitorInfo>& monitors, const TRect& rect) {
    const MonitorInfo* best = nullptr;
    std::int64_t bestArea = 0;
    for (const MonitorInfo& m : monitors) {
        const std::int64_t area = Area(m.bounds.Intersect(rect));
        if (area > bestArea || (area == bestArea && area > 0 && m.primary && !best->primary)) {
            best = &m;
            bestArea = area;
        }
    }
    if (best != nullptr) return *best;
    const TPoint centre{static_cast<std::int32_t>((std::int64_t{rect.Left} + rect.Right) / 2),
                        static_cast<std::int32_t>((std::int64_t{rect.Top} + rect.Bottom) / 2)};
    return MonitorAtPoint(monitors, centre);
}

TRect FitRectInto(const TRect& window, const TRect& area) {
    const std::int32_t width = std::min(std::max(0, window.Width()), area.Width());
    const std::int32_t height = std::min(std::max(0, window.Height()), area.Height());
    const std::int32_t left = std::clamp(window.Left, area.Left, area.Right - width);
    const std::int32_t top = std::clamp(window.Top, area.Top, area.Bottom - height);
    return Bounds(left, top, width, height);
}
