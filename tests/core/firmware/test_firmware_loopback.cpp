// The installation against qev-devsim over loopback: test ports, 127.0.0.x only, pings
// answered by the fake host network.

#include "app/devicecodes.h"
#include "app/messageid.h"
#include "devicelink/devicelink.h"
#include "devsimrunner.h"
#include "fakehostnetwork.h"
#include "flows/firmware.h"
#include "imagemaker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace qev;
using qev::imagemaker::DigestKind;
using qev::imagemaker::ImageSpec;
using namespace qevtest;

namespace {

const QString Device = QStringLiteral("127.0.0.2");

InstallTiming fastTiming() {
    InstallTiming t;
    t.accessReplyMs = 1000;
    t.blockReplyMs = 300;
    t.blockRetryWindowMs = 100;
    t.activationReplyMs = 500;
    t.restartCycleMs = 20;
    t.probeTimeoutMs = 300;
    return t;
}

struct Observed {
    std::vector<int> phases;
    std::vector<std::pair<int, int>> counters;
    std::vector<std::pair<int, int>> progress;
};

class FirmwareInstall : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        base = FreeUdpPort(QHostAddress::AnyIPv4);
        own = FreeUdpPort(QHostAddress::AnyIPv4);
        ASSERT_NE(base, 0);
        ASSERT_NE(own, 0);
        host.setLocalIP(QStringLiteral("127.0.0.1"));
        host.setAnswering({Device});
    }

    QString flashPath() const { return dir.filePath(QStringLiteral("flash.bin")); }
    QString logPath() const { return dir.filePath(QStringLiteral("devsim.log")); }

    bool startSim(int deviceClass, const QString &extra = {}) {
        QString spec = QStringLiteral("class=%1,ip=%2,port=%3,flash=%4,restart=0")
                           .arg(deviceClass)
                           .arg(Device)
                           .arg(own)
                           .arg(flashPath());
        if (!extra.isEmpty())
            spec += QLatin1Char(',') + extra;
        const bool ok =
            sim.start({QStringLiteral("--base-port"), QString::number(base),
                       QStringLiteral("--settings"), dir.filePath("codes.ini"),
                       QStringLiteral("--log"), logPath(), QStringLiteral("--device"), spec});
        if (!ok)
            ADD_FAILURE() << qPrintable(sim.diagnostics());
        return ok;
    }

    QString writeImage(const ImageSpec &spec, const QString &name = "image.snFirm") {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(imagemaker::WriteImageFile(path, spec, &error)) << qPrintable(error);
        return path;
    }

    InstallResult install(const QString &path, int deviceClass) {
        ProtocolPorts ports;
        ports.base = base;
        const EventPump pump = [] {
            QCoreApplication::processEvents();
        };
        DeviceLink link(ports, DeviceCodes::placeholders(), pump);
        {
            qev::CurrentDevice current = link.current();
            current.host = Device;
            current.port = own;
            current.deviceClass = quint8(deviceClass);
            link.setCurrent(current);
        }
        observed = {};
        InstallObserver observer;
        observer.phase = [this](int id) {
            observed.phases.push_back(id);
        };
        observer.counter = [this](int k, int n) {
            observed.counters.emplace_back(k, n);
        };
        observer.progress = [this](int p, int m) {
            observed.progress.emplace_back(p, m);
        };
        observer.pump = pump;
        return flow::InstallFirmware(link, path, observer, fastTiming());
    }

    // What the device holds after its last activation; empty when it never activated.
    QByteArray flash() const {
        QFile file(flashPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The leading command byte of every datagram the device received.
    std::vector<quint8> commands() {
        std::vector<quint8> list;
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            return list;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const auto rx = ParseDevsimRxLine(QString::fromLatin1(line));
            if (rx && !rx->payload.isEmpty())
                list.push_back(quint8(rx->payload[0]));
        }
        return list;
    }

    int count(quint8 command) {
        const std::vector<quint8> list = commands();
        return int(std::count(list.begin(), list.end(), command));
    }

    QTemporaryDir dir;
    quint16 base = 0;
    quint16 own = 0;
    FakeHostNetwork host;
    DevsimRunner sim;
    Observed observed;
};

TEST_F(FirmwareInstall, SixtyFourBlocksEndUpInTheDevice) {
    ASSERT_TRUE(startSim(5));
    const ImageSpec spec{.classTag = 5, .blocks = 64};
    const InstallResult r = install(writeImage(spec), 5);
    EXPECT_EQ(r.outcome, InstallOutcome::Finished) << qPrintable(r.linkError);
    EXPECT_FALSE(r.failed);
    EXPECT_TRUE(r.clearFileField);
    EXPECT_EQ(flash(), imagemaker::ImagePayload(spec));
    EXPECT_EQ(observed.phases, (std::vector<int>{IDS_119, IDS_120, IDS_121, IDS_123}));
    EXPECT_EQ(count(0xF3), 64);
    EXPECT_EQ(count(0xF2), 64);
    EXPECT_EQ(count(0xF6), 1);
    // Each phase counts the blocks through once.
    ASSERT_EQ(observed.counters.size(), 129u);
    EXPECT_EQ(observed.counters[0], std::make_pair(1, 64));
    EXPECT_EQ(observed.counters[63], std::make_pair(64, 64));
    EXPECT_EQ(observed.counters[64], std::make_pair(1, 64));
    EXPECT_EQ(observed.counters[127], std::make_pair(64, 64));
    EXPECT_EQ(observed.counters[128].first, 0);
    EXPECT_EQ(observed.progress.front(), std::make_pair(0, 64));
    EXPECT_EQ(observed.progress[64], std::make_pair(64, 64));
    ASSERT_FALSE(host.pingCalls().isEmpty());
    EXPECT_EQ(host.pingCalls().first(), (FakeHostNetwork::PingCall{Device, 400}));
}

TEST_F(FirmwareInstall, TwoHundredFiftyFiveBlocksWithTheLongAccessCode) {
    ASSERT_TRUE(startSim(17));
    const ImageSpec spec{.classTag = 17, .blocks = 255, .seed = 77};
    const InstallResult r = install(writeImage(spec), 17);
    EXPECT_EQ(r.outcome, InstallOutcome::Finished) << qPrintable(r.linkError);
    EXPECT_EQ(flash(), imagemaker::ImagePayload(spec));
    EXPECT_EQ(count(0xF3), 255);
    EXPECT_EQ(count(0xF2), 255);
}

TEST_F(FirmwareInstall, BoosterGatewayTakesTheImageTagged26) {
    ASSERT_TRUE(startSim(27));
    const ImageSpec spec{.classTag = 26, .blocks = 255};
    const QString path = writeImage(spec);
    ASSERT_TRUE(ImageFitsDevice(path, 27));
    EXPECT_EQ(install(path, 27).outcome, InstallOutcome::Finished);
    EXPECT_EQ(flash(), imagemaker::ImagePayload(spec));
}

TEST_F(FirmwareInstall, SecondInstallationAfterSuccess) {
    ASSERT_TRUE(startSim(16));
    const ImageSpec first{.classTag = 16, .blocks = 64, .seed = 1};
    const ImageSpec second{.classTag = 16, .blocks = 64, .seed = 2};
    EXPECT_EQ(install(writeImage(first, "a.snFirm"), 16).outcome, InstallOutcome::Finished);
    EXPECT_EQ(flash(), imagemaker::ImagePayload(first));
    EXPECT_EQ(install(writeImage(second, "b.snFirm"), 16).outcome, InstallOutcome::Finished);
    EXPECT_EQ(flash(), imagemaker::ImagePayload(second));
    EXPECT_EQ(count(0xF6), 2);
}

TEST_F(FirmwareInstall, DeviceSilentDuringRestartIsFoundByTheLastProbe) {
    ASSERT_TRUE(startSim(5, QStringLiteral("restart=250")));
    host.setAnswering({}); // no ping comes back: only the probe can tell
    const ImageSpec spec{.classTag = 5, .blocks = 64};
    const InstallResult r = install(writeImage(spec), 5);
    EXPECT_EQ(r.outcome, InstallOutcome::Finished);
    EXPECT_GT(host.pingCalls().size(), 30);
    EXPECT_EQ(count(0xF5), 1); // the probe, once
}

TEST_F(FirmwareInstall, ErrorOfTheLinkEndsTheInstallation) {
    // Nothing listens on the base port: the access code's reply reports a closed port.
    const ImageSpec spec{.classTag = 5, .blocks = 64};
    const InstallResult r = install(writeImage(spec), 5);
    EXPECT_EQ(r.outcome, InstallOutcome::LinkFailed);
    EXPECT_FALSE(r.linkError.isEmpty());
    EXPECT_TRUE(r.failed);
    EXPECT_TRUE(r.installEnabled);
}

struct FailRow {
    const char *name;
    const char *devsim; // extra SPEC keys
    DigestKind digest;
    qsizetype truncateTo;
    bool pingAnswers;
    InstallOutcome outcome;
    int block;
    const char *suffix;
    int writes; // block writes the device received
    int reads;  // block reads the device received
    bool activated;
};

class FirmwareFailure : public FirmwareInstall, public testing::WithParamInterface<FailRow> {};

TEST_P(FirmwareFailure, EndsWithItsOutcome) {
    const FailRow row = GetParam();
    ASSERT_TRUE(startSim(6, QString::fromLatin1(row.devsim)));
    if (!row.pingAnswers)
        host.setAnswering({});
    const ImageSpec spec{
        .classTag = 6, .blocks = 64, .digest = row.digest, .truncateTo = row.truncateTo};
    const InstallResult r = install(writeImage(spec), 6);
    EXPECT_EQ(r.outcome, row.outcome) << qPrintable(r.linkError);
    EXPECT_EQ(r.block, row.block);
    EXPECT_EQ(r.errorSuffix, QString::fromLatin1(row.suffix));
    EXPECT_EQ(count(0xF3), row.writes);
    EXPECT_EQ(count(0xF2), row.reads);
    EXPECT_EQ(count(0xF6), row.activated ? 1 : 0);
    if (row.activated) {
        EXPECT_EQ(flash(), imagemaker::ImagePayload(spec));
    }
}

constexpr DigestKind Ok = DigestKind::Correct;
using O = InstallOutcome;
INSTANTIATE_TEST_SUITE_P(
    Paths, FirmwareFailure,
    testing::Values(FailRow{"access_refused", "fwfault=refuse", Ok, -1, true, O::AccessRefused, 0,
                            "", 0, 0, false},
                    FailRow{"wrong_digest", "", DigestKind::Wrong, -1, true, O::ImageCorrupt, 0, "",
                            0, 0, false},
                    FailRow{"payload_only_digest", "", DigestKind::PayloadOnly, -1, true,
                            O::ImageCorrupt, 0, "", 0, 0, false},
                    FailRow{"truncated", "", Ok, 32 + 40 * 512, true, O::ImageCorrupt, 0, "", 0, 0,
                            false},
                    FailRow{"write_not_acknowledged", "fwfault=dropack:7", Ok, -1, true,
                            O::BlockWriteFailed, 7, ": Block Write: 7", 7, 0, false},
                    FailRow{"read_differs", "fwfault=corrupt:9", Ok, -1, true, O::BlockReadDiffers,
                            9, ": Block Read: 9", 64, 9, false},
                    FailRow{"read_unanswered", "fwfault=noread:3", Ok, -1, true, O::BlockError, 3,
                            ": Block Error: 3", 64, 3, false},
                    FailRow{"reads_acknowledged_only", "fwfault=ackread", Ok, -1, true, O::Finished,
                            0, "", 64, 64, true},
                    FailRow{"never_back", "fwfault=noreturn", Ok, -1, false, O::NoComeback, 0, "",
                            64, 64, true}),
    [](const testing::TestParamInfo<FailRow> &p) { return std::string(p.param.name); });

TEST_F(FirmwareInstall, UnusableFilesSendNothing) {
    ASSERT_TRUE(startSim(5));
    const QString folder = dir.filePath(QStringLiteral("folder.snFirm"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(install(dir.filePath(QStringLiteral("missing.snFirm")), 5).outcome,
              InstallOutcome::FileMissing);
    const InstallResult r = install(folder, 5);
    EXPECT_EQ(r.outcome, InstallOutcome::FileUnusable);
    EXPECT_EQ(r.errorLabel, ErrorLabel::FileCorrupt);
    QFile shortFile(dir.filePath(QStringLiteral("short.snFirm")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(imagemaker::MakeImage(ImageSpec{.classTag = 5, .blocks = 64}).first(20));
    shortFile.close();
    EXPECT_EQ(install(shortFile.fileName(), 5).outcome, InstallOutcome::FileUnusable);
    EXPECT_TRUE(commands().empty());
}

} // namespace
