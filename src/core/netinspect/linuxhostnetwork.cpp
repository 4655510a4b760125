#include "netinspect/linuxhostnetwork.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/route.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qev {

namespace {

constexpr quint8 IcmpEchoReply = 0;
constexpr quint8 IcmpEchoRequest = 8;
constexpr std::size_t IcmpHeaderSize = 8;
constexpr std::size_t EchoPayloadSize = 64;
constexpr std::size_t Ipv4MinHeaderSize = 20;
// Far above an echo reply to our request; anything longer is not ours anyway.
constexpr std::size_t ReceiveBufferSize = 1024;
// /proc/net/route of a PC holds a few lines; the bound only guards against a surprise.
constexpr qint64 RouteTableMaxSize = 1 << 20;

quint16 readBigEndian16(const quint8 *data) {
    return static_cast<quint16>((data[0] << 8) | data[1]);
}

void writeBigEndian16(quint8 *data, quint16 value) {
    data[0] = static_cast<quint8>(value >> 8);
    data[1] = static_cast<quint8>(value & 0xFF);
}

quint16 internetChecksum(const quint8 *data, std::size_t size) {
    quint32 sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += readBigEndian16(data + i);
    if (size % 2 != 0)
        sum += static_cast<quint32>(data[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum & 0xFFFF);
}

bool isLoopbackAddress(const QString &address) {
    return address.startsWith(u"127.");
}

bool isOperational(unsigned int flags) {
    return (flags & IFF_UP) != 0 && (flags & IFF_RUNNING) != 0;
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Calls visit(const ifaddrs &) for every entry getifaddrs reports.
template <typename Visit>
void forEachInterfaceEntry(Visit visit) {
    ifaddrs *list = nullptr;
    if (::getifaddrs(&list) != 0)
        return;
    for (const ifaddrs *entry = list; entry; entry = entry->ifa_next)
        visit(*entry);
    ::freeifaddrs(list);
}

QList<InterfaceAddress> interfaceAddresses() {
    QList<InterfaceAddress> addresses;
    forEachInterfaceEntry([&addresses](const ifaddrs &entry) {
        if (!entry.ifa_addr || entry.ifa_addr->sa_family != AF_INET)
            return;
        sockaddr_in address{};
        std::memcpy(&address, entry.ifa_addr, sizeof address);
        char text[INET_ADDRSTRLEN] = {};
        if (!::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text))
            return;
        addresses.append({QString::fromLocal8Bit(entry.ifa_name), QString::fromLatin1(text),
                          isOperational(entry.ifa_flags), (entry.ifa_flags & IFF_LOOPBACK) != 0});
    });
    return addresses;
}

QByteArray readRouteTable() {
    QFile file(QStringLiteral("/proc/net/route"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(RouteTableMaxSize);
}

QStringList systemResolve(const QByteArray &hostName) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; // one entry per address, not one per socket type
    addrinfo *list = nullptr;
    if (::getaddrinfo(hostName.constData(), nullptr, &hints, &list) != 0)
        return {};
    QStringList addresses;
    for (const addrinfo *entry = list; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in))
            continue;
        sockaddr_in address{};
        std::memcpy(&address, entry->ai_addr, sizeof address);
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text))
            addresses.append(QString::fromLatin1(text));
    }
    ::freeaddrinfo(list);
    return addresses;
}

// Raw sockets tell requests apart by identifier; ping sockets get theirs from the kernel.
quint16 rawIdentifier() {
    return static_cast<quint16>(::getpid() & 0xFFFF);
}

std::atomic<quint16> g_lastSequence{0};

} // namespace

// Shared by the caller and the lookup thread: a lookup that times out keeps running on its
// own thread and must only ever touch this object, which it co-owns.
struct LinuxHostNetwork::Lookup {
    QByteArray hostName;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    QStringList addresses;
};

QString chooseLocalIP(const QStringList &lookedUp, const QList<InterfaceAddress> &addresses,
                      const QString &defaultRouteInterface) {
    for (const QString &candidate : lookedUp) {
        if (isLoopbackAddress(candidate))
            continue;
        const bool held = std::any_of(addresses.begin(), addresses.end(), [&](const auto &a) {
            return a.up && a.address == candidate;
        });
        if (held)
            return candidate;
    }
    if (!defaultRouteInterface.isEmpty()) {
        for (const InterfaceAddress &a : addresses) {
            if (a.interfaceName == defaultRouteInterface && !a.loopback)
                return a.address;
        }
    }
    for (const InterfaceAddress &a : addresses) {
        if (a.up && !a.loopback)
            return a.address;
    }
    return QStringLiteral("127.0.0.1");
}

QString defaultRouteInterface(const QByteArray &routeTable) {
    // Columns: Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT; the
    // heading line fails the number checks below.
    QString best;
    quint32 bestMetric = std::numeric_limits<quint32>::max();
    for (const QByteArray &line : routeTable.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 8)
            continue;
        bool destinationOk = false;
        bool flagsOk = false;
        bool metricOk = false;
        bool maskOk = false;
        const quint32 destination = fields[1].toUInt(&destinationOk, 16);
        const quint32 flags = fields[3].toUInt(&flagsOk, 16);
        const quint32 metric = fields[6].toUInt(&metricOk, 10);
        const quint32 mask = fields[7].toUInt(&maskOk, 16);
        if (!destinationOk || !flagsOk || !metricOk || !maskOk)
            continue;
        if (destination != 0 || mask != 0 || (flags & RTF_UP) == 0)
            continue;
        if (best.isEmpty() || metric < bestMetric) {
            best = QString::fromLocal8Bit(fields[0]);
            bestMetric = metric;
        }
    }
    return best;
}

bool isEchoReplyTo(const quint8 *data, std::size_t size, bool withIpHeader, quint16 identifier,
                   quint16 sequence) {
    std::size_t offset = 0;
    if (withIpHeader) {
        if (size < Ipv4MinHeaderSize || (data[0] >> 4) != 4)
            return false;
        offset = static_cast<std::size_t>(data[0] & 0x0F) * 4;
        if (offset < Ipv4MinHeaderSize)
            return false;
    }
    if (size < offset + IcmpHeaderSize)
        return false;
    const quint8 *icmp = data + offset;
    return icmp[0] == IcmpEchoReply && icmp[1] == 0 && readBigEndian16(icmp + 4) == identifier &&
           readBigEndian16(icmp + 6) == sequence;
}

LinuxHostNetwork::LinuxHostNetwork(Resolver resolver)
    : m_resolver(resolver ? std::move(resolver) : Resolver(systemResolve)) {}

QString LinuxHostNetwork::localHostName() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return QString::fromLocal8Bit(name.data());
}

QString LinuxHostNetwork::localIP() {
    const QString hostName = localHostName();
    const QStringList lookedUp =
        hostName.isEmpty() ? QStringList() : lookUp(hostName.toLocal8Bit());
    return chooseLocalIP(lookedUp, interfaceAddresses(), defaultRouteInterface(readRouteTable()));
}

QStringList LinuxHostNetwork::lookUp(const QByteArray &hostName) {
    using namespace std::chrono;
    if (m_pendingLookup) {
        std::lock_guard lock(m_pendingLookup->mutex);
        // A finished lookup is stale by now, and one for another name is of no use.
        if (m_pendingLookup->done || m_pendingLookup->hostName != hostName)
            m_pendingLookup.reset();
    }
    milliseconds wait{0};
    if (!m_pendingLookup) {
        auto lookup = std::make_shared<Lookup>();
        lookup->hostName = hostName;
        try {
            std::thread([lookup, resolve = m_resolver] {
                QStringList addresses = resolve(lookup->hostName);
                {
                    std::lock_guard lock(lookup->mutex);
                    lookup->addresses = std::move(addresses);
                    lookup->done = true;
                }
                lookup->finished.notify_all();
            }).detach();
        } catch (const std::system_error &) {
            return {};
        }
        m_pendingLookup = std::move(lookup);
        wait = milliseconds(LookupTimeoutMs);
    }
    // A lookup still out from an earlier call has had its wait: answer without it at once.
    std::unique_lock lock(m_pendingLookup->mutex);
    if (!m_pendingLookup->finished.wait_for(lock, wait, [this] { return m_pendingLookup->done; }))
        return {};
    QStringList addresses = m_pendingLookup->addresses;
    lock.unlock();
    m_pendingLookup.reset();
    return addresses;
}

bool LinuxHostNetwork::isNetworkPresent() {
    bool present = false;
    forEachInterfaceEntry([&present](const ifaddrs &entry) {
        if (isOperational(entry.ifa_flags) && (entry.ifa_flags & IFF_LOOPBACK) == 0)
            present = true;
    });
    return present;
}

bool LinuxHostNetwork::ping(const QString &address, int timeoutMs) {
    const QByteArray text = address.toLatin1();
    sockaddr_in target{};
    target.sin_family = AF_INET;
    // inet_pton takes only a dotted address: no name is ever looked up here.
    if (text.contains('\0') || ::inet_pton(AF_INET, text.constData(), &target.sin_addr) != 1)
        return false;

    int fd = -1;
    bool datagram = false;
    if (m_pingPath != PingPath::Raw) {
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        datagram = fd >= 0;
    }
    if (fd < 0 && m_pingPath != PingPath::Datagram)
        fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0)
        return false;
    const Descriptor socket(fd);

    const quint16 sequence = ++g_lastSequence;
    std::array<quint8, IcmpHeaderSize + EchoPayloadSize> request{};
    request[0] = IcmpEchoRequest;
    writeBigEndian16(request.data() + 4, datagram ? 0 : rawIdentifier());
    writeBigEndian16(request.data() + 6, sequence);
    writeBigEndian16(request.data() + 2, internetChecksum(request.data(), request.size()));
    if (::sendto(socket.get(), request.data(), request.size(), 0,
                 reinterpret_cast<const sockaddr *>(&target),
                 sizeof target) != static_cast<ssize_t>(request.size()))
        return false;

    // A ping socket's requests carry its local port as identifier, whatever we wrote.
    quint16 identifier = rawIdentifier();
    if (datagram) {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (::getsockname(socket.get(), reinterpret_cast<sockaddr *>(&local), &length) != 0)
            return false;
        identifier = ntohs(local.sin_port);
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    std::array<quint8, ReceiveBufferSize> reply{};
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0)
            return false;
        pollfd waiting{socket.get(), POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t received = ::recv(socket.get(), reply.data(), reply.size(), MSG_DONTWAIT);
        if (received < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                continue;
            return false;
        }
        if (isEchoReplyTo(reply.data(), static_cast<std::size_t>(received), !datagram, identifier,
                          sequence))
            return true;
    }
}

HostNetwork &systemHostNetwork() {
    static LinuxHostNetwork system;
    return system;
}

} // namespace qev
