#include "devsimoptions.h"

#include "simtext.h"

#include <QCommandLineParser>
#include <algorithm>

namespace qev::devsim {

namespace {

const char *const DeviceHelp = R"(
SPEC is a comma-separated list of key=value:
  class=N        device class, 0-255 (default 17, Ferrano S88-Controller).
                 Examples: 1 Glimnet, 2 Velocimo, 3 Kopla Manager, 6 s88 Master,
                 7 Portaxis, 16 Ferrano Zentrale, 17 Ferrano S88-Controller,
                 22 Lucento Classic-Master, 23 Lucento RGB-Master,
                 27 Ferrano Booster-GW, 254 Spurnova Interface (a PC program).
  version=M.N    firmware version, each part 0-255 (default 7.4).
  ip=A.B.C.D     address the device reports (default 127.0.0.2).
  mask=A.B.C.D   netmask it reports (default 255.255.255.0).
  mac=XX:XX:XX:XX:XX:XX
                 MAC it reports (default 02:81:7E:00 and the last two octets of ip).
  port=N         its own UDP port, reported by discovery (default base port + 1;
                 0 = none reported, the device then listens on the base port only).
  serial=HEX     serial number as sent, hex bytes with or without ':'. Lengths:
                 class 17 (and 6 with version 7.x) 4, 6 or 11; classes 16 and 27
                 6 or 11; classes 21-24 6 (default: the six MAC bytes).
  name=TEXT      its name: the reply to 60 64, and the log (no commas).
  extended=yes|no
                 answers the two-byte identification 60 0F (default yes).
  fault=F        silent        logs what arrives, never answers, takes nothing
                 discoveryonly answers the discovery F5, nothing else
                 baseonly      listens on the base port only
                 slow[:MS]     every reply leaves MS ms late (default 1500)
                 garbage       every reply byte inverted
                 overlong[:N]  every reply padded to N bytes (default 9000)

The devices answer discovery F5, identification 0F and 60 0F, their class's
serial-number request (0D 00, 5C 0D 00 or 60 0D 00), the access code F0 and the
27-byte network-settings datagram (F4 55 AA or F8 AA 51). The speed meter
(class 2), the S88 bus masters (6 and 17) and the manager (3) also keep the
settings of their page: read 05, 32 or 99 33 99 reports what the last write
04 AA 55, 34 AA or 99 AA 55 stored (defaults until then). Each listens on the
base port and on its own port and answers from the port a request came in on.

The light controllers answer their commands on the base port only: the light
masters 22 to 24 and the S88 controller 17 from version 7.4 on the brightness
read 60 62 (the kept values) and set 60 61 52 AC (store 0 shows a value, 1 also
keeps it) and the name write 60 63; the gateways 16 and 27 the read and save
90 9B 00 / 90 9B 01 and the set 60 61; the Classic master 22 also its settings
61 90 / 61 91, the RGB master 23 its LED counts 62 92 / 62 93, both the mode
60 94 / 60 95. pagefault= applies to their reads and writes as well.

Log lines (to --log or standard output):
  device <n> class=<c> version=<v> ip=<ip> port=<p> name=<name>
  listen <ip>:<port>
  ready                       all sockets are bound
  rx <dstIp>:<dstPort> from <srcIp>:<srcPort> <HEX>
  tx <dstIp>:<dstPort> from <localIp>:<localPort> <HEX>
  programmed ip=<ip> mask=<mask> port=<port> mac=<MAC>

Without --interface a device that takes new network settings only reports them.
With --interface IF (one device only; run it inside a test network namespace, as
root) it also replaces IF's IPv4 address and moves its sockets to the new port.

Examples:
  qev-devsim --device class=17,ip=127.0.0.2 --base-port 41080
  qev-devsim --base-port 41080 --device class=17,ip=127.0.0.2,port=41081 \
             --device class=22,ip=127.0.0.3,port=41082,serial=0A0B0C0D0E0F
)";

std::optional<QByteArray> parseHexBytes(QString text) {
    text.remove(QLatin1Char(':'));
    if (text.isEmpty() || text.size() % 2 != 0)
        return std::nullopt;
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); i += 2) {
        bool ok = false;
        const uint value = text.mid(i, 2).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        out.append(char(value));
    }
    return out;
}

std::optional<MacBytes> parseMac(const QString &text) {
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 6)
        return std::nullopt;
    MacBytes mac{};
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const uint value = parts[i].toUInt(&ok, 16);
        if (parts[i].size() != 2 || !ok)
            return std::nullopt;
        mac[i] = quint8(value);
    }
    return mac;
}

std::optional<Fault> parseFault(const QString &text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString kind = text.left(colon);
    const QString arg = colon < 0 ? QString() : text.mid(colon + 1);
    const auto valueOr = [&](int fallback, int min, int max) -> std::optional<int> {
        if (colon < 0)
            return fallback;
        return ParseNumber(arg, min, max);
    };
    if (kind == QLatin1String("silent") && colon < 0)
        return Fault{FaultKind::Silent, 0};
    if (kind == QLatin1String("discoveryonly") && colon < 0)
        return Fault{FaultKind::DiscoveryOnly, 0};
    if (kind == QLatin1String("baseonly") && colon < 0)
        return Fault{FaultKind::BaseOnly, 0};
    if (kind == QLatin1String("garbage") && colon < 0)
        return Fault{FaultKind::Garbage, 0};
    if (kind == QLatin1String("slow")) {
        if (const auto ms = valueOr(1500, 0, 600000))
            return Fault{FaultKind::Slow, *ms};
    }
    if (kind == QLatin1String("overlong")) {
        // The largest payload of one IPv4 datagram.
        if (const auto n = valueOr(Fault::DefaultOverlongLength, 1, 65507))
            return Fault{FaultKind::Overlong, *n};
    }
    return std::nullopt;
}

std::optional<bool> parseYesNo(const QString &text) {
    if (text == QLatin1String("yes") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("no") || text == QLatin1String("0"))
        return false;
    return std::nullopt;
}

} // namespace

std::optional<quint32> ParseIPv4(const QString &text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    quint32 address = 0;
    for (const QString &part : parts) {
        const std::optional<int> octet =
            part.size() <= 3 ? ParseNumber(part, 0, 255) : std::nullopt;
        if (!octet)
            return std::nullopt;
        address = address << 8 | *octet;
    }
    return address;
}

QString FormatIPv4(quint32 address) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

QString FormatMacText(const MacBytes &mac) {
    QStringList parts;
    for (const quint8 b : mac)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char(':'));
}

std::optional<DeviceConfig> ParseDeviceSpec(const QString &spec, quint16 basePort, QString *error) {
    DeviceConfig config;
    config.network.ip = 0x7F000002;
    config.network.mask = 0xFFFFFF00;
    config.network.port = quint16(basePort + 1);
    bool macGiven = false;
    const auto fail = [&](const QString &what) {
        *error = QStringLiteral("--device %1: %2").arg(spec, what);
        return std::nullopt;
    };
    for (const QString &item : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return fail(QStringLiteral("'%1' is not key=value").arg(item));
        const QString key = item.left(eq).trimmed();
        const QString value = item.mid(eq + 1).trimmed();
        const auto bad = [&] {
            return fail(QStringLiteral("bad %1 '%2'").arg(key, value));
        };
        if (key == QLatin1String("class")) {
            const auto v = ParseNumber(value, 0, 255);
            if (!v)
                return bad();
            config.deviceClass = quint8(*v);
        } else if (key == QLatin1String("version")) {
            const QStringList parts = value.split(QLatin1Char('.'));
            const auto major = parts.size() == 2 ? ParseNumber(parts[0], 0, 255) : std::nullopt;
            const auto minor = parts.size() == 2 ? ParseNumber(parts[1], 0, 255) : std::nullopt;
            if (!major || !minor)
                return bad();
            config.versionMajor = quint8(*major);
            config.versionMinor = quint8(*minor);
        } else if (key == QLatin1String("ip") || key == QLatin1String("mask")) {
            const auto v = ParseIPv4(value);
            if (!v)
                return bad();
            (key == QLatin1String("ip") ? config.network.ip : config.network.mask) = *v;
        } else if (key == QLatin1String("mac")) {
            const auto v = parseMac(value);
            if (!v)
                return bad();
            config.network.mac = *v;
            macGiven = true;
        } else if (key == QLatin1String("port")) {
            const auto v = ParseNumber(value, 0, 65535);
            if (!v)
                return bad();
            config.network.port = quint16(*v);
        } else if (key == QLatin1String("serial")) {
            const auto v = parseHexBytes(value);
            if (!v)
                return bad();
            config.serial = *v;
        } else if (key == QLatin1String("name")) {
            config.name = value;
        } else if (key == QLatin1String("extended")) {
            const auto v = parseYesNo(value);
            if (!v)
                return bad();
            config.answersExtended = *v;
        } else if (key == QLatin1String("fault")) {
            const auto v = parseFault(value);
            if (!v)
                return bad();
            config.fault = *v;
        } else if (const ReportKey reportKey = ParseReportKey(key, value, config);
                   reportKey != ReportKey::NotMine) {
            if (reportKey == ReportKey::Bad)
                return bad();
        } else if (const PageFaultKey pageKey = ParsePageFaultKey(key, value, config.pageFault);
                   pageKey != PageFaultKey::NotMine) {
            if (pageKey == PageFaultKey::Bad)
                return bad();
        } else if (const BoosterKey boosterKey = ParseBoosterKey(key, value, config.boosters);
                   boosterKey != BoosterKey::NotMine) {
            if (boosterKey == BoosterKey::Bad)
                return bad();
        } else if (const FirmwareKey taken = ParseFirmwareKey(key, value, config.firmware);
                   taken != FirmwareKey::NotMine) {
            if (taken == FirmwareKey::Bad)
                return bad();
        } else {
            return fail(QStringLiteral("unknown key '%1'").arg(key));
        }
    }
    if (!macGiven) {
        config.network.mac = {
            0x02, 0x81, 0x7E, 0x00, quint8(config.network.ip >> 8), quint8(config.network.ip)};
    }
    if (!config.serial.isEmpty()) {
        const std::vector<int> lengths =
            SerialLengthsOfClass(config.deviceClass, config.versionMajor);
        if (std::find(lengths.begin(), lengths.end(), int(config.serial.size())) == lengths.end())
            return fail(QStringLiteral("class %1 cannot report a serial number of %2 bytes")
                            .arg(config.deviceClass)
                            .arg(config.serial.size()));
    }
    return config;
}

ParsedCommandLine ParseDevsimCommandLine(const QStringList &arguments,
                                         const QString &defaultSettingsFile) {
    ParsedCommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Emulates Spurnova devices on the UDP protocol, for trying and testing "
                       "qev-programmer without hardware."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Emulates a device (repeatable); SPEC below."),
                                    QStringLiteral("SPEC"));
    const QCommandLineOption interfaceOption(
        QStringLiteral("interface"),
        QStringLiteral(
            "A device that takes new network settings gives IF its new address "
            "(needs root; refused outside a network namespace made with \"ip netns add\")."),
        QStringLiteral("IF"));
    const QCommandLineOption bind(
        QStringLiteral("bind"),
        QStringLiteral("Address to bind (default: each device's ip; 0.0.0.0 to receive "
                       "broadcasts)."),
        QStringLiteral("ADDR"));
    const QCommandLineOption gather(
        QStringLiteral("gather"),
        QStringLiteral("Every device also listens at ADDR on the base port, so that one datagram "
                       "sent there reaches them all (a broadcast on loopback, which has none)."),
        QStringLiteral("ADDR"));
    const QCommandLineOption basePort(QStringLiteral("base-port"),
                                      QStringLiteral("Base port (default 11080)."),
                                      QStringLiteral("N"), QStringLiteral("11080"));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Settings file with the device codes (section \"Codes\"; default: "
                       "qev-programmer's settings file, %1).")
            .arg(defaultSettingsFile),
        QStringLiteral("FILE"));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Writes the log to FILE (default: standard "
                                                "output)."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption lenz(
        QStringLiteral("lenz"),
        QStringLiteral("Also emulates another maker's Lenz LAN interface on TCP: "
                       "answer=both|first|none (the requests F1 03 and 21 21 it answers, "
                       "default both), version=M.N (default 3.6), ip=A.B.C.D (default "
                       "127.0.0.1), port=N (default 5550). Without --device it runs alone. "
                       "Logs \"lenz listen|connect|rx|tx <ip>:<port> [HEX]\" lines."),
        QStringLiteral("SPEC"));
    parser.addOptions({help, device, interfaceOption, bind, gather, basePort, settings, log, lenz});

    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.helpText =
            parser.helpText() + QString::fromUtf8(DeviceHelp) +
            QStringLiteral("\nReport keys of SPEC (name request 60 64, F5 reply):\n") +
            QString::fromUtf8(ReportHelp) +
            QStringLiteral("\nPage keys of SPEC (settings of classes 2, 3, 6, 17):\n") +
            QString::fromUtf8(PageFaultHelp) +
            QStringLiteral("\nBooster-bus keys of SPEC (classes 3 and 27):\n") +
            QString::fromUtf8(BoosterHelp) +
            QStringLiteral("\nFirmware keys of SPEC (commands F0, F3, F2, F6):\n") +
            QString::fromUtf8(FirmwareHelp);
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error =
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
        return result;
    }

    DevsimOptions options;
    const auto port = ParseNumber(parser.value(basePort), 0, 65535);
    if (!port || *port == 0) {
        result.error = QStringLiteral("bad --base-port '%1'").arg(parser.value(basePort));
        return result;
    }
    options.basePort = quint16(*port);
    if (parser.isSet(bind)) {
        options.bindAddress = ParseIPv4(parser.value(bind));
        if (!options.bindAddress) {
            result.error = QStringLiteral("bad --bind '%1'").arg(parser.value(bind));
            return result;
        }
    }
    if (parser.isSet(gather)) {
        options.gatherAddress = ParseIPv4(parser.value(gather));
        if (!options.gatherAddress) {
            result.error = QStringLiteral("bad --gather '%1'").arg(parser.value(gather));
            return result;
        }
    }
    for (const QString &spec : parser.values(device)) {
        std::optional<DeviceConfig> config = ParseDeviceSpec(spec, options.basePort, &result.error);
        if (!config)
            return result;
        options.devices.push_back(std::move(*config));
    }
    if (parser.isSet(lenz)) {
        options.lenz = ParseLenzSpec(parser.value(lenz), &result.error);
        if (!options.lenz)
            return result;
    }
    if (options.devices.empty() && !options.lenz) {
        result.error = QStringLiteral("no --device given (see --help)");
        return result;
    }
    options.interfaceName = parser.value(interfaceOption);
    if (parser.isSet(interfaceOption) &&
        (options.interfaceName.isEmpty() || options.devices.size() != 1)) {
        result.error =
            QStringLiteral("--interface needs an interface name and exactly one --device");
        return result;
    }
    options.settingsFile = parser.isSet(settings) ? parser.value(settings) : defaultSettingsFile;
    options.logFile = parser.value(log);
    result.options = std::move(options);
    return result;
}

} // namespace qev::devsim
