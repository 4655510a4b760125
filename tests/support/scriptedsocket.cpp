#include "scriptedsocket.h"

#include "devicelink/linkerror.h"

#include <chrono>
#include <thread>
#include <utility>

namespace qevtest {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

class SocketScript::Socket final : public qev::UdpSocket {
public:
    explicit Socket(SocketScript &script, bool broadcast)
        : m_script(script)
        , m_broadcast(broadcast) {}

    void setBroadcast(bool permitted) override { m_broadcast = permitted; }
    bool broadcast() const override { return m_broadcast; }

private:
    void sendDatagram(const qev::IPv4Bytes &address, quint16 port,
                      std::span<const quint8> data) override {
        const QString host = QStringLiteral("%1.%2.%3.%4")
                                 .arg(address[0])
                                 .arg(address[1])
                                 .arg(address[2])
                                 .arg(address[3]);
        m_script.onSend(
            m_inbox, host, port,
            QByteArray(reinterpret_cast<const char *>(data.data()), qsizetype(data.size())));
    }

    void receiveStarted(int timeoutMs) override { m_script.onReceiveStarted(m_inbox, timeoutMs); }

    void discardPending() override { m_script.onDiscard(m_inbox); }

    std::size_t receiveDatagram(std::span<quint8> buffer, int sliceMs) override {
        return m_script.onReceive(m_inbox, buffer, sliceMs);
    }

    SocketScript &m_script;
    bool m_broadcast;
    Inbox m_inbox;
};

SocketScript &SocketScript::expect(const char *requestHex, quint16 port, const QString &host) {
    return expect(hex(requestHex), port, host);
}

SocketScript &SocketScript::expect(const QByteArray &request, quint16 port, const QString &host) {
    Step step;
    step.request = request;
    step.port = port;
    step.host = host;
    step.queuedBefore = std::exchange(m_queuedBeforeNext, {});
    m_steps.push_back(step);
    return *this;
}

SocketScript &SocketScript::reply(const char *replyHex) {
    return reply(hex(replyHex));
}

SocketScript &SocketScript::reply(const QByteArray &bytes) {
    m_steps.back().outcome = Outcome::Reply;
    m_steps.back().reply = bytes;
    return *this;
}

SocketScript &SocketScript::silence() {
    m_steps.back().outcome = Outcome::Silence;
    return *this;
}

SocketScript &SocketScript::late(const char *replyHex) {
    m_steps.back().outcome = Outcome::Late;
    m_steps.back().reply = hex(replyHex);
    return *this;
}

SocketScript &SocketScript::queued(const char *datagramHex) {
    m_queuedBeforeNext.append(hex(datagramHex));
    return *this;
}

SocketScript &SocketScript::refused() {
    m_steps.back().outcome = Outcome::Refused;
    return *this;
}

std::function<std::unique_ptr<qev::UdpSocket>(bool)> SocketScript::factory() {
    return [this](bool broadcast) -> std::unique_ptr<qev::UdpSocket> {
        ++m_opened;
        return std::make_unique<Socket>(*this, broadcast);
    };
}

void SocketScript::arriveBeforeRequest(Inbox &inbox) {
    for (const QByteArray &datagram : std::exchange(inbox.late, {}))
        inbox.pending.push_back({Outcome::Reply, datagram, true});
    if (m_steps.empty())
        return;
    for (const QByteArray &datagram : std::exchange(m_steps.front().queuedBefore, {}))
        inbox.pending.push_back({Outcome::Reply, datagram, true});
}

void SocketScript::onDiscard(Inbox &inbox) {
    arriveBeforeRequest(inbox);
    inbox.pending.clear();
}

void SocketScript::onSend(Inbox &inbox, const QString &host, quint16 port,
                          const QByteArray &payload) {
    arriveBeforeRequest(inbox);
    for (Pending &pending : inbox.pending)
        pending.beforeLatestRequest = true;
    m_sent.append({host, port, payload});
    const QString what = QStringLiteral("%1:%2 %3")
                             .arg(host)
                             .arg(port)
                             .arg(QString::fromLatin1(payload.toHex(' ').toUpper()));
    if (m_steps.empty()) {
        m_mismatches << QStringLiteral("unexpected send %1").arg(what);
        return;
    }
    const Step step = m_steps.front();
    m_steps.pop_front();
    if (step.request != payload || (step.port != 0 && step.port != port) ||
        (!step.host.isEmpty() && step.host != host)) {
        m_mismatches << QStringLiteral("sent %1, expected %2:%3 %4")
                            .arg(what, step.host.isEmpty() ? QStringLiteral("*") : step.host)
                            .arg(step.port)
                            .arg(QString::fromLatin1(step.request.toHex(' ').toUpper()));
    }
    inbox.pending.push_back({step.outcome, step.reply, false});
}

void SocketScript::onReceiveStarted(Inbox &inbox, int timeoutMs) {
    m_timeouts.append(timeoutMs);
    // A late reply missed the receive before; no request has left since.
    for (const QByteArray &datagram : std::exchange(inbox.late, {}))
        inbox.pending.push_back({Outcome::Reply, datagram, false});
}

std::size_t SocketScript::onReceive(Inbox &inbox, std::span<quint8> buffer, int sliceMs) {
    if (inbox.pending.empty() || inbox.pending.front().outcome == Outcome::Silence ||
        inbox.pending.front().outcome == Outcome::Late) {
        if (!inbox.pending.empty()) {
            if (inbox.pending.front().outcome == Outcome::Late)
                inbox.late.append(inbox.pending.front().reply);
            inbox.pending.pop_front();
        }
        // Silence costs its time as it would on a network (in short slices while a window
        // pump is installed), and the receive waits instead of spinning.
        if (sliceMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(sliceMs));
        return 0;
    }
    const Pending pending = inbox.pending.front();
    inbox.pending.pop_front();
    if (pending.beforeLatestRequest) {
        m_mismatches << QStringLiteral("received %1, which arrived before the latest request")
                            .arg(pending.outcome == Outcome::Refused
                                     ? QStringLiteral("a closed-port report")
                                     : QString::fromLatin1(pending.reply.toHex(' ').toUpper()));
    }
    if (pending.outcome == Outcome::Refused)
        throw qev::LinkError("scripted: port unreachable");
    const std::size_t count =
        std::min<std::size_t>(buffer.size(), std::size_t(pending.reply.size()));
    std::copy_n(reinterpret_cast<const quint8 *>(pending.reply.constData()), count, buffer.begin());
    return count;
}

QString SocketScript::report() const {
    QStringList lines = m_mismatches;
    for (const Step &step : m_steps)
        lines << QStringLiteral("never sent: %1")
                     .arg(QString::fromLatin1(step.request.toHex(' ').toUpper()));
    return lines.join(QLatin1Char('\n'));
}

} // namespace qevtest
