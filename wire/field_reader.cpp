#include "wire/field_reader.h"

#include <charconv>

namespace lexiflip::wire {

std::optional<int> parseInt(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, 10);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

Origin parseOrigin(std::string_view text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return {};
    const std::optional<int> x = parseInt(text.substr(0, comma));
    const std::optional<int> y = parseInt(text.substr(comma + 1));
    if (!x || !y)
        return {};
    return {*x, *y};
}

std::string_view FieldReader::next()
{
    const std::size_t plus = m_rest.find('+');
    if (plus == std::string_view::npos)
        return {};
    const std::string_view field = m_rest.substr(0, plus);
    m_rest.remove_prefix(plus + 1);
    return field;
}

std::string_view FieldReader::take()
{
    if (m_rest.find('+') != std::string_view::npos)
        return next();
    const std::string_view last = m_rest;
    m_rest = {};
    return last;
}

std::optional<int> FieldReader::nextInt()
{
    if (m_rest.find('+') == std::string_view::npos)
        return std::nullopt;
    return parseInt(next());
}

std::vector<std::string_view> FieldReader::list() const
{
    std::vector<std::string_view> items;
    std::string_view rest = m_rest;
    for (;;) {
        const std::size_t plus = rest.find('+');
        items.push_back(rest.substr(0, plus));
        if (plus == std::string_view::npos)
            break;
        rest.remove_prefix(plus + 1);
    }
    return items;
}

} // namespace lexiflip::wire
