#include "core/random_source.h"

#include <charconv>
#include <sstream>
#include <vector>

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

namespace lexiflip::core {

std::string RandomSource::state() const
{
    std::ostringstream text;
    text << m_engine;
    return text.str();
}

bool RandomSource::restore(std::string_view text)
{
    // The engine's own reader would take a half-read state or one of only
    // zeros (which draws zeros for ever, and a range then never finds its
    // draw): every number is checked here first.
    using Engine = std::mt19937_64;
    std::vector<std::uint64_t> numbers;
    while (!text.empty()) {
        if (text.front() == ' ') {
            text.remove_prefix(1);
            continue;
        }
        std::uint64_t number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || (end != text.data() + text.size() && *end != ' '))
            return false;
        numbers.push_back(number);
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    }
    if (numbers.size() != Engine::state_size + 1 || numbers.back() > Engine::state_size)
        return false;
    // The period needs some bit of the state other than the lower bits of the first word.
    bool live = (numbers[0] >> Engine::mask_bits) != 0;
    for (std::size_t i = 1; i < Engine::state_size; ++i)
        live = live || numbers[i] != 0;
    if (!live)
        return false;
    std::ostringstream canonical;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        canonical << (i ? " " : "") << numbers[i];
    std::istringstream in(canonical.str());
    Engine restored;
    in >> restored;
    if (!in && !in.eof())
        return false;
    m_engine = restored;
    return true;
}

} // namespace lexiflip::core
