#include "netinspect/tcpclient.h"

#include "trace/commandnames.h"
#include "trace/datagramtrace.h"

#include <QSocketNotifier>

#include <QDeadlineTimer>
#include <QThread>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace qev {

namespace {

// A peer that keeps sending must not hold Close() forever.
constexpr int MaxDiscardReads = 64;

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

bool lookUpPort(const QString &port, in_port_t &networkOrder) {
    const QByteArray name = port.toUtf8();
    servent entry{};
    servent *found = nullptr;
    std::array<char, 1024> scratch{};
    if (::getservbyname_r(name.constData(), "tcp", &entry, scratch.data(), scratch.size(),
                          &found) == 0 &&
        found) {
        networkOrder = in_port_t(found->s_port);
        return true;
    }
    bool ok = false;
    const uint number = port.toUInt(&ok, 10);
    if (!ok || number > 65535)
        return false;
    networkOrder = htons(quint16(number));
    return true;
}

// Records a frame of the connection on fd, or its refusal, in the installed trace.
void traceFrame(int fd, const TraceEndpoint &peer, TraceEntry::Kind kind, const char *data,
                qint64 size) {
    DatagramTrace *trace = InstalledDatagramTrace();
    if (!trace)
        return;
    TraceEntry entry;
    entry.kind = kind;
    entry.transport = TraceEntry::Transport::Tcp;
    entry.remote = peer;
    sockaddr_in own{};
    socklen_t length = sizeof own;
    if (::getsockname(fd, reinterpret_cast<sockaddr *>(&own), &length) == 0) {
        std::memcpy(entry.local.address.data(), &own.sin_addr.s_addr, 4);
        entry.local.port = ntohs(own.sin_port);
    }
    entry.bytes = QByteArray(data, qsizetype(size));
    entry.command = StationProbeName;
    trace->record(std::move(entry));
}

} // namespace

TCustomWSocket::TCustomWSocket() = default;

TCustomWSocket::~TCustomWSocket() {
    Close();
}

void TCustomWSocket::startConnecting(int descriptor, const TraceEndpoint &peer) {
    m_fd = descriptor;
    m_peer = peer;
    m_state = State::Connecting;
    m_writeNotifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Write);
    QObject::connect(m_writeNotifier.get(), &QSocketNotifier::activated, [this] { onWritable(); });
    m_readNotifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    m_readNotifier->setEnabled(false);
    QObject::connect(m_readNotifier.get(), &QSocketNotifier::activated, [this] { onReadable(); });
}

void TCustomWSocket::reportError(int code, const QString &text) {
    if (OnError)
        OnError(this, code, text);
}

void TCustomWSocket::reportSystemError(int code) {
    reportError(code, qt_error_string(code));
}

void TCustomWSocket::setReadNotification(bool enabled) {
    if (m_readNotifier)
        m_readNotifier->setEnabled(enabled);
}

void TCustomWSocket::onWritable() {
    m_writeNotifier->setEnabled(false);
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error != 0) {
        if (error == ECONNREFUSED)
            traceFrame(m_fd, m_peer, TraceEntry::Kind::ClosedPort, nullptr, 0);
        reportSystemError(error);
        Close();
        return;
    }
    m_state = State::Connected;
    setReadNotification(true);
    if (OnConnect)
        OnConnect(this, m_fd);
}

void TCustomWSocket::onReadable() {
    // Like a read notification of Winsock: one per arrival, renewed by Receive.
    setReadNotification(false);
    char peek = 0;
    const ssize_t peeked = ::recv(m_fd, &peek, 1, MSG_PEEK | MSG_DONTWAIT);
    if (peeked > 0) {
        if (OnData)
            OnData(this, m_fd);
        return;
    }
    const int error = peeked < 0 ? errno : 0;
    if (wouldBlock(error)) {
        setReadNotification(true);
        return;
    }
    if (error == ENETDOWN) {
        reportSystemError(error);
        return;
    }
    if (OnClose)
        OnClose(this, m_fd);
    Close();
}

qint64 TCustomWSocket::Send(const char *data, qint64 size) {
    const ssize_t sent =
        ::send(m_fd, data, size_t(qMax<qint64>(size, 0)), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0)
        traceFrame(m_fd, m_peer, TraceEntry::Kind::Sent, data, sent);
    if (sent >= 0)
        return sent;
    if (!wouldBlock(errno))
        reportSystemError(errno);
    return 0;
}

qint64 TCustomWSocket::Receive(char *buffer, qint64 size) {
    const ssize_t received = ::recv(m_fd, buffer, size_t(qMax<qint64>(size, 0)), MSG_DONTWAIT);
    const int error = errno;
    if (m_state == State::Connected)
        setReadNotification(true);
    if (received > 0) {
        traceFrame(m_fd, m_peer, TraceEntry::Kind::Received, buffer, received);
        return received;
    }
    if (received < 0 && !wouldBlock(error))
        reportSystemError(error);
    return 0;
}

void TCustomWSocket::Close() {
    if (m_fd < 0)
        return;
    // Close() may run inside a notifier's own signal (an event handler that closes), so
    // the notifiers go at the next turn of the event loop, not here.
    for (std::unique_ptr<QSocketNotifier> *notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            QObject::disconnect(notifier->get(), nullptr, nullptr, nullptr);
            notifier->release()->deleteLater();
        }
    }
    if (::shutdown(m_fd, SHUT_WR) != 0 && errno != ENOTCONN)
        reportSystemError(errno);
    std::array<char, 1024> discard{};
    for (int i = 0; i < MaxDiscardReads; ++i) {
        if (::recv(m_fd, discard.data(), discard.size(), MSG_DONTWAIT) <= 0)
            break;
    }
    ::close(m_fd);
    m_fd = -1;
    m_state = State::Idle;
}

bool TCustomWSocket::WaitUntilEnded(int timeoutMs) {
    const QDeadlineTimer deadline(qMax(timeoutMs, 0));
    while (m_fd >= 0) {
        // Only the end of the connection is asked for: data arriving does not end the wait.
        pollfd entry{m_fd, POLLRDHUP, 0};
        const int ready = ::poll(&entry, 1, int(deadline.remainingTime()));
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR) {
            QThread::msleep(ulong(deadline.remainingTime()));
            return false;
        }
    }
    return true;
}

bool TTCPClient::Connect() {
    if (state() != State::Idle)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (!lookUpPort(Port, address.sin_port)) {
        reportSystemError(EINVAL);
        return false;
    }
    const QByteArray host = Host.toUtf8();
    if (::inet_pton(AF_INET, host.constData(), &address.sin_addr) != 1) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *found = nullptr;
        const int result = ::getaddrinfo(host.constData(), nullptr, &hints, &found);
        if (result != 0) {
            reportError(result, QString::fromLocal8Bit(::gai_strerror(result)));
            return false;
        }
        address.sin_addr = reinterpret_cast<const sockaddr_in *>(found->ai_addr)->sin_addr;
        ::freeaddrinfo(found);
    }

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        reportSystemError(errno);
        return false;
    }
    const int inlineOutOfBand = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_OOBINLINE, &inlineOutOfBand, sizeof inlineOutOfBand);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS) {
        const int error = errno;
        ::close(fd);
        reportSystemError(error);
        return false;
    }
    TraceEndpoint peer;
    std::memcpy(peer.address.data(), &address.sin_addr.s_addr, 4);
    peer.port = ntohs(address.sin_port);
    startConnecting(fd, peer);
    return true;
}

} // namespace qev
