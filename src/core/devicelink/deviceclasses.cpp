#include "devicelink/deviceclasses.h"

#include <array>

namespace qev {

namespace {

using enum SerialForm;

constexpr DeviceClassInfo row(quint8 code, int blocks, int cycles, int accessCode,
                              SerialForm serial, bool distinguishable) {
    return {code, blocks, cycles, accessCode, serial, distinguishable, false};
}

constexpr DeviceClassInfo pcProgram(quint8 code) {
    DeviceClassInfo info;
    info.code = code;
    info.pcProgram = true;
    return info;
}

// code, firmware blocks, restart cycles, access-code length, serial form, distinguishable
constexpr std::array Classes{
    row(7, 64, 30, 4, None, true),             // Portaxis
    row(15, 64, 60, 4, None, false),           //
    row(16, 64, 60, 4, BoosterGateway, true),  // booster gateway
    row(17, 255, 60, 8, Controller, true),     // Ferrano S88 controller
    row(21, 64, 30, 4, None, true),            // light controller
    row(22, 255, 60, 8, Extended, true),       // Classic light master
    row(23, 255, 60, 8, Extended, true),       // RGB light master
    row(24, 255, 30, 4, Extended, true),       // light master
    row(27, 255, 30, 4, BoosterGateway, true), // booster gateway
    pcProgram(28),
    pcProgram(29),
    pcProgram(30),
    pcProgram(31),
    pcProgram(32),
    pcProgram(33),
};

} // namespace

const DeviceClassInfo &ClassInfo(quint8 code) {
    static const DeviceClassInfo others;
    for (const DeviceClassInfo &info : Classes) {
        if (info.code == code)
            return info;
    }
    return others;
}

} // namespace qev
