// Switching the main window's language with the flags; a fake host network, no packets.

#include "app/aled.h"
#include "app/flaghint.h"
#include "app/language.h"
#include "app/messagetext.h"
#include "app/qevprogrammerform.h"
#include "fakehostnetwork.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

namespace {

// Every text of the window a user can see or hear, one line per element and property.
QStringList textSnapshot(const QWidget &window) {
    QStringList lines;
    auto add = [&](const QWidget *w, const char *property, const QString &text) {
        lines << w->objectName() + QLatin1Char('.') + QLatin1String(property) + QLatin1Char('=') +
                     text;
    };
    QList<const QWidget *> widgets{&window};
    for (const QWidget *w : window.findChildren<QWidget *>())
        widgets << w;
    for (const QWidget *w : widgets) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        add(w, "toolTip", w->toolTip());
        add(w, "accessibleName", w->accessibleName());
        if (w->isWindow())
            add(w, "windowTitle", w->windowTitle());
        if (const auto *label = qobject_cast<const QLabel *>(w)) {
            add(w, "text", label->text());
            add(w, "bold", label->font().bold() ? QStringLiteral("yes") : QStringLiteral("no"));
        }
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            add(w, "text", button->text());
        if (const auto *group = qobject_cast<const QGroupBox *>(w))
            add(w, "title", group->title());
        if (const auto *edit = qobject_cast<const QLineEdit *>(w))
            add(w, "text", edit->text());
        if (const auto *combo = qobject_cast<const QComboBox *>(w)) {
            for (int k = 0; k < combo->count(); ++k)
                add(w, "item", combo->itemText(k));
            add(w, "currentIndex", QString::number(combo->currentIndex()));
        }
        if (const auto *tabs = qobject_cast<const QTabWidget *>(w)) {
            for (int k = 0; k < tabs->count(); ++k)
                add(w, "tab", tabs->tabText(k));
        }
    }
    return lines;
}

// The lines of `after` that differ from `before`, with the line they replace.
QStringList changedTexts(const QStringList &before, const QStringList &after) {
    QStringList changed;
    for (qsizetype k = 0; k < std::max(before.size(), after.size()); ++k) {
        const QString was = k < before.size() ? before[k] : QString();
        const QString is = k < after.size() ? after[k] : QString();
        if (was != is)
            changed << was + QStringLiteral(" -> ") + is;
    }
    return changed;
}

class LanguageForm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override {
        form.reset();
        SwitchLanguage(LanguageGerman);
    }

    TQevProgrammerForm &open() {
        form = std::make_unique<TQevProgrammerForm>(dir.filePath(QStringLiteral("qev.ini")));
        form->show();
        form->FormActivate();
        return *form;
    }

    template <class T>
    T *child(const char *name) const {
        T *found = form->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char *flag) { QTest::mouseClick(child<QToolButton>(flag), Qt::LeftButton); }
    QString text(const char *name) const {
        if (auto *label = form->findChild<QLabel *>(QLatin1String(name)))
            return label->text();
        if (auto *button = form->findChild<QAbstractButton *>(QLatin1String(name)))
            return button->text();
        if (auto *group = form->findChild<QGroupBox *>(QLatin1String(name)))
            return group->title();
        ADD_FAILURE() << name;
        return {};
    }
    QString tab(const char *page) const {
        auto *pages = child<QTabWidget>("PageControl1");
        return pages->tabText(pages->indexOf(child<QWidget>(page)));
    }

    qevtest::FakeHostNetwork host;
    QTemporaryDir dir;
    std::unique_ptr<TQevProgrammerForm> form;
};

TEST_F(LanguageForm, StartsInGermanOnAGermanSystem) {
    // The test programs run as on a German system.
    open();
    EXPECT_EQ(form->Language(), LanguageGerman);
    EXPECT_EQ(ActiveLanguage(), LanguageGerman);
    EXPECT_EQ(text("btnSuche"), QStringLiteral("Suche Geräte"));
}

TEST_F(LanguageForm, EnglishAndBackRestoresEveryGermanText) {
    open();
    click("Image9");
    const QStringList german = textSnapshot(*form);

    click("Image10");
    EXPECT_EQ(form->Language(), LanguageEnglish);
    EXPECT_NE(textSnapshot(*form), german);
    click("Image9");
    EXPECT_EQ(form->Language(), LanguageGerman);
    EXPECT_EQ(changedTexts(german, textSnapshot(*form)).join(QLatin1Char('\n')).toStdString(), "");
}

TEST_F(LanguageForm, EnglishTexts) {
    open();
    click("Image10");
    struct Row {
        const char *element;
        const char *english;
    };
    const Row rows[] = {
        {"btnSuche", "Search Hardware"},
        {"btnDirekt", "Manual Select"},
        {"btnSteckbrief", "Print List"},
        {"WriteBtn", "Programming"},
        {"btnEnde", "End"},
        {"GroupBox10", "This PC"},
        {"Label29Caption", "IP-Address:"},
        {"Label26Caption", "Netmask:"},
        {"Label76Caption", "Gateway:"}, // no English text: stays
        {"gbGefunden", "Found"},
        {"gbNeuProgrammieren", "Programming new IP"},
        {"btnLastValue", "Last values"},
        {"btnControllerAbort", "Abort"},
        {"btnControllerOk", "OK"},
        {"Label100", "Or:"},
        {"GroupBox15", "Enter the direct IP known"},
        {"dxEdit1Caption", "Factor to km/h"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(text(row.element), QString::fromUtf8(row.english)) << row.element;

    EXPECT_EQ(form->windowTitle(), QStringLiteral("Program IP Controller"));
    EXPECT_EQ(tab("TabSheetMain"), QStringLiteral("Network"));
    EXPECT_EQ(tab("TabSheetSelectController"), QStringLiteral("Select Device"));
    EXPECT_EQ(tab("TabSheetLight"), QStringLiteral("General"));
    EXPECT_EQ(tab("TabSheetBooster"), QStringLiteral("Kopla Booster")); // product name
    EXPECT_EQ(tab("TabSheetSpeed"), QStringLiteral("Velocimo"));
    EXPECT_EQ(child<QToolButton>("Image9")->toolTip(), QStringLiteral("German please"));
    EXPECT_EQ(child<QToolButton>("Image10")->toolTip(), QStringLiteral("Bitte Englisch"));
    EXPECT_EQ(child<QComboBox>("dxPickEdit2")->itemText(0), QStringLiteral("<Select>"));
    EXPECT_EQ(child<QComboBox>("dxPickEdit2")->itemText(2), QStringLiteral("Ferrano System"));
    EXPECT_EQ(child<QLineEdit>("dxSuchIP")->toolTip(),
              QStringLiteral("Only if known: Enter new IP address to be searched for."));
    // The PC's own data is never translated.
    EXPECT_EQ(text("Label29"), QStringLiteral("192.168.0.10"));
    EXPECT_EQ(child<QAbstractButton>("btnSteckbrief")->toolTip(),
              QStringLiteral("Search and list or print all devices. This may take a while"));
    const QStringList sensitivities = {"Very Slow", "Slow", "Normal", "Fast", "Super Fast"};
    for (int k = 0; k < sensitivities.size(); ++k)
        EXPECT_EQ(child<QComboBox>("dxImageEdit2")->itemText(k), sensitivities[k]);
}

// What a screen reader says follows the switch at once: the LED's state and the names of
// the empty verdict labels.
TEST_F(LanguageForm, AccessibleTextsFollowTheSwitch) {
    open();
    for (const auto &[flag, off, none] : {std::tuple{"Image10", "off", "No message"},
                                          std::tuple{"Image9", "aus", "Keine Meldung"}}) {
        click(flag);
        EXPECT_EQ(form->Led().accessibleDescription(), QString::fromLatin1(off));
        for (const char *verdict : {"lbIPGateway", "lbIPBroker", "lbSuchIP"}) {
            ASSERT_TRUE(text(verdict).isEmpty()) << verdict;
            EXPECT_EQ(child<QLabel>(verdict)->accessibleName(), QString::fromLatin1(none))
                << verdict;
        }
    }
}

TEST_F(LanguageForm, DeviceTypeSurvivesASwitch) {
    open();
    auto *deviceType = child<QComboBox>("dxPickEdit2");
    for (int item : {0, 3, 6}) {
        SCOPED_TRACE(item);
        deviceType->setCurrentIndex(item);
        const QString port = child<QComboBox>("dxPickEdit1")->currentText();
        click("Image10");
        EXPECT_EQ(deviceType->currentIndex(), item);
        EXPECT_EQ(child<QComboBox>("dxPickEdit1")->currentText(), port);
        click("Image9");
        EXPECT_EQ(deviceType->currentIndex(), item);
        EXPECT_EQ(deviceType->itemText(0), QStringLiteral("<Auswählen>"));
    }
}

TEST_F(LanguageForm, AddressLabelsShowTheRecheckedVerdictInTheNewLanguage) {
    open();
    const std::pair<const char *, const char *> entries[] = {
        {"dxIPNeu", "lbIPAdresse"},
        {"dxNetmask", "lbNetzmaske"},
        {"dxIPGateway", "lbIPGateway"},
        {"dxIPBroker", "lbIPBroker"},
    };
    for (const auto &[field, label] : entries)
        child<QLineEdit>(field)->setText(QStringLiteral("192.168"));
    for (const auto &[field, label] : entries)
        ASSERT_EQ(text(label), QStringLiteral("Nicht vollständig")) << label;
    click("Image10");
    for (const auto &[field, label] : entries)
        EXPECT_EQ(text(label), QStringLiteral("Not in full")) << label;
    click("Image9");
    for (const auto &[field, label] : entries)
        EXPECT_EQ(text(label), QStringLiteral("Nicht vollständig")) << label;
}

TEST_F(LanguageForm, NoNetworkTextsFollowTheLanguage) {
    host.setLocalIP(QStringLiteral("127.0.0.1"));
    open();
    ASSERT_TRUE(form->NoNetwork());
    click("Image10");
    EXPECT_EQ(
        form->StatusText(),
        QStringLiteral("No network connection! (Network interface or driver not configured)"));
    EXPECT_EQ(text("Label29"), QStringLiteral("without IP address"));
    EXPECT_TRUE(child<QLabel>("Label29")->font().bold());
    click("Image9");
    EXPECT_EQ(form->StatusText(), MessageText(IDS_108));
    EXPECT_EQ(text("Label29"), QStringLiteral("ohne IP Adresse"));
}

TEST_F(LanguageForm, RunTimeTextsStayInTheirLanguageUntilSetAgain) {
    open();
    form->ShowCommandAccepted();
    ASSERT_EQ(form->StatusText(), QStringLiteral("Befehl akzeptiert"));
    click("Image10");
    EXPECT_EQ(form->StatusText(), QStringLiteral("Befehl akzeptiert"));
    form->ShowCommandAccepted();
    EXPECT_EQ(form->StatusText(), QStringLiteral("Command accepted"));
}

TEST_F(LanguageForm, DutchFlagIsHidden) {
    open();
    EXPECT_TRUE(child<QToolButton>("Image11")->isHidden());
    EXPECT_FALSE(child<QToolButton>("Image9")->isHidden());
    EXPECT_FALSE(child<QToolButton>("Image10")->isHidden());
}

TEST_F(LanguageForm, InfoIconShowsTheTipsOfTheActiveLanguageAtTheIcon) {
    open();
    auto *icon = child<QToolButton>("Image12");
    for (const char *flag : {"Image10", "Image9"}) {
        SCOPED_TRACE(flag);
        click(flag);
        QTest::mouseClick(icon, Qt::LeftButton);
        auto *balloon = form->findChild<FlagHint *>();
        ASSERT_NE(balloon, nullptr);
        EXPECT_TRUE(balloon->isVisible());
        EXPECT_EQ(balloon->text(), TroubleshootingText(form->Language()));
        EXPECT_EQ(balloon->pos(), icon->mapToGlobal(QPoint(0, 0)));
        QTest::keyClick(form.get(), Qt::Key_Shift);
        EXPECT_FALSE(balloon->isVisible());
    }
}

} // namespace
