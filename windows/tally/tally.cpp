#include "windows/tally/tally.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace lexiflip::windows {

namespace {

constexpr std::string_view kWaiting = "<Waiting>";

TallyRow zeroRow()
{
    TallyRow row;
    row.fill("0");
    return row;
}

std::optional<std::int64_t> number(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::string unfollowQuestion(std::string_view name)
{
    return "This will delete " + std::string(name) + "'s Tally, Are you want to delete it?";
}

Tally::Tally() : m_rows{zeroRow()} {}

void Tally::setRows(std::vector<TallyRow> rows)
{
    m_rows = std::move(rows);
    if (m_rows.empty())
        m_rows.push_back(zeroRow());
    m_checklist.clear();
    m_selected = -1;
    m_texts = TallyTexts();
}

std::vector<std::string> Tally::tallied() const
{
    std::vector<std::string> names;
    for (std::size_t r = 1; r < m_rows.size(); ++r)
        names.push_back(m_rows[r][0]);
    return names;
}

int Tally::followedRow(std::string_view name) const
{
    for (std::size_t r = 1; r < m_rows.size(); ++r)
        if (m_rows[r][0] == name)
            return static_cast<int>(r);
    return 0;
}

void Tally::loadtally()
{
    for (int column = 1; column <= 3; ++column)
        showOwn(column);
    if (!cell(5, 0).empty())
        m_texts.mylabel[3] = cell(4, 0) + " (" + cell(5, 0) + ")";
    for (std::size_t r = 1; r < m_rows.size(); ++r)
        for (int column = 5; column <= 8; ++column)
            m_rows[r][column] = "0";
}

void Tally::loadchecklist(const PlayerList& players)
{
    m_checklist.clear();
    for (std::size_t i = 0; i < players.names.size(); ++i) {
        const std::string& name = players.names[i];
        if (static_cast<int>(i) + 1 == players.myplayer || name == kWaiting)
            continue;
        m_checklist.push_back({name, followedRow(name) != 0});
    }
}

void Tally::addgame(std::string_view winner, const PlayerList& players)
{
    loadchecklist(players);
    increase(1, 0);
    if (winner == kOwnWin)
        increase(2, 0);
    // mylabel_1 and mylabel_2 show these two cells, so they follow at once.
    showOwn(1);
    showOwn(2);

    // A followed opponent counts whether or not its name is ticked here.
    for (const CheckItem& item : m_checklist) {
        const int r = followedRow(item.name);
        if (r == 0)
            continue;
        TallyRow& row = mutableRow(r);
        for (int column = 1; column <= 8; ++column)
            if (row[column].empty())
                row[column] = "0";
        increase(1, r);
        increase(5, r);
        if (item.name == winner) {
            increase(2, r);
            increase(6, r);
        } else if (winner == kOwnWin) {
            increase(3, r);
            increase(7, r);
        } else {
            increase(4, r);
            increase(8, r);
        }
    }
    showSelected();
}

void Tally::addtomineincrease(int column)
{
    if (column < 1 || column > 3)
        return;
    increase(column, 0);
    showOwn(column);
}

void Tally::addtomineset(int column, int points, std::string_view word)
{
    if (column != 4)
        return;
    const std::optional<std::int64_t> best = number(cell(5, 0));
    if (!best || points <= *best)
        return;
    TallyRow& own = mutableRow(0);
    own[4] = std::string(word);
    own[5] = std::to_string(points);
    m_texts.mylabel[3] = own[4] + " (" + own[5] + ")";
}

bool Tally::setChecklistTick(int index, bool ticked)
{
    if (index < 0 || index >= static_cast<int>(m_checklist.size()))
        return false;
    CheckItem& item = m_checklist[static_cast<std::size_t>(index)];
    item.ticked = ticked;
    if (!ticked || followedRow(item.name) != 0)
        return false;
    TallyRow row = zeroRow();
    row[0] = item.name;
    m_rows.push_back(std::move(row));
    return true;
}

void Tally::select(int index)
{
    m_selected = index >= 0 && index + 1 < rowCount() ? index : -1;
    showSelected();
}

void Tally::unfollow(int index)
{
    const int r = index + 1;
    if (index < 0 || r >= rowCount())
        return;
    const std::string name = cell(0, r);
    moverow(r);
    // The name is no longer followed, so its tick in the current game goes too.
    for (CheckItem& item : m_checklist)
        if (item.name == name && followedRow(name) == 0)
            item.ticked = false;
}

void Tally::moverow(int r)
{
    // Row 0 holds the own totals and is never moved away.
    if (r < 1 || r >= rowCount())
        return;
    m_rows.erase(m_rows.begin() + r);
    const int index = r - 1;
    if (m_selected == index)
        clearSelection();
    else if (m_selected > index)
        --m_selected;
}

void Tally::reset()
{
    TallyRow& own = mutableRow(0);
    for (int column : {1, 2, 3, 5})
        own[column] = "0";
    own[4] = "-";
    m_texts.mylabel = {"0", "0", "0", "-"};
    if (rowCount() > 1)
        for (TallyRow& row : m_rows)
            row.fill("0");
    m_rows.resize(1);
    for (CheckItem& item : m_checklist)
        item.ticked = false;
    clearSelection();
}

void Tally::clearSelection()
{
    m_selected = -1;
    const TallyTexts defaults;
    m_texts.label = defaults.label;
    m_texts.hisname = defaults.hisname;
    m_texts.hisnametop = defaults.hisnametop;
}

void Tally::increase(int column, int r)
{
    // A counter that is not a number (a hand-edited file) counts from 0 again
    // rather than stopping the game's bookkeeping.
    std::string& text = mutableRow(r)[column];
    const std::optional<std::int64_t> value = number(text);
    text = std::to_string(value && *value >= 0 && *value < INT64_MAX ? *value + 1 : 1);
}

void Tally::showOwn(int column)
{
    m_texts.mylabel[static_cast<std::size_t>(column - 1)] = cell(column, 0);
}

void Tally::showSelected()
{
    if (m_selected < 0)
        return;
    const TallyRow& row = m_rows.at(static_cast<std::size_t>(m_selected + 1));
    for (int column = 1; column <= 8; ++column)
        m_texts.label[static_cast<std::size_t>(column - 1)] = row[column];
    m_texts.hisname = row[0] + " Wins:";
    m_texts.hisnametop = row[0] + "'s Tally";
}

} // namespace lexiflip::windows
