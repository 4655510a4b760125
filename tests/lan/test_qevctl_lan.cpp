// qevctl in a LAN of network namespaces: the search by a real broadcast with the default
// destination (the PC's own broadcast address), a device that moves to the address it was
// given, and the profile report, which only a LAN shows.

#include "devsimrunner.h"
#include "qevctlprocess.h"
#include "testlan.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace qevtest;

namespace {

// The test's own namespace before a LAN is wired to it has no network but loopback.
TEST(QevctlWithoutLan, SearchWithoutANetworkExitsWithFour) {
    QEV_REQUIRE_TESTLAN();
    const CtlRun run = RunQevctl({QStringLiteral("discover"), QStringLiteral("--json")});
    EXPECT_EQ(run.exitCode, 4) << qPrintable(run.out);
    EXPECT_TRUE(run.err.contains(QStringLiteral("No network connection!"))) << qPrintable(run.err);
}

class QevctlLan : public testing::Test {
protected:
    void SetUp() override {
        QEV_REQUIRE_TESTLAN();
        ASSERT_TRUE(dir.isValid());
        lan = std::make_unique<TestLan>();
        lan->setupPc(QStringLiteral("192.168.77.1/24"));
    }

    // A device in a namespace of its own that really takes the address it is given.
    void addSimulator(const QString &cidr, const QString &spec) {
        const QString ns = lan->addDevice(cidr);
        QProcess *process =
            lan->start(ns, QStringLiteral(QEV_DEVSIM_PATH),
                       {QStringLiteral("--device"), spec, QStringLiteral("--bind"),
                        QStringLiteral("0.0.0.0"), QStringLiteral("--settings"), codes(),
                        QStringLiteral("--interface"), QStringLiteral("eth0")});
        sims.push_back(std::make_unique<DevsimRunner>());
        if (!sims.back()->attach(process))
            ADD_FAILURE() << qPrintable(sims.back()->diagnostics());
    }

    QString codes() const { return dir.filePath(QStringLiteral("codes.ini")); }

    static QJsonArray devicesOf(const CtlRun &run) {
        return QJsonDocument::fromJson(run.out.toUtf8()).array();
    }

    QTemporaryDir dir;
    std::unique_ptr<TestLan> lan;
    std::vector<std::unique_ptr<DevsimRunner>> sims; // before lan goes, which owns the processes
};

TEST_F(QevctlLan, DiscoverFindsEveryDeviceByBroadcast) {
    addSimulator(QStringLiteral("192.168.77.10/24"),
                 QStringLiteral("class=17,version=7.4,ip=192.168.77.10,mac=02:81:7E:00:00:10,"
                                "port=11082"));
    addSimulator(QStringLiteral("192.168.77.11/24"),
                 QStringLiteral("class=22,version=1.3,ip=192.168.77.11,mac=02:81:7E:00:00:11,"
                                "port=11081"));

    const CtlRun run =
        RunQevctl({QStringLiteral("--settings"), codes(), QStringLiteral("discover"),
                   QStringLiteral("--timeout"), QStringLiteral("1500"), QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    QJsonArray devices = devicesOf(run);
    ASSERT_EQ(devices.size(), 2) << qPrintable(run.out);
    QStringList seen;
    for (const QJsonValue &value : devices) {
        const QJsonObject device = value.toObject();
        seen << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(device.value(QStringLiteral("address")).toString())
                    .arg(device.value(QStringLiteral("port")).toInt())
                    .arg(device.value(QStringLiteral("class")).toInt())
                    .arg(device.value(QStringLiteral("version")).toString(),
                         device.value(QStringLiteral("mac")).toString());
    }
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("192.168.77.10 11082 17 7.4 02:81:7E:00:00:10"),
                                 QStringLiteral("192.168.77.11 11081 22 1.3 02:81:7E:00:00:11")}));
}

TEST_F(QevctlLan, SetNetworkMovesTheDeviceAndConfirmsItThere) {
    addSimulator(QStringLiteral("192.168.77.10/24"),
                 QStringLiteral("class=17,version=7.4,ip=192.168.77.10,port=11082"));
    const QStringList base{QStringLiteral("--settings"),  codes(),
                           QStringLiteral("set-network"), QStringLiteral("192.168.77.10"),
                           QStringLiteral("--mask"),      QStringLiteral("255.255.255.0")};

    // An incomplete address is refused with the window's text; nothing is sent.
    const CtlRun incomplete =
        RunQevctl(base + QStringList{QStringLiteral("--ip"), QStringLiteral("192.168.77")});
    EXPECT_EQ(incomplete.exitCode, 1);
    EXPECT_TRUE(incomplete.err.contains(QStringLiteral("Not in full")))
        << qPrintable(incomplete.err);

    const CtlRun moved =
        RunQevctl(base + QStringList{QStringLiteral("--ip"), QStringLiteral("192.168.77.20")});
    ASSERT_EQ(moved.exitCode, 0) << qPrintable(moved.err);
    EXPECT_TRUE(moved.out.contains(QStringLiteral("New address is reachable")))
        << qPrintable(moved.out);
    // Class 17: its header, the address, the MAC built from it, and the device keeps its port.
    QStringList datagrams;
    for (const DevsimRx &rx : sims[0]->rx())
        datagrams << QString::fromLatin1(rx.payload.toHex(' ').toUpper());
    EXPECT_TRUE(datagrams.contains(QStringLiteral(
        "F8 AA 51 C0 A8 4D 14 FF FF FF 00 02 81 7E 00 4D 14 2B 4A 00 00 00 00 00 00 00 00")))
        << qPrintable(datagrams.join(QLatin1Char('\n')));

    const CtlRun there =
        RunQevctl({QStringLiteral("--settings"), codes(), QStringLiteral("identify"),
                   QStringLiteral("192.168.77.20"), QStringLiteral("--json")});
    ASSERT_EQ(there.exitCode, 0) << qPrintable(there.err);
    const QJsonObject device = QJsonDocument::fromJson(there.out.toUtf8()).object();
    EXPECT_EQ(device.value(QStringLiteral("port")).toInt(), 11082);
    EXPECT_EQ(device.value(QStringLiteral("class")).toInt(), 17);
}

// The report's collection reaches beyond loopback (broadcast, pings, the stations of other
// makers), so it runs here too; the PDF is painted with no display.
TEST_F(QevctlLan, ReportListsTheDevicesAndWritesThePdf) {
    addSimulator(QStringLiteral("192.168.77.10/24"),
                 QStringLiteral("class=17,version=7.4,ip=192.168.77.10,port=11082"));
    const QString pdf = dir.filePath(QStringLiteral("profile.pdf"));
    const CtlRun run = RunQevctl({QStringLiteral("--settings"), codes(), QStringLiteral("--quiet"),
                                  QStringLiteral("report"), QStringLiteral("--no-disk-scan"),
                                  QStringLiteral("--pdf"), pdf, QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    // --quiet: no status of the phases.
    EXPECT_FALSE(run.err.contains(QStringLiteral("PC Data..."))) << qPrintable(run.err);
    QStringList values;
    for (const QJsonValue &row : QJsonDocument::fromJson(run.out.toUtf8()).array())
        values << row.toObject().value(QStringLiteral("value")).toString();
    EXPECT_TRUE(values.contains(QStringLiteral("192.168.77.10"))) << qPrintable(run.out);
    EXPECT_TRUE(values.contains(QStringLiteral("192.168.77.1"))) << qPrintable(run.out);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
}

} // namespace
