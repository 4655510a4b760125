#include "netinspect/ipv4.h"

#include "netinspect/hostnetwork.h"

#include <algorithm>
#include <chrono>
#include <future>

namespace qev {

namespace {

constexpr IPv4Bytes LoopbackBytes = {127, 0, 0, 1};

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int hexDigitValue(QChar c) {
    if (isAsciiDigit(c))
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

// The digits between two dots.
struct Group {
    int value = 0;
    int digits = 0;
};

enum class ScanEnd { TextEnd, FourthDigit, OtherCharacter, StoppedAtDot };

struct Scan {
    ScanEnd end = ScanEnd::TextEnd;
    int dots = 0;
    Group last; // the group still open when the scan ended
};

// The one scan behind IPToBytes, IsValidIP and IsInLocalNet, so that the three never
// disagree about what a partly typed address holds. Each dot hands the group it closes to
// onDot(dotNumber, group); returning false stops the scan there.
template <typename OnDot>
Scan scanGroups(const QString &text, OnDot onDot) {
    Scan scan;
    for (const QChar c : text) {
        if (isAsciiDigit(c)) {
            if (scan.last.digits == 3) {
                scan.end = ScanEnd::FourthDigit;
                return scan;
            }
            scan.last.value = scan.last.value * 10 + (c.unicode() - u'0');
            ++scan.last.digits;
        } else if (c == u'.') {
            ++scan.dots;
            if (!onDot(scan.dots, scan.last)) {
                scan.end = ScanEnd::StoppedAtDot;
                return scan;
            }
            scan.last = {};
        } else {
            scan.end = ScanEnd::OtherCharacter;
            return scan;
        }
    }
    return scan;
}

bool isClassABC(IPClass c) {
    return c == 'A' || c == 'B' || c == 'C';
}

// Leading octets that form the network part of a class; 0 for the loopback and no class.
int classNetworkOctets(IPClass c) {
    switch (c) {
    case 'A':
        return 1;
    case 'B':
        return 2;
    case 'C':
    case 'D':
    case 'E':
        return 3;
    default:
        return 0;
    }
}

} // namespace

IPv4Bytes IPToBytes(const QString &text) {
    IPv4Bytes bytes{};
    const Scan scan = scanGroups(text, [&bytes](int dot, const Group &group) {
        if (dot == 4 || group.digits == 0 || group.value > 255)
            return false;
        bytes[dot - 1] = static_cast<quint8>(group.value);
        return true;
    });
    if (scan.end == ScanEnd::TextEnd && scan.dots == 3 && scan.last.digits > 0 &&
        scan.last.value < 256)
        bytes[3] = static_cast<quint8>(scan.last.value);
    return bytes;
}

IPv4Bytes IPPartsToBytes(const QString &text) {
    IPv4Bytes bytes{};
    const QStringList parts = SplitText(text, QStringLiteral("."));
    if (parts.size() != 4)
        return bytes;
    for (int k = 0; k < 4; ++k) {
        bool ok = false;
        const int value = parts[k].toInt(&ok, 10);
        bytes[k] = ok ? static_cast<quint8>(value & 0xFF) : 0;
    }
    return bytes;
}

IPClass IPClassOf(const QString &text) {
    const IPv4Bytes bytes = IPToBytes(text);
    const int first = bytes[0];
    if (first <= 127)
        return bytes == LoopbackBytes ? 'L' : 'A';
    if (first <= 191)
        return 'B';
    if (first <= 223)
        return 'C';
    if (first <= 239)
        return 'D';
    if (first <= 247)
        return 'E';
    return '\0';
}

bool IsValidIP(const QString &text) {
    if (text.isEmpty() || text.front() == u'0')
        return false;
    const Scan scan = scanGroups(text, [](int dot, const Group &group) {
        return dot != 4 && group.digits > 0 && group.value <= 255;
    });
    return scan.end == ScanEnd::TextEnd && scan.dots == 3 && scan.last.digits > 0 &&
           scan.last.value <= 255;
}

bool IsInLocalNet(const QString &text, bool lenient) {
    if (QStringLiteral("127.0.0.1").contains(text))
        return true;
    const QString localAddress = GetLocalIP();
    if (localAddress.isEmpty())
        return true;
    const IPv4Bytes local = IPToBytes(localAddress);
    if (local[0] == 0)
        return true;

    bool result = false;
    IPv4Bytes typed{};
    const Scan scan = scanGroups(text, [&](int dot, const Group &group) {
        const bool fits = group.value <= 255;
        const bool accepted = fits && (group.value == local[dot - 1] || (lenient && dot > 1));
        if (fits)
            typed[dot - 1] = static_cast<quint8>(group.value);
        result = accepted;
        return dot <= 3 && accepted;
    });
    switch (scan.end) {
    case ScanEnd::StoppedAtDot:
        return false;
    case ScanEnd::OtherCharacter:
        return result;
    case ScanEnd::TextEnd: {
        // An empty last group must not be stored as 0: that would compare as a typed octet.
        const int last = scan.last.digits > 0 ? scan.last.value : 1000;
        if (last < 256)
            typed[scan.dots] = static_cast<quint8>(last);
        break;
    }
    case ScanEnd::FourthDigit:
        break;
    }

    // An octet is compared only once it is complete or the text ends in one of its digits.
    const bool endsWithDigit = isAsciiDigit(text.back());
    const IPClass typedClass = IPClassOf(text);
    switch (typedClass) {
    case 'A':
        return typed[0] == local[0];
    case 'B':
        result = typed[0] == local[0];
        if (scan.dots >= 1 && result && endsWithDigit)
            result = typed[1] == local[1] || lenient;
        return result;
    case 'C':
    case 'D':
    case 'E':
        if (scan.dots == 0)
            return typed[0] == local[0];
        if (scan.dots == 1) {
            result = typed[0] == local[0];
            if (result && endsWithDigit)
                result = typed[1] == local[1] || lenient;
            return result;
        }
        result = typed[0] == local[0] && typed[1] == local[1];
        if (result && endsWithDigit)
            result = typed[2] == local[2] || lenient;
        return result;
    case 'L':
        return true;
    default:
        return false;
    }
}

bool IsInLocalClassNet(const QString &text) {
    const QString localAddress = GetLocalIP();
    const IPClass localClass = IPClassOf(localAddress);
    if (localClass == 'L')
        return true;
    const int octets = classNetworkOctets(localClass);
    if (octets == 0)
        return false;
    const IPv4Bytes local = IPToBytes(localAddress);
    const IPv4Bytes typed = IPToBytes(text);
    return std::equal(local.begin(), local.begin() + octets, typed.begin());
}

bool MaskCoversIP(const QString &address, const QString &mask) {
    const IPClass addressClass = IPClassOf(address);
    if (!isClassABC(addressClass))
        return false;
    const IPv4Bytes a = IPToBytes(address);
    const IPv4Bytes m = IPToBytes(mask);
    for (int k = 0; k < classNetworkOctets(addressClass); ++k) {
        if ((a[k] & m[k]) != a[k])
            return false;
    }
    return true;
}

bool SameSubnet(const QString &a, const QString &b, const QString &mask) {
    const IPv4Bytes first = IPToBytes(a);
    const IPv4Bytes second = IPToBytes(b);
    const IPv4Bytes m = IPToBytes(mask);
    for (int k = 0; k < 4; ++k) {
        if ((first[k] & m[k]) != (second[k] & m[k]))
            return false;
    }
    return true;
}

QString DefaultNetmask(const QString &address) {
    const int first = IPPartsToBytes(address)[0];
    if (first >= 1 && first <= 127)
        return QStringLiteral("255.0.0.0");
    if (first >= 128 && first <= 191)
        return QStringLiteral("255.255.0.0");
    if (first >= 192 && first <= 254)
        return QStringLiteral("255.255.255.0");
    return {};
}

QString BroadcastTowards(const QString &target, const QString &local) {
    if (!IsValidIP(target))
        return {};
    const IPv4Bytes t = IPPartsToBytes(target);
    const IPv4Bytes l = IPPartsToBytes(local);
    // From the first octet that differs on, every octet is 255: an octet that happens to
    // match behind a differing one must not survive, or 10.0.0.5 seen from 192.168.0.10
    // would give 255.255.0.255, a unicast to nowhere instead of a broadcast.
    IPv4Bytes result{};
    bool differs = false;
    for (int k = 0; k < 4; ++k) {
        differs = differs || t[k] != l[k];
        result[k] = differs ? 255 : t[k];
    }
    return BytesToIP(result);
}

QString ClassBroadcast() {
    const QString localAddress = GetLocalIP();
    IPv4Bytes bytes = IPToBytes(localAddress);
    const IPClass localClass = IPClassOf(localAddress);
    if (isClassABC(localClass)) {
        for (int k = classNetworkOctets(localClass); k < 4; ++k)
            bytes[k] = 255;
    }
    return BytesToIP(bytes);
}

bool HasOctet255(const QString &address) {
    const QStringList parts = SplitText(address, QStringLiteral("."));
    for (qsizetype k = 0; k < parts.size() && k < 4; ++k) {
        if (parts[k] == u"255")
            return true;
    }
    return false;
}

QStringList SplitText(const QString &text, const QString &separator) {
    QStringList parts;
    if (text.isEmpty())
        return parts;
    // An empty separator occurs nowhere: searching for it would never advance.
    if (separator.isEmpty())
        return {text};
    qsizetype start = 0;
    for (qsizetype at = text.indexOf(separator); at >= 0; at = text.indexOf(separator, start)) {
        parts.append(text.mid(start, at - start));
        start = at + separator.size();
    }
    if (start < text.size())
        parts.append(text.mid(start));
    return parts;
}

qint32 HexToInt(const QString &text) {
    if (text.isEmpty() || text.size() > 8)
        return 0;
    quint32 value = 0;
    for (const QChar c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return 0;
        value = (value << 4) | static_cast<quint32>(digit);
    }
    return static_cast<qint32>(value);
}

MacBytes MACTextToBytes(const QString &text) {
    MacBytes bytes{};
    if (text.size() != 12)
        return bytes;
    for (int k = 0; k < 6; ++k)
        bytes[k] = static_cast<quint8>(HexToInt(text.mid(2 * k, 2)));
    return bytes;
}

QString BytesToIP(const IPv4Bytes &bytes) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(int(bytes[0]))
        .arg(int(bytes[1]))
        .arg(int(bytes[2]))
        .arg(int(bytes[3]));
}

bool IsNetworkPresent() {
    return hostNetwork().isNetworkPresent();
}

bool IsWinsockUsable() {
    return hostNetwork().isWinsockUsable();
}

QString GetLocalHostName() {
    return hostNetwork().localHostName();
}

QString GetLocalIP() {
    return hostNetwork().localIP();
}

bool Ping(const QString &address, int timeoutMs) {
    return !address.isEmpty() && hostNetwork().ping(address, timeoutMs);
}

bool PingWhilePumping(const QString &address, int timeoutMs, const std::function<void()> &pump) {
    // As often as a socket wait runs the window's events.
    constexpr std::chrono::milliseconds PumpSlice(10);
    if (address.isEmpty())
        return false;
    HostNetwork &host = hostNetwork();
    std::future<bool> answered = std::async(
        std::launch::async, [&host, address, timeoutMs] { return host.ping(address, timeoutMs); });
    while (answered.wait_for(PumpSlice) != std::future_status::ready) {
        if (pump)
            pump();
    }
    return answered.get();
}

} // namespace qev
