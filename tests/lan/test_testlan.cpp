#include "testlan.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <algorithm>

using namespace qevtest;

namespace {

QString namespaceList(TestLan *lan) {
    QString out;
    lan->run(QString(), {QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("list")},
             &out);
    return out;
}

} // namespace

// The fixture itself: wiring, capture of what leaves the PC, and a clean teardown.
TEST(TestLan, WiresHostsCapturesSendsAndTearsDown) {
    QEV_REQUIRE_TESTLAN();
    QString names;
    QString device;
    {
        TestLan lan;
        lan.setupPc(QStringLiteral("192.168.77.1/24"), QStringLiteral("192.168.77.254/24"));
        device = lan.addDevice(QStringLiteral("10.9.9.9/24"));

        QString addresses;
        ASSERT_EQ(lan.run(device,
                          {QStringLiteral("ip"), QStringLiteral("-4"), QStringLiteral("-o"),
                           QStringLiteral("addr"), QStringLiteral("show"), QStringLiteral("eth0")},
                          &addresses),
                  0);
        EXPECT_TRUE(addresses.contains(QStringLiteral("10.9.9.9/24")));

        UdpCapture capture;
        ASSERT_TRUE(capture.isOpen());
        QUdpSocket socket;
        ASSERT_TRUE(socket.bind(QHostAddress::AnyIPv4, 0));
        ASSERT_EQ(socket.writeDatagram(QByteArray("\xF5", 1), QHostAddress::Broadcast, 11080), 1)
            << qPrintable(socket.errorString());
        ASSERT_EQ(socket.writeDatagram(QByteArray("hi"),
                                       QHostAddress(QStringLiteral("192.168.5.255")), 4000),
                  2)
            << qPrintable(socket.errorString());
        const QList<CapturedDatagram> sent = capture.take();
        ASSERT_EQ(sent.size(), 2);
        EXPECT_EQ(sent[0].dstIp, QStringLiteral("255.255.255.255"));
        EXPECT_EQ(sent[0].dstPort, 11080);
        EXPECT_EQ(sent[0].srcIp, QStringLiteral("192.168.77.1"));
        EXPECT_EQ(sent[0].payload, QByteArray("\xF5", 1));
        EXPECT_EQ(sent[1].dstIp, QStringLiteral("192.168.5.255"));
        EXPECT_EQ(sent[1].payload, QByteArray("hi"));
        names = namespaceList(&lan);
        EXPECT_TRUE(names.contains(device));
    }
    TestLan probe;
    EXPECT_FALSE(namespaceList(&probe).contains(device));
}

TEST(TestLan, ParsesOnlyCompleteUdpPackets) {
    // IPv4 header (20 bytes) + UDP header + "ab", from 192.168.77.1:1000 to 10.0.0.1:2000.
    QByteArray packet = QByteArray::fromHex("4500001E00000000401100000A000001"
                                            "0A000002");
    packet[12] = char(192);
    packet[13] = char(168);
    packet[14] = char(77);
    packet[15] = char(1);
    packet += QByteArray::fromHex("03E807D0000A0000") + QByteArray("ab");
    CapturedDatagram datagram;
    ASSERT_TRUE(ParseIPv4Udp(packet, datagram));
    EXPECT_EQ(datagram.srcIp, QStringLiteral("192.168.77.1"));
    EXPECT_EQ(datagram.dstIp, QStringLiteral("10.0.0.2"));
    EXPECT_EQ(datagram.srcPort, 1000);
    EXPECT_EQ(datagram.dstPort, 2000);
    EXPECT_EQ(datagram.payload, QByteArray("ab"));

    // A UDP length beyond the packet, a truncated header, or TCP: taken only as far as
    // the bytes go, or refused.
    QByteArray lying = packet;
    lying[25] = char(0x40);
    ASSERT_TRUE(ParseIPv4Udp(lying, datagram));
    EXPECT_EQ(datagram.payload, QByteArray("ab"));
    EXPECT_FALSE(ParseIPv4Udp(packet.left(25), datagram));
    QByteArray tcp = packet;
    tcp[9] = 6;
    EXPECT_FALSE(ParseIPv4Udp(tcp, datagram));
}

// qev-testlan-run by hand: a simulator that logs far more than a pipe holds keeps
// answering, and its log is in the folder given.
TEST(TestLanRun, SimulatorLogsToAFileThroughALongRun) {
    QEV_REQUIRE_TESTLAN();
    QTemporaryDir logs;
    ASSERT_TRUE(logs.isValid());
    // 60 datagrams of 1400 bytes each give a log line of 2800 hex digits: far more than a
    // pipe holds, and few enough to wait in the socket's buffer should the simulator lag.
    // Then one marked request after a pause.
    const QString script = QStringLiteral(
        "for i in $(seq 60); do head -c 1400 /dev/zero > /dev/udp/192.168.77.10/11080; done; "
        "sleep 0.5; printf '\\xf5' > /dev/udp/192.168.77.10/11080; sleep 0.5");
    QProcess run;
    run.start(QStringLiteral(QEV_TESTLAN_RUN_PATH),
              {QStringLiteral("--logs"), logs.path(), QStringLiteral("--device"),
               QStringLiteral("class=17,ip=192.168.77.10"), QStringLiteral("--"),
               QStringLiteral("bash"), QStringLiteral("-c"), script});
    ASSERT_TRUE(run.waitForFinished(30000)) << qPrintable(run.readAllStandardError());
    EXPECT_EQ(run.exitCode(), 0) << qPrintable(run.readAllStandardError());

    QFile log(logs.filePath(QStringLiteral("device1.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    const auto received = std::count_if(lines.begin(), lines.end(), [](const QByteArray &line) {
        return line.startsWith("rx 192.168.77.10:11080 from 192.168.77.1:") &&
               line.endsWith(' ' + QByteArray(2800, '0'));
    });
    EXPECT_GE(received, 50);
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("tx 192.168.77.1:"));
    EXPECT_TRUE(lines[lines.size() - 2].endsWith("21F5C0A84D0AFFFFFF0002817E004D0A2B49"))
        << lines[lines.size() - 2].constData();
}

// Ended by a signal in the middle of a run by hand, qev-testlan-run still removes its LAN.
TEST(TestLanRun, TearsTheLanDownWhenTerminated) {
    QEV_REQUIRE_TESTLAN();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString started = dir.filePath(QStringLiteral("started"));
    QProcess run;
    run.start(QStringLiteral(QEV_TESTLAN_RUN_PATH),
              {QStringLiteral("--logs"), dir.path(), QStringLiteral("--device"),
               QStringLiteral("class=17,ip=192.168.77.10"), QStringLiteral("--"),
               QStringLiteral("sh"), QStringLiteral("-c"),
               QStringLiteral("touch '%1'; exec sleep 30").arg(started)});
    ASSERT_TRUE(run.waitForStarted(5000));
    const QString prefix = QStringLiteral("qev%1x").arg(run.processId());
    QDeadlineTimer deadline(15000);
    while (!QFile::exists(started) && !deadline.hasExpired())
        run.waitForFinished(50);
    ASSERT_TRUE(QFile::exists(started)) << qPrintable(run.readAllStandardError());

    TestLan probe;
    EXPECT_TRUE(namespaceList(&probe).contains(prefix));
    run.terminate();
    ASSERT_TRUE(run.waitForFinished(10000));
    EXPECT_FALSE(namespaceList(&probe).contains(prefix));
}
