#pragma once

// What the program knows of each device class beyond its name (the catalogue of names is
// in netinspect/deviceclass.h) and its pages (the class dispatch): one row a class, so
// that no other code compares class numbers to decide these things.

#include <QtGlobal>

namespace qev {

// How a device of the class is asked for its serial number.
enum class SerialForm {
    None,           // it has no serial-number request
    Controller,     // 0D 00; the reply carries 4, 6 or 11 bytes, the first 6 reversed
    BoosterGateway, // 5C 0D 00; 6 or 11 bytes
    Extended,       // 60 0D 00; 6 bytes
};

struct DeviceClassInfo {
    quint8 code = 0;
    int firmwareBlocks = 64;  // blocks of 512 bytes in its firmware image
    int restartCycles = 30;   // restart-wait cycles after a firmware activation
    int accessCodeLength = 4; // characters of the access code it expects
    SerialForm serial = SerialForm::None;
    // Its settings are programmed even when several devices were found: the chosen one
    // takes them only while its button is held.
    bool distinguishable = false;
    // A Spurnova PC program (after the renumbering): no network settings to program.
    bool pcProgram = false;
};

// The row of a class; classes without a row of their own get the defaults.
const DeviceClassInfo &ClassInfo(quint8 code);

} // namespace qev
