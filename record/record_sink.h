#pragma once

#include "record/game_record.h"

namespace lexiflip::record {

// Where a game's record goes as it is kept: the header once, when the game
// begins (or when the window comes into a running one), then each event as it
// comes, then the end (a winner, a new game, or the window leaving).
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void begin(const GameRecord& header) = 0;
    virtual void add(const Event& event) = 0;
    virtual void end() = 0;
};

} // namespace lexiflip::record
