#include "framework/graphics/region.h"

void TRegion::Add(const TRect& rect) {
    if (rect.IsEmpty()) return;
    std::vector<TRect> fresh{rect};
    for (const TRect& held : rects_) SubtractRect(fresh, held);
    rects_.insert(rects_.end(), fresh.begin(), fresh.end());
}

bool TRegion::Contains(TPoint p) const {
    for (const TRect& r : rects_)
        if (r.Contains(p)) return true;
    return false;
}

TRegion TRegion::Offset(std::int32_t dx, std::int32_t dy) const {
    TRegion moved;
    moved.rects_.reserve(rects_.size());
    for (const TRect& r : rects_) moved.rects_.push_back(r.Offset(dx, dy));
    return moved;
}

TRect TRegion::Bounds() const {
    TRect bounding;
    for (const TRect& r : rects_) bounding = bounding.Union(r);
    return bounding;
}

RegionClipNarrowing::RegionClipNarrowing(DeviceContext& dc, const TRegion& logical)
    : dc_(dc), saved_(dc.clip) {
    std::vector<TRect> narrowed;
    for (const TRect& piece : logical.Rects()) {
        const TRect limit = piece.Offset(dc.origin.X, dc.origin.Y);
        for (const TRect& c : saved_)
            if (const TRect i = c.Intersect(limit); !i.IsEmpty()) narrowed.push_back(i);
    }
    dc_.clip = std::move(narrowed);
}
