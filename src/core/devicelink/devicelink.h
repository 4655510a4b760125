#pragma once

// The request/response channel of the main window to the current device: one long-lived
// datagram client, the CommandBuffer in which every request is built and every reply is
// received, and the fields that say which device a request goes to.

#include "app/devicecodes.h"
#include "devicelink/eventpump.h"
#include "devicelink/linkerror.h"
#include "devicelink/protocol.h"
#include "devicelink/udpsocket.h"

#include <QString>
#include <array>
#include <memory>
#include <span>

namespace qev {

class DeviceLink {
public:
    // Opens the client with broadcast permitted. Raises LinkError when the system has no
    // socket to give.
    DeviceLink(const ProtocolPorts &ports, DeviceCodes codes, EventPump pump);
    ~DeviceLink();

    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Zero-fills the CommandBuffer; every request is built on a clean buffer.
    void ClearCommandBuffer();

    // Sends the first count bytes of the CommandBuffer to CurrentHost:port (CurrentPort
    // when no port is named). Does not wait. Raises LinkError when the send fails, also
    // when CurrentHost is not an IPv4 address.
    void SendCommand(std::size_t count);
    void SendCommand(std::size_t count, quint16 port);

    // Waits at most timeoutMs for one datagram and copies up to the CommandBuffer's size
    // of it into the CommandBuffer. Returns the bytes received, 0 on time-out. Raises
    // LinkError when an earlier send reached a closed port of the peer.
    std::size_t ReceiveReply(int timeoutMs);

    // SendCommand to CurrentPort and ReceiveReply; when the receive raises, the same
    // request goes to the base port and is received once more, and an error of that
    // second attempt leaves the count at 0. A plain time-out does not fall back.
    std::size_t ExchangeWithFallback(std::size_t count, int timeoutMs);

    void WaitWithMessages(quint16 ms);

    // Sends the network-settings datagram (the first request.size() bytes) along every
    // path on which a device may take it, whatever network it is in now.
    void BroadcastFanOut(quint8 deviceClass, const QString &deviceHost, const QString &newIp,
                         const QString &newMask, quint16 port, std::span<const quint8> request);

    // Builds the access-code command in the CommandBuffer and sends it to
    // CurrentHost on the base port. The caller receives the reply.
    void SendAccessCode(quint8 deviceClass);

    // The direct search switches broadcast off on the main client.
    void setBroadcastPermitted(bool permitted);
    bool broadcastPermitted() const;

    const ProtocolPorts &ports() const { return m_ports; }

    std::array<quint8, proto::CommandBufferSize> CommandBuffer{};

    QString CurrentHost;
    quint16 CurrentPort = 0; // 0: the device reported none
    quint8 CurrentClass = 0; // 0: none
    int VersionMajor = 0;
    int VersionMinor = 0;
    bool ProgrammingAllowed = true;

private:
    std::span<const quint8> request(std::size_t count) const;

    ProtocolPorts m_ports;
    DeviceCodes m_codes;
    EventPump m_pump;
    std::unique_ptr<UdpSocket> m_client;
};

// The exchange of ExchangeWithFallback on any client: send the request to host:port and
// receive into reply; when the receive raises, send it to host:basePort and receive once
// more, an error there giving 0.
std::size_t ExchangeWithFallback(UdpSocket &client, const QString &host, quint16 port,
                                 quint16 basePort, std::span<const quint8> request,
                                 std::span<quint8> reply, int timeoutMs);

} // namespace qev
