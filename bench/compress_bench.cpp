// Fast-mode throughput of the tally codec on a mixed corpus (word list text,
// random bytes, this program's own binary), beside lz4 and zlib level 1 run on
// the same corpus in the same process. The summary at the end gives the
// ratios against the targets: compress at least 0.5 of lz4 and 3 times zlib-1,
// decompress at least 0.3 of lz4.

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "compress/tlzrw1.h"

using lexiflip::compress::TCompressMode;
using lexiflip::compress::Tlzrw1;

namespace {

std::string readFile(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Corpus {
    std::string text;
    std::string random;
    std::string binary;
    std::string mixed;
};

const Corpus& corpus()
{
    static const Corpus c = [] {
        Corpus c;
        for (const char* suffix : {"10", "20", "35", "40", "50", "55", "60", "70", "80", "95"})
            c.text += readFile(("/usr/share/dict/scowl/english-words." + std::string(suffix)).c_str());
        if (c.text.empty())
            c.text = readFile("/usr/share/dict/words");
        if (c.text.empty()) {
            std::fprintf(stderr, "no word list found; the text part is empty\n");
        }
        std::mt19937_64 engine(42);
        c.random.resize(1 << 20);
        for (char& ch : c.random)
            ch = static_cast<char>(engine() >> 56);
        c.binary = readFile("/proc/self/exe");
        c.mixed = c.text + c.random + c.binary;
        return c;
    }();
    return c;
}

std::map<std::string, double> g_compressedShare;

void setBytes(benchmark::State& state, std::size_t bytes)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

// ---- the tally codec, Fast mode, through the in-memory interface ----

void BM_Lzrw1FastCompress(benchmark::State& state)
{
    const std::string& input = corpus().mixed;
    Tlzrw1 lzrw1;
    lzrw1.setCompressMode(TCompressMode::Fast);
    // One output string reused, as the baselines reuse their output buffers.
    std::string container;
    for (auto _ : state) {
        lzrw1.compressBytes(input, container);
        benchmark::DoNotOptimize(container.data());
    }
    g_compressedShare["lzrw1"] = static_cast<double>(container.size()) / static_cast<double>(input.size());
    setBytes(state, input.size());
}

void BM_Lzrw1FastDecompress(benchmark::State& state)
{
    const std::string& input = corpus().mixed;
    Tlzrw1 lzrw1;
    lzrw1.setCompressMode(TCompressMode::Fast);
    const std::string container = lzrw1.compressBytes(input);
    std::string plain;
    for (auto _ : state) {
        lzrw1.decompressBytes(container, plain);
        benchmark::DoNotOptimize(plain.data());
        if (plain.size() != input.size())
            state.SkipWithError("round trip lost bytes");
    }
    setBytes(state, input.size());
}

// ---- baselines ----

void BM_Lz4Compress(benchmark::State& state)
{
    const std::string& input = corpus().mixed;
    std::vector<char> out(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(input.size()))));
    int n = 0;
    for (auto _ : state) {
        n = LZ4_compress_default(input.data(), out.data(), static_cast<int>(input.size()),
                                 static_cast<int>(out.size()));
        benchmark::DoNotOptimize(out.data());
    }
    g_compressedShare["lz4"] = static_cast<double>(n) / static_cast<double>(input.size());
    setBytes(state, input.size());
}

void BM_Lz4Decompress(benchmark::State& state)
{
    const std::string& input = corpus().mixed;
    std::vector<char> packed(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(input.size()))));
    const int n = LZ4_compress_default(input.data(), packed.data(), static_cast<int>(input.size()),
                                       static_cast<int>(packed.size()));
    std::vector<char> out(input.size());
    for (auto _ : state) {
        const int got = LZ4_decompress_safe(packed.data(), out.data(), n, static_cast<int>(out.size()));
        benchmark::DoNotOptimize(out.data());
        if (got != static_cast<int>(input.size()))
            state.SkipWithError("lz4 round trip failed");
    }
    setBytes(state, input.size());
}

void BM_Zlib1Compress(benchmark::State& state)
{
    const std::string& input = corpus().mixed;
    std::vector<Bytef> out(compressBound(input.size()));
    uLongf n = 0;
    for (auto _ : state) {
        n = out.size();
        compress2(out.data(), &n, reinterpret_cast<const Bytef*>(input.data()), input.size(), 1);
        benchmark::DoNotOptimize(out.data());
    }
    g_compressedShare["zlib-1"] = static_cast<double>(n) / static_cast<double>(input.size());
    setBytes(state, input.size());
}

void BM_Zlib1Decompress(benchmark::State& state)
{
    const std::string& input = corpus().mixed;
    std::vector<Bytef> packed(compressBound(input.size()));
    uLongf n = packed.size();
    compress2(packed.data(), &n, reinterpret_cast<const Bytef*>(input.data()), input.size(), 1);
    std::vector<Bytef> out(input.size());
    for (auto _ : state) {
        uLongf got = out.size();
        uncompress(out.data(), &got, packed.data(), n);
        benchmark::DoNotOptimize(out.data());
        if (got != input.size())
            state.SkipWithError("zlib round trip failed");
    }
    setBytes(state, input.size());
}

BENCHMARK(BM_Lzrw1FastCompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lz4Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zlib1Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lzrw1FastDecompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lz4Decompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zlib1Decompress)->Unit(benchmark::kMillisecond);

// Console output as usual, and the MB/s of every run kept for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end() && run.run_type == Run::RT_Iteration)
                m_mbps[run.run_name.function_name] = rate->second.value / 1e6;
        }
    }

    double mbps(const std::string& name) const
    {
        const auto it = m_mbps.find(name);
        return it == m_mbps.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_mbps;
};

void printLine(const char* what, double ours, double base, const char* baseName, double target)
{
    const double ratio = base > 0 ? ours / base : 0.0;
    std::printf("  %-10s %8.1f MB/s vs %-6s %8.1f MB/s: ratio %5.2f (target >= %.1f) %s\n", what, ours,
                baseName, base, ratio, target, ratio >= target ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const Corpus& c = corpus();
    std::printf("Corpus: %zu bytes (text %zu, random %zu, binary %zu)\n", c.mixed.size(), c.text.size(),
                c.random.size(), c.binary.size());
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double fastC = reporter.mbps("BM_Lzrw1FastCompress");
    const double fastD = reporter.mbps("BM_Lzrw1FastDecompress");
    std::printf("\nLZRW1/KH (Fast) against the baselines, same corpus, same run:\n");
    printLine("compress", fastC, reporter.mbps("BM_Lz4Compress"), "lz4", 0.5);
    printLine("compress", fastC, reporter.mbps("BM_Zlib1Compress"), "zlib-1", 3.0);
    printLine("decompress", fastD, reporter.mbps("BM_Lz4Decompress"), "lz4", 0.3);
    std::printf("  compressed size: lzrw1 %.1f%%, lz4 %.1f%%, zlib-1 %.1f%% of the input\n",
                100 * g_compressedShare["lzrw1"], 100 * g_compressedShare["lz4"],
                100 * g_compressedShare["zlib-1"]);
    return 0;
}
