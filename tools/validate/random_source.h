// A small random source whose sequence depends only on its seed, on every compiler and
// standard library, so that a validation run can be repeated exactly from its seed.
#pragma once

#include <cstdint>
#include <string_view>

namespace validate {

class RandomSource {
public:
    explicit RandomSource(uint64_t seed) : state(seed) {}

    // splitmix64: full period, good enough spread for test input.
    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    // A number in [0, bound); bound must be at least 1.
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(next() % bound); }
    // A number in [low, high].
    int32_t between(int32_t low, int32_t high)
    {
        return static_cast<int32_t>(int64_t{low} + static_cast<int64_t>(next() % (uint64_t(int64_t{high} - low) + 1)));
    }
    // True with a chance of one in `odds`.
    bool oneIn(uint32_t odds) { return below(odds) == 0; }
    uint8_t byte() { return static_cast<uint8_t>(next()); }

    template <typename T, size_t N>
    const T& pick(const T (&choices)[N])
    {
        return choices[below(N)];
    }

private:
    uint64_t state;
};

// A seed of its own for each module, so that validating one module alone repeats what
// that module saw in a run over all of them.
inline uint64_t moduleSeed(uint64_t seed, std::string_view identifier)
{
    uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
    for (char c : identifier)
        hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001B3u;
    return seed ^ hash;
}

}  // namespace validate
