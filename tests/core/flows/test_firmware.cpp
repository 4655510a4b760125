// The firmware installation's first exchange on a scripted socket: how a refusal and an
// error of the link end the flow, and that the link stays busy while it runs.

#include "flowtest.h"

#include "app/devicecodes.h"
#include "flows/firmware.h"

#include <QFile>
#include <QTemporaryDir>

using namespace qev;
using namespace qev::flow;

namespace {

struct AccessRow {
    const char *name;
    const char *reply; // nullptr: the device's port is closed
    InstallOutcome outcome;
};

class FirmwareFlow : public qevtest::FlowTest, public ::testing::WithParamInterface<AccessRow> {};

TEST_P(FirmwareFlow, AccessCodeDecides) {
    const AccessRow &row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("image.snFirm"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(32, '\5'));
    file.close();

    link().setCurrent({.host = QStringLiteral("192.168.0.20"), .port = 11082, .deviceClass = 5});
    const QByteArray access = "\xF0" + DeviceCodes::placeholders().accessCodeShort;
    if (row.reply)
        script.expect(access, 11080, QStringLiteral("192.168.0.20")).reply(row.reply);
    else
        script.expect(access, 11080, QStringLiteral("192.168.0.20")).refused();

    bool busyWhileRunning = false;
    InstallObserver observer;
    observer.pump = [&] {
        busyWhileRunning = busyWhileRunning || link().busy();
    };
    observer.progress = [&](int, int) {
        busyWhileRunning = busyWhileRunning || link().busy();
    };
    const InstallResult result = InstallFirmware(link(), path, observer);

    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(result.outcome, row.outcome);
    EXPECT_EQ(result.outcome == InstallOutcome::LinkFailed, !result.linkError.isEmpty());
    EXPECT_TRUE(busyWhileRunning);
    EXPECT_FALSE(link().busy());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FirmwareFlow,
    ::testing::Values(AccessRow{"refused", "21 00 00", InstallOutcome::AccessRefused},
                      AccessRow{"closed_port", nullptr, InstallOutcome::LinkFailed}),
    [](const ::testing::TestParamInfo<AccessRow> &row) { return std::string(row.param.name); });

} // namespace
