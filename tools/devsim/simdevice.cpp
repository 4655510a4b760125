#include "simdevice.h"

#include "devicelink/deviceclasses.h"
#include "devicelink/protocol.h"
#include "simlight.h"
#include "simmanager.h"
#include "sims88master.h"
#include "simspeedmeter.h"
#include "simtext.h"

#include <algorithm>

namespace qev::devsim {

namespace {

using namespace qev::proto;

void appendIPv4(QByteArray &out, quint32 address) {
    out.append(char(address >> 24));
    out.append(char(address >> 16));
    out.append(char(address >> 8));
    out.append(char(address));
}

quint32 readIPv4(QByteArrayView bytes, qsizetype offset) {
    return quint32(quint8(bytes[offset])) << 24 | quint32(quint8(bytes[offset + 1])) << 16 |
           quint32(quint8(bytes[offset + 2])) << 8 | quint32(quint8(bytes[offset + 3]));
}

bool startsWith(QByteArrayView request, const std::array<quint8, 3> &header) {
    return request.size() >= qsizetype(header.size()) &&
           std::equal(header.begin(), header.end(), request.begin(),
                      [](quint8 h, char r) { return h == quint8(r); });
}

bool isS88Controller(quint8 deviceClass, quint8 versionMajor) {
    // A class-6 device with major version 7 is taken for class 17 by the program.
    return deviceClass == 17 || (deviceClass == 6 && versionMajor == 7);
}

bool isBoosterGateway(quint8 deviceClass) {
    return deviceClass == 16 || deviceClass == 27;
}

bool isLightMaster(quint8 deviceClass) {
    return deviceClass >= 21 && deviceClass <= 24;
}

QByteArray serialRequestOfClass(quint8 deviceClass, quint8 versionMajor) {
    if (isS88Controller(deviceClass, versionMajor))
        return Bytes({Serial, 0x00});
    if (isBoosterGateway(deviceClass))
        return Bytes({PrefixBoosterGateway, Serial, 0x00});
    if (isLightMaster(deviceClass))
        return Bytes({PrefixExtended, Serial, 0x00});
    return {};
}

} // namespace

std::vector<int> SerialLengthsOfClass(quint8 deviceClass, quint8 versionMajor) {
    if (isS88Controller(deviceClass, versionMajor))
        return {4, 6, 11};
    if (isBoosterGateway(deviceClass))
        return {6, 11};
    if (isLightMaster(deviceClass))
        return {6};
    return {};
}

QByteArray AccessCodeOfClass(quint8 deviceClass, const DeviceCodes &codes) {
    return ClassInfo(deviceClass).accessCodeLength == 8 ? codes.accessCodeLong
                                                        : codes.accessCodeShort;
}

std::optional<NetworkSettings> ReadNetworkSettings(QByteArrayView request) {
    if (request.size() != qsizetype(NetSettingsLength))
        return std::nullopt;
    if (!startsWith(request, NetSettingsHeaderF4) && !startsWith(request, NetSettingsHeaderF8))
        return std::nullopt;
    NetworkSettings settings;
    settings.ip = readIPv4(request, 3);
    settings.mask = readIPv4(request, 7);
    for (int i = 0; i < 6; ++i)
        settings.mac[i] = quint8(request[11 + i]);
    settings.port = quint16(quint8(request[17]) << 8 | quint8(request[18]));
    settings.gateway = readIPv4(request, 19);
    settings.broker = readIPv4(request, 23);
    return settings;
}

SimDevice::SimDevice(DeviceConfig config, DeviceCodes codes)
    : m_config(std::move(config))
    , m_codes(std::move(codes)) {
    // Fixed at manufacture: a later change of the MAC must not change it.
    if (m_config.serial.isEmpty()) {
        const MacBytes &mac = m_config.network.mac;
        m_config.serial =
            QByteArray(reinterpret_cast<const char *>(mac.data()), qsizetype(mac.size()));
    }
    installCoreCommands();
    m_firmware = std::make_shared<SimFirmware>(m_config.firmware,
                                               AccessCodeOfClass(m_config.deviceClass, m_codes),
                                               m_codes.activationCode);
    m_firmware->install(*this);
    installPageCommands();
    InstallReportCommands(*this);
}

void SimDevice::installPageCommands() {
    const quint8 deviceClass = m_config.deviceClass;
    if (deviceClass == 2)
        InstallSpeedMeter(*this, m_config.pageFault);
    if (deviceClass == 6 || isS88Controller(deviceClass, m_config.versionMajor))
        InstallS88Master(*this, m_config.pageFault);
    if (deviceClass == 3)
        InstallManager(*this, m_config.pageFault);
    if (HasBoosterBus(deviceClass))
        InstallBoosterBus(*this, m_config.boosters, m_codes);
    if (HasLightCommands(deviceClass, m_config.versionMajor, m_config.versionMinor))
        InstallLight(*this, m_config.pageFault);
}

void SimDevice::addCommand(QByteArray prefix, Handler handler) {
    m_commands.push_back({std::move(prefix), std::move(handler)});
}

void SimDevice::addBasePortCommand(QByteArray prefix, Handler handler) {
    m_commands.push_back({std::move(prefix), std::move(handler), true});
}

QByteArray SimDevice::discoveryReply() const {
    const NetworkSettings &net = m_config.network;
    QByteArray reply = Bytes({Ack, Discover});
    appendIPv4(reply, net.ip);
    appendIPv4(reply, net.mask);
    reply.append(reinterpret_cast<const char *>(net.mac.data()), qsizetype(net.mac.size()));
    reply.append(char(net.port >> 8));
    reply.append(char(net.port));
    return reply + NetworkReplyTail(net, m_config.report);
}

void SimDevice::installCoreCommands() {
    addCommand(Bytes({Discover}),
               [this](QByteArrayView, Response &r) { r.reply = discoveryReply(); });

    addCommand(Bytes({Identify}), [this](QByteArrayView, Response &r) {
        r.reply = Bytes(
            {Ack, Identify, m_config.deviceClass, m_config.versionMajor, m_config.versionMinor});
    });
    if (m_config.answersExtended) {
        addCommand(Bytes({PrefixExtended, Identify}), [this](QByteArrayView, Response &r) {
            r.reply = Bytes({Ack, PrefixExtended, Identify, m_config.deviceClass,
                             m_config.versionMajor, m_config.versionMinor});
        });
    }

    // Serial numbers: each family asks with its own prefix and only that family answers;
    // the reply repeats the command bytes, then 01 and the length.
    const QByteArray serialRequest =
        serialRequestOfClass(m_config.deviceClass, m_config.versionMajor);
    if (!serialRequest.isEmpty()) {
        const QByteArray reply = Bytes({Ack}) + serialRequest.chopped(1) +
                                 Bytes({0x01, quint8(m_config.serial.size())}) + m_config.serial;
        addCommand(serialRequest, [reply](QByteArrayView, Response &r) { r.reply = reply; });
    }

    addCommand(Bytes({AccessCode}), [this](QByteArrayView request, Response &r) {
        if (request.sliced(1) == AccessCodeOfClass(m_config.deviceClass, m_codes))
            r.reply = Bytes({Ack, AccessCode});
    });

    const Handler takeSettings = [this](QByteArrayView request, Response &r) {
        const std::optional<NetworkSettings> settings = ReadNetworkSettings(request);
        if (!settings)
            return;
        m_config.network = *settings;
        r.programmed = settings;
    };
    addCommand(QByteArray(reinterpret_cast<const char *>(NetSettingsHeaderF4.data()), 3),
               takeSettings);
    addCommand(QByteArray(reinterpret_cast<const char *>(NetSettingsHeaderF8.data()), 3),
               takeSettings);
}

Response SimDevice::handle(QByteArrayView request, bool atBasePort) {
    Response response;
    if (m_config.fault.kind == FaultKind::Silent || !m_restartEnds.hasExpired())
        return response;
    const Command *match = nullptr;
    for (const Command &command : m_commands) {
        if (request.startsWith(command.prefix) && (atBasePort || !command.basePortOnly) &&
            (!match || command.prefix.size() > match->prefix.size()))
            match = &command;
    }
    if (m_config.fault.kind == FaultKind::DiscoveryOnly && !request.startsWith(Bytes({Discover})))
        match = nullptr;
    if (match)
        match->handler(request, response);
    applyFault(response);
    return response;
}

void SimDevice::restartFor(int ms) {
    m_restartEnds = ms < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(ms);
}

void SimDevice::applyFault(Response &response) const {
    if (response.reply.isEmpty())
        return;
    switch (m_config.fault.kind) {
    case FaultKind::Slow:
        response.delayMs = m_config.fault.value;
        break;
    case FaultKind::Garbage:
        for (char &c : response.reply)
            c = char(~quint8(c));
        break;
    case FaultKind::Overlong:
        if (response.reply.size() < m_config.fault.value)
            response.reply.append(m_config.fault.value - response.reply.size(), char(0xEE));
        break;
    case FaultKind::None:
    case FaultKind::Silent:
    case FaultKind::DiscoveryOnly:
    case FaultKind::BaseOnly:
        break;
    }
}

} // namespace qev::devsim
