#include "engine/computer_words.h"

namespace lexiflip::engine {

std::vector<std::string> loadComputerWords(std::string_view text)
{
    std::vector<std::string> words;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            words.emplace_back(line);
    }
    return words;
}

} // namespace lexiflip::engine
