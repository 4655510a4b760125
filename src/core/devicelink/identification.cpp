#include "devicelink/identification.h"

#include "devicelink/deviceclasses.h"
#include "devicelink/devicelink.h"
#include "devicelink/replies.h"
#include "netinspect/adapters.h"
#include "netinspect/arp.h"

namespace qev {

namespace {

constexpr int IdentifyTimeoutMs = 1000;
constexpr int SerialTimeoutMs = 2000;

std::span<const quint8> received(const DeviceLink &link, std::size_t count) {
    return std::span<const quint8>(link.CommandBuffer).first(count);
}

// Octets of the classful network part of the PC's address; 0 when it has no address.
int networkOctets(const QString &pcAddress) {
    if (!IsValidIP(pcAddress))
        return 0;
    switch (IPClassOf(pcAddress)) {
    case 'A':
        return 1;
    case 'B':
        return 2;
    default:
        return 3;
    }
}

} // namespace

QString PcNetworkPrefix(const QString &pcAddress) {
    const IPv4Bytes pc = IPToBytes(pcAddress);
    QStringList octets;
    for (int k = 0; k < networkOctets(pcAddress); ++k)
        octets.append(QString::number(pc[k]));
    return octets.join(QLatin1Char('.'));
}

bool InPcNetwork(const QString &pcAddress, const QString &address) {
    const int n = networkOctets(pcAddress);
    const IPv4Bytes pc = IPToBytes(pcAddress);
    const IPv4Bytes device = IPToBytes(address);
    return n > 0 && std::equal(pc.begin(), pc.begin() + n, device.begin());
}

FoundPresentation PresentFoundDevice(const QString &pcAddress, const QString &address, int count,
                                     bool programmingAllowed) {
    FoundPresentation p;
    p.inPcNetwork = InPcNetwork(pcAddress, address);
    if (const IPClass letter = IPClassOf(address); letter != '\0')
        p.classLetter = QString(QLatin1Char(letter));
    p.prefill = PcNetworkPrefix(pcAddress);
    if (!p.inPcNetwork) {
        p.addressColour = FieldColour::Wrong;
        p.led = Led::Fault;
        p.status = {IDS_111};
    } else {
        p.addressColour = FieldColour::Good;
        p.led = Led::Good;
        if (programmingAllowed)
            p.status = {IDS_109};
        else
            p.status = {QString::number(count), IDS_202};
    }
    return p;
}

bool ProgrammingAllowedAfter(int count, quint8 currentClass) {
    return ClassInfo(currentClass).distinguishable || count < 2;
}

bool ProgrammingGroupVisible(quint8 currentClass) {
    return !ClassInfo(currentClass).pcProgram;
}

IdentificationResult IdentifyExchange(DeviceLink &link, bool inPcNetwork) {
    IdentificationResult result;
    bool answered = false;
    quint8 lastClass = 0;
    // Newer firmware answers the extended form; older devices only the short one.
    CurrentDevice device = link.current();
    for (const IdentifyForm form : {IdentifyForm::Extended, IdentifyForm::Short}) {
        link.ClearCommandBuffer();
        if (device.host.isEmpty())
            device.host = GetLocalBroadcast();
        if (device.port == 0)
            device.port = link.ports().assumed;
        link.setCurrent(device);
        const std::size_t length = BuildIdentifyRequest(form, link.CommandBuffer);
        const std::size_t count = link.ExchangeWithFallback(length, IdentifyTimeoutMs);
        const IdentifyReply reply = ReadIdentifyReply(form, received(link, count));
        device.versionMajor = reply.versionMajor;
        device.versionMinor = reply.versionMinor;
        lastClass = reply.deviceClass;
        answered = answered || count > 3;
        if (reply.accepted) {
            result.dispatch = DispatchClass(reply.deviceClass, received(link, count));
            device.deviceClass = result.dispatch->currentClass;
        }
        link.setCurrent(device);
        if (reply.accepted && result.dispatch->known)
            break;
    }
    result.noAnswer = inPcNetwork && !answered;
    result.programmingGroupVisible = ProgrammingGroupVisible(device.deviceClass);

    link.ClearCommandBuffer();
    const std::size_t length = BuildSerialRequest(lastClass, link.CommandBuffer);
    if (length == 0)
        return result;
    link.SendCommand(length);
    std::size_t count = 0;
    try {
        count = link.ReceiveReply(SerialTimeoutMs);
    } catch (const LinkError &) {
        // A device without the serial command may refuse it; the number stays unknown.
    }
    if (const std::optional<QByteArray> serial = ReadSerialReply(lastClass, received(link, count)))
        result.serial = HexBytesText(*serial, false);
    return result;
}

} // namespace qev
