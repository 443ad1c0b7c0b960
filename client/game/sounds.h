#pragma once

#include <string_view>

// The game's sounds by what they mean; the window plays each by its name.
namespace lexiflip::client {

enum class Sound {
    Entered,
    Turn,
    TurnNew,
    Tick,
    GameOver,
    GoodWord,
    Invalid,
    TimeUp,
    Buy,
    Flip,
    PutTile,
    Clear
};

// The name the sound player knows the sound by.
constexpr std::string_view soundName(Sound sound)
{
    switch (sound) {
    case Sound::Entered:
        return "entered";
    case Sound::Turn:
        return "turn";
    case Sound::TurnNew:
        return "turnnew";
    case Sound::Tick:
        return "tick";
    case Sound::GameOver:
        return "gameover";
    case Sound::GoodWord:
        return "goodword";
    case Sound::Invalid:
        return "invalid";
    case Sound::TimeUp:
        return "timeup";
    case Sound::Buy:
        return "buy";
    case Sound::Flip:
        return "flip";
    case Sound::PutTile:
        return "puttile";
    case Sound::Clear:
        return "clear";
    }
    return {};
}

} // namespace lexiflip::client
