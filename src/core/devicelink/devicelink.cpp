#include "devicelink/devicelink.h"

#include <algorithm>

namespace qev {

namespace {

bool takesLongAccessCode(quint8 deviceClass) {
    return deviceClass == 17 || deviceClass == 22 || deviceClass == 23;
}

} // namespace

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

DeviceLink::DeviceLink(const ProtocolPorts &ports, DeviceCodes codes, EventPump pump)
    : m_ports(ports)
    , m_codes(std::move(codes))
    , m_pump(std::move(pump))
    , m_client(openUdpSocket(true)) {}

DeviceLink::~DeviceLink() = default;

void DeviceLink::ClearCommandBuffer() {
    CommandBuffer.fill(0);
}

void DeviceLink::SendCommand(std::size_t count) {
    SendCommand(count, CurrentPort);
}

void DeviceLink::SendCommand(std::size_t count, quint16 port) {
    m_client->sendTo(CurrentHost, port, request(count));
}

std::size_t DeviceLink::ReceiveReply(int timeoutMs) {
    return m_client->receive(CommandBuffer, timeoutMs);
}

std::size_t DeviceLink::ExchangeWithFallback(std::size_t count, int timeoutMs) {
    // A failed receive leaves the buffer alone, so the request is still there to resend.
    return qev::ExchangeWithFallback(*m_client, CurrentHost, CurrentPort, m_ports.base,
                                     request(count), CommandBuffer, timeoutMs);
}

void DeviceLink::WaitWithMessages(quint16 ms) {
    qev::WaitWithMessages(ms, m_pump);
}

void DeviceLink::SendAccessCode(quint8 deviceClass) {
    const bool isLong = takesLongAccessCode(deviceClass);
    const QByteArray &code = isLong ? m_codes.accessCodeLong : m_codes.accessCodeShort;
    const std::size_t length = isLong ? 8 : 4;
    ClearCommandBuffer();
    CommandBuffer[0] = proto::AccessCode;
    std::copy_n(code.constData(), std::min<std::size_t>(length, code.size()),
                CommandBuffer.begin() + 1);
    SendCommand(1 + length, m_ports.base);
}

void DeviceLink::setBroadcastPermitted(bool permitted) {
    m_client->setBroadcast(permitted);
}

bool DeviceLink::broadcastPermitted() const {
    return m_client->broadcast();
}

std::span<const quint8> DeviceLink::request(std::size_t count) const {
    return std::span<const quint8>(CommandBuffer).first(std::min(count, CommandBuffer.size()));
}

} // namespace qev
