#pragma once

// "Firmware installieren": what an image file says of itself and whether it fits the current
// device (the caller decides whether to go on), and the installation itself.

#include "firmware/firmwareimage.h"
#include "firmware/firmwareinstall.h"

#include <QString>
#include <optional>

namespace qev {
class DeviceLink;
}

namespace qev::flow {

struct FirmwareFile {
    std::optional<ImageHeaderText> header; // none when the file has no whole header
    bool fits = false;                     // the image is meant for the current class
};

FirmwareFile InspectFirmware(const QString &path, quint8 currentClass);

// Installs the image at path into the link's current device with the activation code of the
// link's codes; the link counts as busy throughout. Link errors end the installation as
// LinkFailed, with what the link reported.
InstallResult InstallFirmware(DeviceLink &link, const QString &path,
                              const InstallObserver &observer, const InstallTiming &timing = {});

} // namespace qev::flow
