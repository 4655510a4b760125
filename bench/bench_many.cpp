// The search and the network report among many simulated devices on loopback, some of
// which answer the discovery but never the identification. Each is timed as the program
// runs it and set against the schedule of asking one device after another, computed from
// the same time-outs: the collection, 3000 ms + 3000 ms for each device that stays silent
// and, in the report, 50 ms + 2000 ms for each LAN neighbour whose connection is refused
// (two waits for a neighbour that is a Lenz interface). The answers of the devices that do
// answer are not counted in that schedule, so it is a lower bound.
//
// Nothing leaves 127.0.0.0/8: the devices, the neighbours of the report and the Lenz
// interface all live on loopback addresses; the ARP table and the ping are fakes.

#include "app/devicecodes.h"
#include "devicelink/devicelink.h"
#include "devicelink/discovery.h"
#include "devsimrunner.h"
#include "fakehostnetwork.h"
#include "fakekerneltables.h"
#include "report/profilereport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Where the devices gather the discovery: loopback has no broadcast.
const QString Gather = QStringLiteral("127.0.0.1");
const QString LenzAddress = QStringLiteral("127.0.0.250");

constexpr int SearchCollectMs = 4000;
constexpr int ReportCollectMs = 2000;
constexpr int IdentifyTimeoutMs = 3000;
constexpr int ConnectSettleMs = 50;
constexpr int ForeignWaitMs = 2000;
constexpr quint8 Classes[] = {17, 22, 3, 16, 23, 7, 27, 1};

struct Case {
    int devices;
    int silent;
    double searchTargetMs; // 0: none
    double reportTargetMs;
};

QString deviceAddress(int i) {
    return QStringLiteral("127.0.0.%1").arg(2 + i);
}

quint16 freeTcpPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

struct Figures {
    double searchMs = 0;
    double reportMs = 0;
    qsizetype found = 0;
    qsizetype rows = 0;
};

// Runs one case against a simulator of its own; nothing when it could not start.
std::optional<Figures> run(const Case &c, qevtest::FakeKernelTables &tables) {
    QTemporaryDir dir;
    qev::ProtocolPorts ports;
    ports.base = qevtest::FreeUdpPort();
    const quint16 lenzPort = freeTcpPort();
    QStringList arguments{QStringLiteral("--base-port"),
                          QString::number(ports.base),
                          QStringLiteral("--gather"),
                          Gather,
                          QStringLiteral("--settings"),
                          dir.filePath(QStringLiteral("codes.ini")),
                          QStringLiteral("--lenz"),
                          QStringLiteral("ip=%1,port=%2").arg(LenzAddress).arg(lenzPort)};
    tables.neighbourRows.clear();
    for (int i = 0; i < c.devices; ++i) {
        // The silent devices are spread over the list, not bunched at its end.
        const bool silent =
            i % (c.devices / c.silent) == 0 && i / (c.devices / c.silent) < c.silent;
        arguments << QStringLiteral("--device")
                  << QStringLiteral("class=%1,ip=%2%3")
                         .arg(Classes[i % std::size(Classes)])
                         .arg(deviceAddress(i),
                              silent ? QStringLiteral(",fault=discoveryonly") : QString());
        tables.addNeighbour(1, deviceAddress(i), QByteArray::fromHex("028100000000"),
                            qev::NeighbourState::Reachable);
    }
    tables.addNeighbour(1, LenzAddress, QByteArray::fromHex("0281000000FA"),
                        qev::NeighbourState::Reachable);
    qevtest::DevsimRunner sim;
    if (!dir.isValid() || !sim.start(arguments, 30000)) {
        std::fprintf(stderr, "bench_many: qev-devsim did not start: %s\n",
                     qPrintable(sim.diagnostics()));
        return std::nullopt;
    }

    const qev::EventPump pump = [] {
        QCoreApplication::processEvents();
    };
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    QList<qev::DeviceRecord> found;
    qev::DiscoverDevices(found, SearchCollectMs, Gather, ports, pump);
    figures.searchMs = double(clock.nsecsElapsed()) / 1e6;
    figures.found = found.size();

    qev::DeviceLink link(ports, qev::DeviceCodes::placeholders(), pump);
    qev::report::ReportTable table;
    qev::report::ReportSettings settings;
    settings.broadcastAddress = Gather;
    settings.foreignPort = lenzPort;
    settings.programFile = QCoreApplication::applicationFilePath();
    settings.programVersion = QStringLiteral("2.21");
    clock.restart();
    qev::report::CollectReport(table, link, settings, {{}, {}, pump});
    figures.reportMs = double(clock.nsecsElapsed()) / 1e6;
    figures.rows = table.rows().size();
    return figures;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    qevtest::FakeHostNetwork host;
    host.setLocalIP(Gather);
    qevtest::FakeKernelTables tables;
    tables.addLink(1, QStringLiteral("lo"), QByteArray(6, '\0')).loopback = true;
    tables.addAddress(1, Gather, 8);
    qevtest::FakeSystemFiles files;

    const Case cases[] = {{8, 2, 0, 0}, {24, 4, 11000, 15000}, {32, 5, 0, 0}, {128, 21, 0, 0}};
    std::printf("search (discovery and identification) and report collection among simulated\n"
                "devices on loopback, against asking one device after another\n");
    std::printf("  %7s %6s %5s | %11s %11s %6s | %11s %11s %6s %5s\n", "devices", "silent", "found",
                "search", "sequential", "ratio", "report", "sequential", "ratio", "rows");
    bool met = true;
    for (const Case &c : cases) {
        // Every device and the Lenz interface are neighbours; all answer the ping.
        host.setAnswering({});
        for (int i = 0; i < c.devices; ++i)
            host.addAnswering(deviceAddress(i));
        host.addAnswering(LenzAddress);
        const std::optional<Figures> f = run(c, tables);
        if (!f)
            return 1;
        const double silentMs = 2.0 * IdentifyTimeoutMs * c.silent;
        const double searchSequential = SearchCollectMs + silentMs;
        const double reportSequential = ReportCollectMs + silentMs +
                                        c.devices * (ConnectSettleMs + ForeignWaitMs) +
                                        (ConnectSettleMs + 2.0 * ForeignWaitMs);
        std::printf("  %7d %6d %5lld | %8.0f ms %8.0f ms %6.3f | %8.0f ms %8.0f ms %6.3f %5lld\n",
                    c.devices, c.silent, static_cast<long long>(f->found), f->searchMs,
                    searchSequential, f->searchMs / searchSequential, f->reportMs, reportSequential,
                    f->reportMs / reportSequential, static_cast<long long>(f->rows));
        if (c.searchTargetMs > 0) {
            const bool caseMet = f->searchMs < c.searchTargetMs && f->reportMs < c.reportTargetMs;
            met = met && caseMet;
            std::printf("  target for %d devices (%d silent): search below %.0f ms, report below "
                        "%.0f ms: %s\n",
                        c.devices, c.silent, c.searchTargetMs, c.reportTargetMs,
                        caseMet ? "met" : "NOT met");
        }
    }
    return met ? 0 : 2;
}
