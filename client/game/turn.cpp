#include "client/game/turn.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "client/game/client_screen.h"
#include "client/game/game_output.h"
#include "client/game/roster.h"
#include "core/clock.h"
#include "core/tally_calls.h"
#include "wire/client_messages.h"
#include "wire/messages.h"

namespace lexiflip::client {

namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string timeText(int seconds)
{
    const int minutes = seconds / 60;
    const int rest = seconds % 60;
    return "Time: " + std::to_string(minutes) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

} // namespace

Turn::Turn(Roster& roster, GameOutput& output, core::TallyCalls& tally, core::Clock& turntime,
           core::Clock& sneakerClock, std::uint64_t shuffleSeed)
    : m_roster(roster), m_output(output), m_tally(tally), m_turntime(turntime), m_sneakerClock(sneakerClock),
      m_random(shuffleSeed)
{
    // The state starts as the reset of a new game leaves it. The screen is not
    // called from here: the window that implements it may still be under
    // construction.
    for (int i = 1; i <= kBarSize; ++i)
        barAt(i).place = i;
}

void Turn::hostRoleChanged()
{
    m_startShown = startEnabled();
    m_output.screen().buttonsChanged();
}

bool Turn::startEnabled() const
{
    return m_roster.ishost() && !m_awaitingWinner;
}

bool Turn::onTurn() const
{
    return m_turnowner != 0 && m_turnowner == m_roster.myplayer();
}

bool Turn::ownTurn() const
{
    return m_turnGiven && m_roster.isMe(m_turnowner) && !m_roster.justWatchChecked();
}

void Turn::playsounds(Sound sound)
{
    m_output.screen().playsounds(sound);
}

// ---------------------------------------------------------------------------
// A game's start, turns and end

void Turn::clearall()
{
    for (int number = 1; number <= kSeats; ++number) {
        Seat& seat = m_roster.seatAt(number);
        seat.score = "0";
        seat.bonus.clear();
        seat.eyes = false;
        m_roster.seatChanged(number);
    }
    for (BoardCell& c : m_board)
        c = BoardCell{};
    m_output.screen().boardChanged();
    m_theirTiles.shown = false;
    m_output.screen().theirTilesChanged();
    resetBarTops();
    m_selectedpos = 0;
    m_output.screen().barChanged();
}

void Turn::startthegame(std::string_view data)
{
    const wire::StartGame start = wire::readStartgame(data);

    m_startShown = false;
    setWordButtons(false);
    m_roster.clearJustWatch();
    m_roster.freeAwaySeats();
    m_turnGiven = false;
    m_winner.shown = false;
    m_output.screen().winnerChanged();
    hideSneaker();

    clearall();

    if (start.mode)
        m_gameTexts.gameMode = wire::gameModeHeader(*start.mode);
    setTurnSeconds(start.turnSeconds.value_or(60));
    m_gameTexts.playToScore = "Play to Score: " + std::string(start.playToScore);
    m_gameTexts.notPlaying = start.maxFour != "0";
    m_output.screen().gameOptionsChanged();

    m_output.chatLine(std::string(start.starter) + " has started a game.");
    nameComputerSeat();
}

// A running game has the computer in seat 2 unless a player sits there.
void Turn::nameComputerSeat()
{
    if (m_roster.seatAt(2).name == kWaiting) {
        m_roster.seatAt(2).name = defaultComputerName(2);
        m_roster.seatChanged(2);
    }
}

void Turn::setTurnSeconds(int seconds)
{
    m_turnseconds = seconds;
    m_gameTexts.timePerTurn = "Time Per Turn: " + std::to_string(seconds) + "secs";
}

void Turn::getnextplayer(std::string_view data)
{
    const std::optional<int> number = wire::readNextplayer(data);
    if (!number)
        return;
    m_turnowner = *number;
    m_turnGiven = true;
    m_flipsdone = 0;
    m_wordlength = 0;
    m_canbuild = false;
    m_theirTiles.shown = false;
    m_output.screen().theirTilesChanged();
    m_roster.seatAt(*number).bonus.clear();

    for (int s = 1; s <= kSeats; ++s) {
        m_roster.seatAt(s).onTurn = s == *number;
        m_roster.seatChanged(s);
    }
    m_turnFrameSeat = *number;
    m_output.screen().turnFrameChanged();

    // Each turn starts with the whole board face down.
    for (int x = 1; x <= kColumns; ++x) {
        for (int y = 1; y <= kRows; ++y) {
            BoardCell& c = cell(x, y);
            if (c.faceup || c.used) {
                c.faceup = c.used = c.picked = false;
                drawCell(x, y, kTileBack);
            }
        }
    }
    for (WordTile& tile : m_word)
        tile = WordTile{};
    m_output.screen().wordChanged();

    if (m_roster.isMe(*number)) {
        setStatus("Choose 5 tiles to flip.");
        playsounds(m_turnSoundNew ? Sound::TurnNew : Sound::Turn);
    } else {
        setStatus(m_roster.seatAt(*number).name + "'s turn.");
    }
    // The word buttons come with the fifth flip, also on the own turn.
    setWordButtons(false);

    m_secondsleft = m_turnseconds;
    m_turntime.start(kTurnTimeMs);
}

void Turn::turntimeTimer()
{
    m_secondsleft -= 1;
    if (m_secondsleft < 1) {
        m_secondsleft = 0;
        m_timer.text = "Time: 0:00";
        m_timer.secondsLeft = 0;
        m_turnowner = 0;
        m_output.screen().timerChanged();
        return;
    }
    m_timer.secondsLeft = m_secondsleft;
    m_timer.turnSeconds = m_turnseconds;
    m_timer.low = m_secondsleft < 20;
    if (m_secondsleft == 20 || m_secondsleft == 15 || m_secondsleft <= 10)
        playsounds(Sound::Tick);
    m_timer.text = timeText(m_secondsleft);
    m_output.screen().timerChanged();
}

void Turn::winner(std::string_view data)
{
    const std::string name(wire::readWinner(data));
    playsounds(Sound::GameOver);
    m_theirTiles.shown = false;
    m_output.screen().theirTilesChanged();

    const bool seated = isSeat(m_roster.myplayer());
    const std::string own = seated ? m_roster.seatAt(m_roster.myplayer()).name : std::string();
    m_winner.text = own != name ? name + " has Won the Game!" : std::string("You have Won the Game!");
    m_winner.shown = true;
    m_turnGiven = false;
    m_output.chatLine(m_winner.text);
    m_output.screen().winnerChanged();
    m_awaitingWinner = false;
    if (m_roster.ishost()) {
        m_startShown = true;
        m_output.screen().buttonsChanged();
    }
    if (seated)
        m_tally.addgame(own != name ? name : std::string("addtomine"));
}

void Turn::tie(std::string_view)
{
    setStatus("There is a tie");
}

// ---------------------------------------------------------------------------
// Board and bar

void Turn::theboard(std::string_view data)
{
    for (const wire::msg::Cell& read : wire::readTheboard(data).items) {
        BoardCell& c = cell(read.x, read.y);
        c.letter = read.code;
        c.used = c.faceup = c.picked = false;
        drawCell(read.x, read.y, kTileBack);
    }
}

void Turn::mytiles(std::string_view data)
{
    const std::optional<wire::PlayerTiles> read = wire::readMytiles(data);
    if (!read || !m_roster.isMe(read->slot))
        return;
    for (const wire::msg::BarTile& t : read->tiles.items) {
        BarTile& tile = barAt(t.position);
        tile.letter = t.code;
        if (t.code < 1 || t.code > 26)
            m_output.box("Tile is blank " + std::to_string(t.code));
        tile.shown = t.code;
        m_output.screen().barTileChanged(t.position);
    }
    if (read->tiles.refused)
        return;
    resetBarTops();
    m_selectedpos = 0;
    m_output.screen().barChanged();
}

void Turn::heflip(std::string_view data)
{
    // The last-flip flag is not needed: the count of flips left says the same.
    const std::optional<wire::HeFlip> flip = wire::readHeflip(data);
    if (!flip)
        return;
    const bool me = m_roster.isMe(flip->slot);
    BoardCell& c = cell(flip->x, flip->y);
    c.faceup = true;
    // The flipper's own client drew the tile at the click.
    if (!me || m_roster.justWatchChecked())
        drawCell(flip->x, flip->y, faceUpPicture(c.letter));
    if (me)
        showFlipsLeft(flip->remaining);
    playsounds(Sound::Flip);
}

void Turn::showFlipsLeft(int remaining)
{
    if (remaining <= 0) {
        setStatus("Create a Word");
        m_canbuild = true;
        setWordButtons(true);
    } else if (remaining == 1) {
        setStatus("Choose 1 letter to flip");
    } else {
        setStatus("Choose " + std::to_string(remaining) + " letters to flip");
    }
}

void Turn::isflipped(std::string_view data)
{
    const std::optional<wire::Flipped> read = wire::readIsflipped(data);
    if (!read || !m_roster.isMe(read->slot))
        return;
    for (const wire::Origin& at : read->cells.items) {
        BoardCell& c = cell(at.x, at.y);
        // On the own turn (one the host kept while this window was away),
        // the tiles turned already count among its five flips.
        if (onTurn() && !c.faceup && m_flipsdone < 5)
            m_flipsdone += 1;
        c.faceup = true;
        drawCell(at.x, at.y, faceUpPicture(c.letter));
    }
    if (onTurn() && m_flipsdone > 0 && !m_canbuild)
        showFlipsLeft(5 - m_flipsdone);
}

// ---------------------------------------------------------------------------
// Words

void Turn::heuseboardletter(std::string_view data)
{
    const std::optional<wire::HeUseBoardLetter> read = wire::readHeuseboardletter(data);
    if (!read)
        return;
    BoardCell& c = cell(read->x, read->y);
    c.used = true;
    drawCell(read->x, read->y, usedPicture(c.letter));
    WordTile& tile = wordAt(read->wordPosition);
    tile.fromboard = true;
    tile.picture = letterPicture(read->code);
    m_output.screen().wordTileChanged(read->wordPosition);
    playsounds(Sound::PutTile);
}

void Turn::heusebarletter(std::string_view data)
{
    const std::optional<wire::HeUseBarLetter> read = wire::readHeusebarletter(data);
    if (!read)
        return;
    wordAt(read->wordPosition).picture = letterPicture(read->code);
    m_output.screen().wordTileChanged(read->wordPosition);
    playsounds(Sound::PutTile);
}

void Turn::heclickclear(std::string_view data)
{
    const std::optional<wire::HeClickClear> read = wire::readHeclickclear(data);
    if (!read)
        return;
    for (const wire::msg::RemovedLetter& letter : read->letters.items) {
        WordTile& tile = wordAt(letter.wordPosition);
        tile.picture = 0;
        tile.fromboard = false;
        m_output.screen().wordTileChanged(letter.wordPosition);
        const wire::Origin source = letter.origin;
        if (source.x != 0) {
            BoardCell& c = cell(source.x, source.y);
            c.used = false;
            drawCell(source.x, source.y, faceUpPicture(c.letter));
        }
    }
    if (!read->letters.refused)
        playsounds(Sound::Clear);
}

void Turn::hisword(std::string_view data)
{
    const std::optional<wire::HisWord> read = wire::readHisword(data);
    if (!read)
        return;
    const std::string word(read->word);
    const int points = read->wordScore;
    m_turntime.stop();
    Seat& seat = m_roster.seatAt(read->seat);
    if (points != 0) {
        setStatus(seat.name + " made: " + upper(word) + " for " + std::to_string(points) + " points.");
        seat.bonus = "+" + std::to_string(points) + " " + word;
        m_output.chatLine(m_status);
    }
    if (m_roster.isMe(read->seat)) {
        m_tally.addtomineincrease(3);
        if (points > 0)
            m_tally.addtomineset(4, points, word);
    }
    seat.score = std::to_string(read->totalScore);
    m_roster.seatChanged(read->seat);
    for (int position = 1; position <= kWordSize; ++position) {
        if (wordAt(position).fromboard) {
            wordAt(position).bonusShown = true;
            m_output.screen().wordTileChanged(position);
        }
    }
    playsounds(Sound::GoodWord);
}

void Turn::invalid(std::string_view data)
{
    const std::optional<int> player = wire::readInvalid(data);
    if (!player || !m_roster.isMe(*player))
        return;
    setStatus("Invalid Word");
    if (m_clearWord && m_wordlength > 0)
        clickclear();
    m_turnowner = m_roster.myplayer();
    if (m_secondsleft > 4)
        setWordButtons(true);
    playsounds(Sound::Invalid);
}

void Turn::timeup(std::string_view data)
{
    const std::optional<int> player = wire::readTimeup(data);
    if (!player)
        return;
    m_secondsleft = 0;
    if (m_roster.isMe(*player)) {
        setStatus("You have run out of time.");
        clickclear();
    } else if (isSeat(*player)) {
        setStatus(m_roster.seatAt(*player).name + " has run out of time.");
    }
    playsounds(Sound::TimeUp);
}

void Turn::hepasses(std::string_view data)
{
    const std::optional<int> player = wire::readHepasses(data);
    if (!player)
        return;
    m_turntime.stop();
    setStatus(m_roster.seatAt(*player).name + " passed.");
}

void Turn::buytiles(std::string_view data)
{
    const std::optional<wire::BuyTiles> read = wire::readBuytiles(data);
    if (!read)
        return;
    Seat& seat = m_roster.seatAt(read->seat);
    seat.score = std::to_string(read->newScore);
    seat.bonus = " - " + std::string(read->cost);
    m_roster.seatChanged(read->seat);
    const bool me = m_roster.isMe(read->seat);
    setStatus(me ? std::string("You bought new tiles.") : seat.name + " bought new tiles.");
    m_turnowner = read->seat;
    playsounds(Sound::Buy);
}

void Turn::notenough(std::string_view data)
{
    const std::optional<int> player = wire::readNotenough(data);
    if (!player)
        return;
    m_turnowner = *player;
    if (m_roster.isMe(*player))
        setStatus("You do not have enough points to buy new tiles.");
    playsounds(Sound::Invalid);
}

} // namespace lexiflip::client
