#include "netinspect/arp.h"

#include "fakehostnetwork.h"
#include "fakekerneltables.h"
#include "qtprinters.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace qev;
using qevtest::FakeHostNetwork;
using qevtest::FakeKernelTables;
using qevtest::FakeSystemFiles;

TEST(Arp, NeighbourStatesBecomeEntryTypes) {
    EXPECT_EQ(ArpTypeOf(NeighbourState::Permanent), ArpStatic);
    for (const NeighbourState state : {NeighbourState::Reachable, NeighbourState::Stale,
                                       NeighbourState::Delay, NeighbourState::Probe})
        EXPECT_EQ(ArpTypeOf(state), ArpDynamic);
    EXPECT_EQ(ArpTypeOf(NeighbourState::Incomplete), ArpInvalid);
    EXPECT_EQ(ArpTypeOf(NeighbourState::Failed), ArpInvalid);
}

TEST(Arp, TextForms) {
    EXPECT_EQ(HexBytesText(QByteArray::fromHex("010203"), false), QStringLiteral("01:02:03"));
    EXPECT_EQ(HexBytesText(QByteArray::fromHex("010203"), true), QStringLiteral("03:02:01"));
    EXPECT_EQ(HexBytesText(QByteArray::fromHex("ab"), true), QStringLiteral("AB"));
    EXPECT_EQ(HexBytesText({}, false), QString());
    EXPECT_EQ(HexBytesText(QByteArray::fromHex("00ff7f80"), false), QStringLiteral("00:FF:7F:80"));
    EXPECT_EQ(FormatMac(MacBytes{}), QStringLiteral("00:00:00:00:00:00"));
    EXPECT_EQ(FormatMac(MacBytes{0x00, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0}),
              QStringLiteral("00:A0:B0:C0:D0:E0"));
    EXPECT_EQ(MacWithColons(QStringLiteral("00A0B0C0D0E0")), QStringLiteral("00:A0:B0:C0:D0:E0"));
    // Only the first twelve characters count; a short text leaves empty pairs.
    EXPECT_EQ(MacWithColons(QStringLiteral("00A0B0C0D0E0FF")), QStringLiteral("00:A0:B0:C0:D0:E0"));
    EXPECT_EQ(MacWithColons(QStringLiteral("00A0B")), QStringLiteral("00:A0:B:::"));
}

// The PC 192.168.0.10/24 on eth0 (index 2) and a second interface (index 3).
class ArpTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        tables.addLink(1, QStringLiteral("lo"), QByteArray(6, '\0')).loopback = true;
        tables.addAddress(1, QStringLiteral("127.0.0.1"), 8);
        tables.addLink(2, QStringLiteral("eth0"), QByteArray::fromHex("02aabbccddee"));
        tables.addAddress(2, QStringLiteral("192.168.0.10"), 24);
        tables.addLink(3, QStringLiteral("eth1"), QByteArray::fromHex("02aabbccddef"));
        tables.addAddress(3, QStringLiteral("10.0.0.1"), 8);
        host.setLocalIP(QStringLiteral("192.168.0.10"));
    }
    void addNeighbour(int index, const char *address, const char *macHex, NeighbourState state) {
        tables.addNeighbour(index, QString::fromLatin1(address), QByteArray::fromHex(macHex),
                            state);
    }

    FakeHostNetwork host;
    FakeKernelTables tables;
    FakeSystemFiles files;
};

TEST_F(ArpTableTest, TableIsSortedByAddressAndKeepsLengthsAndTypes) {
    addNeighbour(2, "192.168.0.100", "020000000064", NeighbourState::Stale);
    addNeighbour(3, "10.0.0.9", "", NeighbourState::Incomplete);
    addNeighbour(2, "192.168.0.20", "0200000000140102", NeighbourState::Permanent);
    QList<ArpRow> table;
    ASSERT_TRUE(ReadArpTable(table));
    ASSERT_EQ(table.size(), 3);
    EXPECT_EQ(table[0].Addr, QStringLiteral("10.0.0.9"));
    EXPECT_EQ(table[0].PhysAddr.size(), 0);
    EXPECT_EQ(table[0].Type, ArpInvalid);
    EXPECT_EQ(table[0].Index, 3u);
    EXPECT_EQ(table[1].Addr, QStringLiteral("192.168.0.20"));
    EXPECT_EQ(table[1].PhysAddr.size(), 8);
    EXPECT_EQ(table[1].Type, ArpStatic);
    EXPECT_EQ(table[2].Addr, QStringLiteral("192.168.0.100"));
    EXPECT_EQ(table[2].Type, ArpDynamic);

    tables.neighboursError = EACCES;
    EXPECT_FALSE(ReadArpTable(table));
    EXPECT_TRUE(table.isEmpty());
}

TEST_F(ArpTableTest, MacListSkipsEntriesWithoutHardwareAddress) {
    addNeighbour(2, "192.168.0.30", "02000000001e", NeighbourState::Reachable);
    addNeighbour(2, "192.168.0.31", "", NeighbourState::Incomplete);
    addNeighbour(2, "192.168.0.4", "020000000004", NeighbourState::Failed);
    QStringList list{QStringLiteral("kept")};
    ASSERT_TRUE(ArpMacList(list));
    EXPECT_EQ(list, (QStringList{"kept", "020000000004", "02000000001E"}));

    tables.neighboursError = ENOMEM;
    EXPECT_FALSE(ArpMacList(list));
    EXPECT_EQ(list.size(), 3);
}

TEST_F(ArpTableTest, NeighboursAreDynamicOrStaticEntriesOfThePcsSubnetOnce) {
    addNeighbour(2, "192.168.0.30", "02000000001e", NeighbourState::Reachable);
    addNeighbour(2, "192.168.0.31", "", NeighbourState::Incomplete);
    addNeighbour(2, "192.168.0.32", "020000000020", NeighbourState::Failed);
    addNeighbour(2, "192.168.0.5", "020000000005", NeighbourState::Permanent);
    addNeighbour(2, "192.168.0.6", "020000000006", NeighbourState::Delay);
    addNeighbour(3, "10.0.0.7", "020000000007", NeighbourState::Stale);
    addNeighbour(3, "192.168.0.30", "02000000001e", NeighbourState::Stale); // twice
    addNeighbour(2, "192.168.1.30", "02000000011e", NeighbourState::Reachable);
    QStringList list;
    ASSERT_TRUE(ArpNeighbours(list));
    EXPECT_EQ(list, (QStringList{"192.168.0.5", "192.168.0.6", "192.168.0.30"}));

    // Without a netmask every dynamic and static entry is a neighbour, whatever its subnet.
    host.setLocalIP(QStringLiteral("172.16.0.1"));
    list.clear();
    ASSERT_TRUE(ArpNeighbours(list));
    EXPECT_EQ(list, (QStringList{"10.0.0.7", "192.168.0.5", "192.168.0.6", "192.168.0.30",
                                 "192.168.1.30"}));

    tables.neighboursError = EIO;
    list = QStringList{QStringLiteral("kept")};
    EXPECT_FALSE(ArpNeighbours(list));
    EXPECT_EQ(list, QStringList{"kept"});
}

TEST_F(ArpTableTest, FlushReachesEachInterfaceOnceAndReportsTheLast) {
    EXPECT_FALSE(FlushArpCache()); // empty cache: nothing is flushed
    EXPECT_TRUE(tables.flushCalls.isEmpty());

    addNeighbour(3, "10.0.0.7", "020000000007", NeighbourState::Stale);
    addNeighbour(2, "192.168.0.30", "02000000001e", NeighbourState::Reachable);
    addNeighbour(2, "192.168.0.31", "", NeighbourState::Incomplete);
    addNeighbour(3, "10.0.0.8", "020000000008", NeighbourState::Stale);
    tables.flushResults.insert(3, EPERM);
    // Slots follow the sorted table: 10.0.0.7 (eth1) comes first.
    EXPECT_TRUE(FlushArpCache());
    EXPECT_EQ(tables.flushCalls, (QList<int>{3, 2}));

    tables.flushCalls.clear();
    tables.flushResults = {{2, EPERM}};
    EXPECT_FALSE(FlushArpCache());
    EXPECT_EQ(tables.flushCalls, (QList<int>{3, 2}));

    tables.neighboursError = EIO;
    tables.flushCalls.clear();
    EXPECT_FALSE(FlushArpCache());
    EXPECT_TRUE(tables.flushCalls.isEmpty());
}

TEST_F(ArpTableTest, FlushReachesAtMost64Interfaces) {
    QList<int> expected;
    for (int index = 1; index <= 70; ++index) {
        tables.addNeighbour(index, QStringLiteral("10.0.%1.1").arg(index), QByteArray(6, '\1'),
                            NeighbourState::Stale);
        if (index <= 64)
            expected << index;
    }
    EXPECT_TRUE(FlushArpCache());
    EXPECT_EQ(tables.flushCalls, expected);
}

TEST_F(ArpTableTest, MacOfAnotherAddressComesFromTheCache) {
    addNeighbour(2, "192.168.0.30", "02000000001e", NeighbourState::Reachable);
    addNeighbour(2, "192.168.0.31", "", NeighbourState::Incomplete);
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.30"), false), QStringLiteral("02000000001E"));
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.30"), true), QStringLiteral("02:00:00:00:00:1E"));
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.31"), true), QString());
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.32"), true), QString());
    tables.neighboursError = EIO;
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.30"), true), QString());
}

TEST_F(ArpTableTest, MacOfThePcsOwnAddressIsItsInterfaces) {
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.10"), false), QStringLiteral("02AABBCCDDEE"));
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.10"), true), QStringLiteral("02:AA:BB:CC:DD:EE"));

    const QString marker = QStringLiteral("??:??:??:??:??:??");
    tables.linkRows[1].hardwareAddress.clear();
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.10"), false), marker);
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.10"), true), marker);
    tables.linkRows[1].hardwareAddress = QByteArray::fromHex("02aabbccddee");
    tables.linksError = EACCES;
    EXPECT_EQ(MacOfIP(QStringLiteral("192.168.0.10"), true), marker);
}
