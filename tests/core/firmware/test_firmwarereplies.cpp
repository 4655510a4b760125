// The acceptance rules of the firmware replies and the end state of each outcome.

#include "firmware/firmwareinstall.h"

#include <gtest/gtest.h>
#include <vector>

using namespace qev;

namespace {

std::vector<quint8> hex(const char *text) {
    const QByteArray b = QByteArray::fromHex(text);
    return {b.begin(), b.end()};
}

TEST(TwoByteAck, OnlyExactlyTwoBytesLedBy21) {
    EXPECT_TRUE(IsTwoByteAck(hex("21F3")));
    EXPECT_TRUE(IsTwoByteAck(hex("2100")));
    EXPECT_FALSE(IsTwoByteAck(hex("")));
    EXPECT_FALSE(IsTwoByteAck(hex("21")));
    EXPECT_FALSE(IsTwoByteAck(hex("21F300")));
    EXPECT_FALSE(IsTwoByteAck(hex("3FF0")));
}

struct ReadRow {
    const char *name;
    std::vector<quint8> reply;
    BlockReadVerdict verdict;
};

QByteArray expectedBlock() {
    QByteArray block(512, '\0');
    for (int i = 0; i < 512; ++i)
        block[i] = char(i * 7 + 3);
    return block;
}

std::vector<quint8> dataReply(std::size_t size, int changeAt = -1) {
    const QByteArray block = expectedBlock();
    std::vector<quint8> reply{0x21, 0xF2, 0x05};
    reply.insert(reply.end(), block.begin(), block.end());
    if (changeAt >= 0)
        reply[3 + changeAt] ^= 0x01;
    reply.resize(size, 0xEE);
    return reply;
}

class BlockRead : public testing::TestWithParam<ReadRow> {};

TEST_P(BlockRead, Verdict) {
    EXPECT_EQ(ReadBlockReply(GetParam().reply, expectedBlock()), GetParam().verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, BlockRead,
    testing::Values(ReadRow{"equal", dataReply(515), BlockReadVerdict::Equal},
                    ReadRow{"equal_with_tail", dataReply(600), BlockReadVerdict::Equal},
                    ReadRow{"first_byte_differs", dataReply(515, 0), BlockReadVerdict::Differs},
                    ReadRow{"last_byte_differs", dataReply(515, 511), BlockReadVerdict::Differs},
                    ReadRow{"one_byte_short", dataReply(514), BlockReadVerdict::Differs},
                    ReadRow{"five_bytes", dataReply(5), BlockReadVerdict::Differs},
                    ReadRow{"two_byte_ack", hex("21F2"), BlockReadVerdict::Acknowledged},
                    ReadRow{"four_bytes_led_by_21", hex("21F20500"),
                            BlockReadVerdict::Acknowledged},
                    ReadRow{"one_byte_21", hex("21"), BlockReadVerdict::Acknowledged},
                    ReadRow{"nothing", hex(""), BlockReadVerdict::Error},
                    ReadRow{"two_bytes_other", hex("3FF2"), BlockReadVerdict::Error},
                    ReadRow{"four_bytes_other", hex("F2050000"), BlockReadVerdict::Error}),
    [](const testing::TestParamInfo<ReadRow> &p) { return std::string(p.param.name); });

struct EndRow {
    const char *name;
    InstallOutcome outcome;
    int block;
    bool failed;
    bool installEnabled;
    ErrorLabel label;
    const char *suffix;
    bool beep;
    bool clearFileField;
};

class EndState : public testing::TestWithParam<EndRow> {};

using O = InstallOutcome;
using L = ErrorLabel;

TEST_P(EndState, Table) {
    const EndRow row = GetParam();
    const InstallResult r = ConcludeInstall(row.outcome, row.block);
    EXPECT_EQ(r.failed, row.failed);
    EXPECT_EQ(r.installEnabled, row.installEnabled);
    EXPECT_EQ(r.errorLabel, row.label);
    EXPECT_EQ(r.errorSuffix, QString::fromLatin1(row.suffix));
    EXPECT_EQ(r.beep, row.beep);
    EXPECT_EQ(r.clearFileField, row.clearFileField);
    // Only a device that never came back ends with the failure indication of the window.
    EXPECT_EQ(r.failureIndication, row.outcome == O::NoComeback);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, EndState,
    testing::Values(
        EndRow{"finished", O::Finished, 0, false, true, L::None, "", false, true},
        EndRow{"file_missing", O::FileMissing, 0, false, true, L::None, "", false, false},
        EndRow{"file_unusable", O::FileUnusable, 0, true, true, L::FileCorrupt, "", true, false},
        EndRow{"access_refused", O::AccessRefused, 0, false, false, L::AccessRefused, "", false,
               false},
        EndRow{"corrupt", O::ImageCorrupt, 0, true, true, L::FileCorrupt, "", true, false},
        EndRow{"write", O::BlockWriteFailed, 12, true, true, L::TransferError, ": Block Write: 12",
               true, false},
        EndRow{"read", O::BlockReadDiffers, 255, true, true, L::TransferError, ": Block Read: 255",
               true, false},
        EndRow{"error", O::BlockError, 1, true, true, L::TransferError, ": Block Error: 1", true,
               false},
        EndRow{"no_comeback", O::NoComeback, 0, true, true, L::NoComeback, "", false, true},
        EndRow{"link", O::LinkFailed, 0, true, true, L::None, "", false, false}),
    [](const testing::TestParamInfo<EndRow> &p) { return std::string(p.param.name); });

TEST(Progress, FillsThenStartsAgainFromTheBeginning) {
    ProgressSteps bar;
    bar.reset(3);
    std::vector<int> seen;
    for (int i = 0; i < 7; ++i) {
        bar.step();
        seen.push_back(bar.position());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0, 1, 2, 3}));
}

TEST(Restart, LongWaitForControllersAndLightMasters) {
    for (const int c : {15, 16, 17, 22, 23})
        EXPECT_EQ(RestartCycles(quint8(c)), 60) << c;
    for (const int c : {1, 5, 24, 27, 34})
        EXPECT_EQ(RestartCycles(quint8(c)), 30) << c;
}

} // namespace
