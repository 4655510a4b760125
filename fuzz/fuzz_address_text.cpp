// The readers of typed address text: whatever a user types or pastes into an address field.

#include "netinspect/ipv4.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)qev::IPToBytes(text);
    (void)qev::IPPartsToBytes(text);
    (void)qev::IsValidIP(text);
    (void)qev::HasOctet255(text);
    (void)qev::DefaultNetmask(text);
    (void)qev::SplitText(text, QStringLiteral("."));
    // Two halves as address and netmask.
    const QString mask = text.mid(text.size() / 2);
    (void)qev::MaskCoversIP(text.left(text.size() / 2), mask);
    return 0;
}
