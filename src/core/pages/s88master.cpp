#include "pages/s88master.h"

#include "devicelink/devicelink.h"
#include "devicelink/protocol.h"

#include <algorithm>

namespace qev::s88master {

namespace {

// The controller of the Ferrano system may drive more modules than the plain master.
constexpr quint8 FerranoControllerClass = 17;
constexpr int FerranoModuleLimit = 66;
constexpr int StandardModuleLimit = 48;

constexpr int FerranoItem = 2;
constexpr int LucentoItem = 3;

} // namespace

std::size_t BuildRead(std::span<quint8> buffer) {
    buffer[0] = ReadCommand;
    return 1;
}

std::optional<Settings> ReadSettings(std::span<const quint8> reply) {
    if (reply.size() != ReadReplyLength || reply[0] != proto::Ack || reply[1] != ReadCommand)
        return std::nullopt;
    Settings s;
    s.modules = {reply[2], reply[3], reply[4]};
    s.flickerOn = reply[5];
    s.flickerOff = reply[6];
    s.clockOn = reply[7];
    s.clockOff = reply[8];
    s.pause = reply[9];
    return s;
}

std::size_t BuildWrite(std::span<quint8> buffer, quint8 variant, const Settings &s) {
    const std::array<quint8, WriteLength> request = {
        WriteCommand,         WriteMarker,          variant,
        quint8(s.modules[0]), quint8(s.modules[1]), quint8(s.modules[2]),
        quint8(s.flickerOn),  quint8(s.flickerOff), quint8(s.clockOn),
        quint8(s.clockOff),   quint8(s.pause)};
    std::copy(request.begin(), request.end(), buffer.begin());
    return request.size();
}

bool WriteAccepted(std::span<const quint8> reply) {
    return reply.size() == 2 && reply[0] == proto::Ack && reply[1] == WriteCommand;
}

quint8 VariantForDeviceType(int deviceTypeItem) {
    return deviceTypeItem == FerranoItem || deviceTypeItem == LucentoItem ? VariantFerrano
                                                                          : VariantStandard;
}

int ModuleLimit(quint8 currentClass) {
    return currentClass == FerranoControllerClass ? FerranoModuleLimit : StandardModuleLimit;
}

std::array<int, BusCount> LimitModules(std::array<int, BusCount> modules, int limit) {
    for (int bus = BusCount - 1; bus > 0; --bus) {
        const int sum = modules[0] + modules[1] + modules[2];
        if (sum > limit)
            modules[bus] = std::max(0, modules[bus] - (sum - limit));
    }
    return modules;
}

int ReadCyclesPerSecond(const Settings &s) {
    const int largest = std::max({1, s.modules[0], s.modules[1], s.modules[2]});
    const int cycle = largest * (s.clockOn + s.clockOff) * InputsPerModule + s.pause * 1000;
    return cycle > 0 ? 1000000 / cycle : 0;
}

std::optional<ClockPreset> ClockPresetOf(int preset) {
    switch (preset) {
    case PresetSlow:
        return ClockPreset{60, 60, 20, false};
    case PresetNormal:
        return ClockPreset{20, 38, 10, false};
    case PresetFast:
        return ClockPreset{20, 20, 10, true};
    default:
        return std::nullopt;
    }
}

std::optional<Settings> RequestSettings(DeviceLink &link) {
    return ReadSettings(link.Exchange(BuildRead));
}

bool WriteSettings(DeviceLink &link, quint8 variant, const Settings &settings) {
    return WriteAccepted(
        link.Exchange([&](std::span<quint8> b) { return BuildWrite(b, variant, settings); }));
}

} // namespace qev::s88master
