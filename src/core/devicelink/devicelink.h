#pragma once

// The request/response channel of the main window to the current device: one long-lived
// datagram client, the CommandBuffer in which every request is built and every reply is
// received, and the fields that say which device a request goes to.

#include "app/devicecodes.h"
#include "devicelink/currentdevice.h"
#include "devicelink/eventpump.h"
#include "devicelink/linkerror.h"
#include "devicelink/protocol.h"
#include "devicelink/udpsocket.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <span>

namespace qev {

// Where and how one exchange goes.
struct ExchangeOptions {
    quint16 port = 0; // 0: the current device's port
    int timeoutMs = 2000;
    int waitMs = 0; // a pause between the send and the receive
    QString host{}; // empty: the current device
};

class DeviceLink {
public:
    // Opens the client with broadcast permitted. Raises LinkError when the system has no
    // socket to give.
    DeviceLink(const ProtocolPorts &ports, DeviceCodes codes, EventPump pump,
               SocketFactory openSocket = openUdpSocket);
    ~DeviceLink();

    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // The device requests go to. Set as a whole, when a device is identified or chosen.
    const CurrentDevice &current() const { return m_current; }
    void setCurrent(const CurrentDevice &device) { m_current = device; }

    const DeviceCodes &codes() const { return m_codes; }

    // One exchange: build the request into the zero-filled CommandBuffer, send it to the
    // current device (or where the options say), wait, and receive the reply into the
    // CommandBuffer. Returns the bytes received, empty on time-out; the window's events
    // are handled while it waits. Raises LinkError when the send fails or the peer
    // reports a closed port, and LinkBusy while another exchange waits for its reply.
    using RequestBuilder = std::function<std::size_t(std::span<quint8> buffer)>;
    std::span<const quint8> Exchange(const RequestBuilder &build,
                                     const ExchangeOptions &options = {});

    // While a Busy lives, the link counts as busy: the window disables what would start
    // other traffic. Every exchange holds one; flows of many exchanges hold one for their
    // whole run.
    class Busy {
    public:
        explicit Busy(DeviceLink &link);
        ~Busy();
        Busy(const Busy &) = delete;
        Busy &operator=(const Busy &) = delete;

    private:
        DeviceLink &m_link;
    };
    bool busy() const { return m_busy > 0; }
    // Told when the link becomes busy (true) and idle again (false).
    void setBusyListener(std::function<void(bool busy)> listener);

    // Closes the main client and opens a new one: nothing a device sent to the old one,
    // nor a report of an earlier send, can be taken for the answer to the next request.
    void ReopenClient(bool broadcastPermitted);

    // Zero-fills the CommandBuffer; every request is built on a clean buffer.
    void ClearCommandBuffer();

    // Sends the first count bytes of the CommandBuffer to the current host, on port (the
    // current port when no port is named). Does not wait. Raises LinkError when the send fails,
    // also when the current host is not an IPv4 address.
    void SendCommand(std::size_t count);
    void SendCommand(std::size_t count, quint16 port);

    // Waits at most timeoutMs for one datagram and copies up to the CommandBuffer's size
    // of it into the CommandBuffer. Returns the bytes received, 0 on time-out. Raises
    // LinkError when an earlier send reached a closed port of the peer.
    std::size_t ReceiveReply(int timeoutMs);

    // SendCommand to the current port and ReceiveReply; when the receive raises, the same
    // request goes to the base port and is received once more, and an error of that
    // second attempt leaves the count at 0. A plain time-out does not fall back.
    std::size_t ExchangeWithFallback(std::size_t count, int timeoutMs);

    void WaitWithMessages(quint16 ms);

    // Sends the network-settings datagram (the first request.size() bytes) along every
    // path on which a device may take it, whatever network it is in now.
    void BroadcastFanOut(quint8 deviceClass, const QString &deviceHost, const QString &newIp,
                         const QString &newMask, quint16 port, std::span<const quint8> request);

    // Builds the access-code command in the CommandBuffer and sends it to the current
    // host on the base port. The caller receives the reply.
    void SendAccessCode(quint8 deviceClass);

    // Whether the main client may broadcast (the direct search reopens it without).
    bool broadcastPermitted() const;

    const ProtocolPorts &ports() const { return m_ports; }
    // Where the link's clients come from; searches and probes open theirs there too.
    const SocketFactory &socketFactory() const { return m_openSocket; }

    std::array<quint8, proto::CommandBufferSize> CommandBuffer{};

private:
    // Marks one request/reply in flight; a second one is refused until it ends.
    class InFlight;

    std::span<const quint8> request(std::size_t count) const;
    void setBusy(int delta);

    ProtocolPorts m_ports;
    DeviceCodes m_codes;
    EventPump m_pump;
    SocketFactory m_openSocket;
    std::unique_ptr<UdpSocket> m_client;
    CurrentDevice m_current;
    int m_busy = 0;
    bool m_inFlight = false;
    std::function<void(bool)> m_busyListener;
};

// The exchange of ExchangeWithFallback on any client: send the request to host:port and
// receive into reply; when the receive raises, send it to host:basePort and receive once
// more, an error there giving 0.
std::size_t ExchangeWithFallback(UdpSocket &client, const QString &host, quint16 port,
                                 quint16 basePort, std::span<const quint8> request,
                                 std::span<quint8> reply, int timeoutMs);

} // namespace qev
