#pragma once

// The DHCP and DNS servers of an interface, from the files in which the system's DHCP
// clients and systemd-resolved keep them. Parsers take the bytes of a whole file and
// never read beyond them.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qev {

// The value of a KEY=VALUE line in one of systemd's state files; empty when missing.
QString EnvFileValue(const QByteArray &content, const QByteArray &key);

// The IPv4 addresses in a list of servers as systemd writes it, separated by blanks, each
// possibly with a port, an interface or a name ("192.0.2.1:53#dns.example"). IPv6
// servers are left out.
QStringList ServerAddresses(const QString &value);

// The server of the last lease of an interface in a dhclient lease file; empty when none.
QString DhclientLeaseServer(const QByteArray &content, const QString &interfaceName);

// The IPv4 name servers of a resolv.conf, in file order.
QStringList ResolvConfNameservers(const QByteArray &content);

// The DHCP server of the interface's current lease as systemd-networkd, NetworkManager or
// dhclient keep it; empty when none of them has one.
QString DhcpServerOf(int index, const QString &interfaceName);

// systemd-resolved's (or systemd-networkd's) servers of the link, else the name servers
// of /etc/resolv.conf.
QStringList DnsServersOf(int index);

} // namespace qev
