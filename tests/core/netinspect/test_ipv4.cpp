#include "netinspect/hostnetwork.h"
#include "netinspect/ipv4.h"

#include "fakehostnetwork.h"
#include "qtprinters.h"

#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <vector>

using namespace qev;
using qevtest::FakeHostNetwork;

namespace {

struct BytesRow {
    const char16_t *text;
    IPv4Bytes bytes;
};

void PrintTo(const BytesRow &row, std::ostream *os) {
    *os << '"' << QString::fromUtf16(row.text).toStdString() << '"';
}

} // namespace

class IPToBytesTest : public ::testing::TestWithParam<BytesRow> {};

TEST_P(IPToBytesTest, GroupScan) {
    EXPECT_EQ(IPToBytes(QString::fromUtf16(GetParam().text)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, IPToBytesTest,
    ::testing::Values(
        BytesRow{u"192.168.0.10", {192, 168, 0, 10}}, BytesRow{u"192.168.0", {192, 168, 0, 0}},
        BytesRow{u"1.2.3.256", {1, 2, 3, 0}}, BytesRow{u"  0.  0.  0.  0", {0, 0, 0, 0}},
        BytesRow{u"10.0.0.1 ", {10, 0, 0, 0}}, BytesRow{u"1.2.3.4.5", {1, 2, 3, 0}},
        BytesRow{u"256.1.1.1", {0, 0, 0, 0}}, BytesRow{u"1.256.3.4", {1, 0, 0, 0}},
        BytesRow{u"010.001.002.003", {10, 1, 2, 3}}, BytesRow{u"1..3.4", {1, 0, 0, 0}},
        BytesRow{u"1.2.3.", {1, 2, 3, 0}}, BytesRow{u"1.2.3.1000", {1, 2, 3, 0}},
        BytesRow{u"1234.5.6.7", {0, 0, 0, 0}}, BytesRow{u"1.2x.3.4", {1, 0, 0, 0}},
        BytesRow{u"255.255.255.255", {255, 255, 255, 255}}, BytesRow{u"", {0, 0, 0, 0}},
        // Only ASCII digits count, not other scripts' digits.
        BytesRow{u"1.\u0662.3.4", {1, 0, 0, 0}}));

class IPPartsToBytesTest : public ::testing::TestWithParam<BytesRow> {};

TEST_P(IPPartsToBytesTest, FourPartsOrNothing) {
    EXPECT_EQ(IPPartsToBytes(QString::fromUtf16(GetParam().text)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, IPPartsToBytesTest,
    ::testing::Values(BytesRow{u"192.168.0.10", {192, 168, 0, 10}},
                      BytesRow{u"300.1.2.-1", {44, 1, 2, 255}}, BytesRow{u"a.2.3.4", {0, 2, 3, 4}},
                      BytesRow{u"1..3.4", {1, 0, 3, 4}}, BytesRow{u"1.2.3.4.", {1, 2, 3, 4}},
                      BytesRow{u"1.2.3", {0, 0, 0, 0}}, BytesRow{u"1.2.3.4.5", {0, 0, 0, 0}},
                      BytesRow{u"", {0, 0, 0, 0}}));

struct ClassRow {
    const char *text;
    IPClass expected;
};

class IPClassOfTest : public ::testing::TestWithParam<ClassRow> {};

TEST_P(IPClassOfTest, ByFirstOctet) {
    EXPECT_EQ(IPClassOf(QString::fromLatin1(GetParam().text)), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Ipv4, IPClassOfTest,
                         ::testing::Values(ClassRow{"127.0.0.1", 'L'}, ClassRow{"127.0.0.2", 'A'},
                                           ClassRow{"127.0.0.1 ", 'A'}, ClassRow{"0.1.2.3", 'A'},
                                           ClassRow{"", 'A'}, ClassRow{"126.255.0.1", 'A'},
                                           ClassRow{"128.0.0.1", 'B'}, ClassRow{"191.1.1.1", 'B'},
                                           ClassRow{"192.0.0.1", 'C'}, ClassRow{"223.1.1.1", 'C'},
                                           ClassRow{"224.0.0.1", 'D'}, ClassRow{"239.1.1.1", 'D'},
                                           ClassRow{"240.0.0.1", 'E'}, ClassRow{"247.1.1.1", 'E'},
                                           ClassRow{"248.0.0.1", '\0'},
                                           ClassRow{"255.255.255.0", '\0'}));

struct TextVerdict {
    const char *text;
    bool expected;
};

class IsValidIPTest : public ::testing::TestWithParam<TextVerdict> {};

TEST_P(IsValidIPTest, CompleteWellFormedAddress) {
    EXPECT_EQ(IsValidIP(QString::fromLatin1(GetParam().text)), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, IsValidIPTest,
    ::testing::Values(TextVerdict{"192.168.0.10", true}, TextVerdict{"10.0.0.1", true},
                      TextVerdict{"1.02.3.4", true}, TextVerdict{"1.2.3.04", true},
                      TextVerdict{"255.255.255.255", true}, TextVerdict{"192.168.0", false},
                      TextVerdict{"192.168.0.", false}, TextVerdict{"0.1.2.3", false},
                      TextVerdict{"0.0.0.0", false}, TextVerdict{"010.1.1.1", false},
                      TextVerdict{"1.2.3.256", false}, TextVerdict{"1.2.3.4 ", false},
                      TextVerdict{" 1.2.3.4", false}, TextVerdict{"1.2.3.1000", false},
                      TextVerdict{"1.2.3.4.5", false}, TextVerdict{"1..3.4", false},
                      TextVerdict{"256.1.1.1", false}, TextVerdict{"1.2.3.x", false},
                      TextVerdict{"", false}));

struct LocalNetRow {
    const char *local;
    const char *text;
    bool lenient;
    bool expected;
};

void PrintTo(const LocalNetRow &row, std::ostream *os) {
    *os << "local " << row.local << ", \"" << row.text << "\" "
        << (row.lenient ? "lenient" : "strict");
}

class IsInLocalNetTest : public ::testing::TestWithParam<LocalNetRow> {};

TEST_P(IsInLocalNetTest, PartlyTypedText) {
    FakeHostNetwork host;
    host.setLocalIP(QString::fromLatin1(GetParam().local));
    EXPECT_EQ(IsInLocalNet(QString::fromLatin1(GetParam().text), GetParam().lenient),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, IsInLocalNetTest,
    ::testing::Values(
        LocalNetRow{"192.168.0.10", "192.168.0.50", false, true},
        LocalNetRow{"192.168.0.10", "192.168.0.50", true, true},
        LocalNetRow{"192.168.0.10", "192.168.1.50", false, false},
        LocalNetRow{"192.168.0.10", "192.168.1.50", true, true},
        LocalNetRow{"192.168.0.10", "192.169.0.1", true, false},
        LocalNetRow{"192.168.0.10", "192.168.", false, true},
        LocalNetRow{"192.168.0.10", "19", false, false},
        LocalNetRow{"192.168.0.10", "1", false, true},
        LocalNetRow{"192.168.0.10", "10.0.0.1", false, false},
        // Texts that occur inside "127.0.0.1", and the empty text, are always local.
        LocalNetRow{"192.168.0.10", "", false, true},
        LocalNetRow{"192.168.0.10", "12", false, true},
        LocalNetRow{"192.168.0.10", "0.0", false, true},
        LocalNetRow{"192.168.0.10", "127.0.0.1", false, true},
        // Typing goes through these states; an octet counts once complete or ended by a digit.
        LocalNetRow{"192.168.0.10", "192", false, true},
        LocalNetRow{"192.168.0.10", "192.", false, true},
        LocalNetRow{"192.168.0.10", "193.", true, false},
        LocalNetRow{"192.168.0.10", "192.16", false, false},
        LocalNetRow{"192.168.0.10", "192.16", true, true},
        LocalNetRow{"192.168.0.10", "192.168", false, true},
        LocalNetRow{"192.168.0.10", "192.168.0.", false, true},
        LocalNetRow{"192.168.0.10", "192.168.1.", false, false},
        LocalNetRow{"192.168.0.10", "192.168.1.", true, true},
        // A fourth digit ends the scan; the octet it belongs to is not stored.
        LocalNetRow{"192.168.0.10", "192.1680", false, false},
        LocalNetRow{"192.168.0.10", "192.1680", true, true},
        // Another character ends the scan with the verdict of the last closed group.
        LocalNetRow{"192.168.0.10", "192.168.0.5 ", false, true},
        LocalNetRow{"192.168.0.10", "193 ", false, false},
        LocalNetRow{"192.168.0.10", "x", false, false},
        LocalNetRow{"192.168.0.10", "192.168.0.10.5", false, false},
        LocalNetRow{"192.168.0.10", "255.255.255.255", true, false},
        LocalNetRow{"192.168.0.10", "224.0.0.1", true, false},
        // Class B: lenient needs the first octet only; strict also rejects any closed
        // octet that differs from the PC's.
        LocalNetRow{"172.16.5.9", "172.16.5.1", false, true},
        LocalNetRow{"172.16.5.9", "172.16.9.1", false, false},
        LocalNetRow{"172.16.5.9", "172.16.9.1", true, true},
        LocalNetRow{"172.16.5.9", "172.17", false, false},
        LocalNetRow{"172.16.5.9", "172.17", true, true},
        LocalNetRow{"172.16.5.9", "172.17.0.1", true, true},
        // Class A compares the first octet at the end.
        LocalNetRow{"10.1.2.3", "10.200", false, true},
        LocalNetRow{"10.1.2.3", "11.1.2.3", true, false},
        // Without a network address every text is local.
        LocalNetRow{"", "10.0.0.1", false, true}, LocalNetRow{"", "garbage", false, true},
        LocalNetRow{"0.0.0.0", "10.0.0.1", false, true},
        // The no-network state on Linux.
        LocalNetRow{"127.0.0.1", "192.168.0.5", false, false}));

struct ClassNetRow {
    const char *local;
    const char *text;
    bool expected;
};

class IsInLocalClassNetTest : public ::testing::TestWithParam<ClassNetRow> {};

TEST_P(IsInLocalClassNetTest, ByTheClassOfTheLocalAddress) {
    FakeHostNetwork host;
    host.setLocalIP(QString::fromLatin1(GetParam().local));
    EXPECT_EQ(IsInLocalClassNet(QString::fromLatin1(GetParam().text)), GetParam().expected)
        << GetParam().local << " / " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Ipv4, IsInLocalClassNetTest,
                         ::testing::Values(ClassNetRow{"192.168.0.10", "192.168.0.99", true},
                                           ClassNetRow{"192.168.0.10", "192.168.0", true},
                                           ClassNetRow{"192.168.0.10", "192.168.1.1", false},
                                           ClassNetRow{"172.16.0.1", "172.16.200.1", true},
                                           ClassNetRow{"172.16.0.1", "172.17.0.1", false},
                                           ClassNetRow{"10.1.2.3", "10.9.9.9", true},
                                           ClassNetRow{"10.1.2.3", "11.1.2.3", false},
                                           ClassNetRow{"224.0.0.5", "224.0.0.9", true},
                                           ClassNetRow{"224.0.0.5", "224.0.1.5", false},
                                           ClassNetRow{"127.0.0.1", "203.0.113.5", true},
                                           ClassNetRow{"250.1.1.1", "250.1.1.1", false}));

struct MaskCoverRow {
    const char *address;
    const char *mask;
    bool expected;
};

class MaskCoversIPTest : public ::testing::TestWithParam<MaskCoverRow> {};

TEST_P(MaskCoversIPTest, ClassfulNetworkPart) {
    const MaskCoverRow &row = GetParam();
    EXPECT_EQ(MaskCoversIP(QString::fromLatin1(row.address), QString::fromLatin1(row.mask)),
              row.expected)
        << row.address << " / " << row.mask;
}

INSTANTIATE_TEST_SUITE_P(Ipv4, MaskCoversIPTest,
                         ::testing::Values(MaskCoverRow{"192.168.0.5", "255.255.255.0", true},
                                           MaskCoverRow{"192.168.0.5", "255.255.0.0", true},
                                           MaskCoverRow{"192.168.1.5", "255.255.0.0", false},
                                           MaskCoverRow{"172.16.1.1", "255.255.0.0", true},
                                           MaskCoverRow{"172.16.1.1", "255.0.0.0", false},
                                           MaskCoverRow{"10.0.0.1", "255.0.0.0", true},
                                           MaskCoverRow{"10.0.0.1", "0.0.0.0", false},
                                           MaskCoverRow{"224.0.0.1", "255.255.255.255", false},
                                           MaskCoverRow{"240.0.0.1", "255.255.255.255", false},
                                           MaskCoverRow{"127.0.0.1", "255.0.0.0", false},
                                           MaskCoverRow{"250.0.0.1", "255.255.255.255", false}));

struct MaskRow {
    const char *a;
    const char *b;
    const char *mask;
    bool expected;
};

class SameSubnetTest : public ::testing::TestWithParam<MaskRow> {};

TEST_P(SameSubnetTest, AllFourOctetsUnderTheMask) {
    const MaskRow &row = GetParam();
    EXPECT_EQ(SameSubnet(QString::fromLatin1(row.a), QString::fromLatin1(row.b),
                         QString::fromLatin1(row.mask)),
              row.expected)
        << row.a << " / " << row.b << " / " << row.mask;
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, SameSubnetTest,
    ::testing::Values(MaskRow{"192.168.0.10", "192.168.0.99", "255.255.255.0", true},
                      MaskRow{"192.168.0.10", "192.168.1.10", "255.255.255.0", false},
                      MaskRow{"192.168.0.10", "192.168.1.10", "255.255.0.0", true},
                      MaskRow{"10.0.0.1", "10.0.0.129", "255.255.255.128", false},
                      MaskRow{"10.0.0.1", "10.0.0.127", "255.255.255.128", true},
                      MaskRow{"10.0.0.1", "10.0.0.2", "255.255.255.255", false},
                      MaskRow{"10.0.0.1", "203.0.113.9", "0.0.0.0", true}));

struct TextPair {
    const char *text;
    const char *expected;
};

class DefaultNetmaskTest : public ::testing::TestWithParam<TextPair> {};

TEST_P(DefaultNetmaskTest, ByFirstOctetOfFourParts) {
    EXPECT_EQ(DefaultNetmask(QString::fromLatin1(GetParam().text)),
              QString::fromLatin1(GetParam().expected))
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, DefaultNetmaskTest,
    ::testing::Values(TextPair{"10.1.2.3", "255.0.0.0"}, TextPair{"127.0.0.1", "255.0.0.0"},
                      TextPair{"128.0.0.1", "255.255.0.0"}, TextPair{"191.255.0.1", "255.255.0.0"},
                      TextPair{"192.168.0.10", "255.255.255.0"},
                      TextPair{"224.0.0.1", "255.255.255.0"},
                      TextPair{"254.1.1.1", "255.255.255.0"}, TextPair{"10.1.2", ""},
                      TextPair{"255.1.2.3", ""}, TextPair{"0.1.2.3", ""}, TextPair{"1.2.3.4.5", ""},
                      TextPair{"", ""}));

struct BroadcastRow {
    const char *target;
    const char *local;
    const char *expected;
};

class BroadcastTowardsTest : public ::testing::TestWithParam<BroadcastRow> {};

TEST_P(BroadcastTowardsTest, DifferingOctetsBecome255) {
    const BroadcastRow &row = GetParam();
    EXPECT_EQ(BroadcastTowards(QString::fromLatin1(row.target), QString::fromLatin1(row.local)),
              QString::fromLatin1(row.expected))
        << row.target << " from " << row.local;
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, BroadcastTowardsTest,
    ::testing::Values(BroadcastRow{"192.168.1.50", "192.168.0.10", "192.168.255.255"},
                      BroadcastRow{"10.0.0.5", "192.168.0.10", "255.255.255.255"},
                      BroadcastRow{"192.168.0.50", "192.168.0.10", "192.168.0.255"},
                      BroadcastRow{"192.168.0.10", "192.168.0.10", "192.168.0.10"},
                      BroadcastRow{"10.0.0.5", "", "255.255.255.255"},
                      // An octet that matches behind a differing one is not kept.
                      BroadcastRow{"192.168.5.10", "192.168.0.10", "192.168.255.255"},
                      BroadcastRow{"10.0.0.5", "172.16.0.5", "255.255.255.255"},
                      BroadcastRow{"192.168.1", "192.168.0.10", ""},
                      BroadcastRow{"0.1.2.3", "0.1.2.3", ""}));

class ClassBroadcastTest : public ::testing::TestWithParam<TextPair> {};

TEST_P(ClassBroadcastTest, HostPartOfTheLocalClassSetTo255) {
    FakeHostNetwork host;
    host.setLocalIP(QString::fromLatin1(GetParam().text));
    EXPECT_EQ(ClassBroadcast(), QString::fromLatin1(GetParam().expected)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Ipv4, ClassBroadcastTest,
                         ::testing::Values(TextPair{"192.168.0.10", "192.168.0.255"},
                                           TextPair{"172.16.5.9", "172.16.255.255"},
                                           TextPair{"10.1.2.3", "10.255.255.255"},
                                           TextPair{"127.0.0.1", "127.0.0.1"},
                                           TextPair{"224.1.2.3", "224.1.2.3"}));

class HasOctet255Test : public ::testing::TestWithParam<TextVerdict> {};

TEST_P(HasOctet255Test, OneOfTheFirstFourParts) {
    EXPECT_EQ(HasOctet255(QString::fromLatin1(GetParam().text)), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Ipv4, HasOctet255Test,
                         ::testing::Values(TextVerdict{"10.0.0.255", true},
                                           TextVerdict{"255.0.0.1", true}, TextVerdict{"255", true},
                                           TextVerdict{"10.0.0.0255", false},
                                           TextVerdict{"10.0.0.25", false},
                                           TextVerdict{"1.2.3.4.255", false},
                                           TextVerdict{"", false}));

struct SplitRow {
    const char *text;
    const char *separator;
    std::vector<const char *> parts;
};

class SplitTextTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitTextTest, EmptyPartsKeptExceptAtTheEnd) {
    QStringList expected;
    for (const char *part : GetParam().parts)
        expected.append(QString::fromLatin1(part));
    EXPECT_EQ(
        SplitText(QString::fromLatin1(GetParam().text), QString::fromLatin1(GetParam().separator)),
        expected)
        << '"' << GetParam().text << "\" at \"" << GetParam().separator << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, SplitTextTest,
    ::testing::Values(SplitRow{"", ".", {}}, SplitRow{"1.2.3.4", ".", {"1", "2", "3", "4"}},
                      SplitRow{"1.2.", ".", {"1", "2"}}, SplitRow{".1", ".", {"", "1"}},
                      SplitRow{"1..2", ".", {"1", "", "2"}}, SplitRow{".", ".", {""}},
                      SplitRow{"..", ".", {"", ""}}, SplitRow{"abc", ".", {"abc"}},
                      SplitRow{"a, b, c", ", ", {"a", "b", "c"}},
                      // An empty separator must not loop for ever.
                      SplitRow{"abc", "", {"abc"}}));

struct HexRow {
    const char *text;
    qint32 expected;
};

class HexToIntTest : public ::testing::TestWithParam<HexRow> {};

TEST_P(HexToIntTest, UpToEightDigitsNoPrefix) {
    EXPECT_EQ(HexToInt(QString::fromLatin1(GetParam().text)), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Ipv4, HexToIntTest,
                         ::testing::Values(HexRow{"0", 0}, HexRow{"FF", 255}, HexRow{"ff", 255},
                                           HexRow{"a0", 160}, HexRow{"7FFFFFFF", 2147483647},
                                           HexRow{"FFFFFFFF", -1},
                                           HexRow{"80000000", std::numeric_limits<qint32>::min()},
                                           HexRow{"100000000", 0}, HexRow{"0x1F", 0},
                                           HexRow{"G1", 0}, HexRow{"", 0}, HexRow{" 1", 0},
                                           HexRow{"-1", 0}, HexRow{"+1", 0}));

struct MacRow {
    const char *text;
    MacBytes bytes;
};

class MACTextToBytesTest : public ::testing::TestWithParam<MacRow> {};

TEST_P(MACTextToBytesTest, TwelveHexDigits) {
    EXPECT_EQ(MACTextToBytes(QString::fromLatin1(GetParam().text)), GetParam().bytes)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Ipv4, MACTextToBytesTest,
    ::testing::Values(MacRow{"00A0B0C0D0E0", {0x00, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0}},
                      MacRow{"02817e00001f", {0x02, 0x81, 0x7E, 0x00, 0x00, 0x1F}},
                      MacRow{"0011223344zz", {0x00, 0x11, 0x22, 0x33, 0x44, 0x00}},
                      MacRow{"00A0B0C0D0E", {}}, MacRow{"00A0B0C0D0E0F", {}},
                      MacRow{"00:A0:B0:C0:D0:E0", {}}, MacRow{"", {}}));

TEST(Ipv4, BytesToIPWritesDecimalOctets) {
    EXPECT_EQ(BytesToIP({192, 168, 0, 10}), QStringLiteral("192.168.0.10"));
    EXPECT_EQ(BytesToIP({0, 0, 0, 0}), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(BytesToIP({255, 255, 255, 255}), QStringLiteral("255.255.255.255"));
}

TEST(HostQuestions, GoToTheInstalledHostNetwork) {
    FakeHostNetwork host;
    host.setHostName(QStringLiteral("werkstatt"));
    host.setLocalIP(QStringLiteral("10.0.0.7"));
    host.setNetworkPresent(false);
    host.setWinsockUsable(false);
    EXPECT_EQ(GetLocalHostName(), QStringLiteral("werkstatt"));
    EXPECT_EQ(GetLocalIP(), QStringLiteral("10.0.0.7"));
    EXPECT_FALSE(IsNetworkPresent());
    EXPECT_FALSE(IsWinsockUsable());

    host.addAnswering(QStringLiteral("10.0.0.20"));
    EXPECT_TRUE(Ping(QStringLiteral("10.0.0.20"), 600));
    EXPECT_FALSE(Ping(QStringLiteral("10.0.0.21"), 2000));
    const QList<FakeHostNetwork::PingCall> expected = {{QStringLiteral("10.0.0.20"), 600},
                                                       {QStringLiteral("10.0.0.21"), 2000}};
    EXPECT_EQ(host.pingCalls(), expected);
}

// The same ping, with the caller's events handled all through a silent address's time-out.
TEST(HostQuestions, PingWhilePumpingAsksTheSameAndPumpsThroughTheWait) {
    FakeHostNetwork host;
    host.setSilenceTakesTime(true);
    host.addAnswering(QStringLiteral("10.0.0.20"));
    int pumped = 0;
    const auto pump = [&pumped] {
        ++pumped;
    };
    EXPECT_TRUE(PingWhilePumping(QStringLiteral("10.0.0.20"), 600, pump));
    EXPECT_FALSE(PingWhilePumping(QStringLiteral("10.0.0.21"), 200, pump));
    EXPECT_FALSE(PingWhilePumping(QString(), 200, pump));
    const QList<FakeHostNetwork::PingCall> expected = {{QStringLiteral("10.0.0.20"), 600},
                                                       {QStringLiteral("10.0.0.21"), 200}};
    EXPECT_EQ(host.pingCalls(), expected);
    // Every few milliseconds of the 200 ms, not spinning.
    EXPECT_GE(pumped, 10);
    EXPECT_LE(pumped, 40);
}

TEST(HostQuestions, PingOfEmptyTextIsFalseWithoutAsking) {
    FakeHostNetwork host;
    host.addAnswering(QString());
    EXPECT_FALSE(Ping(QString(), 2000));
    EXPECT_TRUE(host.pingCalls().isEmpty());
}

TEST(HostQuestions, LocalAddressIsAskedForEveryTime) {
    FakeHostNetwork host;
    host.setLocalIP(QStringLiteral("192.168.0.10"));
    EXPECT_TRUE(IsInLocalNet(QStringLiteral("192.168.0.50"), false));
    host.setLocalIP(QStringLiteral("10.0.0.7"));
    EXPECT_FALSE(IsInLocalNet(QStringLiteral("192.168.0.50"), false));
    EXPECT_EQ(ClassBroadcast(), QStringLiteral("10.255.255.255"));
}

TEST(HostQuestions, FakesRestoreWhatWasInstalledBefore) {
    HostNetwork *system = &systemHostNetwork();
    {
        FakeHostNetwork outer;
        {
            FakeHostNetwork inner;
            EXPECT_EQ(&hostNetwork(), &inner);
        }
        EXPECT_EQ(&hostNetwork(), &outer);
    }
    EXPECT_EQ(&hostNetwork(), system);
    setHostNetwork(nullptr);
    EXPECT_EQ(&hostNetwork(), system);
}
