#include "messagetext.h"

#include <QCoreApplication>

namespace {

using namespace qev;

struct Message {
    int id;
    const char *german;
};

// German is the source language; the other languages come from the installed translators.
constexpr Message catalogue[] = {
    {IDS_100, QT_TRANSLATE_NOOP("MessageText", "Es darf sich nur 1 Spurnova IP-Interface im "
                                               "Netzwerk befinden.")},
    {IDS_101,
     QT_TRANSLATE_NOOP("MessageText", "Bestehende Einstellungen werden jetzt überschrieben!")},
    {IDS_102, QT_TRANSLATE_NOOP("MessageText", "Weitermachen?")},
    {IDS_103, QT_TRANSLATE_NOOP("MessageText", "Hinweis")},
    {IDS_105, QT_TRANSLATE_NOOP("MessageText", "Neue Adresse erreichbar")},
    {IDS_106, QT_TRANSLATE_NOOP("MessageText", "Gerät antwortet nicht")},
#ifdef Q_OS_WIN
    {IDS_108, QT_TRANSLATE_NOOP("MessageText", "Keine Verbindung! (Windows Netzwerkkarte oder "
                                               "-treiber nicht konfiguriert)")},
#else
    // Elsewhere there is no "Windows network card"; the user looks at the network interface.
    {IDS_108, QT_TRANSLATE_NOOP("MessageText", "Keine Verbindung! (Netzwerkschnittstelle oder "
                                               "-treiber nicht konfiguriert)")},
#endif
    {IDS_109, QT_TRANSLATE_NOOP("MessageText", "Lesen OK")},
    {IDS_110, QT_TRANSLATE_NOOP("MessageText", "Keine Antwort vom Gerät: fremdes Netzwerk oder "
                                               "falsch programmiert")},
    {IDS_111, QT_TRANSLATE_NOOP("MessageText", "Interface ist im falschen Netzwerk. Bitte neu "
                                               "programmieren.")},
    {IDS_114, QT_TRANSLATE_NOOP("MessageText", "Unbekannt")},
    {IDS_115, QT_TRANSLATE_NOOP("MessageText", "Nicht mit dieser Version. Bitte Spurnova "
                                               "Qev-Programmer benutzen.")},
    {IDS_116, QT_TRANSLATE_NOOP("MessageText", "Es darf sich nur 1 Kopla IP-Interface im "
                                               "Netzwerk befinden.")},
    {IDS_117, QT_TRANSLATE_NOOP("MessageText", "Befehl akzeptiert")},
    {IDS_119, QT_TRANSLATE_NOOP("MessageText", "Daten senden ...")},
    {IDS_120, QT_TRANSLATE_NOOP("MessageText", "Daten vergleichen ...")},
    {IDS_121, QT_TRANSLATE_NOOP("MessageText", "Aktivieren und Neustart")},
    {IDS_122, QT_TRANSLATE_NOOP("MessageText", "von")},
    {IDS_123, QT_TRANSLATE_NOOP("MessageText", "Fertig")},
    {IDS_124, QT_TRANSLATE_NOOP("MessageText", "ohne IP Adresse")},
    {IDS_125, QT_TRANSLATE_NOOP("MessageText", "Betätigen Sie die Taste des zu programmierenden "
                                               "Ferrano oder Lucento Gerätes für einige Sekunden, "
                                               "bis die grüne oder magenta LED leuchtet oder "
                                               "blinkt.")},
    {IDS_126, QT_TRANSLATE_NOOP("MessageText", "Wird schon benutzt")},
    {IDS_127, QT_TRANSLATE_NOOP("MessageText", "Nicht vollständig")},
    {IDS_128, QT_TRANSLATE_NOOP("MessageText", "In fremdem Netz")},
    {IDS_129, QT_TRANSLATE_NOOP("MessageText", "Ungültig")},
    {IDS_130, QT_TRANSLATE_NOOP("MessageText", "Nicht prüfbar")},
    {IDS_131, QT_TRANSLATE_NOOP("MessageText", "Evtl. nicht passend")},
    {IDS_132, QT_TRANSLATE_NOOP("MessageText", "Ist erreichbar")},
    {IDS_133, QT_TRANSLATE_NOOP("MessageText", "Nicht erreichbar")},
    {IDS_140, QT_TRANSLATE_NOOP("MessageText", "Soll auch die Festplatte nach installierter "
                                               "Software durchsucht werden?")},
    {IDS_141, QT_TRANSLATE_NOOP("MessageText", "Dies wird einige Zeit dauern.")},
    {IDS_142, QT_TRANSLATE_NOOP("MessageText", "Erweiterte Suche")},
    {IDS_143, QT_TRANSLATE_NOOP("MessageText", "Geräte...")},
    {IDS_144, QT_TRANSLATE_NOOP("MessageText", "Fremde Geräte...")},
    {IDS_145, QT_TRANSLATE_NOOP("MessageText", "PC Daten...")},
    {IDS_200, QT_TRANSLATE_NOOP("MessageText", "Bitte den Booster in den Programmiermode "
                                               "bringen.")},
    {IDS_201, QT_TRANSLATE_NOOP("MessageText", "(Taster mehr als 3 Sekunden drücken; dann "
                                               "loslassen)")},
    // Shown directly behind a number, hence the leading blank.
    {IDS_202, QT_TRANSLATE_NOOP("MessageText", " Controller gefunden. Programmieren nicht "
                                               "möglich")},
};

} // namespace

QString MessageText(int id) {
    for (const Message &message : catalogue) {
        if (message.id == id)
            return QCoreApplication::translate("MessageText", message.german);
    }
    return {};
}
