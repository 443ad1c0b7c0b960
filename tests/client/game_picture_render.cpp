// Renders the game window in the middle of a solo game and saves its picture:
//
//     game_picture_render <file.png> [zoom percent]
//
// The screenshot test runs this once per device pixel ratio (QT_SCALE_FACTOR
// must be set before Qt starts, so each ratio needs its own process) and
// compares the pictures with its references. Everything that shows is fixed:
// the host's draws come from a seed, the host's clocks and the window's turn
// timer and sneaker run in virtual time, the chat column holds the same lines
// every time, and nothing shows the time of day.
//
// The game: the host's player ("You") against Klot, 60 seconds a turn. The
// first turn runs out, Klot plays his turn, and on the second own turn five
// tiles are flipped, two of them are in the word row and 13 seconds of the
// turn have gone. With a zoom, the window is then resized as a player would to
// the size that zoom needs.

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "client/game/client_game.h"
#include "client/widgets/board_view.h"
#include "client/widgets/chat_view.h"
#include "client/window/game_window.h"
#include "client/window/tchat.h"
#include "client/window/zoom_control.h"
#include "engine/game.h"
#include "engine/virtual_timeline.h"
#include "host/tserver.h"
#include "net/net_wait.h"
#include "support/synthetic_click.h"
#include "support/timeline_clock.h"
#include "windows/side/tgamestart.h"
#include "wire/messages.h"

namespace {

using namespace lexiflip;
using testing::waitUntil;

int fail(const char* step)
{
    std::fprintf(stderr, "game_picture_render: %s\n", step);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3)
        return fail("usage: game_picture_render <file.png> [zoom percent]");
    const auto zoom = client::Zoom::fromPercent(argc == 3 ? std::atoi(argv[2]) : 100);
    if (!zoom)
        return fail("the zoom is none of the window's steps");
    QApplication app(argc, argv);
    // A focused line edit draws its cursor steadily instead of blinking.
    QApplication::setCursorFlashTime(0);

    engine::VirtualTimeline hostTime;
    auto& timer1 = hostTime.addClock();
    auto& computertimer = hostTime.addClock();
    host::HostOptions options;
    options.port = 0;
    options.botSpeedMs = 250;
    options.seed = 11;
    options.timer1 = &timer1;
    options.computertimer = &computertimer;
    host::TServer server(options);
    hostTime.setOnTick(timer1, [&server] { server.game().timer1Timer(); });
    hostTime.setOnTick(computertimer, [&server] { server.game().computertimerTimer(); });

    engine::VirtualTimeline windowTime;
    client::GameWindow window(7, testing::clocksOn(windowTime));
    windows::Tgamestart gamestart(&window.window());
    gamestart.setSender([&window](std::string_view message) { window.session().send(message); });
    window.setPlayerName("You");
    window.addSystemLine("Loading Solo Game..Please wait.");
    window.window().show();
    server.startHosting();
    window.hostpress(server.port());

    const client::ClientGame& game = window.game();
    const engine::GameState& host = server.state();
    if (!waitUntil([&] { return game.roster().loggedin() && game.turn().startShown(); }, 30000))
        return fail("the window never logged in");
    gamestart.setPlayToScore(250);
    gamestart.setCreationTime(60);
    gamestart.selectGameMode(3);
    gamestart.button_startClick();

    // The host's time runs only while the window sends nothing, so the host
    // plays the same game however fast the messages travel.
    auto ownTurn = [&] { return host.currentplayer == 1 && host.timer1phase == engine::Game::kBuilding; };
    if (!waitUntil([&] { return host.currentplayer != 0; }, 30000))
        return fail("the game never started");
    auto stepUntil = [&](auto done) {
        while (!done()) {
            if (!hostTime.step())
                return false;
        }
        return true;
    };
    if (!stepUntil(ownTurn) || !stepUntil([&] { return !ownTurn(); }) || !stepUntil(ownTurn))
        return fail("the host's clocks stopped before the second own turn");
    // A chat line comes back after everything the host sent before it: once
    // it shows, the window has handled Klot's whole turn.
    auto chatRoundTrip = [&](const char* line) {
        window.session().send(wire::msg::chat(1, line, 0x00A00000));
        return waitUntil([&] { return window.window().chatView().toPlainText().contains(line); }, 30000);
    };
    if (!chatRoundTrip("Good luck, Klot!") || game.turn().turnowner() != 1)
        return fail("the window never saw its second turn");

    // Five flips along a diagonal, each taken by the host before the next;
    // then the first two go into the word row (the host only relays those).
    client::BoardView& board = window.window().board();
    for (int n = 1; n <= 5; ++n) {
        client::clickCell(board, {n * 2, n + 1});
        if (!waitUntil([&] { return host.cell(n * 2, n + 1).flipped == 1; }, 30000))
            return fail("the host did not take a flip");
    }
    if (!waitUntil([&] { return game.turn().canbuild(); }, 30000))
        return fail("the word row never opened");
    for (int n = 1; n <= 2; ++n) {
        client::clickCell(board, {n * 2, n + 1});
        if (game.turn().wordlength() != n)
            return fail("a flipped tile did not go into the word row");
    }
    if (!chatRoundTrip("Let me think..."))
        return fail("the host's answers to the moves never settled");
    testing::settle();

    // 13 seconds of the turn go by on the window's clocks.
    while (windowTime.now() < 13000 && windowTime.step()) {
    }
    testing::settle();

    client::Tchat& shown = window.window();
    if (!zoom->isActualSize()) {
        shown.resize(client::clientSizeAt(*zoom) + (shown.size() - shown.centralWidget()->size()));
        if (!waitUntil([&] { return shown.zoom().zoom() == *zoom; }, 30000))
            return fail("the window did not take the zoom");
        testing::settle();
    }

    const QString file = QString::fromLocal8Bit(argv[1]);
    if (!window.window().grab().save(file))
        return fail("the picture could not be saved");
    return 0;
}
