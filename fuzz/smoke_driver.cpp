// Runs a fuzz target without libFuzzer: a fixed number of inputs from a seeded
// generator, each either random bytes or a mutation of the target's seed
// texts, so every test run carries a short fuzz pass. Real fuzzing uses the
// libFuzzer build (LEXIFLIP_FUZZ=ON).
//
// Usage: <target>_smoke [runs [corpus directory]]; the files of the corpus
// directory (the one libFuzzer starts from) are seeds too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Seed texts a target may offer; weak so that targets without any still link.
extern "C" __attribute__((weak)) const char* const* lexiflipFuzzSeeds();

int main(int argc, char** argv)
{
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
    std::vector<std::string> seeds;
    if (lexiflipFuzzSeeds) {
        for (const char* const* seed = lexiflipFuzzSeeds(); *seed; ++seed)
            seeds.emplace_back(*seed);
    }
    if (argc > 2) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[2], error)) {
            std::ifstream file(entry.path(), std::ios::binary);
            seeds.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
        // Directory order differs between file systems; the pass must not.
        std::sort(seeds.begin(), seeds.end());
    }
    std::mt19937_64 random(20261208);
    auto below = [&](std::size_t n) { return n ? static_cast<std::size_t>(random() % n) : 0; };
    const std::string alphabet = "+,|$-0123456789\xFF"
                                 "CMD_abcdefghijklmnopqrstuvwxyz";
    for (long run = 0; run < runs; ++run) {
        std::string input;
        if (!seeds.empty() && run % 4 != 0) {
            // Splice a few seeds together, then flip, insert and delete bytes.
            const std::size_t pieces = 1 + below(6);
            for (std::size_t i = 0; i < pieces; ++i)
                input += seeds[below(seeds.size())];
            const std::size_t edits = below(8);
            for (std::size_t i = 0; i < edits && !input.empty(); ++i) {
                const std::size_t at = below(input.size());
                switch (below(4)) {
                case 0:
                    input[at] = static_cast<char>(random());
                    break;
                case 1:
                    input.insert(input.begin() + static_cast<long>(at), alphabet[below(alphabet.size())]);
                    break;
                case 2:
                    input.erase(at, 1 + below(4));
                    break;
                default:
                    input[at] = alphabet[below(alphabet.size())];
                    break;
                }
            }
        } else {
            input.resize(below(512));
            for (char& c : input)
                c = below(3) == 0 ? static_cast<char>(random()) : alphabet[below(alphabet.size())];
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    std::printf("%ld inputs, no crash\n", runs);
    return 0;
}
