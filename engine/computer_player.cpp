#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/letters.h"
#include "core/random_source.h"
#include "engine/game.h"
#include "wire/field_reader.h"
#include "wire/message_builder.h"
#include "wire/messages.h"
#include "words/word_search.h"

namespace lexiflip::engine {
namespace {

constexpr int kMaxCandidates = 1000;
constexpr std::size_t kShortestWord = 4;
// The last entries of the list are never chosen.
constexpr std::size_t kUnplayedTail = 10;
constexpr int kWordPhaseTicks = 4;
constexpr int kSubmitPhaseTicks = 3;

} // namespace

void Game::computertimerTimer()
{
    --m_state.botticks;
    if (m_state.botticks > 0)
        return;
    m_services.computertimer.stop();
    const int slot = m_state.currentplayer;
    // A person may be playing the seat again by now (a watcher who came back);
    // then the tick does nothing.
    if (!computerPlays(slot))
        return;
    switch (m_state.botphase) {
    case kBotFlip:
        computerplay(slot);
        break;
    case kBotWord:
        computerword(slot);
        break;
    case kBotSubmit:
        computerdone(slot);
        break;
    default:
        break;
    }
}

void Game::computerplay(int slot)
{
    if (slot != m_state.currentplayer || !computerPlays(slot))
        return;
    tplayer& player = m_state.players[slot];
    const bool expert = computerStrength(slot) == ComputerStrength::Expert;
    for (int i = 0; i < kBotFlipTiles; ++i) {
        int facedown = 0;
        for (int x = 1; x <= kBoardColumns; ++x) {
            for (int y = 1; y <= kBoardRows; ++y)
                facedown += m_state.cell(x, y).flipped ? 0 : 1;
        }
        if (facedown == 0)
            break;
        int x = 0;
        int y = 0;
        const std::optional<words::SearchTile> planned = expert ? wantedFlip(slot) : std::nullopt;
        if (planned) {
            x = planned->x;
            y = planned->y;
        } else {
            randomFaceDown(expert, x, y);
        }
        iflip(wire::msg::payloadOf(wire::msg::iflip(slot, x, y)));
        thetiles& flipped = player.tiles[kBarTiles + 1 + i];
        flipped.letter = m_state.cell(x, y).letter;
        flipped.used = 0;
        flipped.coord = std::to_string(x) + "," + std::to_string(y);
    }
    startBotPhase(kBotWord, kWordPhaseTicks);
}

void Game::computerword(int slot)
{
    if (!GameState::isSlot(slot))
        return;
    if (computerStrength(slot) != ComputerStrength::Classic)
        return bestWordTurn(slot);
    tplayer& player = m_state.players[slot];
    const std::vector<std::string>& words = m_services.listbox_words;

    std::vector<int> chosen; // tile numbers 1..12, in word order
    if (m_playableWords > 0) {
        const int lastIndex = static_cast<int>(words.size() - 1 - kUnplayedTail);
        std::array<bool, kPlayerTiles + 1> taken{};
        for (int candidate = 0; candidate < kMaxCandidates && chosen.empty(); ++candidate) {
            taken.fill(false);
            const std::string* word = nullptr;
            do {
                word = &words[static_cast<std::size_t>(m_services.random.between(0, lastIndex))];
            } while (word->size() < kShortestWord);

            std::vector<int> tiles;
            for (char letter : *word) {
                const int code = core::letterCode(letter);
                int found = 0;
                // The flipped board tiles first, the last flipped first, then
                // the bar from its right end: board letters count double.
                for (int t = kPlayerTiles; t >= 1; --t) {
                    if (!taken[t] && player.tiles[t].letter == code && code != 0) {
                        found = t;
                        break;
                    }
                }
                if (!found)
                    break;
                taken[found] = true;
                tiles.push_back(found);
            }
            if (tiles.size() == word->size())
                chosen = std::move(tiles);
        }
    }

    if (chosen.empty()) {
        hepass(wire::msg::payloadOf(wire::msg::hepass(slot)));
        return;
    }

    std::vector<std::pair<int, int>> tiles;
    for (int t : chosen) {
        const wire::Origin origin = wire::parseOrigin(player.tiles[t].coord);
        tiles.emplace_back(origin.x, origin.y);
    }
    layOutWord(slot, tiles);
}

void Game::layOutWord(int slot, const std::vector<std::pair<int, int>>& tiles)
{
    wire::MessageBuilder botword("");
    int position = 0;
    for (const auto& [x, y] : tiles) {
        botword.addOrigin(x, y);
        ++position;
        if (x == 0)
            usebarletter(wire::msg::payloadOf(wire::msg::usebarletter(slot, y, position)));
        else
            useboardletter(wire::msg::payloadOf(wire::msg::useboardletter(slot, x, y, position)));
    }
    m_state.botword = botword.body();
    startBotPhase(kBotSubmit, kSubmitPhaseTicks);
}

void Game::computerdone(int slot)
{
    if (m_state.botword.empty()) {
        notice("Error in computer's word");
        return;
    }
    idone(std::to_string(slot) + m_state.botword);
}

} // namespace lexiflip::engine
