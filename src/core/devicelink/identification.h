#pragma once

// Making a found device the current device: how its address relates to the PC's network,
// what the status line says, the identification exchange with its class dispatch and the
// serial number, and whether its network settings may be programmed.

#include "app/messageid.h"
#include "devicelink/classdispatch.h"
#include "devicelink/netsettings.h"

#include <QString>
#include <optional>

namespace qev {

class DeviceLink;

// The leading octets that make up the PC's classful network: one for a class A address,
// two for class B, three otherwise. An address that is no address gives no octets.
QString PcNetworkPrefix(const QString &pcAddress);

// Whether `address` shares those leading octets with the PC's address.
bool InPcNetwork(const QString &pcAddress, const QString &address);

enum class Led {
    Good,  // green, steady
    Fault, // red, blinking
};

// What the "Gefunden" group and the status line show for a found device, before the device
// is asked anything.
struct FoundPresentation {
    bool inPcNetwork = false;
    QString classLetter;                            // dxMaskEdit5: "A" to "E", "L", or empty
    QString prefill;                                // dxIPNeu, written with the prefill tag
    FieldColour addressColour = FieldColour::Wrong; // dxMaskEdit2
    Led led = Led::Fault;
    ComposedText status;
};

// `programmingAllowed` is the value left by the previous search; `count` the devices found.
FoundPresentation PresentFoundDevice(const QString &pcAddress, const QString &address, int count,
                                     bool programmingAllowed);

// Several devices on one network are programmed only when the chosen one can be told apart
// (it takes its settings only while its button is held).
bool ProgrammingAllowedAfter(int count, quint8 currentClass);

// Whether gbNeuProgrammieren is shown: PC programs have no network settings to program.
bool ProgrammingGroupVisible(quint8 currentClass);

struct IdentificationResult {
    // The dispatch of the last reply longer than 4 bytes; none when no reply was that long
    // (the pages and the found field are then left as they are).
    std::optional<ClassDispatch> dispatch;
    // Neither form got a reply longer than 3 bytes while the device is in the PC's network:
    // LED red and blinking, lbFirmware cleared, status IDS_106.
    bool noAnswer = false;
    bool programmingGroupVisible = true;
    std::optional<QString> serial; // dxMaskEdit10, when the device gave one
};

// Asks the link's current device for its class and version (extended form first, then
// the short form), dispatches the class, and reads the serial number. Sets the current
// device's host (when empty), port (when 0), class and version on the link. Receive errors are
// caught; a send error raises LinkError.
IdentificationResult IdentifyExchange(DeviceLink &link, bool inPcNetwork);

} // namespace qev
