// The readers of the profile report's device replies, fed with arbitrary bytes.

#include "report/devicequeries.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const quint8> reply(data, size);
    (void)qev::report::ReadNameReply(reply);
    (void)qev::report::ReadVersionReply(reply);
    (void)qev::report::ReadNetworkReply(reply);
    // The serial-number reader depends on the class: let the first byte choose it.
    if (size > 0)
        (void)qev::report::ReadReportSerialReply(data[0], reply.subspan(1));
    return 0;
}
