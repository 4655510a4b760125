// The reader of version resources in Windows program files: whatever a file on the disk
// holds.

#include "report/fileversion.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &value : qev::ReadVersionStrings(bytes))
        (void)qev::VersionTextOf(value);
    return 0;
}
