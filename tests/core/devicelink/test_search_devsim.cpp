// A search among several simulated devices, two of which answer the discovery but never
// the identification: each device gets exactly its own requests, the devices are asked
// side by side, and the list keeps the order in which the devices answered.

#include "devicelink/discovery.h"
#include "devicelink/selection.h"
#include "devsimrunner.h"
#include "fakehostnetwork.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qev;

namespace {

// Where the devices gather the discovery: loopback has no broadcast.
const QString Gather = QStringLiteral("127.0.0.1");

struct SimDevice {
    const char *ip;
    quint8 deviceClass;
    const char *extra;         // further keys of the device's SPEC
    quint8 identifiedClass;    // what the search must learn
    QStringList expectedBytes; // "own|base:<HEX>" in the order the device received them
};

} // namespace

TEST(SearchAmongSimulatedDevices, SilentDevicesAreAskedSideBySideAndEachGetsItsOwnRequests) {
    qevtest::FakeHostNetwork host;
    host.setLocalIP(Gather);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProtocolPorts ports;
    ports.base = qevtest::FreeUdpPort();

    const QList<SimDevice> devices{
        {"127.0.0.12", 17, "", 17, {"own:0F"}},
        {"127.0.0.3", 22, ",fault=discoveryonly", 0, {"own:0F", "base:600F"}},
        {"127.0.0.21", 3, ",extended=no", 3, {"own:0F"}},
        {"127.0.0.4", 16, ",fault=discoveryonly", 0, {"own:0F", "base:600F"}},
        {"127.0.0.30", 7, ",port=0", 7, {"base:0F"}},
    };
    QStringList arguments{QStringLiteral("--base-port"), QString::number(ports.base),
                          QStringLiteral("--gather"),    Gather,
                          QStringLiteral("--settings"),  dir.filePath(QStringLiteral("codes.ini"))};
    for (const SimDevice &d : devices) {
        arguments << QStringLiteral("--device")
                  << QStringLiteral("class=%1,ip=%2%3")
                         .arg(d.deviceClass)
                         .arg(QLatin1String(d.ip), QLatin1String(d.extra));
    }
    qevtest::DevsimRunner sim;
    ASSERT_TRUE(sim.start(arguments)) << qPrintable(sim.diagnostics());

    QList<DeviceRecord> found;
    ASSERT_TRUE(DiscoverDevices(found, 800, Gather, ports, {}));

    // The simulator answers the gathered discovery in the order of its devices.
    ASSERT_EQ(found.size(), devices.size());
    for (qsizetype i = 0; i < devices.size(); ++i) {
        EXPECT_EQ(found[i].address, QLatin1String(devices[i].ip));
        EXPECT_EQ(found[i].deviceClass, devices[i].identifiedClass) << devices[i].ip;
    }
    QStringList shown;
    for (const PickRow &row : PickListRows(found))
        shown << row.address;
    EXPECT_EQ(shown,
              (QStringList{"127.0.0.12", "127.0.0.21", "127.0.0.3", "127.0.0.30", "127.0.0.4"}));

    const QList<qevtest::DevsimRx> received = sim.rx(100);
    QStringList order; // every identification request, as "<ip> <HEX>"
    for (const SimDevice &d : devices) {
        QStringList bytes;
        for (const qevtest::DevsimRx &rx : received) {
            if (rx.dstIp == QLatin1String(d.ip))
                bytes << QStringLiteral("%1:%2")
                             .arg(rx.dstPort)
                             .arg(QString::fromLatin1(rx.payload.toHex().toUpper()));
        }
        QStringList expected;
        for (const QString &e : d.expectedBytes) {
            const QStringList parts = e.split(QLatin1Char(':'));
            const quint16 port = parts[0] == QLatin1String("own") ? ports.base + 1 : ports.base;
            expected << QStringLiteral("%1:%2").arg(port).arg(parts[1]);
        }
        EXPECT_EQ(bytes, expected) << d.ip;
    }
    for (const qevtest::DevsimRx &rx : received) {
        if (rx.dstIp != Gather)
            order << rx.dstIp + QLatin1Char(' ') +
                         QString::fromLatin1(rx.payload.toHex().toUpper());
    }
    // Asked one after another, the second silent device would hear nothing before the
    // first one's extended request, three seconds later.
    EXPECT_LT(order.indexOf(QStringLiteral("127.0.0.4 0F")),
              order.indexOf(QStringLiteral("127.0.0.3 600F")))
        << qPrintable(order.join(QLatin1Char('\n')));
}
