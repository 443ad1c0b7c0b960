#pragma once

// Playing a game to its winner with driven windows and scripted seats: what
// each seat can see on the wire, the best word it can lay, a driven window's
// turn through its controls, and the loop that plays until the host names a
// winner.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "core/letters.h"
#include "e2e/driven_window.h"
#include "e2e/word_play.h"
#include "engine/computer_words.h"
#include "net/test_client.h"
#include "wire/dispatch_table.h"
#include "wire/field_reader.h"
#include "wire/messages.h"

namespace lexiflip::testing {

namespace msg = wire::msg;

// The letters every seat can see on the wire: the whole board (its letters
// are sent face down as well as up) and, for the own slot, the bar.
class TableView {
public:
    explicit TableView(int slot) : m_slot(slot) {}

    void take(const std::string& message)
    {
        const std::optional<wire::SplitEntry> entry = wire::splitEntry(message);
        if (!entry)
            return;
        wire::FieldReader fields(entry->payload);
        if (entry->command == "CMD_theboard") {
            readBoard(entry->payload, board);
        } else if (entry->command == "CMD_mytiles") {
            readBar(entry->payload, m_slot, bar);
        } else if (entry->command == "CMD_hisword" || entry->command == "CMD_buytiles") {
            const int slot = fields.nextInt().value_or(0);
            if (entry->command == "CMD_hisword")
                fields.next();
            totals[slot] = fields.nextInt().value_or(-1);
        }
    }

    BoardLetters board{};
    BarLetters bar{};
    // Each slot's total as the host last announced it.
    std::map<int, int> totals;

private:
    int m_slot;
};

// The best-scoring word of the list that the bar and at most five board
// tiles can lay, board tiles (worth double) taken for the dearest letters.
struct Plan {
    std::vector<wire::Origin> tiles; // in word order; x 0 is bar position y
    std::vector<wire::Origin> flips; // five cells to flip, the word's own first
    int score = 0;
};

inline std::optional<Plan> bestPlan(const TableView& view, const std::array<int, 8>& bar,
                             const std::vector<std::string>& words)
{
    std::optional<Plan> best;
    for (const std::string& word : words) {
        if (word.size() < 2 || word.size() > 10)
            continue;
        std::vector<std::size_t> order(word.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return core::letterworth(core::letterCode(word[a])) >
                   core::letterworth(core::letterCode(word[b]));
        });
        std::array<std::array<bool, 9>, 11> boardTaken{};
        std::array<bool, 8> barTaken{};
        std::vector<wire::Origin> tiles(word.size());
        int onBoard = 0;
        int fromBar = 0;
        int score = 0;
        bool laid = true;
        for (const std::size_t i : order) {
            const int code = core::letterCode(word[i]);
            std::optional<wire::Origin> found;
            for (int x = 1; x <= 10 && !found && onBoard < 5; ++x) {
                for (int y = 1; y <= 8 && !found; ++y) {
                    const auto ux = static_cast<std::size_t>(x);
                    const auto uy = static_cast<std::size_t>(y);
                    if (!boardTaken[ux][uy] && view.board[ux][uy] == code) {
                        boardTaken[ux][uy] = true;
                        found = wire::Origin{x, y};
                        ++onBoard;
                        score += 2 * core::letterworth(code);
                    }
                }
            }
            for (int k = 1; k <= 7 && !found; ++k) {
                if (!barTaken[static_cast<std::size_t>(k)] && bar[static_cast<std::size_t>(k)] == code) {
                    barTaken[static_cast<std::size_t>(k)] = true;
                    found = wire::Origin{0, k};
                    ++fromBar;
                    score += core::letterworth(code);
                }
            }
            if (!found) {
                laid = false;
                break;
            }
            tiles[i] = *found;
        }
        if (!laid)
            continue;
        const int length = static_cast<int>(word.size());
        score += length >= 5 ? (length - 4) * 5 : 0;
        score += onBoard == 5 ? 5 : 0;
        score += fromBar == 7 ? 10 : 0;
        if (best && best->score >= score)
            continue;
        Plan plan;
        plan.tiles = tiles;
        plan.score = score;
        for (const wire::Origin& tile : tiles) {
            if (tile.x != 0)
                plan.flips.push_back(tile);
        }
        for (int x = 1; x <= 10 && plan.flips.size() < 5; ++x) {
            for (int y = 1; y <= 8 && plan.flips.size() < 5; ++y) {
                if (std::find(plan.flips.begin(), plan.flips.end(), wire::Origin{x, y}) == plan.flips.end())
                    plan.flips.push_back({x, y});
            }
        }
        best = plan;
    }
    return best;
}

inline const std::vector<std::string>& wordList()
{
    static const std::vector<std::string> words = engine::loadComputerWords(assets::computerWords());
    return words;
}

// A seat played over the wire that plans its turn from letters it cannot see
// face up: on its turn it flips the cells of its best-scoring word and
// submits it, or passes when it has none or the word is refused. (The
// ScriptedSeat of e2e/scripted_seat.h flips without looking at the letters,
// then lays the longest word it can.)
class PlanningSeat {
public:
    explicit PlanningSeat(TestClient& client) : m_client(client), m_view(client.slot()) {}

    void step()
    {
        while (m_next < m_client.messages().size()) {
            const std::string& message = m_client.messages()[m_next++];
            m_view.take(message);
            const int slot = m_client.slot();
            if (message == "CMD_nextplayer+" + std::to_string(slot) + "+")
                play();
            else if (message == "CMD_invalid+" + std::to_string(slot) + "+")
                m_client.send(msg::hepass(slot));
        }
    }

    const TableView& view() const { return m_view; }
    int words = 0;

private:
    void play()
    {
        const int slot = m_client.slot();
        const std::optional<Plan> plan = bestPlan(m_view, m_view.bar, wordList());
        if (!plan) {
            m_client.send(msg::hepass(slot));
            return;
        }
        for (const wire::Origin& cell : plan->flips)
            m_client.send(msg::iflip(slot, cell.x, cell.y));
        sendWord(m_client, slot, plan->tiles);
        ++words;
    }

    TestClient& m_client;
    TableView m_view;
    std::size_t m_next = 0;
};

// The bar as the driven window shows it, position 1..7 (0 for an empty one).
inline std::array<int, 8> shownBar(const DrivenState& state)
{
    std::array<int, 8> bar{};
    const std::string letters = state.text("bar");
    for (std::size_t k = 1; k <= 7 && k <= letters.size(); ++k)
        bar[k] = letters[k - 1] >= 'A' && letters[k - 1] <= 'Z' ? letters[k - 1] - 'A' + 1 : 0;
    return bar;
}

// One turn of a driven window: its best word, found from what the watcher
// sees of the board and what the window shows of the bar, laid with clicks
// on the board and the bar and sent with DONE; PASS when there is none or
// the host refuses it. observer is any seat that sees every announcement.
inline void playDrivenTurn(DrivenWindow& window, TestClient& observer, const TableView& view)
{
    const int slot = window.state().number("slot");
    const std::string done = "CMD_hisword+" + std::to_string(slot) + "+";
    const std::string passed = "CMD_hepasses+" + std::to_string(slot) + "+";
    const int before = observer.count(done) + observer.count(passed);
    const auto ended = [&] { return observer.count(done) + observer.count(passed) > before; };

    ASSERT_TRUE(window.waitFor([&](const DrivenState& s) { return s.number("turn") == slot; }));
    const std::optional<Plan> plan = bestPlan(view, shownBar(window.last()), wordList());
    const std::vector<wire::Origin> flips =
        plan ? plan->flips : std::vector<wire::Origin>{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}};
    for (const wire::Origin& cell : flips)
        ASSERT_TRUE(window.command("board " + std::to_string(cell.x) + " " + std::to_string(cell.y)));
    ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("canbuild") && s.flag("buttons"); }));
    if (plan) {
        for (const wire::Origin& tile : plan->tiles) {
            ASSERT_TRUE(window.command(tile.x == 0 ? "bar " + std::to_string(tile.y)
                                                   : "board " + std::to_string(tile.x) + " " +
                                                         std::to_string(tile.y)));
        }
        ASSERT_EQ(window.state().number("wordlen"), static_cast<int>(plan->tiles.size()));
        ASSERT_TRUE(window.command("click button_done"));
        if (waitUntil(ended, 8000))
            return;
    }
    // No word, or a refused one: PASS once the buttons are back.
    ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("buttons"); }, 10000));
    ASSERT_TRUE(window.command("click button_pass"));
    ASSERT_TRUE(waitUntil(ended, 10000));
}

inline bool loggedInHost(const DrivenState& s)
{
    return s.flag("loggedin") && s.number("slot") == 1 && s.flag("start");
}

// Plays until the host names a winner: the scripted seats answer their own
// turns, each driven window plays the turns of its slot; the watcher's view
// of the board guides the driven windows. Returns the driven turns played.
inline int playToWinner(TestClient& watcher, TableView& seen, std::vector<PlanningSeat>& seats,
                 const std::map<int, DrivenWindow*>& driven, int timeoutMs = 240000)
{
    std::size_t seenUpTo = 0;
    std::map<int, int> turns;
    int played = 0;
    waitUntil(
        [&] {
            for (PlanningSeat& seat : seats)
                seat.step();
            while (seenUpTo < watcher.messages().size())
                seen.take(watcher.messages()[seenUpTo++]);
            if (watcher.has("CMD_winner+") || watcher.closed())
                return true;
            for (const auto& [slot, window] : driven) {
                if (watcher.count("CMD_nextplayer+" + std::to_string(slot) + "+") > turns[slot]) {
                    ++turns[slot];
                    ++played;
                    playDrivenTurn(*window, watcher, seen);
                }
            }
            return ::testing::Test::HasFatalFailure();
        },
        timeoutMs);
    return played;
}

// The banner's text for a winner, in the words of the window whose player is own.
inline std::string bannerFor(const std::string& winner, const std::string& own)
{
    return winner == own ? "You have Won the Game!" : winner + " has Won the Game!";
}

// The name in "CMD_winner+NAME+", or empty.
inline std::string winnerOf(const TestClient& client)
{
    const std::optional<std::size_t> at = client.find("CMD_winner+");
    if (!at)
        return {};
    const std::string& message = client.messages()[*at];
    return message.substr(11, message.size() - 12);
}


} // namespace lexiflip::testing
