#pragma once

// What every test that starts our programs as processes needs: where the
// built programs are, a free port, a private folder of files, a client that
// logs in once a game's host listens, and the tally file read and written
// through lexiflip-lzrw1.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "net/net_wait.h"
#include "net/test_client.h"

namespace lexiflip::testing {

// The build folder the programs were built in (LEXIFLIP_BINARY_DIR).
inline QString binaryDir()
{
    const char* binary = std::getenv("LEXIFLIP_BINARY_DIR");
    return QString::fromUtf8(binary ? binary : ".");
}

// A port nobody listens on right now.
// The program ended within timeoutMs, or had ended already: waitForFinished
// alone answers false for a program whose end the event loop has already
// taken in, which a test that waits on something else first may have let it.
inline bool endedWithin(QProcess& process, int timeoutMs)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
}

inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::AnyIPv4, 0);
    return probe.serverPort();
}

// A private folder for one copy's files (settings, tally, the single-instance
// guard's name), so that tests never share them.
class Home {
public:
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// The environment of a game window under test: its game port and its own
// folder of files, shown offscreen, never offering the lobby download and
// searching the local network on 127.0.0.1 alone; then the extra variables.
inline QProcessEnvironment windowEnvironment(quint16 port, const QString& home,
                                             const QList<QPair<QString, QString>>& extra = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LEXIFLIP_PORT"), QString::number(port));
    environment.insert(QStringLiteral("LEXIFLIP_HOME"), home);
    environment.insert(QStringLiteral("LEXIFLIP_NO_LOBBY_DOWNLOAD"), QStringLiteral("1"));
    environment.insert(QStringLiteral("LEXIFLIP_DISCOVERY_ADDRESS"), QStringLiteral("127.0.0.1"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const auto& [name, value] : extra)
        environment.insert(name, value);
    return environment;
}

// Logs in as a further player once the game's host listens on port.
inline std::unique_ptr<TestClient> joinWhenListening(quint16 port, const char* name, int timeoutMs = 20000)
{
    std::unique_ptr<TestClient> client;
    const bool up = waitUntil(
        [&] {
            client = std::make_unique<TestClient>(port);
            return waitUntil([&] { return client->has("CMD_sendlogininfo+") || client->closed(); }, 500) &&
                   client->has("CMD_sendlogininfo+");
        },
        timeoutMs);
    if (!up || !client->login(name))
        return nullptr;
    return client;
}

// The tally's cells as rows of nine, and the text the tally file holds for
// them: the column count, the row count, then every cell column by column,
// CR LF after each line.
using TallyRows = std::vector<std::vector<std::string>>;

inline QByteArray tallyText(const TallyRows& rows)
{
    QByteArray text = "9\r\n" + QByteArray::number(static_cast<int>(rows.size())) + "\r\n";
    for (std::size_t column = 0; column < 9; ++column) {
        for (const auto& row : rows)
            text += QByteArray::fromStdString(row[column]) + "\r\n";
    }
    return text;
}

// lexiflip-lzrw1 with arguments; true when it ends with 0.
inline bool runLzrw1(const QStringList& arguments)
{
    return QProcess::execute(binaryDir() + QStringLiteral("/tools/lexiflip-lzrw1"), arguments) == 0;
}

// The tally text in home's tally file, through the compression tool; empty
// when the file is missing or does not decompress.
inline QByteArray decompressedTally(const QString& home)
{
    const QString text = home + QStringLiteral("/tally.txt");
    QFile::remove(text);
    if (!runLzrw1({QStringLiteral("decompress"), home + QStringLiteral("/Lexifliptally.tld"), text}))
        return {};
    QFile file(text);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes rows as home's tally file, compressed with the tool and options
// (such as "--mode fast").
inline bool compressTally(const QString& home, const TallyRows& rows, const QStringList& options = {})
{
    const QString text = home + QStringLiteral("/seed.txt");
    QFile file(text);
    const QByteArray bytes = tallyText(rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return runLzrw1(QStringList{QStringLiteral("compress")} + options +
                    QStringList{text, home + QStringLiteral("/Lexifliptally.tld")}) &&
           QFile::remove(text);
}

} // namespace lexiflip::testing
