#pragma once

// The S88 bus master's settings commands: a write changes what the next read reports.

namespace qev::devsim {

class SimDevice;
struct PageFault;

// Registers the read 32 and the write 34 AA (variant 51 or 55) on the device.
void InstallS88Master(SimDevice &device, const PageFault &fault);

} // namespace qev::devsim
