#include "trace/pcapngwriter.h"

#include <QSaveFile>
#include <QtEndian>
#include <map>
#include <utility>

namespace qev {

namespace {

constexpr quint32 SectionHeaderBlock = 0x0A0D0D0A;
constexpr quint32 InterfaceBlock = 1;
constexpr quint32 EnhancedPacketBlock = 6;
constexpr quint16 LinkTypeEthernet = 1;
constexpr quint16 OptionEnd = 0;
constexpr quint16 OptionComment = 1;
constexpr quint16 OptionUserApplication = 4; // of the section header
constexpr quint16 OptionInterfaceName = 2;

constexpr quint8 ProtocolIcmp = 1;
constexpr quint8 ProtocolTcp = 6;
constexpr quint8 ProtocolUdp = 17;

// Numbers in the pcapng blocks are in the writer's byte order (the section header's
// byte-order magic says which); the packets themselves are in network order.
void put16(QByteArray &out, quint16 value) {
    out.append(reinterpret_cast<const char *>(&value), 2);
}
void put32(QByteArray &out, quint32 value) {
    out.append(reinterpret_cast<const char *>(&value), 4);
}
void putNet16(QByteArray &out, quint16 value) {
    out.append(char(value >> 8)).append(char(value & 0xFF));
}
void putNet32(QByteArray &out, quint32 value) {
    putNet16(out, quint16(value >> 16));
    putNet16(out, quint16(value & 0xFFFF));
}
void pad4(QByteArray &out) {
    while (out.size() % 4 != 0)
        out.append('\0');
}

void putOption(QByteArray &out, quint16 code, const QByteArray &value) {
    put16(out, code);
    put16(out, quint16(value.size()));
    out.append(value);
    pad4(out);
}

// A block: type, total length, body, total length again.
QByteArray block(quint32 type, const QByteArray &body) {
    QByteArray out;
    const quint32 length = quint32(12 + body.size());
    put32(out, type);
    put32(out, length);
    out.append(body);
    put32(out, length);
    return out;
}

// The Internet checksum (RFC 1071) of the bytes, starting from an earlier sum.
quint16 checksum(const QByteArray &bytes, quint32 sum = 0) {
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        sum += quint32(quint8(bytes[i]) << 8 | quint8(bytes[i + 1]));
    if (bytes.size() % 2 != 0)
        sum += quint32(quint8(bytes.back()) << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return quint16(~sum);
}

quint32 pseudoHeaderSum(const IPv4Bytes &source, const IPv4Bytes &destination, quint8 protocol,
                        quint16 length) {
    quint32 sum = 0;
    for (const IPv4Bytes *address : {&source, &destination})
        sum += quint32((*address)[0] << 8 | (*address)[1]) +
               quint32((*address)[2] << 8 | (*address)[3]);
    return sum + protocol + length;
}

QByteArray ipv4Packet(const IPv4Bytes &source, const IPv4Bytes &destination, quint8 protocol,
                      quint16 identification, const QByteArray &payload) {
    QByteArray header;
    header.append(char(0x45)).append(char(0));
    putNet16(header, quint16(20 + payload.size()));
    putNet16(header, identification);
    putNet16(header, 0); // no fragments
    header.append(char(64)).append(char(protocol));
    putNet16(header, 0);
    header.append(reinterpret_cast<const char *>(source.data()), 4);
    header.append(reinterpret_cast<const char *>(destination.data()), 4);
    const quint16 sum = checksum(header);
    header[10] = char(sum >> 8);
    header[11] = char(sum & 0xFF);
    return header + payload;
}

QByteArray udpSegment(const TraceEndpoint &from, const TraceEndpoint &to, const QByteArray &data) {
    QByteArray segment;
    const quint16 length = quint16(8 + data.size());
    putNet16(segment, from.port);
    putNet16(segment, to.port);
    putNet16(segment, length);
    putNet16(segment, 0);
    segment.append(data);
    quint16 sum = checksum(segment, pseudoHeaderSum(from.address, to.address, ProtocolUdp, length));
    if (sum == 0)
        sum = 0xFFFF; // 0 would mean "no checksum"
    segment[6] = char(sum >> 8);
    segment[7] = char(sum & 0xFF);
    return segment;
}

QByteArray tcpSegment(const TraceEndpoint &from, const TraceEndpoint &to, quint32 sequence,
                      quint32 acknowledged, const QByteArray &data) {
    QByteArray segment;
    putNet16(segment, from.port);
    putNet16(segment, to.port);
    putNet32(segment, sequence);
    putNet32(segment, acknowledged);
    segment.append(char(5 << 4)).append(char(0x18)); // 20-byte header; PSH, ACK
    putNet16(segment, 0xFFFF);                       // window
    putNet16(segment, 0);                            // checksum, filled in below
    putNet16(segment, 0);                            // urgent pointer
    segment.append(data);
    const quint16 sum = checksum(
        segment, pseudoHeaderSum(from.address, to.address, ProtocolTcp, quint16(segment.size())));
    segment[16] = char(sum >> 8);
    segment[17] = char(sum & 0xFF);
    return segment;
}

// Made-up hardware addresses that keep the hosts apart: 02 (locally administered), 00,
// then the IPv4 address; broadcast addresses get the Ethernet broadcast.
QByteArray macFor(const IPv4Bytes &address) {
    if (address[3] == 255)
        return QByteArray(6, char(0xFF));
    QByteArray mac("\x02\x00", 2);
    mac.append(reinterpret_cast<const char *>(address.data()), 4);
    return mac;
}

QByteArray ethernetFrame(const IPv4Bytes &source, const IPv4Bytes &destination,
                         const QByteArray &packet) {
    QByteArray frame = macFor(destination) + macFor(source);
    putNet16(frame, 0x0800);
    return frame + packet;
}

// Turns the entries into frames; TCP sequence numbers run on per direction of each
// connection, so that Wireshark follows the stream.
class Framer {
public:
    // The frame of one entry; empty for entries that put nothing on the wire.
    QByteArray frameOf(const TraceEntry &entry, qsizetype &originalLength) {
        const bool outgoing = entry.kind == TraceEntry::Kind::Sent;
        const TraceEndpoint &from = outgoing ? entry.local : entry.remote;
        const TraceEndpoint &to = outgoing ? entry.remote : entry.local;
        const QByteArray data = entry.bytes.left(MaxPacketPayload);
        const qsizetype cut = entry.bytes.size() - data.size();
        QByteArray packet;
        switch (entry.kind) {
        case TraceEntry::Kind::Sent:
        case TraceEntry::Kind::Received:
            if (entry.transport == TraceEntry::Transport::Tcp) {
                quint32 &sequence = m_next[{key(from), key(to)}];
                const quint32 acknowledged = m_next[{key(to), key(from)}];
                packet = ipv4Packet(from.address, to.address, ProtocolTcp, ++m_identification,
                                    tcpSegment(from, to, sequence, acknowledged, data));
                sequence += quint32(entry.bytes.size());
            } else {
                packet = ipv4Packet(from.address, to.address, ProtocolUdp, ++m_identification,
                                    udpSegment(from, to, data));
            }
            break;
        case TraceEntry::Kind::ClosedPort:
            if (entry.transport == TraceEntry::Transport::Udp)
                packet = portUnreachable(entry);
            break;
        case TraceEntry::Kind::TimedOut:
        case TraceEntry::Kind::Failed:
            break;
        }
        if (packet.isEmpty())
            return {};
        originalLength = 14 + packet.size() + cut;
        return ethernetFrame(from.address, to.address, packet);
    }

private:
    static quint64 key(const TraceEndpoint &endpoint) {
        return quint64(qFromBigEndian<quint32>(endpoint.address.data())) << 16 | endpoint.port;
    }

    // What the peer sends back for a datagram to a closed port: ICMP destination
    // unreachable, port unreachable, quoting the datagram's IPv4 header and first 8 bytes.
    QByteArray portUnreachable(const TraceEntry &entry) {
        const QByteArray quoted =
            ipv4Packet(entry.local.address, entry.remote.address, ProtocolUdp, m_identification,
                       udpSegment(entry.local, entry.remote, {}))
                .left(28);
        QByteArray icmp;
        icmp.append(char(3)).append(char(3));
        putNet16(icmp, 0);
        putNet32(icmp, 0);
        icmp.append(quoted);
        const quint16 sum = checksum(icmp);
        icmp[2] = char(sum >> 8);
        icmp[3] = char(sum & 0xFF);
        return ipv4Packet(entry.remote.address, entry.local.address, ProtocolIcmp,
                          ++m_identification, icmp);
    }

    std::map<std::pair<quint64, quint64>, quint32> m_next;
    quint16 m_identification = 0;
};

} // namespace

QByteArray PcapngBytes(const std::vector<TraceEntry> &entries, qint64 wallClockOffsetUs) {
    QByteArray section;
    put32(section, 0x1A2B3C4D); // byte-order magic
    put16(section, 1);
    put16(section, 0);
    put32(section, 0xFFFFFFFF); // section length: not given
    put32(section, 0xFFFFFFFF);
    putOption(section, OptionUserApplication, QByteArrayLiteral("Qev Programmer"));
    putOption(section, OptionEnd, {});

    QByteArray interface;
    put16(interface, LinkTypeEthernet);
    put16(interface, 0);
    put32(interface, 0); // no snapshot length limit
    putOption(interface, OptionInterfaceName, QByteArrayLiteral("qev"));
    putOption(interface, OptionEnd, {});

    QByteArray file = block(SectionHeaderBlock, section) + block(InterfaceBlock, interface);
    Framer framer;
    for (const TraceEntry &entry : entries) {
        qsizetype originalLength = 0;
        const QByteArray frame = framer.frameOf(entry, originalLength);
        if (frame.isEmpty())
            continue;
        // Microseconds, the interface's default resolution.
        const quint64 time = quint64(entry.timeUs + wallClockOffsetUs);
        QByteArray packet;
        put32(packet, 0); // interface 0
        put32(packet, quint32(time >> 32));
        put32(packet, quint32(time & 0xFFFFFFFF));
        put32(packet, quint32(frame.size()));
        put32(packet, quint32(originalLength));
        packet.append(frame);
        pad4(packet);
        if (*entry.command)
            putOption(packet, OptionComment, QByteArray(entry.command));
        putOption(packet, OptionEnd, {});
        file += block(EnhancedPacketBlock, packet);
    }
    return file;
}

bool WritePcapng(const QString &path, const std::vector<TraceEntry> &entries,
                 qint64 wallClockOffsetUs, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(PcapngBytes(entries, wallClockOffsetUs)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace qev
