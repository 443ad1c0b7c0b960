#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/accumulator.h"

using lexiflip::wire::kMaxMessageBytes;
using lexiflip::wire::ReceiveAccumulator;

namespace {

std::vector<std::string> feedAll(ReceiveAccumulator& accumulator, const std::vector<std::string>& reads)
{
    std::vector<std::string> messages;
    for (const std::string& read : reads)
        accumulator.feed(read, [&](std::string_view m) { messages.emplace_back(m); });
    return messages;
}

} // namespace

TEST(ReceiveAccumulator, CutsMergedAndSplitReadsAtTheTerminator)
{
    ReceiveAccumulator accumulator;
    // Two messages in one read, then one split over three reads.
    const auto messages = feedAll(accumulator, {"CMD_iflip+1+2+3+\xFF"
                                                "CMD_hepass+1+\xFF"
                                                "CMD_ch",
                                                "at+1+hi|clB", "lack\xFF"});
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "CMD_iflip+1+2+3+");
    EXPECT_EQ(messages[1], "CMD_hepass+1+");
    EXPECT_EQ(messages[2], "CMD_chat+1+hi|clBlack");
    EXPECT_EQ(accumulator.pendingBytes(), 0u);
}

TEST(ReceiveAccumulator, LoginsSecondTerminatorGivesAnEmptyEntry)
{
    ReceiveAccumulator accumulator;
    const auto messages = feedAll(accumulator, {"CMD_logininfo+1+1.0.3+You\xFF\xFF"});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "CMD_logininfo+1+1.0.3+You");
    EXPECT_EQ(messages[1], "");
}

TEST(ReceiveAccumulator, KeepsBytesAfterTheLastTerminatorForLater)
{
    ReceiveAccumulator accumulator;
    EXPECT_TRUE(feedAll(accumulator, {"CMD_hep"}).empty());
    EXPECT_EQ(accumulator.pendingBytes(), 7u);
    const auto messages = feedAll(accumulator, {"ass+2+\xFF"
                                                "CMD_"});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "CMD_hepass+2+");
    EXPECT_EQ(accumulator.pendingBytes(), 4u);
}

TEST(ReceiveAccumulator, LongMessagesAreCutTo4096BytesWhetherWholeOrSplit)
{
    const std::string body(10000, 'a');
    {
        ReceiveAccumulator accumulator;
        const auto messages = feedAll(accumulator, {"CMD_chat+" + body +
                                                    "\xFF"
                                                    "CMD_tie+\xFF"});
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[0].size(), kMaxMessageBytes);
        EXPECT_EQ(messages[0].substr(0, 9), "CMD_chat+");
        EXPECT_EQ(messages[1], "CMD_tie+");
    }
    {
        ReceiveAccumulator accumulator;
        std::vector<std::string> reads{"CMD_chat+"};
        for (int i = 0; i < 100; ++i)
            reads.push_back(std::string(1000, 'b'));
        reads.push_back("\xFF"
                        "CMD_tie+\xFF");
        const auto messages = feedAll(accumulator, reads);
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[0].size(), kMaxMessageBytes);
        EXPECT_EQ(messages[1], "CMD_tie+");
    }
}

TEST(ReceiveAccumulator, AStreamWithoutTerminatorHoldsAtMost4096Bytes)
{
    ReceiveAccumulator accumulator;
    const std::string chunk(65536, 'x');
    for (int i = 0; i < 160; ++i) // 10 MiB
        accumulator.feed(chunk, [](std::string_view) { FAIL() << "no terminator was sent"; });
    EXPECT_EQ(accumulator.pendingBytes(), kMaxMessageBytes);
}
