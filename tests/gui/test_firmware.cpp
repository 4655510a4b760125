// The "Update" page offscreen with a fake host network: file choice, header labels,
// suitability and the page's switching. Nothing here sends a packet.

#include "app/qevprogrammerform.h"
#include "devicelink/devicelink.h"
#include "fakehostnetwork.h"
#include "firmware/firmwarepage.h"
#include "imagemaker.h"
#include "netinspect/deviceclass.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using qev::imagemaker::ImageSpec;

namespace {

class FirmwarePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<TQevProgrammerForm>(dir.filePath(QStringLiteral("qev.ini")));
        form->show();
        // The first activation, as on a desktop.
        QCoreApplication::processEvents();
        page = static_cast<FirmwarePage *>(form->PageWidget(qev::Page::TabSheetFirm));
        page->setFileChooser([this](QWidget *) { return answer; });
    }

    void showPageFor(quint8 deviceClass) {
        {
            qev::CurrentDevice current = form->link().current();
            current.deviceClass = deviceClass;
            form->link().setCurrent(current);
        }
        form->ShowPage(form->PageWidget(qev::Page::TabSheetMain));
        form->ShowPage(page);
        // A page reads once it has settled as the shown page.
        QCoreApplication::processEvents();
    }

    QString image(const ImageSpec &spec, const QString &name) {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(qev::imagemaker::WriteImageFile(path, spec, &error)) << qPrintable(error);
        return path;
    }

    void choose(const QString &path) {
        answer = path;
        page->FileButton()->trigger();
    }

    Ui::FirmwarePage &ui() const { return page->ui; }

    qevtest::FakeHostNetwork host;
    QTemporaryDir dir;
    std::unique_ptr<TQevProgrammerForm> form;
    FirmwarePage *page = nullptr;
    QString answer;
};

TEST_F(FirmwarePageTest, ShowingThePageOffersTheSearchGroupAndTheBoosterTabOnlyForTheGateway) {
    showPageFor(27);
    EXPECT_TRUE(ui().PageControl2->isTabVisible(ui().PageControl2->indexOf(ui().TabSheet2)));
    EXPECT_FALSE(ui().PageControl2->isTabVisible(ui().PageControl2->indexOf(ui().TabSheet3)));
    EXPECT_FALSE(ui().gbUpdateAuto->isHidden());
    EXPECT_TRUE(ui().gbUpdateManuell->isHidden());
    EXPECT_FALSE(ui().btnInstallFirmware->isEnabled());
    for (QWidget *hidden :
         {static_cast<QWidget *>(ui().Label30), static_cast<QWidget *>(ui().Label31),
          static_cast<QWidget *>(ui().Label32), static_cast<QWidget *>(ui().Label34),
          static_cast<QWidget *>(ui().Label35)})
        EXPECT_TRUE(hidden->isHidden()) << qPrintable(hidden->objectName());

    ui().btnUpdateFile->click();
    EXPECT_TRUE(ui().gbUpdateAuto->isHidden());
    EXPECT_FALSE(ui().gbUpdateManuell->isHidden());

    showPageFor(17);
    EXPECT_FALSE(ui().PageControl2->isTabVisible(ui().PageControl2->indexOf(ui().TabSheet2)));
    EXPECT_FALSE(ui().gbUpdateAuto->isHidden());
}

TEST_F(FirmwarePageTest, FittingImageShowsItsHeaderAndEnablesInstallation) {
    showPageFor(27);
    ui().btnUpdateFile->click();
    ImageSpec spec;
    spec.classTag = 26;
    spec.version = "3.07.1";
    spec.day = "24";
    spec.month = "06";
    spec.year = "26";
    const QString path = image(spec, QStringLiteral("gateway.snFirm"));
    choose(path);
    EXPECT_EQ(ui().dxButtonEdit1->text(), QStringLiteral("gateway.snFirm"));
    EXPECT_EQ(page->ChosenFile(), path);
    EXPECT_EQ(ui().Label104->text(), QStringLiteral("3.07.1"));
    EXPECT_EQ(ui().Label105->text(), QStringLiteral("24.06.2026"));
    // 26 has no name in the catalogue.
    EXPECT_EQ(ui().Label109->text(), qev::DeviceClassName(26));
    EXPECT_TRUE(ui().Label30->isHidden());
    EXPECT_TRUE(ui().btnInstallFirmware->isEnabled());
}

struct UnfitRow {
    int deviceClass;
    int tag;
};

class Unfitting : public FirmwarePageTest, public ::testing::WithParamInterface<UnfitRow> {};

TEST_P(Unfitting, ShowsTheWarningAndKeepsInstallationDisabled) {
    showPageFor(quint8(GetParam().deviceClass));
    ImageSpec spec;
    spec.classTag = quint8(GetParam().tag);
    choose(image(spec, QStringLiteral("other.snFirm")));
    EXPECT_FALSE(ui().Label30->isHidden());
    EXPECT_FALSE(ui().btnInstallFirmware->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Classes, Unfitting,
                         ::testing::Values(UnfitRow{17, 6}, UnfitRow{27, 27}, UnfitRow{0, 0},
                                           UnfitRow{7, 7}),
                         [](const ::testing::TestParamInfo<UnfitRow> &p) {
                             return "class" + std::to_string(p.param.deviceClass) + "_tag" +
                                    std::to_string(p.param.tag);
                         });

TEST_F(FirmwarePageTest, AnyImageFitsClass34AndAFittingChoiceHidesTheWarningAgain) {
    showPageFor(34);
    ImageSpec spec;
    spec.classTag = 200;
    choose(image(spec, QStringLiteral("any.snFirm")));
    EXPECT_TRUE(ui().Label30->isHidden());
    EXPECT_TRUE(ui().btnInstallFirmware->isEnabled());
}

TEST_F(FirmwarePageTest, CancelledDialogKeepsTheEarlierChoice) {
    showPageFor(17);
    ImageSpec spec;
    spec.classTag = 17;
    const QString path = image(spec, QStringLiteral("first.snFirm"));
    choose(path);
    ASSERT_TRUE(ui().btnInstallFirmware->isEnabled());
    choose(QString());
    EXPECT_EQ(page->ChosenFile(), path);
    EXPECT_EQ(ui().dxButtonEdit1->text(), QStringLiteral("first.snFirm"));
    EXPECT_TRUE(ui().btnInstallFirmware->isEnabled());
    // The dialog was opened: the header labels were cleared before it.
    EXPECT_TRUE(ui().Label104->text().isEmpty());
    // Choosing the same file again shows its header again.
    choose(path);
    EXPECT_EQ(ui().Label104->text(), QStringLiteral("1.02.3"));
}

TEST_F(FirmwarePageTest, FileGoneBeforeInstallationSendsNothingAndReturnsToIdle) {
    showPageFor(17);
    ImageSpec spec;
    spec.classTag = 17;
    const QString path = image(spec, QStringLiteral("gone.snFirm"));
    choose(path);
    ASSERT_TRUE(QFile::remove(path));
    {
        qev::CurrentDevice current = form->link().current();
        current.host = QStringLiteral("192.0.2.1"); // never reached
        form->link().setCurrent(current);
    }
    ui().btnInstallFirmware->click();
    EXPECT_TRUE(ui().btnInstallFirmware->isEnabled());
    EXPECT_TRUE(ui().Label34->isHidden());
    EXPECT_TRUE(ui().Label35->isHidden());
    EXPECT_TRUE(ui().ProgressBar1->isHidden());
    EXPECT_TRUE(form->findChild<QPushButton *>(QStringLiteral("btnSuche"))->isEnabled());
}

TEST_F(FirmwarePageTest, LanguageSwitchKeepsWhatTheProgramWrote) {
    showPageFor(27);
    ui().lbFirmware->setText(QStringLiteral("2.7"));
    ImageSpec spec;
    spec.classTag = 26;
    choose(image(spec, QStringLiteral("gateway.snFirm")));
    form->findChild<QToolButton *>(QStringLiteral("Image10"))->click();
    EXPECT_EQ(ui().lbFirmware->text(), QStringLiteral("2.7"));
    EXPECT_EQ(ui().Label104->text(), QStringLiteral("1.02.3"));
    EXPECT_EQ(ui().btnInstallFirmware->text(), QStringLiteral("Install Firmware"));
    form->findChild<QToolButton *>(QStringLiteral("Image9"))->click();
    EXPECT_EQ(ui().btnInstallFirmware->text(), QStringLiteral("Firmware installieren"));
}

TEST_F(FirmwarePageTest, EveryControlHasAnAccessibleName) {
    showPageFor(27);
    ui().btnUpdateFile->click();
    for (QWidget *control :
         {static_cast<QWidget *>(ui().dxButtonEdit1), static_cast<QWidget *>(ui().cbUpdateList),
          static_cast<QWidget *>(ui().cbBoosterList), static_cast<QWidget *>(ui().btnUpdateFile),
          static_cast<QWidget *>(ui().btnInstallFirmware),
          static_cast<QWidget *>(ui().PageControl2), static_cast<QWidget *>(ui().ProgressBar1)}) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << qPrintable(control->objectName());
    }
    EXPECT_FALSE(page->FileButton()->text().isEmpty());
}

} // namespace
