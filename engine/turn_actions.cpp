#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/letters.h"
#include "engine/game.h"
#include "engine/sender.h"
#include "wire/field_reader.h"
#include "wire/messages.h"
#include "words/tdictn.h"
#include "words/word_score.h"

namespace lexiflip::engine {
namespace {

constexpr int kMaxWordPosition = 10;

bool isBarPosition(int k)
{
    return k >= 1 && k <= kBarTiles;
}
bool isWordPosition(int p)
{
    return p >= 1 && p <= kMaxWordPosition;
}

} // namespace

bool Game::relayRecipient(int slot, int actor) const
{
    const tplayer& player = m_state.players[slot];
    // The mover's own client builds the word itself, unless the computer is
    // building it for a user who just watches: then that user must see it too.
    return player.connected && (slot != actor || player.watching);
}

void Game::sendRelay(int actor, std::string_view message)
{
    const int last = std::min(m_state.slotsused, kSlotCount);
    for (int slot = 1; slot <= last; ++slot) {
        if (relayRecipient(slot, actor))
            m_services.sender.send(slot, message);
    }
}

void Game::iflip(std::string_view request)
{
    wire::FieldReader fields(request);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !turnGuard(*slot) || m_state.flipcount >= kFlipsPerTurn)
        return;
    const std::optional<int> x = fields.nextInt();
    const std::optional<int> y = fields.nextInt();
    if (!x || !y || !GameState::onBoard(*x, *y))
        return;
    tboardtile& tile = m_state.cell(*x, *y);
    if (tile.flipped) {
        notice("flipping..: " + std::to_string(*x) + ".." + std::to_string(*y));
        return;
    }
    ++m_state.flipcount;
    tile.flipped = 1;
    tile.seen = 1;
    const bool last = m_state.flipcount == kFlipsPerTurn;
    sendToAll(wire::msg::heflip(*slot, *x, *y, last, kFlipsPerTurn - m_state.flipcount));
}

void Game::usebarletter(std::string_view request)
{
    wire::FieldReader fields(request);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !turnGuard(*slot))
        return;
    const std::optional<int> bar = fields.nextInt();
    const std::optional<int> position = fields.nextInt();
    if (!bar || !position || !isBarPosition(*bar) || !isWordPosition(*position))
        return;
    const int code = m_state.players[*slot].tiles[*bar].letter;
    sendRelay(*slot, wire::msg::heusebarletter(*slot, *position, code));
}

void Game::useboardletter(std::string_view request)
{
    wire::FieldReader fields(request);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !turnGuard(*slot))
        return;
    const std::optional<int> x = fields.nextInt();
    const std::optional<int> y = fields.nextInt();
    const std::optional<int> position = fields.nextInt();
    if (!x || !y || !position || !GameState::onBoard(*x, *y) || !isWordPosition(*position))
        return;
    const int code = m_state.cell(*x, *y).letter;
    sendRelay(*slot, wire::msg::heuseboardletter(*slot, *x, *y, *position, code));
}

void Game::clickclear(std::string_view request)
{
    wire::FieldReader fields(request);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !turnGuard(*slot))
        return;
    sendRelay(*slot, wire::msg::heclickclear(*slot, fields.rest()));
}

void Game::idone(std::string_view request)
{
    wire::FieldReader fields(request);
    const std::optional<int> parsedSlot = fields.nextInt();
    if (!parsedSlot || !turnGuard(*parsedSlot))
        return;
    const int slot = *parsedSlot;
    tplayer& player = m_state.players[slot];

    std::string word;
    std::vector<int> codes;
    int wordscore = 0;
    int barcount = 0;
    int boardcount = 0;

    auto reject = [&](int number) {
        flipthemover(slot);
        notice("Invalid Letter (" + std::to_string(number) + ")");
    };

    for (std::string_view pair : fields.list()) {
        const wire::Origin origin = wire::parseOrigin(pair);
        if (origin == wire::Origin{}) {
            // An unreadable pair (or 0,0) makes the submission a pass. Pairs
            // read before it may have set marks; they must not survive into the
            // next turn change, which would refill tiles nobody used.
            flipthemover(slot);
            sendToAll(wire::msg::hepasses(slot));
            startTimer1Phase(kPause, 3);
            return;
        }
        std::string letter;
        if (origin.x == 0) {
            if (origin.y > kBarTiles)
                return reject(1);
            if (origin.y < 1)
                return reject(2);
            thetiles& tile = player.tiles[origin.y];
            // A bar tile named twice would be scored twice though it is one tile.
            if (tile.used)
                return reject(4);
            core::converttoletter(tile.letter, letter);
            codes.push_back(tile.letter);
            wordscore += words::tilePoints(tile.letter, false);
            tile.used = 1;
            ++barcount;
        } else {
            if (origin.x < 1 || origin.x > kBoardColumns)
                return reject(5);
            if (origin.y < 1 || origin.y > kBoardRows)
                return reject(6);
            tboardtile& tile = m_state.cell(origin.x, origin.y);
            if (!tile.flipped)
                return reject(3);
            if (tile.used)
                return reject(4);
            core::converttoletter(tile.letter, letter);
            codes.push_back(tile.letter);
            wordscore += words::tilePoints(tile.letter, true);
            tile.used = 1;
            ++boardcount;
        }
        word += letter;
    }

    if (!m_services.dictionary.checkWord(word)) {
        flipthemover(slot);
        sendTo(slot, wire::msg::invalid(slot));
        return;
    }

    wordscore += words::wordBonus(barcount, boardcount);
    player.score += wordscore;
    sendToAll(wire::msg::hisword(slot, word, player.score, wordscore, codes));
    startTimer1Phase(kPause, 4);
}

void Game::hepass(std::string_view request)
{
    wire::FieldReader fields(request);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !turnGuard(*slot))
        return;
    sendToAll(wire::msg::hepasses(*slot));
    startTimer1Phase(kPause, 4);
}

void Game::clickbuy(std::string_view request)
{
    wire::FieldReader fields(request);
    const std::optional<int> slot = fields.nextInt();
    if (!slot || !turnGuard(*slot))
        return;
    tplayer& player = m_state.players[*slot];
    if (player.score < words::kBarPrice) {
        sendTo(*slot, wire::msg::notenough(*slot));
        return;
    }
    std::vector<wire::msg::BarTile> bar;
    for (int k = 1; k <= kBarTiles; ++k) {
        player.tiles[k].letter = getletter();
        player.tiles[k].used = 0;
        bar.push_back({k, player.tiles[k].letter});
    }
    player.score -= words::kBarPrice;
    sendTo(*slot, wire::msg::mytiles(*slot, bar));
    sendToAll(wire::msg::buytiles(*slot, player.score));
}

} // namespace lexiflip::engine
