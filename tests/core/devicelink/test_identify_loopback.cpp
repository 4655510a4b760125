// The identification exchange and the direct search against scripted peers on loopback.

#include "devicelink/devicelink.h"
#include "devicelink/identification.h"
#include "devicelink/selection.h"
#include "udppeer.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace qev;
using qevtest::hexBytes;
using qevtest::UdpPeer;

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");

// Answers each request by its hex text; requests not in the script stay unanswered.
UdpPeer::Responder script(QHash<QByteArray, QByteArray> answers) {
    return [answers =
                std::move(answers)](const qevtest::PeerDatagram &d) -> std::optional<QByteArray> {
        const auto it = answers.find(d.payload.toHex().toUpper());
        if (it == answers.end())
            return std::nullopt;
        return *it;
    };
}

QStringList requests(const UdpPeer &peer) {
    QStringList list;
    for (const qevtest::PeerDatagram &d : peer.received())
        list.append(QString::fromLatin1(d.payload.toHex().toUpper()));
    return list;
}

class Identify : public testing::Test {
protected:
    // The device listens on its own port; `base` stands in for the base port.
    void start(QHash<QByteArray, QByteArray> deviceAnswers,
               QHash<QByteArray, QByteArray> baseAnswers = {}) {
        device = std::make_unique<UdpPeer>(Loopback, script(std::move(deviceAnswers)));
        base = std::make_unique<UdpPeer>(Loopback, script(std::move(baseAnswers)));
        ProtocolPorts ports;
        ports.base = base->port();
        ports.assumed = device->port();
        link = std::make_unique<DeviceLink>(ports, DeviceCodes::placeholders(), [] {});
        {
            qev::CurrentDevice current = link->current();
            current.host = Loopback;
            current.port = device->port();
            link->setCurrent(current);
        }
    }

    std::unique_ptr<UdpPeer> device;
    std::unique_ptr<UdpPeer> base;
    std::unique_ptr<DeviceLink> link;
};

TEST_F(Identify, ExtendedFormAnsweredShortFormNotSent) {
    start({{"600F", hexBytes("21 60 0F 11 07 04")},
           {"0D00", hexBytes("21 0D 01 06 01 02 03 04 05 06")}});
    const IdentificationResult r = IdentifyExchange(*link, true);
    EXPECT_EQ(requests(*device), (QStringList{"600F", "0D00"}));
    ASSERT_TRUE(r.dispatch);
    EXPECT_TRUE(r.dispatch->known);
    EXPECT_EQ(link->current().deviceClass, 17);
    EXPECT_EQ(link->current().versionMajor, 7);
    EXPECT_EQ(link->current().versionMinor, 4);
    EXPECT_TRUE(r.dispatch->pages.contains(Page::TabSheetLight));
    EXPECT_EQ(r.serial, QStringLiteral("06:05:04:03:02:01"));
    EXPECT_FALSE(r.noAnswer);
    EXPECT_TRUE(r.programmingGroupVisible);
    EXPECT_TRUE(requests(*base).isEmpty());
}

TEST_F(Identify, ExtendedUnknownShortDecides) {
    // Class 6 with firmware 7 in the short form is the S88 controller, class 17.
    start({{"600F", hexBytes("21 60 0F C8 01 02")}, {"0F", hexBytes("21 0F 06 07 03")}});
    const IdentificationResult r = IdentifyExchange(*link, true);
    EXPECT_EQ(requests(*device), (QStringList{"600F", "0F", "0D00"}));
    ASSERT_TRUE(r.dispatch);
    EXPECT_EQ(r.dispatch->reportedClass, 17);
    EXPECT_EQ(r.dispatch->s88ModuleLimit, 66);
    EXPECT_FALSE(r.dispatch->deviceTypeEnabled);
    EXPECT_FALSE(r.dispatch->pages.contains(Page::TabSheetLight)); // 7.3
    EXPECT_EQ(link->current().deviceClass, 17);
    EXPECT_EQ(link->current().versionMajor, 7);
    EXPECT_EQ(link->current().versionMinor, 3);
    EXPECT_FALSE(r.serial); // the device did not answer the serial request
}

TEST_F(Identify, ExtendedSilentShortDecides) {
    start({{"0F", hexBytes("21 0F 03 02 05")}});
    const IdentificationResult r = IdentifyExchange(*link, true);
    // Class 3 has no serial number to ask for.
    EXPECT_EQ(requests(*device), (QStringList{"600F", "0F"}));
    ASSERT_TRUE(r.dispatch);
    EXPECT_EQ(link->current().deviceClass, 3);
    EXPECT_EQ(link->current().versionMajor, 2);
    EXPECT_EQ(link->current().versionMinor, 5);
    EXPECT_FALSE(r.noAnswer);
}

TEST_F(Identify, UnknownClassThenShortReplyLeavesTheUnknownVerdict) {
    start({{"600F", hexBytes("21 60 0F C8 01 02")}, {"0F", hexBytes("21 0F")}});
    {
        qev::CurrentDevice current = link->current();
        current.deviceClass = 3;
        link->setCurrent(current);
    }
    const IdentificationResult r = IdentifyExchange(*link, true);
    ASSERT_TRUE(r.dispatch);
    EXPECT_FALSE(r.dispatch->known);
    EXPECT_EQ(r.dispatch->version, VersionDisplay::Cleared);
    EXPECT_EQ(link->current().deviceClass, 0);
    EXPECT_FALSE(r.noAnswer);
}

TEST_F(Identify, FourByteRepliesAreNoIdentificationButAnAnswer) {
    start({{"600F", hexBytes("21 60 0F 03")}, {"0F", hexBytes("21 0F 03 01")}});
    {
        qev::CurrentDevice current = link->current();
        current.deviceClass = 5;
        current.versionMajor = 9;
        link->setCurrent(current);
    }
    const IdentificationResult r = IdentifyExchange(*link, true);
    EXPECT_EQ(requests(*device), (QStringList{"600F", "0F"}));
    EXPECT_FALSE(r.dispatch);
    EXPECT_EQ(link->current().deviceClass, 5);  // nothing dispatched
    EXPECT_EQ(link->current().versionMajor, 1); // still read from the short reply
    EXPECT_EQ(link->current().versionMinor, 0);
    EXPECT_FALSE(r.noAnswer);
}

struct SilenceRow {
    const char *name;
    QByteArray extendedReply; // empty: no answer
    QByteArray shortReply;
    bool inPcNetwork;
    bool noAnswer;
};

void PrintTo(const SilenceRow &row, std::ostream *os) {
    *os << row.name;
}

class Silence : public Identify, public testing::WithParamInterface<SilenceRow> {};

TEST_P(Silence, NoAnswerOnlyInThePcsNetwork) {
    QHash<QByteArray, QByteArray> answers;
    if (!GetParam().extendedReply.isEmpty())
        answers.insert("600F", GetParam().extendedReply);
    if (!GetParam().shortReply.isEmpty())
        answers.insert("0F", GetParam().shortReply);
    start(answers);
    {
        qev::CurrentDevice current = link->current();
        current.versionMajor = 9;
        current.versionMinor = 9;
        link->setCurrent(current);
    }
    const IdentificationResult r = IdentifyExchange(*link, GetParam().inPcNetwork);
    EXPECT_EQ(requests(*device), (QStringList{"600F", "0F"}));
    EXPECT_FALSE(r.dispatch);
    EXPECT_EQ(r.noAnswer, GetParam().noAnswer);
    EXPECT_EQ(link->current().versionMajor, 0);
    EXPECT_EQ(link->current().versionMinor, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, Silence,
                         testing::Values(SilenceRow{"SilentInNetwork", {}, {}, true, true},
                                         SilenceRow{"SilentOutsideNetwork", {}, {}, false, false},
                                         SilenceRow{"ThreeByteRepliesInNetwork",
                                                    hexBytes("21 60 0F"), hexBytes("21 0F 00"),
                                                    true, true}));

TEST_F(Identify, PortZeroUsesTheAssumedPort) {
    start({{"600F", hexBytes("21 60 0F 19 01 00")}});
    {
        qev::CurrentDevice current = link->current();
        current.port = 0;
        link->setCurrent(current);
    }
    IdentifyExchange(*link, true);
    EXPECT_EQ(link->current().port, device->port());
    EXPECT_EQ(requests(*device), QStringList{"600F"});
    EXPECT_EQ(link->current().deviceClass, 25);
}

TEST_F(Identify, ClosedPortFallsBackToTheBasePort) {
    start({}, {{"600F", hexBytes("21 60 0F 11 06 02")}});
    {
        qev::CurrentDevice current = link->current();
        current.port = UdpPeer::closedPort(Loopback);
        link->setCurrent(current);
    }
    const IdentificationResult r = IdentifyExchange(*link, true);
    EXPECT_EQ(requests(*base), QStringList{"600F"});
    EXPECT_EQ(link->current().deviceClass, 17);
    // The serial request goes to the closed port; its refusal is caught.
    EXPECT_FALSE(r.serial);
    EXPECT_FALSE(r.noAnswer);
}

struct SerialRow {
    const char *name;
    QByteArray identity; // reply to 60 0F
    QByteArray request;  // hex of the serial request
    QByteArray reply;
    QString serial;
};

void PrintTo(const SerialRow &row, std::ostream *os) {
    *os << row.name;
}

class Serial : public Identify, public testing::WithParamInterface<SerialRow> {};

TEST_P(Serial, RequestAndText) {
    start({{"600F", GetParam().identity}, {GetParam().request, GetParam().reply}});
    const IdentificationResult r = IdentifyExchange(*link, true);
    EXPECT_EQ(requests(*device), (QStringList{"600F", QString::fromLatin1(GetParam().request)}));
    EXPECT_EQ(r.serial, GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Serial,
    testing::Values(SerialRow{"BoosterGatewaySixBytes", hexBytes("21 60 0F 1B 03 01"), "5C0D00",
                              hexBytes("21 5C 0D 01 06 A1 B2 C3 D4 E5 F6"),
                              QStringLiteral("A1:B2:C3:D4:E5:F6")},
                    SerialRow{"ZentraleElevenBytes", hexBytes("21 60 0F 10 02 01"), "5C0D00",
                              hexBytes("21 5C 0D 01 0B 11 22 33 44 55 66 77 88 99 AA BB"),
                              QStringLiteral("11:22:33:44:55:66:77:88:99:AA:BB")},
                    SerialRow{"LightMaster", hexBytes("21 60 0F 17 05 00"), "600D00",
                              hexBytes("21 60 0D 01 06 01 02 03 04 05 06"),
                              QStringLiteral("01:02:03:04:05:06")}));

TEST_F(Identify, PcProgramsHideTheProgrammingGroup) {
    start({{"600F", hexBytes("21 60 0F FA 02 03")}});
    const IdentificationResult r = IdentifyExchange(*link, true);
    EXPECT_EQ(link->current().deviceClass, 28);
    EXPECT_FALSE(r.programmingGroupVisible);
    ASSERT_TRUE(r.dispatch);
    EXPECT_EQ(r.dispatch->version, VersionDisplay::Shown);
}

// ---- Direct search by address ----

TEST_F(Identify, DirectSearchTakesAnyReplyOfDiscoveryLength) {
    start({}, {{"F5", hexBytes("00 00 7F 00 00 01 FF 00 00 00 02 81 7E 00 00 01 2B 4A")}});
    {
        qev::CurrentDevice current = link->current();
        current.host = QStringLiteral("127.0.0.9");
        current.programmingAllowed = false;
        link->setCurrent(current);
    }
    const Selection s = DirectSearch(*link, Loopback);
    EXPECT_EQ(requests(*base), QStringList{"F5"});
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.device.address, Loopback);
    EXPECT_EQ(s.device.netmask, QStringLiteral("255.0.0.0"));
    EXPECT_EQ(s.device.port, 11082);
    EXPECT_EQ(link->current().deviceClass, 17);
    EXPECT_TRUE(link->current().programmingAllowed);
    EXPECT_FALSE(link->broadcastPermitted());
    EXPECT_EQ(link->current().host, QStringLiteral("127.0.0.9"));
}

TEST_F(Identify, DirectSearchWithoutReplyFindsNothing) {
    start({}, {{"F5", hexBytes("21 F5 7F 00 00 01")}}); // too short
    {
        qev::CurrentDevice current = link->current();
        current.deviceClass = 3;
        link->setCurrent(current);
    }
    const Selection s = DirectSearch(*link, Loopback);
    EXPECT_EQ(s.count, 0);
    EXPECT_EQ(s.device, DeviceRecord{});
    EXPECT_EQ(link->current().deviceClass, 3);
    EXPECT_FALSE(link->broadcastPermitted());
}

} // namespace
