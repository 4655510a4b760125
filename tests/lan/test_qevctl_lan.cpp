// qevctl in a LAN of network namespaces: the search by a real broadcast with the default
// destination (the PC's own broadcast address), which only a LAN shows.

#include "devsimrunner.h"
#include "qevctlprocess.h"
#include "testlan.h"

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

class QevctlLan : public testing::Test {
protected:
    void SetUp() override {
        QEV_REQUIRE_TESTLAN();
        ASSERT_TRUE(dir.isValid());
        lan = std::make_unique<TestLan>();
        lan->setupPc(QStringLiteral("192.168.77.1/24"));
    }

    void addSimulator(const QString &cidr, const QString &spec) {
        const QString ns = lan->addDevice(cidr);
        QProcess *process =
            lan->start(ns, QStringLiteral(QEV_DEVSIM_PATH),
                       {QStringLiteral("--device"), spec, QStringLiteral("--bind"),
                        QStringLiteral("0.0.0.0"), QStringLiteral("--settings"), codes()});
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

} // namespace
