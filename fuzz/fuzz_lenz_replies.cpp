// The checks of a Lenz interface's replies and the frame reader of a Lenz byte stream (as
// the simulated station uses it), fed with arbitrary bytes.

#include "netinspect/foreignsystems.h"
#include "tcpstation.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)qev::LenzFirstReplyMatches(bytes);
    (void)qev::LenzVersionOf(bytes);

    // Every message taken must shorten the stream; a frame comes back as it went in.
    QByteArray stream = bytes;
    const qev::devsim::LenzStationConfig config;
    while (const auto message = qev::TakeLenzMessage(stream)) {
        if (stream.size() >= bytes.size() || message->isEmpty())
            std::abort();
        QByteArray again = qev::LenzFrame(*message);
        if (qev::TakeLenzMessage(again) != message || !again.isEmpty())
            std::abort();
        (void)qev::devsim::LenzStationReply(config, *message);
    }
    return 0;
}
