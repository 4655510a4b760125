// Settings backups: the reader's refusals, each naming its field, and one backup and restore
// per class with settings pages against qev-devsim over loopback.

#include "backup/settingsbackup.h"
#include "devicelink/devicelink.h"
#include "devsimrunner.h"
#include "flows/backup.h"
#include "pages/boosterlist.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qev;
using namespace qevtest;

namespace {

// A file as a hand would edit it: every part the reader knows.
const char *const ValidFile = R"({
  "format": 1,
  "device": {"class": 17, "className": "Ferrano S88-Controller", "version": "7.4",
             "serial": "01:02:03:04:05:06", "mac": "02:81:7E:00:00:02",
             "address": "192.168.77.10", "port": 11082, "name": "Bahnhof",
             "date": "2026-12-09T21:00:00Z", "program": "1.0"},
  "network": {"address": "192.168.77.10", "mask": "255.255.255.0", "port": 11082,
              "gateway": "192.168.77.1", "broker": ""},
  "pages": {"s88": {"bus1": 4, "bus2": 0, "bus3": 0, "flicker-on": "normal",
                    "flicker-off": "short", "clock-on": 20, "clock-off": 38, "pause": 10},
            "light": {"inner": 100, "front": 120, "name": "Bahnhof"},
            "booster": {"max-current": 4.9, "pc-switches-on": true},
            "manager": {"classic-mode": false}},
  "boosters": [{"address": 1, "name": "Nord", "serial": "B0:05:7E:00:00:01"},
               {"address": 2, "name": "Süd", "serial": ""}],
  "missing": {"rgb": "keine Antwort"}
})";

// Sets (or, with an undefined value, removes) the field at a dotted path; "boosters.1"
// is the second booster.
void setPath(QJsonValueRef ref, QStringList path, const QJsonValue &value) {
    const QString head = path.takeFirst();
    if (ref.isArray()) {
        QJsonArray array = ref.toArray();
        if (path.isEmpty())
            array[head.toInt()] = value;
        else
            setPath(array[head.toInt()], path, value);
        ref = array;
        return;
    }
    QJsonObject object = ref.toObject();
    if (path.isEmpty() && value.isUndefined())
        object.remove(head);
    else if (path.isEmpty())
        object[head] = value;
    else
        setPath(object[head], path, value);
    ref = object;
}

QByteArray edited(const QString &path, const QJsonValue &value) {
    QJsonObject root = QJsonDocument::fromJson(ValidFile).object();
    QJsonArray holder{root};
    setPath(holder[0], path.split(QLatin1Char('.')), value);
    return QJsonDocument(holder[0].toObject()).toJson();
}

struct FileErrorRow {
    const char *path; // edited field; empty: the text is given whole
    QJsonValue value;
    QByteArray text;
    const char *field;  // expected FileError::field
    const char *reason; // a part of the reason
};

TEST(SettingsBackupFile, EveryRefusalNamesItsField) {
    const QJsonValue removed = QJsonValue::Undefined;
    const QString tooLong(41, QLatin1Char('x'));
    const FileErrorRow rows[] = {
        {"", {}, "{\"format\": 1,", "", "Kein gültiges JSON"},
        {"", {}, "[1, 2]", "", "keine Einstellungssicherung"},
        {"", {}, QByteArray(backup::MaxFileSize + 1, ' '), "", "größer als"},
        {"format", removed, {}, "format", "fehlt"},
        {"format", 2, {}, "format", "Version 2 ist neuer"},
        {"format", "1", {}, "format", "ganze Zahl"},
        {"format", 1.5, {}, "format", "ganze Zahl"},
        {"colour", "red", {}, "colour", "unbekanntes Feld"},
        {"device", removed, {}, "device", "fehlt"},
        {"device", "17", {}, "device", "Objekt"},
        {"device.class", 0, {}, "device.class", "0 liegt nicht in 1..255"},
        {"device.class", "17", {}, "device.class", "ganze Zahl"},
        {"device.serial", 123, {}, "device.serial", "Text"},
        {"device.date", "gestern", {}, "device.date", "kein Datum"},
        {"device.owner", "me", {}, "device.owner", "unbekanntes Feld"},
        {"network.address", "192.168.77", {}, "network.address", "keine IPv4-Adresse"},
        {"network.mask", removed, {}, "network.mask", "keine IPv4-Adresse"},
        {"network.port", 70000, {}, "network.port", "70000 liegt nicht in 1..65535"},
        {"network.gateway", "router", {}, "network.gateway", "keine IPv4-Adresse"},
        {"pages.s88.bus1", 70, {}, "pages.s88.bus1", "70 liegt nicht in 0..66"},
        {"pages.s88.pause", 10.5, {}, "pages.s88.pause", "ganze Zahl"},
        {"pages.s88.flicker-on", "wild", {}, "pages.s88.flicker-on", "off|short|normal|long"},
        {"pages.s88.flicker-off", 9, {}, "pages.s88.flicker-off", "einer von"},
        {"pages.s88.colour", 1, {}, "pages.s88.colour", "unbekanntes Feld"},
        {"pages.speed", QJsonObject{{"pause", 4}}, {}, "pages.speed.pause", "unbekanntes Feld"},
        {"pages.turntable", QJsonObject{}, {}, "pages.turntable", "unbekannte Seite"},
        {"pages.light", 5, {}, "pages.light", "Objekt"},
        {"pages.light.name", tooLong, {}, "pages.light.name", "länger als"},
        {"pages.booster.max-current", 4.95, {}, "pages.booster.max-current", "Nachkommastelle"},
        {"pages.booster.max-current", 9.9, {}, "pages.booster.max-current", "9.9 liegt nicht in"},
        {"pages.manager.classic-mode", 1, {}, "pages.manager.classic-mode", "true oder false"},
        {"boosters", QJsonObject{}, {}, "boosters", "Liste"},
        {"boosters.1.address", 1, {}, "boosters[1].address", "zweimal"},
        {"boosters.0.address", 128, {}, "boosters[0].address", "128 liegt nicht in 1..127"},
        {"boosters.0.name", QString(21, QLatin1Char('n')), {}, "boosters[0].name", "länger als 20"},
        {"missing.s88", "keine Antwort", {}, "missing.s88", "auch unter"},
        {"missing.rgb", false, {}, "missing.rgb", "Text"},
        {"missing.turntable", "x", {}, "missing.turntable", "unbekannte Seite"},
    };
    for (const FileErrorRow &row : rows) {
        const QByteArray text = *row.path ? edited(QLatin1String(row.path), row.value) : row.text;
        backup::FileError error;
        EXPECT_FALSE(backup::ReadJson(text, error)) << row.path << " " << row.field;
        EXPECT_EQ(error.field, QLatin1String(row.field)) << row.path;
        EXPECT_TRUE(error.reason.contains(QString::fromUtf8(row.reason)))
            << row.path << ": " << qPrintable(error.text());
    }

    // The file unedited is read whole, and written back the same.
    backup::FileError error;
    const std::optional<backup::Backup> read = backup::ReadJson(ValidFile, error);
    ASSERT_TRUE(read) << qPrintable(error.text());
    EXPECT_EQ(read->pages.size(), 5);
    EXPECT_EQ(read->pages.first().page, "booster"); // the window's page order
    EXPECT_EQ(read->page("booster")->values.value("max-current"), 49);
    EXPECT_EQ(read->page("s88")->values.value("flicker-off"), 1);
    EXPECT_EQ(read->boosters.at(1).name, "Süd");
    EXPECT_EQ(read->missingParts(), QStringList{"rgb (keine Antwort)"});
    const std::optional<backup::Backup> again = backup::ReadJson(backup::ToJson(*read), error);
    ASSERT_TRUE(again) << qPrintable(error.text());
    EXPECT_EQ(*again, *read);

    // A file that reads well but does not fit the device: the field is named as well.
    backup::Backup device;
    device.identity.deviceClass = 17;
    device.pages = {{"s88", {}, {}}, {"light", {}, {}}};
    const std::optional<backup::FileError> pageMisfit = backup::CheckFits(*read, device);
    ASSERT_TRUE(pageMisfit);
    EXPECT_EQ(pageMisfit->field, "pages.booster");
    device.identity.deviceClass = 6;
    EXPECT_EQ(backup::CheckFits(*read, device)->field, "device.class");
}

// Answers every question yes and keeps what the flow told.
class Agreeing final : public flow::RestoreProgress {
public:
    bool confirm(const Confirmation &) override { return true; }
    bool confirmReplacement(const QString &, const QString &) override {
        ++replacementQuestions;
        return true;
    }
    bool confirmChanges(const QList<backup::FieldChange> &,
                        const QList<backup::BoosterBackup> &) override {
        return true;
    }
    int replacementQuestions = 0;
};

// A value of the key other than the current one, within the key's range.
QVariant otherValue(const pagekeys::Key &key, const QVariant &current) {
    switch (key.kind) {
    case pagekeys::Kind::Flag:
        return !current.toBool();
    case pagekeys::Kind::Text:
        // The gateway's reserved addresses are a list of numbers.
        if (key.name == "addresses")
            return current.toString() == "5" ? QStringLiteral("6") : QStringLiteral("5");
        return current.toString() == "Anders" ? QStringLiteral("Neu") : QStringLiteral("Anders");
    case pagekeys::Kind::Choice:
        for (const pagekeys::Choice &choice : key.choices) {
            if (choice.value != current.toInt())
                return choice.value;
        }
        break;
    case pagekeys::Kind::Number:
    case pagekeys::Kind::Tenths:
        break;
    }
    return current.toInt() == key.min ? key.min + 1 : key.min;
}

// One simulated device at 127.0.0.2 on ports of its own, identified: spec is the rest of its
// qev-devsim spec behind class, ip and port.
class SimulatedDevice {
public:
    bool start(int deviceClass, const QString &spec) {
        m_ports.base = FreeUdpPort(QHostAddress::AnyIPv4);
        m_own = FreeUdpPort(QHostAddress::AnyIPv4);
        if (!m_sim.start({"--base-port", QString::number(m_ports.base), "--settings",
                          "/nonexistent/qev.ini", "--device",
                          QStringLiteral("class=%1,ip=127.0.0.2,port=%2%3")
                              .arg(deviceClass)
                              .arg(m_own)
                              .arg(spec)}))
            return false;
        link = std::make_unique<DeviceLink>(m_ports, DeviceCodes::placeholders(),
                                            [] { QCoreApplication::processEvents(); });
        link->setCurrent({QStringLiteral("127.0.0.2"), m_own});
        identified = IdentifyExchange(*link, true);
        return identified.dispatch.has_value();
    }
    QString diagnostics() { return m_sim.diagnostics(); }
    quint16 port() const { return m_own; }

    std::unique_ptr<DeviceLink> link;
    IdentificationResult identified;

private:
    DevsimRunner m_sim;
    ProtocolPorts m_ports;
    quint16 m_own = 0;
};

struct ClassRow {
    int deviceClass;
    const char *spec; // the rest of the device's spec
    QStringList pages;
};

TEST(SettingsBackupLoopback, EveryClassWithPagesComesBack) {
    const ClassRow rows[] = {
        {2, "", {"speed"}},
        {3, ",boosters=2", {"booster", "manager"}},
        {6, ",version=7.2", {"s88"}},
        {17, ",version=7.4,serial=0A0B0C0D0E0F", {"s88", "light"}},
        {22, ",serial=0A0B0C0D0E0F", {"light", "classic"}},
        {23, ",serial=0A0B0C0D0E0F", {"light", "rgb"}},
        {24, ",serial=0A0B0C0D0E0F", {"light"}},
        {27, ",boosters=3,serial=0A0B0C0D0E0F", {"booster-gateway", "booster", "light"}},
    };
    for (const ClassRow &row : rows) {
        SCOPED_TRACE(row.deviceClass);
        SimulatedDevice device;
        ASSERT_TRUE(device.start(row.deviceClass, QLatin1String(row.spec)))
            << qPrintable(device.diagnostics());
        DeviceLink &link = *device.link;
        const IdentificationResult &identified = device.identified;
        const quint16 own = device.port();

        // The backup holds every part, and its file reads back the same.
        const backup::Backup taken = flow::TakeBackup(link, identified, "test");
        EXPECT_TRUE(taken.missingParts().isEmpty()) << qPrintable(taken.missingParts().join(", "));
        QStringList pages;
        for (const backup::PageBackup &page : taken.pages)
            pages << page.page;
        EXPECT_EQ(pages, row.pages);
        ASSERT_TRUE(taken.network);
        EXPECT_EQ(taken.network->address, "127.0.0.2");
        EXPECT_EQ(taken.network->port, own);
        // As the identification shows it (the S88 controller's in reverse).
        const bool hasSerial = QLatin1String(row.spec).contains(QLatin1String("serial"));
        EXPECT_EQ(QString(taken.identity.serial).remove(':').size(), hasSerial ? 12 : 0);
        backup::FileError error;
        const std::optional<backup::Backup> file = backup::ReadJson(backup::ToJson(taken), error);
        ASSERT_TRUE(file) << qPrintable(error.text());
        EXPECT_EQ(*file, taken);

        // Every value changed on the device, every booster renamed; every page shows a change
        // of each of its keys.
        for (const backup::PageBackup &page : taken.pages) {
            const pagekeys::SettingsPage *settings = pagekeys::FindPage(page.page);
            pagekeys::Values changes;
            for (auto it = page.values.begin(); it != page.values.end(); ++it)
                changes.insert(it.key(), otherValue(*settings->key(it.key()), it.value()));
            settings->restore(link, changes, PresetDeviceType(*identified.dispatch));
        }
        for (const backup::BoosterBackup &booster : taken.boosters)
            EXPECT_TRUE(boosterlist::WriteBoosterName(link, quint8(booster.address), "Anders"));
        const QList<backup::FieldChange> changed =
            backup::Compare(flow::TakeBackup(link, identified, "test"), *file, false);
        for (const backup::PageBackup &page : taken.pages) {
            for (auto it = page.values.begin(); it != page.values.end(); ++it)
                EXPECT_TRUE(std::any_of(changed.begin(), changed.end(),
                                        [&](const backup::FieldChange &c) {
                                            return c.part == page.page && c.key == it.key();
                                        }))
                    << qPrintable(page.page + "." + it.key());
        }

        // The file restored: every field is back; the same serial asks nothing.
        Agreeing progress;
        flow::RestoreOptions options;
        options.programVersion = "test";
        const flow::Restored restored =
            flow::RestoreBackup(link, identified, *file, options, progress);
        EXPECT_EQ(restored.outcome, flow::Outcome::Done) << qPrintable(restored.refusal.text());
        EXPECT_FALSE(restored.replacement);
        EXPECT_EQ(progress.replacementQuestions, 0);
        EXPECT_FALSE(restored.changes.isEmpty());
        for (const flow::PageWrite &write : restored.writes)
            EXPECT_TRUE(write.accepted) << qPrintable(write.part + " " + write.key);
        for (const backup::FieldChange &field : restored.notTaken)
            ADD_FAILURE() << "not taken: "
                          << qPrintable(field.part + "." + field.key + " " + field.current +
                                        " -> " + field.wanted);
        EXPECT_TRUE(
            backup::Compare(flow::TakeBackup(link, identified, "test"), *file, false).isEmpty());

        // The backup before an installation: a file of its own each time, and a change
        // made since is found.
        if (row.deviceClass != 27)
            continue;
        const QTemporaryDir folder;
        const flow::SavedBackup first = flow::SaveIntoFolder(link, identified, folder.path(), "");
        const flow::SavedBackup second = flow::SaveIntoFolder(link, identified, folder.path(), "");
        EXPECT_TRUE(first.error.isEmpty() && second.error.isEmpty()) << qPrintable(first.error);
        EXPECT_NE(first.path, second.path);
        EXPECT_TRUE(backup::LoadFile(second.path, error)) << qPrintable(error.text());
        EXPECT_TRUE(flow::ChangedSince(link, identified, first.backup).isEmpty());
        EXPECT_TRUE(boosterlist::WriteBoosterName(link, 2, "Tausch"));
        EXPECT_EQ(flow::ChangedSince(link, identified, first.backup),
                  (QList<backup::FieldChange>{{"boosters", "2", "Tausch", "Booster 2"}}));
    }
}

// A page that does not answer: the backup records it as missing and goes on; a restore
// writes nothing, since it cannot compare. A write whose acknowledgement is lost is told.
TEST(SettingsBackupLoopback, SilentPagesAreToldNotGuessed) {
    for (const char *fault : {"silent:read", "silent:write"}) {
        SCOPED_TRACE(fault);
        SimulatedDevice device;
        ASSERT_TRUE(
            device.start(6, QStringLiteral(",version=7.2,pagefault=%1").arg(QLatin1String(fault))))
            << qPrintable(device.diagnostics());
        DeviceLink &link = *device.link;
        const IdentificationResult &identified = device.identified;
        const bool silentRead = QLatin1String(fault) == QLatin1String("silent:read");
        const backup::Backup taken = flow::TakeBackup(link, identified, "test");
        EXPECT_EQ(taken.missingParts(),
                  silentRead ? QStringList{"s88 (keine Antwort)"} : QStringList{});
        ASSERT_TRUE(taken.network);

        backup::Backup file = taken;
        file.pages = {{"s88", {{"bus1", 7}}, {}}};
        Agreeing progress;
        const flow::Restored restored =
            flow::RestoreBackup(link, identified, file, flow::RestoreOptions{}, progress);
        if (silentRead) {
            EXPECT_EQ(restored.outcome, flow::Outcome::NoAnswer);
            EXPECT_EQ(restored.refusal.text(), "pages.s88: keine Antwort");
            EXPECT_TRUE(restored.writes.isEmpty());
            continue;
        }
        EXPECT_EQ(restored.outcome, flow::Outcome::Done);
        ASSERT_EQ(restored.writes.size(), 1);
        EXPECT_FALSE(restored.writes[0].accepted);
        EXPECT_TRUE(restored.notTaken.isEmpty());
    }
}

} // namespace
