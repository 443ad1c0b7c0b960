#pragma once

#include <string_view>

namespace lexiflip::core {

// The tally's three operations that a game feeds. The application's tally
// implements them and the window's game half calls them, so they live below
// both; a window without a tally (tests, tools) takes the no-op below.
class TallyCalls {
public:
    virtual ~TallyCalls() = default;

    // A finished game: winner is "addtomine" when the own player won, otherwise
    // the winner's name.
    virtual void addgame(std::string_view winner) = 0;

    // One more in the own row's column (the game passes 3: a word was scored).
    virtual void addtomineincrease(int column) = 0;

    // The own best word: column 4, its points and the word as the host spelled it.
    virtual void addtomineset(int column, int points, std::string_view word) = 0;
};

class NoTally : public TallyCalls {
public:
    void addgame(std::string_view) override {}
    void addtomineincrease(int) override {}
    void addtomineset(int, int, std::string_view) override {}
};

} // namespace lexiflip::core
