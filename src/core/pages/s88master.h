#pragma once

// The S88 bus master's settings: module counts of the three buses, flicker suppression
// and bus clock timing; the read and write exchanges, the module limit, the clock presets
// and the read-cycle rate the settings give.

#include <QtGlobal>
#include <array>
#include <optional>
#include <span>

namespace qev {
class DeviceLink;
}

namespace qev::s88master {

inline constexpr quint8 ReadCommand = 0x32;
inline constexpr quint8 WriteCommand = 0x34;
inline constexpr quint8 WriteMarker = 0xAA;
// Byte 2 of the write: Ferrano and Lucento systems take 0x51, the others 0x55.
inline constexpr quint8 VariantFerrano = 0x51;
inline constexpr quint8 VariantStandard = 0x55;
inline constexpr std::size_t ReadReplyLength = 10;
inline constexpr std::size_t WriteLength = 11;

inline constexpr int BusCount = 3;
inline constexpr int InputsPerModule = 16;

// Flicker suppression levels.
enum Flicker : int { FlickerOff = 0, FlickerShort = 1, FlickerNormal = 2, FlickerLong = 3 };

struct Settings {
    std::array<int, BusCount> modules = {4, 0, 0};
    int flickerOn = FlickerNormal;
    int flickerOff = FlickerNormal;
    int clockOn = 20;  // µs
    int clockOff = 38; // µs
    int pause = 10;    // ms between read cycles

    bool operator==(const Settings &) const = default;
};

// Writes the request at the start of buffer and returns its length.
std::size_t BuildRead(std::span<quint8> buffer);
// Accepted when exactly 10 bytes long and led by 21 32; the values at bytes 2 to 9.
std::optional<Settings> ReadSettings(std::span<const quint8> reply);

// 34 AA, the variant, then the eight values as bytes; returns 11.
std::size_t BuildWrite(std::span<quint8> buffer, quint8 variant, const Settings &settings);
// Exactly 21 34.
bool WriteAccepted(std::span<const quint8> reply);

// The page's two exchanges on the link: the read (nothing when the device gave none) and the
// write (whether the device acknowledged it).
std::optional<Settings> RequestSettings(DeviceLink &link);
bool WriteSettings(DeviceLink &link, quint8 variant, const Settings &settings);

// The variant for the item of the device-type choice (-1: none): items 2 (Ferrano) and 3
// (Lucento) take 0x51.
quint8 VariantForDeviceType(int deviceTypeItem);

// How many modules the three buses may hold together for a device of the class.
int ModuleLimit(quint8 currentClass);
// Lowers bus 3, then bus 2, until the counts add up to at most limit; bus 1 is kept.
std::array<int, BusCount> LimitModules(std::array<int, BusCount> modules, int limit);

// Complete read cycles per second: every input of the longest bus clocked once (as if one
// module hung there when none does), then the pause.
int ReadCyclesPerSecond(const Settings &settings);

struct ClockPreset {
    int clockOn = 0;
    int clockOff = 0;
    int pause = 0;
    bool emphasised = false; // the choice is drawn red and bold
};
enum Preset : int { PresetSlow = 0, PresetNormal = 1, PresetFast = 2 };
// The timing of a preset; nothing for any other index.
std::optional<ClockPreset> ClockPresetOf(int preset);

// Timing below these values is drawn as a warning.
inline constexpr int ClockWarningBelow = 20;
inline constexpr int PauseWarningBelow = 10;

// The ranges of the timing fields once the user revealed them.
inline constexpr int RevealedClockMin = 10;
inline constexpr int RevealedClockMax = 60;
inline constexpr int RevealedPauseMin = 10;
inline constexpr int RevealedPauseMax = 30;

} // namespace qev::s88master
