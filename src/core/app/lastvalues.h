#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace qev {

// The values of the last network programming, as kept in the section "Param" of the
// settings file.
struct LastValues {
    // Address and mask as typed; missing keys read as nothing, and the fields keep their text.
    std::optional<QString> newAddress;
    std::optional<QString> netmask;
    // Item index of the device type; 0 when missing.
    int deviceType = 0;
    // Item index of the port; -1 for a typed port, and 11080 (no item at all) when missing.
    int portItem = 11080;
};

LastValues ReadLastValues(const QString &settingsFile);
// False when the file could not be written.
bool WriteLastValues(const QString &settingsFile, const LastValues &values);

// The item index under which the port field's text is kept: -1 for a typed port.
int PortItemOf(const QString &portText, const QStringList &items);

// What the port field shows after the last values were loaded: an item's text, empty text
// for a typed port when the field shows one of the items, or none to leave it as it is.
std::optional<QString> PortAfterLoad(int portItem, const QStringList &items,
                                     const QString &current);

} // namespace qev
