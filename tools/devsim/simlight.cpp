#include "simlight.h"

#include "devicelink/protocol.h"
#include "pages/light.h"
#include "simdevice.h"
#include "simpagefault.h"
#include "simtext.h"

#include <memory>

namespace qev::devsim {

namespace {

namespace lt = qev::light;

constexpr std::array<quint8, 3> LatchDelays = {0, 20, 60};

struct LightState {
    lt::Brightness shown;  // what the lamps show now
    lt::Brightness stored; // what the device keeps, and reports
    lt::ClassicSettings classic;
    lt::LedCounts counts{120, 120, 120, 120};
    lt::Mode mode;
};

bool isGateway(quint8 deviceClass) {
    return lt::UsesGatewayForm(deviceClass);
}

bool markedAt2(QByteArrayView request) {
    return request.size() > 3 && quint8(request[2]) == lt::WriteMarker[0] &&
           quint8(request[3]) == lt::WriteMarker[1];
}

void setLamp(lt::Brightness &values, quint8 lamp, quint8 value) {
    (lamp == quint8(lt::Lamp::Inner) ? values.inner : values.front) = value;
}

int latchDelayIndex(quint8 delay) {
    for (std::size_t i = 0; i < LatchDelays.size(); ++i) {
        if (LatchDelays[i] == delay)
            return int(i);
    }
    return 0;
}

} // namespace

bool HasLightCommands(quint8 deviceClass, quint8 versionMajor, quint8 versionMinor) {
    if (deviceClass == 17)
        return versionMajor > 7 || (versionMajor == 7 && versionMinor >= 4);
    return isGateway(deviceClass) || (deviceClass >= 22 && deviceClass <= 24);
}

void InstallLight(SimDevice &device, const PageFault &fault) {
    const quint8 deviceClass = device.config().deviceClass;
    auto state = std::make_shared<LightState>();
    const auto add = [&](std::initializer_list<quint8> prefix, PageExchange exchange,
                         auto handler) {
        device.addBasePortCommand(
            Bytes(prefix), [state, fault, exchange, handler](QByteArrayView request, Response &r) {
                handler(*state, request, r);
                ApplyPageFault(fault, exchange, r.reply);
            });
    };

    // Every device with a light shows a value at once, also the gateways.
    add({proto::PrefixExtended, lt::BrightnessSet}, PageExchange::Write,
        [](LightState &s, QByteArrayView request, Response &r) {
            if (request.size() < qsizetype(lt::BrightnessSetLength) || !markedAt2(request))
                return;
            const quint8 lamp = quint8(request[5]);
            if (lamp > quint8(lt::Lamp::Front))
                return;
            setLamp(s.shown, lamp, quint8(request[6]));
            if (quint8(request[4]) == quint8(lt::Store::Keep))
                setLamp(s.stored, lamp, quint8(request[6]));
            r.reply = Bytes({proto::Ack, proto::PrefixExtended, lt::BrightnessSet});
        });

    if (isGateway(deviceClass)) {
        add({proto::PrefixBooster, lt::GatewayBrightness}, PageExchange::Read,
            [](LightState &s, QByteArrayView request, Response &r) {
                if (request.size() < 3)
                    return;
                if (quint8(request[2]) == lt::GatewayRead) {
                    r.reply = Bytes({proto::Ack, proto::PrefixBooster, lt::GatewayBrightness,
                                     quint8(s.stored.inner), quint8(s.stored.front), 0, 0});
                } else if (quint8(request[2]) == lt::GatewaySave &&
                           request.size() >= qsizetype(lt::GatewaySaveLength)) {
                    s.stored = s.shown = {quint8(request[3]), quint8(request[4])};
                    r.reply = Bytes({proto::Ack, proto::PrefixBooster, lt::GatewayBrightness});
                }
            });
    }

    add({proto::PrefixExtended, lt::BrightnessRead}, PageExchange::Read,
        [](LightState &s, QByteArrayView, Response &r) {
            r.reply = Bytes({proto::Ack, proto::PrefixExtended, lt::BrightnessRead, 0,
                             quint8(s.stored.inner), quint8(s.stored.front), 0});
        });
    // The name read (60 64) answers every class with the device's name.
    add({proto::PrefixExtended, lt::NameWrite}, PageExchange::Write,
        [&device](LightState &, QByteArrayView request, Response &r) {
            if (request.size() < 3)
                return;
            const qsizetype length = std::min<qsizetype>(quint8(request[2]), request.size() - 3);
            device.setName(QString::fromLatin1(request.sliced(3, length)));
            r.reply = Bytes({proto::Ack, proto::PrefixExtended, lt::NameWrite});
        });

    if (deviceClass == 22 || deviceClass == 23) {
        add({proto::PrefixExtended, lt::ModeRead}, PageExchange::Read,
            [](LightState &s, QByteArrayView, Response &r) {
                r.reply = Bytes({proto::Ack, proto::PrefixExtended, lt::ModeRead, 0, 0,
                                 quint8(s.mode.standAlone), quint8(s.mode.demo),
                                 quint8(s.mode.stopOnEnd)});
            });
        add({proto::PrefixExtended, lt::ModeWrite}, PageExchange::Write,
            [](LightState &s, QByteArrayView request, Response &r) {
                if (request.size() < qsizetype(lt::ModeWriteLength) || !markedAt2(request))
                    return;
                s.mode = {request[5] != 0, request[6] != 0, request[7] != 0};
                r.reply = Bytes({proto::Ack, proto::PrefixExtended, lt::ModeWrite});
            });
    }

    if (deviceClass == 22) {
        add({lt::PrefixClassic, lt::ClassicRead}, PageExchange::Read,
            [](LightState &s, QByteArrayView, Response &r) {
                const lt::ClassicSettings &c = s.classic;
                r.reply =
                    Bytes({proto::Ack, lt::PrefixClassic, lt::ClassicRead, quint8(c.outputs),
                           quint8(c.dmx), quint8(c.clock), quint8(c.latch), quint8(c.latchDelay)});
            });
        add({lt::PrefixClassic, lt::ClassicWrite}, PageExchange::Write,
            [](LightState &s, QByteArrayView request, Response &r) {
                if (request.size() < qsizetype(lt::ClassicWriteLength))
                    return;
                const auto at = [&](int offset) {
                    return quint8(request[offset]);
                };
                s.classic = {at(2), at(3), at(4), at(5), latchDelayIndex(at(6))};
                r.reply = Bytes({proto::Ack, lt::PrefixClassic, lt::ClassicWrite});
            });
    }

    if (deviceClass == 23) {
        // The counts stand at bytes 2 to 5: the reply repeats the command byte only.
        add({lt::PrefixRgb, lt::LedCountsRead}, PageExchange::Read,
            [](LightState &s, QByteArrayView, Response &r) {
                r.reply = Bytes({proto::Ack, lt::LedCountsRead});
                for (const int count : s.counts)
                    r.reply.append(char(count));
            });
        add({lt::PrefixRgb, lt::LedCountsWrite}, PageExchange::Write,
            [](LightState &s, QByteArrayView request, Response &r) {
                if (request.size() < qsizetype(lt::LedCountsWriteLength))
                    return;
                for (std::size_t i = 0; i < s.counts.size(); ++i)
                    s.counts[i] = quint8(request[qsizetype(i) + 2]);
                r.reply = Bytes({proto::Ack, lt::PrefixRgb, lt::LedCountsWrite});
            });
    }
}

} // namespace qev::devsim
