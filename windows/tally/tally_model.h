#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/tally_calls.h"
#include "windows/tally/tally.h"
#include "windows/tally/tally_file.h"

namespace lexiflip::windows {

// The tally the application keeps from start-up to exit: the table, the file
// it was read from and is written back to, and where the players of the
// current game come from. The game feeds it through TallyCalls; the tally
// window shows it and edits it, and is told after every change.
//
//     TallyModel tally;                        // before the game that feeds it
//     tally.setPlayerList([&] { return ...; });
//     tally.load(appFilePath("Lexifliptally.tld"));
//     ... the game window gets tally as its TallyCalls; Ttallylist window(tally) ...
//     at exit: tally.save();
class TallyModel : public core::TallyCalls {
public:
    // The players of the current game (the main window's player list).
    // Without it the current game has no other players.
    void setPlayerList(std::function<PlayerList()> players) { m_players = std::move(players); }
    // Called after every change (the window redraws from tally()); only the
    // texts changed when listsChanged is false (a selection).
    void setChanged(std::function<void(bool listsChanged)> changed) { m_changed = std::move(changed); }

    const Tally& tally() const { return m_tally; }

    // Start-up: reads the tally file and remembers it for save(). What went
    // wrong is in the result (problem, keptAs).
    TallyFileRead load(const std::filesystem::path& file);
    // End of the program: writes the tally over the file read at start-up.
    // Returns what went wrong, empty on success.
    std::string save() const;

    // What a game feeds.
    void addgame(std::string_view winner) override;
    void addtomineincrease(int column) override;
    void addtomineset(int column, int points, std::string_view word) override;

    // The window's edits (see Tally).
    void loadchecklist();
    void select(int index);
    void setChecklistTick(int index, bool ticked);
    void unfollow(int index);
    void moverow(int row);
    void reset();

private:
    template <class Edit> void edit(Edit&& change, bool listsChanged = true);
    PlayerList players() const { return m_players ? m_players() : PlayerList(); }

    Tally m_tally;
    std::filesystem::path m_file;
    std::function<PlayerList()> m_players;
    std::function<void(bool)> m_changed;
};

} // namespace lexiflip::windows
