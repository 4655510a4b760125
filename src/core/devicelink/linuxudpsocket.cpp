#include "devicelink/linkerror.h"
#include "devicelink/udpsocket.h"
#include "trace/tracedsocket.h"

#include <QElapsedTimer>
#include <QString>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qev {

namespace {

[[noreturn]] void raise(const char *what, int error) {
    throw LinkError(QStringLiteral("%1: %2")
                        .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(error)))
                        .toStdString());
}

// Errors that an ICMP report of an earlier datagram leaves pending on the socket. The
// kernel hands a pending one to the next call, a send included.
bool isReportedError(int error) {
    return error == ECONNREFUSED || error == EHOSTUNREACH || error == ENETUNREACH ||
           error == EHOSTDOWN || error == EPROTO || error == EMSGSIZE;
}

// A Linux datagram socket hides ICMP reports unless IP_RECVERR is set. With it set, every
// report is queued; a closed port of the peer is raised from the next receive, as the
// protocol's fall-back to the base port expects. Other reports (host or network
// unreachable) only say that a datagram was lost, which the receive's time-out covers.
class LinuxUdpSocket final : public UdpSocket {
public:
    LinuxUdpSocket()
        : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        if (m_fd < 0)
            raise("socket", errno);
        const int on = 1;
        if (::setsockopt(m_fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on) != 0) {
            const int error = errno;
            ::close(m_fd);
            raise("IP_RECVERR", error);
        }
    }

    ~LinuxUdpSocket() override { ::close(m_fd); }

    LinuxUdpSocket(const LinuxUdpSocket &) = delete;
    LinuxUdpSocket &operator=(const LinuxUdpSocket &) = delete;

    void setBroadcast(bool permitted) override {
        const int value = permitted ? 1 : 0;
        if (::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &value, sizeof value) != 0)
            raise("SO_BROADCAST", errno);
        m_broadcast = permitted;
    }

    bool broadcast() const override { return m_broadcast; }

    TraceEndpoint localEndpoint(const IPv4Bytes &towards) const override {
        // The system gives the socket its port with the first send; it keeps it.
        if (m_localPort == 0) {
            sockaddr_in own{};
            socklen_t length = sizeof own;
            if (::getsockname(m_fd, reinterpret_cast<sockaddr *>(&own), &length) == 0)
                m_localPort = ntohs(own.sin_port);
        }
        TraceEndpoint local;
        local.port = m_localPort;
        if (towards != m_routedTowards || !m_routedFrom) {
            m_routedTowards = towards;
            m_routedFrom = sourceAddressTowards(towards);
        }
        local.address = m_routedFrom.value_or(IPv4Bytes{});
        return local;
    }

    TraceEndpoint lastSender() const override { return m_lastSender; }

private:
    void sendDatagram(const IPv4Bytes &address, quint16 port,
                      std::span<const quint8> data) override {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        std::memcpy(&to.sin_addr.s_addr, address.data(), address.size());
        bool retried = false;
        for (;;) {
            if (::sendto(m_fd, data.data(), data.size(), MSG_NOSIGNAL,
                         reinterpret_cast<const sockaddr *>(&to), sizeof to) >= 0) {
                return;
            }
            const int error = errno;
            if (error == EINTR)
                continue;
            // The send picked up the report of an earlier datagram; that report stays
            // queued for the next receive, and this datagram has not left yet.
            if (!retried && isReportedError(error) && reportQueued()) {
                retried = true;
                continue;
            }
            raise("sendto", error);
        }
    }

    std::size_t receiveDatagram(std::span<quint8> buffer, int timeoutMs) override {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            const int remaining = std::max<qint64>(0, timeoutMs - clock.elapsed());
            pollfd entry{m_fd, POLLIN, 0};
            const int ready = ::poll(&entry, 1, remaining);
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                raise("poll", errno);
            }
            if (ready == 0)
                return 0;
            if (entry.revents & POLLERR) {
                if (takeReports())
                    raise("receive", ECONNREFUSED);
                continue;
            }
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t got = ::recvfrom(m_fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                           reinterpret_cast<sockaddr *>(&from), &fromLength);
            if (got >= 0) {
                std::memcpy(m_lastSender.address.data(), &from.sin_addr.s_addr, 4);
                m_lastSender.port = ntohs(from.sin_port);
                return static_cast<std::size_t>(got);
            }
            const int error = errno;
            if (error == EINTR || error == EAGAIN || error == EWOULDBLOCK)
                continue;
            if (isReportedError(error)) {
                if (takeReports() || error == ECONNREFUSED)
                    raise("receive", ECONNREFUSED);
                continue;
            }
            raise("recv", error);
        }
    }

    bool reportQueued() const {
        pollfd entry{m_fd, 0, 0};
        return ::poll(&entry, 1, 0) > 0 && (entry.revents & POLLERR);
    }

    // Empties the error queue, so that one report raises at most one error. True when
    // one of the reports was a closed port.
    bool takeReports() {
        bool refused = false;
        for (;;) {
            quint8 payload[64];
            iovec part{payload, sizeof payload};
            alignas(cmsghdr) char control[256];
            msghdr message{};
            message.msg_iov = &part;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            if (::recvmsg(m_fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0) {
                if (errno == EINTR)
                    continue;
                break;
            }
            for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
                if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR)
                    continue;
                sock_extended_err report;
                std::memcpy(&report, CMSG_DATA(c), sizeof report);
                if (report.ee_origin == SO_EE_ORIGIN_ICMP && report.ee_errno == ECONNREFUSED)
                    refused = true;
            }
        }
        int pending = 0;
        socklen_t length = sizeof pending;
        if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &pending, &length) == 0 &&
            pending == ECONNREFUSED) {
            refused = true;
        }
        return refused;
    }

    // The address the system sends from towards an address, found by connecting a socket
    // of its own there (a datagram socket sends nothing on connect).
    static std::optional<IPv4Bytes> sourceAddressTowards(const IPv4Bytes &towards) {
        const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (probe < 0)
            return std::nullopt;
        const int on = 1;
        ::setsockopt(probe, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(9);
        std::memcpy(&to.sin_addr.s_addr, towards.data(), towards.size());
        std::optional<IPv4Bytes> source;
        sockaddr_in own{};
        socklen_t length = sizeof own;
        if (::connect(probe, reinterpret_cast<const sockaddr *>(&to), sizeof to) == 0 &&
            ::getsockname(probe, reinterpret_cast<sockaddr *>(&own), &length) == 0) {
            source.emplace();
            std::memcpy(source->data(), &own.sin_addr.s_addr, 4);
        }
        ::close(probe);
        return source;
    }

    int m_fd;
    bool m_broadcast = false;
    TraceEndpoint m_lastSender;
    mutable quint16 m_localPort = 0;
    // The last answer of sourceAddressTowards, asked again only for another address.
    mutable IPv4Bytes m_routedTowards{};
    mutable std::optional<IPv4Bytes> m_routedFrom;
};

} // namespace

std::unique_ptr<UdpSocket> openUdpSocket(bool broadcastPermitted) {
    std::unique_ptr<UdpSocket> socket = std::make_unique<LinuxUdpSocket>();
    socket->setBroadcast(broadcastPermitted);
    if (DatagramTrace *trace = InstalledDatagramTrace())
        return TracedUdpSocket(std::move(socket), *trace);
    return socket;
}

} // namespace qev
