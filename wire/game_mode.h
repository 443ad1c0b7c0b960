#pragma once

#include <array>
#include <optional>
#include <string_view>

// The three game modes and every way they are written: the digit the options
// dialog sends, the word a late joiner's catch-up carries, the caption of the
// dialog's box and the header the game window shows.
namespace lexiflip::wire {

enum class GameMode { blind = 1, help = 2, sneak = 3 };

inline constexpr std::array<GameMode, 3> kGameModes = {GameMode::blind, GameMode::help, GameMode::sneak};

// "1", "2", "3": CMD_startgame's mode field.
std::string_view gameModeDigit(GameMode mode);
std::optional<GameMode> gameModeFromDigit(std::string_view digit);
// The same as a number (the dialog's box tags and the settings file).
std::optional<GameMode> gameModeFromNumber(int number);

// "blind", "help", "sneak": the mode as the host keeps it and CMD_stats sends it.
std::string_view gameModeWord(GameMode mode);
std::optional<GameMode> gameModeFromWord(std::string_view word);

// "Blind", "Helper", "Sneak Peek": the options dialog's caption.
std::string_view gameModeCaption(GameMode mode);
// "Game Mode: " and the caption: the game window's header.
std::string_view gameModeHeader(GameMode mode);

} // namespace lexiflip::wire
