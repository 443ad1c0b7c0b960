#pragma once

#include <QObject>
#include <QTcpSocket>

namespace lexiflip::client {

// The link to the lobby program (Sock11): a connection to 127.0.0.1 on the
// lobby's port, opened once in a multi-player start and held until the program
// ends. Nothing is sent on it; whatever arrives is read and dropped, so the
// lobby can never fill our buffers. A lobby that is not running refuses the
// connection, and that is not worth a word to the player: failures are silent.
class LobbyLink : public QObject {
    Q_OBJECT

public:
    static constexpr quint16 kDefaultPort = 9001;

    explicit LobbyLink(QObject* parent = nullptr);

    // Opens the link to 127.0.0.1 on port (defaultPort() when not given).
    void open();
    void open(quint16 port);

    bool isConnected() const;

    // LEXIFLIP_LOBBY_PORT when it is a port number (1..65535), else 9001.
    static quint16 defaultPort();
    // The rule alone, over the variable's text.
    static quint16 portFromText(const QString& text);

signals:
    void connected();

private:
    QTcpSocket m_socket;
};

} // namespace lexiflip::client
