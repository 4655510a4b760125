#include "netinspect/foreignsystems.h"

#include "netinspect/arp.h"
#include "netinspect/hostnetwork.h"
#include "netinspect/ipv4.h"
#include "netinspect/tcpclient.h"

#include <QThread>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace qev {

namespace {

constexpr int ConnectSettleMs = 50;
constexpr int PingTimeoutMs = 2000;
constexpr qsizetype MaxProbesAtOnce = 16;
constexpr int PollSliceMs = 10;
constexpr qsizetype ReceiveBufferSize = 8192;
constexpr qsizetype ReplyMinimum = 5; // FF FE, two message bytes, one more byte

// XpressNet: the low nibble of the header byte counts the data bytes behind it.
constexpr qsizetype MessageLength(quint8 header) {
    return 1 + (header & 0x0F);
}

bool startsWith(const QByteArray &received, std::initializer_list<quint8> bytes, qsizetype offset) {
    for (const quint8 byte : bytes) {
        if (offset >= received.size() || quint8(received[offset]) != byte)
            return false;
        ++offset;
    }
    return true;
}

QChar bcdDigit(quint8 nibble) {
    return QChar(0x30 + nibble);
}

class Probe {
public:
    explicit Probe(const ForeignScanHooks &hooks)
        : m_hooks(hooks) {}

    void status(const QString &text) const {
        if (m_hooks.status)
            m_hooks.status(text);
    }
    void step() const {
        if (m_hooks.step)
            m_hooks.step();
    }
    void wait(int ms) const {
        if (m_hooks.wait)
            m_hooks.wait(ms);
        else
            QThread::msleep(ulong(qMax(ms, 0)));
    }

private:
    const ForeignScanHooks &m_hooks;
};

// Everything that arrived, at most one buffer full; nothing gives an empty array.
QByteArray receiveAvailable(TTCPClient &client) {
    std::vector<char> buffer(ReceiveBufferSize, 0);
    const qint64 count = client.Receive(buffer.data(), qint64(buffer.size()));
    return QByteArray(buffer.data(), qsizetype(count));
}

bool sendFrame(TTCPClient &client, std::initializer_list<quint8> message) {
    QByteArray bytes;
    for (const quint8 byte : message)
        bytes.append(char(byte));
    const QByteArray frame = LenzFrame(bytes);
    return client.Send(frame.constData(), frame.size()) == frame.size();
}

// The exchange with one address, from any thread. It blocks for the connection to settle
// and for the two waits, each cut short when the connection has ended: once it is refused
// or closed, nothing more can arrive.
TZentrale probeStation(const QString &ip, quint16 port, int waitMs) {
    TZentrale station;
    station.IP = ip;
    station.Port = port;

    TTCPClient client;
    client.Host = ip;
    client.Port = QString::number(port);
    client.Connect();
    client.WaitUntilEnded(ConnectSettleMs);

    sendFrame(client, {0xF1, 0x03});
    client.WaitUntilEnded(waitMs);
    if (LenzFirstReplyMatches(receiveAvailable(client))) {
        sendFrame(client, {0x21, 0x21});
        client.WaitUntilEnded(waitMs);
        if (const auto version = LenzVersionOf(receiveAvailable(client))) {
            station.Version = *version;
            station.Kind = ForeignLenz;
        }
    }
    client.Close();
    return station;
}

// What the probe of one address found; nothing when it did not answer the ping.
using NeighbourResult = std::optional<TZentrale>;

// A probe thread is waited for before it is released, also when the scan is left early.
struct JoinedThread {
    void operator()(QThread *thread) const {
        thread->wait();
        delete thread;
    }
};

// Runs work(i) for every index below count, each on a thread of its own and at most
// MaxProbesAtOnce at a time, and hands the results to take() on this thread, in index
// order, as soon as they are complete. Meanwhile the probe's wait keeps the window going.
void probeSideBySide(qsizetype count, const std::function<NeighbourResult(qsizetype)> &work,
                     const std::function<void(NeighbourResult)> &take, const Probe &probe) {
    std::vector<NeighbourResult> results(static_cast<std::size_t>(count));
    std::vector<std::unique_ptr<QThread, JoinedThread>> threads(static_cast<std::size_t>(count));
    qsizetype started = 0;
    qsizetype taken = 0;
    while (taken < count) {
        qsizetype running = std::count_if(threads.begin() + taken, threads.begin() + started,
                                          [](const auto &thread) { return !thread->isFinished(); });
        for (; running < MaxProbesAtOnce && started < count; ++running, ++started) {
            const std::size_t i = std::size_t(started);
            threads[i].reset(
                QThread::create([&work, &results, i] { results[i] = work(qsizetype(i)); }));
            threads[i]->start();
        }
        while (taken < started && threads[std::size_t(taken)]->isFinished()) {
            threads[std::size_t(taken)].reset();
            take(std::move(results[std::size_t(taken)]));
            ++taken;
        }
        if (taken < count)
            probe.wait(PollSliceMs);
    }
}

} // namespace

QString ForeignSystemName(quint8 kind) {
    switch (kind) {
    case ForeignEcos:
        return QStringLiteral("ESU ECoS");
    case ForeignLenz:
        return QStringLiteral("Lenz TCP-Interface");
    case ForeignCentralStation:
        return QStringLiteral("Central Station");
    default:
        return {};
    }
}

QByteArray LenzFrame(const QByteArray &message) {
    QByteArray frame("\xFF\xFE", 2);
    quint8 check = 0;
    for (const char byte : message)
        check ^= quint8(byte);
    frame += message;
    frame += char(check);
    return frame;
}

bool LenzFirstReplyMatches(const QByteArray &received) {
    return received.size() >= ReplyMinimum && startsWith(received, {0xFE, 0xF2, 0x03}, 1) &&
           received[4] != 0;
}

std::optional<QString> LenzVersionOf(const QByteArray &received) {
    if (received.size() < ReplyMinimum || !startsWith(received, {0xFE, 0x63, 0x21}, 1))
        return std::nullopt;
    const quint8 bcd = quint8(received[4]);
    return QString(bcdDigit(bcd >> 4)) + QLatin1Char('.') + bcdDigit(bcd & 0x0F);
}

std::optional<QByteArray> TakeLenzMessage(QByteArray &stream) {
    while (!stream.isEmpty()) {
        if (!stream.startsWith("\xFF\xFE") && !(stream.size() == 1 && stream[0] == '\xFF')) {
            stream.remove(0, 1);
            continue;
        }
        if (stream.size() < 3)
            return std::nullopt;
        const qsizetype length = MessageLength(quint8(stream[2]));
        if (stream.size() < 2 + length + 1)
            return std::nullopt;
        const QByteArray message = stream.mid(2, length);
        const bool intact = LenzFrame(message) == stream.left(2 + length + 1);
        stream.remove(0, 2 + length + 1);
        if (intact)
            return message;
    }
    return std::nullopt;
}

TZentrale ProbeLenz(const QString &ip, int waitMs, const ForeignScanHooks &hooks) {
    const Probe probe(hooks);
    probe.status(QStringLiteral("Lenz..."));
    TZentrale station;
    probeSideBySide(
        1, [&](qsizetype) -> NeighbourResult { return probeStation(ip, hooks.port, waitMs); },
        [&](NeighbourResult result) { station = *result; }, probe);
    station.MAC = MacOfIP(ip, true);
    return station;
}

bool ScanForeignSystems(QList<TZentrale> &list, int waitMs, const ForeignScanHooks &hooks) {
    const Probe probe(hooks);
    QStringList candidates;
    if (!ArpNeighbours(candidates))
        return false;
    QStringList probed;
    for (const QString &candidate : std::as_const(candidates)) {
        if (!HasOctet255(candidate))
            probed << candidate;
    }
    probeSideBySide(
        probed.size(),
        [&](qsizetype i) -> NeighbourResult {
            // The host network's own ping blocks, which is right on this thread.
            if (!hostNetwork().ping(probed[i], PingTimeoutMs))
                return std::nullopt;
            return probeStation(probed[i], hooks.port, waitMs);
        },
        [&](NeighbourResult result) {
            if (!result)
                return;
            probe.step();
            probe.status(QStringLiteral("Lenz..."));
            const bool found = result->Kind != ForeignNone;
            probe.step();
            // Nothing is sent for these makers: their probes only name themselves.
            if (!found)
                probe.status(QStringLiteral("ECoS..."));
            probe.step();
            if (!found)
                probe.status(QStringLiteral("Märklin..."));
            probe.step();
            if (found) {
                result->MAC = MacOfIP(result->IP, true);
                list << *result;
            }
            probe.step();
        },
        probe);
    return !list.isEmpty();
}

} // namespace qev
