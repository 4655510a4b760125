#pragma once

// The new network settings of the current device: live verdicts on the entry fields, the
// rule that enables "Programmieren", and the 27-byte datagram that carries the settings.

#include "app/messageid.h"
#include "netinspect/ipv4.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <span>

namespace qev {

// Items of the device-type list dxPickEdit2.
enum DeviceType {
    DeviceTypeNone = 0, // "<Auswählen>"
    DeviceTypeGlimnet = 1,
    DeviceTypeFerrano = 2,
    DeviceTypeLucento = 3,
    DeviceTypeSpurnova = 4,
    DeviceTypePortaxis = 5,
    DeviceTypeKopla = 6,
};

// Background of an entry field.
enum class FieldColour {
    Normal,     // the window's normal colour
    Good,       // light green (200, 255, 150)
    Incomplete, // light yellow (255, 250, 160)
    Wrong,      // light red (255, 200, 200)
};

// The verdict on one entry field and the label beside it.
struct FieldVerdict {
    FieldColour colour = FieldColour::Normal;
    int messageId = 0; // label text; 0 leaves the label empty
    bool labelVisible = false;
    bool reevaluateWriteButton = false; // whether UpdateWriteButton runs afterwards

    friend bool operator==(const FieldVerdict &, const FieldVerdict &) = default;
};

// An ICMP echo: true when the address answered within timeoutMs. The user interface passes
// Ping; the verdicts below ask only when the address is complete.
using PingFunction = std::function<bool(const QString &address, int timeoutMs)>;

inline constexpr int FieldPingTimeoutMs = 600;

struct NewAddressVerdict {
    FieldVerdict field;
    QString netmask;            // the preset for dxNetmask (empty while incomplete)
    bool hideLastValue = false; // btnLastValue disappears once the user typed an address
};

// dxIPNeu. `programPrefill` is true while the program itself writes the field.
NewAddressVerdict ValidateNewIP(const QString &address, bool programPrefill,
                                const PingFunction &ping);
// dxNetmask, judged together with the new address.
FieldVerdict ValidateNetmask(const QString &address, const QString &mask);
// dxIPGateway and dxIPBroker.
FieldVerdict ValidateOptionalAddress(const QString &address, const PingFunction &ping);

// The number in the port field; 0 when the text is not a number.
int PortNumber(const QString &portText);
// dxPickEdit1's own colour; it does not touch the write button.
FieldColour PortFieldColour(const QString &portText);

struct DeviceTypeEffect {
    std::optional<QString> portText; // written into dxPickEdit1; none leaves it
    bool portFieldVisible = false;   // dxPickEdit1 (Label78 shows exactly when it is hidden)
    QString label78;
    FieldColour colour = FieldColour::Wrong; // of dxPickEdit2
};

// A change of the device type dxPickEdit2 (index -1 when nothing is selected). Afterwards
// the write button is re-evaluated.
DeviceTypeEffect DeviceTypeChanged(int deviceType, const QString &portText);

struct WriteButtonInput {
    bool programmingAllowed = false;
    QString address; // dxIPNeu
    QString mask;    // dxNetmask
    QString gateway; // dxIPGateway
    QString broker;  // dxIPBroker
    QString port;    // dxPickEdit1
    int deviceType = DeviceTypeNone;
};

// UpdateWriteButton: whether WriteBtn is enabled.
bool WriteButtonEnabled(const WriteButtonInput &input);

struct NetSettingsInput {
    quint8 currentClass = 0;
    QString address; // dxIPNeu
    QString mask;    // dxNetmask
    QString gateway; // dxIPGateway
    QString broker;  // dxIPBroker
    QString port;    // dxPickEdit1
    int deviceType = DeviceTypeNone;
    QStringList arpMacs; // the PC's ARP list, twelve hex digits per entry
};

struct NetSettingsDatagram {
    int length = 0;   // bytes to send; 0 when the buffer was too small
    QString portText; // what dxPickEdit1 shows after the port rule
    quint16 port = 0;
    MacBytes mac{};
};

// Zeroes `buffer` and writes the network-settings datagram into it.
NetSettingsDatagram BuildNetSettings(std::span<quint8> buffer, const NetSettingsInput &input);

struct Confirmation {
    int captionId = IDS_103;
    ComposedText text;
};

// The yes/no question asked before the settings are sent.
Confirmation ProgrammingConfirmation(int deviceType);

} // namespace qev
