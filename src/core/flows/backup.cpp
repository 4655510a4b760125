#include "flows/backup.h"

#include "devicelink/devicelink.h"
#include "devicelink/linkerror.h"
#include "devicelink/replies.h"
#include "netinspect/arp.h"
#include "netinspect/deviceclass.h"
#include "pages/boosterlist.h"
#include "pages/light.h"
#include "report/devicequeries.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qev::flow {

namespace {

namespace pk = pagekeys;
using backup::Backup;
using backup::FieldChange;

const QString NetworkPart = QStringLiteral("network");
const QString BoostersPart = QStringLiteral("boosters");

QString noAnswer() {
    return QCoreApplication::translate("SettingsBackup", "keine Antwort");
}

// Runs one exchange of the device; why it failed, empty when it did not. A refused send is
// a reason as a silence is.
template <class Run>
QString attempt(Run run) {
    try {
        return run() ? QString() : noAnswer();
    } catch (const LinkBusy &) {
        throw;
    } catch (const LinkError &error) {
        return QString::fromLocal8Bit(error.what());
    }
}

// The network settings as the device reports them to the search's request, asked at its
// address on the base port.
bool readNetwork(DeviceLink &link, Backup &b) {
    const std::span<const quint8> reply =
        link.Exchange(report::BuildNetworkRequest, {.port = link.ports().base,
                                                    .timeoutMs = report::QueryTimeoutMs,
                                                    .host = link.current().host});
    const std::optional<DeviceRecord> record = ReadDiscoveryReply(reply);
    const std::optional<report::NetworkValues> values = report::ReadNetworkReply(reply);
    if (!record || !values)
        return false;
    b.network = backup::NetworkSettings{record->address, record->netmask, record->port,
                                        values->gateway, values->broker};
    b.identity.mac = FormatMac(record->mac);
    return true;
}

bool readName(DeviceLink &link, Backup &b) {
    const std::span<const quint8> reply =
        link.Exchange(light::BuildNameRead, {.port = link.ports().base,
                                             .timeoutMs = report::QueryTimeoutMs,
                                             .host = link.current().host});
    const std::optional<QString> name = report::ReadNameReply(reply);
    if (name)
        b.identity.name = *name;
    return name.has_value();
}

bool readBoosters(DeviceLink &link, Backup &b) {
    boosterlist::BoosterTable table;
    bool answered = false;
    boosterlist::ReadBoosterList(link, table, false,
                                 {.listAnswered = [&](bool a) { answered = a; }, .listRead = {}});
    for (const boosterlist::BoosterRow &row : table.rows())
        b.boosters << backup::BoosterBackup{row.nr, row.name, row.serial};
    return answered;
}

// The file's values of the changed keys of one page.
pk::Values changedValues(const backup::PageBackup &file, const QList<FieldChange> &changes) {
    pk::Values values;
    for (const FieldChange &change : changes) {
        if (change.part == file.page)
            values.insert(change.key, file.values.value(change.key));
    }
    return values;
}

void writeNetwork(DeviceLink &link, const IdentificationResult &identified, const Backup &file,
                  const RestoreOptions &options, RestoreProgress &progress, Restored &restored) {
    const backup::NetworkSettings &n = *file.network;
    // A device reports "no gateway" as 0.0.0.0; the programming sends zeros for an empty field.
    const auto optional = [](const QString &address) {
        return address == QLatin1String("0.0.0.0") ? QString() : address;
    };
    NetworkProgramming input;
    input.settings.address = n.address;
    input.settings.mask = n.mask;
    input.settings.gateway = optional(n.gateway);
    input.settings.broker = optional(n.broker);
    input.settings.port = QString::number(n.port);
    input.settings.deviceType = qMax(0, PresetDeviceType(*identified.dispatch));
    input.deviceHost = link.current().host;
    input.checkFirst = true;
    // The device answering at its own address does not make that address taken.
    const QString own = link.current().host;
    const PingFunction ping = [&](const QString &address, int timeoutMs) {
        return address != own && options.ping(address, timeoutMs);
    };
    restored.network = ProgramNetwork(link, input, options.search, ping, progress, options.timing);
    restored.writes << PageWrite{NetworkPart, {}, restored.network->outcome == Outcome::Done};
}

} // namespace

Backup TakeBackup(DeviceLink &link, const IdentificationResult &identified,
                  const QString &programVersion, const BackupHooks &hooks) {
    const auto reading = [&](const QString &part) {
        if (hooks.reading)
            hooks.reading(part);
    };
    Backup b;
    const CurrentDevice &device = link.current();
    const quint8 reported = identified.dispatch ? identified.dispatch->reportedClass : 0;
    b.identity.deviceClass = reported;
    b.identity.className = DeviceClassName(reported);
    b.identity.version = device.versionText();
    b.identity.serial = identified.serial.value_or(QString());
    b.identity.address = device.host;
    b.identity.port = device.port;
    // To the second, as the file keeps it.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    b.identity.date = now.addMSecs(-now.time().msec());
    b.identity.programVersion = programVersion;

    const DeviceLink::Busy busy(link);
    reading(NetworkPart);
    b.networkMissing = attempt([&] { return readNetwork(link, b); });
    if (report::QueryPlanOfClass(reported).name)
        attempt([&] { return readName(link, b); });

    if (!identified.dispatch)
        return b;
    for (const pk::SettingsPage *page : pk::PagesOf(*identified.dispatch)) {
        reading(page->name());
        backup::PageBackup p{page->name(), {}, {}};
        p.missing = attempt([&] {
            const std::optional<pk::Values> values = page->read(link);
            if (values) {
                for (const pk::Key &key : page->keys()) {
                    if (backup::DeviceReports(*page, key, reported))
                        p.values.insert(key.name, values->value(key.name));
                }
            }
            return values.has_value();
        });
        b.pages << p;
    }
    // The device's name where the settings carry it.
    for (const QString &part : {QStringLiteral("light"), QStringLiteral("booster-gateway")}) {
        const backup::PageBackup *page = b.page(part);
        if (b.identity.name.isEmpty() && page && page->values.contains(QStringLiteral("name")))
            b.identity.name = page->values.value(QStringLiteral("name")).toString();
    }
    if (identified.dispatch->pages.contains(Page::TabSheetSerial)) {
        b.boosterBus = true;
        reading(BoostersPart);
        b.boostersMissing = attempt([&] { return readBoosters(link, b); });
        if (!b.boostersMissing.isEmpty())
            b.boosters.clear();
    }
    return b;
}

Restored RestoreBackup(DeviceLink &link, const IdentificationResult &identified, const Backup &file,
                       const RestoreOptions &options, RestoreProgress &progress) {
    Restored restored;
    const BackupHooks hooks{[&](const QString &part) {
        progress.reading(part);
    }};
    const Backup device = TakeBackup(link, identified, options.programVersion, hooks);
    if (const std::optional<backup::FileError> misfit = backup::CheckFits(file, device)) {
        restored.refusal = *misfit;
        return restored;
    }
    // What the device does not let be read cannot be compared: nothing is written then.
    for (const backup::PageBackup &page : file.pages) {
        const backup::PageBackup *current = device.page(page.page);
        if (page.missing.isEmpty() && current && !current->missing.isEmpty()) {
            restored.outcome = Outcome::NoAnswer;
            restored.refusal = {QStringLiteral("pages.") + page.page, current->missing};
            return restored;
        }
    }
    if (!file.boosters.isEmpty() && !device.boostersMissing.isEmpty()) {
        restored.outcome = Outcome::NoAnswer;
        restored.refusal = {BoostersPart, device.boostersMissing};
        return restored;
    }
    if (options.network && file.network && !device.network) {
        restored.outcome = Outcome::NoAnswer;
        restored.refusal = {NetworkPart, device.networkMissing};
        return restored;
    }
    restored.replacement = backup::IsReplacement(device, file);
    restored.changes = backup::Compare(device, file, options.network);
    restored.missingBoosters = backup::MissingBoosters(device, file);
    restored.outcome = Outcome::Done;
    if (options.dryRun)
        return restored;
    if (restored.replacement &&
        !progress.confirmReplacement(file.identity.serial, device.identity.serial)) {
        restored.outcome = Outcome::Declined;
        return restored;
    }
    if (!progress.confirmChanges(restored.changes, restored.missingBoosters)) {
        restored.outcome = Outcome::Declined;
        return restored;
    }
    if (restored.changes.isEmpty())
        return restored;

    const int deviceType = PresetDeviceType(*identified.dispatch);
    for (const backup::PageBackup &page : file.pages) {
        const pk::Values values = changedValues(page, restored.changes);
        const pk::SettingsPage *settings = pk::FindPage(page.page);
        if (values.isEmpty() || !settings)
            continue;
        const bool accepted = attempt([&] {
                                  return settings->restore(link, values, deviceType) ==
                                         pk::SettingsPage::Outcome::Accepted;
                              }).isEmpty();
        restored.writes << PageWrite{page.page, {}, accepted};
        progress.written(page.page, {}, accepted);
    }
    for (const FieldChange &change : restored.changes) {
        if (change.part != BoostersPart)
            continue;
        const bool accepted = attempt([&] {
                                  return boosterlist::WriteBoosterName(
                                      link, quint8(change.key.toInt()), change.wanted);
                              }).isEmpty();
        restored.writes << PageWrite{BoostersPart, change.key, accepted};
        progress.written(BoostersPart, change.key, accepted);
    }

    // The network last: the device moves, and is read back at its new address.
    IdentificationResult readBack = identified;
    const bool moves = std::any_of(restored.changes.begin(), restored.changes.end(),
                                   [](const FieldChange &c) { return c.part == NetworkPart; });
    if (moves) {
        writeNetwork(link, identified, file, options, progress, restored);
        const bool moved = restored.network->outcome == Outcome::Done;
        progress.written(NetworkPart, {}, moved);
        if (!moved)
            return restored; // the device is not where the read-back would look
        readBack = restored.network->identified.identification;
    }
    const Backup after = TakeBackup(link, readBack, options.programVersion, hooks);
    for (const FieldChange &still : backup::Compare(after, file, moves)) {
        const bool changed = std::any_of(
            restored.changes.begin(), restored.changes.end(),
            [&](const FieldChange &c) { return c.part == still.part && c.key == still.key; });
        if (changed)
            restored.notTaken << still;
    }
    return restored;
}

SavedBackup SaveIntoFolder(DeviceLink &link, const IdentificationResult &identified,
                           const QString &folder, const QString &programVersion) {
    SavedBackup saved;
    saved.backup = TakeBackup(link, identified, programVersion);
    if (!QDir().mkpath(folder)) {
        saved.error = QCoreApplication::translate("SettingsBackup",
                                                  "Der Ordner %1 kann nicht angelegt werden")
                          .arg(folder);
        return saved;
    }
    // An earlier backup of the same day stays: the new one gets a number.
    const QFileInfo proposed(QDir(folder), backup::ProposedFileName(saved.backup));
    QString path = proposed.filePath();
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1-%2.%3")
                                         .arg(proposed.completeBaseName())
                                         .arg(n)
                                         .arg(proposed.suffix()));
    if (backup::SaveFile(path, saved.backup, saved.error))
        saved.path = path;
    return saved;
}

QList<FieldChange> ChangedSince(DeviceLink &link, const IdentificationResult &identified,
                                const Backup &saved) {
    // Pages the new firmware does not have (or did not have before) are no change.
    return backup::Compare(TakeBackup(link, identified, saved.identity.programVersion), saved,
                           false);
}

} // namespace qev::flow
