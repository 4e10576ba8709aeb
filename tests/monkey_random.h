// The random choices of the monkey test. The engine is fully specified by the standard; the
// distributions are our own, so a seed gives the same run with every standard library.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>

class MonkeyRandom {
public:
    explicit MonkeyRandom(std::uint64_t seed) : engine_(seed) {}

    // A number from lo to hi, both included (lo <= hi). The modulo bias is far below what matters here.
    std::int32_t Between(std::int32_t lo, std::int32_t hi) {
        const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo) + 1;
        return static_cast<std::int32_t>(lo + static_cast<std::int64_t>(engine_() % span));
    }
    bool Percent(std::int32_t chance) { return Between(0, 99) < chance; }
    template <class T, std::size_t N> const T& Pick(const T (&items)[N]) {
        return items[static_cast<std::size_t>(Between(0, static_cast<std::int32_t>(N) - 1))];
    }
    // The index of a weight, chosen in proportion to the weights.
    std::size_t Weighted(std::initializer_list<std::int32_t> weights) {
        std::int32_t total = 0;
        for (std::int32_t w : weights) total += w;
        std::int32_t roll = Between(0, total - 1);
        std::size_t index = 0;
        for (std::int32_t w : weights) {
            if (roll < w) return index;
            roll -= w;
            ++index;
        }
        return weights.size() - 1;
    }

private:
    std::mt19937_64 engine_;
};
