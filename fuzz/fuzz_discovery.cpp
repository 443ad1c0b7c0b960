// Arbitrary bytes as a discovery datagram, read both as a query (the host's
// side) and as an answer (the searcher's side): whatever either reader takes
// is written back to the very same bytes, so nothing is read that the writers
// could not have written, and an answer to it is never larger than it is.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/discovery/answer_policy.h"
#include "net/discovery/datagram.h"

using namespace lexiflip::discovery;

namespace {

void check(bool condition, const char* promise)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (const auto query = readQuery(bytes))
        check(buildQuery(query->nonce, bytes.size()) == bytes, "a query read is the query written");

    if (const auto answer = readAnswer(bytes)) {
        check(buildAnswer(*answer, bytes.size()) == std::string(bytes),
              "an answer read is the answer written");
        check(answer->freeSeats <= answer->freePlaces, "a free seat is a free place");
    }

    // A host with the longest name and version answers within the query's
    // size, once, and the answer reads back with the query's nonce.
    AnswerPolicy policy;
    auto facts = [] {
        Answer answer;
        answer.gamePort = 7772;
        answer.freeSeats = 5;
        answer.freePlaces = 8;
        answer.version = std::string(kMaxVersionBytes, 'v');
        answer.hostName = std::string(300, 'n');
        return answer;
    };
    const auto first = policy.answer(bytes, "192.0.2.1", std::chrono::seconds(5), facts);
    if (first) {
        check(first->size() <= bytes.size(), "an answer is never larger than its query");
        const auto read = readAnswer(*first);
        check(read && read->nonce == readQuery(bytes)->nonce, "an answer reads back with the query's nonce");
    }
    check(!policy.answer(bytes, "192.0.2.1", std::chrono::milliseconds(5999), facts),
          "one answer a second per source");
    return 0;
}
