// The readers of firmware image files and of the firmware replies: whatever a file or a
// device hands over.

#include "firmware/firmwareimage.h"
#include "firmware/firmwareinstall.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)qev::ReadImageHeaderText(bytes);
    // The first byte picks the block count, as the device class does.
    const int blockCount = size > 0 ? data[0] : 64;
    if (const auto image = qev::ParseImage(bytes, blockCount)) {
        (void)qev::DigestMatches(*image);
        for (int k = 1; k <= image->blockCount; ++k) {
            const QByteArrayView block = image->block(k);
            (void)qev::ReadBlockReply(std::span(data, size), block);
        }
    }
    (void)qev::IsTwoByteAck(std::span(data, size));
    (void)qev::ReadBlockReply(std::span(data, size), QByteArrayView("0123456789", 10));
    return 0;
}
