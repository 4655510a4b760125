#pragma once

// The host network as Linux reports it: interfaces from getifaddrs, the default route from
// /proc/net/route, the host name lookup through getaddrinfo, ICMP echo through a ping
// socket or a raw socket.

#include "netinspect/hostnetwork.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <memory>

namespace qev {

// One IPv4 address held by one of the PC's interfaces.
struct InterfaceAddress {
    QString interfaceName;
    QString address;
    bool up = false; // administratively up and with a carrier
    bool loopback = false;
};

// The PC's own address. Debian maps the host name to 127.0.1.1 and a stale hosts entry
// may name an address this PC no longer has, so a looked-up address counts only when it
// is not a loopback address and an interface that is up holds it. Then the address of
// the default route's interface, then of the first interface that is up and not loopback;
// "127.0.0.1" when there is none, which callers take as having no network.
QString chooseLocalIP(const QStringList &lookedUp, const QList<InterfaceAddress> &addresses,
                      const QString &defaultRouteInterface);

// The interface of the default route with the lowest metric in the text of /proc/net/route;
// empty when the table holds none.
QString defaultRouteInterface(const QByteArray &routeTable);

// Whether the received bytes are the echo reply to the request with this identifier and
// sequence number. Raw sockets deliver the IPv4 header in front, ping sockets do not.
bool isEchoReplyTo(const quint8 *data, std::size_t size, bool withIpHeader, quint16 identifier,
                   quint16 sequence);

class LinuxHostNetwork final : public HostNetwork {
public:
    // Which socket Ping uses. Automatic takes a ping socket where net.ipv4.ping_group_range
    // admits the user and a raw socket otherwise; tests force one of them.
    enum class PingPath { Automatic, Datagram, Raw };

    // Looks up the IPv4 addresses of a host name, in the order the resolver gives them.
    using Resolver = std::function<QStringList(const QByteArray &hostName)>;

    // A resolver that hangs must not freeze the program for longer than this.
    static constexpr int LookupTimeoutMs = 2000;

    // Without a resolver the system's (getaddrinfo) is used.
    explicit LinuxHostNetwork(Resolver resolver = {});

    void setPingPath(PingPath path) { m_pingPath = path; }

    QString localHostName() override;
    QString localIP() override;
    bool isNetworkPresent() override;
    bool isWinsockUsable() override { return true; }
    bool ping(const QString &address, int timeoutMs) override;

private:
    struct Lookup;

    QStringList lookUp(const QByteArray &hostName);

    Resolver m_resolver;
    PingPath m_pingPath = PingPath::Automatic;
    // A lookup that outlived its wait; the next call for the same name does not wait again.
    std::shared_ptr<Lookup> m_pendingLookup;
};

} // namespace qev
