#include "engine/random_source.h"

namespace lexiflip::engine {

std::uint32_t RandomSource::below(std::uint32_t n)
{
    if (n == 0)
        return 0;
    // Lemire's multiply-and-reject: unbiased, and defined by this code alone.
    const std::uint64_t limit = (std::uint64_t(1) << 32) - ((std::uint64_t(1) << 32) % n);
    for (;;) {
        const std::uint64_t x = m_engine() >> 32;
        if (x < limit)
            return static_cast<std::uint32_t>((x * n) >> 32);
    }
}

} // namespace lexiflip::engine
