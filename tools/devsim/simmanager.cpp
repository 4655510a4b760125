#include "simmanager.h"

#include "devicelink/protocol.h"
#include "pages/manager.h"
#include "simdevice.h"
#include "simpagefault.h"

#include <memory>

namespace qev::devsim {

namespace mgr = qev::manager;

void InstallManager(SimDevice &device, const PageFault &fault) {
    auto settings = std::make_shared<mgr::Settings>();

    const QByteArray read(reinterpret_cast<const char *>(mgr::ReadRequest.data()),
                          qsizetype(mgr::ReadRequest.size()));
    device.addCommand(read, [settings, fault](QByteArrayView request, Response &r) {
        if (request.size() != qsizetype(mgr::ReadRequest.size()))
            return;
        const mgr::Settings &s = *settings;
        r.reply = QByteArray(1, char(proto::Ack)).append(char(mgr::Prefix));
        r.reply.append(char(s.classicMode ? 1 : 0)).append(char(s.startStop ? 1 : 0));
        r.reply.append(char(s.boosterAddress)).append(char(s.boosterOutput));
        ApplyPageFault(fault, PageExchange::Read, r.reply);
    });

    QByteArray write(1, char(mgr::Prefix));
    write.append(char(mgr::WriteMarker[0])).append(char(mgr::WriteMarker[1]));
    device.addCommand(write, [settings, fault](QByteArrayView request, Response &r) {
        const qsizetype length = request.size();
        if (length != qsizetype(mgr::ShortWriteLength) && length != qsizetype(mgr::LongWriteLength))
            return;
        settings->classicMode = request[3] == 1;
        settings->startStop = request[4] == 1;
        if (length == qsizetype(mgr::LongWriteLength)) {
            settings->boosterAddress = quint8(request[5]);
            settings->boosterOutput = quint8(request[6]);
        }
        r.reply = QByteArray(1, char(proto::Ack)).append(char(mgr::Prefix));
        ApplyPageFault(fault, PageExchange::Write, r.reply);
    });
}

} // namespace qev::devsim
