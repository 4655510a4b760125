#include "pages/booster.h"

#include "devicelink/devicelink.h"
#include "pages/boosterlist.h"

#include <algorithm>
#include <bitset>

namespace qev::booster {

namespace {

using proto::Ack;
using proto::PrefixBooster;

bool acknowledges(std::span<const quint8> reply, quint8 command) {
    return reply.size() >= 3 && reply[0] == Ack && reply[2] == command;
}

} // namespace

std::size_t BuildSettings(std::span<quint8> buffer, int sensitivity,
                          const boostergateway::Settings &settings) {
    buffer[0] = PrefixBooster;
    buffer[1] = SettingsCommand;
    std::copy(SettingsMarker.begin(), SettingsMarker.end(), buffer.begin() + 2);
    buffer[5] = quint8(std::clamp(sensitivity, 0, 255));
    buffer[6] = quint8(std::clamp(settings.maxCurrentTenths, 0, 255));
    buffer[7] = settings.pcSwitchesOn ? 0 : quint8(std::clamp(settings.pauseSeconds, 0, 255));
    buffer[8] = settings.startAll ? 1 : 0;
    buffer[9] = 0;
    buffer[10] = 0;
    return SettingsLength;
}

bool SettingsAccepted(std::span<const quint8> reply) {
    return acknowledges(reply, SettingsCommand);
}

bool WriteSettings(DeviceLink &link, int sensitivity, const boostergateway::Settings &settings) {
    return SettingsAccepted(link.Exchange(
        [&](std::span<quint8> b) { return BuildSettings(b, sensitivity, settings); }));
}

std::optional<quint8> ReadInfoSensitivity(std::span<const quint8> reply) {
    if (reply.size() <= InfoSensitivityByte || reply[0] != Ack || reply[1] != PrefixBooster ||
        reply[2] != boosterlist::InfoCommand)
        return std::nullopt;
    return reply[InfoSensitivityByte];
}

int ShownSensitivity(quint8 reported) {
    return reported >= ReportedSensitivity.min && reported <= ReportedSensitivity.max
               ? reported
               : boostergateway::DefaultSensitivity;
}

std::optional<int> ReadSensitivity(DeviceLink &link) {
    using namespace boosterlist;
    const DeviceLink::Busy busy(link);
    const std::optional<ListReply> presence = ReadList(link.Exchange(
        [](std::span<quint8> b) { return BuildList(b, ListPresence); }, Waiting(PresenceWaitMs)));
    if (!presence || presence->count == 0)
        return std::nullopt;
    std::bitset<LastAddress + 1> present;
    for (const ListEntry &entry : presence->entries) {
        if (entry.address >= FirstAddress && entry.address <= LastAddress)
            present.set(entry.address);
    }
    std::optional<int> shown;
    for (int address = FirstAddress; address <= LastAddress; ++address) {
        if (!present.test(std::size_t(address))) {
            shown = boostergateway::DefaultSensitivity;
            continue;
        }
        const quint8 a = quint8(address);
        if (const std::optional<quint8> reported = ReadInfoSensitivity(link.Exchange(
                [a](std::span<quint8> b) { return BuildInfo(b, a); }, Waiting(InfoWaitMs))))
            return ShownSensitivity(*reported);
    }
    return shown;
}

GatewayValues ReadGateway(DeviceLink &link, boosterlist::BoosterTable &table,
                          const boostergateway::Settings &current,
                          const GatewayReadObserver &observer) {
    const DeviceLink::Busy busy(link);
    boosterlist::ReadBoosterList(link, table, false, observer.list);
    if (observer.listDone)
        observer.listDone();
    GatewayValues values;
    values.settings = boostergateway::RequestSettings(link, current);
    if (values.settings && observer.settingsRead)
        observer.settingsRead(*values.settings);
    values.name = boostergateway::RequestName(link).value_or(QString());
    return values;
}

std::size_t BuildNewAddress(std::span<quint8> buffer, quint8 address) {
    buffer[0] = PrefixBooster;
    buffer[1] = NewAddressCommand;
    std::copy(NewAddressMarker.begin(), NewAddressMarker.end(), buffer.begin() + 2);
    buffer[4] = address;
    return NewAddressLength;
}

bool NewAddressAccepted(std::span<const quint8> reply) {
    return acknowledges(reply, NewAddressCommand);
}

bool WriteNewAddress(DeviceLink &link, quint8 address) {
    return NewAddressAccepted(
        link.Exchange([address](std::span<quint8> b) { return BuildNewAddress(b, address); },
                      boosterlist::Waiting(NewAddressWaitMs)));
}

} // namespace qev::booster
