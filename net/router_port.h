#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "net/portmap/port_mapper.h"

class QThread;

namespace lexiflip::net {

// The host's port on the home router, kept open while it hosts: asked for on
// a thread of its own (a router may take seconds to answer, or never do), so
// no window or turn waits; renewed at half its lease; removed by close() and
// when the object goes (a crash leaves a lease that runs out by itself).
class RouterPort : public QObject {
    Q_OBJECT
public:
    using MapperFactory = std::function<std::unique_ptr<portmap::PortMapper>()>;
    // Calls back after wait; tests step it by hand.
    using Scheduler = std::function<void(std::chrono::seconds wait, std::function<void()> call)>;

    // How long the player reads "Asking..." before the line says the router
    // did not answer: the real conversation gives up sooner (a 2-second search,
    // the IGD's control URL, 2 seconds of NAT-PMP), but a router that takes
    // the request and then holds it open would keep the line asking forever.
    // An answer that comes later still counts.
    static constexpr std::chrono::seconds kAnswerLimit{10};

    // makeMapper runs on the router's thread, which then owns the mapper.
    explicit RouterPort(MapperFactory makeMapper, QObject* parent = nullptr);
    ~RouterPort() override;

    void setScheduler(Scheduler scheduler);

    // Asks for port; answered() tells the outcome. Returns at once.
    void open(int port);
    // Removes the mapping (on the router's thread) and stops renewing.
    void close();

    int port() const { return m_port; }
    // The last answer; nothing while the first is awaited or when closed.
    const std::optional<portmap::MapAnswer>& answer() const { return m_answer; }
    // The line for the player: asking, or what the router did.
    QString message() const;
    // The line about the IPv6 pinhole, once the router answered; empty when
    // none was asked for.
    QString pinholeMessage() const;

signals:
    // The router's answer changed what message() or pinholeMessage() says.
    void answered();

private:
    void request();
    void onAnswer(const portmap::MapAnswer& answer, unsigned generation);

    QThread* m_thread;
    QObject* m_worker;
    std::shared_ptr<portmap::PortMapper> m_mapper;
    Scheduler m_scheduler;
    int m_port = 0;
    // Bumped by every open() and close(), so that an answer or a renewal of
    // an earlier opening does nothing.
    unsigned m_generation = 0;
    bool m_hadMapping = false;
    std::optional<portmap::MapAnswer> m_answer;
};

} // namespace lexiflip::net
