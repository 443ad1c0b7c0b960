#include "wire/messages.h"

#include "wire/accumulator.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"
#include "wire/message_builder.h"

namespace lexiflip::wire::msg {
namespace {

std::string slotOnly(std::string_view command, int slot)
{
    return MessageBuilder(command).add(slot).trailing().str();
}

MessageBuilder& addTiles(MessageBuilder& message, const std::vector<BarTile>& tiles)
{
    for (const BarTile& tile : tiles)
        message.add(tile.position).add(tile.code);
    return message;
}

} // namespace

std::string sendlogininfo(int slot)
{
    return MessageBuilder(cmd::sendlogininfo).add(slot).str();
}
std::string full()
{
    return MessageBuilder(cmd::full).trailing().str();
}

std::string newplayerinfo(int slot, std::string_view name)
{
    return MessageBuilder(cmd::newplayerinfo).add(slot).add(name).str();
}

std::string existingplayers(int slot, std::string_view name)
{
    return MessageBuilder(cmd::existingplayers).add(slot).add(name).str();
}

std::string havewrongversion(std::string_view name)
{
    return MessageBuilder(cmd::havewrongversion).add(name).str();
}

std::string wrongversion()
{
    return MessageBuilder(cmd::wrongversion).trailing().str();
}

std::string playerdisconnected(int slot, std::string_view name)
{
    return MessageBuilder(cmd::playerdisconnected).add(slot).add(name).str();
}

std::string chatRelay(std::string_view name, std::string_view textAndColour)
{
    return MessageBuilder(cmd::chat).add(name).append(" chats: ").append(textAndColour).str();
}

std::string actionRelay(std::string_view name, std::string_view textAndColour)
{
    return MessageBuilder(cmd::action).add(name).append(" ").append(textAndColour).str();
}

std::string playasoundRelay(int slot, std::string_view rest)
{
    return MessageBuilder(cmd::playasound).add(slot).add(rest).str();
}

std::string justwatching(int slot, std::string_view state)
{
    return MessageBuilder(cmd::justwatching).add(slot).add(state).str();
}

std::string startgameRelay(std::string_view name, int playtoscore, int creationtime,
                           std::string_view modeDigit, std::string_view maxFour)
{
    return MessageBuilder(cmd::startgame)
        .add(name)
        .add(playtoscore)
        .add(creationtime)
        .add(modeDigit)
        .add(maxFour)
        .trailing()
        .str();
}

std::string theboard(const std::vector<Cell>& cells)
{
    // The one message whose list follows the command word directly: the "+"
    // before the first x is the one that ends the command word.
    MessageBuilder message(cmd::theboard);
    for (const Cell& cell : cells)
        message.add(cell.x).add(cell.y).add(cell.code);
    return message.str();
}

std::string mytiles(int slot, const std::vector<BarTile>& tiles)
{
    MessageBuilder message(cmd::mytiles);
    message.add(slot);
    return addTiles(message, tiles).str();
}

std::string nextplayer(int slot)
{
    return slotOnly(cmd::nextplayer, slot);
}

std::string theirtiles(int slot, const std::vector<BarTile>& tiles)
{
    MessageBuilder message(cmd::theirtiles);
    message.add(slot);
    return addTiles(message, tiles).str();
}

std::string sneaker(int slot)
{
    return slotOnly(cmd::sneaker, slot);
}
std::string sneak(int slot)
{
    return slotOnly(cmd::sneak, slot);
}

std::string heflip(int slot, int x, int y, bool last, int remaining)
{
    return MessageBuilder(cmd::heflip)
        .add(slot)
        .add(x)
        .add(y)
        .add(last ? "t" : "f")
        .add(remaining)
        .trailing()
        .str();
}

std::string heuseboardletter(int slot, int x, int y, int wordPosition, int code)
{
    return MessageBuilder(cmd::heuseboardletter)
        .add(slot)
        .add(x)
        .add(y)
        .add(wordPosition)
        .add(code)
        .trailing()
        .str();
}

std::string heusebarletter(int slot, int wordPosition, int code)
{
    return MessageBuilder(cmd::heusebarletter).add(slot).add(wordPosition).add(code).trailing().str();
}

std::string heclickclear(int slot, std::string_view rest)
{
    return MessageBuilder(cmd::heclickclear).add(slot).add(rest).str();
}

std::string hepasses(int slot)
{
    return slotOnly(cmd::hepasses, slot);
}
std::string invalid(int slot)
{
    return slotOnly(cmd::invalid, slot);
}

std::string hisword(int slot, std::string_view word, int totalScore, int wordScore,
                    const std::vector<int>& codes)
{
    MessageBuilder message(cmd::hisword);
    message.add(slot).add(word).add(totalScore).add(wordScore);
    for (int code : codes)
        message.add(code);
    return message.str();
}

std::string timeup(int slot)
{
    return slotOnly(cmd::timeup, slot);
}

std::string buytiles(int slot, int newScore)
{
    return MessageBuilder(cmd::buytiles).add(slot).add(newScore).add(20).trailing().str();
}

std::string notenough(int slot)
{
    return slotOnly(cmd::notenough, slot);
}

std::string stats(int slot, int playtoscore, int creationtime, int currentplayer, int turnticks,
                  std::string_view modeWord, std::string_view maxFour, const std::array<int, 6>& seatScores)
{
    MessageBuilder message(cmd::stats);
    message.add(slot).add(playtoscore).add(creationtime).add(currentplayer).add(turnticks);
    message.add(modeWord).add(maxFour);
    for (int seat = 1; seat <= 6; ++seat)
        message.add(seat).add(seatScores[seat - 1]);
    return message.str();
}

std::string isflipped(int slot, const std::vector<Origin>& cells)
{
    MessageBuilder message(cmd::isflipped);
    message.add(slot);
    for (const Origin& cell : cells)
        message.add(cell.x).add(cell.y);
    return message.str();
}

std::string tie()
{
    return MessageBuilder(cmd::tie).trailing().str();
}
std::string winner(std::string_view name)
{
    return MessageBuilder(cmd::winner).add(name).trailing().str();
}

std::string logininfo(int slot, std::string_view version, std::string_view name)
{
    return MessageBuilder(cmd::logininfo).add(slot).add(version).add(name).str() + kTerminator;
}

std::string chat(int slot, std::string_view text, Colour colour)
{
    return MessageBuilder(cmd::chat).add(slot).add(joinChatText(text, colour)).str();
}

std::string action(int slot, std::string_view text, Colour colour)
{
    return MessageBuilder(cmd::action).add(slot).add(joinChatText(text, colour)).str();
}

std::string kickhim(int senderSlot, int targetSlot)
{
    return MessageBuilder(cmd::kickhim).add(senderSlot).add(targetSlot).trailing().str();
}

std::string startgame(std::string_view name, std::string_view playtoscore, std::string_view creationtime,
                      bool viewable, std::string_view modeDigit, std::string_view maxFour)
{
    return MessageBuilder(cmd::startgame)
        .add(name)
        .add(playtoscore)
        .add(creationtime)
        .add(viewable ? "t" : "f")
        .add(modeDigit)
        .add(maxFour)
        .trailing()
        .str();
}

std::string justwatch(int slot, std::string_view state)
{
    return MessageBuilder(cmd::justwatch).add(slot).add(state).str();
}

std::string iflip(int slot, int x, int y)
{
    return MessageBuilder(cmd::iflip).add(slot).add(x).add(y).trailing().str();
}

std::string useboardletter(int slot, int x, int y, int wordPosition)
{
    return MessageBuilder(cmd::useboardletter).add(slot).add(x).add(y).add(wordPosition).trailing().str();
}

std::string usebarletter(int slot, int barPosition, int wordPosition)
{
    return MessageBuilder(cmd::usebarletter).add(slot).add(barPosition).add(wordPosition).trailing().str();
}

std::string clickclear(int slot, const std::vector<RemovedLetter>& removed)
{
    MessageBuilder message(cmd::clickclear);
    message.add(slot);
    for (const RemovedLetter& letter : removed)
        message.add(letter.wordPosition).addOrigin(letter.origin.x, letter.origin.y);
    return message.str();
}

std::string idone(int slot, const std::vector<Origin>& word)
{
    MessageBuilder message(cmd::idone);
    message.add(slot);
    for (const Origin& origin : word)
        message.addOrigin(origin.x, origin.y);
    return message.str();
}

std::string hepass(int slot)
{
    return slotOnly(cmd::hepass, slot);
}
std::string clickbuy(int slot)
{
    return slotOnly(cmd::clickbuy, slot);
}

std::string playasound(int slot, int soundNumber)
{
    return MessageBuilder(cmd::playasound)
        .add(slot)
        .add("wave" + std::to_string(soundNumber))
        .trailing()
        .str();
}

std::string_view payloadOf(std::string_view message)
{
    if (!message.empty() && message.back() == kTerminator)
        message.remove_suffix(1);
    const auto split = splitEntry(message);
    return split ? split->payload : std::string_view{};
}

} // namespace lexiflip::wire::msg
