#pragma once

// What the profile report asks a device beyond discovery: its name (60 64) and the gateway
// and broker that stand behind the discovery fields of the F5 reply.

#include <QByteArray>
#include <QString>

namespace qev::devsim {

struct DeviceConfig;
struct NetworkSettings;
class SimDevice;

struct ReportConfig {
    // Total length of the F5 reply: 18 (discovery fields only) to 26 (gateway and broker).
    int networkReplyLength = 18;
    // The length byte of the name reply; -1: the name's own length.
    int nameLength = -1;
};

inline constexpr int NetworkReplyMaxLength = 26;

enum class ReportKey { NotMine, Taken, Bad };
// gateway=, broker=, netreply=, namelen=.
ReportKey ParseReportKey(const QString &key, const QString &value, DeviceConfig &config);

extern const char *const ReportHelp;

// The bytes behind the discovery fields of the F5 reply: gateway and broker, cut to the
// configured reply length.
QByteArray NetworkReplyTail(const NetworkSettings &network, const ReportConfig &config);

// Answers 60 64 with the configured name (any class).
void InstallReportCommands(SimDevice &device);

} // namespace qev::devsim
