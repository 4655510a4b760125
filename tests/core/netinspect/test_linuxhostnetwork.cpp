#include "netinspect/linuxhostnetwork.h"

#include "qtprinters.h"

#include <QSysInfo>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace qev;
using namespace std::chrono_literals;

namespace {

InterfaceAddress upAddress(const char *name, const char *address) {
    return {QString::fromLatin1(name), QString::fromLatin1(address), true, false};
}

InterfaceAddress downAddress(const char *name, const char *address) {
    return {QString::fromLatin1(name), QString::fromLatin1(address), false, false};
}

const InterfaceAddress Loopback{QStringLiteral("lo"), QStringLiteral("127.0.0.1"), true, true};

struct ChoiceRow {
    const char *name;
    QStringList lookedUp;
    QList<InterfaceAddress> addresses;
    QString defaultRoute;
    QString expected;
};

// Test names and failure messages show the row by its name.
void PrintTo(const ChoiceRow &row, std::ostream *os) {
    *os << row.name;
}

// Test names from the rows' own names.
template <typename Row>
std::string nameOf(const ::testing::TestParamInfo<Row> &row) {
    return row.param.name;
}

} // namespace

class ChooseLocalIPTest : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(ChooseLocalIPTest, FallbackOrder) {
    const ChoiceRow &row = GetParam();
    EXPECT_EQ(chooseLocalIP(row.lookedUp, row.addresses, row.defaultRoute), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    LinuxHostNetwork, ChooseLocalIPTest,
    ::testing::Values(
        ChoiceRow{"DebianHostsEntryIsSkipped",
                  {"127.0.1.1"},
                  {Loopback, upAddress("eth0", "192.168.0.10")},
                  "eth0",
                  "192.168.0.10"},
        ChoiceRow{"LookupWinsOverTheDefaultRoute",
                  {"192.168.0.10"},
                  {Loopback, upAddress("eth0", "192.168.0.10"), upAddress("wlan0", "10.0.0.5")},
                  "wlan0",
                  "192.168.0.10"},
        ChoiceRow{"FirstUsableLookupResultInItsOrder",
                  {"127.0.1.1", "10.0.0.5", "192.168.0.10"},
                  {Loopback, upAddress("eth0", "192.168.0.10"), upAddress("wlan0", "10.0.0.5")},
                  "eth0",
                  "10.0.0.5"},
        ChoiceRow{"AddressNoInterfaceHoldsIsSkipped",
                  {"172.17.0.2"},
                  {Loopback, upAddress("eth0", "192.168.77.1")},
                  "eth0",
                  "192.168.77.1"},
        ChoiceRow{"AddressOfADownInterfaceIsSkipped",
                  {"10.0.0.5"},
                  {Loopback, downAddress("wlan0", "10.0.0.5"), upAddress("eth0", "192.168.0.10")},
                  "",
                  "192.168.0.10"},
        ChoiceRow{"DefaultRouteBeforeTheFirstInterface",
                  {},
                  {Loopback, upAddress("eth0", "192.168.0.10"), upAddress("wlan0", "10.0.0.5")},
                  "wlan0",
                  "10.0.0.5"},
        ChoiceRow{"DefaultRouteInterfaceWithoutIPv4",
                  {},
                  {Loopback, upAddress("eth0", "192.168.0.10")},
                  "ppp0",
                  "192.168.0.10"},
        ChoiceRow{"FirstInterfaceThatIsUpAndNotLoopback",
                  {"127.0.1.1"},
                  {Loopback, downAddress("eth0", "192.168.0.10"), upAddress("wlan0", "10.0.0.5")},
                  "",
                  "10.0.0.5"},
        ChoiceRow{"NoNetworkGivesTheLoopbackAddress",
                  {"127.0.1.1"},
                  {Loopback, downAddress("eth0", "192.168.0.10")},
                  "",
                  "127.0.0.1"},
        ChoiceRow{"NothingAtAll", {}, {}, "", "127.0.0.1"}),
    nameOf<ChoiceRow>);

struct RouteRow {
    const char *name;
    const char *table;
    const char *expected;
};

// Test names and failure messages show the row by its name.
void PrintTo(const RouteRow &row, std::ostream *os) {
    *os << row.name;
}

class DefaultRouteInterfaceTest : public ::testing::TestWithParam<RouteRow> {};

TEST_P(DefaultRouteInterfaceTest, LowestMetricDefaultRoute) {
    EXPECT_EQ(defaultRouteInterface(QByteArray(GetParam().table)),
              QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    LinuxHostNetwork, DefaultRouteInterfaceTest,
    ::testing::Values(
        RouteRow{"Typical",
                 "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow"
                 "\tIRTT\n"
                 "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
                 "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n",
                 "eth0"},
        RouteRow{"LowestMetricWins",
                 "Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT\n"
                 "wlan0 00000000 0100000A 0003 0 0 600 00000000 0 0 0\n"
                 "eth0 00000000 0100A8C0 0003 0 0 100 00000000 0 0 0\n"
                 "eth1 00000000 0101A8C0 0003 0 0 100 00000000 0 0 0\n",
                 "eth0"},
        RouteRow{"RouteNotUpIsIgnored",
                 "Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT\n"
                 "eth0 00000000 0100A8C0 0002 0 0 0 00000000 0 0 0\n",
                 ""},
        RouteRow{"OnlyNetworkRoutes",
                 "Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT\n"
                 "eth0 0000A8C0 00000000 0001 0 0 0 00FFFFFF 0 0 0\n"
                 "eth0 00000000 00000000 0001 0 0 0 000000FF 0 0 0\n",
                 ""},
        RouteRow{"MalformedLinesAreSkipped",
                 "eth0 00000000 0100A8C0 0003\n"
                 "eth1 zz000000 0100A8C0 0003 0 0 0 00000000 0 0 0\n"
                 "eth2 00000000 0100A8C0 0003 0 0 -1 00000000 0 0 0\n"
                 "eth3 00000000 0100A8C0 0003 0 0 7 00000000\n",
                 "eth3"},
        RouteRow{"HeadingOnly",
                 "Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT\n", ""},
        RouteRow{"Empty", "", ""}),
    nameOf<RouteRow>);

namespace {

struct EchoShape {
    quint8 type = 0;
    quint8 code = 0;
    quint16 identifier = 0x1234;
    quint16 sequence = 7;
    bool withIpHeader = false;
    int headerWords = 5;    // the IPv4 header length field
    std::size_t keep = 999; // bytes actually received
};

std::vector<quint8> echoBytes(const EchoShape &shape) {
    std::vector<quint8> bytes;
    if (shape.withIpHeader) {
        bytes.assign(static_cast<std::size_t>(shape.headerWords) * 4, 0);
        bytes[0] = static_cast<quint8>(0x40 | shape.headerWords);
    }
    const quint8 icmp[8] = {shape.type,
                            shape.code,
                            0,
                            0,
                            static_cast<quint8>(shape.identifier >> 8),
                            static_cast<quint8>(shape.identifier & 0xFF),
                            static_cast<quint8>(shape.sequence >> 8),
                            static_cast<quint8>(shape.sequence & 0xFF)};
    bytes.insert(bytes.end(), std::begin(icmp), std::end(icmp));
    bytes.resize(bytes.size() + 64, 0);
    bytes.resize(std::min(bytes.size(), shape.keep));
    return bytes;
}

struct EchoRow {
    const char *name;
    EchoShape shape;
    bool expected;
};

// Test names and failure messages show the row by its name.
void PrintTo(const EchoRow &row, std::ostream *os) {
    *os << row.name;
}

} // namespace

class IsEchoReplyToTest : public ::testing::TestWithParam<EchoRow> {};

TEST_P(IsEchoReplyToTest, OnlyTheReplyToThisRequest) {
    const EchoRow &row = GetParam();
    const std::vector<quint8> bytes = echoBytes(row.shape);
    EXPECT_EQ(isEchoReplyTo(bytes.data(), bytes.size(), row.shape.withIpHeader, 0x1234, 7),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    LinuxHostNetwork, IsEchoReplyToTest,
    ::testing::Values(
        EchoRow{"PingSocketReply", {}, true},
        EchoRow{"RawSocketReply", {.withIpHeader = true}, true},
        EchoRow{"RawReplyWithIpOptions", {.withIpHeader = true, .headerWords = 8}, true},
        EchoRow{"OtherSequence", {.sequence = 8}, false},
        EchoRow{"OtherIdentifier", {.identifier = 0x1235}, false},
        EchoRow{"OwnRequestSeenOnRawSocket", {.type = 8, .withIpHeader = true}, false},
        EchoRow{"Unreachable", {.type = 3, .code = 1}, false},
        EchoRow{"ReplyWithNonZeroCode", {.code = 1}, false},
        EchoRow{"IcmpHeaderCutShort", {.keep = 7}, false},
        EchoRow{"IcmpHeaderJustComplete", {.keep = 8}, true},
        EchoRow{"IpHeaderCutShort", {.withIpHeader = true, .keep = 19}, false},
        EchoRow{"HeaderLengthBeyondReceived",
                {.withIpHeader = true, .headerWords = 15, .keep = 64},
                false},
        EchoRow{"HeaderLengthTooSmall", {.withIpHeader = true, .headerWords = 4}, false},
        EchoRow{"Nothing", {.keep = 0}, false}),
    nameOf<EchoRow>);

TEST(LinuxHostNetwork, HostNameIsTheSystems) {
    LinuxHostNetwork host;
    EXPECT_FALSE(host.localHostName().isEmpty());
    EXPECT_EQ(host.localHostName(), QSysInfo::machineHostName());
}

namespace {

// What a resolver saw, shared with its lookup thread, which may outlive the test.
struct ResolverLog {
    std::mutex mutex;
    QList<QByteArray> names;
};

} // namespace

TEST(LinuxHostNetwork, LooksUpTheHostNameAndIgnoresForeignAnswers) {
    auto log = std::make_shared<ResolverLog>();
    LinuxHostNetwork host([log](const QByteArray &name) {
        std::lock_guard lock(log->mutex);
        log->names.append(name);
        // Documentation addresses no interface of this machine holds.
        return QStringList{QStringLiteral("127.0.1.1"), QStringLiteral("203.0.113.77")};
    });
    const QString address = host.localIP();
    EXPECT_NE(address, QStringLiteral("203.0.113.77"));
    EXPECT_NE(address, QStringLiteral("127.0.1.1"));
    EXPECT_FALSE(address.isEmpty());
    std::lock_guard lock(log->mutex);
    ASSERT_EQ(log->names.size(), 1);
    EXPECT_EQ(log->names.front(), host.localHostName().toLocal8Bit());
}

TEST(LinuxHostNetwork, HangingLookupIsNotWaitedForTwice) {
    auto calls = std::make_shared<std::atomic<int>>(0);
    LinuxHostNetwork host([calls](const QByteArray &) {
        ++*calls;
        std::this_thread::sleep_for(6s);
        return QStringList{QStringLiteral("203.0.113.77")};
    });

    const auto started = std::chrono::steady_clock::now();
    const QString first = host.localIP();
    const auto firstTook = std::chrono::steady_clock::now() - started;
    EXPECT_GE(firstTook, std::chrono::milliseconds(LinuxHostNetwork::LookupTimeoutMs - 100));
    EXPECT_LT(firstTook, std::chrono::milliseconds(LinuxHostNetwork::LookupTimeoutMs + 1000));
    EXPECT_NE(first, QStringLiteral("203.0.113.77"));

    // The lookup is still out: the next call answers from the interfaces at once.
    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(host.localIP(), first);
    EXPECT_LT(std::chrono::steady_clock::now() - again, 500ms);
    EXPECT_EQ(calls->load(), 1);
}

TEST(LinuxHostNetwork, LookupIsRepeatedOnEveryCall) {
    auto calls = std::make_shared<std::atomic<int>>(0);
    LinuxHostNetwork host([calls](const QByteArray &) {
        ++*calls;
        return QStringList();
    });
    host.localIP();
    host.localIP();
    EXPECT_EQ(calls->load(), 2);
}

TEST(LinuxHostNetwork, WinsockIsAlwaysUsable) {
    LinuxHostNetwork host;
    EXPECT_TRUE(host.isWinsockUsable());
}

namespace {

// Whether this process may open an ICMP socket of the given type; the ping tests skip
// when it may not (no root, no CAP_NET_RAW, user outside net.ipv4.ping_group_range).
bool mayOpenIcmpSocket(int type) {
    const int fd = ::socket(AF_INET, type, IPPROTO_ICMP);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

struct PathRow {
    const char *name;
    LinuxHostNetwork::PingPath path;
    int socketType; // 0: whichever the process may open
};

// Test names and failure messages show the row by its name.
void PrintTo(const PathRow &row, std::ostream *os) {
    *os << row.name;
}

} // namespace

class LoopbackPingTest : public ::testing::TestWithParam<PathRow> {
protected:
    void SetUp() override {
        const int type = GetParam().socketType;
        const bool allowed = type != 0
                                 ? mayOpenIcmpSocket(type)
                                 : mayOpenIcmpSocket(SOCK_DGRAM) || mayOpenIcmpSocket(SOCK_RAW);
        if (!allowed)
            GTEST_SKIP() << "this process may not open that ICMP socket (neither root nor in "
                            "net.ipv4.ping_group_range)";
        m_host.setPingPath(GetParam().path);
    }

    LinuxHostNetwork m_host;
};

TEST_P(LoopbackPingTest, LoopbackAnswers) {
    EXPECT_TRUE(m_host.ping(QStringLiteral("127.0.0.1"), 2000));
    EXPECT_TRUE(m_host.ping(QStringLiteral("127.0.0.2"), 2000));
}

TEST_P(LoopbackPingTest, RepeatedPingsEachFindTheirOwnReply) {
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(m_host.ping(QStringLiteral("127.0.0.1"), 1000)) << "ping " << i;
}

INSTANTIATE_TEST_SUITE_P(
    LinuxHostNetwork, LoopbackPingTest,
    ::testing::Values(PathRow{"Automatic", LinuxHostNetwork::PingPath::Automatic, 0},
                      PathRow{"Raw", LinuxHostNetwork::PingPath::Raw, SOCK_RAW},
                      PathRow{"Datagram", LinuxHostNetwork::PingPath::Datagram, SOCK_DGRAM}),
    nameOf<PathRow>);

TEST(LinuxHostNetwork, TextThatIsNotADottedAddressNeverAnswers) {
    LinuxHostNetwork host;
    // None of these may turn into a lookup or a packet; each must fail at once.
    const char *texts[] = {"",           "localhost",   "127.1",       "127.0.0.1 ",
                           " 127.0.0.1", "127.0.0.256", "127.0.0.1.1", "0x7f.0.0.1"};
    for (const char *text : texts) {
        const auto started = std::chrono::steady_clock::now();
        EXPECT_FALSE(host.ping(QString::fromLatin1(text), 2000)) << text;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 200ms) << text;
    }
    EXPECT_FALSE(host.ping(QStringLiteral("127.0.0.1") + QChar(0) + QStringLiteral("x"), 2000));
}
