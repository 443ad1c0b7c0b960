#include "driver/screenshot.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "client/widgets/board_view.h"
#include "client/game/client_game.h"
#include "client/window/game_window.h"
#include "client/window/tchat.h"
#include "support/synthetic_click.h"
#include "windows/side/tgamestart.h"

namespace lexiflip::app {

void takeScreenshotWhenPlaying(client::GameWindow& game, windows::Tgamestart& gamestart, const QString& file)
{
    auto* step = new QTimer(&game);
    step->setInterval(20);
    auto started = std::make_shared<bool>(false);
    auto settled = std::make_shared<int>(0);
    QObject::connect(step, &QTimer::timeout, &game, [&game, &gamestart, file, step, started, settled] {
        const client::ClientGame& g = game.game();
        client::BoardView& board = game.window().board();
        if (!*started) {
            if (g.roster().loggedin() && g.turn().startShown()) {
                gamestart.selectGameMode(1);
                gamestart.button_startClick();
                *started = true;
            }
            return;
        }
        if (g.turn().turnowner() != g.roster().myplayer() || g.roster().myplayer() == 0)
            return;
        // Five flips along the diagonal, then two of them into the word.
        if (g.turn().flipsdone() < 5) {
            const int n = g.turn().flipsdone() + 1;
            client::clickCell(board, {n * 2, n + 1});
            return;
        }
        if (!g.turn().canbuild())
            return;
        if (g.turn().wordlength() < 2) {
            const int n = g.turn().wordlength() + 1;
            client::clickCell(board, {n * 2, n + 1});
            return;
        }
        // A few more ticks so that the turn timer has drawn once.
        if (++*settled < 60)
            return;
        step->stop();
        const bool saved = game.window().grab().save(file);
        std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "could not save",
                     qPrintable(file));
        QApplication::exit(saved ? 0 : 1);
    });
    step->start();
}

} // namespace lexiflip::app
