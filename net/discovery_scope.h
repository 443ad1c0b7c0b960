#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

namespace lexiflip::net {

// The environment variable that confines local network discovery.
inline constexpr char kDiscoveryAddressVariable[] = "LEXIFLIP_DISCOVERY_ADDRESS";

// The UDP port discovery uses: LEXIFLIP_PORT when that is a port number,
// else 7772, the game's own port number.
quint16 defaultDiscoveryPort();

// Where local network discovery may reach. Unconfined, a search's query goes
// to every broadcast address of the machine's interfaces (and to the IPv6
// all-nodes group on each), and a host answers any source. Confined, queries
// go to the listed addresses alone, a host answers only queries that come
// from them, and it listens only on the loopback interface when they are all
// loopback addresses. A confinement that names no valid address reaches
// nothing at all: a mistyped setting never widens the reach.
class DiscoveryScope {
public:
    // Unconfined, unless LEXIFLIP_DISCOVERY_ADDRESS is set (even empty).
    static DiscoveryScope fromEnvironment();
    static DiscoveryScope unconfined() { return DiscoveryScope(); }
    // Addresses separated by commas or blanks ("127.0.0.1", "127.0.0.1, ::1").
    static DiscoveryScope confinedTo(const QString& addresses);

    bool confined() const { return m_confined; }
    // The listed addresses of a confined scope.
    const QList<QHostAddress>& addresses() const { return m_addresses; }

    // Where a query goes.
    QList<QHostAddress> queryTargets() const;
    // Whether a query from source may be answered.
    bool answers(const QHostAddress& source) const;
    // The addresses discovery's sockets bind to, one socket per family (an
    // IPv4 broadcast cannot leave a socket of both families): unconfined,
    // the any-address of IPv4 and of IPv6; confined, for each family the
    // list holds, its loopback address when every listed address of it is a
    // loopback address, else its any-address. Empty when nothing is listed.
    QList<QHostAddress> bindAddresses() const;

private:
    bool m_confined = false;
    QList<QHostAddress> m_addresses;
};

// An IPv4 address given as IPv6 (::ffff:a.b.c.d, as a dual-stack socket
// reports IPv4 peers) in its IPv4 form; any other address as it is.
QHostAddress plainAddress(const QHostAddress& address);

} // namespace lexiflip::net
