#pragma once

// The kernel's network tables of the PC: interfaces, IPv4 addresses, default routes and
// the IPv4 neighbour (ARP) cache, behind one interface so that tests can replace them and
// another platform can add its own implementation. Every call reads the tables afresh.

#include <QByteArray>
#include <QList>
#include <QString>

namespace qev {

struct KernelLink {
    int index = 0;
    QString name;
    QByteArray hardwareAddress; // empty when the interface has none
    unsigned arpType = 0;       // ARPHRD_* hardware type
    QString kind;               // link kind of a virtual interface ("bridge", "veth", "tun")
    QString driver;             // driver the interface reports, empty when it reports none
    bool wireless = false;
    bool loopback = false;
};

struct KernelAddress {
    int index = 0;
    QString address; // dotted decimal
    int prefixLength = 0;
    bool dynamic = false; // has a finite lifetime, as a DHCP lease has
};

// One gateway of a default route of the main routing table.
struct KernelGateway {
    int index = 0; // interface the route leaves through
    QString gateway;
};

enum class NeighbourState { Incomplete, Reachable, Stale, Delay, Probe, Failed, Permanent };

struct KernelNeighbour {
    int index = 0;
    QString address;            // dotted decimal
    QByteArray hardwareAddress; // empty while unresolved
    NeighbourState state = NeighbourState::Incomplete;
};

// Each call returns 0 and fills its list, or returns an errno value and leaves the list
// empty. Lists come in the kernel's order.
class KernelTables {
public:
    virtual ~KernelTables() = default;

    virtual int links(QList<KernelLink> &out) = 0;
    virtual int addresses(QList<KernelAddress> &out) = 0; // IPv4 only
    virtual int defaultGateways(QList<KernelGateway> &out) = 0;
    // IPv4 entries that `ip neigh` lists: without the ones that need no resolution.
    virtual int neighbours(QList<KernelNeighbour> &out) = 0;
    // Removes the neighbour entries of one interface that are neither permanent nor
    // exempt from resolution, as `ip neigh flush dev X` does; needs CAP_NET_ADMIN.
    virtual int flushNeighbours(int index) = 0;
};

// The implementation in use: the system's unless a test installed another.
KernelTables &kernelTables();

// Installs an implementation (not owned); nullptr restores the system's.
void setKernelTables(KernelTables *replacement);

// The system's implementation for this platform.
KernelTables &systemKernelTables();

} // namespace qev
