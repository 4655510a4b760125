#include "devsimoptions.h"
#include "devsimserver.h"

#include <cctype>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

using namespace qev;
using namespace qev::devsim;

namespace {

// A test name from a command-line text: letters and digits stay, everything else is "_".
std::string testName(const char *text) {
    std::string name(text);
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

TEST(DeviceSpec, DefaultsFollowTheAddressAndTheBasePort) {
    QString error;
    const auto c = ParseDeviceSpec(QStringLiteral("ip=10.1.2.3"), 41080, &error);
    ASSERT_TRUE(c) << qPrintable(error);
    EXPECT_EQ(c->deviceClass, 17);
    EXPECT_EQ(c->versionMajor, 7);
    EXPECT_EQ(c->versionMinor, 4);
    EXPECT_EQ(c->network.ip, 0x0A010203u);
    EXPECT_EQ(c->network.mask, 0xFFFFFF00u);
    EXPECT_EQ(c->network.mac, (MacBytes{0x02, 0x81, 0x7E, 0x00, 0x02, 0x03}));
    EXPECT_EQ(c->network.port, 41081);
    EXPECT_TRUE(c->serial.isEmpty());
    EXPECT_TRUE(c->answersExtended);
    EXPECT_EQ(c->fault.kind, FaultKind::None);
}

TEST(DeviceSpec, EveryKey) {
    QString error;
    const auto c = ParseDeviceSpec(
        QStringLiteral("class=27,version=2.15,ip=192.168.77.10,mask=255.255.0.0,"
                       "mac=02:81:7e:00:00:10,port=0,serial=01:02:03:04:05:06:07:08:09:0a:0B,"
                       "name=Booster links,extended=no,fault=overlong:3000"),
        11080, &error);
    ASSERT_TRUE(c) << qPrintable(error);
    EXPECT_EQ(c->deviceClass, 27);
    EXPECT_EQ(c->versionMajor, 2);
    EXPECT_EQ(c->versionMinor, 15);
    EXPECT_EQ(c->network.ip, 0xC0A84D0Au);
    EXPECT_EQ(c->network.mask, 0xFFFF0000u);
    EXPECT_EQ(c->network.mac, (MacBytes{0x02, 0x81, 0x7E, 0x00, 0x00, 0x10}));
    EXPECT_EQ(c->network.port, 0);
    EXPECT_EQ(c->serial, QByteArray::fromHex("0102030405060708090A0B"));
    EXPECT_EQ(c->name, QStringLiteral("Booster links"));
    EXPECT_FALSE(c->answersExtended);
    EXPECT_EQ(c->fault.kind, FaultKind::Overlong);
    EXPECT_EQ(c->fault.value, 3000);
}

struct FaultText {
    const char *text;
    FaultKind kind;
    int value;
};

void PrintTo(const FaultText &row, std::ostream *os) {
    *os << row.text;
}

class FaultSpec : public ::testing::TestWithParam<FaultText> {};

TEST_P(FaultSpec, Parses) {
    QString error;
    const auto c =
        ParseDeviceSpec(QStringLiteral("fault=") + QLatin1String(GetParam().text), 11080, &error);
    ASSERT_TRUE(c) << qPrintable(error);
    EXPECT_EQ(c->fault.kind, GetParam().kind);
    EXPECT_EQ(c->fault.value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(DeviceSpec, FaultSpec,
                         ::testing::Values(FaultText{"silent", FaultKind::Silent, 0},
                                           FaultText{"baseonly", FaultKind::BaseOnly, 0},
                                           FaultText{"discoveryonly", FaultKind::DiscoveryOnly, 0},
                                           FaultText{"slow", FaultKind::Slow, 1500},
                                           FaultText{"slow:250", FaultKind::Slow, 250},
                                           FaultText{"slow:0", FaultKind::Slow, 0},
                                           FaultText{"garbage", FaultKind::Garbage, 0},
                                           FaultText{"overlong", FaultKind::Overlong, 9000},
                                           FaultText{"overlong:65507", FaultKind::Overlong, 65507}),
                         [](const auto &row) { return testName(row.param.text); });

struct PageFaultText {
    const char *text;
    PageFaultKind kind;
    bool onRead;
    bool onWrite;
};

class PageFaultSpec : public ::testing::TestWithParam<PageFaultText> {};

TEST_P(PageFaultSpec, Parses) {
    QString error;
    const auto c = ParseDeviceSpec(
        QStringLiteral("class=3,pagefault=") + QLatin1String(GetParam().text), 11080, &error);
    ASSERT_TRUE(c) << qPrintable(error);
    EXPECT_EQ(c->pageFault.kind, GetParam().kind);
    EXPECT_EQ(c->pageFault.onRead, GetParam().onRead);
    EXPECT_EQ(c->pageFault.onWrite, GetParam().onWrite);
}

INSTANTIATE_TEST_SUITE_P(
    DeviceSpec, PageFaultSpec,
    ::testing::Values(PageFaultText{"silent", PageFaultKind::Silent, true, true},
                      PageFaultText{"short:read", PageFaultKind::Short, true, false},
                      PageFaultText{"long:write", PageFaultKind::Long, false, true},
                      PageFaultText{"lead", PageFaultKind::Lead, true, true}),
    [](const auto &row) { return testName(row.param.text); });

class BadSpec : public ::testing::TestWithParam<const char *> {};

TEST_P(BadSpec, IsRefusedWithAReason) {
    QString error;
    EXPECT_FALSE(ParseDeviceSpec(QLatin1String(GetParam()), 11080, &error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam()))) << qPrintable(error);
}

INSTANTIATE_TEST_SUITE_P(
    DeviceSpec, BadSpec,
    ::testing::Values("class=256", "class=-1", "class=", "version=7", "version=7.4.1",
                      "version=7.256", "ip=192.168.0", "ip=192.168.0.256", "ip=1.2.3.4.5",
                      "ip=01234.1.1.1", "ip= 1.2.3.4x", "mask=255.255.255", "mac=02:81:7E:00:00",
                      "mac=02:81:7E:00:00:1G", "mac=0281:7E:00:00:10:11", "port=65536",
                      "port=11O80", "serial=0102030405", "serial=123", "serial=zz",
                      "class=22,serial=0102030405060708090A0B", "class=1,serial=010203040506",
                      "fault=slow:", "fault=slow:-5", "fault=silent:3", "fault=overlong:0",
                      "fault=overlong:65508", "fault=noisy", "pagefault=loud",
                      "pagefault=short:both", "pagefault=", "extended=maybe", "colour=red",
                      "class"),
    [](const auto &row) { return testName(row.param); });

TEST(DevsimCommandLine, OptionsAndTheirDefaults) {
    const ParsedCommandLine p = ParseDevsimCommandLine(
        {QStringLiteral("qev-devsim"), QStringLiteral("--device"), QStringLiteral("class=22"),
         QStringLiteral("--device"), QStringLiteral("class=17,ip=127.0.0.3,port=0"),
         QStringLiteral("--base-port"), QStringLiteral("41000")},
        QStringLiteral("/opt/qev/qev-programmer.ini"));
    ASSERT_TRUE(p.options) << qPrintable(p.error);
    ASSERT_EQ(p.options->devices.size(), 2u);
    EXPECT_EQ(p.options->devices[0].deviceClass, 22);
    EXPECT_EQ(p.options->devices[0].network.port, 41001);
    EXPECT_EQ(p.options->devices[1].network.ip, 0x7F000003u);
    EXPECT_EQ(p.options->basePort, 41000);
    EXPECT_FALSE(p.options->bindAddress);
    EXPECT_FALSE(p.options->gatherAddress);
    EXPECT_TRUE(p.options->interfaceName.isEmpty());
    EXPECT_EQ(p.options->settingsFile, QStringLiteral("/opt/qev/qev-programmer.ini"));
    EXPECT_TRUE(p.options->logFile.isEmpty());

    const ParsedCommandLine q = ParseDevsimCommandLine(
        {QStringLiteral("qev-devsim"), QStringLiteral("--device=ip=10.0.0.9"),
         QStringLiteral("--bind"), QStringLiteral("0.0.0.0"), QStringLiteral("--gather"),
         QStringLiteral("127.0.0.1"), QStringLiteral("--interface"), QStringLiteral("eth0"),
         QStringLiteral("--settings"), QStringLiteral("/tmp/codes.ini"), QStringLiteral("--log"),
         QStringLiteral("/tmp/sim.log")},
        QStringLiteral("/x.ini"));
    ASSERT_TRUE(q.options) << qPrintable(q.error);
    EXPECT_EQ(q.options->bindAddress, 0u);
    EXPECT_EQ(q.options->gatherAddress, 0x7F000001u);
    EXPECT_EQ(q.options->interfaceName, QStringLiteral("eth0"));
    EXPECT_EQ(q.options->settingsFile, QStringLiteral("/tmp/codes.ini"));
    EXPECT_EQ(q.options->logFile, QStringLiteral("/tmp/sim.log"));
}

struct BadArguments {
    const char *name;
    std::vector<const char *> arguments;
};

void PrintTo(const BadArguments &row, std::ostream *os) {
    *os << row.name;
}

class BadCommandLine : public ::testing::TestWithParam<BadArguments> {};

TEST_P(BadCommandLine, IsRefused) {
    QStringList args{QStringLiteral("qev-devsim")};
    for (const char *a : GetParam().arguments)
        args << QLatin1String(a);
    const ParsedCommandLine p = ParseDevsimCommandLine(args, QStringLiteral("/x.ini"));
    EXPECT_FALSE(p.options);
    EXPECT_FALSE(p.error.isEmpty());
    EXPECT_TRUE(p.helpText.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    DevsimCommandLine, BadCommandLine,
    ::testing::Values(
        BadArguments{"NoDevice", {}},
        BadArguments{"StrayArgument", {"--device", "class=17", "stray"}},
        BadArguments{"BasePortZero", {"--device", "class=17", "--base-port", "0"}},
        BadArguments{"BasePortTooLarge", {"--device", "class=17", "--base-port", "70000"}},
        BadArguments{"BindToAName", {"--device", "class=17", "--bind", "localhost"}},
        BadArguments{"GatherAtAName", {"--device", "class=17", "--gather", "localhost"}},
        BadArguments{"UnknownOption", {"--device", "class=17", "--frobnicate"}},
        BadArguments{"InterfaceWithTwoDevices",
                     {"--device", "class=17", "--device", "class=22", "--interface", "eth0"}},
        BadArguments{"EmptyInterface", {"--device", "class=17", "--interface", ""}},
        BadArguments{"DeviceWithoutSpec", {"--device"}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(DevsimCommandLine, HelpExplainsEveryOptionAndKey) {
    const ParsedCommandLine p = ParseDevsimCommandLine(
        {QStringLiteral("qev-devsim"), QStringLiteral("--help")}, QStringLiteral("/x.ini"));
    EXPECT_FALSE(p.options);
    for (const char *word :
         {"--device",   "--interface", "--bind",        "--gather",   "--base-port",
          "--settings", "--log",       "discoveryonly", "class=",     "version=",
          "ip=",        "mask=",       "mac=",          "port=",      "serial=",
          "name=",      "extended=",   "silent",        "baseonly",   "slow",
          "garbage",    "overlong",    "ready",         "rx <dstIp>", "programmed ip="})
        EXPECT_TRUE(p.helpText.contains(QLatin1String(word))) << word;
}

TEST(DevsimLog, LinesInTheAgreedFormat) {
    EXPECT_EQ(FormatRxLine(0xC0A84DFF, 11080, 0xC0A84D01, 41234, QByteArray::fromHex("F5")),
              QStringLiteral("rx 192.168.77.255:11080 from 192.168.77.1:41234 F5"));
    EXPECT_EQ(FormatRxLine(0x7F000002, 1, 0x7F000001, 65535, {}),
              QStringLiteral("rx 127.0.0.2:1 from 127.0.0.1:65535"));
    EXPECT_EQ(FormatTxLine(0x7F000001, 5000, 0x7F000002, 11080, QByteArray::fromHex("21f0")),
              QStringLiteral("tx 127.0.0.1:5000 from 127.0.0.2:11080 21F0"));
    const NetworkSettings s{0xC0A8004D, 0xFFFFFF00, {0x02, 0x81, 0x7E, 0x00, 0x00, 0x4D},
                            11080,      0,          0};
    EXPECT_EQ(FormatProgrammedLine(s),
              QStringLiteral("programmed ip=192.168.0.77 mask=255.255.255.0 port=11080 "
                             "mac=02:81:7E:00:00:4D"));
}

} // namespace
