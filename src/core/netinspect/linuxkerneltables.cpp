// The kernel's tables through rtnetlink (libnl-route-3); the driver name and the wireless
// flag of an interface through the ioctls that ethtool and iwconfig use (and sysfs).

#include "netinspect/kerneltables.h"

#include <QFile>
#include <QFileInfo>

#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/link.h>
#include <netlink/route/neighbour.h>
#include <netlink/route/route.h>

#include <arpa/inet.h>
#include <linux/capability.h>
#include <linux/ethtool.h>
#include <linux/if_addr.h>
#include <linux/neighbour.h>
#include <linux/sockios.h>
#include <linux/wireless.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace qev {

namespace {

// libnl reports its own error numbers; callers want the system's.
int errnoOf(int nlError) {
    switch (std::abs(nlError)) {
    case NLE_INTR:
        return EINTR;
    case NLE_BAD_SOCK:
        return EBADF;
    case NLE_AGAIN:
        return EAGAIN;
    case NLE_NOMEM:
        return ENOMEM;
    case NLE_EXIST:
        return EEXIST;
    case NLE_INVAL:
        return EINVAL;
    case NLE_RANGE:
        return ERANGE;
    case NLE_MSGSIZE:
        return EMSGSIZE;
    case NLE_OPNOTSUPP:
        return EOPNOTSUPP;
    case NLE_AF_NOSUPPORT:
        return EAFNOSUPPORT;
    case NLE_OBJ_NOTFOUND:
        return ENOENT;
    case NLE_NOADDR:
        return EADDRNOTAVAIL;
    case NLE_BUSY:
        return EBUSY;
    case NLE_PROTO_MISMATCH:
        return EPROTONOSUPPORT;
    case NLE_NOACCESS:
        return EACCES;
    case NLE_PERM:
        return EPERM;
    case NLE_NODEV:
        return ENODEV;
    default:
        return EIO;
    }
}

struct SocketDeleter {
    void operator()(nl_sock *socket) const { nl_socket_free(socket); }
};
struct CacheDeleter {
    void operator()(nl_cache *cache) const { nl_cache_free(cache); }
};
using Socket = std::unique_ptr<nl_sock, SocketDeleter>;
using Cache = std::unique_ptr<nl_cache, CacheDeleter>;

// A connected rtnetlink socket, or the errno value of the failure.
int connectRoute(Socket &socket) {
    socket.reset(nl_socket_alloc());
    if (!socket)
        return ENOMEM;
    const int result = nl_connect(socket.get(), NETLINK_ROUTE);
    return result < 0 ? errnoOf(result) : 0;
}

// Connects and fills a cache with one of the allocators of libnl-route.
template <typename Allocate>
int dumpTable(Socket &socket, Cache &cache, Allocate allocate) {
    if (const int error = connectRoute(socket))
        return error;
    nl_cache *raw = nullptr;
    const int result = allocate(socket.get(), &raw);
    cache.reset(raw);
    return result < 0 ? errnoOf(result) : 0;
}

template <typename Object, typename Visit>
void forEach(nl_cache *cache, Visit visit) {
    for (nl_object *object = nl_cache_get_first(cache); object; object = nl_cache_get_next(object))
        visit(reinterpret_cast<Object *>(object));
}

QByteArray bytesOf(const nl_addr *address) {
    if (!address)
        return {};
    return QByteArray(static_cast<const char *>(nl_addr_get_binary_addr(address)),
                      static_cast<qsizetype>(nl_addr_get_len(address)));
}

// Dotted text of an IPv4 address; empty for anything else.
QString ipv4Text(const nl_addr *address) {
    if (!address || nl_addr_get_family(address) != AF_INET || nl_addr_get_len(address) != 4)
        return {};
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, nl_addr_get_binary_addr(address), text, sizeof text))
        return {};
    return QString::fromLatin1(text);
}

// What the ioctls of an interface tell beyond rtnetlink.
class InterfaceQuery {
public:
    InterfaceQuery()
        : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~InterfaceQuery() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    InterfaceQuery(const InterfaceQuery &) = delete;
    InterfaceQuery &operator=(const InterfaceQuery &) = delete;

    QString driver(const QByteArray &name) const {
        ethtool_drvinfo info{};
        info.cmd = ETHTOOL_GDRVINFO;
        ifreq request = named<ifreq>(name);
        request.ifr_data = reinterpret_cast<char *>(&info);
        if (m_fd < 0 || ::ioctl(m_fd, SIOCETHTOOL, &request) != 0)
            return {};
        return QString::fromLatin1(info.driver,
                                   qsizetype(strnlen(info.driver, sizeof info.driver)));
    }

    bool isWireless(const QByteArray &name, int index) const {
        iwreq request = named<iwreq>(name);
        if (m_fd >= 0 && ::ioctl(m_fd, SIOCGIWNAME, &request) == 0)
            return true;
        // Drivers without the old wireless extensions still show their radio in sysfs;
        // sysfs may belong to another network namespace, so the index must match too.
        const QString folder =
            QStringLiteral("/sys/class/net/%1/").arg(QString::fromLocal8Bit(name));
        QFile indexFile(folder + QStringLiteral("ifindex"));
        if (name.contains('/') || !indexFile.open(QIODevice::ReadOnly))
            return false;
        return indexFile.read(32).trimmed().toInt() == index &&
               QFileInfo::exists(folder + QStringLiteral("phy80211"));
    }

private:
    template <typename Request>
    static Request named(const QByteArray &name) {
        Request request{};
        std::memcpy(request.ifr_name, name.constData(),
                    std::min<std::size_t>(std::size_t(name.size()), IFNAMSIZ - 1));
        return request;
    }

    int m_fd;
};

std::optional<NeighbourState> neighbourStateOf(int state) {
    if (state & NUD_PERMANENT)
        return NeighbourState::Permanent;
    if (state & NUD_REACHABLE)
        return NeighbourState::Reachable;
    if (state & NUD_STALE)
        return NeighbourState::Stale;
    if (state & NUD_DELAY)
        return NeighbourState::Delay;
    if (state & NUD_PROBE)
        return NeighbourState::Probe;
    if (state & NUD_FAILED)
        return NeighbourState::Failed;
    if (state & NUD_INCOMPLETE)
        return NeighbourState::Incomplete;
    return std::nullopt; // NOARP and NONE: no resolution, not listed by `ip neigh` either
}

// Whether this thread holds CAP_NET_ADMIN, which changing the neighbour table needs.
bool mayChangeNeighbours() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    return (data[CAP_TO_INDEX(CAP_NET_ADMIN)].effective & CAP_TO_MASK(CAP_NET_ADMIN)) != 0;
}

// Entries that `ip neigh flush` leaves alone.
bool isFlushable(int state) {
    return state != NUD_NONE && !(state & (NUD_PERMANENT | NUD_NOARP));
}

class LinuxKernelTables final : public KernelTables {
public:
    int links(QList<KernelLink> &out) override {
        out.clear();
        Socket socket;
        Cache cache;
        const int error = dumpTable(socket, cache, [](nl_sock *sk, nl_cache **result) {
            return rtnl_link_alloc_cache(sk, AF_UNSPEC, result);
        });
        if (error)
            return error;
        const InterfaceQuery query;
        forEach<rtnl_link>(cache.get(), [&](rtnl_link *link) {
            KernelLink row;
            row.index = rtnl_link_get_ifindex(link);
            const char *name = rtnl_link_get_name(link);
            const QByteArray rawName = name ? QByteArray(name) : QByteArray();
            row.name = QString::fromLocal8Bit(rawName);
            row.hardwareAddress = bytesOf(rtnl_link_get_addr(link));
            row.arpType = rtnl_link_get_arptype(link);
            const char *kind = rtnl_link_get_type(link);
            row.kind = kind ? QString::fromLatin1(kind) : QString();
            row.driver = query.driver(rawName);
            row.wireless = query.isWireless(rawName, row.index);
            row.loopback = (rtnl_link_get_flags(link) & IFF_LOOPBACK) != 0;
            out.append(row);
        });
        std::stable_sort(out.begin(), out.end(), [](const KernelLink &a, const KernelLink &b) {
            return a.index < b.index;
        });
        return 0;
    }

    int addresses(QList<KernelAddress> &out) override {
        out.clear();
        Socket socket;
        Cache cache;
        const int error = dumpTable(socket, cache, rtnl_addr_alloc_cache);
        if (error)
            return error;
        forEach<rtnl_addr>(cache.get(), [&](rtnl_addr *address) {
            const QString text = ipv4Text(rtnl_addr_get_local(address));
            if (rtnl_addr_get_family(address) != AF_INET || text.isEmpty())
                return;
            KernelAddress row;
            row.index = rtnl_addr_get_ifindex(address);
            row.address = text;
            row.prefixLength = rtnl_addr_get_prefixlen(address);
            row.dynamic = (rtnl_addr_get_flags(address) & IFA_F_PERMANENT) == 0;
            out.append(row);
        });
        return 0;
    }

    int defaultGateways(QList<KernelGateway> &out) override {
        out.clear();
        Socket socket;
        Cache cache;
        const int error = dumpTable(socket, cache, [](nl_sock *sk, nl_cache **result) {
            return rtnl_route_alloc_cache(sk, AF_INET, 0, result);
        });
        if (error)
            return error;
        forEach<rtnl_route>(cache.get(), [&](rtnl_route *route) {
            const nl_addr *destination = rtnl_route_get_dst(route);
            if (rtnl_route_get_family(route) != AF_INET ||
                rtnl_route_get_table(route) != RT_TABLE_MAIN ||
                rtnl_route_get_type(route) != RTN_UNICAST || !destination ||
                nl_addr_get_prefixlen(destination) != 0)
                return;
            for (int n = 0; n < rtnl_route_get_nnexthops(route); ++n) {
                rtnl_nexthop *hop = rtnl_route_nexthop_n(route, n);
                const QString gateway = hop ? ipv4Text(rtnl_route_nh_get_gateway(hop)) : QString();
                if (!gateway.isEmpty())
                    out.append({rtnl_route_nh_get_ifindex(hop), gateway});
            }
        });
        return 0;
    }

    int neighbours(QList<KernelNeighbour> &out) override {
        out.clear();
        Socket socket;
        Cache cache;
        const int error = dumpTable(socket, cache, rtnl_neigh_alloc_cache);
        if (error)
            return error;
        forEach<rtnl_neigh>(cache.get(), [&](rtnl_neigh *neighbour) {
            const QString address = ipv4Text(rtnl_neigh_get_dst(neighbour));
            const auto state = neighbourStateOf(rtnl_neigh_get_state(neighbour));
            if (rtnl_neigh_get_family(neighbour) != AF_INET || address.isEmpty() || !state)
                return;
            KernelNeighbour row;
            row.index = rtnl_neigh_get_ifindex(neighbour);
            row.address = address;
            row.hardwareAddress = bytesOf(rtnl_neigh_get_lladdr(neighbour));
            row.state = *state;
            out.append(row);
        });
        return 0;
    }

    int flushNeighbours(int index) override {
        Socket socket;
        Cache cache;
        const int error = dumpTable(socket, cache, rtnl_neigh_alloc_cache);
        if (error)
            return error;
        int result = 0;
        bool deletedAny = false;
        forEach<rtnl_neigh>(cache.get(), [&](rtnl_neigh *neighbour) {
            if (result || rtnl_neigh_get_family(neighbour) != AF_INET ||
                rtnl_neigh_get_ifindex(neighbour) != index ||
                !isFlushable(rtnl_neigh_get_state(neighbour)))
                return;
            const int deleted = rtnl_neigh_delete(socket.get(), neighbour, 0);
            deletedAny = true;
            // Gone in the meantime is what a flush wants anyway.
            if (deleted < 0 && std::abs(deleted) != NLE_OBJ_NOTFOUND)
                result = errnoOf(deleted);
        });
        // With nothing to delete the kernel was never asked; a flush without the right to
        // change the table still fails, as it would with entries.
        if (!deletedAny && !mayChangeNeighbours())
            return EPERM;
        return result;
    }
};

} // namespace

KernelTables &systemKernelTables() {
    static LinuxKernelTables tables;
    return tables;
}

} // namespace qev
