#pragma once

// A datagram socket that plays a script instead of the network: each expected request
// (bytes, and where it goes) is answered with the reply bytes given, with silence, with
// a reply that comes only after the receive gave up, or with a closed-port report. A link
// built on it sends no packet anywhere. Datagrams can be queued before a request (a late
// reply, one from another host); one that arrived before the latest request and is still
// returned by a receive counts as a mismatch.
//
//   qevtest::SocketScript script;
//   script.expect("05", 11082).reply("21 05 25 64 00 64 28 0F 00 00 00 00");
//   qev::DeviceLink link(ports, codes, {}, script.factory());
//   ... exchanges ...
//   EXPECT_TRUE(script.finished()) << script.report();

#include "devicelink/udpsocket.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

namespace qevtest {

// "21 0F 11" -> the bytes.
QByteArray hex(const char *text);

struct SentDatagram {
    QString host;
    quint16 port = 0;
    QByteArray payload;
};

class SocketScript {
public:
    enum class Outcome { Reply, Silence, Late, Refused };

    struct Step {
        QByteArray request;
        quint16 port = 0; // 0: any port
        QString host;     // empty: any host
        Outcome outcome = Outcome::Silence;
        QByteArray reply;
        QList<QByteArray> queuedBefore; // arrive before the request leaves
    };

    // The next datagram the program must send. Chain reply(), silence(), late() or
    // refused().
    SocketScript &expect(const char *requestHex, quint16 port = 0, const QString &host = {});
    SocketScript &expect(const QByteArray &request, quint16 port = 0, const QString &host = {});
    SocketScript &reply(const char *replyHex);
    SocketScript &reply(const QByteArray &reply);
    SocketScript &silence();
    // The receive that waits for this request times out; the reply arrives after it.
    SocketScript &late(const char *replyHex);
    SocketScript &refused();
    // A datagram that arrives before the next expected request leaves (from anyone).
    SocketScript &queued(const char *datagramHex);

    // The link's socket factory: every socket it opens plays this script.
    std::function<std::unique_ptr<qev::UdpSocket>(bool)> factory();

    // Every step was sent as expected, and nothing else was sent.
    bool finished() const { return m_mismatches.isEmpty() && m_steps.empty(); }
    // What went otherwise than scripted, for the failure message.
    QString report() const;

    const QList<SentDatagram> &sent() const { return m_sent; }
    // The time-out of every receive, in order.
    const QList<int> &receiveTimeouts() const { return m_timeouts; }
    int socketsOpened() const { return m_opened; }

private:
    class Socket;
    friend class Socket;

    // What waits on the socket for the next receive.
    struct Pending {
        Outcome outcome = Outcome::Silence;
        QByteArray reply;
        bool beforeLatestRequest = false;
    };

    // What one socket holds: each socket of the script has its own queue.
    struct Inbox {
        std::deque<Pending> pending;
        QList<QByteArray> late; // arrive once the receive that missed them has ended
    };

    // The datagrams that arrive between the last receive and the next request.
    void arriveBeforeRequest(Inbox &inbox);
    void onDiscard(Inbox &inbox);
    void onSend(Inbox &inbox, const QString &host, quint16 port, const QByteArray &payload);
    void onReceiveStarted(Inbox &inbox, int timeoutMs);
    std::size_t onReceive(Inbox &inbox, std::span<quint8> buffer, int sliceMs);

    std::deque<Step> m_steps;
    QList<QByteArray> m_queuedBeforeNext; // for the next expect()
    QList<SentDatagram> m_sent;
    QList<int> m_timeouts;
    QStringList m_mismatches;
    int m_opened = 0;
};

} // namespace qevtest
