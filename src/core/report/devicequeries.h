#pragma once

// What the profile report asks each found device about itself (name, version, serial
// number, network settings), on the base port, and how the replies are read. Readers look
// only at the bytes received: a field that a reply claims but does not carry stays empty.

#include "devicelink/replies.h"

#include <QString>
#include <optional>
#include <span>

namespace qev {
class DeviceLink;
}

namespace qev::report {

inline constexpr int QueryTimeoutMs = 2000;
inline constexpr std::size_t NetworkGatewayOffset = 18;
inline constexpr std::size_t NetworkBrokerOffset = 22;

inline const QString NotAvailable = QStringLiteral("N/A");

// The values a device reports; empty when it was not asked or did not answer.
struct DeviceValues {
    QString name;
    QString version;
    QString gateway;
    QString broker;
    QString serial;

    bool operator==(const DeviceValues &) const = default;
};

// Which queries a class gets. NotAsked: the value is "N/A" without a query.
enum class Query { None, NotAsked, Asked };
struct QueryPlan {
    bool name = false;
    bool version = false;
    Query serial = Query::None;
    Query network = Query::None;
};
QueryPlan QueryPlanOfClass(quint8 deviceClass);

std::size_t BuildVersionRequest(std::span<quint8> buffer);
// 0 for a class whose serial number is not asked.
std::size_t BuildReportSerialRequest(quint8 deviceClass, std::span<quint8> buffer);
std::size_t BuildNetworkRequest(std::span<quint8> buffer);

// The name (request light::BuildNameRead): nothing when the reply is not one; an empty name when
// its length byte points past the bytes received.
std::optional<QString> ReadNameReply(std::span<const quint8> reply);
std::optional<QString> ReadVersionReply(std::span<const quint8> reply);
// The serial number as colon hex in received order; nothing when the check bytes do not
// match or the six bytes were not all received.
std::optional<QString> ReadReportSerialReply(quint8 deviceClass, std::span<const quint8> reply);

struct NetworkValues {
    QString gateway; // empty unless all four bytes were received
    QString broker;
};
std::optional<NetworkValues> ReadNetworkReply(std::span<const quint8> reply);

// Runs the class's queries against the record's address on the base port, in the order
// name, version, serial number, network. A query that times out or raises a socket error
// leaves its value as it was. The link's exchanges raise LinkBusy when another is in flight.
DeviceValues QueryDevice(DeviceLink &link, const DeviceRecord &record);

} // namespace qev::report
