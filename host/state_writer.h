#pragma once

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace lexiflip::host {

// Keeps the state file on disk from a thread of its own, so that neither a
// relay nor a clock tick ever waits on the disk. Each save replaces what was
// still waiting: only the newest state matters, and a burst of actions costs
// one write. Every write goes through the atomic writer, so a crash at any
// moment leaves the last whole state.
class StateWriter {
public:
    // problem is told a failed write ("cannot write ...: No space left on
    // device") once, and again only after a write succeeded; it is called on
    // the writer's thread.
    StateWriter(std::filesystem::path file, std::function<void(std::string_view)> problem);
    // Writes what still waits, then stops.
    ~StateWriter();

    StateWriter(const StateWriter&) = delete;
    StateWriter& operator=(const StateWriter&) = delete;

    // Never waits for the disk.
    void save(std::string text);
    // The game is over for good: what waits is dropped and the file removed.
    void remove();
    // Waits until everything handed in is done (tests, the benchmark).
    void flush();

    const std::filesystem::path& file() const { return m_file; }

private:
    void run();

    std::filesystem::path m_file;
    std::function<void(std::string_view)> m_problem;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<std::string> m_pending;
    bool m_removePending = false;
    bool m_busy = false;
    bool m_stopping = false;
    bool m_failing = false; // a failure was told and no write succeeded since
    std::thread m_thread;
};

} // namespace lexiflip::host
