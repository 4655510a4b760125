#include "devicelink/selection.h"

#include "devicelink/devicelink.h"
#include "devicelink/discovery.h"
#include "netinspect/adapters.h"
#include "netinspect/deviceclass.h"

#include <algorithm>
#include <array>

namespace qev {

namespace {

struct ManualItem {
    const char *foundText;
    quint8 currentClass;
    int deviceType;
};

constexpr std::array<ManualItem, ManualItemCount> manualItems{{
    {"Ferrano Zentrale", 16, DeviceTypeFerrano},
    {"Ferrano Booster-GW", 27, DeviceTypeFerrano},
    {"Ferrano Booster", 34, DeviceTypeNone},
    {"Ferrano S88-Controller", 17, DeviceTypeFerrano},
    {"Ferrano Portaxis", 7, DeviceTypeSpurnova},
    {"Lucento RGB Master", 23, DeviceTypeLucento},
    {"Lucento Classic Master", 22, DeviceTypeLucento},
    {"Lucento Sound Master", 24, DeviceTypeLucento},
    {"Lucento Display", 21, DeviceTypeLucento},
}};

// The device type a class implies, if any.
std::optional<int> deviceTypeOfClass(quint8 deviceClass) {
    switch (deviceClass) {
    case 16:
    case 17:
    case 27:
    case 34:
        return DeviceTypeFerrano;
    case 21:
    case 22:
    case 23:
    case 24:
        return DeviceTypeLucento;
    default:
        return std::nullopt;
    }
}

} // namespace

bool IsPcProgramClass(quint8 deviceClass) {
    return deviceClass == 4 || deviceClass >= 250;
}

FoundDevices FilterFoundDevices(const QList<DeviceRecord> &found, quint8 classFilter) {
    FoundDevices result;
    for (const DeviceRecord &record : found) {
        if (classFilter != 0 && record.deviceClass != classFilter)
            continue;
        result.offered.append(record);
        if (IsPcProgramClass(record.deviceClass))
            ++result.pcPrograms;
    }
    return result;
}

Selection SelectionFrom(const FoundDevices &found, std::optional<qsizetype> picked) {
    Selection selection;
    const qsizetype offered = found.offered.size();
    if (offered == 1)
        picked = 0;
    else if (offered == 0 || !picked || *picked < 0 || *picked >= offered)
        return selection;
    selection.device = found.offered[*picked];
    selection.count = static_cast<int>(offered) - found.pcPrograms;
    return selection;
}

Selection SelectFoundDevice(quint8 classFilter, const DevicePicker &pick,
                            const ProtocolPorts &ports, const EventPump &pump,
                            const SocketFactory &openSocket, int timeoutMs) {
    QList<DeviceRecord> list;
    if (!DiscoverDevices(list, timeoutMs, GetLocalBroadcast(), ports, pump, openSocket))
        return {};
    const FoundDevices found = FilterFoundDevices(list, classFilter);
    std::optional<qsizetype> picked;
    if (found.offered.size() > 1)
        picked = pick(found.offered);
    return SelectionFrom(found, picked);
}

QList<PickRow> PickListRows(const QList<DeviceRecord> &list) {
    QList<PickRow> rows;
    for (qsizetype k = 0; k < list.size(); ++k)
        rows.append(
            {static_cast<int>(k + 1), list[k].address, PickListClassName(list[k].deviceClass)});
    // The grid sorts by the text of the address column.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const PickRow &a, const PickRow &b) { return a.address < b.address; });
    return rows;
}

std::optional<qsizetype> PickedIndex(int recordNumber, qsizetype listSize) {
    if (recordNumber < 1 || recordNumber > listSize)
        return std::nullopt;
    return recordNumber - 1;
}

ManualChoice ManualSelection(int index) {
    ManualChoice choice;
    if (index >= 0 && index < ManualItemCount) {
        const ManualItem &item = manualItems[static_cast<std::size_t>(index)];
        choice.foundText = QString::fromUtf8(item.foundText);
        choice.currentClass = item.currentClass;
        choice.deviceTypeSteps.append(item.deviceType);
    }
    if (const std::optional<int> type = deviceTypeOfClass(choice.currentClass))
        choice.deviceTypeSteps.append(*type);
    return choice;
}

SearchAddressVerdict ValidateSearchIP(const QString &address) {
    SearchAddressVerdict v;
    v.field.labelVisible = true;
    if (!IsInLocalNet(address, false)) {
        v.field.colour = FieldColour::Good;
        v.field.messageId = IDS_128;
    } else if (!IsValidIP(address)) {
        v.field.colour = FieldColour::Incomplete;
        v.field.messageId = IDS_127;
    } else {
        v.field.colour = FieldColour::Good;
        v.enableOk = true;
        v.clearSelection = true;
    }
    return v;
}

bool UsesDirectAddress(const QString &searchAddress, int selectedIndex) {
    return IsValidIP(searchAddress) || selectedIndex < 0;
}

std::optional<DeviceRecord> ReadDirectReply(std::span<const quint8> reply) {
    if (reply.size() < proto::DiscoveryReplyMinLength)
        return std::nullopt;
    std::array<quint8, proto::DiscoveryReplyMinLength> leadFixed;
    std::copy_n(reply.begin(), leadFixed.size(), leadFixed.begin());
    leadFixed[0] = proto::Ack;
    leadFixed[1] = proto::Discover;
    return ReadDiscoveryReply(leadFixed);
}

Selection DirectSearch(DeviceLink &link, const QString &address) {
    constexpr int DirectTimeoutMs = 2000;
    // A fresh client without broadcast permission: a late reply to an earlier request, or
    // a pending report of a closed port, must not be taken for the answer. The permission
    // stays withdrawn for the rest of the run.
    link.ReopenClient(false);
    ExchangeOptions options;
    options.host = address;
    options.port = link.ports().base;
    options.timeoutMs = DirectTimeoutMs;
    const std::span<const quint8> reply = link.Exchange(
        [](std::span<quint8> buffer) {
            buffer[0] = proto::Discover;
            return std::size_t{1};
        },
        options);
    const std::optional<DeviceRecord> device = ReadDirectReply(reply);
    if (!device)
        return {};
    CurrentDevice current = link.current();
    current.deviceClass = 17;
    current.programmingAllowed = true;
    link.setCurrent(current);
    return {1, *device};
}

bool IdentifiesManualChoice(int count, const QString &address) {
    return count > 0 && IsValidIP(address);
}

} // namespace qev
