#include "devicelink/netsettings.h"

#include "devicelink/protocol.h"

#include <algorithm>

namespace qev {

namespace {

constexpr ProtocolPorts standardPorts;

// Ferrano and Lucento devices may keep the base port; every other type needs its own.
bool keepsBasePort(int deviceType) {
    return deviceType == DeviceTypeFerrano || deviceType == DeviceTypeLucento;
}

FieldVerdict shown(FieldColour colour, int messageId) {
    return {colour, messageId, true, true};
}

// Twelve upper-case hex digits, the form of the entries of the PC's ARP list.
QString plainHex(const MacBytes &mac) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(mac.data()), mac.size()).toHex().toUpper());
}

void putAddress(std::span<quint8> buffer, std::size_t offset, const IPv4Bytes &bytes) {
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + offset);
}

} // namespace

NewAddressVerdict ValidateNewIP(const QString &address, bool programPrefill,
                                const PingFunction &ping) {
    NewAddressVerdict v;
    if (!IsInLocalNet(address, false))
        v.field = shown(FieldColour::Good, IDS_128);
    else if (!IsValidIP(address))
        v.field = shown(FieldColour::Incomplete, IDS_127);
    else if (ping(address, FieldPingTimeoutMs))
        v.field = shown(FieldColour::Wrong, IDS_126);
    else
        v.field = shown(FieldColour::Good, 0);
    v.netmask = DefaultNetmask(address);
    v.hideLastValue = !programPrefill && !address.isEmpty();
    return v;
}

FieldVerdict ValidateNetmask(const QString &address, const QString &mask) {
    if (!IsInLocalNet(address, true))
        return shown(FieldColour::Incomplete, IDS_131);
    if (!IsValidIP(address))
        return shown(FieldColour::Incomplete, IDS_127);
    if (MaskCoversIP(address, mask) || IsInLocalNet(address, false))
        return shown(FieldColour::Good, 0);
    return shown(FieldColour::Wrong, IDS_129);
}

FieldVerdict ValidateOptionalAddress(const QString &address, const PingFunction &ping) {
    if (address.isEmpty())
        return {};
    if (!IsInLocalNet(address, true))
        return shown(FieldColour::Wrong, IDS_128);
    if (!IsValidIP(address))
        return shown(FieldColour::Incomplete, IDS_127);
    if (ping(address, FieldPingTimeoutMs))
        return shown(FieldColour::Good, IDS_132);
    return shown(FieldColour::Wrong, IDS_133);
}

int PortNumber(const QString &portText) {
    bool ok = false;
    const int number = portText.toInt(&ok);
    return ok ? number : 0;
}

FieldColour PortFieldColour(const QString &portText) {
    const int p = PortNumber(portText);
    return p < 10000 || p > 65535 ? FieldColour::Wrong : FieldColour::Good;
}

DeviceTypeEffect DeviceTypeChanged(int deviceType, const QString &portText) {
    DeviceTypeEffect e;
    switch (deviceType) {
    case DeviceTypeGlimnet:
    case DeviceTypeSpurnova:
        e.portText = QString::number(standardPorts.lowest);
        break;
    case DeviceTypeFerrano:
    case DeviceTypeLucento:
        e.portText = QString::number(standardPorts.base);
        break;
    case DeviceTypePortaxis:
    case DeviceTypeKopla:
        e.portText = QStringLiteral("11082");
        break;
    default:
        break;
    }
    e.portFieldVisible = deviceType == DeviceTypeFerrano;
    if (deviceType != DeviceTypeNone)
        e.label78 = QLatin1Char('(') + e.portText.value_or(portText) + QLatin1Char(')');
    const bool chosen = deviceType > DeviceTypeNone && deviceType <= DeviceTypeKopla;
    e.colour = chosen ? FieldColour::Good : FieldColour::Wrong;
    return e;
}

bool WriteButtonEnabled(const WriteButtonInput &in) {
    const int p = PortNumber(in.port);
    const auto optionalFits = [](const QString &a) {
        return a.isEmpty() || IsInLocalNet(a, true);
    };
    // A partly typed address would go out as x.y.0.0 and a port above 65535 would be cut to
    // 16 bits; either leaves a device unreachable, so both keep the button disabled.
    return in.programmingAllowed && IsValidIP(in.address) && MaskCoversIP(in.address, in.mask) &&
           optionalFits(in.gateway) && optionalFits(in.broker) && p > 10000 && p <= 65535 &&
           (p != standardPorts.base || keepsBasePort(in.deviceType)) &&
           in.deviceType != DeviceTypeNone;
}

NetSettingsDatagram BuildNetSettings(std::span<quint8> buffer, const NetSettingsInput &in) {
    NetSettingsDatagram d;
    if (buffer.size() < proto::NetSettingsLength)
        return d;
    std::fill(buffer.begin(), buffer.end(), 0);

    // Old firmware of these classes knows only the first header.
    const quint8 c = in.currentClass;
    const auto &header = (c == 1 || c == 2 || c == 3 || c == 7) ? proto::NetSettingsHeaderF4
                                                                : proto::NetSettingsHeaderF8;
    std::copy(header.begin(), header.end(), buffer.begin());
    const IPv4Bytes address = IPToBytes(in.address);
    putAddress(buffer, 3, address);
    putAddress(buffer, 7, IPToBytes(in.mask));

    // A locally administered MAC derived from the new address, moved off any MAC the PC
    // has already seen on the LAN.
    d.mac = {0x02, 0x81, 0x7E, 0x00, address[2], address[3]};
    const auto seen = [&](const MacBytes &mac) {
        return in.arpMacs.contains(plainHex(mac), Qt::CaseInsensitive);
    };
    if (seen(d.mac)) {
        MacBytes candidate = d.mac;
        for (int last = 1; last <= 255; ++last) {
            candidate[5] = static_cast<quint8>(last);
            if (!seen(candidate)) {
                d.mac = candidate;
                break;
            }
        }
    }
    std::copy(d.mac.begin(), d.mac.end(), buffer.begin() + 11);

    int number = PortNumber(in.port);
    d.portText = in.port;
    if (!keepsBasePort(in.deviceType) && number < standardPorts.lowest) {
        number = standardPorts.lowest;
        d.portText = QString::number(number);
    }
    d.port = static_cast<quint16>(number);
    buffer[17] = static_cast<quint8>(d.port >> 8);
    buffer[18] = static_cast<quint8>(d.port & 0xFF);

    if (!in.gateway.isEmpty() && !in.broker.isEmpty()) {
        putAddress(buffer, 19, IPToBytes(in.gateway));
        // Class 17 has no broker setting.
        if (c != 17)
            putAddress(buffer, 23, IPToBytes(in.broker));
    }
    d.length = static_cast<int>(proto::NetSettingsLength);
    return d;
}

Confirmation ProgrammingConfirmation(int deviceType) {
    Confirmation c;
    c.text = {keepsBasePort(deviceType) ? IDS_125 : IDS_100, QStringLiteral("\r\n\n"), IDS_101,
              QStringLiteral("\r\n"), IDS_102};
    return c;
}

} // namespace qev
