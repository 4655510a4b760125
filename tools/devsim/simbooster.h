#pragma once

// The booster bus behind a booster gateway (class 27) or a manager (class 3): boosters
// with address, type, name, version, serial number and sensitivity; the gateway's own
// settings, which a write changes and a read reports; the unlock a name write needs; a
// booster waiting in programming mode for its address; and faults of the bus.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace qev {
struct DeviceCodes;
}

namespace qev::devsim {

class SimDevice;

struct BoosterBusConfig {
    int count = 0;               // boosters at addresses 1 to count, type 1
    std::vector<int> silent;     // addresses whose boosters answer neither name nor info
    int unknownSerial = 0;       // the serials reply also names this address (no booster)
    int typeThree = 0;           // the list also has an entry of type 3 at this address
    int sensitivity = 30;        // what every booster reports in its info
    bool programmingMode = true; // a booster waits for a new address
};

enum class BoosterKey { NotMine, Taken, Bad };
// boosters=, bsilent=, bunknown=, btype3=, bsens=, bprogram=.
BoosterKey ParseBoosterKey(const QString &key, const QString &value, BoosterBusConfig &config);

extern const char *const BoosterHelp;

bool HasBoosterBus(quint8 deviceClass);
// Registers the 90-family bus commands and the gateway's name write 60 63 on the device.
void InstallBoosterBus(SimDevice &device, const BoosterBusConfig &config, const DeviceCodes &codes);

} // namespace qev::devsim
