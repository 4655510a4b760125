#include "language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace {

int activeLanguage = 0;
// The program's texts and Qt's own (standard dialogs, context menus).
std::unique_ptr<QTranslator> programTexts;
std::unique_ptr<QTranslator> qtTexts;

void removeTranslator(std::unique_ptr<QTranslator> &translator) {
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
}

std::unique_ptr<QTranslator> loadTranslator(const QString &name, const QString &folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder))
        return nullptr;
    return translator;
}

} // namespace

int ActiveLanguage() {
    return activeLanguage;
}

bool SwitchLanguage(int number) {
    if (number < LanguageGerman || number > LanguageDutch || number == activeLanguage)
        return false;
    activeLanguage = number;

    removeTranslator(programTexts);
    removeTranslator(qtTexts);
    // German is the source language of the program's texts, English that of Qt's.
    if (number == LanguageEnglish) {
        programTexts = loadTranslator(QStringLiteral("qev_en"), QStringLiteral(":/i18n"));
    } else {
        qtTexts = loadTranslator(QStringLiteral("qtbase_de"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    // Each change of the translators posts a LanguageChange event; the windows get it
    // through the application. When nothing is installed they still have to re-text
    // themselves from the source texts.
    bool installed = false;
    for (QTranslator *translator : {qtTexts.get(), programTexts.get()}) {
        if (translator)
            installed = QCoreApplication::installTranslator(translator) || installed;
    }
    if (!installed && QCoreApplication::instance())
        QCoreApplication::postEvent(QCoreApplication::instance(),
                                    new QEvent(QEvent::LanguageChange));
    // The application passes the event on to each window by posting it again. Deliver both
    // rounds now: whoever switches expects the new texts on return.
    for (int round = 0; round < 2; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return true;
}

int StartupLanguage(const QLocale &userLocale, const QStringList &systemLanguages) {
    const bool german = userLocale.language() == QLocale::German ||
                        (!systemLanguages.isEmpty() &&
                         QLocale(systemLanguages.first()).language() == QLocale::German);
    return german ? LanguageGerman : LanguageEnglish;
}

int StartupLanguage() {
    const QLocale system = QLocale::system();
    return StartupLanguage(system, system.uiLanguages());
}

QString WarningTitle() {
    return QCoreApplication::translate("Dialogs", "Warnung");
}

QString ErrorTitle() {
    return QCoreApplication::translate("Dialogs", "Fehler");
}

QString InformationTitle() {
    return QCoreApplication::translate("Dialogs", "Information");
}

QString ConfirmTitle() {
    return QCoreApplication::translate("Dialogs", "Bestätigung");
}
