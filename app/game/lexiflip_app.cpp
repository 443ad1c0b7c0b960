#include "app/game/lexiflip_app.h"

#include <QAction>
#include <QFile>
#include <QMessageBox>

#include <cstdio>
#include <exception>
#include <system_error>
#include <utility>

#include "app/game/game_in_progress.h"
#include "app/game/host_wiring.h"
#include "app/game/window_roles.h"
#include "client/game/client_game.h"
#include "client/game/game_recorder.h"
#include "client/platform/app_paths.h"
#include "client/session/eight_bit_text.h"
#include "client/window/main_menu.h"
#include "client/widgets/zoomed_place.h"
#include "client/window/tchat.h"
#include "client/window/zoom_control.h"
#include "net/default_port.h"
#include "net/error_report.h"
#include "windows/replay/replay_window.h"
#include "windows/side/tick_box.h"

namespace lexiflip::app {

namespace {

void showWindow(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

LexiflipApp::LexiflipApp(std::uint64_t seed, const std::filesystem::path& settingsFile,
                         const QString& tallyFile, const host::HostOptions& hostOptions,
                         windows::LinkOpener opener)
    : game(seed, tally), download(&game.window()), gamestart(&game.window()), help(&game.window()),
      phrases(&game.window()), m_hostOptions(hostOptions),
      m_server(std::make_unique<host::TServer>(hostOptions)), spylist(&game.window()),
      tallylist(tally, &game.window()), about(&game.window(), std::move(opener)), openRecord(&game.window())
{
    if (!settingsFile.empty()) {
        m_gameFile = gameInProgressFile(settingsFile);
        game.setSettingsFile(settingsFile);
        if (const auto lobbyServer = game.settings().value("LobbyServer"))
            download.setLobbyServerFromSettings(client::fromEightBit(*lobbyServer));
    }
    attachHost(*m_server, game);
    tally.setPlayerList([this] { return playersOf(game.game()); });
    if (!tallyFile.isEmpty())
        tallylist.loadtallyfile(tallyFile);
    connectGameOptions();
    connectSideWindows();
    connectMenus();
    connectReplays();
    m_roles = std::make_unique<WindowRoles>(*this);
}

LexiflipApp::~LexiflipApp() = default;

// The options dialog shows the stored values once they were read; its Start
// keeps the five values it sends.
void LexiflipApp::connectGameOptions()
{
    QObject::connect(&game, &client::GameWindow::gameOptionsRequested, &gamestart,
                     [this] { showWindow(gamestart); });
    QObject::connect(&game, &client::GameWindow::gameOptionsWithdrawn, &gamestart, &QWidget::hide);
    gamestart.setSender([this](std::string_view message) { game.session().send(message); });
    QObject::connect(&game, &client::GameWindow::settingsRead, &gamestart, [this] {
        const settings::Preferences& prefs = game.settings().preferences();
        gamestart.setPlayToScore(prefs.playtoscore);
        gamestart.setCreationTime(prefs.timeperturn);
        // checkbox ticks the box for 0 and unticks it otherwise.
        gamestart.checkbox(gamestart.box_viewable(), prefs.viewable ? 0 : 1);
        gamestart.checkbox(gamestart.box_4player(), prefs.fourPlayer ? 0 : 1);
        if (prefs.gamemode >= 1 && prefs.gamemode <= 3)
            gamestart.selectGameMode(prefs.gamemode);
    });
    QObject::connect(&gamestart, &windows::Tgamestart::started, &game, [this] {
        settings::Preferences& prefs = game.settings().preferences();
        prefs.playtoscore = gamestart.playToScore();
        prefs.timeperturn = gamestart.creationTime();
        prefs.viewable = gamestart.box_viewable().ticked();
        prefs.fourPlayer = gamestart.box_4player().ticked();
        const int mode = gamestart.gameMode();
        prefs.gamemode = mode >= 1 && mode <= 3 ? mode : 1;
        game.saveinifile();
    });
}

void LexiflipApp::connectSideWindows()
{
    client::Tchat& window = game.window();
    QObject::connect(&download, &windows::Tdownload::exitRequested, &window, &QWidget::close);
    QObject::connect(&phrases, &windows::Tphrases::phrasesApplied, &game,
                     &client::GameWindow::applyEditedPhrases);

    QObject::connect(&game, &client::GameWindow::watcherListChanged, &spylist,
                     [this] { spylist.setWatchers(game.game().roster().watchers()); });
    QObject::connect(&game, &client::GameWindow::hostRoleTaken, &spylist,
                     [this] { spylist.setRemoveEnabled(true); });
    QObject::connect(&spylist, &windows::Tspylist::removeRequested, &game, &client::GameWindow::kickWatcher);

    QObject::connect(&help, &windows::Thelp::aboutRequested, &about, [this] { showWindow(about); });
    QObject::connect(&game, &client::GameWindow::logoClicked, &about, [this] { about.openWebLink(); });
}

void LexiflipApp::connectMenus()
{
    const client::MainMenu& menu = game.window().menu();
    auto onEntry = [this, &menu](client::MenuCommand command, auto action) {
        QObject::connect(menu.action(command), &QAction::triggered, &game.window(), action);
    };
    using C = client::MenuCommand;
    onEntry(C::ViewTally, [this] { tallylist.viewTally(); });
    onEntry(C::SpyList, [this] { showWindow(spylist); });
    onEntry(C::PhraseList, [this] { phrases.PrhaseList1Click(game.phrases()); });
    onEntry(C::Help, [this] { showWindow(help); });
    onEntry(C::About, [this] { showWindow(about); });
    onEntry(C::GameSummary, [this] { openSummary(); });
    QObject::connect(&game.window(), &client::Tchat::summaryClicked, &game.window(),
                     [this] { openSummary(); });
    QObject::connect(&game.window().zoom(), &client::ZoomControl::zoomChanged, &game.window(),
                     [this](client::Zoom zoom) {
                         if (m_summary)
                             m_summary->setZoom(zoom.factor());
                     });
}

void LexiflipApp::openSummary()
{
    const std::optional<record::GameRecord>& kept = game.recorder().lastRecord();
    if (!kept) {
        game.addSystemLine("There is no game to sum up yet.");
        return;
    }
    if (!m_summary) {
        m_summary = std::make_unique<windows::SummaryWindow>(&game.window());
        m_summary->setZoom(game.window().zoom().zoom().factor());
    }
    m_summary->showRecord(*kept);
}

// A replay reads its file and nothing else: it has no link to the game, so it
// may stay open while games come and go.
void LexiflipApp::connectReplays()
{
    QObject::connect(game.window().menu().action(client::MenuCommand::OpenGameRecord), &QAction::triggered,
                     &openRecord, [this] {
                         const QString folder = client::gamesFolder();
                         openRecord.showRecords(
                             std::filesystem::path(QFile::encodeName(folder).toStdString()));
                     });
    QObject::connect(&openRecord, &windows::OpenRecordDialog::recordChosen, &game.window(),
                     [this](const QString& path) { openReplay(path); });
}

void LexiflipApp::openReplay(const QString& path)
{
    QString problem;
    if (windows::openReplayWindow(path, &game.window(), client::zoomOf(game.window()), problem))
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Lexiflip"), problem, QMessageBox::Ok,
                                &game.window());
    box->setObjectName(QStringLiteral("replayProblem"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // The game may be on: the box never holds its window.
    box->setWindowModality(Qt::NonModal);
    box->show();
}

bool LexiflipApp::saveAtExit()
{
    const std::string problem = tally.save();
    if (!problem.empty())
        std::fprintf(stderr, "Lexiflip: the tally was not saved: %s\n", problem.c_str());
    return problem.empty() && !game.saveFailedAtClose();
}

void LexiflipApp::start(const client::LaunchPlan& plan, bool offerLobbyDownload)
{
    const std::string problem = tryStart(plan, offerLobbyDownload);
    if (!problem.empty())
        net::reportGeneralError(problem);
}

std::string LexiflipApp::tryStart(const client::LaunchPlan& plan, bool offerLobbyDownload)
{
    game.addSystemLine(plan.loadingLine);
    gamestart.setPlayerName(plan.playerName);
    game.setPlayerName(plan.playerName);
    m_role = plan.role;
    try {
        switch (plan.role) {
        case client::LaunchPlan::Role::Solo:
            if (offerLobbyDownload)
                showWindow(download);
            keepHostedGame();
            // Nobody else plays a solo game: only this machine may reach it.
            m_server->startHosting(host::TServer::Reach::ThisMachine);
            game.hostpress(m_server->port());
            break;
        case client::LaunchPlan::Role::Host:
            if (plan.port)
                replaceServer(plan.port);
            keepHostedGame();
            m_server->startHosting();
            game.hostpress(m_server->port());
            break;
        case client::LaunchPlan::Role::Join:
            game.joinpress(plan.hostAddress, plan.port.value_or(net::defaultHostPort()));
            break;
        case client::LaunchPlan::Role::Wait:
            break;
        }
        // Sock11, the link to the lobby: held open, nothing is exchanged on it.
        if (plan.role == client::LaunchPlan::Role::Host || plan.role == client::LaunchPlan::Role::Join)
            lobbyLink.open();
    } catch (const std::exception& error) {
        m_roles->showRoleEntries();
        return error.what();
    }
    m_roles->showRoleEntries();
    return {};
}

void LexiflipApp::leaveGame()
{
    // The window's own connection first, so that the host going is no news
    // to it; then the host, whose joiners see it go.
    game.leaveGame();
    // Left, the game is over: it is not offered again.
    m_server->forgetState();
    const std::string problem = tally.save();
    if (!problem.empty())
        game.addSystemLine("The tally was not saved: " + problem);
    replaceServer(std::nullopt);
    m_role = client::LaunchPlan::Role::Wait;
    m_roles->showRoleEntries();
    gamestart.hide();
    spylist.setWatchers({});
    spylist.setRemoveEnabled(false);
}

void LexiflipApp::keepHostedGame()
{
    if (m_gameFile.empty())
        return;
    auto tell = [this](const std::string& problem) {
        if (problem.empty())
            return;
        std::fprintf(stderr, "Lexiflip: %s\n", problem.c_str());
        game.addSystemLine(problem);
    };
    if (std::exchange(m_offerKeptGame, false)) {
        const host::StateFileRead kept = host::readStateFile(m_gameFile);
        tell(kept.problem);
        const std::optional<std::string> question =
            kept.snapshot ? goOnQuestion(*kept.snapshot) : std::optional<std::string>();
        if (question && QMessageBox::question(&game.window(), QStringLiteral("Lexiflip"),
                                              client::fromEightBit(*question)) != QMessageBox::Yes) {
            // No: a fresh start keeps nothing of it.
            std::error_code ec;
            std::filesystem::remove(m_gameFile, ec);
        }
    }
    tell(m_server->keepStateIn(m_gameFile).problem);
}

void LexiflipApp::replaceServer(std::optional<int> port)
{
    host::HostOptions options = m_hostOptions;
    if (port)
        options.port = port;
    // The player's Bot Speed and Klot's Strength, not the ones the program
    // started with.
    if (game.settings().wasRead()) {
        options.botSpeedMs = static_cast<int>(game.preferences().botspeed);
        options.klotStrength = static_cast<engine::ComputerStrength>(game.preferences().klotStrength);
    }
    m_server.reset();
    m_server = std::make_unique<host::TServer>(std::move(options));
    attachHost(*m_server, game);
}

windows::PlayerList playersOf(const client::ClientGame& game)
{
    windows::PlayerList list;
    list.myplayer = game.roster().myplayer();
    for (int seat = 1; seat <= client::kSeats; ++seat)
        list.names.push_back(game.roster().seat(seat).name);
    return list;
}

} // namespace lexiflip::app
