#include "devicelink/identification.h"

#include "fakehostnetwork.h"

#include <gtest/gtest.h>

using namespace qev;

namespace {

struct NetworkRow {
    QString pc;
    QString device;
    QString prefix;
    bool inNetwork;
};

void PrintTo(const NetworkRow &row, std::ostream *os) {
    *os << row.pc.toStdString() << " / " << row.device.toStdString();
}

class PcNetwork : public testing::TestWithParam<NetworkRow> {};

TEST_P(PcNetwork, LeadingOctetsByThePcsClass) {
    EXPECT_EQ(PcNetworkPrefix(GetParam().pc), GetParam().prefix);
    EXPECT_EQ(InPcNetwork(GetParam().pc, GetParam().device), GetParam().inNetwork);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PcNetwork,
    testing::Values(NetworkRow{QStringLiteral("192.168.0.5"), QStringLiteral("192.168.0.77"),
                               QStringLiteral("192.168.0"), true},
                    NetworkRow{QStringLiteral("192.168.0.5"), QStringLiteral("192.168.1.77"),
                               QStringLiteral("192.168.0"), false},
                    NetworkRow{QStringLiteral("10.1.2.3"), QStringLiteral("10.200.0.1"),
                               QStringLiteral("10"), true},
                    NetworkRow{QStringLiteral("10.1.2.3"), QStringLiteral("11.1.2.3"),
                               QStringLiteral("10"), false},
                    NetworkRow{QStringLiteral("172.16.5.4"), QStringLiteral("172.16.99.1"),
                               QStringLiteral("172.16"), true},
                    NetworkRow{QStringLiteral("172.16.5.4"), QStringLiteral("172.17.5.4"),
                               QStringLiteral("172.16"), false},
                    // Without an address of its own the PC has no network to be in.
                    NetworkRow{QStringLiteral("ohne IP Adresse"), QStringLiteral("0.0.0.0"),
                               QString(), false},
                    NetworkRow{QString(), QStringLiteral("192.168.0.77"), QString(), false}));

TEST(FoundDevice, StatusByNetworkAndProgrammingAllowed) {
    const auto text = [](const ComposedText &t) {
        return ComposeText(t, [](int id) { return QStringLiteral("<%1>").arg(id); });
    };
    const QString pc = QStringLiteral("192.168.0.5");

    const FoundPresentation readOk =
        PresentFoundDevice(pc, QStringLiteral("192.168.0.77"), 1, true);
    EXPECT_TRUE(readOk.inPcNetwork);
    EXPECT_EQ(readOk.addressColour, FieldColour::Good);
    EXPECT_EQ(readOk.led, Led::Good);
    EXPECT_EQ(text(readOk.status), QStringLiteral("<109>"));
    EXPECT_EQ(readOk.prefill, QStringLiteral("192.168.0"));
    EXPECT_EQ(readOk.classLetter, QStringLiteral("C"));

    const FoundPresentation several =
        PresentFoundDevice(pc, QStringLiteral("192.168.0.77"), 3, false);
    EXPECT_EQ(several.led, Led::Good);
    EXPECT_EQ(text(several.status), QStringLiteral("3<202>"));

    const FoundPresentation foreign = PresentFoundDevice(pc, QStringLiteral("10.0.0.7"), 1, true);
    EXPECT_FALSE(foreign.inPcNetwork);
    EXPECT_EQ(foreign.addressColour, FieldColour::Wrong);
    EXPECT_EQ(foreign.led, Led::Fault);
    EXPECT_EQ(text(foreign.status), QStringLiteral("<111>"));
    EXPECT_EQ(foreign.classLetter, QStringLiteral("A"));
    EXPECT_EQ(foreign.prefill, QStringLiteral("192.168.0"));

    EXPECT_EQ(PresentFoundDevice(pc, QStringLiteral("127.0.0.1"), 1, true).classLetter,
              QStringLiteral("L"));
    EXPECT_EQ(PresentFoundDevice(pc, QStringLiteral("250.1.1.1"), 1, true).classLetter, QString());
}

TEST(ProgrammingAllowed, FewDevicesOrAClassThatCanBeToldApart) {
    const QList<int> distinguishable{7, 16, 17, 21, 22, 23, 24, 27};
    for (int c = 0; c <= 255; ++c) {
        const auto cls = static_cast<quint8>(c);
        EXPECT_TRUE(ProgrammingAllowedAfter(0, cls)) << c;
        EXPECT_TRUE(ProgrammingAllowedAfter(1, cls)) << c;
        EXPECT_EQ(ProgrammingAllowedAfter(2, cls), distinguishable.contains(c)) << c;
        EXPECT_EQ(ProgrammingAllowedAfter(5, cls), distinguishable.contains(c)) << c;
    }
}

TEST(ProgrammingGroup, HiddenForPcPrograms) {
    for (int c = 0; c <= 255; ++c)
        EXPECT_EQ(ProgrammingGroupVisible(static_cast<quint8>(c)), c < 28 || c > 33) << c;
}

} // namespace
