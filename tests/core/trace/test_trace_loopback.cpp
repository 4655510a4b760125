// The trace over loopback: under a firmware transfer into qev-devsim (bounded, in order,
// with the real addresses and ports), and with the station probe's TCP frames.

#include "../netinspect/fakekerneltables.h"
#include "app/devicecodes.h"
#include "devicelink/devicelink.h"
#include "devsimrunner.h"
#include "fakehostnetwork.h"
#include "firmware/firmwareinstall.h"
#include "imagemaker.h"
#include "netinspect/foreignsystems.h"
#include "trace/commandnames.h"
#include "trace/datagramtrace.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qev;
using namespace qevtest;

namespace {

TEST(TraceLoopback, RingKeepsTheLastDatagramsOfAFirmwareTransferInOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FakeHostNetwork host;
    host.setLocalIP(QStringLiteral("127.0.0.1"));
    host.setAnswering({QStringLiteral("127.0.0.2")});
    const quint16 base = FreeUdpPort(QHostAddress::AnyIPv4);
    DevsimRunner sim;
    ASSERT_TRUE(
        sim.start({QStringLiteral("--base-port"), QString::number(base),
                   QStringLiteral("--settings"), dir.filePath("codes.ini"),
                   QStringLiteral("--device"), QStringLiteral("class=5,ip=127.0.0.2,restart=0")}))
        << qPrintable(sim.diagnostics());
    const imagemaker::ImageSpec spec{.classTag = 5, .blocks = 64};
    const QString image = dir.filePath("image.snFirm");
    ASSERT_TRUE(imagemaker::WriteImageFile(image, spec, nullptr));

    // 64 blocks written and read back are 256 datagrams and more; the ring keeps 100.
    DatagramTrace trace(100);
    InstallDatagramTrace(&trace);
    ProtocolPorts ports;
    ports.base = base;
    const EventPump pump = [] {
        QCoreApplication::processEvents();
    };
    InstallResult result;
    {
        DeviceLink link(ports, DeviceCodes::placeholders(), pump);
        CurrentDevice current;
        current.host = QStringLiteral("127.0.0.2");
        current.deviceClass = 5;
        link.setCurrent(current);
        InstallTiming timing;
        timing.restartCycleMs = 20;
        timing.probeTimeoutMs = 300;
        FirmwareInstaller installer(link, DeviceCodes::placeholders().activationCode, timing);
        InstallObserver observer;
        observer.pump = pump;
        result = installer.install(image, observer);
    }
    InstallDatagramTrace(nullptr);
    ASSERT_EQ(result.outcome, InstallOutcome::Finished) << qPrintable(result.linkError);

    const std::vector<TraceEntry> entries = trace.entriesAfter();
    ASSERT_EQ(entries.size(), 100u);
    EXPECT_GT(entries.back().sequence, 256u);
    quint64 blockRead = 0;
    int lastBlock = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TraceEntry &e = entries[i];
        if (i > 0) {
            EXPECT_EQ(e.sequence, entries[i - 1].sequence + 1);
            EXPECT_GE(e.timeUs, entries[i - 1].timeUs);
        }
        if (e.kind == TraceEntry::Kind::Sent && e.bytes.startsWith('\xF2')) {
            // The compare phase asks for the blocks in order, from the device's base port.
            EXPECT_EQ(e.bytes.size(), 2);
            if (lastBlock != 0) {
                EXPECT_EQ(int(quint8(e.bytes[1])), lastBlock + 1);
            }
            lastBlock = quint8(e.bytes[1]);
            EXPECT_STREQ(e.command, "Block lesen");
            EXPECT_EQ(e.remote, (TraceEndpoint{{127, 0, 0, 2}, base}));
            EXPECT_EQ(e.local.address, (IPv4Bytes{127, 0, 0, 1}));
            EXPECT_NE(e.local.port, 0);
            blockRead = e.sequence;
        } else if (e.kind == TraceEntry::Kind::Received && blockRead == e.sequence - 1) {
            EXPECT_EQ(e.bytes.size(), 515);
            EXPECT_STREQ(e.command, "Block lesen");
            EXPECT_EQ(e.remote, (TraceEndpoint{{127, 0, 0, 2}, base}));
            EXPECT_EQ(e.local, entries[i - 1].local);
        }
    }
    EXPECT_EQ(lastBlock, 64);
    EXPECT_EQ(trace.entriesAfter(entries.back().sequence - 3).size(), 3u);
}

} // namespace

namespace {

// The station probe's TCP frames pass through the trace too.
TEST(TraceLoopback, StationProbeFramesOverTcp) {
    QTcpServer free;
    ASSERT_TRUE(free.listen(QHostAddress::LocalHost, 0));
    const quint16 port = free.serverPort();
    free.close();
    DevsimRunner sim;
    ASSERT_TRUE(sim.start(
        {QStringLiteral("--lenz"), QStringLiteral("answer=both,version=2.7,port=%1").arg(port)}))
        << qPrintable(sim.diagnostics());
    FakeHostNetwork host;
    FakeKernelTables tables;
    FakeSystemFiles files;
    DatagramTrace trace;
    InstallDatagramTrace(&trace);
    ForeignScanHooks hooks;
    hooks.port = port;
    const TZentrale station = ProbeLenz(QStringLiteral("127.0.0.1"), 400, hooks);
    InstallDatagramTrace(nullptr);
    EXPECT_EQ(station.Kind, ForeignLenz);

    // The requests as the probe sends them; of the replies only their frame's start.
    using K = TraceEntry::Kind;
    const std::vector<std::pair<K, QByteArray>> expected = {
        {K::Sent, QByteArray::fromHex("FFFEF103F2")},
        {K::Received, QByteArray::fromHex("FFFE")},
        {K::Sent, QByteArray::fromHex("FFFE212100")},
        {K::Received, QByteArray::fromHex("FFFE")}};
    const std::vector<TraceEntry> entries = trace.entriesAfter();
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].kind, expected[i].first) << i;
        EXPECT_TRUE(entries[i].bytes.startsWith(expected[i].second)) << i;
        if (entries[i].kind == K::Sent) {
            EXPECT_EQ(entries[i].bytes.size(), expected[i].second.size()) << i;
        }
        EXPECT_EQ(entries[i].transport, TraceEntry::Transport::Tcp);
        EXPECT_STREQ(entries[i].command, StationProbeName);
        EXPECT_EQ(entries[i].remote, (TraceEndpoint{{127, 0, 0, 1}, port}));
        EXPECT_EQ(entries[i].local.address, (IPv4Bytes{127, 0, 0, 1}));
        EXPECT_NE(entries[i].local.port, 0);
    }
}

} // namespace
