#include "netinspect/foreignsystems.h"

#include "fakehostnetwork.h"
#include "fakekerneltables.h"
#include "qtprinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <algorithm>
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

// How the station on the loopback behaves.
enum class Peer {
    AnswersBoth,            // a Lenz LAN interface
    AnswersFirst,           // answers only the first request
    ClosesAtOnce,           // accepts and closes without a word
    AnswersFirstThenCloses, // answers the first request, then closes
    AnswersBothThenCloses,  // answers both, then closes
    StaysSilent,            // accepts, keeps the connection open and never answers
};

// A station on the loopback. Runs in the test's thread, so the probe's waits must process
// events.
class LoopbackStation {
public:
    LoopbackStation(const QHostAddress &address, quint16 port, Peer peer)
        : m_peer(peer) {
        m_listening = m_server.listen(address, port);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }
    bool listening() const { return m_listening; }
    quint16 port() const { return m_server.serverPort(); }
    const QByteArray &received() const { return m_received; }

private:
    void accept() {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            if (m_peer == Peer::ClosesAtOnce) {
                socket->disconnectFromHost();
                continue;
            }
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                m_received += socket->readAll();
                if (m_peer == Peer::StaysSilent)
                    return;
                if (!m_firstSent && m_received.contains(hex("FFFEF103F2"))) {
                    socket->write(hex("FFFEF20336C7"));
                    m_firstSent = true;
                    if (m_peer == Peer::AnswersFirstThenCloses)
                        socket->disconnectFromHost();
                }
                const bool second =
                    m_peer == Peer::AnswersBoth || m_peer == Peer::AnswersBothThenCloses;
                if (second && !m_secondSent && m_received.contains(hex("FFFE212100"))) {
                    socket->write(hex("FFFE6321360074"));
                    m_secondSent = true;
                    if (m_peer == Peer::AnswersBothThenCloses)
                        socket->disconnectFromHost();
                }
            });
        }
    }

    QTcpServer m_server;
    bool m_listening = false;
    Peer m_peer;
    bool m_firstSent = false;
    bool m_secondSent = false;
    QByteArray m_received;
};

struct Recorder {
    QStringList events; // status texts and "step"
    ForeignScanHooks hooks(quint16 port) {
        ForeignScanHooks result;
        result.status = [this](const QString &text) {
            events << text;
        };
        result.step = [this] {
            events << QStringLiteral("step");
        };
        result.wait = [](int ms) {
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

struct ProbeRow {
    const char *label;
    std::optional<Peer> peer; // none: the connection is refused
    quint8 kind;
    const char *version;
    const char *received; // hex, what the station got
    int fullWaits;        // replies waited for in full; once the connection ends, none more
};

class LenzProbeRows : public LenzProbeTest, public ::testing::WithParamInterface<ProbeRow> {};

TEST_P(LenzProbeRows, ResultAndHowLongItWaited) {
    constexpr int WaitMs = 800;
    const ProbeRow &row = GetParam();
    std::optional<LoopbackStation> station;
    quint16 port = 0;
    if (row.peer) {
        station.emplace(QHostAddress::LocalHost, 0, *row.peer);
        ASSERT_TRUE(station->listening());
        port = station->port();
    } else {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
        port = closed.serverPort();
    }
    QElapsedTimer clock;
    clock.start();
    const TZentrale found = ProbeLenz(QStringLiteral("127.0.0.1"), WaitMs, recorder.hooks(port));
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(found.Kind, row.kind);
    EXPECT_EQ(found.Version, QString::fromLatin1(row.version));
    EXPECT_EQ(found.IP, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(found.Port, port);
    if (station) {
        EXPECT_EQ(station->received(), hex(row.received));
    }
    EXPECT_EQ(recorder.events, QStringList{"Lenz..."});
    // A wait ended early leaves a whole wait unused; a whole wait is never cut short.
    EXPECT_GE(elapsed, row.fullWaits * WaitMs);
    EXPECT_LT(elapsed, (row.fullWaits + 1) * WaitMs);
}

INSTANTIATE_TEST_SUITE_P(
    Peers, LenzProbeRows,
    ::testing::Values(ProbeRow{"lenz_interface", Peer::AnswersBoth, ForeignLenz, "3.6",
                               "FFFEF103F2FFFE212100", 2},
                      ProbeRow{"first_answer_only", Peer::AnswersFirst, ForeignNone, "",
                               "FFFEF103F2FFFE212100", 2},
                      ProbeRow{"refused", std::nullopt, ForeignNone, "", "", 0},
                      ProbeRow{"closed_at_once", Peer::ClosesAtOnce, ForeignNone, "", "", 0},
                      ProbeRow{"first_answer_then_closed", Peer::AnswersFirstThenCloses,
                               ForeignNone, "", "FFFEF103F2", 0},
                      ProbeRow{"both_answers_then_closed", Peer::AnswersBothThenCloses, ForeignLenz,
                               "3.6", "FFFEF103F2FFFE212100", 1},
                      ProbeRow{"silent", Peer::StaysSilent, ForeignNone, "", "FFFEF103F2", 1}),
    [](const ::testing::TestParamInfo<ProbeRow> &row) { return rowName(row.param.label); });

TEST_F(LenzProbeTest, ScanProbesAnsweringSubnetNeighboursAndListsFullStations) {
    // Two stations on one port at two loopback addresses.
    std::unique_ptr<LoopbackStation> full;
    std::unique_ptr<LoopbackStation> half;
    for (int attempt = 0; attempt < 5 && !(half && half->listening()); ++attempt) {
        full = std::make_unique<LoopbackStation>(QHostAddress(QStringLiteral("127.0.0.2")), 0,
                                                 Peer::AnswersBoth);
        ASSERT_TRUE(full->listening());
        half = std::make_unique<LoopbackStation>(QHostAddress(QStringLiteral("127.0.0.3")),
                                                 full->port(), Peer::AnswersFirst);
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

    // Pinged side by side with 2000 ms; the address with a part 255 never.
    QList<FakeHostNetwork::PingCall> pinged = host.pingCalls();
    std::sort(pinged.begin(), pinged.end(),
              [](const auto &a, const auto &b) { return a.address < b.address; });
    EXPECT_EQ(pinged, (QList<FakeHostNetwork::PingCall>{{QStringLiteral("127.0.0.2"), 2000},
                                                        {QStringLiteral("127.0.0.3"), 2000},
                                                        {QStringLiteral("127.0.0.4"), 2000}}));
    // Reported in table order, five steps for each neighbour that answered the ping.
    const QStringList expected = {"step", "Lenz...",    "step",    "step", "step",
                                  "step", "step",       "Lenz...", "step", "ECoS...",
                                  "step", "Märklin...", "step",    "step"};
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
