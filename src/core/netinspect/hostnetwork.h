#pragma once

// The operating system's answers about the PC's own network, behind one interface so
// that tests can replace them and another platform can add its own implementation.

#include <QString>

namespace qev {

class HostNetwork {
public:
    virtual ~HostNetwork() = default;

    virtual QString localHostName() = 0;
    // The PC's own IPv4 address as dotted text; "127.0.0.1" when it has none.
    virtual QString localIP() = 0;
    // Some interface other than loopback is up.
    virtual bool isNetworkPresent() = 0;
    virtual bool isWinsockUsable() = 0;
    // One ICMP echo; true when this request's reply came back in time.
    virtual bool ping(const QString &address, int timeoutMs) = 0;
};

// The implementation in use: the system's unless a test installed another.
HostNetwork &hostNetwork();

// Installs an implementation (not owned); nullptr restores the system's.
void setHostNetwork(HostNetwork *replacement);

// The system's implementation for this platform.
HostNetwork &systemHostNetwork();

} // namespace qev
