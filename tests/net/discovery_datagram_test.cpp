// The discovery datagrams and the host's rule for answering them, with no
// sockets: tables of datagrams and a stepped clock.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "net/discovery/answer_policy.h"
#include "net/discovery/datagram.h"

namespace lexiflip::discovery {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

Answer sample(std::string name = "Ann")
{
    Answer answer;
    answer.nonce = 0x01020304;
    answer.gamePort = 7772;
    answer.gameRunning = true;
    answer.freeSeats = 3;
    answer.freePlaces = 6;
    answer.version = "1.0.3";
    answer.hostName = std::move(name);
    return answer;
}

// Header, port, flags, seats, places, both lengths and "1.0.3".
constexpr std::size_t kSampleWithoutName = 14 + 2 + 3 + 2 + 5;

TEST(DiscoveryDatagram, AnswersReadBackAsWrittenWhateverTheirBytes)
{
    std::vector<Answer> answers{sample(), sample(""), sample("\xC9lise \xFF+|"),
                                sample(std::string(64, 'n'))};
    answers[1].gameRunning = false;
    answers[1].freeSeats = 0;
    answers[1].freePlaces = 0;
    answers[2].nonce = 0xFFFFFFFF;
    answers[2].gamePort = 65535;
    answers[3].version = std::string(kMaxVersionBytes, '9');
    answers[3].freeSeats = kMaxFreeSeats;
    answers[3].freePlaces = kMaxFreePlaces;
    for (const Answer& answer : answers) {
        const auto bytes = buildAnswer(answer, kMaxDatagramSize);
        ASSERT_TRUE(bytes) << answer.hostName;
        EXPECT_EQ(readAnswer(*bytes), answer) << answer.hostName;
        EXPECT_FALSE(readQuery(*bytes)) << "an answer is no query";
    }
    const std::string query = buildQuery(0xCAFEF00D);
    EXPECT_EQ(query.size(), kQuerySize);
    ASSERT_TRUE(readQuery(query));
    EXPECT_EQ(readQuery(query)->nonce, 0xCAFEF00Du);
    EXPECT_FALSE(readAnswer(query)) << "a query is no answer";
}

TEST(DiscoveryDatagram, AnAnswerFitsItsLimitByCuttingTheNameOrIsNotGiven)
{
    struct Case {
        std::size_t nameBytes;
        std::size_t limit;
        std::optional<std::size_t> keptName; // nothing: no answer
    };
    const Case cases[] = {
        {3, kQuerySize, 3},
        {200, kQuerySize, kMaxNameBytes},
        {20, kSampleWithoutName + 7, 7},
        {20, kSampleWithoutName, 0},
        {0, kSampleWithoutName, 0},
        {20, kSampleWithoutName - 1, std::nullopt},
        {0, kHeaderSize, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto bytes = buildAnswer(sample(std::string(c.nameBytes, 'x')), c.limit);
        ASSERT_EQ(bytes.has_value(), c.keptName.has_value()) << c.nameBytes << " in " << c.limit;
        if (!bytes)
            continue;
        EXPECT_LE(bytes->size(), c.limit);
        const auto read = readAnswer(*bytes);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->hostName.size(), *c.keptName) << c.nameBytes << " in " << c.limit;
    }
    Answer tooLongVersion = sample();
    tooLongVersion.version = std::string(kMaxVersionBytes + 1, '1');
    EXPECT_FALSE(buildAnswer(tooLongVersion, kMaxDatagramSize));
    // Counts out of range are held to what the reader accepts.
    Answer counts = sample();
    counts.freeSeats = 40;
    counts.freePlaces = 2;
    const auto read = readAnswer(*buildAnswer(counts, kQuerySize));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->freeSeats, 2);
}

TEST(DiscoveryDatagram, GarbageIsNotRead)
{
    const std::string query = buildQuery(5);
    auto changed = [](std::string bytes, std::size_t at, char to) {
        bytes.replace(at, 1, 1, to);
        return bytes;
    };
    const std::vector<std::pair<const char*, std::string>> queries{
        {"empty", ""},
        {"header cut", query.substr(0, kHeaderSize - 1)},
        {"other magic", changed(query, 0, 'l')},
        {"other kind", changed(query, 8, 'q')},
        {"other format", changed(query, 9, '\x02')},
        {"padding not zero", changed(query, kQuerySize - 1, '\x01')},
        {"too long", buildQuery(5, kMaxDatagramSize + 1)},
    };
    for (const auto& [what, bytes] : queries)
        EXPECT_FALSE(readQuery(bytes)) << what;
    EXPECT_TRUE(readQuery(buildQuery(5, kHeaderSize))) << "the shortest query";
    EXPECT_TRUE(readQuery(buildQuery(5, kMaxDatagramSize))) << "the longest query";

    const std::string answer = *buildAnswer(sample(), kQuerySize);
    const std::size_t flags = kHeaderSize + 2;
    Answer portless = sample();
    portless.gamePort = 0;
    const std::vector<std::pair<const char*, std::string>> answers{
        {"a byte more", answer + "x"},
        {"a byte less", answer.substr(0, answer.size() - 1)},
        {"cut in the fixed part", answer.substr(0, kHeaderSize + 3)},
        {"unknown flag", changed(answer, flags, '\x03')},
        {"more seats than places", changed(answer, flags + 1, '\x07')},
        {"seven seats", changed(changed(answer, flags + 1, '\x07'), flags + 2, '\x09')},
        {"ten places", changed(answer, flags + 2, '\x0A')},
        {"version length past the end", changed(answer, flags + 3, '\x7F')},
        {"no port", *buildAnswer(portless, kQuerySize)},
        {"other kind", changed(answer, 8, 'Q')},
    };
    for (const auto& [what, bytes] : answers)
        EXPECT_FALSE(readAnswer(bytes)) << what;
}

TEST(DiscoveryAnswerPolicy, OneAnswerASecondPerSourceNeverLargerThanTheQuery)
{
    AnswerPolicy policy(2);
    int asked = 0;
    auto facts = [&] {
        ++asked;
        return sample(std::string(100, 'n'));
    };
    const std::string query = buildQuery(77, 40);
    struct Step {
        std::chrono::milliseconds at;
        std::string source;
        std::string datagram;
        bool answered;
    };
    const Step steps[] = {
        {0ms, "10.0.0.1", "garbage", false},
        {0ms, "10.0.0.1", buildQuery(1, kHeaderSize), false}, // no answer fits
        {0ms, "10.0.0.1", query, true},                       // neither used its second
        {999ms, "10.0.0.1", query, false},
        {999ms, "10.0.0.2", query, true},
        {999ms, "10.0.0.3", query, false}, // two sources remembered already
        {1000ms, "10.0.0.1", query, true}, // takes the place it left
        {1000ms, "10.0.0.3", query, false},
        {1999ms, "10.0.0.3", query, true}, // 10.0.0.2 left a place
    };
    for (const Step& step : steps) {
        const auto answer = policy.answer(step.datagram, step.source, step.at, facts);
        ASSERT_EQ(answer.has_value(), step.answered) << step.source << " at " << step.at.count() << " ms";
        if (!answer)
            continue;
        EXPECT_LE(answer->size(), step.datagram.size());
        const auto read = readAnswer(*answer);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->nonce, 77u) << "the query's nonce";
    }
    EXPECT_EQ(asked, 5) << "the host's facts are asked only for a well-formed query it may answer";
}

} // namespace
} // namespace lexiflip::discovery
