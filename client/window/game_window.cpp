#include "client/window/game_window.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <filesystem>

#include "client/game/client_game.h"
#include "client/game/game_recorder.h"
#include "client/media/palette.h"
#include "client/media/sound_player.h"
#include "client/platform/app_paths.h"
#include "client/session/eight_bit_text.h"
#include "client/session/guarded.h"
#include "client/widgets/board_view.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/screen_layout.h"
#include "client/widgets/seat_rows.h"
#include "client/widgets/turn_timer_view.h"
#include "client/window/chat_controls.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "client/window/turn_attention.h"
#include "net/qt_clock.h"
#include "record/record_files.h"

namespace lexiflip::client {

namespace {

MouseButton buttonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::Left;
    }
}

} // namespace

namespace {

core::NoTally& noTally()
{
    static core::NoTally none;
    return none;
}

} // namespace

GameWindow::GameWindow(std::uint64_t shuffleSeed, const ClockMaker& makeClock)
    : GameWindow(shuffleSeed, noTally(), makeClock)
{
}

GameWindow::GameWindow(std::uint64_t shuffleSeed, core::TallyCalls& tally, const ClockMaker& makeClock)
    : m_window(std::make_unique<Tchat>())
{
    auto clock = [&makeClock](std::function<void()> tick) -> std::unique_ptr<core::Clock> {
        if (makeClock)
            return makeClock(std::move(tick));
        return std::make_unique<net::QtClock>(std::move(tick));
    };
    m_turntime = clock([this] { guarded([this] { m_game->turn().turntimeTimer(); }); });
    m_sneakerClock = clock([this] { guarded([this] { m_game->turn().sneakerTimer(); }); });
    m_game = std::make_unique<ClientGame>(m_session, static_cast<ClientScreen&>(*this), tally, *m_turntime,
                                          *m_sneakerClock, shuffleSeed);
    // A record that cannot be written is said in the chat, once a game; the
    // game goes on without it.
    m_recordFiles = std::make_unique<record::RecordFiles>(
        std::filesystem::path(QFile::encodeName(gamesFolder()).toStdString()),
        [this](const std::string& problem) { addSystemLine(problem); });
    m_recorder = std::make_unique<GameRecorder>(*m_recordFiles);
    m_game->setRecorder(m_recorder.get());
    m_attention = std::make_unique<TurnAttention>(*m_window, m_notice);
    m_session.setMessageHandler([this](std::string_view message) { handleMessage(message); });
    m_session.setHandledMessages(&ClientGame::handles);
    connect(&m_session, &ClientSession::overrun, this, [this] {
        m_overrun = true;
        static constexpr std::string_view kWhy =
            "The host sent more than this window can take in: the connection is closed.";
        addSystemLine(std::string(kWhy));
        // A box too, since the window closes with the connection: the close
        // waits until it has been read, as after "Game is full". One the host
        // raised is left as it is; the window waits for that one.
        if (!m_window->hostBox())
            m_window->showHostBox(fromEightBit(kWhy));
    });
    connectReconnection();
    m_phraseCooldown = clock([this] { guarded([this] { m_chat->part().cooldownTimer(); }); });
    m_chat = std::make_unique<ChatControls>(*m_window, m_session, *m_game, *m_phraseCooldown);
    connectMoves();
    connectShell();
    showEverything();
}

GameWindow::~GameWindow()
{
    m_attention.reset();
    m_chat.reset();
    m_turntime->stop();
    m_sneakerClock->stop();
    m_session.setMessageHandler({});
}

void GameWindow::addSystemLine(const std::string& line)
{
    m_window->chatView().addlinetochat(line, palette::kSystemColour);
}

void GameWindow::setPlayerName(const std::string& name)
{
    m_game->roster().setLoginname(name);
}

void GameWindow::addHostNotice(const QString& notice)
{
    m_window->chatView().addlinetochat(notice, QColor(palette::fromColour(palette::kSystemColour)));
}

void GameWindow::hostpress(int port)
{
    m_game->setIshost(true);
    emit hostRoleTaken();
    m_hostsHere = true;
    m_hostAddress = "127.0.0.1";
    m_hostPort = port;
    m_session.open(m_hostAddress, port);
}

void GameWindow::joinpress(const std::string& address, int port)
{
    m_game->setIshost(false);
    m_hostsHere = false;
    m_hostAddress = address;
    m_hostPort = port;
    m_session.open(address, port);
}

void GameWindow::handleMessage(std::string_view message)
{
    if (m_freshConnection)
        rejoinStarted();
    m_game->handle(message);
    // Asked for again until the host says so, or the game it was for ends.
    if (m_link == Link::Up && (m_game->roster().justWatchChecked() || m_game->turn().winnerBanner().shown))
        m_watchAgain = false;
    followSilenceLimit();
    // Every turn begins and ends with a message of the host's.
    m_attention->setOwnTurn(m_game->turn().ownTurn(), m_game->turn().timer().turnSeconds);
    if (m_game->roster().versionDiffers() && !m_versionDifferenceSaid) {
        m_versionDifferenceSaid = true;
        emit hostVersionDiffers();
    }
}

void GameWindow::leaveGame()
{
    if (!saveBoundsAsClosing())
        saySaveFailed();
    stopReconnecting(Link::Up);
    m_session.close();
    m_game->reset();
    m_attention->setOwnTurn(false, 0);
    m_closeAfterBox = false;
    m_overrun = false;
    m_watchAgain = false;
    m_joinPending = false;
    m_versionDifferenceSaid = false;
    // The new table takes the options, and every widget shows it.
    showPreferences();
    showEverything();
}

bool GameWindow::gameRunning() const
{
    return m_game->turn().running();
}

// The client in slot 1 is the host's own player, also when this copy did not
// start the host (a host without a window): the game's roster says so.
void GameWindow::becameHostsPlayer()
{
    emit hostRoleTaken();
}

void GameWindow::connectMoves()
{
    Tchat& w = *m_window;
    ClientGame& g = *m_game;
    auto move = [this](auto step) { return [this, step](auto... args) { guarded([&] { step(args...); }); }; };
    connect(&w, &Tchat::boardClicked, this, move([&g](int column, int row, Qt::MouseButton button) {
        g.turn().paintbox_boardMouseUp(column, row, buttonOf(button));
    }));
    connect(&w, &Tchat::barClicked, this, move([&g](int position, Qt::MouseButton button) {
        g.turn().letters_1MouseUp(position, buttonOf(button));
    }));
    connect(&w, &Tchat::wordClicked, this, move([&g](int position) { g.turn().word_1MouseUp(position); }));
    connect(&w, &Tchat::gameKeyPressed, this, move([&w, &g](KeyPress press) {
        const KeyMove next = keyMove(g.turn(), w.board().cursor(), press);
        if (next.kind == KeyMove::Kind::Cursor)
            w.board().setCursor(next.cell);
        else
            playKeyMove(g.turn(), next);
    }));
    connect(&w, &Tchat::doneClicked, this, move([&g] { g.turn().clickdone(); }));
    connect(&w, &Tchat::clearClicked, this, move([&g] { g.turn().button_clearClick(); }));
    connect(&w, &Tchat::passClicked, this, move([&g] { g.turn().button_passClick(); }));
    connect(&w, &Tchat::buyClicked, this, move([&g] { g.turn().button_buyClick(); }));
    connect(&w, &Tchat::shuffleClicked, this, move([&g] { g.turn().button_shuffleClick(); }));
    connect(&w, &Tchat::startClicked, this, move([&g] { g.turn().button_startClick(); }));
    connect(&w, &Tchat::justWatchClicked, this, move([&g] { g.roster().JustWatch1Click(); }));
    connect(&w, &Tchat::hostBoxClosed, this, [this] {
        m_game->messageBoxClosed();
        if (m_closeAfterBox)
            m_window->close();
    });
    connect(&w, &Tchat::seatMenuRequested, this, &GameWindow::openSeatMenu);
}

// popup_kick: the seat menu on a seat's name.
void GameWindow::openSeatMenu(int seat, QPoint globalPosition)
{
    guarded([&] {
        const SeatMenu states = m_game->roster().label_playername1ContextPopup(seat);
        auto* menu = new QMenu(m_window.get());
        menu->setObjectName(QStringLiteral("popup_kick"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        ClientGame& g = *m_game;
        auto add = [&](const QString& caption, bool enabled, auto step) {
            QAction* item = menu->addAction(caption);
            item->setEnabled(enabled);
            connect(item, &QAction::triggered, this, [this, step, &g] { guarded([&] { step(g); }); });
        };
        add(QStringLiteral("Remove From Game"), states.removeEnabled,
            [](ClientGame& game) { game.roster().kicking(); });
        add(QStringLiteral("Set to Just Watch"), states.setJustWatchEnabled,
            [](ClientGame& game) { game.roster().popupSetJustWatch(); });
        add(QStringLiteral("Unset Just Watch"), states.unsetJustWatchEnabled,
            [](ClientGame& game) { game.roster().popupUnsetJustWatch(); });
        menu->popup(globalPosition);
    });
}

void GameWindow::showEverything()
{
    boardChanged();
    barChanged();
    wordChanged();
    statusChanged();
    buttonsChanged();
    timerChanged();
    theirTilesChanged();
    sneakerChanged();
    turnFrameChanged();
    winnerChanged();
    gameOptionsChanged();
    for (int seat = 1; seat <= kSeats; ++seat)
        seatChanged(seat);
    justWatchChanged();
}

void GameWindow::boardCellChanged(int x, int y)
{
    m_window->board().updateCell({x, y});
}

void GameWindow::boardChanged()
{
    const ClientGame& g = *m_game;
    m_window->board().setPictureOf(
        [&g](CellAddress cell) { return g.turn().board(cell.column, cell.row).picture; });
    m_window->board().update();
}

void GameWindow::barTileChanged(int position)
{
    const BarTile& tile = m_game->turn().bar(position);
    // The game says at which of the bar's places each picture stands; the
    // bar's widgets sit on the background panel.
    const int place = std::clamp(tile.place, 1, kBarSize);
    const QPoint onPanel(layout::kBarLefts[place - 1], tile.raised ? layout::kBarLiftedTop : layout::kBarTop);
    m_window->setBarTile(position, tile.picture(), onPanel);
}

void GameWindow::barChanged()
{
    for (int position = 1; position <= kBarSize; ++position)
        barTileChanged(position);
}

void GameWindow::wordTileChanged(int position)
{
    const WordTile& tile = m_game->turn().wordTile(position);
    m_window->setWordTile(position, tile.picture, tile.bonusShown);
}

void GameWindow::wordChanged()
{
    for (int position = 1; position <= kWordSize; ++position)
        wordTileChanged(position);
}

void GameWindow::statusChanged()
{
    m_window->setStatus(shownText(m_game->turn().status()));
}

void GameWindow::buttonsChanged()
{
    m_window->setButtonsShown(m_game->turn().wordButtonsShown());
    m_window->setStartShown(m_game->turn().startShown());
    const bool startEnabled = m_game->turn().startEnabled();
    QAction* startEntry = m_window->menu().action(MenuCommand::StartGame);
    const bool withdrawn = startEntry->isEnabled() && !startEnabled;
    startEntry->setEnabled(startEnabled);
    if (withdrawn)
        emit gameOptionsWithdrawn();
}

void GameWindow::timerChanged()
{
    const auto& timer = m_game->turn().timer();
    m_window->timer().showTime(TurnTimerView::barWidthFor(timer.secondsLeft, timer.turnSeconds),
                               shownText(timer.text),
                               QColor(timer.low ? palette::kTimerTextLow : palette::kTimerText));
    m_window->timer().announce(timer.secondsLeft);
}

void GameWindow::theirTilesChanged()
{
    const TheirTiles& their = m_game->turn().theirTiles();
    std::array<int, Tchat::kBarPositions> pictures{};
    std::copy(their.pictures.begin(), their.pictures.end(), pictures.begin());
    m_window->setTheirTiles(shownText(their.label), pictures, their.shown);
}

void GameWindow::sneakerChanged()
{
    const Sneaker& sneaker = m_game->turn().sneaker();
    m_window->seats().setSneaker(sneaker.seat, sneaker.frame, sneaker.shown);
}

void GameWindow::turnFrameChanged()
{
    m_window->seats().setTurn(m_game->turn().turnFrameSeat());
}

void GameWindow::winnerChanged()
{
    const Winner& winner = m_game->turn().winnerBanner();
    m_window->setWinner(shownText(winner.text), winner.shown);
}

void GameWindow::gameOptionsChanged()
{
    const GameTexts& texts = m_game->turn().gameTexts();
    m_window->setHeader(shownText(texts.timePerTurn), shownText(texts.gameMode),
                        shownText(texts.playToScore));
    m_window->seats().setNotPlaying(texts.notPlaying);
}

void GameWindow::seatChanged(int seat)
{
    const Seat& s = m_game->roster().seat(seat);
    SeatLook look;
    look.name = shownText(s.away ? s.name + " (away)" : s.name);
    look.score = shownText(s.score);
    look.bonus = shownText(s.bonus);
    look.colour = QColor(s.onTurn ? palette::kSeatTextOnTurn : palette::kSeatText);
    look.nameShown = s.nameShown;
    look.scoreShown = s.scoreShown;
    look.eyes = s.eyes;
    look.onTurn = s.onTurn;
    m_window->seats().showSeat(seat, look);
}

void GameWindow::justWatchChanged()
{
    m_window->menu().action(MenuCommand::JustWatch)->setChecked(m_game->roster().justWatchChecked());
}

void GameWindow::playsounds(Sound sound)
{
    m_window->sounds().playsounds(fromEightBit(soundName(sound)));
}

void GameWindow::addlinetochat(std::string_view line, wire::Colour colour)
{
    m_window->chatView().addlinetochat(line, colour);
}

void GameWindow::systemLine(std::string_view line)
{
    m_window->chatView().addlinetochat(line, palette::kSystemColour);
}

void GameWindow::messageBox(std::string_view message)
{
    // The join dialog says in its own words why the host turned the player away.
    if (m_joinPending && m_game->roster().turnedAway()) {
        m_game->messageBoxClosed();
        return;
    }
    m_window->showHostBox(shownText(message));
}

// The window closes once the box shown just before (for example "Game is
// full") has been read.
void GameWindow::closeWindow()
{
    // Still pending until the join's owner leaves the game: the close that
    // follows "Game is full" must not close the window either.
    if (m_joinPending) {
        emit joinLost(m_game->roster().turnedAway());
        return;
    }
    if (m_window->hostBox()) {
        m_closeAfterBox = true;
        return;
    }
    QTimer::singleShot(0, m_window.get(), [this] { m_window->close(); });
}

void GameWindow::openGameOptions()
{
    emit gameOptionsRequested();
}

} // namespace lexiflip::client
