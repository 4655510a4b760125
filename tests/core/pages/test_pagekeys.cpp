// The pages' settings as named keys: what a text means for each kind of key, and each page's
// read and write through the scripted socket, so that every key is seen bound to its byte.

#include "devicelink/devicelink.h"
#include "pages/pagekeys.h"
#include "scriptedpagelink.h"
#include "scriptedsocket.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace qevtest;
namespace pk = qev::pagekeys;

namespace {

struct ValueRow {
    std::string name;
    const char *page;
    const char *key;
    const char *text;
    const char *shown; // how the value is printed again; nullptr: refused
};

void PrintTo(const ValueRow &row, std::ostream *os) {
    *os << row.name;
}

class PageKeyValue : public testing::TestWithParam<ValueRow> {};

TEST_P(PageKeyValue, ParsesWithinTheRangeAndPrintsBack) {
    const ValueRow &row = GetParam();
    const pk::SettingsPage *page = pk::FindPage(QString::fromLatin1(row.page));
    ASSERT_NE(page, nullptr);
    const pk::Key *key = page->key(QString::fromLatin1(row.key));
    ASSERT_NE(key, nullptr);
    const std::optional<QVariant> value = pk::ParseValue(*key, QString::fromUtf8(row.text));
    if (!row.shown) {
        EXPECT_FALSE(value.has_value()) << qPrintable(pk::FormatValue(*key, *value));
        return;
    }
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(pk::FormatValue(*key, *value), QString::fromLatin1(row.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PageKeyValue,
    testing::Values(ValueRow{"NumberAtItsMinimum", "speed", "threshold", "5", "5"},
                    ValueRow{"NumberBelowItsRange", "speed", "threshold", "4", nullptr},
                    ValueRow{"NumberAboveItsRange", "rgb", "dbus4", "241", nullptr},
                    ValueRow{"NumberWithBlanks", "s88", "bus1", " 8 ", "8"},
                    ValueRow{"NotANumber", "s88", "pause", "10ms", nullptr},
                    ValueRow{"TenthsWithPoint", "booster", "max-current", "4.9", "4.9"},
                    ValueRow{"TenthsWithComma", "booster", "info-current", "2,5", "2.5"},
                    ValueRow{"TenthsWhole", "booster", "max-current", "1", "1.0"},
                    ValueRow{"TenthsTwoDigits", "booster", "max-current", "4.95", nullptr},
                    ValueRow{"TenthsAboveItsRange", "booster", "info-current", "4.6", nullptr},
                    ValueRow{"FlagYes", "manager", "classic-mode", "yes", "1"},
                    ValueRow{"FlagOff", "classic", "demo", "OFF", "0"},
                    ValueRow{"FlagOther", "manager", "start-stop", "maybe", nullptr},
                    ValueRow{"ChoiceAnyCase", "s88", "flicker-on", "Short", "short"},
                    ValueRow{"ChoiceNumberRefused", "s88", "flicker-off", "1", nullptr},
                    ValueRow{"ChoiceOutput", "manager", "booster-output", "b", "B"},
                    ValueRow{"TextAtItsLimit", "light", "name", "0123456789abcdef0123456789abcdef",
                             "0123456789abcdef0123456789abcdef"},
                    ValueRow{"TextTooLong", "booster-gateway", "name",
                             "0123456789abcdef0123456789abcdefX", nullptr}),
    RowName{});

struct Step {
    const char *request;
    const char *reply; // nullptr: silence
};

struct PageRow {
    std::string name;
    const char *page;
    quint8 deviceClass;
    std::vector<Step> steps;
    // Empty: the page is read and shows `expected`; otherwise the keys are changed and the
    // change ends with `expected` ("accepted", "refused", "no answer").
    QStringList changes;
    QString expected;
};

void PrintTo(const PageRow &row, std::ostream *os) {
    *os << row.name;
}

class PageExchange : public testing::TestWithParam<PageRow> {};

QString outcomeText(pk::SettingsPage::Outcome outcome) {
    switch (outcome) {
    case pk::SettingsPage::Outcome::Accepted:
        return QStringLiteral("accepted");
    case pk::SettingsPage::Outcome::Refused:
        return QStringLiteral("refused");
    case pk::SettingsPage::Outcome::NoAnswer:
        break;
    }
    return QStringLiteral("no answer");
}

TEST_P(PageExchange, SendsAndReadsTheBytesOfItsKeys) {
    const PageRow &row = GetParam();
    const pk::SettingsPage *page = pk::FindPage(QString::fromLatin1(row.page));
    ASSERT_NE(page, nullptr);
    ScriptedPageLink device(row.deviceClass);
    for (const Step &step : row.steps) {
        SocketScript &expected = device.script.expect(step.request);
        if (step.reply)
            expected.reply(step.reply);
        else
            expected.silence();
    }
    if (row.changes.isEmpty()) {
        const std::optional<pk::Values> values = page->read(device.link);
        QStringList shown;
        if (values) {
            for (const pk::Key &key : page->keys())
                shown << key.name + QLatin1Char('=') +
                             pk::FormatValue(key, values->value(key.name));
        }
        EXPECT_EQ(shown.join(QLatin1Char(' ')), row.expected);
    } else {
        pk::Values changes;
        for (const QString &assignment : row.changes) {
            const QString name = assignment.section(QLatin1Char('='), 0, 0);
            const std::optional<QVariant> value =
                pk::ParseValue(*page->key(name), assignment.section(QLatin1Char('='), 1));
            ASSERT_TRUE(value.has_value()) << qPrintable(assignment);
            changes.insert(name, *value);
        }
        EXPECT_EQ(outcomeText(page->change(device.link, changes, -1)), row.expected);
    }
    EXPECT_TRUE(device.script.finished()) << qPrintable(device.script.report());
}

// The booster pages first ask whether boosters are present (none here), then read the
// gateway's record: start-all, watchdog 2, 5.0 A, 4.0 A, delay 0.1 s, pause 8 s, boosters 3
// and 9 for switching commands; and the name "GW".
const std::vector<Step> gatewayRead = {
    {"90 91 FF 00", "21 90 91 00"},
    {"90 99 33 99", "21 90 99 00 01 00 02 00 C8 A0 1E 01 08 00 03 09 00 00 00"},
    {"60 64", "21 60 64 02 47 57"},
};

std::vector<Step> withGatewayRead(std::vector<Step> steps) {
    steps.insert(steps.begin(), gatewayRead.begin(), gatewayRead.end());
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageExchange,
    testing::Values(
        PageRow{"SpeedRead",
                "speed",
                2,
                {{"05", "21 05 25 64 00 64 28 0F 00 00 00 00"}},
                {},
                QStringLiteral("calibration=9572 threshold=100 switch-off=40 contrast=15 pause=4 "
                               "max-time=20")},
        PageRow{"SpeedChangeKeepsWhatWasRead",
                "speed",
                2,
                {{"05", "21 05 25 64 00 55 28 0F 00 00 00 00"},
                 {"04 AA 55 25 64 01 32 28 0F 04 0A 01", "21 04"}},
                {QStringLiteral("threshold=50"), QStringLiteral("max-time=10")},
                QStringLiteral("accepted")},
        PageRow{"SpeedUnreadIsNotWritten",
                "speed",
                2,
                {{"05", nullptr}},
                {QStringLiteral("threshold=50")},
                QStringLiteral("no answer")},
        PageRow{"SpeedWriteRefused",
                "speed",
                2,
                {{"05", "21 05 25 64 00 64 28 0F 00 00 00 00"},
                 {"04 AA 55 25 64 01 64 28 0F 04 14 01", "21 05"}},
                {QStringLiteral("contrast=15")},
                QStringLiteral("refused")},
        PageRow{"ManagerRead",
                "manager",
                3,
                {{"99 33 99", "21 99 01 00 05 02"}},
                {},
                QStringLiteral("classic-mode=1 start-stop=0 reserved-booster=1 booster-address=5 "
                               "booster-output=B")},
        PageRow{"ManagerReservedBoosterOff",
                "manager",
                3,
                {{"99 33 99", "21 99 01 00 05 02"}, {"99 AA 55 01 01 00 00", "21 99"}},
                {QStringLiteral("start-stop=1"), QStringLiteral("reserved-booster=0")},
                QStringLiteral("accepted")},
        PageRow{"S88ModulesLimitedByTheClass",
                "s88",
                6,
                {{"32", "21 32 04 00 00 02 02 14 26 0A"},
                 {"34 AA 55 28 08 00 01 02 14 26 0A", "21 34"}},
                {QStringLiteral("bus1=40"), QStringLiteral("bus2=10"),
                 QStringLiteral("flicker-on=short")},
                QStringLiteral("accepted")},
        PageRow{"S88BusOneAtMostTheClassLimit",
                "s88",
                6,
                {{"32", "21 32 04 00 00 02 02 14 26 0A"},
                 {"34 AA 55 30 00 00 02 02 14 26 0A", "21 34"}},
                {QStringLiteral("bus1=60"), QStringLiteral("bus2=3")},
                QStringLiteral("accepted")},
        PageRow{"BoosterRead",
                "booster",
                27,
                gatewayRead,
                {},
                QStringLiteral("max-current=5.0 info-current=4.0 sensitivity=30 pc-switches-on=0 "
                               "pause=8")},
        PageRow{"BoosterSettingsToAllBoosters",
                "booster",
                27,
                withGatewayRead({{"90 94 55 AA FF 1E 31 00 01 00 00", "21 90 94"}}),
                {QStringLiteral("max-current=4.9"), QStringLiteral("pc-switches-on=1")},
                QStringLiteral("accepted")},
        PageRow{
            "GatewayRead",
            "booster-gateway",
            27,
            gatewayRead,
            {},
            QStringLiteral("start-all=1 stop-station=0 switching-only=0 addresses=3,9 name=GW")},
        PageRow{"GatewaySettingsWithoutName",
                "booster-gateway",
                27,
                withGatewayRead({{"90 99 AC 53 FF 01 00 02 01 C8 A0 1E 01 08 00 05 00 00 07 00",
                                  "21 90"}}),
                {QStringLiteral("stop-station=1"), QStringLiteral("addresses=5,,200,7")},
                QStringLiteral("accepted")},
        PageRow{"GatewayNameGoesWhenGiven",
                "booster-gateway",
                27,
                withGatewayRead({{"90 99 AC 53 FF 01 00 02 00 C8 A0 1E 01 08 00 03 09 00 00 00",
                                  "21 90"},
                                 {"60 63 04 4E 6F 72 64", nullptr}}),
                {QStringLiteral("name=Nord")},
                QStringLiteral("refused")}),
    RowName{});

} // namespace
