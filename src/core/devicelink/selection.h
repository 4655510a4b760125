#pragma once

// Choosing the current device: which found entries are offered and counted, the order of
// the pick list, and the manual selection by device kind or by a known address.

#include "devicelink/eventpump.h"
#include "devicelink/netsettings.h"
#include "devicelink/protocol.h"
#include "devicelink/replies.h"
#include "devicelink/udpsocket.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <span>

namespace qev {

class DeviceLink;

// Classes 4 and 250 to 255 are Spurnova PC programs answering the search, not devices.
bool IsPcProgramClass(quint8 deviceClass);

// ---- Devices found by a search ----

struct FoundDevices {
    QList<DeviceRecord> offered; // the entries of the class asked for, in list order
    int pcPrograms = 0;          // how many of them are PC programs
};

// classFilter 0 offers every entry.
FoundDevices FilterFoundDevices(const QList<DeviceRecord> &found, quint8 classFilter);

struct Selection {
    int count = 0;       // devices found (PC programs not counted); 0 when none was taken
    DeviceRecord device; // empty address, zero MAC and port 0 when none was taken
};

// The outcome once the user has (or has not) picked. A single entry is taken without a
// pick; `picked` (an index into `offered`) matters only when there are two or more.
Selection SelectionFrom(const FoundDevices &found, std::optional<qsizetype> picked);

// Shows the offered entries to the user and returns the index picked, or none.
using DevicePicker = std::function<std::optional<qsizetype>(const QList<DeviceRecord> &offered)>;

inline constexpr int SearchTimeoutMs = 4000;

// Searches the PC's network for timeoutMs, offers the entries of classFilter and asks
// `pick` when there are two or more. Raises LinkError from the search.
Selection SelectFoundDevice(quint8 classFilter, const DevicePicker &pick,
                            const ProtocolPorts &ports, const EventPump &pump,
                            const SocketFactory &openSocket = openUdpSocket,
                            int timeoutMs = SearchTimeoutMs);

// ---- The pick list ----

struct PickRow {
    int recordNumber = 0; // 1 for the first entry of the list given to the pick list
    QString address;      // column "IP"
    QString name;         // column "Name"

    friend bool operator==(const PickRow &, const PickRow &) = default;
};

// The rows in the order shown: sorted by the address text.
QList<PickRow> PickListRows(const QList<DeviceRecord> &list);

// The list index of the row with `recordNumber`, none when there is no such row.
std::optional<qsizetype> PickedIndex(int recordNumber, qsizetype listSize);

// ---- Manual selection (rgController, dxSuchIP) ----

inline constexpr int ManualItemCount = 9;

struct ManualChoice {
    QString foundText;       // dxMaskEdit8
    quint8 currentClass = 0; // 0 for no selection
    // Device-type items written in turn (each runs the device-type handler): first the
    // item's own, then the one its class implies.
    QList<int> deviceTypeSteps;
};

// The item `index` of rgController, -1 when none is selected.
ManualChoice ManualSelection(int index);

struct SearchAddressVerdict {
    FieldVerdict field;
    bool enableOk = false;       // btnControllerOk
    bool clearSelection = false; // rgController loses its selection
};

// A change of dxSuchIP.
SearchAddressVerdict ValidateSearchIP(const QString &address);

// btnControllerOk asks the typed address directly when it is complete, or when no kind
// was chosen; otherwise it searches for devices of the chosen kind.
bool UsesDirectAddress(const QString &searchAddress, int selectedIndex);

// Any reply of discovery length to the direct request counts, whatever its first bytes.
std::optional<DeviceRecord> ReadDirectReply(std::span<const quint8> reply);

// Asks one address with the discovery request on the base port, with broadcast switched
// off on the link's client for the rest of the run. A reply makes the device the single
// device found, of class 17, which may be programmed. A receive error raises LinkError.
Selection DirectSearch(DeviceLink &link, const QString &address);

// Whether the device that the manual selection found is identified; otherwise the window
// falls back to the no-device state.
bool IdentifiesManualChoice(int count, const QString &address);

} // namespace qev
