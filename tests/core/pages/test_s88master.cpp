// The S88 bus master's read and write, the variant by device type, the module limit, the
// read-cycle rate and the clock presets.

#include "pages/s88master.h"
#include "scriptedpagelink.h"

using namespace qev::s88master;

namespace {

struct ReadRow {
    const char *name;
    const char *reply; // nullptr: no answer
    std::optional<Settings> expected;
};

class S88Read : public ::testing::TestWithParam<ReadRow> {};

TEST_P(S88Read, TakesOnlyTheTenByteReplyLedBy2132) {
    qevtest::ScriptedPageLink device(6);
    EXPECT_EQ(device.run("32", GetParam().reply, RequestSettings), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, S88Read,
    ::testing::Values(ReadRow{"BytesTwoToNine", "21 32 10 0B 02 01 03 3C 28 14",
                              Settings{{16, 11, 2}, 1, 3, 60, 40, 20}},
                      ReadRow{"ElevenBytes", "21 32 10 0B 02 01 03 3C 28 14 00", std::nullopt},
                      ReadRow{"NineBytes", "21 32 10 0B 02 01 03 3C 28", std::nullopt},
                      ReadRow{"OtherCommandByte", "21 34 10 0B 02 01 03 3C 28 14", std::nullopt},
                      ReadRow{"OtherLeadingByte", "3F 32 10 0B 02 01 03 3C 28 14", std::nullopt},
                      ReadRow{"NoAnswer", nullptr, std::nullopt}),
    qevtest::RowName{});

struct WriteRow {
    const char *name;
    int deviceTypeItem;
    const char *request;
    const char *reply;
    bool accepted;
};

class S88Write : public ::testing::TestWithParam<WriteRow> {};

TEST_P(S88Write, VariantByDeviceTypeAndOnlyTheExactAcknowledgement) {
    const WriteRow &row = GetParam();
    const Settings settings{{40, 5, 3}, 0, 3, 20, 38, 10};
    const quint8 variant = VariantForDeviceType(row.deviceTypeItem);
    qevtest::ScriptedPageLink device(6);
    EXPECT_EQ(
        device.run(row.request, row.reply,
                   [&](qev::DeviceLink &link) { return WriteSettings(link, variant, settings); }),
        row.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, S88Write,
    ::testing::Values(
        WriteRow{"NoDeviceTypeChosen", 0, "34 AA 55 28 05 03 00 03 14 26 0A", "21 34", true},
        WriteRow{"EmptyDeviceTypeChoice", -1, "34 AA 55 28 05 03 00 03 14 26 0A", "21 34", true},
        WriteRow{"Glimnet", 1, "34 AA 55 28 05 03 00 03 14 26 0A", "21 34", true},
        WriteRow{"FerranoSystem", 2, "34 AA 51 28 05 03 00 03 14 26 0A", "21 34", true},
        WriteRow{"LucentoSystem", 3, "34 AA 51 28 05 03 00 03 14 26 0A", "21 34", true},
        WriteRow{"Spurnova", 4, "34 AA 55 28 05 03 00 03 14 26 0A", "21 34", true},
        WriteRow{"ThreeByteAcknowledgement", 2, "34 AA 51 28 05 03 00 03 14 26 0A", "21 34 00",
                 false},
        WriteRow{"ReadCommandAcknowledged", 2, "34 AA 51 28 05 03 00 03 14 26 0A", "21 32", false},
        WriteRow{"NoAnswer", 0, "34 AA 55 28 05 03 00 03 14 26 0A", nullptr, false}),
    qevtest::RowName{});

struct LimitRow {
    const char *name;
    quint8 deviceClass;
    std::array<int, BusCount> entered;
    std::array<int, BusCount> kept;
};

class S88ModuleLimit : public ::testing::TestWithParam<LimitRow> {};

TEST_P(S88ModuleLimit, LowersBusThreeThenBusTwo) {
    const LimitRow &row = GetParam();
    EXPECT_EQ(LimitModules(row.entered, ModuleLimit(row.deviceClass)), row.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, S88ModuleLimit,
    ::testing::Values(LimitRow{"Class6BusThreeLowered", 6, {40, 5, 10}, {40, 5, 3}},
                      LimitRow{"Class6ExactlyFortyEight", 6, {16, 16, 16}, {16, 16, 16}},
                      LimitRow{"Class6BusTwoAfterBusThree", 6, {40, 20, 10}, {40, 8, 0}},
                      LimitRow{"Class6BusOneKept", 6, {48, 48, 48}, {48, 0, 0}},
                      LimitRow{"Class17SixtySix", 17, {22, 22, 22}, {22, 22, 22}},
                      LimitRow{"Class17SixtySeven", 17, {22, 22, 23}, {22, 22, 22}},
                      LimitRow{"OtherClassFortyEight", 21, {30, 30, 0}, {30, 18, 0}}),
    qevtest::RowName{});

struct RateRow {
    const char *name;
    Settings settings;
    int rate;
};

class S88Rate : public ::testing::TestWithParam<RateRow> {};

TEST_P(S88Rate, CyclesPerSecondOfTheLongestBus) {
    EXPECT_EQ(ReadCyclesPerSecond(GetParam().settings), GetParam().rate);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, S88Rate,
    ::testing::Values(
        // 4 × 58 × 16 + 10 000 = 13 712 µs.
        RateRow{"FourModulesNormalClock", Settings{{4, 0, 0}, 2, 2, 20, 38, 10}, 72},
        // As if one module hung there: 928 + 10 000 µs.
        RateRow{"NoModulesCountAsOne", Settings{{0, 0, 0}, 2, 2, 20, 38, 10}, 91},
        RateRow{"LongestBusCounts", Settings{{1, 0, 30}, 2, 2, 60, 60, 20}, 12},
        RateRow{"RemainderDropped", Settings{{1, 1, 1}, 2, 2, 1, 1, 10}, 99}),
    qevtest::RowName{});

struct PresetRow {
    const char *name;
    int preset;
    std::optional<int> clockOn, clockOff, pause;
    bool emphasised;
};

class S88Presets : public ::testing::TestWithParam<PresetRow> {};

TEST_P(S88Presets, TimingOfEachPreset) {
    const PresetRow &row = GetParam();
    const std::optional<ClockPreset> preset = ClockPresetOf(row.preset);
    ASSERT_EQ(preset.has_value(), row.clockOn.has_value());
    if (!preset)
        return;
    EXPECT_EQ(preset->clockOn, row.clockOn);
    EXPECT_EQ(preset->clockOff, row.clockOff);
    EXPECT_EQ(preset->pause, row.pause);
    EXPECT_EQ(preset->emphasised, row.emphasised);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, S88Presets,
    ::testing::Values(PresetRow{"Slow", 0, 60, 60, 20, false},
                      PresetRow{"Normal", 1, 20, 38, 10, false},
                      PresetRow{"FastDrawnRedAndBold", 2, 20, 20, 10, true},
                      PresetRow{"NoSuchPreset", 3, std::nullopt, std::nullopt, std::nullopt, false},
                      PresetRow{"NoChoice", -1, std::nullopt, std::nullopt, std::nullopt, false}),
    qevtest::RowName{});

} // namespace
