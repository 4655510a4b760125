// The device link on a LAN of network namespaces against qev-devsim: the paths of the
// network-settings datagram, discovery by a real broadcast, a device that moves to the
// address it was given, a settings restore that moves the device only when asked, and ICMP
// echo over both socket kinds. The protocol's own ports are
// used: every test process has a network of its own.

#include "devicelink/devicelink.h"
#include "devicelink/discovery.h"
#include "devicelink/identification.h"
#include "devicelink/netsettings.h"
#include "devsimrunner.h"
#include "flows/backup.h"
#include "netinspect/ipv4.h"
#include "netinspect/linuxhostnetwork.h"
#include "testlan.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

using namespace qevtest;

namespace {

const QString PcAddress = QStringLiteral("192.168.77.1");
const QString DeviceAddress = QStringLiteral("192.168.77.10");
constexpr quint16 BasePort = 11080;

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// A destination as "address:port".
QString endpoint(const QString &ip, quint16 port) {
    return ip + QLatin1Char(':') + QString::number(port);
}

class Lan : public testing::Test {
protected:
    void SetUp() override {
        QEV_REQUIRE_TESTLAN();
        ASSERT_TRUE(dir.isValid());
        lan = std::make_unique<TestLan>();
    }

    // A device namespace at cidr with one simulated device, bound to every address as a
    // device's stack is. Returns its log.
    DevsimRunner *addSimulator(const QString &cidr, const QString &spec,
                               const QStringList &extra = {}) {
        const QString ns = lan->addDevice(cidr);
        QProcess *process =
            lan->start(ns, QStringLiteral(QEV_DEVSIM_PATH),
                       QStringList{QStringLiteral("--device"), spec, QStringLiteral("--bind"),
                                   QStringLiteral("0.0.0.0"), QStringLiteral("--settings"),
                                   dir.filePath(QStringLiteral("codes.ini"))} +
                           extra);
        sims.push_back(std::make_unique<DevsimRunner>());
        if (!sims.back()->attach(process))
            ADD_FAILURE() << qPrintable(sims.back()->diagnostics());
        simNamespaces << ns;
        return sims.back().get();
    }

    std::unique_ptr<qev::DeviceLink> makeLink() {
        return std::make_unique<qev::DeviceLink>(qev::ProtocolPorts{},
                                                 qev::DeviceCodes::placeholders(), [] {});
    }

    QTemporaryDir dir;
    std::unique_ptr<TestLan> lan;
    std::vector<std::unique_ptr<DevsimRunner>> sims; // before lan goes, which owns the processes
    QStringList simNamespaces;
};

// The datagram that programs 192.168.7.20/24 and the port into a device of this class
// (the header depends on the class).
QByteArray settingsDatagram(quint8 currentClass, quint16 port) {
    qev::NetSettingsInput input;
    input.currentClass = currentClass;
    input.address = QStringLiteral("192.168.7.20");
    input.mask = QStringLiteral("255.255.255.0");
    input.port = QString::number(port);
    input.deviceType = qev::DeviceTypeFerrano;
    std::array<quint8, qev::proto::CommandBufferSize> buffer{};
    const qev::NetSettingsDatagram built = qev::BuildNetSettings(buffer, input);
    return QByteArray(reinterpret_cast<const char *>(buffer.data()), built.length);
}

struct FanOutRow {
    const char *name;
    const char *version; // the simulated class-17 device's firmware
    bool secondPass;
};

void PrintTo(const FanOutRow &row, std::ostream *os) {
    *os << row.name;
}

class FanOut : public Lan, public testing::WithParamInterface<FanOutRow> {};

// The device is identified, then sent its new settings in a network it is not in. Its
// namespace is the PC's route to foreign networks, so that it sees the directed broadcasts
// of other networks that a PC sends to its gateway.
TEST_P(FanOut, EveryPathSeenOnTheWireAndAtTheDevice) {
    const quint16 port = 11082;
    lan->setupPc(PcAddress + QStringLiteral("/24"));
    DevsimRunner *device =
        addSimulator(DeviceAddress + QStringLiteral("/24"),
                     QStringLiteral("class=17,version=%1,ip=192.168.77.10,port=%2")
                         .arg(GetParam().version)
                         .arg(port));
    ASSERT_EQ(lan->run(lan->pcNamespace(),
                       {QStringLiteral("ip"), QStringLiteral("route"), QStringLiteral("replace"),
                        QStringLiteral("default"), QStringLiteral("via"), DeviceAddress}),
              0);

    const auto link = makeLink();
    {
        qev::CurrentDevice current = link->current();
        current.host = DeviceAddress;
        current.port = port;
        link->setCurrent(current);
    }
    qev::IdentifyExchange(*link, true);
    ASSERT_EQ(link->current().deviceClass, 17);

    const QByteArray datagram = settingsDatagram(link->current().deviceClass, port);
    ASSERT_EQ(datagram.size(), 27);
    ASSERT_EQ(datagram.left(3), hex("F8AA51"));
    const QByteArray oldHeader = hex("F455AA") + datagram.mid(3);

    UdpCapture capture;
    ASSERT_TRUE(capture.isOpen());
    link->BroadcastFanOut(link->current().deviceClass, DeviceAddress,
                          QStringLiteral("192.168.7.20"), QStringLiteral("255.255.255.0"), port,
                          std::span(reinterpret_cast<const quint8 *>(datagram.constData()),
                                    std::size_t(datagram.size())));

    struct Path {
        QString to;
        QByteArray payload;
    };
    std::vector<Path> expected = {
        {endpoint(DeviceAddress, BasePort), datagram},
        {endpoint(QStringLiteral("192.168.255.255"), port), datagram},
        {endpoint(QStringLiteral("192.255.255.255"), port), datagram},
        {endpoint(QStringLiteral("255.255.255.255"), BasePort), datagram},
        {endpoint(QStringLiteral("255.255.255.255"), port), datagram},
    };
    if (GetParam().secondPass) {
        expected.push_back({endpoint(QStringLiteral("192.168.255.255"), port), oldHeader});
        expected.push_back({endpoint(QStringLiteral("192.255.255.255"), port), oldHeader});
        expected.push_back({endpoint(QStringLiteral("255.255.255.255"), BasePort), oldHeader});
    }

    QList<CapturedDatagram> wire = capture.take();
    wire.removeIf([](const CapturedDatagram &d) { return d.payload.size() != 27; });
    ASSERT_EQ(wire.size(), qsizetype(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(endpoint(wire[i].dstIp, wire[i].dstPort), expected[i].to);
        EXPECT_EQ(wire[i].srcIp, PcAddress);
        EXPECT_EQ(wire[i].payload.toHex(), expected[i].payload.toHex());
    }

    QList<DevsimRx> seen = device->rx(300);
    seen.removeIf([](const DevsimRx &d) { return d.payload.size() != 27; });
    ASSERT_EQ(seen.size(), qsizetype(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(endpoint(seen[i].dstIp, seen[i].dstPort), expected[i].to);
        EXPECT_EQ(seen[i].payload.toHex(), expected[i].payload.toHex());
    }
}

INSTANTIATE_TEST_SUITE_P(Class17, FanOut,
                         testing::Values(FanOutRow{"Version7_4", "7.4", true},
                                         FanOutRow{"Version7_5", "7.5", false},
                                         FanOutRow{"Version8_0", "8.0", false},
                                         FanOutRow{"Version6_9", "6.9", false}),
                         [](const auto &row) { return std::string(row.param.name); });

// An address at which the device cannot have been found skips only the send to it.
TEST_F(Lan, FanOutWithoutAUsableOldAddressSendsOnlyTheBroadcasts) {
    const quint16 port = 11083;
    lan->setupPc(PcAddress + QStringLiteral("/24"), QStringLiteral("192.168.77.254/24"));
    const QByteArray datagram = settingsDatagram(27, port);
    const auto link = makeLink();
    for (const QString &oldAddress :
         {QString(), QStringLiteral("0.1.2.3"), QStringLiteral("10.0.0")}) {
        SCOPED_TRACE(qPrintable(oldAddress));
        UdpCapture capture;
        ASSERT_TRUE(capture.isOpen());
        link->BroadcastFanOut(27, oldAddress, QStringLiteral("192.168.7.20"),
                              QStringLiteral("255.255.255.0"), port,
                              std::span(reinterpret_cast<const quint8 *>(datagram.constData()),
                                        std::size_t(datagram.size())));
        QStringList destinations;
        for (const CapturedDatagram &d : capture.take()) {
            if (d.payload == datagram)
                destinations << endpoint(d.dstIp, d.dstPort);
        }
        EXPECT_EQ(destinations, (QStringList{endpoint(QStringLiteral("192.168.255.255"), port),
                                             endpoint(QStringLiteral("192.255.255.255"), port),
                                             endpoint(QStringLiteral("255.255.255.255"), BasePort),
                                             endpoint(QStringLiteral("255.255.255.255"), port)}));
    }
}

// Two devices in the PC's network and one that was given a foreign address all answer the
// broadcast and are asked for their class.
TEST_F(Lan, DiscoveryFindsEveryDeviceByBroadcast) {
    lan->setupPc(PcAddress + QStringLiteral("/24"));
    addSimulator(QStringLiteral("192.168.77.10/24"),
                 QStringLiteral("class=17,ip=192.168.77.10,mac=02:81:7E:00:00:10,port=11082"));
    addSimulator(QStringLiteral("192.168.77.11/24"),
                 QStringLiteral("class=22,ip=192.168.77.11,mask=255.255.0.0,"
                                "mac=02:81:7E:00:00:11,port=11081"));
    addSimulator(QStringLiteral("10.1.2.3/8"),
                 QStringLiteral("class=27,ip=10.1.2.3,mask=255.0.0.0,mac=02:81:7E:01:02:03,"
                                "port=11083"));

    QList<qev::DeviceRecord> found;
    ASSERT_TRUE(qev::DiscoverDevices(found, 1500, QStringLiteral("192.168.77.255"),
                                     qev::ProtocolPorts{}, [] {}));
    std::sort(found.begin(), found.end(),
              [](const qev::DeviceRecord &a, const qev::DeviceRecord &b) {
                  return a.address < b.address;
              });
    const QList<qev::DeviceRecord> expected = {
        {QStringLiteral("10.1.2.3"),
         QStringLiteral("255.0.0.0"),
         {0x02, 0x81, 0x7E, 0x01, 0x02, 0x03},
         11083,
         27},
        {QStringLiteral("192.168.77.10"),
         QStringLiteral("255.255.255.0"),
         {0x02, 0x81, 0x7E, 0x00, 0x00, 0x10},
         11082,
         17},
        {QStringLiteral("192.168.77.11"),
         QStringLiteral("255.255.0.0"),
         {0x02, 0x81, 0x7E, 0x00, 0x00, 0x11},
         11081,
         22},
    };
    ASSERT_EQ(found.size(), expected.size());
    for (qsizetype i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].address, expected[i].address);
        EXPECT_EQ(found[i].netmask, expected[i].netmask);
        EXPECT_EQ(found[i].mac, expected[i].mac);
        EXPECT_EQ(found[i].port, expected[i].port);
        EXPECT_EQ(found[i].deviceClass, expected[i].deviceClass);
    }
    // Each device got the one broadcast request, then the identification on its own port.
    for (std::size_t i = 0; i < sims.size(); ++i) {
        const QList<DevsimRx> rx = sims[i]->rx();
        ASSERT_GE(rx.size(), 2) << i;
        EXPECT_EQ(endpoint(rx[0].dstIp, rx[0].dstPort),
                  endpoint(QStringLiteral("192.168.77.255"), BasePort));
        EXPECT_EQ(rx[0].srcIp, PcAddress);
        EXPECT_EQ(rx[0].payload, hex("F5"));
        EXPECT_EQ(rx[1].payload, hex("0F"));
        EXPECT_NE(rx[1].dstPort, BasePort);
    }
}

// The simulated device takes the datagram like a device: its interface gets the new address
// and its own socket the new port, and there it answers the program.
TEST_F(Lan, DeviceAnswersAtTheAddressItWasGiven) {
    lan->setupPc(PcAddress + QStringLiteral("/24"));
    DevsimRunner *device =
        addSimulator(DeviceAddress + QStringLiteral("/24"),
                     QStringLiteral("class=27,version=3.1,ip=192.168.77.10,port=11082"),
                     {QStringLiteral("--interface"), QStringLiteral("eth0")});

    qev::NetSettingsInput input;
    input.currentClass = 27;
    input.address = QStringLiteral("192.168.77.20");
    input.mask = QStringLiteral("255.255.255.0");
    input.port = QStringLiteral("11083");
    input.deviceType = qev::DeviceTypeFerrano;
    std::array<quint8, qev::proto::CommandBufferSize> buffer{};
    const qev::NetSettingsDatagram built = qev::BuildNetSettings(buffer, input);
    ASSERT_EQ(built.length, 27);

    const auto link = makeLink();
    link->BroadcastFanOut(27, DeviceAddress, input.address, input.mask, built.port,
                          std::span<const quint8>(buffer).first(std::size_t(built.length)));
    ASSERT_TRUE(device->waitForLine(QStringLiteral("programmed ip=192.168.77.20")))
        << qPrintable(device->diagnostics());
    EXPECT_TRUE(device->lines().contains(QStringLiteral("listen 0.0.0.0:11083")));

    QString addresses;
    ASSERT_EQ(lan->run(simNamespaces[0],
                       {QStringLiteral("ip"), QStringLiteral("-4"), QStringLiteral("-o"),
                        QStringLiteral("addr"), QStringLiteral("show"), QStringLiteral("eth0")},
                       &addresses),
              0);
    EXPECT_TRUE(addresses.contains(QStringLiteral("192.168.77.20/24"))) << qPrintable(addresses);
    EXPECT_FALSE(addresses.contains(DeviceAddress + QLatin1Char('/'))) << qPrintable(addresses);

    qev::LinuxHostNetwork host;
    EXPECT_TRUE(host.ping(QStringLiteral("192.168.77.20"), 2000));
    EXPECT_FALSE(host.ping(DeviceAddress, 300));

    {
        qev::CurrentDevice current = link->current();
        current.host = QStringLiteral("192.168.77.20");
        current.port = 11083;
        link->setCurrent(current);
    }
    const qev::IdentificationResult identified = qev::IdentifyExchange(*link, true);
    EXPECT_FALSE(identified.noAnswer);
    EXPECT_EQ(link->current().deviceClass, 27);
    EXPECT_EQ(link->current().versionMajor, 3);
    EXPECT_EQ(link->current().versionMinor, 1);
    const QList<DevsimRx> rx = device->rx();
    ASSERT_FALSE(rx.isEmpty());
    EXPECT_EQ(endpoint(rx.last().dstIp, rx.last().dstPort),
              endpoint(QStringLiteral("192.168.77.20"), 11083));
}

// Answers yes to every question of a restore.
class AgreeingRestore final : public qev::flow::RestoreProgress {
public:
    bool confirm(const qev::Confirmation &) override { return true; }
    bool confirmReplacement(const QString &, const QString &) override { return true; }
    bool confirmChanges(const QList<qev::backup::FieldChange> &,
                        const QList<qev::backup::BoosterBackup> &) override {
        return true;
    }
};

// A file with another address and another S88 setting: without being asked for the network,
// the restore writes the setting and leaves the device where it is; asked, it moves the
// device through the network programming and reads everything back there.
TEST_F(Lan, RestoreMovesTheDeviceOnlyWhenAsked) {
    lan->setupPc(PcAddress + QStringLiteral("/24"));
    DevsimRunner *device =
        addSimulator(DeviceAddress + QStringLiteral("/24"),
                     QStringLiteral("class=17,version=7.4,ip=192.168.77.10,port=11082"),
                     {QStringLiteral("--interface"), QStringLiteral("eth0")});
    const auto link = makeLink();
    link->setCurrent({DeviceAddress, 11082});
    const qev::IdentificationResult identified = qev::IdentifyExchange(*link, true);
    ASSERT_TRUE(identified.dispatch);
    qev::backup::Backup file = qev::flow::TakeBackup(*link, identified, {});
    ASSERT_TRUE(file.network && file.page(QStringLiteral("s88")));
    file.network->address = QStringLiteral("192.168.77.20");
    for (qev::backup::PageBackup &page : file.pages) {
        if (page.page == QLatin1String("s88"))
            page.values[QStringLiteral("bus2")] = 7;
    }

    qev::flow::RestoreOptions options;
    options.search = {PcAddress, {}, [] {}, 1000};
    options.ping = qev::Ping;
    AgreeingRestore progress;
    const qev::flow::Restored pagesOnly =
        qev::flow::RestoreBackup(*link, identified, file, options, progress);
    EXPECT_EQ(pagesOnly.outcome, qev::flow::Outcome::Done);
    EXPECT_EQ(pagesOnly.changes, (QList<qev::backup::FieldChange>{{"s88", "bus2", "0", "7"}}));
    EXPECT_FALSE(pagesOnly.network);
    EXPECT_TRUE(pagesOnly.notTaken.isEmpty());
    EXPECT_EQ(link->current().host, DeviceAddress);

    options.network = true;
    file.pages.first().values[QStringLiteral("bus2")] = 9;
    const qev::flow::Restored moved =
        qev::flow::RestoreBackup(*link, identified, file, options, progress);
    EXPECT_EQ(moved.outcome, qev::flow::Outcome::Done);
    EXPECT_EQ(moved.changes, (QList<qev::backup::FieldChange>{
                                 {"network", "address", DeviceAddress, "192.168.77.20"},
                                 {"s88", "bus2", "7", "9"}}));
    ASSERT_TRUE(moved.network);
    EXPECT_EQ(moved.network->outcome, qev::flow::Outcome::Done);
    EXPECT_TRUE(moved.notTaken.isEmpty());
    EXPECT_TRUE(device->waitForLine(QStringLiteral("programmed ip=192.168.77.20")));
    EXPECT_EQ(link->current().host, QStringLiteral("192.168.77.20"));
}

// Writes a sysctl of this process's own (private) network namespace.
bool setPingGroupRange(const char *range) {
    QFile file(QStringLiteral("/proc/sys/net/ipv4/ping_group_range"));
    return file.open(QIODevice::WriteOnly) && file.write(range) > 0;
}

struct PingRow {
    const char *name;
    qev::LinuxHostNetwork::PingPath path;
    const char *groupRange; // net.ipv4.ping_group_range of the PC
    const char *address;
    bool answers;
};

void PrintTo(const PingRow &row, std::ostream *os) {
    *os << row.name;
}

class Ping : public Lan, public testing::WithParamInterface<PingRow> {};

TEST_P(Ping, AnswersOnlyFromAPresentAddress) {
    lan->setupPc(PcAddress + QStringLiteral("/24"));
    lan->addHost(DeviceAddress + QStringLiteral("/24"));
    ASSERT_TRUE(setPingGroupRange(GetParam().groupRange));
    qev::LinuxHostNetwork host;
    host.setPingPath(GetParam().path);
    // The first answer of a freshly wired LAN needs an ARP round first, and on a busy
    // machine with other test LANs being built that can take longer than half a second.
    EXPECT_EQ(host.ping(QLatin1String(GetParam().address), 2000), GetParam().answers);
    setPingGroupRange("1 0");
}

using Path = qev::LinuxHostNetwork::PingPath;
INSTANTIATE_TEST_SUITE_P(
    Icmp, Ping,
    testing::Values(
        PingRow{"RawPresent", Path::Raw, "1 0", "192.168.77.10", true},
        PingRow{"RawMissing", Path::Raw, "1 0", "192.168.77.99", false},
        PingRow{"DatagramPresent", Path::Datagram, "0 2147483647", "192.168.77.10", true},
        PingRow{"DatagramMissing", Path::Datagram, "0 2147483647", "192.168.77.99", false},
        PingRow{"DatagramNotAdmitted", Path::Datagram, "1 0", "192.168.77.10", false},
        PingRow{"AutomaticPresent", Path::Automatic, "1 0", "192.168.77.10", true}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
