// Points, sizes and rectangles shared by the toolkit and every platform backend.
#pragma once

#include <algorithm>
#include <cstdint>

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    bool operator==(const TSize&) const = default;
};

// a + b, held inside the 32-bit range: places and sizes may come from stored descriptions.
constexpr std::int32_t SaturatedAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{a} + b, INT32_MIN, INT32_MAX));
}

// Right and bottom edges are exclusive, as on the classic platform.
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    bool operator==(const TRect&) const = default;

    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    TRect Offset(std::int32_t dx, std::int32_t dy) const {
        return {SaturatedAdd(Left, dx), SaturatedAdd(Top, dy), SaturatedAdd(Right, dx),
                SaturatedAdd(Bottom, dy)};
    }
    TRect Intersect(const TRect& o) const {
        TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
                std::min(Bottom, o.Bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }
    // Bounding union; an empty rectangle adds nothing.
    TRect Union(const TRect& o) const {
        if (o.IsEmpty()) return *this;
        if (IsEmpty()) return o;
        return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
                std::max(Bottom, o.Bottom)};
    }
};

inline TRect Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    return {left, top, right, bottom};
}

inline TRect Bounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    return {left, top, SaturatedAdd(left, width), SaturatedAdd(top, height)};
}
