#include "wire/game_mode.h"

namespace lexiflip::wire {
namespace {

struct ModeTexts {
    std::string_view digit;
    std::string_view word;
    std::string_view caption;
    std::string_view header;
};

constexpr std::array<ModeTexts, 3> kTexts = {{
    {"1", "blind", "Blind", "Game Mode: Blind"},
    {"2", "help", "Helper", "Game Mode: Helper"},
    {"3", "sneak", "Sneak Peek", "Game Mode: Sneak Peek"},
}};

const ModeTexts& texts(GameMode mode)
{
    return kTexts[static_cast<std::size_t>(static_cast<int>(mode) - 1)];
}

template <class Field> std::optional<GameMode> find(std::string_view text, Field field)
{
    for (GameMode mode : kGameModes) {
        if (texts(mode).*field == text)
            return mode;
    }
    return std::nullopt;
}

} // namespace

std::string_view gameModeDigit(GameMode mode)
{
    return texts(mode).digit;
}
std::optional<GameMode> gameModeFromDigit(std::string_view digit)
{
    return find(digit, &ModeTexts::digit);
}
std::optional<GameMode> gameModeFromNumber(int number)
{
    if (number < 1 || number > static_cast<int>(kGameModes.size()))
        return std::nullopt;
    return static_cast<GameMode>(number);
}
std::string_view gameModeWord(GameMode mode)
{
    return texts(mode).word;
}
std::optional<GameMode> gameModeFromWord(std::string_view word)
{
    return find(word, &ModeTexts::word);
}
std::string_view gameModeCaption(GameMode mode)
{
    return texts(mode).caption;
}
std::string_view gameModeHeader(GameMode mode)
{
    return texts(mode).header;
}

} // namespace lexiflip::wire
