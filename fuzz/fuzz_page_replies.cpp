// The reply readers of the class pages, fed with arbitrary bytes of arbitrary length. The
// first byte chooses the reader, the rest is the reply.

#include "pages/manager.h"
#include "pages/s88master.h"
#include "pages/speedmeter.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::span<const quint8> reply(data + 1, size - 1);
    switch (data[0]) {
    case 0:
        (void)qev::speedmeter::ReadSettings(reply);
        (void)qev::speedmeter::WriteAccepted(reply);
        break;
    case 1:
        if (const auto settings = qev::s88master::ReadSettings(reply))
            (void)qev::s88master::ReadCyclesPerSecond(*settings);
        (void)qev::s88master::WriteAccepted(reply);
        break;
    case 2:
        if (const auto settings = qev::manager::ReadSettings(reply))
            (void)qev::manager::BoosterReserved(*settings);
        (void)qev::manager::WriteAccepted(reply);
        break;
    default:
        break;
    }
    return 0;
}
