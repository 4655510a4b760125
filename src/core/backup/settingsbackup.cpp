#include "backup/settingsbackup.h"

#include "netinspect/ipv4.h"
#include "pages/boosterlist.h"
#include "pages/light.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <climits>
#include <cmath>

namespace qev::backup {

namespace {

namespace pk = pagekeys;

// The catalogue's context of the file's messages.
struct SettingsBackup {
    Q_DECLARE_TR_FUNCTIONS(SettingsBackup)
};

const QString NetworkPart = QStringLiteral("network");
const QString BoostersPart = QStringLiteral("boosters");

// Field names of the file.
namespace field {
const QString Format = QStringLiteral("format");
const QString Device = QStringLiteral("device");
const QString Network = QStringLiteral("network");
const QString Pages = QStringLiteral("pages");
const QString Boosters = QStringLiteral("boosters");
const QString Missing = QStringLiteral("missing");
const QString Class = QStringLiteral("class");
const QString ClassName = QStringLiteral("className");
const QString Version = QStringLiteral("version");
const QString Serial = QStringLiteral("serial");
const QString Mac = QStringLiteral("mac");
const QString Address = QStringLiteral("address");
const QString Port = QStringLiteral("port");
const QString Name = QStringLiteral("name");
const QString Date = QStringLiteral("date");
const QString Program = QStringLiteral("program");
const QString Mask = QStringLiteral("mask");
const QString Gateway = QStringLiteral("gateway");
const QString Broker = QStringLiteral("broker");
} // namespace field

// The reader: every refusal names the field it is about and ends the reading.
class Reader {
public:
    explicit Reader(FileError &error)
        : m_error(error) {}

    bool fail(const QString &path, const QString &reason) {
        m_error = {path, reason};
        return false;
    }

    // Only the fields named; each a field of the given kind.
    bool onlyFields(const QJsonObject &object, const QString &path, const QStringList &known) {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!known.contains(it.key()))
                return fail(join(path, it.key()), SettingsBackup::tr("unbekanntes Feld"));
        }
        return true;
    }

    bool object(const QJsonValue &value, const QString &path, QJsonObject &out) {
        if (!value.isObject())
            return fail(path, SettingsBackup::tr("muss ein Objekt sein"));
        out = value.toObject();
        return true;
    }

    bool text(const QJsonObject &object, const QString &path, const QString &name, QString &out,
              qsizetype maxLength = 256) {
        if (!object.contains(name))
            return true;
        const QJsonValue value = object.value(name);
        if (!value.isString())
            return fail(join(path, name), SettingsBackup::tr("muss ein Text sein"));
        out = value.toString();
        if (out.size() > maxLength)
            return fail(join(path, name),
                        SettingsBackup::tr("ist länger als %1 Zeichen").arg(maxLength));
        return true;
    }

    bool integer(const QJsonObject &object, const QString &path, const QString &name, int min,
                 int max, int &out, bool required = false) {
        if (!object.contains(name)) {
            if (required)
                return fail(join(path, name), SettingsBackup::tr("fehlt"));
            return true;
        }
        const std::optional<int> value = integerOf(object.value(name));
        if (!value)
            return fail(join(path, name), SettingsBackup::tr("muss eine ganze Zahl sein"));
        if (*value < min || *value > max)
            return fail(
                join(path, name),
                SettingsBackup::tr("%1 liegt nicht in %2..%3").arg(*value).arg(min).arg(max));
        out = *value;
        return true;
    }

    bool address(const QJsonObject &object, const QString &path, const QString &name, QString &out,
                 bool required) {
        if (!text(object, path, name, out, 15))
            return false;
        if (out.isEmpty() && !required)
            return true;
        if (!IsValidIP(out))
            return fail(join(path, name),
                        SettingsBackup::tr("\"%1\" ist keine IPv4-Adresse").arg(out));
        return true;
    }

    bool value(const pk::Key &key, const QJsonValue &json, const QString &path, QVariant &out) {
        const QString range = pk::RangeText(key);
        switch (key.kind) {
        case pk::Kind::Number: {
            const std::optional<int> value = integerOf(json);
            if (!value)
                return fail(path, SettingsBackup::tr("muss eine ganze Zahl sein"));
            if (*value < key.min || *value > key.max)
                return fail(path,
                            SettingsBackup::tr("%1 liegt nicht in %2").arg(*value).arg(range));
            out = *value;
            return true;
        }
        case pk::Kind::Tenths: {
            // At most one digit behind the point, as in the page's field.
            const double number = json.toDouble();
            const double tenths = std::round(number * 10.0);
            if (!json.isDouble() || std::abs(number * 10.0 - tenths) > 1e-6)
                return fail(path, SettingsBackup::tr(
                                      "muss eine Zahl mit höchstens einer Nachkommastelle sein"));
            if (tenths < key.min || tenths > key.max)
                return fail(path,
                            SettingsBackup::tr("%1 liegt nicht in %2").arg(number).arg(range));
            out = int(tenths);
            return true;
        }
        case pk::Kind::Flag:
            if (!json.isBool())
                return fail(path, SettingsBackup::tr("muss true oder false sein"));
            out = json.toBool();
            return true;
        case pk::Kind::Text:
            if (!json.isString())
                return fail(path, SettingsBackup::tr("muss ein Text sein"));
            if (json.toString().size() > key.max)
                return fail(path, SettingsBackup::tr("ist länger als %1 Zeichen").arg(key.max));
            out = json.toString();
            return true;
        case pk::Kind::Choice:
            if (json.isString()) {
                const std::optional<QVariant> choice = pk::ParseValue(key, json.toString());
                if (!choice)
                    return fail(
                        path,
                        SettingsBackup::tr("\"%1\" ist keiner von %2").arg(json.toString(), range));
                out = *choice;
                return true;
            }
            if (const std::optional<int> number = integerOf(json);
                number && *number >= key.min && *number <= key.max) {
                out = *number;
                return true;
            }
            return fail(path, SettingsBackup::tr("muss einer von %1 sein").arg(range));
        }
        return fail(path, SettingsBackup::tr("unbekannte Art"));
    }

    static QString join(const QString &path, const QString &name) {
        return path.isEmpty() ? name : path + QLatin1Char('.') + name;
    }

private:
    static std::optional<int> integerOf(const QJsonValue &value) {
        if (!value.isDouble())
            return std::nullopt;
        const double number = value.toDouble();
        if (number != std::floor(number) || number < -2147483648.0 || number > 2147483647.0)
            return std::nullopt;
        return int(number);
    }

    FileError &m_error;
};

bool readDevice(Reader &r, const QJsonValue &json, Identity &identity) {
    QJsonObject o;
    const QString path = field::Device;
    if (!r.object(json, path, o) ||
        !r.onlyFields(o, path,
                      {field::Class, field::ClassName, field::Version, field::Serial, field::Mac,
                       field::Address, field::Port, field::Name, field::Date, field::Program}) ||
        !r.integer(o, path, field::Class, 1, 255, identity.deviceClass, true) ||
        !r.text(o, path, field::ClassName, identity.className) ||
        !r.text(o, path, field::Version, identity.version) ||
        !r.text(o, path, field::Serial, identity.serial) ||
        !r.text(o, path, field::Mac, identity.mac) ||
        !r.address(o, path, field::Address, identity.address, false) ||
        !r.integer(o, path, field::Port, 0, 65535, identity.port) ||
        !r.text(o, path, field::Name, identity.name) ||
        !r.text(o, path, field::Program, identity.programVersion))
        return false;
    QString date;
    if (!r.text(o, path, field::Date, date))
        return false;
    if (!date.isEmpty()) {
        identity.date = QDateTime::fromString(date, Qt::ISODate);
        if (!identity.date.isValid())
            return r.fail(Reader::join(path, field::Date),
                          SettingsBackup::tr("\"%1\" ist kein Datum").arg(date));
        // Kept to the second, as written.
        identity.date = identity.date.addMSecs(-identity.date.time().msec());
    }
    return true;
}

bool readNetwork(Reader &r, const QJsonValue &json, NetworkSettings &network) {
    QJsonObject o;
    const QString path = field::Network;
    return r.object(json, path, o) &&
           r.onlyFields(
               o, path,
               {field::Address, field::Mask, field::Port, field::Gateway, field::Broker}) &&
           r.address(o, path, field::Address, network.address, true) &&
           r.address(o, path, field::Mask, network.mask, true) &&
           r.integer(o, path, field::Port, 1, 65535, network.port, true) &&
           r.address(o, path, field::Gateway, network.gateway, false) &&
           r.address(o, path, field::Broker, network.broker, false);
}

bool readPages(Reader &r, const QJsonValue &json, int deviceClass, QList<PageBackup> &pages) {
    QJsonObject o;
    if (!r.object(json, field::Pages, o))
        return false;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString path = Reader::join(field::Pages, it.key());
        const pk::SettingsPage *page = pk::FindPage(it.key());
        if (!page)
            return r.fail(path, SettingsBackup::tr("unbekannte Seite"));
        QJsonObject keys;
        if (!r.object(it.value(), path, keys))
            return false;
        PageBackup backup{page->name(), {}, {}};
        for (auto k = keys.begin(); k != keys.end(); ++k) {
            const QString keyPath = Reader::join(path, k.key());
            const pk::Key *key = page->key(k.key());
            if (!key || !DeviceReports(*page, *key, quint8(deviceClass)))
                return r.fail(keyPath, SettingsBackup::tr("unbekanntes Feld"));
            QVariant value;
            if (!r.value(*key, k.value(), keyPath, value))
                return false;
            backup.values.insert(key->name, value);
        }
        pages << backup;
    }
    return true;
}

bool readBoosters(Reader &r, const QJsonValue &json, QList<BoosterBackup> &boosters) {
    if (!json.isArray())
        return r.fail(field::Boosters, SettingsBackup::tr("muss eine Liste sein"));
    const QJsonArray list = json.toArray();
    QSet<int> addresses;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString path = QStringLiteral("%1[%2]").arg(field::Boosters).arg(i);
        QJsonObject o;
        BoosterBackup booster;
        if (!r.object(list.at(i), path, o) ||
            !r.onlyFields(o, path, {field::Address, field::Name, field::Serial}) ||
            !r.integer(o, path, field::Address, boosterlist::FirstAddress, boosterlist::LastAddress,
                       booster.address, true) ||
            !r.text(o, path, field::Name, booster.name, boosterlist::MaxNameLength) ||
            !r.text(o, path, field::Serial, booster.serial))
            return false;
        if (addresses.contains(booster.address))
            return r.fail(
                Reader::join(path, field::Address),
                SettingsBackup::tr("Adresse %1 steht zweimal in der Liste").arg(booster.address));
        addresses.insert(booster.address);
        boosters << booster;
    }
    return true;
}

bool readMissing(Reader &r, const QJsonValue &json, Backup &backup) {
    QJsonObject o;
    if (!r.object(json, field::Missing, o))
        return false;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString path = Reader::join(field::Missing, it.key());
        if (!it.value().isString())
            return r.fail(path, SettingsBackup::tr("muss ein Text sein"));
        const QString reason = it.value().toString();
        if (it.key() == NetworkPart) {
            backup.networkMissing = reason;
        } else if (it.key() == BoostersPart) {
            backup.boostersMissing = reason;
        } else if (pk::FindPage(it.key())) {
            if (backup.page(it.key()))
                return r.fail(path, SettingsBackup::tr("die Seite steht auch unter \"pages\""));
            backup.pages << PageBackup{it.key(), {}, reason};
        } else {
            return r.fail(path, SettingsBackup::tr("unbekannte Seite"));
        }
    }
    return true;
}

// The pages in the window's page order, whichever order the file had.
void sortPages(QList<PageBackup> &pages) {
    const auto order = [](const PageBackup &page) {
        return pk::Pages().indexOf(pk::FindPage(page.page));
    };
    std::stable_sort(pages.begin(), pages.end(),
                     [&](const PageBackup &a, const PageBackup &b) { return order(a) < order(b); });
}

QString fileNamePart(QString text) {
    static const QRegularExpression unfit(QStringLiteral("[^A-Za-z0-9._-]+"));
    text.replace(unfit, QStringLiteral("_"));
    return text;
}

} // namespace

const PageBackup *Backup::page(const QString &name) const {
    for (const PageBackup &p : pages) {
        if (p.page == name)
            return &p;
    }
    return nullptr;
}

QStringList Backup::missingParts() const {
    QStringList parts;
    if (!network && !networkMissing.isEmpty())
        parts << QStringLiteral("%1 (%2)").arg(NetworkPart, networkMissing);
    for (const PageBackup &p : pages) {
        if (!p.missing.isEmpty())
            parts << QStringLiteral("%1 (%2)").arg(p.page, p.missing);
    }
    if (!boostersMissing.isEmpty())
        parts << QStringLiteral("%1 (%2)").arg(BoostersPart, boostersMissing);
    return parts;
}

bool DeviceReports(const pk::SettingsPage &page, const pk::Key &key, quint8 reportedClass) {
    if (page.name() == QLatin1String("speed"))
        return key.name != QLatin1String("pause") && key.name != QLatin1String("max-time");
    if (page.name() == QLatin1String("light") && key.name == QLatin1String("name"))
        return !light::UsesGatewayForm(reportedClass);
    return true;
}

QString FileError::text() const {
    return field.isEmpty() ? reason : QStringLiteral("%1: %2").arg(field, reason);
}

QByteArray ToJson(const Backup &backup) {
    const Identity &id = backup.identity;
    QJsonObject device{{field::Class, id.deviceClass},
                       {field::ClassName, id.className},
                       {field::Version, id.version},
                       {field::Serial, id.serial},
                       {field::Mac, id.mac},
                       {field::Address, id.address},
                       {field::Port, id.port},
                       {field::Name, id.name},
                       {field::Program, id.programVersion}};
    if (id.date.isValid())
        device.insert(field::Date, id.date.toUTC().toString(Qt::ISODate));
    QJsonObject root{{field::Format, FormatVersion}, {field::Device, device}};
    QJsonObject missing;
    if (backup.network) {
        const NetworkSettings &n = *backup.network;
        root.insert(field::Network, QJsonObject{{field::Address, n.address},
                                                {field::Mask, n.mask},
                                                {field::Port, n.port},
                                                {field::Gateway, n.gateway},
                                                {field::Broker, n.broker}});
    } else if (!backup.networkMissing.isEmpty()) {
        missing.insert(NetworkPart, backup.networkMissing);
    }
    QJsonObject pages;
    for (const PageBackup &p : backup.pages) {
        const pk::SettingsPage *page = pk::FindPage(p.page);
        if (!p.missing.isEmpty() || !page) {
            missing.insert(p.page, p.missing);
            continue;
        }
        QJsonObject keys;
        for (const pk::Key &key : page->keys()) {
            if (p.values.contains(key.name))
                keys.insert(key.name, pk::JsonValue(key, p.values.value(key.name)));
        }
        pages.insert(p.page, keys);
    }
    root.insert(field::Pages, pages);
    if (backup.boosterBus) {
        if (!backup.boostersMissing.isEmpty()) {
            missing.insert(BoostersPart, backup.boostersMissing);
        } else {
            QJsonArray boosters;
            for (const BoosterBackup &b : backup.boosters)
                boosters << QJsonObject{
                    {field::Address, b.address}, {field::Name, b.name}, {field::Serial, b.serial}};
            root.insert(field::Boosters, boosters);
        }
    }
    if (!missing.isEmpty())
        root.insert(field::Missing, missing);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Backup> ReadJson(QByteArrayView json, FileError &error) {
    if (json.size() > MaxFileSize) {
        error = {{}, SettingsBackup::tr("Die Datei ist größer als %1 Bytes").arg(MaxFileSize)};
        return std::nullopt;
    }
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = {{},
                 SettingsBackup::tr("Kein gültiges JSON: %1 (Zeichen %2)")
                     .arg(parse.errorString())
                     .arg(parse.offset)};
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = {{}, SettingsBackup::tr("Die Datei ist keine Einstellungssicherung")};
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    Reader r(error);
    Backup backup;
    int format = 0;
    if (!r.integer(root, {}, field::Format, 1, INT_MAX, format, true))
        return std::nullopt;
    if (format > FormatVersion) {
        r.fail(
            field::Format,
            SettingsBackup::tr("Version %1 ist neuer als diese Programmversion (sie liest bis %2)")
                .arg(format)
                .arg(FormatVersion));
        return std::nullopt;
    }
    if (!r.onlyFields(root, {},
                      {field::Format, field::Device, field::Network, field::Pages, field::Boosters,
                       field::Missing}))
        return std::nullopt;
    if (!root.contains(field::Device)) {
        r.fail(field::Device, SettingsBackup::tr("fehlt"));
        return std::nullopt;
    }
    if (!readDevice(r, root.value(field::Device), backup.identity))
        return std::nullopt;
    if (root.contains(field::Network)) {
        backup.network.emplace();
        if (!readNetwork(r, root.value(field::Network), *backup.network))
            return std::nullopt;
    }
    if (root.contains(field::Pages) &&
        !readPages(r, root.value(field::Pages), backup.identity.deviceClass, backup.pages))
        return std::nullopt;
    if (root.contains(field::Boosters)) {
        backup.boosterBus = true;
        if (!readBoosters(r, root.value(field::Boosters), backup.boosters))
            return std::nullopt;
    }
    if (root.contains(field::Missing) && !readMissing(r, root.value(field::Missing), backup))
        return std::nullopt;
    if (!backup.boostersMissing.isEmpty()) {
        if (root.contains(field::Boosters)) {
            r.fail(Reader::join(field::Missing, BoostersPart),
                   SettingsBackup::tr("die Booster stehen auch unter \"boosters\""));
            return std::nullopt;
        }
        backup.boosterBus = true;
    }
    if (backup.network && !backup.networkMissing.isEmpty()) {
        r.fail(Reader::join(field::Missing, NetworkPart),
               SettingsBackup::tr("das Netzwerk steht auch unter \"network\""));
        return std::nullopt;
    }
    sortPages(backup.pages);
    return backup;
}

std::optional<Backup> LoadFile(const QString &path, FileError &error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = {
            {},
            SettingsBackup::tr("%1 kann nicht gelesen werden: %2").arg(path, file.errorString())};
        return std::nullopt;
    }
    // One byte more than allowed tells a file that is too large.
    const QByteArray text = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        error = {
            {},
            SettingsBackup::tr("%1 kann nicht gelesen werden: %2").arg(path, file.errorString())};
        return std::nullopt;
    }
    return ReadJson(text, error);
}

bool SaveFile(const QString &path, const Backup &backup, QString &error) {
    // Written whole or not at all: an earlier file of the same name stays until then.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ToJson(backup)) < 0 || !file.commit()) {
        error = SettingsBackup::tr("%1 kann nicht geschrieben werden: %2")
                    .arg(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<FileError> CheckFits(const Backup &file, const Backup &device) {
    const Identity &f = file.identity;
    const Identity &d = device.identity;
    if (f.deviceClass != d.deviceClass)
        return FileError{
            Reader::join(field::Device, field::Class),
            SettingsBackup::tr("Die Datei ist von einem Gerät der Klasse %1 (%2), dieses Gerät hat "
                               "die Klasse %3 (%4)")
                .arg(f.deviceClass)
                .arg(f.className)
                .arg(d.deviceClass)
                .arg(d.className)};
    for (const PageBackup &page : file.pages) {
        if (!device.page(page.page))
            return FileError{Reader::join(field::Pages, page.page),
                             SettingsBackup::tr("Dieses Gerät hat diese Seite nicht")};
    }
    if (!file.boosters.isEmpty() && !device.boosterBus)
        return FileError{field::Boosters,
                         SettingsBackup::tr("Dieses Gerät hat keinen Booster-Bus")};
    return std::nullopt;
}

QString BackupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qev-programmer/backups");
}

QString ProposedFileName(const Backup &backup) {
    const Identity &id = backup.identity;
    QString serial = id.serial.isEmpty() ? id.mac : id.serial;
    serial.remove(QLatin1Char(':'));
    if (serial.isEmpty())
        serial = id.address;
    const QDateTime date = id.date.isValid() ? id.date : QDateTime::currentDateTime();
    return QStringLiteral("%1-%2-%3.json")
        .arg(fileNamePart(id.className.isEmpty() ? QString::number(id.deviceClass) : id.className),
             fileNamePart(serial), date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")));
}

QList<FieldChange> Compare(const Backup &device, const Backup &file, bool withNetwork) {
    QList<FieldChange> changes;
    if (withNetwork && device.network && file.network) {
        const NetworkSettings &d = *device.network;
        const NetworkSettings &f = *file.network;
        const auto compare = [&](const QString &key, const QString &current,
                                 const QString &wanted) {
            if (current != wanted)
                changes << FieldChange{NetworkPart, key, current, wanted};
        };
        compare(field::Address, d.address, f.address);
        compare(field::Mask, d.mask, f.mask);
        compare(field::Port, QString::number(d.port), QString::number(f.port));
        compare(field::Gateway, d.gateway, f.gateway);
        compare(field::Broker, d.broker, f.broker);
    }
    for (const PageBackup &wanted : file.pages) {
        const PageBackup *current = device.page(wanted.page);
        const pk::SettingsPage *page = pk::FindPage(wanted.page);
        if (!current || !page || !current->missing.isEmpty() || !wanted.missing.isEmpty())
            continue;
        for (const pk::Key &key : page->keys()) {
            if (!wanted.values.contains(key.name) || !current->values.contains(key.name))
                continue;
            const QVariant have = current->values.value(key.name);
            const QVariant want = wanted.values.value(key.name);
            if (pk::FormatValue(key, have) != pk::FormatValue(key, want))
                changes << FieldChange{wanted.page, key.name, pk::FormatValue(key, have),
                                       pk::FormatValue(key, want)};
        }
    }
    if (device.boostersMissing.isEmpty()) {
        for (const BoosterBackup &wanted : file.boosters) {
            for (const BoosterBackup &current : device.boosters) {
                // A name is written with at most 16 characters; an empty name is not known.
                const QString name = wanted.name.left(boosterlist::MaxNewNameLength);
                if (current.address == wanted.address && !name.isEmpty() &&
                    current.name.left(boosterlist::MaxNewNameLength) != name)
                    changes << FieldChange{BoostersPart, QString::number(wanted.address),
                                           current.name, name};
            }
        }
    }
    return changes;
}

QList<BoosterBackup> MissingBoosters(const Backup &device, const Backup &file) {
    QList<BoosterBackup> missing;
    if (!device.boostersMissing.isEmpty())
        return missing;
    for (const BoosterBackup &wanted : file.boosters) {
        const bool onBus = std::any_of(
            device.boosters.begin(), device.boosters.end(),
            [&](const BoosterBackup &current) { return current.address == wanted.address; });
        if (!onBus)
            missing << wanted;
    }
    return missing;
}

bool IsReplacement(const Backup &device, const Backup &file) {
    return device.identity.serial.compare(file.identity.serial, Qt::CaseInsensitive) != 0;
}

} // namespace qev::backup
