<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="de_DE">
<context>
    <name>Dialogs</name>
    <message>
        <location filename="../src/gui/app/language.cpp" line="+80"/>
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
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FirmwarePage</name>
    <message>
        <location filename="../src/gui/firmware/firmwarepage.ui" line="+13"/>
        <source>Standard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+28"/>
        <source>Installierte Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Booster</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Booster auswählen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>S88-RM</source>
        <translation type="unfinished"></translation>
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
        <location filename="../src/gui/firmware/firmwarepage.cpp" line="+79"/>
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
        <translation type="unfinished"></translation>
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
        <location line="+13"/>
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
        <location filename="../src/gui/firmware/firmwarepage.cpp" line="-59"/>
        <source>Firmware auswählen</source>
        <translation>Select Firmware</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fortschritt</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MessageText</name>
    <message>
        <location filename="../src/gui/app/messagetext.cpp" line="+16"/>
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
        <location line="+1"/>
        <source>Keine Verbindung! (Windows Netzwerkkarte oder -treiber nicht konfiguriert)</source>
        <translation>No network connection! (Windows interface or driver not configured)</translation>
    </message>
    <message>
        <location line="+2"/>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Installierte Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Seriennummer</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>IP-Adresse</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Adresse des gefundenen Controllers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Klasse</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+109"/>
        <source>Netzmaske</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-89"/>
        <location line="+176"/>
        <source>UDP Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-156"/>
        <source>MAC- Adresse</source>
        <translation>MAC-Address</translation>
    </message>
    <message>
        <location line="+30"/>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Die zum Netzwerk gehörende Netzwerkmaske</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Ferrano System</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Lucento System</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Spurnova</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Portaxis</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Kopla Manager/Master</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Neuer individueller Kommunikationsport</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Gateway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Optional IP-Adresse des Gateway / Router</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Nachrichten Broker</source>
        <translation>Message Broker</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Optional IP-Adresse des MQTT Broker für einige Ferrano und Lucento Geräte</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ferrano Booster Gateway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ferrano Booster</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ferrano S88-Controller</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Ferrano Portaxis</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Lucento RGB Master</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Lucento Classic Master</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Lucento Sound Master</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Lucento Decoder</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Nur wenn bekannt: Neue zu suchende IP-Adresse eingeben.</source>
        <translation>Only if known: Enter new IP address to be searched for.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Ok</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Dieser PC</source>
        <translation>This PC</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>IP-Adresse:</source>
        <translation>IP-Address:</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Netzmaske:</source>
        <translation>Netmask:</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Gateway:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+40"/>
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
        <location filename="../src/gui/app/qevprogrammerform.cpp" line="+225"/>
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
        <source>Liste drucken</source>
        <translation>Print List</translation>
    </message>
    <message>
        <location line="+23"/>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Kopla Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Liste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>s88 Master</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Container</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Portaxis</source>
        <translation type="unfinished"></translation>
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
        <location line="+5"/>
        <source>Classic Master</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>RGB Master</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/gui/app/qevprogrammerform.cpp" line="-2"/>
        <source>Bild</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suche</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zustand</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Meldung</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seiten</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>UDP Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+359"/>
        <source>Die Einstellungen konnten nicht gespeichert werden: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
