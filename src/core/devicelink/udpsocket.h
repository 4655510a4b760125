#pragma once

// One datagram socket of the operating system, not bound to a fixed local port: replies
// come back to the ephemeral port from which the request left.

#include "netinspect/ipv4.h"
#include "trace/traceendpoint.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace qev {

class UdpSocket {
public:
    virtual ~UdpSocket() = default;

    virtual void setBroadcast(bool permitted) = 0;
    virtual bool broadcast() const = 0;

    // Sends one datagram. No name is looked up: a host that is not a dotted IPv4 address
    // raises LinkError, and so does a send that the system refuses.
    void sendTo(const QString &host, quint16 port, std::span<const quint8> data);

    // Waits at most timeoutMs for one datagram and copies as much of it as fits into
    // buffer; while the program's window pump is installed, the window's events are
    // handled every few milliseconds of the wait. Returns the bytes copied, 0 when the time ran
    // out. Raises LinkError when the peer reported that an earlier datagram of this socket reached
    // a closed port; one such report raises once.
    std::size_t receive(std::span<quint8> buffer, int timeoutMs);

    // For the trace: the address and port this socket sends from towards an address, and
    // the sender of the datagram received last. A socket that cannot tell gives zeros.
    virtual TraceEndpoint localEndpoint(const IPv4Bytes & /*towards*/) const { return {}; }
    virtual TraceEndpoint lastSender() const { return {}; }

private:
    friend class TracingUdpSocket; // wraps a socket and forwards every call to it

    // Told the whole time-out of each receive before it waits (a scripted socket records it).
    virtual void receiveStarted(int /*timeoutMs*/) {}
    // Told when a receive's whole time-out passed without a datagram.
    virtual void receiveTimedOut() {}
    virtual void sendDatagram(const IPv4Bytes &address, quint16 port,
                              std::span<const quint8> data) = 0;
    virtual std::size_t receiveDatagram(std::span<quint8> buffer, int timeoutMs) = 0;
};

// The four bytes of four dot-separated decimal groups of one to three digits, each at
// most 255. Leading zeros read as decimal, the way the edit fields hold addresses.
std::optional<IPv4Bytes> DottedAddressBytes(const QString &text);

// Opens a socket of the system, traced while a trace is installed (trace/datagramtrace.h).
// Raises LinkError when the system has no socket to give.
std::unique_ptr<UdpSocket> openUdpSocket(bool broadcastPermitted);

// Opens a client: the program opens a socket of the system, tests hand in a scripted one.
using SocketFactory = std::function<std::unique_ptr<UdpSocket>(bool broadcastPermitted)>;

} // namespace qev
