// The main window against simulated devices in the test LAN: search, identification,
// programming a new address and the manual selection, as a user drives them.

#include "app/aled.h"
#include "app/messagetext.h"
#include "app/qevprogrammerform.h"
#include "devicelink/devicelink.h"
#include "devicelink/selectipform.h"
#include "devsimrunner.h"
#include "netinspect/deviceclass.h"
#include "testlan.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QColor lightRed(255, 200, 200);
const QColor lightGreen(200, 255, 150);
const QColor green(0, 255, 0);
const QColor red(255, 0, 0);

class MainWindowLan : public ::testing::Test {
protected:
    void SetUp() override {
        QEV_REQUIRE_TESTLAN();
        ASSERT_TRUE(dir.isValid());
        lan = std::make_unique<qevtest::TestLan>();
        lan->setupPc(QStringLiteral("192.168.77.1/24"));
    }

    // A simulated device in a namespace of its own; with `moves` it takes new settings
    // onto its interface.
    qevtest::DevsimRunner &addDevice(const QString &address, const QString &spec,
                                     bool moves = false) {
        const QString ns = lan->addDevice(address + QStringLiteral("/24"));
        QStringList args = {QStringLiteral("--device"),
                            QStringLiteral("ip=%1,%2").arg(address, spec), QStringLiteral("--bind"),
                            QStringLiteral("0.0.0.0")};
        if (moves)
            args << QStringLiteral("--interface") << QStringLiteral("eth0");
        auto runner = std::make_unique<qevtest::DevsimRunner>();
        EXPECT_TRUE(runner->attach(lan->start(ns, QStringLiteral(QEV_DEVSIM_PATH), args)))
            << qPrintable(runner->diagnostics());
        sims.push_back(std::move(runner));
        return *sims.back();
    }

    TQevProgrammerForm &open() {
        form = std::make_unique<TQevProgrammerForm>(settingsPath());
        form->show();
        form->FormActivate();
        return *form;
    }

    QString settingsPath() const { return dir.filePath(QStringLiteral("qev-programmer.ini")); }

    template <class T>
    T *child(const char *name) const {
        T *found = form->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char *name) const { return child<QLineEdit>(name)->text(); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }

    QStringList visibleTabs() const {
        auto *pages = child<QTabWidget>("PageControl1");
        QStringList names;
        for (int k = 0; k < pages->count(); ++k) {
            if (pages->isTabVisible(k))
                names << pages->widget(k)->objectName();
        }
        return names;
    }

    std::unique_ptr<qevtest::TestLan> lan;
    std::vector<std::unique_ptr<qevtest::DevsimRunner>> sims;
    QTemporaryDir dir;
    std::unique_ptr<TQevProgrammerForm> form;
};

TEST_F(MainWindowLan, OneDeviceIsFoundAndShown) {
    addDevice(QStringLiteral("192.168.77.20"), QStringLiteral("class=17,version=7.4,port=11081"));
    open();
    ASSERT_EQ(child<QLabel>("Label29")->text(), QStringLiteral("192.168.77.1"));
    // The window stays alive while the search waits: its progress bar moves.
    int progressSteps = 0;
    QObject::connect(child<QProgressBar>("pbSuche"), &QProgressBar::valueChanged,
                     [&] { ++progressSteps; });

    button("btnSuche")->click();

    EXPECT_GT(progressSteps, 4);

    EXPECT_EQ(text("dxMaskEdit8"), qev::DeviceClassName(17));
    EXPECT_EQ(text("dxMaskEdit9"), QStringLiteral("7.4"));
    EXPECT_EQ(text("dxMaskEdit2"), QStringLiteral("192.168.77.20"));
    EXPECT_EQ(text("dxMaskEdit5"), QStringLiteral("C"));
    EXPECT_EQ(text("dxMaskEdit3"), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(text("dxMaskEdit4"), QStringLiteral("02:81:7E:00:4D:14"));
    EXPECT_EQ(text("dxMaskEdit6"), QStringLiteral("11081"));
    // The serial number of this class is shown last byte first.
    EXPECT_EQ(text("dxMaskEdit10"), QStringLiteral("14:4D:00:7E:81:02"));
    EXPECT_EQ(child<QLineEdit>("dxMaskEdit2")->palette().color(QPalette::Base), lightGreen);
    EXPECT_EQ(text("dxIPNeu"), QStringLiteral("192.168.77"));
    // The program wrote the fields, the user did not: the last values stay offered.
    EXPECT_FALSE(button("btnLastValue")->isHidden());

    EXPECT_EQ(form->Led().trueColor(), green);
    EXPECT_TRUE(form->Led().value());
    EXPECT_FALSE(form->Led().isBlinking());
    EXPECT_EQ(form->StatusText(), MessageText(IDS_109));

    // Firmware 7.4 of the S88 controller brings the light page.
    EXPECT_EQ(visibleTabs(),
              (QStringList{"TabSheetMain", "TabSheetS88Master", "TabSheetFirm", "TabSheetLight"}));
    auto *type = child<QComboBox>("dxPickEdit2");
    EXPECT_EQ(type->currentIndex(), 2);
    EXPECT_FALSE(type->isEnabled());
    EXPECT_TRUE(form->link().current().programmingAllowed);
    EXPECT_EQ(form->link().current().deviceClass, 17);
    EXPECT_TRUE(button("btnSuche")->isEnabled());
    EXPECT_FALSE(child<QWidget>("pbSuche")->isVisible());
}

TEST_F(MainWindowLan, DeviceOutsideThePcsNetwork) {
    addDevice(QStringLiteral("10.1.2.3"), QStringLiteral("class=16,version=2.1"));
    open();
    button("btnSuche")->click();

    EXPECT_EQ(text("dxMaskEdit2"), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(text("dxMaskEdit5"), QStringLiteral("A"));
    EXPECT_EQ(child<QLineEdit>("dxMaskEdit2")->palette().color(QPalette::Base), lightRed);
    EXPECT_EQ(form->Led().trueColor(), red);
    EXPECT_TRUE(form->Led().isBlinking());
    EXPECT_EQ(form->StatusText(), MessageText(IDS_111));
}

TEST_F(MainWindowLan, NothingFound) {
    open();
    button("btnSuche")->click();
    EXPECT_EQ(text("dxMaskEdit8"), MessageText(IDS_114));
    EXPECT_TRUE(text("dxMaskEdit2").isEmpty());
    EXPECT_FALSE(child<QLineEdit>("dxMaskEdit2")->isEnabled());
    // Nothing answered: the LED keeps the colour of the search.
    EXPECT_EQ(form->Led().trueColor(), QColor(255, 255, 0));
    EXPECT_EQ(form->link().current().deviceClass, 0);
}

// Old S88 firmware knows only the short identification and reports class 6 with major
// version 7; it is handled as the S88 controller.
TEST_F(MainWindowLan, DeviceAnsweringOnlyTheShortIdentification) {
    qevtest::DevsimRunner &sim = addDevice(QStringLiteral("192.168.77.23"),
                                           QStringLiteral("class=6,version=7.2,extended=no"));
    open();
    button("btnSuche")->click();

    EXPECT_EQ(text("dxMaskEdit8"), qev::DeviceClassName(17));
    EXPECT_EQ(text("dxMaskEdit9"), QStringLiteral("7.2"));
    EXPECT_EQ(form->link().current().deviceClass, 17);
    auto *pages = child<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->tabText(pages->indexOf(form->PageWidget(qev::Page::TabSheetS88Master))),
              qev::DeviceClassName(17));
    // 7.2 is below 7.4: no light page.
    EXPECT_EQ(visibleTabs(), (QStringList{"TabSheetMain", "TabSheetS88Master", "TabSheetFirm"}));
    EXPECT_FALSE(child<QComboBox>("dxPickEdit2")->isEnabled());
    EXPECT_EQ(form->StatusText(), MessageText(IDS_109));

    // Both forms were asked, the extended one first.
    QStringList asked;
    for (const qevtest::DevsimRx &rx : sim.rx()) {
        if (rx.payload == QByteArray("\x60\x0F", 2))
            asked << QStringLiteral("extended");
        else if (rx.payload == QByteArray("\x0F", 1))
            asked << QStringLiteral("short");
    }
    ASSERT_GE(asked.size(), 2);
    EXPECT_EQ(asked.mid(asked.size() - 2), (QStringList{"extended", "short"}));
}

TEST_F(MainWindowLan, TwoDevicesAndThePickList) {
    addDevice(QStringLiteral("192.168.77.21"), QStringLiteral("class=2,version=1.3"));
    addDevice(QStringLiteral("192.168.77.22"), QStringLiteral("class=16,version=3.0"));
    open();
    QList<qev::DeviceRecord> offered;
    form->setDevicePicker([&](const QList<qev::DeviceRecord> &list) -> std::optional<qsizetype> {
        offered = list;
        for (qsizetype k = 0; k < list.size(); ++k) {
            if (list[k].address == QStringLiteral("192.168.77.22"))
                return k;
        }
        return std::nullopt;
    });
    button("btnSuche")->click();

    EXPECT_EQ(offered.size(), 2);
    EXPECT_EQ(text("dxMaskEdit2"), QStringLiteral("192.168.77.22"));
    EXPECT_EQ(text("dxMaskEdit8"), qev::DeviceClassName(16));
    // Two devices, but the Zentrale can be told apart.
    EXPECT_TRUE(form->link().current().programmingAllowed);
}

// The search shows the program's own pick list; the user clicks the row of one device.
TEST_F(MainWindowLan, PickListOfTheSearch) {
    addDevice(QStringLiteral("192.168.77.24"), QStringLiteral("class=22,version=1.1"));
    addDevice(QStringLiteral("192.168.77.25"), QStringLiteral("class=23,version=1.2"));
    open();
    QStringList shown;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *list = qobject_cast<TSelectIPForm *>(QApplication::activeModalWidget());
        if (!list)
            return;
        user.stop();
        auto *grid = list->findChild<QTableWidget *>(QStringLiteral("dxDBGrid1"));
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int column = 0; column < grid->columnCount(); ++column) {
                if (grid->isColumnHidden(column) || !grid->item(row, column))
                    continue;
                shown << grid->item(row, column)->text();
                if (grid->item(row, column)->text() == QStringLiteral("192.168.77.25")) {
                    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                      grid->visualItemRect(grid->item(row, column)).center());
                    return;
                }
            }
        }
    });
    user.start(100);
    button("btnSuche")->click();

    EXPECT_TRUE(shown.contains(QStringLiteral("192.168.77.24"))) << qPrintable(shown.join(' '));
    EXPECT_EQ(text("dxMaskEdit2"), QStringLiteral("192.168.77.25"));
    EXPECT_EQ(text("dxMaskEdit8"), qev::DeviceClassName(23));
    EXPECT_EQ(visibleTabs(),
              (QStringList{"TabSheetMain", "TabSheetFirm", "TabSheetLight", "TabSheetRGB"}));
}

TEST_F(MainWindowLan, ProgrammingANewAddress) {
    qevtest::DevsimRunner &sim =
        addDevice(QStringLiteral("192.168.77.20"), QStringLiteral("class=17,version=7.4"), true);
    open();
    button("btnSuche")->click();
    ASSERT_EQ(text("dxMaskEdit2"), QStringLiteral("192.168.77.20"));

    child<QLineEdit>("dxIPNeu")->setText(QStringLiteral("192.168.77.50"));
    ASSERT_EQ(text("dxNetmask"), QStringLiteral("255.255.255.0"));
    ASSERT_TRUE(button("WriteBtn")->isEnabled());

    QString asked;
    form->setConfirmation([&](const QString &caption, const QString &question) {
        asked = caption + QLatin1Char('|') + question;
        return true;
    });
    button("WriteBtn")->click();

    EXPECT_TRUE(asked.startsWith(MessageText(IDS_103) + QLatin1Char('|') + MessageText(IDS_125)));
    EXPECT_TRUE(asked.endsWith(MessageText(IDS_102)));
    EXPECT_TRUE(sim.waitForLine(QStringLiteral("programmed ip=192.168.77.50"), 1000))
        << qPrintable(sim.lines().join(QLatin1Char('\n')));
    // The settings datagram of an S88 controller: header F8 AA 51, address, mask, the MAC
    // made of the new address, and the port the device reported (11081), not its type's.
    const QByteArray expected = QByteArray::fromHex("F8AA51"
                                                    "C0A84D32"
                                                    "FFFFFF00"
                                                    "02817E004D32"
                                                    "2B49"
                                                    "0000000000000000");
    bool seen = false;
    for (const qevtest::DevsimRx &rx : sim.rx())
        seen = seen || rx.payload == expected;
    EXPECT_TRUE(seen);

    // Found again and identified at its new address.
    EXPECT_EQ(form->link().current().host, QStringLiteral("192.168.77.50"));
    EXPECT_EQ(text("dxMaskEdit2"), QStringLiteral("192.168.77.50"));
    EXPECT_EQ(text("dxMaskEdit8"), qev::DeviceClassName(17));
    EXPECT_EQ(form->Led().trueColor(), green);
    EXPECT_FALSE(form->Led().isBlinking());
    EXPECT_FALSE(button("btnLastValue")->isHidden());
    EXPECT_FALSE(child<QWidget>("ProgressBar2")->isVisible());

    QSettings saved(settingsPath(), QSettings::IniFormat);
    EXPECT_EQ(saved.value("Param/dxIPNeu").toString(), QStringLiteral("192.168.77.50"));
    EXPECT_EQ(saved.value("Param/dxNetmask").toString(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(saved.value("Param/dxPickEdit2").toInt(), 2);
}

TEST_F(MainWindowLan, DeclinedConfirmationSendsNothing) {
    qevtest::DevsimRunner &sim =
        addDevice(QStringLiteral("192.168.77.20"), QStringLiteral("class=17,version=7.4"));
    open();
    button("btnSuche")->click();
    child<QLineEdit>("dxIPNeu")->setText(QStringLiteral("192.168.77.51"));
    ASSERT_TRUE(button("WriteBtn")->isEnabled());
    const qsizetype before = sim.rx(300).size();
    form->setConfirmation([](const QString &, const QString &) { return false; });
    button("WriteBtn")->click();
    EXPECT_EQ(sim.rx(500).size(), before);
    EXPECT_TRUE(button("WriteBtn")->isEnabled());
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

TEST_F(MainWindowLan, ManualSelectionByAddress) {
    addDevice(QStringLiteral("192.168.77.30"), QStringLiteral("class=16,version=3.2"));
    open();
    ASSERT_TRUE(form->link().broadcastPermitted());
    button("btnDirekt")->click();
    child<QLineEdit>("dxSuchIP")->setText(QStringLiteral("192.168.77.30"));
    ASSERT_TRUE(button("btnControllerOk")->isEnabled());
    button("btnControllerOk")->click();

    EXPECT_EQ(text("dxMaskEdit2"), QStringLiteral("192.168.77.30"));
    EXPECT_EQ(text("dxMaskEdit8"), qev::DeviceClassName(16));
    EXPECT_EQ(form->StatusText(), MessageText(IDS_109));
    EXPECT_FALSE(visibleTabs().contains(QStringLiteral("TabSheetSelectController")));
    EXPECT_TRUE(visibleTabs().contains(QStringLiteral("TabSheetMain")));
    EXPECT_TRUE(button("btnSuche")->isEnabled());
    // The direct request withdrew the broadcast permission for the rest of the run.
    EXPECT_FALSE(form->link().broadcastPermitted());
}

TEST_F(MainWindowLan, ManualSelectionByKind) {
    addDevice(QStringLiteral("192.168.77.31"), QStringLiteral("class=2,version=1.0"));
    addDevice(QStringLiteral("192.168.77.32"), QStringLiteral("class=23,version=1.5"));
    open();
    button("btnDirekt")->click();
    child<QLineEdit>("dxSuchIP")->clear();
    child<QRadioButton>("rgControllerItem5")->click(); // Lucento RGB Master
    button("btnControllerOk")->click();

    EXPECT_EQ(text("dxMaskEdit2"), QStringLiteral("192.168.77.32"));
    EXPECT_EQ(text("dxMaskEdit8"), qev::DeviceClassName(23));
    EXPECT_EQ(child<QComboBox>("dxPickEdit2")->currentIndex(), 3);
    EXPECT_TRUE(form->link().broadcastPermitted());
}

TEST_F(MainWindowLan, ManualSelectionOfAKindNobodyReports) {
    addDevice(QStringLiteral("192.168.77.33"), QStringLiteral("class=17,version=7.4"));
    open();
    button("btnDirekt")->click();
    child<QLineEdit>("dxSuchIP")->clear();
    child<QRadioButton>("rgControllerItem2")->click(); // Ferrano Booster, class 34
    button("btnControllerOk")->click();

    EXPECT_EQ(text("dxMaskEdit8"), MessageText(IDS_114));
    EXPECT_EQ(form->StatusText(), MessageText(IDS_110));
    EXPECT_EQ(form->Led().trueColor(), red);
    EXPECT_TRUE(form->Led().isBlinking());
    EXPECT_EQ(visibleTabs(), QStringList{QStringLiteral("TabSheetMain")});
}

} // namespace
