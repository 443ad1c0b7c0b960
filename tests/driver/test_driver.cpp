#include "driver/test_driver.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QClipboard>
#include <QListWidget>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <optional>

#include "app/game/lexiflip_app.h"
#include "app/game/window_roles.h"
#include "client/widgets/board_view.h"
#include "client/game/client_game.h"
#include "client/window/main_menu.h"
#include "client/widgets/picture_view.h"
#include "client/widgets/screen_layout.h"
#include "client/window/tchat.h"
#include "support/synthetic_click.h"
#include "windows/side/tick_box.h"

namespace lexiflip::app {

namespace {

QString ok(const QString& result = {})
{
    return result.isEmpty() ? QStringLiteral("ok") : QStringLiteral("ok ") + result;
}

QString err(const QString& reason)
{
    return QStringLiteral("err ") + reason;
}

QString roleName(client::LaunchPlan::Role role)
{
    switch (role) {
    case client::LaunchPlan::Role::Solo:
        return QStringLiteral("solo");
    case client::LaunchPlan::Role::Host:
        return QStringLiteral("host");
    case client::LaunchPlan::Role::Join:
        return QStringLiteral("join");
    case client::LaunchPlan::Role::Wait:
        break;
    }
    return QStringLiteral("none");
}

QString encoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QChar letterOf(int code)
{
    return code >= 1 && code <= 26 ? QChar('A' + code - 1) : QChar('.');
}

std::optional<int> number(const QString& word)
{
    bool valid = false;
    const int value = word.toInt(&valid);
    return valid ? std::optional<int>(value) : std::nullopt;
}

void clickMiddle(QWidget& widget, Qt::MouseButton button = Qt::LeftButton)
{
    client::clickAt(widget, widget.rect().center(), button);
}

// The visible widget called name: in the main window first, since the side
// windows reuse some of its names (button_done), then in the other windows.
QWidget* visibleNamed(const QString& name, QWidget& mainWindow)
{
    QWidgetList windows = QApplication::topLevelWidgets();
    windows.removeAll(&mainWindow);
    windows.prepend(&mainWindow);
    for (QWidget* window : windows) {
        if (!window->isVisible())
            continue;
        if (window->objectName() == name)
            return window;
        for (QWidget* child : window->findChildren<QWidget*>(name)) {
            if (child->isVisible())
                return child;
        }
    }
    return nullptr;
}

QMessageBox* openBox()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            return box;
    }
    return nullptr;
}

template <class Widget> Widget* child(QWidget& parent, const QString& name)
{
    return parent.findChild<Widget*>(name);
}

} // namespace

TestDriver::TestDriver(LexiflipApp& app, int fd) : m_app(app), m_fd(fd), m_notifier(fd, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &TestDriver::onReadable);
}

void TestDriver::onReadable()
{
    char buffer[4096];
    const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        // The test went away: end as a player closing the window would.
        m_notifier.setEnabled(false);
        QTimer::singleShot(0, &m_app.game.window(), &QWidget::close);
        return;
    }
    m_pending.append(buffer, static_cast<qsizetype>(got));
    for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        QString reply;
        try {
            reply = run(line);
        } catch (const std::exception& error) {
            reply = err(QStringLiteral("exception ") + QString::fromUtf8(error.what()));
        }
        const QByteArray bytes = reply.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
        std::fflush(stdout);
    }
}

QString TestDriver::run(const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return err(QStringLiteral("empty command"));
    const QString& command = words.front();
    const QStringList rest = words.mid(1);
    if (command == QLatin1String("state") && rest.isEmpty())
        return state();
    if (command == QLatin1String("click") && rest.size() == 1)
        return click(rest[0]);
    if (command == QLatin1String("board"))
        return board(rest);
    if (command == QLatin1String("bar"))
        return bar(rest);
    if (command == QLatin1String("word"))
        return word(rest);
    if (command == QLatin1String("menu") && rest.size() == 1)
        return menu(rest[0]);
    if (command == QLatin1String("options"))
        return options(rest);
    if (command == QLatin1String("chat") && !rest.isEmpty())
        return chat(line.mid(QStringLiteral("chat ").size()));
    if (command == QLatin1String("closebox") && rest.isEmpty())
        return closeBox();
    if (command == QLatin1String("answer") && rest.size() == 1)
        return answer(rest[0]);
    if (command == QLatin1String("type") && rest.size() >= 2)
        return type(rest[0], line.section(QLatin1Char(' '), 2));
    if (command == QLatin1String("pick") && rest.size() == 2)
        return pick(rest[0], rest[1]);
    if (command == QLatin1String("jointimeout") && rest.size() == 1 && number(rest[0]).value_or(0) > 0) {
        m_app.roles().setJoinTimeoutMs(*number(rest[0]));
        return ok();
    }
    if (command == QLatin1String("silence") && rest.size() == 1 && number(rest[0]).value_or(0) > 0) {
        m_app.game.setHostSilenceLimitMs(*number(rest[0]));
        return ok();
    }
    if (command == QLatin1String("quit") && rest.isEmpty())
        return quit();
    return err(QStringLiteral("unknown command: ") + line);
}

QString TestDriver::state() const
{
    const client::ClientGame& game = m_app.game.game();
    client::Tchat& window = m_app.game.window();

    QStringList scores;
    QStringList names;
    for (int seat = 1; seat <= client::kSeats; ++seat) {
        const auto* score = child<QLabel>(window, QStringLiteral("label_score%1").arg(seat));
        const auto* name = child<QLabel>(window, QStringLiteral("label_playername%1").arg(seat));
        scores << encoded(score ? score->text() : QString());
        names << encoded(name ? name->text() : QString());
    }
    QStringList faceUp;
    for (int x = 1; x <= client::kColumns; ++x) {
        for (int y = 1; y <= client::kRows; ++y) {
            const client::BoardCell& cell = game.turn().board(x, y);
            if (cell.faceup)
                faceUp << QStringLiteral("%1:%2:%3").arg(x).arg(y).arg(letterOf(cell.letter));
        }
    }
    QString barLetters;
    for (int k = 1; k <= client::Tchat::kBarPositions; ++k) {
        const auto* tile = child<client::PictureView>(window, QStringLiteral("letters_%1").arg(k));
        barLetters += letterOf(tile && tile->isVisible() ? tile->index() : 0);
    }
    QString wordLetters;
    for (int k = 1; k <= client::Tchat::kWordPositions; ++k) {
        const auto* tile = child<client::PictureView>(window, QStringLiteral("word_%1").arg(k));
        wordLetters += letterOf(tile ? tile->index() : 0);
    }
    const auto* banner = child<QWidget>(window, QStringLiteral("panel_winner"));
    const auto* bannerText = child<QLabel>(window, QStringLiteral("label_winner1"));
    const bool winnerShown = banner && banner->isVisible() && bannerText;
    const auto* start = child<QWidget>(window, QStringLiteral("button_start"));
    const auto* done = child<QWidget>(window, QStringLiteral("button_done"));
    const auto* status = child<QLabel>(window, QStringLiteral("label_status"));
    const QMessageBox* box = openBox();

    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    QStringList pairs;
    pairs << QStringLiteral("loggedin=") + flag(game.roster().loggedin())
          << QStringLiteral("slot=%1").arg(game.roster().myplayer())
          << QStringLiteral("turn=%1").arg(game.turn().turnowner())
          << QStringLiteral("running=") + flag(game.turn().running() && !winnerShown)
          << QStringLiteral("flips=%1").arg(game.turn().flipsdone())
          << QStringLiteral("wordlen=%1").arg(game.turn().wordlength())
          << QStringLiteral("canbuild=") + flag(game.turn().canbuild())
          << QStringLiteral("scores=") + scores.join(QLatin1Char(','))
          << QStringLiteral("names=") + names.join(QLatin1Char(','))
          << QStringLiteral("board=") + faceUp.join(QLatin1Char(',')) << QStringLiteral("bar=") + barLetters
          << QStringLiteral("word=") + wordLetters
          << QStringLiteral("winner=") + (winnerShown ? encoded(bannerText->text()) : QString())
          << QStringLiteral("options=") + flag(m_app.gamestart.isVisible())
          << QStringLiteral("start=") + flag(start && start->isVisible())
          << QStringLiteral("buttons=") + flag(done && done->isVisible())
          << QStringLiteral("box=") + (box ? encoded(box->text()) : QString())
          << QStringLiteral("status=") + encoded(status ? status->text() : QString())
          << QStringLiteral("role=") + roleName(m_app.role())
          << QStringLiteral("joining=") + flag(m_app.roles().joinDialog().isVisible())
          << QStringLiteral("joinstatus=") + encoded(m_app.roles().joinDialog().statusText())
          << QStringLiteral("hosting=") + flag(m_app.roles().hostDialog().isVisible())
          << QStringLiteral("hoststatus=") + encoded(m_app.roles().hostDialog().statusText())
          << QStringLiteral("invite=") + encoded(m_app.roles().hostDialog().chosenInvite())
          << QStringLiteral("clipboard=") + encoded(QApplication::clipboard()->text())
          << QStringLiteral("watching=") + flag(game.roster().justWatchChecked())
          << QStringLiteral("reconnecting=") +
                 (m_app.game.rejoining() ? QStringLiteral("2") : flag(m_app.game.reconnecting()))
          << QStringLiteral("offer=") + flag(m_app.game.reconnectOffer() != nullptr);
    return ok(pairs.join(QLatin1Char(' ')));
}

QString TestDriver::click(const QString& name)
{
    QWidget* widget = visibleNamed(name, m_app.game.window());
    if (!widget)
        return err(QStringLiteral("no visible control ") + name);
    if (!widget->isEnabled())
        return err(QStringLiteral("disabled ") + name);
    clickMiddle(*widget);
    return ok();
}

QString TestDriver::board(const QStringList& words)
{
    const std::optional<int> x = words.size() >= 2 ? number(words[0]) : std::nullopt;
    const std::optional<int> y = words.size() >= 2 ? number(words[1]) : std::nullopt;
    const bool right = words.size() == 3 && words[2] == QLatin1String("right");
    if (!x || !y || *x < 1 || *x > client::layout::kBoardColumns || *y < 1 ||
        *y > client::layout::kBoardRows || (words.size() == 3 && !right) || words.size() > 3)
        return err(QStringLiteral("usage: board X Y [right], X 1..10, Y 1..8"));
    client::BoardView& view = m_app.game.window().board();
    if (!view.isVisible())
        return err(QStringLiteral("the board is hidden"));
    client::clickCell(view, {*x, *y}, right ? Qt::RightButton : Qt::LeftButton);
    return ok();
}

QString TestDriver::bar(const QStringList& words)
{
    const std::optional<int> k = !words.isEmpty() ? number(words[0]) : std::nullopt;
    const bool right = words.size() == 2 && words[1] == QLatin1String("right");
    if (!k || *k < 1 || *k > client::Tchat::kBarPositions || (words.size() == 2 && !right) ||
        words.size() > 2)
        return err(QStringLiteral("usage: bar N [right], N 1..7"));
    QWidget* tile = visibleNamed(QStringLiteral("letters_%1").arg(*k), m_app.game.window());
    if (!tile)
        return err(QStringLiteral("bar tile %1 is not shown").arg(*k));
    clickMiddle(*tile, right ? Qt::RightButton : Qt::LeftButton);
    return ok();
}

QString TestDriver::word(const QStringList& words)
{
    const std::optional<int> k = words.size() == 1 ? number(words[0]) : std::nullopt;
    if (!k || *k < 1 || *k > client::Tchat::kWordPositions)
        return err(QStringLiteral("usage: word N, N 1..10"));
    return click(QStringLiteral("word_%1").arg(*k));
}

QString TestDriver::menu(const QString& name)
{
    QAction* entry = m_app.game.window().menu().entry(name);
    if (!entry)
        return err(QStringLiteral("no menu entry ") + name);
    if (!entry->isEnabled() || !entry->isVisible())
        return err(QStringLiteral("menu entry not available ") + name);
    entry->trigger();
    return ok();
}

QString TestDriver::options(const QStringList& words)
{
    windows::Tgamestart& dialog = m_app.gamestart;
    if (words.isEmpty())
        return err(QStringLiteral("usage: options score|time|viewable|four|mode|start ..."));
    if (!dialog.isVisible())
        return err(QStringLiteral("the options dialog is not open"));
    const QString& what = words[0];
    if (what == QLatin1String("start") && words.size() == 1)
        return click(QStringLiteral("BUTTON_START"));
    const std::optional<int> value = words.size() == 2 ? number(words[1]) : std::nullopt;
    if (!value)
        return err(QStringLiteral("options ") + what + QStringLiteral(": a number is missing"));

    if (what == QLatin1String("score") || what == QLatin1String("time")) {
        const bool score = what == QLatin1String("score");
        auto* edit = child<QLineEdit>(dialog, score ? QStringLiteral("edit_playtoscore")
                                                    : QStringLiteral("edit_creationtime"));
        const QString arrows = score ? QStringLiteral("UpDown1") : QStringLiteral("UpDown2");
        if (!edit)
            return err(QStringLiteral("no number control"));
        // The arrows step by 5 within their range: press the right one until
        // the number shows, and give up when a press no longer changes it.
        for (int presses = 0; presses < 200; ++presses) {
            const int shown = edit->text().toInt();
            if (shown == *value)
                return ok();
            const QString arrow = arrows + (*value > shown ? QStringLiteral("_up") : QStringLiteral("_down"));
            if (click(arrow) != ok())
                return err(QStringLiteral("no arrow ") + arrow);
            if (edit->text().toInt() == shown)
                return err(QStringLiteral("cannot reach %1, stopped at %2").arg(*value).arg(shown));
        }
        return err(QStringLiteral("cannot reach %1").arg(*value));
    }
    if (what == QLatin1String("viewable") || what == QLatin1String("four")) {
        const QString name = what == QLatin1String("viewable") ? QStringLiteral("box_viewable")
                                                               : QStringLiteral("box_4player");
        auto* box = child<windows::TickBox>(dialog, name);
        if (!box || (*value != 0 && *value != 1))
            return err(QStringLiteral("usage: options ") + what + QStringLiteral(" 0|1"));
        if (box->ticked() != (*value == 1))
            click(name);
        return box->ticked() == (*value == 1) ? ok() : err(name + QStringLiteral(" did not change"));
    }
    if (what == QLatin1String("mode")) {
        if (*value < 1 || *value > 3)
            return err(QStringLiteral("usage: options mode 1|2|3"));
        return click(QStringLiteral("game_%1").arg(*value));
    }
    return err(QStringLiteral("unknown option ") + what);
}

QString TestDriver::chat(const QString& text)
{
    QLineEdit& entry = m_app.game.window().chatEntry();
    if (!entry.isVisible() || !entry.isEnabled())
        return err(QStringLiteral("the chat entry is not available"));
    for (const QChar character : text) {
        const int key = character.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(character));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(character));
        QApplication::sendEvent(&entry, &press);
        QApplication::sendEvent(&entry, &release);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&entry, &enter);
    return ok();
}

QString TestDriver::closeBox()
{
    QMessageBox* box = openBox();
    if (!box)
        return err(QStringLiteral("no message box is open"));
    QAbstractButton* button = box->button(QMessageBox::Ok);
    if (!button)
        button = box->buttons().isEmpty() ? nullptr : box->buttons().front();
    if (!button)
        return err(QStringLiteral("the message box has no button"));
    clickMiddle(*button);
    return ok();
}

QString TestDriver::answer(const QString& word)
{
    const QMessageBox::StandardButton which = word == QLatin1String("yes")  ? QMessageBox::Yes
                                              : word == QLatin1String("no") ? QMessageBox::No
                                                                            : QMessageBox::NoButton;
    QMessageBox* box = openBox();
    if (which == QMessageBox::NoButton)
        return err(QStringLiteral("usage: answer yes|no"));
    if (!box || !box->button(which))
        return err(QStringLiteral("no question box is open"));
    clickMiddle(*box->button(which));
    return ok();
}

QString TestDriver::type(const QString& name, const QString& text)
{
    QWidget* widget = visibleNamed(name, m_app.game.window());
    QLineEdit* edit = qobject_cast<QLineEdit*>(widget);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        edit = spin->findChild<QLineEdit*>();
    if (!edit || !edit->isEnabled())
        return err(QStringLiteral("no entry ") + name);
    edit->setFocus();
    edit->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(edit, &erase);
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
        QApplication::sendEvent(edit, &press);
    }
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        spin->interpretText();
    return ok();
}

QString TestDriver::pick(const QString& name, const QString& row)
{
    auto* list = qobject_cast<QListWidget*>(visibleNamed(name, m_app.game.window()));
    const std::optional<int> index = number(row);
    if (!list || !index || *index < 0 || *index >= list->count())
        return err(QStringLiteral("no row %1 in the list %2").arg(row, name));
    QListWidgetItem* item = list->item(*index);
    list->scrollToItem(item);
    client::clickAt(*list->viewport(), list->visualItemRect(item).center(), Qt::LeftButton);
    return ok();
}

QString TestDriver::quit()
{
    // After the reply went out: the close may end the event loop at once.
    QTimer::singleShot(0, &m_app.game.window(), &QWidget::close);
    return ok();
}

} // namespace lexiflip::app
