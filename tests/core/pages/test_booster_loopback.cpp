// A gateway with a bus of five boosters in qev-devsim over loopback: the list, a renaming,
// the gateway settings written and read back, the sensitivity and a new booster address.

#include "devicelink/devicelink.h"
#include "devsimrunner.h"
#include "pages/booster.h"
#include "pages/boostergateway.h"
#include "pages/boosterlist.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace qev;
using namespace qevtest;

namespace {

const QString Device = QStringLiteral("127.0.0.2");

QStringList names(const boosterlist::BoosterTable &table) {
    QStringList out;
    for (const boosterlist::BoosterRow &row : table.rows())
        out << QStringLiteral("%1 %2 %3 %4").arg(row.nr).arg(row.name, row.version, row.serial);
    return out;
}

TEST(BoosterLoopback, FiveBoostersRenameSettingsAndNewAddress) {
    ProtocolPorts ports;
    ports.base = FreeUdpPort(QHostAddress::AnyIPv4);
    const quint16 own = FreeUdpPort(QHostAddress::AnyIPv4);
    ASSERT_NE(ports.base, 0);
    ASSERT_NE(own, 0);
    DevsimRunner sim;
    ASSERT_TRUE(sim.start({QStringLiteral("--base-port"), QString::number(ports.base),
                           QStringLiteral("--settings"), QStringLiteral("/nonexistent/qev.ini"),
                           QStringLiteral("--device"),
                           QStringLiteral("class=27,ip=%1,port=%2,boosters=5,bsens=35,"
                                          "bunknown=60,btype3=40,bsilent=4")
                               .arg(Device)
                               .arg(own)}))
        << qPrintable(sim.diagnostics());

    DeviceLink link(ports, DeviceCodes::placeholders(), [] { QCoreApplication::processEvents(); });
    CurrentDevice device;
    device.host = Device;
    device.port = own;
    device.deviceClass = 27;
    link.setCurrent(device);

    boosterlist::BoosterTable table;
    boosterlist::ReadBoosterList(link, table, false);
    EXPECT_EQ(names(table),
              (QStringList{"1 Booster 1 1.1 B0:05:7E:00:00:01", "2 Booster 2 1.2 B0:05:7E:00:00:02",
                           "3 Booster 3 1.3 B0:05:7E:00:00:03", "4   B0:05:7E:00:00:04",
                           "5 Booster 5 1.5 B0:05:7E:00:00:05"}));

    EXPECT_TRUE(boosterlist::WriteBoosterName(link, 3, QStringLiteral("Kehrschleife")));
    boosterlist::ReadBoosterList(link, table, false);
    ASSERT_EQ(table.rows().size(), 5u);
    EXPECT_EQ(table.rows()[2].name, "Kehrschleife");

    boostergateway::Settings settings;
    settings.startAll = true;
    settings.maxCurrentTenths = 49;
    settings.pcSwitchesOn = true;
    settings.addresses = QStringLiteral("5,,7");
    EXPECT_TRUE(boostergateway::WriteSettings(link, settings, QStringLiteral("Halle")));
    const auto read = boostergateway::ReadSettings(link.Exchange(boostergateway::BuildRead),
                                                   boostergateway::Settings{});
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->startAll);
    EXPECT_EQ(read->maxCurrentTenths, 49);
    EXPECT_TRUE(read->pcSwitchesOn);
    EXPECT_EQ(read->addresses, "5,7");

    EXPECT_EQ(booster::ReadSensitivity(link), 35);

    EXPECT_TRUE(booster::WriteNewAddress(link, 9));
    boosterlist::ReadBoosterList(link, table, true);
    ASSERT_EQ(table.rows().size(), 11u);
    EXPECT_EQ(table.rows().back().nr, 9);
    EXPECT_EQ(table.rows().back().name, "Booster 9");
    // Only one booster waited for an address.
    EXPECT_FALSE(booster::WriteNewAddress(link, 10));
}

} // namespace
