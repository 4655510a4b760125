#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The languages of the user interface, numbered as the flags are.
enum Language : int {
    LanguageGerman = 1,
    LanguageEnglish = 2,
    LanguageDutch = 3,
};

// The active language; 0 until the first SwitchLanguage.
int ActiveLanguage();

// Makes `number` the active language: the program's and Qt's own translations of it are
// installed, and every window re-texts itself on the LanguageChange event that follows.
// Returns false, doing nothing, for the active language or a number outside 1 to 3.
// Dutch has no texts of its own: everything shows its German text.
bool SwitchLanguage(int number);

// German when the user's locale or the first language of the system's list is German,
// otherwise English.
int StartupLanguage(const QLocale &userLocale, const QStringList &systemLanguages);
// The same for the running system.
int StartupLanguage();

// Titles of the standard message boxes in the active language.
QString WarningTitle();
QString ErrorTitle();
QString InformationTitle();
QString ConfirmTitle();
