#include "app/language.h"
#include "app/messagetext.h"

#include <gtest/gtest.h>

namespace {

struct Message {
    int id;
    const char *german;
    const char *english;
};

// The whole catalogue, word for word (typing errors of the English texts included).
const Message catalogue[] = {
    {100, "Es darf sich nur 1 Spurnova IP-Interface im Netzwerk befinden.",
     "Only one spurnova controller must be connected to the net"},
    {101, "Bestehende Einstellungen werden jetzt überschrieben!",
     "Existing values will be overwritten!"},
    {102, "Weitermachen?", "Continue?"},
    {103, "Hinweis", "Hint"},
    {105, "Neue Adresse erreichbar", "New address is reachable"},
    {106, "Gerät antwortet nicht", "No answer from device"},
#ifdef Q_OS_WIN
    {108, "Keine Verbindung! (Windows Netzwerkkarte oder -treiber nicht konfiguriert)",
     "No network connection! (Windows interface or driver not configured)"},
#else
    {108, "Keine Verbindung! (Netzwerkschnittstelle oder -treiber nicht konfiguriert)",
     "No network connection! (Network interface or driver not configured)"},
#endif
    {109, "Lesen OK", "Read OK"},
    {110, "Keine Antwort vom Gerät: fremdes Netzwerk oder falsch programmiert",
     "No answer from device: foraign network or wrong ip configuration"},
    {111, "Interface ist im falschen Netzwerk. Bitte neu programmieren.",
     "Interface is in wrong network. Set new IP, please."},
    {114, "Unbekannt", "Unknown"},
    {115, "Nicht mit dieser Version. Bitte Spurnova Qev-Programmer benutzen.",
     "Not with this version. Please use Spurnova Qev-Programmmer."},
    {116, "Es darf sich nur 1 Kopla IP-Interface im Netzwerk befinden.",
     "Only one Kopla IP-Controller must be connected to the net"},
    {117, "Befehl akzeptiert", "Command accepted"},
    {119, "Daten senden ...", "Send data ..."},
    {120, "Daten vergleichen ...", "Compare data ..."},
    {121, "Aktivieren und Neustart", "Activate and Reboot"},
    {122, "von", "of"},
    {123, "Fertig", "Finished"},
    {124, "ohne IP Adresse", "without IP address"},
    {125,
     "Betätigen Sie die Taste des zu programmierenden Ferrano oder Lucento Gerätes für einige "
     "Sekunden, bis die grüne oder magenta LED leuchtet oder blinkt.",
     "For a few seconds, press the button of the Ferrano or Lucento device to be programmed until "
     "the green or magenta LED flashes."},
    {126, "Wird schon benutzt", "Already in use"},
    {127, "Nicht vollständig", "Not in full"},
    {128, "In fremdem Netz", "In foreign net"},
    {129, "Ungültig", "Not valid"},
    {130, "Nicht prüfbar", "Not testable"},
    {131, "Evtl. nicht passend", "May not fit"},
    {132, "Ist erreichbar", "Is reachable"},
    {133, "Nicht erreichbar", "Not reachable"},
    {140, "Soll auch die Festplatte nach installierter Software durchsucht werden?",
     "Should the hard disk also be scanned for installed software?"},
    {141, "Dies wird einige Zeit dauern.", "This will take some time."},
    {142, "Erweiterte Suche", "Extended search."},
    {143, "Geräte...", "Devices..."},
    {144, "Fremde Geräte...", "Foreign devices..."},
    {145, "PC Daten...", "PC Data..."},
    {200, "Bitte den Booster in den Programmiermode bringen.",
     "Set booster to programming mode, please."},
    {201, "(Taster mehr als 3 Sekunden drücken; dann loslassen)",
     "(Press button more than 3 seconds; then release)"},
    {202, " Controller gefunden. Programmieren nicht möglich",
     " Controller found. Programing impossible"},
};

class MessageTextTest : public ::testing::TestWithParam<Message> {
protected:
    void TearDown() override { SwitchLanguage(LanguageGerman); }
};

TEST_P(MessageTextTest, TextPerLanguage) {
    const Message &m = GetParam();
    SwitchLanguage(LanguageGerman);
    EXPECT_EQ(MessageText(m.id), QString::fromUtf8(m.german));
    SwitchLanguage(LanguageEnglish);
    EXPECT_EQ(MessageText(m.id), QString::fromUtf8(m.english));
    // Dutch has no texts: German stands in.
    SwitchLanguage(LanguageDutch);
    EXPECT_EQ(MessageText(m.id), QString::fromUtf8(m.german));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, MessageTextTest, ::testing::ValuesIn(catalogue),
                         [](const ::testing::TestParamInfo<Message> &row) {
                             return "IDS_" + std::to_string(row.param.id);
                         });

TEST(MessageText, UnknownIdsGiveEmptyTextInEveryLanguage) {
    for (int language : {LanguageGerman, LanguageEnglish, LanguageDutch}) {
        SwitchLanguage(language);
        for (int id : {0, -1, 99, 104, 107, 112, 113, 118, 134, 139, 146, 199, 203, 1000}) {
            EXPECT_TRUE(MessageText(id).isEmpty()) << "language " << language << " id " << id;
        }
    }
    SwitchLanguage(LanguageGerman);
}

TEST(MessageText, EveryIdOfTheCatalogueHasAText) {
    // No id between 100 and 202 beyond the catalogue's answers.
    int known = 0;
    SwitchLanguage(LanguageGerman);
    for (int id = 100; id <= 202; ++id)
        known += MessageText(id).isEmpty() ? 0 : 1;
    EXPECT_EQ(known, int(std::size(catalogue)));
}

} // namespace
