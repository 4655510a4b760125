// The manager's read and write: which replies are taken, the reserved booster's validity,
// and the write's length by whether the last read was taken.

#include "pages/manager.h"
#include "scriptedpagelink.h"

using namespace qev::manager;

namespace {

struct ReadRow {
    const char *name;
    const char *reply; // nullptr: no answer
    std::optional<Settings> expected;
    bool reserved;
};

class ManagerRead : public ::testing::TestWithParam<ReadRow> {};

TEST_P(ManagerRead, TakesOnlyTheSixByteReplyLedBy2199) {
    const ReadRow &row = GetParam();
    qevtest::ScriptedPageLink device(3);
    const std::optional<Settings> settings = device.run("99 33 99", row.reply, RequestSettings);
    EXPECT_EQ(settings, row.expected);
    EXPECT_EQ(settings && BoosterReserved(*settings), row.reserved);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ManagerRead,
    ::testing::Values(
        ReadRow{"ReservedOutputB", "21 99 01 00 05 02", Settings{true, false, 5, 2}, true},
        ReadRow{"ReservedOutputA", "21 99 00 01 3F 01", Settings{false, true, 63, 1}, true},
        ReadRow{"OutputThreeNotValid", "21 99 00 01 05 03", Settings{false, true, 5, 3}, false},
        ReadRow{"NoAddress", "21 99 00 00 00 01", Settings{false, false, 0, 1}, false},
        ReadRow{"FlagOnlyByOne", "21 99 02 FF 05 00", Settings{false, false, 5, 0}, false},
        ReadRow{"SevenBytes", "21 99 01 00 05 02 00", std::nullopt, false},
        ReadRow{"FiveBytes", "21 99 01 00 05", std::nullopt, false},
        ReadRow{"OtherCommandByte", "21 33 01 00 05 02", std::nullopt, false},
        ReadRow{"OtherLeadingByte", "3F 99 01 00 05 02", std::nullopt, false},
        ReadRow{"NoAnswer", nullptr, std::nullopt, false}),
    qevtest::RowName{});

struct WriteRow {
    const char *name;
    Settings settings;
    bool readAccepted;
    const char *request;
    const char *reply;
    bool accepted;
};

class ManagerWrite : public ::testing::TestWithParam<WriteRow> {};

TEST_P(ManagerWrite, SevenBytesOnlyAfterAnAcceptedRead) {
    const WriteRow &row = GetParam();
    qevtest::ScriptedPageLink device(3);
    EXPECT_EQ(device.run(row.request, row.reply,
                         [&](qev::DeviceLink &link) {
                             return WriteSettings(link, row.settings, row.readAccepted);
                         }),
              row.accepted);
}

INSTANTIATE_TEST_SUITE_P(Rows, ManagerWrite,
                         ::testing::Values(WriteRow{"AfterARead", Settings{true, false, 5, 2}, true,
                                                    "99 AA 55 01 00 05 02", "21 99", true},
                                           WriteRow{"AfterAReadNoBooster",
                                                    Settings{false, true, 0, 0}, true,
                                                    "99 AA 55 00 01 00 00", "21 99", true},
                                           WriteRow{"WithoutARead", Settings{true, true, 5, 2},
                                                    false, "99 AA 55 01 01", "21 99", true},
                                           WriteRow{"ThreeByteAcknowledgement", Settings{}, false,
                                                    "99 AA 55 00 00", "21 99 00", false},
                                           WriteRow{"OtherLeadingByte", Settings{}, false,
                                                    "99 AA 55 00 00", "3F 99", false},
                                           WriteRow{"NoAnswer", Settings{}, true,
                                                    "99 AA 55 00 00 00 00", nullptr, false}),
                         qevtest::RowName{});

} // namespace
