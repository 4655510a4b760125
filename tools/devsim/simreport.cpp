#include "simreport.h"

#include "devicelink/protocol.h"
#include "devsimoptions.h"
#include "pages/light.h"
#include "simdevice.h"
#include "simtext.h"

namespace qev::devsim {

namespace {} // namespace

const char *const ReportHelp = R"(  gateway=A.B.C.D, broker=A.B.C.D
                 gateway and MQTT broker the device holds (default 0.0.0.0).
  netreply=N     length of its F5 reply, 18-26 (default 18): from 22 on it
                 carries the gateway, from 26 on the broker too; the lengths in
                 between cut them off.
  namelen=N      the length byte of its reply to the name request 60 64, 0-255
                 (default: the length of name=), also past the bytes sent.
)";

ReportKey ParseReportKey(const QString &key, const QString &value, DeviceConfig &config) {
    if (key == QLatin1String("gateway") || key == QLatin1String("broker")) {
        const std::optional<quint32> address = ParseIPv4(value);
        if (!address)
            return ReportKey::Bad;
        (key == QLatin1String("gateway") ? config.network.gateway : config.network.broker) =
            *address;
        return ReportKey::Taken;
    }
    if (key == QLatin1String("netreply")) {
        const std::optional<int> length =
            ParseNumber(value, int(proto::DiscoveryReplyMinLength), NetworkReplyMaxLength);
        if (!length)
            return ReportKey::Bad;
        config.report.networkReplyLength = *length;
        return ReportKey::Taken;
    }
    if (key == QLatin1String("namelen")) {
        const std::optional<int> length = ParseNumber(value, 0, 255);
        if (!length)
            return ReportKey::Bad;
        config.report.nameLength = *length;
        return ReportKey::Taken;
    }
    return ReportKey::NotMine;
}

QByteArray NetworkReplyTail(const NetworkSettings &network, const ReportConfig &config) {
    QByteArray tail;
    for (const quint32 address : {network.gateway, network.broker}) {
        for (const int shift : {24, 16, 8, 0})
            tail.append(char(address >> shift));
    }
    return tail.left(config.networkReplyLength - qsizetype(proto::DiscoveryReplyMinLength));
}

void InstallReportCommands(SimDevice &device) {
    QByteArray request;
    request.append(char(proto::PrefixExtended)).append(char(light::NameRead));
    device.addCommand(request, [&device, request](QByteArrayView, Response &r) {
        const DeviceConfig &config = device.config();
        const QByteArray name = config.name.toLatin1();
        const int length =
            config.report.nameLength >= 0 ? config.report.nameLength : int(name.size());
        r.reply = char(proto::Ack) + request + char(quint8(length)) + name;
    });
}

} // namespace qev::devsim
