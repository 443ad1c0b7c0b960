#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <string>

#include "e2e/e2e_support.h"
#include "net/net_wait.h"
#include "support/resident_memory.h"

namespace lexiflip::testing {

inline QString hostProgram()
{
    return binaryDir() + QStringLiteral("/app/lexiflip-host");
}

// A running lexiflip-host; SIGTERM ends it when the test is over.
class HostProcess {
public:
    // It answers local network searches from this machine alone; then the
    // extra variables.
    explicit HostProcess(const QStringList& arguments, const QList<QPair<QString, QString>>& extra = {})
    {
        m_process.setProgram(hostProgram());
        m_process.setArguments(arguments);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LEXIFLIP_DISCOVERY_ADDRESS"), QStringLiteral("127.0.0.1"));
        for (const auto& [name, value] : extra)
            environment.insert(name, value);
        m_process.setProcessEnvironment(environment);
        m_process.start();
    }
    ~HostProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // The port from "lexiflip-host listening on port N", or 0.
    quint16 waitForPort()
    {
        const QByteArray prefix = "lexiflip-host listening on port ";
        waitUntil(
            [&] {
                m_stdout += m_process.readAllStandardOutput();
                return m_stdout.contains('\n') || m_process.state() == QProcess::NotRunning;
            },
            10000);
        const int at = m_stdout.indexOf(prefix);
        if (at < 0)
            return 0;
        const int end = m_stdout.indexOf('\n', at);
        return static_cast<quint16>(m_stdout.mid(at + prefix.size(), end - at - prefix.size()).toUInt());
    }

    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_stdout;
};

} // namespace lexiflip::testing
