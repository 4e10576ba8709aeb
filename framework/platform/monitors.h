// Choosing a monitor for a point or a window, and keeping what a backend reports sane: the rules
// every backend shares, so the view's clamp and the window placement behave alike everywhere.
#pragma once

#include "framework/platform/platform.h"

#include <vector>

inline constexpr std::int32_t kDefaultDpi = 96;

// A scale the layout can follow: 0, negative or absurd values read as 96; the rest are held
// between half and five times 96.
std::int32_t SaneDpi(std::int32_t dpi);

// Drops monitors without area, gives one without a usable work area its bounds, and makes the
// dots per inch sane. What is left may still overlap (mirrored outputs).
std::vector<MonitorInfo> SaneMonitors(std::vector<MonitorInfo> monitors);

// The monitors the toolkit works with: the platform's, made sane; when it reports none, one
// monitor of the primary display size (or 1 × 1 when even that is empty), so no caller sees none.
std::vector<MonitorInfo> CurrentMonitors(Platform& platform);

// The monitor that holds `p`; of overlapping ones the primary, else the first. A point in no
// monitor (a gap in an L-shaped layout) takes the nearest. `monitors` must not be empty.
const MonitorInfo& MonitorAtPoint(const std::vector<MonitorInfo>& monitors, TPoint p);

// The monitor that holds most of `rect`; with no overlap at all, the one nearest its centre.
const MonitorInfo& MonitorForRect(const std::vector<MonitorInfo>& monitors, const TRect& rect);

// `window` moved the least distance that puts it wholly inside `area`; shrunk only where it is
// wider or taller than `area`.
TRect FitRectInto(const TRect& window, const TRect& area);
