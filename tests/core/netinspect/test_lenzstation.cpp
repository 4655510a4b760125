// The Lenz station of qev-devsim: its command line, its replies, and the probe of the
// program against it over the loopback.

#include "netinspect/foreignsystems.h"
#include "tcpstation.h"

#include "devsimrunner.h"
#include "fakehostnetwork.h"
#include "fakekerneltables.h"
#include "qtprinters.h"

#include <QTcpServer>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

using namespace qev;
using namespace qev::devsim;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

quint16 freeTcpPort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

struct SpecRow {
    const char *label;
    const char *spec;
    bool valid;
    LenzAnswers answers;
    quint8 versionBcd;
    quint32 ip;
    quint16 port;
};

} // namespace

class LenzSpecTest : public ::testing::TestWithParam<SpecRow> {};

TEST_P(LenzSpecTest, Parse) {
    QString error;
    const std::optional<LenzStationConfig> config =
        ParseLenzSpec(QString::fromLatin1(GetParam().spec), &error);
    ASSERT_EQ(config.has_value(), GetParam().valid) << error.toStdString();
    if (!config) {
        EXPECT_FALSE(error.isEmpty());
        return;
    }
    EXPECT_EQ(config->answers, GetParam().answers);
    EXPECT_EQ(config->versionBcd, GetParam().versionBcd);
    EXPECT_EQ(config->ip, GetParam().ip);
    EXPECT_EQ(config->port, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    LenzStation, LenzSpecTest,
    ::testing::Values(SpecRow{"defaults", "", true, LenzAnswers::Both, 0x36, 0x7F000001, 5550},
                      SpecRow{"all_keys", "answer=first,version=4.2,ip=10.0.0.9,port=15550", true,
                              LenzAnswers::FirstOnly, 0x42, 0x0A000009, 15550},
                      SpecRow{"none", "answer=none", true, LenzAnswers::None, 0x36, 0x7F000001,
                              5550},
                      SpecRow{"bad_answer", "answer=second", false, {}, 0, 0, 0},
                      SpecRow{"version_not_bcd", "version=10.1", false, {}, 0, 0, 0},
                      SpecRow{"version_letters", "version=a.b", false, {}, 0, 0, 0},
                      SpecRow{"port_zero", "port=0", false, {}, 0, 0, 0},
                      SpecRow{"port_too_big", "port=65536", false, {}, 0, 0, 0},
                      SpecRow{"bad_ip", "ip=1.2.3", false, {}, 0, 0, 0},
                      SpecRow{"unknown_key", "colour=red", false, {}, 0, 0, 0},
                      SpecRow{"no_value", "answer", false, {}, 0, 0, 0}),
    [](const ::testing::TestParamInfo<SpecRow> &row) { return std::string(row.param.label); });

TEST(LenzStation, RepliesPassTheProbesChecks) {
    LenzStationConfig config;
    config.versionBcd = 0x42;
    const QByteArray first = LenzStationReply(config, hex("F103"));
    EXPECT_TRUE(LenzFirstReplyMatches(first));
    EXPECT_EQ(LenzVersionOf(LenzStationReply(config, hex("2121"))),
              std::optional<QString>(QStringLiteral("4.2")));
    EXPECT_TRUE(LenzStationReply(config, hex("F0")).isEmpty());

    config.answers = LenzAnswers::FirstOnly;
    EXPECT_EQ(LenzStationReply(config, hex("F103")), first);
    EXPECT_TRUE(LenzStationReply(config, hex("2121")).isEmpty());
    config.answers = LenzAnswers::None;
    EXPECT_TRUE(LenzStationReply(config, hex("F103")).isEmpty());
}

namespace {

struct ProbeRow {
    const char *answer;
    quint8 kind;
    const char *version;
    int requests; // frames the station received
};

} // namespace

class LenzStationProbeTest : public ::testing::TestWithParam<ProbeRow> {
protected:
    qevtest::FakeHostNetwork host;
    qevtest::FakeKernelTables tables;
    qevtest::FakeSystemFiles files;
};

TEST_P(LenzStationProbeTest, ProbeOverLoopback) {
    const quint16 port = freeTcpPort();
    ASSERT_NE(port, 0);
    qevtest::DevsimRunner devsim;
    ASSERT_TRUE(
        devsim.start({QStringLiteral("--lenz"), QStringLiteral("answer=%1,version=2.7,port=%2")
                                                    .arg(QString::fromLatin1(GetParam().answer))
                                                    .arg(port)}))
        << devsim.diagnostics().toStdString();
    ForeignScanHooks hooks;
    hooks.port = port;
    const TZentrale station = ProbeLenz(QStringLiteral("127.0.0.1"), 400, hooks);
    EXPECT_EQ(station.Kind, GetParam().kind);
    EXPECT_EQ(station.Version, QString::fromLatin1(GetParam().version));

    QStringList received;
    for (const QString &line : devsim.lines(100)) {
        if (line.startsWith(QStringLiteral("lenz rx ")))
            received << line.section(QLatin1Char(' '), 3);
    }
    const QStringList requests{QStringLiteral("FFFEF103F2"), QStringLiteral("FFFE212100")};
    EXPECT_EQ(received, requests.mid(0, GetParam().requests));
}

INSTANTIATE_TEST_SUITE_P(LenzStation, LenzStationProbeTest,
                         ::testing::Values(ProbeRow{"both", ForeignLenz, "2.7", 2},
                                           ProbeRow{"first", ForeignNone, "", 2},
                                           ProbeRow{"none", ForeignNone, "", 1}),
                         [](const ::testing::TestParamInfo<ProbeRow> &row) {
                             return std::string(row.param.answer);
                         });
