#include "pages/manager.h"

#include "devicelink/devicelink.h"
#include "devicelink/protocol.h"

#include <algorithm>

namespace qev::manager {

std::size_t BuildRead(std::span<quint8> buffer) {
    std::copy(ReadRequest.begin(), ReadRequest.end(), buffer.begin());
    return ReadRequest.size();
}

std::optional<Settings> ReadSettings(std::span<const quint8> reply) {
    if (reply.size() != ReadReplyLength || reply[0] != proto::Ack || reply[1] != Prefix)
        return std::nullopt;
    Settings s;
    s.classicMode = reply[2] == 1;
    s.startStop = reply[3] == 1;
    s.boosterAddress = reply[4];
    s.boosterOutput = reply[5];
    return s;
}

bool BoosterReserved(const Settings &settings) {
    return settings.boosterAddress != 0 &&
           (settings.boosterOutput == OutputA || settings.boosterOutput == OutputB);
}

std::size_t BuildWrite(std::span<quint8> buffer, const Settings &s, bool readAccepted) {
    const std::array<quint8, LongWriteLength> request = {Prefix,
                                                         WriteMarker[0],
                                                         WriteMarker[1],
                                                         quint8(s.classicMode ? 1 : 0),
                                                         quint8(s.startStop ? 1 : 0),
                                                         quint8(s.boosterAddress),
                                                         quint8(s.boosterOutput)};
    const std::size_t length = readAccepted ? LongWriteLength : ShortWriteLength;
    std::copy_n(request.begin(), length, buffer.begin());
    return length;
}

bool WriteAccepted(std::span<const quint8> reply) {
    return reply.size() == 2 && reply[0] == proto::Ack && reply[1] == Prefix;
}

std::optional<Settings> RequestSettings(DeviceLink &link) {
    return ReadSettings(link.Exchange(BuildRead));
}

bool WriteSettings(DeviceLink &link, const Settings &settings, bool readAccepted) {
    return WriteAccepted(
        link.Exchange([&](std::span<quint8> b) { return BuildWrite(b, settings, readAccepted); }));
}

} // namespace qev::manager
