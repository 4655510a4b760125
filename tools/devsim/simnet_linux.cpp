#include "simnet.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/ip.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <netlink/addr.h>
#include <netlink/cache.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/link.h>
#include <netlink/route/link/inet.h>

#include <bit>
#include <vector>

namespace qev::devsim {

namespace {

QString systemError(const char *what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

sockaddr_in socketAddress(quint32 ip, quint16 port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(ip);
    sa.sin_port = htons(port);
    return sa;
}

class LinuxUdpEndpoint : public UdpEndpoint {
public:
    ~LinuxUdpEndpoint() override {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool open(quint32 address, quint16 port, QString *error) override {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) {
            *error = systemError("socket");
            return false;
        }
        const int on = 1;
        if (::setsockopt(m_fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) {
            *error = systemError("IP_PKTINFO");
            return false;
        }
        const sockaddr_in sa = socketAddress(address, port);
        if (::bind(m_fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa) != 0) {
            *error = systemError("bind");
            return false;
        }
        m_address = address;
        return true;
    }

    qintptr descriptor() const override { return m_fd; }

    std::optional<ReceivedDatagram> receive() override {
        std::vector<char> buffer(65536);
        for (;;) {
            sockaddr_in from{};
            iovec iov{buffer.data(), buffer.size()};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
            msghdr msg{};
            msg.msg_name = &from;
            msg.msg_namelen = sizeof from;
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(m_fd, &msg, MSG_DONTWAIT);
            if (n < 0) {
                // A port-unreachable answer to an earlier reply surfaces here as an error;
                // it says nothing about the next datagram.
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    return std::nullopt;
                continue;
            }
            ReceivedDatagram d;
            d.payload = QByteArray(buffer.data(), qsizetype(n));
            d.srcIp = ntohl(from.sin_addr.s_addr);
            d.srcPort = ntohs(from.sin_port);
            for (cmsghdr *c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
                if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                    in_pktinfo info;
                    std::memcpy(&info, CMSG_DATA(c), sizeof info);
                    d.dstIp = ntohl(info.ipi_addr.s_addr);
                    d.localIp = ntohl(info.ipi_spec_dst.s_addr);
                }
            }
            return d;
        }
    }

    bool send(const QByteArray &payload, quint32 dstIp, quint16 dstPort, quint32 localIp,
              QString *error) override {
        sockaddr_in to = socketAddress(dstIp, dstPort);
        iovec iov{const_cast<char *>(payload.constData()), size_t(payload.size())};
        msghdr msg{};
        msg.msg_name = &to;
        msg.msg_namelen = sizeof to;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
        if (m_address == 0 && localIp != 0) {
            // Bound to every address: answer from the address the request reached.
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            cmsghdr *c = CMSG_FIRSTHDR(&msg);
            c->cmsg_level = IPPROTO_IP;
            c->cmsg_type = IP_PKTINFO;
            c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
            in_pktinfo info{};
            info.ipi_spec_dst.s_addr = htonl(localIp);
            std::memcpy(CMSG_DATA(c), &info, sizeof info);
        }
        if (::sendmsg(m_fd, &msg, 0) < 0) {
            *error = systemError("sendmsg");
            return false;
        }
        return true;
    }

private:
    int m_fd = -1;
    quint32 m_address = 0;
};

// Owns one libnl object and frees it with the matching function.
template <typename T, void (*Free)(T *)>
struct NlPtr {
    T *p = nullptr;
    NlPtr() = default;
    NlPtr(const NlPtr &) = delete;
    NlPtr &operator=(const NlPtr &) = delete;
    ~NlPtr() {
        if (p)
            Free(p);
    }
};

void putAddr(nl_addr *a) {
    nl_addr_put(a);
}
void putLink(rtnl_link *l) {
    rtnl_link_put(l);
}
void putAddress(rtnl_addr *a) {
    rtnl_addr_put(a);
}
void freeCache(nl_cache *c) {
    nl_cache_free(c);
}

nl_addr *ipv4Addr(quint32 ip) {
    const in_addr raw{htonl(ip)};
    return nl_addr_build(AF_INET, &raw, sizeof raw);
}

QString netlinkError(const char *what, int code) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(nl_geterror(code)));
}

class NetlinkInterfaceAddressing : public InterfaceAddressing {
public:
    bool replaceIPv4(const QString &interfaceName, quint32 ip, quint32 mask,
                     QString *error) override {
        const int prefix = std::countl_one(mask);
        if (prefix < 32 && (mask << prefix) != 0) {
            *error = QStringLiteral("netmask is not a prefix");
            return false;
        }
        const int index = int(if_nametoindex(interfaceName.toLocal8Bit().constData()));
        if (index == 0) {
            *error = systemError("interface");
            return false;
        }
        NlPtr<nl_sock, nl_socket_free> sock;
        sock.p = nl_socket_alloc();
        if (!sock.p) {
            *error = QStringLiteral("netlink: out of memory");
            return false;
        }
        if (const int rc = nl_connect(sock.p, NETLINK_ROUTE); rc < 0) {
            *error = netlinkError("netlink", rc);
            return false;
        }
        // The new address is added before the old one goes, so that the interface never
        // stands without an address (that would drop its routes). In the old one's subnet
        // the new one is a secondary, which must survive the removal of its primary.
        keepSecondaries(sock.p, index);
        if (!addAddress(sock.p, index, ip, mask, prefix, error))
            return false;
        return removeOthers(sock.p, index, ip, error);
    }

private:
    static void keepSecondaries(nl_sock *sock, int index) {
        NlPtr<rtnl_link, putLink> current;
        if (rtnl_link_get_kernel(sock, index, nullptr, &current.p) < 0)
            return;
        NlPtr<rtnl_link, putLink> change;
        change.p = rtnl_link_alloc();
        if (!change.p)
            return;
        rtnl_link_inet_set_conf(change.p, IPV4_DEVCONF_PROMOTE_SECONDARIES, 1);
        rtnl_link_change(sock, current.p, change.p, 0);
    }

    static bool addAddress(nl_sock *sock, int index, quint32 ip, quint32 mask, int prefix,
                           QString *error) {
        NlPtr<rtnl_addr, putAddress> address;
        address.p = rtnl_addr_alloc();
        NlPtr<nl_addr, putAddr> local;
        local.p = ipv4Addr(ip);
        NlPtr<nl_addr, putAddr> broadcast;
        broadcast.p = ipv4Addr(ip | ~mask);
        if (!address.p || !local.p || !broadcast.p) {
            *error = QStringLiteral("netlink: out of memory");
            return false;
        }
        rtnl_addr_set_ifindex(address.p, index);
        rtnl_addr_set_family(address.p, AF_INET);
        rtnl_addr_set_local(address.p, local.p);
        rtnl_addr_set_prefixlen(address.p, prefix);
        rtnl_addr_set_broadcast(address.p, broadcast.p);
        const int rc = rtnl_addr_add(sock, address.p, NLM_F_REPLACE);
        if (rc < 0) {
            *error = netlinkError("add address", rc);
            return false;
        }
        return true;
    }

    static bool removeOthers(nl_sock *sock, int index, quint32 keep, QString *error) {
        NlPtr<nl_cache, freeCache> cache;
        if (const int rc = rtnl_addr_alloc_cache(sock, &cache.p); rc < 0) {
            *error = netlinkError("read addresses", rc);
            return false;
        }
        std::vector<rtnl_addr *> stale;
        for (nl_object *o = nl_cache_get_first(cache.p); o; o = nl_cache_get_next(o)) {
            auto *a = reinterpret_cast<rtnl_addr *>(o);
            if (rtnl_addr_get_ifindex(a) != index || rtnl_addr_get_family(a) != AF_INET)
                continue;
            const nl_addr *local = rtnl_addr_get_local(a);
            if (!local || nl_addr_get_len(local) != 4)
                continue;
            in_addr raw;
            std::memcpy(&raw, nl_addr_get_binary_addr(local), sizeof raw);
            if (ntohl(raw.s_addr) != keep)
                stale.push_back(a);
        }
        for (rtnl_addr *a : stale) {
            if (const int rc = rtnl_addr_delete(sock, a, 0); rc < 0) {
                *error = netlinkError("remove address", rc);
                return false;
            }
        }
        return true;
    }
};

} // namespace

QString TestNamespaceRefusal() {
    struct stat own {};
    if (::stat("/proc/self/ns/net", &own) != 0)
        return systemError("/proc/self/ns/net");
    QDirIterator named(QStringLiteral("/run/netns"), QDir::Files | QDir::System);
    while (named.hasNext()) {
        struct stat other {};
        if (::stat(QFile::encodeName(named.next()).constData(), &other) == 0 &&
            other.st_dev == own.st_dev && other.st_ino == own.st_ino)
            return {};
    }
    return QStringLiteral("--interface is refused outside a test network namespace (one made "
                          "with \"ip netns add\")");
}

std::unique_ptr<UdpEndpoint> CreateUdpEndpoint() {
    return std::make_unique<LinuxUdpEndpoint>();
}

std::unique_ptr<InterfaceAddressing> CreateInterfaceAddressing() {
    return std::make_unique<NetlinkInterfaceAddressing>();
}

} // namespace qev::devsim
