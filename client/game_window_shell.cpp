// The game window's part in the application shell: the settings file, the
// tally, the phrases, the watcher list's removal and the close path.

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QMouseEvent>

#include <cstdio>

#include "client/chat_controls.h"
#include "client/chat_view.h"
#include "client/eight_bit_text.h"
#include "client/game/client_game.h"
#include "client/game_window.h"
#include "client/main_menu.h"
#include "client/pictures/palette.h"
#include "client/tchat.h"
#include "client/window_placement.h"

namespace lexiflip::client {

namespace {

// Options whose change the player makes in the Options menu and which are
// saved at once. Scroll Chat Off and Just Watch are not kept; the chat's own
// options (colours, chatter sounds) are saved through the chat's signals.
constexpr const char* kSavedOptions[] = {"PlaySounds1", "Classic1",  "New1", "Slow1", "Normal1", "Fast1",
                                         "seetheirs",   "ClearWord", "N8",   "N10",   "N12",     "N14"};

constexpr const char* kTextSizes[] = {"N8", "N10", "N12", "N14"};

} // namespace

void GameWindow::connectShell()
{
    MainMenu& menu = m_window->menu();
    for (const char* name : kSavedOptions)
        connect(menu.entry(QString::fromLatin1(name)), &QAction::triggered, this, [this] { saveinifile(); });
    // A text colour is saved only when the dialog was confirmed; the action
    // colour is saved either way.
    connect(m_chat.get(), &ChatControls::textColourChosen, this, [this] { saveinifile(); });
    connect(m_chat.get(), &ChatControls::actionColourChosen, this, [this] { saveinifile(); });
    connect(m_chat.get(), &ChatControls::chatterSoundsToggled, this, [this] { saveinifile(); });
    // The client area keeps the background panel with a small margin.
    m_window->centralWidget()->setMinimumSize(settings::kMinimumClientSize.width,
                                              settings::kMinimumClientSize.height);
    m_window->installEventFilter(this);
    if (QWidget* logo = m_window->findChild<QWidget*>(QStringLiteral("Image6")))
        logo->installEventFilter(this);
}

void GameWindow::setSettingsFile(const std::filesystem::path& path)
{
    m_settings = settings::SettingsFile(path);
    m_hasSettingsFile = true;
}

void GameWindow::loadinifile()
{
    if (!m_hasSettingsFile)
        return;
    m_settings.load();
    if (!m_settings.problem().empty())
        sayFileProblem("The settings file was not used (" + m_settings.problem() + "); the built-in settings apply.");
    applyPreferences(m_settings.preferences());
    emit settingsRead();
}

void GameWindow::applyPreferences(const settings::Preferences& prefs)
{
    MainMenu& menu = m_window->menu();
    auto entry = [&menu](const char* name) { return menu.entry(QString::fromLatin1(name)); };

    // A size the menu lacks still sizes the font; no entry is checked then,
    // and the chat view keeps the size so that it is saved back unchanged
    // until the player picks one from the menu.
    m_window->chatView().setTextSize(prefs.textsize);
    const std::optional<int> sizeEntry = settings::textsizeMenuEntry(prefs.textsize);
    for (const char* name : kTextSizes) {
        QAction* choice = entry(name);
        const bool chosen = sizeEntry && choice->data().toInt() == *sizeEntry;
        if (!chosen && choice->isChecked()) {
            // An exclusive group refuses to leave no entry checked.
            choice->actionGroup()->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            choice->setChecked(false);
            choice->actionGroup()->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
        }
        if (chosen)
            choice->setChecked(true);
    }

    placeWindow(*m_window, prefs.bounds);

    // The own chat colour is also the entry box's ink.
    chat().setTextColour(prefs.textcolor);
    chat().setActionColour(prefs.actioncolor);

    const int speed = static_cast<int>(prefs.botspeed);
    for (const char* name : {"Slow1", "Normal1", "Fast1"})
        if (entry(name)->data().toInt() == speed)
            entry(name)->setChecked(true);
    emit botSpeedChosen(speed);

    // A stored empty phrase, like a missing one, leaves the button's phrase.
    chat::Phrases phrases = chat().phrases();
    for (std::size_t i = 0; i < phrases.size(); ++i)
        if (!prefs.phrases[i].empty())
            phrases[i] = prefs.phrases[i];
    chat().setPhrases(phrases);

    // Setting a check runs its toggled connections (sound player, game).
    entry("PlaySounds1")->setChecked(prefs.playsounds);
    entry("ClearWord")->setChecked(prefs.clearword);
    entry("seetheirs")->setChecked(prefs.seetheirs);
    entry(prefs.turnsound == settings::TurnSound::New ? "New1" : "Classic1")->setChecked(true);
    chat().setPlayChatterSounds(prefs.chatterSounds);
}

// The values the save writes come from the menus and the chat column, where
// the player changes them; the rest (bounds, the options dialog's values) is
// kept in the preferences by whoever changes it.
void GameWindow::collectPreferences(settings::Preferences& prefs) const
{
    const MainMenu& menu = m_window->menu();
    auto checked = [&menu](const char* name) { return menu.entry(QString::fromLatin1(name))->isChecked(); };
    prefs.textsize = m_window->chatView().textSize();
    prefs.botspeed = checked("Slow1")   ? settings::BotSpeed::Slow
                     : checked("Fast1") ? settings::BotSpeed::Fast
                                        : settings::BotSpeed::Normal;
    prefs.playsounds = checked("PlaySounds1");
    prefs.clearword = checked("ClearWord");
    prefs.seetheirs = checked("seetheirs");
    prefs.turnsound = checked("New1") ? settings::TurnSound::New : settings::TurnSound::Classic;
    prefs.textcolor = m_chat->textColour();
    prefs.actioncolor = m_chat->actionColour();
    prefs.chatterSounds = m_chat->playChatterSounds();
}

void GameWindow::saveinifile()
{
    if (!m_hasSettingsFile || !m_settings.wasRead())
        return;
    collectPreferences(m_settings.preferences());
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
    m_game->kickWatcher(slot);
}

void GameWindow::watcherAdded(std::string_view entry)
{
    emit watcherEntryAdded(fromEightBit(entry));
}

void GameWindow::watcherRemoved(std::string_view entry)
{
    emit watcherEntryRemoved(fromEightBit(entry));
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.get() && event->type() == QEvent::Close) {
        // FormClose: the bounds are kept, unless unchanged or never read.
        if (m_hasSettingsFile && m_settings.wasRead()) {
            collectPreferences(m_settings.preferences());
            // The window is going: standard error and the exit status say it.
            if (!saveWindowAtClose(m_settings, *m_window) && !m_settings.problem().empty()) {
                std::fprintf(stderr, "Lexiflip: the settings were not saved: %s\n", m_settings.problem().c_str());
                m_saveFailedAtClose = true;
            }
        }
        emit windowClosed();
    } else if (watched != m_window.get() && event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit logoClicked();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lexiflip::client
