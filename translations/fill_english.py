#!/usr/bin/env python3
"""Puts the English texts into qev_en.ts after lupdate has collected the German sources.

Run after `cmake --build <dir> --target update_translations` (or lupdate over src/gui):
    python3 translations/fill_english.py translations/qev_en.ts
Texts without an English text stay untranslated and show in German in English mode.
Translations already present in the file are kept.
"""
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

# German -> English, in every context unless CONTEXT overrides it.
ENGLISH = {
    # Messages
    "Es darf sich nur 1 Spurnova IP-Interface im Netzwerk befinden.":
        "Only one spurnova controller must be connected to the net",
    "Bestehende Einstellungen werden jetzt überschrieben!": "Existing values will be overwritten!",
    "Weitermachen?": "Continue?",
    "Hinweis": "Hint",
    "Neue Adresse erreichbar": "New address is reachable",
    "Gerät antwortet nicht": "No answer from device",
    "Keine Verbindung! (Windows Netzwerkkarte oder -treiber nicht konfiguriert)":
        "No network connection! (Windows interface or driver not configured)",
    "Lesen OK": "Read OK",
    "Keine Antwort vom Gerät: fremdes Netzwerk oder falsch programmiert":
        "No answer from device: foraign network or wrong ip configuration",
    "Interface ist im falschen Netzwerk. Bitte neu programmieren.":
        "Interface is in wrong network. Set new IP, please.",
    "Unbekannt": "Unknown",
    "Nicht mit dieser Version. Bitte Spurnova Qev-Programmer benutzen.":
        "Not with this version. Please use Spurnova Qev-Programmmer.",
    "Es darf sich nur 1 Kopla IP-Interface im Netzwerk befinden.":
        "Only one Kopla IP-Controller must be connected to the net",
    "Befehl akzeptiert": "Command accepted",
    "Daten senden ...": "Send data ...",
    "Daten vergleichen ...": "Compare data ...",
    "Aktivieren und Neustart": "Activate and Reboot",
    "von": "of",
    "Fertig": "Finished",
    "ohne IP Adresse": "without IP address",
    "Betätigen Sie die Taste des zu programmierenden Ferrano oder Lucento Gerätes für einige "
    "Sekunden, bis die grüne oder magenta LED leuchtet oder blinkt.":
        "For a few seconds, press the button of the Ferrano or Lucento device to be programmed "
        "until the green or magenta LED flashes.",
    "Wird schon benutzt": "Already in use",
    "Nicht vollständig": "Not in full",
    "In fremdem Netz": "In foreign net",
    "Ungültig": "Not valid",
    "Nicht prüfbar": "Not testable",
    "Evtl. nicht passend": "May not fit",
    "Ist erreichbar": "Is reachable",
    "Nicht erreichbar": "Not reachable",
    "Soll auch die Festplatte nach installierter Software durchsucht werden?":
        "Should the hard disk also be scanned for installed software?",
    "Dies wird einige Zeit dauern.": "This will take some time.",
    "Erweiterte Suche": "Extended search.",
    "Geräte...": "Devices...",
    "Fremde Geräte...": "Foreign devices...",
    "PC Daten...": "PC Data...",
    "Bitte den Booster in den Programmiermode bringen.": "Set booster to programming mode, please.",
    "(Taster mehr als 3 Sekunden drücken; dann loslassen)":
        "(Press button more than 3 seconds; then release)",
    " Controller gefunden. Programmieren nicht möglich": " Controller found. Programing impossible",
    # Standard dialogs
    "Warnung": "Warning",
    "Fehler": "Error",
    "Bestätigung": "Confirm",
    "&Ja": "Yes",
    "&Nein": "No",
    "&Abbrechen": "Abort",
    "&Wiederholen": "Retry",
    "&Ignorieren": "Ignore",
    "&Alle": "All",
    "&Alle Nein": "No to All",
    "A&lle Ja": "Yes to All",
    "&Hilfe": "Help",
    # Main window
    "IP Geräte programmieren": "Program IP Controller",
    "Bitte Deutsch": "German please",
    "English please": "Bitte Englisch",
    "Nederlands": "Dutch",
    "Dieser PC": "This PC",
    "IP-Adresse:": "IP-Address:",
    "Netzmaske:": "Netmask:",
    "Suche Geräte": "Search Hardware",
    "Manuell Wählen": "Manual Select",
    "Direkt ohne Suche ein Ferrano oder Lucento Gerät programmieren":
        "Select a Ferrano or Lucento device for programming without network search",
    "Liste drucken": "Print List",
    "Liste der gefundenen Geräte anzeigen oder drucken. Dies kann einige Minuten dauern,":
        "Search and list or print all devices. This may take a while",
    "Programmieren": "Program",
    "Netzwerk Einstellungen ins Gerät programmieren": "Write network settings into the device",
    "Beenden": "End",
    "Netzwerk": "Network",
    "Gerät auswählen": "Select Device",
    "Allgemein": "General",
    "Status": "Search",
    # Network page
    "Gefunden": "Found",
    "Seriennummer": "Serial Number",
    "MAC- Adresse": "MAC-Address",
    "IP neu programmieren": "Programming new IP",
    "Neue IP-Adresse": "New IP-Address",
    "Gerätetyp": "Type of device",
    "<Auswählen>": "<Select>",
    "Nachrichten Broker": "Message Broker",
    "Letzte Werte": "Last values",
    "Lade zuletzt geschriebene Einstellungen": "Load last written settings",
    # Manual selection and pick list
    "Oder:": "Or:",
    "IP direkt eingeben": "Enter the direct IP known",
    "Nur wenn bekannt: Neue zu suchende IP-Adresse eingeben.":
        "Only if known: Enter new IP address to be searched for.",
    "Dieses Gerät auswählen und programmieren": "Select this device for progamming",
    "Abbrechen": "Abort",
    "Eingabedialog verlassen": "Leave this dialog",
    "Abbruch": "Abort",
    # Booster gateway and booster pages
    "Gerätename": "Device name",
    "Mit dem Einschalten alle Booster Start": "Start all boosters at power-up",
    "Steuerung": "Control",
    "Bei Kurzschluss auch Zentrale abschalten": "Short circuit also switches off the command station",
    "Kurzschluss": "Short circuit",
    "Booster nur für Schaltbefehle nutzen": "Use boosters only for switching commands",
    "Schaltbefehle": "Switching commands",
    "Booster Adresse(n)": "Booster addresses",
    "Im Gerät speichern": "Save in device",
    "Neue Adresse programmieren": "Program new address",
    "Maximaler Strom": "Maximum current",
    "Info ab Stromverbrauch": "Information from current",
    "Kurzsschlußerkennung": "Short-circuit detection",
    "Träge": "Very Slow",
    "Mittelträge": "Slow",
    "Flink": "Fast",
    "Superflink": "Super Fast",
    "Einschalten durch PC": "Switched on by the PC",
    "Pause bis Einschalten": "Pause until switching on",
    "In alle Booster schreiben": "Write to all boosters",
    "Adresse": "Address",
    "In Booster schreiben": "Write to booster",
    "'Classic Mode' an Zentrale": "Classic mode at the command station",
    "Start/Stop von Zentrale schaltet Booster": "Start/stop of the command station switches the boosters",
    "Ein Booster nur für Schaltbefehle nutzen": "Use one booster only for switching commands",
    "Booster Adresse": "Booster address",
    "Boosterausgang": "Booster output",
    # Speed meter page
    "Massstab": "Scale",
    "Kalibrierwert": "Calibration value",
    "Ansprechschwelle": "Response threshold",
    "Ausschaltdifferenz": "Switch-off difference",
    "Pause bis neue Messung": "Pause until a new measurement",
    "Maximale Messzeit": "Maximum measuring time",
    "LCD Kontrast": "LCD contrast",
    # S88 bus master page
    "Anzahl Module": "Module count",
    "Flackern verhindern": "Avoid flicker",
    "Einschalten": "Delay on",
    "Ausschalten": "Delay off",
    "<Aus>": "<Off>",
    "Kurz": "Short",
    "Normal": "Standard",
    "Lang": "Long",
    "Profi": "Professional",
    "Bustakt": "Bus clock",
    "Langsam": "Slow",
    "Schnell": "Fast",
    "Takt ein": "Clock on",
    "Takt aus": "Clock off",
    "Pause zwischen Zyklen": "Pause between cycles",
    "Lesezyklen (p. Sek.)": "Read cycles per second",
    "Standardwerte": "Defaults",
    # Light controller pages
    "Speichern": "Save",
    "Innen LED": "Inner LED",
    "Hell": "Bright",
    "Dunkel": "Dark",
    "Innen- und Frontlicht": "Inner and front light",
    "Autarker Mode": "Stand-alone mode",
    "Start mit Demo": "Start with demo",
    "Lunarra 5 beendet mit 'Inaktiv'": "Quitting Lunarra 5 sets inactive",
    "S-Bus Ausgänge": "S-Bus outputs",
    "DMX Kanäle": "DMX channels",
    "Anzahl Ausgänge": "Number of outputs",
    "Gering": "Little",
    "Viel": "More",
    # Extender page
    "Diese Version kennt keine Parameter": "This version has no parameters",
    # Booster list
    "Angeschlossene Geräte": "Connected devices",
    "Hat Änderungen": "Has changes",
    "Alter Name": "Old name",
    "Neuer Name": "New name",
    "Aktualisieren": "Refresh",
    # Firmware page
    "Update suchen": "Search Update",
    "Vorhandene Updates": "Updates found",
    "Datei wählen": "Select File",
    "Update per Datei": "Update with File",
    "Update Datei": "Update File",
    "Neue Version": "New version",
    "Vom": "From",
    "Für": "For",
    "Firmware ist nicht für diesen Controller geeignet":
        "Firmware unsuitable for this type of controller",
    "Firmware installieren": "Install Firmware",
    "Start der Installation. Während der gesamten Dauer darf das Zielgerät nicht ausgeschaltet "
    "werden.": "Start of installation. Do not disconnect or power-off the device.",
    "Status:": "State:",
    "Abbruch: Update Datei ist beschädigt": "Abort: Update file corrupted",
    "Abbruch: Fehler bei Datenübertragung": "Abort: Communication error",
    "Firmware auswählen": "Select Firmware",
}

# (context, German) -> English where a context differs from the rest; None keeps German.
CONTEXT = {
    ("TQevProgrammerForm", "Programmieren"): "Programming",
    # The booster's short-circuit detection keeps "Normal" between "Mittelträge" and "Flink".
    ("BoosterPage", "Normal"): None,
}


def english_for(context, source):
    if (context, source) in CONTEXT:
        return CONTEXT[(context, source)]
    return ENGLISH.get(source)


def main(path):
    tree = ET.parse(path)
    filled = 0
    for context in tree.getroot().iter("context"):
        name = context.find("name").text
        for message in context.iter("message"):
            source = message.find("source").text
            translation = message.find("translation")
            if translation.get("type") in ("obsolete", "vanished"):
                continue
            if translation.text and translation.get("type") != "unfinished":
                continue
            english = english_for(name, source)
            if english is None:
                continue
            translation.text = english
            translation.attrib.pop("type", None)
            filled += 1
    tree.write(path, encoding="utf-8", xml_declaration=True)
    # Back into the layout lupdate writes, so that the next lupdate changes nothing.
    lconvert = shutil.which("lconvert") or "/usr/lib/qt6/bin/lconvert"
    subprocess.run([lconvert, "-locations", "relative", "-i", path, "-o", path], check=True)
    print(f"{filled} English texts filled in")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "translations/qev_en.ts")
