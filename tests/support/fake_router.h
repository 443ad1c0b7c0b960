#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "net/portmap/port_mapper.h"

namespace lexiflip::testing {

// What a router of the test's own saw and will say. A held router answers
// nothing until released, as one that never answers keeps its caller
// waiting; it lets go by itself after kHeldAtMost, so that code which waits
// for it fails its test instead of hanging the test program.
struct FakeRouter {
    static constexpr std::chrono::seconds kHeldAtMost{15};

    std::mutex mutex;
    std::condition_variable releasedOrChanged;
    bool held = false;
    // The next requests' answers, then no answer. An opening without an
    // external port opens the port asked for.
    std::deque<portmap::MapAnswer> answers;
    std::vector<int> maps; // the ports asked for, in order
    int unmaps = 0;        // removals of an existing mapping
    bool mapped = false;

    void hold()
    {
        const std::lock_guard lock(mutex);
        held = true;
    }
    void release()
    {
        {
            const std::lock_guard lock(mutex);
            held = false;
        }
        releasedOrChanged.notify_all();
    }
    void answerNext(std::deque<portmap::MapAnswer> next)
    {
        const std::lock_guard lock(mutex);
        answers = std::move(next);
    }
    std::size_t mapCount()
    {
        const std::lock_guard lock(mutex);
        return maps.size();
    }
    std::vector<int> portsAsked()
    {
        const std::lock_guard lock(mutex);
        return maps;
    }
    int unmapCount()
    {
        const std::lock_guard lock(mutex);
        return unmaps;
    }
    bool hasMapping()
    {
        const std::lock_guard lock(mutex);
        return mapped;
    }
};

class FakeMapper final : public portmap::PortMapper {
public:
    explicit FakeMapper(std::shared_ptr<FakeRouter> router) : m_router(std::move(router)) {}

    portmap::MapAnswer map(int port, std::chrono::seconds) override
    {
        std::unique_lock lock(m_router->mutex);
        m_router->maps.push_back(port);
        m_router->releasedOrChanged.notify_all();
        m_router->releasedOrChanged.wait_for(lock, FakeRouter::kHeldAtMost,
                                             [this] { return !m_router->held; });
        portmap::MapAnswer answer;
        if (!m_router->answers.empty()) {
            answer = m_router->answers.front();
            m_router->answers.pop_front();
        }
        if (answer.kind == portmap::MapAnswer::Kind::Opened) {
            if (answer.externalPort == 0)
                answer.externalPort = port;
            m_router->mapped = true;
        }
        return answer;
    }
    void unmap() override
    {
        const std::lock_guard lock(m_router->mutex);
        if (m_router->mapped)
            ++m_router->unmaps;
        m_router->mapped = false;
    }

private:
    std::shared_ptr<FakeRouter> m_router;
};

// A router that opens the port asked for at the documentation address
// 203.0.113.5, for lease.
inline portmap::MapAnswer openedAnswer(std::chrono::seconds lease = std::chrono::hours(1),
                                       int externalPort = 0)
{
    portmap::MapAnswer answer;
    answer.kind = portmap::MapAnswer::Kind::Opened;
    answer.protocol = portmap::Protocol::UpnpIgd;
    answer.externalAddress = "203.0.113.5";
    answer.externalPort = externalPort;
    answer.lease = lease;
    return answer;
}

} // namespace lexiflip::testing
