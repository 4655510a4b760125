#pragma once

// The booster gateway's own settings (start behaviour, short-circuit handling, current
// limits, boosters reserved for switching commands) and its device name: the values the
// gateway and booster pages show, their ranges, the exchanges and the write's verdict.

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <span>

namespace qev {
class DeviceLink;
}

namespace qev::boostergateway {

// Behind the booster-bus prefix 0x90.
inline constexpr quint8 SettingsCommand = 0x99;
inline constexpr std::array<quint8, 2> ReadMarker = {0x33, 0x99};
inline constexpr std::array<quint8, 3> WriteMarker = {0xAC, 0x53, 0xFF};
// Behind the general prefix 0x60.
inline constexpr quint8 NameWriteCommand = 0x63;
inline constexpr quint8 NameReadCommand = 0x64;

inline constexpr std::size_t ReadReplyMinLength = 19;
inline constexpr std::size_t WriteLength = 20;
inline constexpr int ReadWaitMs = 100;
inline constexpr int AddressSlots = 5;
inline constexpr int MaxNameLength = 32;

// The write always sends these for the two values the pages never show.
inline constexpr quint8 WrittenStartStop = 0;
inline constexpr quint8 WrittenWatchdog = 2;

struct Range {
    int min;
    int max;
    int clamp(int value) const { return value < min ? min : value > max ? max : value; }
};

// Currents and the switch-off delay in tenths (of an ampere, of a second).
inline constexpr Range WatchdogRange{0, 5};
inline constexpr Range MaxCurrentRange{10, 50};
inline constexpr Range InfoCurrentRange{20, 45};
inline constexpr Range DelayRange{1, 10};
inline constexpr Range PauseRange{1, 10};
inline constexpr Range AddressRange{1, 127};

// The sensitivity written when the choice holds no number.
inline constexpr int DefaultSensitivity = 30;

// What the gateway and booster pages show, in the units of their fields.
struct Settings {
    bool startAll = false;          // switch on all boosters at power-up
    bool startStopSwitches = false; // start/stop of the command station switches them
    int watchdogSeconds = 2;        // 0 = off
    bool stopStation = false;       // a short circuit also switches off the command station
    int maxCurrentTenths = 50;
    int infoCurrentTenths = 40;
    int sensitivity = DefaultSensitivity;
    int delayTenths = 1;
    int pauseSeconds = 8;
    bool pcSwitchesOn = false;  // never switched on again automatically
    bool switchingOnly = false; // boosters reserved for switching commands
    QString addresses;          // "3,9"

    friend bool operator==(const Settings &, const Settings &) = default;
};

// 90 99 33 99.
std::size_t BuildRead(std::span<quint8> buffer);
// At least 19 bytes led by 21 90 99: every value but the sensitivity (kept from current),
// each limited to its field's range.
std::optional<Settings> ReadSettings(std::span<const quint8> reply, const Settings &current);
// The 20 bytes: 90 99 AC 53 FF and the fifteen values.
std::size_t BuildWrite(std::span<quint8> buffer, const Settings &settings);

// Amperes in units of 25 mA, to tenths of an ampere, rounded.
int TenthsFromUnits(quint8 units);
quint8 UnitsFromTenths(int tenths);

// "5,,200,7": the k-th part goes to slot k when it is a number from 1 to 127, else the
// slot stays 0; parts past the fifth are ignored.
std::array<quint8, AddressSlots> ParseAddresses(const QString &text);
// The non-zero bytes as decimal numbers joined by ",".
QString FormatAddresses(std::span<const quint8> slots);

// 60 64, and 60 63 L with the name's characters (Latin-1, at most 32).
std::size_t BuildNameRead(std::span<quint8> buffer);
std::size_t BuildNameWrite(std::span<quint8> buffer, const QString &name);
// More than 4 bytes led by 21: the characters from byte 4, as many as byte 3 says and
// arrived.
std::optional<QString> ReadName(std::span<const quint8> reply);

// The acknowledgement of a settings or name write: 2 or 3 bytes, 21 and one of 60 63 90 99.
bool WriteAcknowledged(std::span<const quint8> reply);

// The two reads on the link, each waiting ReadWaitMs; nothing when the device gave none.
std::optional<Settings> RequestSettings(DeviceLink &link, const Settings &current);
std::optional<QString> RequestName(DeviceLink &link);

// Writes the settings and, when given, the name. Success only when the settings were
// acknowledged, and the name too when it was sent.
bool WriteSettings(DeviceLink &link, const Settings &settings, const std::optional<QString> &name);

} // namespace qev::boostergateway
