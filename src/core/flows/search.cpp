#include "flows/search.h"

#include "devicelink/devicelink.h"
#include "netinspect/arp.h"

namespace qev::flow {

namespace {

void changeDevice(DeviceLink &link, const std::function<void(CurrentDevice &)> &change) {
    CurrentDevice device = link.current();
    change(device);
    link.setCurrent(device);
}

Selection selectFound(DeviceLink &link, quint8 classFilter, const SearchOptions &options) {
    try {
        return SelectFoundDevice(classFilter, options.pick, link.ports(), options.pump,
                                 link.socketFactory(), options.timeoutMs);
    } catch (const std::exception &) {
        return {};
    }
}

} // namespace

Identified Identify(DeviceLink &link, const Found &found, const QString &pcAddress,
                    IdentifyProgress &progress) {
    Identified result;
    if (found.count < 1) {
        if (!found.nothingFound)
            result.messageId = IDS_110;
        changeDevice(link, [&](CurrentDevice &d) { d.deviceClass = 0; });
        changeDevice(link, [&](CurrentDevice &d) { d.programmingAllowed = true; });
        return result;
    }

    const DeviceRecord &device = found.device;
    changeDevice(link, [&](CurrentDevice &d) { d.host = device.address; });
    result.shown = PresentFoundDevice(pcAddress, device.address, found.count,
                                      link.current().programmingAllowed);
    changeDevice(link, [&](CurrentDevice &d) { d.port = device.port; });
    progress.found(device, result.shown);

    result.identification = IdentifyExchange(link, result.shown.inPcNetwork);
    result.outcome = result.identification.noAnswer ? Outcome::NoAnswer : Outcome::Done;
    if (result.identification.noAnswer)
        result.messageId = IDS_106;
    return result;
}

Searched Search(DeviceLink &link, const SearchOptions &options, IdentifyProgress &progress) {
    FlushArpCache();
    changeDevice(link, [&](CurrentDevice &d) { d.versionMajor = 0; });
    changeDevice(link, [&](CurrentDevice &d) { d.versionMinor = 0; });

    Searched result;
    progress.progress(SearchCollecting, -1, 0);
    result.found = selectFound(link, 0, options);
    progress.progress(SearchIdentifying, -1, 0);

    const Selection &found = result.found;
    const bool nothingFound = found.device.address.isEmpty() && found.device.port == 0;
    result.identified =
        Identify(link, {found.device, found.count, nothingFound}, options.pcAddress, progress);
    changeDevice(link, [&](CurrentDevice &d) {
        d.programmingAllowed = ProgrammingAllowedAfter(found.count, link.current().deviceClass);
    });
    return result;
}

Searched SelectManually(DeviceLink &link, int selectedIndex, const QString &searchAddress,
                        const SearchOptions &options, IdentifyProgress &progress) {
    changeDevice(link, [&](CurrentDevice &d) {
        d.deviceClass = ManualSelection(selectedIndex).currentClass;
    });
    changeDevice(link, [&](CurrentDevice &d) { d.versionMajor = 0; });
    changeDevice(link, [&](CurrentDevice &d) { d.versionMinor = 0; });

    Searched result;
    progress.progress(SearchCollecting, -1, 0);
    if (UsesDirectAddress(searchAddress, selectedIndex))
        result.found = DirectSearch(link, searchAddress);
    else
        result.found = selectFound(link, link.current().deviceClass, options);
    progress.progress(SearchIdentifying, -1, 0);

    const Selection &found = result.found;
    if (!IdentifiesManualChoice(found.count, found.device.address)) {
        result.identified.messageId = IDS_110;
        changeDevice(link, [&](CurrentDevice &d) { d.deviceClass = 0; });
        return result;
    }
    result.identified =
        Identify(link, {found.device, found.count, false}, options.pcAddress, progress);
    changeDevice(link, [&](CurrentDevice &d) {
        d.programmingAllowed = ProgrammingAllowedAfter(found.count, d.deviceClass);
    });
    return result;
}

} // namespace qev::flow
