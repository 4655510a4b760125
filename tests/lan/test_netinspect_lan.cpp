// The PC's adapters, derived values, ARP table and the search for other makers' stations,
// read in the test LAN and compared with what iproute2 reads from the same kernel tables.

#include "netinspect/adapters.h"
#include "netinspect/arp.h"
#include "netinspect/foreignsystems.h"
#include "netinspect/ipv4.h"

#include "devsimrunner.h"
#include "qtprinters.h"
#include "testlan.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace qev;
using qevtest::TestLan;

namespace {

const QString Pc = QStringLiteral("192.168.77.1");
const QString Gateway = QStringLiteral("192.168.77.254");
const QString Device1 = QStringLiteral("192.168.77.20");
const QString Device2 = QStringLiteral("192.168.77.21");

QJsonArray ipJson(TestLan &lan, const QStringList &arguments) {
    QString output;
    const int code =
        lan.run(lan.pcNamespace(),
                QStringList{QStringLiteral("ip"), QStringLiteral("-j")} + arguments, &output);
    EXPECT_EQ(code, 0) << arguments.join(u' ').toStdString();
    return QJsonDocument::fromJson(output.toUtf8()).array();
}

void ipMust(TestLan &lan, const QStringList &arguments) {
    ASSERT_EQ(lan.run(lan.pcNamespace(), QStringList{QStringLiteral("ip")} + arguments), 0)
        << arguments.join(u' ').toStdString();
}

quint32 numeric(const QString &address) {
    const IPv4Bytes b = IPToBytes(address);
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
}

QStringList states(const QJsonObject &neighbour) {
    QStringList result;
    for (const QJsonValue &state : neighbour.value(QStringLiteral("state")).toArray())
        result << state.toString();
    return result;
}

bool isUsable(const QJsonObject &neighbour) {
    static const QStringList usable = {"REACHABLE", "STALE", "DELAY", "PROBE", "PERMANENT"};
    const QStringList s = states(neighbour);
    return std::any_of(s.cbegin(), s.cend(), [](const QString &x) { return usable.contains(x); });
}

// IPv4 neighbours as iproute2 lists them.
QList<QJsonObject> ipNeighbours(TestLan &lan) {
    QList<QJsonObject> rows;
    for (const QJsonValue &value : ipJson(lan, {"-4", "neigh", "show"}))
        rows << value.toObject();
    return rows;
}

// The PC with a gateway, two device-like hosts, and beside eth0 a bridge without address
// and another holding a leased (finite-lifetime) address.
class NetInspectLan : public ::testing::Test {
protected:
    void SetUp() override {
        QEV_REQUIRE_TESTLAN();
        lan = std::make_unique<TestLan>();
        lan->setupPc(Pc + QStringLiteral("/24"), Gateway + QStringLiteral("/24"));
        device1 = lan->addDevice(Device1 + QStringLiteral("/24"));
        device2 = lan->addDevice(Device2 + QStringLiteral("/24"));
        ipMust(*lan, {"addr", "add", "172.20.0.1/16", "dev", "eth0"});
        ipMust(*lan, {"link", "add", "qevbr0", "type", "bridge"});
        ipMust(*lan, {"link", "add", "qevbr1", "type", "bridge"});
        ipMust(*lan, {"link", "set", "qevbr1", "up"});
        ipMust(*lan, {"addr", "add", "10.5.0.1/12", "dev", "qevbr1", "valid_lft", "600",
                      "preferred_lft", "600"});
    }
    void TearDown() override {
        // This process is the PC and outlives the LAN: what was added to it goes.
        if (lan) {
            for (const char *name : {"qevbr0", "qevbr1"})
                lan->run(lan->pcNamespace(), {"ip", "link", "del", name});
        }
    }

    std::unique_ptr<TestLan> lan;
    QString device1;
    QString device2;
};

} // namespace

TEST_F(NetInspectLan, AdaptersMatchIproute2) {
    std::map<QString, QStringList> gateways; // by interface name
    for (const QJsonValue &value : ipJson(*lan, {"-4", "route", "show", "table", "main"})) {
        const QJsonObject route = value.toObject();
        if (route.value(QStringLiteral("dst")).toString() == QLatin1String("default") &&
            route.contains(QStringLiteral("gateway")))
            gateways[route.value(QStringLiteral("dev")).toString()]
                << route.value(QStringLiteral("gateway")).toString();
    }

    TAdaptorRows rows;
    ASSERT_EQ(GetAdapterRows(rows), 0);
    qsizetype next = 0;
    int checked = 0;
    for (const QJsonValue &value : ipJson(*lan, {"addr", "show"})) {
        const QJsonObject link = value.toObject();
        const QString name = link.value(QStringLiteral("ifname")).toString();
        if (link.value(QStringLiteral("link_type")).toString() == QLatin1String("loopback"))
            continue;
        SCOPED_TRACE(name.toStdString());
        ASSERT_LT(next, rows.size());
        const TAdaptorInfo &row = rows[next++];
        EXPECT_EQ(row.AdapterName, name);
        EXPECT_EQ(row.Index, quint32(link.value(QStringLiteral("ifindex")).toInt()));
        const QString mac = link.value(QStringLiteral("address")).toString().toUpper();
        EXPECT_EQ(row.MacAddress, mac.isEmpty() ? QStringLiteral("00:00:00:00:00:00") : mac);

        QStringList addresses;
        QStringList masks;
        bool firstDynamic = false;
        for (const QJsonValue &a : link.value(QStringLiteral("addr_info")).toArray()) {
            const QJsonObject info = a.toObject();
            if (info.value(QStringLiteral("family")).toString() != QLatin1String("inet"))
                continue;
            if (addresses.isEmpty())
                firstDynamic = info.value(QStringLiteral("dynamic")).toBool();
            addresses << info.value(QStringLiteral("local")).toString();
            masks << PrefixToNetmask(info.value(QStringLiteral("prefixlen")).toInt());
        }
        if (addresses.isEmpty()) {
            addresses << QStringLiteral("0.0.0.0");
            masks << QStringLiteral("0.0.0.0");
        }
        EXPECT_EQ(row.IPList, addresses);
        EXPECT_EQ(row.MaskList, masks);
        EXPECT_EQ(row.DhcpEnabled, firstDynamic ? 1 : 0);
        const QStringList expectedGateways =
            gateways.count(name) ? gateways[name] : QStringList{QString()};
        EXPECT_EQ(row.GatewayList, expectedGateways);
        EXPECT_EQ(row.PrimaryWinsList, QStringList{QString()});
        EXPECT_EQ(row.DhcpServerList.size(), 1);
        ++checked;

        if (name == QLatin1String("eth0")) {
            EXPECT_EQ(row.IfType, 6);
            EXPECT_EQ(row.Description, QStringLiteral("veth"));
            EXPECT_EQ(row.IPList, (QStringList{Pc, "172.20.0.1"}));
            EXPECT_EQ(row.GatewayList, QStringList{Gateway});
            EXPECT_EQ(row.DhcpEnabled, 0);
        } else if (name == QLatin1String("qevbr0")) {
            EXPECT_EQ(row.IfType, 209);
            EXPECT_EQ(row.Description, QStringLiteral("bridge"));
            EXPECT_EQ(row.DhcpEnabled, 0);
        } else if (name == QLatin1String("qevbr1")) {
            EXPECT_EQ(row.IfType, 209);
            EXPECT_EQ(row.DhcpEnabled, 1);
            EXPECT_EQ(row.MaskList, QStringList{"255.240.0.0"});
        }
    }
    EXPECT_EQ(next, rows.size());
    EXPECT_EQ(checked, 3);
}

TEST_F(NetInspectLan, ReportLinesFollowThePattern) {
    QStringList lines;
    AdapterReportLines(lines);
    ASSERT_EQ(lines.size(), 9);
    const QRegularExpression second(QStringLiteral(
        "^[0-9A-F]{8}\\|[A-Za-z0-9_+]*\\|([0-9A-F]{2}:){5}[0-9A-F]{2}\\|[01]\\|[0-9.]*\\|[0-9.]*\\|"
        "\\|[0-9.]*\\|IF_OPER_STATUS_NONE$"));
    const QRegularExpression third(
        QStringLiteral("^[1-9][0-9]*\\|[0-9.]+/[0-9.]+(;[0-9.]+/[0-9.]+)*$"));
    for (int k = 0; k < lines.size(); k += 3) {
        EXPECT_TRUE(lines[k].endsWith(u'|')) << lines[k].toStdString();
        EXPECT_EQ(lines[k].count(u'|'), 2) << lines[k].toStdString();
        EXPECT_TRUE(second.match(lines[k + 1]).hasMatch()) << lines[k + 1].toStdString();
        EXPECT_TRUE(third.match(lines[k + 2]).hasMatch()) << lines[k + 2].toStdString();
    }
    const qsizetype eth0 = lines.indexOf(QStringLiteral("eth0|veth|"));
    ASSERT_GE(eth0, 0);
    EXPECT_TRUE(lines[eth0 + 1].contains(QStringLiteral("|Ethernet|")));
    EXPECT_TRUE(lines[eth0 + 1].contains(QStringLiteral("|0|192.168.77.254|")));
    EXPECT_EQ(lines[eth0 + 2],
              QStringLiteral("2|192.168.77.1/255.255.255.0;172.20.0.1/255.255.0.0"));
}

TEST_F(NetInspectLan, DerivedValuesMatchIproute2) {
    ASSERT_EQ(GetLocalIP(), Pc);
    QString mask;
    QString broadcast;
    for (const QJsonValue &value : ipJson(*lan, {"-4", "addr", "show"})) {
        for (const QJsonValue &a : value.toObject().value(QStringLiteral("addr_info")).toArray()) {
            const QJsonObject info = a.toObject();
            if (info.value(QStringLiteral("local")).toString() == Pc) {
                mask = PrefixToNetmask(info.value(QStringLiteral("prefixlen")).toInt());
                broadcast = info.value(QStringLiteral("broadcast")).toString();
            }
        }
    }
    EXPECT_EQ(GetLocalNetmask(), mask);
    EXPECT_EQ(GetLocalNetmask(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(GetLocalBroadcast(), QStringLiteral("192.168.77.255"));
    EXPECT_EQ(GetFirstGateway(), Gateway);

    QList<TAdapterInfo> table;
    ASSERT_TRUE(GetInterfaceTable(table));
    const auto eth0 = std::find_if(table.cbegin(), table.cend(),
                                   [](const TAdapterInfo &r) { return r.Address == Pc; });
    ASSERT_NE(eth0, table.cend());
    EXPECT_EQ(eth0->Mask, mask);

    // A mask that splits an octet: the broadcast the kernel itself derives ("brd +").
    ipMust(*lan, {"addr", "flush", "dev", "eth0"});
    ipMust(*lan, {"addr", "add", "10.0.2.5/23", "brd", "+", "dev", "eth0"});
    ipMust(*lan, {"route", "add", "default", "dev", "eth0"});
    ASSERT_EQ(GetLocalIP(), QStringLiteral("10.0.2.5"));
    for (const QJsonValue &value : ipJson(*lan, {"-4", "addr", "show", "dev", "eth0"})) {
        for (const QJsonValue &a : value.toObject().value(QStringLiteral("addr_info")).toArray())
            broadcast = a.toObject().value(QStringLiteral("broadcast")).toString();
    }
    EXPECT_EQ(broadcast, QStringLiteral("10.0.3.255"));
    EXPECT_EQ(GetLocalBroadcast(), broadcast);
    EXPECT_EQ(GetLocalNetmask(), QStringLiteral("255.255.254.0"));
}

TEST_F(NetInspectLan, ArpTableMatchesIproute2AfterPings) {
    ASSERT_TRUE(Ping(Device1, 2000));
    ASSERT_TRUE(Ping(Device2, 2000));
    EXPECT_FALSE(Ping(QStringLiteral("192.168.77.99"), 300)); // nobody: an unresolved entry
    ipMust(*lan, {"neigh", "add", "192.168.77.50", "lladdr", "02:00:00:00:00:50", "dev", "eth0",
                  "nud", "permanent"});

    QList<ArpRow> table;
    ASSERT_TRUE(ReadArpTable(table));
    const QList<QJsonObject> neighbours = ipNeighbours(*lan);
    ASSERT_EQ(table.size(), neighbours.size());
    QStringList expectedNeighbours;
    QStringList expectedMacs;
    for (const QJsonObject &n : neighbours) {
        const QString address = n.value(QStringLiteral("dst")).toString();
        const QString mac = n.value(QStringLiteral("lladdr")).toString().toUpper();
        const auto row = std::find_if(table.cbegin(), table.cend(),
                                      [&](const ArpRow &r) { return r.Addr == address; });
        ASSERT_NE(row, table.cend()) << address.toStdString();
        EXPECT_EQ(HexBytesText(row->PhysAddr, false), mac);
        const QStringList s = states(n);
        const quint32 type = s.contains(QStringLiteral("PERMANENT")) ? ArpStatic
                             : isUsable(n)                           ? ArpDynamic
                                                                     : ArpInvalid;
        EXPECT_EQ(row->Type, type) << address.toStdString() << " " << s.join(u',').toStdString();
        if (isUsable(n) && SameSubnet(Pc, address, QStringLiteral("255.255.255.0")))
            expectedNeighbours << address;
        if (!mac.isEmpty())
            expectedMacs << QString(mac).remove(u':');
        EXPECT_EQ(MacOfIP(address, true),
                  mac.isEmpty() ? QString() : HexBytesText(row->PhysAddr, false));
    }
    EXPECT_TRUE(std::is_sorted(table.cbegin(), table.cend(), [](const ArpRow &a, const ArpRow &b) {
        return numeric(a.Addr) < numeric(b.Addr);
    }));

    std::sort(expectedNeighbours.begin(), expectedNeighbours.end(),
              [](const QString &a, const QString &b) { return numeric(a) < numeric(b); });
    QStringList found;
    ASSERT_TRUE(ArpNeighbours(found));
    EXPECT_EQ(found, expectedNeighbours);
    EXPECT_TRUE(found.contains(Device1));
    EXPECT_TRUE(found.contains(Device2));
    EXPECT_TRUE(found.contains(QStringLiteral("192.168.77.50")));
    EXPECT_FALSE(found.contains(QStringLiteral("192.168.77.99")));

    QStringList macs;
    ASSERT_TRUE(ArpMacList(macs));
    std::sort(macs.begin(), macs.end());
    std::sort(expectedMacs.begin(), expectedMacs.end());
    EXPECT_EQ(macs, expectedMacs);

    // The PC's own address: the hardware address of eth0.
    QString ownMac;
    for (const QJsonValue &value : ipJson(*lan, {"link", "show", "eth0"}))
        ownMac = value.toObject().value(QStringLiteral("address")).toString().toUpper();
    EXPECT_EQ(MacOfIP(Pc, true), ownMac);
    EXPECT_EQ(MacOfIP(Pc, false), QString(ownMac).remove(u':'));
}

TEST_F(NetInspectLan, FlushEmptiesTheArpTable) {
    ASSERT_TRUE(Ping(Device1, 2000));
    ASSERT_TRUE(Ping(Device2, 2000));
    ASSERT_GE(ipNeighbours(*lan).size(), 2);

    EXPECT_TRUE(FlushArpCache());
    for (const QJsonObject &n : ipNeighbours(*lan))
        ADD_FAILURE() << "left behind: " << n.value(QStringLiteral("dst")).toString().toStdString()
                      << " " << states(n).join(u',').toStdString();
    QStringList found;
    ASSERT_TRUE(ArpNeighbours(found));
    EXPECT_TRUE(found.isEmpty());
    EXPECT_FALSE(FlushArpCache()); // nothing left to flush

    // Like `ip neigh flush`, a flush leaves permanent entries alone.
    ipMust(*lan, {"neigh", "add", "192.168.77.50", "lladdr", "02:00:00:00:00:50", "dev", "eth0",
                  "nud", "permanent"});
    ASSERT_TRUE(Ping(Device1, 2000));
    EXPECT_TRUE(FlushArpCache());
    const QList<QJsonObject> left = ipNeighbours(*lan);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].value(QStringLiteral("dst")).toString(), QStringLiteral("192.168.77.50"));
}

namespace {

// Takes CAP_NET_ADMIN out of the calling thread's effective set (capabilities belong to
// threads); other threads keep theirs.
bool dropNetAdminOfThisThread() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    data[CAP_TO_INDEX(CAP_NET_ADMIN)].effective &= ~CAP_TO_MASK(CAP_NET_ADMIN);
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace

TEST_F(NetInspectLan, FlushWithoutTheRightFailsAndChangesNothing) {
    ASSERT_TRUE(Ping(Device1, 2000));
    ASSERT_TRUE(Ping(Device2, 2000));
    QStringList before;
    for (const QJsonObject &n : ipNeighbours(*lan))
        before << n.value(QStringLiteral("dst")).toString();
    ASSERT_GE(before.size(), 2);

    bool dropped = false;
    bool flushed = true;
    std::thread unprivileged([&] {
        dropped = dropNetAdminOfThisThread();
        if (dropped)
            flushed = FlushArpCache();
    });
    unprivileged.join();
    ASSERT_TRUE(dropped);
    EXPECT_FALSE(flushed);
    QStringList after;
    for (const QJsonObject &n : ipNeighbours(*lan))
        after << n.value(QStringLiteral("dst")).toString();
    EXPECT_EQ(after, before);

    // Also when only permanent entries are left, which a flush would not touch anyway.
    ASSERT_TRUE(FlushArpCache());
    ipMust(*lan, {"neigh", "add", "192.168.77.50", "lladdr", "02:00:00:00:00:50", "dev", "eth0",
                  "nud", "permanent"});
    flushed = true;
    std::thread again([&] { flushed = !dropNetAdminOfThisThread() || FlushArpCache(); });
    again.join();
    EXPECT_FALSE(flushed);
    EXPECT_TRUE(FlushArpCache());
}

TEST_F(NetInspectLan, ScanFindsTheStationAndSkipsHalfAnswers) {
    const QStringList full = {QStringLiteral("--lenz"),
                              QStringLiteral("answer=both,version=3.6,ip=0.0.0.0")};
    const QStringList half = {QStringLiteral("--lenz"),
                              QStringLiteral("answer=first,version=4.1,ip=0.0.0.0")};
    qevtest::DevsimRunner station;
    qevtest::DevsimRunner halfStation;
    ASSERT_TRUE(station.attach(lan->start(device1, QStringLiteral(QEV_DEVSIM_PATH), full)))
        << station.diagnostics().toStdString();
    ASSERT_TRUE(halfStation.attach(lan->start(device2, QStringLiteral(QEV_DEVSIM_PATH), half)))
        << halfStation.diagnostics().toStdString();
    ASSERT_TRUE(Ping(Device1, 2000));
    ASSERT_TRUE(Ping(Device2, 2000));

    QStringList candidates;
    ASSERT_TRUE(ArpNeighbours(candidates));
    int steps = 0;
    QStringList statuses;
    ForeignScanHooks hooks;
    hooks.step = [&] {
        ++steps;
    };
    hooks.status = [&](const QString &text) {
        statuses << text;
    };
    QList<TZentrale> list;
    EXPECT_TRUE(ScanForeignSystems(list, 500, hooks));
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].IP, Device1);
    EXPECT_EQ(list[0].Port, 5550);
    EXPECT_EQ(list[0].Kind, ForeignLenz);
    EXPECT_EQ(list[0].Version, QStringLiteral("3.6"));
    QString device1Mac;
    for (const QJsonObject &n : ipNeighbours(*lan)) {
        if (n.value(QStringLiteral("dst")).toString() == Device1)
            device1Mac = n.value(QStringLiteral("lladdr")).toString().toUpper();
    }
    EXPECT_EQ(list[0].MAC, device1Mac);
    EXPECT_FALSE(device1Mac.isEmpty());

    // Every candidate answers a ping here: five steps each; every one but the station goes
    // on to the other makers' steps.
    EXPECT_EQ(steps, 5 * candidates.size());
    EXPECT_EQ(statuses.count(QStringLiteral("Lenz...")), candidates.size());
    EXPECT_EQ(statuses.count(QStringLiteral("ECoS...")), candidates.size() - 1);
    EXPECT_EQ(statuses.count(QStringLiteral("Märklin...")), candidates.size() - 1);

    // The half station got both requests and still is not listed.
    QStringList halfReceived;
    for (const QString &line : halfStation.lines(100)) {
        if (line.startsWith(QStringLiteral("lenz rx ")))
            halfReceived << line.section(u' ', 3);
    }
    EXPECT_EQ(halfReceived, (QStringList{"FFFEF103F2", "FFFE212100"}));
}
