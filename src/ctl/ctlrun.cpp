#include "ctlrun.h"

#include "app/devicecodes.h"
#include "app/language.h"
#include "app/messagetext.h"
#include "app/settingsfile.h"
#include "backup/settingsbackup.h"
#include "devicelink/devicelink.h"
#include "devicelink/discovery.h"
#include "devicelink/identification.h"
#include "devicelink/selection.h"
#include "flows/backup.h"
#include "flows/firmware.h"
#include "flows/netprogramming.h"
#include "flows/report.h"
#include "flows/search.h"
#include "netinspect/adapters.h"
#include "netinspect/arp.h"
#include "netinspect/deviceclass.h"
#include "netinspect/ipv4.h"
#include "pages/boosterlist.h"
#include "pages/pagekeys.h"
#include "report/reportrenderer.h"
#include "trace/datagramtrace.h"
#include "trace/pcapngwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cstdio>
#include <exception>
#include <memory>
#include <unistd.h>

namespace qevctl {

namespace {

using qev::DeviceLink;
namespace pk = qev::pagekeys;

void processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

qev::ProtocolPorts portsOf(const Command &command) {
    qev::ProtocolPorts ports;
    if (command.has(QStringLiteral("--base-port"))) {
        // The device ports keep their distance to the base port.
        const int base = command.value(QStringLiteral("--base-port")).toInt();
        ports = {quint16(base), quint16(base + 1), quint16(base + 2)};
    }
    return ports;
}

QString settingsFileOf(const Command &command) {
    if (command.has(QStringLiteral("--settings")))
        return command.value(QStringLiteral("--settings"));
    return qev::ProgrammerSettingsFilePath(QCoreApplication::applicationFilePath());
}

std::unique_ptr<DeviceLink> openLink(const Command &command) {
    return std::make_unique<DeviceLink>(
        portsOf(command), qev::LoadDeviceCodes(settingsFileOf(command)), processEvents);
}

// The texts of the window's forms, from the same catalogue.
QString formText(const char *context, const char *text) {
    return QCoreApplication::translate(context, text);
}

class Printer {
public:
    Printer(const Command &command, Output &output)
        : m_command(command)
        , m_output(output) {}

    // A catalogue message about the outcome; not with --quiet.
    void message(int id) { note(MessageText(id).trimmed()); }
    // A message of qevctl's own; not with --quiet.
    void note(const QString &text) {
        if (!m_command.quiet)
            m_output.out << text << Qt::endl;
    }
    void line(const QString &text) { m_output.out << text << Qt::endl; }
    // What a long run is doing: on standard error, so that the data on standard output stay
    // clean; not with --quiet.
    void progressLine(const QString &text) {
        if (!m_command.quiet)
            m_output.err << text << Qt::endl;
    }
    void error(const QString &text) { m_output.err << "qevctl: " << text << Qt::endl; }
    void json(const QJsonDocument &document) {
        m_output.out << document.toJson(QJsonDocument::Indented);
        m_output.out.flush();
    }
    bool wantsJson() const { return m_command.has(QStringLiteral("--json")); }
    bool quiet() const { return m_command.quiet; }
    Output &output() { return m_output; }

private:
    const Command &m_command;
    Output &m_output;
};

// A device asked for its class and version, ready for page exchanges.
struct Identified {
    qev::IdentificationResult result;
    QJsonObject json;
};

QJsonValue optionalText(const std::optional<QString> &text) {
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

// The identification of the window, told nothing while it runs.
class QuietIdentify final : public qev::flow::IdentifyProgress {};

// The device the identification made current, as printed.
Identified describe(const DeviceLink &link, const qev::IdentificationResult &result) {
    Identified identified{result, {}};
    const qev::CurrentDevice &device = link.current();
    const quint8 reported = result.dispatch ? result.dispatch->reportedClass : 0;
    QJsonArray pages;
    if (result.dispatch) {
        for (const pk::SettingsPage *page : pk::PagesOf(*result.dispatch))
            pages << page->name();
    }
    identified.json = QJsonObject{
        {QStringLiteral("address"), device.host},
        {QStringLiteral("port"), device.port},
        {QStringLiteral("class"), reported},
        {QStringLiteral("className"), qev::DeviceClassName(reported)},
        {QStringLiteral("version"), device.versionText()},
        {QStringLiteral("serial"), optionalText(result.serial)},
        {QStringLiteral("pages"), pages},
    };
    return identified;
}

Identified identify(DeviceLink &link, const qev::DeviceRecord &record) {
    QuietIdentify quiet;
    return describe(
        link,
        qev::flow::Identify(link, {record, 1, false}, qev::GetLocalIP(), quiet).identification);
}

// A search of the command line: nobody picks, so several answers take none.
qev::flow::SearchOptions searchOptions() {
    return {qev::GetLocalIP(), [](const QList<qev::DeviceRecord> &) { return std::nullopt; },
            processEvents, qev::SearchTimeoutMs};
}

quint16 portOption(const Command &command) {
    return quint16(command.value(QStringLiteral("--port")).toUInt());
}

// Identifies HOST; prints the no-answer message when it does not answer. Without --port the
// device is first asked directly at its address, as the window's selection by a known
// address does; the answer gives its port.
std::optional<Identified> identifyHost(DeviceLink &link, const Command &command, Printer &printer) {
    const QString host = command.arguments[0];
    std::optional<Identified> identified;
    if (command.has(QStringLiteral("--port"))) {
        qev::DeviceRecord record;
        record.address = host;
        record.port = portOption(command);
        identified = identify(link, record);
    } else {
        QuietIdentify quiet;
        const qev::flow::Searched searched =
            qev::flow::SelectManually(link, -1, host, searchOptions(), quiet);
        if (searched.found.count > 0)
            identified = describe(link, searched.identified.identification);
    }
    if (!identified || !identified->result.dispatch) {
        printer.error(MessageText(qev::IDS_106));
        return std::nullopt;
    }
    return identified;
}

// One row of the device table; the column heads when device is empty.
QString deviceLine(const QJsonObject &device) {
    const auto text = [&](const char *key, const char *head) {
        return device.isEmpty() ? QString::fromLatin1(head)
                                : device.value(QLatin1String(key)).toVariant().toString();
    };
    return QStringLiteral("%1  %2  %3  %4  %5  %6  %7")
        .arg(text("address", "ADDRESS"), -15)
        .arg(text("port", "PORT"), 5)
        .arg(text("class", "CLASS"), 5)
        .arg(text("className", "NAME"), -24)
        .arg(text("version", "VERSION"), -7)
        .arg(text("mac", "MAC"), -17)
        .arg(text("serial", "SERIAL"))
        .trimmed();
}

int identifyCommand(const Command &command, Printer &printer) {
    const auto link = openLink(command);
    const std::optional<Identified> identified = identifyHost(*link, command, printer);
    if (!identified)
        return ExitNoDevice;
    if (printer.wantsJson()) {
        printer.json(QJsonDocument(identified->json));
    } else {
        for (auto it = identified->json.begin(); it != identified->json.end(); ++it) {
            const QString value = it.value().isArray()
                                      ? it.value().toVariant().toStringList().join(QLatin1Char(' '))
                                      : it.value().toVariant().toString();
            printer.line(QStringLiteral("%1: %2").arg(it.key(), value));
        }
    }
    return ExitDone;
}

// The subcommands that broadcast need the PC's network; the window enters its no-network state.
bool networkUsable(Printer &printer) {
    if (qev::IsNetworkUsable())
        return true;
    printer.error(MessageText(qev::IDS_108));
    return false;
}

// Every device that answers the search, by --broadcast and --timeout.
QList<qev::DeviceRecord> searchDevices(const Command &command, const DeviceLink &link) {
    const QString broadcast = command.has(QStringLiteral("--broadcast"))
                                  ? command.value(QStringLiteral("--broadcast"))
                                  : qev::GetLocalBroadcast();
    const int timeoutMs = command.has(QStringLiteral("--timeout"))
                              ? command.value(QStringLiteral("--timeout")).toInt()
                              : qev::SearchTimeoutMs;
    QList<qev::DeviceRecord> records;
    qev::DiscoverDevices(records, timeoutMs, broadcast, link.ports(), processEvents);
    return records;
}

int discoverCommand(const Command &command, Printer &printer) {
    if (!networkUsable(printer))
        return ExitNoNetwork;
    const auto link = openLink(command);
    QJsonArray devices;
    for (const qev::DeviceRecord &record : searchDevices(command, *link)) {
        QJsonObject device = identify(*link, record).json;
        // The address the device reported; the search asked it for its class already.
        if (device.value(QStringLiteral("class")).toInt() == 0) {
            device.insert(QStringLiteral("class"), record.deviceClass);
            device.insert(QStringLiteral("className"), qev::DeviceClassName(record.deviceClass));
        }
        device.insert(QStringLiteral("port"), record.port);
        device.insert(QStringLiteral("netmask"), record.netmask);
        device.insert(QStringLiteral("mac"), qev::FormatMac(record.mac));
        device.insert(QStringLiteral("program"),
                      qev::IsPcProgramClass(quint8(device.value(QStringLiteral("class")).toInt())));
        devices << device;
    }
    if (printer.wantsJson()) {
        printer.json(QJsonDocument(devices));
    } else if (!devices.isEmpty()) {
        if (!printer.quiet())
            printer.line(deviceLine({}));
        for (const QJsonValue &device : devices)
            printer.line(deviceLine(device.toObject()));
    }
    if (devices.isEmpty()) {
        printer.error(MessageText(qev::IDS_110));
        return ExitNoDevice;
    }
    return ExitDone;
}

// Only the pages the window shows for the device's class are asked of it.
bool devicePageOrRefusal(const QList<const pk::SettingsPage *> &pages, const pk::SettingsPage *page,
                         const Identified &identified, Printer &printer) {
    if (pages.contains(page))
        return true;
    printer.error(
        QStringLiteral("%1 has no page %2")
            .arg(identified.json.value(QStringLiteral("className")).toString(), page->name()));
    return false;
}

int getCommand(const Command &command, Printer &printer) {
    const auto link = openLink(command);
    const std::optional<Identified> identified = identifyHost(*link, command, printer);
    if (!identified)
        return ExitNoDevice;
    QList<const pk::SettingsPage *> pages = pk::PagesOf(*identified->result.dispatch);
    if (command.arguments.size() > 1) {
        const pk::SettingsPage *page = pk::FindPage(command.arguments[1]);
        if (!devicePageOrRefusal(pages, page, *identified, printer))
            return ExitFailed;
        pages = {page};
    }
    QJsonObject json;
    int status = ExitDone;
    for (const pk::SettingsPage *page : pages) {
        const std::optional<pk::Values> values = page->read(*link);
        if (!values) {
            printer.error(QStringLiteral("%1: %2").arg(page->name(), MessageText(qev::IDS_110)));
            json.insert(page->name(), QJsonValue::Null);
            status = ExitNoDevice;
            continue;
        }
        QJsonObject keys;
        for (const pk::Key &key : page->keys()) {
            keys.insert(key.name, pk::JsonValue(key, values->value(key.name)));
            if (!printer.wantsJson())
                printer.line(QStringLiteral("%1.%2=%3")
                                 .arg(page->name(), key.name,
                                      pk::FormatValue(key, values->value(key.name))));
        }
        json.insert(page->name(), keys);
    }
    if (printer.wantsJson())
        printer.json(QJsonDocument(json));
    return status;
}

int setCommand(const Command &command, Printer &printer) {
    const pk::SettingsPage *page = pk::FindPage(command.arguments[1]);
    pk::Values changes;
    for (const QString &assignment : command.arguments.mid(2)) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        const QString name = assignment.left(equals);
        // The parser checked every assignment against the page's keys.
        changes.insert(name, *pk::ParseValue(*page->key(name), assignment.mid(equals + 1)));
    }
    const auto link = openLink(command);
    const std::optional<Identified> identified = identifyHost(*link, command, printer);
    if (!identified)
        return ExitNoDevice;
    if (!devicePageOrRefusal(pk::PagesOf(*identified->result.dispatch), page, *identified, printer))
        return ExitFailed;
    switch (page->change(*link, changes, qev::PresetDeviceType(*identified->result.dispatch))) {
    case pk::SettingsPage::Outcome::Accepted:
        printer.message(qev::IDS_117);
        return ExitDone;
    case pk::SettingsPage::Outcome::Refused:
        printer.error(MessageText(qev::IDS_110));
        return ExitFailed;
    case pk::SettingsPage::Outcome::NoAnswer:
        break;
    }
    printer.error(MessageText(qev::IDS_110));
    return ExitNoDevice;
}

// Identifies HOST, which must drive a booster bus (a booster gateway or a manager); 0 when
// it does, else the exit status.
int identifyBoosterBus(DeviceLink &link, const Command &command, Printer &printer) {
    const std::optional<Identified> identified = identifyHost(link, command, printer);
    if (!identified)
        return ExitNoDevice;
    if (!identified->result.dispatch->pages.contains(qev::Page::TabSheetSerial)) {
        printer.error(QStringLiteral("%1 has no booster bus")
                          .arg(identified->json.value(QStringLiteral("className")).toString()));
        return ExitFailed;
    }
    return ExitDone;
}

int boostersCommand(const Command &command, Printer &printer) {
    const auto link = openLink(command);
    if (const int status = identifyBoosterBus(*link, command, printer); status != ExitDone)
        return status;
    qev::boosterlist::BoosterTable table;
    bool answered = false;
    qev::boosterlist::ReadBoosterList(
        *link, table, false, {.listAnswered = [&](bool a) { answered = a; }, .listRead = {}});
    if (!answered) {
        printer.error(MessageText(qev::IDS_110));
        return ExitNoDevice;
    }
    QJsonArray rows;
    for (const qev::boosterlist::BoosterRow &row : table.rows()) {
        rows << QJsonObject{{QStringLiteral("address"), row.nr},
                            {QStringLiteral("type"), row.type},
                            {QStringLiteral("name"), row.name},
                            {QStringLiteral("version"), row.version},
                            {QStringLiteral("serial"), row.serial}};
        if (!printer.wantsJson())
            printer.line(QStringLiteral("%1  %2  %3  %4  %5")
                             .arg(row.nr, 3)
                             .arg(row.type)
                             .arg(row.name, -20)
                             .arg(row.version, -5)
                             .arg(row.serial));
    }
    if (printer.wantsJson())
        printer.json(QJsonDocument(rows));
    return ExitDone;
}

int renameBoosterCommand(const Command &command, Printer &printer) {
    const auto link = openLink(command);
    if (const int status = identifyBoosterBus(*link, command, printer); status != ExitDone)
        return status;
    if (!qev::boosterlist::WriteBoosterName(*link, quint8(command.arguments[1].toInt()),
                                            command.arguments[2])) {
        printer.error(MessageText(qev::IDS_110));
        return ExitFailed;
    }
    printer.message(qev::IDS_117);
    return ExitDone;
}

// The programming's question is the command itself; its text is shown, since it says how
// a Ferrano or Lucento device is put into programming mode.
class ProgrammingReport final : public qev::flow::ProgrammingProgress {
public:
    explicit ProgrammingReport(Printer &printer)
        : m_printer(printer) {}
    bool confirm(const qev::Confirmation &question) override {
        if (!m_printer.quiet())
            m_printer.line(qev::ComposeText(question.text.mid(0, 1), MessageText));
        return true;
    }

private:
    Printer &m_printer;
};

// The port field as the identification leaves it: the dispatch's steps applied in order.
QString presetPortText(const qev::ClassDispatch &dispatch, const DeviceLink &link) {
    QString port;
    for (const qev::PickStep &step : dispatch.pickSteps) {
        switch (step.kind) {
        case qev::PickStep::PortItem:
            port = QString::number(link.ports().base + step.item);
            break;
        case qev::PickStep::PortCurrent:
            port = QString::number(link.current().port);
            break;
        case qev::PickStep::TypeItem:
            port = qev::DeviceTypeChanged(step.item, port).portText.value_or(port);
            break;
        }
    }
    return port;
}

// Tells how the network programming ended; the exit status.
int programmedStatus(const qev::flow::Programmed &programmed, Printer &printer) {
    switch (programmed.outcome) {
    case qev::flow::Outcome::Done:
        printer.message(programmed.messageId);
        return ExitDone;
    case qev::flow::Outcome::Refused:
        printer.error(MessageText(programmed.messageId));
        return ExitFailed;
    default:
        break;
    }
    printer.error(MessageText(qev::IDS_106));
    return ExitNoDevice;
}

int setNetworkCommand(const Command &command, Printer &printer) {
    if (!networkUsable(printer))
        return ExitNoNetwork;
    const auto link = openLink(command);
    QuietIdentify quiet;
    const QString host = command.arguments[0];
    const qev::flow::Searched searched =
        qev::flow::SelectManually(*link, -1, host, searchOptions(), quiet);
    const std::optional<qev::ClassDispatch> &dispatch = searched.identified.identification.dispatch;
    if (searched.found.count < 1 || !dispatch) {
        printer.error(MessageText(qev::IDS_106));
        return ExitNoDevice;
    }
    qev::flow::NetworkProgramming input;
    input.settings.address = command.value(QStringLiteral("--ip"));
    input.settings.mask = command.value(QStringLiteral("--mask"));
    input.settings.gateway = command.value(QStringLiteral("--gateway"));
    input.settings.broker = command.value(QStringLiteral("--broker"));
    input.settings.port = command.has(QStringLiteral("--port"))
                              ? command.value(QStringLiteral("--port"))
                              : presetPortText(*dispatch, *link);
    input.settings.deviceType = qMax(0, qev::PresetDeviceType(*dispatch));
    input.deviceHost = host;
    input.checkFirst = true;
    ProgrammingReport report(printer);
    return programmedStatus(
        qev::flow::ProgramNetwork(*link, input, searchOptions(), qev::Ping, report), printer);
}

namespace bk = qev::backup;

QString programVersion() {
    return QCoreApplication::applicationVersion();
}

// One field of a comparison: "page.key: device -> file".
QString changeLine(const bk::FieldChange &change) {
    const auto shown = [](const QString &value) {
        return value.isEmpty() ? QStringLiteral("(none)") : value;
    };
    return QStringLiteral("%1.%2: %3 -> %4")
        .arg(change.part, change.key, shown(change.current), shown(change.wanted));
}

// A part that did not answer is told, not a failure: the rest of the backup is saved.
void tellMissing(const QString &address, const bk::Backup &backup, Printer &printer) {
    for (const QString &part : backup.missingParts())
        printer.error(QStringLiteral("%1: not in the backup: %2").arg(address, part));
}

// A backup saved into a folder, as a file of its own beside the earlier ones; what is
// missing from it and a failure to save are told.
qev::flow::SavedBackup saveIntoFolder(DeviceLink &link, const Identified &identified,
                                      const QString &folder, Printer &printer) {
    qev::flow::SavedBackup saved =
        qev::flow::SaveIntoFolder(link, identified.result, folder, programVersion());
    tellMissing(link.current().host, saved.backup, printer);
    if (!saved.error.isEmpty())
        printer.error(QStringLiteral("%1: the backup was not saved: %2")
                          .arg(link.current().host, saved.error));
    return saved;
}

QJsonObject backupJson(const QString &address, const QString &path, const bk::Backup &backup) {
    return {{QStringLiteral("address"), address},
            {QStringLiteral("file"), path},
            {QStringLiteral("missing"), QJsonArray::fromStringList(backup.missingParts())}};
}

// Every device the search finds (not the PC programs), one file each in DIR. A device that
// does not answer is told; the others are saved all the same.
int backupAllCommand(const Command &command, Printer &printer) {
    if (!networkUsable(printer))
        return ExitNoNetwork;
    const auto link = openLink(command);
    int devices = 0;
    bool silent = false;
    bool unwritten = false;
    QJsonArray files;
    for (const qev::DeviceRecord &record : searchDevices(command, *link)) {
        if (qev::IsPcProgramClass(record.deviceClass))
            continue;
        const Identified identified = identify(*link, record);
        const std::optional<qev::ClassDispatch> &dispatch = identified.result.dispatch;
        if (dispatch && qev::IsPcProgramClass(dispatch->reportedClass))
            continue;
        ++devices;
        if (!dispatch) {
            printer.error(QStringLiteral("%1: %2").arg(record.address, MessageText(qev::IDS_106)));
            silent = true;
            continue;
        }
        const qev::flow::SavedBackup saved =
            saveIntoFolder(*link, identified, command.value(QStringLiteral("--all")), printer);
        if (saved.path.isEmpty()) {
            unwritten = true;
            continue;
        }
        files << backupJson(record.address, saved.path, saved.backup);
        if (!printer.wantsJson())
            printer.line(QStringLiteral("%1  %2").arg(record.address, -15).arg(saved.path));
    }
    if (printer.wantsJson())
        printer.json(QJsonDocument(files));
    if (devices == 0)
        printer.error(MessageText(qev::IDS_110));
    if (unwritten)
        return ExitFailed;
    return silent || devices == 0 ? ExitNoDevice : ExitDone;
}

int backupCommand(const Command &command, Printer &printer) {
    if (command.has(QStringLiteral("--all")))
        return backupAllCommand(command, printer);
    const auto link = openLink(command);
    const std::optional<Identified> identified = identifyHost(*link, command, printer);
    if (!identified)
        return ExitNoDevice;
    qev::flow::SavedBackup saved;
    if (command.has(QStringLiteral("--output"))) {
        saved.path = command.value(QStringLiteral("--output"));
        saved.backup = qev::flow::TakeBackup(*link, identified->result, programVersion());
        tellMissing(link->current().host, saved.backup, printer);
        if (!bk::SaveFile(saved.path, saved.backup, saved.error)) {
            printer.error(saved.error); // names the file
            return ExitFailed;
        }
    } else {
        saved = saveIntoFolder(*link, *identified, bk::BackupFolder(), printer);
        if (saved.path.isEmpty())
            return ExitFailed;
    }
    if (printer.wantsJson())
        printer.json(QJsonDocument(backupJson(link->current().host, saved.path, saved.backup)));
    else
        printer.line(saved.path);
    return ExitDone;
}

QString serialText(const QString &serial) {
    return serial.isEmpty() ? QStringLiteral("(none)") : serial;
}

// What a restore would change, field by field, as data on standard output.
void showChanges(const QList<bk::FieldChange> &changes,
                 const QList<bk::BoosterBackup> &missingBoosters, Printer &printer) {
    for (const bk::FieldChange &change : changes)
        printer.line(changeLine(change));
    for (const bk::BoosterBackup &booster : missingBoosters)
        printer.line(QStringLiteral("boosters.%1: not on the bus; its name \"%2\" is not written")
                         .arg(booster.address)
                         .arg(booster.name));
    if (changes.isEmpty())
        printer.note(QStringLiteral("Nothing to change: the device holds the file's settings."));
}

void showReplacement(const QString &fileSerial, const QString &deviceSerial, Printer &printer) {
    printer.line(QStringLiteral("This is another device: the file was taken from serial number "
                                "%1, this device has %2.")
                     .arg(serialText(fileSerial), serialText(deviceSerial)));
}

// The restore's questions, asked on the terminal after what they are about was shown.
class RestoreReport final : public qev::flow::RestoreProgress {
public:
    RestoreReport(const Command &command, Printer &printer)
        : m_printer(printer)
        , m_programming(printer)
        , m_yes(command.has(QStringLiteral("--yes"))) {}

    bool confirmReplacement(const QString &fileSerial, const QString &deviceSerial) override {
        showReplacement(fileSerial, deviceSerial, m_printer);
        return agree(QStringLiteral("Write the other device's settings into this one?"));
    }
    bool confirmChanges(const QList<bk::FieldChange> &changes,
                        const QList<bk::BoosterBackup> &missingBoosters) override {
        showChanges(changes, missingBoosters, m_printer);
        return changes.isEmpty() || agree(QStringLiteral("Write these changes?"));
    }
    bool confirm(const qev::Confirmation &question) override {
        return m_programming.confirm(question);
    }

private:
    // Without a terminal nobody can answer: no, rather than waiting for ever.
    bool agree(const QString &question) {
        if (m_yes)
            return true;
        Output &output = m_printer.output();
        if (!output.in || !output.inTerminal) {
            m_printer.error(QStringLiteral("%1 Standard input is not a terminal, so nothing is "
                                           "written without --yes.")
                                .arg(question));
            return false;
        }
        output.err << question << " [y/N] ";
        output.err.flush();
        const QString answer = output.in->readLine().trimmed().toLower();
        return answer == QStringLiteral("y") || answer == QStringLiteral("yes");
    }

    Printer &m_printer;
    ProgrammingReport m_programming;
    bool m_yes = false;
};

// What the writes of a restore did; the exit status.
int restoredStatus(const qev::flow::Restored &restored, Printer &printer) {
    int status = ExitDone;
    for (const qev::flow::PageWrite &write : restored.writes) {
        if (restored.network && write.part == QStringLiteral("network"))
            continue; // told below, with the programming's own message
        const QString part =
            write.key.isEmpty() ? write.part : QStringLiteral("%1.%2").arg(write.part, write.key);
        if (write.accepted) {
            printer.note(QStringLiteral("%1: %2").arg(part, MessageText(qev::IDS_117).trimmed()));
        } else {
            printer.error(QStringLiteral("%1: %2").arg(part, MessageText(qev::IDS_110).trimmed()));
            status = ExitFailed;
        }
    }
    for (const bk::FieldChange &field : restored.notTaken) {
        printer.error(QStringLiteral("did not take: %1").arg(changeLine(field)));
        status = ExitFailed;
    }
    if (restored.network) {
        if (const int network = programmedStatus(*restored.network, printer); network != ExitDone)
            status = network;
    }
    return status;
}

int restoreCommand(const Command &command, Printer &printer) {
    // The file first: a file that is refused leaves the device untouched and unasked.
    const QString path = command.arguments[1];
    bk::FileError refusal;
    const std::optional<bk::Backup> file = bk::LoadFile(path, refusal);
    if (!file) {
        printer.error(QStringLiteral("%1: %2").arg(path, refusal.text()));
        return ExitFailed;
    }
    const auto link = openLink(command);
    const std::optional<Identified> identified = identifyHost(*link, command, printer);
    if (!identified)
        return ExitNoDevice;
    qev::flow::RestoreOptions options;
    options.network = command.has(QStringLiteral("--network"));
    options.dryRun = command.has(QStringLiteral("--dry-run"));
    options.programVersion = programVersion();
    options.search = searchOptions();
    options.ping = qev::Ping;
    RestoreReport report(command, printer);
    const qev::flow::Restored restored =
        qev::flow::RestoreBackup(*link, identified->result, *file, options, report);
    switch (restored.outcome) {
    case qev::flow::Outcome::Done:
        if (!options.dryRun)
            return restoredStatus(restored, printer);
        // A dry run asks nothing: the changes it found are shown here.
        if (restored.replacement)
            showReplacement(file->identity.serial, identified->result.serial.value_or(QString()),
                            printer);
        showChanges(restored.changes, restored.missingBoosters, printer);
        return ExitDone;
    case qev::flow::Outcome::Refused:
        printer.error(
            QStringLiteral("%1 does not fit this device: %2").arg(path, restored.refusal.text()));
        return ExitFailed;
    case qev::flow::Outcome::Declined:
        printer.error(QStringLiteral("Nothing was written."));
        return ExitFailed;
    case qev::flow::Outcome::NoAnswer:
        // A part of the file the device would not let be read: nothing was written.
        printer.error(
            QStringLiteral("cannot compare %1; nothing was written").arg(restored.refusal.text()));
        return ExitNoDevice;
    case qev::flow::Outcome::NoDevice:
        break;
    }
    printer.error(MessageText(qev::IDS_110));
    return ExitNoDevice;
}

// The installation's progress: a bar on a terminal, one line per step otherwise.
class FirmwareProgress {
public:
    explicit FirmwareProgress(Printer &printer)
        : m_printer(printer) {}

    void phase(int messageId) {
        endBar();
        m_printer.message(messageId);
    }
    void counter(int block, int count) {
        m_block = block;
        m_count = count;
    }
    void progress(int position, int maximum) {
        if (m_printer.quiet() || maximum <= 0 || position == m_position)
            return;
        m_position = position;
        const QString counter = m_block > 0 ? QStringLiteral("%1 %2 %3")
                                                  .arg(m_block)
                                                  .arg(MessageText(qev::IDS_122))
                                                  .arg(m_count)
                                            : QString();
        QTextStream &out = m_printer.output().out;
        if (m_printer.output().terminal) {
            constexpr int Width = 40;
            const int filled = Width * position / maximum;
            out << "\r[" << QString(filled, QLatin1Char('#'))
                << QString(Width - filled, QLatin1Char(' ')) << "] "
                << QStringLiteral("%1%").arg(100 * position / maximum, 3) << ' ' << counter;
            out.flush();
            m_barShown = true;
        } else {
            out << "progress " << position << '/' << maximum << ' ' << counter << Qt::endl;
        }
    }
    void endBar() {
        if (m_barShown)
            m_printer.output().out << Qt::endl;
        m_barShown = false;
    }

private:
    Printer &m_printer;
    int m_block = 0;
    int m_count = 0;
    int m_position = -1;
    bool m_barShown = false;
};

QString installFailureText(const qev::InstallResult &result) {
    switch (result.errorLabel) {
    case qev::ErrorLabel::FileCorrupt:
        return formText("FirmwarePage", "Abbruch: Update Datei ist beschädigt");
    case qev::ErrorLabel::TransferError:
        return formText("FirmwarePage", "Abbruch: Fehler bei Datenübertragung") +
               result.errorSuffix;
    case qev::ErrorLabel::NoComeback:
        return formText("FirmwarePage",
                        "Abbruch: Das Gerät hat sich nach dem Neustart nicht zurückgemeldet");
    case qev::ErrorLabel::AccessRefused:
        return formText("FirmwarePage",
                        "Abbruch: Das Gerät hat den Zugangscode abgelehnt. Die Codes stehen im "
                        "Abschnitt [Codes] der Einstellungsdatei.");
    case qev::ErrorLabel::None:
        break;
    }
    return result.failureIndication ? MessageText(qev::IDS_110) : QString();
}

// A word of a command line as a shell takes it back.
QString shellWord(const QString &text) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=+-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
           QLatin1Char('\'');
}

// The device back from its restart, against the settings saved before: what differs is
// told with the command that writes it back; nothing is written here.
void compareAfterInstall(DeviceLink &link, const Command &command,
                         const qev::flow::SavedBackup &saved, Printer &printer) {
    qev::DeviceRecord record;
    record.address = link.current().host;
    record.port = link.current().port;
    const Identified again = identify(link, record);
    if (!again.result.dispatch) {
        printer.error(QStringLiteral("the device did not answer after its restart; its settings "
                                     "were not compared"));
        return;
    }
    const QList<bk::FieldChange> changes =
        qev::flow::ChangedSince(link, again.result, saved.backup);
    if (changes.isEmpty())
        return;
    printer.error(QStringLiteral("the device's settings differ from those before the installation "
                                 "(device -> before):"));
    for (const bk::FieldChange &change : changes)
        printer.output().err << "  " << changeLine(change) << Qt::endl;
    if (saved.path.isEmpty())
        return;
    QString restore =
        QStringLiteral("qevctl restore %1 %2").arg(command.arguments[0], shellWord(saved.path));
    if (command.has(QStringLiteral("--port")))
        restore += QStringLiteral(" --port ") + command.value(QStringLiteral("--port"));
    printer.error(QStringLiteral("to write them back: %1").arg(restore));
}

int firmwareCommand(const Command &command, Printer &printer) {
    const QString path = command.arguments[1];
    if (!QFileInfo(path).isFile()) {
        printer.error(QStringLiteral("%1: no such file").arg(path));
        return ExitFailed;
    }
    const auto link = openLink(command);
    const std::optional<Identified> identified = identifyHost(*link, command, printer);
    if (!identified)
        return ExitNoDevice;
    if (!qev::flow::InspectFirmware(path, link->current().deviceClass).fits) {
        printer.error(
            formText("FirmwarePage", "Firmware ist nicht für diesen Controller geeignet"));
        return ExitFailed;
    }
    // The settings as they were, should the new firmware not keep them; the installation
    // goes on also when they cannot be saved.
    const qev::flow::SavedBackup saved =
        saveIntoFolder(*link, *identified, bk::BackupFolder(), printer);
    if (saved.path.isEmpty())
        printer.error(QStringLiteral("the installation goes on all the same"));
    else
        printer.note(QStringLiteral("Settings saved to %1").arg(saved.path));
    FirmwareProgress progress(printer);
    qev::InstallObserver observer;
    observer.phase = [&](int id) {
        progress.phase(id);
    };
    observer.counter = [&](int block, int count) {
        progress.counter(block, count);
    };
    observer.progress = [&](int position, int maximum) {
        progress.progress(position, maximum);
    };
    observer.pump = processEvents;
    const qev::InstallResult result = qev::flow::InstallFirmware(*link, path, observer);
    progress.endBar();
    switch (result.outcome) {
    case qev::InstallOutcome::Finished:
        compareAfterInstall(*link, command, saved, printer);
        return ExitDone;
    case qev::InstallOutcome::LinkFailed:
        printer.error(result.linkError);
        return ExitFailed;
    case qev::InstallOutcome::AccessRefused:
    case qev::InstallOutcome::NoComeback:
        printer.error(installFailureText(result));
        return ExitNoDevice;
    default:
        break;
    }
    printer.error(installFailureText(result));
    return ExitFailed;
}

// The report's rows as CSV: group, heading, label, value; fields quoted where needed.
QString csvLine(const QStringList &fields) {
    QStringList quoted;
    for (QString field : fields) {
        if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
            field.contains(QLatin1Char('\n')))
            field = QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                    QLatin1Char('"');
        quoted << field;
    }
    return quoted.join(QLatin1Char(','));
}

int reportCommand(const Command &command, Printer &printer) {
    const auto link = openLink(command);
    qev::report::ReportSettings settings;
    settings.scanDisk = !command.has(QStringLiteral("--no-disk-scan"));
    // The adapter rows are labelled as the window's address labels read.
    settings.captions = {
        formText("TQevProgrammerForm", "IP-Adresse:"), formText("TQevProgrammerForm", "Netzmaske:"),
        formText("TQevProgrammerForm", "Gateway:"), formText("NetworkPage", "MAC- Adresse")};
    settings.programFile = QCoreApplication::applicationFilePath();
    settings.programVersion = QCoreApplication::applicationVersion();
    const qev::report::ReportHooks hooks{
        .status = [&](const QString &text) { printer.progressLine(text); },
        .step = [] {},
        .pump = processEvents};
    qev::report::ReportTable table;
    const qev::report::ReportOutcome outcome =
        qev::flow::CollectProfile(table, *link, settings, MessageText, hooks);
    // As in the window: the list goes on without its devices, and says why.
    if (!outcome.discoveryError.isEmpty())
        printer.error(
            QStringLiteral("devices are missing from the list: %1").arg(outcome.discoveryError));

    if (command.has(QStringLiteral("--pdf")) &&
        !SaveReportPdf(table, command.value(QStringLiteral("--pdf")))) {
        printer.error(
            QStringLiteral("%1: cannot be written").arg(command.value(QStringLiteral("--pdf"))));
        return ExitFailed;
    }
    if (printer.wantsJson()) {
        QJsonArray rows;
        for (const qev::report::ReportRow &row : table.rows())
            rows << QJsonObject{{QStringLiteral("group"), row.group},
                                {QStringLiteral("heading"), row.heading},
                                {QStringLiteral("label"), row.label},
                                {QStringLiteral("value"), row.value}};
        printer.json(QJsonDocument(rows));
    } else if (command.has(QStringLiteral("--csv"))) {
        printer.line(csvLine({QStringLiteral("group"), QStringLiteral("heading"),
                              QStringLiteral("label"), QStringLiteral("value")}));
        for (const qev::report::ReportRow &row : table.rows())
            printer.line(csvLine({QString::number(row.group), row.heading, row.label, row.value}));
    } else if (!command.has(QStringLiteral("--pdf"))) {
        for (const qev::report::ReportRow &row : table.rows())
            printer.line(row.heading.isEmpty() ? QStringLiteral("  %1 %2").arg(row.label, row.value)
                                               : row.heading);
    }
    return ExitDone;
}

} // namespace

int RunCommand(const Command &command, Output &output) {
    Printer printer(command, output);
    using Handler = int (*)(const Command &, Printer &);
    static const QMap<QString, Handler> handlers = {
        {QStringLiteral("discover"), discoverCommand},
        {QStringLiteral("identify"), identifyCommand},
        {QStringLiteral("set-network"), setNetworkCommand},
        {QStringLiteral("firmware"), firmwareCommand},
        {QStringLiteral("get"), getCommand},
        {QStringLiteral("set"), setCommand},
        {QStringLiteral("boosters"), boostersCommand},
        {QStringLiteral("rename-booster"), renameBoosterCommand},
        {QStringLiteral("report"), reportCommand},
        {QStringLiteral("backup"), backupCommand},
        {QStringLiteral("restore"), restoreCommand},
    };
    const Handler handler = handlers.value(command.name);
    if (!handler) {
        printer.error(QStringLiteral("%1: not available in this version").arg(command.name));
        return ExitFailed;
    }
    try {
        return handler(command, printer);
    } catch (const std::exception &error) {
        // A send the system refused: no usable way to the device.
        printer.error(QString::fromLocal8Bit(error.what()));
        return ExitFailed;
    }
}

int Main(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    QTextStream err(stderr);
    UsageError usage;
    const std::optional<Command> command = ParseCommand(arguments, usage);

    // Only the PDF paints; it gets the offscreen platform, so no display is ever needed.
    const bool paints = command && command->name == QStringLiteral("report") &&
                        command->has(QStringLiteral("--pdf"));
    std::unique_ptr<QCoreApplication> app;
    if (paints) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("qevctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QEV_VERSION));

    if (!command) {
        err << "qevctl: " << usage.message << Qt::endl;
        return ExitUsage;
    }
    if (command->version) {
        out << "qevctl " << QCoreApplication::applicationVersion() << Qt::endl;
        return ExitDone;
    }
    if (command->help) {
        out << HelpText(command->name);
        return ExitDone;
    }
    SwitchLanguage(command->language == QStringLiteral("de")   ? LanguageGerman
                   : command->language == QStringLiteral("en") ? LanguageEnglish
                                                               : StartupLanguage());
    QTextStream in(stdin);
    Output output{out, err, isatty(STDOUT_FILENO) != 0, &in, isatty(STDIN_FILENO) != 0};
    if (!command->has(QStringLiteral("--trace")))
        return RunCommand(*command, output);

    // Every socket the command opens records into the trace.
    const QString traceFile = command->value(QStringLiteral("--trace"));
    const bool traceLines = traceFile == QStringLiteral("-");
    qev::DatagramTrace trace;
    if (traceLines) {
        // Told on the thread that records; one write per line keeps lines whole.
        trace.setListener([](const qev::TraceEntry &entry) {
            std::fputs(qPrintable(qev::TraceLine(entry) + QLatin1Char('\n')), stderr);
        });
    }
    qev::InstallDatagramTrace(&trace);
    int status = RunCommand(*command, output);
    qev::InstallDatagramTrace(nullptr);
    QString error;
    if (!traceLines &&
        !qev::WritePcapng(traceFile, trace.entriesAfter(), trace.wallClockOffsetUs(), &error)) {
        err << "qevctl: " << error << Qt::endl;
        status = status == ExitDone ? ExitFailed : status;
    }
    return status;
}

} // namespace qevctl
