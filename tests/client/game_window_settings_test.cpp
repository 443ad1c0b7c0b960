// The game window and its settings file: read when the own arrival is
// announced, applied to the menus and the window, saved after each option
// change and at close, and never written before they were read.

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "client/media/palette.h"
#include "client/media/sound_player.h"
#include "client/shell/window_placement.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/phrase_buttons.h"
#include "client/window/chat_controls.h"
#include "client/window/game_window.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "client/window/zoom_control.h"
#include "host/tserver.h"
#include "net/net_wait.h"
#include "support/hosted_window.h"
#include "wire/colour_text.h"

namespace lexiflip::client {
namespace {

using testing::HostedWindow;
using testing::waitUntil;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// One run of the program's window, with the settings file in a folder of the
// test's own; the host is started when the test says.
testing::HostedWindowSetup withSettings(const QString& settingsPath)
{
    testing::HostedWindowSetup setup;
    setup.hostNow = false;
    setup.settingsFile = settingsPath;
    return setup;
}

const QByteArray kStored =
    "[Lobby]\r\nNick=ann\r\n[Lexiflip]\r\nTextsize=12\r\nLeft=40\r\nTop=50\r\nWidth=760\r\n"
    "Height=560\r\nBotspeed=500\r\nGamemode=7\r\nPhrase3=Hi there\r\nPlaysounds=false\r\n"
    "Clearword=true\r\nSeetheirs=false\r\nTurnsound=1\r\n";

TEST(GameWindowSettings, ReadOnArrivalAppliedToTheMenusSavedAtOnceAndKeptForTheNextRun)
{
    QTemporaryDir home;
    const QString path = home.filePath("halvolobby.ini");
    writeAll(path, kStored);
    {
        HostedWindow run(withSettings(path));
        // Before the arrival the menus show their built-in states.
        EXPECT_TRUE(run.entry("N8")->isChecked());
        EXPECT_TRUE(run.entry("PlaySounds1")->isChecked());
        run.connect();
        ASSERT_TRUE(run.connected());
        ASSERT_TRUE(waitUntil([&] { return run.window.settings().wasRead(); }));

        EXPECT_TRUE(run.entry("N12")->isChecked());
        EXPECT_EQ(run.tchat().chatView().textSize(), 12);
        EXPECT_FALSE(run.entry("PlaySounds1")->isChecked());
        EXPECT_FALSE(run.tchat().sounds().playSounds());
        EXPECT_TRUE(run.entry("ClearWord")->isChecked());
        EXPECT_FALSE(run.entry("seetheirs")->isChecked());
        EXPECT_TRUE(run.entry("New1")->isChecked());
        EXPECT_TRUE(run.entry("Normal1")->isChecked()) << "500 is no speed of the menu";
        EXPECT_EQ(run.window.phrases().value(2), "Hi there");
        EXPECT_EQ(run.window.phrases().value(0), "Way To Go!");
        EXPECT_EQ(windowBounds(run.tchat()), (settings::WindowBounds{40, 50, 760, 560}));
        EXPECT_EQ(readAll(path), kStored) << "reading writes nothing";

        // Each option change is saved at once, normalised, the lobby's section untouched.
        run.entry("Fast1")->trigger();
        QByteArray saved = readAll(path);
        EXPECT_TRUE(saved.startsWith("[Lobby]\r\nNick=ann\r\n[Lexiflip]\r\n"));
        EXPECT_TRUE(saved.contains("Botspeed=250\r\n"));
        EXPECT_TRUE(saved.contains("Gamemode=1\r\n"));
        run.entry("N14")->trigger();
        run.entry("ClearWord")->trigger();
        saved = readAll(path);
        EXPECT_TRUE(saved.contains("Textsize=14\r\n"));
        EXPECT_TRUE(saved.contains("Clearword=false\r\n"));

        // The phrase editor writes its nine keys only; an empty phrase is kept
        // empty for this run.
        QStringList edited = run.window.phrases();
        edited[0].clear();
        edited[8] = QStringLiteral("GG");
        run.window.applyEditedPhrases(edited);
        EXPECT_EQ(run.window.phrases().value(0), "");
        EXPECT_TRUE(readAll(path).contains("Phrase1=\r\n"));

        // Closing a window that moved keeps its new place.
        run.tchat().move(60, 70);
        run.tchat().close();
        EXPECT_TRUE(readAll(path).contains("Left=60\r\nTop=70\r\n"));
    }
    HostedWindow next(withSettings(path));
    next.connect();
    ASSERT_TRUE(next.connected());
    ASSERT_TRUE(waitUntil([&] { return next.window.settings().wasRead(); }));
    EXPECT_TRUE(next.entry("Fast1")->isChecked());
    EXPECT_TRUE(next.entry("N14")->isChecked());
    EXPECT_FALSE(next.entry("ClearWord")->isChecked());
    EXPECT_EQ(next.window.phrases().value(0), "Way To Go!") << "an empty phrase gives the built-in one back";
    EXPECT_EQ(next.window.phrases().value(8), "GG");
    EXPECT_EQ(windowBounds(next.tchat()).left, 60);
}

// The chat column holds the phrases and the chat's options: what the file
// holds reaches the real buttons and the entry box, and the chat's choices
// are written back.
TEST(GameWindowSettings, ChatOptionsAndPhrasesLiveInTheChatColumn)
{
    QTemporaryDir home;
    const QString path = home.filePath("halvolobby.ini");
    writeAll(path, "[Lexiflip]\r\nPhrase3=Hi there\r\nPhrase4=\r\nTextcolor=$00123456\r\n"
                   "Actioncolor=clred\r\nChatterSounds=true\r\n");
    HostedWindow run(withSettings(path));
    std::optional<QColor> answer;
    run.window.chat().setColourChooser([&](QColor, const QString&) { return answer; });
    run.connect();
    ASSERT_TRUE(run.connected());
    ASSERT_TRUE(waitUntil([&] { return run.window.settings().wasRead(); }));

    PhraseButtons& buttons = run.tchat().phraseButtons();
    EXPECT_EQ(buttons.button(3)->toolTip(), "Hi there");
    EXPECT_EQ(buttons.button(4)->toolTip(), "Excellent!") << "a stored empty phrase keeps the button's";
    EXPECT_EQ(run.tchat().chatEntry().palette().color(QPalette::Text), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(run.window.chat().actionColour(), 0x0000FFu);
    EXPECT_TRUE(run.entry("PlayChatterSounds1")->isChecked());
    EXPECT_TRUE(run.window.chat().playChatterSounds());

    // A cancelled text colour writes nothing; an action colour is written
    // either way; chatter sounds are written when toggled.
    const QByteArray before = readAll(path);
    run.entry("TextColor1")->trigger();
    EXPECT_EQ(readAll(path), before);
    answer = QColor(1, 2, 3);
    run.entry("ActionColor1")->trigger();
    const std::string action = "Actioncolor=" + wire::colourToText(0x030201) + "\r\n";
    EXPECT_TRUE(readAll(path).contains(action.c_str())) << readAll(path).toStdString();
    EXPECT_TRUE(readAll(path).contains("Textcolor=$00123456\r\n"));
    run.entry("PlayChatterSounds1")->trigger();
    EXPECT_FALSE(run.window.chat().playChatterSounds());
    EXPECT_TRUE(readAll(path).contains("ChatterSounds=false\r\n"));

    // The phrase editor's Done reaches the buttons and writes all nine keys.
    QStringList edited = run.window.phrases();
    edited[0] = QStringLiteral("Yay");
    run.window.applyEditedPhrases(edited);
    EXPECT_EQ(buttons.button(1)->toolTip(), "Yay");
    const QByteArray saved = readAll(path);
    EXPECT_TRUE(saved.contains("Phrase1=Yay\r\n"));
    EXPECT_TRUE(saved.contains("Phrase3=Hi there\r\n"));
    EXPECT_TRUE(saved.contains("Phrase9=Good Game Everyone!\r\n"));
}

// Runs a step as the user nobody when the test runs as the superuser, who
// would otherwise ignore the folder's rights.
template <class Step> void asAnotherUser(Step&& step)
{
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    step();
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
}

// A save that fails (here a folder that became read-only) is said in the chat,
// in the system colour, naming the settings file and the reason; the game goes
// on. The option change and the phrase editor's Done both say it.
TEST(GameWindowSettings, AFailedSaveIsSaidInTheChatNamingTheFile)
{
    QTemporaryDir home;
    const QString path = home.filePath("halvolobby.ini");
    writeAll(path, kStored);
    HostedWindow run(withSettings(path));
    run.connect();
    ASSERT_TRUE(run.connected());
    ASSERT_TRUE(waitUntil([&] { return run.window.settings().wasRead(); }));
    QFile::setPermissions(home.path(),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);

    const auto lastLine = [&] { return run.tchat().chatView().document()->lastBlock(); };
    for (const auto& save : std::vector<std::function<void()>>{
             [&] { run.entry("Fast1")->trigger(); },
             [&] { run.window.applyEditedPhrases(run.window.phrases()); },
         }) {
        run.tchat().chatView().clearMainChat();
        asAnotherUser(save);
        const QString said = lastLine().text();
        EXPECT_TRUE(said.startsWith("The settings were not saved: ")) << said.toStdString();
        EXPECT_TRUE(said.contains(path)) << said.toStdString();
        EXPECT_TRUE(said.contains(QString::fromStdString(std::strerror(EACCES)))) << said.toStdString();
        EXPECT_FALSE(said.contains(".tmp")) << said.toStdString();
        EXPECT_EQ(lastLine().begin().fragment().charFormat().foreground().color(),
                  palette::fromColour(palette::kSystemColour));
    }
    EXPECT_EQ(readAll(path), kStored);
    EXPECT_TRUE(run.tchat().isVisible());
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A stored size the Text Size menu does not offer sizes the chat, checks no
// entry, and is written back as it was until the player picks a size.
TEST(GameWindowSettings, AStoredTextSizeTheMenuLacksIsKeptUntilOneIsPicked)
{
    QTemporaryDir home;
    const QString path = home.filePath("halvolobby.ini");
    writeAll(path, "[Lexiflip]\r\nTextsize=11\r\n");
    HostedWindow run(withSettings(path));
    run.connect();
    ASSERT_TRUE(run.connected());
    ASSERT_TRUE(waitUntil([&] { return run.window.settings().wasRead(); }));
    EXPECT_EQ(run.tchat().chatView().font().pointSize(), 11);
    for (const char* size : {"N8", "N10", "N12", "N14"})
        EXPECT_FALSE(run.entry(size)->isChecked()) << size;

    run.entry("ClearWord")->trigger(); // any saved option writes every key
    EXPECT_TRUE(readAll(path).contains("Textsize=11\r\n")) << readAll(path).toStdString();
    run.entry("N10")->trigger();
    EXPECT_EQ(run.tchat().chatView().font().pointSize(), 10);
    EXPECT_TRUE(run.entry("N10")->isChecked());
    EXPECT_TRUE(readAll(path).contains("Textsize=10\r\n"));
}

// The stored zoom is taken as far as the screen holds it (the offscreen
// screen, 800 x 600, holds only 100 %) and is not overwritten for that; the
// stored bounds, large enough for 125 %, are no player's resize. The zoom a
// player's resize leaves is written at once, and the key then stays.
TEST(GameWindowSettings, TheZoomIsKeptAndAStepTheScreenLacksIsNotForced)
{
    QTemporaryDir home;
    const QString path = home.filePath("halvolobby.ini");
    writeAll(path, "[Lexiflip]\r\nWidth=1000\r\nHeight=800\r\nZoom=150\r\n");
    HostedWindow run(withSettings(path));
    run.connect();
    ASSERT_TRUE(waitUntil([&] { return run.window.settings().wasRead(); }));
    Tchat& window = run.tchat();
    EXPECT_TRUE(window.zoom().zoom().isActualSize());
    EXPECT_EQ(window.size(), QSize(1000, 800));
    run.entry("ClearWord")->trigger(); // any saved option writes every key
    EXPECT_TRUE(readAll(path).contains("Zoom=150\r\n")) << readAll(path).toStdString();

    const QSize frame = window.size() - window.centralWidget()->size();
    window.resize(clientSizeAt(*Zoom::fromPercent(200)) + frame);
    ASSERT_TRUE(waitUntil([&] { return readAll(path).contains("Zoom=200\r\n"); }))
        << readAll(path).toStdString();
    run.entry("ActualSize1")->trigger();
    EXPECT_TRUE(readAll(path).contains("Zoom=100\r\n")) << readAll(path).toStdString();
}

// Stored bounds on no screen (the offscreen screen is 800 x 600 at 0, 0) open
// the window at the reset bounds, which the close then stores.
TEST(GameWindowSettings, BoundsOffEveryScreenOpenTheWindowAtTheResetPlace)
{
    QTemporaryDir home;
    const QString path = home.filePath("halvolobby.ini");
    writeAll(path, "[Lexiflip]\r\nLeft=-32767\r\nTop=32767\r\nWidth=32767\r\nHeight=535\r\n");
    HostedWindow run(withSettings(path));
    run.connect();
    ASSERT_TRUE(waitUntil([&] { return run.window.settings().wasRead(); }));
    EXPECT_EQ(windowBounds(run.tchat()), settings::kResetBounds);
    run.tchat().close();
    const QByteArray saved = readAll(path);
    for (const char* key : {"Left=3\r\n", "Top=3\r\n", "Width=720\r\n", "Height=535\r\n"})
        EXPECT_TRUE(saved.contains(key)) << key << " in " << saved.toStdString();
}

TEST(GameWindowSettings, NothingIsWrittenBeforeTheSettingsWereReadInThisRun)
{
    QTemporaryDir home;
    const QString path = home.filePath("halvolobby.ini");
    writeAll(path, kStored);
    HostedWindow run(withSettings(path));
    // Options changed and the window moved before any host answered.
    run.entry("Slow1")->trigger();
    run.entry("N10")->trigger();
    run.tchat().move(200, 210);
    run.tchat().resize(900, 700);
    run.tchat().close();
    EXPECT_EQ(readAll(path), kStored);
}

TEST(GameWindowSettings, ResetScreenLocationPlacesTheWindowAndTheClientAreaKeepsItsMinimum)
{
    QTemporaryDir home;
    HostedWindow run(withSettings(home.filePath("halvolobby.ini")));
    run.tchat().move(300, 300);
    run.entry("ResetScreenLocation1")->trigger();
    EXPECT_EQ(windowBounds(run.tchat()), settings::kResetBounds);
    run.tchat().resize(100, 100);
    // The panel, 709 x 507, with 5 pixels more across and 4 more down.
    EXPECT_GE(run.tchat().centralWidget()->width(), 714);
    EXPECT_GE(run.tchat().centralWidget()->height(), 511);
}

// Each option's default is written once, in the preferences: a fresh window's
// menus and the parts that follow them show exactly the built-in preferences,
// and a choice in the menu changes the preferences, which the menu then shows.
TEST(GameWindowSettings, AFreshWindowShowsTheBuiltInPreferencesAndChoicesChangeThem)
{
    GameWindow window(3);
    const settings::Preferences builtIn;
    EXPECT_EQ(window.preferences(), builtIn);
    using M = settings::MenuOption;
    const struct {
        const char* name;
        M option;
        int tag;
    } entries[] = {
        {"PlaySounds1", M::PlaySounds, 0}, {"PlayChatterSounds1", M::ChatterSounds, 0},
        {"Classic1", M::TurnSound, 0},     {"New1", M::TurnSound, 1},
        {"Slow1", M::BotSpeed, 1000},      {"Normal1", M::BotSpeed, 750},
        {"Fast1", M::BotSpeed, 250},       {"seetheirs", M::SeeTheirs, 0},
        {"ClearWord", M::ClearWord, 0},    {"N8", M::TextSize, 8},
        {"N10", M::TextSize, 10},          {"N12", M::TextSize, 12},
        {"N14", M::TextSize, 14},          {"StrengthClassic1", M::KlotStrength, 0},
        {"StrengthExpert1", M::KlotStrength, 2},
    };
    MainMenu& menu = window.window().menu();
    for (const auto& e : entries)
        EXPECT_EQ(menu.entry(e.name)->isChecked(), settings::isChecked(e.option, e.tag, builtIn)) << e.name;
    EXPECT_EQ(window.window().sounds().playSounds(), builtIn.playsounds);
    EXPECT_EQ(window.window().chatView().textSize(), builtIn.textsize);
    EXPECT_EQ(window.chat().playChatterSounds(), builtIn.chatterSounds);
    EXPECT_EQ(window.chat().textColour(), builtIn.textcolor);
    EXPECT_EQ(window.chat().actionColour(), builtIn.actioncolor);

    menu.entry("New1")->trigger();
    menu.entry("N12")->trigger();
    menu.entry("PlaySounds1")->trigger();
    EXPECT_EQ(window.preferences().turnsound, settings::TurnSound::New);
    EXPECT_EQ(window.preferences().textsize, 12);
    EXPECT_FALSE(window.preferences().playsounds);
    EXPECT_FALSE(menu.entry("Classic1")->isChecked());
    EXPECT_FALSE(menu.entry("N8")->isChecked());
    EXPECT_FALSE(window.window().sounds().playSounds());
    EXPECT_EQ(window.window().chatView().textSize(), 12);
}

} // namespace
} // namespace lexiflip::client
