#include "sims88master.h"

#include "devicelink/protocol.h"
#include "pages/s88master.h"
#include "simdevice.h"
#include "simpagefault.h"

#include <memory>

namespace qev::devsim {

namespace s88 = qev::s88master;

void InstallS88Master(SimDevice &device, const PageFault &fault) {
    auto settings = std::make_shared<s88::Settings>();

    device.addCommand(
        QByteArray(1, char(s88::ReadCommand)), [settings, fault](QByteArrayView, Response &r) {
            const s88::Settings &s = *settings;
            r.reply = QByteArray(1, char(proto::Ack)).append(char(s88::ReadCommand));
            for (const int value : {s.modules[0], s.modules[1], s.modules[2], s.flickerOn,
                                    s.flickerOff, s.clockOn, s.clockOff, s.pause})
                r.reply.append(char(value));
            ApplyPageFault(fault, PageExchange::Read, r.reply);
        });

    QByteArray write(1, char(s88::WriteCommand));
    write.append(char(s88::WriteMarker));
    device.addCommand(write, [settings, fault](QByteArrayView request, Response &r) {
        if (request.size() != qsizetype(s88::WriteLength))
            return;
        const auto at = [&](int offset) {
            return quint8(request[offset]);
        };
        if (at(2) != s88::VariantFerrano && at(2) != s88::VariantStandard)
            return;
        settings->modules = {at(3), at(4), at(5)};
        settings->flickerOn = at(6);
        settings->flickerOff = at(7);
        settings->clockOn = at(8);
        settings->clockOff = at(9);
        settings->pause = at(10);
        r.reply = QByteArray(1, char(proto::Ack)).append(char(s88::WriteCommand));
        ApplyPageFault(fault, PageExchange::Write, r.reply);
    });
}

} // namespace qev::devsim
