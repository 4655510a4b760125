#include "trace/datagramtrace.h"

#include <atomic>
#include <chrono>
#include <utility>

namespace qev {

namespace {

std::atomic<DatagramTrace *> &installedTrace() {
    static std::atomic<DatagramTrace *> trace{nullptr};
    return trace;
}

qint64 wallClockUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

QString kindText(TraceEntry::Kind kind) {
    switch (kind) {
    case TraceEntry::Kind::TimedOut:
        return QStringLiteral("Zeitüberschreitung");
    case TraceEntry::Kind::ClosedPort:
        return QStringLiteral("Port geschlossen");
    case TraceEntry::Kind::Failed:
        return QStringLiteral("Senden fehlgeschlagen");
    case TraceEntry::Kind::Sent:
    case TraceEntry::Kind::Received:
        break;
    }
    return {};
}

} // namespace

DatagramTrace::DatagramTrace(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(capacity, 1))
    , m_wallOffsetUs(wallClockUs() - monotonicUs()) {
    m_ring.reserve(m_capacity);
}

qint64 DatagramTrace::monotonicUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void DatagramTrace::record(TraceEntry entry) {
    if (entry.timeUs == 0)
        entry.timeUs = monotonicUs();
    Listener listener;
    {
        const std::lock_guard lock(m_mutex);
        entry.sequence = ++m_sequence;
        if (m_ring.size() < m_capacity) {
            m_ring.push_back(entry);
        } else {
            m_ring[m_next] = entry;
            m_next = (m_next + 1) % m_capacity;
        }
        listener = m_listener;
    }
    if (listener)
        listener(entry);
}

std::vector<TraceEntry> DatagramTrace::entriesAfter(quint64 after) const {
    const std::lock_guard lock(m_mutex);
    std::vector<TraceEntry> entries;
    const std::size_t count = m_ring.size();
    // The newest `wanted` entries of the ring, oldest first.
    const std::size_t wanted = std::min<quint64>(count, m_sequence - std::min(after, m_sequence));
    entries.reserve(wanted);
    for (std::size_t i = count - wanted; i < count; ++i)
        entries.push_back(m_ring[(m_next + i) % count]);
    return entries;
}

void DatagramTrace::clear() {
    const std::lock_guard lock(m_mutex);
    m_ring.clear();
    m_next = 0;
}

void DatagramTrace::setListener(Listener listener) {
    const std::lock_guard lock(m_mutex);
    m_listener = std::move(listener);
}

void InstallDatagramTrace(DatagramTrace *trace) {
    installedTrace().store(trace);
}

DatagramTrace *InstalledDatagramTrace() {
    return installedTrace().load(std::memory_order_relaxed);
}

QString EndpointText(const TraceEndpoint &endpoint) {
    return BytesToIP(endpoint.address) + QLatin1Char(':') + QString::number(endpoint.port);
}

QString TraceLine(const TraceEntry &entry) {
    const bool outgoing =
        entry.kind == TraceEntry::Kind::Sent || entry.kind == TraceEntry::Kind::Failed;
    QString line = QStringLiteral("%1.%2 %3 %4 %5")
                       .arg(entry.timeUs / 1000000)
                       .arg(entry.timeUs % 1000000, 6, 10, QLatin1Char('0'))
                       .arg(outgoing ? QStringLiteral("->") : QStringLiteral("<-"))
                       .arg(EndpointText(entry.remote))
                       .arg(entry.transport == TraceEntry::Transport::Tcp ? QStringLiteral("TCP")
                                                                          : QStringLiteral("UDP"));
    if (*entry.command)
        line += QLatin1Char(' ') + QString::fromUtf8(entry.command);
    const QString kind = kindText(entry.kind);
    if (!kind.isEmpty())
        line += QStringLiteral(" (%1)").arg(kind);
    if (!entry.bytes.isEmpty())
        line += QLatin1Char(' ') + QString::fromLatin1(entry.bytes.toHex(' ').toUpper());
    return line;
}

} // namespace qev
