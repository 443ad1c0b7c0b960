#include "host/state_writer.h"

#include <system_error>
#include <utility>

#include "fileio/atomic_file.h"

namespace lexiflip::host {

StateWriter::StateWriter(std::filesystem::path file, std::function<void(std::string_view)> problem)
    : m_file(std::move(file)), m_problem(std::move(problem)), m_thread([this] { run(); })
{
}

StateWriter::~StateWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void StateWriter::save(std::string text)
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending = std::move(text);
        m_removePending = false;
    }
    m_changed.notify_all();
}

void StateWriter::remove()
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending.reset();
        m_removePending = true;
    }
    m_changed.notify_all();
}

void StateWriter::flush()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_pending && !m_removePending && !m_busy; });
}

void StateWriter::run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_pending || m_removePending || m_stopping; });
        if (!m_pending && !m_removePending)
            return; // stopping, and nothing waits
        std::optional<std::string> text = std::exchange(m_pending, std::nullopt);
        const bool removing = std::exchange(m_removePending, false);
        m_busy = true;
        lock.unlock();
        std::string failure;
        if (text) {
            try {
                fileio::writeFileAtomically(m_file, *text);
            } catch (const fileio::FileError& error) {
                failure = error.what();
            }
        } else if (removing) {
            std::error_code ec;
            std::filesystem::remove(m_file, ec);
            if (ec)
                failure = "cannot remove " + m_file.string() + ": " + ec.message();
        }
        const bool tell = !failure.empty() && !m_failing;
        m_failing = !failure.empty();
        if (tell && m_problem)
            m_problem(failure);
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

} // namespace lexiflip::host
