#include "devicelink/classdispatch.h"

namespace qev {

namespace {

quint8 byteAt(std::span<const quint8> bytes, std::size_t index) {
    return index < bytes.size() ? bytes[index] : 0;
}

ClassDispatch known(quint8 reported, quint8 current, QList<Page> pages,
                    VersionDisplay version = VersionDisplay::Shown) {
    ClassDispatch d;
    d.reportedClass = reported;
    d.known = true;
    d.currentClass = current;
    d.pages = std::move(pages);
    d.version = version;
    return d;
}

PickStep typeItem(int item) {
    return {PickStep::TypeItem, item};
}

} // namespace

ClassDispatch DispatchClass(quint8 reportedClass, std::span<const quint8> reply) {
    using enum Page;
    const quint8 c = reportedClass;
    ClassDispatch d;
    switch (c) {
    case 1:
        return known(c, 1, {TabSheetFirm});
    case 2:
        return known(c, 2, {TabSheetFirm, TabSheetSpeed});
    case 3:
        return known(c, 3, {TabSheetBooster, TabSheetFirm, TabSheetManager, TabSheetSerial});
    case 6:
        d = known(c, 6, {TabSheetFirm, TabSheetS88Master});
        d.s88CaptionIsClassName = true;
        d.s88ModuleLimit = 48;
        return d;
    case 7:
        d = known(c, 7, {TabSheetExtender});
        d.pickSteps = {{PickStep::PortItem, 0}, typeItem(DeviceTypeLucento)};
        return d;
    case 12:
        return known(c, 12, {TabSheetFirm, TabSheetContainer});
    case 15:
        return known(c, 15, {TabSheetFirm});
    case 16:
        d = known(c, 16, {TabSheetFirm});
        d.pickSteps = {typeItem(DeviceTypeFerrano)};
        return d;
    case 17:
        d = known(c, 17, {TabSheetFirm, TabSheetS88Master});
        // Only firmware from 7.4 on has the light functions.
        if (byteAt(reply, 3) >= 7 && byteAt(reply, 4) >= 4)
            d.pages.append(TabSheetLight);
        d.s88CaptionIsClassName = true;
        d.s88ModuleLimit = 66;
        d.busLabels = true;
        d.deviceTypeEnabled = false;
        // The type preset moves the port; the device's own port is written after the last
        // one, so that a new address does not move the device off its port.
        d.pickSteps = {{PickStep::PortItem, 2},
                       typeItem(DeviceTypeFerrano),
                       typeItem(DeviceTypeFerrano),
                       {PickStep::PortCurrent, 0}};
        return d;
    case 21:
        d = known(c, 21, {}, VersionDisplay::Unchanged);
        d.s88CaptionIsClassName = true;
        d.pickSteps = {typeItem(DeviceTypeFerrano), {PickStep::PortCurrent, 0}};
        return d;
    case 22:
        d = known(c, 22, {TabSheetLight, TabSheetClassic, TabSheetFirm});
        d.pickSteps = {typeItem(DeviceTypeLucento)};
        return d;
    case 23:
        d = known(c, 23, {TabSheetLight, TabSheetRGB, TabSheetFirm});
        d.pickSteps = {typeItem(DeviceTypeLucento)};
        return d;
    case 24:
        d = known(c, 24, {TabSheetLight, TabSheetFirm});
        d.pickSteps = {typeItem(DeviceTypeLucento)};
        return d;
    case 25:
        return known(c, 25, {TabSheetFirm});
    case 27:
        d = known(
            c, 27,
            {TabSheetLight, TabSheetBooster, TabSheetFirm, TabSheetBoosterNET, TabSheetSerial});
        d.boosterCaption = true;
        d.pickSteps = {typeItem(DeviceTypeFerrano)};
        return d;
    case 99:
        return known(c, 34, {TabSheetFirm});
    // PC programs: no page, but their version is shown.
    case 250:
        return known(c, 28, {});
    case 251:
        return known(c, 29, {});
    case 28:
    case 252:
        return known(c, 30, {});
    case 30:
    case 254:
        return known(c, 32, {});
    case 31:
    case 255:
        return known(c, 33, {});
    default:
        d.reportedClass = c;
        d.version = VersionDisplay::Cleared;
        return d;
    }
}

int PresetDeviceType(const ClassDispatch &dispatch) {
    int item = -1;
    for (const PickStep &step : dispatch.pickSteps) {
        if (step.kind == PickStep::TypeItem)
            item = step.item;
    }
    return item;
}

} // namespace qev
