#include "netinspect/arp.h"

#include "netinspect/adapters.h"

#include <algorithm>
#include <array>

namespace qev {

namespace {

// Interfaces an ARP flush reaches at the most.
constexpr std::size_t FlushSlots = 64;

const QString UnreadableMac = QStringLiteral("??:??:??:??:??:??");

QString plainHex(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

quint32 numeric(const QString &address) {
    const IPv4Bytes bytes = IPToBytes(address);
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
}

// Hardware address (six bytes, plain hex) of the interface that holds an address; the
// last such interface wins.
QString interfaceMacOf(const QString &address) {
    QList<KernelLink> links;
    QList<KernelAddress> addresses;
    if (kernelTables().links(links) != 0 || kernelTables().addresses(addresses) != 0)
        return UnreadableMac;
    QString mac = UnreadableMac;
    for (const KernelAddress &held : addresses) {
        if (held.address != address)
            continue;
        const auto link = std::find_if(links.cbegin(), links.cend(),
                                       [&](const KernelLink &l) { return l.index == held.index; });
        if (link != links.cend())
            mac = link->hardwareAddress.isEmpty() ? UnreadableMac
                                                  : plainHex(link->hardwareAddress.left(6));
    }
    return mac;
}

} // namespace

ArpEntryType ArpTypeOf(NeighbourState state) {
    switch (state) {
    case NeighbourState::Permanent:
        return ArpStatic;
    case NeighbourState::Reachable:
    case NeighbourState::Stale:
    case NeighbourState::Delay:
    case NeighbourState::Probe:
        return ArpDynamic;
    case NeighbourState::Incomplete:
    case NeighbourState::Failed:
        return ArpInvalid;
    }
    return ArpOther;
}

bool ReadArpTable(QList<ArpRow> &table) {
    table.clear();
    QList<KernelNeighbour> neighbours;
    if (kernelTables().neighbours(neighbours) != 0)
        return false;
    for (const KernelNeighbour &neighbour : neighbours) {
        ArpRow row;
        row.Index = quint32(neighbour.index);
        row.PhysAddr = neighbour.hardwareAddress.left(8);
        row.Addr = neighbour.address;
        row.Type = ArpTypeOf(neighbour.state);
        table << row;
    }
    std::stable_sort(table.begin(), table.end(), [](const ArpRow &a, const ArpRow &b) {
        return numeric(a.Addr) < numeric(b.Addr);
    });
    return true;
}

bool ArpMacList(QStringList &list) {
    QList<ArpRow> table;
    if (!ReadArpTable(table))
        return false;
    for (const ArpRow &row : table) {
        if (!row.PhysAddr.isEmpty())
            list << plainHex(row.PhysAddr);
    }
    return true;
}

bool ArpNeighbours(QStringList &list) {
    QList<ArpRow> table;
    if (!ReadArpTable(table))
        return false;
    const QString mask = GetLocalNetmask();
    const QString local = GetLocalIP();
    for (const ArpRow &row : table) {
        if (row.Type != ArpDynamic && row.Type != ArpStatic)
            continue;
        const QString address = QString(row.Addr).remove(QLatin1Char(' '));
        if (!address.isEmpty() && SameSubnet(local, address, mask) && !list.contains(address))
            list << address;
    }
    return true;
}

bool FlushArpCache() {
    QList<ArpRow> table;
    if (!ReadArpTable(table) || table.isEmpty())
        return false;
    std::array<quint32, FlushSlots> slots{}; // 0 marks a free slot
    for (const ArpRow &row : table) {
        const auto end = slots.end();
        if (std::find(slots.begin(), end, row.Index) != end)
            continue;
        const auto freeSlot = std::find(slots.begin(), end, 0u);
        if (freeSlot != end)
            *freeSlot = row.Index;
    }
    bool flushed = false;
    for (const quint32 index : slots) {
        if (index != 0)
            flushed = kernelTables().flushNeighbours(int(index)) == 0;
    }
    return flushed;
}

QString MacOfIP(const QString &address, bool withColons) {
    if (address == GetLocalIP()) {
        const QString mac = interfaceMacOf(address);
        return withColons && mac != UnreadableMac ? MacWithColons(mac) : mac;
    }
    QList<ArpRow> table;
    if (!ReadArpTable(table))
        return {};
    for (const ArpRow &row : table) {
        if (row.Addr == address)
            return withColons ? HexBytesText(row.PhysAddr, false) : plainHex(row.PhysAddr);
    }
    return {};
}

QString MacWithColons(const QString &text) {
    QStringList pairs;
    for (int i = 0; i < 12; i += 2)
        pairs << text.mid(i, 2);
    return pairs.join(QLatin1Char(':'));
}

QString FormatMac(const MacBytes &mac) {
    return HexBytesText(
        QByteArray(reinterpret_cast<const char *>(mac.data()), qsizetype(mac.size())), false);
}

QString HexBytesText(const QByteArray &bytes, bool reversed) {
    QStringList pairs;
    for (const char byte : bytes)
        pairs << QStringLiteral("%1").arg(quint8(byte), 2, 16, QLatin1Char('0')).toUpper();
    if (reversed)
        std::reverse(pairs.begin(), pairs.end());
    return pairs.join(QLatin1Char(':'));
}

} // namespace qev
