#include "devicelink/replies.h"

#include "udppeer.h"

#include <gtest/gtest.h>

#include <array>

using namespace qev;
using qevtest::hexBytes;

namespace {

std::span<const quint8> bytesOf(const QByteArray &bytes) {
    return {reinterpret_cast<const quint8 *>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// ---- discovery reply ----

struct DiscoveryRow {
    const char *name;
    const char *reply;
    bool accepted;
};

class DiscoveryReply : public ::testing::TestWithParam<DiscoveryRow> {};

const char *const GoodDiscovery = "21 F5 C0 A8 00 4D FF FF FF 00 02 81 7E 00 00 4D 2B 49";

TEST_P(DiscoveryReply, AcceptsOnlyLongEnoughRepliesLedBy21F5) {
    const DiscoveryRow &row = GetParam();
    const std::optional<DeviceRecord> record = ReadDiscoveryReply(bytesOf(hexBytes(row.reply)));
    ASSERT_EQ(record.has_value(), row.accepted);
    if (!row.accepted)
        return;
    EXPECT_EQ(record->address, "192.168.0.77");
    EXPECT_EQ(record->netmask, "255.255.255.0");
    EXPECT_EQ(record->mac, (MacBytes{0x02, 0x81, 0x7E, 0x00, 0x00, 0x4D}));
    EXPECT_EQ(record->port, 11081);
    EXPECT_EQ(record->deviceClass, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DiscoveryReply,
    ::testing::Values(
        DiscoveryRow{"exactly18", GoodDiscovery, true},
        DiscoveryRow{"trailingBytesIgnored",
                     "21 F5 C0 A8 00 4D FF FF FF 00 02 81 7E 00 00 4D 2B 49 11 22 33", true},
        DiscoveryRow{"oneByteShort", "21 F5 C0 A8 00 4D FF FF FF 00 02 81 7E 00 00 4D 2B", false},
        DiscoveryRow{"wrongLead", "20 F5 C0 A8 00 4D FF FF FF 00 02 81 7E 00 00 4D 2B 49", false},
        DiscoveryRow{"wrongCommand", "21 F4 C0 A8 00 4D FF FF FF 00 02 81 7E 00 00 4D 2B 49",
                     false},
        DiscoveryRow{"requestEcho", "F5", false}, DiscoveryRow{"empty", "", false}),
    [](const auto &rowInfo) { return std::string(rowInfo.param.name); });

TEST(DiscoveryReplyFields, PortIsHighByteFirst) {
    QByteArray reply = hexBytes(GoodDiscovery);
    reply[16] = char(0x00);
    reply[17] = char(0x00);
    EXPECT_EQ(ReadDiscoveryReply(bytesOf(reply))->port, 0);
    reply[16] = char(0xFF);
    reply[17] = char(0x01);
    EXPECT_EQ(ReadDiscoveryReply(bytesOf(reply))->port, 0xFF01);
}

// The reader must stop at the byte count even when the bytes behind it look like a reply.
TEST(DiscoveryReplyFields, ReadsOnlyTheBytesReceived) {
    const QByteArray buffer = hexBytes(GoodDiscovery);
    EXPECT_FALSE(ReadDiscoveryReply(bytesOf(buffer).first(17)).has_value());
}

// ---- identification ----

struct IdentifyRow {
    const char *name;
    IdentifyForm form;
    const char *reply;
    bool accepted;
    int deviceClass;
    int major;
    int minor;
};

class IdentifyReplyRows : public ::testing::TestWithParam<IdentifyRow> {};

TEST_P(IdentifyReplyRows, ReadsClassAndVersionAtTheFormsPositions) {
    const IdentifyRow &row = GetParam();
    const IdentifyReply reply = ReadIdentifyReply(row.form, bytesOf(hexBytes(row.reply)));
    EXPECT_EQ(reply.accepted, row.accepted);
    EXPECT_EQ(reply.deviceClass, row.deviceClass);
    EXPECT_EQ(reply.versionMajor, row.major);
    EXPECT_EQ(reply.versionMinor, row.minor);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IdentifyReplyRows,
    ::testing::Values(
        IdentifyRow{"shortForm", IdentifyForm::Short, "21 0F 11 07 04", true, 17, 7, 4},
        IdentifyRow{"shortFormLong", IdentifyForm::Short, "21 0F 03 02 09 AA BB", true, 3, 2, 9},
        IdentifyRow{"leadNotExamined", IdentifyForm::Short, "00 00 02 01 05", true, 2, 1, 5},
        IdentifyRow{"class6Major7Is17", IdentifyForm::Short, "21 0F 06 07 03", true, 17, 7, 3},
        IdentifyRow{"class6Major6Stays", IdentifyForm::Short, "21 0F 06 06 03", true, 6, 6, 3},
        IdentifyRow{"class7Major6Stays", IdentifyForm::Short, "21 0F 07 06 03", true, 7, 6, 3},
        // Four bytes are not a reply, so no rewrite either; the positions are still read.
        IdentifyRow{"fourBytes", IdentifyForm::Short, "21 0F 06 07", false, 6, 7, 0},
        IdentifyRow{"twoBytes", IdentifyForm::Short, "21 0F", false, 0, 0, 0},
        IdentifyRow{"empty", IdentifyForm::Short, "", false, 0, 0, 0},
        IdentifyRow{"extendedForm", IdentifyForm::Extended, "21 60 0F 16 01 02", true, 22, 1, 2},
        IdentifyRow{"extendedFiveBytes", IdentifyForm::Extended, "21 60 0F 18 03", true, 24, 3, 0},
        // The rewrite changes byte 2 only, which the extended form does not read.
        IdentifyRow{"extendedRewriteUnseen", IdentifyForm::Extended, "21 60 06 07 05 01", true, 7,
                    5, 1},
        IdentifyRow{"extendedFourBytes", IdentifyForm::Extended, "21 60 0F 16", false, 22, 0, 0}),
    [](const auto &rowInfo) { return std::string(rowInfo.param.name); });

TEST(IdentifyRequest, ShortAndExtendedForms) {
    std::array<quint8, 4> buffer{};
    ASSERT_EQ(BuildIdentifyRequest(IdentifyForm::Short, buffer), 1u);
    EXPECT_EQ(buffer[0], 0x0F);
    buffer.fill(0);
    ASSERT_EQ(BuildIdentifyRequest(IdentifyForm::Extended, buffer), 2u);
    EXPECT_EQ(buffer[0], 0x60);
    EXPECT_EQ(buffer[1], 0x0F);
}

// ---- serial number ----

struct SerialRow {
    const char *name;
    int deviceClass;
    const char *reply;
    const char *serial; // nullptr: not accepted
};

class SerialReplyRows : public ::testing::TestWithParam<SerialRow> {};

TEST_P(SerialReplyRows, GivesTheSerialInDisplayOrder) {
    const SerialRow &row = GetParam();
    const std::optional<QByteArray> serial =
        ReadSerialReply(static_cast<quint8>(row.deviceClass), bytesOf(hexBytes(row.reply)));
    if (!row.serial) {
        EXPECT_FALSE(serial.has_value()) << serial.value_or("").toHex().constData();
        return;
    }
    ASSERT_TRUE(serial.has_value());
    EXPECT_EQ(serial->toHex(' ').toUpper(), QByteArray(row.serial));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SerialReplyRows,
    ::testing::Values(
        // Class 17 shows its six bytes last byte first.
        SerialRow{"c17len6", 17, "21 0D 01 06 A1 A2 A3 A4 A5 A6", "A6 A5 A4 A3 A2 A1"},
        SerialRow{"c17len4", 17, "21 0D 01 04 A1 A2 A3 A4 A5 A6", "A6 A5 A4 A3 A2 A1"},
        SerialRow{"c17len11", 17, "21 0D 01 0B A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB",
                  "A6 A5 A4 A3 A2 A1"},
        SerialRow{"c17len5", 17, "21 0D 01 05 A1 A2 A3 A4 A5 A6", nullptr},
        SerialRow{"c17notOne", 17, "21 0D 02 06 A1 A2 A3 A4 A5 A6", nullptr},
        SerialRow{"c17fourBytes", 17, "21 0D 01 06", nullptr},
        // Bytes past the reply read as the cleared buffer holds them.
        SerialRow{"c17short", 17, "21 0D 01 06 A1 A2", "00 00 00 00 A2 A1"},
        SerialRow{"c16len6", 16, "21 5C 0D 01 06 B1 B2 B3 B4 B5 B6", "B1 B2 B3 B4 B5 B6"},
        SerialRow{"c27len6", 27, "21 5C 0D 01 06 B1 B2 B3 B4 B5 B6 FF", "B1 B2 B3 B4 B5 B6"},
        SerialRow{"c27len11", 27, "21 5C 0D 01 0B C1 C2 C3 C4 C5 C6 C7 C8 C9 CA CB",
                  "C1 C2 C3 C4 C5 C6 C7 C8 C9 CA CB"},
        SerialRow{"c16len11", 16, "21 5C 0D 01 0B C1 C2 C3 C4 C5 C6 C7 C8 C9 CA CB",
                  "C1 C2 C3 C4 C5 C6 C7 C8 C9 CA CB"},
        SerialRow{"c16len11Truncated", 16, "21 5C 0D 01 0B C1 C2",
                  "C1 C2 00 00 00 00 00 00 00 00 00"},
        SerialRow{"c16len7", 16, "21 5C 0D 01 07 B1 B2 B3 B4 B5 B6", nullptr},
        SerialRow{"c16notOne", 16, "21 5C 0D 00 06 B1 B2 B3 B4 B5 B6", nullptr},
        SerialRow{"c22len6", 22, "21 60 0D 01 06 D1 D2 D3 D4 D5 D6", "D1 D2 D3 D4 D5 D6"},
        SerialRow{"c24len6", 24, "21 60 0D 01 06 D1 D2 D3 D4 D5 D6", "D1 D2 D3 D4 D5 D6"},
        SerialRow{"c23len11", 23, "21 60 0D 01 0B D1 D2 D3 D4 D5 D6 D7 D8 D9 DA DB", nullptr},
        SerialRow{"c3none", 3, "21 0D 01 06 A1 A2 A3 A4 A5 A6", nullptr},
        SerialRow{"c21none", 21, "21 60 0D 01 06 D1 D2 D3 D4 D5 D6", nullptr}),
    [](const auto &rowInfo) { return std::string(rowInfo.param.name); });

struct SerialRequestRow {
    int deviceClass;
    const char *request; // empty: none
};

class SerialRequestRows : public ::testing::TestWithParam<SerialRequestRow> {};

TEST_P(SerialRequestRows, BuildsTheClassesRequest) {
    std::array<quint8, 8> buffer{};
    const std::size_t length =
        BuildSerialRequest(static_cast<quint8>(GetParam().deviceClass), buffer);
    const QByteArray sent(reinterpret_cast<const char *>(buffer.data()),
                          static_cast<qsizetype>(length));
    EXPECT_EQ(sent, hexBytes(GetParam().request));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SerialRequestRows,
    ::testing::Values(SerialRequestRow{17, "0D 00"}, SerialRequestRow{16, "5C 0D 00"},
                      SerialRequestRow{27, "5C 0D 00"}, SerialRequestRow{22, "60 0D 00"},
                      SerialRequestRow{23, "60 0D 00"}, SerialRequestRow{24, "60 0D 00"},
                      SerialRequestRow{0, ""}, SerialRequestRow{3, ""}, SerialRequestRow{6, ""},
                      SerialRequestRow{21, ""}, SerialRequestRow{25, ""}));

} // namespace
