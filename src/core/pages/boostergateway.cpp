#include "pages/boostergateway.h"

#include "devicelink/devicelink.h"
#include "pages/boosterlist.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace qev::boostergateway {

namespace {

using proto::Ack;
using proto::PrefixBooster;
using proto::PrefixExtended;

// Reply offsets of the settings; the write carries each one byte further on.
enum ReplyByte : std::size_t {
    StartAll = 4,
    StartStop = 5,
    Watchdog = 6,
    StopStation = 7,
    MaxCurrent = 8,
    InfoCurrent = 9,
    Sensitivity = 10, // not read
    Delay = 11,
    Pause = 12,
    SwitchingOnly = 13,
    Addresses = 14,
};
constexpr std::size_t WriteShift = 1;

quint8 flag(bool value) {
    return value ? 1 : 0;
}

bool isAddressText(const QString &part) {
    // Leading zeros do not make a number octal: "0127" is 127.
    return !part.isEmpty() &&
           std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

std::size_t BuildRead(std::span<quint8> buffer) {
    buffer[0] = PrefixBooster;
    buffer[1] = SettingsCommand;
    std::copy(ReadMarker.begin(), ReadMarker.end(), buffer.begin() + 2);
    return 2 + ReadMarker.size();
}

int TenthsFromUnits(quint8 units) {
    // 25 mA per unit: four units make a tenth of an ampere.
    return int(std::lround(units / 4.0));
}

quint8 UnitsFromTenths(int tenths) {
    return quint8(std::clamp(tenths * 4, 0, 255));
}

std::optional<Settings> ReadSettings(std::span<const quint8> reply, const Settings &current) {
    if (reply.size() < ReadReplyMinLength || reply[0] != Ack || reply[1] != PrefixBooster ||
        reply[2] != SettingsCommand)
        return std::nullopt;
    Settings s = current;
    s.startAll = reply[StartAll] == 1;
    s.startStopSwitches = reply[StartStop] == 1;
    s.watchdogSeconds = WatchdogRange.clamp(reply[Watchdog]);
    s.stopStation = reply[StopStation] == 1;
    s.maxCurrentTenths = MaxCurrentRange.clamp(TenthsFromUnits(reply[MaxCurrent]));
    s.infoCurrentTenths = InfoCurrentRange.clamp(TenthsFromUnits(reply[InfoCurrent]));
    s.delayTenths = DelayRange.clamp(reply[Delay]);
    s.pauseSeconds = PauseRange.clamp(reply[Pause]);
    s.pcSwitchesOn = reply[Pause] == 0;
    s.switchingOnly = reply[SwitchingOnly] == 1;
    s.addresses = FormatAddresses(reply.subspan(Addresses, AddressSlots));
    return s;
}

std::size_t BuildWrite(std::span<quint8> buffer, const Settings &s) {
    buffer[0] = PrefixBooster;
    buffer[1] = SettingsCommand;
    std::copy(WriteMarker.begin(), WriteMarker.end(), buffer.begin() + 2);
    const auto at = [&](ReplyByte field) -> quint8 & {
        return buffer[field + WriteShift];
    };
    at(StartAll) = flag(s.startAll);
    at(StartStop) = WrittenStartStop;
    at(Watchdog) = WrittenWatchdog;
    at(StopStation) = flag(s.stopStation);
    at(MaxCurrent) = UnitsFromTenths(s.maxCurrentTenths);
    at(InfoCurrent) = UnitsFromTenths(s.infoCurrentTenths);
    at(Sensitivity) = quint8(std::clamp(s.sensitivity, 0, 255));
    at(Delay) = quint8(std::clamp(s.delayTenths, 0, 255));
    at(Pause) = s.pcSwitchesOn ? 0 : quint8(std::clamp(s.pauseSeconds, 0, 255));
    at(SwitchingOnly) = flag(s.switchingOnly);
    const std::array<quint8, AddressSlots> slots = ParseAddresses(s.addresses);
    std::copy(slots.begin(), slots.end(), buffer.begin() + Addresses + WriteShift);
    return WriteLength;
}

std::array<quint8, AddressSlots> ParseAddresses(const QString &text) {
    std::array<quint8, AddressSlots> slots{};
    const QStringList parts = text.split(QLatin1Char(','));
    for (qsizetype k = 0; k < std::min<qsizetype>(parts.size(), AddressSlots); ++k) {
        if (!isAddressText(parts[k]))
            continue;
        bool ok = false;
        const int value = parts[k].toInt(&ok, 10);
        if (ok && value >= AddressRange.min && value <= AddressRange.max)
            slots[std::size_t(k)] = quint8(value);
    }
    return slots;
}

QString FormatAddresses(std::span<const quint8> slots) {
    QStringList parts;
    for (const quint8 address : slots) {
        if (address != 0)
            parts << QString::number(address);
    }
    return parts.join(QLatin1Char(','));
}

std::size_t BuildNameRead(std::span<quint8> buffer) {
    buffer[0] = PrefixExtended;
    buffer[1] = NameReadCommand;
    return 2;
}

std::size_t BuildNameWrite(std::span<quint8> buffer, const QString &name) {
    const QByteArray text = name.left(MaxNameLength).toLatin1();
    buffer[0] = PrefixExtended;
    buffer[1] = NameWriteCommand;
    buffer[2] = quint8(text.size());
    std::copy(text.begin(), text.end(), buffer.begin() + 3);
    return 3 + std::size_t(text.size());
}

std::optional<QString> ReadName(std::span<const quint8> reply) {
    if (reply.size() <= 4 || reply[0] != Ack)
        return std::nullopt;
    const std::size_t length = std::min(std::size_t(reply[3]), reply.size() - 4);
    return QString::fromLatin1(reinterpret_cast<const char *>(reply.data()) + 4, qsizetype(length))
        .left(MaxNameLength);
}

bool WriteAcknowledged(std::span<const quint8> reply) {
    static constexpr std::array<quint8, 4> echoes = {PrefixExtended, NameWriteCommand,
                                                     PrefixBooster, SettingsCommand};
    return (reply.size() == 2 || reply.size() == 3) && reply[0] == Ack &&
           std::find(echoes.begin(), echoes.end(), reply[1]) != echoes.end();
}

std::optional<Settings> RequestSettings(DeviceLink &link, const Settings &current) {
    return ReadSettings(link.Exchange(BuildRead, boosterlist::Waiting(ReadWaitMs)), current);
}

std::optional<QString> RequestName(DeviceLink &link) {
    return ReadName(link.Exchange(BuildNameRead, boosterlist::Waiting(ReadWaitMs)));
}

bool WriteSettings(DeviceLink &link, const Settings &settings, const std::optional<QString> &name) {
    const DeviceLink::Busy busy(link);
    bool accepted = WriteAcknowledged(
        link.Exchange([&](std::span<quint8> b) { return BuildWrite(b, settings); }));
    if (name) {
        accepted = WriteAcknowledged(link.Exchange(
                       [&](std::span<quint8> b) { return BuildNameWrite(b, *name); })) &&
                   accepted;
    }
    return accepted;
}

} // namespace qev::boostergateway
