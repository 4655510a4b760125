#include "netinspect/linkservers.h"

#include "netinspect/ipv4.h"
#include "netinspect/systemfiles.h"

namespace qev {

namespace {

const QString NetworkdLeases = QStringLiteral("/run/systemd/netif/leases/");
const QString NetworkdLinks = QStringLiteral("/run/systemd/netif/links/");
const QString ResolvedLinks = QStringLiteral("/run/systemd/resolve/netif/");
const QString NetworkManagerLeases = QStringLiteral("/var/lib/NetworkManager/");
const QString DhclientLeases = QStringLiteral("/var/lib/dhcp/");

QList<QByteArray> trimmedLines(const QByteArray &content) {
    QList<QByteArray> lines = content.split('\n');
    for (QByteArray &line : lines)
        line = line.trimmed();
    return lines;
}

QString validAddress(const QString &text) {
    const QString address = text.trimmed();
    return IsValidIP(address) ? address : QString();
}

// A lease file of NetworkManager holds either systemd's KEY=VALUE form (internal client)
// or dhclient's lease blocks (dhclient plugin).
QString leaseFileServer(const QByteArray &content, const QString &interfaceName) {
    const QString server = validAddress(EnvFileValue(content, "SERVER_ADDRESS"));
    return server.isEmpty() ? DhclientLeaseServer(content, interfaceName) : server;
}

QByteArray fileContent(const QString &path) {
    QByteArray content;
    return systemFiles().read(path, content) ? content : QByteArray();
}

} // namespace

QString EnvFileValue(const QByteArray &content, const QByteArray &key) {
    const QByteArray prefix = key + '=';
    for (const QByteArray &line : trimmedLines(content)) {
        if (line.startsWith(prefix))
            return QString::fromUtf8(line.mid(prefix.size()).trimmed());
    }
    return {};
}

QStringList ServerAddresses(const QString &value) {
    QStringList addresses;
    for (QString entry : value.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        entry = entry.section(QLatin1Char('#'), 0, 0).section(QLatin1Char('%'), 0, 0);
        // An IPv4 server with a port has exactly one colon; IPv6 ones have more.
        if (entry.count(QLatin1Char(':')) == 1)
            entry = entry.section(QLatin1Char(':'), 0, 0);
        if (IsValidIP(entry))
            addresses << entry;
    }
    return addresses;
}

QString DhclientLeaseServer(const QByteArray &content, const QString &interfaceName) {
    const QByteArray wantedInterface = '"' + interfaceName.toUtf8() + "\";";
    QString found;
    bool inLease = false;
    bool ofInterface = false;
    QString server;
    for (const QByteArray &line : trimmedLines(content)) {
        if (line == "lease {") {
            inLease = true;
            ofInterface = false;
            server.clear();
        } else if (!inLease) {
            continue;
        } else if (line == "}") {
            if (ofInterface && !server.isEmpty())
                found = server; // later leases are newer
            inLease = false;
        } else if (line.startsWith("interface ")) {
            ofInterface = line.mid(10).trimmed() == wantedInterface;
        } else if (line.startsWith("option dhcp-server-identifier ") && line.endsWith(';')) {
            server = validAddress(QString::fromLatin1(line.mid(30).chopped(1)));
        }
    }
    return found;
}

QStringList ResolvConfNameservers(const QByteArray &content) {
    QStringList servers;
    for (const QByteArray &line : trimmedLines(content)) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() >= 2 && words[0] == "nameserver") {
            const QString address = validAddress(QString::fromLatin1(words[1]));
            if (!address.isEmpty())
                servers << address;
        }
    }
    return servers;
}

QString DhcpServerOf(int index, const QString &interfaceName) {
    const QString number = QString::number(index);
    QString server =
        validAddress(EnvFileValue(fileContent(NetworkdLeases + number), "SERVER_ADDRESS"));
    if (!server.isEmpty())
        return server;

    const QString suffix = QLatin1Char('-') + interfaceName + QStringLiteral(".lease");
    for (const QString &name : systemFiles().fileNames(NetworkManagerLeases)) {
        if (name.endsWith(suffix))
            server = leaseFileServer(fileContent(NetworkManagerLeases + name), interfaceName);
        if (!server.isEmpty())
            return server;
    }

    for (const QString &name : {QStringLiteral("dhclient.%1.leases").arg(interfaceName),
                                QStringLiteral("dhclient.leases")}) {
        server = DhclientLeaseServer(fileContent(DhclientLeases + name), interfaceName);
        if (!server.isEmpty())
            return server;
    }
    return {};
}

QStringList DnsServersOf(int index) {
    const QString number = QString::number(index);
    QStringList servers =
        ServerAddresses(EnvFileValue(fileContent(ResolvedLinks + number), "SERVERS"));
    if (servers.isEmpty())
        servers = ServerAddresses(EnvFileValue(fileContent(NetworkdLinks + number), "DNS"));
    if (servers.isEmpty())
        servers = ResolvConfNameservers(fileContent(QStringLiteral("/etc/resolv.conf")));
    return servers;
}

} // namespace qev
