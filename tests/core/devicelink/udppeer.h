#pragma once

// A datagram peer on a loopback address for the link's tests: it runs on a thread of its
// own (the link blocks in its receives), records every datagram it gets and answers with
// whatever its responder returns.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace qevtest {

struct PeerDatagram {
    QByteArray payload;
    quint16 senderPort = 0;
};

class UdpPeer {
public:
    // Runs on the peer's thread; nothing returned means no answer.
    using Responder = std::function<std::optional<QByteArray>(const PeerDatagram &)>;

    // Binds address on a free port and starts listening.
    explicit UdpPeer(const QString &address, Responder responder = {});
    ~UdpPeer();

    UdpPeer(const UdpPeer &) = delete;
    UdpPeer &operator=(const UdpPeer &) = delete;

    quint16 port() const { return m_port; }
    QList<PeerDatagram> received() const;

    // A port on address that nothing listens on: a datagram sent there is refused.
    static quint16 closedPort(const QString &address);

private:
    void run(const QHostAddress &address, std::promise<quint16> &bound);

    Responder m_responder;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QList<PeerDatagram> m_received;
    std::thread m_thread;
};

// "21 0F 11" -> the bytes.
QByteArray hexBytes(const char *text);

} // namespace qevtest
