#include "report/profilereport.h"

#include "devicelink/devicelink.h"
#include "devicelink/discovery.h"
#include "devicelink/linkerror.h"
#include "netinspect/ipv4.h"
#include "report/fileversion.h"
#include "report/installedprograms.h"

#include <QDir>
#include <QFileInfo>

namespace qev::report {

namespace {

struct Run {
    const ReportHooks &hooks;

    void status(const QString &text) const {
        if (hooks.status)
            hooks.status(text);
    }
    void step() const {
        if (hooks.step)
            hooks.step();
    }
    void pump() const {
        if (hooks.pump)
            hooks.pump();
    }
};

} // namespace

ReportOutcome CollectReport(ReportTable &table, DeviceLink &link, const ReportSettings &settings,
                            const ReportHooks &hooks) {
    const Run run{hooks};
    ReportOutcome outcome;
    run.status(settings.pcDataStatus);
    table.clear();
    run.step();

    table.addHeading(PcGroup, QStringLiteral("Mein PC"));
    table.addValue(PcGroup, QStringLiteral("PC Name:"), GetLocalHostName());
    run.pump();
    QStringList adapterPairs;
    if (CollectAdapterRows(adapterPairs, settings.captions))
        table.addPairs(PcGroup, adapterPairs);
    run.pump();

    run.status(settings.devicesStatus);
    int group = FirstDeviceGroup;
    QList<DeviceRecord> devices;
    try {
        DiscoverDevices(devices, settings.discoveryMs, settings.broadcastAddress, link.ports(),
                        hooks.pump);
    } catch (const LinkError &error) {
        // What was collected so far is worth more than the devices: the block stays empty.
        devices.clear();
        outcome.discoveryError = QString::fromLocal8Bit(error.what());
    }
    for (const DeviceRecord &record : devices) {
        run.step();
        AddDeviceRows(table, group, record, QueryDevice(link, record));
        ++group;
    }

    run.status(settings.foreignStatus);
    run.step();
    group = FirstForeignGroup;
    QList<TZentrale> stations;
    ForeignScanHooks scanHooks{
        .status = hooks.status,
        .step = hooks.step,
        .wait = [pump = hooks.pump](int ms) { WaitWithMessages(quint16(ms), pump); },
        .port = settings.foreignPort};
    ScanForeignSystems(stations, settings.foreignWaitMs, scanHooks);
    for (const TZentrale &station : stations) {
        AddForeignRows(table, group, station);
        ++group;
        run.step();
    }

    if (settings.scanDisk) {
        group = FirstProgramGroup;
        for (const FoundProgram &program : FindSpurnovaPrograms({hooks.status, hooks.step})) {
            table.addHeading(group, program.heading);
            table.addPairs(group, program.rows);
            ++group;
        }
    }

    run.step();
    const QFileInfo program(settings.programFile);
    table.addHeading(group, QStringLiteral("Qev-Programmer"));
    table.addValue(group, QStringLiteral("Ordner:"),
                   QDir::toNativeSeparators(program.absolutePath() + QLatin1Char('/')));
    table.addValue(group, QStringLiteral("Datum:"), FileDateText(settings.programFile));
    table.addValue(group, QStringLiteral("Version:"), settings.programVersion);
    return outcome;
}

} // namespace qev::report
