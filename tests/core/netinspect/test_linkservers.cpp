#include "netinspect/linkservers.h"

#include "fakekerneltables.h"
#include "qtprinters.h"

#include <gtest/gtest.h>

using namespace qev;
using qevtest::FakeSystemFiles;

TEST(LinkServers, EnvFileValues) {
    const QByteArray file = "# This is private data. Do not parse.\n"
                            "ADDRESS=192.168.0.10\n"
                            "  SERVER_ADDRESS = x\n"
                            "SERVER_ADDRESS=192.168.0.1\r\n"
                            "DNS=\n";
    EXPECT_EQ(EnvFileValue(file, "ADDRESS"), QStringLiteral("192.168.0.10"));
    EXPECT_EQ(EnvFileValue(file, "SERVER_ADDRESS"), QStringLiteral("192.168.0.1"));
    EXPECT_EQ(EnvFileValue(file, "DNS"), QString());
    EXPECT_EQ(EnvFileValue(file, "NTP"), QString());
    EXPECT_EQ(EnvFileValue("ADDRESS", "ADDRESS"), QString()); // no '=', no value
    EXPECT_EQ(EnvFileValue({}, "ADDRESS"), QString());
}

TEST(LinkServers, ServerListsKeepIPv4AddressesOnly) {
    EXPECT_EQ(ServerAddresses(QStringLiteral("192.0.2.1:53#dns.example 2001:db8::1 "
                                             "[2001:db8::2]:53 10.0.0.1%eth0  bogus 9.9.9.9")),
              (QStringList{"192.0.2.1", "10.0.0.1", "9.9.9.9"}));
    EXPECT_EQ(ServerAddresses(QString()), QStringList());
    EXPECT_EQ(ServerAddresses(QStringLiteral("256.1.1.1 1.2.3")), QStringList());
}

TEST(LinkServers, DhclientTakesTheLastCompleteLeaseOfTheInterface) {
    const QByteArray leases = "lease {\n"
                              "  interface \"eth0\";\n"
                              "  fixed-address 192.168.0.10;\n"
                              "  option dhcp-server-identifier 192.168.0.1;\n"
                              "}\n"
                              "lease {\n"
                              "  interface \"wlan0\";\n"
                              "  option dhcp-server-identifier 10.0.0.1;\n"
                              "}\n"
                              "lease {\n"
                              "  interface \"eth0\";\n"
                              "  option dhcp-server-identifier 192.168.0.2;\n"
                              "}\n"
                              "lease {\n"
                              "  interface \"eth0\";\n"
                              "  option dhcp-server-identifier 192.168.0.3;\n";
    EXPECT_EQ(DhclientLeaseServer(leases, QStringLiteral("eth0")), QStringLiteral("192.168.0.2"));
    EXPECT_EQ(DhclientLeaseServer(leases, QStringLiteral("wlan0")), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(DhclientLeaseServer(leases, QStringLiteral("eth1")), QString());
    EXPECT_EQ(DhclientLeaseServer("lease {\n interface \"eth0\";\n"
                                  " option dhcp-server-identifier nonsense;\n}\n",
                                  QStringLiteral("eth0")),
              QString());
    EXPECT_EQ(
        DhclientLeaseServer("option dhcp-server-identifier 1.2.3.4;\n}\n", QStringLiteral("eth0")),
        QString());
}

TEST(LinkServers, ResolvConfNameserversInFileOrder) {
    const QByteArray file = "# comment nameserver 1.1.1.1\n"
                            "search example.org\n"
                            "nameserver\t192.168.0.1\n"
                            "nameserver ::1\n"
                            "  nameserver 9.9.9.9   # trailing\n"
                            "nameserver\n"
                            "nameservers 8.8.8.8\n";
    EXPECT_EQ(ResolvConfNameservers(file), (QStringList{"192.168.0.1", "9.9.9.9"}));
}

TEST(LinkServers, DhcpServerFromNetworkdThenNetworkManagerThenDhclient) {
    FakeSystemFiles files;
    EXPECT_EQ(DhcpServerOf(3, QStringLiteral("eth0")), QString());

    files.put(QStringLiteral("/var/lib/dhcp/dhclient.leases"),
              "lease {\n interface \"eth0\";\n option dhcp-server-identifier 10.0.0.3;\n}\n");
    EXPECT_EQ(DhcpServerOf(3, QStringLiteral("eth0")), QStringLiteral("10.0.0.3"));
    files.put(QStringLiteral("/var/lib/dhcp/dhclient.eth0.leases"),
              "lease {\n interface \"eth0\";\n option dhcp-server-identifier 10.0.0.4;\n}\n");
    EXPECT_EQ(DhcpServerOf(3, QStringLiteral("eth0")), QStringLiteral("10.0.0.4"));

    // NetworkManager's own client, and a lease of another interface beside it.
    files.put(QStringLiteral("/var/lib/NetworkManager/internal-1234-eth0.lease"),
              "ADDRESS=10.0.0.9\nSERVER_ADDRESS=10.0.0.2\n");
    files.put(QStringLiteral("/var/lib/NetworkManager/internal-5678-eth00.lease"),
              "SERVER_ADDRESS=10.0.0.7\n");
    EXPECT_EQ(DhcpServerOf(3, QStringLiteral("eth0")), QStringLiteral("10.0.0.2"));

    files.put(QStringLiteral("/run/systemd/netif/leases/3"), "SERVER_ADDRESS=10.0.0.1\n");
    EXPECT_EQ(DhcpServerOf(3, QStringLiteral("eth0")), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(DhcpServerOf(4, QStringLiteral("eth1")), QString());
}

TEST(LinkServers, DnsServersFromResolvedThenNetworkdThenResolvConf) {
    FakeSystemFiles files;
    EXPECT_EQ(DnsServersOf(2), QStringList());
    files.put(QStringLiteral("/etc/resolv.conf"), "nameserver 127.0.0.53\n");
    EXPECT_EQ(DnsServersOf(2), QStringList{"127.0.0.53"});
    files.put(QStringLiteral("/run/systemd/netif/links/2"), "DNS=192.168.0.1 192.168.0.2\n");
    EXPECT_EQ(DnsServersOf(2), (QStringList{"192.168.0.1", "192.168.0.2"}));
    files.put(QStringLiteral("/run/systemd/resolve/netif/2"), "SERVERS=192.168.0.53:53\n");
    EXPECT_EQ(DnsServersOf(2), QStringList{"192.168.0.53"});
    EXPECT_EQ(DnsServersOf(5), QStringList{"127.0.0.53"});
}
