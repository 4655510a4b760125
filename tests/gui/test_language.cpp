#include "app/flaghint.h"
#include "app/language.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// ---- Start-up language ----

struct LocaleRow {
    const char *name;
    const char *userLocale;
    QStringList systemLanguages;
    int expected;
};

class StartupLanguageTest : public ::testing::TestWithParam<LocaleRow> {};

TEST_P(StartupLanguageTest, GermanOnlyForAGermanLocale) {
    const LocaleRow &row = GetParam();
    EXPECT_EQ(StartupLanguage(QLocale(QString::fromLatin1(row.userLocale)), row.systemLanguages),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, StartupLanguageTest,
    ::testing::Values(
        LocaleRow{"Germany", "de_DE", {QStringLiteral("de-DE")}, LanguageGerman},
        LocaleRow{"Austria", "de_AT", {}, LanguageGerman},
        LocaleRow{"Switzerland", "de_CH", {QStringLiteral("fr-CH")}, LanguageGerman},
        LocaleRow{"EnglishUserGermanSystem", "en_GB", {QStringLiteral("de")}, LanguageGerman},
        LocaleRow{"UnitedStates", "en_US", {QStringLiteral("en-US")}, LanguageEnglish},
        LocaleRow{"Netherlands",
                  "nl_NL",
                  {QStringLiteral("nl-NL"), QStringLiteral("de")},
                  LanguageEnglish},
        LocaleRow{"France", "fr_FR", {}, LanguageEnglish},
        LocaleRow{"PlainC", "C", {}, LanguageEnglish}),
    [](const ::testing::TestParamInfo<LocaleRow> &row) { return std::string(row.param.name); });

// ---- Switching ----

// Re-texts itself on every LanguageChange, as the forms do.
class Retexted : public QLineEdit {
public:
    int changes = 0;

protected:
    void changeEvent(QEvent *event) override {
        if (event->type() == QEvent::LanguageChange) {
            ++changes;
            setText(QCoreApplication::translate("TQevProgrammerForm", "Suche Geräte"));
        }
        QLineEdit::changeEvent(event);
    }
};

TEST(SwitchLanguage, RetextsOpenWindowsBeforeItReturns) {
    SwitchLanguage(LanguageGerman);
    Retexted window;
    window.show();
    ASSERT_TRUE(SwitchLanguage(LanguageEnglish));
    EXPECT_EQ(ActiveLanguage(), LanguageEnglish);
    EXPECT_EQ(window.text(), QStringLiteral("Search Hardware"));
    ASSERT_TRUE(SwitchLanguage(LanguageGerman));
    EXPECT_EQ(window.text(), QStringLiteral("Suche Geräte"));
    ASSERT_TRUE(SwitchLanguage(LanguageDutch)); // no texts of its own
    EXPECT_EQ(window.text(), QStringLiteral("Suche Geräte"));
    SwitchLanguage(LanguageGerman);
}

TEST(SwitchLanguage, TheActiveLanguageOrANumberOutOfRangeChangesNothing) {
    SwitchLanguage(LanguageEnglish);
    Retexted window;
    window.show();
    const int before = window.changes;
    EXPECT_FALSE(SwitchLanguage(LanguageEnglish));
    EXPECT_FALSE(SwitchLanguage(0));
    EXPECT_FALSE(SwitchLanguage(4));
    QCoreApplication::processEvents();
    EXPECT_EQ(ActiveLanguage(), LanguageEnglish);
    EXPECT_EQ(window.changes, before);
    SwitchLanguage(LanguageGerman);
}

TEST(SwitchLanguage, StandardDialogsFollowTheLanguage) {
    struct Row {
        int language;
        QString yes, cancel, warning, error, confirm;
    };
    const Row rows[] = {
        {LanguageGerman, QStringLiteral("&Ja"), QStringLiteral("Abbrechen"),
         QStringLiteral("Warnung"), QStringLiteral("Fehler"), QStringLiteral("Bestätigung")},
        {LanguageEnglish, QStringLiteral("&Yes"), QStringLiteral("Cancel"),
         QStringLiteral("Warning"), QStringLiteral("Error"), QStringLiteral("Confirm")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.language);
        SwitchLanguage(row.language);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), row.yes);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), row.cancel);
        EXPECT_EQ(WarningTitle(), row.warning);
        EXPECT_EQ(ErrorTitle(), row.error);
        EXPECT_EQ(ConfirmTitle(), row.confirm);
        EXPECT_EQ(InformationTitle(), QStringLiteral("Information"));
    }
    SwitchLanguage(LanguageGerman);
}

// ---- Network tips ----

TEST(TroubleshootingText, SevenSentencesWithBlankLinesAfterTheFirstAndFourth) {
    EXPECT_EQ(
        TroubleshootingText(LanguageGerman),
        QStringLiteral("Probleme beim Einstellen von IP-Adressen? Dann dies beachten!\n"
                       "\n"
                       "WLAN und Kabelverbindung gleichzeitig?\n"
                       "Bei gleichzeitiger WLAN und Kabelverbindung kann das Hardware-Gerät "
                       "nicht zuverlässig erkannt werden.\n"
                       "Deaktivieren sie in Windows nicht gebrauchte Netzwerkverbindungen.\n"
                       "\n"
                       "Mehrere Netzwerkswitche in Betrieb?\n"
                       "Nicht jeder Switch erkennt sofort, wenn das Hardware-Gerät von einem "
                       "Switch auf den Anderen umgesteckt wird.\n"
                       "Vermeiden sie das Umstecken oder schalten sie die Switche kurz aus."));
    const QString english =
        QStringLiteral("Problems setting IP addresses? Then pay attention to this!\n"
                       "\n"
                       "WLAN and cable connection at the same time?\n"
                       "The hardware device cannot be reliably recognised with simultaneous WLAN "
                       "and cable connection.\n"
                       "Deactivate unused network connections in Windows.\n"
                       "\n"
                       "Several network switches in operation?\n"
                       "Not every switch recognises immediately when the hardware device is moved "
                       "from one switch to another.\n"
                       "Avoid reconnecting or switch off the switches briefly.");
    EXPECT_EQ(TroubleshootingText(LanguageEnglish), english);
    EXPECT_EQ(TroubleshootingText(LanguageDutch), english); // English for anything but German
}

struct RectRow {
    const char *name;
    QPoint anchor;
    int oneLineWidth;
    QRect expected;
};

class HintRectTest : public ::testing::TestWithParam<RectRow> {};

TEST_P(HintRectTest, PlacedAtTheIconAndKeptOnScreen) {
    const QRect screen(0, 0, 1000, 800);
    // Twenty pixels per started hundred pixels of width.
    const auto wrappedHeight = [](int width) {
        return 20 * ((2000 + width - 1) / width);
    };
    EXPECT_EQ(HintRect(GetParam().anchor, screen, GetParam().oneLineWidth, wrappedHeight),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Placement, HintRectTest,
    ::testing::Values(
        // width = text + 8, height = wrapped text + 6
        RectRow{"FitsInOneLine", {100, 50}, 400, QRect(100, 50, 408, 106)},
        RectRow{"WiderThanTheScreenTakesHalf", {100, 50}, 3000, QRect(100, 50, 508, 86)},
        RectRow{"ScreenWideKeepsItsLeftEdge", {0, 0}, 1000, QRect(0, 0, 1008, 46)},
        RectRow{"PushedLeftAtTheRightEdge", {900, 50}, 400, QRect(592, 50, 408, 106)},
        RectRow{"PushedUpAtTheBottom", {100, 780}, 400, QRect(100, 694, 408, 106)},
        RectRow{"PulledInAtTheTopLeft", {-30, -10}, 400, QRect(0, 0, 408, 106)}),
    [](const ::testing::TestParamInfo<RectRow> &row) { return std::string(row.param.name); });

TEST(FlagHint, ShowsWithoutTakingTheFocusAndHidesAtTheNextPress) {
    QLineEdit window;
    window.show();
    window.activateWindow();
    window.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const std::pair<const char *, std::function<void()>> presses[] = {
        {"key",
         [&] {
             QTest::keyClick(&window, Qt::Key_A);
         }},
        {"mouse",
         [&] {
             QTest::mouseClick(&window, Qt::LeftButton);
         }},
    };
    FlagHint balloon;
    for (const auto &[name, press] : presses) {
        SCOPED_TRACE(name);
        balloon.ShowAt(window.mapToGlobal(QPoint(3, 4)), TroubleshootingText(LanguageEnglish));
        EXPECT_TRUE(balloon.isVisible());
        EXPECT_EQ(balloon.pos(), window.mapToGlobal(QPoint(3, 4)));
        EXPECT_TRUE(balloon.text().startsWith(QStringLiteral("Problems setting")));
        EXPECT_EQ(QApplication::activeWindow(), &window);
        EXPECT_TRUE(balloon.wordWrap());
        press();
        EXPECT_FALSE(balloon.isVisible());
    }
    // Once hidden it no longer watches the presses of the program.
    balloon.ShowAt(window.mapToGlobal(QPoint(0, 0)), QStringLiteral("x"));
    balloon.hide();
    balloon.show();
    QTest::keyClick(&window, Qt::Key_B);
    EXPECT_TRUE(balloon.isVisible());
}

TEST(TroubleshootingHint, TextOfTheActiveLanguageAtTheIcon) {
    QWidget window;
    window.resize(200, 100);
    QWidget icon(&window);
    icon.setGeometry(40, 30, 18, 18);
    window.show();
    FlagHint balloon;
    for (int language : {LanguageGerman, LanguageEnglish}) {
        SwitchLanguage(language);
        TroubleshootingHint(balloon, icon);
        EXPECT_EQ(balloon.text(), TroubleshootingText(language));
        EXPECT_EQ(balloon.pos(), icon.mapToGlobal(QPoint(0, 0)));
        balloon.hide();
    }
    SwitchLanguage(LanguageGerman);
}

} // namespace
