#include <gtest/gtest.h>

#include <set>
#include <string>

#include "wire/host_requests.h"

namespace lexiflip::wire {
namespace {

struct AdmissionCase {
    const char* entry;
    int fromSlot;
    bool admitted;
};

TEST(HostRequests, AdmitsOnlyWhatTheSendersSlotMaySend)
{
    const AdmissionCase cases[] = {
        // Slot fields: the sender's own, another's, out of range, unreadable.
        {"CMD_chat+3+hi|clBlack", 3, true},
        {"CMD_chat+2+hi|clBlack", 3, false},
        {"CMD_chat+1+hi|clBlack", 3, false},
        {"CMD_chat+2+hi|clBlack", 1, false}, // the host's player speaks only for himself
        {"CMD_chat+0+hi|clBlack", 3, false},
        {"CMD_chat+10+hi|clBlack", 3, false},
        {"CMD_chat+x+hi|clBlack", 3, false},
        {"CMD_chat+", 3, false},
        {"CMD_iflip+9+1+1+", 9, true},
        {"CMD_idone+4+0,3", 5, false},
        {"CMD_logininfo+2+1.0.3+Bob", 2, true},
        {"CMD_logininfo+1+1.0.3+Bob", 2, false},
        {"CMD_playasound+6+2+", 6, true},
        // The host's own player acts for other seats in these two only.
        {"CMD_justwatch+3+1", 1, true},
        {"CMD_kickhim+4+", 1, true},
        {"CMD_justwatch+3+1", 2, false},
        {"CMD_kickhim+4+", 3, false},
        {"CMD_kickhim+3+", 3, true}, // admitted; the handler lets only slot 1 remove
        {"CMD_justwatch+12+1", 1, false},
        {"CMD_hepass+3+", 1, false},
        // Only the host's own player starts a game; it carries no slot.
        {"CMD_startgame+P1+50+60+t+1+0+", 1, true},
        {"CMD_startgame+P2+50+60+t+1+0+", 2, false},
        {"CMD_startgame+2+50+60+t+1+0+", 2, false},
        // Not a message, or a word the dispatch drops anyway.
        {"", 1, false},
        {"CMD_chat", 1, false},
        {"+1+x", 1, false},
        {"CMD_unknown+7+", 3, true},
        {"cmd_chat+7+x", 3, true},
    };
    for (const AdmissionCase& c : cases)
        EXPECT_EQ(admits(c.entry, c.fromSlot), c.admitted) << c.entry << " from slot " << c.fromSlot;
}

TEST(HostRequests, EachCommandWordHasOneRule)
{
    std::set<std::string_view> words;
    for (const HostRequestRule& rule : kHostRequests) {
        EXPECT_TRUE(words.insert(rule.command).second) << rule.command;
        ASSERT_EQ(findHostRequest(rule.command), &rule);
    }
    EXPECT_EQ(findHostRequest(cmd::heflip), nullptr); // the host's own word
    EXPECT_EQ(findHostRequest("CMD_Chat"), nullptr);
}

} // namespace
} // namespace lexiflip::wire
