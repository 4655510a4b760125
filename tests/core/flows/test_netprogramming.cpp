// The network programming on a scripted socket: the checks, the question, the datagram on
// every path, and the verification at the new address.

#include "flowtest.h"

#include "app/messageid.h"
#include "flows/netprogramming.h"
#include "netinspect/ipv4.h"

using namespace qev;
using namespace qev::flow;

namespace {

const QString OldAddress = QStringLiteral("192.168.0.20");
const QString NewAddress = QStringLiteral("192.168.0.77");
// 192.168.0.77/24 for a Lucento device of class 22 on port 11080, no gateway or broker.
const char *const Datagram = "F8 AA 51 C0 A8 00 4D FF FF FF 00 02 81 7E 00 00 4D 2B 48"
                             " 00 00 00 00 00 00 00 00";

class Answers final : public ProgrammingProgress {
public:
    bool confirm(const Confirmation &question) override {
        questions.append(question);
        return yes;
    }
    void progress(int step, int, int) override { steps.append(step); }

    bool yes = true;
    QList<Confirmation> questions;
    QList<int> steps;
};

class ProgrammingFlow : public qevtest::FlowTest {
protected:
    ProgrammingFlow() {
        link().setCurrent(
            {.host = OldAddress, .port = 11082, .deviceClass = 22, .versionMajor = 1});
        input.settings.address = NewAddress;
        input.settings.mask = QStringLiteral("255.255.255.0");
        input.settings.port = QStringLiteral("11080");
        input.settings.deviceType = DeviceTypeLucento;
        input.deviceHost = OldAddress;
    }

    Programmed run() {
        const PingFunction ping = [](const QString &address, int timeoutMs) {
            return Ping(address, timeoutMs);
        };
        return ProgramNetwork(link(), input, searchOptions(), ping, answers, fast);
    }

    // The datagram on every path: the old address, the broadcasts towards the new network
    // and of its class A network, the limited broadcast on the base port and on the port.
    void expectFanOut() {
        script.expect(Datagram, 11080, OldAddress).silence();
        script.expect(Datagram, 11080, QStringLiteral("192.168.0.255")).silence();
        script.expect(Datagram, 11080, QStringLiteral("192.255.255.255")).silence();
        script.expect(Datagram, 11080, QStringLiteral("255.255.255.255")).silence();
        script.expect(Datagram, 11080, QStringLiteral("255.255.255.255")).silence();
    }

    NetworkProgramming input;
    Answers answers;
    ProgrammingTiming fast{.waitMs = 50};
};

TEST_F(ProgrammingFlow, SendsOnEveryPathAndIdentifiesTheDeviceAtItsNewAddress) {
    expectFanOut();
    host.addAnswering(NewAddress);
    script.expect("F5", 11080, QStringLiteral("192.168.0.255"))
        .reply("21 F5 C0 A8 00 4D FF FF FF 00 02 81 7E 00 00 4D 2B 48");
    script.expect("0F", 11080, NewAddress).reply("21 0F 16 01 02");
    script.expect("60 0F", 11080, NewAddress).reply("21 60 0F 16 01 02");
    script.expect("60 0D 00", 11080, NewAddress).reply("21 60 0D 01 06 01 02 03 04 05 06");

    const Programmed programmed = run();

    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(programmed.outcome, Outcome::Done);
    EXPECT_EQ(programmed.messageId, IDS_105);
    EXPECT_EQ(answers.questions.size(), 1);
    EXPECT_EQ(programmed.datagram.portText, QStringLiteral("11080"));
    EXPECT_EQ(programmed.found.count, 1);
    EXPECT_EQ(programmed.identified.outcome, Outcome::Done);
    EXPECT_EQ(link().current().host, NewAddress);
    EXPECT_EQ(link().current().deviceClass, 22);
    // The new address answered the first ping of the wait.
    ASSERT_FALSE(host.pingCalls().isEmpty());
    EXPECT_EQ(host.pingCalls().first(), (qevtest::FakeHostNetwork::PingCall{NewAddress, 200}));
    EXPECT_EQ(answers.steps,
              (QList<int>{ProgrammingStarted, ProgrammingSent, ProgrammingReachable}));
}

TEST_F(ProgrammingFlow, DeviceThatDoesNotComeBackIsNoAnswer) {
    expectFanOut();
    script.expect("F5", 11080, QStringLiteral("192.168.0.255")).silence();

    const Programmed programmed = run();

    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(programmed.outcome, Outcome::NoAnswer);
    EXPECT_EQ(programmed.messageId, IDS_106);
    EXPECT_TRUE(link().current().host.isEmpty()) << "the search found nothing there";
    EXPECT_EQ(answers.steps, (QList<int>{ProgrammingStarted, ProgrammingSent}));
}

TEST_F(ProgrammingFlow, DeclinedQuestionSendsNothing) {
    answers.yes = false;
    const Programmed programmed = run();
    EXPECT_EQ(programmed.outcome, Outcome::Declined);
    EXPECT_TRUE(script.sent().isEmpty());
    EXPECT_TRUE(answers.steps.isEmpty());
    EXPECT_EQ(link().current().host, OldAddress);
}

struct RefusalRow {
    const char *name;
    const char *address;
    const char *port;
    bool inUse;
    int messageId;
};

class Refusal : public ProgrammingFlow, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(Refusal, NothingIsAskedOrSent) {
    const RefusalRow &row = GetParam();
    input.checkFirst = true;
    input.settings.address = QString::fromLatin1(row.address);
    input.settings.port = QString::fromLatin1(row.port);
    if (row.inUse)
        host.addAnswering(input.settings.address);
    const Programmed programmed = run();
    EXPECT_EQ(programmed.outcome, Outcome::Refused);
    EXPECT_EQ(programmed.messageId, row.messageId);
    EXPECT_TRUE(answers.questions.isEmpty());
    EXPECT_TRUE(script.sent().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Refusal,
    ::testing::Values(RefusalRow{"in_use", "192.168.0.77", "11080", true, IDS_126},
                      RefusalRow{"incomplete", "192.168.0", "11080", false, IDS_127},
                      RefusalRow{"port_too_high", "192.168.0.77", "70000", false, IDS_129},
                      RefusalRow{"port_too_low", "192.168.0.77", "10000", false, IDS_129}),
    [](const ::testing::TestParamInfo<RefusalRow> &row) { return std::string(row.param.name); });

// Settings the window would send pass the check and go out.
TEST_F(ProgrammingFlow, CheckedSettingsThatFitAreSent) {
    input.checkFirst = true;
    answers.yes = false;
    EXPECT_EQ(run().outcome, Outcome::Declined);
    EXPECT_EQ(answers.questions.size(), 1);
}

} // namespace
