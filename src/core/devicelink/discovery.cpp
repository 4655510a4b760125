#include "devicelink/discovery.h"

#include "devicelink/devicelink.h"
#include "netinspect/ipv4.h"

#include <QElapsedTimer>
#include <array>
#include <vector>

namespace qev {

namespace {

constexpr std::size_t RequestBufferSize = 10;
constexpr std::size_t ReplyBufferSize = 8196;
constexpr int CollectSliceMs = 500;
constexpr int IdentifyTimeoutMs = 3000;

using RequestBuffer = std::array<quint8, RequestBufferSize>;

std::span<const quint8> discoveryRequest(RequestBuffer &buffer) {
    buffer.fill(0);
    buffer[0] = proto::Discover;
    return std::span<const quint8>(buffer).first(1);
}

quint8 identifyClass(UdpSocket &client, const DeviceRecord &record, const ProtocolPorts &ports,
                     std::span<quint8> reply) {
    RequestBuffer request{};
    std::size_t length = BuildIdentifyRequest(IdentifyForm::Short, request);
    // Nothing can be sent to port 0; a device that reports it still listens on the base
    // port.
    const quint16 port = record.port != 0 ? record.port : ports.base;
    std::size_t count = ExchangeWithFallback(client, record.address, port, ports.base,
                                             std::span<const quint8>(request).first(length), reply,
                                             IdentifyTimeoutMs);
    IdentifyReply identified = ReadIdentifyReply(IdentifyForm::Short, reply.first(count));
    if (identified.accepted)
        return identified.deviceClass;
    // A reply of exactly four bytes is a device that has no extended form.
    if (count >= 4)
        return 0;
    request.fill(0);
    length = BuildIdentifyRequest(IdentifyForm::Extended, request);
    client.sendTo(record.address, ports.base, std::span<const quint8>(request).first(length));
    count = client.receive(reply, IdentifyTimeoutMs);
    identified = ReadIdentifyReply(IdentifyForm::Extended, reply.first(count));
    return identified.accepted ? identified.deviceClass : 0;
}

} // namespace

bool IsNetworkUsable() {
    return IsNetworkPresent() && IsWinsockUsable();
}

bool DiscoverDevices(QList<DeviceRecord> &list, int timeoutMs, const QString &broadcastAddress,
                     const ProtocolPorts &ports, const EventPump &pump,
                     const SocketFactory &openSocket) {
    list.clear();
    if (!IsNetworkUsable())
        return false;

    const auto client = openSocket(true);
    RequestBuffer request;
    client->sendTo(broadcastAddress, ports.base, discoveryRequest(request));

    std::vector<quint8> reply(ReplyBufferSize);
    QElapsedTimer clock;
    clock.start();
    for (qint64 elapsed = 0; elapsed <= timeoutMs; elapsed = clock.elapsed()) {
        const int slice = static_cast<int>(qMin<qint64>(CollectSliceMs, timeoutMs - elapsed + 1));
        const std::size_t count = client->receive(reply, slice);
        if (const std::optional<DeviceRecord> record =
                ReadDiscoveryReply(std::span<const quint8>(reply).first(count))) {
            list.append(*record);
        }
        if (pump)
            pump();
    }

    for (DeviceRecord &record : list)
        record.deviceClass = identifyClass(*client, record, ports, reply);
    return !list.isEmpty();
}

bool ProbeDevice(const QString &address, int timeoutMs, const ProtocolPorts &ports,
                 const EventPump &pump, const SocketFactory &openSocket) {
    if (!IsNetworkUsable() || !IsInLocalClassNet(address))
        return false;
    try {
        const auto client = openSocket(true);
        RequestBuffer request;
        client->sendTo(address, ports.base, discoveryRequest(request));
        YieldSlice();
        if (pump)
            pump();
        std::vector<quint8> reply(ReplyBufferSize);
        const std::size_t count = client->receive(reply, timeoutMs);
        return count >= 1 && reply[0] == proto::Ack;
    } catch (const LinkError &) {
        return false;
    }
}

} // namespace qev
