// The receive path of the host: bytes cut into messages at 0xFF by the
// accumulator, then dispatched by command word, against a plain memchr split
// of the same bytes as the baseline.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "wire/accumulator.h"
#include "wire/commands.h"
#include "wire/dispatch_table.h"
#include "wire/messages.h"

using namespace lexiflip::wire;

namespace {

// What a host receives in a game: mostly flips and word building, some chat,
// submissions and passes.
std::string realisticStream(int messages)
{
    std::string stream;
    for (int i = 0; i < messages; ++i) {
        const int slot = 1 + i % 6;
        switch (i % 10) {
        case 0:
        case 1:
        case 2:
            stream += msg::iflip(slot, 1 + i % 10, 1 + i % 8);
            break;
        case 3:
        case 4:
            stream += msg::usebarletter(slot, 1 + i % 7, 1 + i % 10);
            break;
        case 5:
            stream += msg::useboardletter(slot, 1 + i % 10, 1 + i % 8, 2);
            break;
        case 6:
            stream += msg::chat(slot, "nice one, that was a long word + a bonus", 0x00FF00);
            break;
        case 7:
            stream += msg::idone(slot, {{0, 1}, {3, 4}, {0, 2}, {0, 7}, {5, 5}});
            break;
        case 8:
            stream += msg::hepass(slot);
            break;
        default:
            stream += msg::clickclear(slot, {{1, {0, 3}}, {2, {5, 2}}});
            break;
        }
    }
    return stream;
}

// Delivered in chunks the size of a TCP segment, so messages straddle reads.
constexpr std::size_t kReadSize = 1460;
constexpr int kMessages = 10000;

void BM_AccumulateAndDispatch(benchmark::State& state)
{
    const std::string stream = realisticStream(kMessages);
    long long handled = 0;
    DispatchTable<int> table;
    for (std::string_view command :
         {cmd::logininfo, cmd::kickhim, cmd::chat, cmd::action, cmd::startgame, cmd::justwatch, cmd::iflip,
          cmd::idone, cmd::useboardletter, cmd::usebarletter, cmd::hepass, cmd::clickclear, cmd::clickbuy,
          cmd::playasound})
        table.add(std::string(command),
                  [&handled](std::string_view payload, int) { handled += payload.size(); });
    for (auto _ : state) {
        ReceiveAccumulator accumulator;
        for (std::size_t at = 0; at < stream.size(); at += kReadSize) {
            accumulator.feed(std::string_view(stream).substr(at, kReadSize),
                             [&](std::string_view message) { table.dispatch(message, 1); });
        }
        benchmark::DoNotOptimize(handled);
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(stream.size()));
}
BENCHMARK(BM_AccumulateAndDispatch);

// Baseline: find each terminator with memchr and count the pieces, nothing more.
void BM_BaselineMemchrSplit(benchmark::State& state)
{
    const std::string stream = realisticStream(kMessages);
    for (auto _ : state) {
        long long pieces = 0;
        const char* at = stream.data();
        const char* end = stream.data() + stream.size();
        while (const void* found = std::memchr(at, '\xFF', static_cast<std::size_t>(end - at))) {
            ++pieces;
            at = static_cast<const char*>(found) + 1;
        }
        benchmark::DoNotOptimize(pieces);
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(stream.size()));
}
BENCHMARK(BM_BaselineMemchrSplit);

} // namespace

BENCHMARK_MAIN();
