#pragma once

#include <cstdint>
#include <random>

namespace lexiflip::core {

// A seeded source of randomness: the host's game draws its letters from one,
// the window shuffles its bar with another. The mapping to a range is our own
// (the standard distributions map differently between standard libraries), so
// one seed plays the same game everywhere.
class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed) : m_engine(seed) {}

    // A uniform integer in [0, n); 0 when n is 0.
    std::uint32_t below(std::uint32_t n);

    // A uniform integer in [low, high].
    int between(int low, int high)
    {
        return low + static_cast<int>(below(static_cast<std::uint32_t>(high - low + 1)));
    }

    void reseed(std::uint64_t seed) { m_engine.seed(seed); }

private:
    std::mt19937_64 m_engine;
};

} // namespace lexiflip::core
