#pragma once

// The light controllers' commands: brightness of the inner light and the front LED (a
// value shown apart from the value kept), the name write, the Classic master's settings,
// the RGB master's LED counts and the masters' on/off mode. A device answers them on the
// base port only, as the real ones do.

#include <QtGlobal>

namespace qev::devsim {

class SimDevice;
struct PageFault;

// Whether a device of this class and version has light commands: the light masters 22 to
// 24, the S88 controller 17 from version 7.4 on, the gateways 16 and 27 (their own form
// of the brightness read and save besides the general one).
bool HasLightCommands(quint8 deviceClass, quint8 versionMajor, quint8 versionMinor);

// Registers the commands of the device's class.
void InstallLight(SimDevice &device, const PageFault &fault);

} // namespace qev::devsim
