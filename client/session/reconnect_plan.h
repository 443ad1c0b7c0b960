#pragma once

#include <array>
#include <optional>

namespace lexiflip::client {

// When a window whose connection to the host was lost tries again: after
// growing pauses at first (a host that restarts is back within seconds),
// then at a steady pace, and not at all once the host has had its time to
// come back. Counted in the pauses planned, so that a test that steps the
// window's clocks sees the same attempts as a player does.
struct ReconnectPlan {
    std::array<int, 4> firstPausesMs{500, 1000, 2000, 4000};
    int thenEveryMs = 10000;
    // No attempt starts later than this after the loss.
    int giveUpAfterMs = 120000;
    // An attempt that neither connects nor fails within this counts as failed.
    int attemptMs = 5000;

    // The pause before attempt number `attempt` (0 first), none when the plan
    // has no more attempts.
    std::optional<int> pauseBefore(int attempt) const
    {
        int planned = 0;
        for (int i = 0; i <= attempt; ++i) {
            const int pause = i < int(firstPausesMs.size()) ? firstPausesMs[std::size_t(i)] : thenEveryMs;
            planned += pause;
            if (planned > giveUpAfterMs)
                return std::nullopt;
            if (i == attempt)
                return pause;
        }
        return std::nullopt;
    }
};

} // namespace lexiflip::client
