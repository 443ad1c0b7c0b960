#pragma once

#include <array>
#include <string_view>

#include "wire/commands.h"
#include "wire/game_size.h"

namespace lexiflip::wire {

// Every request a client sends the host, each command word once.
enum class HostRequest {
    logininfo,
    kickhim,
    chat,
    action,
    startgame,
    justwatch,
    iflip,
    idone,
    useboardletter,
    usebarletter,
    hepass,
    clickclear,
    clickbuy,
    playasound,
};

// Who may send a request, read from the slot it came on.
enum class Sender {
    // The first field names the sender's own slot.
    ownSlot,
    // As ownSlot, but the host's own player (slot 1) may name any seat: he
    // acts for other seats from the seat menu.
    ownSlotOrHostForAnyone,
    // No slot field; only the host's own player has the button that sends it.
    hostOnly,
};

// Which part of the host handles a request.
enum class Handler { session, game };

struct HostRequestRule {
    HostRequest request;
    std::string_view command;
    Sender sender;
    Handler handler;
};

// The host's requests in the order the command word is compared.
inline constexpr std::array<HostRequestRule, 14> kHostRequests{{
    {HostRequest::logininfo, cmd::logininfo, Sender::ownSlot, Handler::session},
    {HostRequest::kickhim, cmd::kickhim, Sender::ownSlotOrHostForAnyone, Handler::session},
    {HostRequest::chat, cmd::chat, Sender::ownSlot, Handler::session},
    {HostRequest::action, cmd::action, Sender::ownSlot, Handler::session},
    {HostRequest::startgame, cmd::startgame, Sender::hostOnly, Handler::game},
    {HostRequest::justwatch, cmd::justwatch, Sender::ownSlotOrHostForAnyone, Handler::session},
    {HostRequest::iflip, cmd::iflip, Sender::ownSlot, Handler::game},
    {HostRequest::idone, cmd::idone, Sender::ownSlot, Handler::game},
    {HostRequest::useboardletter, cmd::useboardletter, Sender::ownSlot, Handler::game},
    {HostRequest::usebarletter, cmd::usebarletter, Sender::ownSlot, Handler::game},
    {HostRequest::hepass, cmd::hepass, Sender::ownSlot, Handler::game},
    {HostRequest::clickclear, cmd::clickclear, Sender::ownSlot, Handler::game},
    {HostRequest::clickbuy, cmd::clickbuy, Sender::ownSlot, Handler::game},
    {HostRequest::playasound, cmd::playasound, Sender::ownSlot, Handler::session},
}};

// The rule of a command word; nullptr for a word the host does not handle.
const HostRequestRule* findHostRequest(std::string_view command);

// Whether the host acts on a received entry that came on the connection in
// fromSlot. A message is acted on only in the name of the connection it came
// on: a slot field that is not the sender's, or outside 1..9, is dropped, and
// so is an entry that is not a message. Words the host does not handle are
// admitted: dropping them is the dispatch table's job.
bool admits(std::string_view entry, int fromSlot);

} // namespace lexiflip::wire
