#include "simdevice.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace qev;
using namespace qev::devsim;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

DeviceCodes testCodes() {
    DeviceCodes codes = DeviceCodes::placeholders();
    codes.accessCodeShort = "AB12";
    codes.accessCodeLong = "LONGCODE";
    return codes;
}

// 192.168.0.10/24, 02:81:7E:00:00:0A, port 11081, serial 11 22 33 44 55 66.
DeviceConfig device(quint8 deviceClass, quint8 major = 7, quint8 minor = 4) {
    DeviceConfig c;
    c.deviceClass = deviceClass;
    c.versionMajor = major;
    c.versionMinor = minor;
    c.network.ip = 0xC0A8000A;
    c.network.mask = 0xFFFFFF00;
    c.network.mac = {0x02, 0x81, 0x7E, 0x00, 0x00, 0x0A};
    c.network.port = 11081;
    c.serial = hex("112233445566");
    return c;
}

struct ExchangeCase {
    const char *name;
    DeviceConfig config;
    QByteArray request;
    QByteArray reply; // empty: no answer
};

void PrintTo(const ExchangeCase &c, std::ostream *os) {
    *os << c.name;
}

class Exchange : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(Exchange, RequestGivesReply) {
    const ExchangeCase &c = GetParam();
    SimDevice sim(c.config, testCodes());
    const Response r = sim.handle(c.request);
    EXPECT_EQ(r.reply.toHex(' '), c.reply.toHex(' '));
    EXPECT_EQ(r.delayMs, 0);
    EXPECT_FALSE(r.programmed);
}

DeviceConfig withSerial(DeviceConfig c, const char *serialHex) {
    c.serial = hex(serialHex);
    return c;
}

DeviceConfig withoutExtended(DeviceConfig c) {
    c.answersExtended = false;
    return c;
}

DeviceConfig withoutSerial(DeviceConfig c) {
    c.serial.clear();
    return c;
}

const ExchangeCase exchangeCases[] = {
    {"Discovery", device(17), hex("F5"), hex("21F5C0A8000AFFFFFF0002817E00000A2B49")},
    {"DiscoveryIgnoresTrailingBytes", device(17), hex("F50000"),
     hex("21F5C0A8000AFFFFFF0002817E00000A2B49")},
    {"ShortIdentification", device(22, 1, 9), hex("0F"), hex("210F160109")},
    {"ExtendedIdentification", device(22, 1, 9), hex("600F"), hex("21600F160109")},
    {"ExtendedIdentificationSwitchedOff", withoutExtended(device(22)), hex("600F"), {}},
    {"ShortIdentificationOfClass6Version7", device(6, 7, 3), hex("0F"), hex("210F060703")},
    // Serial numbers: each family answers only its own request.
    {"SerialClass17", device(17), hex("0D00"), hex("210D0106112233445566")},
    {"SerialClass17FourBytes", withSerial(device(17), "A1A2A3A4"), hex("0D00"),
     hex("210D0104A1A2A3A4")},
    {"SerialClass6Version7", device(6, 7, 3), hex("0D00"), hex("210D0106112233445566")},
    {"NoSerialClass6Version6", device(6, 6, 3), hex("0D00"), {}},
    {"SerialClass16", device(16), hex("5C0D00"), hex("215C0D0106112233445566")},
    {"SerialClass27Eleven", withSerial(device(27), "0102030405060708090A0B"), hex("5C0D00"),
     hex("215C0D010B0102030405060708090A0B")},
    {"SerialClass22", device(22), hex("600D00"), hex("21600D0106112233445566")},
    {"SerialClass24", device(24), hex("600D00"), hex("21600D0106112233445566")},
    {"SerialDefaultsToMac", withoutSerial(device(23)), hex("600D00"),
     hex("21600D01060281"
         "7E00000A")},
    {"Class17IgnoresLightSerialRequest", device(17), hex("600D00"), {}},
    {"Class22IgnoresS88SerialRequest", device(22), hex("0D00"), {}},
    {"Class16IgnoresS88SerialRequest", device(16), hex("0D00"), {}},
    {"Class1HasNoSerial", device(1), hex("0D00"), {}},
    // Access code: the long code for 17, 22 and 23, the short one for the rest.
    {"AccessLongCodeClass17", device(17), QByteArray("\xF0LONGCODE"), hex("21F0")},
    {"AccessLongCodeClass23", device(23), QByteArray("\xF0LONGCODE"), hex("21F0")},
    {"AccessShortCodeClass16", device(16),
     QByteArray("\xF0"
                "AB12"),
     hex("21F0")},
    {"AccessShortCodeClass24", device(24),
     QByteArray("\xF0"
                "AB12"),
     hex("21F0")},
    {"AccessShortCodeRefusedByClass22",
     device(22),
     QByteArray("\xF0"
                "AB12"),
     {}},
    {"AccessLongCodeRefusedByClass7", device(7), QByteArray("\xF0LONGCODE"), {}},
    {"AccessCodeWrongValue", device(17), QByteArray("\xF0LONGCODX"), {}},
    {"AccessCodeTrailingByte",
     device(16),
     QByteArray("\xF0"
                "AB12\x00",
                6),
     {}},
    {"AccessCodeCut",
     device(16),
     QByteArray("\xF0"
                "AB1"),
     {}},
    {"AccessCodeAlone", device(16), hex("F0"), {}},
    // The booster gateway's General page: its own brightness form and the general one.
    {"GatewayBrightnessClass27", device(27), hex("909B00"), hex("21909B64640000")},
    {"GeneralBrightnessClass27", device(27), hex("6062"), hex("21606200646400")},
    // Nothing answers what it does not know, nor an empty datagram.
    {"Empty", device(17), {}, {}},
    {"UnknownCommand", device(17), hex("77"), {}},
    {"UnknownExtendedCommand", device(22), hex("6099"), {}},
    {"PrefixAlone", device(16), hex("5C"), {}},
};

INSTANTIATE_TEST_SUITE_P(SimDevice, Exchange, ::testing::ValuesIn(exchangeCases),
                         [](const auto &rowInfo) { return std::string(rowInfo.param.name); });

// The spec's example datagram: 192.168.0.77/24, MAC ...00:4D, port 11080.
const QByteArray exampleF8 = hex("F8AA51"
                                 "C0A8004D"
                                 "FFFFFF00"
                                 "02817E00004D"
                                 "2B48"
                                 "C0A80001"
                                 "C0A80002");

TEST(SimDevice, TakesNetworkSettingsWithEitherHeader) {
    for (const QByteArray &header : {hex("F8AA51"), hex("F455AA")}) {
        SimDevice sim(device(17), testCodes());
        QByteArray datagram = exampleF8;
        datagram.replace(0, 3, header);
        const Response r = sim.handle(datagram);
        ASSERT_TRUE(r.programmed) << header.toHex().constData();
        EXPECT_TRUE(r.reply.isEmpty());
        const NetworkSettings expected{0xC0A8004D, 0xFFFFFF00, {0x02, 0x81, 0x7E, 0x00, 0x00, 0x4D},
                                       11080,      0xC0A80001, 0xC0A80002};
        EXPECT_EQ(*r.programmed, expected);
        EXPECT_EQ(sim.network(), expected);
        // Discovery now reports the new settings.
        EXPECT_EQ(sim.handle(hex("F5")).reply, hex("21F5C0A8004DFFFFFF0002817E00004D2B48"));
        // The serial number came from the old MAC and stays.
        EXPECT_EQ(sim.config().serial, hex("112233445566"));
    }
}

TEST(SimDevice, RefusesNetworkSettingsOfWrongLengthOrHeader) {
    const QByteArray wrongMarker = hex("F8AA52") + exampleF8.mid(3);
    const QByteArray mixedHeader = hex("F455AB") + exampleF8.mid(3);
    for (const QByteArray &datagram :
         {exampleF8.left(26), exampleF8 + hex("00"), wrongMarker, mixedHeader, exampleF8.left(3)}) {
        SimDevice sim(device(17), testCodes());
        const Response r = sim.handle(datagram);
        EXPECT_FALSE(r.programmed) << datagram.toHex().constData();
        EXPECT_TRUE(r.reply.isEmpty());
        EXPECT_EQ(sim.network(), device(17).network);
    }
}

struct FaultCase {
    const char *name;
    Fault fault;
    QByteArray request;
    QByteArray reply;
    int delayMs;
    bool programmed;
};

void PrintTo(const FaultCase &c, std::ostream *os) {
    *os << c.name;
}

class Faults : public ::testing::TestWithParam<FaultCase> {};

QByteArray overlongDiscovery(int length) {
    QByteArray r = hex("21F5C0A8000AFFFFFF0002817E00000A2B49");
    r.append(length - r.size(), char(0xEE));
    return r;
}

const FaultCase faultCases[] = {
    {"SilentIdentify", {FaultKind::Silent, 0}, hex("0F"), {}, 0, false},
    {"SilentTakesNothing", {FaultKind::Silent, 0}, exampleF8, {}, 0, false},
    {"BaseOnlyAnswers", {FaultKind::BaseOnly, 0}, hex("0F"), hex("210F110704"), 0, false},
    {"DiscoveryOnlyAnswersTheDiscovery",
     {FaultKind::DiscoveryOnly, 0},
     hex("F5"),
     hex("21F5C0A8000AFFFFFF0002817E00000A2B49"),
     0,
     false},
    {"DiscoveryOnlyIdentify", {FaultKind::DiscoveryOnly, 0}, hex("600F"), {}, 0, false},
    {"DiscoveryOnlyTakesNothing", {FaultKind::DiscoveryOnly, 0}, exampleF8, {}, 0, false},
    {"SlowIdentify", {FaultKind::Slow, 1500}, hex("0F"), hex("210F110704"), 1500, false},
    {"SlowStillTakesSettings", {FaultKind::Slow, 1500}, exampleF8, {}, 0, true},
    {"SlowNoAnswerNoDelay", {FaultKind::Slow, 1500}, hex("77"), {}, 0, false},
    {"GarbageIdentify", {FaultKind::Garbage, 0}, hex("0F"), hex("DEF0EEF8FB"), 0, false},
    {"GarbageAccess", {FaultKind::Garbage, 0}, QByteArray("\xF0LONGCODE"), hex("DE0F"), 0, false},
    {"GarbageStillTakesSettings", {FaultKind::Garbage, 0}, exampleF8, {}, 0, true},
    {"OverlongDiscovery",
     {FaultKind::Overlong, 9000},
     hex("F5"),
     overlongDiscovery(9000),
     0,
     false},
    {"OverlongShorterThanReply", {FaultKind::Overlong, 4}, hex("0F"), hex("210F110704"), 0, false},
    {"OverlongNoAnswer", {FaultKind::Overlong, 9000}, hex("F0"), {}, 0, false},
};

TEST_P(Faults, ShapeTheAnswer) {
    const FaultCase &c = GetParam();
    DeviceConfig config = device(17);
    config.fault = c.fault;
    SimDevice sim(config, testCodes());
    const Response r = sim.handle(c.request);
    EXPECT_EQ(r.reply.toHex(), c.reply.toHex());
    EXPECT_EQ(r.delayMs, c.delayMs);
    EXPECT_EQ(r.programmed.has_value(), c.programmed);
    EXPECT_EQ(sim.network() != config.network, c.programmed);
}

INSTANTIATE_TEST_SUITE_P(SimDevice, Faults, ::testing::ValuesIn(faultCases),
                         [](const auto &rowInfo) { return std::string(rowInfo.param.name); });

TEST(SimDevice, LaterCommandsSlotIntoTheTable) {
    SimDevice sim(device(22), testCodes());
    sim.addCommand(hex("60EE"), [](QByteArrayView request, Response &r) {
        r.reply = hex("2160EE") + QByteArray(request.sliced(2).toByteArray());
    });
    EXPECT_EQ(sim.handle(hex("60EE01")).reply, hex("2160EE01"));
    // The longer prefix wins over 60 0F, and 60 0F still works.
    EXPECT_EQ(sim.handle(hex("600F")).reply, hex("21600F160704"));
}

TEST(SimDevice, AnyBytesAreHandledWithinTheirBounds) {
    // Short, truncated and random requests built around every known prefix: never a crash
    // (the sanitizer build reads every byte), and only the 27-byte datagram changes state.
    const QList<QByteArray> prefixes = {hex("F5"),     hex("0F"),     hex("600F"), hex("0D00"),
                                        hex("5C0D00"), hex("600D00"), hex("F0"),   hex("F455AA"),
                                        hex("F8AA51"), hex("5C"),     hex("60"),   {}};
    QRandomGenerator rng(4711);
    for (const quint8 deviceClass : {6, 16, 17, 22, 27, 99}) {
        SimDevice sim(device(deviceClass), testCodes());
        for (const QByteArray &prefix : prefixes) {
            for (int length = 0; length <= 40; ++length) {
                QByteArray request = prefix.left(length);
                while (request.size() < length)
                    request.append(char(rng.bounded(256)));
                const Response r = sim.handle(request);
                if (r.programmed) {
                    EXPECT_EQ(request.size(), 27);
                }
                EXPECT_LT(r.reply.size(), 32);
            }
        }
    }
}

TEST(SimDevice, SerialLengthsAndAccessCodesByClass) {
    EXPECT_EQ(SerialLengthsOfClass(17, 1), (std::vector<int>{4, 6, 11}));
    EXPECT_EQ(SerialLengthsOfClass(6, 7), (std::vector<int>{4, 6, 11}));
    EXPECT_TRUE(SerialLengthsOfClass(6, 8).empty());
    EXPECT_EQ(SerialLengthsOfClass(27, 1), (std::vector<int>{6, 11}));
    EXPECT_EQ(SerialLengthsOfClass(21, 1), (std::vector<int>{6}));
    EXPECT_TRUE(SerialLengthsOfClass(25, 1).empty());
    const DeviceCodes codes = testCodes();
    for (const int c : {17, 22, 23})
        EXPECT_EQ(AccessCodeOfClass(quint8(c), codes), "LONGCODE") << c;
    for (const int c : {0, 1, 6, 16, 21, 24, 27, 255})
        EXPECT_EQ(AccessCodeOfClass(quint8(c), codes), "AB12") << c;
}

} // namespace
