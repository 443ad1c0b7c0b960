// How fast TDictn answers the host's word check, and what it holds on the heap.
//
//     dictionary_bench [--benchmark_filter=...]
//
// Every figure comes with its baseline from the same run: the same questions
// asked of a std::unordered_set<std::string> holding the same words (the
// lookup a program would write if it kept the list in memory), and the heap
// that set needs. The questions are a game's mix: words of the list in the
// lower case the word check passes, and near misses (one letter changed or
// added) that are not in it. A counting operator new measures the heap.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include <unistd.h>

#include "assets/embedded.h"
#include "words/notice_sink.h"
#include "words/tdictn.h"

// Heap accounting: every allocation carries its size in a header, so that the
// bytes alive at any moment are known exactly.
namespace heap {
std::atomic<long long> liveBytes{0};
std::atomic<long long> allocations{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);
} // namespace heap

// Not inlined: the compiler would otherwise pair each call site's new with
// the free() inside and warn of a mismatch that is not there.
__attribute__((noinline)) void* operator new(std::size_t size)
{
    void* block = std::malloc(size + heap::kHeader);
    if (!block)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    heap::liveBytes += static_cast<long long>(size);
    ++heap::allocations;
    return static_cast<char*>(block) + heap::kHeader;
}

__attribute__((noinline)) void operator delete(void* pointer) noexcept
{
    if (!pointer)
        return;
    void* block = static_cast<char*>(pointer) - heap::kHeader;
    heap::liveBytes -= static_cast<long long>(*static_cast<std::size_t*>(block));
    std::free(block);
}

void operator delete(void* pointer, std::size_t) noexcept
{
    operator delete(pointer);
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void operator delete[](void* pointer) noexcept
{
    operator delete(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    operator delete(pointer);
}

namespace {

using lexiflip::words::TDictn;

class QuietNotices : public lexiflip::words::NoticeSink {
public:
    void notice(std::string_view text) override
    {
        std::fprintf(stderr, "notice: %.*s\n", int(text.size()), text.data());
    }
};

// A directory with no "English" in it, so that the embedded list is the one used.
std::filesystem::path emptyDirectory()
{
    static const std::filesystem::path dir = [] {
        auto path = std::filesystem::temp_directory_path() / "lexiflip-dictionary-bench";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

// The shipped list's words, lower case, trimmed.
std::vector<std::string> shippedWords()
{
    const std::string_view records = lexiflip::assets::dictionaryRecords();
    std::vector<std::string> words;
    for (std::size_t at = 0; at + TDictn::kRecordSize <= records.size(); at += TDictn::kRecordSize) {
        std::string word(records.substr(at + 1, 14));
        word.erase(word.find_last_not_of(' ') + 1);
        for (char& c : word)
            c = char(c - 'A' + 'a');
        words.push_back(word);
    }
    return words;
}

const std::vector<std::string>& words()
{
    static const std::vector<std::string> list = shippedWords();
    return list;
}

const std::unordered_set<std::string>& wordSet()
{
    static const std::unordered_set<std::string> set(words().begin(), words().end());
    return set;
}

// Half words of the list, half near misses, in a fixed shuffled order.
const std::vector<std::string>& questions()
{
    static const std::vector<std::string> mix = [] {
        std::mt19937_64 random(20240501);
        const std::vector<std::string>& list = words();
        std::vector<std::string> asked;
        while (asked.size() < 8192) {
            std::string word = list[random() % list.size()];
            if (asked.size() % 2) {
                if (word.size() < 14 && random() % 2)
                    word.insert(word.begin() + long(random() % (word.size() + 1)), char('a' + random() % 26));
                else
                    word[random() % word.size()] = char('a' + random() % 26);
                if (wordSet().count(word))
                    continue; // the change made another word of the list
            }
            asked.push_back(word);
        }
        std::shuffle(asked.begin(), asked.end(), random);
        return asked;
    }();
    return mix;
}

void countAnswers(benchmark::State& state, std::size_t found, std::size_t asked)
{
    state.SetItemsProcessed(static_cast<long long>(asked));
    state.counters["found_share"] = double(found) / double(asked);
}

void BM_TDictnEmbedded(benchmark::State& state)
{
    const auto& asked = questions();
    QuietNotices notices;
    const long long before = heap::liveBytes;
    TDictn spell(lexiflip::assets::dictionaryRecords(), notices, emptyDirectory());
    state.counters["heap_held_bytes"] = double(heap::liveBytes - before);
    std::size_t i = 0, found = 0, count = 0;
    const long long allocationsBefore = heap::allocations;
    for (auto _ : state) {
        found += spell.checkWord(asked[i]);
        ++count;
        i = (i + 1) % asked.size();
    }
    state.counters["allocations_per_check"] = double(heap::allocations - allocationsBefore) / double(count);
    countAnswers(state, found, count);
}
BENCHMARK(BM_TDictnEmbedded);

void BM_TDictnEnglishFile(benchmark::State& state)
{
    const auto& asked = questions();
    const std::filesystem::path dir = emptyDirectory() / "with-english";
    std::filesystem::create_directories(dir);
    {
        const std::string_view records = lexiflip::assets::dictionaryRecords();
        std::ofstream(dir / "English", std::ios::binary).write(records.data(), long(records.size()));
    }
    QuietNotices notices;
    const long long before = heap::liveBytes;
    {
        TDictn spell(std::string_view(), notices, dir);
        state.counters["heap_held_bytes"] = double(heap::liveBytes - before);
        std::size_t i = 0, found = 0, count = 0;
        for (auto _ : state) {
            found += spell.checkWord(asked[i]);
            ++count;
            i = (i + 1) % asked.size();
        }
        countAnswers(state, found, count);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TDictnEnglishFile);

void BM_UnorderedSetBaseline(benchmark::State& state)
{
    const auto& asked = questions();
    const long long before = heap::liveBytes;
    const std::unordered_set<std::string> set(words().begin(), words().end());
    state.counters["heap_held_bytes"] = double(heap::liveBytes - before);
    std::size_t i = 0, found = 0, count = 0;
    for (auto _ : state) {
        found += set.count(asked[i]);
        ++count;
        i = (i + 1) % asked.size();
    }
    countAnswers(state, found, count);
}
BENCHMARK(BM_UnorderedSetBaseline);

// Keeps each run's CPU time per check (steadier than wall time on a busy
// machine; every check is single-threaded) and heap, for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto heapHeld = run.counters.find("heap_held_bytes");
            results[run.benchmark_name()] = {run.GetAdjustedCPUTime() /
                                                 benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9,
                                             heapHeld == run.counters.end() ? 0.0 : double(heapHeld->second)};
        }
    }
    struct Result {
        double nanosecondsPerCheck;
        double heapBytes;
    };
    std::map<std::string, Result> results;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    questions(); // built before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto baseline = reporter.results.find("BM_UnorderedSetBaseline");
    if (baseline == reporter.results.end())
        return 0;
    std::printf("\nAgainst std::unordered_set<std::string> of the same %zu words (%.0f ns CPU per check, "
                "%.1f MB heap):\n",
                words().size(), baseline->second.nanosecondsPerCheck, baseline->second.heapBytes / 1e6);
    for (const auto& [name, result] : reporter.results) {
        if (name == baseline->first)
            continue;
        std::printf(
            "  %-22s %6.0f ns CPU per check (%.2fx the set's time; target 2000 ns), heap held %.0f bytes "
            "(%.5f of the set's)\n",
            name.c_str(), result.nanosecondsPerCheck,
            result.nanosecondsPerCheck / baseline->second.nanosecondsPerCheck, result.heapBytes,
            result.heapBytes / baseline->second.heapBytes);
    }
    return 0;
}
