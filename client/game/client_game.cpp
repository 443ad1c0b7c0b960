#include "client/game/client_game.h"

#include <array>
#include <utility>

#include "client/game/client_screen.h"
#include "client/game/game_recorder.h"
#include "core/clock.h"
#include "wire/accumulator.h"
#include "wire/colour_text.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"

namespace lexiflip::client {

// The client's dispatch table, in the order commands are compared: each
// command goes to the part that owns it.
struct ClientGame::Dispatch {
    using Handler = void (*)(ClientGame&, std::string_view);
    struct Row {
        std::string_view command;
        Handler handler;
    };
    static constexpr std::array<Row, 32> rows = {{
        {wire::cmd::sendlogininfo, [](ClientGame& g, std::string_view d) { g.m_roster->sendloginfo(d); }},
        {wire::cmd::chat, [](ClientGame& g, std::string_view d) { g.chatrecieved(d); }},
        {wire::cmd::action, [](ClientGame& g, std::string_view d) { g.chatrecieved(d); }},
        {wire::cmd::newplayerinfo, [](ClientGame& g, std::string_view d) { g.m_roster->newplayerinfo(d); }},
        {wire::cmd::havewrongversion,
         [](ClientGame& g, std::string_view d) { g.m_roster->havewrongversion(d); }},
        {wire::cmd::wrongversion, [](ClientGame& g, std::string_view d) { g.m_roster->wrongversion(d); }},
        {wire::cmd::existingplayers, [](ClientGame& g, std::string_view d) { g.m_roster->newplayerinfo(d); }},
        {wire::cmd::playerdisconnected,
         [](ClientGame& g, std::string_view d) { g.m_roster->playerdisconnected(d, g.m_turn->running()); }},
        {wire::cmd::startgame, [](ClientGame& g, std::string_view d) { g.m_turn->startthegame(d); }},
        {wire::cmd::nextplayer, [](ClientGame& g, std::string_view d) { g.m_turn->getnextplayer(d); }},
        {wire::cmd::winner, [](ClientGame& g, std::string_view d) { g.m_turn->winner(d); }},
        {wire::cmd::full, [](ClientGame& g, std::string_view d) { g.m_roster->full(d); }},
        {wire::cmd::justwatching, [](ClientGame& g, std::string_view d) { g.m_roster->justwatching(d); }},
        {wire::cmd::theboard, [](ClientGame& g, std::string_view d) { g.m_turn->theboard(d); }},
        {wire::cmd::mytiles, [](ClientGame& g, std::string_view d) { g.m_turn->mytiles(d); }},
        {wire::cmd::heflip, [](ClientGame& g, std::string_view d) { g.m_turn->heflip(d); }},
        {wire::cmd::invalid, [](ClientGame& g, std::string_view d) { g.m_turn->invalid(d); }},
        {wire::cmd::hisword, [](ClientGame& g, std::string_view d) { g.m_turn->hisword(d); }},
        {wire::cmd::timeup, [](ClientGame& g, std::string_view d) { g.m_turn->timeup(d); }},
        {wire::cmd::heuseboardletter,
         [](ClientGame& g, std::string_view d) { g.m_turn->heuseboardletter(d); }},
        {wire::cmd::heusebarletter, [](ClientGame& g, std::string_view d) { g.m_turn->heusebarletter(d); }},
        {wire::cmd::hepasses, [](ClientGame& g, std::string_view d) { g.m_turn->hepasses(d); }},
        {wire::cmd::heclickclear, [](ClientGame& g, std::string_view d) { g.m_turn->heclickclear(d); }},
        {wire::cmd::tie, [](ClientGame& g, std::string_view d) { g.m_turn->tie(d); }},
        {wire::cmd::buytiles, [](ClientGame& g, std::string_view d) { g.m_turn->buytiles(d); }},
        {wire::cmd::notenough, [](ClientGame& g, std::string_view d) { g.m_turn->notenough(d); }},
        {wire::cmd::stats, [](ClientGame& g, std::string_view d) { g.m_turn->stats(d); }},
        {wire::cmd::isflipped, [](ClientGame& g, std::string_view d) { g.m_turn->isflipped(d); }},
        {wire::cmd::theirtiles, [](ClientGame& g, std::string_view d) { g.m_turn->theirtiles(d); }},
        {wire::cmd::sneak, [](ClientGame& g, std::string_view d) { g.m_turn->getsneak(d); }},
        {wire::cmd::sneaker, [](ClientGame& g, std::string_view d) { g.m_turn->sneaker(d); }},
        {wire::cmd::playasound, [](ClientGame& g, std::string_view d) { g.playasound(d); }},
    }};
    // The row of the entry's command, if any.
    static const Row* find(std::string_view message);
};

ClientGame::ClientGame(ClientSender& sender, ClientScreen& screen, core::TallyCalls& tally,
                       core::Clock& turntime, core::Clock& sneakerClock, std::uint64_t shuffleSeed)
    : m_sender(sender), m_output(screen), m_tally(tally), m_turntime(turntime), m_sneakerClock(sneakerClock),
      m_shuffleSeed(shuffleSeed)
{
    reset();
}

void ClientGame::reset()
{
    if (m_recorder)
        m_recorder->leave();
    m_turntime.stop();
    m_sneakerClock.stop();
    m_turn.reset();
    m_roster = std::make_unique<Roster>(m_sender, m_output);
    m_turn =
        std::make_unique<Turn>(*m_roster, m_output, m_tally, m_turntime, m_sneakerClock, m_shuffleSeed++);
}

void ClientGame::setIshost(bool ishost)
{
    m_roster->setIshost(ishost);
    m_turn->hostRoleChanged();
}

void ClientGame::setPlayasoundHandler(std::function<void(std::string_view)> handler)
{
    m_playasound = std::move(handler);
}

const ClientGame::Dispatch::Row* ClientGame::Dispatch::find(std::string_view message)
{
    const std::optional<wire::SplitEntry> entry = wire::splitEntry(message.substr(0, wire::kMaxMessageBytes));
    if (!entry)
        return nullptr;
    for (const Row& row : rows) {
        if (row.command == entry->command)
            return &row;
    }
    return nullptr;
}

void ClientGame::handle(std::string_view message)
{
    message = message.substr(0, wire::kMaxMessageBytes);
    if (const Dispatch::Row* row = Dispatch::find(message))
        row->handler(*this, wire::splitEntry(message)->payload);
    if (m_recorder)
        m_recorder->handled(message, *this);
    // Whoever holds slot 1 plays for the host: the roster decides, after
    // every message, and the start button and the window follow.
    if (m_roster->takeHostRoleOfSlotOne()) {
        m_turn->hostRoleChanged();
        m_output.screen().becameHostsPlayer();
    }
}

bool ClientGame::handles(std::string_view message)
{
    return Dispatch::find(message) != nullptr;
}

void ClientGame::chatrecieved(std::string_view data)
{
    const wire::ChatText chat = wire::splitChatText(data);
    m_output.screen().addlinetochat(chat.text, chat.colour);
}

void ClientGame::playasound(std::string_view data)
{
    if (m_playasound)
        m_playasound(data);
}

} // namespace lexiflip::client
