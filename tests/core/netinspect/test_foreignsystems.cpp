#include "netinspect/foreignsystems.h"

#include "fakehostnetwork.h"
#include "fakekerneltables.h"
#include "qtprinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace qev;
using qevtest::FakeHostNetwork;
using qevtest::FakeKernelTables;
using qevtest::FakeSystemFiles;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

struct ReplyRow {
    const char *label;
    const char *bytes;
    bool matches;
};

struct VersionRow {
    const char *label;
    const char *bytes;
    const char *version; // nullptr: no reply
};

std::string rowName(const char *label) {
    std::string name;
    for (const char *c = label; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

} // namespace

TEST(Lenz, FramesCarryTheXorOfTheMessage) {
    EXPECT_EQ(LenzFrame(hex("F103")), hex("FFFEF103F2"));
    EXPECT_EQ(LenzFrame(hex("2121")), hex("FFFE212100"));
    EXPECT_EQ(LenzFrame({}), hex("FFFE00"));
}

class LenzFirstReplyTest : public ::testing::TestWithParam<ReplyRow> {};

TEST_P(LenzFirstReplyTest, Check) {
    EXPECT_EQ(LenzFirstReplyMatches(hex(GetParam().bytes)), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Lenz, LenzFirstReplyTest,
                         ::testing::Values(ReplyRow{"typical", "FFFEF2033600", true},
                                           ReplyRow{"first_byte_not_examined", "00FEF20301", true},
                                           ReplyRow{"byte4_zero", "FFFEF20300F1", false},
                                           ReplyRow{"four_bytes", "FFFEF203", false},
                                           ReplyRow{"empty", "", false},
                                           ReplyRow{"wrong_fe", "FFFFF20336", false},
                                           ReplyRow{"wrong_f2", "FFFEF30336", false},
                                           ReplyRow{"wrong_03", "FFFEF20236", false},
                                           ReplyRow{"second_reply", "FFFE63213600", false}),
                         [](const ::testing::TestParamInfo<ReplyRow> &row) {
                             return rowName(row.param.label);
                         });

class LenzVersionTest : public ::testing::TestWithParam<VersionRow> {};

TEST_P(LenzVersionTest, BcdVersion) {
    const std::optional<QString> version = LenzVersionOf(hex(GetParam().bytes));
    if (GetParam().version)
        EXPECT_EQ(version.value_or(QStringLiteral("<none>")),
                  QString::fromLatin1(GetParam().version));
    else
        EXPECT_FALSE(version.has_value()) << version->toStdString();
}

INSTANTIATE_TEST_SUITE_P(Lenz, LenzVersionTest,
                         ::testing::Values(VersionRow{"v3_6", "FFFE6321360074", "3.6"},
                                           VersionRow{"v0_0", "FFFE63210042", "0.0"},
                                           VersionRow{"nibbles_above_9", "00FE6321AF", ":.?"},
                                           VersionRow{"four_bytes", "FFFE6321", nullptr},
                                           VersionRow{"wrong_63", "FFFE6421360074", nullptr},
                                           VersionRow{"wrong_21", "FFFE6322360074", nullptr},
                                           VersionRow{"first_reply", "FFFEF2033600", nullptr},
                                           VersionRow{"empty", "", nullptr}),
                         [](const ::testing::TestParamInfo<VersionRow> &row) {
                             return rowName(row.param.label);
                         });

TEST(Lenz, StreamYieldsCompleteIntactMessages) {
    QByteArray stream = hex("00FFFEF103F2FFFE2121");
    EXPECT_EQ(TakeLenzMessage(stream), std::optional<QByteArray>(hex("F103")));
    EXPECT_EQ(TakeLenzMessage(stream), std::nullopt); // checksum not there yet
    stream += hex("00");
    EXPECT_EQ(TakeLenzMessage(stream), std::optional<QByteArray>(hex("2121")));
    EXPECT_TRUE(stream.isEmpty());

    // A frame with a wrong checksum is dropped, the next one taken.
    stream = hex("FFFEF10300FFFEF103F2FF");
    EXPECT_EQ(TakeLenzMessage(stream), std::optional<QByteArray>(hex("F103")));
    EXPECT_EQ(stream, hex("FF")); // may begin the next frame
    EXPECT_EQ(TakeLenzMessage(stream), std::nullopt);
    stream = hex("FF01");
    EXPECT_EQ(TakeLenzMessage(stream), std::nullopt);
    EXPECT_TRUE(stream.isEmpty());
}

namespace {

// A Lenz LAN interface on the loopback: answers the first request, and the second when
// asked to. Runs in the test's thread, so the probe's waits must process events.
class LoopbackStation {
public:
    LoopbackStation(const QHostAddress &address, quint16 port, bool answersSecond)
        : m_answersSecond(answersSecond) {
        m_listening = m_server.listen(address, port);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }
    bool listening() const { return m_listening; }
    quint16 port() const { return m_server.serverPort(); }
    const QByteArray &received() const { return m_received; }

private:
    void accept() {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                m_received += socket->readAll();
                if (!m_firstSent && m_received.contains(hex("FFFEF103F2"))) {
                    socket->write(hex("FFFEF20336C7"));
                    m_firstSent = true;
                }
                if (m_answersSecond && !m_secondSent && m_received.contains(hex("FFFE212100"))) {
                    socket->write(hex("FFFE6321360074"));
                    m_secondSent = true;
                }
            });
        }
    }

    QTcpServer m_server;
    bool m_listening = false;
    bool m_answersSecond;
    bool m_firstSent = false;
    bool m_secondSent = false;
    QByteArray m_received;
};

struct Recorder {
    QStringList events; // status texts, "step", "wait N"
    ForeignScanHooks hooks(quint16 port) {
        ForeignScanHooks result;
        result.status = [this](const QString &text) {
            events << text;
        };
        result.step = [this] {
            events << QStringLiteral("step");
        };
        result.wait = [this](int ms) {
            events << QStringLiteral("wait %1").arg(ms);
            const QDeadlineTimer deadline(ms);
            while (!deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        };
        result.port = port;
        return result;
    }
};

} // namespace

class LenzProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        tables.addLink(1, QStringLiteral("lo"), QByteArray(6, '\0')).loopback = true;
        tables.addAddress(1, QStringLiteral("127.0.0.1"), 8);
        host.setLocalIP(QStringLiteral("127.0.0.1"));
    }

    FakeHostNetwork host;
    FakeKernelTables tables;
    FakeSystemFiles files;
    Recorder recorder;
};

TEST_F(LenzProbeTest, StationAnsweringBothRequestsIsALenzInterface) {
    LoopbackStation station(QHostAddress::LocalHost, 0, true);
    ASSERT_TRUE(station.listening());
    const TZentrale found =
        ProbeLenz(QStringLiteral("127.0.0.1"), 150, recorder.hooks(station.port()));
    EXPECT_EQ(found.Kind, ForeignLenz);
    EXPECT_EQ(found.Version, QStringLiteral("3.6"));
    EXPECT_EQ(found.IP, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(found.Port, station.port());
    EXPECT_EQ(station.received(), hex("FFFEF103F2FFFE212100"));
    EXPECT_EQ(recorder.events, (QStringList{"Lenz...", "wait 50", "wait 150", "wait 150"}));
}

TEST_F(LenzProbeTest, StationAnsweringOnlyTheFirstRequestIsNothing) {
    LoopbackStation station(QHostAddress::LocalHost, 0, false);
    ASSERT_TRUE(station.listening());
    const TZentrale found =
        ProbeLenz(QStringLiteral("127.0.0.1"), 100, recorder.hooks(station.port()));
    EXPECT_EQ(found.Kind, ForeignNone);
    EXPECT_TRUE(found.Version.isEmpty());
    EXPECT_EQ(station.received(), hex("FFFEF103F2FFFE212100"));
}

TEST_F(LenzProbeTest, RefusedConnectionIsNothingAndSilent) {
    quint16 port = 0;
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
        port = closed.serverPort();
    }
    const TZentrale found = ProbeLenz(QStringLiteral("127.0.0.1"), 50, recorder.hooks(port));
    EXPECT_EQ(found.Kind, ForeignNone);
    // The second request goes out only after a matching first reply.
    EXPECT_EQ(recorder.events, (QStringList{"Lenz...", "wait 50", "wait 50"}));
}

TEST_F(LenzProbeTest, ScanProbesAnsweringSubnetNeighboursAndListsFullStations) {
    // Two stations on one port at two loopback addresses.
    std::unique_ptr<LoopbackStation> full;
    std::unique_ptr<LoopbackStation> half;
    for (int attempt = 0; attempt < 5 && !(half && half->listening()); ++attempt) {
        full =
            std::make_unique<LoopbackStation>(QHostAddress(QStringLiteral("127.0.0.2")), 0, true);
        ASSERT_TRUE(full->listening());
        half = std::make_unique<LoopbackStation>(QHostAddress(QStringLiteral("127.0.0.3")),
                                                 full->port(), false);
    }
    ASSERT_TRUE(half->listening());
    tables.addNeighbour(1, QStringLiteral("127.0.0.3"), hex("020000000003"),
                        NeighbourState::Reachable);
    tables.addNeighbour(1, QStringLiteral("127.0.0.2"), hex("020000000002"), NeighbourState::Stale);
    tables.addNeighbour(1, QStringLiteral("127.0.0.4"), hex("020000000004"), NeighbourState::Stale);
    tables.addNeighbour(1, QStringLiteral("127.0.0.255"), hex("0200000000ff"),
                        NeighbourState::Permanent);
    tables.addNeighbour(1, QStringLiteral("127.0.1.9"), {}, NeighbourState::Incomplete);
    host.setAnswering({QStringLiteral("127.0.0.2"), QStringLiteral("127.0.0.3"),
                       QStringLiteral("127.0.0.255"), QStringLiteral("127.0.1.9")});

    QList<TZentrale> list;
    EXPECT_TRUE(ScanForeignSystems(list, 100, recorder.hooks(full->port())));
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].IP, QStringLiteral("127.0.0.2"));
    EXPECT_EQ(list[0].Kind, ForeignLenz);
    EXPECT_EQ(list[0].Version, QStringLiteral("3.6"));
    EXPECT_EQ(list[0].MAC, QStringLiteral("02:00:00:00:00:02"));

    // Pinged in table order with 2000 ms; the address with a part 255 never.
    EXPECT_EQ(host.pingCalls(),
              (QList<FakeHostNetwork::PingCall>{{QStringLiteral("127.0.0.2"), 2000},
                                                {QStringLiteral("127.0.0.3"), 2000},
                                                {QStringLiteral("127.0.0.4"), 2000}}));
    const QStringList expected = {"step",    "Lenz...", "wait 50",    "wait 100", "wait 100",
                                  "step",    "step",    "step",       "step",     "step",
                                  "Lenz...", "wait 50", "wait 100",   "wait 100", "step",
                                  "ECoS...", "step",    "Märklin...", "step",     "step"};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(LenzProbeTest, ScanWithoutCandidatesSendsNothing) {
    tables.addNeighbour(1, QStringLiteral("127.0.0.9"), {}, NeighbourState::Failed);
    host.setAnswering({QStringLiteral("127.0.0.9")});
    QList<TZentrale> list;
    EXPECT_FALSE(ScanForeignSystems(list, 100, recorder.hooks(LenzPort)));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(host.pingCalls().isEmpty());
    EXPECT_TRUE(recorder.events.isEmpty());

    tables.neighboursError = EACCES;
    EXPECT_FALSE(ScanForeignSystems(list, 100, recorder.hooks(LenzPort)));
    EXPECT_TRUE(host.pingCalls().isEmpty());
}
