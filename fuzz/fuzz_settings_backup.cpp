// The reader of settings backup files: whatever a file holds, cut off anywhere. A file it
// takes must come back the same from its own writing, and compare equal to itself.

#include "backup/settingsbackup.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    qev::backup::FileError error;
    const std::optional<qev::backup::Backup> read =
        qev::backup::ReadJson(QByteArrayView(data, qsizetype(size)), error);
    if (!read)
        return 0;
    const std::optional<qev::backup::Backup> again =
        qev::backup::ReadJson(qev::backup::ToJson(*read), error);
    if (!again || *again != *read || !qev::backup::Compare(*read, *read, true).isEmpty() ||
        qev::backup::CheckFits(*read, *read))
        std::abort();
    return 0;
}
