#pragma once

#include <string_view>

// Every command word of the protocol. Comparison is exact and case-sensitive.
namespace lexiflip::wire::cmd {

// Client to host.
inline constexpr std::string_view logininfo = "CMD_logininfo";
inline constexpr std::string_view kickhim = "CMD_kickhim";
inline constexpr std::string_view chat = "CMD_chat";
inline constexpr std::string_view action = "CMD_action";
inline constexpr std::string_view startgame = "CMD_startgame";
inline constexpr std::string_view justwatch = "CMD_justwatch";
inline constexpr std::string_view iflip = "CMD_iflip";
inline constexpr std::string_view idone = "CMD_idone";
inline constexpr std::string_view useboardletter = "CMD_useboardletter";
inline constexpr std::string_view usebarletter = "CMD_usebarletter";
inline constexpr std::string_view hepass = "CMD_hepass";
inline constexpr std::string_view clickclear = "CMD_clickclear";
inline constexpr std::string_view clickbuy = "CMD_clickbuy";
inline constexpr std::string_view playasound = "CMD_playasound";

// Host to clients (chat, action, playasound and startgame go both ways).
inline constexpr std::string_view sendlogininfo = "CMD_sendlogininfo";
inline constexpr std::string_view full = "CMD_full";
inline constexpr std::string_view newplayerinfo = "CMD_newplayerinfo";
inline constexpr std::string_view existingplayers = "CMD_existingplayers";
inline constexpr std::string_view havewrongversion = "CMD_havewrongversion";
inline constexpr std::string_view wrongversion = "CMD_wrongversion";
inline constexpr std::string_view playerdisconnected = "CMD_playerdisconnected";
inline constexpr std::string_view justwatching = "CMD_justwatching";
inline constexpr std::string_view theboard = "CMD_theboard";
inline constexpr std::string_view mytiles = "CMD_mytiles";
inline constexpr std::string_view nextplayer = "CMD_nextplayer";
inline constexpr std::string_view theirtiles = "CMD_theirtiles";
inline constexpr std::string_view sneaker = "CMD_sneaker";
inline constexpr std::string_view sneak = "CMD_sneak";
inline constexpr std::string_view heflip = "CMD_heflip";
inline constexpr std::string_view heuseboardletter = "CMD_heuseboardletter";
inline constexpr std::string_view heusebarletter = "CMD_heusebarletter";
inline constexpr std::string_view heclickclear = "CMD_heclickclear";
inline constexpr std::string_view hepasses = "CMD_hepasses";
inline constexpr std::string_view invalid = "CMD_invalid";
inline constexpr std::string_view hisword = "CMD_hisword";
inline constexpr std::string_view timeup = "CMD_timeup";
inline constexpr std::string_view buytiles = "CMD_buytiles";
inline constexpr std::string_view notenough = "CMD_notenough";
inline constexpr std::string_view stats = "CMD_stats";
inline constexpr std::string_view isflipped = "CMD_isflipped";
inline constexpr std::string_view tie = "CMD_tie";
inline constexpr std::string_view winner = "CMD_winner";

} // namespace lexiflip::wire::cmd
