#include "report/devicequeries.h"

#include "devicelink/devicelink.h"
#include "devicelink/linkerror.h"
#include "netinspect/arp.h"
#include "netinspect/ipv4.h"
#include "pages/light.h"

#include <QByteArray>
#include <algorithm>

namespace qev::report {

namespace {

constexpr std::size_t SerialLength = 6;

QString dotted(std::span<const quint8> reply, std::size_t offset) {
    IPv4Bytes address{};
    std::copy_n(reply.begin() + qsizetype(offset), address.size(), address.begin());
    return BytesToIP(address);
}

bool isLightMaster(quint8 deviceClass) {
    return deviceClass >= 21 && deviceClass <= 23;
}

// One query; a socket error leaves the value as it was. A second exchange in flight is
// the caller's fault and is not swallowed.
template <class Read, class Apply>
void query(DeviceLink &link, const DeviceRecord &record, const DeviceLink::RequestBuilder &build,
           Read read, Apply apply) {
    try {
        const std::span<const quint8> reply = link.Exchange(
            build,
            {.port = link.ports().base, .timeoutMs = QueryTimeoutMs, .host = record.address});
        apply(read(reply));
    } catch (const LinkBusy &) {
        throw;
    } catch (const LinkError &) {
    }
}

} // namespace

QueryPlan QueryPlanOfClass(quint8 deviceClass) {
    if (deviceClass == 1)
        return {.version = true, .network = Query::NotAsked};
    if (deviceClass == 7)
        return {.version = true, .serial = Query::NotAsked, .network = Query::Asked};
    if (deviceClass == 16 || deviceClass == 17 || isLightMaster(deviceClass))
        return {.name = true, .version = true, .serial = Query::Asked, .network = Query::Asked};
    return {};
}

std::size_t BuildVersionRequest(std::span<quint8> buffer) {
    buffer[0] = proto::Identify;
    return 1;
}

std::size_t BuildReportSerialRequest(quint8 deviceClass, std::span<quint8> buffer) {
    if (deviceClass == 17) {
        buffer[0] = proto::Serial;
        buffer[1] = 0x00;
        return 2;
    }
    if (deviceClass == 16 || isLightMaster(deviceClass)) {
        buffer[0] = deviceClass == 16 ? proto::PrefixBoosterGateway : proto::PrefixExtended;
        buffer[1] = proto::Serial;
        buffer[2] = 0x00;
        return 3;
    }
    return 0;
}

std::size_t BuildNetworkRequest(std::span<quint8> buffer) {
    buffer[0] = proto::Discover;
    return 1;
}

std::optional<QString> ReadNameReply(std::span<const quint8> reply) {
    if (reply.size() <= 4)
        return std::nullopt;
    const std::size_t length = reply[3];
    if (4 + length > reply.size())
        return QString();
    const std::span<const quint8> name = reply.subspan(4, length);
    return QString::fromLatin1(reinterpret_cast<const char *>(name.data()), qsizetype(name.size()));
}

std::optional<QString> ReadVersionReply(std::span<const quint8> reply) {
    if (reply.size() <= 4)
        return std::nullopt;
    return QStringLiteral("%1.%2").arg(reply[3]).arg(reply[4]);
}

std::optional<QString> ReadReportSerialReply(quint8 deviceClass, std::span<const quint8> reply) {
    if (reply.size() <= 4)
        return std::nullopt;
    std::size_t start = 0;
    if (deviceClass == 17 && reply[2] == 0x01 && reply[3] == SerialLength)
        start = 4;
    else if ((deviceClass == 16 || isLightMaster(deviceClass)) && reply[2] == proto::Serial &&
             reply[4] == SerialLength)
        start = 5;
    if (start == 0 || start + SerialLength > reply.size())
        return std::nullopt;
    const std::span<const quint8> serial = reply.subspan(start, SerialLength);
    return HexBytesText(
        QByteArray(reinterpret_cast<const char *>(serial.data()), qsizetype(serial.size())), false);
}

std::optional<NetworkValues> ReadNetworkReply(std::span<const quint8> reply) {
    if (reply.size() < proto::DiscoveryReplyMinLength || reply[0] != proto::Ack ||
        reply[1] != proto::Discover)
        return std::nullopt;
    NetworkValues values;
    if (reply.size() >= NetworkGatewayOffset + 4)
        values.gateway = dotted(reply, NetworkGatewayOffset);
    if (reply.size() >= NetworkBrokerOffset + 4)
        values.broker = dotted(reply, NetworkBrokerOffset);
    return values;
}

DeviceValues QueryDevice(DeviceLink &link, const DeviceRecord &record) {
    DeviceValues values;
    const quint8 deviceClass = record.deviceClass;
    const QueryPlan plan = QueryPlanOfClass(deviceClass);
    const auto keep = [](QString &target) {
        return [&target](const std::optional<QString> &read) {
            if (read)
                target = *read;
        };
    };
    if (plan.name)
        query(link, record, light::BuildNameRead, ReadNameReply, keep(values.name));
    if (plan.version)
        query(link, record, BuildVersionRequest, ReadVersionReply, keep(values.version));
    if (plan.serial == Query::NotAsked)
        values.serial = NotAvailable;
    if (plan.serial == Query::Asked) {
        query(
            link, record,
            [deviceClass](std::span<quint8> b) { return BuildReportSerialRequest(deviceClass, b); },
            [deviceClass](std::span<const quint8> r) {
                return ReadReportSerialReply(deviceClass, r);
            },
            [&values](const std::optional<QString> &serial) {
                values.serial = serial.value_or(NotAvailable);
            });
    }
    if (plan.network == Query::NotAsked) {
        values.gateway = NotAvailable;
        values.broker = NotAvailable;
    }
    if (plan.network == Query::Asked) {
        query(link, record, BuildNetworkRequest, ReadNetworkReply,
              [&values](const std::optional<NetworkValues> &network) {
                  if (network) {
                      values.gateway = network->gateway;
                      values.broker = network->broker;
                  }
              });
    }
    return values;
}

} // namespace qev::report
