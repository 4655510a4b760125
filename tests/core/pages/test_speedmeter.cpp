// The speed meter's read and write: request bytes, which replies are taken, the calibration
// text rule.

#include "pages/speedmeter.h"
#include "scriptedpagelink.h"

using namespace qev::speedmeter;

namespace {

struct ReadRow {
    const char *name;
    const char *reply; // nullptr: no answer
    std::optional<Reading> expected;
};

class SpeedMeterRead : public ::testing::TestWithParam<ReadRow> {};

TEST_P(SpeedMeterRead, TakesOnlyTheTwelveByteReply) {
    qevtest::ScriptedPageLink device(2);
    EXPECT_EQ(device.run("05", GetParam().reply, RequestSettings), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpeedMeterRead,
    ::testing::Values(
        ReadRow{"CalibrationHighByteFirst", "21 05 25 64 00 64 28 0F 09 0A 0B 0C",
                Reading{9572, 100, 40, 15}},
        ReadRow{"SecondByteNotLookedAt", "21 00 FF FF 00 05 64 05 00 00 00 00",
                Reading{65535, 5, 100, 5}},
        ReadRow{"ElevenBytes", "21 05 25 64 00 64 28 0F 00 00 00", std::nullopt},
        ReadRow{"ThirteenBytes", "21 05 25 64 00 64 28 0F 00 00 00 00 00", std::nullopt},
        ReadRow{"OtherLeadingByte", "3F 05 25 64 00 64 28 0F 00 00 00 00", std::nullopt},
        ReadRow{"NoAnswer", nullptr, std::nullopt}),
    qevtest::RowName{});

struct WriteRow {
    const char *name;
    const char *calibrationText;
    const char *request;
    const char *reply;
    bool accepted;
};

class SpeedMeterWrite : public ::testing::TestWithParam<WriteRow> {};

TEST_P(SpeedMeterWrite, SendsTwelveBytesAndTakesOnly2104) {
    const WriteRow &row = GetParam();
    Settings settings;
    settings.measuring.calibration = CalibrationFromText(QString::fromUtf8(row.calibrationText));
    settings.pause = 6;
    settings.maxTime = 30;
    qevtest::ScriptedPageLink device(2);
    EXPECT_EQ(device.run(row.request, row.reply,
                         [&](qev::DeviceLink &link) { return WriteSettings(link, settings); }),
              row.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpeedMeterWrite,
    ::testing::Values(
        WriteRow{"Calibration9572", "9572", "04 AA 55 25 64 01 64 28 0F 06 1E 01", "21 04", true},
        WriteRow{"NotANumberIs5400", "abc", "04 AA 55 15 18 01 64 28 0F 06 1E 01", "21 04", true},
        WriteRow{"EmptyIs5400", "", "04 AA 55 15 18 01 64 28 0F 06 1E 01", "21 04", true},
        WriteRow{"NegativeIs5400", "-5", "04 AA 55 15 18 01 64 28 0F 06 1E 01", "21 04", true},
        WriteRow{"BlanksAroundANumber", " 300 ", "04 AA 55 01 2C 01 64 28 0F 06 1E 01", "21 04",
                 true},
        WriteRow{"Above65535LowSixteenBits", "70000", "04 AA 55 11 70 01 64 28 0F 06 1E 01",
                 "21 04", true},
        WriteRow{"LongerThanAnyIntegerLowSixteenBits", "100000000000000000001",
                 "04 AA 55 00 01 01 64 28 0F 06 1E 01", "21 04", true},
        WriteRow{"ThreeByteAcknowledgement", "9572", "04 AA 55 25 64 01 64 28 0F 06 1E 01",
                 "21 04 00", false},
        WriteRow{"OtherCommandByte", "9572", "04 AA 55 25 64 01 64 28 0F 06 1E 01", "21 05", false},
        WriteRow{"NoAnswer", "9572", "04 AA 55 25 64 01 64 28 0F 06 1E 01", nullptr, false}),
    qevtest::RowName{});

} // namespace
