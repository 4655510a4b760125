#pragma once

// The collection of the network profile report: the PC with its adapters, every device
// that answers the discovery with what it reports, the command stations of other makers,
// on request the installed Spurnova programs, and this program. Runs on the user-interface
// thread; every wait hands the events to the pump.

#include "devicelink/eventpump.h"
#include "devicelink/replies.h"
#include "netinspect/foreignsystems.h"
#include "report/devicequeries.h"
#include "report/reporttable.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace qev {
class DeviceLink;
}

namespace qev::report {

// Group numbers: the PC, the first device, the first foreign station, the first program.
inline constexpr int PcGroup = 1;
inline constexpr int FirstDeviceGroup = 2;
inline constexpr int FirstForeignGroup = 20;
inline constexpr int FirstProgramGroup = 40;

inline constexpr int DiscoveryWindowMs = 2000;
inline constexpr int ForeignWaitMs = 2000;

// The captions of the window's address labels, in the active language: the adapter rows
// are labelled with them.
struct AdapterCaptions {
    QString address; // "IP-Adresse:"
    QString netmask; // "Netzmaske:"
    QString gateway; // "Gateway:"
    QString mac;     // "MAC- Adresse", ":" is appended
};

// Appends the label/value pairs of the PC's adapters, read from the report lines of the
// adapter list (three lines per adapter), to list. primaryIp is the PC's own address.
// True when there was any line, also an error line that yields no pair.
bool AdapterPairs(const QStringList &lines, const QString &primaryIp,
                  const AdapterCaptions &captions, QStringList &list);

// The same for this PC.
bool CollectAdapterRows(QStringList &list, const AdapterCaptions &captions);

// Writes a device's group: the heading, then each value that is not empty (the port when
// it is not 0).
void AddDeviceRows(ReportTable &table, int group, const DeviceRecord &record,
                   const DeviceValues &values);

// Writes a foreign station's group; its four value rows are written also when empty.
void AddForeignRows(ReportTable &table, int group, const TZentrale &station);

struct ReportSettings {
    bool scanDisk = false;
    AdapterCaptions captions;
    // The status texts of the phases, in the active language.
    QString pcDataStatus;     // "PC Daten..."
    QString devicesStatus;    // "Geräte..."
    QString foreignStatus;    // "Fremde Geräte..."
    QString broadcastAddress; // where the discovery goes
    int discoveryMs = DiscoveryWindowMs;
    int foreignWaitMs = ForeignWaitMs;
    quint16 foreignPort = LenzPort;
    QString programFile;    // the running program's file
    QString programVersion; // "2.21"
};

struct ReportHooks {
    std::function<void(const QString &text)> status;
    std::function<void()> step; // one step of the progress display
    EventPump pump;
};

// What the run met on its way that the table does not show.
struct ReportOutcome {
    // The socket error that ended the discovery (the device block is then empty); empty
    // when the discovery ran through.
    QString discoveryError;
};

// Fills table from scratch. A socket error of the discovery leaves the device block empty
// and the run goes on. Raises the program search's error when the program-files folder
// cannot be found.
ReportOutcome CollectReport(ReportTable &table, DeviceLink &link, const ReportSettings &settings,
                            const ReportHooks &hooks);

} // namespace qev::report
