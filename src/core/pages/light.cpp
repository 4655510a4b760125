#include "pages/light.h"

#include "devicelink/protocol.h"

#include <algorithm>
#include <initializer_list>

namespace qev::light {

namespace {

constexpr quint8 GatewayClass = 16;
constexpr quint8 BoosterGatewayClass = 27;
constexpr quint8 S88ControllerClass = 17;

constexpr int ClockFast = 2;
constexpr int ClockNormal = 4;
constexpr int ClockSlow = 6;
constexpr std::array<quint8, 3> LatchDelays = {0, 20, 60};

std::size_t put(std::span<quint8> buffer, std::initializer_list<quint8> bytes) {
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return bytes.size();
}

// The byte at offset, 0 past the reply.
quint8 byteAt(std::span<const quint8> reply, std::size_t offset) {
    return offset < reply.size() ? reply[offset] : quint8(0);
}

bool ledBy(std::span<const quint8> reply, std::initializer_list<quint8> lead) {
    return reply.size() >= lead.size() && std::equal(lead.begin(), lead.end(), reply.begin());
}

} // namespace

bool UsesGatewayForm(quint8 currentClass) {
    return currentClass == GatewayClass || currentClass == BoosterGatewayClass;
}

Brightness BrightPreset(quint8 currentClass) {
    return currentClass == S88ControllerClass ? Brightness{80, 200} : Brightness{70, 150};
}

Brightness DarkPreset() {
    return {10, 50};
}

quint8 ByteValue(int value) {
    return quint8(std::clamp(value, 0, 255));
}

int TimingChoiceOfClock(int clock) {
    switch (clock) {
    case ClockFast:
        return 0;
    case ClockNormal:
        return 1;
    case ClockSlow:
        return 2;
    default:
        return -1;
    }
}

int ClockOfTimingChoice(int choice) {
    if (choice == 0)
        return ClockFast;
    if (choice == 2)
        return ClockSlow;
    return ClockNormal;
}

std::optional<int> LatchDelayChoice(int index) {
    if (index < 0 || index >= int(LatchDelays.size()))
        return std::nullopt;
    return index;
}

quint8 LatchDelayOfChoice(int choice) {
    return LatchDelayChoice(choice) ? LatchDelays[std::size_t(choice)] : quint8(0);
}

std::size_t BuildGatewayBrightnessRead(std::span<quint8> buffer) {
    return put(buffer, {proto::PrefixBooster, GatewayBrightness, GatewayRead});
}

std::size_t BuildGatewayBrightnessSave(std::span<quint8> buffer, const Brightness &values) {
    return put(buffer, {proto::PrefixBooster, GatewayBrightness, GatewaySave,
                        ByteValue(values.inner), ByteValue(values.front), 0x00});
}

std::size_t BuildBrightnessRead(std::span<quint8> buffer) {
    return put(buffer, {proto::PrefixExtended, BrightnessRead});
}

std::size_t BuildBrightnessSet(std::span<quint8> buffer, Store store, Lamp lamp, int value) {
    return put(buffer, {proto::PrefixExtended, BrightnessSet, WriteMarker[0], WriteMarker[1],
                        quint8(store), quint8(lamp), ByteValue(value), BrightnessTrailer});
}

std::size_t BuildNameRead(std::span<quint8> buffer) {
    return put(buffer, {proto::PrefixExtended, NameRead});
}

std::size_t BuildNameWrite(std::span<quint8> buffer, const QString &name) {
    const QByteArray text = name.left(MaxNameLength).toLatin1();
    const std::size_t head = put(buffer, {proto::PrefixExtended, NameWrite, quint8(text.size())});
    std::copy(text.begin(), text.end(), buffer.begin() + qsizetype(head));
    return head + std::size_t(text.size());
}

std::size_t BuildClassicRead(std::span<quint8> buffer) {
    return put(buffer, {PrefixClassic, ClassicRead});
}

std::size_t BuildClassicWrite(std::span<quint8> buffer, const ClassicSettings &settings) {
    return put(buffer, {PrefixClassic, ClassicWrite, ByteValue(settings.outputs),
                        ByteValue(settings.dmx), ByteValue(settings.clock),
                        ByteValue(settings.latch), LatchDelayOfChoice(settings.latchDelay)});
}

std::size_t BuildLedCountsRead(std::span<quint8> buffer) {
    return put(buffer, {PrefixRgb, LedCountsRead});
}

std::size_t BuildLedCountsWrite(std::span<quint8> buffer, const LedCounts &counts) {
    return put(buffer, {PrefixRgb, LedCountsWrite, ByteValue(counts[0]), ByteValue(counts[1]),
                        ByteValue(counts[2]), ByteValue(counts[3])});
}

std::size_t BuildModeRead(std::span<quint8> buffer) {
    return put(buffer, {proto::PrefixExtended, ModeRead});
}

std::size_t BuildModeWrite(std::span<quint8> buffer, const Mode &mode) {
    return put(buffer, {proto::PrefixExtended, ModeWrite, WriteMarker[0], WriteMarker[1], 0x00,
                        quint8(mode.standAlone), quint8(mode.demo), quint8(mode.stopOnEnd)});
}

std::optional<Brightness> ReadGatewayBrightness(std::span<const quint8> reply) {
    if (reply.size() <= 6 || !ledBy(reply, {proto::Ack, proto::PrefixBooster, GatewayBrightness}))
        return std::nullopt;
    return Brightness{reply[3], reply[4]};
}

std::optional<Brightness> ReadBrightness(std::span<const quint8> reply) {
    if (reply.size() <= 6 || !ledBy(reply, {proto::Ack, proto::PrefixExtended, BrightnessRead}))
        return std::nullopt;
    return Brightness{reply[4], reply[5]};
}

std::optional<QString> ReadName(std::span<const quint8> reply) {
    if (reply.size() <= 6)
        return std::nullopt;
    const std::size_t length = reply[3];
    if (length < 1 || length > std::size_t(MaxNameLength))
        return QString();
    const std::span<const quint8> text = reply.subspan(4, std::min(length, reply.size() - 4));
    const auto end = std::find(text.begin(), text.end(), quint8(0));
    return QString::fromLatin1(reinterpret_cast<const char *>(text.data()),
                               qsizetype(end - text.begin()));
}

std::optional<ClassicSettings> ReadClassicSettings(std::span<const quint8> reply) {
    if (reply.size() <= 3)
        return std::nullopt;
    return ClassicSettings{byteAt(reply, 3), byteAt(reply, 4), byteAt(reply, 5), byteAt(reply, 6),
                           byteAt(reply, 7)};
}

std::optional<LedCounts> ReadLedCounts(std::span<const quint8> reply) {
    if (reply.size() <= 3)
        return std::nullopt;
    return LedCounts{byteAt(reply, 2), byteAt(reply, 3), byteAt(reply, 4), byteAt(reply, 5)};
}

std::optional<Mode> ReadMode(std::span<const quint8> reply) {
    if (reply.size() <= 3)
        return std::nullopt;
    return Mode{byteAt(reply, 5) != 0, byteAt(reply, 6) != 0, byteAt(reply, 7) != 0};
}

std::span<const quint8> Exchange(DeviceLink &link, const DeviceLink::RequestBuilder &build) {
    // The found device's address, on the base port whatever port the device was given.
    return link.Exchange(build, ExchangeOptions{.port = link.ports().base,
                                                .timeoutMs = ReplyTimeoutMs,
                                                .waitMs = 0,
                                                .host = link.current().host});
}

GeneralValues ReadGeneral(DeviceLink &link) {
    const DeviceLink::Busy busy(link);
    GeneralValues values;
    if (UsesGatewayForm(link.current().deviceClass)) {
        values.brightness = ReadGatewayBrightness(Exchange(link, BuildGatewayBrightnessRead));
        return values;
    }
    values.brightness = ReadBrightness(Exchange(link, BuildBrightnessRead));
    values.name = ReadName(Exchange(link, BuildNameRead));
    return values;
}

void SendLive(DeviceLink &link, Lamp lamp, int value) {
    Exchange(link, [&](std::span<quint8> buffer) {
        return BuildBrightnessSet(buffer, Store::ShowOnly, lamp, value);
    });
}

void SaveBrightness(DeviceLink &link, const Brightness &values) {
    const DeviceLink::Busy busy(link);
    if (UsesGatewayForm(link.current().deviceClass)) {
        Exchange(link, [&](std::span<quint8> buffer) {
            return BuildGatewayBrightnessSave(buffer, values);
        });
        return;
    }
    const auto keep = [&](Lamp lamp, int value) {
        Exchange(link, [&](std::span<quint8> buffer) {
            return BuildBrightnessSet(buffer, Store::Keep, lamp, value);
        });
    };
    keep(Lamp::Inner, values.inner);
    link.WaitWithMessages(SavePauseMs);
    keep(Lamp::Front, values.front);
}

void SaveName(DeviceLink &link, const QString &name) {
    Exchange(link, [&](std::span<quint8> buffer) { return BuildNameWrite(buffer, name); });
}

ClassicValues ReadClassic(DeviceLink &link) {
    const DeviceLink::Busy busy(link);
    ClassicValues values;
    values.settings = ReadClassicSettings(Exchange(link, BuildClassicRead));
    values.mode = ReadMode(Exchange(link, BuildModeRead));
    return values;
}

namespace {

void writeMode(DeviceLink &link, const Mode &mode) {
    Exchange(link, [&](std::span<quint8> buffer) { return BuildModeWrite(buffer, mode); });
}

} // namespace

void SaveClassic(DeviceLink &link, const ClassicSettings &settings, const Mode &mode) {
    const DeviceLink::Busy busy(link);
    Exchange(link, [&](std::span<quint8> buffer) { return BuildClassicWrite(buffer, settings); });
    writeMode(link, mode);
}

RgbValues ReadRgb(DeviceLink &link) {
    const DeviceLink::Busy busy(link);
    RgbValues values;
    values.counts = ReadLedCounts(Exchange(link, BuildLedCountsRead));
    values.mode = ReadMode(Exchange(link, BuildModeRead));
    return values;
}

void SaveRgb(DeviceLink &link, const LedCounts &counts, const Mode &mode) {
    const DeviceLink::Busy busy(link);
    Exchange(link, [&](std::span<quint8> buffer) { return BuildLedCountsWrite(buffer, counts); });
    writeMode(link, mode);
}

} // namespace qev::light
