#pragma once

// The light controllers' pages: brightness of the inner light and the front LED, the
// device name, the Classic master's outputs and S-Bus timing, the RGB master's LED counts
// and the on/off mode of both masters. Requests, reply readers and the pages' rules.
//
// Every exchange of these pages goes to the device's base port, whatever port it was
// given, and waits at most ReplyTimeoutMs; replies to writes are not evaluated. A reader
// looks only at the bytes received: a position past the reply reads 0, as in the cleared
// command buffer.

#include "devicelink/devicelink.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <span>

namespace qev::light {

// Family prefixes in byte 0 (0x60 and 0x90 are in devicelink/protocol.h).
inline constexpr quint8 PrefixClassic = 0x61;
inline constexpr quint8 PrefixRgb = 0x62;

// Command codes in byte 1.
inline constexpr quint8 BrightnessSet = 0x61;     // behind 0x60
inline constexpr quint8 BrightnessRead = 0x62;    // behind 0x60
inline constexpr quint8 NameWrite = 0x63;         // behind 0x60
inline constexpr quint8 NameRead = 0x64;          // behind 0x60
inline constexpr quint8 ModeRead = 0x94;          // behind 0x60
inline constexpr quint8 ModeWrite = 0x95;         // behind 0x60
inline constexpr quint8 GatewayBrightness = 0x9B; // behind 0x90; byte 2: 0 read, 1 save
inline constexpr quint8 ClassicRead = 0x90;       // behind 0x61
inline constexpr quint8 ClassicWrite = 0x91;      // behind 0x61
inline constexpr quint8 LedCountsRead = 0x92;     // behind 0x62
inline constexpr quint8 LedCountsWrite = 0x93;    // behind 0x62

inline constexpr quint8 GatewayRead = 0x00;
inline constexpr quint8 GatewaySave = 0x01;
// The marker behind the commands that change what the device keeps.
inline constexpr std::array<quint8, 2> WriteMarker = {0x52, 0xAC};
inline constexpr quint8 BrightnessTrailer = 0xFF;

inline constexpr int ReplyTimeoutMs = 500;
inline constexpr int PresetPauseMs = 50; // between the two values of a preset
inline constexpr int SavePauseMs = 100;  // between the two stored values
// The longest name the device gives back; the name field takes no more.
inline constexpr int MaxNameLength = 32;

// The request lengths.
inline constexpr std::size_t GatewayReadLength = 3;
inline constexpr std::size_t GatewaySaveLength = 6;
inline constexpr std::size_t BrightnessSetLength = 8;
inline constexpr std::size_t ModeWriteLength = 8;
inline constexpr std::size_t ClassicWriteLength = 7;
inline constexpr std::size_t LedCountsWriteLength = 6;
inline constexpr std::size_t ShortRequestLength = 2; // the two-byte reads

enum class Lamp : quint8 { Inner = 0, Front = 1 };
enum class Store : quint8 { ShowOnly = 0, Keep = 1 };

struct Brightness {
    int inner = 100;
    int front = 100;

    friend bool operator==(const Brightness &, const Brightness &) = default;
};

struct ClassicSettings {
    int outputs = 100; // S-Bus outputs
    int dmx = 20;      // DMX channels
    int clock = 4;
    int latch = 4;
    int latchDelay = 0; // the latch-delay choice index; as read, any byte

    friend bool operator==(const ClassicSettings &, const ClassicSettings &) = default;
};

struct Mode {
    bool standAlone = false; // false: started and stopped by Lunarra
    bool demo = false;       // a demo runs after power-on
    bool stopOnEnd = false;  // quitting Lunarra stops the device

    friend bool operator==(const Mode &, const Mode &) = default;
};

inline constexpr int DBusCount = 4;
using LedCounts = std::array<int, DBusCount>;

// Classes 16 and 27 (booster gateways) read and keep their brightness with the 0x90 form.
bool UsesGatewayForm(quint8 currentClass);

// The "Hell" preset (class 17 brighter) and the "Dunkel" preset.
Brightness BrightPreset(quint8 currentClass);
Brightness DarkPreset();

// A count for a one-byte field: below 0 gives 0, above 255 gives 255, never a wrapped
// value.
quint8 ByteValue(int value);

// The timing choice (0 "Schnell", 1 "Normal", 2 "Langsam") that a clock value stands for;
// -1 (no selection) for any other value.
int TimingChoiceOfClock(int clock);
// The clock and latch value of a timing choice: 2 fast, 6 slow, 4 normal or none.
int ClockOfTimingChoice(int choice);
// The latch-delay choice a read byte selects; nothing above 2 (the choice stays).
std::optional<int> LatchDelayChoice(int index);
// The delay the write carries for a latch-delay choice: 0, 20, 60; 0 for none.
quint8 LatchDelayOfChoice(int choice);

// Each builder writes its request at the start of buffer (large enough: the
// CommandBuffer) and returns its length.
std::size_t BuildGatewayBrightnessRead(std::span<quint8> buffer);
std::size_t BuildGatewayBrightnessSave(std::span<quint8> buffer, const Brightness &values);
std::size_t BuildBrightnessRead(std::span<quint8> buffer);
std::size_t BuildBrightnessSet(std::span<quint8> buffer, Store store, Lamp lamp, int value);
std::size_t BuildNameRead(std::span<quint8> buffer);
// At most MaxNameLength characters, Latin-1 (a character it lacks becomes '?').
std::size_t BuildNameWrite(std::span<quint8> buffer, const QString &name);
std::size_t BuildClassicRead(std::span<quint8> buffer);
std::size_t BuildClassicWrite(std::span<quint8> buffer, const ClassicSettings &settings);
std::size_t BuildLedCountsRead(std::span<quint8> buffer);
std::size_t BuildLedCountsWrite(std::span<quint8> buffer, const LedCounts &counts);
std::size_t BuildModeRead(std::span<quint8> buffer);
std::size_t BuildModeWrite(std::span<quint8> buffer, const Mode &mode);

// More than 6 bytes led by 21 90 9B: inner light at byte 3, front LED at byte 4.
std::optional<Brightness> ReadGatewayBrightness(std::span<const quint8> reply);
// More than 6 bytes led by 21 60 62: inner light at byte 4, front LED at byte 5.
std::optional<Brightness> ReadBrightness(std::span<const quint8> reply);
// More than 6 bytes: the length at byte 3; a length of 1 to 32 gives the characters
// behind it (those received, up to the first zero byte), any other an empty name.
std::optional<QString> ReadName(std::span<const quint8> reply);
// More than 3 bytes (no further test): bytes 3 to 7.
std::optional<ClassicSettings> ReadClassicSettings(std::span<const quint8> reply);
// More than 3 bytes (no further test): bytes 2 to 5.
std::optional<LedCounts> ReadLedCounts(std::span<const quint8> reply);
// More than 3 bytes (no further test): bytes 5 to 7, each non-zero for yes.
std::optional<Mode> ReadMode(std::span<const quint8> reply);

// The exchanges of the pages on the link: each request goes to the current device's base
// port and waits at most ReplyTimeoutMs; the flows of several exchanges keep the link busy
// for their whole run. A device that does not answer leaves the read's value empty.

// One exchange of these pages.
std::span<const quint8> Exchange(DeviceLink &link, const DeviceLink::RequestBuilder &build);

struct GeneralValues {
    std::optional<Brightness> brightness;
    std::optional<QString> name; // not asked of the gateways
};
// The gateway form for classes 16 and 27 (brightness only); otherwise the brightness and
// the name.
GeneralValues ReadGeneral(DeviceLink &link);
// Shows a value on the device without keeping it: always the 0x60 form.
void SendLive(DeviceLink &link, Lamp lamp, int value);
// Keeps both values: the gateway form for classes 16 and 27, otherwise the two lamps one
// after the other, SavePauseMs apart.
void SaveBrightness(DeviceLink &link, const Brightness &values);
void SaveName(DeviceLink &link, const QString &name);

struct ClassicValues {
    std::optional<ClassicSettings> settings;
    std::optional<Mode> mode;
};
ClassicValues ReadClassic(DeviceLink &link);
void SaveClassic(DeviceLink &link, const ClassicSettings &settings, const Mode &mode);

struct RgbValues {
    std::optional<LedCounts> counts;
    std::optional<Mode> mode;
};
RgbValues ReadRgb(DeviceLink &link);
void SaveRgb(DeviceLink &link, const LedCounts &counts, const Mode &mode);

} // namespace qev::light
