#pragma once

// The game window over a host in this process, as lexiflip hosts a game: the
// window's own client is the host's player "You" in slot 1 over 127.0.0.1,
// and its start button opens the options dialog. The window's tests share it.

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string_view>

#include "client/game/client_game.h"
#include "client/widgets/board_view.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/phrase_buttons.h"
#include "client/widgets/screen_layout.h"
#include "client/window/chat_controls.h"
#include "client/window/game_window.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "host/tserver.h"
#include "net/net_wait.h"
#include "windows/side/tgamestart.h"

namespace lexiflip::testing {

struct HostedWindowSetup {
    // Hosting starts and the window connects at once; unset, the test calls
    // connect() (after looking at the window before its arrival).
    bool hostNow = true;
    // The window's settings file; none when empty.
    QString settingsFile;
    // The window's clocks; Qt's timers when unset.
    client::GameWindow::ClockMaker clocks;
};

struct HostedWindow {
    explicit HostedWindow(const HostedWindowSetup& setup = {})
        : server(hostOptions()), window(7, setup.clocks), gamestart(&window.window())
    {
        if (!setup.settingsFile.isEmpty())
            window.setSettingsFile(setup.settingsFile.toStdString());
        gamestart.setSender([this](std::string_view message) { window.session().send(message); });
        QObject::connect(&window, &client::GameWindow::gameOptionsRequested, &gamestart,
                         [this] { gamestart.show(); });
        window.window().show();
        if (setup.hostNow)
            connect();
    }

    // Hosting, then the window's Host button.
    void connect()
    {
        server.startHosting();
        window.setPlayerName("You");
        window.hostpress(server.port());
    }
    bool connected() { return shows("You are Connected."); }

    const client::ClientGame& game() const { return window.game(); }
    client::Tchat& tchat() { return window.window(); }
    template <class T = QWidget> T* control(const QString& name) { return tchat().findChild<T*>(name); }
    QAction* entry(const char* name) { return tchat().menu().entry(QString::fromLatin1(name)); }

    void click(const QString& name, Qt::MouseButton button = Qt::LeftButton)
    {
        QWidget* target = control(name);
        ASSERT_NE(target, nullptr) << name.toStdString();
        QTest::mouseClick(target, button, {}, target->rect().center());
    }
    void clickCell(int column, int row)
    {
        QTest::mouseClick(&tchat().board(), Qt::LeftButton, {},
                          tchat().board().cellRect({column, row}).center());
    }

    // The chat column.
    client::ChatControls& chat() { return window.chat(); }
    QLineEdit& chatEntry() { return tchat().chatEntry(); }
    QString shown() { return tchat().chatView().toPlainText(); }
    bool shows(const QString& line)
    {
        return waitUntil([&] { return shown().contains(line); });
    }
    void type(const QString& text) { QTest::keyClicks(&chatEntry(), text); }
    void enter() { QTest::keyClick(&chatEntry(), Qt::Key_Return); }
    void clickPhrase(int number)
    {
        QAbstractButton* button = tchat().phraseButtons().button(number);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    void chooseSound(const QString& name)
    {
        auto* item = tchat().phraseButtons().soundsMenu()->findChild<QAction*>(name);
        ASSERT_NE(item, nullptr) << name.toStdString();
        item->trigger();
    }

    // Start button, then Start in the dialog; waits for the own first turn.
    bool startAndWaitForTurn(int playTo = 250, int seconds = 60)
    {
        if (!connected() || !control("button_start")->isVisible())
            return false;
        click("button_start");
        if (!gamestart.isVisible())
            return false;
        gamestart.setPlayToScore(playTo);
        gamestart.setCreationTime(seconds);
        QWidget* start = gamestart.findChild<QWidget*>("BUTTON_START");
        QTest::mouseClick(start, Qt::LeftButton, {}, start->rect().center());
        return waitUntil(
            [&] {
                return game().turn().turnowner() == game().roster().myplayer() &&
                       game().roster().myplayer() == 1;
            },
            30000);
    }

    static host::HostOptions hostOptions()
    {
        host::HostOptions options;
        options.port = 0;
        options.botSpeedMs = 250;
        options.seed = 11;
        return options;
    }

    host::TServer server;
    client::GameWindow window;
    windows::Tgamestart gamestart;
};

} // namespace lexiflip::testing
