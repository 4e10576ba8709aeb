#include "framework/graphics/device_context.h"

#include <map>

void SubtractRect(std::vector<TRect>& rects, const TRect& cut) {
    std::vector<TRect> out;
    out.reserve(rects.size() + 4);
    for (const TRect& r : rects) {
        const TRect i = r.Intersect(cut);
        if (i.IsEmpty()) {
            out.push_back(r);
            continue;
        }
        // Up to four pieces: the bands above and below, then the parts left and right.
        if (r.Top < i.Top) out.push_back({r.Left, r.Top, r.Right, i.Top});
        if (i.Bottom < r.Bottom) out.push_back({r.Left, i.Bottom, r.Right, r.Bottom});
        if (r.Left < i.Left) out.push_back({r.Left, i.Top, i.Left, i.Bottom});
        if (i.Right < r.Right) out.push_back({i.Right, i.Top, r.Right, i.Bottom});
    }
    rects.swap(out);
}

namespace window_damage {
namespace {
std::map<WindowId, TRect>& Pending() {
    static std::map<WindowId, TRect> pending;
    return pending;
}
} // namespace

void Add(WindowId window, const TRect& rect) {
    if (window == 0 || rect.IsEmpty()) return;
    TRect& r = Pending()[window];
    r = r.Union(rect);
}

void PresentAll() {
    if (Pending().empty() || !HasCurrentPlatform()) return;
    auto pending = std::move(Pending());
    Pending().clear();
    for (const auto& [window, rect] : pending) CurrentPlatform().PresentWindow(window, rect);
}

void Forget(WindowId window) { Pending().erase(window); }

} // namespace window_damage
