#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "windows/small/small_window.h"

class QKeyEvent;

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;

namespace lexiflip::windows {

// "Join a Network Game": the player's name, the host (a name, an IPv4 or an
// IPv6 address) and its port, the recent hosts and the games a search of the
// local network found, any of which fills in the host and port (a double
// click or Enter on one joins it). Join asks for the join with what was
// typed, once it reads as a name and a host; the window's owner makes the
// attempt and tells the dialog how it goes. The dialog never waits for
// anything itself: it stays usable, and may be closed, while a join goes on.
//
// Keyboard: the fields and lists in reading order, Enter joins, Escape
// closes; each field has a mnemonic on its label.
class JoinDialog : public SmallWindow {
    Q_OBJECT

public:
    // A game on the local network, as a search reports it.
    struct LocalGame {
        QString host;
        int port = 0;
        // What the list shows ("Ann's game at 192.168.1.20:7772, 3 free seats").
        QString description;
    };

    explicit JoinDialog(QWidget* parent = nullptr);

    void setPlayerName(const QString& name);
    QString playerName() const;
    void setTarget(const QString& host, int port);
    QString host() const;
    int port() const;
    // "HOST:PORT" entries, the most recent first.
    void setRecentHosts(const QStringList& hostsAndPorts);

    // The local network's games: a search starts empty, adds what it finds,
    // and ends with a word on what it found.
    void searchStarted();
    void addLocalGame(const LocalGame& game);
    void searchFinished(const QString& problem = {});

    // How the join goes: working shows a step (connecting) and holds Join
    // back; problem says why it failed and gives Join back; ready clears both.
    void showWorking(const QString& text);
    void showProblem(const QString& text);
    void showReady();
    QString statusText() const;

signals:
    void joinRequested(const QString& name, const QString& host, int port);
    void searchRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void requestJoin();
    void takeItem(QListWidgetItem* item);
    void showStatus(const QString& text, bool problem);

    QLineEdit* m_name;
    QLineEdit* m_host;
    QSpinBox* m_port;
    QListWidget* m_recent;
    QPushButton* m_search;
    QListWidget* m_found;
    QLabel* m_foundNote;
    QLabel* m_status;
    QPushButton* m_join;
    QPushButton* m_close;
    int m_foundCount = 0;
};

// The side windows' style with a focus that shows on every control.
QString dialogStyleSheet();

// The name and port fields both role dialogs ask for: their object names, what
// a screen reader calls them, the ports a player may give, 7772 to start with.
void setUpNameAndPort(QLineEdit& name, const QString& nameObject, QSpinBox& port, const QString& portObject);

// A role dialog's status line: a problem in the warning colour, and the text
// as the line's accessible name, so that a screen reader tells it.
void showDialogStatus(QLabel& status, const QString& text, bool problem);

// A role dialog's keys: Enter is a list's own (it takes the entry), presses a
// focused button, and otherwise does the dialog's own act; Escape closes the
// dialog. Answers whether the key was one of these.
bool takeDialogKey(QWidget& dialog, const QKeyEvent& event, const std::function<void()>& act);

} // namespace lexiflip::windows
