// The searcher's rule for which answers it keeps, with no sockets: a flood of
// answers from a few addresses against the search's bounds.
#include <gtest/gtest.h>

#include <string>

#include "net/discovery/datagram.h"
#include "net/discovery/found_games.h"

namespace lexiflip::discovery {
namespace {

std::string answer(std::uint32_t nonce, std::uint16_t port, std::string name = "Ann")
{
    return *buildAnswer(Answer{nonce, port, false, 1, 2, "1.0.3", std::move(name)}, kQuerySize);
}

TEST(DiscoveryFoundGames, KeepsEachGameOnceAFewPerAddressAndABoundedListForItsOwnQueryOnly)
{
    FoundGames found;
    found.restart(7);
    struct Step {
        const char* what;
        std::string source;
        std::string datagram;
        bool kept;
    };
    const Step steps[] = {
        {"garbage", "192.0.2.1", "LEXIFLIP garbage", false},
        {"another query's answer", "192.0.2.1", answer(6, 1), false},
        {"a query", "192.0.2.1", buildQuery(7), false},
        {"a game", "192.0.2.1", answer(7, 1), true},
        {"the same game again", "192.0.2.1", answer(7, 1), false},
        {"the same game under another name", "192.0.2.1", answer(7, 1, "Eve"), false},
        {"the same port at another address", "192.0.2.2", answer(7, 1), true},
    };
    for (const Step& step : steps) {
        const auto kept = found.take(step.datagram, step.source);
        ASSERT_EQ(kept.has_value(), step.kept) << step.what;
        if (kept) {
            EXPECT_EQ(*kept, *readAnswer(step.datagram)) << step.what;
        }
    }
    EXPECT_EQ(found.size(), 2u);

    // One address answering with port after port keeps kMaxPerSource games.
    std::size_t fromFlooder = 0;
    for (std::uint16_t port = 1; port <= 1000; ++port)
        fromFlooder += found.take(answer(7, port), "192.0.2.3").has_value();
    EXPECT_EQ(fromFlooder, FoundGames::kMaxPerSource);
    EXPECT_EQ(found.take(answer(7, 2), "192.0.2.1")->gamePort, 2) << "another address still has room";

    // Many addresses fill the list, and then nothing more is kept.
    std::size_t total = found.size();
    for (int source = 10; source < 200; ++source) {
        for (std::uint16_t port = 1; port <= 3; ++port)
            total += found.take(answer(7, port), "10.0.1." + std::to_string(source)).has_value();
    }
    EXPECT_EQ(total, FoundGames::kMaxGames);
    EXPECT_EQ(found.size(), FoundGames::kMaxGames);
    EXPECT_TRUE(found.full());
    EXPECT_FALSE(found.take(answer(7, 9), "192.0.2.9"));

    // The next search starts empty and takes only its own answers.
    found.restart(8);
    EXPECT_EQ(found.size(), 0u);
    EXPECT_FALSE(found.take(answer(7, 5), "192.0.2.9"));
    EXPECT_TRUE(found.take(answer(8, 1), "192.0.2.1"));
}

} // namespace
} // namespace lexiflip::discovery
