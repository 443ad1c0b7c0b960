#pragma once

#include <QAbstractSocket>

#include <string>

namespace lexiflip::net {

// Socket errors are reported with the Windows Sockets numbers and names that
// the game's players and its documentation know ("Error #10061
// (WSAECONNREFUSED)"), whatever the platform underneath says.

// The Windows Sockets code of a Qt socket error. Errors with no counterpart
// there come out as 0.
int socketErrorCode(QAbstractSocket::SocketError error);

// The standard constant name of a Windows Sockets code, or "UNKNOWN ERROR".
const char* socketErrorName(int code);

// "Error #" code " (" name ")": the text of an Error report.
std::string socketErrorText(int code);

} // namespace lexiflip::net
