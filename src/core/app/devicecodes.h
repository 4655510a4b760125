#pragma once

// Codes that the device firmware expects and that the program builds at run time: the
// access codes, the activation code of a firmware update and the booster-bus unlock
// table. They are configuration, kept in the section "Codes" of the settings file, so
// that the program and qev-devsim agree on them. Missing or malformed entries take the
// shipped placeholder values.

#include <QByteArray>
#include <QString>
#include <array>

namespace qev {

struct DeviceCodes {
    using BusRow = std::array<quint8, 3>;
    using BusSet = std::array<BusRow, 2>;

    QByteArray accessCodeShort; // 4 ASCII characters
    QByteArray accessCodeLong;  // 8 ASCII characters (classes 17, 22 and 23)
    QByteArray activationCode;  // 2 ASCII letters
    std::array<BusSet, 5> boosterBusSets{};

    static DeviceCodes placeholders();
};

// Reads the section "Codes" of an INI file. A file that does not exist, or an entry that
// is missing or malformed, leaves the placeholder value for that entry.
DeviceCodes LoadDeviceCodes(const QString &iniPath);

// Writes every entry to the section "Codes" (used to create an example file).
bool SaveDeviceCodes(const QString &iniPath, const DeviceCodes &codes);

} // namespace qev
