#pragma once

// "Einstellungen sichern…" and "Einstellungen wiederherstellen…": the backup of the current
// device's settings, the restore of a backup file onto it, and the backup taken before every
// firmware installation, compared once the device is back.

#include "backup/settingsbackup.h"
#include "devicelink/eventpump.h"
#include "devicelink/identification.h"
#include "flows/netprogramming.h"

#include <QString>
#include <functional>

namespace qev {
class DeviceLink;
}

namespace qev::flow {

// What the backup and the restore are doing while they run.
struct BackupHooks {
    std::function<void(const QString &part)> reading; // a page name, "network" or "boosters"
};

// Reads the current device's settings: its network settings, every page of its class and the
// boosters on its bus. A part that does not answer is recorded as missing, with the reason;
// the backup goes on. The identification gives the class, the pages and the serial number.
backup::Backup TakeBackup(DeviceLink &link, const IdentificationResult &identified,
                          const QString &programVersion, const BackupHooks &hooks = {});

class RestoreProgress : public ProgrammingProgress {
public:
    // The file is from a device with another serial number. False: nothing is written.
    virtual bool confirmReplacement(const QString &fileSerial, const QString &deviceSerial) = 0;
    // The fields that would change and the boosters of the file not on the bus, before
    // anything is written. False: nothing is written.
    virtual bool confirmChanges(const QList<backup::FieldChange> &changes,
                                const QList<backup::BoosterBackup> &missingBoosters) = 0;
    // A page (or a booster's name, part "boosters", key its address) was written.
    virtual void written(const QString & /*part*/, const QString & /*key*/, bool /*accepted*/) {}
    // Told before each part is read, as BackupHooks::reading.
    virtual void reading(const QString & /*part*/) {}

protected:
    ~RestoreProgress() = default;
};

struct RestoreOptions {
    // The network settings of the file are written too, through the network programming,
    // after the pages: it moves the device.
    bool network = false;
    // Shows the changes and writes nothing.
    bool dryRun = false;
    QString programVersion;
    SearchOptions search;     // for the network programming's search at the new address
    PingFunction ping;        // for its checks
    ProgrammingTiming timing; // its waits
};

struct PageWrite {
    QString part;
    QString key; // a booster's address, else empty
    bool accepted = false;
};

struct Restored {
    // Done: the changes were written (or, dry, shown); Declined: a question was answered no;
    // Refused: the file does not fit the device; NoAnswer: a part of the file could not be
    // read from the device to compare it. With Refused and NoAnswer refusal names the part
    // and why, and nothing was written.
    Outcome outcome = Outcome::Refused;
    backup::FileError refusal;
    bool replacement = false;
    QList<backup::FieldChange> changes;           // the file against the device before
    QList<backup::BoosterBackup> missingBoosters; // in the file, not on the bus
    QList<PageWrite> writes;
    // After the writes: the fields that still differ from the file (current: what the
    // device reads back).
    QList<backup::FieldChange> notTaken;
    std::optional<Programmed> network; // when the network settings were written
};

// Reads the device, compares it with the file, asks, writes the pages that differ with each
// page's own write (the boosters' names by address), then the network settings when asked,
// and reads back.
Restored RestoreBackup(DeviceLink &link, const IdentificationResult &identified,
                       const backup::Backup &file, const RestoreOptions &options,
                       RestoreProgress &progress);

// A backup saved into folder under its proposed name, as a file of its own: an earlier file of
// the same name stays and the new one gets a number. The backup before every firmware
// installation is saved so, into the backups folder.
struct SavedBackup {
    backup::Backup backup;
    QString path;  // where it was saved
    QString error; // why it could not be saved; empty when it was
};
SavedBackup SaveIntoFolder(DeviceLink &link, const IdentificationResult &identified,
                           const QString &folder, const QString &programVersion);

// The fields the device, back from its restart, holds otherwise than the saved backup.
QList<backup::FieldChange> ChangedSince(DeviceLink &link, const IdentificationResult &identified,
                                        const backup::Backup &saved);

} // namespace qev::flow
