#include "net/discovery/answer_policy.h"

namespace lexiflip::discovery {

void AnswerPolicy::forget(Time now)
{
    while (!m_order.empty() && now - m_order.front().first >= kQuietTime) {
        m_answered.erase(m_order.front().second);
        m_order.pop_front();
    }
}

std::optional<std::string> AnswerPolicy::answer(std::string_view datagram, const std::string& source,
                                                Time now, const std::function<Answer()>& facts)
{
    const std::optional<Query> query = readQuery(datagram);
    if (!query)
        return std::nullopt;
    forget(now);
    if (m_answered.count(source) != 0 || m_answered.size() >= m_memory)
        return std::nullopt;
    Answer reply = facts();
    reply.nonce = query->nonce;
    std::optional<std::string> bytes = buildAnswer(reply, datagram.size());
    if (!bytes)
        return std::nullopt;
    m_answered[source] = now;
    m_order.emplace_back(now, source);
    return bytes;
}

} // namespace lexiflip::discovery
