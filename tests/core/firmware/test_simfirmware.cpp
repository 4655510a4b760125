// The simulator's firmware commands driven directly: what it takes, when it is silent, and
// how its fault modes are named on the command line.

#include "devsimoptions.h"
#include "simdevice.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace qev;
using namespace qev::devsim;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

QByteArray blockWrite(int k, char fill) {
    return hex("F3") + QByteArray(1, char(k)) + QByteArray(512, fill);
}

FirmwareConfig firmware(FirmwareFaultKind fault, int block = 0, int restartMs = 1000) {
    FirmwareConfig config;
    config.fault = fault;
    config.faultBlock = block;
    config.restartMs = restartMs;
    return config;
}

SimDevice device(FirmwareConfig firmware, quint8 deviceClass = 5) {
    DeviceConfig config;
    config.deviceClass = deviceClass;
    config.firmware = std::move(firmware);
    return SimDevice(config, DeviceCodes::placeholders());
}

QByteArray access(quint8 deviceClass = 5) {
    return hex("F0") + AccessCodeOfClass(deviceClass, DeviceCodes::placeholders());
}

QByteArray activate() {
    return hex("F6") + DeviceCodes::placeholders().activationCode;
}

TEST(SimFirmware, BlocksNeedTheAccessCodeFirst) {
    SimDevice sim = device({});
    EXPECT_TRUE(sim.handle(blockWrite(1, 'a')).reply.isEmpty());
    EXPECT_EQ(sim.handle(access()).reply, hex("21F0"));
    EXPECT_EQ(sim.handle(blockWrite(1, 'a')).reply, hex("21F3"));
    EXPECT_EQ(sim.handle(hex("F201")).reply, hex("21F201") + QByteArray(512, 'a'));
    // Never written: erased flash.
    EXPECT_EQ(sim.handle(hex("F202")).reply, hex("21F202") + QByteArray(512, char(0xFF)));
    // Wrong lengths and block 0 are not commands.
    EXPECT_TRUE(sim.handle(blockWrite(1, 'a').chopped(1)).reply.isEmpty());
    EXPECT_TRUE(sim.handle(hex("F200")).reply.isEmpty());
    EXPECT_TRUE(sim.handle(hex("F20100")).reply.isEmpty());
}

TEST(SimFirmware, ActivationTakesTheWrittenBlocksAndRestarts) {
    SimDevice sim = device(firmware(FirmwareFaultKind::None, 0, 60));
    sim.handle(access());
    sim.handle(blockWrite(1, 'a'));
    sim.handle(blockWrite(3, 'c'));
    EXPECT_TRUE(sim.handle(hex("F658")).reply.isEmpty()); // wrong code
    EXPECT_EQ(sim.handle(activate()).reply, hex("21F6"));
    EXPECT_EQ(sim.firmware().activated(),
              QByteArray(512, 'a') + QByteArray(512, char(0xFF)) + QByteArray(512, 'c'));
    EXPECT_TRUE(sim.handle(hex("F5")).reply.isEmpty());
    QThread::msleep(100);
    EXPECT_FALSE(sim.handle(hex("F5")).reply.isEmpty());
    // Locked again after the restart.
    EXPECT_TRUE(sim.handle(blockWrite(1, 'a')).reply.isEmpty());
}

TEST(SimFirmware, FaultsAtTheirBlock) {
    SimDevice drop = device(firmware(FirmwareFaultKind::DropAck, 2));
    drop.handle(access());
    EXPECT_FALSE(drop.handle(blockWrite(1, 'a')).reply.isEmpty());
    EXPECT_TRUE(drop.handle(blockWrite(2, 'b')).reply.isEmpty());
    EXPECT_EQ(drop.firmware().block(2), QByteArray(512, 'b')); // stored all the same

    SimDevice corrupt = device(firmware(FirmwareFaultKind::CorruptRead, 1));
    corrupt.handle(access());
    corrupt.handle(blockWrite(1, 'a'));
    const QByteArray read = corrupt.handle(hex("F201")).reply;
    ASSERT_EQ(read.size(), 515);
    EXPECT_NE(read.sliced(3), QByteArray(512, 'a'));

    SimDevice ack = device(firmware(FirmwareFaultKind::AckRead));
    ack.handle(access());
    EXPECT_EQ(ack.handle(hex("F201")).reply, hex("21F2"));

    SimDevice refuse = device(firmware(FirmwareFaultKind::RefuseAccess), 17);
    EXPECT_EQ(refuse.handle(access(17)).reply, hex("3FF0"));
    EXPECT_TRUE(refuse.handle(blockWrite(1, 'a')).reply.isEmpty());

    SimDevice gone = device(firmware(FirmwareFaultKind::NoReturn, 0, 0));
    gone.handle(access());
    EXPECT_EQ(gone.handle(activate()).reply, hex("21F6"));
    QThread::msleep(20);
    EXPECT_TRUE(gone.handle(hex("F5")).reply.isEmpty());
}

struct KeyRow {
    const char *spec;
    bool valid;
};

class FirmwareKeys : public testing::TestWithParam<KeyRow> {};

TEST_P(FirmwareKeys, Parse) {
    QString error;
    const auto config = ParseDeviceSpec(QString::fromLatin1(GetParam().spec), 11080, &error);
    EXPECT_EQ(config.has_value(), GetParam().valid) << qPrintable(error);
}

INSTANTIATE_TEST_SUITE_P(
    Spec, FirmwareKeys,
    testing::Values(KeyRow{"fwfault=refuse", true}, KeyRow{"fwfault=dropack:1", true},
                    KeyRow{"fwfault=corrupt:255", true}, KeyRow{"fwfault=noread:9", true},
                    KeyRow{"fwfault=ackread", true}, KeyRow{"fwfault=noreturn", true},
                    KeyRow{"restart=0", true}, KeyRow{"flash=/tmp/x", true},
                    KeyRow{"fwfault=dropack:0", false}, KeyRow{"fwfault=dropack:256", false},
                    KeyRow{"fwfault=dropack", false}, KeyRow{"fwfault=refuse:1", false},
                    KeyRow{"fwfault=other", false}, KeyRow{"restart=-1", false},
                    KeyRow{"restart=abc", false}, KeyRow{"flash=", false}),
    [](const testing::TestParamInfo<KeyRow> &p) {
        std::string name;
        for (const char c : std::string(p.param.spec))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(FirmwareKeys, ParsedValuesReachTheConfig) {
    QString error;
    const auto config = ParseDeviceSpec(
        QStringLiteral("fwfault=corrupt:17,restart=250,flash=/tmp/f"), 11080, &error);
    ASSERT_TRUE(config) << qPrintable(error);
    EXPECT_EQ(config->firmware.fault, FirmwareFaultKind::CorruptRead);
    EXPECT_EQ(config->firmware.faultBlock, 17);
    EXPECT_EQ(config->firmware.restartMs, 250);
    EXPECT_EQ(config->firmware.flashFile, QStringLiteral("/tmp/f"));
}

} // namespace
