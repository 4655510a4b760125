#include "flows/netprogramming.h"

#include "devicelink/devicelink.h"
#include "devicelink/discovery.h"
#include "netinspect/arp.h"

#include <QElapsedTimer>
#include <QScopeGuard>

namespace qev::flow {

int RefusalOf(const WriteButtonInput &input, const PingFunction &ping) {
    const NewAddressVerdict address = ValidateNewIP(input.address, false, ping);
    if (address.field.colour == FieldColour::Wrong ||
        address.field.colour == FieldColour::Incomplete)
        return address.field.messageId;
    if (WriteButtonEnabled(input))
        return 0;
    const FieldVerdict mask = ValidateNetmask(input.address, input.mask);
    if (mask.colour != FieldColour::Good && mask.messageId != 0)
        return mask.messageId;
    for (const QString &optional : {input.gateway, input.broker}) {
        const FieldVerdict verdict = ValidateOptionalAddress(optional, ping);
        if (verdict.colour == FieldColour::Wrong || verdict.colour == FieldColour::Incomplete)
            return verdict.messageId;
    }
    // The port or the device type.
    return IDS_129;
}

Programmed ProgramNetwork(DeviceLink &link, const NetworkProgramming &input,
                          const SearchOptions &search, const PingFunction &ping,
                          ProgrammingProgress &progress, const ProgrammingTiming &timing) {
    Programmed result;
    NetSettingsInput in = input.settings;
    if (input.checkFirst) {
        WriteButtonInput check{link.current().programmingAllowed,
                               in.address,
                               in.mask,
                               in.gateway,
                               in.broker,
                               in.port,
                               in.deviceType};
        result.messageId = RefusalOf(check, ping);
        if (result.messageId != 0) {
            result.outcome = Outcome::Refused;
            return result;
        }
    }
    if (!progress.confirm(ProgrammingConfirmation(in.deviceType)))
        return result;

    const quint8 classFilter = link.current().deviceClass;
    progress.progress(ProgrammingStarted, 0, 0);
    result.arpMacs.clear();
    ArpMacList(result.arpMacs);
    const auto flushed = qScopeGuard([] { FlushArpCache(); });

    in.currentClass = link.current().deviceClass;
    in.arpMacs = result.arpMacs;
    result.datagram = BuildNetSettings(link.CommandBuffer, in);
    progress.datagramBuilt(result.datagram);

    link.BroadcastFanOut(link.current().deviceClass, input.deviceHost, in.address, in.mask,
                         result.datagram.port,
                         std::span<const quint8>(link.CommandBuffer).first(result.datagram.length));
    progress.progress(ProgrammingSent, -1, 0);
    CurrentDevice moved = link.current();
    moved.host = in.address;
    link.setCurrent(moved);

    // Wait for the device to answer at its new address.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timing.waitMs) {
        YieldSlice();
        if (ping(in.address, timing.pingMs))
            break;
        if (search.pump)
            search.pump();
    }
    FlushArpCache();
    result.arpMacs.clear();
    ArpMacList(result.arpMacs);

    try {
        result.found = SelectFoundDevice(classFilter, search.pick, link.ports(), search.pump,
                                         link.socketFactory(), search.timeoutMs);
        CurrentDevice found = link.current();
        found.host = result.found.device.address;
        link.setCurrent(found);
    } catch (const std::exception &) {
        // The device may be busy restarting; it is asked directly below.
    }

    const QString host = link.current().host;
    if (result.found.count == 1 ||
        ProbeDevice(host, timing.verifyMs, link.ports(), search.pump, link.socketFactory()) ||
        ping(host, timing.verifyMs)) {
        result.outcome = Outcome::Done;
        result.messageId = IDS_105;
        progress.progress(ProgrammingReachable, 100, IDS_105);
        const DeviceRecord device{host, in.mask, result.datagram.mac, result.found.device.port};
        result.identified = Identify(link, {device, 1, false}, search.pcAddress, progress);
    } else {
        result.outcome = Outcome::NoAnswer;
        result.messageId = IDS_106;
    }
    return result;
}

} // namespace qev::flow
