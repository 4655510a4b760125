#pragma once

// What the class a device reports means for the main window: which pages it gets, how the
// class is renumbered into CurrentClass, and which device-type and port entries are preset.

#include "devicelink/netsettings.h"

#include <QList>
#include <QtGlobal>
#include <span>

namespace qev {

// The pages of the main window, in page order.
enum class Page {
    TabSheetMain,
    TabSheetSpeed,
    TabSheetBoosterNET,
    TabSheetBooster,
    TabSheetManager,
    TabSheetSerial,
    TabSheetS88Master,
    TabSheetContainer,
    TabSheetFirm,
    TabSheetExtender,
    TabSheetSelectController,
    TabSheetLight,
    TabSheetClassic,
    TabSheetRGB,
};

// One write into the port field dxPickEdit1 or the device-type list dxPickEdit2. Each write
// runs the field's change handler, so the order matters: a device type presets the port.
struct PickStep {
    enum Kind {
        PortItem,    // dxPickEdit1 item `item` ("11080", "11081", "11082")
        PortCurrent, // dxPickEdit1 = CurrentPort in decimal
        TypeItem,    // dxPickEdit2 item `item`
    };
    Kind kind = PortItem;
    int item = 0;

    friend bool operator==(const PickStep &, const PickStep &) = default;
};

enum class VersionDisplay {
    Unchanged, // lbFirmware and dxMaskEdit9 keep their text
    Shown,     // "%d.%d" of VersionMajor and VersionMinor into lbFirmware and dxMaskEdit9
    Cleared,   // lbFirmware emptied
};

struct ClassDispatch {
    quint8 reportedClass = 0; // the class whose catalogue name the found field shows
    bool known = false;       // a listed class ends the identification loop
    quint8 currentClass = 0;
    // Shown after every page but TabSheetMain has been hidden.
    QList<Page> pages;
    VersionDisplay version = VersionDisplay::Unchanged;
    bool s88CaptionIsClassName = false; // TabSheetS88Master caption = catalogue name
    int s88ModuleLimit = 0;             // upper limit of the module-count fields; 0 = unchanged
    bool busLabels = false;             // Label38..Label40 read "Bus 1", "Bus 2", "Bus 3"
    bool boosterCaption = false;        // TabSheetBooster caption becomes "Booster"
    bool deviceTypeEnabled = true;      // dxPickEdit2
    QList<PickStep> pickSteps;
};

// Dispatches a reported class (after the class rewrite) read from an identification reply
// of more than 4 bytes. `reply` is what was received; class 17 looks at its bytes 3 and 4
// (missing bytes count as 0).
ClassDispatch DispatchClass(quint8 reportedClass, std::span<const quint8> reply);

// The device-type item the dispatch's steps preset last (-1: none); the S88 write's variant
// and the programming's port rule depend on it.
int PresetDeviceType(const ClassDispatch &dispatch);

} // namespace qev
