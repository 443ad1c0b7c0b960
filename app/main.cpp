// lexiflip: the game. The main window is not built yet; until it is, this entry
// shows what the engine does by playing one solo game in the terminal, with
// the computer playing seat 1 (just watching) against Klot, and narrating it.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "engine/computer_match.h"
#include "engine/computer_words.h"
#include "engine/notice_sink.h"
#include "engine/sender.h"
#include "engine/tdictn.h"
#include "lexiflip/version.h"
#include "net/wire/commands.h"
#include "net/wire/dispatch_table.h"
#include "net/wire/field_reader.h"
#include "net/wire/messages.h"

namespace {

using namespace lexiflip;

// Reads what seat 1's client is sent and tells it as a story.
class Narrator : public engine::Sender {
public:
    Narrator()
    {
        m_table.add(std::string(wire::cmd::nextplayer), [](std::string_view p) {
            const int slot = wire::FieldReader(p).nextInt().value_or(0);
            std::printf("-- %s's turn\n", slot == 1 ? "Your seat" : "Klot");
        });
        m_table.add(std::string(wire::cmd::hisword), [](std::string_view p) {
            wire::FieldReader f(p);
            const int slot = f.nextInt().value_or(0);
            const std::string word(f.next());
            const int total = f.nextInt().value_or(0);
            const int points = f.nextInt().value_or(0);
            std::printf("   %s plays \"%s\" for %d points (total %d)\n", slot == 1 ? "your seat" : "Klot",
                        word.c_str(), points, total);
        });
        m_table.add(std::string(wire::cmd::hepasses), [](std::string_view) { std::printf("   pass\n"); });
        m_table.add(std::string(wire::cmd::timeup), [](std::string_view) { std::printf("   time is up\n"); });
        m_table.add(std::string(wire::cmd::tie), [](std::string_view) { std::printf("== a tie: another round\n"); });
        m_table.add(std::string(wire::cmd::winner), [](std::string_view p) {
            const std::string name(wire::FieldReader(p).next());
            std::printf("== %s wins\n", name.c_str());
        });
    }
    void send(int slot, std::string_view message) override
    {
        if (slot != 1)
            return;
        if (!message.empty() && message.back() == '\xFF')
            message.remove_suffix(1);
        m_table.dispatch(message);
    }

private:
    wire::DispatchTable<> m_table;
};

class PrintedNotices : public engine::NoticeSink {
public:
    void notice(std::string_view text) override { std::printf("   (host: %.*s)\n", int(text.size()), text.data()); }
};

} // namespace

int main(int argc, char* argv[])
{
    const auto version = lexiflip::kVersionText;
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("lexiflip %.*s\n", static_cast<int>(version.size()), version.data());
        return 0;
    }
    std::printf("Lexiflip %.*s. The game window is still being built: here is a solo game the\n"
                "computer plays for you against Klot, to 100 points.\n\n",
                static_cast<int>(version.size()), version.data());
    PrintedNotices notices;
    const engine::TDictn dictionary(assets::dictionaryRecords(), notices);
    const auto words = engine::loadComputerWords(assets::computerWords());
    Narrator narrator;
    const auto seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    const auto result = engine::playComputerMatch(dictionary, words, seed, narrator);
    std::printf("\nFinal scores: your seat %d, Klot %d, after %d rounds.\n", result.scores[1], result.scores[2],
                result.rounds);
    return 0;
}
