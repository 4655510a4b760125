// The readers of the light controllers' replies, fed with arbitrary bytes of arbitrary
// length.

#include "pages/light.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const quint8> reply(data, size);
    (void)qev::light::ReadGatewayBrightness(reply);
    (void)qev::light::ReadBrightness(reply);
    (void)qev::light::ReadName(reply);
    (void)qev::light::ReadClassicSettings(reply);
    (void)qev::light::ReadLedCounts(reply);
    (void)qev::light::ReadMode(reply);
    return 0;
}
