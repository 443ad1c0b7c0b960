#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace lexiflip::windows {

// One row of the tally: nine text cells. Row 0 is the player's own totals
// (games, wins, words, best word and its score); every other row is a followed
// opponent: name, then games together, the opponent's wins, the player's wins
// and games neither won, in total (columns 1..4) and in this run (5..8).
inline constexpr int kTallyColumns = 9;
using TallyRow = std::array<std::string, kTallyColumns>;

// The players of the current game as the main window's player list has them.
struct PlayerList {
    int myplayer = 0;
    std::vector<std::string> names; // names[i] is seat i + 1; "<Waiting>" for an empty seat
};

// What the tally window shows, kept here so that the window only copies it.
struct TallyTexts {
    std::array<std::string, 4> mylabel{"0", "0", "0", "-"};                   // mylabel_1 .. mylabel_4
    std::array<std::string, 8> label{"0", "0", "0", "0", "0", "0", "0", "0"}; // label_1 .. label_8
    std::string hisname = "Their Wins:";                                      // label_hisname
    std::string hisnametop = "No Player Selected";                            // label_hisnametop
};

struct CheckItem {
    std::string name;
    bool ticked = false;
};

// The tally in plain C++: the table of text cells and the two lists of the
// tally window. Item i of "Players Being Tallied" is always row i + 1, so that
// list is the rows' names and is not stored twice; every item of it is ticked.
class Tally {
public:
    static constexpr std::string_view kOwnWin = "addtomine"; // the winner argument when we won

    Tally(); // nobody followed, row 0 all "0"

    // The table.
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const TallyRow& row(int r) const { return m_rows.at(static_cast<std::size_t>(r)); }
    const std::string& cell(int column, int r) const { return row(r).at(static_cast<std::size_t>(column)); }
    // Replaces the whole table, as read from the tally file (no rows gives
    // row 0 all "0"). The lists and texts follow with loadtally.
    void setRows(std::vector<TallyRow> rows);
    const std::vector<TallyRow>& rows() const { return m_rows; }

    // The lists. The tallied names are the rows' names, in row order.
    std::vector<std::string> tallied() const;
    int followedRow(std::string_view name) const; // 0 when not followed
    const std::vector<CheckItem>& checklist() const { return m_checklist; }
    int selected() const { return m_selected; } // index in "Players Being Tallied", -1 for none
    const TallyTexts& texts() const { return m_texts; }

    // Shows the own totals and starts the session: every opponent's columns
    // 5..8 become "0".
    void loadtally();
    // Refills "Players In Current Game" from the player list: every seated
    // player but us, ticked when followed.
    void loadchecklist(const PlayerList& players);
    // A finished game, winner being kOwnWin or the winner's name.
    void addgame(std::string_view winner, const PlayerList& players);
    void addtomineincrease(int column);
    void addtomineset(int column, int points, std::string_view word);

    // Ticking a name in "Players In Current Game" follows it unless it is
    // already followed; unticking only clears the tick. Returns whether a row
    // was added.
    bool setChecklistTick(int index, bool ticked);
    // Selecting an item of "Players Being Tallied" fills the detail panel.
    void select(int index);
    // Unticking an item of "Players Being Tallied" that the player confirmed.
    void unfollow(int index);
    // Moves every row below r up by one and drops the last; never below one row.
    void moverow(int r);
    // "Reset Tally" after the player confirmed it.
    void reset();

private:
    TallyRow& mutableRow(int r) { return m_rows.at(static_cast<std::size_t>(r)); }
    void increase(int column, int r);
    void showOwn(int column);
    void showSelected();
    void clearSelection();

    std::vector<TallyRow> m_rows;
    std::vector<CheckItem> m_checklist;
    int m_selected = -1;
    TallyTexts m_texts;
};

// The confirmation asked before an opponent's row is removed.
std::string unfollowQuestion(std::string_view name);
inline constexpr std::string_view kResetQuestion = "Are you sure you want to reset the Tally?";

} // namespace lexiflip::windows
