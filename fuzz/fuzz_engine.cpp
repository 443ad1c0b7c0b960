// Arbitrary messages from the network into a running game: every request
// handler of the engine and its clocks, with the invariants that must survive
// whatever a client sends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/random_source.h"
#include "engine/game.h"
#include "engine/sender.h"
#include "engine/virtual_timeline.h"
#include "host/game_requests.h"
#include "wire/accumulator.h"
#include "wire/dispatch_table.h"
#include "wire/host_requests.h"
#include "words/notice_sink.h"
#include "words/tdictn.h"

using namespace lexiflip;

namespace {

struct Quiet : engine::Sender, words::NoticeSink {
    void send(int slot, std::string_view message) override
    {
        if (slot < 1 || slot > 13 || message.empty() || message.back() != '\xFF')
            std::abort();
    }
    void notice(std::string_view) override {}
};

std::string records()
{
    std::string list;
    for (const char* word : {"CAT           ", "EAT           ", "TEA           "}) {
        list += '\x1E';
        list += word;
    }
    return list;
}

void checkInvariants(const engine::GameState& s)
{
    if (s.currentplayer < 0 || s.currentplayer > 6 || s.flipcount < 0 || s.flipcount > 5)
        std::abort();
    for (int x = 1; x <= 10; ++x)
        for (int y = 1; y <= 8; ++y)
            if (s.gamerunning && (s.board[x][y].letter < 1 || s.board[x][y].letter > 26))
                std::abort();
}

} // namespace

extern "C" const char* const* lexiflipFuzzSeeds()
{
    static const char* const seeds[] = {"CMD_startgame+Ann+20+5+t+2+0+\xFF",
                                        "CMD_iflip+1+3+4+\xFF",
                                        "CMD_idone+1+0,3+3,4+0,1\xFF",
                                        "CMD_usebarletter+1+7+1+\xFF",
                                        "CMD_useboardletter+1+3+4+2+\xFF",
                                        "CMD_clickclear+1+1+0,3\xFF",
                                        "CMD_hepass+1+\xFF",
                                        "CMD_clickbuy+1+\xFF",
                                        "CMD_startgame+x+-5+2147483647+f+3+1+\xFF",
                                        "CMD_idone+1+0,9+-1,2+11,8+0,0\xFF",
                                        "\x01\x02\x03",
                                        nullptr};
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string list = records();
    static const std::vector<std::string> words{"aaaa", "cate", "eats", "teas", "tame", "zz", "zz", "zz",
                                                "zz",   "zz",   "zz",   "zz",   "zz",   "zz", "zz"};
    Quiet quiet;
    const words::TDictn dictionary(list, quiet, "/nonexistent-lexiflip-dir");
    core::RandomSource random(size);
    engine::VirtualTimeline timeline;
    auto& timer1 = timeline.addClock();
    auto& computertimer = timeline.addClock();
    engine::Game game(engine::GameServices{quiet, quiet, timer1, computertimer, random, dictionary, words,
                                           [] { return 250; }});
    timeline.setOnTick(timer1, [&] { game.timer1Timer(); });
    timeline.setOnTick(computertimer, [&] { game.computertimerTimer(); });
    for (int slot : {1, 3, 4})
        game.seatConnected(slot);
    game.startgame("Ann+30+5+t+1+0+");

    // Every request the host hands to the game, with any slot field: the
    // engine must survive what the host's admission would drop.
    wire::DispatchTable<> table;
    for (const wire::HostRequestRule& rule : wire::kHostRequests) {
        if (const host::GameRequestHandler handler = host::gameRequestHandler(rule.request))
            table.add(std::string(rule.command),
                      [&game, handler](std::string_view p) { (game.*handler)(p); });
    }

    wire::ReceiveAccumulator accumulator;
    accumulator.feed(std::string_view(reinterpret_cast<const char*>(data), size),
                     [&](std::string_view message) {
                         table.dispatch(message);
                         checkInvariants(game.state());
                         // Let the clocks move between messages, as they do on the host.
                         for (std::size_t i = 0; i < message.size() % 7; ++i)
                             timeline.step();
                         checkInvariants(game.state());
                     });
    // Watching and leaving, the session events, at the input's end.
    const int slot = size ? 1 + data[0] % 6 : 3;
    game.setWatching(slot, true);
    game.seatLeft(slot);
    for (int i = 0; i < 200 && timeline.step(); ++i)
        checkInvariants(game.state());
    return 0;
}
