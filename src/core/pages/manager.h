#pragma once

// The manager's coupling to the command station and its booster reserved for switching
// commands: the read and write exchanges and the rules that decide what a write carries.

#include <QtGlobal>
#include <array>
#include <optional>
#include <span>

namespace qev {
class DeviceLink;
}

namespace qev::manager {

inline constexpr quint8 Prefix = 0x99;
inline constexpr std::array<quint8, 3> ReadRequest = {0x99, 0x33, 0x99};
inline constexpr std::array<quint8, 2> WriteMarker = {0xAA, 0x55};
inline constexpr std::size_t ReadReplyLength = 6;
// The flags only; with the reserved booster as well.
inline constexpr std::size_t ShortWriteLength = 5;
inline constexpr std::size_t LongWriteLength = 7;

inline constexpr int OutputNone = 0;
inline constexpr int OutputA = 1;
inline constexpr int OutputB = 2;

struct Settings {
    bool classicMode = false;
    bool startStop = false;
    int boosterAddress = 0; // 1 to 63; 0 = none
    int boosterOutput = OutputNone;

    bool operator==(const Settings &) const = default;
};

// Writes the request at the start of buffer and returns its length.
std::size_t BuildRead(std::span<quint8> buffer);
// Accepted when exactly 6 bytes long and led by 21 99. A flag is set only by the value 1.
std::optional<Settings> ReadSettings(std::span<const quint8> reply);

// Whether the settings name a booster reserved for switching commands: an address and
// output A or B.
bool BoosterReserved(const Settings &settings);

// The write: 99 AA 55 and the two flags; when the device's settings were read before,
// also the reserved booster's address and output, as given (0 0 for none). Returns 5 or 7.
std::size_t BuildWrite(std::span<quint8> buffer, const Settings &settings, bool readAccepted);
// Exactly 21 99.
bool WriteAccepted(std::span<const quint8> reply);

// The page's two exchanges on the link: the read (nothing when the device gave none) and the
// write (whether the device acknowledged it).
std::optional<Settings> RequestSettings(DeviceLink &link);
bool WriteSettings(DeviceLink &link, const Settings &settings, bool readAccepted);

} // namespace qev::manager
