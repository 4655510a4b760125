#pragma once

// The simulator's datagram socket, behind an interface so that another platform can add
// its own. Besides what any UDP socket does, it tells for every datagram the address the
// datagram was sent to (a broadcast shows as the broadcast), which a plain socket API
// does not.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace qev::devsim {

struct ReceivedDatagram {
    QByteArray payload;
    quint32 srcIp = 0; // host byte order
    quint16 srcPort = 0;
    quint32 dstIp = 0;   // the datagram's own destination
    quint32 localIp = 0; // the local address a reply should leave from
};

class UdpEndpoint {
public:
    virtual ~UdpEndpoint() = default;

    // Binds to address:port (address 0 = every local address).
    virtual bool open(quint32 address, quint16 port, QString *error) = 0;
    // For a readiness notifier.
    virtual qintptr descriptor() const = 0;
    // The next waiting datagram, nothing when none waits. Does not block.
    virtual std::optional<ReceivedDatagram> receive() = 0;
    // Sends from the bound port; localIp chooses the source address of a socket bound to
    // every address (0: the system's choice).
    virtual bool send(const QByteArray &payload, quint32 dstIp, quint16 dstPort, quint32 localIp,
                      QString *error) = 0;
};

std::unique_ptr<UdpEndpoint> CreateUdpEndpoint();

// Gives an interface a new IPv4 address in place of the one it has. Only ever the
// interface named by the user.
class InterfaceAddressing {
public:
    virtual ~InterfaceAddressing() = default;
    virtual bool replaceIPv4(const QString &interfaceName, quint32 ip, quint32 mask,
                             QString *error) = 0;
};

std::unique_ptr<InterfaceAddressing> CreateInterfaceAddressing();

// Empty when this process runs in a network namespace made for tests ("ip netns add",
// named under /run/netns); otherwise why no interface may be changed from here. A
// mistyped --interface must never readdress the machine's own network.
QString TestNamespaceRefusal();

} // namespace qev::devsim
