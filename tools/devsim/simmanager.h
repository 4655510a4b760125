#pragma once

// The manager's settings commands: a write changes what the next read reports; a short
// write (without the reserved booster) changes the two flags only.

namespace qev::devsim {

class SimDevice;
struct PageFault;

// Registers the read 99 33 99 and the write 99 AA 55 on the device.
void InstallManager(SimDevice &device, const PageFault &fault);

} // namespace qev::devsim
