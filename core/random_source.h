#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

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

    // Where the source stands, as decimal numbers separated by spaces: a
    // source restored from it draws exactly what this one draws next.
    std::string state() const;
    // Takes a state that state() gave; false (and the source unchanged) for
    // anything else, including a state that would draw nothing but zeros.
    bool restore(std::string_view text);

private:
    std::mt19937_64 m_engine;
};

} // namespace lexiflip::core
