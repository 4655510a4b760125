#pragma once

// The speed meter's measuring parameters: the read and write exchanges and the rule that
// turns the calibration text into the value sent.

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <span>

namespace qev {
class DeviceLink;
}

namespace qev::speedmeter {

inline constexpr quint8 ReadCommand = 0x05;
inline constexpr quint8 WriteCommand = 0x04;
inline constexpr std::array<quint8, 2> WriteMarker = {0xAA, 0x55};
inline constexpr std::size_t ReadReplyLength = 12;
inline constexpr std::size_t WriteLength = 12;
// Bytes 5 and 11 of the write; the device expects them, their meaning is not documented.
inline constexpr quint8 WriteFixedByte = 1;

// Written when the calibration text is not a number.
inline constexpr quint16 FallbackCalibration = 5400;

// What the read reports.
struct Reading {
    quint16 calibration = 9572;
    int threshold = 100;
    int switchOff = 40;
    int contrast = 15;

    bool operator==(const Reading &) const = default;
};

// What a write sends: the reading's values, and the two timings the read does not report.
struct Settings {
    Reading measuring;
    int pause = 4;
    int maxTime = 20;

    bool operator==(const Settings &) const = default;
};

// Writes the request at the start of buffer and returns its length.
std::size_t BuildRead(std::span<quint8> buffer);
// Accepted when exactly 12 bytes long and led by 0x21; calibration at bytes 2 and 3,
// threshold, switch-off difference and contrast at bytes 5, 6 and 7.
std::optional<Reading> ReadSettings(std::span<const quint8> reply);

// Writes the 12-byte request at the start of buffer (at least 12 bytes) and returns its
// length. Each field value goes as its low byte.
std::size_t BuildWrite(std::span<quint8> buffer, const Settings &settings);
// Exactly 21 04.
bool WriteAccepted(std::span<const quint8> reply);

// The page's two exchanges on the link: the read (nothing when the device gave none) and the
// write (whether the device acknowledged it).
std::optional<Reading> RequestSettings(DeviceLink &link);
bool WriteSettings(DeviceLink &link, const Settings &settings);

// The calibration a text stands for: a decimal number (blanks around it allowed) taken by
// its low 16 bits, whatever its length; anything else, a sign included, is 5400.
quint16 CalibrationFromText(const QString &text);

} // namespace qev::speedmeter
