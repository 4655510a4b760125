#pragma once

// Runs qev-devsim for a test and reads its log: the datagrams the simulated devices
// received (exactly as the program under test sent them) and every other line.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QProcess;

namespace qevtest {

struct DevsimRx {
    QString dstIp;
    quint16 dstPort = 0;
    QString srcIp;
    quint16 srcPort = 0;
    QByteArray payload;
};

// Reads one "rx <dstIp>:<dstPort> from <srcIp>:<srcPort> <HEX>" line.
std::optional<DevsimRx> ParseDevsimRxLine(const QString &line);

// A UDP port that is free on address at the moment of the call (for --base-port and
// port= of simulators that run beside other tests).
quint16 FreeUdpPort(const QHostAddress &address = QHostAddress::LocalHost);

class DevsimRunner {
public:
    DevsimRunner();
    ~DevsimRunner(); // stops a simulator it started itself
    DevsimRunner(const DevsimRunner &) = delete;
    DevsimRunner &operator=(const DevsimRunner &) = delete;

    // Starts QEV_DEVSIM_PATH with the arguments and waits for "ready".
    bool start(const QStringList &arguments, int timeoutMs = 10000);
    // Follows a simulator started elsewhere (TestLan::start); does not own it.
    bool attach(QProcess *process, int timeoutMs = 10000);

    // Every datagram received so far, in order; waits settleMs first for late ones.
    QList<DevsimRx> rx(int settleMs = 0);
    // Every log line that is not an rx line ("device", "listen", "ready", "tx",
    // "programmed", "error"), in order.
    QStringList lines(int settleMs = 0);
    // Waits until a line beginning with prefix has appeared (also one seen before).
    bool waitForLine(const QString &prefix, int timeoutMs = 5000);

    // Standard error and the exit state, for failure messages.
    QString diagnostics();
    void stop();

private:
    void readAvailable();
    void settle(int ms);

    std::unique_ptr<QProcess> m_owned;
    QProcess *m_process = nullptr;
    QByteArray m_pending;
    QStringList m_all;
    QString m_stderr;
};

} // namespace qevtest
