#pragma once

#include <string>
#include <string_view>

#include "client/game/chat_rules.h"
#include "client/settings/lexiflip_settings.h"
#include "wire/colour_text.h"

namespace lexiflip::core {
class Clock;
}

namespace lexiflip::client {

class ClientGame;
class ClientSender;

// Where the chat's received chatter sounds end up.
class ChatOutput {
public:
    virtual ~ChatOutput() = default;
    virtual void addlinetochat(std::string_view line, wire::Colour colour) = 0;
    // A line in the client's own voice.
    virtual void systemLine(std::string_view line) = 0;
    // A chatter sound by name, played whatever "Play Sounds" says.
    virtual void playChatterSound(std::string_view name) = 0;
};

// The chat column's behaviour in plain C++: typed chat and actions, the nine
// phrase buttons with their cool-down, and chatter sounds sent and received.
// It reads who this client is (loggedin, myplayer, the seat names) from the
// client game and sends through the same sender.
class ChatPart {
public:
    // cooldown is started for kPhraseCooldownMs when a phrase was sent; its
    // owner calls cooldownTimer() when it fires.
    ChatPart(ClientSender& sender, ChatOutput& output, const ClientGame& game, core::Clock& cooldown);

    // Options, set from the settings and the menus.
    wire::Colour textColour() const { return m_textColour; }
    void setTextColour(wire::Colour colour) { m_textColour = colour; }
    wire::Colour actionColour() const { return m_actionColour; }
    void setActionColour(wire::Colour colour) { m_actionColour = colour; }
    bool playChatterSounds() const { return m_playChatterSounds; }
    void setPlayChatterSounds(bool on) { m_playChatterSounds = on; }
    const chat::Phrases& phrases() const { return m_phrases; }
    void setPhrases(const chat::Phrases& phrases) { m_phrases = phrases; }

    // Enter in the entry box: sends the text as a chat line or an action, or
    // drops it. Returns whether the box is to be emptied, which is whenever
    // this client is logged in; otherwise nothing happens and the text stays.
    bool sendit(std::string_view text);

    // b_phrase1 .. b_phrase9 (button 1..9). Ignored while cooling down. A send
    // that fails (a socket that was never opened raises) leaves the phrase
    // ready, and the failure goes on to the caller.
    void phraseClick(int button);
    bool phraseReady() const { return m_phraseReady; }
    void cooldownTimer();

    // An entry of popup_sounds by its tag: 0 ("<Cancel>") sends nothing, and
    // only a seated, logged-in player sends a sound.
    void soundChosen(int tag);

    // Received CMD_playasound: the sender's slot, "+", the sound's name, "+".
    void playasound(std::string_view payload);

private:
    ClientSender& m_sender;
    ChatOutput& m_output;
    const ClientGame& m_game;
    core::Clock& m_cooldown;

    // Until they are handed over, the preferences' built-in states.
    wire::Colour m_textColour = settings::Preferences{}.textcolor;
    wire::Colour m_actionColour = settings::Preferences{}.actioncolor;
    bool m_playChatterSounds = settings::Preferences{}.chatterSounds;
    chat::Phrases m_phrases = chat::builtInPhrases();
    bool m_phraseReady = true;
};

} // namespace lexiflip::client
