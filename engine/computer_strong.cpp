// Klot beyond Classic: Strong's and Expert's choice of flips, word and new bar.
#include <vector>

#include "engine/flip_plan.h"
#include "engine/game.h"
#include "engine/known_board.h"
#include "engine/letter_draw.h"
#include "wire/messages.h"
#include "words/tdictn.h"
#include "words/word_score.h"
#include "words/word_search.h"

namespace lexiflip::engine {
namespace {

// Bars drawn to guess what a new bar would be worth: enough for a steady
// average, few enough to keep a turn's thinking short.
constexpr int kBarGuesses = 12;

std::vector<words::SearchTile> barOf(const tplayer& player)
{
    std::vector<words::SearchTile> bar;
    for (int k = 1; k <= kBarTiles; ++k)
        bar.push_back({player.tiles[k].letter, 0, k});
    return bar;
}

std::vector<words::SearchTile> faceUpTiles(const KnownBoard& board)
{
    std::vector<words::SearchTile> tiles;
    for (int x = 1; x <= kBoardColumns; ++x) {
        for (int y = 1; y <= kBoardRows; ++y) {
            if (board.faceUp(x, y))
                tiles.push_back({board.letter(x, y), x, y});
        }
    }
    return tiles;
}

} // namespace

void Game::setComputerStrength(ComputerStrength strength)
{
    m_strengths.fill(strength);
}

void Game::setComputerStrength(int slot, ComputerStrength strength)
{
    if (GameState::isSlot(slot))
        m_strengths[static_cast<std::size_t>(slot)] = strength;
}

ComputerStrength Game::computerStrength(int slot) const
{
    return GameState::isSlot(slot) ? m_strengths[static_cast<std::size_t>(slot)] : ComputerStrength::Classic;
}

void Game::randomFaceDown(bool avoidKnown, int& x, int& y)
{
    bool unknownLeft = false;
    if (avoidKnown) {
        for (int cx = 1; cx <= kBoardColumns; ++cx) {
            for (int cy = 1; cy <= kBoardRows; ++cy)
                unknownLeft = unknownLeft || (!m_state.cell(cx, cy).flipped && !m_state.cell(cx, cy).seen);
        }
    }
    do {
        x = m_services.random.between(1, kBoardColumns);
        y = m_services.random.between(1, kBoardRows);
    } while (m_state.cell(x, y).flipped || (unknownLeft && m_state.cell(x, y).seen));
}

std::optional<words::SearchTile> Game::wantedFlip(int slot) const
{
    // Only what every player at the table has seen goes into the choice.
    return nextFlip(m_services.dictionary.wordIndex(), KnownBoard(m_state), barOf(m_state.players[slot]));
}

int Game::newBarWorth(const std::vector<words::SearchTile>& faceUp)
{
    const words::WordIndex& index = m_services.dictionary.wordIndex();
    int total = 0;
    for (int guess = 0; guess < kBarGuesses; ++guess) {
        std::vector<words::SearchTile> bar;
        for (int k = 1; k <= kBarTiles; ++k)
            bar.push_back({engine::getletter(m_foresight), 0, k});
        total += words::findBestWord(index, bar, faceUp).score;
    }
    return total / kBarGuesses - words::kBarPrice;
}

void Game::bestWordTurn(int slot)
{
    const words::WordIndex& index = m_services.dictionary.wordIndex();
    tplayer& player = m_state.players[slot];
    const std::vector<words::SearchTile> faceUp = faceUpTiles(KnownBoard(m_state));
    words::BestWord best = words::findBestWord(index, barOf(player), faceUp);
    if (player.score >= words::kBarPrice && newBarWorth(faceUp) > best.score) {
        clickbuy(wire::msg::payloadOf(wire::msg::clickbuy(slot)));
        best = words::findBestWord(index, barOf(player), faceUp);
    }
    if (best.tiles.empty()) {
        hepass(wire::msg::payloadOf(wire::msg::hepass(slot)));
        return;
    }
    std::vector<std::pair<int, int>> tiles;
    for (const words::SearchTile& tile : best.tiles)
        tiles.emplace_back(tile.x, tile.y);
    layOutWord(slot, tiles);
}

} // namespace lexiflip::engine
