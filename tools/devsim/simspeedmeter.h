#pragma once

// The speed meter's settings commands: a write changes what the next read reports.

namespace qev::devsim {

class SimDevice;
struct PageFault;

// Registers the read 05 and the write 04 AA 55 on the device.
void InstallSpeedMeter(SimDevice &device, const PageFault &fault);

} // namespace qev::devsim
