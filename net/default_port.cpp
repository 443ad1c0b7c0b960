#include "net/default_port.h"

#include <QByteArray>

#include <optional>

#include "wire/connection.h"
#include "wire/field_reader.h"

namespace lexiflip::net {

int defaultHostPort()
{
    const QByteArray fromEnvironment = qgetenv("LEXIFLIP_PORT");
    if (!fromEnvironment.isEmpty()) {
        const std::optional<int> port = wire::parseInt(fromEnvironment.toStdString());
        if (port && *port >= 0 && *port <= 65535)
            return *port;
    }
    return wire::kDefaultPort;
}

} // namespace lexiflip::net
