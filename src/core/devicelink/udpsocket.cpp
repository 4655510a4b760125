#include "devicelink/udpsocket.h"

#include "devicelink/eventpump.h"
#include "devicelink/linkerror.h"

#include <QElapsedTimer>
#include <algorithm>

#include <QLoggingCategory>

namespace qev {

namespace {

// "QT_LOGGING_RULES=qev.datagram.debug=true" traces every datagram in hexadecimal.
Q_LOGGING_CATEGORY(lcDatagram, "qev.datagram", QtWarningMsg)

QByteArray hexTrace(std::span<const quint8> bytes) {
    return QByteArray(reinterpret_cast<const char *>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()))
        .toHex(' ')
        .toUpper();
}

} // namespace

std::optional<IPv4Bytes> DottedAddressBytes(const QString &text) {
    const QStringList groups = text.split(QLatin1Char('.'));
    if (groups.size() != 4)
        return std::nullopt;
    IPv4Bytes bytes{};
    for (int i = 0; i < 4; ++i) {
        const QString &group = groups[i];
        if (group.isEmpty() || group.size() > 3)
            return std::nullopt;
        uint value = 0;
        for (const QChar c : group) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            value = value * 10 + static_cast<uint>(c.unicode() - '0');
        }
        if (value > 255)
            return std::nullopt;
        bytes[i] = static_cast<quint8>(value);
    }
    return bytes;
}

void UdpSocket::sendTo(const QString &host, quint16 port, std::span<const quint8> data) {
    const std::optional<IPv4Bytes> address = DottedAddressBytes(host);
    if (!address)
        throw LinkError("not an IPv4 address: \"" + host.toStdString() + '"');
    qCDebug(lcDatagram, "to %s:%u %s", qPrintable(host), port, hexTrace(data).constData());
    sendDatagram(*address, port, data);
}

std::size_t UdpSocket::receive(std::span<quint8> buffer, int timeoutMs) {
    // In slices, with the window's events handled between them: a device that stays
    // silent must not freeze the window for the whole time-out.
    receiveStarted(timeoutMs);
    QElapsedTimer clock;
    clock.start();
    std::size_t count = 0;
    for (;;) {
        const qint64 left = std::max<qint64>(0, timeoutMs - clock.elapsed());
        const int slice =
            static_cast<int>(WindowPumpInstalled() ? std::min<qint64>(left, WaitSliceMs) : left);
        count = receiveDatagram(buffer, slice);
        if (count > 0 || clock.elapsed() >= timeoutMs)
            break;
        RunWindowPump();
    }
    if (count == 0)
        receiveTimedOut();
    qCDebug(lcDatagram, "received %s", hexTrace(buffer.first(count)).constData());
    return count;
}

} // namespace qev
