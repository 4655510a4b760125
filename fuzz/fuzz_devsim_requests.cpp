// The simulator's request handling, fed with arbitrary datagrams: a device on the LAN must
// survive whatever arrives at its port.

#include "simdevice.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static qev::devsim::SimDevice device(qev::devsim::DeviceConfig{}, qev::DeviceCodes{});
    const QByteArrayView request(data, qsizetype(size));
    (void)device.handle(request);
    (void)qev::devsim::ReadNetworkSettings(request);
    return 0;
}
