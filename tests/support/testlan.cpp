#include "testlan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

namespace qevtest {

namespace {

// Set once by EnterPrivateNetworkNamespace, before any thread exists.
QString g_unavailable = QStringLiteral("the test LAN needs the LAN test main");
ino_t g_originalNamespace = 0;

ino_t currentNamespace() {
    struct stat st {};
    return ::stat("/proc/self/ns/net", &st) == 0 ? st.st_ino : 0;
}

void writeProc(const char *path, const char *value) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    const ssize_t written = ::write(fd, value, ::strlen(value));
    (void)written;
    ::close(fd);
}

} // namespace

void EnterPrivateNetworkNamespace() {
    if (::geteuid() != 0) {
        g_unavailable = QStringLiteral("skipped: the test LAN of network namespaces needs root");
        return;
    }
    g_originalNamespace = currentNamespace();
    if (::unshare(CLONE_NEWNET) != 0) {
        g_unavailable = QStringLiteral("skipped: cannot create a network namespace (unshare)");
        return;
    }
    if (currentNamespace() == g_originalNamespace) {
        g_unavailable = QStringLiteral("skipped: still in the machine's own network namespace");
        return;
    }
    // A quiet LAN: no IPv6 chatter in the captures.
    writeProc("/proc/sys/net/ipv6/conf/all/disable_ipv6", "1");
    writeProc("/proc/sys/net/ipv6/conf/default/disable_ipv6", "1");
    if (QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty()) {
        g_unavailable = QStringLiteral("skipped: iproute2 (ip) is not installed");
        return;
    }
    g_unavailable.clear();
}

QString TestLan::unavailableReason() {
    if (g_unavailable.isEmpty() && currentNamespace() == g_originalNamespace)
        return QStringLiteral("refused: this process is in the machine's own network namespace");
    return g_unavailable;
}

TestLan::TestLan() {
    if (!unavailableReason().isEmpty())
        throw std::runtime_error(unavailableReason().toStdString());
    // Namespaces carry the pid, so test processes running side by side never meet.
    static int instance = 0;
    m_prefix = QStringLiteral("qev%1x%2").arg(QCoreApplication::applicationPid()).arg(++instance);
    m_switch = newNamespace(QStringLiteral("sw"));
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), m_switch, QStringLiteral("link"),
             QStringLiteral("add"), QStringLiteral("br0"), QStringLiteral("type"),
             QStringLiteral("bridge")});
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), m_switch, QStringLiteral("link"),
             QStringLiteral("set"), QStringLiteral("br0"), QStringLiteral("up")});
    m_pc = m_prefix + QStringLiteral("pc");
    mustRun({QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("attach"), m_pc,
             QString::number(QCoreApplication::applicationPid())});
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), m_pc, QStringLiteral("link"),
             QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up")});
}

TestLan::~TestLan() {
    for (auto &process : m_processes) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
    m_processes.clear();
    // The PC's namespace is this process's own and outlives the fixture. Its end of the pair
    // goes first and at once: a switch namespace is torn down by the kernel in the
    // background, and the next fixture's eth0 would meet the old one still there.
    if (!m_pc.isEmpty())
        run(m_pc, {QStringLiteral("ip"), QStringLiteral("link"), QStringLiteral("del"),
                   QStringLiteral("eth0")});
    for (const QString &ns : std::as_const(m_namespaces)) {
        QString pids;
        run(QString(), {QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("pids"), ns},
            &pids);
        for (const QString &pid : pids.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            ::kill(pid.toInt(), SIGKILL);
        run(QString(), {QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("del"), ns});
    }
    // Of the PC's namespace only its name goes.
    if (!m_pc.isEmpty())
        run(QString(),
            {QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("del"), m_pc});
}

QString TestLan::newNamespace(const QString &role) {
    const QString ns = m_prefix + role;
    mustRun({QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("add"), ns});
    m_namespaces << ns;
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), ns, QStringLiteral("link"),
             QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up")});
    for (const char *key :
         {"net.ipv6.conf.all.disable_ipv6=1", "net.ipv6.conf.default.disable_ipv6=1"})
        run(ns, {QStringLiteral("sysctl"), QStringLiteral("-qw"), QString::fromLatin1(key)});
    return ns;
}

// Wires eth0 of ns to the bridge and gives it the address.
QString TestLan::attach(const QString &ns, const QString &cidr) {
    const QString port = QStringLiteral("p%1").arg(m_ports++);
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), m_switch, QStringLiteral("link"),
             QStringLiteral("add"), port, QStringLiteral("type"), QStringLiteral("veth"),
             QStringLiteral("peer"), QStringLiteral("name"), QStringLiteral("eth0"),
             QStringLiteral("netns"), ns});
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), m_switch, QStringLiteral("link"),
             QStringLiteral("set"), port, QStringLiteral("master"), QStringLiteral("br0"),
             QStringLiteral("up")});
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), ns, QStringLiteral("addr"),
             QStringLiteral("add"), cidr, QStringLiteral("dev"), QStringLiteral("eth0")});
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), ns, QStringLiteral("link"),
             QStringLiteral("set"), QStringLiteral("eth0"), QStringLiteral("up")});
    return ns;
}

void TestLan::setupPc(const QString &cidr, const QString &gatewayCidr) {
    attach(m_pc, cidr);
    if (gatewayCidr.isEmpty()) {
        mustRun({QStringLiteral("ip"), QStringLiteral("-n"), m_pc, QStringLiteral("route"),
                 QStringLiteral("add"), QStringLiteral("default"), QStringLiteral("dev"),
                 QStringLiteral("eth0")});
        return;
    }
    attach(newNamespace(QStringLiteral("gw")), gatewayCidr);
    const QString gateway = gatewayCidr.section(QLatin1Char('/'), 0, 0);
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), m_pc, QStringLiteral("route"),
             QStringLiteral("add"), QStringLiteral("default"), QStringLiteral("via"), gateway});
}

QString TestLan::addDevice(const QString &cidr) {
    const QString ns = attach(newNamespace(QStringLiteral("d%1").arg(m_ports)), cidr);
    for (const char *key : {"net.ipv4.conf.all.rp_filter=0", "net.ipv4.conf.default.rp_filter=0",
                            "net.ipv4.conf.eth0.rp_filter=0"})
        mustRun({QStringLiteral("ip"), QStringLiteral("netns"), QStringLiteral("exec"), ns,
                 QStringLiteral("sysctl"), QStringLiteral("-qw"), QString::fromLatin1(key)});
    // Like a small embedded stack: broadcasts of any network reach sockets bound to
    // 0.0.0.0, and replies go back on-link whatever the sender's network.
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), ns, QStringLiteral("route"),
             QStringLiteral("add"), QStringLiteral("default"), QStringLiteral("dev"),
             QStringLiteral("eth0")});
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), ns, QStringLiteral("rule"),
             QStringLiteral("add"), QStringLiteral("iif"), QStringLiteral("eth0"),
             QStringLiteral("lookup"), QStringLiteral("100")});
    mustRun({QStringLiteral("ip"), QStringLiteral("-n"), ns, QStringLiteral("route"),
             QStringLiteral("add"), QStringLiteral("broadcast"), QStringLiteral("0.0.0.0/0"),
             QStringLiteral("dev"), QStringLiteral("eth0"), QStringLiteral("table"),
             QStringLiteral("100")});
    return ns;
}

QString TestLan::addHost(const QString &cidr) {
    return attach(newNamespace(QStringLiteral("h%1").arg(m_ports)), cidr);
}

QProcess *TestLan::start(const QString &ns, const QString &program, const QStringList &args,
                         const std::function<void(QProcess &)> &prepare) {
    auto process = std::make_unique<QProcess>();
    if (prepare)
        prepare(*process);
    if (ns.isEmpty() || ns == m_pc) {
        process->start(program, args);
    } else {
        process->start(QStringLiteral("ip"),
                       QStringList{QStringLiteral("netns"), QStringLiteral("exec"), ns, program} +
                           args);
    }
    process->waitForStarted(5000);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

int TestLan::run(const QString &ns, const QStringList &command, QString *output) {
    if (command.isEmpty())
        return -1;
    QProcess process;
    if (ns.isEmpty() || ns == m_pc) {
        process.start(command.first(), command.mid(1));
    } else {
        process.start(QStringLiteral("ip"),
                      QStringList{QStringLiteral("netns"), QStringLiteral("exec"), ns} + command);
    }
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TestLan::mustRun(const QStringList &command) {
    QProcess process;
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        throw std::runtime_error((command.join(QLatin1Char(' ')) + QStringLiteral(": ") +
                                  QString::fromLocal8Bit(process.readAllStandardError()).trimmed())
                                     .toStdString());
    }
}

UdpCapture::UdpCapture(const QString &ifname) {
    if (!TestLan::unavailableReason().isEmpty())
        return;
    // Only ETH_P_ALL taps see what the host itself sends.
    m_fd = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, htons(ETH_P_ALL));
    if (m_fd < 0)
        return;
    const int size = 4 << 20;
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(ETH_P_ALL);
    address.sll_ifindex = static_cast<int>(::if_nametoindex(ifname.toLocal8Bit().constData()));
    if (address.sll_ifindex == 0 ||
        ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

UdpCapture::~UdpCapture() {
    if (m_fd >= 0)
        ::close(m_fd);
}

QList<CapturedDatagram> UdpCapture::take(int settleMs) {
    QList<CapturedDatagram> result;
    if (m_fd < 0)
        return result;
    QByteArray packet(65536, Qt::Uninitialized);
    for (;;) {
        pollfd pfd{m_fd, POLLIN, 0};
        if (::poll(&pfd, 1, settleMs) <= 0)
            break;
        sockaddr_ll from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(m_fd, packet.data(), static_cast<size_t>(packet.size()), 0,
                                     reinterpret_cast<sockaddr *>(&from), &fromLength);
        if (n <= 0)
            continue;
        if (from.sll_pkttype != PACKET_OUTGOING || from.sll_protocol != htons(ETH_P_IP))
            continue;
        CapturedDatagram datagram;
        if (ParseIPv4Udp(packet.left(n), datagram))
            result << datagram;
    }
    return result;
}

bool ParseIPv4Udp(const QByteArray &packet, CapturedDatagram &out) {
    const auto *bytes = reinterpret_cast<const quint8 *>(packet.constData());
    const qsizetype size = packet.size();
    if (size < 20 || (bytes[0] >> 4) != 4 || bytes[9] != 17)
        return false;
    const qsizetype headerLength = (bytes[0] & 0x0F) * 4;
    const qsizetype totalLength = std::min<qsizetype>((bytes[2] << 8) | bytes[3], size);
    if (headerLength < 20 || totalLength < headerLength + 8)
        return false;
    auto ip = [&](int offset) {
        return QStringLiteral("%1.%2.%3.%4")
            .arg(bytes[offset])
            .arg(bytes[offset + 1])
            .arg(bytes[offset + 2])
            .arg(bytes[offset + 3]);
    };
    const quint8 *udp = bytes + headerLength;
    const qsizetype udpLength =
        std::min<qsizetype>((udp[4] << 8) | udp[5], totalLength - headerLength);
    if (udpLength < 8)
        return false;
    out.srcIp = ip(12);
    out.dstIp = ip(16);
    out.srcPort = static_cast<quint16>((udp[0] << 8) | udp[1]);
    out.dstPort = static_cast<quint16>((udp[2] << 8) | udp[3]);
    out.payload = QByteArray(reinterpret_cast<const char *>(udp + 8), udpLength - 8);
    return true;
}

} // namespace qevtest
