#include "simspeedmeter.h"

#include "devicelink/protocol.h"
#include "pages/speedmeter.h"
#include "simdevice.h"
#include "simpagefault.h"

#include <memory>

namespace qev::devsim {

namespace sm = qev::speedmeter;

void InstallSpeedMeter(SimDevice &device, const PageFault &fault) {
    auto settings = std::make_shared<sm::Settings>();

    device.addCommand(QByteArray(1, char(sm::ReadCommand)),
                      [settings, fault](QByteArrayView, Response &r) {
                          // The bytes the program does not read stay 0.
                          const sm::Reading &m = settings->measuring;
                          r.reply = QByteArray(sm::ReadReplyLength, char(0));
                          r.reply[0] = char(proto::Ack);
                          r.reply[1] = char(sm::ReadCommand);
                          r.reply[2] = char(m.calibration >> 8);
                          r.reply[3] = char(m.calibration);
                          r.reply[5] = char(m.threshold);
                          r.reply[6] = char(m.switchOff);
                          r.reply[7] = char(m.contrast);
                          ApplyPageFault(fault, PageExchange::Read, r.reply);
                      });

    QByteArray write(1, char(sm::WriteCommand));
    write.append(char(sm::WriteMarker[0])).append(char(sm::WriteMarker[1]));
    device.addCommand(write, [settings, fault](QByteArrayView request, Response &r) {
        if (request.size() != qsizetype(sm::WriteLength))
            return;
        const auto at = [&](int offset) {
            return quint8(request[offset]);
        };
        settings->measuring.calibration = quint16(at(3) << 8 | at(4));
        settings->measuring.threshold = at(6);
        settings->measuring.switchOff = at(7);
        settings->measuring.contrast = at(8);
        settings->pause = at(9);
        settings->maxTime = at(10);
        r.reply = QByteArray(1, char(proto::Ack)).append(char(sm::WriteCommand));
        ApplyPageFault(fault, PageExchange::Write, r.reply);
    });
}

} // namespace qev::devsim
