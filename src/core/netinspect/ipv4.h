#pragma once

// IPv4 addresses held as text, the way the edit fields hold them. Classful judgements,
// derived masks and broadcast destinations, and a few questions to the local host.
// Nothing here throws: a failure gives empty text, zero bytes or false.

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace qev {

using IPv4Bytes = std::array<quint8, 4>;
using MacBytes = std::array<quint8, 6>;

// Class letter of an address: 'A' to 'E', 'L' for 127.0.0.1 exactly, '\0' for none.
using IPClass = char;

IPv4Bytes IPToBytes(const QString &text);
IPv4Bytes IPPartsToBytes(const QString &text);
IPClass IPClassOf(const QString &text);
bool IsValidIP(const QString &text);
bool IsInLocalNet(const QString &text, bool lenient);
bool IsInLocalClassNet(const QString &text);
bool MaskCoversIP(const QString &address, const QString &mask);
bool SameSubnet(const QString &a, const QString &b, const QString &mask);
QString DefaultNetmask(const QString &address);
QString BroadcastTowards(const QString &target, const QString &local);
QString ClassBroadcast();
bool HasOctet255(const QString &address);
QStringList SplitText(const QString &text, const QString &separator);
qint32 HexToInt(const QString &text);
MacBytes MACTextToBytes(const QString &text);

// "%d.%d.%d.%d" of four bytes.
QString BytesToIP(const IPv4Bytes &bytes);

// Questions to the local host; they go to the current HostNetwork (hostnetwork.h).
bool IsNetworkPresent();
bool IsWinsockUsable();
QString GetLocalHostName();
QString GetLocalIP();
bool Ping(const QString &address, int timeoutMs);

// The same ping, sent and awaited on a worker thread while pump runs on the caller's
// thread every few milliseconds: the window answers during the whole time-out.
bool PingWhilePumping(const QString &address, int timeoutMs, const std::function<void()> &pump);

} // namespace qev
