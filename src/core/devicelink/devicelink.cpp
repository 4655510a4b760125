#include "devicelink/devicelink.h"

#include "devicelink/deviceclasses.h"

#include <algorithm>

namespace qev {

std::size_t ExchangeWithFallback(UdpSocket &client, const QString &host, quint16 port,
                                 quint16 basePort, std::span<const quint8> request,
                                 std::span<quint8> reply, int timeoutMs) {
    client.sendTo(host, port, request);
    try {
        return client.receive(reply, timeoutMs);
    } catch (const LinkError &) {
        // The device does not listen on port; every device listens on the base port.
    }
    client.sendTo(host, basePort, request);
    try {
        return client.receive(reply, timeoutMs);
    } catch (const LinkError &) {
        return 0;
    }
}

class DeviceLink::InFlight {
public:
    explicit InFlight(DeviceLink &link)
        : m_link(link)
        , m_busy(link) {
        if (m_link.m_inFlight)
            throw LinkBusy();
        m_link.m_inFlight = true;
    }
    ~InFlight() { m_link.m_inFlight = false; }
    InFlight(const InFlight &) = delete;
    InFlight &operator=(const InFlight &) = delete;

private:
    DeviceLink &m_link;
    Busy m_busy;
};

DeviceLink::Busy::Busy(DeviceLink &link)
    : m_link(link) {
    m_link.setBusy(+1);
}

DeviceLink::Busy::~Busy() {
    m_link.setBusy(-1);
}

DeviceLink::DeviceLink(const ProtocolPorts &ports, DeviceCodes codes, EventPump pump,
                       SocketFactory openSocket)
    : m_ports(ports)
    , m_codes(std::move(codes))
    , m_pump(std::move(pump))
    , m_openSocket(std::move(openSocket))
    , m_client(m_openSocket(true)) {}

DeviceLink::~DeviceLink() = default;

void DeviceLink::setBusy(int delta) {
    const bool before = m_busy > 0;
    m_busy += delta;
    const bool after = m_busy > 0;
    if (before != after && m_busyListener)
        m_busyListener(after);
}

void DeviceLink::setBusyListener(std::function<void(bool)> listener) {
    m_busyListener = std::move(listener);
}

void DeviceLink::ReopenClient(bool broadcastPermitted) {
    m_client.reset();
    m_client = m_openSocket(broadcastPermitted);
}

std::span<const quint8> DeviceLink::Exchange(const RequestBuilder &build,
                                             const ExchangeOptions &options) {
    const InFlight exchange(*this);
    ClearCommandBuffer();
    const std::size_t length = build(CommandBuffer);
    const QString &host = options.host.isEmpty() ? m_current.host : options.host;
    m_client->sendTo(host, options.port != 0 ? options.port : m_current.port, request(length));
    if (options.waitMs > 0)
        WaitWithMessages(static_cast<quint16>(options.waitMs));
    const std::size_t count = m_client->receive(CommandBuffer, options.timeoutMs);
    return std::span<const quint8>(CommandBuffer).first(count);
}

void DeviceLink::ClearCommandBuffer() {
    CommandBuffer.fill(0);
}

void DeviceLink::SendCommand(std::size_t count) {
    SendCommand(count, m_current.port);
}

void DeviceLink::SendCommand(std::size_t count, quint16 port) {
    m_client->sendTo(m_current.host, port, request(count));
}

std::size_t DeviceLink::ReceiveReply(int timeoutMs) {
    const InFlight exchange(*this);
    return m_client->receive(CommandBuffer, timeoutMs);
}

std::size_t DeviceLink::ExchangeWithFallback(std::size_t count, int timeoutMs) {
    const InFlight exchange(*this);
    // A failed receive leaves the buffer alone, so the request is still there to resend.
    return qev::ExchangeWithFallback(*m_client, m_current.host, m_current.port, m_ports.base,
                                     request(count), CommandBuffer, timeoutMs);
}

void DeviceLink::WaitWithMessages(quint16 ms) {
    qev::WaitWithMessages(ms, m_pump);
}

void DeviceLink::SendAccessCode(quint8 deviceClass) {
    const std::size_t length = std::size_t(ClassInfo(deviceClass).accessCodeLength);
    const QByteArray &code = length == 8 ? m_codes.accessCodeLong : m_codes.accessCodeShort;
    ClearCommandBuffer();
    CommandBuffer[0] = proto::AccessCode;
    std::copy_n(code.constData(), std::min<std::size_t>(length, code.size()),
                CommandBuffer.begin() + 1);
    SendCommand(1 + length, m_ports.base);
}

bool DeviceLink::broadcastPermitted() const {
    return m_client->broadcast();
}

std::span<const quint8> DeviceLink::request(std::size_t count) const {
    return std::span<const quint8>(CommandBuffer).first(std::min(count, CommandBuffer.size()));
}

} // namespace qev
