#pragma once

// Saves a trace as a pcapng file that Wireshark and tshark read: one Ethernet interface,
// each datagram as an Ethernet/IPv4/UDP packet (a station probe's frame as TCP) with its
// real addresses and ports and correct lengths and checksums, the command's name as the
// packet's comment. A closed-port report becomes the ICMP port-unreachable message that
// carried it; time-outs and refused sends put nothing on the wire and are left out.

#include "trace/datagramtrace.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace qev {

// The largest payload one packet carries (an IPv4 packet's 65535 bytes less the headers);
// longer bytes are cut, the packet's original length still saying how long they were.
inline constexpr int MaxPacketPayload = 65535 - 20 - 20;

// The file's bytes. wallClockOffsetUs turns the entries' monotonic times into wall-clock
// times (DatagramTrace::wallClockOffsetUs).
QByteArray PcapngBytes(const std::vector<TraceEntry> &entries, qint64 wallClockOffsetUs);

// Writes the file; false with the system's reason in *error when it cannot.
bool WritePcapng(const QString &path, const std::vector<TraceEntry> &entries,
                 qint64 wallClockOffsetUs, QString *error = nullptr);

} // namespace qev
