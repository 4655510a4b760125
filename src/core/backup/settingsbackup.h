#pragma once

// A device's settings kept in a file: who the device is, its network settings, the values of
// every settings page of its class by the page keys of the command line, and the boosters on
// its bus. The file is JSON with a format number; the reader takes only what this version
// understands, checks every value against its page key's range and names the field it
// refuses. Comparing a file with what a device holds gives the changes a restore writes.

#include "pages/pagekeys.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace qev::backup {

// The version of the file layout written here; files of a later version are refused.
inline constexpr int FormatVersion = 1;
// No backup comes near this; a larger file is not read at all.
inline constexpr qint64 MaxFileSize = 1 << 20;

// The device as it reported itself when the backup was taken.
struct Identity {
    int deviceClass = 0; // the class number the device reported
    QString className;
    QString version; // "7.4"
    QString serial;  // empty when the device gave none
    QString mac;     // "00:1A:2B:3C:4D:5E"; empty when the device did not report it
    QString address;
    int port = 0;
    QString name; // the device's own name, where it has one
    QDateTime date;
    QString programVersion;

    friend bool operator==(const Identity &, const Identity &) = default;
};

struct NetworkSettings {
    QString address;
    QString mask;
    int port = 0;
    QString gateway; // empty where the device reports none
    QString broker;

    friend bool operator==(const NetworkSettings &, const NetworkSettings &) = default;
};

struct PageBackup {
    QString page;            // the page name of the page keys
    pagekeys::Values values; // every key the device reports, by key name
    QString missing;         // why the page has no values (the device did not answer)

    friend bool operator==(const PageBackup &, const PageBackup &) = default;
};

struct BoosterBackup {
    int address = 0;
    QString name;
    QString serial;

    friend bool operator==(const BoosterBackup &, const BoosterBackup &) = default;
};

struct Backup {
    Identity identity;
    std::optional<NetworkSettings> network; // none: the device did not report them
    QString networkMissing;
    QList<PageBackup> pages; // in page order
    bool boosterBus = false; // the class drives a booster bus
    QList<BoosterBackup> boosters;
    QString boostersMissing; // why the bus could not be read

    const PageBackup *page(const QString &name) const;
    // The pages and parts without values, each with its reason.
    QStringList missingParts() const;

    friend bool operator==(const Backup &, const Backup &) = default;
};

// Whether a read of the page takes the key from the device. The speed meter reports neither
// its pause nor its longest time, and a gateway's light page has no name of its own; a read
// gives their defaults, so a backup leaves them out.
bool DeviceReports(const pagekeys::SettingsPage &page, const pagekeys::Key &key,
                   quint8 reportedClass);

// The file's text: UTF-8 JSON, indented.
QByteArray ToJson(const Backup &backup);

// A refusal of a file: the field (as a path in the file, such as "pages.s88.bus1") and why.
struct FileError {
    QString field; // empty when the file as a whole is refused
    QString reason;

    QString text() const; // "pages.s88.bus1: 70 is not in 0..66"
};

// Reads a file's text, bounded by the bytes given: strictly, so that nothing this version
// does not understand is taken for something it does.
std::optional<Backup> ReadJson(QByteArrayView json, FileError &error);
std::optional<Backup> LoadFile(const QString &path, FileError &error);
bool SaveFile(const QString &path, const Backup &backup, QString &error);

// Whether the file was taken from a device of the class the device (as just backed up)
// reports, with only pages that device has: the first field that does not fit.
std::optional<FileError> CheckFits(const Backup &file, const Backup &device);

// The folder automatic backups go to and the file chooser proposes:
// ~/.local/share/qev-programmer/backups on Linux.
QString BackupFolder();
// "<class name>-<serial>-<date>.json", with what a file name cannot hold replaced by "_".
QString ProposedFileName(const Backup &backup);

// One field whose value in the file differs from the device's.
struct FieldChange {
    QString part;    // a page name, "network" or "boosters"
    QString key;     // the key name; for a booster its address
    QString current; // as the device holds it; empty when it has none
    QString wanted;  // as in the file

    friend bool operator==(const FieldChange &, const FieldChange &) = default;
};

// The fields of the file that differ from the device, in page order; network settings only
// with withNetwork. A page missing on either side has no changes; a booster of the file not
// on the device's bus is not a change (see MissingBoosters).
QList<FieldChange> Compare(const Backup &device, const Backup &file, bool withNetwork);
// The boosters of the file that the device's bus does not have.
QList<BoosterBackup> MissingBoosters(const Backup &device, const Backup &file);
// A replacement device: the serial numbers differ.
bool IsReplacement(const Backup &device, const Backup &file);

} // namespace qev::backup
