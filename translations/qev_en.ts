<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="de_DE">
<context>
    <name>BackupView</name>
    <message>
        <location filename="../src/gui/backup/backupview.cpp" line="+25"/>
        <location line="+183"/>
        <source>Einstellungen sichern</source>
        <translation>Back up settings</translation>
    </message>
    <message>
        <location line="-182"/>
        <location line="+219"/>
        <location line="+58"/>
        <location line="+11"/>
        <location line="+36"/>
        <location line="+8"/>
        <source>Einstellungen wiederherstellen</source>
        <translation>Restore settings</translation>
    </message>
    <message>
        <location line="-331"/>
        <source>Einstellungen (*.json)</source>
        <translation>Settings (*.json)</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>Ersatzgerät</source>
        <translation>Replacement device</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Die Datei stammt von dem Gerät mit der Seriennummer %1; dieses Gerät hat die Seriennummer %2.

Die Einstellungen auf dieses Gerät übertragen?</source>
        <translation>The file comes from the device with serial number %1; this device has serial number %2.

Transfer the settings to this device?</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Booster am Bus</source>
        <translation>Boosters on the bus</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1, %2: %3 statt %4</source>
        <translation>%1, %2: %3 instead of %4</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Lese %1 …</source>
        <translation>Reading %1 …</translation>
    </message>
    <message>
        <location line="+9"/>
        <source> – es fehlen: %1</source>
        <translation> – missing: %1</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Einstellungen nicht gesichert: %1</source>
        <translation>Settings not backed up: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Einstellungen gesichert: %1</source>
        <translation>Settings backed up: %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+109"/>
        <source>Name von Booster %1</source>
        <translation>Name of booster %1</translation>
    </message>
    <message>
        <location line="-103"/>
        <source>%1 „%2“</source>
        <translation>%1 “%2”</translation>
    </message>
    <message>
        <location line="+43"/>
        <location line="+10"/>
        <location line="+22"/>
        <location line="+7"/>
        <source>Nichts geschrieben.</source>
        <translation>Nothing written.</translation>
    </message>
    <message>
        <location line="-34"/>
        <source>Das Gerät hat schon alle Werte der Datei.</source>
        <translation>The device already holds every value of the file.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Das Gerät hat sich seit der Anzeige geändert; nichts geschrieben.</source>
        <translation>The device changed since the changes were shown; nothing written.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Nichts zu schreiben.</source>
        <translation>Nothing to write.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wiederhergestellt: %1</source>
        <translation>Restored: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nicht angenommen: %1</source>
        <translation>Not accepted: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Diese Werte liest das Gerät anders zurück als in der Datei:</source>
        <translation>The device reads these values back otherwise than the file holds them:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Nicht alle Einstellungen wurden übernommen.</source>
        <translation>Not every setting was taken.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Einstellungen werden vor der Installation gesichert …</source>
        <translation>Backing up the settings before the installation …</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Einstellungen nicht gesichert (%1); die Installation läuft weiter.</source>
        <translation>Settings not backed up (%1); the installation goes on.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Einstellungen vor der Installation gesichert: %1</source>
        <translation>Settings backed up before the installation: %1</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Einstellungen nach der Installation</source>
        <translation>Settings after the installation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Das Gerät hat nach der Installation andere Einstellungen als vorher:

%1

Die gesicherten Werte zurückschreiben?</source>
        <translation>After the installation the device holds other settings than before:

%1

Write the backed-up values back?</translation>
    </message>
</context>
<context>
    <name>BoosterListModel</name>
    <message>
        <location filename="../src/gui/pages/boosterbus.cpp" line="+25"/>
        <source>Unbekannt</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Booster 5A</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Booster 5A</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Schaltbooster</source>
        <translation>Switching booster</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>Adr.</source>
        <translation>Addr.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Typ</source>
        <translation>Type</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Name</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Seriennummer</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ver</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Ver</translation>
    </message>
</context>
<context>
    <name>BoosterNetPage</name>
    <message>
        <location filename="../src/gui/pages/boosternetpage.ui" line="+11"/>
        <source>Gerätename</source>
        <translation>Device name</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Name oder Standort des Gerätes</source>
        <translation>Name or location of the device</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Steuerung</source>
        <translation>Control</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Schaltet nach dem Einschalten des Gerätes alle Booster ein. Sonst übernimmt das Spurnova beim Programmstart</source>
        <translation>Switches on all boosters when the device is switched on. Otherwise Spurnova does it when the program starts</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Mit dem Einschalten alle Booster Start</source>
        <translation>Start all boosters at power-up</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Start/Stop der Zentrale schaltet die Booster</source>
        <translation>Start/stop of the command station switches the boosters</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Watchdog Befehl bis</source>
        <translation>Watchdog command within</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Sek.</source>
        <translation>sec.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Kurzschluss</source>
        <translation>Short circuit</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Veralteter Classic-Modus: ein Kurzschluss schaltet auch die Zentrale ab</source>
        <translation>Outdated Classic mode: a short circuit also switches off the command station</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Bei Kurzschluss auch Zentrale abschalten</source>
        <translation>Short circuit also switches off the command station</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Schaltbefehle</source>
        <translation>Switching commands</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Booster nur für Schaltbefehle nutzen</source>
        <translation>Use boosters only for switching commands</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Booster Adresse(n)</source>
        <translation>Booster addresses</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ein oder mehrere Booster nur für Schaltbefehle verwenden</source>
        <translation>Use one or more boosters for switching commands only</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Im Gerät speichern</source>
        <translation>Save in device</translation>
    </message>
</context>
<context>
    <name>BoosterPage</name>
    <message>
        <location filename="../src/gui/pages/boosterpage.ui" line="+9"/>
        <source>Kurzschluss</source>
        <translation>Short circuit</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Maximaler Strom</source>
        <translation>Maximum current</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+36"/>
        <source>Amp.</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Amp.</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>Info ab Stromverbrauch</source>
        <translation>Information from current</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Kurzsschlußerkennung</source>
        <translation>Short-circuit detection</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Träge</source>
        <translation>Very Slow</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Mittelträge</source>
        <translation>Slow</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Normal</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Normal</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Flink</source>
        <translation>Fast</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Superflink</source>
        <translation>Super Fast</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Kurzsschlußerkennung, Servicewert 10 bis 200</source>
        <translation>Short-circuit detection, service value 10 to 200</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Niemals automatisch einschalten. Das macht der PC</source>
        <translation>Never switch on automatically. The PC does it</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Einschalten durch PC</source>
        <translation>Switched on by the PC</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Pause bis Einschalten</source>
        <translation>Pause until switching on</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+36"/>
        <source>Sek.</source>
        <translation>sec.</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>Ausschaltverzögerung</source>
        <translation>Switch-off delay</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>In alle Booster schreiben</source>
        <translation>Write to all boosters</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Neue Adresse programmieren</source>
        <translation>Program new address</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Eine neue Boosteradresse eingeben, die in einen Booster geschrieben werden soll</source>
        <translation>Enter a new booster address to be written into a booster</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Diese Adresse in Booster schreiben</source>
        <translation>Write this address to the booster</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>In Booster schreiben</source>
        <translation>Write to booster</translation>
    </message>
</context>
<context>
    <name>ClassicPage</name>
    <message>
        <location filename="../src/gui/pages/classicpage.ui" line="+9"/>
        <source>Ein- und Ausschaltmodus</source>
        <translation>On/off mode</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Start und Stop werden durch Software gesteuert</source>
        <translation>Start and stop are controlled by software</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Lunarra</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Lunarra</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Nach dem Einschalten startet das Gerät selbsttätig</source>
        <translation>After power-on the device starts by itself</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Autarker Mode</source>
        <translation>Stand-alone mode</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Nach dem Einschalten läuft ein längerer Test- und Demomode</source>
        <translation>After power-on a longer test and demo mode runs</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start mit Demo</source>
        <translation>Start with demo</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Gerät geht beim Beenden von Lunarra in den Stopmode</source>
        <translation>The device goes into stop mode when Lunarra is quit</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Lunarra 5 beendet mit &apos;Inaktiv&apos;</source>
        <translation>Quitting Lunarra 5 sets inactive</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Anzahl Ausgänge</source>
        <translation>Number of outputs</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>S-Bus Ausgänge</source>
        <translation>S-Bus outputs</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Gesamtzahl der vorhandenen Ausgänge, 0 bis 255: das Gerät nimmt die Zahl in einem Byte</source>
        <translation>Total number of outputs present, 0 to 255: the device takes the number in one byte</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>DMX Kanäle</source>
        <translation>DMX channels</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Gesamtzahl der vorhandenen Kanäle</source>
        <translation>Total number of channels present</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>S-Bus Timing</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>S-Bus Timing</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Timing</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Timing</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Schnell</source>
        <translation>Fast</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+69"/>
        <source>Normal</source>
        <translation>Standard</translation>
    </message>
    <message>
        <location line="-64"/>
        <source>Langsam</source>
        <translation>Slow</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Clock</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Clock</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Taktfrequenz (nur Lesen)</source>
        <translation>Clock frequency (read only)</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Delay</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Delay</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Gering</source>
        <translation>Little</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Viel</source>
        <translation>More</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Latch</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Latch</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Übernahmelänge (nur Lesen)</source>
        <translation>Latch length (read only)</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Änderungen speichern</source>
        <translation>Save the changes</translation>
    </message>
</context>
<context>
    <name>CommandName</name>
    <message>
        <location filename="../src/core/trace/commandnames.cpp" line="+19"/>
        <location line="+1"/>
        <source>Netzwerkeinstellungen</source>
        <translation>Network settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suche</source>
        <translation>Search</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Identifikation</source>
        <translation>Identification</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>Seriennummer</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zugangscode</source>
        <translation>Access code</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Block schreiben</source>
        <translation>Write block</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Block lesen</source>
        <translation>Read block</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aktivieren</source>
        <translation>Activate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tachometer schreiben</source>
        <translation>Write speed meter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tachometer lesen</source>
        <translation>Read speed meter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>S88 lesen</source>
        <translation>Read S88</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>S88 schreiben</source>
        <translation>Write S88</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Helligkeit setzen</source>
        <translation>Set brightness</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Helligkeit lesen</source>
        <translation>Read brightness</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name schreiben</source>
        <translation>Write name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name lesen</source>
        <translation>Read name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Modus lesen</source>
        <translation>Read mode</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Modus schreiben</source>
        <translation>Write mode</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Classic lesen</source>
        <translation>Read Classic</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Classic schreiben</source>
        <translation>Write Classic</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>RGB lesen</source>
        <translation>Read RGB</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>RGB schreiben</source>
        <translation>Write RGB</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Manager lesen</source>
        <translation>Read manager</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Manager schreiben</source>
        <translation>Write manager</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Booster-Seriennummern</source>
        <translation>Booster serial numbers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Booster-Name lesen</source>
        <translation>Read booster name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Booster-Name schreiben</source>
        <translation>Write booster name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Booster-Liste</source>
        <translation>Booster list</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Booster-Info</source>
        <translation>Booster info</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Booster schreiben</source>
        <translation>Write boosters</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Booster-Adresse</source>
        <translation>Booster address</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gateway lesen</source>
        <translation>Read gateway</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gateway schreiben</source>
        <translation>Write gateway</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gateway-Helligkeit lesen</source>
        <translation>Read gateway brightness</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gateway-Helligkeit speichern</source>
        <translation>Save gateway brightness</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Booster-Freigabe</source>
        <translation>Booster unlock</translation>
    </message>
</context>
<context>
    <name>ContainerPage</name>
    <message>
        <location filename="../src/gui/pages/containerpage.ui" line="+26"/>
        <location line="+60"/>
        <source>Beispielwert zum Ersetzen: eine Adresse aus dem Dokumentationsbereich (RFC 5737) und ein Muster-Zugang (Basic und Base64 von „user:example-password“).</source>
        <translation>Sample value to be replaced: an address of the documentation range (RFC 5737) and a sample credential (Basic and the Base64 of “user:example-password”).</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Programmieren</source>
        <translation>Program</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <location filename="../src/core/app/language.cpp" line="+80"/>
        <source>Warnung</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Information</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Bestätigung</source>
        <translation>Confirm</translation>
    </message>
</context>
<context>
    <name>ErrorDisplay</name>
    <message>
        <location filename="../src/gui/app/errordisplay.cpp" line="+9"/>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Unbekannter Fehler</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>ExtenderPage</name>
    <message>
        <location filename="../src/gui/pages/extenderpage.ui" line="+9"/>
        <source>Diese Version kennt keine Parameter</source>
        <translation>This version has no parameters</translation>
    </message>
</context>
<context>
    <name>FirmwarePage</name>
    <message>
        <location filename="../src/gui/firmware/firmwarepage.ui" line="+13"/>
        <source>Standard</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Standard</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+28"/>
        <source>Installierte Firmware</source>
        <translation>Installed firmware</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Booster</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Booster</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Booster auswählen</source>
        <translation>Select booster</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>S88-RM</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>S88-RM</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Update suchen</source>
        <translation>Search Update</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Vorhandene Updates</source>
        <translation>Updates found</translation>
    </message>
    <message>
        <location line="+13"/>
        <location filename="../src/gui/firmware/firmwarepage.cpp" line="+68"/>
        <source>Datei wählen</source>
        <translation>Select File</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Update per Datei</source>
        <translation>Update with File</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Update Datei</source>
        <translation>Update File</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Auswahl einer neuen Firmwareversion für das Gerät</source>
        <translation>Choose a new firmware version for the device</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Neue Version</source>
        <translation>New version</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Vom</source>
        <translation>From</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Für</source>
        <translation>For</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Firmware ist nicht für diesen Controller geeignet</source>
        <translation>Firmware unsuitable for this type of controller</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Abbruch: Update Datei ist beschädigt</source>
        <translation>Abort: Update file corrupted</translation>
    </message>
    <message>
        <location line="+10"/>
        <location filename="../src/gui/firmware/firmwarepage.cpp" line="+13"/>
        <source>Abbruch: Fehler bei Datenübertragung</source>
        <translation>Abort: Communication error</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Abbruch: Das Gerät hat sich nach dem Neustart nicht zurückgemeldet</source>
        <translation>Abort: The device did not report back after the restart</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Abbruch: Das Gerät hat den Zugangscode abgelehnt. Die Codes stehen im Abschnitt [Codes] der Einstellungsdatei.</source>
        <translation>Abort: The device refused the access code. The codes are in the section [Codes] of the settings file.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Firmware installieren</source>
        <translation>Install Firmware</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start der Installation. Während der gesamten Dauer darf das Zielgerät nicht ausgeschaltet werden.</source>
        <translation>Start of installation. Do not disconnect or power-off the device.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Status:</source>
        <translation>State:</translation>
    </message>
    <message>
        <location filename="../src/gui/firmware/firmwarepage.cpp" line="-54"/>
        <source>Firmware auswählen</source>
        <translation>Select Firmware</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>Firmware</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Firmware</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fortschritt</source>
        <translation>Progress</translation>
    </message>
</context>
<context>
    <name>LightPage</name>
    <message>
        <location filename="../src/gui/pages/lightpage.ui" line="+9"/>
        <source>Innen- und Frontlicht</source>
        <translation>Inner and front light</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Innen LED</source>
        <translation>Inner LED</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Helligkeit des Innenlichts</source>
        <translation>Brightness of the inner light</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Hell</source>
        <translation>Bright</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Normale Standard Helligkeit</source>
        <translation>Normal standard brightness</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Front LED</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Front LED</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Helligkeit der Anzeige LED</source>
        <translation>Brightness of the indicator LED</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Dunkel</source>
        <translation>Dark</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Dunklere Standard Helligkeit</source>
        <translation>Darker standard brightness</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+39"/>
        <source>Speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="-36"/>
        <source>Geänderte Helligkeit speichern</source>
        <translation>Save the changed brightness</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Name</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Gerätename</source>
        <translation>Device name</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Name oder Standort des Gerätes</source>
        <translation>Name or location of the device</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Geänderten Namen speichern</source>
        <translation>Save the changed name</translation>
    </message>
</context>
<context>
    <name>ManagerPage</name>
    <message>
        <location filename="../src/gui/pages/managerpage.ui" line="+9"/>
        <location line="+104"/>
        <source>Programmieren</source>
        <translation>Program</translation>
    </message>
    <message>
        <location line="-98"/>
        <source>Auch die Zentrale bei Kurzschluss abschalten</source>
        <translation>Also switch off the command station on a short circuit</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&apos;Classic Mode&apos; an Zentrale</source>
        <translation>Classic mode at the command station</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Auch die steuernde Zentrale soll die Booster ein- oder ausschalten (nicht bei CDE)</source>
        <translation>The controlling command station also switches the boosters on or off (not with CDE)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start/Stop von Zentrale schaltet Booster</source>
        <translation>Start/stop of the command station switches the boosters</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Soll ein Booster auschließlich für Schaltbefehle genutzt werden</source>
        <translation>Whether one booster is used for switching commands only</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Ein Booster nur für Schaltbefehle nutzen</source>
        <translation>Use one booster only for switching commands</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Booster Adresse</source>
        <translation>Booster address</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Adresse des Boosters</source>
        <translation>Address of the booster</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Boosterausgang</source>
        <translation>Booster output</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Angezeigte Werte in Booster programmieren</source>
        <translation>Program the values shown into the booster</translation>
    </message>
</context>
<context>
    <name>MessageText</name>
    <message>
        <location filename="../src/core/app/messagetext.cpp" line="+16"/>
        <source>Es darf sich nur 1 Spurnova IP-Interface im Netzwerk befinden.</source>
        <translation>Only one spurnova controller must be connected to the net</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Bestehende Einstellungen werden jetzt überschrieben!</source>
        <translation>Existing values will be overwritten!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Weitermachen?</source>
        <translation>Continue?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hinweis</source>
        <translation>Hint</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Neue Adresse erreichbar</source>
        <translation>New address is reachable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gerät antwortet nicht</source>
        <translation>No answer from device</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Keine Verbindung! (Windows Netzwerkkarte oder -treiber nicht konfiguriert)</source>
        <translation>No network connection! (Windows interface or driver not configured)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Keine Verbindung! (Netzwerkschnittstelle oder -treiber nicht konfiguriert)</source>
        <translation>No network connection! (Network interface or driver not configured)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Lesen OK</source>
        <translation>Read OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keine Antwort vom Gerät: fremdes Netzwerk oder falsch programmiert</source>
        <translation>No answer from device: foraign network or wrong ip configuration</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Interface ist im falschen Netzwerk. Bitte neu programmieren.</source>
        <translation>Interface is in wrong network. Set new IP, please.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unbekannt</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nicht mit dieser Version. Bitte Spurnova Qev-Programmer benutzen.</source>
        <translation>Not with this version. Please use Spurnova Qev-Programmmer.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Es darf sich nur 1 Kopla IP-Interface im Netzwerk befinden.</source>
        <translation>Only one Kopla IP-Controller must be connected to the net</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Befehl akzeptiert</source>
        <translation>Command accepted</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Daten senden ...</source>
        <translation>Send data ...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Daten vergleichen ...</source>
        <translation>Compare data ...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Aktivieren und Neustart</source>
        <translation>Activate and Reboot</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>von</source>
        <translation>of</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fertig</source>
        <translation>Finished</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ohne IP Adresse</source>
        <translation>without IP address</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Betätigen Sie die Taste des zu programmierenden Ferrano oder Lucento Gerätes für einige Sekunden, bis die grüne oder magenta LED leuchtet oder blinkt.</source>
        <translation>For a few seconds, press the button of the Ferrano or Lucento device to be programmed until the green or magenta LED flashes.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Wird schon benutzt</source>
        <translation>Already in use</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nicht vollständig</source>
        <translation>Not in full</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>In fremdem Netz</source>
        <translation>In foreign net</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ungültig</source>
        <translation>Not valid</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nicht prüfbar</source>
        <translation>Not testable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Evtl. nicht passend</source>
        <translation>May not fit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ist erreichbar</source>
        <translation>Is reachable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nicht erreichbar</source>
        <translation>Not reachable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Soll auch die Festplatte nach installierter Software durchsucht werden?</source>
        <translation>Should the hard disk also be scanned for installed software?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Dies wird einige Zeit dauern.</source>
        <translation>This will take some time.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Erweiterte Suche</source>
        <translation>Extended search.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Geräte...</source>
        <translation>Devices...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fremde Geräte...</source>
        <translation>Foreign devices...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PC Daten...</source>
        <translation>PC Data...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bitte den Booster in den Programmiermode bringen.</source>
        <translation>Set booster to programming mode, please.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>(Taster mehr als 3 Sekunden drücken; dann loslassen)</source>
        <translation>(Press button more than 3 seconds; then release)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Controller gefunden. Programmieren nicht möglich</source>
        <translation> Controller found. Programing impossible</translation>
    </message>
</context>
<context>
    <name>NetworkPage</name>
    <message>
        <location filename="../src/gui/devicelink/networkpage.ui" line="+9"/>
        <location line="+12"/>
        <source>Gefunden</source>
        <translation>Found</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Dieses Gerät wurde gefunden oder manuell gewählt</source>
        <translation>This device was found or selected manually</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Version</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Version</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Installierte Version</source>
        <translation>Installed version</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Seriennummer</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>IP-Adresse</source>
        <translation>IP-Address</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Adresse des gefundenen Controllers</source>
        <translation>Address of the controller found</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Klasse</source>
        <translation>Class</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+152"/>
        <source>Netzmaske</source>
        <translation>Netmask</translation>
    </message>
    <message>
        <location line="-132"/>
        <location line="+219"/>
        <source>UDP Port</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>UDP Port</translation>
    </message>
    <message>
        <location line="-199"/>
        <source>MAC- Adresse</source>
        <translation>MAC-Address</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Einstellungen sichern…</source>
        <translation>Back up settings…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Die Einstellungen dieses Geräts in eine Datei sichern</source>
        <translation>Back up this device&apos;s settings into a file</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Einstellungen wiederherstellen…</source>
        <translation>Restore settings…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Die Einstellungen einer gesicherten Datei in dieses Gerät schreiben</source>
        <translation>Write the settings of a backup file into this device</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>IP neu programmieren</source>
        <translation>Programming new IP</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Neue IP-Adresse</source>
        <translation>New IP-Address</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Neue zu programmierende IP-Adresse</source>
        <translation>New IP address to be programmed</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Die zum Netzwerk gehörende Netzwerkmaske</source>
        <translation>The netmask belonging to the network</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Gerätetyp</source>
        <translation>Type of device</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&lt;Auswählen&gt;</source>
        <translation>&lt;Select&gt;</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Glimnet</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Glimnet</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Ferrano System</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Ferrano System</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Lucento System</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Lucento System</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Spurnova</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Spurnova</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Portaxis</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Portaxis</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Kopla Manager/Master</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Kopla Manager/Master</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Neuer individueller Kommunikationsport</source>
        <translation>New individual communication port</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Gateway</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Gateway</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Optional IP-Adresse des Gateway / Router</source>
        <translation>Optional IP address of the gateway / router</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Nachrichten Broker</source>
        <translation>Message Broker</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Optional IP-Adresse des MQTT Broker für einige Ferrano und Lucento Geräte</source>
        <translation>Optional IP address of the MQTT broker for some Ferrano and Lucento devices</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Letzte Werte</source>
        <translation>Last values</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Lade zuletzt geschriebene Einstellungen</source>
        <translation>Load last written settings</translation>
    </message>
    <message>
        <location filename="../src/gui/devicelink/networkpage.cpp" line="+34"/>
        <source>Keine Meldung</source>
        <translation>No message</translation>
    </message>
</context>
<context>
    <name>ReportPreview</name>
    <message>
        <location filename="../src/gui/report/reportpreview.cpp" line="+63"/>
        <location line="+20"/>
        <location line="+9"/>
        <source>Als PDF speichern</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <location line="-27"/>
        <source>PDF-Dateien (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Die Liste als PDF-Datei speichern</source>
        <translation>Save the list as a PDF file</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Die Datei %1 kann nicht geschrieben werden.</source>
        <translation>The file %1 cannot be written.</translation>
    </message>
</context>
<context>
    <name>ReportRun</name>
    <message>
        <location filename="../src/gui/report/reportrun.cpp" line="+75"/>
        <source>Geräte fehlen in der Liste: %1</source>
        <translation>Devices are missing from the list: %1</translation>
    </message>
</context>
<context>
    <name>RestoreDialog</name>
    <message>
        <location filename="../src/gui/backup/restoredialog.ui" line="+14"/>
        <source>Einstellungen wiederherstellen</source>
        <translation>Restore settings</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Diese Werte der Datei unterscheiden sich vom Gerät. „Schreiben“ schreibt sie ins Gerät:</source>
        <translation>These values of the file differ from the device. “Write” writes them into the device:</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Seite</source>
        <translation>Page</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Feld</source>
        <translation>Field</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Im Gerät</source>
        <translation>On the device</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>In der Datei</source>
        <translation>In the file</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Netzwerkeinstellungen auch wiederherstellen</source>
        <translation>Restore the network settings too</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Das Gerät bekommt die Adresse der Datei und ist danach dort zu erreichen.</source>
        <translation>The device gets the address of the file and is reached there afterwards.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Schreiben</source>
        <translation>Write</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../src/gui/backup/restoredialog.cpp" line="+54"/>
        <source>Änderungen</source>
        <translation>Changes</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Nicht am Bus, werden nicht angelegt: %1</source>
        <translation>Not on the bus, not created: %1</translation>
    </message>
</context>
<context>
    <name>RgbPage</name>
    <message>
        <location filename="../src/gui/pages/rgbpage.ui" line="+9"/>
        <source>Ein- und Ausschaltmodus</source>
        <translation>On/off mode</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Start und Stop werden durch Software gesteuert</source>
        <translation>Start and stop are controlled by software</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Lunarra</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Lunarra</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Nach dem Einschalten startet das Gerät selbsttätig</source>
        <translation>After power-on the device starts by itself</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Autarker Mode</source>
        <translation>Stand-alone mode</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Nach dem Einschalten läuft ein längerer Test- und Demomode</source>
        <translation>After power-on a longer test and demo mode runs</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start mit Demo</source>
        <translation>Start with demo</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Gerät geht beim Beenden von Lunarra in den Stopmode</source>
        <translation>The device goes into stop mode when Lunarra is quit</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Lunarra 5 beendet mit &apos;Inaktiv&apos;</source>
        <translation>Quitting Lunarra 5 sets inactive</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Anzahl Ausgänge</source>
        <translation>Number of outputs</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>D-Bus 1</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>D-Bus 1</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+36"/>
        <location line="+29"/>
        <location line="+29"/>
        <source>Gesamtzahl der vorhandenen LED</source>
        <translation>Total number of LEDs present</translation>
    </message>
    <message>
        <location line="-68"/>
        <source>D-Bus 2</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>D-Bus 2</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>D-Bus 3</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>D-Bus 3</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>D-Bus 4</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>D-Bus 4</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Änderungen speichern</source>
        <translation>Save the changes</translation>
    </message>
</context>
<context>
    <name>S88MasterPage</name>
    <message>
        <location filename="../src/gui/pages/s88masterpage.ui" line="+9"/>
        <source>Anzahl Module</source>
        <translation>Module count</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Anzahl der S88 Module am ersten Bus</source>
        <translation>Number of S88 modules on the first bus</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Anzahl der S88 Module am zweiten Bus</source>
        <translation>Number of S88 modules on the second bus</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Anzahl der S88 Module am dritten Bus</source>
        <translation>Number of S88 modules on the third bus</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Flackern verhindern</source>
        <translation>Avoid flicker</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Einschalten</source>
        <translation>Delay on</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Wirkung der Einschaltverzögerung</source>
        <translation>Effect of the switch-on delay</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+40"/>
        <source>&lt;Aus&gt;</source>
        <translation>&lt;Off&gt;</translation>
    </message>
    <message>
        <location line="-35"/>
        <location line="+40"/>
        <source>Kurz</source>
        <translation>Short</translation>
    </message>
    <message>
        <location line="-35"/>
        <location line="+40"/>
        <location line="+41"/>
        <source>Normal</source>
        <translation>Standard</translation>
    </message>
    <message>
        <location line="-76"/>
        <location line="+40"/>
        <source>Lang</source>
        <translation>Long</translation>
    </message>
    <message>
        <location line="-32"/>
        <source>Ausschalten</source>
        <translation>Delay off</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Wirkung der Ausschaltverzögerung</source>
        <translation>Effect of the switch-off delay</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Profi</source>
        <translation>Professional</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Bustakt</source>
        <translation>Bus clock</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Langsam</source>
        <translation>Slow</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Schnell</source>
        <translation>Fast</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+3"/>
        <source>Individuelle Einstellungen für den Bustakt</source>
        <translation>Individual settings of the bus clock</translation>
    </message>
    <message>
        <source>...</source>
        <translatorcomment>stays German</translatorcomment>
        <translation type="vanished">...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Takt ein</source>
        <translation>Clock on</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+33"/>
        <source>uSek.</source>
        <translation>µs</translation>
    </message>
    <message>
        <location line="-26"/>
        <source>Takt aus</source>
        <translation>Clock off</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Pause zwischen Zyklen</source>
        <translation>Pause between cycles</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>mSek.</source>
        <translation>ms</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Lesezyklen (p. Sek.)</source>
        <translation>Read cycles per second</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Rücksetzen auf Werkseinstellungen</source>
        <translation>Reset to factory settings</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Standardwerte</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Diese Werte dauerhaft in das Gerät schreiben</source>
        <translation>Write these values permanently into the device</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Programmieren</source>
        <translation>Program</translation>
    </message>
</context>
<context>
    <name>SelectControllerPage</name>
    <message>
        <location filename="../src/gui/devicelink/selectcontrollerpage.ui" line="+9"/>
        <source>Gerät auswählen</source>
        <translation>Select Device</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Ferrano Zentrale</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Ferrano Zentrale</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ferrano Booster Gateway</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Ferrano Booster Gateway</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ferrano Booster</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Ferrano Booster</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ferrano S88-Controller</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Ferrano S88-Controller</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ferrano Portaxis</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Ferrano Portaxis</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Lucento RGB Master</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Lucento RGB Master</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Lucento Classic Master</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Lucento Classic Master</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Lucento Sound Master</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Lucento Sound Master</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Lucento Decoder</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Lucento Decoder</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Oder:</source>
        <translation>Or:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>IP direkt eingeben</source>
        <translation>Enter the direct IP known</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>IP-Adresse</source>
        <translation>IP-Address</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Nur wenn bekannt: Neue zu suchende IP-Adresse eingeben.</source>
        <translation>Only if known: Enter new IP address to be searched for.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Dieses Gerät auswählen und programmieren</source>
        <translation>Select this device for progamming</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Abbrechen</source>
        <translation>Abort</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Eingabedialog verlassen</source>
        <translation>Leave this dialog</translation>
    </message>
</context>
<context>
    <name>SerialPage</name>
    <message>
        <location filename="../src/gui/pages/serialpage.ui" line="+9"/>
        <location line="+10"/>
        <source>Angeschlossene Geräte</source>
        <translation>Connected devices</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Boosterliste wird gelesen</source>
        <translation>Reading the booster list</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Alter Name</source>
        <translation>Old name</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Neuer Name</source>
        <translation>New name</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Neuer Name des ausgewählten Boosters. Die maximale Länge sind 16 Zeichen</source>
        <translation>New name of the selected booster. The maximum length is 16 characters</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Hat Änderungen</source>
        <translation>Has changes</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Boosterliste aktualisieren</source>
        <translation>Refresh the booster list</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Aktualisieren</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Änderungen des Namen in den Booster schreiben</source>
        <translation>Write the name changes to the booster</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>In Booster schreiben</source>
        <translation>Write to booster</translation>
    </message>
</context>
<context>
    <name>SettingsBackup</name>
    <message>
        <location filename="../src/core/backup/settingsbackup.cpp" line="+92"/>
        <location line="+193"/>
        <source>unbekanntes Feld</source>
        <translation>unknown field</translation>
    </message>
    <message>
        <location line="-186"/>
        <source>muss ein Objekt sein</source>
        <translation>must be an object</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+71"/>
        <location line="+148"/>
        <source>muss ein Text sein</source>
        <translation>must be a text</translation>
    </message>
    <message>
        <location line="-215"/>
        <location line="+69"/>
        <source>ist länger als %1 Zeichen</source>
        <translation>is longer than %1 characters</translation>
    </message>
    <message>
        <location line="-61"/>
        <location line="+367"/>
        <source>fehlt</source>
        <translation>missing</translation>
    </message>
    <message>
        <location line="-362"/>
        <location line="+27"/>
        <source>muss eine ganze Zahl sein</source>
        <translation>must be a whole number</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>%1 liegt nicht in %2..%3</source>
        <translation>%1 is not in %2..%3</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>&quot;%1&quot; ist keine IPv4-Adresse</source>
        <translation>&quot;%1&quot; is no IPv4 address</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+13"/>
        <source>%1 liegt nicht in %2</source>
        <translation>%1 is not in %2</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>muss eine Zahl mit höchstens einer Nachkommastelle sein</source>
        <translation>must be a number with at most one decimal</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>muss true oder false sein</source>
        <translation>must be true or false</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&quot;%1&quot; ist keiner von %2</source>
        <translation>&quot;%1&quot; is none of %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>muss einer von %1 sein</source>
        <translation>must be one of %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>unbekannte Art</source>
        <translation>unknown kind</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>&quot;%1&quot; ist kein Datum</source>
        <translation>&quot;%1&quot; is no date</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+64"/>
        <source>unbekannte Seite</source>
        <translation>unknown page</translation>
    </message>
    <message>
        <location line="-42"/>
        <source>muss eine Liste sein</source>
        <translation>must be a list</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Adresse %1 steht zweimal in der Liste</source>
        <translation>address %1 is twice in the list</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>die Seite steht auch unter &quot;pages&quot;</source>
        <translation>the page is under &quot;pages&quot; too</translation>
    </message>
    <message>
        <location line="+117"/>
        <source>Die Datei ist größer als %1 Bytes</source>
        <translation>The file is larger than %1 bytes</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Kein gültiges JSON: %1 (Zeichen %2)</source>
        <translation>No valid JSON: %1 (character %2)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Die Datei ist keine Einstellungssicherung</source>
        <translation>The file is no settings backup</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Version %1 ist neuer als diese Programmversion (sie liest bis %2)</source>
        <translation>Version %1 is newer than this program version (it reads up to %2)</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>die Booster stehen auch unter &quot;boosters&quot;</source>
        <translation>the boosters are under &quot;boosters&quot; too</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>das Netzwerk steht auch unter &quot;network&quot;</source>
        <translation>the network is under &quot;network&quot; too</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+8"/>
        <source>%1 kann nicht gelesen werden: %2</source>
        <translation>%1 cannot be read: %2</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1 kann nicht geschrieben werden: %2</source>
        <translation>%1 cannot be written: %2</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Die Datei ist von einem Gerät der Klasse %1 (%2), dieses Gerät hat die Klasse %3 (%4)</source>
        <translation>The file is from a device of class %1 (%2), this device has class %3 (%4)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Dieses Gerät hat diese Seite nicht</source>
        <translation>This device does not have this page</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Dieses Gerät hat keinen Booster-Bus</source>
        <translation>This device has no booster bus</translation>
    </message>
    <message>
        <location filename="../src/core/flows/backup.cpp" line="+28"/>
        <source>keine Antwort</source>
        <translation>no answer</translation>
    </message>
    <message>
        <location line="+253"/>
        <source>Der Ordner %1 kann nicht angelegt werden</source>
        <translation>The folder %1 cannot be created</translation>
    </message>
</context>
<context>
    <name>SpeedPage</name>
    <message>
        <location filename="../src/gui/pages/speedpage.ui" line="+9"/>
        <source>Massstab</source>
        <translation>Scale</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Kalibrierwert</source>
        <translation>Factor to km/h</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Ansprechschwelle</source>
        <translation>Response threshold</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Ausschaltdifferenz</source>
        <translation>Switch-off difference</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Pause bis neue Messung</source>
        <translation>Pause until a new measurement</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Maximale Messzeit</source>
        <translation>Maximum measuring time</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>LCD Kontrast</source>
        <translation>LCD contrast</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Programmieren</source>
        <translation>Program</translation>
    </message>
</context>
<context>
    <name>TALed</name>
    <message>
        <location filename="../src/gui/app/aled.cpp" line="+76"/>
        <source>aus</source>
        <translation>off</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>grün</source>
        <translation>green</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>rot</source>
        <translation>red</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>gelb</source>
        <translation>yellow</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>an</source>
        <translation>on</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1, blinkt</source>
        <translation>%1, blinking</translation>
    </message>
</context>
<context>
    <name>TProtokollForm</name>
    <message>
        <location filename="../src/gui/trace/protokollform.ui" line="+14"/>
        <location filename="../src/gui/trace/protokollform.cpp" line="+135"/>
        <source>Protokoll</source>
        <translation>Trace</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Gerät:</source>
        <translation>&amp;Device:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>alle Adressen</source>
        <translation>all addresses</translation>
    </message>
    <message>
        <location line="+10"/>
        <location filename="../src/gui/trace/protokollform.cpp" line="-61"/>
        <source>Pause</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Speichern…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location filename="../src/gui/trace/protokollform.cpp" line="-39"/>
        <source>Protokoll speichern</source>
        <translation>Save trace</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>pcapng-Dateien (*.pcapng)</source>
        <translation>pcapng files (*.pcapng)</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Filter nach Geräteadresse</source>
        <translation>Filter by device address</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Protokoll als pcapng speichern</source>
        <translation>Save trace as pcapng</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ausgewählte Zeilen kopieren</source>
        <translation>Copy selected rows</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Protokoll der Datagramme</source>
        <translation>Trace of the datagrams</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Gespeichert in %1</source>
        <translation>Saved in %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nicht gespeichert: %1</source>
        <translation>Not saved: %1</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Protokoll aller Datagramme (Strg+Umschalt+P)</source>
        <translation>Trace of every datagram (Ctrl+Shift+P)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Protokoll öffnen</source>
        <translation>Open trace</translation>
    </message>
</context>
<context>
    <name>TQevProgrammerForm</name>
    <message>
        <location filename="../src/gui/app/qevprogrammerform.ui" line="+14"/>
        <source>IP Geräte programmieren</source>
        <translation>Program IP Controller</translation>
    </message>
    <message>
        <location line="+73"/>
        <location line="+3"/>
        <source>Bitte Deutsch</source>
        <translation>German please</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+3"/>
        <source>English please</source>
        <translation>Bitte Englisch</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+3"/>
        <source>Nederlands</source>
        <translation>Dutch</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Tipps zum Netzwerk</source>
        <translation>Network tips</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Dieser PC</source>
        <translation>This PC</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>IP-Adresse:</source>
        <translation>IP-Address:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Netzmaske:</source>
        <translation>Netmask:</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Gateway:</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Gateway:</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Suche Geräte</source>
        <translation>Search Hardware</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Manuell Wählen</source>
        <translation>Manual Select</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Direkt ohne Suche ein Ferrano oder Lucento Gerät programmieren</source>
        <translation>Select a Ferrano or Lucento device for programming without network search</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../src/gui/app/qevprogrammerform.cpp" line="+288"/>
        <source>Programmieren</source>
        <translation>Programming</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Netzwerk Einstellungen ins Gerät programmieren</source>
        <translation>Write network settings into the device</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Liste der gefundenen Geräte anzeigen oder drucken. Dies kann einige Minuten dauern,</source>
        <translation>Search and list or print all devices. This may take a while</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Liste drucken</source>
        <translation>Print List</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Liste wird erstellt</source>
        <translation>Building the list</translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="vanished">Search</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Beenden</source>
        <translation>End</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>Netzwerk</source>
        <translation>Network</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Booster-Gateway</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Booster-Gateway</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Kopla Manager</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Kopla Manager</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Liste</source>
        <translation>List</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>s88 Master</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>s88 Master</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Container</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Container</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Update</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Update</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Portaxis</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Portaxis</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Gerät auswählen</source>
        <translation>Select Device</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Allgemein</source>
        <translation>General</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Allgemeine Parameter</source>
        <translation>General parameters</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Classic Master</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Classic Master</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Parameter für den Classic Master</source>
        <translation>Parameters of the Classic Master</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>RGB Master</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>RGB Master</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Parameter für den RGB Master</source>
        <translation>Parameters of the RGB Master</translation>
    </message>
    <message>
        <source>Bild</source>
        <translation type="vanished">Picture</translation>
    </message>
    <message>
        <location filename="../src/gui/app/qevprogrammerform.cpp" line="-2"/>
        <source>Qev Programmer: Netzwerk-Geräte der Spurnova-Linie</source>
        <translation>Qev Programmer: network devices of the Spurnova line</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suche</source>
        <translation>Search</translation>
    </message>
    <message>
        <location filename="../src/gui/app/statusline.cpp" line="+74"/>
        <source>Zustand</source>
        <translation>State</translation>
    </message>
    <message>
        <location line="-32"/>
        <location line="+34"/>
        <source>Meldung</source>
        <translation>Message</translation>
    </message>
    <message>
        <location filename="../src/gui/app/qevprogrammerform.cpp" line="+3"/>
        <source>Seiten</source>
        <translation>Pages</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>UDP Port</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>UDP Port</translation>
    </message>
    <message>
        <location line="+233"/>
        <source>Die Einstellungen konnten nicht gespeichert werden: %1</source>
        <translation>The settings could not be saved: %1</translation>
    </message>
</context>
<context>
    <name>TraceModel</name>
    <message>
        <location filename="../src/gui/trace/tracemodel.cpp" line="+80"/>
        <source>gesendet</source>
        <translation>sent</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>empfangen</source>
        <translation>received</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zeitüberschreitung</source>
        <translation>time-out</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Port geschlossen</source>
        <translation>port closed</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>nicht gesendet</source>
        <translation>not sent</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>Zeit</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Richtung</source>
        <translation>Direction</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Gerät</source>
        <translation>Device</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Port</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Port</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Länge</source>
        <translation>Length</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Befehl</source>
        <translation>Command</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bytes</source>
        <translatorcomment>stays German</translatorcomment>
        <translation>Bytes</translation>
    </message>
</context>
</TS>
