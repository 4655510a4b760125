#pragma once

// A host network for tests: the answers are whatever the test sets, nothing touches the
// real network. While it lives it is the one hostNetwork() returns.

#include "netinspect/hostnetwork.h"

#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>

namespace qevtest {

class FakeHostNetwork final : public qev::HostNetwork {
public:
    struct PingCall {
        QString address;
        int timeoutMs = 0;
        bool operator==(const PingCall &) const = default;
    };

    FakeHostNetwork()
        : m_previous(&qev::hostNetwork()) {
        qev::setHostNetwork(this);
    }
    ~FakeHostNetwork() override { qev::setHostNetwork(m_previous); }
    FakeHostNetwork(const FakeHostNetwork &) = delete;
    FakeHostNetwork &operator=(const FakeHostNetwork &) = delete;

    void setHostName(const QString &name) { m_hostName = name; }
    void setLocalIP(const QString &address) { m_localIP = address; }
    void setNetworkPresent(bool present) { m_networkPresent = present; }
    void setWinsockUsable(bool usable) { m_winsockUsable = usable; }
    // Only these addresses answer a ping.
    void setAnswering(const QSet<QString> &addresses) { m_answering = addresses; }
    void addAnswering(const QString &address) { m_answering.insert(address); }
    void removeAnswering(const QString &address) { m_answering.remove(address); }

    // Every ping asked for, in the order they came (from any thread).
    const QList<PingCall> &pingCalls() const { return m_pingCalls; }
    void clearPingCalls() { m_pingCalls.clear(); }

    QString localHostName() override { return m_hostName; }
    QString localIP() override { return m_localIP; }
    bool isNetworkPresent() override { return m_networkPresent; }
    bool isWinsockUsable() override { return m_winsockUsable; }
    bool ping(const QString &address, int timeoutMs) override {
        const QMutexLocker lock(&m_pingLock);
        m_pingCalls.append({address, timeoutMs});
        return m_answering.contains(address);
    }

private:
    qev::HostNetwork *m_previous;
    QString m_hostName = QStringLiteral("qev-test-pc");
    QString m_localIP = QStringLiteral("192.168.0.10");
    bool m_networkPresent = true;
    bool m_winsockUsable = true;
    QSet<QString> m_answering;
    QMutex m_pingLock;
    QList<PingCall> m_pingCalls;
};

} // namespace qevtest
