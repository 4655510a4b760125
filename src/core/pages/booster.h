#pragma once

// The settings a booster gateway or manager writes into all of its boosters, the
// sensitivity read from the first booster that answers, and the programming of a new
// booster address.

#include "pages/boostergateway.h"
#include "pages/boosterlist.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <span>

namespace qev {
class DeviceLink;
}

namespace qev::booster {

// Behind the booster-bus prefix 0x90.
inline constexpr quint8 SettingsCommand = 0x94;
inline constexpr std::array<quint8, 3> SettingsMarker = {0x55, 0xAA, 0xFF};
inline constexpr quint8 NewAddressCommand = 0x95;
inline constexpr std::array<quint8, 2> NewAddressMarker = {0xA0, 0x05};

inline constexpr std::size_t SettingsLength = 11;
inline constexpr std::size_t NewAddressLength = 5;
inline constexpr std::size_t InfoSensitivityByte = 4;
inline constexpr int PresenceWaitMs = 100;
inline constexpr int InfoWaitMs = 10;
inline constexpr int NewAddressWaitMs = 200;

// The sensitivities a booster may report and the choice shows; others show as the default.
inline constexpr boostergateway::Range ReportedSensitivity{10, 100};
// What the service field lets the user write.
inline constexpr boostergateway::Range ServiceSensitivity{10, 200};

// The 11 bytes: 90 94 55 AA FF, sensitivity, maximum current in tenths of an ampere,
// pause in seconds (0 when the PC switches on), 1 when all boosters start at power-up,
// then 00 00.
std::size_t BuildSettings(std::span<quint8> buffer, int sensitivity,
                          const boostergateway::Settings &settings);
// 21, anything, 94.
bool SettingsAccepted(std::span<const quint8> reply);
// Sends the settings to all boosters; whether the gateway acknowledged them.
bool WriteSettings(DeviceLink &link, int sensitivity, const boostergateway::Settings &settings);

// Byte 4 of an info reply (more than 4 bytes led by 21 90 93).
std::optional<quint8> ReadInfoSensitivity(std::span<const quint8> reply);
// The sensitivity choice for a reported value: the value from 10 to 100, else 30.
int ShownSensitivity(quint8 reported);

// The presence list, then the info of the present addresses 1 to 127 in ascending order
// up to the first that answers. Gives the sensitivity choice: that booster's, or the
// default when an absent address came first; nothing when no booster is present.
std::optional<int> ReadSensitivity(DeviceLink &link);

// What showing the gateway or booster page reads of the gateway.
struct GatewayValues {
    std::optional<boostergateway::Settings> settings; // nothing when the gateway gave none
    QString name;                                     // empty when none came
};

// What the gateway read tells while it runs, so that each part shows as soon as it is read.
struct GatewayReadObserver {
    boosterlist::ListReadObserver list;
    std::function<void()> listDone; // the list is read; not called when LinkError ends it
    std::function<void(const boostergateway::Settings &)> settingsRead;
};

// The booster list into table (emptied first, as ReadBoosterList), the gateway's settings
// (current gives what the reply lacks), then its device name, asked also when the settings
// gave none. Holds the link busy for its whole run; LinkError from the link passes through.
GatewayValues ReadGateway(DeviceLink &link, boosterlist::BoosterTable &table,
                          const boostergateway::Settings &current,
                          const GatewayReadObserver &observer = {});

// 90 95 A0 05 and the address.
std::size_t BuildNewAddress(std::span<quint8> buffer, quint8 address);
// 21, anything, 95.
bool NewAddressAccepted(std::span<const quint8> reply);
bool WriteNewAddress(DeviceLink &link, quint8 address);

} // namespace qev::booster
