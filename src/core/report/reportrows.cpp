#include "report/profilereport.h"

#include "netinspect/adapters.h"
#include "netinspect/arp.h"
#include "netinspect/deviceclass.h"
#include "netinspect/ipv4.h"

namespace qev::report {

namespace {

constexpr qsizetype LinesPerAdapter = 3;

// Fields of the second and third adapter line.
constexpr qsizetype MacField = 2;
constexpr qsizetype DhcpField = 3;
constexpr qsizetype GatewayField = 4;

void addIfSet(ReportTable &table, int group, const QString &label, const QString &value) {
    if (!value.isEmpty())
        table.addValue(group, label, value);
}

} // namespace

bool AdapterPairs(const QStringList &lines, const QString &primaryIp,
                  const AdapterCaptions &captions, QStringList &list) {
    for (qsizetype i = 0; i + LinesPerAdapter <= lines.size(); i += LinesPerAdapter) {
        const QStringList details = lines[i + 1].split(QLatin1Char('|'));
        const QString addresses = lines[i + 2].section(QLatin1Char('|'), 1);
        const QString first = addresses.section(QLatin1Char(';'), 0, 0);
        const QString address = first.section(QLatin1Char('/'), 0, 0);
        const QString mask = first.section(QLatin1Char('/'), 1, 1);
        const QString prefix = address == primaryIp ? QStringLiteral("1. ") : QString();
        list << prefix + captions.address << address << captions.netmask << mask;
        if (!IsValidIP(address) || address == QLatin1String("0.0.0.0"))
            continue;
        const bool dhcp = details.value(DhcpField) == QLatin1String("1");
        list << captions.gateway << details.value(GatewayField) << captions.mac + QLatin1Char(':')
             << details.value(MacField) << QStringLiteral("per DHCP:")
             << (dhcp ? QStringLiteral("Ja") : QStringLiteral("Nein"));
    }
    return !lines.isEmpty();
}

bool CollectAdapterRows(QStringList &list, const AdapterCaptions &captions) {
    QStringList lines;
    AdapterReportLines(lines);
    return AdapterPairs(lines, GetLocalIP(), captions, list);
}

void AddDeviceRows(ReportTable &table, int group, const DeviceRecord &record,
                   const DeviceValues &values) {
    table.addHeading(group, DeviceClassName(record.deviceClass));
    addIfSet(table, group, QStringLiteral("Gerätename:"), values.name);
    addIfSet(table, group, QStringLiteral("Version:"), values.version);
    addIfSet(table, group, QStringLiteral("IP-Adresse:"), record.address);
    addIfSet(table, group, QStringLiteral("Netzmaske:"), record.netmask);
    table.addValue(group, QStringLiteral("MAC Adresse:"), FormatMac(record.mac));
    if (record.port != 0)
        table.addValue(group, QStringLiteral("Port:"), QString::number(record.port));
    addIfSet(table, group, QStringLiteral("Gateway:"), values.gateway);
    addIfSet(table, group, QStringLiteral("Broker:"), values.broker);
    addIfSet(table, group, QStringLiteral("Seriennummer:"), values.serial);
}

void AddForeignRows(ReportTable &table, int group, const TZentrale &station) {
    table.addHeading(group, ForeignSystemName(station.Kind));
    table.addValue(group, QStringLiteral("Version:"), station.Version);
    table.addValue(group, QStringLiteral("IP-Adresse:"), station.IP);
    table.addValue(group, QStringLiteral("MAC Adresse:"), station.MAC);
    table.addValue(group, QStringLiteral("Port:"), QString::number(station.Port));
}

} // namespace qev::report
