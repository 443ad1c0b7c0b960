#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/random_source.h"
#include "engine/game.h"
#include "engine/virtual_timeline.h"
#include "support/dictionary_records.h"
#include "support/recording.h"
#include "words/tdictn.h"

namespace lexiflip::testing {

// A host game wired to recording seams and virtual clocks, for tests that play
// through the engine's own handlers.
struct EngineRig {
    explicit EngineRig(std::vector<std::string> dictionaryWords = {"cat", "quit", "tea", "eat"},
                       std::vector<std::string> botWords = {}, std::uint64_t seed = 1)
        : records(dictionaryRecords(std::move(dictionaryWords))), words(std::move(botWords)), random(seed),
          dictionary(records, notices, emptyDirectory()), timer1(timeline.addClock()),
          computertimer(timeline.addClock()),
          game(engine::GameServices{sender, notices, timer1, computertimer, random, dictionary, words,
                                    [this] { return botSpeedMs; }})
    {
        timeline.setOnTick(timer1, [this] { game.timer1Timer(); });
        timeline.setOnTick(computertimer, [this] { game.computertimerTimer(); });
    }

    // Marks slots as connected and logged in, as the host session would.
    void connect(std::initializer_list<int> slots)
    {
        for (int slot : slots) {
            game.seatConnected(slot);
            game.seatLoggedIn(slot, "P" + std::to_string(slot));
        }
    }

    // Puts a known letter on a board cell and turns it face up.
    void faceUp(int x, int y, char letter)
    {
        engine::tboardtile& tile = game.state().cell(x, y);
        tile.letter = letter - 'a' + 1;
        tile.flipped = 1;
    }

    void setBar(int slot, const std::string& letters)
    {
        for (std::size_t k = 0; k < letters.size() && k < 7; ++k) {
            game.state().players[slot].tiles[k + 1].letter = letters[k] - 'a' + 1;
            game.state().players[slot].tiles[k + 1].coord = "0," + std::to_string(k + 1);
        }
    }

    // Fires ticks until pred holds or the clocks stop; gives whether it held.
    template <class Pred> bool runUntil(Pred pred, int maxTicks = 100000)
    {
        for (int i = 0; i < maxTicks; ++i) {
            if (pred())
                return true;
            if (!timeline.step())
                return pred();
        }
        return pred();
    }

    static const std::filesystem::path& emptyDirectory()
    {
        // The dictionary looks for a file "English" beside it: give it a
        // directory that never holds one.
        static const std::filesystem::path directory = [] {
            std::filesystem::path p = std::filesystem::temp_directory_path() / "lexiflip-tests-no-english";
            std::filesystem::create_directories(p);
            return p;
        }();
        return directory;
    }

    std::string records;
    std::vector<std::string> words;
    int botSpeedMs = 750;
    RecordingSender sender;
    RecordingNotices notices;
    core::RandomSource random;
    words::TDictn dictionary;
    engine::VirtualTimeline timeline;
    engine::VirtualTimeline::VirtualClock& timer1;
    engine::VirtualTimeline::VirtualClock& computertimer;
    engine::Game game;
};

} // namespace lexiflip::testing
