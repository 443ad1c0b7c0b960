#include "windows/summary/missed_words.h"

#include <algorithm>

#include "wire/game_size.h"
#include "words/word_index.h"
#include "words/word_search.h"

namespace lexiflip::summary {
namespace {

bool isLetter(char c)
{
    return c >= 'A' && c <= 'Z';
}

std::string seenLetters(std::string_view letters)
{
    std::string seen;
    for (char c : letters) {
        if (isLetter(c))
            seen += c;
    }
    return seen;
}

// Tiles for the search: bar tiles have no column, board tiles a column of 1
// and a row of their own, so that every tile is told apart.
std::vector<words::SearchTile> tilesOf(std::string_view letters, bool onBoard)
{
    std::vector<words::SearchTile> tiles;
    int at = 1;
    for (char c : letters) {
        if (isLetter(c))
            tiles.push_back({c - 'A' + 1, onBoard ? 1 : 0, at++});
    }
    return tiles;
}

} // namespace

std::vector<OwnTurn> ownTurns(const record::GameRecord& game)
{
    std::vector<OwnTurn> turns;
    const int self = game.self;
    if (self < 1 || self > record::kSeats)
        return turns;
    bool ours = false;
    std::string bar;
    OwnTurn turn;
    int count = 0;
    auto finish = [&] {
        if (ours && !bar.empty()) {
            turn.bar = bar;
            turns.push_back(turn);
        }
        ours = false;
    };
    for (const record::Event& event : game.events) {
        if (const auto* start = std::get_if<record::TurnStart>(&event)) {
            finish();
            if (start->seat == self) {
                ours = true;
                bar.clear();
                turn = {};
                turn.number = ++count;
            }
            continue;
        }
        if (!ours)
            continue;
        if (const auto* own = std::get_if<record::OwnBar>(&event)) {
            // A bar bought during the turn replaces the one it began with:
            // the word was made from the later one.
            bar = seenLetters(own->letters);
        } else if (const auto* flip = std::get_if<record::Flip>(&event)) {
            if (isLetter(flip->letter))
                turn.flipped += flip->letter;
        } else if (const auto* word = std::get_if<record::Word>(&event)) {
            if (word->seat == self) {
                turn.played = word->letters;
                turn.playedScore = word->score;
                turn.ending = OwnTurn::Ending::word;
            }
        } else if (const auto* pass = std::get_if<record::Pass>(&event)) {
            if (pass->seat == self)
                turn.ending = OwnTurn::Ending::pass;
        } else if (const auto* buy = std::get_if<record::Buy>(&event)) {
            if (buy->seat == self && turn.ending == OwnTurn::Ending::none)
                turn.ending = OwnTurn::Ending::buy;
        } else if (const auto* timeOut = std::get_if<record::TimeOut>(&event)) {
            if (timeOut->seat == self)
                turn.ending = OwnTurn::Ending::timeOut;
        }
    }
    finish();
    return turns;
}

MissedWord bestWordFrom(const words::WordIndex& index, std::string_view bar, std::string_view flipped)
{
    const std::vector<words::SearchTile> barTiles = tilesOf(bar, false);
    const std::vector<words::SearchTile> boardTiles = tilesOf(flipped, true);
    const words::BestWord best =
        words::findBestWord(index, barTiles, boardTiles, words::kFlipsPerTurn, {}, 0, wire::kWordLetters);
    MissedWord missed;
    missed.score = best.score;
    for (char c : best.word)
        missed.word += static_cast<char>(c - 'a' + 'A');
    return missed;
}

std::vector<MissedWord> bestWords(const words::WordIndex& index, const std::vector<OwnTurn>& turns)
{
    std::vector<MissedWord> best;
    best.reserve(turns.size());
    for (const OwnTurn& turn : turns)
        best.push_back(bestWordFrom(index, turn.bar, turn.flipped));
    return best;
}

int pointsLeft(const std::vector<OwnTurn>& turns, const std::vector<MissedWord>& best)
{
    int left = 0;
    for (std::size_t i = 0; i < turns.size() && i < best.size(); ++i)
        left += std::max(0, best[i].score - turns[i].playedScore);
    return left;
}

} // namespace lexiflip::summary
