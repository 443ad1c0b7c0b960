#include "client/game/chat_part.h"

#include "client/game/client_game.h"
#include "client/game/client_sender.h"
#include "core/clock.h"
#include "wire/client_messages.h"
#include "wire/messages.h"

namespace lexiflip::client {

ChatPart::ChatPart(ClientSender& sender, ChatOutput& output, const ClientGame& game, core::Clock& cooldown)
    : m_sender(sender), m_output(output), m_game(game), m_cooldown(cooldown)
{
}

bool ChatPart::sendit(std::string_view text)
{
    if (!m_game.roster().loggedin())
        return false;
    const chat::Typed typed = chat::readTyped(text);
    switch (typed.kind) {
    case chat::TypedKind::Chat:
        m_sender.send(wire::msg::chat(m_game.roster().myplayer(), typed.text, m_textColour));
        break;
    case chat::TypedKind::Action:
        m_sender.send(wire::msg::action(m_game.roster().myplayer(), typed.text, m_actionColour));
        break;
    case chat::TypedKind::Nothing:
        break;
    }
    return true;
}

void ChatPart::phraseClick(int button)
{
    if (!m_phraseReady || button < 1 || button > chat::kPhraseCount)
        return;
    const std::string& phrase = m_phrases[static_cast<std::size_t>(button - 1)];
    m_sender.send(wire::msg::action(m_game.roster().myplayer(), chat::phraseAction(phrase), m_actionColour));
    m_phraseReady = false;
    m_cooldown.start(chat::kPhraseCooldownMs);
}

void ChatPart::cooldownTimer()
{
    m_cooldown.stop();
    m_phraseReady = true;
}

void ChatPart::soundChosen(int tag)
{
    if (tag < 1 || tag >= static_cast<int>(chat::kChatterSounds.size()))
        return;
    const int me = m_game.roster().myplayer();
    if (!m_game.roster().loggedin() || me < 1 || me > kSeats)
        return;
    m_sender.send(wire::msg::playasound(me, tag));
}

void ChatPart::playasound(std::string_view payload)
{
    const wire::PlayASound sound = wire::readPlayasound(payload);
    const std::optional<std::string_view> caption = chat::chatterCaption(sound.sound);
    if (!caption)
        return;
    if (m_playChatterSounds) {
        m_output.playChatterSound(sound.sound);
        return;
    }
    // The sender as the seat rows show it.
    if (!sound.seat)
        return;
    m_output.systemLine(chat::chatterLine(m_game.roster().seat(*sound.seat).name, *caption));
}

} // namespace lexiflip::client
