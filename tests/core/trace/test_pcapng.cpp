// The pcapng writer read back by tshark, and the protocol's Lua dissector on the same
// files. Skipped when tshark is not installed (Debian package tshark).

#include "scriptedsocket.h"
#include "trace/pcapngwriter.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace qev;
using qevtest::hex;

namespace {

const QString Dissector = QStringLiteral(QEV_SOURCE_DIR "/data/wireshark/qev.lua");

TraceEntry entry(TraceEntry::Kind kind, TraceEndpoint local, TraceEndpoint remote,
                 const QByteArray &bytes, const char *command,
                 TraceEntry::Transport transport = TraceEntry::Transport::Udp) {
    TraceEntry e;
    e.kind = kind;
    e.transport = transport;
    e.local = local;
    e.remote = remote;
    e.bytes = bytes;
    e.command = command;
    e.timeUs = 1000;
    return e;
}

class Pcapng : public testing::Test {
protected:
    void SetUp() override {
        m_tshark = QStandardPaths::findExecutable(QStringLiteral("tshark"));
        if (m_tshark.isEmpty())
            GTEST_SKIP() << "tshark is not installed (Debian package tshark); not checked";
        ASSERT_TRUE(m_dir.isValid());
    }

    // Writes the entries and reads them back: one line per packet, the fields separated
    // by "|".
    QStringList readBack(const std::vector<TraceEntry> &entries, const QStringList &fields,
                         const QStringList &extra = {}) {
        const QString path = m_dir.filePath(QStringLiteral("trace.pcapng"));
        QString error;
        EXPECT_TRUE(WritePcapng(path, entries, 0, &error)) << qPrintable(error);
        QStringList arguments{QStringLiteral("-r"), path, QStringLiteral("-T"),
                              QStringLiteral("fields"), QStringLiteral("-E"),
                              QStringLiteral("separator=|"),
                              // every checksum verified, so that a wrong one shows as bad
                              QStringLiteral("-o"), QStringLiteral("ip.check_checksum:TRUE"),
                              QStringLiteral("-o"), QStringLiteral("udp.check_checksum:TRUE"),
                              QStringLiteral("-o"), QStringLiteral("tcp.check_checksum:TRUE")};
        arguments << extra;
        for (const QString &field : fields)
            arguments << QStringLiteral("-e") << field;
        QProcess tshark;
        tshark.start(m_tshark, arguments);
        EXPECT_TRUE(tshark.waitForFinished(60000));
        EXPECT_EQ(tshark.exitCode(), 0) << tshark.readAllStandardError().toStdString();
        return QString::fromUtf8(tshark.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    QString m_tshark;
    QTemporaryDir m_dir;
};

const TraceEndpoint Pc{{192, 168, 77, 1}, 40001};
const TraceEndpoint Device{{192, 168, 77, 10}, 11082};
const TraceEndpoint Broadcast{{192, 168, 77, 255}, 11080};
const TraceEndpoint Station{{192, 168, 77, 20}, 5550};

TEST_F(Pcapng, TsharkReadsEveryDatagramAsItWas) {
    using K = TraceEntry::Kind;
    using T = TraceEntry::Transport;
    const QByteArray block = QByteArray(514, '\x5A').replace(0, 2, hex("F3 01"));
    const QByteArray largest(MaxPacketPayload, '\x11');
    struct Row {
        TraceEntry entry;
        const char *line; // src|sport|dst|dport|payload|comment|checksums ip,udp/tcp (1: good)
    };
    const Row rows[] = {
        {entry(K::Sent, Pc, Broadcast, hex("F5"), "Suche"),
         "192.168.77.1|40001|192.168.77.255|11080|f5|Suche|1,1"},
        {entry(K::Received, Pc, {{192, 168, 77, 10}, 11080}, hex("21 F5 C0 A8 4D 0A"), "Suche"),
         "192.168.77.10|11080|192.168.77.1|40001|21f5c0a84d0a|Suche|1,1"},
        // empty payload, no command name
        {entry(K::Sent, Pc, Device, {}, ""), "192.168.77.1|40001|192.168.77.10|11082|||1,1"},
        {entry(K::Sent, Pc, Device, block, "Block schreiben"),
         "192.168.77.1|40001|192.168.77.10|11082|*514|Block schreiben|1,1"},
        {entry(K::Sent, Pc, Device, largest, "Größter"),
         "192.168.77.1|40001|192.168.77.10|11082|*65495|Größter|1,1"},
        {entry(K::Sent, {{192, 168, 77, 1}, 50000}, Station, hex("FF FE F1 03 F2"),
               "Zentralen-Abfrage", T::Tcp),
         "192.168.77.1|50000|192.168.77.20|5550|fffef103f2|Zentralen-Abfrage|1,1"},
        {entry(K::Received, {{192, 168, 77, 1}, 50000}, Station, hex("FF FE 02 F2 03 F3"),
               "Zentralen-Abfrage", T::Tcp),
         "192.168.77.20|5550|192.168.77.1|50000|fffe02f203f3|Zentralen-Abfrage|1,1"},
    };
    std::vector<TraceEntry> entries;
    for (const Row &row : rows)
        entries.push_back(row.entry);
    // Nothing of these was on the wire.
    entries.push_back(entry(K::TimedOut, Pc, Device, {}, "Identifikation"));
    entries.push_back(entry(K::Failed, Pc, Device, hex("0F"), "Identifikation"));

    const QStringList lines = readBack(
        entries,
        {QStringLiteral("ip.src"), QStringLiteral("udp.srcport"), QStringLiteral("tcp.srcport"),
         QStringLiteral("ip.dst"), QStringLiteral("udp.dstport"), QStringLiteral("tcp.dstport"),
         QStringLiteral("udp.payload"), QStringLiteral("tcp.payload"),
         QStringLiteral("frame.comment"), QStringLiteral("ip.checksum.status"),
         QStringLiteral("udp.checksum.status"), QStringLiteral("tcp.checksum.status")});
    ASSERT_EQ(lines.size(), qsizetype(std::size(rows))) << qPrintable(lines.join('\n'));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const QStringList f = lines[qsizetype(i)].split('|');
        ASSERT_EQ(f.size(), 12) << qPrintable(lines[qsizetype(i)]);
        // UDP or TCP, whichever the packet is, into one form.
        const QString payload = f[6] + f[7];
        const QString expectedPayload = QString::fromUtf8(rows[i].line).split('|')[4];
        const QString got = QStringList{f[0],
                                        f[1] + f[2],
                                        f[3],
                                        f[4] + f[5],
                                        expectedPayload.startsWith('*')
                                            ? QStringLiteral("*%1").arg(payload.size() / 2)
                                            : payload,
                                        f[8],
                                        f[9] + ',' + f[10] + f[11]}
                                .join('|');
        EXPECT_EQ(got.toStdString(), rows[i].line) << i;
    }
    EXPECT_TRUE(lines[3].contains(QString::fromLatin1(hex("F3 01 5A 5A").toHex())));
}

TEST_F(Pcapng, ClosedPortReportIsAnIcmpPortUnreachable) {
    const std::vector<TraceEntry> entries = {
        entry(TraceEntry::Kind::Sent, Pc, Device, hex("0F"), "Identifikation"),
        entry(TraceEntry::Kind::ClosedPort, Pc, Device, {}, "Identifikation")};
    const QStringList lines =
        readBack(entries, {QStringLiteral("ip.src"), QStringLiteral("icmp.type"),
                           QStringLiteral("icmp.code"), QStringLiteral("udp.dstport"),
                           QStringLiteral("icmp.checksum.status")});
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].toStdString(),
              "192.168.77.10,192.168.77.1|3|3|11082|1"); // the quoted datagram's addresses follow
}

TEST_F(Pcapng, DissectorNamesTheCommands) {
    using K = TraceEntry::Kind;
    struct Row {
        TraceEntry entry;
        const char *command;
    };
    const TraceEndpoint base{{192, 168, 77, 10}, 11080};
    const Row rows[] = {
        {entry(K::Sent, Pc, Broadcast, hex("F5"), ""), "Suche"},
        {entry(K::Received, Pc, base,
               hex("21 F5 C0 A8 4D 0A FF FF FF 00 00 00 02 81 7E 00 4D 0A 2B 4A"), ""),
         "Suche"},
        {entry(K::Sent, Pc, Device, hex("0F"), ""), "Identifikation"},
        {entry(K::Sent, Pc, Device, hex("60 0F"), ""), "Identifikation"},
        {entry(K::Sent, Pc, base,
               hex("F4 55 AA C0 A8 4D 14 FF FF FF 00 02 81 7E 00 4D 14 2B 4A 00 00 00 00 00 00 00 "
                   "00"),
               ""),
         "Netzwerkeinstellungen"},
        {entry(K::Sent, Pc, base, hex("F0 51 45 56 34"), ""), "Zugangscode"},
        {entry(K::Sent, Pc, base, QByteArray(514, '\0').replace(0, 2, hex("F3 07")), ""),
         "Block schreiben"},
        {entry(K::Sent, Pc, base, hex("F2 07"), ""), "Block lesen"},
        {entry(K::Sent, Pc, Device, hex("90 99 33 99"), ""), "Gateway lesen"},
        {entry(K::Sent, Pc, Device, hex("32"), ""), "S88 lesen"},
    };
    std::vector<TraceEntry> entries;
    for (const Row &row : rows)
        entries.push_back(row.entry);
    const QStringList lines =
        readBack(entries, {QStringLiteral("qev.command"), QStringLiteral("qev.block")},
                 {QStringLiteral("-X"), QStringLiteral("lua_script:") + Dissector});
    ASSERT_EQ(lines.size(), qsizetype(std::size(rows)));
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_TRUE(lines[qsizetype(i)].startsWith(QString::fromUtf8(rows[i].command) + '|'))
            << i << ": " << qPrintable(lines[qsizetype(i)]);
    EXPECT_EQ(lines[6], QStringLiteral("Block schreiben|7"));
}

} // namespace
