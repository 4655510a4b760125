#pragma once

// A LAN of Linux network namespaces for tests that broadcast, ping, read ARP or change
// addresses. The test process itself is the PC: the LAN test main moves it into a fresh,
// private network namespace before anything else runs, and the fixture wires that
// namespace to a bridge. Nothing a LAN test sends can reach the machine's own network.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class QProcess;

namespace qevtest {

// Called first thing in main() of a LAN test executable.
void EnterPrivateNetworkNamespace();

// Skips the current test with the reason when the LAN cannot be built here.
#define QEV_REQUIRE_TESTLAN()                                                                      \
    do {                                                                                           \
        const QString qevLanWhy = ::qevtest::TestLan::unavailableReason();                         \
        if (!qevLanWhy.isEmpty())                                                                  \
            GTEST_SKIP() << qPrintable(qevLanWhy);                                                 \
    } while (0)

class TestLan {
public:
    // Empty when the LAN can be built: root, the process already in a private namespace,
    // iproute2 present.
    static QString unavailableReason();

    TestLan();
    ~TestLan();
    TestLan(const TestLan &) = delete;
    TestLan &operator=(const TestLan &) = delete;

    // The PC's eth0 with an address such as "192.168.77.1/24". With a gateway, a namespace
    // holding that address becomes the PC's default route, so that datagrams to foreign
    // networks leave on the wire; without one, the default route is on-link through eth0.
    void setupPc(const QString &cidr, const QString &gatewayCidr = {});
    // A host that behaves like a small embedded stack: it receives broadcasts addressed to
    // any network. Its interface is eth0. Returns the namespace's name.
    QString addDevice(const QString &cidr);
    // A plain Linux host on the same bridge.
    QString addHost(const QString &cidr);

    // Starts a program inside a namespace; the fixture owns it and kills it at teardown.
    // prepare, when given, sets up the process (channels, output files) before it starts.
    QProcess *start(const QString &ns, const QString &program, const QStringList &args,
                    const std::function<void(QProcess &)> &prepare = {});
    // Runs a command to completion inside a namespace; returns its exit code (-1 when it
    // could not run) and its standard output.
    int run(const QString &ns, const QStringList &command, QString *output = nullptr);

    // The name under which this process's own namespace is known to `ip -n`.
    QString pcNamespace() const { return m_pc; }

private:
    QString attach(const QString &ns, const QString &cidr);
    QString newNamespace(const QString &role);
    void mustRun(const QStringList &command);

    QString m_prefix;
    QString m_switch;
    QString m_pc;
    QStringList m_namespaces; // made by the fixture, deleted at teardown
    int m_ports = 0;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

struct CapturedDatagram {
    QString dstIp;
    quint16 dstPort = 0;
    QString srcIp;
    quint16 srcPort = 0;
    QByteArray payload;
};

// Records the UDP datagrams that this namespace sends out of an interface, whatever their
// destination, as the wire sees them.
class UdpCapture {
public:
    explicit UdpCapture(const QString &ifname = QStringLiteral("eth0"));
    ~UdpCapture();
    UdpCapture(const UdpCapture &) = delete;
    UdpCapture &operator=(const UdpCapture &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Everything captured so far; returns once nothing new arrived for settleMs.
    QList<CapturedDatagram> take(int settleMs = 200);

private:
    int m_fd = -1;
};

// Reads the UDP datagram out of an IPv4 packet; false for anything else or a truncated one.
bool ParseIPv4Udp(const QByteArray &packet, CapturedDatagram &out);

} // namespace qevtest
