#include "devicelink/devicelink.h"

#include "netinspect/ipv4.h"

#include <algorithm>

namespace qev {

namespace {

constexpr std::size_t ScratchSize = 2049;
constexpr int DrainMs = 500;
constexpr quint16 PathPauseMs = 50;

const QString LimitedBroadcast = QStringLiteral("255.255.255.255");

// The receive serves as a pause and empties the socket; what arrives is of no interest.
void sendAndDrain(UdpSocket &client, const QString &host, quint16 port,
                  std::span<const quint8> datagram) {
    client.sendTo(host, port, datagram);
    std::array<quint8, ScratchSize> sink;
    client.receive(sink, DrainMs);
}

// A path without a destination (the new address is not an address yet) is left out;
// the other paths still carry the datagram.
void sendOnTemporaryClient(const SocketFactory &openSocket, const QString &host, quint16 port,
                           std::span<const quint8> datagram) {
    if (host.isEmpty())
        return;
    const auto client = openSocket(true);
    sendAndDrain(*client, host, port, datagram);
}

// Old firmware of the Ferrano devices takes only the F4 header.
bool needsSecondPass(quint8 deviceClass, int versionMajor, int versionMinor) {
    return (deviceClass == 0 || deviceClass == 17) && versionMajor <= 7 && versionMinor <= 4;
}

} // namespace

void DeviceLink::BroadcastFanOut(quint8 deviceClass, const QString &deviceHost,
                                 const QString &newIp, const QString & /*newMask*/, quint16 port,
                                 std::span<const quint8> request) {
    std::array<quint8, ScratchSize> scratch{};
    const std::size_t count = std::min(request.size(), scratch.size());
    std::copy_n(request.begin(), count, scratch.begin());
    const auto datagram = std::span<const quint8>(scratch).first(count);

    // The device still listens at the address at which it was found.
    const std::optional<IPv4Bytes> oldAddress = DottedAddressBytes(deviceHost);
    if (oldAddress && (*oldAddress)[0] > 0)
        sendAndDrain(*m_client, deviceHost, m_ports.base, datagram);
    WaitWithMessages(PathPauseMs);

    // Broadcasts of the network the device is being moved to, of its first octet's class A
    // network and of the local segment reach it whatever network it is in now.
    const QString towards = BroadcastTowards(newIp, GetLocalIP());
    const QString firstOctet = QStringLiteral("%1.255.255.255").arg(IPToBytes(newIp)[0]);
    sendOnTemporaryClient(m_openSocket, towards, port, datagram);
    WaitWithMessages(PathPauseMs);
    sendOnTemporaryClient(m_openSocket, firstOctet, port, datagram);
    WaitWithMessages(PathPauseMs);
    {
        const auto client = m_openSocket(true);
        sendAndDrain(*client, LimitedBroadcast, m_ports.base, datagram);
        WaitWithMessages(PathPauseMs);
        sendAndDrain(*client, LimitedBroadcast, port, datagram);
    }
    WaitWithMessages(PathPauseMs);

    if (!needsSecondPass(deviceClass, m_current.versionMajor, m_current.versionMinor))
        return;
    std::copy(proto::NetSettingsHeaderF4.begin(), proto::NetSettingsHeaderF4.end(),
              scratch.begin());
    sendOnTemporaryClient(m_openSocket, towards, port, datagram);
    sendOnTemporaryClient(m_openSocket, firstOctet, port, datagram);
    sendOnTemporaryClient(m_openSocket, LimitedBroadcast, m_ports.base, datagram);
}

} // namespace qev
