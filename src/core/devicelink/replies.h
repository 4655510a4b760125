#pragma once

// Requests and reply readers of discovery, identification and serial number. A reader
// looks only at the bytes it is given (the bytes received), whatever the reply claims.

#include "netinspect/ipv4.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <span>

namespace qev {

// One found device.
struct DeviceRecord {
    QString address;
    QString netmask;
    MacBytes mac{}; // wire order
    quint16 port = 0;
    quint8 deviceClass = 0; // 0 until identified

    bool operator==(const DeviceRecord &) const = default;
};

// Accepted when at least 18 bytes long and led by 21 F5; the class stays 0.
std::optional<DeviceRecord> ReadDiscoveryReply(std::span<const quint8> reply);

enum class IdentifyForm {
    Short,   // 0F; class, major, minor at bytes 2, 3, 4
    Extended // 60 0F; at bytes 3, 4, 5
};

// Writes the request at the start of buffer (at least 2 bytes) and returns its length.
std::size_t BuildIdentifyRequest(IdentifyForm form, std::span<quint8> buffer);

struct IdentifyReply {
    bool accepted = false; // longer than 4 bytes
    quint8 deviceClass = 0;
    quint8 versionMajor = 0;
    quint8 versionMinor = 0;
};

// Reads the values of the form's positions; a position past the reply reads 0, as in the
// cleared command buffer. A class-6 reply whose next byte is 7 (firmware 7 of the Ferrano
// S88 controller) reports class 17.
IdentifyReply ReadIdentifyReply(IdentifyForm form, std::span<const quint8> reply);

// Writes the serial-number request of a class at the start of buffer (at least 3 bytes)
// and returns its length; 0 when the class has no serial number to ask for.
std::size_t BuildSerialRequest(quint8 deviceClass, std::span<quint8> buffer);

// The serial-number bytes in the order in which they are shown, or nothing when the
// reply is not accepted for the class.
std::optional<QByteArray> ReadSerialReply(quint8 deviceClass, std::span<const quint8> reply);

} // namespace qev
