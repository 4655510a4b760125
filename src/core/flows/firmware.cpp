#include "flows/firmware.h"

#include "devicelink/devicelink.h"

namespace qev::flow {

FirmwareFile InspectFirmware(const QString &path, quint8 currentClass) {
    return {ReadImageHeaderFile(path), ImageFitsDevice(path, currentClass)};
}

InstallResult InstallFirmware(DeviceLink &link, const QString &path,
                              const InstallObserver &observer, const InstallTiming &timing) {
    const DeviceLink::Busy busy(link);
    FirmwareInstaller installer(link, link.codes().activationCode, timing);
    return installer.install(path, observer);
}

} // namespace qev::flow
