#include "netinspect/adapters.h"

#include "netinspect/arp.h"
#include "netinspect/ipv4.h"
#include "netinspect/linkservers.h"

#include <linux/if_arp.h>

#include <array>

namespace qev {

namespace {

// IANA ifType 1-145, in order.
constexpr std::array<const char *, 145> InterfaceTypeNames = {
    "Other",     "Reg_1822",  "HDH_1822",  "DDN_X25",   "RFC877X25", "Ethernet",  "ISO88023",
    "ISO88024",  "TokenRing", "ISO88026",  "StarLan",   "Proteon10", "Proteon80", "HyperChnl",
    "FDDI",      "LAP_B",     "SDLC",      "DS1",       "E1",        "BasicISDN", "PrimISDN",
    "Prop_P2P",  "PPP",       "Loopback",  "EON",       "Eth_3MB",   "NSIP",      "SLIP",
    "Ultra",     "DS3",       "SIP",       "FrameRly",  "RS232",     "Para",      "Arcnet",
    "Arcnet+",   "ATM",       "MIO_X25",   "Sonet",     "X25_PLE",   "ISO88022",  "LocalTalk",
    "SMDS_DXI",  "FrmRlySrv", "V35",       "HSSI",      "HIPPI",     "Modem",     "AAL5",
    "SonetPath", "Sonet_VT",  "SMDS_ICIP", "Prop_Virt", "Prop_Mux",  "IEEE80212", "FibreChnl",
    "HIPPIifce", "FrmRlyIcn", "ALanE8023", "ALanE8025", "CCT_Emul",  "FastEther", "ISDN",
    "V11",       "V36",       "G703_64K",  "G703_2MB",  "QLLC",      "FastEthFX", "Channel",
    "IEEE80211", "IBM370",    "Escon",     "DSLW",      "ISDN_S",    "ISDN_U",    "LAP_D",
    "IPSwitch",  "RSRB",      "ATM_Logic", "DSO",       "DOSBundle", "BSC",       "Async",
    "CNR",       "ISO88025",  "EPLRS",     "ARAP",      "Prop_CNLS", "HostPad",   "TermPad",
    "FrmRlyMPI", "X213",      "ADSL",      "RADSL",     "SDSL",      "VDSL",      "ISO88025",
    "Myrinet",   "Voice_EM",  "Voice_FX0", "Voice_FXS", "Voice_Cap", "VOIP",      "ATM_DXI",
    "ATM_FUNI",  "ATM_IMA",   "PPPMulti",  "IpOvCDLC",  "IpOvCLAW",  "Stck2Stck", "VirtIPAdr",
    "MPC",       "IpOv_ATM",  "88025Fibr", "TDLC",      "GigaBit",   "HDLC",      "LAP_F",
    "V37",       "X25_MLP",   "X25_Hunt",  "TransHDLC", "InterLeav", "Fast",      "IP",
    "CATV_MACL", "CATV_DwnS", "CATV_UpSt", "A12MPP_Sw", "Tunnel",    "Coffee",    "CES",
    "ATM_SubIF", "L2_VLAN",   "L3_IPVLAN", "L3_IPXVLN", "PowerLine", "MedaiMail", "DTM",
    "DCN",       "IPForward", "MSDSL",     "IEEE1394",  "TV_RcvOly",
};

constexpr std::array<const char *, 8> OperStatusNames = {
    "IF_OPER_STATUS_NONE",        "IF_OPER_STATUS_UP",
    "IF_OPER_STATUS_DOWN",        "IF_OPER_STATUS_TESTING",
    "IF_OPER_STATUS_UNKNOWN",     "IF_OPER_STATUS_DORMANT",
    "IF_OPER_STATUS_NOT_PRESENT", "IF_OPER_STATUS_LOWER_LAYER_DOWN",
};

// IANA numbers that Linux interfaces can be told apart by.
enum IanaIfType : qint32 {
    IanaOther = 1,
    IanaRfc877X25 = 5,
    IanaEthernet = 6,
    IanaTokenRing = 9,
    IanaFddi = 15,
    IanaLapB = 16,
    IanaPpp = 23,
    IanaLoopback = 24,
    IanaSlip = 28,
    IanaFrameRelay = 32,
    IanaArcnet = 35,
    IanaAtm = 37,
    IanaIeee80211 = 71,
    IanaHdlc = 118,
    IanaTunnel = 131,
    IanaL2Vlan = 135,
    IanaIeee1394 = 144,
    IanaIeee8023adLag = 161,
    IanaInfiniband = 199,
    IanaBridge = 209,
    IanaIeee802154 = 259,
};

qint32 typeOfKind(const QString &kind, unsigned arpType) {
    static const QStringList tunnels = {
        QStringLiteral("ipip"),  QStringLiteral("gre"),    QStringLiteral("gretap"),
        QStringLiteral("sit"),   QStringLiteral("ip6tnl"), QStringLiteral("ip6gre"),
        QStringLiteral("vti"),   QStringLiteral("vti6"),   QStringLiteral("wireguard"),
        QStringLiteral("vxlan"), QStringLiteral("geneve"), QStringLiteral("ipoib")};
    if (kind == QLatin1String("bridge"))
        return IanaBridge;
    if (kind == QLatin1String("vlan"))
        return IanaL2Vlan;
    if (kind == QLatin1String("bond"))
        return IanaIeee8023adLag;
    if (tunnels.contains(kind) || (kind == QLatin1String("tun") && arpType != ARPHRD_ETHER))
        return IanaTunnel;
    return 0;
}

qint32 typeOfHardware(unsigned arpType) {
    switch (arpType) {
    case ARPHRD_ETHER:
    case ARPHRD_EETHER:
        return IanaEthernet;
    case ARPHRD_LOOPBACK:
        return IanaLoopback;
    case ARPHRD_PPP:
        return IanaPpp;
    case ARPHRD_IEEE80211:
    case ARPHRD_IEEE80211_PRISM:
    case ARPHRD_IEEE80211_RADIOTAP:
        return IanaIeee80211;
    case ARPHRD_NONE:
    case ARPHRD_TUNNEL:
    case ARPHRD_TUNNEL6:
    case ARPHRD_SIT:
    case ARPHRD_IPGRE:
    case ARPHRD_IP6GRE:
        return IanaTunnel;
    case ARPHRD_SLIP:
    case ARPHRD_CSLIP:
    case ARPHRD_SLIP6:
    case ARPHRD_CSLIP6:
        return IanaSlip;
    case ARPHRD_X25:
        return IanaRfc877X25;
    case ARPHRD_IEEE802_TR:
        return IanaTokenRing;
    case ARPHRD_FDDI:
        return IanaFddi;
    case ARPHRD_LAPB:
        return IanaLapB;
    case ARPHRD_FRAD:
    case ARPHRD_DLCI:
        return IanaFrameRelay;
    case ARPHRD_ARCNET:
        return IanaArcnet;
    case ARPHRD_ATM:
        return IanaAtm;
    case ARPHRD_CISCO: // ARPHRD_HDLC is the same number
        return IanaHdlc;
    case ARPHRD_IEEE1394:
        return IanaIeee1394;
    case ARPHRD_INFINIBAND:
        return IanaInfiniband;
    case ARPHRD_IEEE802154:
        return IanaIeee802154;
    default:
        return IanaOther;
    }
}

QString firstOf(const QStringList &list) {
    return list.value(0);
}

TAdaptorInfo adaptorOf(const KernelLink &link, const QList<KernelAddress> &addresses,
                       const QList<KernelGateway> &gateways) {
    TAdaptorInfo row;
    row.AdapterName = link.name.trimmed();
    row.Description = InterfaceDescription(link).trimmed();
    // An adapter record has room for eight bytes of hardware address.
    row.MacAddress = link.hardwareAddress.isEmpty()
                         ? QStringLiteral("00:00:00:00:00:00")
                         : HexBytesText(link.hardwareAddress.left(8), false);
    row.Index = quint32(link.index);
    row.IfType = InterfaceTypeOf(link);
    for (const KernelAddress &address : addresses) {
        if (address.index != link.index)
            continue;
        if (row.IPList.isEmpty())
            row.DhcpEnabled = address.dynamic ? 1 : 0;
        row.IPList << address.address;
        row.MaskList << PrefixToNetmask(address.prefixLength);
    }
    if (row.IPList.isEmpty()) {
        row.IPList << QStringLiteral("0.0.0.0");
        row.MaskList << QStringLiteral("0.0.0.0");
    }
    for (const KernelGateway &gateway : gateways) {
        if (gateway.index == link.index)
            row.GatewayList << gateway.gateway;
    }
    if (row.GatewayList.isEmpty())
        row.GatewayList << QString();
    row.DhcpServerList << (row.DhcpEnabled ? DhcpServerOf(link.index, link.name) : QString());
    row.PrimaryWinsList << QString();
    row.DnsServerList = DnsServersOf(link.index);
    return row;
}

} // namespace

QString OperStatusName(TIF_OPER_STATUS status) {
    const auto index = std::size_t(status);
    return index < OperStatusNames.size() ? QString::fromLatin1(OperStatusNames[index]) : QString();
}

QString InterfaceTypeName(qint32 ifType) {
    if (ifType < 1 || ifType > qint32(InterfaceTypeNames.size()))
        return {};
    return QString::fromLatin1(InterfaceTypeNames[std::size_t(ifType - 1)]);
}

qint32 InterfaceTypeOf(const KernelLink &link) {
    if (link.loopback)
        return IanaLoopback;
    if (link.wireless)
        return IanaIeee80211;
    if (const qint32 type = typeOfKind(link.kind, link.arpType))
        return type;
    return typeOfHardware(link.arpType);
}

QString InterfaceDescription(const KernelLink &link) {
    if (!link.driver.isEmpty())
        return link.driver;
    if (!link.kind.isEmpty())
        return link.kind;
    if (link.wireless)
        return QStringLiteral("wireless");
    if (link.loopback)
        return QStringLiteral("loopback");
    return {};
}

QString PrefixToNetmask(int prefixLength) {
    const int length = qBound(0, prefixLength, 32);
    const quint32 mask = length == 0 ? 0 : ~quint32(0) << (32 - length);
    return BytesToIP({quint8(mask >> 24), quint8(mask >> 16), quint8(mask >> 8), quint8(mask)});
}

int GetAdapterRows(TAdaptorRows &rows) {
    rows.clear();
    KernelTables &tables = kernelTables();
    QList<KernelLink> links;
    QList<KernelAddress> addresses;
    QList<KernelGateway> gateways;
    if (const int error = tables.links(links))
        return error;
    if (const int error = tables.addresses(addresses))
        return error;
    if (const int error = tables.defaultGateways(gateways))
        return error;
    for (const KernelLink &link : links) {
        if (!link.loopback)
            rows << adaptorOf(link, addresses, gateways);
    }
    return 0;
}

void AdapterReportLines(QStringList &lines) {
    lines.clear();
    TAdaptorRows rows;
    if (const int error = GetAdapterRows(rows)) {
        lines << qt_error_string(error);
        return;
    }
    if (rows.isEmpty()) {
        lines << QStringLiteral("no entries.");
        return;
    }
    for (const TAdaptorInfo &row : rows) {
        lines << QStringList{row.AdapterName, row.Description, row.FriendlyName}.join(
            QLatin1Char('|'));
        lines << QStringList{QStringLiteral("%1").arg(row.Index, 8, 16, QLatin1Char('0')).toUpper(),
                             InterfaceTypeName(row.IfType),
                             row.MacAddress,
                             QString::number(row.DhcpEnabled),
                             firstOf(row.GatewayList),
                             firstOf(row.DhcpServerList),
                             firstOf(row.PrimaryWinsList),
                             firstOf(row.DnsServerList),
                             OperStatusName(row.OperStatus)}
                     .join(QLatin1Char('|'));
        QStringList pairs;
        for (qsizetype i = 0; i < row.IPList.size(); ++i)
            pairs << row.IPList[i] + QLatin1Char('/') + row.MaskList.value(i);
        lines << QString::number(row.IPList.size()) + QLatin1Char('|') +
                     pairs.join(QLatin1Char(';'));
    }
}

bool GetInterfaceTable(QList<TAdapterInfo> &table) {
    table.clear();
    QList<KernelLink> links;
    QList<KernelAddress> addresses;
    KernelTables &tables = kernelTables();
    if (tables.links(links) != 0 || tables.addresses(addresses) != 0 || links.isEmpty() ||
        addresses.isEmpty())
        return false;
    for (const KernelLink &link : links) {
        TAdapterInfo record;
        record.Index = quint32(link.index);
        for (const KernelAddress &address : addresses) {
            if (address.index == link.index) {
                record.Address = address.address;
                record.Mask = PrefixToNetmask(address.prefixLength);
                break;
            }
        }
        table << record;
    }
    return true;
}

QString GetLocalNetmask() {
    const QString local = GetLocalIP();
    QList<TAdapterInfo> table;
    if (!GetInterfaceTable(table))
        return {};
    QString mask;
    for (const TAdapterInfo &record : table) {
        if (record.Address == local)
            mask = record.Mask; // the last one wins
    }
    return mask;
}

QString GetFirstGateway() {
    TAdaptorRows rows;
    if (GetAdapterRows(rows) != 0 || rows.isEmpty())
        return {};
    return firstOf(rows.first().GatewayList);
}

QString GetLocalBroadcast() {
    const QString mask = GetLocalNetmask();
    if (mask.isEmpty())
        return ClassBroadcast();
    // Every host bit set, also where the mask splits an octet: the octet-wise rule would
    // give 10.0.2.255 for 10.0.2.5/23, which on that network is a host, not a broadcast.
    const IPv4Bytes address = IPToBytes(GetLocalIP());
    const IPv4Bytes netmask = IPToBytes(mask);
    IPv4Bytes broadcast{};
    for (std::size_t k = 0; k < broadcast.size(); ++k)
        broadcast[k] = quint8(address[k] | quint8(~netmask[k]));
    return BytesToIP(broadcast);
}

} // namespace qev
