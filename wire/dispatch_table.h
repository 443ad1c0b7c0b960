#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lexiflip::wire {

// A received entry split at its first "+": the command word before it, the
// payload after it.
struct SplitEntry {
    std::string_view command;
    std::string_view payload;
};

// Splits an entry at its first "+". An entry without "+" or with an empty
// command word is not a message and gives nothing.
inline std::optional<SplitEntry> splitEntry(std::string_view entry)
{
    const std::size_t plus = entry.find('+');
    if (plus == std::string_view::npos || plus == 0)
        return std::nullopt;
    return SplitEntry{entry.substr(0, plus), entry.substr(plus + 1)};
}

// Maps command words to handlers. Lookup is exact and case-sensitive; an entry
// whose command word matches none is dropped without reply. Context is whatever
// the side needs to pass along with the payload (the host passes the connection
// the entry came from).
template <class... Context> class DispatchTable {
public:
    using Handler = std::function<void(std::string_view payload, Context...)>;

    void add(std::string command, Handler handler)
    {
        m_entries.emplace_back(std::move(command), std::move(handler));
    }

    // Handles one queued entry; returns whether a handler ran.
    bool dispatch(std::string_view entry, Context... context) const
    {
        const std::optional<SplitEntry> split = splitEntry(entry);
        if (!split)
            return false;
        for (const auto& [command, handler] : m_entries) {
            if (command == split->command) {
                handler(split->payload, context...);
                return true;
            }
        }
        return false;
    }

    std::size_t size() const { return m_entries.size(); }

private:
    // At most a few dozen commands: a flat scan in table order beats a hash of
    // the command word, and keeps the order the table was written in.
    std::vector<std::pair<std::string, Handler>> m_entries;
};

} // namespace lexiflip::wire
