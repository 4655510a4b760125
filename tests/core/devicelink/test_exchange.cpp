// The link's exchange helper on a scripted socket: where a request goes, what comes back,
// the window kept responsive while waiting, one exchange at a time, no datagram that
// arrived before a request taken for its answer, and the fresh client of the direct
// search.

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

// Every way the program makes an exchange: the page exchange, the light pages' exchange on
// the base port, the fall-back exchange of the identification (on the link, on a client of
// its own, and its second step), and the plain send and receive of the firmware blocks and
// the serial number.
enum class Path { Exchange, BasePort, Fallback, FallbackSecondStep, FallbackOwnClient, Plain };

// What happened before the request: a late reply of the previous exchange, or a datagram
// from another host between two exchanges; and how the device answers the request.
enum class Before { LateReply, Unsolicited };

struct StaleRow {
    const char *name;
    Before before;
    const char *request;
    const char *answer; // nullptr: silence
};

constexpr int StaleTimeoutMs = 30;

class StaleDatagram : public ::testing::TestWithParam<std::tuple<Path, StaleRow>> {
protected:
    // The request as this path sends it, scripted with its outcome.
    void expect(const char *request, const char *answer, bool beforeSecondStep) {
        const Path path = std::get<Path>(GetParam());
        if (path == Path::FallbackSecondStep) {
            m_script.expect(request, 11082).refused();
            if (beforeSecondStep)
                m_script.queued("21 04 99");
        }
        m_script.expect(request,
                        path == Path::BasePort || path == Path::FallbackSecondStep ? 11080 : 11082);
        if (answer)
            m_script.reply(answer);
        else
            m_script.silence();
    }

    QByteArray exchange(quint8 command) {
        const Path path = std::get<Path>(GetParam());
        std::size_t count = 0;
        switch (path) {
        case Path::Exchange:
        case Path::BasePort: {
            const auto reply = m_link.Exchange(
                [command](std::span<quint8> b) {
                    b[0] = command;
                    return std::size_t{1};
                },
                {.port = quint16(path == Path::BasePort ? 11080 : 0), .timeoutMs = StaleTimeoutMs});
            count = reply.size();
            break;
        }
        case Path::Fallback:
        case Path::FallbackSecondStep:
            m_link.ClearCommandBuffer();
            m_link.CommandBuffer[0] = command;
            count = m_link.ExchangeWithFallback(1, StaleTimeoutMs);
            break;
        case Path::FallbackOwnClient: {
            const quint8 request[] = {command};
            count = ExchangeWithFallback(*m_ownClient, Device, 11082, 11080, request,
                                         m_link.CommandBuffer, StaleTimeoutMs);
            break;
        }
        case Path::Plain:
            m_link.ClearCommandBuffer();
            m_link.CommandBuffer[0] = command;
            m_link.SendCommand(1);
            count = m_link.ReceiveReply(StaleTimeoutMs);
            break;
        }
        return QByteArray(reinterpret_cast<const char *>(m_link.CommandBuffer.data()),
                          qsizetype(count));
    }

    SocketScript m_script;
    DeviceLink m_link{{}, DeviceCodes::placeholders(), {}, m_script.factory()};
    std::unique_ptr<UdpSocket> m_ownClient = m_script.factory()(true);
};

TEST_P(StaleDatagram, NeverAnswersTheNextRequest) {
    const StaleRow &row = std::get<StaleRow>(GetParam());
    m_link.setCurrent({.host = Device, .port = 11082});
    if (row.before == Before::LateReply) {
        expect("05", nullptr, false);
        m_script.late("21 05 AA AA");
    } else {
        expect("05", "21 05 AA AA", false);
        m_script.queued("21 04");
    }
    expect(row.request, row.answer, true);

    const QByteArray first = exchange(0x05);
    const QByteArray second = exchange(quint8(hex(row.request)[0]));

    EXPECT_EQ(first, row.before == Before::LateReply ? QByteArray() : hex("21 05 AA AA"));
    EXPECT_EQ(second, row.answer ? hex(row.answer) : QByteArray());
    EXPECT_TRUE(m_script.finished()) << qPrintable(m_script.report());
}

std::string staleRowName(const ::testing::TestParamInfo<std::tuple<Path, StaleRow>> &row) {
    static const char *const paths[] = {
        "exchange", "base_port", "fallback", "fallback_second_step", "fallback_own_client",
        "plain"};
    return std::string(paths[int(std::get<Path>(row.param))]) + "_" +
           std::get<StaleRow>(row.param).name;
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, StaleDatagram,
    ::testing::Combine(
        ::testing::Values(Path::Exchange, Path::BasePort, Path::Fallback, Path::FallbackSecondStep,
                          Path::FallbackOwnClient, Path::Plain),
        ::testing::Values(
            StaleRow{"late_read_then_unanswered_write", Before::LateReply, "04", nullptr},
            StaleRow{"late_read_then_answered_read", Before::LateReply, "05", "21 05 BB BB"},
            StaleRow{"late_read_then_acknowledged_write", Before::LateReply, "04", "21 04"},
            StaleRow{"foreign_ack_then_unanswered_write", Before::Unsolicited, "04", nullptr})),
    staleRowName);

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
