// The search, the manual selection and the identification on a scripted socket.

#include "flowtest.h"

#include "app/messageid.h"

using namespace qev;
using namespace qev::flow;
using qevtest::hex;

namespace {

const QString Device = QStringLiteral("192.168.0.20");
// A discovery reply: 192.168.0.20, 255.255.255.0, MAC 00:11:22:33:44:55, port 11082.
const char *const Discovered = "21 F5 C0 A8 00 14 FF FF FF 00 00 11 22 33 44 55 2B 4A";

class SearchFlow : public qevtest::FlowTest {
protected:
    // The identification of a class-17 device at port 11082 with its serial number.
    void expectIdentification() {
        script.expect("60 0F", 11082, Device).reply("21 60 0F 11 07 04");
        script.expect("0D 00", 11082, Device).reply("21 0D 01 06 01 02 03 04 05 06");
    }
};

TEST_F(SearchFlow, FindsIdentifiesAndAllowsProgrammingTheOneDevice) {
    script.expect("F5", 11080, QStringLiteral("192.168.0.255")).reply(Discovered);
    script.expect("0F", 11082, Device).reply("21 0F 11 07 04");
    expectIdentification();
    link().setCurrent({.versionMajor = 3, .versionMinor = 1, .programmingAllowed = false});

    const Searched searched = Search(link(), searchOptions(), progress);

    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(searched.found.count, 1);
    EXPECT_EQ(searched.identified.outcome, Outcome::Done);
    EXPECT_EQ(searched.identified.messageId, 0);
    ASSERT_TRUE(searched.identified.identification.dispatch);
    EXPECT_EQ(searched.identified.identification.serial, QStringLiteral("06:05:04:03:02:01"));
    // The device was shown before it was asked, judged against the PC's network, with the
    // verdict of the previous search on programming.
    ASSERT_EQ(progress.foundDevices.size(), 1);
    EXPECT_EQ(progress.foundDevices[0].address, Device);
    EXPECT_TRUE(progress.presentations[0].inPcNetwork);
    EXPECT_EQ(searched.identified.shown.status, (ComposedText{QString::number(1), IDS_202}));
    EXPECT_EQ(progress.steps, (QList<qevtest::ProgressStep>{{SearchCollecting, -1, 0},
                                                            {SearchIdentifying, -1, 0}}));
    const CurrentDevice &d = link().current();
    EXPECT_EQ(d.host, Device);
    EXPECT_EQ(d.port, 11082);
    EXPECT_EQ(d.deviceClass, 17);
    EXPECT_EQ(d.versionText(), QStringLiteral("7.4"));
    EXPECT_TRUE(d.programmingAllowed);
}

// Silence and an error of the search both end with nothing found and nothing asked.
TEST_F(SearchFlow, NothingFoundAsksNothing) {
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "refused" : "silent");
        if (refused)
            script.expect("F5", 11080).refused();
        else
            script.expect("F5", 11080).silence();
        link().setCurrent({.host = Device, .deviceClass = 17, .programmingAllowed = false});

        const Searched searched = Search(link(), searchOptions(), progress);

        EXPECT_TRUE(script.finished()) << qPrintable(script.report());
        EXPECT_EQ(searched.found.count, 0);
        EXPECT_EQ(searched.identified.outcome, Outcome::NoDevice);
        EXPECT_EQ(searched.identified.messageId, 0) << "nothing found is no failure";
        EXPECT_EQ(link().current().deviceClass, 0);
        EXPECT_TRUE(link().current().programmingAllowed);
    }
    EXPECT_TRUE(progress.foundDevices.isEmpty());
}

struct IdentifyRow {
    const char *name;
    int count;
    bool nothingFound;
    bool silent; // the device answers neither form
    Outcome outcome;
    int messageId;
};

class IdentifyFlow : public SearchFlow, public ::testing::WithParamInterface<IdentifyRow> {};

TEST_P(IdentifyFlow, OutcomeAndMessage) {
    const IdentifyRow &row = GetParam();
    if (row.count > 0 && row.silent) {
        script.expect("60 0F", 11082, Device).silence();
        script.expect("0F", 11082, Device).silence();
    } else if (row.count > 0) {
        expectIdentification();
    }
    const MacBytes mac{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    const Found found{
        {Device, QStringLiteral("255.255.255.0"), mac, 11082}, row.count, row.nothingFound};
    const Identified identified = Identify(link(), found, QStringLiteral("192.168.0.10"), progress);
    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(identified.outcome, row.outcome);
    EXPECT_EQ(identified.messageId, row.messageId);
    EXPECT_EQ(progress.foundDevices.size(), row.count > 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IdentifyFlow,
    ::testing::Values(IdentifyRow{"answers", 1, false, false, Outcome::Done, 0},
                      IdentifyRow{"silent", 1, false, true, Outcome::NoAnswer, IDS_106},
                      IdentifyRow{"none_chosen", 0, false, false, Outcome::NoDevice, IDS_110},
                      IdentifyRow{"nothing_found", 0, true, false, Outcome::NoDevice, 0}),
    [](const ::testing::TestParamInfo<IdentifyRow> &row) { return std::string(row.param.name); });

// A known address is asked directly and the device that answers is taken as class 17.
TEST_F(SearchFlow, ManualSelectionByAddressAsksThatAddress) {
    script.expect("F5", 11080, Device).reply(Discovered);
    expectIdentification();

    const Searched searched = SelectManually(link(), -1, Device, searchOptions(), progress);

    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(searched.found.count, 1);
    EXPECT_EQ(searched.identified.outcome, Outcome::Done);
    EXPECT_EQ(link().current().deviceClass, 17);
    EXPECT_TRUE(link().current().programmingAllowed);
}

// A kind that nobody reports: the search offers nothing, the class returns to 0.
TEST_F(SearchFlow, ManualSelectionOfAKindNobodyReports) {
    script.expect("F5", 11080, QStringLiteral("192.168.0.255")).reply(Discovered);
    script.expect("0F", 11082, Device).reply("21 0F 11 07 04");

    const Searched searched = SelectManually(link(), 2 /* Ferrano Booster, class 34 */, QString(),
                                             searchOptions(), progress);

    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(searched.found.count, 0);
    EXPECT_EQ(searched.identified.outcome, Outcome::NoDevice);
    EXPECT_EQ(searched.identified.messageId, IDS_110);
    EXPECT_EQ(link().current().deviceClass, 0);
    EXPECT_TRUE(progress.foundDevices.isEmpty());
}

} // namespace
