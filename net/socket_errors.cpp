#include "net/socket_errors.h"

#include <array>
#include <utility>

namespace lexiflip::net {
namespace {

struct ErrorMapping {
    QAbstractSocket::SocketError error;
    int code;
};

// The one place that says which Windows Sockets code each Qt error stands for.
// Where Qt distinguishes proxy or TLS variants of a failure, the code of the
// plain failure is used.
constexpr std::array kErrorMap{
    ErrorMapping{QAbstractSocket::ConnectionRefusedError, 10061},           // WSAECONNREFUSED
    ErrorMapping{QAbstractSocket::RemoteHostClosedError, 10054},            // WSAECONNRESET
    ErrorMapping{QAbstractSocket::HostNotFoundError, 11001},                // WSAHOST_NOT_FOUND
    ErrorMapping{QAbstractSocket::SocketAccessError, 10013},                // WSAEACCES
    ErrorMapping{QAbstractSocket::SocketResourceError, 10055},              // WSAENOBUFS
    ErrorMapping{QAbstractSocket::SocketTimeoutError, 10060},               // WSAETIMEDOUT
    ErrorMapping{QAbstractSocket::DatagramTooLargeError, 10040},            // WSAEMSGSIZE
    ErrorMapping{QAbstractSocket::NetworkError, 10050},                     // WSAENETDOWN
    ErrorMapping{QAbstractSocket::AddressInUseError, 10048},                // WSAEADDRINUSE
    ErrorMapping{QAbstractSocket::SocketAddressNotAvailableError, 10049},   // WSAEADDRNOTAVAIL
    ErrorMapping{QAbstractSocket::UnsupportedSocketOperationError, 10045},  // WSAEOPNOTSUPP
    ErrorMapping{QAbstractSocket::UnfinishedSocketOperationError, 10036},   // WSAEINPROGRESS
    ErrorMapping{QAbstractSocket::ProxyAuthenticationRequiredError, 10013}, // WSAEACCES
    ErrorMapping{QAbstractSocket::SslHandshakeFailedError, 10053},          // WSAECONNABORTED
    ErrorMapping{QAbstractSocket::ProxyConnectionRefusedError, 10061},      // WSAECONNREFUSED
    ErrorMapping{QAbstractSocket::ProxyConnectionClosedError, 10054},       // WSAECONNRESET
    ErrorMapping{QAbstractSocket::ProxyConnectionTimeoutError, 10060},      // WSAETIMEDOUT
    ErrorMapping{QAbstractSocket::ProxyNotFoundError, 11001},               // WSAHOST_NOT_FOUND
    ErrorMapping{QAbstractSocket::ProxyProtocolError, 10022},               // WSAEINVAL
    ErrorMapping{QAbstractSocket::OperationError, 10022},                   // WSAEINVAL
    ErrorMapping{QAbstractSocket::SslInternalError, 10053},                 // WSAECONNABORTED
    ErrorMapping{QAbstractSocket::SslInvalidUserDataError, 10022},          // WSAEINVAL
    ErrorMapping{QAbstractSocket::TemporaryError, 10035},                   // WSAEWOULDBLOCK
};

// The names of every code the platform reports.
constexpr std::pair<int, const char*> kErrorNames[] = {
    {10004, "WSAEINTR"},           {10009, "WSAEBADF"},        {10013, "WSAEACCES"},
    {10014, "WSAEFAULT"},          {10022, "WSAEINVAL"},       {10024, "WSAEMFILE"},
    {10035, "WSAEWOULDBLOCK"},     {10036, "WSAEINPROGRESS"},  {10037, "WSAEALREADY"},
    {10038, "WSAENOTSOCK"},        {10039, "WSAEDESTADDRREQ"}, {10040, "WSAEMSGSIZE"},
    {10041, "WSAEPROTOTYPE"},      {10042, "WSAENOPROTOOPT"},  {10043, "WSAEPROTONOSUPPORT"},
    {10044, "WSAESOCKTNOSUPPORT"}, {10045, "WSAEOPNOTSUPP"},   {10046, "WSAEPFNOSUPPORT"},
    {10047, "WSAEAFNOSUPPORT"},    {10048, "WSAEADDRINUSE"},   {10049, "WSAEADDRNOTAVAIL"},
    {10050, "WSAENETDOWN"},        {10051, "WSAENETUNREACH"},  {10052, "WSAENETRESET"},
    {10053, "WSAECONNABORTED"},    {10054, "WSAECONNRESET"},   {10055, "WSAENOBUFS"},
    {10056, "WSAEISCONN"},         {10057, "WSAENOTCONN"},     {10058, "WSAESHUTDOWN"},
    {10059, "WSAETOOMANYREFS"},    {10060, "WSAETIMEDOUT"},    {10061, "WSAECONNREFUSED"},
    {10062, "WSAELOOP"},           {10063, "WSAENAMETOOLONG"}, {10064, "WSAEHOSTDOWN"},
    {10065, "WSAEHOSTUNREACH"},    {10066, "WSAENOTEMPTY"},    {10067, "WSAEPROCLIM"},
    {10068, "WSAEUSERS"},          {10069, "WSAEDQUOT"},       {10070, "WSAESTALE"},
    {10071, "WSAEREMOTE"},         {10091, "WSASYSNOTREADY"},  {10092, "WSAVERNOTSUPPORTED"},
    {10093, "WSANOTINITIALISED"},  {10101, "WSAEDISCON"},      {11001, "WSAHOST_NOT_FOUND"},
    {11002, "WSATRY_AGAIN"},       {11003, "WSANO_RECOVERY"},  {11004, "WSANO_DATA"},
};

} // namespace

int socketErrorCode(QAbstractSocket::SocketError error)
{
    for (const ErrorMapping& mapping : kErrorMap) {
        if (mapping.error == error)
            return mapping.code;
    }
    return 0;
}

const char* socketErrorName(int code)
{
    for (const auto& [known, name] : kErrorNames) {
        if (known == code)
            return name;
    }
    return "UNKNOWN ERROR";
}

std::string socketErrorText(int code)
{
    return "Error #" + std::to_string(code) + " (" + socketErrorName(code) + ")";
}

} // namespace lexiflip::net
