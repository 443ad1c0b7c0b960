#include "host/tserver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "net/test_client.h"
#include "support/dictionary_records.h"
#include "wire/messages.h"

namespace lexiflip::host {
namespace {

namespace msg = wire::msg;

struct DroppedNotices : words::NoticeSink {
    void notice(std::string_view) override {}
};

// A host handed its own dictionary checks words against that one alone: "cat",
// which any real list holds, is refused, and "tac", which only the small list
// holds, is scored.
TEST(HostDictionary, WordsAreCheckedAgainstTheDictionaryTheHostIsGiven)
{
    static DroppedNotices notices; // the dictionary reports to it for as long as it lives
    const std::string records = testing::dictionaryRecords({"tac"});
    HostOptions options;
    options.port = 0;
    options.seed = 7;
    options.dictionary = std::make_shared<const words::TDictn>(records, notices, "/nonexistent-lexiflip-dir");
    TServer server(options);
    server.startHosting();

    testing::TestClient host(server.port());
    ASSERT_TRUE(host.login("P1"));
    host.send(msg::startgame("P1", "50", "60", true, "1", "0"));
    ASSERT_TRUE(host.waitFor("CMD_nextplayer+1+"));
    engine::tplayer& seat = server.game().state().players[1];
    for (int k = 1; k <= 3; ++k)
        seat.tiles[k].letter = "cat"[k - 1] - 'a' + 1;

    host.send(msg::idone(1, {{0, 1}, {0, 2}, {0, 3}}));
    std::string invalid = msg::invalid(1);
    invalid.pop_back(); // the terminator
    ASSERT_TRUE(host.waitFor(invalid));
    host.send(msg::idone(1, {{0, 3}, {0, 2}, {0, 1}}));
    EXPECT_TRUE(host.waitFor("CMD_hisword+1+tac+"));
}

} // namespace
} // namespace lexiflip::host
