#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

#include "client/game/chat_part.h"
#include "core/clock.h"

class QLineEdit;
class QMenu;
class QUrl;

namespace lexiflip::client {

class ClientGame;
class ClientSender;
class Tchat;

// The chat column's Qt half: the entry box mychat (Enter sends, Ctrl+V and its
// pop-up's "Paste" replace its text), the phrase buttons and the chatter sounds
// menu, links in the chat view, and the menu entries "Text Color" and "Action
// Color". The rules live in ChatPart; the settings are read and saved by the
// window's owner through the setters and signals ("Play Chatter Sounds" is one
// of the preferences, handed here by setPlayChatterSounds).
class ChatControls : public QObject, private ChatOutput {
    Q_OBJECT

public:
    // Asks the player for a colour; nothing when the dialog was cancelled.
    using ColourChooser = std::function<std::optional<QColor>(QColor current, const QString& title)>;
    // Opens a link with the system's handler for its kind.
    using LinkOpener = std::function<void(const QUrl& link)>;

    // Takes over the game's received chatter sounds. cooldown is the phrases'
    // cool-down clock; its owner calls cooldownTimer() when it ticks.
    ChatControls(Tchat& window, ClientSender& sender, ClientGame& game, core::Clock& cooldown);
    ~ChatControls() override;

    ChatPart& part() { return m_part; }

    // The settings, applied without saving: Textcolor (also the entry box's
    // font colour), Actioncolor, ChatterSounds, Phrase1 .. Phrase9.
    wire::Colour textColour() const { return m_part.textColour(); }
    void setTextColour(wire::Colour colour);
    wire::Colour actionColour() const { return m_part.actionColour(); }
    void setActionColour(wire::Colour colour);
    bool playChatterSounds() const { return m_part.playChatterSounds(); }
    void setPlayChatterSounds(bool on);
    const chat::Phrases& phrases() const { return m_part.phrases(); }
    void setPhrases(const chat::Phrases& phrases);

    // Seams for tests; by default QColorDialog and QDesktopServices.
    void setColourChooser(ColourChooser chooser) { m_chooseColour = std::move(chooser); }
    void setLinkOpener(LinkOpener opener) { m_openLink = std::move(opener); }

    // The entry box's pop-up menu: "Paste".
    QMenu* entryMenu() const { return m_entryMenu; }

signals:
    // The player changed an option: the settings are to be saved.
    void textColourChosen(lexiflip::wire::Colour colour);   // only when the dialog was confirmed
    void actionColourChosen(lexiflip::wire::Colour colour); // also when cancelled (the colour unchanged)
    // The player clicked an invite link in the chat and said Yes to joining it.
    void inviteAccepted(const QString& link);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void addlinetochat(std::string_view line, wire::Colour colour) override;
    void systemLine(std::string_view line) override;
    void playChatterSound(std::string_view name) override;

    void sendit();
    void pasteIntoEntry();
    void TextColor1Click();
    void ActionColor1Click();
    void onLinkClicked(const QString& link);

    Tchat& m_window;
    ClientGame& m_game;
    QLineEdit& m_entry;
    core::Clock& m_cooldown;
    ChatPart m_part;
    QMenu* m_entryMenu = nullptr;
    ColourChooser m_chooseColour;
    LinkOpener m_openLink;
};

} // namespace lexiflip::client
