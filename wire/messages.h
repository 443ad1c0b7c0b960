#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "lexiflip/version.h"
#include "wire/colour_text.h"
#include "wire/field_reader.h"

// Every message of the protocol, built whole with its terminator. This is the
// one place that knows each message's fields and whether a trailing "+" ends
// them.
namespace lexiflip::wire::msg {

// The version text this copy sends and expects.
inline constexpr std::string_view kVersion = kVersionText;

struct Cell {
    int x = 0;
    int y = 0;
    int code = 0;
};

struct BarTile {
    int position = 0;
    int code = 0;
};

// One letter given back from the word: its word position and where it came from.
struct RemovedLetter {
    int wordPosition = 0;
    Origin origin;
};

// Host to one, some or all clients.
std::string sendlogininfo(int slot);
std::string full();
std::string newplayerinfo(int slot, std::string_view name);
std::string existingplayers(int slot, std::string_view name);
std::string havewrongversion(std::string_view name);
std::string wrongversion();
std::string playerdisconnected(int slot, std::string_view name);
// textAndColour is the sender's payload after its slot, passed on unchanged.
std::string chatRelay(std::string_view name, std::string_view textAndColour);
std::string actionRelay(std::string_view name, std::string_view textAndColour);
// rest is "wave" N "+" as the sender wrote it.
std::string playasoundRelay(int slot, std::string_view rest);
std::string justwatching(int slot, std::string_view state);
std::string startgameRelay(std::string_view name, int playtoscore, int creationtime,
                           std::string_view modeDigit, std::string_view maxFour);
std::string theboard(const std::vector<Cell>& cells);
std::string mytiles(int slot, const std::vector<BarTile>& tiles);
std::string nextplayer(int slot);
std::string theirtiles(int slot, const std::vector<BarTile>& tiles);
std::string sneaker(int slot);
std::string sneak(int slot);
std::string heflip(int slot, int x, int y, bool last, int remaining);
std::string heuseboardletter(int slot, int x, int y, int wordPosition, int code);
std::string heusebarletter(int slot, int wordPosition, int code);
// rest is the sender's request after its slot, passed on unchanged.
std::string heclickclear(int slot, std::string_view rest);
std::string hepasses(int slot);
std::string invalid(int slot);
std::string hisword(int slot, std::string_view word, int totalScore, int wordScore,
                    const std::vector<int>& codes);
std::string timeup(int slot);
std::string buytiles(int slot, int newScore);
std::string notenough(int slot);
std::string stats(int slot, int playtoscore, int creationtime, int currentplayer, int turnticks,
                  std::string_view modeWord, std::string_view maxFour, const std::array<int, 6>& seatScores);
std::string isflipped(int slot, const std::vector<Origin>& cells);
std::string tie();
std::string winner(std::string_view name);

// Client to host.
// Ends with a second terminator: the empty entry between the two is dropped by
// the host.
std::string logininfo(int slot, std::string_view version, std::string_view name);
std::string chat(int slot, std::string_view text, Colour colour);
std::string action(int slot, std::string_view text, Colour colour);
std::string kickhim(int senderSlot, int targetSlot);
std::string startgame(std::string_view name, std::string_view playtoscore, std::string_view creationtime,
                      bool viewable, std::string_view modeDigit, std::string_view maxFour);
std::string justwatch(int slot, std::string_view state);
std::string iflip(int slot, int x, int y);
std::string useboardletter(int slot, int x, int y, int wordPosition);
std::string usebarletter(int slot, int barPosition, int wordPosition);
std::string clickclear(int slot, const std::vector<RemovedLetter>& removed);
std::string idone(int slot, const std::vector<Origin>& word);
std::string hepass(int slot);
std::string clickbuy(int slot);
std::string playasound(int slot, int soundNumber);

// The payload of a whole message: the text after its command word's "+", without
// the terminator. The computer player hands its requests to the same handlers a
// client's messages reach, through this.
std::string_view payloadOf(std::string_view message);

} // namespace lexiflip::wire::msg
