#include "udppeer.h"

#include <QUdpSocket>
#include <future>
#include <stdexcept>

namespace qevtest {

UdpPeer::UdpPeer(const QString &address, Responder responder)
    : m_responder(std::move(responder)) {
    std::promise<quint16> bound;
    std::future<quint16> port = bound.get_future();
    m_thread = std::thread([this, address, &bound] { run(QHostAddress(address), bound); });
    m_port = port.get();
    if (m_port == 0) {
        m_thread.join();
        throw std::runtime_error("cannot bind the test peer on " + address.toStdString());
    }
}

UdpPeer::~UdpPeer() {
    m_stop = true;
    m_thread.join();
}

void UdpPeer::run(const QHostAddress &address, std::promise<quint16> &bound) {
    QUdpSocket socket;
    if (!socket.bind(address, 0)) {
        bound.set_value(0);
        return;
    }
    bound.set_value(socket.localPort());
    while (!m_stop) {
        if (!socket.waitForReadyRead(20))
            continue;
        while (socket.hasPendingDatagrams()) {
            QByteArray payload(static_cast<qsizetype>(socket.pendingDatagramSize()), '\0');
            QHostAddress sender;
            quint16 senderPort = 0;
            const qint64 size =
                socket.readDatagram(payload.data(), payload.size(), &sender, &senderPort);
            if (size < 0)
                continue;
            payload.resize(size);
            const PeerDatagram datagram{payload, senderPort};
            {
                std::lock_guard lock(m_mutex);
                m_received.append(datagram);
            }
            if (!m_responder)
                continue;
            if (const std::optional<QByteArray> reply = m_responder(datagram))
                socket.writeDatagram(*reply, sender, senderPort);
        }
    }
}

QList<PeerDatagram> UdpPeer::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

quint16 UdpPeer::closedPort(const QString &address) {
    QUdpSocket probe;
    if (!probe.bind(QHostAddress(address), 0))
        throw std::runtime_error("cannot bind on " + address.toStdString());
    return probe.localPort();
}

QByteArray hexBytes(const char *text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

} // namespace qevtest
