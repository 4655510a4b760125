#include "ctlcommand.h"

#include "pages/pagekeys.h"

#include <QRegularExpression>

namespace qevctl {

namespace {

enum class Check { None, Address, Port, BasePort, Milliseconds, Path };

struct Option {
    QString name;
    bool takesValue = false;
    Check check = Check::None;
    QString help;
    QString shortName = {}; // "-o"
};

struct Subcommand {
    QString name;
    QStringList required; // positional arguments, in order
    QStringList optional; // behind the required ones; "..." at the end repeats
    QList<Option> options;
    QString summary;
    QString usage = {};   // instead of the one made of the arguments and options
    QString details = {}; // behind the options in the subcommand's help
};

const Option json{QStringLiteral("--json"), false, Check::None,
                  QStringLiteral("print JSON instead of text")};
const Option port{QStringLiteral("--port"), true, Check::Port,
                  QStringLiteral("the device's UDP port (default: as the device reports it)")};
const Option timeout{QStringLiteral("--timeout"), true, Check::Milliseconds,
                     QStringLiteral("how long answers are collected, in ms (default 4000)")};
const Option broadcast{
    QStringLiteral("--broadcast"), true, Check::Address,
    QStringLiteral("where the search goes (default: the PC's broadcast address)")};

const QList<Subcommand> &subcommands() {
    static const QList<Subcommand> list = {
        {QStringLiteral("discover"),
         {},
         {},
         {json, timeout, broadcast},
         QStringLiteral("find the devices on the local network and identify each")},
        {QStringLiteral("identify"),
         {QStringLiteral("HOST")},
         {},
         {port, json},
         QStringLiteral("ask one device for its class, version and serial number")},
        {QStringLiteral("set-network"),
         {QStringLiteral("HOST")},
         {},
         // The programming checks the new settings itself, with the window's texts.
         {{QStringLiteral("--ip"), true, Check::None, QStringLiteral("the new address")},
          {QStringLiteral("--mask"), true, Check::None, QStringLiteral("the new netmask")},
          {QStringLiteral("--port"), true, Check::None,
           QStringLiteral("the new UDP port (default: the one the device type presets)")},
          {QStringLiteral("--gateway"), true, Check::None,
           QStringLiteral("the gateway (sent only together with --broker)")},
          {QStringLiteral("--broker"), true, Check::None,
           QStringLiteral("the MQTT broker (sent only together with --gateway)")}},
         QStringLiteral("give a device new network settings and confirm it at its new address")},
        {QStringLiteral("firmware"),
         {QStringLiteral("HOST"), QStringLiteral("FILE")},
         {},
         {port},
         QStringLiteral("install a firmware image (*.snFirm) into a device")},
        {QStringLiteral("get"),
         {QStringLiteral("HOST")},
         {QStringLiteral("PAGE")},
         {port, json},
         QStringLiteral("read the settings of one page, or of every page the device has")},
        {QStringLiteral("set"),
         {QStringLiteral("HOST"), QStringLiteral("PAGE"), QStringLiteral("KEY=VALUE")},
         {QStringLiteral("...")},
         {port},
         QStringLiteral("change settings of a page; the others keep what the device holds")},
        {QStringLiteral("boosters"),
         {QStringLiteral("HOST")},
         {},
         {port, json},
         QStringLiteral("list the boosters on the bus of a booster gateway or manager")},
        {QStringLiteral("rename-booster"),
         {QStringLiteral("HOST"), QStringLiteral("ADDRESS"), QStringLiteral("NAME")},
         {},
         {port},
         QStringLiteral("give the booster at ADDRESS (1..127) a new name (at most 16 characters)")},
        {QStringLiteral("report"),
         {},
         {},
         {{QStringLiteral("--pdf"), true, Check::None,
           QStringLiteral("write the printed report to this PDF file")},
          json,
          {QStringLiteral("--csv"), false, Check::None,
           QStringLiteral("print the rows as CSV (group,heading,label,value)")},
          {QStringLiteral("--no-disk-scan"), false, Check::None,
           QStringLiteral("do not search the disk for installed programs")}},
         QStringLiteral("collect the network profile report")},
        {QStringLiteral("backup"),
         {},
         {QStringLiteral("HOST")},
         {{QStringLiteral("--output"), true, Check::Path,
           QStringLiteral("the file to write (default: a new file in the backups folder)"),
           QStringLiteral("-o")},
          port,
          {QStringLiteral("--all"), true, Check::Path,
           QStringLiteral("DIR: back up every device a search finds, one file each")},
          timeout,
          broadcast,
          json},
         QStringLiteral("save a device's settings into a file"),
         QStringLiteral(
             "qevctl backup HOST [-o FILE] [--port P] [--json]\n"
             "       qevctl backup --all DIR [--broadcast ADDR] [--timeout MS] [--json]"),
         QStringLiteral(
             "\nThe file holds the device's identity, its network settings, every settings page\n"
             "of its class (the keys of qevctl get) and the boosters on its bus. A part that\n"
             "does not answer is left out and named on standard error; the file is saved all\n"
             "the same. Without -o the file goes to ~/.local/share/qev-programmer/backups as\n"
             "<class name>-<serial>-<date>.json beside the earlier backups: -2, -3, ... is\n"
             "added to a name already taken, in DIR too. -o FILE replaces FILE. Prints the\n"
             "file written; with --all the device's address and its file, one line each.\n"
             "Exit status: 0 saved (also with parts missing), 1 a file could not be written,\n"
             "3 no device, or a device found by --all did not answer (the others are saved),\n"
             "4 no usable network (--all).\n")},
        {QStringLiteral("restore"),
         {QStringLiteral("HOST"), QStringLiteral("FILE")},
         {},
         {{QStringLiteral("--dry-run"), false, Check::None,
           QStringLiteral("show what would change and write nothing")},
          {QStringLiteral("--yes"), false, Check::None,
           QStringLiteral("write without asking (a replacement device too)")},
          {QStringLiteral("--network"), false, Check::None,
           QStringLiteral("also write the file's network settings: this moves the device")},
          port},
         QStringLiteral("write the settings of a backup file into a device"),
         {},
         QStringLiteral(
             "\nFILE is read first; a file this version does not take, or a value out of its\n"
             "key's range, is refused with the field named, before the device is asked\n"
             "anything. Then the device is read and every field that differs is printed as\n"
             "page.key: device -> file. A device with another serial number than the file's\n"
             "is a replacement; both that and the changes are asked on the terminal (y/N)\n"
             "unless --yes. Without a terminal and without --yes nothing is written. Only\n"
             "the pages that differ are written; booster names go by booster address, and a\n"
             "booster of the file that is not on the bus is named, not written. At the end\n"
             "the device is read back and every field that did not take is named.\n"
             "Exit status: 0 written (or, with --dry-run, shown), 1 the file was refused, a\n"
             "question was answered no, a write was refused or a field did not take,\n"
             "3 the device did not answer.\n")},
    };
    return list;
}

// Options every subcommand takes. --base-port and --settings serve tests and unusual setups.
const QList<Option> &globalOptions() {
    static const QList<Option> list = {
        {QStringLiteral("--lang"), true, Check::None,
         QStringLiteral("de or en: the language of the messages (default: the locale's)")},
        {QStringLiteral("--quiet"), false, Check::None,
         QStringLiteral("print nothing but errors and the data asked for")},
        {QStringLiteral("--help"), false, Check::None, QStringLiteral("show this help")},
        {QStringLiteral("--version"), false, Check::None, QStringLiteral("show the version")},
        {QStringLiteral("--trace"), true, Check::None,
         QStringLiteral("FILE.pcapng: save the datagrams exchanged for Wireshark; -: print "
                        "each on standard error")},
        {QStringLiteral("--base-port"), true, Check::BasePort,
         QStringLiteral("the devices' base port (default 11080)")},
        {QStringLiteral("--settings"), true, Check::None,
         QStringLiteral("the settings file with the device codes (default: the program's)")},
    };
    return list;
}

const Subcommand *findSubcommand(const QString &name) {
    for (const Subcommand &s : subcommands()) {
        if (s.name == name)
            return &s;
    }
    return nullptr;
}

const Option *findOption(const QList<Option> &options, const QString &name) {
    for (const Option &o : options) {
        if (o.name == name)
            return &o;
    }
    return nullptr;
}

bool isAddress(const QString &text) {
    static const QRegularExpression dotted(
        QStringLiteral("^(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)(\\.(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?"
                       "\\d)){3}$"));
    return dotted.match(text).hasMatch();
}

bool isNumberIn(const QString &text, int min, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= min && value <= max;
}

// Empty when the value passes its check.
QString checkValue(Check check, const QString &what, const QString &value) {
    switch (check) {
    case Check::Address:
        return isAddress(value) ? QString()
                                : QStringLiteral("%1: not an IPv4 address: %2").arg(what, value);
    case Check::Port:
        return isNumberIn(value, 1, 65535)
                   ? QString()
                   : QStringLiteral("%1: not a port (1..65535): %2").arg(what, value);
    case Check::BasePort:
        // The devices' two ports follow the base port.
        return isNumberIn(value, 1, 65533)
                   ? QString()
                   : QStringLiteral("%1: not a base port (1..65533): %2").arg(what, value);
    case Check::Milliseconds:
        return isNumberIn(value, 1, 600000)
                   ? QString()
                   : QStringLiteral("%1: not a time in ms (1..600000): %2").arg(what, value);
    case Check::Path:
        return value.isEmpty() ? QStringLiteral("%1: no file or folder given").arg(what)
                               : QString();
    case Check::None:
        break;
    }
    return {};
}

// The KEY=VALUE arguments of set, against the page's keys and ranges.
QString checkAssignments(const QString &pageName, const QStringList &assignments) {
    const qev::pagekeys::SettingsPage *page = qev::pagekeys::FindPage(pageName);
    if (!page)
        return QStringLiteral("unknown page: %1 (see qevctl set --help)").arg(pageName);
    for (const QString &assignment : assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return QStringLiteral("not KEY=VALUE: %1").arg(assignment);
        const QString name = assignment.left(equals);
        const qev::pagekeys::Key *key = page->key(name);
        if (!key)
            return QStringLiteral("page %1 has no key %2").arg(pageName, name);
        if (!qev::pagekeys::ParseValue(*key, assignment.mid(equals + 1)))
            return QStringLiteral("%1: value out of range (%2): %3")
                .arg(name, qev::pagekeys::RangeText(*key), assignment.mid(equals + 1));
    }
    return {};
}

// backup names either one HOST or --all DIR, each with the options that fit it.
QString checkBackup(const Command &command) {
    if (command.has(QStringLiteral("--all"))) {
        if (!command.arguments.isEmpty() || command.has(QStringLiteral("--output")) ||
            command.has(QStringLiteral("--port")))
            return QStringLiteral("backup --all DIR takes no HOST, -o or --port");
        return {};
    }
    if (command.has(QStringLiteral("--broadcast")) || command.has(QStringLiteral("--timeout")))
        return QStringLiteral("--broadcast and --timeout belong to backup --all");
    if (command.arguments.isEmpty())
        return QStringLiteral("backup: missing HOST (or --all DIR)");
    return {};
}

QString checkArguments(const Command &command) {
    if (command.name == QStringLiteral("discover") || command.name == QStringLiteral("report"))
        return {};
    if (command.name == QStringLiteral("backup")) {
        if (const QString problem = checkBackup(command);
            !problem.isEmpty() || command.has(QStringLiteral("--all")))
            return problem;
    }
    if (!isAddress(command.arguments.value(0)))
        return QStringLiteral("HOST: not an IPv4 address: %1").arg(command.arguments.value(0));
    if (command.name == QStringLiteral("get") && command.arguments.size() > 1 &&
        !qev::pagekeys::FindPage(command.arguments[1]))
        return QStringLiteral("unknown page: %1 (see qevctl get --help)").arg(command.arguments[1]);
    if (command.name == QStringLiteral("set"))
        return checkAssignments(command.arguments[1], command.arguments.mid(2));
    if (command.name == QStringLiteral("rename-booster")) {
        if (!isNumberIn(command.arguments[1], 1, 127))
            return QStringLiteral("ADDRESS: not a booster address (1..127): %1")
                .arg(command.arguments[1]);
        if (command.arguments[2].size() > 16)
            return QStringLiteral("NAME: at most 16 characters: %1").arg(command.arguments[2]);
    }
    if (command.name == QStringLiteral("set-network") &&
        (!command.has(QStringLiteral("--ip")) || !command.has(QStringLiteral("--mask"))))
        return QStringLiteral("set-network needs --ip and --mask");
    return {};
}

QString optionLines(const QList<Option> &options) {
    QString text;
    for (const Option &o : options) {
        const QString head =
            (o.shortName.isEmpty() ? QString() : o.shortName + QStringLiteral(", ")) + o.name +
            (o.takesValue ? QStringLiteral(" VALUE") : QString());
        text += QStringLiteral("  %1  %2\n").arg(head, -20).arg(o.help);
    }
    return text;
}

QString usageLine(const Subcommand &s) {
    if (!s.usage.isEmpty())
        return s.usage;
    QStringList parts{QStringLiteral("qevctl"), s.name};
    parts << s.required;
    for (const QString &o : s.optional)
        parts << (o == QStringLiteral("...") ? o : QStringLiteral("[%1]").arg(o));
    for (const Option &o : s.options)
        parts << QStringLiteral("[%1%2]").arg(o.name,
                                              o.takesValue ? QStringLiteral(" VALUE") : QString());
    return parts.join(QLatin1Char(' '));
}

QString pageKeysText() {
    QString text = QStringLiteral("\nPages and keys (range, default):\n");
    for (const qev::pagekeys::SettingsPage *page : qev::pagekeys::Pages()) {
        text += QStringLiteral("  %1\n").arg(page->name());
        for (const qev::pagekeys::Key &key : page->keys())
            text += QStringLiteral("    %1  %2, default %3\n")
                        .arg(key.name, -16)
                        .arg(qev::pagekeys::RangeText(key),
                             qev::pagekeys::FormatValue(key, key.fallback));
    }
    return text;
}

} // namespace

std::optional<Command> ParseCommand(const QStringList &arguments, UsageError &error) {
    Command command;
    const Subcommand *subcommand = nullptr;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (subcommand) {
            for (const Option &o : subcommand->options) {
                if (!o.shortName.isEmpty() && o.shortName == argument)
                    argument = o.name;
            }
        }
        if (argument.startsWith(QStringLiteral("--")) && argument.size() > 2) {
            QString name = argument;
            QString value;
            bool inlineValue = false;
            if (const qsizetype equals = argument.indexOf(QLatin1Char('=')); equals > 0) {
                name = argument.left(equals);
                value = argument.mid(equals + 1);
                inlineValue = true;
            }
            const Option *option = findOption(globalOptions(), name);
            if (!option && subcommand)
                option = findOption(subcommand->options, name);
            if (!option) {
                error.message = QStringLiteral("unknown option: %1").arg(name);
                return std::nullopt;
            }
            if (option->takesValue && !inlineValue) {
                if (i + 1 >= arguments.size()) {
                    error.message = QStringLiteral("missing value for %1").arg(name);
                    return std::nullopt;
                }
                value = arguments[++i];
            }
            if (const QString problem = checkValue(option->check, name, value);
                !problem.isEmpty()) {
                error.message = problem;
                return std::nullopt;
            }
            if (name == QStringLiteral("--lang")) {
                if (value != QStringLiteral("de") && value != QStringLiteral("en")) {
                    error.message = QStringLiteral("--lang: de or en, not %1").arg(value);
                    return std::nullopt;
                }
                command.language = value;
            } else if (name == QStringLiteral("--quiet")) {
                command.quiet = true;
            } else if (name == QStringLiteral("--help")) {
                command.help = true;
            } else if (name == QStringLiteral("--version")) {
                command.version = true;
            } else {
                command.options.insert(name, value);
            }
        } else if (argument == QStringLiteral("-q")) {
            command.quiet = true;
        } else if (argument == QStringLiteral("-h")) {
            command.help = true;
        } else if (!subcommand) {
            subcommand = findSubcommand(argument);
            if (!subcommand) {
                error.message = QStringLiteral("unknown subcommand: %1").arg(argument);
                return std::nullopt;
            }
            command.name = argument;
        } else {
            command.arguments << argument;
        }
    }
    if (command.help || command.version)
        return command;
    if (!subcommand) {
        error.message = QStringLiteral("no subcommand given (see qevctl --help)");
        return std::nullopt;
    }
    const qsizetype required = subcommand->required.size();
    const bool repeats = subcommand->optional.contains(QStringLiteral("..."));
    if (command.arguments.size() < required) {
        error.message = QStringLiteral("%1: missing %2")
                            .arg(command.name, subcommand->required[command.arguments.size()]);
        return std::nullopt;
    }
    if (!repeats && command.arguments.size() > required + subcommand->optional.size()) {
        error.message = QStringLiteral("%1: unexpected argument: %2")
                            .arg(command.name, command.arguments.last());
        return std::nullopt;
    }
    if (const QString problem = checkArguments(command); !problem.isEmpty()) {
        error.message = problem;
        return std::nullopt;
    }
    return command;
}

QString HelpText(const QString &name) {
    if (const Subcommand *s = findSubcommand(name)) {
        QString text = QStringLiteral("Usage: %1\n\n%2.\n").arg(usageLine(*s), s->summary);
        if (!s->options.isEmpty())
            text += QStringLiteral("\nOptions:\n") + optionLines(s->options);
        if (name == QStringLiteral("get") || name == QStringLiteral("set"))
            text += pageKeysText();
        text += s->details;
        return text;
    }
    QString text = QStringLiteral("Usage: qevctl [OPTIONS] SUBCOMMAND [ARGUMENTS]\n\n"
                                  "Finds and configures the Spurnova IP devices on the LAN.\n\n"
                                  "Subcommands:\n");
    for (const Subcommand &s : subcommands())
        text += QStringLiteral("  %1  %2\n").arg(s.name, -15).arg(s.summary);
    text += QStringLiteral("\nOptions:\n") + optionLines(globalOptions());
    text += QStringLiteral("\nExit status: 0 done, 1 refused or failed, 2 usage, "
                           "3 no device or no answer, 4 no usable network.\n"
                           "See qevctl SUBCOMMAND --help and qevctl(1).\n");
    return text;
}

} // namespace qevctl
