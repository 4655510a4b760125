// The "Update" page installing into a simulated device in the test LAN, as a user drives
// it: progress, phase texts, the controls during and after, every way the end comes.

#include "app/aled.h"
#include "app/messagetext.h"
#include "app/qevprogrammerform.h"
#include "devicelink/devicelink.h"
#include "devsimrunner.h"
#include "firmware/firmwarepage.h"
#include "imagemaker.h"
#include "testlan.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using qev::imagemaker::DigestKind;
using qev::imagemaker::ImageSpec;

namespace {

const QString DeviceIp = QStringLiteral("192.168.77.20");
const char *const TrafficButtons[] = {"btnSuche", "btnDirekt", "btnSteckbrief", "btnEnde"};

class FirmwareLan : public ::testing::Test {
protected:
    void SetUp() override {
        QEV_REQUIRE_TESTLAN();
        ASSERT_TRUE(dir.isValid());
        lan = std::make_unique<qevtest::TestLan>();
        lan->setupPc(QStringLiteral("192.168.77.1/24"));
    }

    QString flashPath() const { return dir.filePath(QStringLiteral("flash.bin")); }

    // A device of the class in a namespace of its own; without a spec nothing listens there.
    void addDevice(int deviceClass, const QString &extra, bool listening = true) {
        const QString ns = lan->addDevice(DeviceIp + QStringLiteral("/24"));
        deviceNamespace = ns;
        if (!listening)
            return;
        QString spec = QStringLiteral("ip=%1,class=%2,restart=0,flash=%3")
                           .arg(DeviceIp)
                           .arg(deviceClass)
                           .arg(flashPath());
        if (!extra.isEmpty())
            spec += QLatin1Char(',') + extra;
        ASSERT_TRUE(sim.attach(lan->start(
            ns, QStringLiteral(QEV_DEVSIM_PATH),
            {QStringLiteral("--device"), spec, QStringLiteral("--bind"), QStringLiteral("0.0.0.0"),
             QStringLiteral("--settings"), dir.filePath(QStringLiteral("qev.ini"))})))
            << qPrintable(sim.diagnostics());
    }

    // The window with the device current and the "Update" page shown.
    void open(int deviceClass) {
        form = std::make_unique<TQevProgrammerForm>(dir.filePath(QStringLiteral("qev.ini")));
        form->show();
        form->FormActivate();
        {
            qev::CurrentDevice current = form->link().current();
            current.host = DeviceIp;
            current.deviceClass = quint8(deviceClass);
            form->link().setCurrent(current);
        }
        page = static_cast<FirmwarePage *>(form->PageWidget(qev::Page::TabSheetFirm));
        qev::InstallTiming timing;
        timing.accessReplyMs = 1000;
        timing.blockReplyMs = 400;
        timing.blockRetryWindowMs = 100;
        page->setInstallTiming(timing);
        form->ShowPage(page);
        QCoreApplication::processEvents();
        page->ui.btnUpdateFile->click();
    }

    QString choose(const ImageSpec &spec) {
        const QString path = dir.filePath(QStringLiteral("image.snFirm"));
        QString error;
        EXPECT_TRUE(qev::imagemaker::WriteImageFile(path, spec, &error)) << qPrintable(error);
        page->setFileChooser([path](QWidget *) { return path; });
        page->FileButton()->trigger();
        return path;
    }

    QByteArray flash() const {
        QFile file(flashPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool mainTabVisible() const {
        auto *pages = form->findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        return pages->isTabVisible(pages->indexOf(form->PageWidget(qev::Page::TabSheetMain)));
    }

    void expectTrafficButtons(bool enabled) const {
        for (const char *name : TrafficButtons)
            EXPECT_EQ(form->findChild<QPushButton *>(QLatin1String(name))->isEnabled(), enabled)
                << name;
    }

    int activations() {
        int n = 0;
        for (const qevtest::DevsimRx &rx : sim.rx(100))
            n += rx.payload.startsWith(char(0xF6));
        return n;
    }

    Ui::FirmwarePage &ui() const { return page->ui; }

    std::unique_ptr<qevtest::TestLan> lan;
    qevtest::DevsimRunner sim;
    QTemporaryDir dir;
    std::unique_ptr<TQevProgrammerForm> form;
    FirmwarePage *page = nullptr;
    QString deviceNamespace;
};

TEST_F(FirmwareLan, InstallationEndsFinishedAndCanBeRepeated) {
    addDevice(17, {});
    open(17);
    ImageSpec spec;
    spec.classTag = 17;
    choose(spec);
    ASSERT_TRUE(ui().btnInstallFirmware->isEnabled());

    // What the window looks like while the blocks go out.
    bool sampled = false;
    QTimer::singleShot(0, form.get(), [&] {
        sampled = true;
        expectTrafficButtons(false);
        EXPECT_FALSE(ui().btnInstallFirmware->isEnabled());
        EXPECT_FALSE(mainTabVisible());
        EXPECT_FALSE(ui().Label31->isHidden());
        EXPECT_FALSE(ui().ProgressBar1->isHidden());
        EXPECT_EQ(ui().ProgressBar1->maximum(), 255);
    });
    ui().btnInstallFirmware->click();

    EXPECT_TRUE(sampled);
    EXPECT_EQ(flash(), qev::imagemaker::ImagePayload(spec));
    EXPECT_EQ(ui().Label32->text(), MessageText(IDS_123));
    EXPECT_FALSE(ui().Label31->isHidden());
    EXPECT_FALSE(ui().Label32->isHidden());
    EXPECT_TRUE(ui().Label33->isHidden());
    EXPECT_TRUE(ui().ProgressBar1->isHidden());
    EXPECT_TRUE(ui().dxButtonEdit1->text().isEmpty());
    EXPECT_TRUE(ui().btnInstallFirmware->isEnabled());
    expectTrafficButtons(true);
    EXPECT_TRUE(mainTabVisible());

    // The same file once more, although the field is empty.
    ui().btnInstallFirmware->click();
    EXPECT_EQ(ui().Label32->text(), MessageText(IDS_123));
    EXPECT_EQ(activations(), 2);
}

TEST_F(FirmwareLan, UnacknowledgedBlockShowsTheTransferErrorWithItsNumber) {
    addDevice(5, QStringLiteral("fwfault=dropack:5"));
    open(5);
    ImageSpec spec;
    spec.classTag = 5;
    spec.blocks = 64;
    choose(spec);
    ui().btnInstallFirmware->click();

    EXPECT_FALSE(ui().Label35->isHidden());
    EXPECT_EQ(ui().Label35->text(),
              QStringLiteral("Abbruch: Fehler bei Datenübertragung: Block Write: 5"));
    EXPECT_TRUE(ui().Label31->isHidden());
    EXPECT_TRUE(ui().Label32->isHidden());
    EXPECT_TRUE(ui().Label34->isHidden());
    EXPECT_TRUE(ui().btnInstallFirmware->isEnabled());
    expectTrafficButtons(true);
    EXPECT_TRUE(mainTabVisible());
    EXPECT_EQ(activations(), 0);

    // A switch to English re-texts the label and keeps the block.
    form->findChild<QToolButton *>(QStringLiteral("Image10"))->click();
    EXPECT_EQ(ui().Label35->text(), QStringLiteral("Abort: Communication error: Block Write: 5"));
}

TEST_F(FirmwareLan, CorruptImageShowsTheFileError) {
    addDevice(5, {});
    open(5);
    ImageSpec spec;
    spec.classTag = 5;
    spec.blocks = 64;
    spec.digest = DigestKind::PayloadOnly;
    choose(spec);
    ui().btnInstallFirmware->click();
    EXPECT_FALSE(ui().Label34->isHidden());
    EXPECT_TRUE(ui().Label35->isHidden());
    EXPECT_TRUE(ui().Label31->isHidden());
    EXPECT_TRUE(ui().btnInstallFirmware->isEnabled());
}

TEST_F(FirmwareLan, RefusedAccessLeavesTheInstallButtonDisabled) {
    addDevice(5, QStringLiteral("fwfault=refuse"));
    open(5);
    ImageSpec spec;
    spec.classTag = 5;
    spec.blocks = 64;
    choose(spec);
    ui().btnInstallFirmware->click();
    EXPECT_FALSE(ui().btnInstallFirmware->isEnabled());
    EXPECT_TRUE(ui().Label34->isHidden());
    EXPECT_TRUE(ui().Label35->isHidden());
    // The user is told why, and where the codes are kept.
    EXPECT_FALSE(ui().lbAccessRefused->isHidden());
    EXPECT_TRUE(ui().lbAccessRefused->text().contains(QStringLiteral("[Codes]")));
    // No status line under the refusal, as if the installation were under way.
    EXPECT_TRUE(ui().Label31->isHidden());
    EXPECT_TRUE(ui().Label32->isHidden());
    expectTrafficButtons(true);
    EXPECT_TRUE(mainTabVisible());
}

TEST_F(FirmwareLan, DeviceThatNeverComesBackEndsWithTheFailureIndication) {
    addDevice(5, QStringLiteral("fwfault=noreturn"));
    // Nothing of the device answers any more, not even its network stack.
    ASSERT_EQ(lan->run(deviceNamespace, {QStringLiteral("sysctl"), QStringLiteral("-qw"),
                                         QStringLiteral("net.ipv4.icmp_echo_ignore_all=1")}),
              0);
    open(5);
    qev::InstallTiming timing;
    timing.blockReplyMs = 400;
    timing.restartCycleMs = 20;
    timing.pingTimeoutMs = 20;
    timing.probeTimeoutMs = 20;
    page->setInstallTiming(timing);
    ImageSpec spec;
    spec.classTag = 5;
    spec.blocks = 64;
    choose(spec);
    ui().btnInstallFirmware->click();
    EXPECT_FALSE(ui().lbNoComeback->isHidden());
    EXPECT_EQ(form->StatusText(), MessageText(IDS_110));
    EXPECT_TRUE(form->Led().blink());
    expectTrafficButtons(true);
}

TEST_F(FirmwareLan, ErrorOfTheLinkIsShownAndTheWindowComesBack) {
    addDevice(5, {}, false); // the device's port is closed
    open(5);
    ImageSpec spec;
    spec.classTag = 5;
    spec.blocks = 64;
    choose(spec);
    ui().btnInstallFirmware->click();
    EXPECT_NE(form->findChild<QMessageBox *>(QStringLiteral("ErrorDisplay")), nullptr);
    expectTrafficButtons(true);
    EXPECT_TRUE(mainTabVisible());
    EXPECT_TRUE(ui().Label31->isHidden());
    EXPECT_TRUE(ui().ProgressBar1->isHidden());
    EXPECT_TRUE(ui().btnInstallFirmware->isEnabled());
}

} // namespace
