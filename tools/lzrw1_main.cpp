// lexiflip-lzrw1: compresses a file into the tally container format and back,
// so that a tally file can be inspected or rebuilt by hand.
//
//   lexiflip-lzrw1 compress [--mode fast|good|auto] IN OUT
//   lexiflip-lzrw1 decompress IN OUT
//
// Exit status 0 on success; otherwise the component's message on standard
// error and status 1.

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "compress/tlzrw1.h"

namespace {

using lexiflip::compress::TCompressMode;
using lexiflip::compress::Tlzrw1;

constexpr const char* kUsage = "usage: lexiflip-lzrw1 compress [--mode fast|good|auto] IN OUT\n"
                               "       lexiflip-lzrw1 decompress IN OUT\n";

int usage(const std::string& problem)
{
    std::fprintf(stderr, "lexiflip-lzrw1: %s\n%s", problem.c_str(), kUsage);
    return 1;
}

bool parseMode(std::string_view text, TCompressMode& mode)
{
    if (text == "fast")
        mode = TCompressMode::Fast;
    else if (text == "good")
        mode = TCompressMode::Good;
    else if (text == "auto")
        mode = TCompressMode::Auto;
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty())
        return usage("no command");
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }

    const std::string_view command = args[0];
    // The tally is written in Fast mode, so that is what the tool writes unless told otherwise.
    TCompressMode mode = TCompressMode::Fast;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (command == "compress" && (arg == "--mode" || arg.starts_with("--mode="))) {
            std::string_view value;
            if (arg == "--mode") {
                if (++i == args.size())
                    return usage("--mode needs fast, good or auto");
                value = args[i];
            } else {
                value = arg.substr(7);
            }
            if (!parseMode(value, mode))
                return usage("unknown mode: " + std::string(value));
        } else if (arg.size() > 1 && arg.starts_with("-")) {
            return usage("unknown option: " + std::string(arg));
        } else {
            files.emplace_back(arg);
        }
    }
    if (command != "compress" && command != "decompress")
        return usage("unknown command: " + std::string(command));
    if (files.size() != 2)
        return usage("expected an input and an output file");

    try {
        Tlzrw1 lzrw1;
        lzrw1.setInputFile(files[0]);
        lzrw1.setOutputFile(files[1]);
        if (command == "compress") {
            lzrw1.setCompressMode(mode);
            // The panel's texts (the choice of Auto, the ratio) go to standard output.
            lzrw1.setTextCallback([](const std::string& text) { std::printf("%s\n", text.c_str()); });
            lzrw1.Compress();
        } else {
            lzrw1.Decompress();
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
