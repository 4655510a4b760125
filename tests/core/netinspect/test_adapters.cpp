#include "netinspect/adapters.h"

#include "fakehostnetwork.h"
#include "fakekerneltables.h"
#include "qtprinters.h"

#include <gtest/gtest.h>
#include <linux/if_arp.h>

#include <cctype>
#include <cerrno>
#include <ostream>
#include <string>

using namespace qev;
using qevtest::FakeHostNetwork;
using qevtest::FakeKernelTables;
using qevtest::FakeSystemFiles;

namespace {

// Turns a row's label into a test name gtest accepts.
std::string testName(const char *label) {
    std::string name;
    for (const char *c = label; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

struct TypeNameRow {
    qint32 ifType;
    const char *name;
};

} // namespace

class InterfaceTypeNameTest : public ::testing::TestWithParam<TypeNameRow> {};

TEST_P(InterfaceTypeNameTest, NamesIanaNumbersOneTo145Only) {
    EXPECT_EQ(InterfaceTypeName(GetParam().ifType), QString::fromLatin1(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, InterfaceTypeNameTest,
    ::testing::Values(TypeNameRow{1, "Other"}, TypeNameRow{6, "Ethernet"}, TypeNameRow{23, "PPP"},
                      TypeNameRow{24, "Loopback"}, TypeNameRow{36, "Arcnet+"},
                      TypeNameRow{71, "IEEE80211"}, TypeNameRow{86, "ISO88025"},
                      TypeNameRow{98, "ISO88025"}, TypeNameRow{99, "Myrinet"},
                      TypeNameRow{117, "GigaBit"}, TypeNameRow{131, "Tunnel"},
                      TypeNameRow{135, "L2_VLAN"}, TypeNameRow{139, "MedaiMail"},
                      TypeNameRow{145, "TV_RcvOly"}, TypeNameRow{0, ""}, TypeNameRow{146, ""},
                      TypeNameRow{200, ""}, TypeNameRow{209, ""}, TypeNameRow{-1, ""}),
    [](const ::testing::TestParamInfo<TypeNameRow> &row) {
        return "IfType" + std::to_string(row.param.ifType < 0 ? 9999 : row.param.ifType);
    });

namespace {

struct LinkTypeRow {
    const char *label;
    unsigned arpType;
    const char *kind;
    bool wireless;
    bool loopback;
    qint32 ifType;
};

} // namespace

class InterfaceTypeOfTest : public ::testing::TestWithParam<LinkTypeRow> {};

TEST_P(InterfaceTypeOfTest, TellsLinuxInterfacesApart) {
    KernelLink link;
    link.arpType = GetParam().arpType;
    link.kind = QString::fromLatin1(GetParam().kind);
    link.wireless = GetParam().wireless;
    link.loopback = GetParam().loopback;
    EXPECT_EQ(InterfaceTypeOf(link), GetParam().ifType);
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, InterfaceTypeOfTest,
    ::testing::Values(LinkTypeRow{"ethernet", ARPHRD_ETHER, "", false, false, 6},
                      LinkTypeRow{"veth", ARPHRD_ETHER, "veth", false, false, 6},
                      LinkTypeRow{"tap", ARPHRD_ETHER, "tun", false, false, 6},
                      LinkTypeRow{"wireless", ARPHRD_ETHER, "", true, false, 71},
                      LinkTypeRow{"loopback", ARPHRD_LOOPBACK, "", false, true, 24},
                      LinkTypeRow{"ppp", ARPHRD_PPP, "", false, false, 23},
                      LinkTypeRow{"tun", ARPHRD_NONE, "tun", false, false, 131},
                      LinkTypeRow{"wireguard", ARPHRD_NONE, "wireguard", false, false, 131},
                      LinkTypeRow{"gre", ARPHRD_IPGRE, "gre", false, false, 131},
                      LinkTypeRow{"sit", ARPHRD_SIT, "", false, false, 131},
                      LinkTypeRow{"bridge", ARPHRD_ETHER, "bridge", false, false, 209},
                      LinkTypeRow{"vlan", ARPHRD_ETHER, "vlan", false, false, 135},
                      LinkTypeRow{"slip", ARPHRD_SLIP, "", false, false, 28},
                      LinkTypeRow{"unknown", 0x1234, "", false, false, 1}),
    [](const ::testing::TestParamInfo<LinkTypeRow> &row) { return testName(row.param.label); });

TEST(Adapters, DescriptionIsDriverElseKind) {
    KernelLink link;
    link.kind = QStringLiteral("bridge");
    EXPECT_EQ(InterfaceDescription(link), QStringLiteral("bridge"));
    link.driver = QStringLiteral("e1000e");
    EXPECT_EQ(InterfaceDescription(link), QStringLiteral("e1000e"));
    KernelLink radio;
    radio.wireless = true;
    EXPECT_EQ(InterfaceDescription(radio), QStringLiteral("wireless"));
}

TEST(Adapters, PrefixLengthsBecomeMasks) {
    EXPECT_EQ(PrefixToNetmask(0), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(PrefixToNetmask(8), QStringLiteral("255.0.0.0"));
    EXPECT_EQ(PrefixToNetmask(23), QStringLiteral("255.255.254.0"));
    EXPECT_EQ(PrefixToNetmask(24), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(PrefixToNetmask(30), QStringLiteral("255.255.255.252"));
    EXPECT_EQ(PrefixToNetmask(32), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(PrefixToNetmask(40), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(PrefixToNetmask(-3), QStringLiteral("0.0.0.0"));
}

// A PC with loopback, a wired adapter holding a DHCP lease, a bridge without hardware
// address and a wireless adapter without address.
class AdapterTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        tables.addLink(1, QStringLiteral("lo"), QByteArray(6, '\0'), ARPHRD_LOOPBACK).loopback =
            true;
        tables.addAddress(1, QStringLiteral("127.0.0.1"), 8);
        tables.addLink(2, QStringLiteral(" eth0 "), QByteArray::fromHex("001a2b3c4d5e")).driver =
            QStringLiteral("e1000e");
        tables.addAddress(2, QStringLiteral("192.168.0.10"), 24, true);
        tables.addAddress(2, QStringLiteral("10.1.0.5"), 16);
        tables.addLink(4, QStringLiteral("br0")).kind = QStringLiteral("bridge");
        KernelLink &radio =
            tables.addLink(0xAB, QStringLiteral("wlan0"), QByteArray::fromHex("a0b1c2d3e4f5"));
        radio.wireless = true;
        radio.driver = QStringLiteral("iwlwifi");
        tables.gatewayRows = {{2, QStringLiteral("192.168.0.1")},
                              {3, QStringLiteral("10.9.9.9")},
                              {2, QStringLiteral("192.168.0.254")}};
        files.put(QStringLiteral("/run/systemd/netif/leases/2"),
                  "# This is private data.\nADDRESS=192.168.0.10\nSERVER_ADDRESS=192.168.0.1\n");
        files.put(QStringLiteral("/run/systemd/resolve/netif/2"),
                  "LLMNR=yes\nSERVERS=192.168.0.53 2001:db8::53\n");
        files.put(QStringLiteral("/etc/resolv.conf"),
                  "# generated\nnameserver 9.9.9.9\nnameserver 1.1.1.1\n");
        host.setLocalIP(QStringLiteral("192.168.0.10"));
    }

    FakeHostNetwork host;
    FakeKernelTables tables;
    FakeSystemFiles files;
};

TEST_F(AdapterTablesTest, RowsCarryEveryFieldAndNonEmptyLists) {
    TAdaptorRows rows;
    ASSERT_EQ(GetAdapterRows(rows), 0);
    ASSERT_EQ(rows.size(), 3); // loopback is no adapter

    const TAdaptorInfo &wired = rows[0];
    EXPECT_EQ(wired.AdapterName, QStringLiteral("eth0"));
    EXPECT_EQ(wired.Description, QStringLiteral("e1000e"));
    EXPECT_EQ(wired.MacAddress, QStringLiteral("00:1A:2B:3C:4D:5E"));
    EXPECT_EQ(wired.Index, 2u);
    EXPECT_EQ(wired.IfType, 6);
    EXPECT_EQ(wired.DhcpEnabled, 1);
    EXPECT_EQ(wired.IPList, (QStringList{"192.168.0.10", "10.1.0.5"}));
    EXPECT_EQ(wired.MaskList, (QStringList{"255.255.255.0", "255.255.0.0"}));
    EXPECT_EQ(wired.GatewayList, (QStringList{"192.168.0.1", "192.168.0.254"}));
    EXPECT_EQ(wired.DhcpServerList, QStringList{"192.168.0.1"});
    EXPECT_EQ(wired.PrimaryWinsList, QStringList{QString()});
    EXPECT_EQ(wired.DnsServerList, QStringList{"192.168.0.53"});
    EXPECT_TRUE(wired.FriendlyName.isEmpty());
    EXPECT_EQ(wired.OperStatus, IF_OPER_STATUS_NONE);

    const TAdaptorInfo &bridge = rows[1];
    EXPECT_EQ(bridge.MacAddress, QStringLiteral("00:00:00:00:00:00"));
    EXPECT_EQ(bridge.IfType, 209);
    EXPECT_EQ(bridge.DhcpEnabled, 0);
    EXPECT_EQ(bridge.IPList, QStringList{"0.0.0.0"});
    EXPECT_EQ(bridge.MaskList, QStringList{"0.0.0.0"});
    EXPECT_EQ(bridge.GatewayList, QStringList{QString()});
    EXPECT_EQ(bridge.DhcpServerList, QStringList{QString()});
    // No link servers of its own: the resolver's.
    EXPECT_EQ(bridge.DnsServerList, (QStringList{"9.9.9.9", "1.1.1.1"}));
}

TEST_F(AdapterTablesTest, DhcpFlagFollowsTheFirstAddressOnly) {
    // eth0's first address is static, its second one leased.
    tables.addressRows[1].dynamic = false;
    tables.addressRows[2].dynamic = true;
    TAdaptorRows rows;
    ASSERT_EQ(GetAdapterRows(rows), 0);
    EXPECT_EQ(rows[0].DhcpEnabled, 0);
    // A static adapter names no DHCP server, even with an old lease lying around.
    EXPECT_EQ(rows[0].DhcpServerList, QStringList{QString()});
}

TEST_F(AdapterTablesTest, ReportLinesFollowTheFixedPattern) {
    QStringList lines{QStringLiteral("old content")};
    AdapterReportLines(lines);
    const QStringList expected = {
        "eth0|e1000e|",
        "00000002|Ethernet|00:1A:2B:3C:4D:5E|1|192.168.0.1|192.168.0.1||192.168.0.53|"
        "IF_OPER_STATUS_NONE",
        "2|192.168.0.10/255.255.255.0;10.1.0.5/255.255.0.0",
        "br0|bridge|",
        "00000004||00:00:00:00:00:00|0||||9.9.9.9|IF_OPER_STATUS_NONE",
        "1|0.0.0.0/0.0.0.0",
        "wlan0|iwlwifi|",
        "000000AB|IEEE80211|A0:B1:C2:D3:E4:F5|0||||9.9.9.9|IF_OPER_STATUS_NONE",
        "1|0.0.0.0/0.0.0.0",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(AdapterTablesTest, ReportWithoutDnsServersPrintsAnEmptyField) {
    files.files.remove(QStringLiteral("/etc/resolv.conf"));
    QStringList lines;
    AdapterReportLines(lines);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[4], QStringLiteral("00000004||00:00:00:00:00:00|0|||||IF_OPER_STATUS_NONE"));
}

TEST_F(AdapterTablesTest, FailuresAndEmptyTablesGiveOneLine) {
    QStringList lines;
    tables.linkRows = {tables.linkRows.first()}; // loopback only
    AdapterReportLines(lines);
    EXPECT_EQ(lines, QStringList{"no entries."});

    tables.gatewaysError = EACCES;
    AdapterReportLines(lines);
    EXPECT_EQ(lines, QStringList{qt_error_string(EACCES)});
    TAdaptorRows rows{TAdaptorInfo{}};
    EXPECT_EQ(GetAdapterRows(rows), EACCES);
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_TRUE(GetFirstGateway().isEmpty());
}

TEST_F(AdapterTablesTest, InterfaceTableTakesEachInterfacesFirstAddress) {
    QList<TAdapterInfo> table;
    ASSERT_TRUE(GetInterfaceTable(table));
    ASSERT_EQ(table.size(), 4);
    EXPECT_EQ(table[0].Address, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(table[0].Mask, QStringLiteral("255.0.0.0"));
    EXPECT_EQ(table[1].Index, 2u);
    EXPECT_EQ(table[1].Address, QStringLiteral("192.168.0.10"));
    EXPECT_EQ(table[1].Mask, QStringLiteral("255.255.255.0"));
    EXPECT_TRUE(table[2].Address.isEmpty());
    EXPECT_TRUE(table[2].Mask.isEmpty());

    tables.addressRows.clear();
    EXPECT_FALSE(GetInterfaceTable(table));
    tables.addAddress(2, QStringLiteral("192.168.0.10"), 24);
    tables.linksError = ENOBUFS;
    EXPECT_FALSE(GetInterfaceTable(table));
    EXPECT_TRUE(table.isEmpty());
}

TEST_F(AdapterTablesTest, DerivedValuesOfThePc) {
    EXPECT_EQ(GetLocalNetmask(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(GetFirstGateway(), QStringLiteral("192.168.0.1"));
    EXPECT_EQ(GetLocalBroadcast(), QStringLiteral("192.168.0.255"));

    // The first adapter has no gateway: its empty entry, not one of a later adapter.
    tables.gatewayRows = {{0xAB, QStringLiteral("10.0.0.1")}};
    EXPECT_EQ(GetFirstGateway(), QString());
}

TEST_F(AdapterTablesTest, SameAddressTwiceTakesTheLaterInterfacesMask) {
    tables.addAddress(4, QStringLiteral("192.168.0.10"), 16);
    EXPECT_EQ(GetLocalNetmask(), QStringLiteral("255.255.0.0"));
    EXPECT_EQ(GetLocalBroadcast(), QStringLiteral("192.168.255.255"));
}

TEST_F(AdapterTablesTest, UnknownAddressFallsBackToTheClassfulBroadcast) {
    host.setLocalIP(QStringLiteral("192.168.7.3"));
    EXPECT_TRUE(GetLocalNetmask().isEmpty());
    EXPECT_EQ(GetLocalBroadcast(), QStringLiteral("192.168.7.255"));
    host.setLocalIP(QStringLiteral("10.1.0.5")); // only the second address of eth0
    EXPECT_TRUE(GetLocalNetmask().isEmpty());
    EXPECT_EQ(GetLocalBroadcast(), QStringLiteral("10.255.255.255"));
    tables.addressesError = EIO;
    host.setLocalIP(QStringLiteral("192.168.0.10"));
    EXPECT_TRUE(GetLocalNetmask().isEmpty());
    EXPECT_EQ(GetLocalBroadcast(), QStringLiteral("192.168.0.255"));
}

namespace {

struct BroadcastRow {
    const char *label;
    int prefixLength;
    const char *address;
    const char *broadcast;
};

} // namespace

class LocalBroadcastTest : public ::testing::TestWithParam<BroadcastRow> {};

// Every host bit is set, also where the mask splits an octet.
TEST_P(LocalBroadcastTest, SetsEveryHostBit) {
    FakeHostNetwork host;
    FakeKernelTables tables;
    FakeSystemFiles files;
    tables.addLink(2, QStringLiteral("eth0"), QByteArray::fromHex("020000000001"));
    tables.addAddress(2, QString::fromLatin1(GetParam().address), GetParam().prefixLength);
    host.setLocalIP(QString::fromLatin1(GetParam().address));
    EXPECT_EQ(GetLocalBroadcast(), QString::fromLatin1(GetParam().broadcast));
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, LocalBroadcastTest,
    ::testing::Values(BroadcastRow{"class_c_24", 24, "192.168.0.10", "192.168.0.255"},
                      BroadcastRow{"class_b_16", 16, "172.16.5.9", "172.16.255.255"},
                      BroadcastRow{"class_a_8", 8, "10.0.2.5", "10.255.255.255"},
                      BroadcastRow{"split_23", 23, "10.0.2.5", "10.0.3.255"},
                      BroadcastRow{"split_26", 26, "192.168.0.70", "192.168.0.127"},
                      BroadcastRow{"wide_20", 20, "192.168.17.4", "192.168.31.255"}),
    [](const ::testing::TestParamInfo<BroadcastRow> &row) { return testName(row.param.label); });
