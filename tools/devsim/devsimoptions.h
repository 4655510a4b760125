#pragma once

// The command line of qev-devsim: options, the per-device SPEC and the help text.

#include "simdevice.h"
#include "tcpstation.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace qev::devsim {

struct DevsimOptions {
    std::vector<DeviceConfig> devices;
    QString interfaceName;              // empty: settings taken change only what is reported
    std::optional<quint32> bindAddress; // empty: each device binds its own address
    // Every device also listens here on the base port: loopback has no broadcast.
    std::optional<quint32> gatherAddress;
    quint16 basePort = 11080;
    QString settingsFile;
    QString logFile;                       // empty: standard output
    std::optional<LenzStationConfig> lenz; // another maker's station on TCP
};

struct ParsedCommandLine {
    std::optional<DevsimOptions> options; // empty when help was asked for or on error
    QString helpText;                     // set when --help was given
    QString error;
};

// arguments[0] is the program name. defaultSettingsFile is used when --settings is absent.
ParsedCommandLine ParseDevsimCommandLine(const QStringList &arguments,
                                         const QString &defaultSettingsFile);

// One --device SPEC; basePort gives the default device port (base + 1).
std::optional<DeviceConfig> ParseDeviceSpec(const QString &spec, quint16 basePort, QString *error);

// Strict dotted decimal: four numbers 0-255, nothing else.
std::optional<quint32> ParseIPv4(const QString &text);
QString FormatIPv4(quint32 address);
QString FormatMacText(const MacBytes &mac);

} // namespace qev::devsim
