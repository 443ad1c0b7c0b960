#include "net/discovery_scope.h"

#include <QNetworkInterface>
#include <QRegularExpression>

#include <algorithm>

#include "net/default_port.h"

namespace lexiflip::net {

quint16 defaultDiscoveryPort()
{
    return static_cast<quint16>(defaultHostPort());
}

QHostAddress plainAddress(const QHostAddress& address)
{
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4) : address;
}

DiscoveryScope DiscoveryScope::fromEnvironment()
{
    if (!qEnvironmentVariableIsSet(kDiscoveryAddressVariable))
        return unconfined();
    return confinedTo(qEnvironmentVariable(kDiscoveryAddressVariable));
}

DiscoveryScope DiscoveryScope::confinedTo(const QString& addresses)
{
    DiscoveryScope scope;
    scope.m_confined = true;
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    for (const QString& text : addresses.split(separators, Qt::SkipEmptyParts)) {
        QHostAddress address;
        if (!address.setAddress(text)) {
            // One bad entry spoils the list: what was meant is unknown.
            scope.m_addresses.clear();
            return scope;
        }
        scope.m_addresses.append(plainAddress(address));
    }
    return scope;
}

QList<QHostAddress> DiscoveryScope::queryTargets() const
{
    if (m_confined)
        return m_addresses;
    QList<QHostAddress> targets{QHostAddress(QHostAddress::Broadcast)};
    const QHostAddress allNodes(QStringLiteral("ff02::1"));
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress broadcast = entry.broadcast();
            if (!broadcast.isNull() && !targets.contains(broadcast))
                targets.append(broadcast);
        }
        if (flags.testFlag(QNetworkInterface::CanMulticast)) {
            QHostAddress group = allNodes;
            group.setScopeId(interface.name());
            targets.append(group);
        }
    }
    return targets;
}

bool DiscoveryScope::answers(const QHostAddress& source) const
{
    if (!m_confined)
        return true;
    const QHostAddress plain = plainAddress(source);
    return std::any_of(m_addresses.begin(), m_addresses.end(),
                       [&](const QHostAddress& listed) { return listed.isEqual(plain); });
}

QList<QHostAddress> DiscoveryScope::bindAddresses() const
{
    if (!m_confined)
        return {QHostAddress(QHostAddress::AnyIPv4), QHostAddress(QHostAddress::AnyIPv6)};
    QList<QHostAddress> binds;
    const auto family = [this, &binds](QAbstractSocket::NetworkLayerProtocol protocol,
                                       QHostAddress::SpecialAddress loopback,
                                       QHostAddress::SpecialAddress any) {
        bool listed = false;
        bool onlyLoopback = true;
        for (const QHostAddress& address : m_addresses) {
            if (address.protocol() != protocol)
                continue;
            listed = true;
            onlyLoopback = onlyLoopback && address.isLoopback();
        }
        // 127.0.0.2 and the like reach a socket on 127.0.0.1 too.
        if (listed)
            binds.append(QHostAddress(onlyLoopback ? loopback : any));
    };
    family(QAbstractSocket::IPv4Protocol, QHostAddress::LocalHost, QHostAddress::AnyIPv4);
    family(QAbstractSocket::IPv6Protocol, QHostAddress::LocalHostIPv6, QHostAddress::AnyIPv6);
    return binds;
}

} // namespace lexiflip::net
