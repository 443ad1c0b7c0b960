#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/dispatch_table.h"

using lexiflip::wire::DispatchTable;

namespace {

struct Calls {
    std::vector<std::string> seen;
};

DispatchTable<int> makeTable(Calls& calls)
{
    DispatchTable<int> table;
    for (const char* command : {"CMD_theboard", "CMD_chat", "CMD_tie", "CMD_mytiles"}) {
        table.add(command, [&calls, command](std::string_view payload, int connection) {
            calls.seen.push_back(std::string(command) + "|" + std::string(payload) + "|" +
                                 std::to_string(connection));
        });
    }
    return table;
}

} // namespace

TEST(DispatchTable, SplitsAtTheFirstPlusAndMatchesExactly)
{
    Calls calls;
    const auto table = makeTable(calls);
    EXPECT_TRUE(table.dispatch("CMD_chat+Ann chats: a+b|clRed", 3));
    // The board's list follows the command word directly.
    EXPECT_TRUE(table.dispatch("CMD_theboard+1+1+5+1+2+9", 1));
    EXPECT_TRUE(table.dispatch("CMD_tie+", 2));
    ASSERT_EQ(calls.seen.size(), 3u);
    EXPECT_EQ(calls.seen[0], "CMD_chat|Ann chats: a+b|clRed|3");
    EXPECT_EQ(calls.seen[1], "CMD_theboard|1+1+5+1+2+9|1");
    EXPECT_EQ(calls.seen[2], "CMD_tie||2");
}

TEST(DispatchTable, DropsEntriesThatAreNotMessages)
{
    Calls calls;
    const auto table = makeTable(calls);
    EXPECT_FALSE(table.dispatch("", 1));           // the login's second terminator
    EXPECT_FALSE(table.dispatch("CMD_chat", 1));   // no "+"
    EXPECT_FALSE(table.dispatch("+1+2", 1));       // empty command word
    EXPECT_FALSE(table.dispatch("cmd_chat+x", 1)); // case matters
    EXPECT_FALSE(table.dispatch("CMD_chatter+x", 1));
    EXPECT_FALSE(table.dispatch("CMD_cha+x", 1));
    EXPECT_TRUE(calls.seen.empty());
}
