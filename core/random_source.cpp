#include "core/random_source.h"

namespace lexiflip::core {

std::uint32_t RandomSource::below(std::uint32_t n)
{
    if (n == 0)
        return 0;
    // Lemire's multiply-shift with rejection: the result is the top half of
    // x * n for a 32-bit draw x. Each result would have floor or ceil of
    // 2^32 / n draws behind it; drawing again whenever the low half falls
    // below 2^32 mod n leaves exactly floor(2^32 / n) draws for every result,
    // so the mapping is unbiased. The extra draw is needed about n times in
    // 2^32, and only the first test runs otherwise.
    std::uint64_t product = (m_engine() >> 32) * n;
    if (static_cast<std::uint32_t>(product) < n) {
        const std::uint32_t threshold = static_cast<std::uint32_t>(0u - n) % n; // 2^32 mod n
        while (static_cast<std::uint32_t>(product) < threshold)
            product = (m_engine() >> 32) * n;
    }
    return static_cast<std::uint32_t>(product >> 32);
}

} // namespace lexiflip::core
