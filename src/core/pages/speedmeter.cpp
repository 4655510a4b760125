#include "pages/speedmeter.h"

#include "devicelink/devicelink.h"
#include "devicelink/protocol.h"

namespace qev::speedmeter {

std::size_t BuildRead(std::span<quint8> buffer) {
    buffer[0] = ReadCommand;
    return 1;
}

std::optional<Reading> ReadSettings(std::span<const quint8> reply) {
    if (reply.size() != ReadReplyLength || reply[0] != proto::Ack)
        return std::nullopt;
    Reading reading;
    reading.calibration = quint16(reply[2] << 8 | reply[3]);
    reading.threshold = reply[5];
    reading.switchOff = reply[6];
    reading.contrast = reply[7];
    return reading;
}

std::size_t BuildWrite(std::span<quint8> buffer, const Settings &settings) {
    const Reading &m = settings.measuring;
    const std::array<quint8, WriteLength> request = {WriteCommand,
                                                     WriteMarker[0],
                                                     WriteMarker[1],
                                                     quint8(m.calibration >> 8),
                                                     quint8(m.calibration),
                                                     WriteFixedByte,
                                                     quint8(m.threshold),
                                                     quint8(m.switchOff),
                                                     quint8(m.contrast),
                                                     quint8(settings.pause),
                                                     quint8(settings.maxTime),
                                                     WriteFixedByte};
    std::copy(request.begin(), request.end(), buffer.begin());
    return request.size();
}

bool WriteAccepted(std::span<const quint8> reply) {
    return reply.size() == 2 && reply[0] == proto::Ack && reply[1] == WriteCommand;
}

quint16 CalibrationFromText(const QString &text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return FallbackCalibration;
    // Digit by digit modulo 65536: the low 16 bits of any length of number, no overflow.
    quint32 value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return FallbackCalibration;
        value = (value * 10 + quint32(c.unicode() - '0')) & 0xFFFF;
    }
    return quint16(value);
}

std::optional<Reading> RequestSettings(DeviceLink &link) {
    return ReadSettings(link.Exchange(BuildRead));
}

bool WriteSettings(DeviceLink &link, const Settings &settings) {
    return WriteAccepted(
        link.Exchange([&](std::span<quint8> b) { return BuildWrite(b, settings); }));
}

} // namespace qev::speedmeter
