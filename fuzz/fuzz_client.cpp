// Arbitrary messages from a host into the game window's plain half, mixed with
// the player's clicks and the window's clock ticks, with the invariants that
// must survive whatever a host sends: every index in range, nothing sent before
// login, at most one message box open. The wire library's readers, which the
// game's handlers apply, are checked on the same messages: whatever they let
// through lies on the board, the bar, the word row and the seats.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "client/game/client_game.h"
#include "client/game/client_screen.h"
#include "client/game/client_sender.h"
#include "core/clock.h"
#include "core/tally_calls.h"
#include "wire/accumulator.h"
#include "wire/client_messages.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"

using namespace lexiflip;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct Clock : core::Clock {
    void start(int) override { on = true; }
    void stop() override { on = false; }
    bool running() const override { return on; }
    bool on = false;
};

struct Sender : client::ClientSender {
    void send(std::string_view message) override
    {
        check(game && game->roster().loggedin());
        check(!message.empty() && message.back() == wire::kTerminator);
    }
    const client::ClientGame* game = nullptr;
};

struct Screen : client::ClientScreen {
    void boardCellChanged(int x, int y) override { check(x >= 1 && x <= 10 && y >= 1 && y <= 8); }
    void barTileChanged(int position) override { check(position >= 1 && position <= 7); }
    void wordTileChanged(int position) override { check(position >= 1 && position <= 10); }
    void seatChanged(int seat) override { check(seat >= 1 && seat <= 6); }
    void messageBox(std::string_view) override
    {
        check(!boxOpen);
        boxOpen = true;
    }
    void boardChanged() override {}
    void barChanged() override {}
    void wordChanged() override {}
    void statusChanged() override {}
    void buttonsChanged() override {}
    void timerChanged() override {}
    void theirTilesChanged() override {}
    void sneakerChanged() override {}
    void turnFrameChanged() override {}
    void winnerChanged() override {}
    void gameOptionsChanged() override {}
    void justWatchChanged() override {}
    void playsounds(client::Sound) override {}
    void addlinetochat(std::string_view, wire::Colour) override {}
    void systemLine(std::string_view) override {}
    void watchersChanged() override {}
    void becameHostsPlayer() override {}
    void closeWindow() override {}
    void loadinifile() override {}
    void openGameOptions() override {}
    bool boxOpen = false;
};

bool in(int value, int low, int high)
{
    return value >= low && value <= high;
}

void checkInvariants(const client::ClientGame& game, const Clock& sneakerClock)
{
    check(in(game.turn().wordlength(), 0, 10) && in(game.turn().flipsdone(), 0, 5));
    check(in(game.roster().myplayer(), 0, 9));
    // At most one bar tile waits raised for its swap.
    int raised = 0;
    for (int p = 1; p <= 7; ++p)
        raised += game.turn().bar(p).raised ? 1 : 0;
    check(raised <= 1);
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 8; ++y)
            check(in(game.turn().board(x, y).picture, 0, 53));
    for (int p = 1; p <= 7; ++p) {
        check(in(game.turn().bar(p).picture(), 0, 26));
        check(in(game.turn().theirTiles().pictures[static_cast<std::size_t>(p - 1)], 0, 26));
    }
    for (int p = 1; p <= 10; ++p)
        check(in(game.turn().wordTile(p).picture, 0, 26));
    check(game.turn().timer().secondsLeft >= 0 && game.turn().timer().turnSeconds > 0);
    // Swaps and shuffles only trade places: the seven pictures keep the seven places.
    int places = 0;
    for (int p = 1; p <= 7; ++p)
        places |= in(game.turn().bar(p).place, 1, 7) ? 1 << game.turn().bar(p).place : 1;
    check(places == 0xFE);
    check(in(game.turn().sneaker().frame, 0, 4) && in(game.turn().sneaker().seat, 0, 6) &&
          in(game.turn().turnFrameSeat(), 0, 6));
    check(sneakerClock.running() == game.turn().sneaker().shown);
}

bool isCell(int x, int y)
{
    return in(x, 1, 10) && in(y, 1, 8);
}

template <class Item, class Check> void checkList(const wire::ReadList<Item>& list, Check check)
{
    for (const Item& item : list.items)
        check(item);
}

void checkReaders(std::string_view message)
{
    const std::optional<wire::SplitEntry> entry = wire::splitEntry(message);
    if (!entry)
        return;
    namespace cmd = wire::cmd;
    const std::string_view command = entry->command;
    const std::string_view payload = entry->payload;
    if (command == cmd::nextplayer || command == cmd::hepasses || command == cmd::notenough) {
        const auto seat = wire::readNextplayer(payload);
        check(!seat || in(*seat, 1, 6));
    } else if (command == cmd::sendlogininfo || command == cmd::timeup) {
        const auto slot = wire::readTimeup(payload);
        check(!slot || in(*slot, 1, 9));
    } else if (command == cmd::sneaker) {
        const auto seat = wire::readSneaker(payload);
        check(!seat || in(*seat, 0, 6));
    } else if (command == cmd::newplayerinfo || command == cmd::playerdisconnected) {
        const auto player = wire::readPlayerinfo(payload);
        check(!player || in(player->slot, 1, 9));
    } else if (command == cmd::playasound) {
        const auto sound = wire::readPlayasound(payload);
        check(!sound.seat || in(*sound.seat, 1, 6));
    } else if (command == cmd::justwatching) {
        const auto watching = wire::readJustwatching(payload);
        check(!watching || in(watching->seat, 1, 6));
    } else if (command == cmd::theboard) {
        checkList(wire::readTheboard(payload),
                  [](const wire::msg::Cell& c) { check(isCell(c.x, c.y) && in(c.code, 0, 26)); });
    } else if (command == cmd::mytiles || command == cmd::theirtiles) {
        const auto tiles =
            command == cmd::mytiles ? wire::readMytiles(payload) : wire::readTheirtiles(payload);
        if (tiles)
            checkList(tiles->tiles, [](const wire::msg::BarTile& t) { check(in(t.position, 1, 7)); });
    } else if (command == cmd::heflip) {
        const auto flip = wire::readHeflip(payload);
        check(!flip || isCell(flip->x, flip->y));
    } else if (command == cmd::isflipped) {
        if (const auto flipped = wire::readIsflipped(payload))
            checkList(flipped->cells, [](const wire::Origin& o) { check(isCell(o.x, o.y)); });
    } else if (command == cmd::heuseboardletter) {
        const auto letter = wire::readHeuseboardletter(payload);
        check(!letter || (isCell(letter->x, letter->y) && in(letter->wordPosition, 1, 10)));
    } else if (command == cmd::heusebarletter) {
        const auto letter = wire::readHeusebarletter(payload);
        check(!letter || in(letter->wordPosition, 1, 10));
    } else if (command == cmd::heclickclear) {
        if (const auto cleared = wire::readHeclickclear(payload))
            checkList(cleared->letters, [](const wire::msg::RemovedLetter& l) {
                check(in(l.wordPosition, 1, 10) && (l.origin.x == 0 || isCell(l.origin.x, l.origin.y)));
            });
    } else if (command == cmd::hisword) {
        const auto word = wire::readHisword(payload);
        check(!word || in(word->seat, 1, 6));
    } else if (command == cmd::buytiles) {
        const auto purchase = wire::readBuytiles(payload);
        check(!purchase || in(purchase->seat, 1, 6));
    } else if (command == cmd::stats) {
        if (const auto stats = wire::readStats(payload)) {
            check(in(stats->slot, 1, 9) && stats->turnSeconds >= 1 && in(stats->currentPlayer, 0, 6));
            checkList(stats->scores, [](const wire::SeatScore& s) { check(in(s.seat, 1, 6)); });
        }
    }
}

// A player's action chosen by the bytes of the message before it: clicks in and
// out of range, the buttons, the menus, and the ticks of both clocks.
void act(client::ClientGame& game, Screen& screen, std::string_view message)
{
    if (message.size() < 2)
        return;
    const auto a = static_cast<unsigned char>(message[0]);
    const auto b = static_cast<unsigned char>(message[message.size() - 1]);
    const auto c = static_cast<unsigned char>(message[message.size() / 2]);
    const int x = b % 13 - 1;
    const int y = c % 11 - 1;
    const auto button = static_cast<client::MouseButton>(c % 3);
    switch ((a + b + message.size()) % 18) {
    case 0:
        game.turn().paintbox_boardMouseUp(x, y, button);
        break;
    case 1:
        game.turn().paintbox_boardMouseUp(x, y, client::MouseButton::Left);
        break;
    case 2:
        game.turn().letters_1MouseUp(x, button);
        break;
    case 3:
        game.turn().word_1MouseUp(x);
        break;
    case 4:
        game.turn().button_clearClick();
        break;
    case 5:
        game.turn().clickdone();
        break;
    case 6:
        game.turn().button_passClick();
        break;
    case 7:
        game.turn().button_buyClick();
        break;
    case 8:
        game.turn().button_shuffleClick();
        break;
    case 9:
        game.roster().JustWatch1Click();
        break;
    case 10:
        game.turn().button_startClick();
        break;
    case 11:
        game.roster().label_playername1ContextPopup(x);
        break;
    case 12:
        game.roster().kicking();
        break;
    case 13:
        game.roster().popupSetJustWatch();
        break;
    case 14:
        screen.boxOpen = false;
        game.messageBoxClosed();
        break;
    case 15:
        game.turn().sneakerTimer();
        break;
    default:
        game.turn().turntimeTimer();
        break;
    }
}

} // namespace

extern "C" const char* const* lexiflipFuzzSeeds()
{
    static const char* const seeds[] = {"CMD_sendlogininfo+1\xFF",
                                        "CMD_newplayerinfo+1+You\xFF",
                                        "CMD_newplayerinfo+8+Eve\xFF",
                                        "CMD_startgame+You+200+60+3+0+\xFF",
                                        "CMD_theboard+1+1+5+4+2+9+7+8+26+10+8+1\xFF",
                                        "CMD_mytiles+1+1+1+2+2+3+3+4+4+5+5+6+6+7+7\xFF",
                                        "CMD_nextplayer+1+\xFF",
                                        "CMD_heflip+1+4+2+f+4+\xFF",
                                        "CMD_heflip+1+7+8+t+0+\xFF",
                                        "CMD_heuseboardletter+2+4+2+1+9+\xFF",
                                        "CMD_heusebarletter+2+2+5+\xFF",
                                        "CMD_heclickclear+2+1+4,2+2+0,6\xFF",
                                        "CMD_invalid+1+\xFF",
                                        "CMD_hisword+1+cab+57+12+3+1+2\xFF",
                                        "CMD_timeup+1+\xFF",
                                        "CMD_hepasses+2+\xFF",
                                        "CMD_buytiles+1+30+20+\xFF",
                                        "CMD_notenough+1+\xFF",
                                        "CMD_stats+1+200+60+2+30+blind+0+1+10+2+25\xFF",
                                        "CMD_isflipped+1+3+4\xFF",
                                        "CMD_theirtiles+2+1+1+2+26\xFF",
                                        "CMD_sneak+1+\xFF",
                                        "CMD_sneaker+1+\xFF",
                                        "CMD_justwatching+1+1\xFF",
                                        "CMD_playerdisconnected+2+Bob\xFF",
                                        "CMD_winner+You+\xFF",
                                        "CMD_full+\xFF",
                                        "CMD_mytiles+1+3+99\xFF",
                                        nullptr};
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Sender sender;
    Screen screen;
    core::NoTally tally;
    Clock turntime;
    Clock sneakerClock;
    client::ClientGame game(sender, screen, tally, turntime, sneakerClock, size);
    sender.game = &game;
    game.roster().setLoginname("You");
    game.setIshost(size % 2 == 0);
    game.turn().setClearWord(size % 3 == 0);

    // Most inputs start on the own turn, five tiles flipped, so that clicks build
    // words while the host's messages arrive.
    if (size % 4 != 0) {
        std::string board = "CMD_theboard";
        for (int x = 1; x <= 10; ++x)
            for (int y = 1; y <= 8; ++y)
                board += "+" + std::to_string(x) + "+" + std::to_string(y) + "+" +
                         std::to_string((x * 8 + y) % 26 + 1);
        for (std::string_view message : {"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+You",
                                         "CMD_newplayerinfo+2+Bob", "CMD_startgame+You+200+60+3+0+"})
            game.handle(message);
        game.handle(board);
        game.handle("CMD_mytiles+1+1+1+2+2+3+3+4+4+5+5+6+6+7+7");
        game.handle("CMD_nextplayer+1+");
        for (int x = 1; x <= 5; ++x) {
            game.turn().paintbox_boardMouseUp(x, x, client::MouseButton::Left);
            game.handle("CMD_heflip+1+" + std::to_string(x) + "+" + std::to_string(x) + "+f+" +
                        std::to_string(5 - x) + "+");
        }
        checkInvariants(game, sneakerClock);
    }

    wire::ReceiveAccumulator accumulator;
    accumulator.feed(std::string_view(reinterpret_cast<const char*>(data), size),
                     [&](std::string_view message) {
                         checkReaders(message.substr(0, wire::kMaxMessageBytes));
                         game.handle(message);
                         checkInvariants(game, sneakerClock);
                         act(game, screen, message);
                         check(screen.boxOpen == game.messageBoxOpen());
                         checkInvariants(game, sneakerClock);
                     });
    return 0;
}
