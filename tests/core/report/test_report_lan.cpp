// A whole collection of the profile report in the test LAN: seven simulated devices of
// different classes answer a real broadcast and the report's queries, a Lenz station among
// them is found by the station search, and the group numbers follow the disk search.

#include "devicelink/devicelink.h"
#include "devsimrunner.h"
#include "report/profilereport.h"
#include "testlan.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace qev::report;
using qevtest::DevsimRunner;
using qevtest::TestLan;

namespace {

const QString Net = QStringLiteral("192.168.77.");

// Per device address: the heading and the rows behind it, as "label=value".
struct Expected {
    QString heading;
    QStringList rows;
};

QStringList record(int host, const QStringList &before, const QStringList &after) {
    return before +
           QStringList{QStringLiteral("IP-Adresse:=%1%2").arg(Net).arg(host),
                       QStringLiteral("Netzmaske:=255.255.255.0"),
                       QStringLiteral("MAC Adresse:=02:81:7E:00:4D:") +
                           QStringLiteral("%1").arg(host, 2, 16, QLatin1Char('0')).toUpper(),
                       QStringLiteral("Port:=11081")} +
           after;
}

class ReportLan : public testing::Test {
protected:
    void SetUp() override {
        QEV_REQUIRE_TESTLAN();
        ASSERT_TRUE(dir.isValid());
        lan = std::make_unique<TestLan>();
        lan->setupPc(Net + QStringLiteral("1/24"));
        const QString ns = lan->addDevice(Net + QStringLiteral("10/24"));
        for (int host = 11; host <= 16; ++host)
            ASSERT_EQ(
                lan->run(ns, {QStringLiteral("ip"), QStringLiteral("addr"), QStringLiteral("add"),
                              Net + QString::number(host) + QStringLiteral("/24"),
                              QStringLiteral("dev"), QStringLiteral("eth0")}),
                0);
        const QStringList devices = {
            QStringLiteral("class=1,version=3.2,ip=192.168.77.10"),
            QStringLiteral("class=7,version=1.9,ip=192.168.77.11,gateway=192.168.77.1,"
                           "broker=192.168.77.2,netreply=26"),
            QStringLiteral("class=16,version=2.5,ip=192.168.77.12,name=Zentrale,"
                           "serial=A1A2A3A4A5A6,gateway=192.168.77.1,netreply=22"),
            QStringLiteral("class=17,version=7.4,ip=192.168.77.13,name=Melder,serial=0A0B0C0D0E0F"),
            QStringLiteral("class=22,version=1.3,ip=192.168.77.14,name=Licht,namelen=9,"
                           "gateway=192.168.77.1,broker=192.168.77.2,netreply=25"),
            QStringLiteral("class=24,version=1.0,ip=192.168.77.15,name=Nie"),
            QStringLiteral("class=0,version=1.0,ip=192.168.77.16"),
        };
        QStringList arguments{QStringLiteral("--bind"),
                              QStringLiteral("0.0.0.0"),
                              QStringLiteral("--settings"),
                              dir.filePath(QStringLiteral("codes.ini")),
                              QStringLiteral("--lenz"),
                              QStringLiteral("answer=both,version=3.6,ip=192.168.77.10,port=5550")};
        for (const QString &spec : devices)
            arguments << QStringLiteral("--device") << spec;
        sim = std::make_unique<DevsimRunner>();
        ASSERT_TRUE(sim->attach(lan->start(ns, QStringLiteral(QEV_DEVSIM_PATH), arguments)))
            << qPrintable(sim->diagnostics());
        link = std::make_unique<qev::DeviceLink>(qev::ProtocolPorts{},
                                                 qev::DeviceCodes::placeholders(), [] {});
    }

    ReportTable collect(bool scanDisk) {
        ReportSettings settings;
        settings.scanDisk = scanDisk;
        settings.captions = {QStringLiteral("IP-Adresse:"), QStringLiteral("Netzmaske:"),
                             QStringLiteral("Gateway:"), QStringLiteral("MAC- Adresse")};
        settings.broadcastAddress = Net + QStringLiteral("255");
        settings.foreignWaitMs = 300;
        settings.programFile = QStringLiteral("/opt/qev/qev-programmer");
        settings.programVersion = QStringLiteral("2.21");
        ReportHooks hooks{.status = [this](const QString &text) { statuses << text; },
                          .step = [this] { ++steps; },
                          .pump =
                              [] {
                              }};
        ReportTable table;
        CollectReport(table, *link, settings, hooks);
        return table;
    }

    QTemporaryDir dir;
    std::unique_ptr<TestLan> lan;
    std::unique_ptr<DevsimRunner> sim; // before lan goes, which owns the process
    std::unique_ptr<qev::DeviceLink> link;
    QStringList statuses;
    int steps = 0;
};

TEST_F(ReportLan, DevicesStationAndGroups) {
    qputenv("WINEPREFIX", dir.filePath(QStringLiteral("no-wine")).toLocal8Bit());
    const ReportTable table = collect(false);

    // Rows by group.
    QMap<int, QStringList> groups;
    QMap<int, QString> headings;
    for (const ReportRow &row : table.rows()) {
        if (!row.heading.isEmpty())
            headings[row.group] = row.heading;
        else
            groups[row.group] << row.label + QLatin1Char('=') + row.value;
    }
    EXPECT_EQ(headings.value(1), QStringLiteral("Mein PC"));
    EXPECT_TRUE(groups.value(1).contains(QStringLiteral("1. IP-Adresse:=192.168.77.1")))
        << qPrintable(groups.value(1).join(QLatin1Char('\n')));
    EXPECT_TRUE(groups.value(1).contains(QStringLiteral("Netzmaske:=255.255.255.0")));

    const QHash<QString, Expected> expected = {
        {Net + QStringLiteral("10"),
         {QStringLiteral("Glimnet"),
          record(10, {"Version:=3.2"}, {"Gateway:=N/A", "Broker:=N/A"})}},
        {Net + QStringLiteral("11"),
         {QStringLiteral("Portaxis"),
          record(11, {"Version:=1.9"},
                 {"Gateway:=192.168.77.1", "Broker:=192.168.77.2", "Seriennummer:=N/A"})}},
        {Net + QStringLiteral("12"),
         {QStringLiteral("Ferrano Zentrale"),
          record(12, {"Gerätename:=Zentrale", "Version:=2.5"},
                 {"Gateway:=192.168.77.1", "Seriennummer:=A1:A2:A3:A4:A5:A6"})}},
        {Net + QStringLiteral("13"),
         {QStringLiteral("Ferrano S88-Controller"),
          record(13, {"Gerätename:=Melder", "Version:=7.4"}, {"Seriennummer:=0A:0B:0C:0D:0E:0F"})}},
        {Net + QStringLiteral("14"),
         {QStringLiteral("Lucento Classic-Master"),
          record(14, {"Version:=1.3"},
                 {"Gateway:=192.168.77.1", "Seriennummer:=02:81:7E:00:4D:0E"})}},
        {Net + QStringLiteral("15"), {QString(), record(15, {}, {})}},
        {Net + QStringLiteral("16"), {QStringLiteral("Unbekannt"), record(16, {}, {})}},
    };
    QSet<QString> seen;
    for (int group = 2; group <= 8; ++group) {
        const QStringList rows = groups.value(group);
        const QString address =
            rows.filter(QStringLiteral("IP-Adresse:=")).value(0).section(QLatin1Char('='), 1);
        ASSERT_TRUE(expected.contains(address))
            << group << qPrintable(rows.join(QLatin1Char('\n')));
        seen << address;
        const Expected &device = expected[address];
        if (!device.heading.isEmpty()) {
            EXPECT_EQ(headings.value(group), device.heading) << qPrintable(address);
        }
        EXPECT_EQ(rows, device.rows) << qPrintable(address);
    }
    EXPECT_EQ(seen.size(), 7);
    EXPECT_FALSE(groups.contains(9));

    // The Lenz station, its four rows, then this program in the next group.
    const QStringList station = groups.value(20);
    ASSERT_EQ(station.size(), 4) << qPrintable(station.join(QLatin1Char('\n')));
    EXPECT_EQ(station[0], QStringLiteral("Version:=3.6"));
    EXPECT_EQ(station[1], QStringLiteral("IP-Adresse:=192.168.77.10"));
    EXPECT_TRUE(station[2].startsWith(QStringLiteral("MAC Adresse:=")));
    EXPECT_EQ(station[3], QStringLiteral("Port:=5550"));
    EXPECT_EQ(headings.value(21), QStringLiteral("Qev-Programmer"));
    EXPECT_EQ(groups.value(21), (QStringList{"Ordner:=/opt/qev/", "Datum:=", "Version:=2.21"}));

    // One step for the table, each device, the foreign block, five per neighbour that
    // answered the echo (each probed for Lenz), the station and this program.
    const qsizetype probed = statuses.count(QStringLiteral("Lenz..."));
    EXPECT_GE(probed, 7);
    EXPECT_EQ(steps, 1 + 7 + 1 + 5 * probed + 1 + 1);

    // With the disk searched and nothing found, this program's group is 40.
    statuses.clear();
    const ReportTable searched = collect(true);
    EXPECT_EQ(searched.rows().last().group, 40);
    EXPECT_TRUE(statuses.contains(QStringLiteral("Rollino...")));
}

} // namespace
