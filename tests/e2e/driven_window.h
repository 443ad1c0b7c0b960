#pragma once

// lexiflip-driven started as a process: the game window played through the
// test driver's line protocol (tests/driver/test_driver.h lists the commands
// and the state's keys). Each window gets its own LEXIFLIP_HOME and
// LEXIFLIP_PORT, shows offscreen and never offers the lobby download.
//
//     Home home;
//     DrivenWindow window({"Ann", "10.0.0.1", "true"}, freePort(), home.path());
//     ASSERT_TRUE(window.waitFor([](const DrivenState& s) { return s.flag("loggedin"); }));
//     window.send("menu StartGame1");
//     ...
//     EXPECT_EQ(window.quit(), 0);

#include <QByteArray>
#include <QProcess>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "net/net_wait.h"

namespace lexiflip::testing {

// One "state" reply, its values decoded.
class DrivenState {
public:
    DrivenState() = default;
    explicit DrivenState(const std::string& reply)
    {
        if (reply.rfind("ok ", 0) != 0)
            return;
        m_valid = true;
        const QList<QByteArray> pairs = QByteArray::fromStdString(reply.substr(3)).split(' ');
        for (const QByteArray& pair : pairs) {
            const qsizetype equals = pair.indexOf('=');
            if (equals > 0)
                m_values[pair.left(equals).toStdString()] = pair.mid(equals + 1).toStdString();
        }
    }

    bool valid() const { return m_valid; }
    // The decoded text of key, empty when missing.
    std::string text(const std::string& key) const { return decode(raw(key)); }
    int number(const std::string& key) const { return std::atoi(raw(key).c_str()); }
    bool flag(const std::string& key) const { return raw(key) == "1"; }
    // A comma-separated value, each item decoded.
    std::vector<std::string> list(const std::string& key) const
    {
        std::vector<std::string> items;
        const std::string value = raw(key);
        if (value.empty())
            return items;
        for (const QByteArray& item : QByteArray::fromStdString(value).split(','))
            items.push_back(decode(item.toStdString()));
        return items;
    }
    // Seat 1..6's score as shown, or -1 when it is not a number.
    int score(int seat) const
    {
        const std::vector<std::string> scores = list("scores");
        if (seat < 1 || seat > static_cast<int>(scores.size()))
            return -1;
        bool isNumber = false;
        const int value = QString::fromStdString(scores[static_cast<std::size_t>(seat - 1)]).toInt(&isNumber);
        return isNumber ? value : -1;
    }

private:
    std::string raw(const std::string& key) const
    {
        const auto found = m_values.find(key);
        return found == m_values.end() ? std::string() : found->second;
    }
    static std::string decode(const std::string& text)
    {
        return QByteArray::fromPercentEncoding(QByteArray::fromStdString(text)).toStdString();
    }

    bool m_valid = false;
    std::map<std::string, std::string> m_values;
};

class DrivenWindow {
public:
    DrivenWindow(const QStringList& arguments, quint16 port, const QString& home,
                 const QList<QPair<QString, QString>>& extraEnvironment = {})
    {
        m_process.setProcessEnvironment(windowEnvironment(port, home, extraEnvironment));
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_stderr += m_process.readAllStandardError(); });
        m_process.start(binaryDir() + QStringLiteral("/app/lexiflip-driven"), arguments);
        m_process.waitForStarted(10000);
    }
    ~DrivenWindow()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    DrivenWindow(const DrivenWindow&) = delete;
    DrivenWindow& operator=(const DrivenWindow&) = delete;

    // The reply line to command, without its line end; empty when the
    // program ended or did not answer in time. Events keep being handled
    // while it waits, so scripted clients of the same test go on playing.
    std::string send(const std::string& command, int timeoutMs = 20000)
    {
        if (m_process.state() != QProcess::Running)
            return {};
        m_process.write(QByteArray::fromStdString(command + "\n"));
        qsizetype end = -1;
        waitUntil(
            [&] {
                m_stdout += m_process.readAllStandardOutput();
                end = m_stdout.indexOf('\n');
                return end >= 0 || m_process.state() != QProcess::Running;
            },
            timeoutMs);
        if (end < 0)
            return {};
        const std::string reply = m_stdout.left(end).toStdString();
        m_stdout.remove(0, end + 1);
        return reply;
    }
    // send, true when the reply is "ok" (with or without a result).
    bool command(const std::string& text) { return send(text).rfind("ok", 0) == 0; }

    DrivenState state() { return DrivenState(send("state")); }

    // Polls the state until predicate holds for it, handling events for a
    // few milliseconds between polls; the state that satisfied it is kept in
    // last().
    bool waitFor(const std::function<bool(const DrivenState&)>& predicate, int timeoutMs = 20000)
    {
        return waitUntil(
            [&] {
                m_last = state();
                if (m_last.valid() && predicate(m_last))
                    return true;
                waitUntil([] { return false; }, 10);
                return false;
            },
            timeoutMs);
    }
    const DrivenState& last() const { return m_last; }

    // "quit", then the exit code of a normal end, or -1 for a crash or a hang.
    int quit(int timeoutMs = 30000)
    {
        send("quit");
        if (!m_process.waitForFinished(timeoutMs) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }

    bool running() const { return m_process.state() == QProcess::Running; }
    QProcess& process() { return m_process; }
    // What the program wrote on standard error so far, for failure messages.
    std::string errors()
    {
        m_stderr += m_process.readAllStandardError();
        return m_stderr.toStdString();
    }

private:
    QProcess m_process;
    QByteArray m_stdout;
    QByteArray m_stderr;
    DrivenState m_last;
};

} // namespace lexiflip::testing
