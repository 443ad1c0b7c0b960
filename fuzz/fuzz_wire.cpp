// Arbitrary bytes through the receive path: the accumulator cuts them (at
// split points the input chooses), the dispatcher routes each message, and the
// field readers take every field apart the way the handlers do.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "wire/accumulator.h"
#include "wire/colour_text.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"
#include "wire/field_reader.h"

using namespace lexiflip::wire;

namespace {

void readEverything(std::string_view payload)
{
    FieldReader fields(payload);
    for (int i = 0; i < 4; ++i)
        (void)fields.nextInt();
    for (std::string_view item : fields.list()) {
        (void)parseInt(item);
        (void)parseOrigin(item);
    }
    const ChatText chat = splitChatText(fields.rest());
    if (chat.text.size() > payload.size())
        std::abort();
    if (colourFromText(colourToText(chat.colour)) != chat.colour)
        std::abort();
}

DispatchTable<> makeTable()
{
    DispatchTable<> table;
    for (std::string_view command :
         {cmd::logininfo, cmd::kickhim,    cmd::chat,      cmd::action,         cmd::startgame,
          cmd::justwatch, cmd::iflip,      cmd::idone,     cmd::useboardletter, cmd::usebarletter,
          cmd::hepass,    cmd::clickclear, cmd::clickbuy,  cmd::playasound,     cmd::theboard,
          cmd::mytiles,   cmd::stats,      cmd::isflipped, cmd::hisword,        cmd::winner})
        table.add(std::string(command), readEverything);
    return table;
}

} // namespace

extern "C" const char* const* lexiflipFuzzSeeds()
{
    static const char* const seeds[] = {"CMD_logininfo+1+1.0.3+You\xFF\xFF",
                                        "CMD_chat+1+hi+there|clBlack\xFF",
                                        "CMD_iflip+1+3+4+\xFF",
                                        "CMD_idone+1+0,3+5,2+0,1\xFF",
                                        "CMD_theboard+1+1+5+1+2+9\xFF",
                                        "CMD_mytiles+2+1+3+7+9\xFF",
                                        "CMD_stats+3+100+60+2+41+help+0+1+10+2+20\xFF",
                                        "CMD_clickclear+1+1+0,3+2+5,2\xFF",
                                        nullptr};
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const DispatchTable<> table = makeTable();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReceiveAccumulator accumulator;
    std::size_t at = 0;
    std::size_t step = 1;
    while (at < bytes.size()) {
        const std::string_view piece = bytes.substr(at, step);
        accumulator.feed(piece, [](std::string_view message) {
            if (message.size() > kMaxMessageBytes)
                std::abort();
            table.dispatch(message);
        });
        if (accumulator.pendingBytes() > kMaxMessageBytes)
            std::abort();
        at += piece.size();
        step = step * 7 % 97 + 1; // uneven reads, the same for the same input
    }
    return 0;
}
