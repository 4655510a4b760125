// qev-devsim as a program, over loopback only: 127.0.0.x addresses and free ports.

#include "devicelink/devicelink.h"
#include "devicelink/identification.h"
#include "devicelink/udpsocket.h"
#include "devsimrunner.h"
#include "pages/speedmeter.h"
#include "simnet.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace qevtest;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

QString portText(quint16 port) {
    return QString::number(port);
}

// A client on 127.0.0.1 like the program's: sends, then waits for one datagram.
class Client {
public:
    Client() { EXPECT_TRUE(m_socket.bind(QHostAddress::LocalHost, 0)); }

    quint16 port() const { return m_socket.localPort(); }

    std::optional<QNetworkDatagram> exchange(const char *host, quint16 port,
                                             const QByteArray &request, int timeoutMs = 2000) {
        m_socket.writeDatagram(request, QHostAddress(QLatin1String(host)), port);
        return receive(timeoutMs);
    }

    std::optional<QNetworkDatagram> receive(int timeoutMs) {
        if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(timeoutMs))
            return std::nullopt;
        return m_socket.receiveDatagram();
    }

private:
    QUdpSocket m_socket;
};

class DevsimLoopback : public ::testing::Test {
protected:
    void SetUp() override {
        base = FreeUdpPort(QHostAddress::AnyIPv4);
        own2 = FreeUdpPort(QHostAddress::AnyIPv4);
        own3 = FreeUdpPort(QHostAddress::AnyIPv4);
        ASSERT_NE(base, 0);
        ASSERT_NE(own2, 0);
        ASSERT_NE(own3, 0);
        ASSERT_TRUE(settingsDir.isValid());
        settings = settingsDir.filePath(QStringLiteral("qev-programmer.ini"));
    }

    bool startSim(const QStringList &devices, const QStringList &extra = {}) {
        QStringList args{QStringLiteral("--base-port"), portText(base),
                         QStringLiteral("--settings"), settings};
        for (const QString &d : devices)
            args << QStringLiteral("--device") << d;
        const bool ok = sim.start(args + extra);
        if (!ok)
            ADD_FAILURE() << qPrintable(sim.diagnostics());
        return ok;
    }

    quint16 base = 0;
    quint16 own2 = 0;
    quint16 own3 = 0;
    QTemporaryDir settingsDir;
    QString settings;
    DevsimRunner sim;
};

TEST_F(DevsimLoopback, AnswersOnBothPortsFromThePortAsked) {
    ASSERT_TRUE(startSim(
        {QStringLiteral("class=17,version=7.4,ip=127.0.0.2,mask=255.0.0.0,mac=02:81:7E:00:00:10,"
                        "port=%1,serial=0A0B0C0D0E0F")
             .arg(own2),
         QStringLiteral("class=22,version=1.3,ip=127.0.0.3,port=%1").arg(own3)}));
    Client client;
    const QByteArray portBytes = QByteArray(1, char(own2 >> 8)) + char(own2 & 0xFF);
    struct Step {
        const char *host;
        quint16 port;
        QByteArray request;
        QByteArray reply;
    };
    const Step steps[] = {
        {"127.0.0.2", base, hex("F5"),
         hex("21F57F000002FF0000000281"
             "7E000010") +
             portBytes},
        {"127.0.0.2", own2, hex("F5"),
         hex("21F57F000002FF0000000281"
             "7E000010") +
             portBytes},
        {"127.0.0.2", own2, hex("600F"), hex("21600F110704")},
        {"127.0.0.2", base, hex("0F"), hex("210F110704")},
        {"127.0.0.2", own2, hex("0D00"), hex("210D01060A0B0C0D0E0F")},
        {"127.0.0.3", own3, hex("0F"), hex("210F160103")},
        {"127.0.0.3", base, hex("600D00"), hex("21600D010602817E000003")},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.request.toHex().constData());
        const auto reply = client.exchange(s.host, s.port, s.request);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->data().toHex(), s.reply.toHex());
        EXPECT_EQ(reply->senderAddress(), QHostAddress(QLatin1String(s.host)));
        EXPECT_EQ(reply->senderPort(), s.port);
    }
    // Nothing answers a device port that belongs to the other device.
    EXPECT_FALSE(client.exchange("127.0.0.3", own2, hex("0F"), 300));

    const QList<DevsimRx> rx = sim.rx();
    ASSERT_EQ(rx.size(), qsizetype(std::size(steps)));
    for (qsizetype i = 0; i < rx.size(); ++i) {
        EXPECT_EQ(rx[i].dstIp, QLatin1String(steps[i].host));
        EXPECT_EQ(rx[i].dstPort, steps[i].port);
        EXPECT_EQ(rx[i].srcIp, QStringLiteral("127.0.0.1"));
        EXPECT_EQ(rx[i].srcPort, client.port());
        EXPECT_EQ(rx[i].payload, steps[i].request);
    }
    const QStringList lines = sim.lines();
    EXPECT_TRUE(lines.contains(QStringLiteral("listen 127.0.0.2:%1").arg(own2)));
    EXPECT_TRUE(lines.contains(QStringLiteral("listen 127.0.0.3:%1").arg(base)));
    EXPECT_TRUE(lines.contains(QStringLiteral("tx 127.0.0.1:%1 from 127.0.0.3:%2 210F160103")
                                   .arg(client.port())
                                   .arg(own3)));
}

TEST_F(DevsimLoopback, AccessCodeFromTheSettingsFile) {
    QFile ini(settings);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Codes]\nAccessCode4=K9x2\nAccessCode8=Zug-2026\n");
    ini.close();
    ASSERT_TRUE(startSim({QStringLiteral("class=22,ip=127.0.0.2,port=%1").arg(own2),
                          QStringLiteral("class=16,ip=127.0.0.3,port=%1").arg(own3)}));
    Client client;
    const auto longOk = client.exchange("127.0.0.2", base, QByteArray("\xF0Zug-2026"));
    ASSERT_TRUE(longOk);
    EXPECT_EQ(longOk->data(), hex("21F0"));
    EXPECT_FALSE(client.exchange("127.0.0.2", base, QByteArray("\xF0QEVCODE8"), 300));
    EXPECT_FALSE(client.exchange("127.0.0.2", base, QByteArray("\xF0K9x2"), 300));
    const auto shortOk = client.exchange("127.0.0.3", base, QByteArray("\xF0K9x2"));
    ASSERT_TRUE(shortOk);
    EXPECT_EQ(shortOk->data(), hex("21F0"));
}

TEST_F(DevsimLoopback, TakesNetworkSettingsButKeepsItsSocketsWithoutInterface) {
    ASSERT_TRUE(startSim({QStringLiteral("class=17,ip=127.0.0.2,port=%1").arg(own2)}));
    Client client;
    const QByteArray datagram = hex("F455AA"
                                    "C0A8004D"
                                    "FFFFFF00"
                                    "02817E00004D") +
                                QByteArray(1, char(own3 >> 8)) + char(own3 & 0xFF) +
                                hex("0000000000000000");
    EXPECT_FALSE(client.exchange("127.0.0.2", own2, datagram, 300));
    ASSERT_TRUE(sim.waitForLine(QStringLiteral("programmed")));
    EXPECT_TRUE(
        sim.lines().contains(QStringLiteral("programmed ip=192.168.0.77 mask=255.255.255.0 port=%1 "
                                            "mac=02:81:7E:00:00:4D")
                                 .arg(own3)));
    // It reports the new settings on its old sockets.
    const auto reply = client.exchange("127.0.0.2", own2, hex("F5"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data().left(16), hex("21F5C0A8004DFFFFFF0002817E00004D"));
    EXPECT_FALSE(client.exchange("127.0.0.2", own3, hex("F5"), 300));
}

TEST_F(DevsimLoopback, BaseOnlyRefusesItsOwnPort) {
    ASSERT_TRUE(
        startSim({QStringLiteral("class=17,ip=127.0.0.2,port=%1,fault=baseonly").arg(own2)}));
    EXPECT_FALSE(sim.lines().contains(QStringLiteral("listen 127.0.0.2:%1").arg(own2)));
    // The port-unreachable answer reaches the program's own socket as an error.
    const std::unique_ptr<qev::UdpSocket> socket = qev::openUdpSocket(false);
    const std::array<quint8, 1> identify{0x0F};
    socket->sendTo(QStringLiteral("127.0.0.2"), own2, identify);
    std::array<quint8, 64> buffer{};
    EXPECT_THROW(socket->receive(buffer, 1000), qev::LinkError);

    Client client;
    const auto reply = client.exchange("127.0.0.2", base, hex("0F"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data(), hex("210F110704"));
    // The discovery reply still names the own port the device does not listen on.
    const auto discovery = client.exchange("127.0.0.2", base, hex("F5"));
    ASSERT_TRUE(discovery);
    EXPECT_EQ(quint8(discovery->data()[16]) << 8 | quint8(discovery->data()[17]), own2);
}

// The link's fall-back against the simulator: a device that listens on the base port only
// is still identified; one that stays silent on its own port is not asked on the base port.
TEST_F(DevsimLoopback, LinkFallsBackFromAClosedPortOnly) {
    ASSERT_TRUE(startSim(
        {QStringLiteral("class=17,version=7.4,ip=127.0.0.2,port=%1,fault=baseonly").arg(own2),
         QStringLiteral("class=22,ip=127.0.0.3,port=%1,fault=silent").arg(own3)}));
    qev::ProtocolPorts ports;
    ports.base = base;
    ports.assumed = own2;
    qev::DeviceLink link(ports, qev::DeviceCodes::placeholders(), [] {});

    {
        qev::CurrentDevice current = link.current();
        current.host = QStringLiteral("127.0.0.2");
        current.port = own2;
        link.setCurrent(current);
    }
    const qev::IdentificationResult found = qev::IdentifyExchange(link, true);
    EXPECT_FALSE(found.noAnswer);
    EXPECT_EQ(link.current().deviceClass, 17);
    EXPECT_EQ(link.current().versionMajor, 7);
    EXPECT_EQ(link.current().versionMinor, 4);

    {
        qev::CurrentDevice current = link.current();
        current.host = QStringLiteral("127.0.0.3");
        current.port = own3;
        link.setCurrent(current);
    }
    link.ClearCommandBuffer();
    link.CommandBuffer[0] = 0x0F;
    EXPECT_EQ(link.ExchangeWithFallback(1, 500), 0u);

    QList<DevsimRx> toClosed;
    QList<DevsimRx> toSilent;
    for (const DevsimRx &rx : sim.rx(200))
        (rx.dstIp == QLatin1String("127.0.0.2") ? toClosed : toSilent) << rx;
    // The closed port never sees a datagram; the extended identification came on the base port.
    ASSERT_FALSE(toClosed.isEmpty());
    EXPECT_EQ(toClosed[0].payload, hex("600F"));
    for (const DevsimRx &rx : std::as_const(toClosed))
        EXPECT_EQ(rx.dstPort, base);
    ASSERT_EQ(toSilent.size(), 1);
    EXPECT_EQ(toSilent[0].dstPort, own3);
    EXPECT_EQ(toSilent[0].payload, hex("0F"));
}

// A device whose replies come after the link's time-out: each late reply waits on the
// client until the next request, which only its own answer may answer.
TEST_F(DevsimLoopback, LateReplyNeverAnswersTheNextRequest) {
    namespace sm = qev::speedmeter;
    ASSERT_TRUE(startSim(
        {QStringLiteral("class=2,ip=127.0.0.2,port=%1,delay=1000:05,delay=1000:04").arg(own2),
         QStringLiteral("class=2,ip=127.0.0.3,port=%1,pagefault=silent:write").arg(own3),
         QStringLiteral("class=2,ip=127.0.0.4,port=%1").arg(own3)}));
    qev::ProtocolPorts ports;
    ports.base = base;
    qev::DeviceLink link(ports, qev::DeviceCodes::placeholders(), [] {});
    constexpr int TimeoutMs = 200;
    const auto exchange = [&](const char *host, quint16 port,
                              const qev::DeviceLink::RequestBuilder &build) {
        return link.Exchange(
            build, {.port = port, .timeoutMs = TimeoutMs, .host = QString::fromLatin1(host)});
    };
    // Each device keeps what it was sent last (the silent one as well).
    sm::Settings toSlow;
    toSlow.measuring.calibration = 1234;
    sm::Settings toOthers;
    toOthers.measuring.calibration = 4321;
    const auto writeSlow = [&](std::span<quint8> b) {
        return sm::BuildWrite(b, toSlow);
    };
    const auto write = [&](std::span<quint8> b) {
        return sm::BuildWrite(b, toOthers);
    };
    // Until the slow device's late reply has left, so that it waits on the client.
    int lateSent = 0;
    const auto awaitLateReply = [&] {
        ++lateSent;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000 &&
               sim.lines(20).filter(QStringLiteral("from 127.0.0.2:%1 21").arg(own2)).size() <
                   lateSent) {
        }
        ASSERT_EQ(sim.lines().filter(QStringLiteral("from 127.0.0.2:%1 21").arg(own2)).size(),
                  lateSent);
    };

    EXPECT_TRUE(exchange("127.0.0.2", own2, writeSlow).empty());
    awaitLateReply();
    EXPECT_FALSE(sm::WriteAccepted(exchange("127.0.0.3", own3, write)))
        << "the write that nothing answers shows failure";

    EXPECT_TRUE(exchange("127.0.0.2", own2, sm::BuildRead).empty());
    awaitLateReply();
    const std::optional<sm::Reading> own =
        sm::ReadSettings(exchange("127.0.0.3", own3, sm::BuildRead));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->calibration, 4321) << "the read shows its own device's values";

    EXPECT_TRUE(exchange("127.0.0.2", own2, sm::BuildRead).empty());
    awaitLateReply();
    EXPECT_TRUE(sm::WriteAccepted(exchange("127.0.0.4", own3, write)))
        << "the acknowledged write shows success";
}

TEST_F(DevsimLoopback, FaultModesOverTheWire) {
    ASSERT_TRUE(startSim({QStringLiteral("class=17,ip=127.0.0.2,port=%1,fault=slow:700").arg(own2),
                          QStringLiteral("class=17,ip=127.0.0.3,port=%1,fault=overlong").arg(own3),
                          QStringLiteral("class=17,ip=127.0.0.4,fault=silent"),
                          QStringLiteral("class=17,ip=127.0.0.5,fault=garbage")}));
    Client client;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(client.exchange("127.0.0.2", own2, hex("0F"), 400));
    const auto late = client.receive(2000);
    ASSERT_TRUE(late);
    EXPECT_GE(clock.elapsed(), 650);
    EXPECT_EQ(late->data(), hex("210F110704"));

    const auto big = client.exchange("127.0.0.3", own3, hex("0F"));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->data().size(), 9000);
    EXPECT_EQ(big->data().left(5), hex("210F110704"));

    EXPECT_FALSE(client.exchange("127.0.0.4", base, hex("F5"), 500));

    const auto garbage = client.exchange("127.0.0.5", base, hex("0F"));
    ASSERT_TRUE(garbage);
    EXPECT_EQ(garbage->data(), hex("DEF0EEF8FB"));

    // Every datagram was logged, also the one the silent device ignored.
    const QList<DevsimRx> rx = sim.rx();
    ASSERT_EQ(rx.size(), 4);
    EXPECT_EQ(rx[2].dstIp, QStringLiteral("127.0.0.4"));
    EXPECT_EQ(rx[2].payload, hex("F5"));
}

TEST_F(DevsimLoopback, LogToAFileReadyOnStandardOutput) {
    const QString logPath = settingsDir.filePath(QStringLiteral("sim.log"));
    ASSERT_TRUE(startSim({QStringLiteral("class=17,ip=127.0.0.2,port=%1").arg(own2)},
                         {QStringLiteral("--log"), logPath}));
    Client client;
    ASSERT_TRUE(client.exchange("127.0.0.2", base, hex("0F")));
    EXPECT_EQ(sim.lines(), QStringList{QStringLiteral("ready")});
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    EXPECT_TRUE(lines.contains(QByteArray("ready")));
    EXPECT_TRUE(lines.contains(QStringLiteral("rx 127.0.0.2:%1 from 127.0.0.1:%2 0F")
                                   .arg(base)
                                   .arg(client.port())
                                   .toLatin1()));
}

TEST(DevsimProgram, HelpAndRefusals) {
    QProcess help;
    help.start(QStringLiteral(QEV_DEVSIM_PATH), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QLatin1String("--device <SPEC>")));
    EXPECT_TRUE(text.contains(QLatin1String("fault=F")));

    QProcess bad;
    bad.start(QStringLiteral(QEV_DEVSIM_PATH),
              {QStringLiteral("--device"), QStringLiteral("class=300")});
    ASSERT_TRUE(bad.waitForFinished(10000));
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_TRUE(bad.readAllStandardError().contains("bad class '300'"));

    // An address the machine does not have cannot be bound: an error, not a silent "ready".
    QProcess unbound;
    unbound.start(QStringLiteral(QEV_DEVSIM_PATH),
                  {QStringLiteral("--device"), QStringLiteral("ip=192.0.2.10"),
                   QStringLiteral("--base-port"), portText(FreeUdpPort(QHostAddress::AnyIPv4))});
    ASSERT_TRUE(unbound.waitForFinished(10000));
    EXPECT_EQ(unbound.exitCode(), 1);
    EXPECT_FALSE(unbound.readAllStandardOutput().contains("ready"));
    EXPECT_TRUE(unbound.readAllStandardError().contains("cannot listen on 192.0.2.10"));
}

// Readdressing an interface from the machine's own network namespace is refused before
// anything is bound.
TEST(DevsimProgram, InterfaceOnlyInATestNamespace) {
    if (qev::devsim::TestNamespaceRefusal().isEmpty())
        GTEST_SKIP() << "this test runs inside a test network namespace";
    QProcess sim;
    sim.start(QStringLiteral(QEV_DEVSIM_PATH),
              {QStringLiteral("--device"), QStringLiteral("ip=127.0.0.2"),
               QStringLiteral("--base-port"), portText(FreeUdpPort(QHostAddress::AnyIPv4)),
               QStringLiteral("--interface"), QStringLiteral("lo")});
    ASSERT_TRUE(sim.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 2);
    EXPECT_FALSE(sim.readAllStandardOutput().contains("ready"));
    EXPECT_TRUE(sim.readAllStandardError().contains("refused outside a test network namespace"));
}

TEST(DevsimRunner, ReadsRxLines) {
    const auto rx =
        ParseDevsimRxLine(QStringLiteral("rx 192.168.77.255:11080 from 192.168.77.1:41234 F5A0"));
    ASSERT_TRUE(rx);
    EXPECT_EQ(rx->dstIp, QStringLiteral("192.168.77.255"));
    EXPECT_EQ(rx->dstPort, 11080);
    EXPECT_EQ(rx->srcIp, QStringLiteral("192.168.77.1"));
    EXPECT_EQ(rx->srcPort, 41234);
    EXPECT_EQ(rx->payload, hex("F5A0"));
    const auto empty = ParseDevsimRxLine(QStringLiteral("rx 127.0.0.2:1 from 127.0.0.1:2"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->payload.isEmpty());
    for (const char *bad :
         {"tx 127.0.0.2:1 from 127.0.0.1:2 F5", "rx 127.0.0.2 from 127.0.0.1:2 F5",
          "rx 127.0.0.2:1 to 127.0.0.1:2 F5", "rx 127.0.0.2:1 from 127.0.0.1:2 F",
          "rx 127.0.0.2:1 from 127.0.0.1:2 f5", "rx 127.0.0.2:70000 from 127.0.0.1:2",
          "rx 127.0.0.2:1 from 127.0.0.1:2 F5 00", "rx x:1 from 127.0.0.1:2 F5"})
        EXPECT_FALSE(ParseDevsimRxLine(QLatin1String(bad))) << bad;
}

} // namespace
