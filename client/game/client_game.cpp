#include "client/game/client_game.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "client/game/client_screen.h"
#include "client/game/client_sender.h"
#include "client/game/sounds.h"
#include "client/game/tally_calls.h"
#include "engine/clock.h"
#include "net/wire/accumulator.h"
#include "net/wire/client_messages.h"
#include "net/wire/commands.h"
#include "net/wire/dispatch_table.h"
#include "net/wire/messages.h"

namespace lexiflip::client {

namespace {

constexpr std::string_view kWaiting = "<Waiting>";
constexpr std::string_view kJustWatchRefusal = "You need to turn off \"Just Watch\" before you can play.";

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}
bool isSeat(int number)
{
    return inRange(number, 1, kSeats);
}
bool isCell(int x, int y)
{
    return inRange(x, 1, kColumns) && inRange(y, 1, kRows);
}

// A letter as the letter tile set shows it face up; 27 is the tile back, and codes
// the set has no picture for draw nothing.
int faceUpPicture(int letter)
{
    return inRange(letter, 0, kTileBack) ? letter : 0;
}
int usedPicture(int letter)
{
    return inRange(letter, 1, 26) ? letter + kUsedOffset : faceUpPicture(letter);
}
int letterPicture(int letter)
{
    return inRange(letter, 1, 26) ? letter : 0;
}

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

std::string_view defaultComputerName(int seat)
{
    static constexpr std::array<std::string_view, kSeats> names = {"",      "Klot",  "Klick",
                                                                   "Kling", "Klick", "Krazy"};
    return isSeat(seat) ? names[static_cast<std::size_t>(seat - 1)] : std::string_view{};
}

// The client's dispatch table, in the order commands are compared.
struct ClientGame::Dispatch {
    using Handler = void (ClientGame::*)(std::string_view);
    struct Row {
        std::string_view command;
        Handler handler;
    };
    static constexpr std::array<Row, 32> rows = {{
        {wire::cmd::sendlogininfo, &ClientGame::sendloginfo},
        {wire::cmd::chat, &ClientGame::chatrecieved},
        {wire::cmd::action, &ClientGame::chatrecieved},
        {wire::cmd::newplayerinfo, &ClientGame::newplayerinfo},
        {wire::cmd::havewrongversion, &ClientGame::havewrongversion},
        {wire::cmd::wrongversion, &ClientGame::wrongversion},
        {wire::cmd::existingplayers, &ClientGame::newplayerinfo},
        {wire::cmd::playerdisconnected, &ClientGame::playerdisconnected},
        {wire::cmd::startgame, &ClientGame::startthegame},
        {wire::cmd::nextplayer, &ClientGame::getnextplayer},
        {wire::cmd::winner, &ClientGame::winner},
        {wire::cmd::full, &ClientGame::full},
        {wire::cmd::justwatching, &ClientGame::justwatching},
        {wire::cmd::theboard, &ClientGame::theboard},
        {wire::cmd::mytiles, &ClientGame::mytiles},
        {wire::cmd::heflip, &ClientGame::heflip},
        {wire::cmd::invalid, &ClientGame::invalid},
        {wire::cmd::hisword, &ClientGame::hisword},
        {wire::cmd::timeup, &ClientGame::timeup},
        {wire::cmd::heuseboardletter, &ClientGame::heuseboardletter},
        {wire::cmd::heusebarletter, &ClientGame::heusebarletter},
        {wire::cmd::hepasses, &ClientGame::hepasses},
        {wire::cmd::heclickclear, &ClientGame::heclickclear},
        {wire::cmd::tie, &ClientGame::tie},
        {wire::cmd::buytiles, &ClientGame::buytiles},
        {wire::cmd::notenough, &ClientGame::notenough},
        {wire::cmd::stats, &ClientGame::stats},
        {wire::cmd::isflipped, &ClientGame::isflipped},
        {wire::cmd::theirtiles, &ClientGame::theirtiles},
        {wire::cmd::sneak, &ClientGame::getsneak},
        {wire::cmd::sneaker, &ClientGame::sneaker},
        {wire::cmd::playasound, &ClientGame::playasound},
    }};
    // The row of the entry's command, if any.
    static const Row* find(std::string_view message);
};

ClientGame::ClientGame(ClientSender& sender, ClientScreen& screen, TallyCalls& tally, engine::Clock& turntime,
                       engine::Clock& sneakerClock, std::uint64_t shuffleSeed)
    : m_sender(sender), m_screen(screen), m_tally(tally), m_turntime(turntime), m_sneakerClock(sneakerClock),
      m_random(shuffleSeed)
{
    // The state starts as the reset of a new game leaves it. The screen is not
    // called from here: the window that implements it may still be under
    // construction.
    for (int i = 1; i <= kBarSize; ++i)
        barAt(i).place = i;
}

void ClientGame::setIshost(bool ishost)
{
    m_ishost = ishost;
    m_startShown = startEnabled();
    m_screen.buttonsChanged();
}

void ClientGame::setLoginname(std::string_view name)
{
    m_loginname = name;
}

void ClientGame::setPlayasoundHandler(std::function<void(std::string_view)> handler)
{
    m_playasound = std::move(handler);
}

// ---------------------------------------------------------------------------
// Dispatch

const ClientGame::Dispatch::Row* ClientGame::Dispatch::find(std::string_view message)
{
    const std::optional<wire::SplitEntry> entry = wire::splitEntry(message.substr(0, wire::kMaxMessageBytes));
    if (!entry)
        return nullptr;
    for (const Row& row : rows) {
        if (row.command == entry->command)
            return &row;
    }
    return nullptr;
}

void ClientGame::handle(std::string_view message)
{
    message = message.substr(0, wire::kMaxMessageBytes);
    if (const Dispatch::Row* row = Dispatch::find(message))
        (this->*row->handler)(wire::splitEntry(message)->payload);
}

bool ClientGame::handles(std::string_view message)
{
    return Dispatch::find(message) != nullptr;
}

// ---------------------------------------------------------------------------
// Session: login, joins and leaves, watching

void ClientGame::sendloginfo(std::string_view data)
{
    const std::optional<int> slot = wire::readSendlogininfo(data);
    if (!slot)
        return;
    m_myplayer = *slot;
    m_loggedin = true;
    send(wire::msg::logininfo(m_myplayer, wire::msg::kVersion, m_loginname));
}

void ClientGame::chatrecieved(std::string_view data)
{
    const wire::ChatText chat = wire::splitChatText(data);
    m_screen.addlinetochat(chat.text, chat.colour);
}

void ClientGame::playasound(std::string_view data)
{
    if (m_playasound)
        m_playasound(data);
}

void ClientGame::newplayerinfo(std::string_view data)
{
    const std::optional<wire::PlayerInfo> info = wire::readPlayerinfo(data);
    if (!info)
        return;
    const std::string name(info->name);
    const bool me = m_loggedin && info->slot == m_myplayer;
    if (me) {
        chatLine("You are Connected.");
        m_screen.loadinifile();
    } else {
        chatLine(name + " is Connected.");
    }
    if (isSeat(info->slot)) {
        Seat& seat = seatAt(info->slot);
        seat.name = name;
        seat.nameShown = true;
        seat.scoreShown = true;
        seatChanged(info->slot);
    } else {
        // A slot holds one watcher: an arrival there replaces the entry it had,
        // so a peer logging in again and again cannot make the list grow.
        const std::string prefix = std::to_string(info->slot) + ": ";
        const std::string entry = prefix + name;
        const auto same =
            std::find_if(m_watchers.begin(), m_watchers.end(),
                         [&prefix](const std::string& kept) { return kept.starts_with(prefix); });
        if (same == m_watchers.end())
            m_watchers.push_back(entry);
        else
            *same = entry;
        m_screen.watchersChanged();
        chatLine(me ? std::string("You are spying.") : name + " is spying.");
    }
    m_screen.playsounds(Sound::Entered);
}

void ClientGame::havewrongversion(std::string_view data)
{
    chatLine(std::string(data) + " has a different version of the game than you.");
}

void ClientGame::wrongversion(std::string_view)
{
    chatLine("You have a differnt version of the game than the host.");
}

void ClientGame::playerdisconnected(std::string_view data)
{
    const std::optional<wire::PlayerInfo> info = wire::readPlayerinfo(data);
    if (!info)
        return;
    if (isSeat(info->slot)) {
        Seat& seat = seatAt(info->slot);
        if (seat.name != kWaiting && seat.name != defaultComputerName(info->slot))
            chatLine(seat.name + " disconnected.");
        // The computer takes seat 2 over; other seats wait for a player.
        seat.name = info->slot == 2 ? std::string(defaultComputerName(2)) : std::string(kWaiting);
        seat.eyes = false;
        seatChanged(info->slot);
        return;
    }
    const std::string entry = std::to_string(info->slot) + ": " + std::string(info->name);
    const auto found = std::find(m_watchers.begin(), m_watchers.end(), entry);
    if (found == m_watchers.end())
        return;
    chatLine(std::string(info->name) + " has left.");
    m_watchers.erase(found);
    m_screen.watchersChanged();
}

void ClientGame::full(std::string_view)
{
    box("Game is full");
    m_screen.closeWindow();
}

void ClientGame::justwatching(std::string_view data)
{
    const std::optional<wire::JustWatching> read = wire::readJustwatching(data);
    if (!read)
        return;
    Seat& seat = seatAt(read->seat);
    if (m_loggedin && read->seat == m_myplayer) {
        m_justWatch = read->watching;
        m_screen.justWatchChanged();
    }
    chatLine(seat.name + (read->watching ? " is just watching" : " is now playing again"));
    seat.eyes = read->watching;
    seatChanged(read->seat);
}

// ---------------------------------------------------------------------------
// A game's start, turns and end

void ClientGame::clearall()
{
    for (int number = 1; number <= kSeats; ++number) {
        Seat& seat = seatAt(number);
        seat.score = "0";
        seat.bonus.clear();
        seat.eyes = false;
        seatChanged(number);
    }
    for (BoardCell& c : m_board)
        c = BoardCell{};
    m_screen.boardChanged();
    m_theirTiles.shown = false;
    m_screen.theirTilesChanged();
    resetBarTops();
    m_selectedpos = 0;
    m_screen.barChanged();
}

void ClientGame::startthegame(std::string_view data)
{
    const wire::StartGame start = wire::readStartgame(data);

    m_startShown = false;
    setWordButtons(false);
    if (m_justWatch) {
        m_justWatch = false;
        m_screen.justWatchChanged();
    }
    m_winner.shown = false;
    m_screen.winnerChanged();
    hideSneaker();

    clearall();

    if (start.mode)
        m_gameTexts.gameMode = wire::gameModeHeader(*start.mode);
    setTimerScale(start.turnSeconds.value_or(60));
    m_gameTexts.playToScore = "Play to Score: " + std::string(start.playToScore);
    m_gameTexts.notPlaying = start.maxFour != "0";
    m_screen.gameOptionsChanged();

    chatLine(std::string(start.starter) + " has started a game.");
    if (seatAt(2).name == kWaiting) {
        seatAt(2).name = defaultComputerName(2);
        seatChanged(2);
    }
}

void ClientGame::setTimerScale(int seconds)
{
    m_turnseconds = seconds;
    m_gameTexts.timePerTurn = "Time Per Turn: " + std::to_string(seconds) + "secs";
}

void ClientGame::getnextplayer(std::string_view data)
{
    const std::optional<int> number = wire::readNextplayer(data);
    if (!number)
        return;
    m_turnowner = *number;
    m_flipsdone = 0;
    m_wordlength = 0;
    m_canbuild = false;
    m_theirTiles.shown = false;
    m_screen.theirTilesChanged();
    seatAt(*number).bonus.clear();

    for (int s = 1; s <= kSeats; ++s) {
        seatAt(s).onTurn = s == *number;
        seatChanged(s);
    }
    m_turnFrameSeat = *number;
    m_screen.turnFrameChanged();

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
    m_screen.wordChanged();

    if (m_loggedin && *number == m_myplayer) {
        setStatus("Choose 5 tiles to flip.");
        m_screen.playsounds(m_turnSoundNew ? Sound::TurnNew : Sound::Turn);
    } else {
        setStatus(seatAt(*number).name + "'s turn.");
    }
    // The word buttons come with the fifth flip, also on the own turn.
    setWordButtons(false);

    m_secondsleft = m_turnseconds;
    m_turntime.start(kTurnTimeMs);
}

void ClientGame::turntimeTimer()
{
    m_secondsleft -= 1;
    if (m_secondsleft < 1) {
        m_secondsleft = 0;
        m_timer.text = "Time: 0:00";
        m_timer.secondsLeft = 0;
        m_turnowner = 0;
        m_screen.timerChanged();
        return;
    }
    m_timer.secondsLeft = m_secondsleft;
    m_timer.turnSeconds = m_turnseconds;
    m_timer.low = m_secondsleft < 20;
    if (m_secondsleft == 20 || m_secondsleft == 15 || m_secondsleft <= 10)
        m_screen.playsounds(Sound::Tick);
    m_timer.text = timeText(m_secondsleft);
    m_screen.timerChanged();
}

bool ClientGame::timerRunning() const
{
    return m_turntime.running();
}

void ClientGame::winner(std::string_view data)
{
    const std::string name(wire::readWinner(data));
    m_screen.playsounds(Sound::GameOver);
    m_theirTiles.shown = false;
    m_screen.theirTilesChanged();

    const bool seated = isSeat(m_myplayer);
    const std::string own = seated ? seatAt(m_myplayer).name : std::string();
    m_winner.text = own != name ? name + " has Won the Game!" : std::string("You have Won the Game!");
    m_winner.shown = true;
    chatLine(m_winner.text);
    m_screen.winnerChanged();
    m_awaitingWinner = false;
    if (m_ishost) {
        m_startShown = true;
        m_screen.buttonsChanged();
    }
    if (seated)
        m_tally.addgame(own != name ? name : std::string("addtomine"));
}

void ClientGame::tie(std::string_view)
{
    setStatus("There is a tie");
}

// ---------------------------------------------------------------------------
// Board and bar

void ClientGame::theboard(std::string_view data)
{
    for (const wire::msg::Cell& read : wire::readTheboard(data).items) {
        BoardCell& c = cell(read.x, read.y);
        c.letter = read.code;
        c.used = c.faceup = c.picked = false;
        drawCell(read.x, read.y, kTileBack);
    }
}

void ClientGame::mytiles(std::string_view data)
{
    const std::optional<wire::PlayerTiles> read = wire::readMytiles(data);
    if (!read || !m_loggedin || read->slot != m_myplayer)
        return;
    for (const wire::msg::BarTile& t : read->tiles.items) {
        BarTile& tile = barAt(t.position);
        tile.letter = t.code;
        if (t.code < 1 || t.code > 26)
            box("Tile is blank " + std::to_string(t.code));
        tile.shown = t.code;
        m_screen.barTileChanged(t.position);
    }
    if (read->tiles.refused)
        return;
    resetBarTops();
    m_selectedpos = 0;
    m_screen.barChanged();
}

void ClientGame::heflip(std::string_view data)
{
    // The last-flip flag is not needed: the count of flips left says the same.
    const std::optional<wire::HeFlip> flip = wire::readHeflip(data);
    if (!flip)
        return;
    const bool me = m_loggedin && flip->slot == m_myplayer;
    BoardCell& c = cell(flip->x, flip->y);
    c.faceup = true;
    // The flipper's own client drew the tile at the click.
    if (!me || m_justWatch)
        drawCell(flip->x, flip->y, faceUpPicture(c.letter));
    if (me) {
        if (flip->remaining <= 0) {
            setStatus("Create a Word");
            m_canbuild = true;
            setWordButtons(true);
        } else if (flip->remaining == 1) {
            setStatus("Choose 1 letter to flip");
        } else {
            setStatus("Choose " + std::to_string(flip->remaining) + " letters to flip");
        }
    }
    m_screen.playsounds(Sound::Flip);
}

void ClientGame::isflipped(std::string_view data)
{
    const std::optional<wire::Flipped> read = wire::readIsflipped(data);
    if (!read || !m_loggedin || read->slot != m_myplayer)
        return;
    for (const wire::Origin& at : read->cells.items) {
        cell(at.x, at.y).faceup = true;
        drawCell(at.x, at.y, faceUpPicture(cell(at.x, at.y).letter));
    }
}

// ---------------------------------------------------------------------------
// Words

void ClientGame::heuseboardletter(std::string_view data)
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
    m_screen.wordTileChanged(read->wordPosition);
    m_screen.playsounds(Sound::PutTile);
}

void ClientGame::heusebarletter(std::string_view data)
{
    const std::optional<wire::HeUseBarLetter> read = wire::readHeusebarletter(data);
    if (!read)
        return;
    wordAt(read->wordPosition).picture = letterPicture(read->code);
    m_screen.wordTileChanged(read->wordPosition);
    m_screen.playsounds(Sound::PutTile);
}

void ClientGame::heclickclear(std::string_view data)
{
    const std::optional<wire::HeClickClear> read = wire::readHeclickclear(data);
    if (!read)
        return;
    for (const wire::msg::RemovedLetter& letter : read->letters.items) {
        WordTile& tile = wordAt(letter.wordPosition);
        tile.picture = 0;
        tile.fromboard = false;
        m_screen.wordTileChanged(letter.wordPosition);
        const wire::Origin source = letter.origin;
        if (source.x != 0) {
            BoardCell& c = cell(source.x, source.y);
            c.used = false;
            drawCell(source.x, source.y, faceUpPicture(c.letter));
        }
    }
    if (!read->letters.refused)
        m_screen.playsounds(Sound::Clear);
}

void ClientGame::hisword(std::string_view data)
{
    const std::optional<wire::HisWord> read = wire::readHisword(data);
    if (!read)
        return;
    const std::string word(read->word);
    const int points = read->wordScore;
    m_turntime.stop();
    Seat& seat = seatAt(read->seat);
    if (points != 0) {
        setStatus(seat.name + " made: " + upper(word) + " for " + std::to_string(points) + " points.");
        seat.bonus = "+" + std::to_string(points) + " " + word;
        chatLine(m_status);
    }
    if (m_loggedin && read->seat == m_myplayer) {
        m_tally.addtomineincrease(3);
        if (points > 0)
            m_tally.addtomineset(4, points, word);
    }
    seat.score = std::to_string(read->totalScore);
    seatChanged(read->seat);
    for (int position = 1; position <= kWordSize; ++position) {
        if (wordAt(position).fromboard) {
            wordAt(position).bonusShown = true;
            m_screen.wordTileChanged(position);
        }
    }
    m_screen.playsounds(Sound::GoodWord);
}

void ClientGame::invalid(std::string_view data)
{
    const std::optional<int> player = wire::readInvalid(data);
    if (!player || !m_loggedin || *player != m_myplayer)
        return;
    setStatus("Invalid Word");
    if (m_clearWord && m_wordlength > 0)
        clickclear();
    m_turnowner = m_myplayer;
    if (m_secondsleft > 4)
        setWordButtons(true);
    m_screen.playsounds(Sound::Invalid);
}

void ClientGame::timeup(std::string_view data)
{
    const std::optional<int> player = wire::readTimeup(data);
    if (!player)
        return;
    m_secondsleft = 0;
    if (m_loggedin && *player == m_myplayer) {
        setStatus("You have run out of time.");
        clickclear();
    } else if (isSeat(*player)) {
        setStatus(seatAt(*player).name + " has run out of time.");
    }
    m_screen.playsounds(Sound::TimeUp);
}

void ClientGame::hepasses(std::string_view data)
{
    const std::optional<int> player = wire::readHepasses(data);
    if (!player)
        return;
    m_turntime.stop();
    setStatus(seatAt(*player).name + " passed.");
}

void ClientGame::buytiles(std::string_view data)
{
    const std::optional<wire::BuyTiles> read = wire::readBuytiles(data);
    if (!read)
        return;
    Seat& seat = seatAt(read->seat);
    seat.score = std::to_string(read->newScore);
    seat.bonus = " - " + std::string(read->cost);
    seatChanged(read->seat);
    const bool me = m_loggedin && read->seat == m_myplayer;
    setStatus(me ? std::string("You bought new tiles.") : seat.name + " bought new tiles.");
    m_turnowner = read->seat;
    m_screen.playsounds(Sound::Buy);
}

void ClientGame::notenough(std::string_view data)
{
    const std::optional<int> player = wire::readNotenough(data);
    if (!player)
        return;
    m_turnowner = *player;
    if (m_loggedin && *player == m_myplayer)
        setStatus("You do not have enough points to buy new tiles.");
    m_screen.playsounds(Sound::Invalid);
}

// ---------------------------------------------------------------------------
// Catching up, their tiles, peeks

void ClientGame::stats(std::string_view data)
{
    const std::optional<wire::Stats> read = wire::readStats(data);
    if (!read || !m_loggedin || read->slot != m_myplayer)
        return;
    m_gameTexts.playToScore = "Play to Score: " + std::string(read->playToScore);
    setTimerScale(read->turnSeconds);
    // The host passes a turn that is the newcomer's own: it never starts here.
    m_turnowner = read->currentPlayer == m_myplayer ? 0 : read->currentPlayer;
    m_secondsleft = std::clamp(read->turnTicks, 0, read->turnSeconds);
    if (read->mode)
        m_gameTexts.gameMode = wire::gameModeHeader(*read->mode);
    m_gameTexts.notPlaying = read->maxFour != "0";
    m_screen.gameOptionsChanged();
    // Only a window that came in while a game runs is caught up: a slot 1
    // given to it starts the next game, not this one.
    m_awaitingWinner = true;
    m_startShown = false;
    m_screen.buttonsChanged();
    for (const wire::SeatScore& score : read->scores.items) {
        seatAt(score.seat).score = std::to_string(score.score);
        seatChanged(score.seat);
    }
}

void ClientGame::theirtiles(std::string_view data)
{
    const std::optional<wire::PlayerTiles> read = wire::readTheirtiles(data);
    if (!read)
        return;
    m_theirTiles.label = seatAt(read->slot).name + " Tiles:";
    for (const wire::msg::BarTile& tile : read->tiles.items)
        m_theirTiles.pictures[static_cast<std::size_t>(tile.position - 1)] = letterPicture(tile.code);
    if (!(m_loggedin && read->slot == m_myplayer) && m_seeTheirs)
        m_theirTiles.shown = true;
    m_screen.theirTilesChanged();
}

void ClientGame::getsneak(std::string_view data)
{
    const std::optional<int> player = wire::readSneak(data);
    if (!player || !m_loggedin || *player != m_myplayer)
        return;
    setStatus("Here is your Sneak Peek");
    m_turnowner = 0;
    // The whole board shows its letters greyed; the cells are face up but not
    // used, so the next turn's start turns them all down again.
    for (int x = 1; x <= kColumns; ++x) {
        for (int y = 1; y <= kRows; ++y) {
            cell(x, y).faceup = true;
            cell(x, y).picture = usedPicture(cell(x, y).letter);
        }
    }
    m_screen.boardChanged();
    if (!m_sneaker.shown && isSeat(m_myplayer))
        showSneakerAt(m_myplayer);
}

void ClientGame::sneaker(std::string_view data)
{
    const std::optional<int> number = wire::readSneaker(data);
    if (!number)
        return;
    if (*number == 0)
        hideSneaker();
    else if (isSeat(*number))
        showSneakerAt(*number);
}

void ClientGame::showSneakerAt(int seat)
{
    m_sneaker.seat = seat;
    m_sneaker.shown = true;
    if (!m_sneakerClock.running())
        m_sneakerClock.start(kSneakerFrameMs);
    m_screen.sneakerChanged();
}

void ClientGame::hideSneaker()
{
    m_sneaker.shown = false;
    m_sneakerClock.stop();
    m_screen.sneakerChanged();
}

void ClientGame::sneakerTimer()
{
    if (!m_sneaker.shown) {
        m_sneakerClock.stop();
        return;
    }
    m_sneaker.frame = (m_sneaker.frame + 1) % kSneakerFrames;
    m_screen.sneakerChanged();
}

// ---------------------------------------------------------------------------
// The player's moves

bool ClientGame::refusedWhileWatching()
{
    if (!m_justWatch)
        return false;
    box(kJustWatchRefusal);
    return true;
}

void ClientGame::paintbox_boardMouseUp(int column, int row, MouseButton button)
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
        send(wire::msg::iflip(m_myplayer, column, row));
        m_screen.playsounds(Sound::Flip);
        return;
    }
    if (c.picked || !m_canbuild || m_wordlength >= kWordSize)
        return;
    m_wordlength += 1;
    WordTile& tile = wordAt(m_wordlength);
    tile.picture = letterPicture(c.letter);
    tile.source = {column, row};
    tile.fromboard = true;
    m_screen.wordTileChanged(m_wordlength);
    c.used = c.picked = true;
    drawCell(column, row, usedPicture(c.letter));
    send(wire::msg::useboardletter(m_myplayer, column, row, m_wordlength));
    m_screen.playsounds(Sound::PutTile);
}

void ClientGame::letters_1MouseUp(int position, MouseButton button)
{
    if (!onTurn() || refusedWhileWatching())
        return;
    if (!inRange(position, 1, kBarSize) || barAt(position).shown == 0 || !m_canbuild)
        return;
    if (button == MouseButton::Right) {
        if (m_selectedpos == 0) {
            m_selectedpos = position;
            barAt(position).raised = true;
            m_screen.barTileChanged(position);
            return;
        }
        resetBarTops();
        // Only the pictures trade places: positions keep their numbers and letters.
        std::swap(barAt(m_selectedpos).place, barAt(position).place);
        m_selectedpos = 0;
        m_screen.barChanged();
        return;
    }
    resetBarTops();
    m_selectedpos = 0;
    m_screen.barChanged();
    if (m_wordlength >= kWordSize)
        return;
    m_wordlength += 1;
    BarTile& bar = barAt(position);
    bar.shown = 0;
    m_screen.barTileChanged(position);
    WordTile& tile = wordAt(m_wordlength);
    tile.picture = letterPicture(bar.letter);
    tile.source = {0, position};
    m_screen.wordTileChanged(m_wordlength);
    send(wire::msg::usebarletter(m_myplayer, position, m_wordlength));
    m_screen.playsounds(Sound::PutTile);
}

void ClientGame::word_1MouseUp(int position)
{
    if (position < 1 || position != m_wordlength || !onTurn() || refusedWhileWatching())
        return;
    const wire::Origin source = wordAt(position).source;
    returnLetter(position);
    m_wordlength -= 1;
    send(wire::msg::clickclear(m_myplayer, {{position, source}}));
    m_screen.playsounds(Sound::Clear);
}

void ClientGame::returnLetter(int position)
{
    WordTile& tile = wordAt(position);
    const wire::Origin source = tile.source;
    tile.fromboard = false;
    tile.source = {};
    tile.picture = 0;
    m_screen.wordTileChanged(position);
    if (source.x != 0) {
        if (!isCell(source.x, source.y))
            return;
        BoardCell& c = cell(source.x, source.y);
        c.used = c.picked = false;
        drawCell(source.x, source.y, faceUpPicture(c.letter)); // puttoboard
    } else if (inRange(source.y, 1, kBarSize)) {
        barAt(source.y).shown = barAt(source.y).letter; // puttoletters
        m_screen.barTileChanged(source.y);
    }
}

void ClientGame::clickclear()
{
    if (m_wordlength == 0)
        return;
    std::vector<wire::msg::RemovedLetter> removed;
    for (int position = 1; position <= m_wordlength; ++position) {
        removed.push_back({position, wordAt(position).source});
        returnLetter(position);
    }
    m_wordlength = 0;
    send(wire::msg::clickclear(m_myplayer, removed));
    m_screen.playsounds(Sound::Clear);
}

void ClientGame::button_clearClick()
{
    if (!onTurn() || refusedWhileWatching())
        return;
    clickclear();
}

void ClientGame::clickdone()
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
    send(wire::msg::idone(m_myplayer, word));
    m_turnowner = 0;
    setWordButtons(false);
}

void ClientGame::button_passClick()
{
    if (refusedWhileWatching())
        return;
    if (onTurn()) {
        clickclear();
        send(wire::msg::hepass(m_myplayer));
        m_turnowner = 0;
    }
    setWordButtons(false);
}

void ClientGame::button_buyClick()
{
    if (!onTurn() || refusedWhileWatching())
        return;
    clickclear();
    send(wire::msg::clickbuy(m_myplayer));
    m_turnowner = 0;
}

void ClientGame::button_shuffleClick()
{
    for (int i = 1; i <= kBarSize; ++i) {
        const int j = m_random.between(1, kBarSize);
        if (j != i)
            std::swap(barAt(i).place, barAt(j).place);
    }
    m_screen.barChanged();
}

void ClientGame::JustWatch1Click()
{
    if (!m_loggedin || !isSeat(m_myplayer))
        return;
    send(wire::msg::justwatch(m_myplayer, m_justWatch ? "2" : "1"));
}

void ClientGame::button_startClick()
{
    if (m_awaitingWinner)
        return;
    if (m_loggedin)
        m_screen.openGameOptions();
    else
        box("You are not connected");
}

SeatMenu ClientGame::label_playername1ContextPopup(int seat)
{
    if (!isSeat(seat)) {
        m_popupseat = 0;
        return {};
    }
    m_popupseat = seat;
    return {m_ishost && seatAt(seat).name != kWaiting, m_ishost, m_ishost};
}

void ClientGame::kicking()
{
    if (m_loggedin && m_ishost && isSeat(m_popupseat))
        send(wire::msg::kickhim(m_myplayer, m_popupseat));
}

void ClientGame::kickWatcher(int slot)
{
    if (m_loggedin && m_ishost && inRange(slot, 1, kLastSlot))
        send(wire::msg::kickhim(m_myplayer, slot));
}

void ClientGame::popupSetJustWatch()
{
    if (m_loggedin && m_ishost && isSeat(m_popupseat))
        send(wire::msg::justwatch(m_popupseat, "1"));
}

void ClientGame::popupUnsetJustWatch()
{
    if (m_loggedin && m_ishost && isSeat(m_popupseat))
        send(wire::msg::justwatch(m_popupseat, "2"));
}

// ---------------------------------------------------------------------------
// Shared steps

void ClientGame::send(const std::string& message)
{
    // Nothing leaves before the host gave this client its number.
    if (m_loggedin)
        m_sender.send(message);
}

void ClientGame::drawCell(int x, int y, int picture)
{
    cell(x, y).picture = picture;
    m_screen.boardCellChanged(x, y);
}

void ClientGame::setStatus(std::string text)
{
    m_status = std::move(text);
    m_screen.statusChanged();
}

void ClientGame::setWordButtons(bool shown)
{
    m_wordButtons = shown;
    m_screen.buttonsChanged();
}

void ClientGame::resetBarTops()
{
    for (BarTile& tile : m_bar)
        tile.raised = false;
}

void ClientGame::chatLine(std::string_view line)
{
    m_screen.systemLine(line);
}

void ClientGame::box(std::string_view text)
{
    // A hostile host must not stack dialogs: one box at a time, the rest dropped.
    if (m_boxOpen)
        return;
    m_boxOpen = true;
    m_screen.messageBox(text);
}

void ClientGame::seatChanged(int seat)
{
    m_screen.seatChanged(seat);
}

// ---------------------------------------------------------------------------
// Accessors

const BoardCell& ClientGame::board(int x, int y) const
{
    static const BoardCell none{};
    return isCell(x, y) ? m_board[static_cast<std::size_t>((x - 1) * kRows + (y - 1))] : none;
}

const BarTile& ClientGame::bar(int position) const
{
    static const BarTile none{};
    return inRange(position, 1, kBarSize) ? m_bar[static_cast<std::size_t>(position - 1)] : none;
}

const WordTile& ClientGame::wordTile(int position) const
{
    static const WordTile none{};
    return inRange(position, 1, kWordSize) ? m_word[static_cast<std::size_t>(position - 1)] : none;
}

std::string ClientGame::wordsource(int position) const
{
    const wire::Origin source = wordTile(position).source;
    return std::to_string(source.x) + "," + std::to_string(source.y);
}

const Seat& ClientGame::seat(int number) const
{
    static const Seat none{};
    return isSeat(number) ? m_seats[static_cast<std::size_t>(number - 1)] : none;
}

} // namespace lexiflip::client
