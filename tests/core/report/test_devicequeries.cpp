// The report's queries of one found device, through the scripted socket: which requests a
// class gets, on which port and host, and which rows its replies give.

#include "devicelink/devicelink.h"
#include "report/devicequeries.h"
#include "report/profilereport.h"
#include "scriptedsocket.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using namespace qev;
using namespace qev::report;
using qevtest::hex;
using qevtest::SocketScript;

namespace {

const QString Host = QStringLiteral("192.0.2.10");
constexpr quint16 Base = 11080;

struct Exchange {
    const char *request;
    const char *reply; // nullptr: silence; "refused": a closed-port report
};

struct QueryRow {
    const char *name;
    quint8 deviceClass;
    std::vector<Exchange> exchanges;
    // The rows behind the heading, as "label=value".
    QStringList rows;
};

void PrintTo(const QueryRow &row, std::ostream *os) {
    *os << row.name;
}

// The rows every device has: address, netmask, MAC, port.
QStringList withRecord(QStringList before, const QStringList &after) {
    before << QStringLiteral("IP-Adresse:=192.0.2.10") << QStringLiteral("Netzmaske:=255.255.255.0")
           << QStringLiteral("MAC Adresse:=02:81:7E:00:00:0A") << QStringLiteral("Port:=11082");
    return before + after;
}

const char *const Network26 = "21F5 C000020A FFFFFF00 02817E00000A 2B4A C0000201 C0000202";

class DeviceQueries : public testing::TestWithParam<QueryRow> {};

TEST_P(DeviceQueries, RequestsAndRows) {
    const QueryRow &row = GetParam();
    SocketScript script;
    for (const Exchange &e : row.exchanges) {
        script.expect(e.request, Base, Host);
        if (!e.reply)
            script.silence();
        else if (QByteArray(e.reply) == "refused")
            script.refused();
        else
            script.reply(e.reply);
    }
    ProtocolPorts ports;
    ports.base = Base;
    DeviceLink link(ports, DeviceCodes::placeholders(), {}, script.factory());
    link.setCurrent({.host = QStringLiteral("198.51.100.7"), .port = 11081, .deviceClass = 17});

    DeviceRecord record{Host,
                        QStringLiteral("255.255.255.0"),
                        {0x02, 0x81, 0x7E, 0x00, 0x00, 0x0A},
                        11082,
                        row.deviceClass};
    ReportTable table;
    AddDeviceRows(table, 5, record, QueryDevice(link, record));

    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    ASSERT_FALSE(table.isEmpty());
    EXPECT_EQ(table.rows().first().heading.isEmpty(), false);
    QStringList rows;
    for (const ReportRow &r : table.rows().mid(1)) {
        EXPECT_EQ(r.group, 5);
        rows << r.label + QLatin1Char('=') + r.value;
    }
    EXPECT_EQ(rows, row.rows);
    for (const int timeout : script.receiveTimeouts())
        EXPECT_EQ(timeout, QueryTimeoutMs);
}

INSTANTIATE_TEST_SUITE_P(
    Report, DeviceQueries,
    testing::Values(
        QueryRow{"Class1VersionOnlyGatewayBrokerNA",
                 1,
                 {{"0F", "21 0F 01 03 02"}},
                 withRecord({"Version:=3.2"}, {"Gateway:=N/A", "Broker:=N/A"})},
        QueryRow{"Class7SerialNAWithoutQuery",
                 7,
                 {{"0F", "21 0F 07 01 09"}, {"F5", Network26}},
                 withRecord({"Version:=1.9"},
                            {"Gateway:=192.0.2.1", "Broker:=192.0.2.2", "Seriennummer:=N/A"})},
        QueryRow{"Class16AllFourGatewayOnlyIn22Bytes",
                 16,
                 {{"6064", "21 60 64 04 48 61 75 73"},
                  {"0F", "21 0F 10 02 05"},
                  {"5C0D00", "21 5C 0D 01 06 A1 A2 A3 A4 A5 A6"},
                  {"F5", "21F5 C000020A FFFFFF00 02817E00000A 2B4A C0000201"}},
                 withRecord({"Gerätename:=Haus", "Version:=2.5"},
                            {"Gateway:=192.0.2.1", "Seriennummer:=A1:A2:A3:A4:A5:A6"})},
        QueryRow{"Class17SerialInReceivedOrderNetwork18Bytes",
                 17,
                 {{"6064", nullptr},
                  {"0F", "21 0F 11 07 04"},
                  {"0D00", "21 0D 01 06 0A 0B 0C 0D 0E 0F"},
                  {"F5", "21F5 C000020A FFFFFF00 02817E00000A 2B4A"}},
                 withRecord({"Version:=7.4"}, {"Seriennummer:=0A:0B:0C:0D:0E:0F"})},
        QueryRow{"Class22SocketErrorsLeaveNoRows",
                 22,
                 {{"6064", "refused"}, {"0F", "refused"}, {"600D00", "refused"}, {"F5", "refused"}},
                 withRecord({}, {})},
        QueryRow{"Class21SerialCheckByteMismatchNA",
                 21,
                 {{"6064", "21 60 64 00 00"},
                  {"0F", "21 0F 15 01 00"},
                  {"600D00", "21 60 0D 01 0B A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB"},
                  {"F5", Network26}},
                 withRecord({"Version:=1.0"},
                            {"Gateway:=192.0.2.1", "Broker:=192.0.2.2", "Seriennummer:=N/A"})},
        QueryRow{
            "Class23SilentSerialNA",
            23,
            {{"6064", "21 60 64 02 4C 69"}, {"0F", nullptr}, {"600D00", nullptr}, {"F5", nullptr}},
            withRecord({"Gerätename:=Li"}, {"Seriennummer:=N/A"})},
        QueryRow{"NameLongerThanReceivedIsEmpty",
                 22,
                 {{"6064", "21 60 64 09 41 42 43"},
                  {"0F", "21 0F 16 01 02"},
                  {"600D00", "21 60 0D 01 06 A1 A2 A3"}, // six claimed, three received
                  {"F5", "21F5 C000020A FFFFFF00 02817E00000A 2B4A C0"}},
                 withRecord({"Version:=1.2"}, {"Seriennummer:=N/A"})},
        QueryRow{
            "Network21BytesNoGateway25BytesNoBroker",
            7,
            {{"0F", "21 0F 07 01 09"}, {"F5", "21F5 C000020A FFFFFF00 02817E00000A 2B4A C00002"}},
            withRecord({"Version:=1.9"}, {"Seriennummer:=N/A"})},
        QueryRow{"Network25BytesGatewayOnly",
                 7,
                 {{"0F", "21 0F 07 01 09"},
                  {"F5", "21F5 C000020A FFFFFF00 02817E00000A 2B4A C0000201 C00002"}},
                 withRecord({"Version:=1.9"}, {"Gateway:=192.0.2.1", "Seriennummer:=N/A"})},
        QueryRow{"NetworkReplyOfAnotherCommandIgnored",
                 7,
                 {{"0F", "21 0F 07"}, {"F5", "21F4 C000020A FFFFFF00 02817E00000A 2B4A C0000201"}},
                 withRecord({}, {"Seriennummer:=N/A"})},
        QueryRow{"Class24NotAsked", 24, {}, withRecord({}, {})},
        QueryRow{"Class0NotAsked", 0, {}, withRecord({}, {})}),
    [](const testing::TestParamInfo<QueryRow> &row) { return std::string(row.param.name); });

TEST(DeviceQueries, UnknownClassIsHeadedUnbekannt) {
    ReportTable table;
    AddDeviceRows(table, 2, DeviceRecord{QStringLiteral("192.0.2.9"), {}, {}, 0, 0}, {});
    ASSERT_EQ(table.rows().size(), 3);
    EXPECT_EQ(table.rows()[0].heading, QStringLiteral("Unbekannt"));
    // No netmask, no port 0: only the address and the MAC remain.
    EXPECT_EQ(table.rows()[1].label, QStringLiteral("IP-Adresse:"));
    EXPECT_EQ(table.rows()[2].label, QStringLiteral("MAC Adresse:"));
}

} // namespace
