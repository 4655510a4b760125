#include "devicelink/replies.h"

#include "devicelink/deviceclasses.h"

#include "devicelink/protocol.h"

#include <algorithm>

namespace qev {

namespace {

quint8 byteAt(std::span<const quint8> reply, std::size_t offset) {
    return offset < reply.size() ? reply[offset] : 0;
}

QString addressAt(std::span<const quint8> reply, std::size_t offset) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(reply[offset])
        .arg(reply[offset + 1])
        .arg(reply[offset + 2])
        .arg(reply[offset + 3]);
}

// Serial bytes past the reply read 0, as in the cleared command buffer.
QByteArray bytesAt(std::span<const quint8> reply, std::size_t offset, std::size_t length) {
    QByteArray bytes;
    for (std::size_t i = offset; i < offset + length; ++i)
        bytes.append(static_cast<char>(byteAt(reply, i)));
    return bytes;
}

} // namespace

std::optional<DeviceRecord> ReadDiscoveryReply(std::span<const quint8> reply) {
    if (reply.size() < proto::DiscoveryReplyMinLength || reply[0] != proto::Ack ||
        reply[1] != proto::Discover) {
        return std::nullopt;
    }
    DeviceRecord record;
    record.address = addressAt(reply, 2);
    record.netmask = addressAt(reply, 6);
    std::copy_n(reply.begin() + 10, record.mac.size(), record.mac.begin());
    record.port = static_cast<quint16>(reply[16] << 8 | reply[17]);
    return record;
}

std::size_t BuildIdentifyRequest(IdentifyForm form, std::span<quint8> buffer) {
    if (form == IdentifyForm::Short) {
        buffer[0] = proto::Identify;
        return 1;
    }
    buffer[0] = proto::PrefixExtended;
    buffer[1] = proto::Identify;
    return 2;
}

IdentifyReply ReadIdentifyReply(IdentifyForm form, std::span<const quint8> reply) {
    IdentifyReply result;
    result.accepted = reply.size() > 4;
    const std::size_t at = form == IdentifyForm::Short ? 2 : 3;
    const bool rewrite = result.accepted && reply[2] == 6 && reply[3] == 7;
    const auto valueAt = [&](std::size_t offset) -> quint8 {
        return rewrite && offset == 2 ? 17 : byteAt(reply, offset);
    };
    result.deviceClass = valueAt(at);
    result.versionMajor = valueAt(at + 1);
    result.versionMinor = valueAt(at + 2);
    return result;
}

std::size_t BuildSerialRequest(quint8 deviceClass, std::span<quint8> buffer) {
    switch (ClassInfo(deviceClass).serial) {
    case SerialForm::None:
        return 0;
    case SerialForm::Controller:
        buffer[0] = proto::Serial;
        buffer[1] = 0x00;
        return 2;
    case SerialForm::BoosterGateway:
    case SerialForm::Extended:
        buffer[0] = ClassInfo(deviceClass).serial == SerialForm::BoosterGateway
                        ? proto::PrefixBoosterGateway
                        : proto::PrefixExtended;
        buffer[1] = proto::Serial;
        buffer[2] = 0x00;
        return 3;
    }
    return 0;
}

std::optional<QByteArray> ReadSerialReply(quint8 deviceClass, std::span<const quint8> reply) {
    if (reply.size() <= 4)
        return std::nullopt;
    const SerialForm form = ClassInfo(deviceClass).serial;
    if (form == SerialForm::Controller) {
        if (reply[2] != 1 || (reply[3] != 4 && reply[3] != 6 && reply[3] != 11))
            return std::nullopt;
        QByteArray serial = bytesAt(reply, 4, 6);
        std::reverse(serial.begin(), serial.end());
        return serial;
    }
    if (form == SerialForm::None)
        return std::nullopt;
    if (reply[3] != 1)
        return std::nullopt;
    if (reply[4] == 6)
        return bytesAt(reply, 5, 6);
    if (reply[4] == 11 && form == SerialForm::BoosterGateway)
        return bytesAt(reply, 5, 11);
    return std::nullopt;
}

} // namespace qev
