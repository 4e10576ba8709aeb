// The nearest-neighbour stretching copy. It runs on every drawing of the zoom view, so it is built
// for speed: the column mapping is worked out once per geometry as runs (a source column and how
// many destination pixels repeat it), each source row is widened once (vector loops at two and
// three times, otherwise stores of four pixels at a time), and destination rows that repeat a
// source row are plain copies of the row above.
#include "framework/platform/pixel_surface.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace raster {
namespace {

// Walks SourceIndex(i, srcExtent, dstExtent) for i = first, first + 1, ... without a division per
// step: the quotient and remainder of (2i + 1) * srcExtent / (2 * dstExtent) are carried along.
class SourceIndexWalker {
public:
    SourceIndexWalker(std::int64_t first, std::int64_t srcExtent, std::int64_t dstExtent)
        : divisor_(2 * dstExtent), stepQuotient_(2 * srcExtent / divisor_),
          stepRemainder_(2 * srcExtent % divisor_) {
        const std::int64_t numerator = (2 * first + 1) * srcExtent;
        quotient_ = numerator / divisor_;
        remainder_ = numerator % divisor_;
    }
    std::int64_t Value() const { return quotient_; }
    void Next() {
        quotient_ += stepQuotient_;
        remainder_ += stepRemainder_;
        if (remainder_ >= divisor_) {
            remainder_ -= divisor_;
            ++quotient_;
        }
    }

private:
    std::int64_t divisor_;
    std::int64_t stepQuotient_;
    std::int64_t stepRemainder_;
    std::int64_t quotient_ = 0;
    std::int64_t remainder_ = 0;
};

// One axis of the mapping after the destination was normalised to a positive extent: destination
// offset i takes source start + SourceIndex(i), or start - 1 - SourceIndex(i) when mirrored.
struct AxisMapping {
    std::int64_t start;
    std::int64_t srcExtent; // negative: mirrored
    std::int64_t dstExtent; // positive
    bool operator==(const AxisMapping&) const = default;
};

class AxisWalker {
public:
    AxisWalker(const AxisMapping& m, std::int64_t first)
        : walker_(first, m.srcExtent < 0 ? -m.srcExtent : m.srcExtent, m.dstExtent), start_(m.start),
          mirrored_(m.srcExtent < 0) {}
    std::int64_t Value() const { return mirrored_ ? start_ - 1 - walker_.Value() : start_ + walker_.Value(); }
    void Next() { walker_.Next(); }

private:
    SourceIndexWalker walker_;
    std::int64_t start_;
    bool mirrored_;
};

constexpr std::int32_t kBlack = INT32_MIN;

struct Run {
    std::int32_t source;   // column in the source row, or kBlack
    std::int32_t position; // first destination pixel, from the visible left edge
    std::int32_t count;    // destination pixels that repeat the source pixel
};

// Consecutive runs drawn the same way. Twice and Thrice: runs of two or three pixels from
// consecutive source columns, through vector loops. Quads: runs of at most four pixels, each
// written as one store of four (reaching into what follows, which is written later). Single: the
// rest, near the row's end or black.
struct Block {
    enum class Kind : std::uint8_t { Twice, Thrice, Quads, Single } kind;
    std::size_t begin, end; // runs [begin, end)
};

// The columns of one geometry as runs, kept while the same geometry is drawn again. A relative plan
// holds columns relative to the mapping's start, so it serves every position of the source
// rectangle that lies wholly inside the source; an absolute plan marks the columns outside as black.
struct ColumnPlan {
    AxisMapping mapping{0, 0, 0};
    std::int64_t first = -1; // destination offset of the first visible column
    std::int32_t width = 0;  // visible columns
    std::int32_t sourceWidth = -1;
    std::int64_t lowest = 0, highest = 0; // of the relative columns
    std::vector<Run> runs;
    std::vector<Block> blocks;

    bool Matches(const AxisMapping& m, std::int64_t f, std::int32_t w, std::int32_t sw) const {
        return mapping == m && first == f && width == w && sourceWidth == sw;
    }
    // Relative plans: `m.start` is 0 and `sw` -1.
    void Build(const AxisMapping& m, std::int64_t f, std::int32_t w, std::int32_t sw) {
        mapping = m;
        first = f;
        width = w;
        sourceWidth = sw;
        runs.clear();
        AxisWalker column(m, f);
        const bool relative = sw < 0;
        for (std::int32_t i = 0; i < w; ++i, column.Next()) {
            const std::int64_t s = column.Value();
            const std::int32_t source =
                relative || (s >= 0 && s < sw) ? static_cast<std::int32_t>(s) : kBlack;
            if (i == 0 || s < lowest) lowest = s;
            if (i == 0 || s > highest) highest = s;
            if (!runs.empty() && runs.back().source == source)
                ++runs.back().count;
            else
                runs.push_back({source, i, 1});
        }
        BuildBlocks();
    }

private:
    Block::Kind KindOf(std::size_t k) const {
        const Run& r = runs[k];
        if (r.source == kBlack || r.count > 4 || r.position + 4 > width) return Block::Kind::Single;
        return Block::Kind::Quads;
    }
    void BuildBlocks() {
        blocks.clear();
        constexpr std::size_t kShortestVectorBlock = 8;
        for (std::size_t k = 0; k < runs.size();) {
            const std::int32_t count = runs[k].count;
            std::size_t end = k;
            while (end < runs.size() && runs[end].count == count && runs[end].source != kBlack &&
                   (end == k || runs[end].source == runs[end - 1].source + 1))
                ++end;
            if ((count == 2 || count == 3) && end - k >= kShortestVectorBlock) {
                blocks.push_back({count == 2 ? Block::Kind::Twice : Block::Kind::Thrice, k, end});
            } else if (const Block::Kind kind = KindOf(k); !blocks.empty() && blocks.back().kind == kind) {
                end = k + 1;
                blocks.back().end = end;
            } else {
                end = k + 1;
                blocks.push_back({kind, k, end});
            }
            k = end;
        }
    }
};

inline void StoreFour(std::uint32_t* out, std::uint32_t pixel) {
    const std::uint32_t four[4] = {pixel, pixel, pixel, pixel};
    std::memcpy(out, four, sizeof four); // one vector store
}

// Two destination pixels per source pixel: the commonest magnification, as a loop the compiler
// turns into vector loads, interleaves and stores.
void WidenTwice(std::uint32_t* __restrict out, const std::uint32_t* __restrict in, std::int32_t count,
                std::uint32_t mask) {
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t pixel = in[i] & mask;
        out[2 * i] = pixel;
        out[2 * i + 1] = pixel;
    }
}

// Three destination pixels per source pixel: four source pixels become three stores of four,
// shuffled in a vector register. Compilers do not find this for a stride of three by themselves.
void WidenThrice(std::uint32_t* __restrict out, const std::uint32_t* __restrict in, std::int32_t count,
                 std::uint32_t mask) {
    std::int32_t i = 0;
#if defined(__GNUC__)
    using Four = std::uint32_t __attribute__((vector_size(16)));
    const Four masks = {mask, mask, mask, mask};
    for (; i + 4 <= count; i += 4) {
        Four v;
        std::memcpy(&v, in + i, sizeof v);
        v &= masks;
#if defined(__clang__)
        const Four a = __builtin_shufflevector(v, v, 0, 0, 0, 1);
        const Four b = __builtin_shufflevector(v, v, 1, 1, 2, 2);
        const Four c = __builtin_shufflevector(v, v, 2, 3, 3, 3);
#else
        constexpr Four kFirst = {0, 0, 0, 1}, kSecond = {1, 1, 2, 2}, kThird = {2, 3, 3, 3};
        const Four a = __builtin_shuffle(v, kFirst);
        const Four b = __builtin_shuffle(v, kSecond);
        const Four c = __builtin_shuffle(v, kThird);
#endif
        std::memcpy(out + 3 * i, &a, sizeof a);
        std::memcpy(out + 3 * i + 4, &b, sizeof b);
        std::memcpy(out + 3 * i + 8, &c, sizeof c);
    }
#endif
    for (; i < count; ++i) {
        const std::uint32_t pixel = in[i] & mask;
        out[3 * i] = pixel;
        out[3 * i + 1] = pixel;
        out[3 * i + 2] = pixel;
    }
}

// Fills `width` pixels of `out` from the source row `in` by the plan. A run is written in whole
// groups of four, which may reach past its end into the pixels that follow (written afterwards);
// where a group would leave the row, the run's pixels go one by one.
void WidenRow(std::uint32_t* out, std::int32_t width, const std::uint32_t* in, const ColumnPlan& plan,
              std::uint32_t mask) {
    const Run* runs = plan.runs.data();
    for (const Block& block : plan.blocks) {
        switch (block.kind) {
        case Block::Kind::Twice:
            WidenTwice(out + runs[block.begin].position, in + runs[block.begin].source,
                       static_cast<std::int32_t>(block.end - block.begin), mask);
            break;
        case Block::Kind::Thrice:
            WidenThrice(out + runs[block.begin].position, in + runs[block.begin].source,
                        static_cast<std::int32_t>(block.end - block.begin), mask);
            break;
        case Block::Kind::Quads:
            for (const Run *r = runs + block.begin, *end = runs + block.end; r != end; ++r)
                StoreFour(out + r->position, in[r->source] & mask);
            break;
        case Block::Kind::Single:
            for (std::size_t k = block.begin; k < block.end; ++k) {
                const Run r = runs[k];
                const std::uint32_t pixel = r.source != kBlack ? in[r.source] & mask : 0u;
                const std::int32_t groups = (r.count + 3) / 4;
                if (width - r.position >= 4 * groups) {
                    for (std::int32_t g = 0; g < groups; ++g) StoreFour(out + r.position + 4 * g, pixel);
                } else {
                    std::fill(out + r.position, out + r.position + r.count, pixel);
                }
            }
            break;
        }
    }
}

} // namespace

void StretchCopy(PixelSurface& dst, const TRect& dstRect, const PixelSurface& src, const TRect& srcRect,
                 const TRect& clip, std::uint32_t sourceMask) {
    const std::int64_t dstW = static_cast<std::int64_t>(dstRect.Right) - dstRect.Left;
    const std::int64_t dstH = static_cast<std::int64_t>(dstRect.Bottom) - dstRect.Top;
    const std::int64_t srcW = static_cast<std::int64_t>(srcRect.Right) - srcRect.Left;
    const std::int64_t srcH = static_cast<std::int64_t>(srcRect.Bottom) - srcRect.Top;
    if (dstW == 0 || dstH == 0 || srcW == 0 || srcH == 0) return;
    // Normalise the destination to positive extents, folding its mirroring into the source.
    const TRect d{static_cast<std::int32_t>(std::min<std::int64_t>(dstRect.Left, dstRect.Right)),
                  static_cast<std::int32_t>(std::min<std::int64_t>(dstRect.Top, dstRect.Bottom)),
                  static_cast<std::int32_t>(std::max<std::int64_t>(dstRect.Left, dstRect.Right)),
                  static_cast<std::int32_t>(std::max<std::int64_t>(dstRect.Top, dstRect.Bottom))};
    const AxisMapping columns{dstW > 0 ? srcRect.Left : srcRect.Right, dstW > 0 ? srcW : -srcW,
                              d.Right - static_cast<std::int64_t>(d.Left)};
    const AxisMapping rows{dstH > 0 ? srcRect.Top : srcRect.Bottom, dstH > 0 ? srcH : -srcH,
                           d.Bottom - static_cast<std::int64_t>(d.Top)};

    const TRect visible = d.Intersect(clip).Intersect(dst.Bounds());
    if (visible.IsEmpty()) return;

    // Relative columns when the source rectangle's visible columns lie inside the source (the
    // common case: one plan for every pointer position), absolute ones otherwise.
    thread_local ColumnPlan relativePlan, absolutePlan;
    const std::int64_t firstColumn = visible.Left - static_cast<std::int64_t>(d.Left);
    const AxisMapping relativeColumns{0, columns.srcExtent, columns.dstExtent};
    if (!relativePlan.Matches(relativeColumns, firstColumn, visible.Width(), -1))
        relativePlan.Build(relativeColumns, firstColumn, visible.Width(), -1);
    const bool inside =
        columns.start + relativePlan.lowest >= 0 && columns.start + relativePlan.highest < src.Width();
    const ColumnPlan* plan = &relativePlan;
    std::int64_t columnShift = columns.start;
    if (!inside) {
        if (!absolutePlan.Matches(columns, firstColumn, visible.Width(), src.Width()))
            absolutePlan.Build(columns, firstColumn, visible.Width(), src.Width());
        plan = &absolutePlan;
        columnShift = 0;
    }

    const std::size_t rowBytes = static_cast<std::size_t>(visible.Width()) * sizeof(std::uint32_t);
    AxisWalker row(rows, visible.Top - static_cast<std::int64_t>(d.Top));
    const std::uint32_t* previousOut = nullptr;
    std::int64_t previousSourceRow = 0;
    for (std::int32_t y = visible.Top; y < visible.Bottom; ++y, row.Next()) {
        const std::int64_t sy = row.Value();
        std::uint32_t* out = dst.Row(y) + visible.Left;
        if (previousOut != nullptr && sy == previousSourceRow) {
            std::memcpy(out, previousOut, rowBytes); // magnification repeats whole rows
        } else if (sy < 0 || sy >= src.Height()) {
            std::fill(out, out + visible.Width(), 0u);
        } else {
            WidenRow(out, visible.Width(), src.Row(static_cast<std::int32_t>(sy)) + columnShift, *plan,
                     sourceMask);
        }
        previousOut = out;
        previousSourceRow = sy;
    }
}

} // namespace raster
