#pragma once

// The trace of every datagram the program exchanges with devices (and of the station
// probes' TCP frames): a bounded ring of the last entries, kept while a trace is installed.
// Sockets opened while it is installed record into it; the window shows it, and it can be
// saved for Wireshark (pcapngwriter.h).

#include "trace/traceendpoint.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace qev {

struct TraceEntry {
    enum class Kind : quint8 {
        Sent,
        Received,
        TimedOut,   // a receive that waited its whole time-out; no bytes
        ClosedPort, // the peer reported that a datagram reached a closed port; no bytes
        Failed,     // the system refused a send; the bytes that were not sent
    };
    enum class Transport : quint8 { Udp, Tcp };

    quint64 sequence = 0; // counts every entry ever recorded, from 1
    qint64 timeUs = 0;    // monotonic clock, microseconds
    Kind kind = Kind::Sent;
    Transport transport = Transport::Udp;
    TraceEndpoint local;
    TraceEndpoint remote;
    QByteArray bytes;
    // The German name of the command (a key of the catalogue, "" when unknown); see
    // commandnames.h.
    const char *command = "";
};

class DatagramTrace {
public:
    static constexpr std::size_t DefaultCapacity = 20000;

    explicit DatagramTrace(std::size_t capacity = DefaultCapacity);

    // Stamps the entry with the next sequence number and, unless it has one, the time,
    // keeps it (the oldest entry goes when the ring is full) and tells the listener.
    // Safe from any thread.
    void record(TraceEntry entry);

    // The kept entries with a sequence number above `after`, oldest first.
    std::vector<TraceEntry> entriesAfter(quint64 after = 0) const;
    void clear();
    std::size_t capacity() const { return m_capacity; }

    // Told every entry as it is recorded, on the recording thread (the command-line
    // program prints them). One listener; an empty function removes it.
    using Listener = std::function<void(const TraceEntry &)>;
    void setListener(Listener listener);

    // Microseconds between the monotonic clock and the wall clock: a saved trace carries
    // wall-clock times.
    qint64 wallClockOffsetUs() const { return m_wallOffsetUs; }

    static qint64 monotonicUs();

private:
    mutable std::mutex m_mutex;
    std::size_t m_capacity;
    std::vector<TraceEntry> m_ring;
    std::size_t m_next = 0; // where the next entry goes once the ring is full
    quint64 m_sequence = 0;
    Listener m_listener;
    qint64 m_wallOffsetUs;
};

// The trace into which sockets opened from now on record; none (the default) records
// nothing and costs nothing. The trace must outlive every socket opened while installed.
void InstallDatagramTrace(DatagramTrace *trace);
DatagramTrace *InstalledDatagramTrace();

// "a.b.c.d:port".
QString EndpointText(const TraceEndpoint &endpoint);

// One line of text per entry: time in seconds, direction, the peer, the command's German
// name, the bytes in hexadecimal, e.g.
// "12.345678 -> 192.168.77.255:11080 UDP Suche F5".
QString TraceLine(const TraceEntry &entry);

} // namespace qev
