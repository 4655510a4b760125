#pragma once

// The device the window works with: where requests go and what it reported of itself.
// One value, set as a whole when a device is identified or chosen.

#include <QString>
#include <QtGlobal>

namespace qev {

struct CurrentDevice {
    QString host{};
    quint16 port = 0;       // 0: the device reported none
    quint8 deviceClass = 0; // 0: none; the class after the renumbering of the dispatch
    int versionMajor = 0;
    int versionMinor = 0;
    bool programmingAllowed = true;

    // "7.4"
    QString versionText() const {
        return QStringLiteral("%1.%2").arg(versionMajor).arg(versionMinor);
    }
    // Whether the firmware is version major.minor or later.
    bool versionAtLeast(int major, int minor) const {
        return versionMajor > major || (versionMajor == major && versionMinor >= minor);
    }

    friend bool operator==(const CurrentDevice &, const CurrentDevice &) = default;
};

} // namespace qev
