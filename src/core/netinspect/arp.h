#pragma once

// The PC's ARP cache (the kernel's IPv4 neighbour table), the hardware addresses in it and
// the text forms in which the program writes hardware addresses and other byte strings.
// Nothing here throws: a table that cannot be read gives false or empty text.

#include "netinspect/ipv4.h"
#include "netinspect/kerneltables.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace qev {

// Entry types of an ARP row.
enum ArpEntryType : quint32 {
    ArpOther = 1,
    ArpInvalid = 2,
    ArpDynamic = 3,
    ArpStatic = 4,
};

struct ArpRow {
    quint32 Index = 0;
    QByteArray PhysAddr; // the hardware address; its size is the address length (0-8)
    QString Addr;        // dotted decimal
    quint32 Type = ArpOther;
};

ArpEntryType ArpTypeOf(NeighbourState state);

// The ARP cache, rows sorted by address; false when it cannot be read.
bool ReadArpTable(QList<ArpRow> &table);

// Appends the plain-hex hardware address of every row that has one, in table order.
bool ArpMacList(QStringList &list);

// Appends every dynamic or static neighbour in the PC's subnet, each once.
bool ArpNeighbours(QStringList &list);

// Flushes the ARP cache of every interface that has an entry; true when the last flush
// succeeded. Without the right to change the table it fails and changes nothing.
bool FlushArpCache();

// The hardware address of an address: from the ARP cache, or for the PC's own address
// that of the interface holding it ("??:??:??:??:??:??" when it cannot be read).
QString MacOfIP(const QString &address, bool withColons);

// Plain hex to colon hex: characters 1-2, 3-4, ... 11-12 joined by ":".
QString MacWithColons(const QString &text);

QString FormatMac(const MacBytes &mac);

// Each byte as two upper-case hex digits joined by ":", from the last byte when reversed.
QString HexBytesText(const QByteArray &bytes, bool reversed);

} // namespace qev
