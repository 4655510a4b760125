#include "devicelink/discovery.h"
#include "devicelink/linkerror.h"

#include "fakehostnetwork.h"
#include "udppeer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>

using namespace qev;
using qevtest::hexBytes;
using qevtest::PeerDatagram;
using qevtest::UdpPeer;

namespace {

const QString Device = QStringLiteral("127.0.0.4");
const QString OtherDevice = QStringLiteral("127.0.0.5");
constexpr int CollectMs = 300;

// The discovery reply of a device at `address` that reports `port`.
QByteArray discoveryReply(const QString &address, quint16 port) {
    QByteArray reply = hexBytes("21 F5");
    for (const QString &octet : address.split(QLatin1Char('.')))
        reply.append(static_cast<char>(octet.toInt()));
    reply.append(hexBytes("FF 00 00 00 02 81 7E 00 00 10"));
    reply.append(static_cast<char>(port >> 8));
    reply.append(static_cast<char>(port & 0xFF));
    return reply;
}

// What a device answers on one of its ports: a reply per first request byte.
UdpPeer::Responder replies(QMap<QByteArray, QList<QByteArray>> table) {
    return [table](const PeerDatagram &request) -> std::optional<QByteArray> {
        const QList<QByteArray> answers = table.value(request.payload);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.first();
    };
}

QList<QByteArray> payloads(const UdpPeer &peer) {
    QList<QByteArray> result;
    for (const PeerDatagram &datagram : peer.received())
        result.append(datagram.payload);
    return result;
}

class DiscoveryTest : public ::testing::Test {
protected:
    DiscoveryTest() { m_host.setLocalIP(QStringLiteral("127.0.0.1")); }

    bool discover(quint16 basePort, const QString &broadcast = Device) {
        ProtocolPorts ports;
        ports.base = basePort;
        return DiscoverDevices(m_list, CollectMs, broadcast, ports, [this] { ++m_pumped; });
    }

    qevtest::FakeHostNetwork m_host;
    QList<DeviceRecord> m_list;
    int m_pumped = 0;
};

TEST_F(DiscoveryTest, RecordsTheDeviceAndAsksItsClassOnItsPort) {
    UdpPeer devicePort(Device, replies({{hexBytes("0F"), {hexBytes("21 0F 11 07 04")}}}));
    UdpPeer base(Device, replies({{hexBytes("F5"), {discoveryReply(Device, devicePort.port())}}}));
    m_list.append(DeviceRecord{}); // a stale entry is emptied

    EXPECT_TRUE(discover(base.port()));
    ASSERT_EQ(m_list.size(), 1);
    const DeviceRecord &record = m_list[0];
    EXPECT_EQ(record.address, Device);
    EXPECT_EQ(record.netmask, "255.0.0.0");
    EXPECT_EQ(record.mac, (MacBytes{0x02, 0x81, 0x7E, 0x00, 0x00, 0x10}));
    EXPECT_EQ(record.port, devicePort.port());
    EXPECT_EQ(record.deviceClass, 17);
    EXPECT_EQ(payloads(base), QList<QByteArray>{hexBytes("F5")});
    EXPECT_EQ(payloads(devicePort), QList<QByteArray>{hexBytes("0F")});
    EXPECT_GE(m_pumped, 1);
}

TEST_F(DiscoveryTest, ClassRewriteAppliesToTheDiscoveryIdentification) {
    UdpPeer devicePort(Device, replies({{hexBytes("0F"), {hexBytes("21 0F 06 07 02")}}}));
    UdpPeer base(Device, replies({{hexBytes("F5"), {discoveryReply(Device, devicePort.port())}}}));
    EXPECT_TRUE(discover(base.port()));
    ASSERT_EQ(m_list.size(), 1);
    EXPECT_EQ(m_list[0].deviceClass, 17);
}

TEST_F(DiscoveryTest, ClosedDevicePortIsAskedAgainOnTheBasePort) {
    UdpPeer base(Device,
                 replies({{hexBytes("F5"), {discoveryReply(Device, UdpPeer::closedPort(Device))}},
                          {hexBytes("0F"), {hexBytes("21 0F 16 02 00")}}}));
    EXPECT_TRUE(discover(base.port()));
    ASSERT_EQ(m_list.size(), 1);
    EXPECT_EQ(m_list[0].deviceClass, 22);
    EXPECT_EQ(payloads(base), (QList<QByteArray>{hexBytes("F5"), hexBytes("0F")}));
}

TEST_F(DiscoveryTest, PortZeroIsAskedOnTheBasePort) {
    UdpPeer base(Device, replies({{hexBytes("F5"), {discoveryReply(Device, 0)}},
                                  {hexBytes("0F"), {hexBytes("21 0F 03 01 02")}}}));
    EXPECT_TRUE(discover(base.port()));
    ASSERT_EQ(m_list.size(), 1);
    EXPECT_EQ(m_list[0].port, 0);
    EXPECT_EQ(m_list[0].deviceClass, 3);
}

TEST_F(DiscoveryTest, FourByteReplyLeavesClassZeroWithoutTheExtendedRequest) {
    UdpPeer devicePort(Device, replies({{hexBytes("0F"), {hexBytes("21 0F 11 07")}}}));
    UdpPeer base(Device, replies({{hexBytes("F5"), {discoveryReply(Device, devicePort.port())}},
                                  {hexBytes("60 0F"), {hexBytes("21 60 0F 16 01 02")}}}));
    EXPECT_TRUE(discover(base.port()));
    ASSERT_EQ(m_list.size(), 1);
    EXPECT_EQ(m_list[0].deviceClass, 0);
    EXPECT_EQ(payloads(base), QList<QByteArray>{hexBytes("F5")});
}

TEST_F(DiscoveryTest, ShorterReplyAsksTheExtendedFormOnTheBasePort) {
    UdpPeer devicePort(Device, replies({{hexBytes("0F"), {hexBytes("21 0F")}}}));
    UdpPeer base(Device, replies({{hexBytes("F5"), {discoveryReply(Device, devicePort.port())}},
                                  {hexBytes("60 0F"), {hexBytes("21 60 0F 17 01 02")}}}));
    EXPECT_TRUE(discover(base.port()));
    ASSERT_EQ(m_list.size(), 1);
    EXPECT_EQ(m_list[0].deviceClass, 23);
    EXPECT_EQ(payloads(base), (QList<QByteArray>{hexBytes("F5"), hexBytes("60 0F")}));
}

TEST_F(DiscoveryTest, DuplicatesAreKeptInArrivalOrder) {
    UdpPeer devicePort(Device, replies({{hexBytes("0F"), {hexBytes("21 0F 02 01 00")}}}));
    UdpPeer other(OtherDevice, replies({{hexBytes("0F"), {hexBytes("21 0F 07 01 00")}}}));
    // One answer from this device, then one that names the other device, then this one
    // again: the base port answers every F5 with the next reply of the list.
    QList<QByteArray> answers{discoveryReply(Device, devicePort.port()),
                              discoveryReply(OtherDevice, other.port()),
                              discoveryReply(Device, devicePort.port())};
    UdpPeer base(Device, [answers](const PeerDatagram &request) -> std::optional<QByteArray> {
        if (request.payload != hexBytes("F5"))
            return std::nullopt;
        // Several datagrams for one request: send all but the last here.
        QUdpSocket extra;
        for (int i = 0; i + 1 < answers.size(); ++i)
            extra.writeDatagram(answers[i], QHostAddress::LocalHost, request.senderPort);
        return answers.last();
    });
    EXPECT_TRUE(discover(base.port()));
    ASSERT_EQ(m_list.size(), 3);
    EXPECT_EQ(m_list[0].address, Device);
    EXPECT_EQ(m_list[1].address, OtherDevice);
    EXPECT_EQ(m_list[2].address, Device);
    EXPECT_EQ(m_list[0].deviceClass, 2);
    EXPECT_EQ(m_list[1].deviceClass, 7);
    EXPECT_EQ(m_list[2].deviceClass, 2);
}

TEST_F(DiscoveryTest, MalformedRepliesAreIgnored) {
    QByteArray shortReply = discoveryReply(Device, 11081).left(17);
    QByteArray wrongLead = discoveryReply(Device, 11081);
    wrongLead[1] = char(0xF4);
    UdpPeer base(Device, [=](const PeerDatagram &request) -> std::optional<QByteArray> {
        QUdpSocket extra;
        extra.writeDatagram(shortReply, QHostAddress::LocalHost, request.senderPort);
        return wrongLead;
    });
    EXPECT_FALSE(discover(base.port()));
    EXPECT_TRUE(m_list.isEmpty());
}

TEST_F(DiscoveryTest, CollectsForTheWholeWindow) {
    UdpPeer base(Device);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(discover(base.port()));
    EXPECT_GE(clock.elapsed(), CollectMs);
    EXPECT_LT(clock.elapsed(), CollectMs + 600);
}

TEST_F(DiscoveryTest, WithoutNetworkNothingIsSent) {
    UdpPeer base(Device, replies({{hexBytes("F5"), {discoveryReply(Device, 11081)}}}));
    m_list.append(DeviceRecord{});
    m_host.setNetworkPresent(false);
    EXPECT_FALSE(discover(base.port()));
    m_host.setNetworkPresent(true);
    m_host.setWinsockUsable(false);
    EXPECT_FALSE(discover(base.port()));
    EXPECT_TRUE(m_list.isEmpty());
    EXPECT_TRUE(base.received().isEmpty());
}

TEST_F(DiscoveryTest, RefusedDiscoveryRaises) {
    EXPECT_THROW(discover(UdpPeer::closedPort(Device)), LinkError);
}

// ---- probe ----

class ProbeTest : public DiscoveryTest {
protected:
    bool probe(quint16 basePort, const QString &address = Device, int timeoutMs = 1000) {
        ProtocolPorts ports;
        ports.base = basePort;
        return ProbeDevice(address, timeoutMs, ports, [this] { ++m_pumped; });
    }
};

TEST_F(ProbeTest, ReplyLedBy21AnswersTheProbe) {
    UdpPeer base(Device, replies({{hexBytes("F5"), {hexBytes("21")}}}));
    EXPECT_TRUE(probe(base.port()));
    EXPECT_EQ(payloads(base), QList<QByteArray>{hexBytes("F5")});
    EXPECT_GE(m_pumped, 1);
}

TEST_F(ProbeTest, OtherRepliesSilenceAndRefusalAreNoAnswer) {
    UdpPeer wrong(Device, replies({{hexBytes("F5"), {hexBytes("20 F5")}}}));
    EXPECT_FALSE(probe(wrong.port()));
    UdpPeer silent(Device);
    EXPECT_FALSE(probe(silent.port(), Device, 200));
    EXPECT_NO_THROW(EXPECT_FALSE(probe(UdpPeer::closedPort(Device))));
    EXPECT_FALSE(probe(silent.port(), QStringLiteral("not an address")));
}

TEST_F(ProbeTest, OnlyAddressesOfThePcsClassNetworkAreProbed) {
    UdpPeer base(Device, replies({{hexBytes("F5"), {hexBytes("21")}}}));
    m_host.setLocalIP(QStringLiteral("192.168.0.10"));
    EXPECT_FALSE(probe(base.port()));
    m_host.setLocalIP(QStringLiteral("127.0.0.1"));
    m_host.setNetworkPresent(false);
    EXPECT_FALSE(probe(base.port()));
    EXPECT_TRUE(base.received().isEmpty());
}

} // namespace
