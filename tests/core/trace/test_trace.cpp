// The trace's ring, the command names and the traced socket on a scripted socket.

#include "devicelink/devicelink.h"
#include "scriptedsocket.h"
#include "trace/commandnames.h"
#include "trace/datagramtrace.h"
#include "trace/tracedsocket.h"

#include <gtest/gtest.h>
#include <vector>

using namespace qev;
using qevtest::hex;
using qevtest::SocketScript;

namespace {

std::span<const quint8> bytes(const QByteArray &data) {
    return {reinterpret_cast<const quint8 *>(data.constData()), std::size_t(data.size())};
}

std::vector<quint64> sequences(const std::vector<TraceEntry> &entries) {
    std::vector<quint64> list;
    for (const TraceEntry &entry : entries)
        list.push_back(entry.sequence);
    return list;
}

TEST(DatagramTrace, KeepsTheNewestEntriesInOrder) {
    struct Row {
        std::size_t capacity;
        int recorded;
        quint64 after;
        std::vector<quint64> expected;
    };
    const Row rows[] = {
        {4, 0, 0, {}},
        {4, 3, 0, {1, 2, 3}},
        {4, 4, 0, {1, 2, 3, 4}},
        {4, 6, 0, {3, 4, 5, 6}},    // the oldest went
        {4, 11, 0, {8, 9, 10, 11}}, // around the ring more than twice
        {4, 11, 9, {10, 11}},       // only what came after
        {4, 11, 11, {}},
        {4, 11, 2, {8, 9, 10, 11}}, // asked after entries that are gone
        {1, 3, 0, {3}},
    };
    for (const Row &row : rows) {
        DatagramTrace trace(row.capacity);
        for (int i = 0; i < row.recorded; ++i)
            trace.record({});
        EXPECT_EQ(sequences(trace.entriesAfter(row.after)), row.expected)
            << row.capacity << " " << row.recorded << " " << row.after;
    }
}

TEST(DatagramTrace, TellsTheListenerAndStampsTheTime) {
    DatagramTrace trace;
    std::vector<quint64> heard;
    trace.setListener([&](const TraceEntry &entry) {
        heard.push_back(entry.sequence);
        EXPECT_GT(entry.timeUs, 0);
    });
    trace.record({});
    trace.record({});
    EXPECT_EQ(heard, (std::vector<quint64>{1, 2}));
    trace.clear();
    EXPECT_TRUE(trace.entriesAfter().empty());
    trace.record({});
    EXPECT_EQ(sequences(trace.entriesAfter()), (std::vector<quint64>{3}));
}

TEST(CommandNames, ByLeadingBytes) {
    struct Row {
        const char *datagram;
        const char *request;
    };
    const Row rows[] = {
        {"F5", "Suche"},
        {"0F", "Identifikation"},
        {"60 0F", "Identifikation"},
        {"0D 00", "Seriennummer"},
        {"5C 0D 00", "Seriennummer"},
        {"60 0D 00", "Seriennummer"},
        {"F4 55 AA C0 A8 00 07", "Netzwerkeinstellungen"},
        {"F8 AA 51 0A 00 00 01", "Netzwerkeinstellungen"},
        {"F4 00", ""}, // without the marker it is no settings datagram
        {"F0 51 45 56 34", "Zugangscode"},
        {"F3 01 00 00", "Block schreiben"},
        {"F2 01", "Block lesen"},
        {"F6 47 4F", "Aktivieren"},
        {"60 64", "Name lesen"},
        {"60 63 03 41 42 43", "Name schreiben"},
        {"90 99 33 99", "Gateway lesen"},
        {"90 99 AC 53 FF", "Gateway schreiben"},
        {"90 91 FF 01", "Booster-Liste"},
        {"99 33 99", "Manager lesen"},
        {"05", "Tachometer lesen"},
        {"32", "S88 lesen"},
        {"", ""},
        {"77", ""},
    };
    for (const Row &row : rows)
        EXPECT_STREQ(RequestName(bytes(hex(row.datagram))), row.request) << row.datagram;
}

TEST(CommandNames, RepliesNamedAfterTheirRequest) {
    EXPECT_STREQ(ReplyName(bytes(hex("21 05")), "Block schreiben"), "Block schreiben");
    EXPECT_STREQ(ReplyName(bytes(hex("21 F5 C0 A8")), ""), "Suche");
    EXPECT_STREQ(ReplyName(bytes(hex("00 00 11")), ""), "");
}

// A link whose every socket records into trace.
SocketFactory tracedFactory(SocketScript &script, DatagramTrace &trace) {
    return [&script, &trace](bool broadcast) {
        return TracedUdpSocket(script.factory()(broadcast), trace);
    };
}

TEST(TracedSocket, RecordsExchangesTimeOutsAndClosedPorts) {
    SocketScript script;
    script.expect("0F", 11082).reply("21 0F 11 07 04");
    script.expect("05", 11082).silence();
    script.expect("32", 11082).refused();
    DatagramTrace trace;
    DeviceLink link({}, DeviceCodes::placeholders(), {}, tracedFactory(script, trace));
    CurrentDevice device;
    device.host = QStringLiteral("192.168.77.10");
    device.port = 11082;
    link.setCurrent(device);
    const auto send = [&](const QByteArray &request) {
        return link.Exchange(
            [&](std::span<quint8> buffer) {
                std::copy(request.begin(), request.end(), buffer.begin());
                return std::size_t(request.size());
            },
            {.timeoutMs = 30});
    };
    EXPECT_EQ(send(hex("0F")).size(), 5u);
    EXPECT_EQ(link.ReceiveReply(0), 0u); // a look that waits for nothing is no time-out
    EXPECT_TRUE(send(hex("05")).empty());
    EXPECT_EQ(link.ReceiveReply(20), 0u); // a second silence in a row adds no entry
    EXPECT_THROW(send(hex("32")), LinkError);
    ASSERT_TRUE(script.finished()) << qPrintable(script.report());

    using K = TraceEntry::Kind;
    struct Row {
        K kind;
        const char *command;
        const char *bytes;
    };
    const Row expected[] = {
        {K::Sent, "Identifikation", "0F"},   {K::Received, "Identifikation", "21 0F 11 07 04"},
        {K::Sent, "Tachometer lesen", "05"}, {K::TimedOut, "Tachometer lesen", ""},
        {K::Sent, "S88 lesen", "32"},        {K::ClosedPort, "S88 lesen", ""},
    };
    const std::vector<TraceEntry> entries = trace.entriesAfter();
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].kind, expected[i].kind) << i;
        EXPECT_STREQ(entries[i].command, expected[i].command) << i;
        EXPECT_EQ(entries[i].bytes, hex(expected[i].bytes)) << i;
        EXPECT_EQ(entries[i].sequence, i + 1);
    }
    EXPECT_EQ(entries[0].remote, (TraceEndpoint{{192, 168, 77, 10}, 11082}));
    EXPECT_EQ(entries[3].remote, entries[2].remote); // the time-out names the silent peer
    EXPECT_LE(entries[2].timeUs + 30000, entries[3].timeUs);
}

TEST(TraceLine, OneLinePerEntry) {
    TraceEntry sent;
    sent.timeUs = 12345678;
    sent.remote = {{192, 168, 77, 255}, 11080};
    sent.bytes = hex("F5");
    sent.command = "Suche";
    EXPECT_EQ(TraceLine(sent), QStringLiteral("12.345678 -> 192.168.77.255:11080 UDP Suche F5"));
    TraceEntry timeout = sent;
    timeout.kind = TraceEntry::Kind::TimedOut;
    timeout.bytes.clear();
    timeout.timeUs = 3000001;
    EXPECT_EQ(TraceLine(timeout),
              QStringLiteral("3.000001 <- 192.168.77.255:11080 UDP Suche (Zeitüberschreitung)"));
    TraceEntry frame;
    frame.transport = TraceEntry::Transport::Tcp;
    frame.kind = TraceEntry::Kind::Received;
    frame.remote = {{10, 0, 0, 9}, 5550};
    frame.bytes = hex("FF FE 63 21 36 00 74");
    frame.command = StationProbeName;
    EXPECT_EQ(
        TraceLine(frame),
        QStringLiteral("0.000000 <- 10.0.0.9:5550 TCP Zentralen-Abfrage FF FE 63 21 36 00 74"));
}

} // namespace
