#pragma once

// The command line of qevctl: subcommands, their options and arguments, the help texts and
// the exit statuses. Parsing is pure; running a command is in ctlrun.

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace qevctl {

// The documented exit statuses.
enum Exit : int {
    ExitDone = 0,
    ExitFailed = 1,    // refused by the device or by a check, or failed
    ExitUsage = 2,     // the command line is wrong
    ExitNoDevice = 3,  // no device found, or the device did not answer
    ExitNoNetwork = 4, // the PC has no usable network
};

struct Command {
    QString name; // the subcommand; empty with --help or --version alone
    QStringList arguments;
    QMap<QString, QString> options; // "--json" -> "" for a switch
    QString language;               // "de", "en", or empty for the locale's
    bool quiet = false;
    bool help = false;
    bool version = false;

    bool has(const QString &option) const { return options.contains(option); }
    QString value(const QString &option) const { return options.value(option); }
};

struct UsageError {
    QString message;
};

// Reads the arguments behind the program name. A value that is checked here (an address,
// a port, a number, a page key and its range) is refused before anything is sent.
std::optional<Command> ParseCommand(const QStringList &arguments, UsageError &error);

// The help of the program, or of one subcommand.
QString HelpText(const QString &subcommand = {});

} // namespace qevctl
