// The report's table (fields cut to their sizes) and the rows of the PC's adapters read
// from the adapter report lines.

#include "report/profilereport.h"
#include "report/reporttable.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace qev::report;

namespace {

TEST(ReportTable, FieldsAreCutToTheirSizes) {
    ReportTable table;
    const QString path = QStringLiteral("/home/anna/.wine/drive_c/Program Files/Spurnova/Programme/"
                                        "Version 2/");
    table.addHeading(40, QString(45, QLatin1Char('H')));
    table.addValue(40, QString(41, QLatin1Char('L')), path);
    table.addPairs(41, {QStringLiteral("Pfad:"), QStringLiteral("C:\\"), QStringLiteral("odd")});
    ASSERT_EQ(table.rows().size(), 3);
    EXPECT_EQ(table.rows()[0], (ReportRow{40, QString(40, QLatin1Char('H')), {}, {}}));
    EXPECT_EQ(table.rows()[1], (ReportRow{40, {}, QString(40, QLatin1Char('L')), path.left(64)}));
    EXPECT_EQ(table.rows()[1].value.size(), 64);
    EXPECT_EQ(table.rows()[2],
              (ReportRow{41, {}, QStringLiteral("Pfad:"), QStringLiteral("C:\\")}));
}

struct AdapterRow {
    const char *name;
    QStringList lines;
    const char *primary;
    bool result;
    QStringList pairs;
};

void PrintTo(const AdapterRow &row, std::ostream *os) {
    *os << row.name;
}

const AdapterCaptions English{QStringLiteral("IP-Address:"), QStringLiteral("Netmask:"),
                              QStringLiteral("Gateway:"), QStringLiteral("MAC-Address")};

const QString Eth0Line1 = QStringLiteral("eth0|Intel Ethernet|eth0|");
const QString Eth0Line2 = QStringLiteral(
    "00000002|Ethernet|00:1B:21:0A:0B:0C|1|192.168.0.1|192.168.0.1|0.0.0.0|192.168.0.1|"
    "IF_OPER_STATUS_NONE");
const QString WlanLine2 =
    QStringLiteral("00000003|IEEE80211|00:1B:21:0D:0E:0F|0|10.0.0.1||||IF_OPER_STATUS_NONE");

class AdapterPairsTest : public testing::TestWithParam<AdapterRow> {};

TEST_P(AdapterPairsTest, Pairs) {
    const AdapterRow &row = GetParam();
    QStringList list;
    EXPECT_EQ(AdapterPairs(row.lines, QString::fromLatin1(row.primary), English, list), row.result);
    EXPECT_EQ(list, row.pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Report, AdapterPairsTest,
    testing::Values(
        AdapterRow{"PrimaryAddressNumberedOne",
                   {Eth0Line1, Eth0Line2,
                    QStringLiteral("2|192.168.0.10/255.255.255.0;192.168.0.11/255.255.0.0")},
                   "192.168.0.10",
                   true,
                   {"1. IP-Address:", "192.168.0.10", "Netmask:", "255.255.255.0", "Gateway:",
                    "192.168.0.1", "MAC-Address:", "00:1B:21:0A:0B:0C", "per DHCP:", "Ja"}},
        AdapterRow{"OtherAddressPlainCaptionNoDhcp",
                   {QStringLiteral("wlan0|Wireless|wlan0|"), WlanLine2,
                    QStringLiteral("1|10.0.0.5/255.0.0.0")},
                   "192.168.0.10",
                   true,
                   {"IP-Address:", "10.0.0.5", "Netmask:", "255.0.0.0", "Gateway:", "10.0.0.1",
                    "MAC-Address:", "00:1B:21:0D:0E:0F", "per DHCP:", "Nein"}},
        AdapterRow{"ZeroAddressOnlyAddressAndMask",
                   {Eth0Line1, Eth0Line2, QStringLiteral("1|0.0.0.0/0.0.0.0"),
                    QStringLiteral("wlan0|Wireless|wlan0|"), WlanLine2,
                    QStringLiteral("1|10.0.0/255.0.0.0")},
                   "192.168.0.10",
                   true,
                   {"IP-Address:", "0.0.0.0", "Netmask:", "0.0.0.0", "IP-Address:", "10.0.0",
                    "Netmask:", "255.0.0.0"}},
        AdapterRow{
            "NoEntriesTrueWithoutPairs", {QStringLiteral("no entries.")}, "127.0.0.1", true, {}},
        AdapterRow{"ErrorLineTrueWithoutPairs",
                   {QStringLiteral("Operation not permitted")},
                   "127.0.0.1",
                   true,
                   {}},
        AdapterRow{"NoLinesFalse", {}, "127.0.0.1", false, {}}),
    [](const testing::TestParamInfo<AdapterRow> &row) { return std::string(row.param.name); });

} // namespace
