#include "devicelink/devicelink.h"

#include "udppeer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QUdpSocket>
#include <thread>

using namespace qev;
using qevtest::hexBytes;
using qevtest::UdpPeer;

namespace {

// The device of these tests; every other test file uses its own address.
const QString Device = QStringLiteral("127.0.0.2");

QByteArray commandBytes(const DeviceLink &link, std::size_t count) {
    return QByteArray(reinterpret_cast<const char *>(link.CommandBuffer.data()),
                      static_cast<qsizetype>(count));
}

UdpPeer::Responder answer(const char *hex) {
    return [reply = hexBytes(hex)](const qevtest::PeerDatagram &) {
        return reply;
    };
}

ProtocolPorts portsWithBase(quint16 base) {
    ProtocolPorts ports;
    ports.base = base;
    return ports;
}

class LinkTest : public ::testing::Test {
protected:
    // Builds the link once the base port of the test is known.
    DeviceLink &link(quint16 basePort, quint16 devicePort) {
        m_link = std::make_unique<DeviceLink>(portsWithBase(basePort), DeviceCodes::placeholders(),
                                              [this] { ++m_pumped; });
        {
            qev::CurrentDevice current = m_link->current();
            current.host = Device;
            current.port = devicePort;
            m_link->setCurrent(current);
        }
        return *m_link;
    }

    void putIdentifyRequest() {
        m_link->ClearCommandBuffer();
        m_link->CommandBuffer[0] = 0x0F;
    }

    int m_pumped = 0;
    std::unique_ptr<DeviceLink> m_link;
};

TEST_F(LinkTest, ExchangeSendsCountBytesAndReceivesTheReplyIntoTheBuffer) {
    UdpPeer device(Device, answer("21 0F 11 07 04"));
    UdpPeer base(Device);
    DeviceLink &l = link(base.port(), device.port());
    putIdentifyRequest();
    l.CommandBuffer[1] = 0x77; // past count: must not be sent

    EXPECT_EQ(l.ExchangeWithFallback(1, 2000), 5u);
    EXPECT_EQ(commandBytes(l, 6), hexBytes("21 0F 11 07 04 00"));
    ASSERT_EQ(device.received().size(), 1);
    EXPECT_EQ(device.received()[0].payload, hexBytes("0F"));
    EXPECT_TRUE(base.received().isEmpty());
}

TEST_F(LinkTest, ReceiveTimesOutWithZeroAndLeavesTheBuffer) {
    UdpPeer device(Device);
    DeviceLink &l = link(UdpPeer::closedPort(Device), device.port());
    putIdentifyRequest();
    l.SendCommand(1);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(l.ReceiveReply(150), 0u);
    EXPECT_GE(clock.elapsed(), 140);
    EXPECT_EQ(l.CommandBuffer[0], 0x0F);
}

// The device listens on the base port only: the request to its port is refused, and the
// same request is answered on the base port.
TEST_F(LinkTest, ClosedDevicePortFallsBackToTheBasePort) {
    UdpPeer base(Device, answer("21 0F 03 02 01"));
    DeviceLink &l = link(base.port(), UdpPeer::closedPort(Device));
    putIdentifyRequest();

    EXPECT_EQ(l.ExchangeWithFallback(1, 2000), 5u);
    EXPECT_EQ(commandBytes(l, 5), hexBytes("21 0F 03 02 01"));
    ASSERT_EQ(base.received().size(), 1);
    EXPECT_EQ(base.received()[0].payload, hexBytes("0F"));
}

TEST_F(LinkTest, SilentDevicePortDoesNotFallBack) {
    UdpPeer device(Device);
    UdpPeer base(Device, answer("21 0F 03 02 01"));
    DeviceLink &l = link(base.port(), device.port());
    putIdentifyRequest();

    EXPECT_EQ(l.ExchangeWithFallback(1, 300), 0u);
    EXPECT_EQ(device.received().size(), 1);
    EXPECT_TRUE(base.received().isEmpty());
}

TEST_F(LinkTest, ErrorOfTheSecondAttemptIsSwallowedAndGivesZero) {
    DeviceLink &l = link(UdpPeer::closedPort(Device), UdpPeer::closedPort(Device));
    putIdentifyRequest();
    std::size_t count = 99;
    EXPECT_NO_THROW(count = l.ExchangeWithFallback(1, 1000));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(l.CommandBuffer[0], 0x0F);
}

TEST_F(LinkTest, OneRefusalRaisesExactlyOnce) {
    DeviceLink &l = link(UdpPeer::closedPort(Device), UdpPeer::closedPort(Device));
    putIdentifyRequest();
    l.SendCommand(1);
    EXPECT_THROW(l.ReceiveReply(1000), LinkError);
    EXPECT_EQ(l.ReceiveReply(100), 0u);
}

// A refusal that arrives while no one receives, and a stray datagram, belong to what was
// sent before: the next request still goes out, and only its own reply answers it.
TEST_F(LinkTest, PendingRefusalAndDatagramDoNotAnswerTheNextRequest) {
    UdpPeer device(Device, answer("21 0F 03 02 01"));
    DeviceLink &l = link(UdpPeer::closedPort(Device), device.port());
    UdpPeer other(Device, answer("21 04"));
    putIdentifyRequest();
    l.SendCommand(1, l.ports().base);
    l.SendCommand(1, other.port());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_NO_THROW(l.SendCommand(1));
    EXPECT_EQ(l.ReceiveReply(2000), 5u);
    EXPECT_EQ(commandBytes(l, 5), hexBytes("21 0F 03 02 01"));
    EXPECT_EQ(device.received().size(), 1);
}

struct SendErrorRow {
    const char *name;
    const char *host;
    quint16 port;
};

class LinkSendError : public LinkTest, public ::testing::WithParamInterface<SendErrorRow> {};

TEST_P(LinkSendError, RaisesLinkError) {
    DeviceLink &l = link(11080, GetParam().port);
    {
        qev::CurrentDevice current = l.current();
        current.host = QString::fromLatin1(GetParam().host);
        l.setCurrent(current);
    }
    putIdentifyRequest();
    EXPECT_THROW(l.SendCommand(1), LinkError);
}

INSTANTIATE_TEST_SUITE_P(Rows, LinkSendError,
                         ::testing::Values(SendErrorRow{"emptyHost", "", 11082},
                                           SendErrorRow{"name", "localhost", 11082},
                                           SendErrorRow{"threeOctets", "127.0.0", 11082},
                                           SendErrorRow{"octetTooBig", "127.0.0.256", 11082},
                                           SendErrorRow{"portZero", "127.0.0.2", 0}),
                         [](const auto &rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(LinkTest, LeadingZerosOfAnAddressReadAsDecimal) {
    UdpPeer device(Device, answer("21"));
    DeviceLink &l = link(UdpPeer::closedPort(Device), device.port());
    {
        qev::CurrentDevice current = l.current();
        current.host = QStringLiteral("127.000.000.002");
        l.setCurrent(current);
    }
    putIdentifyRequest();
    l.SendCommand(1);
    EXPECT_EQ(l.ReceiveReply(2000), 1u);
}

TEST_F(LinkTest, OversizedReplyIsCutAtTheBufferSize) {
    QByteArray big(3000, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i % 251);
    UdpPeer device(Device, [big](const qevtest::PeerDatagram &) { return big; });
    DeviceLink &l = link(UdpPeer::closedPort(Device), device.port());
    putIdentifyRequest();
    l.SendCommand(1);
    ASSERT_EQ(l.ReceiveReply(2000), proto::CommandBufferSize);
    EXPECT_EQ(commandBytes(l, proto::CommandBufferSize), big.left(proto::CommandBufferSize));
    // The rest of the datagram is gone, not a second reply.
    EXPECT_EQ(l.ReceiveReply(100), 0u);
}

// Replies are not matched to their sender: whoever answers first supplies the reply.
TEST_F(LinkTest, FirstDatagramIsTheReplyWhoeverSentIt) {
    UdpPeer device(Device, [](const qevtest::PeerDatagram &request) {
        QUdpSocket other;
        other.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0);
        other.writeDatagram(hexBytes("21 0F 02 01 01"), QHostAddress::LocalHost,
                            request.senderPort);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return hexBytes("21 0F 11 07 04");
    });
    DeviceLink &l = link(UdpPeer::closedPort(Device), device.port());
    putIdentifyRequest();
    EXPECT_EQ(l.ExchangeWithFallback(1, 2000), 5u);
    EXPECT_EQ(commandBytes(l, 5), hexBytes("21 0F 02 01 01"));
}

struct AccessCodeRow {
    int deviceClass;
    bool longCode;
};

class AccessCode : public LinkTest, public ::testing::WithParamInterface<AccessCodeRow> {};

TEST_P(AccessCode, GoesToTheBasePortWithTheClassesCode) {
    UdpPeer base(Device, answer("21 F0"));
    UdpPeer device(Device);
    DeviceCodes codes = DeviceCodes::placeholders();
    codes.accessCodeShort = "WXYZ";
    codes.accessCodeLong = "ABCDEFGH";
    m_link = std::make_unique<DeviceLink>(portsWithBase(base.port()), codes, [] {});
    {
        qev::CurrentDevice current = m_link->current();
        current.host = Device;
        current.port = device.port();
        m_link->setCurrent(current);
    }
    m_link->CommandBuffer.fill(0xEE); // leftovers of an earlier request

    m_link->SendAccessCode(static_cast<quint8>(GetParam().deviceClass));
    EXPECT_EQ(m_link->ReceiveReply(2000), 2u);
    ASSERT_EQ(base.received().size(), 1);
    EXPECT_EQ(base.received()[0].payload, GetParam().longCode ? QByteArray("\xF0"
                                                                           "ABCDEFGH")
                                                              : QByteArray("\xF0"
                                                                           "WXYZ"));
    EXPECT_TRUE(device.received().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Classes, AccessCode,
                         ::testing::Values(AccessCodeRow{0, false}, AccessCodeRow{1, false},
                                           AccessCodeRow{3, false}, AccessCodeRow{16, false},
                                           AccessCodeRow{17, true}, AccessCodeRow{21, false},
                                           AccessCodeRow{22, true}, AccessCodeRow{23, true},
                                           AccessCodeRow{24, false}, AccessCodeRow{27, false}));

TEST_F(LinkTest, WaitWithMessagesPumpsWithoutSpinning) {
    DeviceLink &l = link(11080, 11082);
    QElapsedTimer clock;
    clock.start();
    l.WaitWithMessages(200);
    const qint64 elapsed = clock.elapsed();
    EXPECT_GT(elapsed, 200);
    EXPECT_LT(elapsed, 1000);
    // Pumped all along, but with pauses between rounds: a spinning loop pumps thousands
    // of times in 200 ms.
    EXPECT_GE(m_pumped, 10);
    EXPECT_LE(m_pumped, 120);
}

TEST_F(LinkTest, WaitOfZeroStillPumpsOnce) {
    DeviceLink &l = link(11080, 11082);
    l.WaitWithMessages(0);
    EXPECT_GE(m_pumped, 1);
    EXPECT_LE(m_pumped, 3);
}

// The direct search switches broadcast off; a broadcast destination is then refused.
// 127.255.255.255 is the loopback network's broadcast and never leaves the machine.
TEST_F(LinkTest, BroadcastNeedsThePermission) {
    DeviceLink &l = link(11080, UdpPeer::closedPort(Device));
    {
        qev::CurrentDevice current = l.current();
        current.host = QStringLiteral("127.255.255.255");
        l.setCurrent(current);
    }
    putIdentifyRequest();
    EXPECT_TRUE(l.broadcastPermitted());
    EXPECT_NO_THROW(l.SendCommand(1));
    l.ReopenClient(false);
    EXPECT_FALSE(l.broadcastPermitted());
    EXPECT_THROW(l.SendCommand(1), LinkError);
}

} // namespace
