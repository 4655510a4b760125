// The booster bus through the scripted socket: the list read with its edge cases, the
// gateway settings and name and the gateway page's read of both, the booster settings, the
// sensitivity walk, the new address and the renaming with its unlock.

#include "pages/booster.h"
#include "pages/boostergateway.h"
#include "pages/boosterlist.h"
#include "scriptedpagelink.h"

#include <gtest/gtest.h>
#include <vector>

using namespace qev;
using qevtest::hex;
using qevtest::ScriptedPageLink;

namespace {

struct CaseName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case> &row) const {
        return row.param.name;
    }
};

struct Step {
    const char *request;
    const char *reply; // nullptr: silence
};

void expectSteps(ScriptedPageLink &device, const std::vector<Step> &steps) {
    for (const Step &step : steps) {
        qevtest::SocketScript &s = device.script.expect(step.request, ScriptedPageLink::DevicePort);
        if (step.reply)
            s.reply(step.reply);
        else
            s.silence();
    }
}

// Address, type, name, version, serial of a row.
struct Row {
    int nr;
    int type;
    QString name;
    QString version;
    QString serial;
};

// ---- ReadBoosterList ----

struct ListCase {
    const char *name;
    bool keepRows;
    std::vector<Row> before;
    std::vector<Step> steps;
    bool answered;
    std::vector<Row> after;
};

const char *const List = "90 91 FF 01";
const char *const Serials = "90 0D 00";

const ListCase ListCases[] = {
    {"TypesSortedVersionsSerials",
     false,
     {{9, 1, "Alt", "", ""}},
     {{List, "21 90 91 03 02 01 00 07 03 00 01 02 00"},
      {"90 0E 01", "21 90 0E 03 41 42 43"},
      {"90 93 01", "21 90 93 00 1E 00 00 00 00 00 1A"},
      {"90 0E 02", "21 90 0E 00 00"},
      {"90 93 02", "21 90 93 00 1E 00 00 00 00 00 23"},
      {Serials, "21 90 0D 02 07 DE AD BE EF 00 01 02 00 1A 2B 3C 4D 5E"}},
     true,
     {{1, 2, "ABC", "1.10", ""}, {2, 1, "", "2.3", "00:1A:2B:3C:4D:5E"}}},
    {"EmptyListSendsNothingMore",
     false,
     {{4, 1, "Alt", "", ""}},
     {{List, "21 90 91 00 00"}},
     true,
     {}},
    {"NoReplyEmptiesTheTable", false, {{4, 1, "Alt", "", ""}}, {{List, nullptr}}, false, {}},
    {"AnsweredButNotAList", false, {}, {{List, "21 00 91 01 01 01 00"}}, true, {}},
    {"AddressesOutsideTheBusGetNoRow",
     false,
     {},
     {{List, "21 90 91 03 00 01 00 80 01 00 05 02 00"},
      {"90 0E 05", "21 90 0E 00 00"},
      {"90 93 05", nullptr},
      {Serials, "21 90 0D 02 00 01 02 03 04 05 06 80 01 02 03 04 05 06"}},
     true,
     {{5, 2, "", "", ""}}},
    {"KeptRowsReadAgainFirstTakesSerial",
     true,
     {{3, 1, "Alt", "", ""}},
     {{List, "21 90 91 01 03 01 00"},
      {"90 0E 03", "21 90 0E 01 58"},
      {"90 93 03", nullptr},
      {"90 0E 03", nullptr},
      {"90 93 03", "21 90 93 00 1E 00 00 00 00 00 21"},
      {Serials, "21 90 0D 01 03 01 02 03 04 05 06"}},
     true,
     {{3, 1, "X", "", "01:02:03:04:05:06"}, {3, 1, "", "2.1", ""}}},
    {"ShortRepliesReadOnlyWhatArrived",
     false,
     {},
     {{List, "21 90 91 02 04 01 00 05"},
      {"90 0E 04", "21 90 0E 09 41 42"},
      {"90 93 04", "21 90 93 00 1E"},
      {Serials, "21 90 0E 01 04 01 02 03 04 05 06"}},
     true,
     {{4, 1, "AB", "", ""}}},
};

class ReadList : public testing::TestWithParam<ListCase> {};

TEST_P(ReadList, Sequence) {
    const ListCase &c = GetParam();
    ScriptedPageLink device(27);
    boosterlist::BoosterTable table;
    for (const Row &row : c.before) {
        const std::size_t at = table.insert(qint16(row.nr), row.type);
        table.rows()[at].name = row.name;
    }
    expectSteps(device, c.steps);
    std::vector<bool> answers;
    boosterlist::ReadBoosterList(
        device.link, table, c.keepRows,
        {.listAnswered = [&](bool a) { answers.push_back(a); }, .listRead = {}});
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
    EXPECT_EQ(answers, std::vector<bool>{c.answered});
    EXPECT_FALSE(device.link.busy());
    ASSERT_EQ(table.rows().size(), c.after.size());
    for (std::size_t k = 0; k < c.after.size(); ++k) {
        const boosterlist::BoosterRow &got = table.rows()[k];
        const Row &want = c.after[k];
        EXPECT_EQ(got.nr, want.nr) << k;
        EXPECT_EQ(got.type, want.type) << k;
        EXPECT_EQ(got.name, want.name) << k;
        EXPECT_EQ(got.version, want.version) << k;
        EXPECT_EQ(got.serial, want.serial) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Booster, ReadList, testing::ValuesIn(ListCases), qevtest::RowName{});

// ---- Renaming: a fresh unlock before every name write ----

TEST(BoosterName, UnlockThenNameWithDrawnCode) {
    ScriptedPageLink device(27);
    // Placeholder table: set s, row r, byte i = 0x10 (s + 1) + 4 r + i.
    expectSteps(device, {{"90 F0 00 54 55 56 10 11 12", "21 90 F0"},
                         {"90 1E 03 02 48 69", "21 90 1E"},
                         {"90 F0 00 24 25 26 30 31 32", nullptr},
                         {"90 1E 03 02 48 69", "21 1E"}});
    std::vector<int> draws = {4, 1, 0, 0, 1, 1, 2, 0};
    std::vector<int> bounds;
    const boosterlist::Draw draw = [&](int bound) {
        bounds.push_back(bound);
        const int value = draws.front();
        draws.erase(draws.begin());
        return value;
    };
    EXPECT_TRUE(boosterlist::WriteBoosterName(device.link, 3, QStringLiteral("Hi"), draw));
    // A two-byte reply has no command byte to show.
    EXPECT_FALSE(boosterlist::WriteBoosterName(device.link, 3, QStringLiteral("Hi"), draw));
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
    EXPECT_EQ(bounds, (std::vector<int>{5, 2, 5, 2, 5, 2, 5, 2}));
}

// ---- Gateway settings ----

struct GatewayReadCase {
    const char *name;
    const char *reply;
    std::optional<boostergateway::Settings> expected;
};

boostergateway::Settings gatewayRead(auto change) {
    boostergateway::Settings s;
    s.sensitivity = 35; // kept: the read does not carry it
    change(s);
    return s;
}

const GatewayReadCase GatewayReadCases[] = {
    {"AllValuesPauseZeroTicksPc", "21 90 99 00 01 01 03 01 C4 A0 00 05 00 01 00 03 00 09 00",
     gatewayRead([](boostergateway::Settings &s) {
         s.startAll = s.startStopSwitches = s.stopStation = s.switchingOnly = true;
         s.watchdogSeconds = 3;
         s.maxCurrentTenths = 49;
         s.infoCurrentTenths = 40;
         s.delayTenths = 5;
         s.pauseSeconds = 1;
         s.pcSwitchesOn = true;
         s.addresses = QStringLiteral("3,9");
     })},
    {"ValuesLimitedToTheFields", "21 90 99 00 02 00 09 00 FF 00 00 FF 0B 00 C8 00 00 00 7F",
     gatewayRead([](boostergateway::Settings &s) {
         s.watchdogSeconds = 5;
         s.maxCurrentTenths = 50;
         s.infoCurrentTenths = 20;
         s.delayTenths = 10;
         s.pauseSeconds = 10;
         s.addresses = QStringLiteral("200,127");
     })},
    {"ShorterThan19ChangesNothing", "21 90 99 00 01 01 03 01 C4 A0 00 05 00 01 00 03 00 09", {}},
    {"WrongCommandChangesNothing", "21 90 98 00 01 01 03 01 C4 A0 00 05 00 01 00 03 00 09 00", {}},
};

class GatewayRead : public testing::TestWithParam<GatewayReadCase> {};

TEST_P(GatewayRead, Reply) {
    ScriptedPageLink device(27);
    boostergateway::Settings current;
    current.sensitivity = 35;
    expectSteps(device, {{"90 99 33 99", GetParam().reply}});
    EXPECT_EQ(boostergateway::RequestSettings(device.link, current), GetParam().expected);
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
}

INSTANTIATE_TEST_SUITE_P(Booster, GatewayRead, testing::ValuesIn(GatewayReadCases),
                         qevtest::RowName{});

// What showing the gateway or booster page reads: the list, the settings, then the name,
// asked also when the settings gave none; each part is told as soon as it is read, and the
// link is busy once for the whole read.
struct GatewayPageCase {
    const char *name;
    const char *settingsReply;
    const char *nameReply;
    QStringList told;
    bool settings;
    QString deviceName;
};

const GatewayPageCase GatewayPageCases[] = {
    {"SettingsAndName", "21 90 99 00 01 00 02 00 C4 A0 00 01 00 00 00 03 00 09 00",
     "21 60 64 05 48 61 6C 6C 65", QStringList{"fail", "list", "settings"}, true,
     QStringLiteral("Halle")},
    {"ShortSettingsNameStillAsked", "21 90 99 00 01", nullptr, QStringList{"fail", "list"}, false,
     QString()},
};

class GatewayPage : public testing::TestWithParam<GatewayPageCase> {};

TEST_P(GatewayPage, ListSettingsThenName) {
    const GatewayPageCase &c = GetParam();
    ScriptedPageLink device(27);
    expectSteps(
        device,
        {{"90 91 FF 01", nullptr}, {"90 99 33 99", c.settingsReply}, {"60 64", c.nameReply}});
    int busyRuns = 0;
    device.link.setBusyListener([&](bool busy) { busyRuns += busy ? 1 : 0; });
    boosterlist::BoosterTable table;
    table.insert(4, boosterlist::TypeBooster5A);
    QStringList told;
    const booster::GatewayValues values = booster::ReadGateway(
        device.link, table, {},
        {.list = {.listAnswered = [&](bool answered) { told << (answered ? "ok" : "fail"); },
                  .listRead = {}},
         .listDone = [&] { told << "list"; },
         .settingsRead =
             [&](const boostergateway::Settings &) {
                 told << "settings";
             }});
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
    EXPECT_EQ(told, c.told);
    EXPECT_EQ(busyRuns, 1);
    EXPECT_TRUE(table.rows().empty());
    EXPECT_EQ(values.settings.has_value(), c.settings);
    EXPECT_EQ(values.name, c.deviceName);
}

INSTANTIATE_TEST_SUITE_P(Booster, GatewayPage, testing::ValuesIn(GatewayPageCases),
                         qevtest::RowName{});

struct GatewayWriteCase {
    const char *name;
    boostergateway::Settings settings;
    std::optional<QString> deviceName;
    std::vector<Step> steps;
    bool accepted;
};

boostergateway::Settings written(auto change) {
    boostergateway::Settings s;
    change(s);
    return s;
}

const boostergateway::Settings PcSwitches = written([](boostergateway::Settings &s) {
    s.maxCurrentTenths = 49;
    s.pcSwitchesOn = true;
    s.addresses = QStringLiteral("5,,200,7");
});
const char *const PcSwitchesBytes = "90 99 AC 53 FF 00 00 02 00 C4 A0 1E 01 00 00 05 00 00 07 00";

const GatewayWriteCase GatewayWriteCases[] = {
    {"OnlySettingsWithoutNameEdit", PcSwitches, {}, {{PcSwitchesBytes, "21 90 99"}}, true},
    {"EveryFieldSixthAddressIgnored",
     written([](boostergateway::Settings &s) {
         s.startAll = s.startStopSwitches = s.stopStation = s.switchingOnly = true;
         s.watchdogSeconds = 5;
         s.sensitivity = 35;
         s.delayTenths = 10;
         s.addresses = QStringLiteral("1,2,3,4,5,6");
     }),
     {},
     {{"90 99 AC 53 FF 01 00 02 01 C8 A0 23 0A 08 01 01 02 03 04 05", "21 99"}},
     true},
    {"NoAnswer", PcSwitches, {}, {{PcSwitchesBytes, nullptr}}, false},
    {"FourByteAnswer", PcSwitches, {}, {{PcSwitchesBytes, "21 90 99 00"}}, false},
    {"WithName",
     PcSwitches,
     QStringLiteral("Halle"),
     {{PcSwitchesBytes, "21 90 99"}, {"60 63 05 48 61 6C 6C 65", "21 60 63"}},
     true},
    {"NameAnsweredSettingsNot",
     PcSwitches,
     QStringLiteral("Halle"),
     {{PcSwitchesBytes, nullptr}, {"60 63 05 48 61 6C 6C 65", "21 60 63"}},
     false},
    {"SettingsAnsweredNameNot",
     PcSwitches,
     QStringLiteral("Halle"),
     {{PcSwitchesBytes, "21 90 99"}, {"60 63 05 48 61 6C 6C 65", nullptr}},
     false},
};

class GatewayWrite : public testing::TestWithParam<GatewayWriteCase> {};

TEST_P(GatewayWrite, Datagrams) {
    const GatewayWriteCase &c = GetParam();
    ScriptedPageLink device(27);
    expectSteps(device, c.steps);
    EXPECT_EQ(boostergateway::WriteSettings(device.link, c.settings, c.deviceName), c.accepted);
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
}

INSTANTIATE_TEST_SUITE_P(Booster, GatewayWrite, testing::ValuesIn(GatewayWriteCases),
                         qevtest::RowName{});

struct NameCase {
    const char *name;
    const char *reply;
    std::optional<QString> expected;
};

const NameCase NameCases[] = {
    {"Name", "21 60 64 05 48 61 6C 6C 65", QStringLiteral("Halle")},
    {"LengthBeyondTheReply", "21 60 64 20 48 61", QStringLiteral("Ha")},
    {"EmptyName", "21 60 64 00 00", QString()},
    {"FourBytes", "21 60 64 00", {}},
    {"NotAcknowledged", "3F 60 64 05 48 61 6C 6C 65", {}},
};

class GatewayName : public testing::TestWithParam<NameCase> {};

TEST_P(GatewayName, Reply) {
    ScriptedPageLink device(27);
    expectSteps(device, {{"60 64", GetParam().reply}});
    EXPECT_EQ(boostergateway::RequestName(device.link), GetParam().expected);
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
}

INSTANTIATE_TEST_SUITE_P(Booster, GatewayName, testing::ValuesIn(NameCases), qevtest::RowName{});

// ---- Booster settings and new address ----

struct BoosterWriteCase {
    const char *name;
    int sensitivity;
    boostergateway::Settings settings;
    const char *request;
    const char *reply;
    bool accepted;
};

const BoosterWriteCase BoosterWriteCases[] = {
    {"MaxCurrentInTenthsStartAll", 30, written([](boostergateway::Settings &s) {
         s.maxCurrentTenths = 49;
         s.startAll = true;
     }),
     "90 94 55 AA FF 1E 31 08 01 00 00", "21 90 94", true},
    {"PcSwitchesOnSendsPauseZero", 200,
     written([](boostergateway::Settings &s) { s.pcSwitchesOn = true; }),
     "90 94 55 AA FF C8 32 00 00 00 00", "21 00 94", true},
    {"TwoByteReply", 30, {}, "90 94 55 AA FF 1E 32 08 00 00 00", "21 94", false},
    {"NoReply", 30, {}, "90 94 55 AA FF 1E 32 08 00 00 00", nullptr, false},
};

class BoosterWrite : public testing::TestWithParam<BoosterWriteCase> {};

TEST_P(BoosterWrite, Datagram) {
    const BoosterWriteCase &c = GetParam();
    ScriptedPageLink device(27);
    expectSteps(device, {{c.request, c.reply}});
    EXPECT_EQ(booster::WriteSettings(device.link, c.sensitivity, c.settings), c.accepted);
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
}

INSTANTIATE_TEST_SUITE_P(Booster, BoosterWrite, testing::ValuesIn(BoosterWriteCases),
                         qevtest::RowName{});

TEST(BoosterAddress, NewAddressDatagram) {
    ScriptedPageLink device(3);
    expectSteps(device, {{"90 95 A0 05 07", "21 90 95"}, {"90 95 A0 05 7F", nullptr}});
    EXPECT_TRUE(booster::WriteNewAddress(device.link, 7));
    EXPECT_FALSE(booster::WriteNewAddress(device.link, 127));
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
}

struct SensitivityCase {
    const char *name;
    std::vector<Step> steps;
    std::optional<int> shown;
};

const char *const Presence = "90 91 FF 00";

const SensitivityCase SensitivityCases[] = {
    {"NoBoosterPresentLeavesIt", {{Presence, "21 90 91 00 00"}}, {}},
    {"NoPresenceReplyLeavesIt", {{Presence, nullptr}}, {}},
    {"ReportedAbove100ShowsDefault",
     {{Presence, "21 90 91 01 01 01 00"}, {"90 93 01", "21 90 93 00 78"}},
     30},
    {"ReportedBelow10ShowsDefault",
     {{Presence, "21 90 91 01 01 01 00"}, {"90 93 01", "21 90 93 00 05"}},
     30},
    {"ReportedValueShown",
     {{Presence, "21 90 91 01 01 01 00"}, {"90 93 01", "21 90 93 00 23"}},
     35},
    {"SilentBoosterSkipped",
     {{Presence, "21 90 91 02 02 01 00 03 01 00"},
      {"90 93 02", nullptr},
      {"90 93 03", "21 90 93 00 14"}},
     20},
    {"OnlyAddressesOutsideTheBus", {{Presence, "21 90 91 01 80 01 00"}}, 30},
};

class Sensitivity : public testing::TestWithParam<SensitivityCase> {};

TEST_P(Sensitivity, Walk) {
    ScriptedPageLink device(27);
    expectSteps(device, GetParam().steps);
    EXPECT_EQ(booster::ReadSensitivity(device.link), GetParam().shown);
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
}

INSTANTIATE_TEST_SUITE_P(Booster, Sensitivity, testing::ValuesIn(SensitivityCases),
                         qevtest::RowName{});

struct AddressesCase {
    const char *text;
    std::array<quint8, 5> slots;
};

const AddressesCase AddressesCases[] = {
    {"5,,200,7", {5, 0, 0, 7, 0}},
    {"", {0, 0, 0, 0, 0}},
    {"0,128,1x,012,127", {0, 0, 0, 12, 127}},
    {",,,,,9", {0, 0, 0, 0, 0}},
    {"0127,0005,0000,99999999999,00128", {127, 5, 0, 0, 0}},
};

class Addresses : public testing::TestWithParam<AddressesCase> {};

TEST_P(Addresses, Slots) {
    EXPECT_EQ(boostergateway::ParseAddresses(QString::fromLatin1(GetParam().text)),
              GetParam().slots);
}

INSTANTIATE_TEST_SUITE_P(Booster, Addresses, testing::ValuesIn(AddressesCases));

} // namespace
