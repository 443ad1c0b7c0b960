#include "net/router_port.h"

#include <QThread>
#include <QTimer>

#include "net/portmap/lease_schedule.h"
#include "net/portmap/mapping_message.h"

namespace lexiflip::net {

namespace {

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

RouterPort::RouterPort(MapperFactory makeMapper, QObject* parent)
    : QObject(parent), m_thread(new QThread(this)), m_worker(new QObject)
{
    m_scheduler = [this](std::chrono::seconds wait, std::function<void()> call) {
        QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(wait), this,
                           std::move(call));
    };
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->setObjectName(QStringLiteral("router port"));
    m_thread->start();
    QMetaObject::invokeMethod(
        m_worker, [this, makeMapper = std::move(makeMapper)] { m_mapper = makeMapper(); },
        Qt::QueuedConnection);
}

RouterPort::~RouterPort()
{
    // The removal runs before the thread ends, waited for (at most the
    // router's time limit): a game that ends or a program that exits takes
    // its mapping with it. Work queued after quit() would be dropped. It is
    // asked for also when the port was closed already, whose removal may
    // still wait behind a slow request: the mapper knows whether anything
    // is left to remove.
    ++m_generation;
    QMetaObject::invokeMethod(
        m_worker,
        [this] {
            if (m_mapper)
                m_mapper->unmap();
        },
        Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

void RouterPort::setScheduler(Scheduler scheduler)
{
    m_scheduler = std::move(scheduler);
}

void RouterPort::open(int port)
{
    close();
    m_port = port;
    request();
    const unsigned generation = m_generation;
    m_scheduler(kAnswerLimit, [this, generation] {
        if (generation != m_generation || m_answer)
            return;
        m_answer = portmap::MapAnswer{}; // no answer
        emit answered();
    });
}

void RouterPort::close()
{
    ++m_generation;
    const bool wasOpen = m_port != 0;
    m_port = 0;
    m_answer.reset();
    m_hadMapping = false;
    if (wasOpen)
        QMetaObject::invokeMethod(
            m_worker,
            [this] {
                if (m_mapper)
                    m_mapper->unmap();
            },
            Qt::QueuedConnection);
}

void RouterPort::request()
{
    const unsigned generation = m_generation;
    const int port = m_port;
    QMetaObject::invokeMethod(
        m_worker,
        [this, port, generation] {
            if (!m_mapper)
                return;
            const portmap::MapAnswer answer = m_mapper->map(port, portmap::kAskedLease);
            QMetaObject::invokeMethod(
                this, [this, answer, generation] { onAnswer(answer, generation); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void RouterPort::onAnswer(const portmap::MapAnswer& answer, unsigned generation)
{
    if (generation != m_generation)
        return;
    const std::optional<std::chrono::seconds> wait = portmap::nextRequestAfter(answer, m_hadMapping);
    m_hadMapping = m_hadMapping || answer.kind == portmap::MapAnswer::Kind::Opened ||
                   answer.pinhole.kind == portmap::PinholeAnswer::Kind::Opened;
    const QString before = message() + pinholeMessage();
    m_answer = answer;
    if (wait)
        m_scheduler(*wait, [this, generation] {
            if (generation == m_generation)
                request();
        });
    // A renewal that changes nothing is not news.
    if (message() + pinholeMessage() != before)
        emit answered();
}

QString RouterPort::message() const
{
    if (m_port == 0)
        return {};
    if (!m_answer)
        return fromStd(portmap::askingMessage(m_port));
    return fromStd(portmap::mappingMessage(*m_answer, m_port));
}

QString RouterPort::pinholeMessage() const
{
    if (m_port == 0 || !m_answer)
        return {};
    return fromStd(portmap::pinholeMessage(m_answer->pinhole, m_port));
}

} // namespace lexiflip::net
