#pragma once

// A small non-blocking TCP client: connect never waits for the peer, send and receive
// return at once. Events arrive through the event loop; a caller that only sends and
// receives at its own pace needs none of them. Errors go to OnError with the system's
// error number and its text, never as an exception.

#include "trace/traceendpoint.h"

#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace qev {

class TCustomWSocket {
public:
    enum class State { Idle, Connecting, Connected };

    using SocketEvent = std::function<void(TCustomWSocket *sender, int handle)>;
    using ErrorEvent = std::function<void(TCustomWSocket *sender, int code, const QString &text)>;

    TCustomWSocket();
    virtual ~TCustomWSocket();
    TCustomWSocket(const TCustomWSocket &) = delete;
    TCustomWSocket &operator=(const TCustomWSocket &) = delete;

    SocketEvent OnConnect;
    SocketEvent OnData; // raised again only after the next Receive
    SocketEvent OnClose;
    ErrorEvent OnError;

    State state() const { return m_state; }

    // Bytes sent; 0 on failure or when the socket cannot take any now.
    qint64 Send(const char *data, qint64 size);
    // Bytes received; 0 on failure, at the peer's end, or when nothing has arrived.
    qint64 Receive(char *buffer, qint64 size);
    // Shuts the sending side down, discards what the peer still has sent, closes.
    void Close();

    // Blocks the calling thread for at most timeoutMs, less when nothing more can arrive:
    // the connection was refused or failed, the peer closed it, or the client is idle. True
    // in that case. What arrived before stays for Receive.
    bool WaitUntilEnded(int timeoutMs);

protected:
    // Takes a socket whose non-blocking connect to peer has been started.
    void startConnecting(int descriptor, const TraceEndpoint &peer);
    void reportError(int code, const QString &text);
    void reportSystemError(int code);

private:
    void onWritable();
    void onReadable();
    void setReadNotification(bool enabled);

    int m_fd = -1;
    TraceEndpoint m_peer;
    State m_state = State::Idle;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
};

class TTCPClient : public TCustomWSocket {
public:
    QString Host; // dotted address or host name
    QString Port; // TCP service name or decimal number

    // Starts connecting; false when the client is not idle or the connection cannot be
    // started (reported through OnError).
    bool Connect();
};

} // namespace qev
