// The game window's part in the application shell: the preferences and
// their file, the phrases, the watcher list and the close path.

#include <QCloseEvent>
#include <QMouseEvent>

#include <cstdio>

#include "client/window/chat_controls.h"
#include "client/widgets/chat_view.h"
#include "client/session/eight_bit_text.h"
#include "client/game/client_game.h"
#include "client/window/game_window.h"
#include "client/window/main_menu.h"
#include "client/media/palette.h"
#include "client/widgets/screen_layout.h"
#include "client/media/sound_player.h"
#include "client/window/tchat.h"
#include "client/window/turn_attention.h"
#include "client/shell/window_placement.h"
#include "client/window/zoom_control.h"

namespace lexiflip::client {

// One way: the menu reports a choice, the preferences change, every part that
// follows them (the menu's marks too) is handed them, and they are saved.
// Scroll Chat Off and Just Watch are no preferences; the chat's colours are
// chosen in its dialogs and kept here as they are chosen.
void GameWindow::connectShell()
{
    m_window->menu().setOptionChosen([this](settings::MenuOption option, int tag, bool checked) {
        settings::choose(option, tag, checked, m_settings.preferences());
        showPreferences();
        if (option == settings::MenuOption::BotSpeed)
            emit botSpeedChosen(static_cast<int>(m_settings.preferences().botspeed));
        if (option == settings::MenuOption::KlotStrength)
            emit klotStrengthChosen(static_cast<int>(m_settings.preferences().klotStrength));
        if (option == settings::MenuOption::OpenRouterPort)
            emit routerPortChosen(m_settings.preferences().openRouterPort);
        saveinifile();
    });
    // A text colour is saved only when the dialog was confirmed; the action
    // colour is saved either way.
    connect(m_chat.get(), &ChatControls::textColourChosen, this, [this](wire::Colour colour) {
        m_settings.preferences().textcolor = colour;
        saveinifile();
    });
    connect(m_chat.get(), &ChatControls::actionColourChosen, this, [this](wire::Colour colour) {
        m_settings.preferences().actioncolor = colour;
        saveinifile();
    });
    connect(&m_window->zoom(), &ZoomControl::zoomChanged, this, [this](Zoom zoom) {
        if (m_settings.preferences().zoom == zoom.percent())
            return;
        m_settings.preferences().zoom = zoom.percent();
        saveinifile();
    });
    showPreferences();
    // The client area keeps the background panel with a small margin.
    m_window->centralWidget()->setMinimumSize(layout::kMinClientSize);
    m_window->installEventFilter(this);
    if (QWidget* logo = m_window->findChild<QWidget*>(QStringLiteral("Image6")))
        logo->installEventFilter(this);
}

// Hands the options to every part that follows them.
void GameWindow::showPreferences()
{
    const settings::Preferences& prefs = m_settings.preferences();
    m_window->menu().reflect(prefs);
    m_window->sounds().setPlaySounds(prefs.playsounds);
    // A size the menu lacks still sizes the font; the menu then checks none.
    if (m_window->chatView().textSize() != prefs.textsize)
        m_window->chatView().setTextSize(prefs.textsize);
    m_game->turn().setClearWord(prefs.clearword);
    m_game->turn().setSeeTheirs(prefs.seetheirs);
    m_game->turn().setTurnSoundNew(prefs.turnsound == settings::TurnSound::New);
    m_chat->setPlayChatterSounds(prefs.chatterSounds);
    m_attention->setNotify(prefs.notifyMyTurn);
}

void GameWindow::setSettingsFile(const std::filesystem::path& path)
{
    // The options the player may have chosen meanwhile stay.
    const settings::Preferences chosen = m_settings.preferences();
    m_settings = settings::SettingsFile(path);
    m_settings.preferences() = chosen;
    m_hasSettingsFile = true;
}

// The own arrival at the table: the settings are read then.
void GameWindow::loadinifile()
{
    // Back after a lost connection: the settings were read at the first
    // arrival, and the window stays where the player has it.
    if (rejoinArrived())
        return;
    if (m_hasSettingsFile) {
        m_settings.load();
        if (!m_settings.problem().empty())
            sayFileProblem("The settings file was not used (" + m_settings.problem() +
                           "); the built-in settings apply.");
        applyPreferences();
        emit settingsRead();
    }
    emit arrived();
}

// The preferences as the file gave them, handed to the window: the options,
// the window's place, the chat's colours and phrases and the host's bot speed
// and Klot's strength.
void GameWindow::applyPreferences()
{
    const settings::Preferences& prefs = m_settings.preferences();
    m_window->zoom().placeWindow(prefs.bounds, Zoom::fromPercent(prefs.zoom).value_or(Zoom()));

    // The own chat colour is also the entry box's ink.
    chat().setTextColour(prefs.textcolor);
    chat().setActionColour(prefs.actioncolor);
    emit botSpeedChosen(static_cast<int>(prefs.botspeed));
    emit klotStrengthChosen(static_cast<int>(prefs.klotStrength));

    // A stored empty phrase, like a missing one, leaves the button's phrase.
    chat::Phrases phrases = chat().phrases();
    for (std::size_t i = 0; i < phrases.size(); ++i)
        if (!prefs.phrases[i].empty())
            phrases[i] = prefs.phrases[i];
    chat().setPhrases(phrases);

    showPreferences();
}

void GameWindow::saveinifile()
{
    if (!m_hasSettingsFile || !m_settings.wasRead())
        return;
    if (!m_settings.save())
        saySaveFailed();
}

// A failed save is said in the chat, which the game goes on past: a box would
// stop the player at every option he changes.
void GameWindow::saySaveFailed()
{
    if (!m_settings.problem().empty())
        sayFileProblem("The settings were not saved: " + m_settings.problem());
}

void GameWindow::sayFileProblem(const std::string& text)
{
    // Paths are in the system's own encoding, not the wire's.
    m_window->chatView().addlinetochat(QString::fromLocal8Bit(text.data(), qsizetype(text.size())),
                                       QColor(palette::fromColour(palette::kSystemColour)));
}

QStringList GameWindow::phrases() const
{
    QStringList texts;
    for (const std::string& phrase : m_chat->phrases())
        texts.append(fromEightBit(phrase));
    return texts;
}

void GameWindow::setPhrases(const QStringList& phrases)
{
    chat::Phrases texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = eightBit(phrases.value(qsizetype(i)));
    chat().setPhrases(texts);
}

void GameWindow::applyEditedPhrases(const QStringList& phrases)
{
    setPhrases(phrases);
    if (!m_hasSettingsFile)
        return;
    // savePhrases takes them as the current ones; the next start reads empty
    // ones as "keep the built-in phrase".
    if (!m_settings.savePhrases(m_chat->phrases()))
        saySaveFailed();
}

void GameWindow::kickWatcher(int slot)
{
    m_game->roster().kickWatcher(slot);
}

void GameWindow::watchersChanged()
{
    emit watcherListChanged();
}

// FormClose: the bounds are kept, unless unchanged or never read.
bool GameWindow::saveBoundsAsClosing()
{
    if (!m_hasSettingsFile || !m_settings.wasRead())
        return true;
    return saveWindowAtClose(m_settings, *m_window) || m_settings.problem().empty();
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.get() && event->type() == QEvent::Close) {
        // The window is going: standard error and the exit status say it.
        if (!saveBoundsAsClosing()) {
            std::fprintf(stderr, "Lexiflip: the settings were not saved: %s\n", m_settings.problem().c_str());
            m_saveFailedAtClose = true;
        }
        emit windowClosed();
    } else if (watched != m_window.get() && event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit logoClicked();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lexiflip::client
