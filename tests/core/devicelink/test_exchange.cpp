// The link's exchange helper on a scripted socket: where a request goes, what comes back,
// the window kept responsive while waiting, one exchange at a time, and the fresh client
// of the direct search.

#include "devicelink/devicelink.h"
#include "devicelink/selection.h"
#include "scriptedsocket.h"

#include <gtest/gtest.h>

using namespace qev;
using qevtest::hex;
using qevtest::SocketScript;

namespace {

const QString Device = QStringLiteral("192.0.2.10");

struct ExchangeRow {
    const char *name;
    ExchangeOptions options;
    const char *reply; // nullptr: silence
    quint16 port;      // where the request must go
    const char *host;
    QByteArray received;
};

class Exchange : public ::testing::TestWithParam<ExchangeRow> {};

TEST_P(Exchange, GoesWhereTheOptionsSayAndReturnsExactlyTheReply) {
    const ExchangeRow &row = GetParam();
    SocketScript script;
    if (row.reply)
        script.expect("05", row.port, QString::fromLatin1(row.host)).reply(row.reply);
    else
        script.expect("05", row.port, QString::fromLatin1(row.host)).silence();
    DeviceLink link({}, DeviceCodes::placeholders(), {}, script.factory());
    link.setCurrent({.host = Device, .port = 11082});
    link.CommandBuffer.fill(0xEE); // leftovers of an earlier exchange

    const std::span<const quint8> reply = link.Exchange(
        [](std::span<quint8> buffer) {
            EXPECT_EQ(buffer[1], 0) << "the buffer is cleared before a request is built";
            buffer[0] = 0x05;
            return std::size_t{1};
        },
        row.options);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(reply.data()), qsizetype(reply.size())),
              row.received);
    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(script.receiveTimeouts(), QList<int>{row.options.timeoutMs});
}

INSTANTIATE_TEST_SUITE_P(
    Options, Exchange,
    ::testing::Values(
        ExchangeRow{"current_device", {}, "21 05 01", 11082, "192.0.2.10", hex("21 05 01")},
        ExchangeRow{
            "base_port", {.port = 11080, .timeoutMs = 500}, "21", 11080, "192.0.2.10", hex("21")},
        ExchangeRow{"other_host",
                    {.timeoutMs = 2000, .host = QStringLiteral("192.0.2.99")},
                    "21 05",
                    11082,
                    "192.0.2.99",
                    hex("21 05")},
        ExchangeRow{"silent", {.timeoutMs = 2000}, nullptr, 11082, "192.0.2.10", {}}),
    [](const ::testing::TestParamInfo<ExchangeRow> &row) { return std::string(row.param.name); });

// While a reply is awaited, the window's events run; an action started from them cannot
// take the CommandBuffer from under the waiting exchange.
TEST(ExchangeWhileWaiting, PumpsEventsAndRefusesASecondExchange) {
    SocketScript script;
    script.expect("05").silence();
    DeviceLink link({}, DeviceCodes::placeholders(), {}, script.factory());
    link.setCurrent({.host = Device, .port = 11082});
    QList<bool> busyStates;
    link.setBusyListener([&](bool busy) { busyStates << busy; });

    int pumped = 0;
    bool refused = false;
    InstallWindowPump([&] {
        if (pumped++ == 0) {
            EXPECT_TRUE(link.busy());
            try {
                link.Exchange([](std::span<quint8> b) {
                    b[0] = 0x32;
                    return std::size_t{1};
                });
            } catch (const LinkBusy &) {
                refused = true;
            }
        }
    });
    link.Exchange(
        [](std::span<quint8> b) {
            b[0] = 0x05;
            return std::size_t{1};
        },
        {.timeoutMs = 60});
    InstallWindowPump({});

    EXPECT_GE(pumped, 3) << "a 60 ms wait runs the window's events every few milliseconds";
    EXPECT_TRUE(refused);
    EXPECT_TRUE(script.finished()) << qPrintable(script.report()); // 0x32 never left
    EXPECT_EQ(busyStates, (QList<bool>{true, false}));
    EXPECT_FALSE(link.busy());
}

TEST(ExchangeWhileWaiting, AFlowStaysBusyAcrossItsExchanges) {
    SocketScript script;
    script.expect("05").reply("21 05").expect("05").reply("21 05");
    DeviceLink link({}, DeviceCodes::placeholders(), {}, script.factory());
    link.setCurrent({.host = Device, .port = 11082});
    QList<bool> busyStates;
    link.setBusyListener([&](bool busy) { busyStates << busy; });
    {
        const DeviceLink::Busy flow(link);
        for (int k = 0; k < 2; ++k)
            link.Exchange([](std::span<quint8> b) {
                b[0] = 0x05;
                return std::size_t{1};
            });
    }
    EXPECT_EQ(busyStates, (QList<bool>{true, false}));
}

// The direct search asks on a new client without broadcast permission, so a late reply or
// a pending closed-port report of the old one cannot be taken for the answer.
TEST(DirectSearchClient, IsOpenedAfreshWithoutBroadcast) {
    SocketScript script;
    script.expect("F5", 11080, QStringLiteral("192.0.2.30"))
        .reply("00 00 C0 00 02 1E FF FF FF 00 00 11 22 33 44 55 2B 4A");
    DeviceLink link({}, DeviceCodes::placeholders(), {}, script.factory());
    ASSERT_EQ(script.socketsOpened(), 1);
    const Selection found = DirectSearch(link, QStringLiteral("192.0.2.30"));
    EXPECT_EQ(script.socketsOpened(), 2);
    EXPECT_FALSE(link.broadcastPermitted());
    EXPECT_EQ(found.count, 1);
    EXPECT_EQ(found.device.address, QStringLiteral("192.0.2.30"));
    EXPECT_EQ(found.device.port, 11082);
    EXPECT_EQ(link.current().deviceClass, 17);
    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
}

} // namespace
