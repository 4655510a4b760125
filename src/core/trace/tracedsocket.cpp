#include "trace/tracedsocket.h"

#include "devicelink/linkerror.h"
#include "trace/commandnames.h"

namespace qev {

namespace {

QByteArray bytesOf(std::span<const quint8> data) {
    return QByteArray(reinterpret_cast<const char *>(data.data()), qsizetype(data.size()));
}

} // namespace

// Forwards every call to the wrapped socket and records sends, arrivals, time-outs and
// closed-port reports.
class TracingUdpSocket final : public UdpSocket {
public:
    TracingUdpSocket(std::unique_ptr<UdpSocket> socket, DatagramTrace &trace)
        : m_socket(std::move(socket))
        , m_trace(trace) {}

    void setBroadcast(bool permitted) override { m_socket->setBroadcast(permitted); }
    bool broadcast() const override { return m_socket->broadcast(); }
    TraceEndpoint localEndpoint(const IPv4Bytes &towards) const override {
        return m_socket->localEndpoint(towards);
    }
    TraceEndpoint lastSender() const override { return m_socket->lastSender(); }

private:
    void receiveStarted(int timeoutMs) override {
        m_socket->receiveStarted(timeoutMs);
        m_waitMs = timeoutMs;
    }

    // A loop that collects replies in short receives times out again and again; one entry
    // stands for a run of them. A receive that waits for nothing only looks whether
    // something is there (or empties the queue before a request): no time-out.
    void receiveTimedOut() override {
        m_socket->receiveTimedOut();
        if (m_waitMs > 0 && !m_timedOut) {
            recordEvent(TraceEntry::Kind::TimedOut);
            m_timedOut = true;
        }
    }

    void sendDatagram(const IPv4Bytes &address, quint16 port,
                      std::span<const quint8> data) override {
        TraceEntry entry;
        entry.remote = {address, port};
        entry.bytes = bytesOf(data);
        entry.command = RequestName(data);
        m_lastRequest = entry.command;
        m_lastPeer = entry.remote;
        m_timedOut = false;
        try {
            m_socket->sendDatagram(address, port, data);
        } catch (const LinkError &) {
            entry.kind = TraceEntry::Kind::Failed;
            entry.local = m_socket->localEndpoint(address);
            m_trace.record(std::move(entry));
            throw;
        }
        // The system gives the socket its port with the first send.
        entry.local = m_socket->localEndpoint(address);
        m_trace.record(std::move(entry));
    }

    std::size_t receiveDatagram(std::span<quint8> buffer, int timeoutMs) override {
        std::size_t count = 0;
        try {
            count = m_socket->receiveDatagram(buffer, timeoutMs);
        } catch (const LinkError &) {
            recordEvent(TraceEntry::Kind::ClosedPort);
            throw;
        }
        if (count > 0) {
            m_timedOut = false;
            TraceEntry entry;
            entry.kind = TraceEntry::Kind::Received;
            entry.remote = m_socket->lastSender();
            entry.local = m_socket->localEndpoint(entry.remote.address);
            entry.bytes = bytesOf(buffer.first(count));
            entry.command = ReplyName(buffer.first(count), m_lastRequest);
            m_trace.record(std::move(entry));
        }
        return count;
    }

    // An entry without bytes about the request sent last.
    void recordEvent(TraceEntry::Kind kind) {
        TraceEntry entry;
        entry.kind = kind;
        entry.remote = m_lastPeer;
        entry.local = m_socket->localEndpoint(m_lastPeer.address);
        entry.command = m_lastRequest;
        m_trace.record(std::move(entry));
    }

    std::unique_ptr<UdpSocket> m_socket;
    DatagramTrace &m_trace;
    const char *m_lastRequest = "";
    TraceEndpoint m_lastPeer;
    int m_waitMs = 0;        // the time-out of the receive under way
    bool m_timedOut = false; // nothing was sent or received since the last time-out
};

std::unique_ptr<UdpSocket> TracedUdpSocket(std::unique_ptr<UdpSocket> socket,
                                           DatagramTrace &trace) {
    return std::make_unique<TracingUdpSocket>(std::move(socket), trace);
}

} // namespace qev
