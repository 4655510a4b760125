// How long the window goes without handling its events while the link waits for a device
// that does not answer: the identification of a silent device (as after a search that
// found one in a foreign network), a firmware block that is never acknowledged, a page
// read from a silent device, and a ping of an address that does not answer (as in the
// report's neighbour scan). Each is measured with the window's pump installed, as the
// program runs, and without it, the way a plain blocking wait behaves, in the same run.
//
// The ping goes to the fake host network, whose unanswered ping blocks for its time-out:
// every loopback address answers a real echo, and nothing here may leave loopback.

#include "app/devicecodes.h"
#include "devicelink/devicelink.h"
#include "devicelink/identification.h"
#include "devsimrunner.h"
#include "fakehostnetwork.h"
#include "firmware/firmwareinstall.h"
#include "imagemaker.h"
#include "netinspect/ipv4.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

const QString SilentDevice = QStringLiteral("127.0.0.3");
const QString StuckDevice = QStringLiteral("127.0.0.4");

// The longest time between two turns of the event loop while `flow` runs.
double longestStallMs(const std::function<void()> &flow) {
    QElapsedTimer sinceLastTurn;
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceLastTurn.nsecsElapsed());
        sinceLastTurn.restart();
    });
    tick.start();
    sinceLastTurn.start();
    QCoreApplication::processEvents();
    flow();
    longest = std::max(longest, sinceLastTurn.nsecsElapsed());
    return double(longest) / 1e6;
}

struct Flow {
    const char *name;
    std::function<void()> run;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qevtest::FakeHostNetwork host;
    host.setLocalIP(QStringLiteral("127.0.0.1"));
    host.setSilenceTakesTime(true);

    qev::ProtocolPorts ports;
    ports.base = qevtest::FreeUdpPort(QHostAddress::AnyIPv4);
    qevtest::DevsimRunner sim;
    if (!dir.isValid() ||
        !sim.start({QStringLiteral("--base-port"), QString::number(ports.base),
                    QStringLiteral("--settings"), dir.filePath(QStringLiteral("codes.ini")),
                    QStringLiteral("--log"), dir.filePath(QStringLiteral("devsim.log")),
                    QStringLiteral("--device"),
                    QStringLiteral("class=17,ip=%1,port=11082,fault=silent").arg(SilentDevice),
                    QStringLiteral("--device"),
                    QStringLiteral("class=5,ip=%1,fwfault=dropack:1").arg(StuckDevice)})) {
        std::fprintf(stderr, "bench_stalls: qev-devsim did not start: %s\n",
                     qPrintable(sim.diagnostics()));
        return 1;
    }
    qev::imagemaker::ImageSpec spec;
    spec.classTag = 5;
    spec.blocks = 64;
    const QString image = dir.filePath(QStringLiteral("stuck.snFirm"));
    QString error;
    if (!qev::imagemaker::WriteImageFile(image, spec, &error)) {
        std::fprintf(stderr, "bench_stalls: %s\n", qPrintable(error));
        return 1;
    }

    const qev::EventPump pump = [] {
        QCoreApplication::processEvents();
    };
    qev::DeviceLink link(ports, qev::DeviceCodes::placeholders(), pump);
    const Flow flows[] = {
        {"identification of a silent device",
         [&] {
             link.setCurrent({.host = SilentDevice, .port = 11082});
             qev::IdentifyExchange(link, false);
         }},
        {"firmware block never acknowledged",
         [&] {
             link.setCurrent({.host = StuckDevice, .deviceClass = 5});
             qev::InstallTiming timing;
             timing.blockReplyMs = 1500;
             qev::FirmwareInstaller installer(link, link.codes().activationCode, timing);
             qev::InstallObserver observer;
             observer.pump = pump;
             installer.install(image, observer);
         }},
        {"page read from a silent device",
         [&] {
             link.setCurrent({.host = SilentDevice, .port = 11082});
             link.Exchange(
                 [](std::span<quint8> buffer) {
                     buffer[0] = 0x05;
                     return std::size_t{1};
                 },
                 {.timeoutMs = 2000});
         }},
        {"ping of a silent address",
         [&] {
             qev::PingWhilePumping(SilentDevice, 2000, qev::RunWindowPump);
         }},
    };

    std::printf("longest time without handling the window's events, while the link waits\n");
    std::printf("  %-36s %12s %14s %8s\n", "", "program", "blocking wait", "ratio");
    bool met = true;
    for (const Flow &flow : flows) {
        qev::InstallWindowPump(pump);
        const double pumped = longestStallMs(flow.run);
        qev::InstallWindowPump({});
        const double blocking = longestStallMs(flow.run);
        met = met && pumped < 100;
        std::printf("  %-36s %9.1f ms %11.1f ms %8.3f\n", flow.name, pumped, blocking,
                    pumped / blocking);
    }
    std::printf("  target: below 100 ms each: %s\n", met ? "met" : "NOT met");
    return 0;
}
