#include "devicelink/netsettings.h"

#include "fakehostnetwork.h"

#include <QByteArray>
#include <array>
#include <gtest/gtest.h>

using namespace qev;

namespace {

// The PC of these tests: 192.168.0.5 in a class C network.
class OnPc : public testing::Test {
protected:
    OnPc() { host.setLocalIP(QStringLiteral("192.168.0.5")); }
    qevtest::FakeHostNetwork host;
};

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// ---- The datagram ----

struct DatagramRow {
    const char *name;
    NetSettingsInput input;
    QByteArray expected; // all 27 bytes
    QString portText;    // the port field afterwards
};

void PrintTo(const DatagramRow &row, std::ostream *os) {
    *os << row.name;
}

NetSettingsInput lucento(quint8 currentClass) {
    NetSettingsInput in;
    in.currentClass = currentClass;
    in.address = QStringLiteral("192.168.0.77");
    in.mask = QStringLiteral("255.255.255.0");
    in.port = QStringLiteral("11080");
    in.deviceType = DeviceTypeLucento;
    return in;
}

NetSettingsInput with(NetSettingsInput in, void (*change)(NetSettingsInput &)) {
    change(in);
    return in;
}

class Datagram : public OnPc, public testing::WithParamInterface<DatagramRow> {};

TEST_P(Datagram, Bytes) {
    const DatagramRow &row = GetParam();
    std::array<quint8, 64> buffer;
    buffer.fill(0xEE); // a previous reply must not leak into the datagram
    const NetSettingsDatagram d = BuildNetSettings(buffer, row.input);
    ASSERT_EQ(d.length, 27);
    const QByteArray sent(reinterpret_cast<const char *>(buffer.data()), 27);
    EXPECT_EQ(sent.toHex(' '), row.expected.toHex(' '));
    for (std::size_t k = 27; k < buffer.size(); ++k)
        EXPECT_EQ(buffer[k], 0) << k;
    EXPECT_EQ(d.portText, row.portText);
    EXPECT_EQ(d.port, (quint16(quint8(row.expected[17])) << 8) | quint8(row.expected[18]));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(d.mac.data()), 6), row.expected.mid(11, 6));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Datagram,
    testing::Values(
        DatagramRow{"LucentoClass22", lucento(22),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B48 00000000 00000000"),
                    QStringLiteral("11080")},
        DatagramRow{"Class3TakesOldHeader", lucento(3),
                    hex("F455AA C0A8004D FFFFFF00 02817E00004D 2B48 00000000 00000000"),
                    QStringLiteral("11080")},
        DatagramRow{"Class1", lucento(1),
                    hex("F455AA C0A8004D FFFFFF00 02817E00004D 2B48") + QByteArray(8, 0),
                    QStringLiteral("11080")},
        DatagramRow{"Class2", lucento(2),
                    hex("F455AA C0A8004D FFFFFF00 02817E00004D 2B48") + QByteArray(8, 0),
                    QStringLiteral("11080")},
        DatagramRow{"Class7", lucento(7),
                    hex("F455AA C0A8004D FFFFFF00 02817E00004D 2B48") + QByteArray(8, 0),
                    QStringLiteral("11080")},
        DatagramRow{"Class0", lucento(0),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B48") + QByteArray(8, 0),
                    QStringLiteral("11080")},
        DatagramRow{
            "MacCollisionTakesFirstFreeEnding",
            with(lucento(22),
                 [](NetSettingsInput &in) {
                     in.arpMacs = {QStringLiteral("001122334455"), QStringLiteral("02817E00004D")};
                 }),
            hex("F8AA51 C0A8004D FFFFFF00 02817E000001 2B48") + QByteArray(8, 0),
            QStringLiteral("11080")},
        DatagramRow{"MacCollisionSkipsTakenEndings",
                    with(lucento(22),
                         [](NetSettingsInput &in) {
                             in.arpMacs = {QStringLiteral("02817e00004d"),
                                           QStringLiteral("02817E000001"),
                                           QStringLiteral("02817E000002")};
                         }),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E000003 2B48") + QByteArray(8, 0),
                    QStringLiteral("11080")},
        DatagramRow{"AllEndingsTakenKeepsTheMac",
                    with(lucento(22),
                         [](NetSettingsInput &in) {
                             for (int last = 0; last <= 255; ++last)
                                 in.arpMacs.append(QStringLiteral("02817E0000%1")
                                                       .arg(last, 2, 16, QLatin1Char('0'))
                                                       .toUpper());
                         }),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B48") + QByteArray(8, 0),
                    QStringLiteral("11080")},
        DatagramRow{
            "SpurnovaOnBasePortMovesUp",
            with(lucento(22), [](NetSettingsInput &in) { in.deviceType = DeviceTypeSpurnova; }),
            hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B49") + QByteArray(8, 0),
            QStringLiteral("11081")},
        DatagramRow{"GlimnetWithTextPortMovesUp",
                    with(lucento(22),
                         [](NetSettingsInput &in) {
                             in.deviceType = DeviceTypeGlimnet;
                             in.port = QStringLiteral("abc");
                         }),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B49") + QByteArray(8, 0),
                    QStringLiteral("11081")},
        DatagramRow{"FerranoKeepsALowPort",
                    with(lucento(16),
                         [](NetSettingsInput &in) {
                             in.deviceType = DeviceTypeFerrano;
                             in.port = QStringLiteral("10001");
                         }),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2711") + QByteArray(8, 0),
                    QStringLiteral("10001")},
        DatagramRow{"KoplaKeepsAHigherPort",
                    with(lucento(3),
                         [](NetSettingsInput &in) {
                             in.deviceType = DeviceTypeKopla;
                             in.port = QStringLiteral("11082");
                         }),
                    hex("F455AA C0A8004D FFFFFF00 02817E00004D 2B4A") + QByteArray(8, 0),
                    QStringLiteral("11082")},
        DatagramRow{"GatewayWithoutBrokerSendsNeither",
                    with(lucento(22),
                         [](NetSettingsInput &in) { in.gateway = QStringLiteral("192.168.0.1"); }),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B48 00000000 00000000"),
                    QStringLiteral("11080")},
        DatagramRow{"BrokerWithoutGatewaySendsNeither",
                    with(lucento(22),
                         [](NetSettingsInput &in) { in.broker = QStringLiteral("192.168.0.2"); }),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B48 00000000 00000000"),
                    QStringLiteral("11080")},
        DatagramRow{"GatewayAndBroker",
                    with(lucento(22),
                         [](NetSettingsInput &in) {
                             in.gateway = QStringLiteral("192.168.0.1");
                             in.broker = QStringLiteral("192.168.0.2");
                         }),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B48 C0A80001 C0A80002"),
                    QStringLiteral("11080")},
        DatagramRow{"Class17HasNoBroker",
                    with(lucento(17),
                         [](NetSettingsInput &in) {
                             in.deviceType = DeviceTypeFerrano;
                             in.gateway = QStringLiteral("192.168.0.1");
                             in.broker = QStringLiteral("192.168.0.2");
                         }),
                    hex("F8AA51 C0A8004D FFFFFF00 02817E00004D 2B48 C0A80001 00000000"),
                    QStringLiteral("11080")},
        DatagramRow{"MacFollowsTheNewAddress",
                    with(lucento(22),
                         [](NetSettingsInput &in) {
                             in.address = QStringLiteral("10.20.30.40");
                             in.mask = QStringLiteral("255.0.0.0");
                         }),
                    hex("F8AA51 0A141E28 FF000000 02817E001E28 2B48") + QByteArray(8, 0),
                    QStringLiteral("11080")}));

TEST(DatagramBuffer, TooSmallBufferIsLeftAlone) {
    std::array<quint8, 26> buffer;
    buffer.fill(0xEE);
    NetSettingsInput in;
    in.address = QStringLiteral("192.168.0.77");
    EXPECT_EQ(BuildNetSettings(buffer, in).length, 0);
    for (quint8 b : buffer)
        EXPECT_EQ(b, 0xEE);
}

// ---- UpdateWriteButton ----

struct WriteRow {
    const char *name;
    void (*change)(WriteButtonInput &);
    bool enabled;
};

void PrintTo(const WriteRow &row, std::ostream *os) {
    *os << row.name;
}

class WriteButton : public OnPc, public testing::WithParamInterface<WriteRow> {};

TEST_P(WriteButton, Rule) {
    WriteButtonInput in;
    in.programmingAllowed = true;
    in.address = QStringLiteral("192.168.0.77");
    in.mask = QStringLiteral("255.255.255.0");
    in.port = QStringLiteral("11081");
    in.deviceType = DeviceTypeSpurnova;
    GetParam().change(in);
    EXPECT_EQ(WriteButtonEnabled(in), GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WriteButton,
    testing::Values(
        WriteRow{"AllConditionsHold", [](WriteButtonInput &) {}, true},
        WriteRow{"NotAllowed", [](WriteButtonInput &in) { in.programmingAllowed = false; }, false},
        WriteRow{"GlimnetOnBasePort",
                 [](WriteButtonInput &in) {
                     in.deviceType = DeviceTypeGlimnet;
                     in.port = QStringLiteral("11080");
                 },
                 false},
        WriteRow{"FerranoOnBasePort",
                 [](WriteButtonInput &in) {
                     in.deviceType = DeviceTypeFerrano;
                     in.port = QStringLiteral("11080");
                 },
                 true},
        WriteRow{"LucentoOnBasePort",
                 [](WriteButtonInput &in) {
                     in.deviceType = DeviceTypeLucento;
                     in.port = QStringLiteral("11080");
                 },
                 true},
        WriteRow{"Port10000",
                 [](WriteButtonInput &in) {
                     in.deviceType = DeviceTypeFerrano;
                     in.port = QStringLiteral("10000");
                 },
                 false},
        WriteRow{"Port10001Ferrano",
                 [](WriteButtonInput &in) {
                     in.deviceType = DeviceTypeFerrano;
                     in.port = QStringLiteral("10001");
                 },
                 true},
        WriteRow{"PortNotANumber", [](WriteButtonInput &in) { in.port = QStringLiteral("11o81"); },
                 false},
        WriteRow{"Port65535", [](WriteButtonInput &in) { in.port = QStringLiteral("65535"); },
                 true},
        WriteRow{"PortAbove16Bits", [](WriteButtonInput &in) { in.port = QStringLiteral("76617"); },
                 false},
        WriteRow{"NoDeviceType", [](WriteButtonInput &in) { in.deviceType = DeviceTypeNone; },
                 false},
        WriteRow{"MaskDoesNotCoverAddress",
                 [](WriteButtonInput &in) {
                     in.address = QStringLiteral("192.168.1.5");
                     in.mask = QStringLiteral("255.255.0.0");
                 },
                 false},
        WriteRow{"EmptyMask", [](WriteButtonInput &in) { in.mask.clear(); }, false},
        WriteRow{"ForeignNetworkCompleteAddress",
                 [](WriteButtonInput &in) {
                     in.address = QStringLiteral("10.1.2.3");
                     in.mask = QStringLiteral("255.0.0.0");
                 },
                 true},
        WriteRow{"PartlyTypedAddress",
                 [](WriteButtonInput &in) { in.address = QStringLiteral("192.168.0"); }, false},
        WriteRow{"EmptyAddress", [](WriteButtonInput &in) { in.address.clear(); }, false},
        WriteRow{"GatewayInForeignNet",
                 [](WriteButtonInput &in) { in.gateway = QStringLiteral("10.0.0.1"); }, false},
        WriteRow{"GatewayInNeighbourSubnet",
                 [](WriteButtonInput &in) { in.gateway = QStringLiteral("192.168.1.1"); }, true},
        WriteRow{"BrokerInForeignNet",
                 [](WriteButtonInput &in) { in.broker = QStringLiteral("172.16.0.1"); }, false}));

// ---- Field verdicts ----

FieldVerdict label(FieldColour colour, int id) {
    return {colour, id, true, true};
}

struct AddressRow {
    QString text;
    FieldVerdict verdict;
    bool pinged;
};

void PrintTo(const AddressRow &row, std::ostream *os) {
    *os << '"' << row.text.toStdString() << '"';
}

class NewAddress : public OnPc, public testing::WithParamInterface<AddressRow> {};

TEST_P(NewAddress, Verdict) {
    host.setAnswering({QStringLiteral("192.168.0.77")});
    const AddressRow &row = GetParam();
    const NewAddressVerdict v = ValidateNewIP(row.text, false, Ping);
    EXPECT_EQ(v.field, row.verdict);
    EXPECT_EQ(v.netmask, DefaultNetmask(row.text));
    using Call = qevtest::FakeHostNetwork::PingCall;
    const QList<Call> expected = row.pinged ? QList<Call>{{row.text, 600}} : QList<Call>{};
    EXPECT_EQ(host.pingCalls(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NewAddress,
    testing::Values(
        AddressRow{QStringLiteral("10.0.0.1"), label(FieldColour::Good, IDS_128), false},
        AddressRow{QStringLiteral("192.168.1.50"), label(FieldColour::Good, IDS_128), false},
        AddressRow{QStringLiteral("192.168.0"), label(FieldColour::Incomplete, IDS_127), false},
        AddressRow{QStringLiteral("192.168.0.77"), label(FieldColour::Wrong, IDS_126), true},
        AddressRow{QStringLiteral("192.168.0.78"), label(FieldColour::Good, 0), true}));

TEST_F(OnPc, NewAddressPresetsTheClassMaskAndHidesLastValuesOnlyWhenTyped) {
    const PingFunction silent = [](const QString &, int) {
        return false;
    };
    EXPECT_EQ(ValidateNewIP(QStringLiteral("192.168.0.9"), false, silent).netmask,
              QStringLiteral("255.255.255.0"));
    EXPECT_EQ(ValidateNewIP(QStringLiteral("10.1.2.3"), false, silent).netmask,
              QStringLiteral("255.0.0.0"));
    EXPECT_EQ(ValidateNewIP(QStringLiteral("10.1.2"), false, silent).netmask, QString());
    EXPECT_TRUE(ValidateNewIP(QStringLiteral("192.168.0.9"), false, silent).hideLastValue);
    EXPECT_FALSE(ValidateNewIP(QStringLiteral("192.168.0"), true, silent).hideLastValue);
    EXPECT_FALSE(ValidateNewIP(QString(), false, silent).hideLastValue);
}

struct MaskRow {
    QString address;
    QString mask;
    FieldVerdict verdict;
};

void PrintTo(const MaskRow &row, std::ostream *os) {
    *os << row.address.toStdString() << '/' << row.mask.toStdString();
}

class Netmask : public OnPc, public testing::WithParamInterface<MaskRow> {};

TEST_P(Netmask, Verdict) {
    EXPECT_EQ(ValidateNetmask(GetParam().address, GetParam().mask), GetParam().verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Netmask,
    testing::Values(MaskRow{QStringLiteral("10.0.0.1"), QStringLiteral("255.0.0.0"),
                            label(FieldColour::Incomplete, IDS_131)},
                    MaskRow{QStringLiteral("192.168.0"), QString(),
                            label(FieldColour::Incomplete, IDS_127)},
                    MaskRow{QStringLiteral("192.168.0.77"), QStringLiteral("255.255.255.0"),
                            label(FieldColour::Good, 0)},
                    // In the PC's own network any mask passes.
                    MaskRow{QStringLiteral("192.168.0.77"), QString(), label(FieldColour::Good, 0)},
                    MaskRow{QStringLiteral("192.168.1.77"), QStringLiteral("255.255.255.0"),
                            label(FieldColour::Good, 0)},
                    MaskRow{QStringLiteral("192.168.1.77"), QStringLiteral("255.255.0.0"),
                            label(FieldColour::Wrong, IDS_129)}));

struct OptionalRow {
    QString text;
    FieldVerdict verdict;
    int pings;
};

void PrintTo(const OptionalRow &row, std::ostream *os) {
    *os << '"' << row.text.toStdString() << '"';
}

class GatewayOrBroker : public OnPc, public testing::WithParamInterface<OptionalRow> {};

TEST_P(GatewayOrBroker, Verdict) {
    host.setAnswering({QStringLiteral("192.168.0.1")});
    EXPECT_EQ(ValidateOptionalAddress(GetParam().text, Ping), GetParam().verdict);
    EXPECT_EQ(host.pingCalls().size(), GetParam().pings);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GatewayOrBroker,
    testing::Values(
        OptionalRow{QString(), FieldVerdict{}, 0},
        OptionalRow{QStringLiteral("10.0.0.1"), label(FieldColour::Wrong, IDS_128), 0},
        OptionalRow{QStringLiteral("192.168.1"), label(FieldColour::Incomplete, IDS_127), 0},
        OptionalRow{QStringLiteral("192.168.0.1"), label(FieldColour::Good, IDS_132), 1},
        OptionalRow{QStringLiteral("192.168.1.1"), label(FieldColour::Wrong, IDS_133), 1}));

// ---- Device type and port field ----

struct TypeRow {
    int type;
    std::optional<QString> port;
    bool portVisible;
    QString label78;
    FieldColour colour;
};

void PrintTo(const TypeRow &row, std::ostream *os) {
    *os << "type " << row.type;
}

class DeviceTypeTable : public testing::TestWithParam<TypeRow> {};

TEST_P(DeviceTypeTable, PortPresetAndLabel) {
    const TypeRow &row = GetParam();
    const DeviceTypeEffect e = DeviceTypeChanged(row.type, QStringLiteral("12345"));
    EXPECT_EQ(e.portText, row.port);
    EXPECT_EQ(e.portFieldVisible, row.portVisible);
    EXPECT_EQ(e.label78, row.label78);
    EXPECT_EQ(e.colour, row.colour);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeviceTypeTable,
    testing::Values(
        TypeRow{0, std::nullopt, false, QString(), FieldColour::Wrong},
        TypeRow{1, QStringLiteral("11081"), false, QStringLiteral("(11081)"), FieldColour::Good},
        TypeRow{2, QStringLiteral("11080"), true, QStringLiteral("(11080)"), FieldColour::Good},
        TypeRow{3, QStringLiteral("11080"), false, QStringLiteral("(11080)"), FieldColour::Good},
        TypeRow{4, QStringLiteral("11081"), false, QStringLiteral("(11081)"), FieldColour::Good},
        TypeRow{5, QStringLiteral("11082"), false, QStringLiteral("(11082)"), FieldColour::Good},
        TypeRow{6, QStringLiteral("11082"), false, QStringLiteral("(11082)"), FieldColour::Good},
        TypeRow{-1, std::nullopt, false, QStringLiteral("(12345)"), FieldColour::Wrong}));

TEST(PortField, ColourByRange) {
    const std::pair<const char *, FieldColour> rows[] = {
        {"9999", FieldColour::Wrong}, {"10000", FieldColour::Good},  {"11080", FieldColour::Good},
        {"65535", FieldColour::Good}, {"65536", FieldColour::Wrong}, {"", FieldColour::Wrong},
        {"abc", FieldColour::Wrong},  {"-11080", FieldColour::Wrong}};
    for (const auto &[text, colour] : rows)
        EXPECT_EQ(PortFieldColour(QString::fromLatin1(text)), colour) << text;
}

// ---- Confirmation ----

TEST(Confirmation, TextByDeviceType) {
    const auto text = [](int type) {
        return ComposeText(ProgrammingConfirmation(type).text,
                           [](int id) { return QStringLiteral("<%1>").arg(id); });
    };
    EXPECT_EQ(text(DeviceTypeFerrano), QStringLiteral("<125>\r\n\n<101>\r\n<102>"));
    EXPECT_EQ(text(DeviceTypeLucento), QStringLiteral("<125>\r\n\n<101>\r\n<102>"));
    EXPECT_EQ(text(DeviceTypeSpurnova), QStringLiteral("<100>\r\n\n<101>\r\n<102>"));
    EXPECT_EQ(text(DeviceTypeGlimnet), QStringLiteral("<100>\r\n\n<101>\r\n<102>"));
    EXPECT_EQ(ProgrammingConfirmation(DeviceTypeFerrano).captionId, IDS_103);
}

} // namespace
