#include "client/game/turn.h"

#include <utility>
#include <vector>

#include "client/game/client_screen.h"
#include "client/game/game_output.h"
#include "client/game/roster.h"
#include "wire/messages.h"

namespace lexiflip::client {

namespace {

constexpr std::string_view kJustWatchRefusal = "You need to turn off \"Just Watch\" before you can play.";

} // namespace

// ---------------------------------------------------------------------------
// The player's moves

bool Turn::refusedWhileWatching()
{
    if (!m_roster.justWatchChecked())
        return false;
    m_output.box(kJustWatchRefusal);
    return true;
}

void Turn::paintbox_boardMouseUp(int column, int row, MouseButton button)
{
    if (!onTurn() || refusedWhileWatching())
        return;
    if (button == MouseButton::Right) {
        clickdone();
        return;
    }
    if (!isCell(column, row))
        return;
    BoardCell& c = cell(column, row);
    if (!c.faceup) {
        if (m_flipsdone >= 5)
            return;
        m_flipsdone += 1;
        c.faceup = true;
        drawCell(column, row, faceUpPicture(c.letter));
        m_roster.send(wire::msg::iflip(m_roster.myplayer(), column, row));
        playsounds(Sound::Flip);
        return;
    }
    if (c.picked || !m_canbuild || m_wordlength >= kWordSize)
        return;
    m_wordlength += 1;
    WordTile& tile = wordAt(m_wordlength);
    tile.picture = letterPicture(c.letter);
    tile.source = {column, row};
    tile.fromboard = true;
    m_output.screen().wordTileChanged(m_wordlength);
    c.used = c.picked = true;
    drawCell(column, row, usedPicture(c.letter));
    m_roster.send(wire::msg::useboardletter(m_roster.myplayer(), column, row, m_wordlength));
    playsounds(Sound::PutTile);
}

void Turn::letters_1MouseUp(int position, MouseButton button)
{
    if (!onTurn() || refusedWhileWatching())
        return;
    if (!inRange(position, 1, kBarSize) || barAt(position).shown == 0 || !m_canbuild)
        return;
    if (button == MouseButton::Right) {
        if (m_selectedpos == 0) {
            m_selectedpos = position;
            barAt(position).raised = true;
            m_output.screen().barTileChanged(position);
            return;
        }
        resetBarTops();
        // Only the pictures trade places: positions keep their numbers and letters.
        std::swap(barAt(m_selectedpos).place, barAt(position).place);
        m_selectedpos = 0;
        m_output.screen().barChanged();
        return;
    }
    resetBarTops();
    m_selectedpos = 0;
    m_output.screen().barChanged();
    if (m_wordlength >= kWordSize)
        return;
    m_wordlength += 1;
    BarTile& bar = barAt(position);
    bar.shown = 0;
    m_output.screen().barTileChanged(position);
    WordTile& tile = wordAt(m_wordlength);
    tile.picture = letterPicture(bar.letter);
    tile.source = {0, position};
    m_output.screen().wordTileChanged(m_wordlength);
    m_roster.send(wire::msg::usebarletter(m_roster.myplayer(), position, m_wordlength));
    playsounds(Sound::PutTile);
}

void Turn::word_1MouseUp(int position)
{
    if (position < 1 || position != m_wordlength || !onTurn() || refusedWhileWatching())
        return;
    const wire::Origin source = wordAt(position).source;
    returnLetter(position);
    m_wordlength -= 1;
    m_roster.send(wire::msg::clickclear(m_roster.myplayer(), {{position, source}}));
    playsounds(Sound::Clear);
}

void Turn::returnLetter(int position)
{
    WordTile& tile = wordAt(position);
    const wire::Origin source = tile.source;
    tile.fromboard = false;
    tile.source = {};
    tile.picture = 0;
    m_output.screen().wordTileChanged(position);
    if (source.x != 0) {
        if (!isCell(source.x, source.y))
            return;
        BoardCell& c = cell(source.x, source.y);
        c.used = c.picked = false;
        drawCell(source.x, source.y, faceUpPicture(c.letter)); // puttoboard
    } else if (inRange(source.y, 1, kBarSize)) {
        barAt(source.y).shown = barAt(source.y).letter; // puttoletters
        m_output.screen().barTileChanged(source.y);
    }
}

void Turn::clickclear()
{
    if (m_wordlength == 0)
        return;
    std::vector<wire::msg::RemovedLetter> removed;
    for (int position = 1; position <= m_wordlength; ++position) {
        removed.push_back({position, wordAt(position).source});
        returnLetter(position);
    }
    m_wordlength = 0;
    m_roster.send(wire::msg::clickclear(m_roster.myplayer(), removed));
    playsounds(Sound::Clear);
}

void Turn::button_clearClick()
{
    if (!onTurn() || refusedWhileWatching())
        return;
    clickclear();
}

void Turn::clickdone()
{
    if (refusedWhileWatching())
        return;
    if (!onTurn()) {
        setWordButtons(false);
        return;
    }
    if (m_wordlength == 0)
        return;
    std::vector<wire::Origin> word;
    for (int position = 1; position <= m_wordlength; ++position)
        word.push_back(wordAt(position).source);
    m_roster.send(wire::msg::idone(m_roster.myplayer(), word));
    m_turnowner = 0;
    setWordButtons(false);
}

void Turn::button_passClick()
{
    if (refusedWhileWatching())
        return;
    if (onTurn()) {
        clickclear();
        m_roster.send(wire::msg::hepass(m_roster.myplayer()));
        m_turnowner = 0;
    }
    setWordButtons(false);
}

void Turn::button_buyClick()
{
    if (!onTurn() || refusedWhileWatching())
        return;
    clickclear();
    m_roster.send(wire::msg::clickbuy(m_roster.myplayer()));
    m_turnowner = 0;
}

void Turn::button_shuffleClick()
{
    for (int i = 1; i <= kBarSize; ++i) {
        const int j = m_random.between(1, kBarSize);
        if (j != i)
            std::swap(barAt(i).place, barAt(j).place);
    }
    m_output.screen().barChanged();
}

void Turn::button_startClick()
{
    if (m_awaitingWinner)
        return;
    if (m_roster.loggedin())
        m_output.screen().openGameOptions();
    else
        m_output.box("You are not connected");
}

// ---------------------------------------------------------------------------
// Shared steps

void Turn::drawCell(int x, int y, int picture)
{
    cell(x, y).picture = picture;
    m_output.screen().boardCellChanged(x, y);
}

void Turn::setStatus(std::string text)
{
    m_status = std::move(text);
    m_output.screen().statusChanged();
}

void Turn::setWordButtons(bool shown)
{
    m_wordButtons = shown;
    m_output.screen().buttonsChanged();
}

void Turn::resetBarTops()
{
    for (BarTile& tile : m_bar)
        tile.raised = false;
}

// ---------------------------------------------------------------------------
// Accessors

const BoardCell& Turn::board(int x, int y) const
{
    static const BoardCell none{};
    return isCell(x, y) ? m_board[static_cast<std::size_t>((x - 1) * kRows + (y - 1))] : none;
}

const BarTile& Turn::bar(int position) const
{
    static const BarTile none{};
    return inRange(position, 1, kBarSize) ? m_bar[static_cast<std::size_t>(position - 1)] : none;
}

const WordTile& Turn::wordTile(int position) const
{
    static const WordTile none{};
    return inRange(position, 1, kWordSize) ? m_word[static_cast<std::size_t>(position - 1)] : none;
}

} // namespace lexiflip::client
