// Every reader of a device's reply, fed with arbitrary bytes of arbitrary length.

#include "devicelink/replies.h"
#include "devicelink/selection.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const quint8> reply(data, size);
    (void)qev::ReadDiscoveryReply(reply);
    (void)qev::ReadDirectReply(reply);
    (void)qev::ReadIdentifyReply(qev::IdentifyForm::Short, reply);
    (void)qev::ReadIdentifyReply(qev::IdentifyForm::Extended, reply);
    // The serial-number reader depends on the class: let the first byte choose it.
    if (size > 0)
        (void)qev::ReadSerialReply(data[0], reply.subspan(1));
    return 0;
}
