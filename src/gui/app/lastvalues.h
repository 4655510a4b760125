#pragma once

#include <QString>
#include <optional>

// The values of the last network programming, as kept in the settings file.
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
void WriteLastValues(const QString &settingsFile, const LastValues &values);
