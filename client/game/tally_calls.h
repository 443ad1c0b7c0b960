#pragma once

#include <string_view>

namespace lexiflip::client {

// The tally window's three operations that a game feeds. The tally window
// implements them; until it exists the no-op below stands in.
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

// The game's tally until the tally window, created after the main window,
// takes over; nothing is recorded before that.
class TallyRelay : public TallyCalls {
public:
    void setTarget(TallyCalls* target) { m_target = target; }
    void addgame(std::string_view winner) override
    {
        if (m_target)
            m_target->addgame(winner);
    }
    void addtomineincrease(int column) override
    {
        if (m_target)
            m_target->addtomineincrease(column);
    }
    void addtomineset(int column, int points, std::string_view word) override
    {
        if (m_target)
            m_target->addtomineset(column, points, word);
    }

private:
    TallyCalls* m_target = nullptr;
};

} // namespace lexiflip::client
