// The main window driven offscreen with a fake host network: nothing here sends a packet.

#include "app/aled.h"
#include "app/messagetext.h"
#include "app/programfont.h"
#include "app/qevprogrammerform.h"
#include "devicelink/devicelink.h"
#include "fakehostnetwork.h"
#include "scriptedsocket.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QColor lightRed(255, 200, 200);
const QColor lightYellow(255, 250, 160);
const QColor lightGreen(200, 255, 150);

QColor background(const QWidget *field) {
    return field->palette().color(QPalette::Base);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Builds and shows the window; the activation runs as on a desktop.
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
    QLineEdit *edit(const char *name) const { return child<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    QLabel *label(const char *name) const { return child<QLabel>(name); }
    QComboBox *combo(const char *name) const { return child<QComboBox>(name); }
    QTabWidget *pages() const { return child<QTabWidget>("PageControl1"); }

    QStringList visibleTabs() const {
        QStringList names;
        for (int k = 0; k < pages()->count(); ++k) {
            if (pages()->isTabVisible(k))
                names << pages()->widget(k)->objectName();
        }
        return names;
    }

    qevtest::FakeHostNetwork host;
    QTemporaryDir dir;
    std::unique_ptr<TQevProgrammerForm> form;
};

// The window on a scripted link: a device that "answers" without a packet being sent.
class ScriptedWindow : public MainWindow {
protected:
    TQevProgrammerForm &openScripted() {
        host.setLocalIP(QStringLiteral("192.168.0.10"));
        form = std::make_unique<TQevProgrammerForm>(settingsPath(), qev::ProtocolPorts{}, nullptr,
                                                    script.factory());
        form->show();
        form->FormActivate();
        return *form;
    }

    void identify(quint16 port) {
        const qev::MacBytes mac{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
        form->IdentifyDevice(QStringLiteral("192.168.0.20"), QStringLiteral("255.255.255.0"), mac,
                             port, 1, false);
    }

    qevtest::SocketScript script;
};

// A class-17 device keeps the port it reported in the new settings; a device that answers
// neither identification is shown as unknown.
TEST_F(ScriptedWindow, IdentificationKeepsThePortAndNamesAnUnknownDevice) {
    openScripted();
    script.expect("60 0F", 11082).reply("21 60 0F 11 07 04");
    script.expect("0D 00", 11082).reply("21 0D 01 06 01 02 03 04 05 06");
    identify(11082);
    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(edit("dxMaskEdit10")->text(), QStringLiteral("06:05:04:03:02:01"));
    EXPECT_EQ(combo("dxPickEdit1")->currentText(), QStringLiteral("11082"));
    EXPECT_EQ(combo("dxPickEdit2")->currentIndex(), qev::DeviceTypeFerrano);
    // Typing the new address re-runs the device type's rule; the port stays.
    QTest::keyClicks(edit("dxIPNeu"), QStringLiteral(".30"));
    EXPECT_EQ(combo("dxPickEdit1")->currentText(), QStringLiteral("11082"));
    EXPECT_EQ(form->link().current().port, 11082);

    script.expect("60 0F", 11083).silence();
    script.expect("0F", 11083).silence();
    identify(11083);
    EXPECT_TRUE(script.finished()) << qPrintable(script.report());
    EXPECT_EQ(edit("dxMaskEdit8")->text(), MessageText(IDS_114));
    EXPECT_EQ(form->StatusText(), MessageText(IDS_106));
}

// A page the class does not show is disabled as well as hidden: pressing its tab through
// the accessibility interface, as a screen reader may, neither opens it nor sends its
// requests to the current device.
TEST_F(ScriptedWindow, PagesOfAnotherClassCannotBeOpened) {
    openScripted();
    script.expect("60 0F", 11081).reply("21 60 0F 03 02 01");
    identify(11081);
    ASSERT_TRUE(script.finished()) << qPrintable(script.report());
    const QStringList manager = {"TabSheetMain", "TabSheetBooster", "TabSheetManager",
                                 "TabSheetSerial", "TabSheetFirm"};
    EXPECT_EQ(visibleTabs(), manager);
    QAccessibleInterface *tabBar = QAccessible::queryAccessibleInterface(pages()->tabBar());
    ASSERT_NE(tabBar, nullptr);
    const int sentBefore = int(script.sent().size());
    for (int k = 0; k < pages()->count(); ++k) {
        QWidget *page = pages()->widget(k);
        const bool shown = manager.contains(page->objectName());
        EXPECT_EQ(pages()->isTabEnabled(k), shown) << qPrintable(page->objectName());
        if (shown)
            continue;
        EXPECT_FALSE(page->isEnabled()) << qPrintable(page->objectName());
        QAccessibleInterface *tab = tabBar->child(k);
        ASSERT_NE(tab, nullptr);
        tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTest::qWait(20);
        EXPECT_EQ(pages()->currentIndex(), 0) << qPrintable(page->objectName());
    }
    // A value set through the accessibility interface would go out at once on the page's
    // own device; the hidden page refuses it.
    QAccessibleValueInterface *inner =
        QAccessible::queryAccessibleInterface(child<QWidget>("edInnenLed"))->valueInterface();
    ASSERT_NE(inner, nullptr);
    inner->setCurrentValue(42);
    QTest::qWait(20);
    EXPECT_EQ(script.sent().size(), sentBefore) << qPrintable(script.report());
}

TEST_F(MainWindow, StartsWithTheNetworkPageOnly) {
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("IP Geräte programmieren"));
    EXPECT_EQ(form->size(), QSize(753, 597));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());

    const QStringList names = {
        "TabSheetMain",    "TabSheetSpeed",    "TabSheetBoosterNET",       "TabSheetBooster",
        "TabSheetManager", "TabSheetSerial",   "TabSheetS88Master",        "TabSheetContainer",
        "TabSheetFirm",    "TabSheetExtender", "TabSheetSelectController", "TabSheetLight",
        "TabSheetClassic", "TabSheetRGB"};
    const QStringList captions = {"Netzwerk",       "Velocimo",  "Booster-Gateway", "Kopla Booster",
                                  "Kopla Manager",  "Liste",     "s88 Master",      "Container",
                                  "Update",         "Portaxis",  "Gerät auswählen", "Allgemein",
                                  "Classic Master", "RGB Master"};
    ASSERT_EQ(pages()->count(), names.size());
    for (int k = 0; k < names.size(); ++k) {
        EXPECT_EQ(pages()->widget(k)->objectName(), names[k]);
        EXPECT_EQ(pages()->tabText(k), captions[k]);
    }
    EXPECT_EQ(visibleTabs(), QStringList{QStringLiteral("TabSheetMain")});
    EXPECT_EQ(pages()->currentIndex(), 0);

    // The LED sits in the first panel of the status bar.
    const TALed &led = form->Led();
    EXPECT_EQ(led.pos(), QPoint(1, 3));
    EXPECT_EQ(led.parentWidget()->parentWidget(), child<QStatusBar>("StatusBar1"));
    EXPECT_EQ(led.interval(), 500);
}

TEST_F(MainWindow, CreationShowsTheVersion) {
    form = std::make_unique<TQevProgrammerForm>(settingsPath());
    EXPECT_EQ(form->StatusText(), QStringLiteral("Version: 2.21"));
    EXPECT_FALSE(button("WriteBtn")->isEnabled());
}

TEST_F(MainWindow, ActivationShowsThePcAndPrefillsTheNewAddress) {
    host.setLocalIP(QStringLiteral("192.168.0.10"));
    open();
    EXPECT_FALSE(form->NoNetwork());
    EXPECT_EQ(label("Label29")->text(), QStringLiteral("192.168.0.10"));
    EXPECT_EQ(edit("dxIPNeu")->text(), QStringLiteral("192.168.0"));
    EXPECT_EQ(label("lbIPAdresse")->text(), MessageText(IDS_127));
    EXPECT_EQ(background(edit("dxIPNeu")), lightYellow);
    // The program's own prefill leaves "Letzte Werte" offered.
    EXPECT_FALSE(button("btnLastValue")->isHidden());
    EXPECT_TRUE(button("btnSuche")->isEnabled());
    EXPECT_TRUE(button("btnDirekt")->isEnabled());
    EXPECT_FALSE(button("WriteBtn")->isEnabled());
}

struct NoNetworkRow {
    const char *name;
    bool present;
    bool usable;
    const char *localIP;
};

class NoNetwork : public MainWindow, public ::testing::WithParamInterface<NoNetworkRow> {};

TEST_P(NoNetwork, DisablesTheSearch) {
    host.setNetworkPresent(GetParam().present);
    host.setWinsockUsable(GetParam().usable);
    host.setLocalIP(QString::fromLatin1(GetParam().localIP));
    open();
    EXPECT_TRUE(form->NoNetwork());
    EXPECT_EQ(form->StatusText(), MessageText(IDS_108));
    EXPECT_EQ(label("Label29")->text(), MessageText(IDS_124));
    EXPECT_TRUE(label("Label29")->font().bold());
    EXPECT_FALSE(button("btnSuche")->isEnabled());
    EXPECT_EQ(form->Led().trueColor(), QColor(255, 0, 0));
    EXPECT_TRUE(form->Led().value());
    EXPECT_TRUE(form->Led().isBlinking());
}

INSTANTIATE_TEST_SUITE_P(Activation, NoNetwork,
                         ::testing::Values(NoNetworkRow{"NoInterface", false, true, "192.168.0.10"},
                                           NoNetworkRow{"NoSockets", true, false, "192.168.0.10"},
                                           NoNetworkRow{"NoAddress", true, true, ""},
                                           NoNetworkRow{"LoopbackOnly", true, true, "127.0.0.1"}),
                         [](const ::testing::TestParamInfo<NoNetworkRow> &row) {
                             return std::string(row.param.name);
                         });

TEST_F(MainWindow, NetworkReturnsOnTheNextActivation) {
    host.setLocalIP(QStringLiteral("127.0.0.1"));
    open();
    ASSERT_TRUE(form->NoNetwork());
    host.setLocalIP(QStringLiteral("10.1.2.3"));
    form->FormActivate();
    EXPECT_FALSE(form->NoNetwork());
    EXPECT_EQ(label("Label29")->text(), QStringLiteral("10.1.2.3"));
    EXPECT_FALSE(label("Label29")->font().bold());
    EXPECT_EQ(edit("dxIPNeu")->text(), QStringLiteral("10"));
    EXPECT_TRUE(button("btnSuche")->isEnabled());
}

// Coming back from another program or from a dialog of this one (a file chooser, a
// question, an error box) keeps the page and what the user typed; a new address of the PC
// starts the network page afresh.
TEST_F(MainWindow, ActivationKeepsThePageUnlessThePcsAddressChanged) {
    host.setLocalIP(QStringLiteral("192.168.0.10"));
    open();
    QApplication::setActiveWindow(form.get());
    edit("dxIPNeu")->setText(QStringLiteral("192.168.0.77"));
    button("btnDirekt")->click();
    ASSERT_EQ(visibleTabs(), QStringList{QStringLiteral("TabSheetSelectController")});

    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(form.get());
    EXPECT_EQ(visibleTabs(), QStringList{QStringLiteral("TabSheetSelectController")});

    QWidget dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::setActiveWindow(form.get());
    EXPECT_EQ(visibleTabs(), QStringList{QStringLiteral("TabSheetSelectController")});
    EXPECT_EQ(edit("dxIPNeu")->text(), QStringLiteral("192.168.0.77"));

    host.setLocalIP(QStringLiteral("10.0.0.5"));
    QApplication::setActiveWindow(&dialog);
    QApplication::setActiveWindow(form.get());
    EXPECT_EQ(label("Label29")->text(), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(visibleTabs(), QStringList{QStringLiteral("TabSheetMain")});
    EXPECT_EQ(edit("dxIPNeu")->text(), QStringLiteral("10"));
}

TEST_F(MainWindow, EscapeCloses) {
    open();
    edit("dxIPGateway")->setFocus();
    QTest::keyClick(edit("dxIPGateway"), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindow, EnterInAnEditFieldCloses) {
    open();
    edit("dxIPNeu")->setFocus();
    QTest::keyClick(edit("dxIPNeu"), Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindow, KeypadEnterClosesAndTheFlagsTakeNoFocus) {
    open();
    for (const char *flag : {"Image9", "Image10", "Image12"})
        EXPECT_EQ(child<QToolButton>(flag)->focusPolicy(), Qt::NoFocus) << flag;
    edit("dxIPNeu")->setFocus();
    QTest::keyClick(edit("dxIPNeu"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindow, EnterOnAnotherButtonPressesThatButton) {
    open();
    button("btnDirekt")->setFocus();
    QTest::keyClick(button("btnDirekt"), Qt::Key_Return);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(pages()->currentWidget()->objectName(), QStringLiteral("TabSheetSelectController"));
}

TEST_F(MainWindow, PageChangesByTheUserSetTheWriteButton) {
    open();
    ASSERT_FALSE(button("WriteBtn")->isEnabled());
    form->SetPageVisible(form->PageWidget(qev::Page::TabSheetFirm), true);
    pages()->setCurrentWidget(form->PageWidget(qev::Page::TabSheetFirm));
    EXPECT_FALSE(button("WriteBtn")->isEnabled());
    // Back on "Netzwerk" the button is enabled even though the fields are incomplete.
    pages()->setCurrentIndex(0);
    EXPECT_TRUE(button("WriteBtn")->isEnabled());
}

TEST_F(MainWindow, HiddenDoubleClicks) {
    open();
    ASSERT_FALSE(button("WriteBtn")->isEnabled());
    QTest::mouseDClick(label("ImageLeft"), Qt::LeftButton);
    EXPECT_TRUE(button("WriteBtn")->isEnabled());

    auto *group = child<QGroupBox>("gbNeuProgrammieren");
    group->setEnabled(false);
    QTest::mouseDClick(child<QGroupBox>("gbGefunden"), Qt::LeftButton);
    EXPECT_TRUE(group->isEnabled());
}

TEST_F(MainWindow, ManualSelectionPageKeepsAndRestoresTheButtons) {
    open();
    ASSERT_FALSE(button("WriteBtn")->isEnabled());
    button("btnDirekt")->click();
    EXPECT_EQ(visibleTabs(), QStringList{QStringLiteral("TabSheetSelectController")});
    for (const char *name : {"btnSuche", "WriteBtn", "btnDirekt", "btnSteckbrief"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    // The address field takes the new address when it is empty.
    EXPECT_EQ(edit("dxSuchIP")->text(), QStringLiteral("192.168.0"));
    EXPECT_FALSE(button("btnControllerOk")->isEnabled());

    child<QRadioButton>("rgControllerItem3")->click();
    EXPECT_TRUE(button("btnControllerOk")->isEnabled());

    button("btnControllerAbort")->click();
    EXPECT_EQ(visibleTabs(), QStringList{QStringLiteral("TabSheetMain")});
    EXPECT_TRUE(button("btnSuche")->isEnabled());
    EXPECT_TRUE(button("btnDirekt")->isEnabled());
    EXPECT_TRUE(button("btnSteckbrief")->isEnabled());
    EXPECT_FALSE(button("WriteBtn")->isEnabled());
}

struct SearchAddressRow {
    const char *name;
    const char *text;
    QColor colour;
    int messageId; // 0: label empty
    bool selectionCleared;
};

class SearchAddress : public MainWindow, public ::testing::WithParamInterface<SearchAddressRow> {};

TEST_P(SearchAddress, IsJudgedWhileTyping) {
    open();
    button("btnDirekt")->click();
    child<QRadioButton>("rgControllerItem5")->click();
    edit("dxSuchIP")->setText(QString::fromLatin1(GetParam().text));
    EXPECT_EQ(background(edit("dxSuchIP")), GetParam().colour);
    EXPECT_EQ(label("lbSuchIP")->text(),
              GetParam().messageId ? MessageText(GetParam().messageId) : QString());
    EXPECT_FALSE(label("lbSuchIP")->isHidden());
    EXPECT_EQ(child<QRadioButton>("rgControllerItem5")->isChecked(), !GetParam().selectionCleared);
}

INSTANTIATE_TEST_SUITE_P(
    ManualSelection, SearchAddress,
    ::testing::Values(SearchAddressRow{"Foreign", "10.0.0.5", lightGreen, IDS_128, false},
                      SearchAddressRow{"Incomplete", "192.168.0.", lightYellow, IDS_127, false},
                      SearchAddressRow{"OwnNetwork", "192.168.0.44", lightGreen, 0, true}),
    [](const ::testing::TestParamInfo<SearchAddressRow> &row) {
        return std::string(row.param.name);
    });

struct NewAddressRow {
    const char *name;
    const char *text;
    bool answersPing;
    QColor colour;
    int messageId;
    const char *netmask;
};

class NewAddress : public MainWindow, public ::testing::WithParamInterface<NewAddressRow> {};

TEST_P(NewAddress, IsJudgedWhileTyping) {
    if (GetParam().answersPing)
        host.addAnswering(QString::fromLatin1(GetParam().text));
    open();
    edit("dxIPNeu")->setText(QString::fromLatin1(GetParam().text));
    EXPECT_EQ(background(edit("dxIPNeu")), GetParam().colour);
    EXPECT_EQ(label("lbIPAdresse")->text(),
              GetParam().messageId ? MessageText(GetParam().messageId) : QString());
    EXPECT_EQ(edit("dxNetmask")->text(), QString::fromLatin1(GetParam().netmask));
    // Typed by the user: the last values are no longer offered.
    EXPECT_TRUE(button("btnLastValue")->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Programming, NewAddress,
    ::testing::Values(NewAddressRow{"Foreign", "10.0.0.5", false, lightGreen, IDS_128, "255.0.0.0"},
                      NewAddressRow{"Incomplete", "192.168.0.", false, lightYellow, IDS_127, ""},
                      NewAddressRow{"InUse", "192.168.0.77", true, lightRed, IDS_126,
                                    "255.255.255.0"},
                      NewAddressRow{"Free", "192.168.0.78", false, lightGreen, 0, "255.255.255.0"}),
    [](const ::testing::TestParamInfo<NewAddressRow> &row) { return std::string(row.param.name); });

TEST_F(MainWindow, DeviceTypeSetsThePortAndTheWriteButton) {
    open();
    edit("dxIPNeu")->setText(QStringLiteral("192.168.0.78"));
    QComboBox *type = combo("dxPickEdit2");
    QComboBox *port = combo("dxPickEdit1");
    EXPECT_EQ(background(type), lightRed);
    EXPECT_FALSE(button("WriteBtn")->isEnabled());

    type->setCurrentIndex(1); // Glimnet
    EXPECT_EQ(port->currentText(), QStringLiteral("11081"));
    EXPECT_TRUE(port->isHidden());
    EXPECT_EQ(label("Label78")->text(), QStringLiteral("(11081)"));
    EXPECT_EQ(background(type), lightGreen);
    EXPECT_TRUE(button("WriteBtn")->isEnabled());

    type->setCurrentIndex(2); // Ferrano System: the port field shows
    EXPECT_EQ(port->currentText(), QStringLiteral("11080"));
    EXPECT_FALSE(port->isHidden());
    EXPECT_TRUE(label("Label78")->isHidden());
    EXPECT_TRUE(button("WriteBtn")->isEnabled());

    port->setEditText(QStringLiteral("9999"));
    EXPECT_EQ(background(port), lightRed);

    // A gateway in a foreign network blocks the programming.
    edit("dxIPGateway")->setText(QStringLiteral("10.0.0.1"));
    EXPECT_EQ(label("lbIPGateway")->text(), MessageText(IDS_128));
    EXPECT_FALSE(button("WriteBtn")->isEnabled());
}

TEST_F(MainWindow, OptionalAddressesAreJudgedByPing) {
    host.addAnswering(QStringLiteral("192.168.0.1"));
    open();
    edit("dxIPGateway")->setText(QStringLiteral("192.168.0.1"));
    EXPECT_EQ(label("lbIPGateway")->text(), MessageText(IDS_132));
    EXPECT_EQ(background(edit("dxIPGateway")), lightGreen);
    edit("dxIPBroker")->setText(QStringLiteral("192.168.0.2"));
    EXPECT_EQ(label("lbIPBroker")->text(), MessageText(IDS_133));
    EXPECT_EQ(background(edit("dxIPBroker")), lightRed);
    edit("dxIPBroker")->clear();
    EXPECT_TRUE(label("lbIPBroker")->isHidden());
}

TEST_F(MainWindow, LastValuesAreWrittenAndReadBack) {
    open();
    edit("dxIPNeu")->setText(QStringLiteral("192.168.0.99"));
    edit("dxNetmask")->setText(QStringLiteral("255.255.0.0"));
    combo("dxPickEdit2")->setCurrentIndex(2);
    combo("dxPickEdit1")->setCurrentIndex(1);
    form->SaveLastValues();

    QSettings written(settingsPath(), QSettings::IniFormat);
    EXPECT_EQ(written.value("Param/dxIPNeu").toString(), QStringLiteral("192.168.0.99"));
    EXPECT_EQ(written.value("Param/dxNetmask").toString(), QStringLiteral("255.255.0.0"));
    EXPECT_EQ(written.value("Param/dxPickEdit2").toInt(), 2);
    EXPECT_EQ(written.value("Param/dxPickEdit1").toInt(), 1);

    // A new run starts with the prefill and offers the values again.
    open();
    ASSERT_FALSE(button("btnLastValue")->isHidden());
    button("btnLastValue")->click();
    EXPECT_TRUE(button("btnLastValue")->isHidden());
    EXPECT_EQ(edit("dxIPNeu")->text(), QStringLiteral("192.168.0.99"));
    EXPECT_EQ(edit("dxNetmask")->text(), QStringLiteral("255.255.0.0"));
    EXPECT_EQ(combo("dxPickEdit2")->currentIndex(), 2);
    EXPECT_EQ(combo("dxPickEdit1")->currentText(), QStringLiteral("11081"));
}

TEST_F(MainWindow, LastValuesWithoutFileOnlyResetTheDeviceType) {
    open();
    edit("dxIPNeu")->setText(QStringLiteral("192.168.0.98"));
    combo("dxPickEdit2")->setCurrentIndex(4);
    form->findChild<QPushButton *>(QStringLiteral("btnLastValue"))->click();
    EXPECT_EQ(edit("dxIPNeu")->text(), QStringLiteral("192.168.0.98"));
    EXPECT_EQ(combo("dxPickEdit2")->currentIndex(), 0);
}

TEST_F(MainWindow, TypedPortIndexEmptiesAListedPort) {
    {
        QSettings settings(settingsPath(), QSettings::IniFormat);
        settings.setValue("Param/dxPickEdit1", -1);
        settings.setValue("Param/dxPickEdit2", 2);
    }
    open();
    combo("dxPickEdit2")->setCurrentIndex(2); // shows "11080"
    button("btnLastValue")->click();
    EXPECT_EQ(combo("dxPickEdit1")->currentText(), QString());
}

// Every control a user operates can be told apart by assistive technology.
TEST_F(MainWindow, ControlsHaveAccessibleNames) {
    open();
    const auto widgets = form->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (widget->focusPolicy() == Qt::NoFocus && !qobject_cast<QAbstractButton *>(widget) &&
            !qobject_cast<QProgressBar *>(widget))
            continue;
        if (widget->objectName().startsWith(QLatin1String("qt_")) || widget->objectName().isEmpty())
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(a, nullptr);
        const QString name = a->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << qPrintable(widget->objectName());
        // A control's own object name tells a listener nothing.
        EXPECT_NE(name, widget->objectName());
    }
}

// The texts a screen reader follows through a search: the message, the LED's state and
// the verdict labels, which must not borrow their group's title while empty.
TEST_F(MainWindow, AccessibleTextsFollowWhatIsShown) {
    open();
    const auto name = [](QWidget *w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    const auto description = [](QWidget *w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
    };
    form->ShowNoAnswer();
    EXPECT_EQ(name(child<QLabel>("StatusBar1Panel1")), MessageText(IDS_110));
    EXPECT_EQ(description(&form->Led()), QStringLiteral("rot, blinkt"));
    form->ShowCommandAccepted(); // green and steady, also after a failure
    EXPECT_EQ(description(&form->Led()), QStringLiteral("grün"));
    EXPECT_FALSE(form->Led().blink());
    for (const char *verdict : {"lbIPGateway", "lbIPBroker"}) {
        EXPECT_TRUE(label(verdict)->text().isEmpty());
        EXPECT_NE(name(label(verdict)), child<QGroupBox>("gbNeuProgrammieren")->title()) << verdict;
    }
}

// Tahoma's look-alike of fonts-wine is used where it is installed.
TEST(ProgramFontTest, TakesTheTahomaLookAlike) {
    if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")))
        GTEST_SKIP() << "fonts-wine is not installed";
    EXPECT_EQ(QFontInfo(ProgramFont()).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(ProgramFont().pixelSize(), 11);
}

// ---- The LED ----

TEST(ALed, ValueAndBlink) {
    TALed led;
    EXPECT_FALSE(led.showsLitPicture());
    led.setBlink(true);
    EXPECT_FALSE(led.isBlinking()); // off stays dark
    led.setValue(true);
    EXPECT_TRUE(led.isBlinking());
    EXPECT_TRUE(led.showsLitPicture());
    led.setValue(false);
    EXPECT_FALSE(led.isBlinking());
    EXPECT_FALSE(led.showsLitPicture());
    led.setBlink(false);
    led.setValue(true);
    EXPECT_FALSE(led.isBlinking());
    EXPECT_TRUE(led.showsLitPicture());
}

// Waits until the blinking lamp shows its dark picture.
bool waitForDark(const TALed &led) {
    for (int k = 0; k < 200 && led.showsLitPicture(); ++k)
        QTest::qWait(5);
    return !led.showsLitPicture();
}

TEST(ALed, SettingTheSameValueChangesNothing) {
    TALed led;
    led.setInterval(20);
    led.setValue(true);
    led.setBlink(true);
    ASSERT_TRUE(waitForDark(led));
    // Setting them again would restart the cycle from the lit picture.
    led.setValue(true);
    led.setBlink(true);
    EXPECT_FALSE(led.showsLitPicture());
    EXPECT_TRUE(led.isBlinking());
}

TEST(ALed, NewColourWhileBlinkingStartsLit) {
    TALed led;
    led.setInterval(20);
    led.setValue(true);
    led.setBlink(true);
    ASSERT_TRUE(waitForDark(led));
    led.setTrueColor(QColor(255, 0, 0));
    EXPECT_TRUE(led.showsLitPicture());
    EXPECT_TRUE(led.isBlinking());
    EXPECT_EQ(led.trueColor(), QColor(255, 0, 0));
}

} // namespace
