#pragma once

#include <string_view>

#include "engine/game.h"
#include "wire/host_requests.h"

namespace lexiflip::host {

using GameRequestHandler = void (engine::Game::*)(std::string_view request);

// The game's handler of a request the game handles; nullptr for the session's
// requests. The host's dispatch and the engine's fuzz target both bind the
// game's requests through this one map.
constexpr GameRequestHandler gameRequestHandler(wire::HostRequest request)
{
    using wire::HostRequest;
    switch (request) {
    case HostRequest::startgame:
        return &engine::Game::startgame;
    case HostRequest::iflip:
        return &engine::Game::iflip;
    case HostRequest::idone:
        return &engine::Game::idone;
    case HostRequest::useboardletter:
        return &engine::Game::useboardletter;
    case HostRequest::usebarletter:
        return &engine::Game::usebarletter;
    case HostRequest::hepass:
        return &engine::Game::hepass;
    case HostRequest::clickclear:
        return &engine::Game::clickclear;
    case HostRequest::clickbuy:
        return &engine::Game::clickbuy;
    case HostRequest::logininfo:
    case HostRequest::kickhim:
    case HostRequest::chat:
    case HostRequest::action:
    case HostRequest::justwatch:
    case HostRequest::playasound:
        return nullptr;
    }
    return nullptr;
}

} // namespace lexiflip::host
