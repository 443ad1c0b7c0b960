#pragma once

// lexiflip-driven only: a line protocol on standard input and output through
// which the end-to-end tests play the game window as a person would. Every
// command acts on the window's named controls with synthesized mouse and key
// events, so a click that a player could not make (a hidden button, a closed
// dialog) fails here too; nothing calls the client game's moves directly.
//
// One command per line on standard input; exactly one reply line on standard
// output per command, flushed: "ok" with any result after a space, or "err "
// and a reason. Blank lines, unknown and malformed commands answer "err".
// The end of standard input closes the main window as "quit" does.
//
//   state                  ok and key=value pairs separated by spaces (below)
//   click NAME             left click in the middle of the visible widget NAME
//                          (button_done, button_pass, button_start, BUTTON_START,
//                          game_2, box_viewable, UpDown1_up, ...), searched in
//                          every top-level window
//   board X Y [right]      click on board cell column X 1..10, row Y 1..8
//   bar N [right]          click on bar tile letters_N, N 1..7
//   word N                 click on word position word_N, N 1..10
//   menu NAME              choose the main menu entry NAME (StartGame1,
//                          JustWatch1, Exit1, ...); refused while it is disabled
//   options score N        the options dialog's arrows to play-to score N
//   options time N         the arrows to creation time N seconds
//   options viewable 0|1   click "Tiles Viewable" until it shows the state
//   options four 0|1       click "4 Player Max" until it shows the state
//   options mode 1|2|3     click the game mode box (Blind, Helper, Sneak Peek)
//   options start          click the dialog's Start
//   chat TEXT              type TEXT into the chat entry mychat and press Enter
//   closebox               press OK on the host's message box
//   answer yes|no          press Yes or No on the open question box (leaving
//                          a running game, joining a chat's invite link)
//   type NAME TEXT         replace the text of the visible entry or number
//                          field NAME (edit_host, spin_port, ...) by typing
//   pick NAME ROW          click row ROW (0 first) of the visible list NAME
//   jointimeout MS         a join waits MS for the host instead of 10 s
//   silence MS             a running game's host silent for MS is taken for gone
//   quit                   close the main window the normal way (the tally and
//                          the settings are saved); the program then ends
//
// The state's keys, every value percent-encoded (a space is %20, a comma %2C):
//   loggedin  0|1           slot      own slot, 0 before login
//   turn      turn owner    running   1 while a game runs: a turn was
//   flips     flips done              announced or caught up, and no winner
//                                     is shown
//   wordlen   word length   canbuild  0|1
//   scores    seat 1..6 score texts as the seat rows show them, comma-separated
//   names     seat 1..6 names as shown, each encoded, comma-separated
//   board     face-up cells as X:Y:LETTER, comma-separated
//   bar       seven characters, the bar tile letters_1..7 shows, "." for none
//   word      the word row's letters, "." for an empty position
//   winner    the winner banner's text, empty while it is hidden
//   options   1 while the options dialog is open
//   start     1 while the start button shows
//   buttons   1 while CLEAR, BUY, PASS and DONE show
//   box       the host message box's text, empty while none is open
//   status    the status line
//   role      solo, host, join or none
//   joining   1 while the join dialog shows; joinstatus its progress line
//   hosting   1 while the host dialog shows; hoststatus its status line,
//             invite the invite link of its chosen address
//   clipboard the clipboard's text
//   watching  1 while Just Watch is checked
//   reconnecting 1 while the window tries to get a lost connection back, 2
//             once connected again while the table is caught up afresh;
//             offer 1 while it offers Leave Game and Try Again

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>

namespace lexiflip::app {

class LexiflipApp;

class TestDriver : public QObject {
    Q_OBJECT

public:
    // Reads commands from file descriptor fd (standard input) for app.
    TestDriver(LexiflipApp& app, int fd);

    // The reply to one command line, without its line end: the whole command
    // table above, usable without a descriptor.
    QString run(const QString& line);

private:
    void onReadable();
    QString state() const;
    QString click(const QString& name);
    QString board(const QStringList& words);
    QString bar(const QStringList& words);
    QString word(const QStringList& words);
    QString menu(const QString& name);
    QString options(const QStringList& words);
    QString chat(const QString& text);
    QString closeBox();
    QString answer(const QString& word);
    QString type(const QString& name, const QString& text);
    QString pick(const QString& name, const QString& row);
    QString quit();

    LexiflipApp& m_app;
    int m_fd;
    QSocketNotifier m_notifier;
    QByteArray m_pending;
};

} // namespace lexiflip::app
