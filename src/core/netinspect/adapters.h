#pragma once

// The PC's own network adapters and interface table, and what the rest of the program
// derives from them: the netmask of the PC's address, the first gateway and the
// broadcast address of the device search. Every call reads the kernel's tables afresh;
// nothing here throws.

#include "netinspect/kerneltables.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace qev {

enum TIF_OPER_STATUS {
    IF_OPER_STATUS_NONE,
    IF_OPER_STATUS_UP,
    IF_OPER_STATUS_DOWN,
    IF_OPER_STATUS_TESTING,
    IF_OPER_STATUS_UNKNOWN,
    IF_OPER_STATUS_DORMANT,
    IF_OPER_STATUS_NOT_PRESENT,
    IF_OPER_STATUS_LOWER_LAYER_DOWN,
};

QString OperStatusName(TIF_OPER_STATUS status);

// One adapter. Every list but DnsServerList holds at least one entry.
struct TAdaptorInfo {
    QString AdapterName;
    QString Description;
    QString MacAddress; // colon hex; "00:00:00:00:00:00" when the adapter has none
    quint32 Index = 0;
    qint32 IfType = 0; // IANA ifType
    qint32 DhcpEnabled = 0;
    QStringList IPList;
    QStringList MaskList;
    QStringList GatewayList;
    QStringList DhcpServerList;
    QStringList PrimaryWinsList;
    QStringList DnsServerList;
    QString FriendlyName;
    TIF_OPER_STATUS OperStatus = IF_OPER_STATUS_NONE;
};
using TAdaptorRows = QList<TAdaptorInfo>;

// One interface of the interface table with its first IPv4 address; address and mask are
// empty when it has none.
struct TAdapterInfo {
    quint32 Index = 0;
    QString Address;
    QString Mask;
};

// Short name of an IANA ifType 1-145; empty text for any other number.
QString InterfaceTypeName(qint32 ifType);

// The IANA ifType and the description that the adapter list gives an interface.
qint32 InterfaceTypeOf(const KernelLink &link);
QString InterfaceDescription(const KernelLink &link);

// "255.255.255.0" for 24; lengths outside 0-32 are clamped.
QString PrefixToNetmask(int prefixLength);

// Fills rows with every adapter (loopback excluded, as it is no network adapter) and
// returns 0, or returns the errno value of the failing query with no rows.
int GetAdapterRows(TAdaptorRows &rows);

// Replaces lines with three lines per adapter, "no entries." when there is none, or the
// system's message for the error of GetAdapterRows.
void AdapterReportLines(QStringList &lines);

// One record per interface, in the kernel's order; false on any failure.
bool GetInterfaceTable(QList<TAdapterInfo> &table);

QString GetLocalNetmask();
QString GetFirstGateway();
QString GetLocalBroadcast();

} // namespace qev
